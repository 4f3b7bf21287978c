// The stand-in host's parts, shared between its source files.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "devhost/escape.h"
#include "devhost/protocol.h"

// One line to the host's log (stdout, or the file given with -log), flushed
// at once so that a test or a person can follow it while the host runs.
void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Styles: the built-in ones, overridden key by key from a style file ("" for
// none). Read again on every reconfigure.
void LoadStyles(const std::string& style_file);

// The tray, fed by tray-owning programs through WM_COPYDATA.
BOOL TrayAdd(const TrayMessage& message);
BOOL TrayModify(const TrayMessage& message);
BOOL TrayDelete(const TrayMessage& message);
// Drops the entries whose owner window is gone; returns how many.
int TrayPurge();
void LogTray();
void ClearTray();

// ---- what the stress and timing commands use of the host -------------------

// Sends message to every window registered for it; returns how many got it.
int Deliver(UINT message, WPARAM wParam, LPARAM lParam);
// The windows registered for message, in registration order.
std::vector<HWND> WindowsRegisteredFor(UINT message);
// The first loaded plug-in's module and path; false when none is loaded.
bool FirstPlugin(HMODULE* module, std::string* path);
// How many MSG_TRAY_PURGE the host has received so far.
int PurgeRequests();
// Handles every message waiting for the host's thread.
void PumpMessages();

// Every font CreateStyleFont hands out is appended to sink while it is set.
void CollectStyleFonts(std::vector<HFONT>* sink);
// The fill colour of a style index when its fill is one colour throughout.
bool SolidStyleColor(int style_index, COLORREF* color);

// Device contexts a plug-in opens and closes, counted through its imports.
struct DcCounts {
    long opened = 0;  // handed out by GetDC, BeginPaint...
    long closed = 0;  // given back by ReleaseDC, EndPaint...
    long stray = 0;   // given back without having been handed out, or not taken back
    long open = 0;    // handed out and not given back yet
};
// Starts counting for module; returns how many of its imports are counted.
int WatchDeviceContexts(HMODULE module);
void UnwatchDeviceContexts();
DcCounts DeviceContexts();

// The host commands "stress N SEED FILE" and "perf ROWS ITERATIONS".
void RunStress(const std::string& arguments);
void RunPerf(const std::string& arguments);
