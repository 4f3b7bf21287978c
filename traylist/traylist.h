// The tray list as the rest of the plug-in sees it: the bro@m commands that
// drive it, the window messages that reach it from the list window's
// procedure, and its state, which only the list itself writes
// (traylist/list.cpp).
#pragma once

#include <windows.h>

// The list's rows and highlight.
struct ListState {
    int visible;          // 1 while the list is shown
    int selected;         // highlighted row, which is also the host's tray entry index
    int count;            // rows, fixed each time the list is shown
    int first = 0;        // the row at the window's top when it has no room for all
    int window_rows = 0;  // rows the window has room for when fewer than count; else 0
    int shows = 0;        // how often the list was shown: tells one showing from the next
};

// Read-only for everyone but the list itself.
extern const ListState& list_state;

// Every bro@m for the plug-in begins with this.
constexpr char BROAM_PREFIX[] = "@Marrowick.";

// Parses and runs one broadcast string.
void HandleBroam(const char* text);

// Hides a shown list, as "Cancel" does; a hidden one stays as it is.
void CancelList();

// Answers WM_PAINT of the list window.
void DrawList(HWND window);

// The list window is gone: the list can no longer be shown, and forgets its
// rows.
void ListWindowDestroyed();

// The keys and mouse actions of an interactive list, from its window
// procedure; each does nothing unless the list is interactive and shown.
void OnListKey(WPARAM key);
void OnListChar(WPARAM character);
void OnListContextMenu(LPARAM where);
void OnListMouseMove(HWND window, LPARAM where);
void OnListButtonDown(UINT message);
void OnListButtonUp(HWND window, UINT message, LPARAM where);
void OnListWheel(WPARAM state);
void OnListActivate(HWND window, WPARAM state, LPARAM other);
void OnListSetCursor();
