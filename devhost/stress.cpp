// The host command "stress N SEED FILE": N broadcasts to the loaded plug-in,
// drawn at random from SEED, with faults between them, all from inside the
// host so that no broadcast waits for a process to start:
//
//   broadcasts  Next, Prev, Cancel, Send with each of the six click names and
//               any white space before it, and broadcasts for other plug-ins;
//   faults      tray programs (trayapp.exe) add, remove and retitle entries,
//               open owner windows and close them leaving their entries
//               behind, two of them exit (one leaving its entries behind, one
//               taking them along), and the plug-in's Marrowick.rc is
//               rewritten and the plug-in reconfigured.
//
// The host keeps its own model of the list (shown, highlighted row, rows) and
// after every broadcast, once the list has painted, checks:
//   - every font CreateStyleFont handed out during it is deleted (GetObjectType
//     answers 0 for it);
//   - every device context the plug-in opened is closed again, counted through
//     the plug-in's import table (devhost/dcwatch.cpp);
//   - the list is shown or hidden as the model says and, when it was just
//     painted, the highlight colour lies in the model's row and in no other;
//   - a purge was asked for exactly when a shown tray held a dead owner.
// The clicks the model expects, one line per mouse message in the form the
// tray programs log them, go to FILE; at the end each program says how many
// callbacks it logged. The last line is the summary:
//   stress broadcasts=... clicks=... delivered=... faults=... fonts_leaked=0 ...
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "devhost/devhost.h"
#include "host/host.h"

namespace {

constexpr int MAX_ENTRIES = 16;  // keeps the list on a 768-pixel screen
constexpr int MIN_ENTRIES = 2;
constexpr int MAX_EXTRA_WINDOWS = 6;
constexpr int MAX_REPORTED_ERRORS = 20;
constexpr UINT OWNER_TIMEOUT_MS = 20000;
constexpr int BASE_STYLE = 8;  // menu.frame
constexpr int TIP_STYLE = 9;   // menu.hilite
constexpr double FAULT_RATE = 0.06;

// The host's own table of click names, kept apart from the plug-in's.
struct Click {
    const char* name;
    const char* messages[4];
};
const Click CLICKS[] = {
    {"LeftClick", {"WM_LBUTTONDOWN", "WM_LBUTTONUP"}},
    {"RightClick", {"WM_RBUTTONDOWN", "WM_RBUTTONUP"}},
    {"MiddleClick", {"WM_MBUTTONDOWN", "WM_MBUTTONUP"}},
    {"LeftDoubleClick", {"WM_LBUTTONDOWN", "WM_LBUTTONUP", "WM_LBUTTONDBLCLK", "WM_LBUTTONUP"}},
    {"RightDoubleClick", {"WM_RBUTTONDOWN", "WM_RBUTTONUP", "WM_RBUTTONDBLCLK", "WM_RBUTTONUP"}},
    {"MiddleDoubleClick", {"WM_MBUTTONDOWN", "WM_MBUTTONUP", "WM_MBUTTONDBLCLK", "WM_MBUTTONUP"}},
};

// Icon colours; none is the highlight's, none has less blue than 0x40.
const char* const ICON_COLORS[] = {"#3080ff", "#30c060", "#d04040", "#808080", "#8040c0"};

enum Command { NEXT, PREV, CANCEL, SEND, OTHER };

struct Owner {
    std::string name;
    HWND main = nullptr;
    DWORD pid = 0;
    bool alive = true;
    std::vector<HWND> windows;  // its other owner windows still open
    unsigned next_id = 1000;
    long received_before = 0;  // callbacks it had logged before the run
    long received = 0;         // callbacks logged during the run
};

struct Sides {
    int top, right, bottom, left;
};

struct Counts {
    int broadcasts = 0, shows = 0, moves = 0, hides = 0, sends = 0, others = 0;
    int clicks = 0, messages = 0, clicks_to_nobody = 0;
    long delivered = 0;
    int owner_exits = 0, windows_opened = 0, windows_closed = 0, entries_added = 0;
    int entries_removed = 0, tips_changed = 0, reconfigures = 0, purges = 0;
    long fonts = 0, fonts_leaked = 0;
    int highlight_checks = 0, errors = 0;
};

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

// "1 2 3 4", "1 2 3", "1 2" or "1" for the sides, as the rc syntax allows.
std::string PaddingText(const Sides& p, int form) {
    char text[64];
    if (form == 0 && p.top == p.right && p.top == p.bottom && p.top == p.left)
        std::snprintf(text, sizeof text, "%d", p.top);
    else if (form <= 1 && p.top == p.bottom && p.left == p.right)
        std::snprintf(text, sizeof text, "%d %d", p.top, p.right);
    else if (form <= 2 && p.left == p.right)
        std::snprintf(text, sizeof text, "%d %d %d", p.top, p.right, p.bottom);
    else
        std::snprintf(text, sizeof text, "%d %d %d %d", p.top, p.right, p.bottom, p.left);
    return text;
}

class Stress {
public:
    Stress(unsigned seed, HMODULE plugin, HWND list, const std::string& rc_path)
        : random_(seed), plugin_(plugin), list_(list), rc_path_(rc_path) {}

    bool Start();
    void Run(int broadcasts);
    void Finish(const std::string& expected_path, double seconds);

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(random_) < p; }
    void Error(const char* format, ...) __attribute__((format(printf, 2, 3)));

    LRESULT Tell(const Owner& owner, const std::string& text);
    Owner* OwnerOfWindow(HWND window);
    Owner* AnyOwner();
    int LiveOwners() const;
    long Received(const Owner& owner);

    void Broadcast(Command command, const std::string& text, const Click* click);
    void RandomBroadcast();
    void ExpectClick(const Click& click);
    void CheckResources();
    void CheckList(bool painted);
    void CheckHighlight();
    bool Capture(const RECT& part);
    void ReleaseCapture();

    void RandomFault();
    std::string RandomTip(unsigned id);
    void AddEntry();
    void RemoveEntry();
    void ChangeTip();
    void OpenWindow();
    void CloseWindow();
    void ExitOwner(bool clean);
    void Reconfigure();

    std::mt19937 random_;
    HMODULE plugin_;
    HWND list_;
    std::string rc_path_;
    std::vector<Owner> owners_;
    std::vector<HFONT> fonts_;  // handed out since the last check
    std::vector<std::string> expected_;
    struct {
        bool visible = false;
        int selected = 0;
        int count = 0;
    } model_;
    Sides base_ = {0, 0, 0, 0};  // the base padding of the rc now in force
    COLORREF frame_ = 0, hilite_ = 0;
    bool check_highlight_ = false;
    HDC capture_dc_ = nullptr;
    HBITMAP capture_bitmap_ = nullptr;
    HGDIOBJ capture_old_ = nullptr;
    const uint32_t* capture_bits_ = nullptr;
    int capture_width_ = 0;
    long dcs_open_reported_ = 0, dcs_stray_reported_ = 0;
    int step_ = 0;
    Counts counts_;
};

void Stress::Error(const char* format, ...) {
    if (++counts_.errors > MAX_REPORTED_ERRORS) return;
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    Log("stress error step=%d %s", step_, text);
}

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

Owner* Stress::OwnerOfWindow(HWND window) {
    DWORD pid = 0;
    if (!IsWindow(window) || !GetWindowThreadProcessId(window, &pid)) return nullptr;
    for (Owner& owner : owners_)
        if (owner.alive && owner.pid == pid) return &owner;
    return nullptr;
}

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

long Stress::Received(const Owner& owner) { return static_cast<long>(Tell(owner, "received")) - 1; }

bool Stress::Start() {
    EnumWindows(CollectOwner, reinterpret_cast<LPARAM>(&owners_));
    std::sort(owners_.begin(), owners_.end(),
              [](const Owner& a, const Owner& b) { return a.name < b.name; });
    if (owners_.empty()) {
        Log("stress error no tray programs (trayapp.exe) are running");
        return false;
    }
    for (Owner& owner : owners_) owner.received_before = Received(owner);
    // New IDs above those in the tray, which an earlier run may have added.
    for (int i = 0; i < GetTraySize(); ++i) {
        const TrayEntry* entry = GetTrayIcon(i);
        if (Owner* owner = OwnerOfWindow(entry->hWnd))
            owner->next_id = std::max(owner->next_id, entry->uID + 1);
    }
    check_highlight_ = SolidStyleColor(BASE_STYLE, &frame_) &&
                       SolidStyleColor(TIP_STYLE, &hilite_) && frame_ != hilite_;
    if (!check_highlight_)
        Log("stress note the highlight is not checked: menu.frame and menu.hilite need "
            "distinct solid fills");
    if (WatchDeviceContexts(plugin_) == 0)
        Log("stress note the plug-in imports none of the device context functions");
    CollectStyleFonts(&fonts_);
    return true;
}

// ---- broadcasts --------------------------------------------------------------

void Stress::RandomBroadcast() {
    const int roll = Pick(100);
    if (roll < 40) {
        Broadcast(NEXT, "@Marrowick.Next", nullptr);
    } else if (roll < 60) {
        Broadcast(PREV, "@Marrowick.Prev", nullptr);
    } else if (roll < 70) {
        Broadcast(CANCEL, "@Marrowick.Cancel", nullptr);
    } else if (roll < 96) {
        static const char SPACES[] = " \t\n\v\f\r";
        const Click& click = CLICKS[Pick(6)];
        // Mostly one space; else one to four of any white space.
        std::string gap = " ";
        if (Chance(0.2)) {
            gap.clear();
            for (int n = 1 + Pick(4); n > 0; --n) gap += SPACES[Pick(6)];
        }
        Broadcast(SEND, "@Marrowick.Send" + gap + click.name, &click);
    } else {
        Broadcast(OTHER, Chance(0.5) ? "@Other.Next" : "Marrowick.Next", nullptr);
    }
}

void Stress::ExpectClick(const Click& click) {
    const int size = GetTraySize();
    Owner* owner = nullptr;
    const TrayEntry* entry = nullptr;
    if (model_.selected < size) {
        entry = GetTrayIcon(model_.selected);
        owner = OwnerOfWindow(entry->hWnd);
    }
    if (!owner) {
        ++counts_.clicks_to_nobody;  // the entry or its owner window is gone
        return;
    }
    ++counts_.clicks;
    for (const char* message : click.messages) {
        if (!message) break;
        expected_.push_back(owner->name + " id=" + std::to_string(entry->uID) + " " + message);
        ++counts_.messages;
    }
}

void Stress::Broadcast(Command command, const std::string& text, const Click* click) {
    ++step_;
    ++counts_.broadcasts;
    // What the list must do, worked out from the tray before the broadcast.
    const int size = GetTraySize();
    bool dead = false;
    for (int i = 0; i < size && !dead; ++i) dead = !IsWindow(GetTrayIcon(i)->hWnd);
    const bool shows = (command == NEXT || command == PREV) && !model_.visible;
    switch (command) {
        case NEXT:
        case PREV:
            ++(shows ? counts_.shows : counts_.moves);
            break;
        case CANCEL:
            counts_.hides += model_.visible;
            model_.visible = false;
            break;
        case SEND:
            ++counts_.sends;
            if (model_.visible) ExpectClick(*click);
            model_.visible = false;
            break;
        case OTHER:
            ++counts_.others;
            break;
    }

    const int purges = PurgeRequests();
    Deliver(MSG_BROADCAST, 0, reinterpret_cast<LPARAM>(const_cast<char*>(text.c_str())));
    if (shows) {
        model_.visible = true;
        model_.selected = 0;
        model_.count = dead ? GetTraySize() : size;
    }
    if (command == NEXT && !shows && ++model_.selected >= model_.count) model_.selected = 0;
    if (command == PREV) {
        if (shows) model_.selected = model_.count;
        if (--model_.selected < 0) model_.selected = model_.count > 0 ? model_.count - 1 : 0;
    }
    const int purged = PurgeRequests() - purges;
    counts_.purges += purged;
    if (purged != (shows && dead ? 1 : 0))
        Error("%d purges for \"%s\" (a dead owner in the tray: %d)", purged, Escaped(text).c_str(),
              dead);

    UpdateWindow(list_);
    PumpMessages();
    CheckResources();
    CheckList(command == NEXT || command == PREV);
}

// ---- checks ------------------------------------------------------------------

// The fonts handed out since the last check, which includes any paint
// between the broadcasts, must all be gone.
void Stress::CheckResources() {
    counts_.fonts += static_cast<long>(fonts_.size());
    for (HFONT font : fonts_)
        if (GetObjectType(font) != 0) {
            ++counts_.fonts_leaked;
            Error("font %p handed out by CreateStyleFont is still alive", static_cast<void*>(font));
        }
    fonts_.clear();
    const DcCounts dcs = DeviceContexts();
    if (dcs.open != dcs_open_reported_) {
        Error("%ld device contexts of the plug-in open after the broadcast", dcs.open);
        dcs_open_reported_ = dcs.open;
    }
    if (dcs.stray != dcs_stray_reported_) {
        Error("%ld device contexts released that were not open", dcs.stray);
        dcs_stray_reported_ = dcs.stray;
    }
}

void Stress::CheckList(bool painted) {
    const bool visible = IsWindowVisible(list_) != 0;
    if (visible != model_.visible)
        Error("the list is %s, expected %s", visible ? "shown" : "hidden",
              model_.visible ? "shown" : "hidden");
    else if (visible && painted && check_highlight_)
        CheckHighlight();
}

// Copies the part of the list window, in window coordinates, to the top left
// of a bitmap of the screen's size, made once.
bool Stress::Capture(const RECT& part) {
    if (!capture_dc_) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = capture_width_ = GetSystemMetrics(SM_CXSCREEN);
        info.bmiHeader.biHeight = -GetSystemMetrics(SM_CYSCREEN);  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        capture_bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!capture_bitmap_) return false;
        capture_bits_ = static_cast<const uint32_t*>(bits);
        capture_dc_ = CreateCompatibleDC(nullptr);
        capture_old_ = SelectObject(capture_dc_, capture_bitmap_);
    }
    HDC window_dc = GetDC(list_);
    const bool copied = BitBlt(capture_dc_, 0, 0, part.right - part.left, part.bottom - part.top,
                               window_dc, part.left, part.top, SRCCOPY);
    ReleaseDC(list_, window_dc);
    GdiFlush();  // the bitmap's bits are read directly
    return copied;
}

void Stress::ReleaseCapture() {
    if (!capture_dc_) return;
    SelectObject(capture_dc_, capture_old_);
    DeleteDC(capture_dc_);
    DeleteObject(capture_bitmap_);
    capture_dc_ = nullptr;
}

// Row i of n lies at base top + i * pitch, pitch = (height - base top - base
// bottom) / n, and its highlight spans from base left to width - base right.
// Three lines of each row are read where they are on the screen: the
// highlight colour must be in the model's row, when that row still has an
// entry, and nowhere else.
void Stress::CheckHighlight() {
    const int count = model_.count;
    if (count <= 0) return;
    RECT window;
    GetWindowRect(list_, &window);
    const int width = window.right - window.left, height = window.bottom - window.top;
    const int pitch = (height - base_.top - base_.bottom) / count;
    if (pitch < 3) return;
    const RECT part = {
        std::max<long>({0L, base_.left, -window.left}), std::max(0L, -window.top),
        std::min<long>(width - base_.right, GetSystemMetrics(SM_CXSCREEN) - window.left),
        std::min<long>(height, GetSystemMetrics(SM_CYSCREEN) - window.top)};
    if (part.right <= part.left || part.bottom <= part.top) return;
    if (!Capture(part)) {
        Error("cannot read the list's pixels");
        return;
    }
    const uint32_t hilite = GetRValue(hilite_) << 16 | GetGValue(hilite_) << 8 | GetBValue(hilite_);
    const int drawn = std::min(count, GetTraySize());
    ++counts_.highlight_checks;
    for (int row = 0; row < count; ++row) {
        const int top = base_.top + row * pitch;
        bool read = false, seen = false;
        for (int y : {top + 1, top + pitch / 2, top + pitch - 2}) {
            if (y < part.top || y >= part.bottom) continue;
            read = true;
            const uint32_t* line = capture_bits_ + (y - part.top) * capture_width_;
            for (int x = 0; x < part.right - part.left && !seen; ++x)
                seen = (line[x] & 0xffffff) == hilite;
        }
        const bool expected = row == model_.selected && row < drawn;
        if (read && seen != expected)
            Error("row %d of %d is %shighlighted; the highlight belongs to row %d (%d drawn)", row,
                  count, seen ? "" : "not ", model_.selected, drawn);
    }
}

// ---- faults ------------------------------------------------------------------

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
    // Its last messages to the host (removing its entries) are handled here.
    const DWORD start = GetTickCount();
    bool ended = false;
    while (process && !ended && GetTickCount() - start < OWNER_TIMEOUT_MS) {
        ended = MsgWaitForMultipleObjects(1, &process, FALSE, 100, QS_ALLINPUT) == WAIT_OBJECT_0;
        PumpMessages();
    }
    if (process) CloseHandle(process);
    while (IsWindow(owner->main) && GetTickCount() - start < OWNER_TIMEOUT_MS) {
        Sleep(10);
        PumpMessages();
    }
    if (!ended || IsWindow(owner->main)) Error("%s did not exit", owner->name.c_str());
    owner->alive = false;
    owner->windows.clear();
    ++counts_.owner_exits;
    Log("stress step=%d %s exited %s", step_, owner->name.c_str(),
        clean ? "taking its entries along" : "leaving its entries behind");
}

// A new Marrowick.rc: paddings in every form the syntax has, icons from none
// to large, conversion on and off, separators quoted, unquoted, empty, a lone
// quote and too long, borders on and off, style names in any case.
void Stress::Reconfigure() {
    static const char* const SEPARATORS[] = {
        "\" / \"", "|", "\"\"", "\"", "\" ~~~~~~~~~~~ \"", "\"0123456789abcdefghij\""};
    static const char* const BOOLS[] = {"true", "false", "TRUE", "yes"};
    static const int ICON_SIZES[] = {0, 8, 16, 24, 32};
    auto sides = [&](int most) {
        return Sides{Pick(most + 1), Pick(most + 1), Pick(most + 1), Pick(most + 1)};
    };
    Sides base = sides(10), tip = sides(8);
    if (Chance(0.3)) base = {base.top, base.top, base.top, base.top};
    std::ostringstream rc;
    rc << "# written by the host's stress command\n"
       << "marrowick.base_padding: " << PaddingText(base, Pick(4)) << "\n"
       << "Marrowick.Tip_Padding:   " << PaddingText(tip, Pick(4)) << "  \n"
       << "marrowick.icon_size: " << ICON_SIZES[Pick(5)] << "\n"
       << "marrowick.icon_tip_padding: " << Pick(10) << "\n"
       << "marrowick.do_convert_new_line: " << BOOLS[Pick(4)] << "\n"
       << "marrowick.converted_new_line: " << SEPARATORS[Pick(6)] << "\n"
       << "marrowick.base_border: " << BOOLS[Pick(4)] << "\n"
       << "marrowick.tip_border: " << BOOLS[Pick(4)] << "\n"
       << "marrowick.base_style: " << (Chance(0.5) ? "menu.frame" : "MENU.Frame") << "\n"
       << "marrowick.tip_style: " << (Chance(0.5) ? "menu.hilite" : "Menu.HiLite") << "\n";
    std::ofstream file(rc_path_, std::ios::binary | std::ios::trunc);
    file << rc.str();
    file.close();
    base_ = base;
    Deliver(MSG_RECONFIGURE, 0, 0);
    ++counts_.reconfigures;
}

// ---- the run -----------------------------------------------------------------

void Stress::Run(int broadcasts) {
    Reconfigure();
    Broadcast(CANCEL, "@Marrowick.Cancel", nullptr);
    for (int i = 1; i < broadcasts; ++i) {
        if (i == broadcasts / 3) ExitOwner(false);
        if (i == 2 * broadcasts / 3) ExitOwner(true);
        if (Chance(FAULT_RATE)) RandomFault();
        RandomBroadcast();
    }
}

void Stress::Finish(const std::string& expected_path, double seconds) {
    for (Owner& owner : owners_)
        if (owner.alive) owner.received = Received(owner) - owner.received_before;
    for (const Owner& owner : owners_) counts_.delivered += owner.received;
    PumpMessages();
    CheckResources();
    if (counts_.delivered != counts_.messages)
        Error("%ld tray callbacks logged, %d expected", counts_.delivered, counts_.messages);
    const DcCounts dcs = DeviceContexts();
    UnwatchDeviceContexts();
    CollectStyleFonts(nullptr);
    ReleaseCapture();

    std::ofstream expected(expected_path, std::ios::binary | std::ios::trunc);
    for (const std::string& line : expected_) expected << line << "\n";
    expected.close();
    if (!expected) Error("cannot write %s", expected_path.c_str());

    const Counts& c = counts_;
    const int faults = c.owner_exits + c.windows_opened + c.windows_closed + c.entries_added +
                       c.entries_removed + c.tips_changed + c.reconfigures;
    Log("stress broadcasts=%d shows=%d moves=%d hides=%d sends=%d others=%d clicks=%d "
        "messages=%d delivered=%ld clicks_to_nobody=%d faults=%d owner_exits=%d "
        "windows_opened=%d windows_closed=%d entries_added=%d entries_removed=%d "
        "tips_changed=%d reconfigures=%d purges=%d fonts=%ld fonts_leaked=%ld dcs=%ld "
        "dcs_leaked=%ld highlight_checks=%d errors=%d list=%s rows=%d selected=%d seconds=%.1f",
        c.broadcasts, c.shows, c.moves, c.hides, c.sends, c.others, c.clicks, c.messages,
        c.delivered, c.clicks_to_nobody, faults, c.owner_exits, c.windows_opened, c.windows_closed,
        c.entries_added, c.entries_removed, c.tips_changed, c.reconfigures, c.purges, c.fonts,
        c.fonts_leaked, dcs.opened, dcs.open + dcs.stray, c.highlight_checks, c.errors,
        model_.visible ? "shown" : "hidden", model_.count, model_.selected, seconds);
}

std::string Directory(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

void RunStress(const std::string& arguments) {
    int broadcasts = 0, start = 0;
    unsigned seed = 0;
    if (std::sscanf(arguments.c_str(), "%d %u %n", &broadcasts, &seed, &start) < 2 || !start ||
        broadcasts < 1 || start >= static_cast<int>(arguments.size())) {
        Log("error usage: stress BROADCASTS SEED EXPECTED_CLICKS_FILE");
        return;
    }
    const std::string expected_path = arguments.substr(start);
    const std::vector<HWND> lists = WindowsRegisteredFor(MSG_BROADCAST);
    HMODULE module = nullptr;
    std::string plugin_path;
    if (lists.size() != 1 || !FirstPlugin(&module, &plugin_path)) {
        Log("error stress needs one plug-in with one window registered for broadcasts");
        return;
    }
    // The plug-in's own settings file, restored at the end.
    const std::string rc_path = Directory(plugin_path) + "Marrowick.rc";
    std::ifstream original_file(rc_path, std::ios::binary);
    const bool had_rc = static_cast<bool>(original_file);
    const std::string original((std::istreambuf_iterator<char>(original_file)), {});
    original_file.close();

    Stress stress(seed, module, lists.front(), rc_path);
    if (!stress.Start()) return;
    LARGE_INTEGER frequency, begin, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&begin);
    stress.Run(broadcasts);
    QueryPerformanceCounter(&end);
    stress.Finish(expected_path,
                  static_cast<double>(end.QuadPart - begin.QuadPart) / frequency.QuadPart);

    if (had_rc) {
        std::ofstream restore(rc_path, std::ios::binary | std::ios::trunc);
        restore << original;
    } else {
        DeleteFileA(rc_path.c_str());
    }
    Deliver(MSG_RECONFIGURE, 0, 0);
}
