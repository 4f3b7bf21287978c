// Type-ahead: the typed characters read whole, and the row they lead to.
#include "traylist/typeahead.h"

#include "host/host.h"

namespace {

// Longer than this between two characters, and the next one starts afresh.
constexpr DWORD TYPE_AHEAD_TIMEOUT = 1000;

bool OneCharacterRepeated(const Typing& typing) {
    const int first = typing.first_length;
    if (typing.length % first != 0) return false;
    for (int i = first; i < typing.length; ++i)
        if (typing.text[i] != typing.text[i % first]) return false;
    return true;
}

// The first row from start on, wrapping around, whose tip begins with the
// prefix; -1 when there is none.
int FindRow(const ListState& list, int start, const char* prefix) {
    char scratch[TIP_BUFFER_SIZE];
    for (int n = 0; n < list.count; ++n) {
        const int row = (start + n) % list.count;
        const TrayEntry* entry = GetTrayIcon(row);
        if (entry && TipBeginsWith(RowText(*entry, scratch), prefix)) return row;
    }
    return -1;
}

}  // namespace

// A double-byte character reaches a window of the ANSI code page as two
// WM_CHAR messages, its lead byte first; some systems pack both bytes into
// one, the lead byte in the upper half.
TypedCharacter ReadCharacter(WPARAM character, BYTE lead_byte) {
    const char byte = static_cast<char>(character);
    if (character > 0xFF || lead_byte)
        return {{static_cast<char>(character > 0xFF ? character >> 8 : lead_byte), byte}, 2, 0};
    if (IsCharAlphaNumericA(byte)) return {{byte}, 1, 0};
    if (IsDBCSLeadByte(static_cast<BYTE>(byte))) return {{}, 0, static_cast<BYTE>(byte)};
    return {{}, 0, 0};
}

Typing Typed(const Typing& before, const char* character, int length, DWORD time) {
    Typing typing = before;
    if (typing.length > 0 && time - typing.last > TYPE_AHEAD_TIMEOUT) typing.length = 0;
    typing.last = time;
    if (typing.length + length >= static_cast<int>(sizeof typing.text)) return typing;
    if (typing.length == 0) typing.first_length = length;
    for (int i = 0; i < length; ++i) typing.text[typing.length + i] = character[i];
    typing.text[typing.length + length] = '\0';
    CharUpperBuffA(&typing.text[typing.length], length);
    typing.length += length;
    return typing;
}

// A new search, and a character typed again, look from the row after the
// highlighted one; a longer search keeps the highlighted row while it still
// matches.
int TypeAheadRow(const Typing& typing, const ListState& list) {
    if (typing.length == 0) return -1;
    const bool repeated = OneCharacterRepeated(typing);
    const int start = repeated ? list.selected + 1 : list.selected;
    char first[3] = {};
    for (int i = 0; i < typing.first_length; ++i) first[i] = typing.text[i];
    const int row = FindRow(list, start, repeated ? first : typing.text);
    return row != list.selected ? row : -1;
}
