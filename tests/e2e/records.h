// Hand-made tray records, sent to the system tray the way Wine's
// Shell_NotifyIcon sends them (WM_COPYDATA to the first "Shell_TrayWnd"),
// to see what the tray does with records no well-behaved program sends.
//
//   short     a record one byte shorter than this Wine's        NIM_ADD
//   unknown   a whole record with an operation Windows lacks   7
//   mismatch  an icon said to be 32x32 in 32 bits, with the bits of 16x16
//   huge      an icon said to be 4000 pixels wide and high
//   tip       128 characters of tip without a terminator, id 99  NIM_ADD
//   delete    removes id 99                                     NIM_DELETE
//
// The records of the first four would otherwise add an icon with id 98;
// all are owned by a hidden window of the inspector.
#pragma once

#include <string>

// What the tray answered (0 for refused), or -1 for an unknown kind or no tray.
long SendBadRecord(const std::string& kind);
