// A tray entry's tip text as a list row shows it, and as a person reads it.
#pragma once

#include "config/config.h"
#include "host/host.h"

// Bytes of the scratch buffer a tip text is turned into one line in.
constexpr int TIP_BUFFER_SIZE = 256;

// Copies source into destination with carriage returns dropped and each line
// feed replaced by the configured separator; returns destination.
char* ConvertNewLines(char* destination, const char* source, int size);

// The entry's tip on one line in scratch when so configured, else the host's
// text unchanged and whole.
inline const char* RowText(const TrayEntry& entry, char (&scratch)[TIP_BUFFER_SIZE]) {
    return config.do_convert_new_line ? ConvertNewLines(scratch, entry.szTip, sizeof scratch)
                                      : entry.szTip;
}

// Tip texts compared as a person reads them: folded to one case by the rules
// of the user's code page, character by character.
void FoldCase(char* text);
int TipBeginsWith(const char* tip, const char* folded_prefix);
int TipContains(const char* tip, const char* folded_part);
// The character after the one text points at: two bytes on for the lead
// byte of a double-byte character, else one.
const char* NextCharacter(const char* text);
