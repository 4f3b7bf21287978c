// The stand-in host's parts, shared between its source files.
#pragma once

#include <windows.h>

#include <string>

#include "devhost/protocol.h"

// One line to the host's log (stdout, or the file given with -log), flushed
// at once so that a test or a person can follow it while the host runs.
void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Text with CR, LF, tab, quote and backslash written as C escapes.
std::string Escaped(const std::string& text);

// Styles: the built-in ones, overridden key by key from a style file ("" for
// none). Read again on every reconfigure.
void LoadStyles(const std::string& style_file);

// The tray, fed by tray-owning programs through WM_COPYDATA.
BOOL TrayAdd(const TrayMessage& message);
BOOL TrayModify(const TrayMessage& message);
BOOL TrayDelete(const TrayMessage& message);
// Drops the entries whose owner window is gone; returns how many.
int TrayPurge();
void LogTray();
void ClearTray();
