// The module-global handles, bounded formatting and the error message box.
#include <cstdarg>
#include <cstdio>

#include "plugin/module.h"

HINSTANCE hPluginInstance;
HWND hListWnd;

namespace {

// Bounded formatting into text. On Windows this is msvcrt's own formatter:
// MinGW's replacement, which the C++ headers select by default, would make
// the plug-in four times larger.
int FormatBounded(char* text, size_t size, const char* format, va_list args) {
#if defined(_WIN32)
    return _vsnprintf(text, size, format, args);
#else
    return vsnprintf(text, size, format, args);
#endif
}

}  // namespace

void FormatText(char* text, int size, const char* format, ...) {
    va_list args;
    va_start(args, format);
    FormatBounded(text, size, format, args);
    va_end(args);
    text[size - 1] = '\0';
}

void ReportError(const char* format, ...) {
    char text[REPORT_BUFFER_SIZE];
    va_list args;
    va_start(args, format);
    FormatBounded(text, sizeof text, format, args);
    va_end(args);
    // Some formatters leave no terminator when they truncate.
    text[sizeof text - 1] = '\0';
    MessageBoxA(hListWnd, text, "Marrowick", MB_OK | MB_TOPMOST | MB_SETFOREGROUND);
}
