// The stand-in shell's log, which every part of blackbox.exe writes to and
// may include: one line per event, to stdout or to the file given with -log,
// flushed at once so that a test or a person can follow it while the shell
// runs. Texts go into a line escaped (escape.h), so that one event stays one
// line. This folder includes nothing else of devhost/.
#pragma once

#include <windows.h>

#include <string>

// Writes the log to the file at path from here on, instead of stdout; false
// when the file cannot be written.
bool LogToFile(const std::string& path);
// One line to the log.
void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));
// A window handle as the log writes it ("0x1004a").
std::string Hex(HWND window);
