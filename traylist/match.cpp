// Tip texts matched against what the user typed, as a person reads them: in
// their one-line form and without regard to case, by the rules of the user's
// code page.
#include <cstring>

#include "host/host.h"
#include "traylist/tiptext.h"
#include "traylist/traylist.h"

namespace {

// The source folded to one case in destination, cut to size - 1 characters.
void FoldedCopy(char* destination, const char* source, int size) {
    std::strncpy(destination, source, size - 1);
    destination[size - 1] = '\0';
    FoldCase(destination);
}

}  // namespace

void FoldCase(char* text) { CharUpperBuffA(text, static_cast<DWORD>(std::strlen(text))); }

int TipBeginsWith(const char* tip, const char* folded_prefix) {
    char folded[TRAY_TIP_CAPACITY];
    const size_t length = std::strlen(folded_prefix);
    if (length >= sizeof folded) return 0;
    FoldedCopy(folded, tip, static_cast<int>(length) + 1);
    return std::strcmp(folded, folded_prefix) == 0;
}

int TipContains(const char* tip, const char* folded_part) {
    char folded[TRAY_TIP_CAPACITY];
    FoldedCopy(folded, tip, sizeof folded);
    return std::strstr(folded, folded_part) != nullptr;
}

// The same count and purge of dead entries as showing the list, then the
// first entry, in tray order, whose owner is still a window.
const TrayEntry* FindEntryByTip(const char* text) {
    char part[TRAY_TIP_CAPACITY];
    if (std::strlen(text) >= sizeof part) return nullptr;  // longer than any tip
    FoldedCopy(part, text, sizeof part);
    const int count = CountTrayEntries();
    char scratch[TIP_BUFFER_SIZE];
    for (int i = 0; i < count; ++i) {
        const TrayEntry* entry = GetTrayIcon(i);
        if (!entry) break;
        if (TipContains(RowText(*entry, scratch), part) && IsWindow(entry->hWnd)) return entry;
    }
    return nullptr;
}
