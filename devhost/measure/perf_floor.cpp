// The perf command's floor windows: the host drawing, measuring, sizing and
// showing the same rows with the same calls as the plug-in's list, so that
// the plug-in's times can be read beside what the window system charges for
// the same work.
#include "devhost/measure/perf_floor.h"

#include <utility>

#include "host/host.h"

namespace {

constexpr char FLOOR_CLASS[] = "BlackboxPerfFloor";
constexpr int BASE_STYLE = 8;  // menu.frame
constexpr int TIP_STYLE = 9;   // menu.hilite
// The plug-in's default geometry: tip padding 2 13 2 4, 16-pixel icons, 4
// pixels between icon and text, no base padding.
constexpr int TIP_TOP = 2, TIP_RIGHT = 13, TIP_BOTTOM = 2, TIP_LEFT = 4;
constexpr int ICON_SIZE = 16, ICON_TIP = 4;

std::vector<std::string> floor_texts;
std::vector<HICON> floor_icons;

// The base style's fill, the highlight behind the first row, and per row
// DrawIconEx and DrawTextA in the base style's font, as the list paints.
void PaintFloor(HWND window) {
    StyleRecord* base = GetSettingPtr(BASE_STYLE);
    StyleRecord* tip = GetSettingPtr(TIP_STYLE);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    MakeStyleGradient(dc, &client, base, false);
    HFONT font = CreateStyleFont(base);
    HGDIOBJ old_font = SelectObject(dc, font);
    SetTextColor(dc, base->TextColor);
    SetBkMode(dc, TRANSPARENT);
    const int rows = static_cast<int>(floor_texts.size());
    const int pitch = rows ? client.bottom / rows : 0;
    for (int i = 0; i < rows; ++i) {
        const int top = i * pitch;
        if (i == 0) {
            RECT highlight = {0, top, client.right, top + pitch};
            MakeStyleGradient(dc, &highlight, tip, false);
            SetTextColor(dc, tip->TextColor);
        }
        DrawIconEx(dc, TIP_LEFT, top + TIP_TOP, floor_icons[i], ICON_SIZE, ICON_SIZE, 0, nullptr,
                   DI_NORMAL);
        RECT text = {TIP_LEFT + ICON_SIZE + ICON_TIP, top + TIP_TOP, client.right - TIP_RIGHT,
                     top + pitch - TIP_BOTTOM};
        DrawTextA(dc, floor_texts[i].c_str(), -1, &text, DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER);
        if (i == 0) SetTextColor(dc, base->TextColor);
    }
    SelectObject(dc, old_font);
    DeleteObject(font);
    EndPaint(window, &paint);
}

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PaintFloor(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The widest and the tallest of the rows' one-line texts, measured as the
// list's layout measures them; the height is never less than the icon.
SIZE MeasureFloorRows(HDC dc) {
    SIZE largest = {0, ICON_SIZE};
    RECT measured = {};
    for (const std::string& text : floor_texts) {
        DrawTextA(dc, text.c_str(), -1, &measured, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
        if (measured.bottom > largest.cy) largest.cy = measured.bottom;
        if (measured.right > largest.cx) largest.cx = measured.right;
    }
    return largest;
}

// Sizes the window for the rows in the base style's font and centres it on
// the screen, with the calls of the list's layout.
void LayoutFloor(HWND window) {
    HDC dc = GetDC(window);
    if (!dc) return;
    HFONT font = CreateStyleFont(GetSettingPtr(BASE_STYLE));
    HGDIOBJ old_font = SelectObject(dc, font);
    const SIZE text = MeasureFloorRows(dc);
    SelectObject(dc, old_font);
    DeleteObject(font);
    ReleaseDC(window, dc);

    const int rows = static_cast<int>(floor_texts.size());
    const int width = text.cx + TIP_LEFT + TIP_RIGHT + ICON_SIZE + ICON_TIP;
    const int height = (text.cy + TIP_TOP + TIP_BOTTOM) * rows;
    const int x = GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2;
    const int y = GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2;
    SetWindowPos(window, nullptr, x, y, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

}  // namespace

HWND MakePerfWindow(const char* class_name, WNDPROC procedure, DWORD ex_style, const RECT& rect) {
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = procedure;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = class_name;
    RegisterClassA(&window_class);  // fails harmlessly from the second window on
    return CreateWindowExA(ex_style, class_name, class_name, WS_POPUP, rect.left, rect.top,
                           rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                           window_class.hInstance, nullptr);
}

HWND MakeFloorWindow(const RECT& rect) {
    return MakePerfWindow(FLOOR_CLASS, FloorProc, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, rect);
}

void SetFloorRows(std::vector<std::string> texts, std::vector<HICON> icons) {
    floor_texts = std::move(texts);
    floor_icons = std::move(icons);
}

void RepaintFloor(HWND window) {
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
}

void ShowFloor(HWND window) {
    LayoutFloor(window);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    UpdateWindow(window);
}

void HideFloor(HWND window) { ShowWindow(window, SW_HIDE); }
