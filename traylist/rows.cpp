// Where the rows lie in the list window. The window is borderless: its
// client area is the whole window.
#include "traylist/rows.h"

#include "config/config.h"

int RowsShown(const ListState& list) {
    return list.window_rows > 0 && list.window_rows < list.count ? list.window_rows : list.count;
}

int LastRow(const ListState& list) { return list.count > 0 ? list.count - 1 : 0; }

// The rows shown share what the window's height leaves between the two
// vertical base paddings, each the same whole number of pixels.
Wide RowPitch(const ListState& list, Wide window_height) {
    const Padding& base = config.base_padding;
    const int rows = RowsShown(list);
    return rows > 0 ? (window_height - base.top - base.bottom) / rows : 0;
}

int RowAt(const ListState& list, int window_height, int y) {
    const Wide pitch = RowPitch(list, window_height);
    const Wide offset = Wide{y} - config.base_padding.top;
    if (pitch <= 0 || offset < 0 || offset / pitch >= RowsShown(list)) return -1;
    const int row = list.first + static_cast<int>(offset / pitch);
    return row < list.count ? row : -1;
}

int RowUnder(const ListState& list, HWND window, LPARAM where) {
    RECT client = {};
    GetClientRect(window, &client);
    return RowAt(list, client.bottom - client.top, static_cast<short>(HIWORD(where)));
}
