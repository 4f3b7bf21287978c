// Measuring the plug-in from inside the shell and driving it as a person
// would, for the tests, the benchmarks and the demo: the times of "perf"
// beside the shell's own floors (perf.cpp, perf_floor.h), the census of the
// device contexts a plug-in opens and closes (dcwatch.cpp), screenshots
// (screenshot.cpp), key presses (keys.cpp), the mouse (mouse.cpp), where a
// window lies (window.cpp) and the plug-in's settings file replaced for a run
// (settings_file.cpp). The shell's command table runs them; the stress run
// counts device contexts, presses keys, uses the mouse and writes the settings
// with them.
#pragma once

#include <windows.h>

#include <string>

// ---- the census of device contexts (dcwatch.cpp) -------------------------------

// Device contexts a plug-in opens and closes, counted through its imports,
// and the repaints it asks for.
struct DcCounts {
    long opened = 0;         // handed out by GetDC, BeginPaint...
    long closed = 0;         // given back by ReleaseDC, EndPaint...
    long stray = 0;          // given back without having been handed out, or not taken back
    long open = 0;           // handed out and not given back yet
    long invalidations = 0;  // InvalidateRect calls: the repaints the plug-in asked for
};
// Starts counting for module; returns how many of its imports are counted.
int WatchDeviceContexts(HMODULE module);
void UnwatchDeviceContexts();
DcCounts DeviceContexts();

// ---- screenshots (screenshot.cpp) ----------------------------------------------

// The whole screen, every monitor, as a 24-bit bottom-up BMP file.
bool SaveScreen(const std::string& path);

// ---- the plug-in's settings file for a run (settings_file.cpp) -----------------

// The Marrowick.rc beside the plug-in module at plugin_path.
std::string SettingsFileOf(const std::string& plugin_path);
// A file as it was before a run, put back after it.
struct SavedFile {
    bool existed;
    std::string content;
};
SavedFile SaveFile(const std::string& path);
void RestoreFile(const std::string& path, const SavedFile& saved);

// ---- the host commands "key", "mouse", "window" and "perf" ---------------------

void PressKeys(const std::string& names);
void UseMouse(const std::string& arguments);
void LogWindow(const std::string& class_and_title);
// One key or chord of the key command ("down", "shift+f10", "a") and one
// action of the mouse command at a screen point, for the host's own runs;
// false when the name is unknown or SendInput failed.
bool PressKey(const std::string& name);
// The key of a chord, pressed after its modifiers: VK_F10 for "shift+f10";
// 0 when the name is unknown.
WORD ChordKey(const std::string& name);
bool UseMouseAt(const std::string& action, int x, int y);
void RunPerf(const std::string& arguments);
