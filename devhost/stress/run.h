// One run of the host's stress command (run.cpp says what it does): the tray
// programs it drives, its model of the list and its counts, shared by the
// files of devhost/stress/.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "devhost/measure/measure.h"
#include "host/host.h"

namespace stress {

// How long the host waits for a tray program to answer or to exit.
constexpr UINT OWNER_TIMEOUT_MS = 20000;

// The host's own table of click names, kept apart from the plug-in's: each
// name with the mouse messages its owner must log for it.
struct Click {
    const char* name;
    const char* messages[4];
};
inline constexpr Click CLICKS[] = {
    {"LeftClick", {"WM_LBUTTONDOWN", "WM_LBUTTONUP"}},
    {"RightClick", {"WM_RBUTTONDOWN", "WM_RBUTTONUP"}},
    {"MiddleClick", {"WM_MBUTTONDOWN", "WM_MBUTTONUP"}},
    {"LeftDoubleClick", {"WM_LBUTTONDOWN", "WM_LBUTTONUP", "WM_LBUTTONDBLCLK", "WM_LBUTTONUP"}},
    {"RightDoubleClick", {"WM_RBUTTONDOWN", "WM_RBUTTONUP", "WM_RBUTTONDBLCLK", "WM_RBUTTONUP"}},
    {"MiddleDoubleClick", {"WM_MBUTTONDOWN", "WM_MBUTTONUP", "WM_MBUTTONDBLCLK", "WM_MBUTTONUP"}},
};

enum Command { NEXT, PREV, CANCEL, SEND, OTHER };

// A tray program (trayapp.exe) the run drives.
struct Owner {
    std::string name;
    HWND main = nullptr;
    DWORD pid = 0;
    bool alive = true;
    std::vector<HWND> windows;  // its other owner windows still open
    unsigned next_id = 1000;
    long received_before = 0;  // callbacks it had logged before the run
    long received = 0;         // callbacks logged during the run
    long logged = 0;           // callbacks it had logged at the last click's check
};

// A tray icon as Shell_NotifyIcon names it: its owner window and its id.
struct Icon {
    HWND owner;
    UINT id;
};

// A padding's four sides, as Marrowick.rc gives them.
struct Sides {
    int top, right, bottom, left;
};

// The host's model of the list; the pointer, the characters typed and the
// click Enter sends matter to an interactive list only.
struct Model {
    bool visible = false;
    int selected = 0;
    int count = 0;
    // The entry the list last drew highlighted (and, interactive, named to
    // screen readers); none after the highlight moved onto a row the tray no
    // longer had. A click goes to this entry wherever it now stands.
    std::optional<Icon> shown;
    const Click* enter_click = nullptr;  // as the rc had it when the list was shown
    POINT pointer_at_show = {0, 0};      // the pointer leaves it before the highlight follows
    bool pointer_moved = false;
    std::string typed;  // type-ahead, folded to upper case
    DWORD last_typed = 0;
};

// What a broadcast must do to the list, worked out from the tray before it.
struct Prediction {
    int size = 0;        // the tray's entries
    bool dead = false;   // an entry's owner window is gone: a show purges first
    bool shows = false;  // Next or Prev on the hidden list
};

// A click the list was just to deliver: all its messages to the receiver's
// program (none when there is no receiver), none to any other.
struct AwaitedClick {
    bool pending = false;
    const Owner* receiver = nullptr;
    int messages = 0;
    std::string entry;  // the entry shown highlighted, for the errors
};

// What the summary line reports.
struct Counts {
    int broadcasts = 0, shows = 0, moves = 0, hides = 0, sends = 0, others = 0;
    int clicks = 0, messages = 0, clicks_to_nobody = 0;
    int misdirected = 0;     // clicks that reached another program than the awaited one
    int shifted_clicks = 0;  // clicks whose entry no longer stood at the highlighted row
    long delivered = 0;
    int owner_exits = 0, windows_opened = 0, windows_closed = 0, entries_added = 0;
    int entries_removed = 0, tips_changed = 0, reconfigures = 0, purges = 0;
    int changes_while_shown = 0;  // entries added or removed, owners gone, under the shown list
    long fonts = 0, fonts_leaked = 0;
    int highlight_checks = 0, errors = 0;
    // the input of an interactive run
    int keys = 0, letters = 0, pointer_moves = 0, button_clicks = 0, outside_clicks = 0;
    int input_moves = 0, input_hides = 0, hover_checks = 0;
};

// What an input does to the shown list.
enum InputEffect { NEXT_ROW, PREVIOUS_ROW, FIRST_ROW, LAST_ROW, ENTER, CONTEXT_MENU, ESCAPE, NONE };

// One run of the stress command, from the tray programs found at its start
// to the summary line; an interactive run turns marrowick.interactive on and
// mixes real keys and mouse actions into the broadcasts.
class Stress {
public:
    Stress(unsigned seed, HMODULE plugin, HWND list, const std::string& rc_path, bool interactive)
        : random_(seed),
          plugin_(plugin),
          list_(list),
          rc_path_(rc_path),
          interactive_(interactive) {}

    bool Start();
    void Run(int broadcasts);
    void Finish(const std::string& expected_path, double seconds);

private:
    // Every random choice of the run comes from random_, in a fixed order.
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(random_) < p; }

    // run.cpp: the run, its errors and its end
    void Error(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void WriteExpected(const std::string& path);
    void LogSummary(const DcCounts& dcs, double seconds) const;

    // owners.cpp: the tray programs
    bool FindOwners();
    LRESULT Tell(const Owner& owner, const std::string& text);
    Owner* OwnerOfWindow(HWND window);
    Owner* AnyOwner();
    int LiveOwners() const;
    long Received(const Owner& owner);
    void CountDelivered();

    // broadcasts.cpp: the broadcasts and the model
    void RandomBroadcast();
    std::string RandomGap();
    void Broadcast(Command command, const std::string& text, const Click* click);
    Prediction Predict(Command command, const Click* click);
    void ExpectClick(const Click& click);
    const TrayEntry* ClickedEntry() const;
    int ShownIndex() const;
    void NoteHighlighted();
    void SettleOwners();
    void ShowAndMove(Command command, const Prediction& prediction);
    void CheckPurges(const std::string& text, const Prediction& prediction, int purged);
    void CheckAfterChange(bool painted);

    // input.cpp: the keys and the mouse of an interactive run
    void StartInput();
    void FinishInput();
    void RandomInputs();
    void RandomInput();
    void Key(const char* name, InputEffect effect);
    void Letter();
    void ClickHighlighted();
    void PointerOnRow(const char* action, bool on_highlight);
    void CheckHoverRepaints(int row, bool highlights, long repaints);
    void ClickOutside();
    bool ListInFront();
    void ExpectKey(const std::string& name);
    void ExpectMouse(UINT message, POINT at);
    void AwaitInput();
    bool RowPoint(int row, POINT* at);
    void NoteShow();
    void KeyModel(InputEffect effect);
    bool SearchModel(char letter, DWORD time);
    void HideByInput();

    // checks.cpp: the checks after each broadcast
    void CheckResources();
    void CheckFonts();
    void CheckDeviceContexts();
    void CheckList(bool painted);
    void CheckClickReached();
    void CheckNotPainted(long opened_before);
    void CheckHighlight();
    RECT HighlightArea(const RECT& window) const;
    bool RowHighlighted(const RECT& part, int top, int pitch, bool* read) const;
    bool Capture(const RECT& part);
    bool CreateCapture();
    void ReleaseCapture();

    // faults.cpp: the faults between broadcasts and under the shown list
    void RandomFault();
    std::string RandomTip(unsigned id);
    void ChangeTrayUnderList();
    void AddEntry();
    void RemoveEntry();
    void RemoveEntryAt(int index);
    void ChangeTip();
    void OpenWindow();
    void CloseWindow(bool take_entries);
    HWND WindowToClose(Owner** owner);
    void ExitOwner(bool clean);
    Owner* ShownOwner();
    void CountChange();

    // settings.cpp: the plug-in's Marrowick.rc
    void Reconfigure();
    std::string RandomRc(Sides* base_padding, const Click** enter_click);
    Sides RandomSides(int most);

    // The run as started.
    std::mt19937 random_;
    HMODULE plugin_;
    HWND list_;
    std::string rc_path_;
    bool interactive_;
    std::vector<Owner> owners_;

    // The model and what it expects.
    Model model_;
    Sides base_ = {0, 0, 0, 0};           // the base padding of the rc now in force
    const Click* enter_click_ = nullptr;  // what Enter and the left button send, when interactive
    std::vector<std::string> expected_;
    AwaitedClick awaited_;

    // What the checks need.
    std::vector<HFONT> fonts_;  // handed out since the last check
    COLORREF frame_ = 0, hilite_ = 0;
    bool check_highlight_ = false;
    HDC capture_dc_ = nullptr;
    HBITMAP capture_bitmap_ = nullptr;
    HGDIOBJ capture_old_ = nullptr;
    const uint32_t* capture_bits_ = nullptr;
    int capture_width_ = 0;
    long dcs_open_reported_ = 0, dcs_stray_reported_ = 0;
    HWND bystander_ = nullptr;  // a window of the host's own, clicked to leave the list

    int step_ = 0;  // the broadcast under way
    Counts counts_;
};

}  // namespace stress
