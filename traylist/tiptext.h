// A tray entry's tip text as a list row shows it.
#pragma once

#include "config/config.h"
#include "host/host.h"
#include "traylist/traylist.h"

// The entry's tip on one line in scratch when so configured, else the host's
// text unchanged and whole.
inline const char* RowText(const TrayEntry& entry, char (&scratch)[TIP_BUFFER_SIZE]) {
    return config.do_convert_new_line ? ConvertNewLines(scratch, entry.szTip, sizeof scratch)
                                      : entry.szTip;
}
