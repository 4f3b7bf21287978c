// The keys and mouse actions of an interactive stress run: real input, sent
// with SendInput as the host's key and mouse commands send it, a few at a
// time after a broadcast while the list is shown, and the host's model of
// what each does to the list:
//
//   Down, Up          the next or the previous row, round;
//   Home, End         the first or the last row;
//   a letter, digit   type-ahead: the next row whose tip begins with what was
//                     typed, each character within a second of the last;
//   Enter             the click marrowick.enter_click named as the list
//                     was shown, then hidden;
//   Apps, Shift+F10   RightClick, then hidden;
//   Escape            hidden; Left gets the default processing alone;
//   pointer moves     a row under the pointer is highlighted once the pointer
//                     has left the place it had when the list was shown;
//   buttons           a button coming up on a row clicks that row's owner
//                     (left: enter_click, right: RightClick, middle:
//                     MiddleClick), then hidden;
//   tray changes      among the inputs, programs remove entries before and
//                     after the highlighted row and the one highlighted, owner
//                     windows go with or without their entries, entries come
//                     (faults.cpp); Enter and the buttons then click the entry
//                     the user was shown highlighted, wherever it now stands;
//   a click outside   on a window of the host's own: it is activated and the
//                     list, deactivated, hides.
//
// The list runs on the host's thread: SendInput queues the input for it
// before it returns. The host handles its messages until it has taken the
// message that ends the input from its queue (a hook sees it) and its queue
// is empty, before it checks, as after a broadcast. A pointer move is also
// checked to ask for a repaint of the list exactly when it moves the
// highlight.
#include <cstdio>
#include <string>

#include "devhost/log/log.h"
#include "devhost/measure/measure.h"
#include "devhost/measure/perf_floor.h"
#include "devhost/shell/shell.h"
#include "devhost/stress/run.h"
#include "host/host.h"

namespace stress {
namespace {

// The list's type-ahead: a pause longer than this starts a new search, and
// it keeps at most TYPED_LIMIT characters.
constexpr DWORD TYPE_AHEAD_TIMEOUT_MS = 1000;
constexpr size_t TYPED_LIMIT = 255;
// What searches are typed with. None follows "T" in "Three\rline", the one
// tip whose first word runs into a line break, so a search never reaches a
// line break: the tips as the tray holds them then match as the list's
// one-line texts do.
constexpr char LETTERS[] = "apbletgdx7";
// Inputs after a broadcast: one more with INPUT_RATE while the list is
// shown. Each is a change of the tray with TRAY_CHANGE_RATE, followed with
// CLICK_AFTER_CHANGE_RATE by a click of the highlighted row.
constexpr double INPUT_RATE = 0.6;
constexpr double TRAY_CHANGE_RATE = 0.2;
constexpr double CLICK_AFTER_CHANGE_RATE = 0.5;

constexpr char BYSTANDER_CLASS[] = "BlackboxStressBystander";
constexpr RECT BYSTANDER_RECT = {4, 4, 36, 36};  // a corner the list does not reach

// The characters typed into the list, seen as the host's thread takes them
// from its queue; their time is the one the list's type-ahead reads.
HWND typed_into;
int characters_seen;
DWORD character_time;
HHOOK message_hook;

// The message that says the host's thread has taken an input from its
// queue: a key's down (a key acts on it, and a list it hides may get no key
// up), a button's up, a move's WM_MOUSEMOVE at its point; and the last input
// message taken, for the error when it does not come.
struct InputEnd {
    UINT message = 0;
    WPARAM key = 0;
    POINT at = {0, 0};
};
InputEnd awaited_end;
bool end_seen;
MSG last_input;

bool IsInput(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

bool Ends(const MSG& message, const InputEnd& end) {
    if (end.message == WM_KEYDOWN)
        return (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) &&
               message.wParam == end.key;
    if (end.message == WM_MOUSEMOVE)
        return message.message == WM_MOUSEMOVE && message.pt.x == end.at.x &&
               message.pt.y == end.at.y;
    return message.message == end.message;
}

LRESULT CALLBACK NoteMessage(int code, WPARAM removal, LPARAM lParam) {
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && removal == PM_REMOVE) {
        if (message->message == WM_CHAR && message->hwnd == typed_into) {
            ++characters_seen;
            character_time = message->time;
        }
        if (IsInput(message->message)) {
            last_input = *message;
            end_seen = end_seen || Ends(*message, awaited_end);
        }
    }
    return CallNextHookEx(message_hook, code, removal, lParam);
}

// "message 0x0100 wParam 0x28 at 512,384"
std::string MessageText(UINT message, WPARAM wParam, POINT at) {
    char text[80];
    std::snprintf(text, sizeof text, "message %#06x wParam %#lx at %ld,%ld", message,
                  static_cast<unsigned long>(wParam), at.x, at.y);
    return text;
}

// The up of a button of the mouse command.
UINT ButtonUp(const std::string& button) {
    return button == "left" ? WM_LBUTTONUP : button == "right" ? WM_RBUTTONUP : WM_MBUTTONUP;
}

std::string Folded(std::string text) {
    if (!text.empty()) CharUpperBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

bool BeginsWith(const char* tip, const std::string& folded_prefix) {
    const std::string start = std::string(tip).substr(0, folded_prefix.size());
    return start.size() == folded_prefix.size() && Folded(start) == folded_prefix;
}

bool SamePoint(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }

const Click& NamedClick(const char* name) {
    for (const Click& click : CLICKS)
        if (std::string(name) == click.name) return click;
    return CLICKS[0];
}

// What a button coming up on a row sends: the left one what Enter sends.
const Click& ButtonClick(const std::string& button, const Click& enter_click) {
    if (button == "left") return enter_click;
    return NamedClick(button == "right" ? "RightClick" : "MiddleClick");
}

}  // namespace

// The window clicked to leave the list, and the hook that sees the
// characters typed.
void Stress::StartInput() {
    typed_into = list_;
    message_hook = SetWindowsHookExA(WH_GETMESSAGE, NoteMessage, nullptr, GetCurrentThreadId());
    if (!message_hook) Error("cannot hook the host's messages");
    bystander_ = MakePerfWindow(BYSTANDER_CLASS, DefWindowProcA, 0, BYSTANDER_RECT);
    ShowWindow(bystander_, SW_SHOWNOACTIVATE);
    UpdateWindow(bystander_);
}

void Stress::FinishInput() {
    if (message_hook) UnhookWindowsHookEx(message_hook);
    message_hook = nullptr;
    DestroyWindow(bystander_);
}

// A list just shown has the pointer where it is, nothing typed, and Enter
// sends what the rc says now until the list hides.
void Stress::NoteShow() {
    GetCursorPos(&model_.pointer_at_show);
    model_.pointer_moved = false;
    model_.typed.clear();
    model_.enter_click = enter_click_;
}

void Stress::RandomInputs() {
    while (model_.visible && Chance(INPUT_RATE)) {
        if (!Chance(TRAY_CHANGE_RATE)) {
            RandomInput();
            continue;
        }
        ChangeTrayUnderList();
        if (Chance(CLICK_AFTER_CHANGE_RATE)) ClickHighlighted();
    }
}

// Each key and button that clicks the highlighted row.
void Stress::ClickHighlighted() {
    switch (Pick(6)) {
        case 0:
            Key("return", ENTER);
            break;
        case 1:
            Key("apps", CONTEXT_MENU);
            break;
        case 2:
            Key("shift+f10", CONTEXT_MENU);
            break;
        case 3:
            PointerOnRow("left", true);
            break;
        case 4:
            PointerOnRow("right", true);
            break;
        default:
            PointerOnRow("middle", true);
    }
}

void Stress::RandomInput() {
    const int roll = Pick(100);
    if (roll < 14)
        Key("down", NEXT_ROW);
    else if (roll < 22)
        Key("up", PREVIOUS_ROW);
    else if (roll < 26)
        Key("home", FIRST_ROW);
    else if (roll < 30)
        Key("end", LAST_ROW);
    else if (roll < 33)
        Key("return", ENTER);
    else if (roll < 35)
        Key("apps", CONTEXT_MENU);
    else if (roll < 37)
        Key("shift+f10", CONTEXT_MENU);
    else if (roll < 39)
        Key("escape", ESCAPE);
    else if (roll < 41)
        Key("left", NONE);
    else if (roll < 55)
        Letter();
    else if (roll < 88)
        PointerOnRow("move", false);
    else if (roll < 98)
        PointerOnRow(roll < 93 ? "left" : roll < 96 ? "right" : "middle", false);
    else
        ClickOutside();
}

void Stress::Key(const char* name, InputEffect effect) {
    if (!ListInFront()) return;
    ++counts_.keys;
    ExpectKey(name);
    if (!PressKey(name)) {
        Error("SendInput failed for the key %s", name);
        return;
    }
    AwaitInput();
    KeyModel(effect);
    CheckAfterChange(effect != NONE);
}

// Each key as the list handles it; every move repaints and names the row,
// even the row already highlighted.
void Stress::KeyModel(InputEffect effect) {
    const int last = model_.count > 0 ? model_.count - 1 : 0;
    int& selected = model_.selected;
    switch (effect) {
        case NEXT_ROW:
            selected = selected + 1 < model_.count ? selected + 1 : 0;
            break;
        case PREVIOUS_ROW:
            selected = selected > 0 ? selected - 1 : last;
            break;
        case FIRST_ROW:
            selected = 0;
            break;
        case LAST_ROW:
            selected = last;
            break;
        case ENTER:
            ExpectClick(*model_.enter_click);
            HideByInput();
            return;
        case CONTEXT_MENU:
            ExpectClick(NamedClick("RightClick"));
            HideByInput();
            return;
        case ESCAPE:
            HideByInput();
            return;
        case NONE:
            return;
    }
    NoteHighlighted();
    ++counts_.input_moves;
}

void Stress::HideByInput() {
    model_.visible = false;
    ++counts_.input_hides;
}

// A letter or digit, which the list receives as one WM_CHAR.
void Stress::Letter() {
    if (!ListInFront()) return;
    const char letter = LETTERS[Pick(sizeof LETTERS - 1)];
    ++counts_.letters;
    const int seen = characters_seen;
    ExpectKey(std::string(1, letter));
    if (!PressKey(std::string(1, letter))) {
        Error("SendInput failed for the key %c", letter);
        return;
    }
    AwaitInput();
    if (characters_seen != seen + 1) {
        Error("the key %c reached the list as %d characters", letter, characters_seen - seen);
        return;
    }
    CheckAfterChange(SearchModel(letter, character_time));
}

// The list's type-ahead: a new search, or the same character again, looks
// from the row after the highlighted one for the first character; a longer
// search keeps the highlighted row while it still matches. True when the
// highlight moves.
bool Stress::SearchModel(char letter, DWORD time) {
    std::string& typed = model_.typed;
    if (!typed.empty() && time - model_.last_typed > TYPE_AHEAD_TIMEOUT_MS) typed.clear();
    model_.last_typed = time;
    if (typed.size() < TYPED_LIMIT) typed += Folded(std::string(1, letter));
    const bool repeated = typed.find_first_not_of(typed[0]) == std::string::npos;
    const int start = repeated ? model_.selected + 1 : model_.selected;
    const std::string prefix = repeated ? typed.substr(0, 1) : typed;
    const int size = GetTraySize();
    for (int n = 0; n < model_.count; ++n) {
        const int row = (start + n) % model_.count;
        if (row >= size || !BeginsWith(GetTrayIcon(row)->szTip, prefix)) continue;
        if (row == model_.selected) return false;
        model_.selected = row;
        NoteHighlighted();
        ++counts_.input_moves;
        return true;
    }
    return false;
}

// The pointer moved to a row, the highlighted one a third of the time or
// with on_highlight, or a button pressed and released there.
void Stress::PointerOnRow(const char* action, bool on_highlight) {
    if (!ListInFront() || model_.count <= 0) return;
    const int row = on_highlight || Chance(1.0 / 3) ? model_.selected : Pick(model_.count);
    POINT at, now;
    GetCursorPos(&now);
    // A move to where the pointer is makes no mouse message.
    if (!RowPoint(row, &at) || SamePoint(at, now)) return;
    const bool move = std::string(action) == "move";
    ++(move ? counts_.pointer_moves : counts_.button_clicks);
    const long repaints = DeviceContexts().invalidations;
    ExpectMouse(move ? WM_MOUSEMOVE : ButtonUp(action), at);
    if (!UseMouseAt(action, at.x, at.y)) {
        Error("SendInput failed for the mouse %s at %ld,%ld", action, at.x, at.y);
        return;
    }
    AwaitInput();
    model_.pointer_moved = model_.pointer_moved || !SamePoint(at, model_.pointer_at_show);
    const bool highlights = model_.pointer_moved && row != model_.selected;
    if (highlights || (!move && row != model_.selected)) {
        model_.selected = row;
        NoteHighlighted();
    }
    counts_.input_moves += highlights;
    if (!move) {
        ExpectClick(ButtonClick(action, *model_.enter_click));
        HideByInput();
    }
    CheckAfterChange(highlights);
    if (move) CheckHoverRepaints(row, highlights, DeviceContexts().invalidations - repaints);
}

// A pointer move asks for a repaint of the list once when it moves the
// highlight, and not at all when it leaves the highlight where it was. The
// plug-in's own requests are counted: the window system may repaint the
// list meanwhile of its own accord (Wine 10 does when the X server exposes
// a window late).
void Stress::CheckHoverRepaints(int row, bool highlights, long repaints) {
    ++counts_.hover_checks;
    if (repaints != (highlights ? 1 : 0))
        Error("the pointer moved onto row %d (the highlight %s): %ld repaints asked for", row,
              highlights ? "moves" : "stays", repaints);
}

// A click on the host's own window, outside the list.
void Stress::ClickOutside() {
    if (!ListInFront()) return;
    RECT list;
    GetWindowRect(list_, &list);
    const POINT at = {(BYSTANDER_RECT.left + BYSTANDER_RECT.right) / 2,
                      (BYSTANDER_RECT.top + BYSTANDER_RECT.bottom) / 2};
    if (PtInRect(&list, at)) return;
    ++counts_.outside_clicks;
    ExpectMouse(WM_LBUTTONUP, at);
    if (!UseMouseAt("left", at.x, at.y)) {
        Error("SendInput failed for a click outside the list");
        return;
    }
    AwaitInput();
    HideByInput();
    CheckAfterChange(false);
}

// Keys go to the window in front: the shown list must be it, as it hides
// when it loses activation.
bool Stress::ListInFront() {
    HWND front = GetForegroundWindow();
    if (front == list_) return true;
    Error("the list is shown but window %s is in front", Hex(front).c_str());
    model_.visible = IsWindowVisible(list_) != 0;
    return false;
}

// What AwaitInput waits for after the key, or the mouse action at a point.
void Stress::ExpectKey(const std::string& name) {
    awaited_end = InputEnd();
    awaited_end.message = WM_KEYDOWN;
    awaited_end.key = ChordKey(name);
    end_seen = false;
}

void Stress::ExpectMouse(UINT message, POINT at) {
    awaited_end = InputEnd();
    awaited_end.message = message;
    awaited_end.at = at;
    end_seen = false;
}

// The input is queued for this thread when SendInput returns: it, the
// characters it is translated into and what the list sends on are handled
// once the thread has taken its last message and its queue holds no more.
void Stress::AwaitInput() {
    const DWORD start = GetTickCount();
    for (;;) {
        PumpMessages();
        const bool queued = HIWORD(GetQueueStatus(QS_INPUT | QS_POSTMESSAGE | QS_SENDMESSAGE));
        if (end_seen && !queued) return;
        if (GetTickCount() - start >= OWNER_TIMEOUT_MS) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, AWAIT_POLL_MS, QS_ALLINPUT);
    }
    Error("waited %u ms for the host to take %s; the last input it took: %s", OWNER_TIMEOUT_MS,
          MessageText(awaited_end.message, awaited_end.key, awaited_end.at).c_str(),
          MessageText(last_input.message, last_input.wParam, last_input.pt).c_str());
}

// A point of the row on the screen, at random, where the list finds that
// row: the rows share the height inside the base padding, as painting and
// the highlight check have them.
bool Stress::RowPoint(int row, POINT* at) {
    RECT window;
    GetWindowRect(list_, &window);
    const int width = window.right - window.left;
    const int pitch = (window.bottom - window.top - base_.top - base_.bottom) / model_.count;
    if (pitch <= 0 || width <= 0) return false;
    at->x = window.left + Pick(width);
    at->y = window.top + base_.top + row * pitch + Pick(pitch);
    return at->x >= 0 && at->y >= 0 && at->x < GetSystemMetrics(SM_CXSCREEN) &&
           at->y < GetSystemMetrics(SM_CYSCREEN);
}

}  // namespace stress
