// How other processes talk to the running stand-in shell and to the demo
// tray program, besides the system tray's own Shell_NotifyIcon protocol
// (devhost/systray/tray_window.cpp): WM_COPYDATA with a text.
//
//   to the shell's main window (class HOST_CLASS_NAME):
//     dwData COPYDATA_COMMAND, a host command (see docs/stand-in-shell.md), NUL included
//   to a tray program's main window (class TRAYAPP_CLASS_NAME, titled with
//   the program's name):
//     dwData COPYDATA_TRAYAPP_COMMAND, one of its commands (devhost/trayapp/main.cpp)
//
// The receiver answers TRUE when it took the text. The shell queues its
// commands and runs them later, so a sender never waits for a command that
// opens a message box.
#pragma once

#include <windows.h>

// The shell's main window, found with FindWindowA(HOST_CLASS_NAME, nullptr).
constexpr char HOST_CLASS_NAME[] = "BlackboxDevHost";
constexpr ULONG_PTR COPYDATA_COMMAND = 16;

constexpr char TRAYAPP_CLASS_NAME[] = "MarrowickDemoTray";
constexpr ULONG_PTR COPYDATA_TRAYAPP_COMMAND = 17;
// The window a tray program opens from its menu or on a double click, titled
// with the program's name.
constexpr char TRAYAPP_WINDOW_CLASS_NAME[] = "MarrowickDemoTrayWindow";
