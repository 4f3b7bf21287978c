// The shell as the system tray, which programs reach with Shell_NotifyIcon:
// the tray window that answers each call (tray_window.cpp), Wine's record of
// the call and its decoder (notify_record.h), and the store of icons the
// plug-ins read through GetTraySize and GetTrayIcon (tray_store.cpp). Beside
// them, icons drawn as pixels for the stand-in world's programs
// (pixel_icon.h). Of devhost/ this folder includes only the log.
#pragma once

#include <windows.h>

// ---- the tray window (tray_window.cpp) -------------------------------------------

// Creates the tray window that Shell_NotifyIcon finds, checks that it is the
// one found, and asks running programs to add their icons again. false,
// with the reason logged, when the shell cannot be the system tray.
bool StartSystemTray(HINSTANCE instance);
void StopSystemTray();

// ---- the tray's icons (tray_store.cpp) -------------------------------------------

// One change to a tray icon as its owner asked for it. flags says which
// fields are set, with the NIF_ bits of Shell_NotifyIcon.
struct TrayChange {
    HWND owner;
    UINT id;
    UINT flags;
    UINT callback_message;
    HICON icon;       // NIF_ICON; the tray owns it from here on, even on failure
    const char* tip;  // NIF_TIP
    DWORD state;      // NIF_STATE: NIS_HIDDEN keeps the icon out of the list
    DWORD state_mask;
};
BOOL TrayAdd(const TrayChange& change);
BOOL TrayModify(const TrayChange& change);
BOOL TrayDelete(HWND owner, UINT id);
BOOL TraySetVersion(HWND owner, UINT id, UINT version);
BOOL TrayHasIcon(HWND owner, UINT id);
// Drops the icons whose owner window is gone; returns how many.
int TrayPurge();
void LogTray();
void ClearTray();
