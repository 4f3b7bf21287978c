// The host command "perf ROWS ITERATIONS": how long the loaded plug-in takes
// from a broadcast to its fully painted list, beside the floor: the host
// itself drawing the same rows with the same calls into a window of the same
// size, in the same run. It fills an empty tray with ROWS entries of its own
// (two-line tips, 32-pixel icons) and then, ITERATIONS times in turn, times
//
//   show   "@Marrowick.Next" on the hidden list: count, layout, show, paint;
//   next   "@Marrowick.Next" on the shown list: move the highlight, repaint;
//   floor  a repaint of the host's own window of the list's size and place:
//          the base style's fill, the highlight behind the first row, and per
//          row DrawIconEx and DrawTextA in the base style's font.
//
// Each time runs from the SendMessage of the broadcast (or the floor's
// InvalidateRect) through UpdateWindow, which paints at once, and GdiFlush,
// which puts the pixels on the screen. It logs one line with the medians in
// microseconds and the plug-in's times over the floor's:
//   perf rows=10 iterations=200 show_us=... next_us=... floor_us=... show_ratio=... next_ratio=...
// The floor uses the plug-in's default geometry (an empty or absent rc file).
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "devhost/devhost.h"
#include "host/host.h"

namespace {

constexpr UINT PERF_CALLBACK = WM_APP + 9;
constexpr char OWNER_CLASS[] = "BlackboxPerfOwner";
constexpr char FLOOR_CLASS[] = "BlackboxPerfFloor";
constexpr int BASE_STYLE = 8;  // menu.frame
constexpr int TIP_STYLE = 9;   // menu.hilite
// The plug-in's default geometry: tip padding 2 13 2 4, 16-pixel icons, 4
// pixels between icon and text, no base padding.
constexpr int TIP_TOP = 2, TIP_RIGHT = 13, TIP_BOTTOM = 2, TIP_LEFT = 4;
constexpr int ICON_SIZE = 16, ICON_TIP = 4;

// What the floor window paints.
std::vector<std::string> floor_texts;
std::vector<HICON> floor_icons;

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

HWND MakeWindow(const char* class_name, WNDPROC procedure, DWORD ex_style, const RECT& rect) {
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = procedure;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = class_name;
    RegisterClassA(&window_class);  // fails harmlessly from the second run on
    return CreateWindowExA(ex_style, class_name, class_name, WS_POPUP, rect.left, rect.top,
                           rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                           window_class.hInstance, nullptr);
}

constexpr int ICON_PIXELS = 32;

// A 32-pixel icon: a square in the row's colour inside a transparent edge.
HICON MakeRowIcon(int row) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = ICON_PIXELS;
    info.bmiHeader.biHeight = -ICON_PIXELS;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP color = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!color) return nullptr;
    const uint32_t fill = 0xff000000u | (0x304050u + 0x1f0d07u * (row % 8));
    uint32_t* pixels = static_cast<uint32_t*>(bits);
    BYTE mask_bits[ICON_PIXELS * ICON_PIXELS / 8] = {};  // a set bit is transparent
    for (int y = 0; y < ICON_PIXELS; ++y)
        for (int x = 0; x < ICON_PIXELS; ++x) {
            const bool edge = x < 2 || y < 2 || x >= ICON_PIXELS - 2 || y >= ICON_PIXELS - 2;
            pixels[y * ICON_PIXELS + x] = edge ? 0 : fill;
            if (edge) mask_bits[(y * ICON_PIXELS + x) / 8] |= 0x80 >> (x % 8);
        }
    HBITMAP mask = CreateBitmap(ICON_PIXELS, ICON_PIXELS, 1, 1, mask_bits);
    ICONINFO icon_info = {TRUE, 0, 0, mask, color};
    HICON icon = CreateIconIndirect(&icon_info);
    DeleteObject(mask);
    DeleteObject(color);
    return icon;
}

// The row's tray icon, with its owner's callback message and a two-line tip.
BOOL AddRow(HWND owner, int row) {
    char tip[64];
    std::snprintf(tip, sizeof tip, "Program %d: connected\r\nVolume 40%%", row);
    TrayChange change = {};
    change.owner = owner;
    change.id = row + 1;
    change.flags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    change.callback_message = PERF_CALLBACK;
    change.icon = MakeRowIcon(row);
    change.tip = tip;
    return TrayAdd(change);
}

double Microseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    return 1e6 * static_cast<double>(to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void Send(const char* broadcast) {
    Deliver(MSG_BROADCAST, 0, reinterpret_cast<LPARAM>(const_cast<char*>(broadcast)));
}

// Runs one timed operation; counts it as unpainted when it did not create
// the fonts a layout and paint (or a paint alone) create.
template <typename Operation>
double Time(Operation operation, const std::vector<HFONT>& fonts, size_t expected_fonts,
            int* unpainted) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    operation();
    GdiFlush();
    QueryPerformanceCounter(&end);
    if (fonts.size() != expected_fonts) ++*unpainted;
    return Microseconds(start, end);
}

}  // namespace

void RunPerf(const std::string& arguments) {
    int rows = 0, iterations = 0;
    if (std::sscanf(arguments.c_str(), "%d %d", &rows, &iterations) != 2 || rows < 1 ||
        iterations < 1) {
        Log("error usage: perf ROWS ITERATIONS");
        return;
    }
    const std::vector<HWND> lists = WindowsRegisteredFor(MSG_BROADCAST);
    if (lists.size() != 1 || GetTraySize() != 0) {
        Log("error perf needs one plug-in window registered for broadcasts and an empty tray");
        return;
    }
    HWND list = lists.front();
    const RECT nowhere = {0, 0, 0, 0};
    HWND owner = MakeWindow(OWNER_CLASS, DefWindowProcA, WS_EX_TOOLWINDOW, nowhere);
    for (int row = 0; row < rows; ++row) AddRow(owner, row);

    // One show to learn the list's size and place, for the floor's window.
    Send("@Marrowick.Cancel");
    Send("@Marrowick.Next");
    UpdateWindow(list);
    RECT rect;
    GetWindowRect(list, &rect);
    Send("@Marrowick.Cancel");
    PumpMessages();
    floor_texts.clear();
    floor_icons.clear();
    for (int row = 0; row < rows; ++row) {
        floor_texts.push_back("Program " + std::to_string(row) + ": connected / Volume 40%");
        floor_icons.push_back(GetTrayIcon(row)->hIcon);
    }
    HWND floor = MakeWindow(FLOOR_CLASS, FloorProc, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, rect);
    ShowWindow(floor, SW_SHOWNOACTIVATE);
    UpdateWindow(floor);
    PumpMessages();

    std::vector<HFONT> fonts;
    CollectStyleFonts(&fonts);
    std::vector<double> show, next, floor_times;
    int unpainted = 0;
    for (int i = 0; i < iterations; ++i) {
        fonts.clear();
        show.push_back(Time(
            [&] {
                Send("@Marrowick.Next");
                UpdateWindow(list);
            },
            fonts, 2, &unpainted));
        fonts.clear();
        next.push_back(Time(
            [&] {
                Send("@Marrowick.Next");
                UpdateWindow(list);
            },
            fonts, 1, &unpainted));
        Send("@Marrowick.Cancel");
        PumpMessages();
        fonts.clear();
        floor_times.push_back(Time(
            [&] {
                InvalidateRect(floor, nullptr, TRUE);
                UpdateWindow(floor);
            },
            fonts, 1, &unpainted));
        PumpMessages();
    }
    CollectStyleFonts(nullptr);

    const double show_us = Median(show), next_us = Median(next), floor_us = Median(floor_times);
    Log("perf rows=%d iterations=%d width=%ld height=%ld show_us=%.1f next_us=%.1f floor_us=%.1f "
        "show_ratio=%.2f next_ratio=%.2f unpainted=%d",
        rows, iterations, rect.right - rect.left, rect.bottom - rect.top, show_us, next_us,
        floor_us, show_us / floor_us, next_us / floor_us, unpainted);

    DestroyWindow(floor);
    for (int row = 0; row < rows; ++row) TrayDelete(owner, row + 1);
    DestroyWindow(owner);
    PumpMessages();
}
