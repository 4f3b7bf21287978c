// Painting the list: the base style's background, the highlight behind the
// selected row, and each row's icon and one-line tip text.
#pragma once

#include <windows.h>

#include "traylist/traylist.h"

struct TrayEntry;

// Answers WM_PAINT of the list window for the list; returns the entry it
// drew in the highlighted row, null when it drew no highlight.
const TrayEntry* PaintList(HWND window, const ListState& list);
