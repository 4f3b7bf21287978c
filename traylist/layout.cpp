// The list window's size and place.
#include "traylist/layout.h"

#include "config/config.h"
#include "host/host.h"
#include "plugin/module.h"
#include "traylist/geometry.h"
#include "traylist/tiptext.h"

namespace {

struct TextSize {
    int width;
    int height;
};

// The widest and the tallest of the rows' one-line texts in the base style's
// font; the height is never less than the icon.
TextSize MeasureRows(HDC dc, int count) {
    TextSize largest = {0, config.icon_size};
    RECT measured = {};
    char scratch[TIP_BUFFER_SIZE];
    for (int i = 0; i < count; ++i) {
        const TrayEntry* entry = GetTrayIcon(i);
        if (!entry) break;
        DrawTextA(dc, RowText(*entry, scratch), -1, &measured,
                  DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
        if (measured.bottom > largest.height) largest.height = measured.bottom;
        if (measured.right > largest.width) largest.width = measured.right;
    }
    return largest;
}

// The window's place and size on the screen.
struct Placement {
    int x;
    int y;
    int width;
    int height;
    int window_rows;  // the rows it has room for when fewer than the list has, else 0
};

Placement CentreOnScreen(int width, int height) {
    return {GetScreenWidth() / 2 - width / 2, GetScreenHeight() / 2 - height / 2, width, height, 0};
}

// The window the user works in: the foreground window, unless it is one
// that lies on no monitor of its own, the desktop (which spans them all) or a
// window hidden or minimized, such as the hidden owner a tray program leaves
// in the foreground when a click opened nothing.
HWND GetWorkingWindow() {
    HWND foreground = GetForegroundWindow();
    if (!foreground || foreground == GetDesktopWindow() || foreground == GetShellWindow() ||
        !IsWindowVisible(foreground) || IsIconic(foreground))
        return nullptr;
    return foreground;
}

// The monitor's work area; 0 when it cannot be had, or when it is empty or
// inverted: a list fitted into it would have no height, and an interactive
// one would hold the focus unseen.
int GetWorkArea(HMONITOR monitor, RECT* area) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!monitor || !GetMonitorInfoA(monitor, &info)) return 0;
    const RECT& work = info.rcWork;
    if (work.right <= work.left || work.bottom <= work.top) return 0;
    *area = work;
    return 1;
}

// Centred on the work area and kept inside it: a list taller than the area
// takes the area's height and shows as many whole rows as fit, at least one.
Placement CentreInWorkArea(const RECT& area, int count, int width, int row_height, int height) {
    const Padding& base = config.base_padding;
    const int area_width = ClampToInt(Wide{area.right} - area.left);
    const int area_height = ClampToInt(Wide{area.bottom} - area.top);
    int window_rows = 0;
    if (height > area_height) {
        height = area_height;
        if (row_height > 0) {
            const Wide room = (Wide{area_height} - base.top - base.bottom) / row_height;
            const int rows = room < 1 ? 1 : ClampToInt(room);
            window_rows = rows < count ? rows : 0;
        }
    }
    if (width > area_width) width = area_width;
    return {ClampToInt(Wide{area.left} + area_width / 2 - width / 2),
            ClampToInt(Wide{area.top} + area_height / 2 - height / 2), width, height, window_rows};
}

}  // namespace

HMONITOR UserMonitor() {
    if (HWND foreground = GetWorkingWindow())
        return MonitorFromWindow(foreground, MONITOR_DEFAULTTONEAREST);
    POINT pointer = {};
    GetCursorPos(&pointer);
    return MonitorFromPoint(pointer, MONITOR_DEFAULTTONEAREST);
}

int GetScreenWidth() {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    return width > 0 ? width : config.screen_width;
}

int GetScreenHeight() {
    const int height = GetSystemMetrics(SM_CYSCREEN);
    return height > 0 ? height : config.screen_height;
}

int LayoutList(const ListState& list, HMONITOR monitor) {
    StyleRecord* base_style = GetSettingPtr(config.base_style);
    HDC dc = GetDC(hListWnd);
    if (!dc) return 0;
    HFONT font = CreateStyleFont(base_style);
    HGDIOBJ previous_font = SelectObject(dc, font);
    const TextSize text = MeasureRows(dc, list.count);
    SelectObject(dc, previous_font);
    DeleteObject(font);
    ReleaseDC(hListWnd, dc);

    const Padding& base = config.base_padding;
    const Padding& tip = config.tip_padding;
    const int width = ClampToInt(Wide{text.width} + tip.left + tip.right + config.icon_size +
                                 config.icon_tip_padding + base.left + base.right);
    const int row_height = ClampToInt(Wide{text.height} + tip.top + tip.bottom);
    const int height = ClampToInt(Wide{row_height} * list.count + base.top + base.bottom);
    RECT area;
    const Placement place = GetWorkArea(monitor, &area)
                                ? CentreInWorkArea(area, list.count, width, row_height, height)
                                : CentreOnScreen(width, height);
    SetWindowPos(hListWnd, nullptr, place.x, place.y, place.width, place.height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    return place.window_rows;
}
