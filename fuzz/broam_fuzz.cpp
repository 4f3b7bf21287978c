// Fuzz target: bro@m texts of any bytes into HandleBroam, mixed with what the
// host does between broadcasts: tray entries added and removed, owners that
// exit, a tray size that overstates the entries, new rc files, repaints and
// restarts of the plug-in.
//
// The input is a list of records cut at NUL bytes. A record's first byte says
// what it does, the rest is its argument:
//   B<text>        the host broadcasts the text (any bytes but NUL)
//   T<flags><tip>  a tray entry with that tip; flags bit 0: its owner has
//                  already exited; bit 1: the tip is repeated to fill the
//                  host's whole capacity, its terminator in the last byte
//   R<n>           tray entry n (modulo the tray's size) is removed
//   K<n>           the owner of tray entry n exits
//   S<n>           the host reports n (the byte as a signed number) modulo 64
//                  entries, whatever it holds; -1 or S alone: the true number
//   C<text>        the rc file becomes the text; the host reconfigures (so
//                  the paddings and the notification versions the next Send
//                  packs its click with change here too; each live owner is
//                  a process of its own, running p0.exe to p3.exe)
//   P              the list window is painted
//   X              the host stops the plug-in and starts it again
//   I<k><a><b><c>  the user acts on the list window (with marrowick.interactive
//                  on in a C record it answers): k picks a key, a typed
//                  character a, the Apps key, the pointer moving to a, b, a
//                  button coming up there, a change of activation or a cursor
//                  request; c sets the message's time in tenths of a second
//   M<w><h>        the primary monitor's work area becomes 8w by 8h pixels
//                  (what marrowick.placement monitor fits the list into)
// Other records do nothing. After a broadcast the window system paints the
// list if it is shown. After every record the list's state must be sound and
// every font and device context given back.
#include <cstring>
#include <memory>
#include <string>

#include "fuzz/fuzz_support.h"
#include "traylist/rows.h"

namespace {

using fuzz::Require;

constexpr size_t MAX_TRAY_ENTRIES = 64;
constexpr intptr_t FIRST_OWNER = 100;

constexpr intptr_t OWNER_NUMBERS = 800;  // below the fakes' first list window, 1000
intptr_t owners_made;                    // each entry gets an owner of its own

// Tips as the host keeps them: terminated inside the record, whatever lies
// after the terminator is leftover junk that must never be read.
void AddEntry(std::string_view argument) {
    if (fake::host.tray.size() >= MAX_TRAY_ENTRIES) return;
    const int flags = argument.empty() ? 0 : static_cast<unsigned char>(argument[0]);
    std::string_view tip = argument.empty() ? argument : argument.substr(1);
    const intptr_t owner_number = FIRST_OWNER + owners_made++ % OWNER_NUMBERS;
    const HWND owner =
        (flags & 1) ? reinterpret_cast<HWND>(owner_number) : fake::LiveWindow(owner_number);
    // Each owner's own process, one of four programs, p0.exe to p3.exe, for
    // marrowick.notify_version_by_program and Click by program.
    if (!(flags & 1))
        fake::RunProcess(static_cast<DWORD>(owner_number),
                         "C:\\Programs\\p" + std::to_string(owner_number % 4) + ".exe", {owner});
    TrayEntry& entry = fake::AddTrayEntry(owner, 7, 1025, 600, "");
    char* text = entry.szTip;
    std::memset(text, '#', sizeof entry.szTip);
    if (flags & 2) {
        if (tip.empty()) tip = "x";
        for (size_t i = 0; i < sizeof entry.szTip - 1; ++i) text[i] = tip[i % tip.size()];
        text[sizeof entry.szTip - 1] = '\0';
    } else {
        const size_t length = std::min(tip.size(), sizeof entry.szTip - 1);
        std::memcpy(text, tip.data(), length);
        text[length] = '\0';
    }
}

size_t PickEntry(std::string_view argument) {
    const size_t n = argument.empty() ? 0 : static_cast<unsigned char>(argument[0]);
    return n % fake::host.tray.size();
}

void Paint() { WndProc(hListWnd, WM_PAINT, 0, 0); }

// The text as the host hands it over: its own buffer, just long enough.
void Broadcast(std::string_view text) {
    std::unique_ptr<char[]> copy(new char[text.size() + 1]);
    std::memcpy(copy.get(), text.data(), text.size());
    copy[text.size()] = '\0';
    const long calls_before = fake::CallCount();
    WndProc(hListWnd, MSG_BROADCAST, 0, reinterpret_cast<LPARAM>(copy.get()));
    // Broadcasts for other plug-ins cost one call: the default processing.
    if (text.substr(0, std::strlen(BROAM_PREFIX)) != BROAM_PREFIX)
        Require(fake::CallCount() == calls_before + 1, "other plug-ins' bro@ms do nothing");
    if (list_state.visible) Paint();
}

unsigned char Byte(std::string_view argument, size_t i) {
    return i < argument.size() ? static_cast<unsigned char>(argument[i]) : 0;
}

constexpr WPARAM KEYS[] = {VK_DOWN, VK_UP, VK_HOME, VK_END, VK_RETURN, VK_ESCAPE, VK_LEFT};
constexpr size_t KEY_COUNT = sizeof KEYS / sizeof KEYS[0];
constexpr intptr_t OWNED_BOX = 990;  // a message box the list window owns

// One thing the user does to the list window, as its messages reach it.
void Act(std::string_view argument) {
    const unsigned kind = Byte(argument, 0);
    const int a = Byte(argument, 1), b = Byte(argument, 2);
    fake::platform.message_time = Byte(argument, 3) * 100;
    const LPARAM at = MAKELPARAM(a, b);
    switch (kind % (KEY_COUNT + 8)) {
        case KEY_COUNT:
            WndProc(hListWnd, WM_CHAR, a, 0);
            break;
        case KEY_COUNT + 1:
            WndProc(hListWnd, WM_CONTEXTMENU, 0, MAKELPARAM(-1, -1));
            break;
        case KEY_COUNT + 2:
            fake::platform.cursor = {a, b};
            WndProc(hListWnd, WM_MOUSEMOVE, 0, at);
            break;
        case KEY_COUNT + 3:
            WndProc(hListWnd, WM_LBUTTONUP + 3 * (b % 3), 0, at);
            break;
        case KEY_COUNT + 4:
            WndProc(hListWnd, WM_ACTIVATE, WA_INACTIVE, a % 2 ? OWNED_BOX : 0);
            break;
        case KEY_COUNT + 5:
            WndProc(hListWnd, WM_ACTIVATE, WA_ACTIVE, 0);
            break;
        case KEY_COUNT + 6:
            WndProc(hListWnd, WM_SETCURSOR, 0, 1);
            break;
        case KEY_COUNT + 7:
            WndProc(hListWnd, WM_CONTEXTMENU, 0, at);
            break;
        default:
            WndProc(hListWnd, WM_KEYDOWN, KEYS[kind % (KEY_COUNT + 8)], 0);
            break;
    }
    if (list_state.visible) Paint();
}

void SetWorkArea(std::string_view argument) {
    fake::platform.monitors[0].work = {0, 0, 8 * Byte(argument, 0), 8 * Byte(argument, 1)};
}

void Reconfigure(std::string_view rc_text) {
    fake::host.rc_text = std::string(rc_text);
    WndProc(hListWnd, MSG_RECONFIGURE, 0, 0);
}

void Restart() {
    endPlugin(fuzz::INSTANCE);
    Require(hListWnd == nullptr && !list_state.visible, "a stopped plug-in has no list");
    Require(beginPlugin(fuzz::INSTANCE) == 0, "the plug-in starts again");
}

void RequireSoundList() {
    const ListState& s = list_state;
    Require(s.visible == 0 || s.visible == 1, "visible is 0 or 1");
    Require(s.count >= 0, "the row count is not negative");
    Require(s.count == 0 ? s.selected == 0 : s.selected >= 0 && s.selected < s.count,
            "the highlight lies on a row");
    Require(
        s.count == 0 ? s.first == 0 : s.first <= s.selected && s.selected < s.first + RowsShown(s),
        "the highlighted row is among those the window shows");
    const fake::Window* window = fake::FindWindowRecord(hListWnd);
    Require(window && window->visible == (s.visible == 1), "the window is shown as the list is");
    fuzz::RequireNothingLeftOpen();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::StartPlugin();
    fake::OwnedWindow(OWNED_BOX, hListWnd);
    owners_made = 0;
    for (std::string_view record : fuzz::Records(data, size)) {
        if (record.empty()) continue;
        const std::string_view argument = record.substr(1);
        switch (record[0]) {
            case 'B':
                Broadcast(argument);
                break;
            case 'T':
                AddEntry(argument);
                break;
            case 'R':
                if (!fake::host.tray.empty())
                    fake::host.tray.erase(fake::host.tray.begin() + PickEntry(argument));
                break;
            case 'K':
                if (!fake::host.tray.empty())
                    fake::KillWindow(fake::host.tray[PickEntry(argument)].hWnd);
                break;
            case 'S':
                fake::host.reported_tray_size =
                    argument.empty() ? -1 : static_cast<signed char>(argument[0]) % 64;
                break;
            case 'C':
                Reconfigure(argument);
                break;
            case 'P':
                Paint();
                break;
            case 'X':
                Restart();
                break;
            case 'I':
                Act(argument);
                break;
            case 'M':
                SetWorkArea(argument);
                break;
        }
        RequireSoundList();
    }
    return 0;
}
