// Type-ahead over the rows, as list boxes and list views have it: a letter or
// digit highlights the next row whose one-line tip begins with it; characters
// typed in quick succession narrow the search to the rows that begin with all
// of them, and the same character typed again and again steps through the
// rows that begin with it. Time is the messages' own, so no timer is needed.
#pragma once

#include <windows.h>

#include "traylist/tiptext.h"
#include "traylist/traylist.h"

// What was typed in quick succession: whole characters, folded to one case.
struct Typing {
    char text[TIP_BUFFER_SIZE];
    int length;
    int first_length;  // of the first character typed: 2 for a double-byte one, else 1
    DWORD last;        // the time of the last character
};

// One WM_CHAR read as a whole character: a letter or digit of one byte, or a
// double-byte character, of length bytes; length 0 when there is none yet.
// A lead byte is held (lead_byte) until its second byte comes.
struct TypedCharacter {
    char bytes[2];
    int length;
    BYTE lead_byte;
};
TypedCharacter ReadCharacter(WPARAM character, BYTE lead_byte);

// What was typed once the character of length bytes came at time.
Typing Typed(const Typing& before, const char* character, int length, DWORD time);

// The row the typing highlights, -1 when the highlight stays.
int TypeAheadRow(const Typing& typing, const ListState& list);
