// The shell's tray: the icons programs put in with Shell_NotifyIcon, keyed
// by owner window and id, and the records GetTraySize and GetTrayIcon hand
// the plug-ins. Icons hidden with NIS_HIDDEN stay in the tray but out of
// what the plug-ins see.
#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "devhost/log/escape.h"
#include "devhost/log/log.h"
#include "devhost/systray/systray.h"
#include "host/host.h"

namespace {

struct TrayIcon {
    TrayEntry entry;  // what the plug-ins read
    UINT version;     // NIM_SETVERSION's; 0 until the owner declares one
    DWORD state;      // NIS_*
};

// A vector: GetTrayIcon's pointers stay valid until the next change, which
// happens only between the plug-in's calls.
std::vector<TrayIcon> icons;

int Find(HWND owner, UINT id) {
    for (size_t i = 0; i < icons.size(); ++i)
        if (icons[i].entry.hWnd == owner && icons[i].entry.uID == id) return static_cast<int>(i);
    return -1;
}

bool Hidden(const TrayIcon& icon) { return (icon.state & NIS_HIDDEN) != 0; }

void SetIcon(TrayIcon* icon, HICON handle) {
    if (icon->entry.hIcon) DestroyIcon(icon->entry.hIcon);
    icon->entry.hIcon = handle;
}

void Apply(TrayIcon* icon, const TrayChange& change) {
    if (change.flags & NIF_MESSAGE) icon->entry.uCallbackMessage = change.callback_message;
    if (change.flags & NIF_ICON) SetIcon(icon, change.icon);
    if (change.flags & NIF_TIP) lstrcpynA(icon->entry.szTip, change.tip, TRAY_TIP_CAPACITY);
    if (change.flags & NIF_STATE)
        icon->state = (icon->state & ~change.state_mask) | (change.state & change.state_mask);
}

void Remove(size_t index) {
    SetIcon(&icons[index], nullptr);
    icons.erase(icons.begin() + index);
}

void LogChange(const char* what, const TrayIcon& icon) {
    Log("tray %s owner=%s id=%u version=%u%s tip=\"%s\"", what, Hex(icon.entry.hWnd).c_str(),
        icon.entry.uID, icon.version, Hidden(icon) ? " hidden" : "",
        Escaped(icon.entry.szTip).c_str());
}

// The icon the tray took but could not keep.
BOOL Refuse(const TrayChange& change) {
    if ((change.flags & NIF_ICON) && change.icon) DestroyIcon(change.icon);
    return FALSE;
}

}  // namespace

BOOL TrayAdd(const TrayChange& change) {
    if (!IsWindow(change.owner) || Find(change.owner, change.id) >= 0) return Refuse(change);
    TrayIcon icon = {};
    icon.entry.hWnd = change.owner;
    icon.entry.uID = change.id;
    Apply(&icon, change);
    icons.push_back(icon);
    LogChange("add", icon);
    return TRUE;
}

BOOL TrayModify(const TrayChange& change) {
    const int index = Find(change.owner, change.id);
    if (index < 0) return Refuse(change);
    Apply(&icons[index], change);
    LogChange("modify", icons[index]);
    return TRUE;
}

BOOL TrayDelete(HWND owner, UINT id) {
    const int index = Find(owner, id);
    if (index < 0) return FALSE;
    Remove(index);
    Log("tray delete owner=%s id=%u", Hex(owner).c_str(), id);
    return TRUE;
}

BOOL TraySetVersion(HWND owner, UINT id, UINT version) {
    const int index = Find(owner, id);
    if (index < 0) return FALSE;
    icons[index].version = version;
    Log("tray version owner=%s id=%u version=%u", Hex(owner).c_str(), id, version);
    return TRUE;
}

BOOL TrayHasIcon(HWND owner, UINT id) { return Find(owner, id) >= 0; }

int TrayPurge() {
    int removed = 0;
    for (size_t i = icons.size(); i-- > 0;)
        if (!IsWindow(icons[i].entry.hWnd)) {
            Remove(i);
            ++removed;
        }
    Log("purge removed=%d left=%d", removed, static_cast<int>(icons.size()));
    return removed;
}

void LogTray() {
    Log("tray size=%d", static_cast<int>(icons.size()));
    for (size_t i = 0; i < icons.size(); ++i) {
        const TrayEntry& entry = icons[i].entry;
        Log("tray[%d] owner=%s id=%u message=%u version=%u icon=%d%s tip=\"%s\"",
            static_cast<int>(i), Hex(entry.hWnd).c_str(), entry.uID, entry.uCallbackMessage,
            icons[i].version, entry.hIcon ? 1 : 0, Hidden(icons[i]) ? " hidden" : "",
            Escaped(entry.szTip).c_str());
    }
}

void ClearTray() {
    while (!icons.empty()) Remove(icons.size() - 1);
}

extern "C" int GetTraySize() {
    int shown = 0;
    for (const TrayIcon& icon : icons) shown += !Hidden(icon);
    return shown;
}

extern "C" TrayEntry* GetTrayIcon(int index) {
    if (index < 0) return nullptr;
    for (TrayIcon& icon : icons)
        if (!Hidden(icon) && index-- == 0) return &icon.entry;
    return nullptr;
}
