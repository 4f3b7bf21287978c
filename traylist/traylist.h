// The tray list: its state, the bro@m commands that drive it, the keys and
// mouse actions that drive it when it is interactive, the click it forwards
// and the point it says the click happened at, the one-line tip texts, what
// it tells screen readers, and its layout and painting.
#pragma once

#include <windows.h>

struct TrayEntry;

// The list's state; written by the command handling, and by the layout for
// the rows the window has room for.
struct ListState {
    int visible;          // 1 while the list is shown
    int selected;         // highlighted row, which is also the host's tray entry index
    int count;            // rows, fixed each time the list is shown
    int first = 0;        // the row at the window's top when it has no room for all
    int window_rows = 0;  // rows the window has room for when fewer than count; else 0
};

extern ListState list_state;

// Every bro@m for the plug-in begins with this.
constexpr char BROAM_PREFIX[] = "@Marrowick.";

// Bytes of the scratch buffer a tip text is turned into one line in.
constexpr int TIP_BUFFER_SIZE = 256;

// Parses and runs one broadcast string.
void HandleBroam(const char* text);
// Shows the list with its first row highlighted, or its last with SHOW_LAST.
constexpr int SHOW_LAST = 1;
void ShowList(int highlight = 0);
void HideList();
// Highlights row, scrolls it into view and repaints the list.
void MoveHighlight(int row);
void HighlightNext();
void HighlightPrevious();

// The list window is gone: the list can no longer be shown.
void ListWindowDestroyed();

// The number of rows: the host's tray size after a purge of dead entries.
int CountTrayEntries();

// Where a click in the version-4 form says it happened: at the highlighted
// row's icon in the list, or where the mouse pointer is.
constexpr int ANCHOR_ROW = 0;
constexpr int ANCHOR_POINTER = 1;

// Posts the named click to the owner of the highlighted entry.
void SendClick(const char* click_name, int anchor = ANCHOR_ROW);

// Posts the named click to the owner of the first live entry whose one-line
// tip holds text, without regard to case; reports when there is none.
void ClickMatchingEntry(const char* click_name, const char* text);

// The screen point at the centre of the highlighted row's icon, packed for a
// click's wParam in the version-4 form; 0, 0 when the list window's place
// cannot be had.
WPARAM ClickAnchor();

// The rows' place in the list window, as painting draws them: the number of
// rows the window shows, and the row at a client y (-1 when y lies on no
// row). Their height is in traylist/geometry.h.
int RowsShown();
int RowAt(int window_height, int y);

// Tip texts compared as a person reads them: folded to one case by the rules
// of the user's code page.
void FoldCase(char* text);
int TipBeginsWith(const char* tip, const char* folded_prefix);
int TipContains(const char* tip, const char* folded_part);
// The first live entry whose one-line tip holds text, after the purge of dead
// entries that showing the list makes; null when there is none.
const TrayEntry* FindEntryByTip(const char* text);

// Type-ahead: a typed letter or digit highlights the next row whose tip
// begins with what was typed in quick succession.
void TypeAhead(char character, DWORD time);
void ForgetTyping();

// The highlighted row as screen readers hear it: the list window's name, and
// the events that make them read it.
void NameHighlight();
void NotifyHighlight();

// Copies source into destination with carriage returns dropped and each line
// feed replaced by the configured separator; returns destination.
char* ConvertNewLines(char* destination, const char* source, int size);

// Sizes the list window for count rows and centres it on the screen, or on
// the work area of the user's monitor.
void LayoutList();
int GetScreenWidth();
int GetScreenHeight();

// Answers WM_PAINT of the list window.
void PaintList(HWND window);

// The keys and mouse actions of an interactive list, from its window
// procedure; each does nothing unless the list is interactive and shown.
void OnListKey(WPARAM key);
void OnListChar(WPARAM character);
void OnListContextMenu(LPARAM where);
void OnListMouseMove(HWND window, LPARAM where);
void OnListButtonUp(HWND window, UINT message, LPARAM where);
void OnListActivate(HWND window, WPARAM state, LPARAM other);
void OnListSetCursor();
// Notes where the pointer is as the list is shown.
void RememberPointer();
