// The list's state and the bro@m commands that show, move, hide and confirm it.
#include <cstring>
#include <string_view>

#include "host/host.h"
#include "plugin/module.h"
#include "traylist/traylist.h"

ListState list_state;

namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

int TraySize() {
    const int size = GetTraySize();
    return size < 0 ? 0 : size;
}

void Repaint() { InvalidateRect(hListWnd, nullptr, TRUE); }

void SelectNext() {
    if (++list_state.selected >= list_state.count) list_state.selected = 0;
    Repaint();
}

void SelectPrevious() {
    if (--list_state.selected < 0)
        list_state.selected = list_state.count > 0 ? list_state.count - 1 : 0;
    Repaint();
}

void OnNext() {
    if (list_state.visible)
        SelectNext();
    else
        ShowList();
}

void OnPrev() {
    if (!list_state.visible) {
        ShowList();
        list_state.selected = list_state.count;
    }
    SelectPrevious();
}

void OnCancel() {
    if (list_state.visible) HideList();
}

// The text after "Send" and its white space is the click name, possibly empty.
void OnSend(const char* rest) {
    if (list_state.visible) {
        while (IsSpace(*rest)) ++rest;
        SendClick(rest);
    }
    HideList();
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
    else if (std::strncmp(command, "Send", 4) == 0 && IsSpace(command[4]))
        OnSend(command + 5);
    else
        ReportError("Unknown bro@m: `%s'", text);
}

void ShowList() {
    list_state.visible = 1;
    list_state.selected = 0;
    list_state.count = CountTrayEntries();
    LayoutList();
    ShowWindow(hListWnd, SW_SHOW);
    SetForegroundWindow(hListWnd);
}

void HideList() {
    list_state.visible = 0;
    ShowWindow(hListWnd, SW_HIDE);
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
