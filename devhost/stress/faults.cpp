// The faults between the broadcasts of a stress run: tray programs add,
// remove and retitle entries, open owner windows and close them leaving their
// entries behind, and exit with or without their entries.
#include <string>
#include <vector>

#include "devhost/log/log.h"
#include "devhost/shell/shell.h"
#include "devhost/stress/run.h"
#include "host/host.h"

namespace stress {
namespace {

constexpr int MAX_ENTRIES = 16;  // keeps the list on a 768-pixel screen
constexpr int MIN_ENTRIES = 2;
constexpr int MAX_EXTRA_WINDOWS = 6;

// Icon colours; none is the highlight's, none has less blue than 0x40.
const char* const ICON_COLORS[] = {"#3080ff", "#30c060", "#d04040", "#808080", "#8040c0"};

// Waits for an exiting tray program, handling the host's messages meanwhile,
// its last ones (removing its entries) among them, until its process has
// ended and its main window is gone; false when that takes longer than
// OWNER_TIMEOUT_MS. Closes process.
bool AwaitExit(HANDLE process, HWND main) {
    const DWORD start = GetTickCount();
    bool ended = false;
    while (process && !ended && GetTickCount() - start < OWNER_TIMEOUT_MS) {
        ended = MsgWaitForMultipleObjects(1, &process, FALSE, 100, QS_ALLINPUT) == WAIT_OBJECT_0;
        PumpMessages();
    }
    if (process) CloseHandle(process);
    while (IsWindow(main) && GetTickCount() - start < OWNER_TIMEOUT_MS) {
        Sleep(10);
        PumpMessages();
    }
    return ended && !IsWindow(main);
}

}  // namespace

// One fault, drawn at random: an entry added, removed or retitled, an owner
// window opened or closed, or a new Marrowick.rc.
void Stress::RandomFault() {
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
        CloseWindow();
    else
        Reconfigure();
}

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
    if (Tell(*owner, command))
        ++counts_.entries_added;
    else
        Error("%s refused \"%s\"", owner->name.c_str(), command.substr(0, 40).c_str());
}

void Stress::RemoveEntry() {
    const int size = GetTraySize();
    if (size <= MIN_ENTRIES) return;
    const TrayEntry* entry = GetTrayIcon(Pick(size));
    Owner* owner = OwnerOfWindow(entry->hWnd);
    if (!owner) return;
    if (Tell(*owner, "delete " + std::to_string(entry->uID)))
        ++counts_.entries_removed;
    else
        Error("%s refused to delete %u", owner->name.c_str(), entry->uID);
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
    for (int n = 1 + Pick(2); n > 0 && GetTraySize() < MAX_ENTRIES; --n) {
        const unsigned id = owner->next_id++;
        const std::string command = "addto " + Hex(window) + " " + std::to_string(id) + " " +
                                    ICON_COLORS[Pick(5)] + " W " + RandomTip(id);
        if (Tell(*owner, command)) ++counts_.entries_added;
    }
}

// The window goes; its entries stay in the tray with a dead owner until the
// next show purges them.
void Stress::CloseWindow() {
    std::vector<Owner*> with_windows;
    for (Owner& owner : owners_)
        if (owner.alive && !owner.windows.empty()) with_windows.push_back(&owner);
    if (with_windows.empty()) return;
    Owner* owner = with_windows[Pick(static_cast<int>(with_windows.size()))];
    const size_t index = Pick(static_cast<int>(owner->windows.size()));
    HWND window = owner->windows[index];
    owner->windows.erase(owner->windows.begin() + index);
    if (Tell(*owner, "close " + Hex(window)) && !IsWindow(window))
        ++counts_.windows_closed;
    else
        Error("%s did not close window %s", owner->name.c_str(), Hex(window).c_str());
}

// A tray program exits between two broadcasts: cleanly, taking its entries
// along, or as if it crashed, leaving them behind.
void Stress::ExitOwner(bool clean) {
    if (LiveOwners() < 2) return;
    Owner* owner = AnyOwner();
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, owner->pid);
    owner->received = Received(*owner) - owner->received_before;
    Tell(*owner, clean ? "quit" : "vanish");
    if (!AwaitExit(process, owner->main)) Error("%s did not exit", owner->name.c_str());
    owner->alive = false;
    owner->windows.clear();
    ++counts_.owner_exits;
    Log("stress step=%d %s exited %s", step_, owner->name.c_str(),
        clean ? "taking its entries along" : "leaving its entries behind");
}

}  // namespace stress
