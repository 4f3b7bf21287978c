// The link-seam fakes' controls: what a test scripts before it drives the
// plug-in, and what it reads afterwards. The plug-in itself sees only the
// declarations of <windows.h> (tests/fakes/windows.h) and host/host.h.
//
// Every platform and host call is recorded as one line of text, the function
// name followed by its arguments: handles and numbers in decimal, texts in
// double quotes, e.g. `PostMessageA 101 1025 7 513`. Tests compare those lines
// with the sequence they expect in one assertion. Handles the fakes hand out
// have fixed numbers, so the lines are predictable:
//   1        the host's main window (GetBBWnd)
//   1000...  windows made by CreateWindowExA, in order
//   2000...  device contexts from GetDC and BeginPaint
//   3000...  fonts from CreateStyleFont
//   9        the font a fresh device context has selected
// Tests make the tray owners' windows themselves with any other number.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "host/host.h"

namespace fake {

constexpr intptr_t HOST_WINDOW = 1;

// A monitor: the whole of it, and its work area (without the taskbars).
struct Monitor {
    RECT monitor;
    RECT work;
};

// What the platform answers.
struct Platform {
    std::string module_file_name = "C:\\Shell\\plugins\\Marrowick\\Marrowick.dll";
    bool module_file_name_fails = false;
    int screen_width = 800;
    int screen_height = 600;
    bool get_dc_fails = false;
    bool get_window_rect_fails = false;
    bool register_class_fails = false;
    bool create_window_fails = false;
    int text_height = 13;                    // every measured text is this tall
    int char_width = 8;                      // unless listed below, a text is this wide per byte
    std::map<std::string, int> text_widths;  // measured width by exact text
    LRESULT default_window_result = 0;       // what DefWindowProcA answers
    POINT cursor = {400, 300};               // the pointer; also where the last message was
    long message_time = 0;                   // GetMessageTime
    HWND foreground = nullptr;               // set by SetForegroundWindow on a window
    HWND focus = nullptr;                    // the foreground window, as it takes the focus
    bool foreground_refused = false;         // SetForegroundWindow fails, as under a lock
    // 1252, the western code page, or 932, Japanese: double-byte characters
    // whose lead bytes are 0x81 to 0x9F and 0xE0 to 0xFC.
    int code_page = 1252;
    HWND desktop = reinterpret_cast<HWND>(10);  // GetDesktopWindow
    HWND shell = nullptr;                       // GetShellWindow
    // Handles 4000, 4001... in order; a window or point on none is on the
    // nearest one.
    std::vector<Monitor> monitors = {{{0, 0, 800, 600}, {0, 0, 800, 600}}};
    bool monitor_info_fails = false;
    // The system's processes, by id and executable path, in the order a
    // snapshot lists them; a window's process is its Window::process.
    std::vector<std::pair<DWORD, std::string>> processes;
    bool snapshot_fails = false;
    // Runs while a message box is open, as the messages its own loop
    // dispatches would: a bro@m the host broadcasts meanwhile, say.
    std::function<void()> during_message_box;
};

// A message box the plug-in showed.
struct ShownBox {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};

// A window the platform knows.
struct Window {
    std::string class_name;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD ex_style = 0;
    RECT rect{};
    bool visible = false;
    bool minimized = false;
    HWND owner = nullptr;
    std::string text;
    DWORD process = 0;  // the process that made it
};

// What the host holds.
struct Host {
    std::vector<TrayEntry> tray;
    int reported_tray_size = -1;  // unless -1, GetTraySize answers this instead, even negative
    std::string rc_text;          // "key: value" lines read by ReadInt and ReadString
    std::map<int, StyleRecord> styles;
    std::vector<HWND> registered;  // windows registered through MSG_REGISTER
};

extern Platform platform;
extern Host host;

// Back to a fresh platform and host, with no recorded calls.
void Reset();

// The recorded calls; with a prefix, only the lines that begin with it.
const std::vector<std::string>& Calls();
std::vector<std::string> CallsTo(std::string_view prefix);
std::vector<std::string> CallsTo(std::initializer_list<std::string_view> prefixes);
void ClearCalls();
void Record(std::string line);

// Recording every call as a line of text is slow and allocates; benchmarks and
// fuzz targets turn it off and only count the calls. Reset() turns it back on.
void SetRecording(bool on);
// The calls made since the last Reset(), recorded or not.
long CallCount();
// Used by the fakes on every call: counts it, and says whether to record it.
bool CountCall();

const std::vector<ShownBox>& MessageBoxes();

// Windows: a test makes owner windows alive or gone by number.
HWND LiveWindow(intptr_t number);
// A window owned by another, as a message box is by its owner.
HWND OwnedWindow(intptr_t number, HWND owner);
void KillWindow(HWND window);
void SetWindowState(HWND window, bool visible, bool minimized);
// A process running the executable at path, and the windows it made.
void RunProcess(DWORD process_id, const std::string& path, std::initializer_list<HWND> windows);
const Window* FindWindowRecord(HWND window);

// Tray entries and style records for the fake host.
TrayEntry& AddTrayEntry(HWND owner, UINT id, UINT callback, intptr_t icon, std::string_view tip);
StyleRecord MakeStyle(COLORREF text_color);

// Resources that were handed out and not given back.
int OpenSnapshots();
int OpenDeviceContexts();
int LiveFonts();

// Formats a handle as the records do.
std::string Num(const void* handle);

// Used between the two fakes.
void ResetWin32();
void ResetHost();
bool ForgetFont(const void* font);
LRESULT HostWindowMessage(UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace fake
