// What screen readers hear of the list. An accessibility client reads a plain
// window's name from its text, so the list window is named after the
// highlighted row, its one-line tip and its place ("Mail: 3 new messages,
// 1 of 6"), and the focus and name-change events tell the client to read it
// whenever the highlight moves.
#include "host/host.h"
#include "plugin/module.h"
#include "traylist/tiptext.h"
#include "traylist/traylist.h"

namespace {

// Accessibility clients take a single '&' in a window's name for the mark of
// a keyboard shortcut and drop it; doubled, it is read as it stands.
void DoubleAmpersands(char* destination, const char* source, int size) {
    char* const end = destination + size - 1;
    for (; *source && destination < end; ++source) {
        if (*source == '&' && destination + 1 < end) *destination++ = '&';
        *destination++ = *source;
    }
    *destination = '\0';
}

}  // namespace

void NameHighlight() {
    char name[2 * TIP_BUFFER_SIZE + 32];
    const TrayEntry* entry = list_state.count > 0 ? GetTrayIcon(list_state.selected) : nullptr;
    if (list_state.count == 0) {
        FormatText(name, sizeof name, "No tray icons");
    } else if (!entry) {
        FormatText(name, sizeof name, "%d of %d", list_state.selected + 1, list_state.count);
    } else {
        char tip[TIP_BUFFER_SIZE];
        char doubled[2 * TIP_BUFFER_SIZE];
        NoteShownEntry(*entry);
        DoubleAmpersands(doubled, RowText(*entry, tip), sizeof doubled);
        FormatText(name, sizeof name, "%s, %d of %d", doubled, list_state.selected + 1,
                   list_state.count);
    }
    SetWindowTextA(hListWnd, name);
}

// The focus event says the list has the keyboard focus: it is fired only
// when it does. As the list takes the focus, the window system announces
// that itself.
void NotifyHighlight(int events) {
    if (events & NAME_CHANGE)
        NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hListWnd, OBJID_CLIENT, CHILDID_SELF);
    if ((events & FOCUS) && GetFocus() == hListWnd)
        NotifyWinEvent(EVENT_OBJECT_FOCUS, hListWnd, OBJID_CLIENT, CHILDID_SELF);
}
