// The host's tray entries as the list finds them: how many are live, one
// icon known by its owner wherever its entry now stands, the entry a Click
// text names, and the program an owner belongs to. All of it is read anew
// from the host each time; nothing here is kept.
#pragma once

#include <windows.h>

#include "config/config.h"

struct TrayEntry;

// The host's tray size, 0 when it reports less.
int TraySize();
// The number of rows: the host's tray size after a purge of dead entries;
// *purged is set to 1 when there was one.
int CountTrayEntries(int* purged = nullptr);

// One icon of the tray as its owner made it: the owner's window, the icon's
// id and the callback message its clicks are posted with. Copied from the
// host's entry, it outlives the entry, which the host may move or drop.
struct Icon {
    HWND owner;
    UINT id;
    UINT callback_message;
};

Icon IconOf(const TrayEntry& entry);
// 1 when the entry is that icon, its callback message included.
int IsIcon(const TrayEntry& entry, const Icon& icon);
// The index of the icon among the first end entries, -1 when it is not
// there. An icon is known by its owner window and id; where two entries
// share them, the one with the icon's callback message is taken.
int FindIcon(const Icon& icon, int end);

// The first live entry among the first count that the length bytes of text
// name: by its program's file name when the text ends in ".exe", in any
// case, else by its one-line tip, without regard to case. program receives
// the file name the text names, or the empty text; null when there is none.
const TrayEntry* FindNamedEntry(const char* text, int length, int count, char (&program)[MAX_PATH]);

// The program an owner window belongs to: its executable's file name,
// without a folder, from a snapshot of the system's processes opened for one
// click and closed after it. 0 when the window's process is not in it.
HANDLE OpenProcessList();
void CloseProcessList(HANDLE processes);
int GetOwnerProgram(HANDLE processes, HWND owner, char (&program)[MAX_PATH]);
// The notification version for the owner's icons: that of its program's pair
// in versions, else version. The program is looked up only when there are
// pairs and it is not known already (null).
int NotifyVersionFor(HWND owner, const char* program, int version, const ProgramVersions& versions);
