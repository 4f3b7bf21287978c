// Where the rows of a list lie in the list window, and on the screen.
// Painting, the click's anchor and the mouse all take a row's place from
// here, so that what is clicked is what is drawn.
#pragma once

#include <windows.h>

#include "traylist/geometry.h"
#include "traylist/traylist.h"

// The number of rows the window shows.
int RowsShown(const ListState& list);
// The last row of the list, 0 when it has none.
int LastRow(const ListState& list);
// The height of each row the list window shows, from the window's height.
Wide RowPitch(const ListState& list, Wide window_height);
// The row at a client y, -1 when y lies on no row.
int RowAt(const ListState& list, int window_height, int y);
// The row under a mouse message's client point in the window, -1 for none.
int RowUnder(const ListState& list, HWND window, LPARAM where);

// The screen point at the centre of the highlighted row's icon, packed for a
// click's wParam in the version-4 form; 0, 0 when the list window's place
// cannot be had.
WPARAM ClickAnchor(const ListState& list);
