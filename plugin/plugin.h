// The plug-in's entry points, exported undecorated to the host through
// Marrowick.def, and the list
// window's procedure.
#pragma once

#include <windows.h>

extern "C" {
// Starts the plug-in: 0 when it runs, 1 when it failed to start.
int beginPlugin(HINSTANCE instance);
// Stops the plug-in: destroys the list window and unregisters its class.
void endPlugin(HINSTANCE instance);
// The plug-in's name, version, author, release dates, home page or e-mail.
const char* pluginInfo(int query);
}

// Routes the list window's messages; every message also gets the default
// processing, whose result is returned.
LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
