// Type-ahead over the rows, as list boxes and list views have it: a letter or
// digit highlights the next row whose one-line tip begins with it; characters
// typed in quick succession narrow the search to the rows that begin with all
// of them, and the same character typed again and again steps through the
// rows that begin with it. Time is the messages' own, so no timer is needed.
#include "host/host.h"
#include "traylist/tiptext.h"
#include "traylist/traylist.h"

namespace {

// Longer than this between two characters, and the next one starts afresh.
constexpr DWORD TYPE_AHEAD_TIMEOUT = 1000;

char typed[TIP_BUFFER_SIZE];  // whole characters, folded to one case
int typed_length;
int first_length;  // of the first character typed: 2 for a double-byte one, else 1
DWORD last_typed;

bool OneCharacterRepeated() {
    const int first = first_length;
    if (typed_length % first != 0) return false;
    for (int i = first; i < typed_length; ++i)
        if (typed[i] != typed[i % first]) return false;
    return true;
}

// The first row from start on, wrapping around, whose tip begins with the
// prefix; -1 when there is none.
int FindRow(int start, const char* prefix) {
    char scratch[TIP_BUFFER_SIZE];
    for (int n = 0; n < list_state.count; ++n) {
        const int row = (start + n) % list_state.count;
        const TrayEntry* entry = GetTrayIcon(row);
        if (entry && TipBeginsWith(RowText(*entry, scratch), prefix)) return row;
    }
    return -1;
}

void Append(const char* character, int length) {
    if (typed_length + length >= static_cast<int>(sizeof typed)) return;
    if (typed_length == 0) first_length = length;
    for (int i = 0; i < length; ++i) typed[typed_length + i] = character[i];
    typed[typed_length + length] = '\0';
    CharUpperBuffA(&typed[typed_length], length);
    typed_length += length;
}

}  // namespace

void ForgetTyping() {
    typed_length = 0;
    typed[0] = '\0';
}

void TypeAhead(const char* character, int length, DWORD time) {
    if (typed_length > 0 && time - last_typed > TYPE_AHEAD_TIMEOUT) ForgetTyping();
    last_typed = time;
    Append(character, length);
    // A new search, and a character typed again, look from the row after the
    // highlighted one; a longer search keeps the highlighted row while it
    // still matches.
    const bool repeated = OneCharacterRepeated();
    const int start = repeated ? list_state.selected + 1 : list_state.selected;
    char first[3] = {};
    for (int i = 0; i < first_length; ++i) first[i] = typed[i];
    const int row = FindRow(start, repeated ? first : typed);
    if (row >= 0 && row != list_state.selected) MoveHighlight(row);
}
