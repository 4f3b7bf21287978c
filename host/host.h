// The host shell's interface as the plug-in sees it: the functions imported
// by name from blackbox.exe, the two host records the plug-in reads, and the
// registered-message numbers it sends or receives.
#pragma once

#include <windows.h>

#include <cstddef>

// Bytes the host keeps for a tray tip inside its record, terminator included.
constexpr int TRAY_TIP_CAPACITY = 512;

// One tray icon, owned by the host. The plug-in fetches a fresh pointer for
// every use and never keeps, frees or writes it.
struct TrayEntry {
    HWND hWnd;                      // owner window of the icon
    UINT uID;                       // icon identifier chosen by the owner
    UINT uCallbackMessage;          // the owner's callback message number
    HICON hIcon;                    // the icon
    char szTip[TRAY_TIP_CAPACITY];  // NUL-terminated; may hold CR and LF
};

// One style item, owned by the host. Opaque to the plug-in except for the
// text colour at byte 24.
struct StyleRecord {
    unsigned char opaque[24];
    COLORREF TextColor;
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(offsetof(TrayEntry, hWnd) == 0);
static_assert(offsetof(TrayEntry, uID) == 4);
static_assert(offsetof(TrayEntry, uCallbackMessage) == 8);
static_assert(offsetof(TrayEntry, hIcon) == 12);
static_assert(offsetof(TrayEntry, szTip) == 16);
static_assert(offsetof(StyleRecord, TextColor) == 24);
#endif

// Registered messages of the host.
constexpr UINT MSG_REGISTER = 10001;     // plug-in to host: wParam window, lParam MESSAGE_LIST
constexpr UINT MSG_UNREGISTER = 10002;   // plug-in to host: same arguments
constexpr UINT MSG_RECONFIGURE = 10103;  // host to plug-in: configuration changed
constexpr UINT MSG_TRAY_PURGE = 10508;   // plug-in to host: drop dead tray entries now
constexpr UINT MSG_BROADCAST = 10901;    // host to plug-in: lParam is the bro@m text

// The messages the list window asks the host to deliver; zero-terminated.
inline constexpr int MESSAGE_LIST[] = {MSG_BROADCAST, MSG_RECONFIGURE, 0};

// Functions exported by blackbox.exe, cdecl and undecorated.
extern "C" {
HWND GetBBWnd();
int GetTraySize();
TrayEntry* GetTrayIcon(int index);
StyleRecord* GetSettingPtr(int style_index);
void MakeStyleGradient(HDC hdc, RECT* rect, StyleRecord* style, bool border);
HFONT CreateStyleFont(StyleRecord* style);
int ReadInt(const char* rc_path, const char* key, int default_value);
const char* ReadString(const char* rc_path, const char* key, const char* default_text);
}
