// The faults of a stress run, between the broadcasts and, in an interactive
// run, among the inputs under the shown list: tray programs add, remove and
// retitle entries, open owner windows and close them with or without their
// entries, and exit with or without their entries.
#include <algorithm>
#include <string>
#include <vector>

#include "devhost/log/log.h"
#include "devhost/shell/shell.h"
#include "devhost/stress/run.h"
#include "host/host.h"

namespace stress {
namespace {

constexpr int MAX_ENTRIES = 16;  // keeps the list on a 768-pixel screen
constexpr int MIN_ENTRIES = 4;   // leaves entries before and after the highlighted one
constexpr int MAX_EXTRA_WINDOWS = 6;

// Icon colours; none is the highlight's, none has less blue than 0x40.
const char* const ICON_COLORS[] = {"#3080ff", "#30c060", "#d04040", "#808080", "#8040c0"};

// Waits for an exiting tray program, handling the host's messages meanwhile,
// its last ones (removing its entries) among them, until its process has
// ended and its main window is gone; false when that takes longer than
// OWNER_TIMEOUT_MS, with what was still there in *left. Closes process.
bool AwaitExit(HANDLE process, HWND main, std::string* left) {
    const DWORD start = GetTickCount();
    bool ended = false;
    while (process && !ended && GetTickCount() - start < OWNER_TIMEOUT_MS) {
        ended = MsgWaitForMultipleObjects(1, &process, FALSE, 100, QS_ALLINPUT) == WAIT_OBJECT_0;
        PumpMessages();
    }
    if (process) CloseHandle(process);
    while (IsWindow(main) && GetTickCount() - start < OWNER_TIMEOUT_MS) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        PumpMessages();
    }
    *left = !process ? "a process that could not be opened"
            : !ended ? "its process still running"
                     : "its main window " + Hex(main);
    return ended && !IsWindow(main);
}

}  // namespace

// One fault, drawn at random: an entry added, removed or retitled, an owner
// window opened or closed, or a new Marrowick.rc.
void Stress::RandomFault() {
    const long opened = DeviceContexts().opened;
    const int roll = Pick(100);
    if (roll < 28)
        AddEntry();
    else if (roll < 52)
        RemoveEntry();
    else if (roll < 70)
        ChangeTip();
    else if (roll < 80)
        OpenWindow();
    else if (roll < 90)
        CloseWindow(false);
    else
        Reconfigure();
    CheckNotPainted(opened);
}

// A change of the tray under the shown list, drawn at random and checked as
// an input is: an entry removed at or before the entry shown highlighted
// (which moves that entry to another index or takes it away) or after it; an
// owner window gone, leaving its entries behind or taking them along;
// entries added, to an owner window that is or to a new one.
void Stress::ChangeTrayUnderList() {
    const long opened = DeviceContexts().opened;
    const int size = GetTraySize(), shown = ShownIndex();
    const int at = shown >= 0 ? shown : std::min(model_.selected, size);
    switch (Pick(10)) {
        case 0:
        case 1:
        case 2:
        case 3:
            RemoveEntryAt(Pick(at + 1));
            break;
        case 4:
            if (at + 1 < size) RemoveEntryAt(at + 1 + Pick(size - at - 1));
            break;
        case 5:
            CloseWindow(Chance(0.5));
            break;
        case 6:
        case 7:
        case 8:
            AddEntry();
            break;
        default:
            OpenWindow();
    }
    CheckNotPainted(opened);
    CheckAfterChange(false);
}

// Each change of the tray's entries that the shown list lives through.
void Stress::CountChange() { counts_.changes_while_shown += model_.visible; }

// Mostly short tips of one or two lines ("\n" becomes CR LF in trayapp); now
// and then CR or LF alone, a long tip up to the tip's capacity, an empty one,
// or tabs and ampersands that only DT_NOPREFIX keeps as they are.
std::string Stress::RandomTip(unsigned id) {
    const std::string number = std::to_string(id);
    switch (Pick(24)) {
        case 4:
            return "Three\rline\ntip " + number;
        case 5: {
            std::string tip;
            const size_t length = 300 + Pick(212);
            while (tip.size() < length) tip += "long tip " + number + " ";
            return tip.substr(0, length);
        }
        case 6:
            return "";
        case 7:
            return "Tabs\tand &prefix& " + number;
        default:
            return "App " + number + (Chance(0.5) ? "" : "\\nVolume 40%");
    }
}

void Stress::AddEntry() {
    if (GetTraySize() >= MAX_ENTRIES) return;
    Owner* owner = AnyOwner();
    if (!owner) return;
    const size_t choice = Pick(static_cast<int>(owner->windows.size()) + 1);
    HWND window = choice < owner->windows.size() ? owner->windows[choice] : owner->main;
    const unsigned id = owner->next_id++;
    const std::string entry = std::to_string(id) + " " + ICON_COLORS[Pick(5)] + " " +
                              static_cast<char>('A' + Pick(26)) + " " + RandomTip(id);
    const std::string command =
        window == owner->main ? "add " + entry : "addto " + Hex(window) + " " + entry;
    if (Tell(*owner, command)) {
        ++counts_.entries_added;
        CountChange();
    } else {
        Error("%s refused \"%s\"", owner->name.c_str(), command.substr(0, 40).c_str());
    }
}

void Stress::RemoveEntry() {
    const int size = GetTraySize();
    if (size > MIN_ENTRIES) RemoveEntryAt(Pick(size));
}

// The entry at index, by its owner's hand; none when the tray is down to
// MIN_ENTRIES or the owner is gone.
void Stress::RemoveEntryAt(int index) {
    const int size = GetTraySize();
    if (size <= MIN_ENTRIES || index < 0 || index >= size) return;
    const TrayEntry* entry = GetTrayIcon(index);
    const Owner* owner = OwnerOfWindow(entry->hWnd);
    if (!owner) return;
    if (Tell(*owner, "delete " + std::to_string(entry->uID))) {
        ++counts_.entries_removed;
        CountChange();
    } else {
        Error("%s refused to delete %u", owner->name.c_str(), entry->uID);
    }
}

void Stress::ChangeTip() {
    const int size = GetTraySize();
    if (size == 0) return;
    const TrayEntry* entry = GetTrayIcon(Pick(size));
    Owner* owner = OwnerOfWindow(entry->hWnd);
    if (!owner) return;
    const unsigned id = entry->uID;
    if (Tell(*owner, "tip " + std::to_string(id) + " " + RandomTip(id)))
        ++counts_.tips_changed;
    else
        Error("%s refused a tip for %u", owner->name.c_str(), id);
}

void Stress::OpenWindow() {
    int open = 0;
    for (const Owner& owner : owners_) open += static_cast<int>(owner.windows.size());
    Owner* owner = AnyOwner();
    if (!owner || open >= MAX_EXTRA_WINDOWS) return;
    HWND window = reinterpret_cast<HWND>(Tell(*owner, "window"));
    if (!window) {
        Error("%s opened no window", owner->name.c_str());
        return;
    }
    owner->windows.push_back(window);
    ++counts_.windows_opened;
    const int added = counts_.entries_added;
    for (int n = 1 + Pick(2); n > 0 && GetTraySize() < MAX_ENTRIES; --n) {
        const unsigned id = owner->next_id++;
        const std::string command = "addto " + Hex(window) + " " + std::to_string(id) + " " +
                                    ICON_COLORS[Pick(5)] + " W " + RandomTip(id);
        if (Tell(*owner, command)) ++counts_.entries_added;
    }
    if (counts_.entries_added > added) CountChange();
}

// The window goes. Its entries stay in the tray with a dead owner until the
// next show purges them, or, with take_entries, its program deletes them
// first, as a window that closes properly does.
void Stress::CloseWindow(bool take_entries) {
    Owner* owner = nullptr;
    HWND window = WindowToClose(&owner);
    if (!window) return;
    owner->windows.erase(std::find(owner->windows.begin(), owner->windows.end(), window));
    for (int i = GetTraySize() - 1; take_entries && i >= 0; --i) {
        const TrayEntry* entry = GetTrayIcon(i);
        if (entry->hWnd == window && Tell(*owner, "delete " + std::to_string(entry->uID)))
            ++counts_.entries_removed;
    }
    if (Tell(*owner, "close " + Hex(window)) && !IsWindow(window)) {
        ++counts_.windows_closed;
        CountChange();
    } else {
        Error("%s did not close window %s", owner->name.c_str(), Hex(window).c_str());
    }
}

// The owner window of the entry shown highlighted on the shown list, when
// it is one a fault may close; else one drawn at random; null when no
// program has one open.
HWND Stress::WindowToClose(Owner** owner) {
    if (Owner* program = model_.visible ? ShownOwner() : nullptr) {
        HWND highlighted = GetTrayIcon(ShownIndex())->hWnd;
        const auto& windows = program->windows;
        if (std::find(windows.begin(), windows.end(), highlighted) != windows.end()) {
            *owner = program;
            return highlighted;
        }
    }
    std::vector<Owner*> with_windows;
    for (Owner& candidate : owners_)
        if (candidate.alive && !candidate.windows.empty()) with_windows.push_back(&candidate);
    if (with_windows.empty()) return nullptr;
    *owner = with_windows[Pick(static_cast<int>(with_windows.size()))];
    return (*owner)->windows[Pick(static_cast<int>((*owner)->windows.size()))];
}

// A tray program exits: cleanly, taking its entries along, or as if it
// crashed, leaving them behind. Under the shown list it is the program whose
// entry is shown highlighted, when that program still runs.
void Stress::ExitOwner(bool clean) {
    if (LiveOwners() < 2) return;
    Owner* owner = model_.visible ? ShownOwner() : nullptr;
    if (!owner) owner = AnyOwner();
    const long opened = DeviceContexts().opened;
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, owner->pid);
    owner->received = Received(*owner) - owner->received_before;
    Tell(*owner, clean ? "quit" : "vanish");
    std::string left;
    if (!AwaitExit(process, owner->main, &left))
        Error("%s did not exit within %u ms: %s left", owner->name.c_str(), OWNER_TIMEOUT_MS,
              left.c_str());
    owner->alive = false;
    owner->windows.clear();
    ++counts_.owner_exits;
    CountChange();
    CheckNotPainted(opened);
    Log("stress step=%d %s exited %s", step_, owner->name.c_str(),
        clean ? "taking its entries along" : "leaving its entries behind");
}

// The program whose window owns the entry shown highlighted; none when that
// entry or its window is gone.
Owner* Stress::ShownOwner() {
    const int shown = ShownIndex();
    return shown >= 0 ? OwnerOfWindow(GetTrayIcon(shown)->hWnd) : nullptr;
}

}  // namespace stress
