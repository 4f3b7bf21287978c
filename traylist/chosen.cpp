// The entry a click of the list goes to: the one the user was last shown
// highlighted, wherever it now stands in the tray. The list fixes its rows
// when it is shown, but programs add and remove icons while it stays up and
// the host's indices shift with them: by its index alone, a click could reach
// a program the user never saw highlighted. An entry is known by its owner
// window and icon id, which together name one icon of the tray.
#include "host/host.h"
#include "traylist/traylist.h"

namespace {

struct Identity {
    HWND owner;
    UINT id;
};

Identity shown;   // the entry drawn highlighted or named to screen readers last
int shown_known;  // 0 from a move of the highlight until it is drawn or named

bool IsShown(const TrayEntry& entry) { return entry.hWnd == shown.owner && entry.uID == shown.id; }

}  // namespace

void ForgetShownEntry() { shown_known = 0; }

void NoteShownEntry(const TrayEntry& entry) {
    shown = {entry.hWnd, entry.uID};
    shown_known = 1;
}

int FindShownEntry(int end) {
    if (!shown_known) return -1;
    for (int i = 0; i < end; ++i) {
        const TrayEntry* entry = GetTrayIcon(i);
        if (!entry) break;
        if (IsShown(*entry)) return i;
    }
    return -1;
}

void SettleShownEntry() {
    if (shown_known || !list_state.visible || list_state.count == 0) return;
    if (const TrayEntry* entry = GetTrayIcon(list_state.selected)) NoteShownEntry(*entry);
}

// The entry at the highlighted row is looked up first, as it always was; the
// tray is searched only when that is no longer the entry the user saw.
const TrayEntry* ChosenEntry() {
    if (list_state.count == 0) return nullptr;
    const TrayEntry* entry = GetTrayIcon(list_state.selected);
    if (!shown_known || (entry && IsShown(*entry))) return entry;
    const int index = FindShownEntry(TraySize());
    return index >= 0 ? GetTrayIcon(index) : nullptr;
}
