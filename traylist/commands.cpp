// The list's state and the bro@m commands that show, move, hide and confirm it.
#include <cstring>
#include <string_view>

#include "config/config.h"
#include "host/host.h"
#include "plugin/module.h"
#include "traylist/traylist.h"

ListState list_state;
ListSettings list_settings;

namespace {

const char* SkipSpace(const char* text) {
    while (IsSpace(*text)) ++text;
    return text;
}

void Repaint() { InvalidateRect(hListWnd, nullptr, TRUE); }

// A window with room for fewer rows than the list has shows the highlighted
// row and those around it: it scrolls only as far as the highlight needs.
void ScrollToHighlight() {
    const int rows = RowsShown();
    int& first = list_state.first;
    if (rows <= 0 || list_state.selected < first)
        first = list_state.selected;
    else if (list_state.selected >= first + rows)
        first = list_state.selected - rows + 1;
}

void OnNext() {
    if (list_state.visible)
        HighlightNext();
    else
        ShowList();
}

// On a hidden list the last row is highlighted before the window shows, so
// that it is the row a screen reader hears first; the repaint follows as for
// a shown list.
void OnPrev() {
    if (list_state.visible)
        HighlightPrevious();
    else
        ShowList(SHOW_LAST);
}

void OnCancel() {
    if (list_state.visible) HideList();
}

// The text after "Send" and its white space is the click name, possibly empty.
void OnSend(const char* rest) {
    if (list_state.visible)
        SendAndHide(SkipSpace(rest), ANCHOR_ROW);
    else
        HideList();
}

// The length of text without the white space at its end.
int TrimmedLength(const char* text) {
    int length = static_cast<int>(std::strlen(text));
    while (length > 0 && IsSpace(text[length - 1])) --length;
    return length;
}

// "Click", white space, a click name, white space and the text to look for,
// which runs to the end, spaces inside included; white space at its end, a
// slip easily made in a key binding, is not part of it. Returns 0 when a part
// is missing.
int OnClick(const char* rest) {
    const char* name = SkipSpace(rest);
    const char* name_end = name;
    while (*name_end && !IsSpace(*name_end)) ++name_end;
    const char* text = SkipSpace(name_end);
    if (name_end == name || !*text) return 0;
    const int length = static_cast<int>(name_end - name);
    // A name too long for the buffer is no click name; it is reported whole.
    if (length >= CLICK_NAME_SIZE) {
        ReportError("Unknown message: `%.*s'", length, name);
        return 1;
    }
    char click_name[CLICK_NAME_SIZE] = "";
    std::memcpy(click_name, name, length);
    ClickMatchingEntry(click_name, text, TrimmedLength(text));
    return 1;
}

bool IsCommand(const char* command, const char* name) {
    const size_t length = std::strlen(name);
    return std::strncmp(command, name, length) == 0 && IsSpace(command[length]);
}

// Lays the window out for count rows, scrolled to the top.
void LayOutRows(int count) {
    list_state.count = count;
    list_state.first = 0;
    list_state.window_rows = 0;
    LayoutList();
}

// The settings the showing acts by.
void TakeSettings() {
    list_settings.interactive = config.interactive;
    list_settings.notify_version = config.notify_version;
    std::memcpy(list_settings.enter_click, config.enter_click, sizeof list_settings.enter_click);
    list_settings.notify_version_by_program = notify_version_by_program;
}

}  // namespace

void HandleBroam(const char* text) {
    // The host never broadcasts a null text, but a plug-in must not fall over
    // when one arrives.
    if (!text) return;
    const std::string_view prefix = BROAM_PREFIX;
    if (std::strncmp(text, prefix.data(), prefix.size()) != 0) return;

    const char* command = text + prefix.size();
    if (std::strcmp(command, "Next") == 0)
        OnNext();
    else if (std::strcmp(command, "Prev") == 0)
        OnPrev();
    else if (std::strcmp(command, "Cancel") == 0)
        OnCancel();
    else if (IsCommand(command, "Send"))
        OnSend(command + 4);
    // Anything else, and a Click without its click name or text, is reported.
    else if (!IsCommand(command, "Click") || !OnClick(command + 5))
        ReportError("Unknown bro@m: `%s'", text);
}

void ShowList(int highlight) {
    TakeSettings();
    list_state.visible = 1;
    list_state.selected = 0;
    ++list_state.shows;
    const int count = CountTrayEntries();
    if (highlight == SHOW_LAST && count > 0) list_state.selected = count - 1;
    ForgetShownEntry();
    LayOutRows(count);
    ScrollToHighlight();
    // The name is in place before the window takes the focus, which screen
    // readers hear of from the window system.
    if (list_settings.interactive) {
        NameHighlight();
        ForgetInput();
    }
    ShowWindow(hListWnd, SW_SHOW);
    // An interactive list that cannot take the focus would take no keys and
    // never hear that the user works elsewhere, staying up over their work:
    // it hides again, as if cancelled, and the next bro@m tries anew.
    if (!SetForegroundWindow(hListWnd) && list_settings.interactive) {
        HideList();
        return;
    }
    if (list_settings.interactive) NotifyHighlight(NAME_CHANGE);
    if (highlight == SHOW_LAST) Repaint();
}

void HideList() {
    list_state.visible = 0;
    ShowWindow(hListWnd, SW_HIDE);
}

// A click sent while the user looks at a report (a misspelt click name) may
// meet a list shown anew from the report's message loop: that showing stays.
void SendAndHide(const char* click_name, int anchor) {
    const int showing = list_state.shows;
    SendClick(click_name, anchor);
    if (list_state.visible && list_state.shows == showing) HideList();
}

void MoveHighlight(int row) {
    list_state.selected = row;
    ForgetShownEntry();
    ScrollToHighlight();
    Repaint();
    if (list_settings.interactive) {
        NameHighlight();
        NotifyHighlight(NAME_CHANGE | FOCUS);
    }
}

void HighlightNext() {
    MoveHighlight(list_state.selected + 1 < list_state.count ? list_state.selected + 1 : 0);
}

void HighlightPrevious() {
    MoveHighlight(list_state.selected > 0 ? list_state.selected - 1 : LastRow());
}

void ScrollRows(int rows) {
    const int shown = RowsShown();
    const int last_first = list_state.count - shown;
    int first = list_state.first + rows;
    first = first < 0 ? 0 : first > last_first ? last_first : first;
    if (first == list_state.first) return;
    list_state.first = first;
    const int selected = list_state.selected;
    const int row = selected < first            ? first
                    : selected >= first + shown ? first + shown - 1
                                                : selected;
    if (row != selected)
        MoveHighlight(row);
    else
        Repaint();
}

void RefitList(int count) {
    const int row = FindShownEntry(count);
    LayOutRows(count);
    MoveHighlight(row >= 0                          ? row
                  : list_state.selected < LastRow() ? list_state.selected
                                                    : LastRow());
}

void ListWindowDestroyed() { list_state.visible = 0; }

int TraySize() {
    const int size = GetTraySize();
    return size < 0 ? 0 : size;
}

int LastRow() { return list_state.count > 0 ? list_state.count - 1 : 0; }

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
