// What the program does with a tray callback, following Microsoft's
// documentation of Shell_NotifyIcon and NOTIFYICONDATA for the version the
// icon declared:
//
//   none  the mouse message in lParam, the icon's id in wParam; a right
//         button up opens the menu, a left double click the window;
//   3     the same form, but it acts only on what a tray sends programs of
//         version 3 and later: NIN_SELECT or NIN_KEYSELECT opens the window,
//         WM_CONTEXTMENU the menu, and a left double click the window;
//   4     the message in LOWORD(lParam), the id in HIWORD(lParam), the anchor
//         point in wParam; it acts as version 3 does, its menu at the anchor.
//
// Callbacks for an id the program has no icon of (in the icon's version) are
// logged and ignored. The log has one line per callback, decoded in the
// icon's version's form:
//   "mail id=1 WM_RBUTTONUP"  "chat v3 id=2 WM_CONTEXTMENU"
//   "news v4 id=3 NIN_SELECT at=512,384"
// and one per menu or window it opens ("mail menu id=1 at=...", "mail chose
// Open", "mail window id=1").
#include <windows.h>
#include <shellapi.h>
#include <windowsx.h>

#include <cstdarg>
#include <cstdio>
#include <string>

#include "devhost/shell/protocol.h"
#include "devhost/trayapp/trayapp.h"

namespace {

constexpr UINT MENU_OPEN = 1;
constexpr UINT MENU_QUIT = 2;

long callbacks_logged;
bool menu_open;
HWND program_window;  // the window the menu's Open item and double clicks open

struct MessageName {
    UINT message;
    const char* name;
};
constexpr MessageName MESSAGE_NAMES[] = {
    {WM_MOUSEMOVE, "WM_MOUSEMOVE"},         {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
    {WM_LBUTTONUP, "WM_LBUTTONUP"},         {WM_LBUTTONDBLCLK, "WM_LBUTTONDBLCLK"},
    {WM_RBUTTONDOWN, "WM_RBUTTONDOWN"},     {WM_RBUTTONUP, "WM_RBUTTONUP"},
    {WM_RBUTTONDBLCLK, "WM_RBUTTONDBLCLK"}, {WM_MBUTTONDOWN, "WM_MBUTTONDOWN"},
    {WM_MBUTTONUP, "WM_MBUTTONUP"},         {WM_MBUTTONDBLCLK, "WM_MBUTTONDBLCLK"},
    {WM_CONTEXTMENU, "WM_CONTEXTMENU"},     {NIN_SELECT, "NIN_SELECT"},
    {NIN_KEYSELECT, "NIN_KEYSELECT"},
};

std::string MessageText(UINT message) {
    for (const MessageName& known : MESSAGE_NAMES)
        if (known.message == message) return known.name;
    return "message " + std::to_string(message);
}

// One callback as the icon's version reads its parameters.
struct Callback {
    UINT version;
    unsigned id;
    UINT event;
    POINT anchor;  // version 4 only
};

Callback Decode(UINT version, WPARAM wParam, LPARAM lParam) {
    if (version >= TRAY_VERSION_4)
        return {
            version, HIWORD(lParam), LOWORD(lParam), {GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam)}};
    return {version, static_cast<unsigned>(wParam), static_cast<UINT>(lParam), {0, 0}};
}

// What the program does about one callback.
enum Response { IGNORE_IT, OPEN_MENU, OPEN_WINDOW };

struct Plan {
    Response response;
    POINT at;  // where a menu opens
};

POINT Cursor() {
    POINT at = {0, 0};
    GetCursorPos(&at);
    return at;
}

Plan PlanFor(const Callback& callback) {
    UINT declared;
    if (program.passive || !IconVersion(callback.id, &declared) || declared != callback.version)
        return {IGNORE_IT, {}};
    if (callback.version == TRAY_VERSION_NONE) {
        if (callback.event == WM_RBUTTONUP && !menu_open) return {OPEN_MENU, Cursor()};
        if (callback.event == WM_LBUTTONDBLCLK) return {OPEN_WINDOW, {}};
        return {IGNORE_IT, {}};
    }
    switch (callback.event) {
        case NIN_SELECT:
        case NIN_KEYSELECT:
        case WM_LBUTTONDBLCLK:
            return {OPEN_WINDOW, {}};
        case WM_CONTEXTMENU:
            if (menu_open) break;  // it arrived while the menu is open
            return {OPEN_MENU, callback.version >= TRAY_VERSION_4 ? callback.anchor : Cursor()};
    }
    return {IGNORE_IT, {}};
}

// Where the foreground is as a callback to window arrives: a click from the
// tray finds its owner in front, or a window the program opened for an
// earlier message of the same click.
const char* ForegroundFor(HWND window) {
    const HWND front = GetForegroundWindow();
    if (front == window) return "owner";
    DWORD process = 0;
    GetWindowThreadProcessId(front, &process);
    return front && process == GetCurrentProcessId() ? "own" : "other";
}

// The callback's line and, in the same write, what the program is about to
// open, so that whoever reads the log never sees the one without the other.
void LogCallback(HWND window, const Callback& callback, const Plan& plan) {
    std::string line = program.name;
    if (callback.version) line += " v" + std::to_string(callback.version);
    line += " id=" + std::to_string(callback.id) + " " + MessageText(callback.event);
    if (callback.version >= TRAY_VERSION_4)
        line +=
            " at=" + std::to_string(callback.anchor.x) + "," + std::to_string(callback.anchor.y);
    if (program.foreground) line += std::string(" fg=") + ForegroundFor(window);
    const std::string opens = program.name + (plan.response == OPEN_MENU ? " menu" : " window") +
                              " id=" + std::to_string(callback.id);
    if (plan.response == OPEN_MENU)
        line += "\n" + opens + " at=" + std::to_string(plan.at.x) + "," + std::to_string(plan.at.y);
    if (plan.response == OPEN_WINDOW) line += "\n" + opens;
    LogLine("%s", line.c_str());
    ++callbacks_logged;
}

// The program's window, right of the middle of the screen, where the list
// and the menus open too.
void OpenWindow() {
    if (!IsWindow(program_window))
        program_window = CreateWindowExA(
            0, TRAYAPP_WINDOW_CLASS_NAME, program.name.c_str(), WS_OVERLAPPEDWINDOW,
            GetSystemMetrics(SM_CXSCREEN) / 2 + 100, GetSystemMetrics(SM_CYSCREEN) / 2 - 150, 260,
            120, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(program_window, SW_SHOWNORMAL);
    SetForegroundWindow(program_window);
}

// A real popup menu, made foreground first and followed by a posted
// WM_NULL, as Microsoft documents for menus opened from the tray. Its Open
// item opens the window, its Quit item ends the program.
void OpenMenu(HWND window, unsigned id, POINT at) {
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, MENU_OPEN, "Open");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, MENU_QUIT, "Quit");
    SetForegroundWindow(window);
    menu_open = true;
    const UINT chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x,
                                       at.y, 0, window, nullptr);
    menu_open = false;
    PostMessageA(window, WM_NULL, 0, 0);
    DestroyMenu(menu);
    const char* item = chosen == MENU_OPEN ? "Open" : chosen == MENU_QUIT ? "Quit" : "nothing";
    if (chosen == MENU_OPEN)
        LogLine("%s chose %s\n%s window id=%u", program.name.c_str(), item, program.name.c_str(),
                id);
    else
        LogLine("%s chose %s", program.name.c_str(), item);
    if (chosen == MENU_OPEN) OpenWindow();
    if (chosen == MENU_QUIT) PostQuitMessage(0);
}

// The window says whose it is; closing it only hides it.
void PaintProgramWindow(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    const std::string text = program.name + ": opened from its tray icon";
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, text.c_str(), -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EndPaint(window, &paint);
}

LRESULT CALLBACK ProgramWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            PaintProgramWindow(window);
            return 0;
        case WM_CLOSE:
            ShowWindow(window, SW_HIDE);
            return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

bool OnTrayCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const UINT version = message - WM_TRAY_CALLBACK;
    if (message < WM_TRAY_CALLBACK ||
        (version != TRAY_VERSION_NONE && version != TRAY_VERSION_3 && version != TRAY_VERSION_4))
        return false;
    const Callback callback = Decode(version, wParam, lParam);
    const Plan plan = PlanFor(callback);
    LogCallback(window, callback, plan);
    if (plan.response == OPEN_MENU) OpenMenu(window, callback.id, plan.at);
    if (plan.response == OPEN_WINDOW) OpenWindow();
    return true;
}

long CallbacksLogged() { return callbacks_logged; }

void RegisterProgramWindowClass(HINSTANCE instance) {
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = ProgramWindowProc;
    window_class.hInstance = instance;
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    window_class.lpszClassName = TRAYAPP_WINDOW_CLASS_NAME;
    RegisterClassA(&window_class);
}
