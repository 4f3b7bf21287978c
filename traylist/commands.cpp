// The bro@m commands that show, move, hide and confirm the list, and click
// an entry by its tip or program.
#include <cstring>
#include <string_view>

#include "config/config.h"
#include "plugin/module.h"
#include "traylist/click.h"
#include "traylist/list.h"

namespace {

const char* SkipSpace(const char* text) {
    while (IsSpace(*text)) ++text;
    return text;
}

void OnNext() {
    if (list_state.visible)
        HighlightNext();
    else
        ShowList();
}

void OnPrev() {
    if (list_state.visible)
        HighlightPrevious();
    else
        ShowList(SHOW_LAST);
}

// The text after "Send" and its white space is the click name, possibly empty.
void OnSend(const char* rest) {
    if (list_state.visible)
        ClickShown(SkipSpace(rest), ANCHOR_ROW);
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
// is missing. A misspelt click name is reported before the tray is looked at.
int OnClick(const char* rest) {
    const char* name = SkipSpace(rest);
    const char* name_end = name;
    while (*name_end && !IsSpace(*name_end)) ++name_end;
    const char* text = SkipSpace(name_end);
    if (name_end == name || !*text) return 0;
    const int length = static_cast<int>(name_end - name);
    char click_name[CLICK_NAME_SIZE] = "";
    if (length < CLICK_NAME_SIZE) std::memcpy(click_name, name, length);
    // A name too long for the buffer is no click name; it is reported whole.
    if (length >= CLICK_NAME_SIZE || !FindClickName(click_name))
        ReportError("Unknown message: `%.*s'", length, name);
    else
        ClickMatching(click_name, text, TrimmedLength(text));
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
        CancelList();
    else if (IsCommand(command, "Send"))
        OnSend(command + 4);
    // Anything else, and a Click without its click name or text, is reported.
    else if (!IsCommand(command, "Click") || !OnClick(command + 5))
        ReportError("Unknown bro@m: `%s'", text);
}
