// The tray list: its state, the bro@m commands that drive it, the click it
// forwards and the point it says the click happened at, the one-line tip
// texts, and its layout and painting.
#pragma once

#include <windows.h>

// The list's state; written only by the command handling.
struct ListState {
    int visible;   // 1 while the list is shown
    int selected;  // highlighted row, which is also the host's tray entry index
    int count;     // rows, fixed each time the list is shown
};

extern ListState list_state;

// Every bro@m for the plug-in begins with this.
constexpr char BROAM_PREFIX[] = "@Marrowick.";

// Bytes of the scratch buffer a tip text is turned into one line in.
constexpr int TIP_BUFFER_SIZE = 256;

// Parses and runs one broadcast string.
void HandleBroam(const char* text);
void ShowList();
void HideList();

// The list window is gone: the list can no longer be shown.
void ListWindowDestroyed();

// The number of rows: the host's tray size after a purge of dead entries.
int CountTrayEntries();

// Posts the named click to the owner of the highlighted entry.
void SendClick(const char* click_name);

// The screen point at the centre of the highlighted row's icon, packed for a
// click's wParam in the version-4 form; 0, 0 when the list window's place
// cannot be had.
WPARAM ClickAnchor();

// Copies source into destination with carriage returns dropped and each line
// feed replaced by the configured separator; returns destination.
char* ConvertNewLines(char* destination, const char* source, int size);

// Sizes the list window for count rows and centres it on the screen.
void LayoutList();
int GetScreenWidth();
int GetScreenHeight();

// Answers WM_PAINT of the list window.
void PaintList(HWND window);
