// Putting the mouse pointer at a point and seeing that it stays there, for
// the host's mouse command and the end-to-end tests' inspector. Under Wine
// the X server can still hand back a motion from before a move, which puts
// the pointer back where it was, and a button pressed then lands there: the
// move is made again, the thread taking the X server's events between tries
// without dispatching any message, until the pointer stays at the point, as
// a hand on a mouse corrects its aim, or POINTER_TIMEOUT_MS have passed.
#pragma once

#include <windows.h>

constexpr DWORD POINTER_TIMEOUT_MS = 5000;
constexpr DWORD POINTER_SETTLE_MS = 10;

// move(x, y) puts the pointer there (SetCursorPos, SendInput), false when it
// cannot; *at is where the pointer was last seen.
template <typename Move>
bool MoveUntilItStays(int x, int y, Move move, POINT* at) {
    const DWORD start = GetTickCount();
    do {
        if (!move(x, y)) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, POINTER_SETTLE_MS, QS_ALLINPUT);
        if (GetCursorPos(at) && at->x == x && at->y == y) return true;
    } while (GetTickCount() - start < POINTER_TIMEOUT_MS);
    return false;
}
