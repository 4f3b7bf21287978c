// The tray list's state machine, the one owner of everything the list keeps:
//   the rows and the highlight (ListState);
//   the entry last shown to the user highlighted, drawn or named to screen
//     readers, which is the entry the list's next click goes to;
//   the settings the showing acts by, and the monitor it was shown on;
//   a click on its way to its owner;
//   what the user did since the list was shown: the buttons pressed in it,
//     where the pointer stood, the wheel's turn, and what was typed.
// Its verbs are what the user does: show, hide, move the highlight, scroll,
// click; and what the window system and the tray do to it: a paint, a loss
// of activation, a purge of the tray under the shown list. Showing resets
// everything a showing remembers. The helpers it calls compute and return;
// none of them writes what is kept here.
#include "traylist/list.h"

#include <cstring>

#include "host/host.h"
#include "plugin/module.h"
#include "traylist/announce.h"
#include "traylist/layout.h"
#include "traylist/paint.h"
#include "traylist/rows.h"
#include "traylist/typeahead.h"

namespace {

ListState state;
ListSettings settings;

// The entry the user was last shown highlighted. A move of the highlight
// forgets it until the row is drawn or named. A paint may have redrawn only
// part of the window (a menu or a tooltip leaving it): when the tray changed
// under the list, the entry it finds at the highlighted row need not be the
// one on the screen, and it asks for a whole repaint, which notes what it
// draws.
struct Shown {
    Icon icon;
    int known;
    int repaint_asked;
};
Shown shown;

HMONITOR monitor;  // the monitor the list was shown on; null when centred on the screen

// Set while a click brings its owner to the front and posts to it: an
// interactive list that loses activation meanwhile hides only afterwards.
struct Delivery {
    int active;
    int deactivated;
};
Delivery delivery;

// What the user did since the list was shown. The window system sends a
// mouse move whenever a window appears, hides or moves, the pointer standing
// still: the highlight follows the pointer only when it stands somewhere
// else than at the last move seen, or than when the list was shown. A
// button-up acts only after its own down in the list, not when the list
// appeared under a held button.
struct Input {
    POINT last_pointer;
    int buttons_down;
    int wheel_delta;  // the wheel's turn not yet worth a notch
    BYTE lead_byte;   // the first byte of a double-byte character typed, until its second
    Typing typing;
};
Input input;

constexpr int WHEEL_SCROLL_ROWS = 3;  // rows a notch of WHEEL_DELTA scrolls, as in list boxes

// How a click is delivered: where it says it happened, and the form by the
// settings it acts by; program is the owner's program when already known.
struct ClickForm {
    int anchor;
    int version;
    const ProgramVersions& versions;
    const char* program;
};

// Whether the list hides once a click is done.
constexpr int KEEP_SHOWN = 0;
constexpr int HIDE = 1;

void Repaint() { InvalidateRect(hListWnd, nullptr, TRUE); }

void NoteShown(const TrayEntry& entry) { shown = {IconOf(entry), 1, 0}; }

// A window with room for fewer rows than the list has shows the highlighted
// row and those around it: it scrolls only as far as the highlight needs.
void ScrollToHighlight() {
    const int rows = RowsShown(state);
    if (rows <= 0 || state.selected < state.first)
        state.first = state.selected;
    else if (state.selected >= state.first + rows)
        state.first = state.selected - rows + 1;
}

// Lays the window out for count rows, scrolled to the top.
void LayOutRows(int count) {
    state.count = count;
    state.first = 0;
    state.window_rows = LayoutList(state, monitor);
}

void TakeSettings() {
    settings.interactive = config.interactive;
    settings.notify_version = config.notify_version;
    std::memcpy(settings.enter_click, config.enter_click, sizeof settings.enter_click);
    settings.notify_version_by_program = notify_version_by_program;
}

// The pointer is noted where it stands as the list appears under it.
void ForgetInput() {
    input.buttons_down = 0;
    input.wheel_delta = 0;
    input.lead_byte = 0;
    input.typing.length = 0;
    if (settings.interactive) GetCursorPos(&input.last_pointer);
}

// What screen readers hear is what the user was shown.
void NameHighlight() {
    char name[HIGHLIGHT_NAME_SIZE];
    if (const TrayEntry* named = NameOfHighlight(name, state)) NoteShown(*named);
    SetWindowTextA(hListWnd, name);
}

// The entry a click of the list goes to: the shown one wherever it now
// stands in the tray, or, when none is noted, the entry at the highlighted
// row; null when there is none. The entry at the highlighted row is looked
// up first, as it always was: the tray is searched only when that is no
// longer the entry the user saw.
const TrayEntry* ShownEntry() {
    const TrayEntry* entry = GetTrayIcon(state.selected);
    if (!shown.known || (entry && IsIcon(*entry, shown.icon))) return entry;
    const int index = FindIcon(shown.icon, TraySize());
    return index >= 0 ? GetTrayIcon(index) : nullptr;
}

// Counts the rows again after a purge while the list is shown, lays the
// window out for them as a show would, on the monitor it was shown on, and
// keeps the highlight on the entry kept, or on the same row number when that
// entry is gone.
void RefitList(int count, const Shown& kept) {
    const int row = kept.known ? FindIcon(kept.icon, count) : -1;
    LayOutRows(count);
    const int last = LastRow(state);
    MoveHighlight(row >= 0 ? row : state.selected < last ? state.selected : last);
}

// The entry a refit keeps highlighted: the one shown, or, after a move not
// yet drawn, the one the highlight moved to, read before a purge shifts it.
Shown KeptEntry() {
    if (shown.known || !state.visible || state.count == 0) return shown;
    const TrayEntry* entry = GetTrayIcon(state.selected);
    return entry ? Shown{IconOf(*entry), 1, 0} : shown;
}

// Brings the owner to the front, then posts. Hiding the active list from
// inside SetForegroundWindow, as its loss of activation would, makes the
// window system activate yet another window, and the owner would no longer
// be in front when its messages arrive.
void Deliver(const Icon& icon, const ClickName& click, int version, int anchor) {
    delivery.active = 1;
    // Owners open their menus and windows only when they may take the foreground.
    SetForegroundWindow(icon.owner);
    // An entry that came while the list was shown, or whose program has exited
    // since, may have an owner of 0 or HWND_BROADCAST: the posts would go to
    // the shell's own thread (a callback message of WM_QUIT would end it) or
    // to every top-level window.
    if (IsWindow(icon.owner)) PostClick(icon, click, version, ClickPoint(version, anchor, state));
    delivery.active = 0;
}

// The one rule for hiding after a click: the list hides when its caller asks
// or it lost activation while the click was delivered, unless it was hidden
// meanwhile or shown anew (a bro@m broadcast while a report was open).
void FinishClick(int showing, int hide) {
    if ((hide || delivery.deactivated) && state.visible && state.shows == showing) HideList();
    delivery.deactivated = 0;
}

// The one click path: the target is chosen by the caller, null when it is
// gone. A misspelt click name is reported whatever became of the target; the
// owner, when there is one, comes to the front first, as for a known name.
// The owner's window, icon id and callback message are copied first: bringing
// the owner to the front lets the window system deliver sent messages, the
// tray's own among them, and the host's entry may be gone or moved when the
// posts follow.
void ClickEntry(const TrayEntry* target, const char* click_name, const ClickForm& form, int hide) {
    const int showing = state.shows;
    const Icon icon = target ? IconOf(*target) : Icon{};
    if (const ClickName* click = FindClickName(click_name)) {
        if (target)
            Deliver(icon, *click,
                    NotifyVersionFor(icon.owner, form.program, form.version, form.versions),
                    form.anchor);
    } else {
        if (target) SetForegroundWindow(icon.owner);
        ReportError("Unknown message: `%s'", click_name);
    }
    FinishClick(showing, hide);
}

}  // namespace

const ListState& list_state = state;
const ListSettings& list_settings = settings;

void ShowList(int highlight) {
    TakeSettings();
    state.visible = 1;
    state.selected = 0;
    ++state.shows;
    const int count = CountTrayEntries();
    if (highlight == SHOW_LAST && count > 0) state.selected = count - 1;
    shown = {};
    monitor = config.placement == PLACEMENT_MONITOR ? UserMonitor() : nullptr;
    LayOutRows(count);
    ScrollToHighlight();
    // The name is in place before the window takes the focus, which screen
    // readers hear of from the window system.
    if (settings.interactive) NameHighlight();
    ForgetInput();
    ShowWindow(hListWnd, SW_SHOW);
    // An interactive list that cannot take the focus would take no keys and
    // never hear that the user works elsewhere, staying up over their work:
    // it hides again, as if cancelled, and the next bro@m tries anew.
    if (!SetForegroundWindow(hListWnd) && settings.interactive) {
        HideList();
        return;
    }
    if (settings.interactive) NotifyHighlight(NAME_CHANGE);
    // On a hidden list the last row is highlighted before the window shows,
    // so that it is the row a screen reader hears first; the repaint follows
    // as for a shown list.
    if (highlight == SHOW_LAST) Repaint();
}

void HideList() {
    state.visible = 0;
    ShowWindow(hListWnd, SW_HIDE);
}

void CancelList() {
    if (state.visible) HideList();
}

void MoveHighlight(int row) {
    state.selected = row;
    shown.known = 0;
    ScrollToHighlight();
    Repaint();
    if (settings.interactive) {
        NameHighlight();
        NotifyHighlight(NAME_CHANGE | FOCUS);
    }
}

void HighlightNext() { MoveHighlight(state.selected + 1 < state.count ? state.selected + 1 : 0); }

void HighlightPrevious() {
    MoveHighlight(state.selected > 0 ? state.selected - 1 : LastRow(state));
}

void ScrollRows(int rows) {
    const int in_view = RowsShown(state);
    const int last_first = state.count - in_view;
    int first = state.first + rows;
    first = first < 0 ? 0 : first > last_first ? last_first : first;
    if (first == state.first) return;
    state.first = first;
    const int selected = state.selected;
    const int row = selected < first              ? first
                    : selected >= first + in_view ? first + in_view - 1
                                                  : selected;
    if (row != selected)
        MoveHighlight(row);
    else
        Repaint();
}

// The paint draws what the host's tray holds now; what it drew at the
// highlighted row is what the user sees there, once the whole row was drawn.
void DrawList(HWND window) {
    const TrayEntry* drawn = PaintList(window, state);
    if (!drawn || (shown.known && IsIcon(*drawn, shown.icon))) return;
    if (!shown.known || shown.repaint_asked) {
        NoteShown(*drawn);
        return;
    }
    shown.repaint_asked = 1;
    InvalidateRect(window, nullptr, TRUE);
}

// A list shown empty has nothing to click and no click name to check.
void ClickShown(const char* click_name, int anchor) {
    const ClickForm form = {anchor, settings.notify_version, settings.notify_version_by_program,
                            nullptr};
    if (state.count > 0)
        ClickEntry(ShownEntry(), click_name, form, HIDE);
    else
        FinishClick(state.shows, HIDE);
}

void ClickRow(int row, const char* click_name) {
    if (row != state.selected) MoveHighlight(row);
    ClickShown(click_name, ANCHOR_MESSAGE);
}

// Without a list to act for, the click takes the current settings, and
// happened where the pointer is. A shown list whose rows the purge shifted is
// fitted to them again.
void ClickMatching(const char* click_name, const char* text, int length) {
    const Shown kept = KeptEntry();
    int purged = 0;
    const int count = CountTrayEntries(&purged);
    if (purged && state.visible) RefitList(count, kept);
    char program[MAX_PATH];
    const TrayEntry* target = FindNamedEntry(text, length, count, program);
    if (!target) {
        ReportError("No tray icon matches `%.*s'", length, text);
        return;
    }
    const ClickForm form = {ANCHOR_POINTER, config.notify_version, notify_version_by_program,
                            program[0] ? program : nullptr};
    ClickEntry(target, click_name, form, KEEP_SHOWN);
}

void ListDeactivated() {
    if (delivery.active)
        delivery.deactivated = 1;
    else
        HideList();
}

// Everything the list kept is forgotten, as when the module was loaded: a
// start that follows finds a hidden list with no rows.
void ListWindowDestroyed() {
    state = {};
    shown = {};
    monitor = nullptr;
    delivery = {};
}

void PointAt(DWORD at, HWND window, LPARAM where) {
    const POINT pointer = {static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    if (pointer.x == input.last_pointer.x && pointer.y == input.last_pointer.y) return;
    input.last_pointer = pointer;
    const int row = RowUnder(state, window, where);
    if (row >= 0 && row != state.selected) MoveHighlight(row);
}

void PressButton(int button) { input.buttons_down |= button; }

void ReleaseButton(int button, const char* click_name, HWND window, LPARAM where) {
    if (!(input.buttons_down & button)) return;
    input.buttons_down &= ~button;
    const int row = RowUnder(state, window, where);
    if (row >= 0) ClickRow(row, click_name);
}

// The wheel scrolls a list taller than its window by whole notches, keeping
// the highlight on a row in view.
void TurnWheel(int delta) {
    if (RowsShown(state) >= state.count) return;
    input.wheel_delta += delta;
    const int notches = input.wheel_delta / WHEEL_DELTA;
    input.wheel_delta -= notches * WHEEL_DELTA;
    if (notches) ScrollRows(-notches * WHEEL_SCROLL_ROWS);
}

void TypeCharacter(WPARAM character) {
    const TypedCharacter typed = ReadCharacter(character, input.lead_byte);
    input.lead_byte = typed.lead_byte;
    if (!typed.length) return;
    input.typing =
        Typed(input.typing, typed.bytes, typed.length, static_cast<DWORD>(GetMessageTime()));
    const int row = TypeAheadRow(input.typing, state);
    if (row >= 0) MoveHighlight(row);
}
