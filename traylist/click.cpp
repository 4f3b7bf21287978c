// Forwarding the chosen click to the program that owns the highlighted entry,
// in the form the tray reports a click on its icon: the entry's callback
// message, the icon's id as wParam and the mouse message as lParam.
#include <cstring>

#include "host/host.h"
#include "plugin/module.h"
#include "traylist/traylist.h"

namespace {

struct ClickName {
    const char* name;
    UINT mouse_messages[4];  // ends early with 0
};

// A single click is down and up; a double click is down, up, double click, up.
constexpr ClickName CLICK_NAMES[] = {
    {"LeftClick", {WM_LBUTTONDOWN, WM_LBUTTONUP}},
    {"RightClick", {WM_RBUTTONDOWN, WM_RBUTTONUP}},
    {"MiddleClick", {WM_MBUTTONDOWN, WM_MBUTTONUP}},
    {"LeftDoubleClick", {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}},
    {"RightDoubleClick", {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK, WM_RBUTTONUP}},
    {"MiddleDoubleClick", {WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK, WM_MBUTTONUP}},
};

const ClickName* FindClickName(const char* name) {
    for (const ClickName& click : CLICK_NAMES)
        if (std::strcmp(name, click.name) == 0) return &click;
    return nullptr;
}

void PostClick(const TrayEntry& entry, const ClickName& click) {
    for (UINT mouse_message : click.mouse_messages) {
        if (!mouse_message) break;
        PostMessageA(entry.hWnd, entry.uCallbackMessage, entry.uID, mouse_message);
    }
}

}  // namespace

void SendClick(const char* click_name) {
    const TrayEntry* entry = GetTrayIcon(list_state.selected);
    if (!entry) return;
    // Owners open their menus and windows only when they may take the foreground.
    SetForegroundWindow(entry->hWnd);
    const ClickName* click = FindClickName(click_name);
    if (click)
        PostClick(*entry, *click);
    else
        ReportError("Unknown message: `%s'", click_name);
}
