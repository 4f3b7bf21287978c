// The list's state and the bro@m commands that show, move, hide and confirm it.
#include <cstring>
#include <string_view>

#include "config/config.h"
#include "host/host.h"
#include "plugin/module.h"
#include "traylist/traylist.h"

ListState list_state;

namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

const char* SkipSpace(const char* text) {
    while (IsSpace(*text)) ++text;
    return text;
}

int TraySize() {
    const int size = GetTraySize();
    return size < 0 ? 0 : size;
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
    if (list_state.visible) SendClick(SkipSpace(rest));
    HideList();
}

// "Click", white space, a click name, white space and the text to look for,
// which runs to the end, spaces included. Returns 0 when a part is missing.
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
    ClickMatchingEntry(click_name, text);
    return 1;
}

bool IsCommand(const char* command, const char* name) {
    const size_t length = std::strlen(name);
    return std::strncmp(command, name, length) == 0 && IsSpace(command[length]);
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
    list_state.visible = 1;
    list_state.selected = 0;
    list_state.count = CountTrayEntries();
    list_state.first = 0;
    list_state.window_rows = 0;
    if (highlight == SHOW_LAST && list_state.count > 0) list_state.selected = list_state.count - 1;
    LayoutList();
    ScrollToHighlight();
    ForgetTyping();
    // The name is in place before the window takes the focus, which screen
    // readers hear of from the window system too.
    if (config.interactive) {
        NameHighlight();
        RememberPointer();
    }
    ShowWindow(hListWnd, SW_SHOW);
    SetForegroundWindow(hListWnd);
    if (config.interactive) NotifyHighlight();
    if (highlight == SHOW_LAST) Repaint();
}

void HideList() {
    list_state.visible = 0;
    ShowWindow(hListWnd, SW_HIDE);
}

void MoveHighlight(int row) {
    list_state.selected = row;
    ScrollToHighlight();
    Repaint();
    if (config.interactive) {
        NameHighlight();
        NotifyHighlight();
    }
}

void HighlightNext() {
    MoveHighlight(list_state.selected + 1 < list_state.count ? list_state.selected + 1 : 0);
}

void HighlightPrevious() {
    const int last = list_state.count > 0 ? list_state.count - 1 : 0;
    MoveHighlight(list_state.selected > 0 ? list_state.selected - 1 : last);
}

void ListWindowDestroyed() { list_state.visible = 0; }

int CountTrayEntries() {
    int size = TraySize();
    for (int i = 0; i < size; ++i) {
        const TrayEntry* entry = GetTrayIcon(i);
        if (!entry || !IsWindow(entry->hWnd)) {
            SendMessageA(GetBBWnd(), MSG_TRAY_PURGE, 0, 0);
            size = TraySize();
            break;
        }
    }
    return size;
}
