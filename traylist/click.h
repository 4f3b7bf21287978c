// A click as the tray reports it to the program that owns the icon: the
// click names a bro@m or a setting may give, and the callback messages that
// form each of them.
#pragma once

#include <windows.h>

#include "traylist/entries.h"
#include "traylist/traylist.h"

// A click name and the mouse messages of its click, in order; ends early
// with 0.
struct ClickName {
    const char* name;
    UINT mouse_messages[4];
};

// The click of that exact name, null for none.
const ClickName* FindClickName(const char* name);

// Posts the click to the icon's owner in the form of the notification
// version (0, NOTIFYICON_VERSION or NOTIFYICON_VERSION_4), the version-4
// form carrying anchor as the point where it happened.
void PostClick(const Icon& icon, const ClickName& click, int version, WPARAM anchor);

// Where a click in the version-4 form says it happened: at the highlighted
// row's icon in the list, where the mouse pointer is, or where it was as the
// message being handled (a button coming up) was sent.
constexpr int ANCHOR_ROW = 0;
constexpr int ANCHOR_POINTER = 1;
constexpr int ANCHOR_MESSAGE = 2;

// Where a click in the version-4 form says it happened, by one of the
// anchors above; 0 for the other forms, which carry no point.
WPARAM ClickPoint(int version, int anchor, const ListState& list);
