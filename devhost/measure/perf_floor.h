// The floors the perf command times the plug-in against: the host's own
// windows doing, with the same calls, what the plug-in's list does.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A hidden WS_POPUP window of class_name (registered on first use with no
// class styles and no background brush, as the plug-in's list class is).
HWND MakePerfWindow(const char* class_name, WNDPROC procedure, DWORD ex_style, const RECT& rect);
// A hidden window that paints as the floor: WS_EX_TOOLWINDOW | WS_EX_TOPMOST,
// as the plug-in's list is.
HWND MakeFloorWindow(const RECT& rect);

// The rows the floor windows draw and measure: the texts as the list shows
// them (on one line) and the tray's icons.
void SetFloorRows(std::vector<std::string> texts, std::vector<HICON> icons);

// The repaint floor: invalidates the whole window and paints it at once.
void RepaintFloor(HWND window);

// The show floor: what "@Marrowick.Next" costs on the hidden list. Measures
// the rows' texts, sizes and centres the window for them, shows and activates
// it and paints it at once.
void ShowFloor(HWND window);
void HideFloor(HWND window);
