// The list window's name and the events that make screen readers read it.
#include "traylist/announce.h"

#include "host/host.h"
#include "plugin/module.h"

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

const TrayEntry* NameOfHighlight(char (&name)[HIGHLIGHT_NAME_SIZE], const ListState& list) {
    if (list.count == 0) {
        FormatText(name, sizeof name, "No tray icons");
        return nullptr;
    }
    const TrayEntry* entry = GetTrayIcon(list.selected);
    if (!entry) {
        FormatText(name, sizeof name, "%d of %d", list.selected + 1, list.count);
        return nullptr;
    }
    char tip[TIP_BUFFER_SIZE];
    char doubled[2 * TIP_BUFFER_SIZE];
    DoubleAmpersands(doubled, RowText(*entry, tip), sizeof doubled);
    FormatText(name, sizeof name, "%s, %d of %d", doubled, list.selected + 1, list.count);
    return entry;
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
