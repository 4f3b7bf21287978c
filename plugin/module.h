// The module-global handles the plug-in shares, and the one way it tells the
// user of a failure.
#pragma once

#include <windows.h>

// The plug-in module's instance, set by beginPlugin before anything else runs.
extern HINSTANCE hPluginInstance;

// The list window, set by beginPlugin to what CreateWindowExA returned.
extern HWND hListWnd;

// Size of the buffer a report is formatted into, terminator included.
constexpr int REPORT_BUFFER_SIZE = 2000;

// Formats printf-style into text, cut to size - 1 characters and always
// terminated.
void FormatText(char* text, int size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// Formats a printf-style message and shows it in a modal message box owned by
// the list window; returns when the user has closed it.
void ReportError(const char* format, ...) __attribute__((format(printf, 1, 2)));
