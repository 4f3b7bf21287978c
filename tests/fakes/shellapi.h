// A stand-in for <shellapi.h> in the native build: the notification-area
// constants the stand-in shell's tray record decoder names.
#pragma once

#include <windows.h>

// Shell_NotifyIcon's operations.
constexpr DWORD NIM_ADD = 0x00000000;
constexpr DWORD NIM_MODIFY = 0x00000001;
constexpr DWORD NIM_DELETE = 0x00000002;
constexpr DWORD NIM_SETFOCUS = 0x00000003;
constexpr DWORD NIM_SETVERSION = 0x00000004;

// Which fields of a notification are valid.
constexpr UINT NIF_MESSAGE = 0x00000001;
constexpr UINT NIF_ICON = 0x00000002;
constexpr UINT NIF_TIP = 0x00000004;
constexpr UINT NIF_STATE = 0x00000008;
constexpr UINT NIF_INFO = 0x00000010;
constexpr UINT NIF_GUID = 0x00000020;
constexpr UINT NIF_SHOWTIP = 0x00000080;

constexpr DWORD NIS_HIDDEN = 0x00000001;
