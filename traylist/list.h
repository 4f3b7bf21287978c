// The verbs of the list's state machine (traylist/list.cpp), named for what
// the user does. The bro@m commands and the input handlers translate what
// reaches them into these; nothing else writes the list's state.
#pragma once

#include <windows.h>

#include "config/config.h"
#include "traylist/click.h"
#include "traylist/traylist.h"

// The settings a showing of the list acts by, taken from config as it is
// shown: a reconfigure while the list is up changes them from its next
// showing, as it does the list's size and place.
struct ListSettings {
    int interactive;
    int notify_version;
    char enter_click[CLICK_NAME_SIZE];
    ProgramVersions notify_version_by_program;
};

extern const ListSettings& list_settings;

// Shows the list with its first row highlighted, or its last with SHOW_LAST.
constexpr int SHOW_LAST = 1;
void ShowList(int highlight = 0);
void HideList();

// Highlights row, scrolls it into view and repaints the list.
void MoveHighlight(int row);
void HighlightNext();
void HighlightPrevious();
// Scrolls a list taller than its window by rows (up when negative), as far
// as there are rows, keeping the highlight on a row in view.
void ScrollRows(int rows);

// Clicks the entry the user was shown highlighted, then hides the list: Send,
// Enter, the Apps key and Shift+F10.
void ClickShown(const char* click_name, int anchor);
// Clicks the entry at row, highlighted first: a button coming up on a row.
void ClickRow(int row, const char* click_name);
// Clicks the first live entry that the length bytes of text name, by tip or
// by program, after the same purge of dead entries as a show; reports when
// there is none. A shown list stays shown.
void ClickMatching(const char* click_name, const char* text, int length);

// The list lost activation to a window that is not its own.
void ListDeactivated();

// What the user does with the mouse and the keyboard on an interactive list.
// The pointer stands at the screen point at (as GetMessagePos packs it), at
// where in the window; a button is a bit of its own.
void PointAt(DWORD at, HWND window, LPARAM where);
void PressButton(int button);
void ReleaseButton(int button, const char* click_name, HWND window, LPARAM where);
void TurnWheel(int delta);
void TypeCharacter(WPARAM character);
