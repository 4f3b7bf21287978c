// Multi-line tip texts turned into one line for a list row.
#include <cstring>

#include "config/config.h"
#include "traylist/tiptext.h"

char* ConvertNewLines(char* destination, const char* source, int size) {
    if (size <= 0) return destination;
    const char* separator = config.converted_new_line;
    const int separator_length = static_cast<int>(strnlen(separator, CONVERTED_NEW_LINE_SIZE - 1));
    char* out = destination;
    char* const end = destination + size - 1;  // kept for the terminator
    for (; *source && out < end; ++source) {
        if (*source == '\r') continue;
        if (*source == '\n') {
            // A separator needs one byte of room left after it.
            if (end - out - 1 < separator_length) break;
            std::memcpy(out, separator, separator_length);
            out += separator_length;
            continue;
        }
        *out++ = *source;
    }
    *out = '\0';
    return destination;
}
