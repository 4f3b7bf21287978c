// The record Wine's shell32 sends the system tray for every Shell_NotifyIcon
// call, and its decoder.
//
// Shell_NotifyIconA/W find the tray as the first top-level window of class
// "Shell_TrayWnd" and send it WM_COPYDATA: dwData is the NIM_ operation,
// lpData Wine's own record (not a NOTIFYICONDATA; the same from 32- and
// 64-bit callers), followed by the icon's bitmap bits, since an icon handle
// of one process means nothing in another. Wine has changed the record's
// layout over time, so the tray picks the layout by Wine's version and
// checks the record's size against it; a record that fits no layout it knows
// is refused, never guessed at.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Characters of the record's tip, terminator included.
constexpr int NOTIFY_TIP_LENGTH = 128;
// The largest icon side the tray takes; real tray icons are 16 to 64 pixels.
constexpr uint32_t NOTIFY_ICON_MAX_SIDE = 256;

// An icon as bitmap bits: the AND mask, then the colour bits, in the form
// GetBitmapBits gives them. width 0: the record carries no icon.
struct NotifyIconBits {
    uint32_t width;
    uint32_t height;
    uint32_t planes;
    uint32_t bpp;
    const uint8_t* mask;  // inside the record
    uint32_t mask_size;
    const uint8_t* color;  // inside the record
    uint32_t color_size;
};

// One decoded record. Fields other than owner, id and flags mean something
// only when their NIF_ flag is set (Wine sends 0 otherwise); version is the
// uVersion of NIM_SETVERSION.
struct NotifyRecord {
    uint32_t owner;  // the owner window's handle, as 32 bits
    uint32_t id;
    uint32_t flags;  // NIF_*
    uint32_t callback_message;
    uint16_t tip[NOTIFY_TIP_LENGTH];  // UTF-16, always terminated
    uint32_t state;
    uint32_t state_mask;
    uint32_t version;
    NotifyIconBits icon;
};

// The major version of Wine from its version text ("8.0", "10.2"); 0 when
// the text is missing or does not start with a number.
int WineMajorVersion(const char* version);

// Decodes the record of size bytes that a Wine of the given major version
// sent. Returns 1 and fills record when the record is whole and consistent
// in the layout of that version (for a version whose layout is uncertain,
// in exactly one of the layouts it may have); 0 otherwise, record untouched.
int DecodeNotifyRecord(const void* data, size_t size, int wine_major, NotifyRecord* record);

// One part of a decoded icon (the mask, bpp 1, or the colours) as CreateIcon
// reads it: rows padded to 16 bits. Wine's sizes of the bits do not always
// allow for that padding; what was not sent is 0, so that no icon is built
// from bytes beyond the record.
std::vector<uint8_t> PaddedIconPart(const uint8_t* bits, uint32_t size, const NotifyIconBits& icon,
                                    uint32_t bpp);
