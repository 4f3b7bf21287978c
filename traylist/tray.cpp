// The count of live tray entries, which fixes how many rows the list has: a
// dead entry among them makes the host purge them all first.
#include "host/host.h"
#include "traylist/entries.h"

int TraySize() {
    const int size = GetTraySize();
    return size < 0 ? 0 : size;
}

int CountTrayEntries(int* purged) {
    int size = TraySize();
    for (int i = 0; i < size; ++i) {
        const TrayEntry* entry = GetTrayIcon(i);
        if (!entry || !IsWindow(entry->hWnd)) {
            SendMessageA(GetBBWnd(), MSG_TRAY_PURGE, 0, 0);
            size = TraySize();
            if (purged) *purged = 1;
            break;
        }
    }
    return size;
}
