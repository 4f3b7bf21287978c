// Measuring the plug-in from inside the shell and driving it as a person
// would, for the tests, the benchmarks and the demo: the times of "perf"
// beside the shell's own floors (perf.cpp, perf_floor.h), the census of the
// device contexts a plug-in opens and closes (dcwatch.cpp), screenshots
// (screenshot.cpp), key presses (keys.cpp) and the mouse (mouse.cpp). The
// shell's command table runs them; the stress run counts device contexts with
// them.
#pragma once

#include <windows.h>

#include <string>

// ---- the census of device contexts (dcwatch.cpp) -------------------------------

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

// ---- screenshots (screenshot.cpp) ----------------------------------------------

// The whole screen, every monitor, as a 24-bit bottom-up BMP file.
bool SaveScreen(const std::string& path);

// ---- the host commands "key NAME...", "mouse ACTION X Y", "perf ROWS ITERATIONS" --

void PressKeys(const std::string& names);
void UseMouse(const std::string& arguments);
// One key or chord of the key command ("down", "shift+f10", "a") and one
// action of the mouse command at a screen point, for the host's own runs;
// false when the name is unknown or SendInput failed.
bool PressKey(const std::string& name);
bool UseMouseAt(const std::string& action, int x, int y);
void RunPerf(const std::string& arguments);
