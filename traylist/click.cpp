// Forwarding the chosen click to the program that owns the highlighted entry,
// or the entry a "Click" bro@m names, as the tray reports a click on its
// icon: the entry's callback message, posted once for each mouse message of
// the click. The notification version configured for the owner's program,
// or else for every icon, decides the form:
//   0  the classic form: the icon's id as wParam, the message as lParam;
//   3  the same, and after each button-up the notification a tray adds for
//      programs of version 3 and later;
//   4  those messages in the version-4 form: the message in the low word of
//      lParam, the icon's id in its high word, the anchor point as wParam.
#include <strings.h>

#include <cstring>

#include "config/config.h"
#include "host/host.h"
#include "plugin/module.h"
#include "traylist/traylist.h"

namespace {

// The notification of a selection with the mouse, from shellapi.h, which the
// plug-in does not include.
constexpr UINT NIN_SELECT = WM_USER + 0;

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

// The owner's window, icon id and callback message, copied from the host's
// entry: bringing the owner to the front lets the window system deliver sent
// messages, the tray's own among them, and the host's entry may be gone or
// moved when the posts follow.
struct Owner {
    HWND window;
    UINT id;
    UINT callback_message;
};

Owner OwnerOf(const TrayEntry& entry) { return {entry.hWnd, entry.uID, entry.uCallbackMessage}; }

// The owner, and the form and anchor its messages are packed with.
struct Delivery {
    Owner owner;
    int version;
    WPARAM anchor;  // used in the version-4 form only
};

// The version-4 form has room for 16 bits of the icon's id, as in a real tray.
void Post(const Delivery& delivery, UINT message) {
    const Owner& owner = delivery.owner;
    if (delivery.version == NOTIFYICON_VERSION_4)
        PostMessageA(owner.window, owner.callback_message, delivery.anchor,
                     MAKELPARAM(message, owner.id));
    else
        PostMessageA(owner.window, owner.callback_message, owner.id, message);
}

void PostClick(const Delivery& delivery, const ClickName& click) {
    for (UINT mouse_message : click.mouse_messages) {
        if (!mouse_message) break;
        Post(delivery, mouse_message);
        const UINT notification =
            delivery.version >= NOTIFYICON_VERSION ? NotificationAfter(mouse_message) : 0;
        if (notification) Post(delivery, notification);
    }
}

// Where the click says it happened, which only the version-4 form carries:
// at the highlighted row's icon in the list, still shown where the user saw
// it (it hides after the click); where the button came up, as the message
// that says so has it (the pointer may have moved on since); or where the
// pointer is.
WPARAM Anchor(int version, int anchor) {
    if (version != NOTIFYICON_VERSION_4) return 0;
    if (anchor == ANCHOR_ROW) return ClickAnchor();
    if (anchor == ANCHOR_MESSAGE) return GetMessagePos();
    POINT pointer = {};
    GetCursorPos(&pointer);
    return MAKEWPARAM(pointer.x, pointer.y);
}

// Set while a click brings its owner to the front and posts to it; an
// interactive list that loses activation meanwhile hides only afterwards.
int delivering;
int hide_when_delivered;

// Brings the owner to the front, then posts. Hiding the active list from
// inside SetForegroundWindow, as its loss of activation would, makes the
// window system activate yet another window, and the owner would no longer
// be in front when its messages arrive.
void Deliver(const Owner& owner, const ClickName& click, int version, int anchor) {
    delivering = 1;
    // Owners open their menus and windows only when they may take the foreground.
    SetForegroundWindow(owner.window);
    // An entry that came while the list was shown, or whose program has exited
    // since, may have an owner of 0 or HWND_BROADCAST: the posts would go to
    // the shell's own thread (a callback message of WM_QUIT would end it) or
    // to every top-level window.
    if (IsWindow(owner.window)) PostClick({owner, version, Anchor(version, anchor)}, click);
    delivering = 0;
    if (hide_when_delivered && list_state.visible) HideList();
    hide_when_delivered = 0;
}

// A Click text that ends in ".exe", in any case, names a program.
bool NamesProgram(const char* text, int length) {
    return length >= 4 && strncasecmp(text + length - 4, ".exe", 4) == 0;
}

}  // namespace

void HideOnDeactivation() {
    if (delivering)
        hide_when_delivered = 1;
    else
        HideList();
}

void SendClick(const char* click_name, int anchor) {
    const TrayEntry* entry = ChosenEntry();
    if (!entry) return;
    const Owner owner = OwnerOf(*entry);
    const ClickName* click = FindClickName(click_name);
    if (!click) {
        // As for a known name, the owner comes to the front first.
        SetForegroundWindow(owner.window);
        ReportError("Unknown message: `%s'", click_name);
        return;
    }
    const int version = NotifyVersionFor(owner.window, list_settings.notify_version,
                                         list_settings.notify_version_by_program);
    Deliver(owner, *click, version, anchor);
}

// The same count and purge of dead entries as showing the list. A shown list
// whose rows the purge shifted is fitted to them again.
void ClickMatchingEntry(const char* click_name, const char* text, int length) {
    const ClickName* click = FindClickName(click_name);
    if (!click) {
        ReportError("Unknown message: `%s'", click_name);
        return;
    }
    SettleShownEntry();
    int purged = 0;
    const int count = CountTrayEntries(&purged);
    if (purged && list_state.visible) RefitList(count);
    const TrayEntry* entry = NamesProgram(text, length) ? FindEntryByProgram(text, length, count)
                                                        : FindEntryByTip(text, length, count);
    if (!entry) {
        ReportError("No tray icon matches `%.*s'", length, text);
        return;
    }
    const Owner owner = OwnerOf(*entry);
    const int version =
        NotifyVersionFor(owner.window, config.notify_version, notify_version_by_program);
    // No row is clicked: the click happened where the pointer is.
    Deliver(owner, *click, version, ANCHOR_POINTER);
}
