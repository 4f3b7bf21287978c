// Sizing the list window for its rows and centring it: on the primary screen,
// or on the work area of a monitor, inside which it is kept, showing only as
// many rows as fit when there are more.
#pragma once

#include <windows.h>

#include "traylist/traylist.h"

// The monitor the user works on: that of the foreground window, or of the
// pointer when there is none; null when it cannot be had.
HMONITOR UserMonitor();

// Sizes the list window for the list's rows and centres it on the screen, or
// on the work area of monitor unless that is null or cannot be had. Returns
// the rows the window has room for when fewer than the list has, else 0.
int LayoutList(const ListState& list, HMONITOR monitor);

int GetScreenWidth();
int GetScreenHeight();
