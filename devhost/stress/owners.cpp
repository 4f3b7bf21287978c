// The tray programs (trayapp.exe) a stress run drives: found by their window
// class, told what to do through WM_COPYDATA, asked how many callbacks they
// logged.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "devhost/log/log.h"
#include "devhost/measure/settled.h"
#include "devhost/shell/protocol.h"
#include "devhost/stress/run.h"
#include "host/host.h"

namespace stress {
namespace {

// EnumWindows' callback: each tray program's main window, known by its class,
// goes into the owners at lParam.
BOOL CALLBACK CollectOwner(HWND window, LPARAM lParam) {
    char class_name[64], title[128];
    if (GetClassNameA(window, class_name, sizeof class_name) &&
        std::strcmp(class_name, TRAYAPP_CLASS_NAME) == 0) {
        Owner owner;
        GetWindowTextA(window, title, sizeof title);
        owner.name = title;
        owner.main = window;
        GetWindowThreadProcessId(window, &owner.pid);
        reinterpret_cast<std::vector<Owner>*>(lParam)->push_back(owner);
    }
    return TRUE;
}

}  // namespace

// The tray programs running now, by name, and the IDs their new entries
// start from; false, with the reason logged, when there are none.
bool Stress::FindOwners() {
    EnumWindows(CollectOwner, reinterpret_cast<LPARAM>(&owners_));
    std::sort(owners_.begin(), owners_.end(),
              [](const Owner& a, const Owner& b) { return a.name < b.name; });
    if (owners_.empty()) {
        Log("stress error no tray programs (trayapp.exe) are running");
        return false;
    }
    for (Owner& owner : owners_) owner.received_before = owner.logged = Received(owner);
    // New IDs above those in the tray, which an earlier run may have added.
    for (int i = 0; i < GetTraySize(); ++i) {
        const TrayEntry* entry = GetTrayIcon(i);
        if (Owner* owner = OwnerOfWindow(entry->hWnd))
            owner->next_id = std::max(owner->next_id, entry->uID + 1);
    }
    return true;
}

// Hands a command to a tray program and waits for its answer; 0 when it
// gives none in time.
LRESULT Stress::Tell(const Owner& owner, const std::string& text) {
    COPYDATASTRUCT data = {COPYDATA_TRAYAPP_COMMAND, static_cast<DWORD>(text.size() + 1),
                           const_cast<char*>(text.c_str())};
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(owner.main, WM_COPYDATA, reinterpret_cast<WPARAM>(GetBBWnd()),
                             reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, OWNER_TIMEOUT_MS,
                             &result))
        return 0;
    return static_cast<LRESULT>(result);
}

// The live tray program whose process owns window; none when the window is
// gone.
Owner* Stress::OwnerOfWindow(HWND window) {
    DWORD pid = 0;
    if (!IsWindow(window) || !GetWindowThreadProcessId(window, &pid)) return nullptr;
    for (Owner& owner : owners_)
        if (owner.alive && owner.pid == pid) return &owner;
    return nullptr;
}

// A live tray program drawn at random; none when all have exited.
Owner* Stress::AnyOwner() {
    std::vector<Owner*> live;
    for (Owner& owner : owners_)
        if (owner.alive) live.push_back(&owner);
    return live.empty() ? nullptr : live[Pick(static_cast<int>(live.size()))];
}

int Stress::LiveOwners() const {
    return static_cast<int>(
        std::count_if(owners_.begin(), owners_.end(), [](const Owner& o) { return o.alive; }));
}

// The callbacks the program has logged so far (it answers one more, so that
// 0 means no answer).
long Stress::Received(const Owner& owner) { return static_cast<long>(Tell(owner, "received")) - 1; }

// Before an interactive list shows: every live tray program's thread has
// taken up what came with the clicks sent to it, which it has logged
// (CheckClickReached saw to that). A click makes its owner's window the
// foreground one, which that thread takes up in its own time (on a screen
// without a window manager Wine 10 hands the X focus over late); a list
// shown before it would lose the activation and hide, as it must.
void Stress::SettleOwners() {
    for (const Owner& owner : owners_)
        if (owner.alive && !ThreadSettled(owner.main, OWNER_TIMEOUT_MS))
            Error("%s did not answer WM_NULL within %u ms (error %lu)", owner.name.c_str(),
                  OWNER_TIMEOUT_MS, GetLastError());
}

// The callbacks the tray programs logged during the run, those of a program
// that exited counted before it did.
void Stress::CountDelivered() {
    for (Owner& owner : owners_)
        if (owner.alive) owner.received = Received(owner) - owner.received_before;
    for (const Owner& owner : owners_) counts_.delivered += owner.received;
}

}  // namespace stress
