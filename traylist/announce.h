// What screen readers hear of the list. An accessibility client reads a plain
// window's name from its text, so the list window is named after the
// highlighted row, its one-line tip and its place ("Mail: 3 new messages,
// 1 of 6"), and the focus and name-change events tell the client to read it
// whenever the highlight moves.
#pragma once

#include "traylist/tiptext.h"
#include "traylist/traylist.h"

// Room for a tip with every character doubled, and its place.
constexpr int HIGHLIGHT_NAME_SIZE = 2 * TIP_BUFFER_SIZE + 32;

// Formats the name of the list's highlighted row into name; returns the
// entry it names, null when the row has none.
const TrayEntry* NameOfHighlight(char (&name)[HIGHLIGHT_NAME_SIZE], const ListState& list);

// The events that make screen readers read the list window's name again.
constexpr int NAME_CHANGE = 1;
constexpr int FOCUS = 2;
void NotifyHighlight(int events);
