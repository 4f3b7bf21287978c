// The readers that turn rc values, as the host's ReadString and ReadInt give
// them, into paddings, style indices, booleans, strings, notification
// versions and placements.
#include <strings.h>

#include <climits>
#include <cstring>

#include "config/config.h"
#include "host/host.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads one optionally signed decimal integer after any white space, as the
// "%d" conversion does, but saturating at the ends of the int range instead of
// overflowing. Returns 0 and leaves *text alone when no integer starts there.
int ScanInteger(const char** text, int* value) {
    const char* p = *text;
    while (IsSpace(*p)) ++p;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    if (!IsDigit(*p)) return 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long magnitude = 0;
    for (; IsDigit(*p); ++p)
        if (magnitude < limit) magnitude = magnitude * 10 + (*p - '0');
    if (magnitude > limit) magnitude = limit;
    *value = static_cast<int>(negative ? -magnitude : magnitude);
    *text = p;
    return 1;
}

}  // namespace

Padding ReadPadding(const char* path, const char* key, const char* default_text) {
    const char* text = ReadString(path, key, default_text);
    int n[4];
    int found = 0;
    while (found < 4 && ScanInteger(&text, &n[found])) ++found;
    switch (found) {
        case 1:
            return {n[0], n[0], n[0], n[0]};
        case 2:
            return {n[0], n[1], n[0], n[1]};
        case 3:
            return {n[0], n[1], n[2], n[1]};
        case 4:
            return {n[0], n[1], n[2], n[3]};
        default:
            return {0, 0, 0, 0};
    }
}

int ReadStyleIndex(const char* path, const char* key, const char* default_name) {
    const char* text = ReadString(path, key, default_name);
    for (const StyleName& style : STYLE_NAMES)
        if (strcasecmp(text, style.name) == 0) return style.index;
    return UNKNOWN_STYLE_INDEX;
}

int ReadBool(const char* path, const char* key, const char* default_text) {
    return strcasecmp(ReadString(path, key, default_text), "true") == 0 ? 1 : 0;
}

void ReadQuotedString(const char* path, const char* key, const char* default_text,
                      char* destination, int size) {
    if (size <= 0) return;
    const char* text = ReadString(path, key, default_text);
    int length = static_cast<int>(std::strlen(text));
    // Only a pair of quotes is dropped: a lone quote is both first and last
    // character, and is kept as it stands.
    if (length >= 2 && text[0] == '"' && text[length - 1] == '"') {
        ++text;
        length -= 2;
    }
    const int count = length + 1 < size ? length + 1 : size;
    std::strncpy(destination, text, count);
    destination[count - 1] = '\0';
}

// A version the plug-in has no form for is taken as none declared, so that a
// mistyped value keeps the classic delivery every program understands.
int ReadNotifyVersion(const char* path, const char* key) {
    const int version = ReadInt(path, key, 0);
    return version == NOTIFYICON_VERSION || version == NOTIFYICON_VERSION_4 ? version : 0;
}

// Anything but "monitor" keeps the list where it always was, centred on the
// primary screen.
int ReadPlacement(const char* path, const char* key) {
    return strcasecmp(ReadString(path, key, "screen"), "monitor") == 0 ? PLACEMENT_MONITOR
                                                                       : PLACEMENT_SCREEN;
}
