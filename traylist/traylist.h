// The tray list: its state, the bro@m commands that drive it, the keys and
// mouse actions that drive it when it is interactive, the click it forwards
// and the point it says the click happened at, the one-line tip texts, what
// it tells screen readers, and its layout and painting.
#pragma once

#include <windows.h>

#include "config/config.h"

struct TrayEntry;

// The list's state; written by the command handling, and by the layout for
// the rows the window has room for.
struct ListState {
    int visible;          // 1 while the list is shown
    int selected;         // highlighted row, which is also the host's tray entry index
    int count;            // rows, fixed each time the list is shown
    int first = 0;        // the row at the window's top when it has no room for all
    int window_rows = 0;  // rows the window has room for when fewer than count; else 0
    int shows = 0;        // how often the list was shown: tells one showing from the next
};

extern ListState list_state;

// The settings a showing of the list acts by, taken from config as it is
// shown: a reconfigure while the list is up changes them from its next
// showing, as it does the list's size.
struct ListSettings {
    int interactive;
    int notify_version;
    char enter_click[CLICK_NAME_SIZE];
    ProgramVersions notify_version_by_program;
};

extern ListSettings list_settings;

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
// Scrolls a list taller than its window by rows (up when negative), as far
// as there are rows, keeping the highlight on a row in view.
void ScrollRows(int rows);
// Counts the rows again after a purge while the list is shown, lays the
// window out for them, and keeps the highlight on the entry the user was
// shown, or on the same row number when that entry is gone.
void RefitList(int count);

// The list window is gone: the list can no longer be shown.
void ListWindowDestroyed();

// The host's tray size, 0 when it reports less.
int TraySize();
// The last row of the list, 0 when it has none.
int LastRow();

// The number of rows: the host's tray size after a purge of dead entries;
// *purged is set to 1 when there was one.
int CountTrayEntries(int* purged = nullptr);

// The entry the user was last shown highlighted: drawn by the last paint or
// named to screen readers since. A move of the highlight forgets it until it
// is drawn or named again.
void ForgetShownEntry();
void NoteShownEntry(const TrayEntry& entry);
// Notes the entry at the highlighted row of a shown list as shown, unless
// one is noted already.
void SettleShownEntry();
// The index of the shown entry among the first end entries, -1 when it is
// not there or none is noted.
int FindShownEntry(int end);
// The entry a click of the list goes to: the shown one wherever it now
// stands in the tray, or, when none is noted, the entry at the highlighted
// row; null when there is none or the list has no rows.
const TrayEntry* ChosenEntry();

// Where a click in the version-4 form says it happened: at the highlighted
// row's icon in the list, where the mouse pointer is, or where it was as the
// message being handled (a button coming up) was sent.
constexpr int ANCHOR_ROW = 0;
constexpr int ANCHOR_POINTER = 1;
constexpr int ANCHOR_MESSAGE = 2;

// Posts the named click to the owner of the chosen entry.
void SendClick(const char* click_name, int anchor = ANCHOR_ROW);
// Sends the click as SendClick does, then hides the list, as "Send" does.
void SendAndHide(const char* click_name, int anchor);
// Hides the list as it loses activation, or, while a click is brought to its
// owner, once the click's messages are posted.
void HideOnDeactivation();

// Posts the named click to the owner of the first live entry whose one-line
// tip holds the length bytes of text, without regard to case; reports when
// there is none.
void ClickMatchingEntry(const char* click_name, const char* text, int length);

// The program an owner window belongs to: its executable's file name,
// without a folder, from a snapshot of the system's processes opened for one
// click and closed after it. 0 when the window's process is not in it.
HANDLE OpenProcessList();
void CloseProcessList(HANDLE processes);
int GetOwnerProgram(HANDLE processes, HWND owner, char (&program)[MAX_PATH]);
// The notification version for the owner's icons: that of its program's pair
// in versions, else version.
int NotifyVersionFor(HWND owner, int version, const ProgramVersions& versions);
// The first live entry among the first count whose owner belongs to the
// program named by the length bytes of text; null when there is none.
const TrayEntry* FindEntryByProgram(const char* text, int length, int count);

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
// of the user's code page, character by character.
void FoldCase(char* text);
int TipBeginsWith(const char* tip, const char* folded_prefix);
int TipContains(const char* tip, const char* folded_part);
// The character after the one text points at: two bytes on for the lead
// byte of a double-byte character, else one.
const char* NextCharacter(const char* text);
// The first live entry among the first count whose one-line tip holds the
// length bytes of text; null when there is none.
const TrayEntry* FindEntryByTip(const char* text, int length, int count);

// Type-ahead: a typed character, of length bytes, highlights the next row
// whose tip begins with what was typed in quick succession.
void TypeAhead(const char* character, int length, DWORD time);
void ForgetTyping();

// The highlighted row as screen readers hear it: the list window's name, and
// the events that make them read it.
constexpr int NAME_CHANGE = 1;
constexpr int FOCUS = 2;
void NameHighlight();
void NotifyHighlight(int events);

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
void OnListButtonDown(UINT message);
void OnListButtonUp(HWND window, UINT message, LPARAM where);
void OnListWheel(WPARAM state);
void OnListActivate(HWND window, WPARAM state, LPARAM other);
void OnListSetCursor();
// Forgets what the user did on an earlier showing, and notes where the
// pointer is as the list is shown.
void ForgetInput();
