// The callback messages a click of the tray is made of, posted once for each
// mouse message of the click. The notification version of the owner's
// program, or else of every icon, decides the form:
//   0  the classic form: the icon's id as wParam, the message as lParam;
//   3  the same, and after each button-up the notification a tray adds for
//      programs of version 3 and later;
//   4  those messages in the version-4 form: the message in the low word of
//      lParam, the icon's id in its high word, the anchor point as wParam.
#include "traylist/click.h"

#include <cstring>

#include "config/config.h"
#include "traylist/rows.h"

namespace {

// The notification of a selection with the mouse, from shellapi.h, which the
// plug-in does not include.
constexpr UINT NIN_SELECT = WM_USER + 0;

// A single click is down and up; a double click is down, up, double click, up.
constexpr ClickName CLICK_NAMES[] = {
    {"LeftClick", {WM_LBUTTONDOWN, WM_LBUTTONUP}},
    {"RightClick", {WM_RBUTTONDOWN, WM_RBUTTONUP}},
    {"MiddleClick", {WM_MBUTTONDOWN, WM_MBUTTONUP}},
    {"LeftDoubleClick", {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}},
    {"RightDoubleClick", {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK, WM_RBUTTONUP}},
    {"MiddleDoubleClick", {WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK, WM_MBUTTONUP}},
};

// What follows a button-up for a program of version 3 or later; 0 for none.
// Wine's explorer tray sends, for icons whose version is above 0, NIN_SELECT
// right after relaying WM_LBUTTONUP and WM_CONTEXTMENU right after
// WM_RBUTTONUP, every time the button comes up, so a double click gets one
// after each of its two ups. Shell_NotifyIcon's documentation names these two
// for selection and the shortcut menu, and nothing for the middle button.
UINT NotificationAfter(UINT mouse_message) {
    if (mouse_message == WM_LBUTTONUP) return NIN_SELECT;
    if (mouse_message == WM_RBUTTONUP) return WM_CONTEXTMENU;
    return 0;
}

// Every callback message of a click is formed here. The version-4 form has
// room for 16 bits of the icon's id, as in a real tray.
void Post(const Icon& icon, int version, WPARAM anchor, UINT message) {
    if (version == NOTIFYICON_VERSION_4)
        PostMessageA(icon.owner, icon.callback_message, anchor, MAKELPARAM(message, icon.id));
    else
        PostMessageA(icon.owner, icon.callback_message, icon.id, message);
}

}  // namespace

const ClickName* FindClickName(const char* name) {
    for (const ClickName& click : CLICK_NAMES)
        if (std::strcmp(name, click.name) == 0) return &click;
    return nullptr;
}

void PostClick(const Icon& icon, const ClickName& click, int version, WPARAM anchor) {
    for (UINT mouse_message : click.mouse_messages) {
        if (!mouse_message) break;
        Post(icon, version, anchor, mouse_message);
        const UINT notification =
            version >= NOTIFYICON_VERSION ? NotificationAfter(mouse_message) : 0;
        if (notification) Post(icon, version, anchor, notification);
    }
}

// At the highlighted row's icon in the list, still shown where the user saw
// it (it hides after the click); where the button came up, as the message
// that says so has it (the pointer may have moved on since); or where the
// pointer is.
WPARAM ClickPoint(int version, int anchor, const ListState& list) {
    if (version != NOTIFYICON_VERSION_4) return 0;
    if (anchor == ANCHOR_ROW) return ClickAnchor(list);
    if (anchor == ANCHOR_MESSAGE) return GetMessagePos();
    POINT pointer = {};
    GetCursorPos(&pointer);
    return MAKEWPARAM(pointer.x, pointer.y);
}
