// trayapp.exe, a tray program like the ones users have: it puts its icons
// into the system tray with Shell_NotifyIconA or Shell_NotifyIconW, declares
// a notification version per icon, and answers its tray callbacks the way
// programs of that version do, opening a real menu or a window of its own.
#pragma once

#include <windows.h>

#include <string>

// Each version's icons call back with a message of their own, so that the
// program knows how to read the callback's parameters.
constexpr UINT WM_TRAY_CALLBACK = WM_APP + 0x40;  // + the icon's version
constexpr UINT TRAY_VERSION_NONE = 0;
constexpr UINT TRAY_VERSION_3 = 3;  // NOTIFYICON_VERSION
constexpr UINT TRAY_VERSION_4 = 4;  // NOTIFYICON_VERSION_4

// The program's settings from its command line.
struct Program {
    std::string name = "trayapp";
    bool wide = true;         // Shell_NotifyIconW, else Shell_NotifyIconA
    UINT version = 0;         // for entries that name none
    bool passive = false;     // only logs its callbacks, opens nothing
    bool foreground = false;  // logs where the foreground is as each callback arrives
    FILE* log = stdout;
    HWND window = nullptr;  // its main window, which owns its icons by default
};
extern Program program;

// One line to the program's log, flushed at once.
void LogLine(const char* format, ...) __attribute__((format(printf, 1, 2)));

// ---- icons.cpp: the program's icons in the tray ---------------------------------

// "ID[:VERSION] #rrggbb LETTER TIP": adds an icon owned by owner.
bool AddIcon(const std::string& entry, HWND owner);
bool ChangeTip(unsigned id, const std::string& tip);
bool DeleteIcon(unsigned id);
void DeleteAllIcons();
// The tray started (again): every icon goes in anew.
void AddIconsAgain();
// Forgets the icons of a window that goes away, leaving them in the tray.
void ForgetIconsOf(HWND owner);
// The version an icon of this program declared; false when it has no such icon.
bool IconVersion(unsigned id, UINT* version);

// ---- callbacks.cpp: what the program does with a tray callback -----------------

// Logs the callback as its icon's version reads it and acts on it; false
// when message is not a tray callback.
bool OnTrayCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// How many callbacks were logged so far.
long CallbacksLogged();
// The class of the window the program opens from its menu or a double click.
void RegisterProgramWindowClass(HINSTANCE instance);
