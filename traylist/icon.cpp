// An icon of the tray found wherever its entry now stands. The list fixes its
// rows when it is shown, but programs add and remove icons while it stays up
// and the host's indices shift with them: by its index alone, a click could
// reach a program the user never saw highlighted. An icon is known by its
// owner window and id, which together name one icon of the tray; a host may
// still hold two entries with the same pair, told apart by their callback
// messages.
#include "host/host.h"
#include "traylist/entries.h"

Icon IconOf(const TrayEntry& entry) { return {entry.hWnd, entry.uID, entry.uCallbackMessage}; }

int IsIcon(const TrayEntry& entry, const Icon& icon) {
    return entry.hWnd == icon.owner && entry.uID == icon.id &&
           entry.uCallbackMessage == icon.callback_message;
}

// A program may change an icon's callback message while the list is shown;
// its entry is still the icon the user saw.
int FindIcon(const Icon& icon, int end) {
    int same_pair = -1;
    for (int i = 0; i < end; ++i) {
        const TrayEntry* entry = GetTrayIcon(i);
        if (!entry) break;
        if (entry->hWnd != icon.owner || entry->uID != icon.id) continue;
        if (entry->uCallbackMessage == icon.callback_message) return i;
        if (same_pair < 0) same_pair = i;
    }
    return same_pair;
}
