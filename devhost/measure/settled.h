// Whether a window's thread has handled what came before, the events the X
// server sent it since included, for the tests' inspector and the stress
// run. Under Wine a thread reads the X server's events whenever it waits for
// messages, and that is when it hands its own requests to the server. On a
// screen without a window manager a window of its own that it made active
// a moment ago can take the activation back late, when the focus event the
// server sent for it is read: a window shown before then loses it.
#pragma once

#include <windows.h>

// Reads one pixel of the screen: an X round trip, after which the server has
// acted on every request handed to it before, a change of focus among them.
inline void ReadScreenPixel() {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP pixel = CreateCompatibleBitmap(screen, 1, 1);
    HGDIOBJ old = SelectObject(memory, pixel);
    BitBlt(memory, 0, 0, 1, 1, screen, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteObject(pixel);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

// A message sent and answered (the thread has waited, so its requests are
// with the X server), a pixel read (the server has acted on them), then two
// more answers (the thread has read the events that came of them and acted
// on what they made it do); false when the thread does not answer within
// timeout_ms.
inline bool ThreadSettled(HWND window, DWORD timeout_ms) {
    DWORD_PTR result = 0;
    for (int answers = 0; answers < 3; ++answers) {
        if (!SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeout_ms, &result))
            return false;
        if (answers == 0) ReadScreenPixel();
    }
    return true;
}
