// Where the rows lie in the list window. Painting, the click's anchor and the
// mouse all take a row's place from here, so that what is clicked is what is
// drawn. The window is borderless: its client area is the whole window.
#include "config/config.h"
#include "traylist/geometry.h"
#include "traylist/traylist.h"

int RowsShown() {
    const ListState& s = list_state;
    return s.window_rows > 0 && s.window_rows < s.count ? s.window_rows : s.count;
}

// The rows shown share what the window's height leaves between the two
// vertical base paddings, each the same whole number of pixels.
Wide RowPitch(Wide window_height) {
    const Padding& base = config.base_padding;
    const int rows = RowsShown();
    return rows > 0 ? (window_height - base.top - base.bottom) / rows : 0;
}

int RowAt(int window_height, int y) {
    const Wide pitch = RowPitch(window_height);
    const Wide offset = Wide{y} - config.base_padding.top;
    if (pitch <= 0 || offset < 0 || offset / pitch >= RowsShown()) return -1;
    const int row = list_state.first + static_cast<int>(offset / pitch);
    return row < list_state.count ? row : -1;
}
