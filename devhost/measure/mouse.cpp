// The host command "mouse ACTION X Y": moves the pointer to the screen point
// X, Y with SendInput, as a person's mouse would, and with ACTION left, right
// or middle presses and releases that button there; "move" only moves. The
// window under the pointer receives what a real mouse makes of it: moves,
// button messages, activation. The point is logged where the pointer ended.
#include <cstdio>
#include <string>

#include "devhost/log/log.h"
#include "devhost/measure/measure.h"
#include "devhost/measure/pointer.h"

namespace {

struct Button {
    const char* name;
    DWORD down, up;
};
constexpr Button BUTTONS[] = {
    {"move", 0, 0},
    {"left", MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP},
    {"right", MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP},
    {"middle", MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP},
};

const Button* FindButton(const char* name) {
    for (const Button& button : BUTTONS)
        if (std::string(name) == button.name) return &button;
    return nullptr;
}

// An absolute move is given in 0 to 65535 across the whole virtual screen.
LONG Normalized(int position, int origin, int extent) {
    if (extent <= 1) return 0;
    return static_cast<LONG>((static_cast<long long>(position - origin) * 65535 + extent / 2) /
                             (extent - 1));
}

INPUT MouseInput(DWORD flags) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    return input;
}

INPUT MoveInput(int x, int y) {
    INPUT input = MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK);
    input.mi.dx =
        Normalized(x, GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_CXVIRTUALSCREEN));
    input.mi.dy =
        Normalized(y, GetSystemMetrics(SM_YVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
    return input;
}

// Made again until the pointer stays at the point (pointer.h).
bool MoveTo(int x, int y) {
    POINT at;
    return MoveUntilItStays(
        x, y,
        [](int px, int py) {
            INPUT move = MoveInput(px, py);
            return SendInput(1, &move, sizeof move) == 1;
        },
        &at);
}

// The move first, on its own, so that the window under the pointer has taken
// it before the button goes down, as with a hand on a mouse.
bool Act(const Button& button, int x, int y) {
    if (!MoveTo(x, y)) return false;
    if (!button.down) return true;
    INPUT clicks[2] = {MouseInput(button.down), MouseInput(button.up)};
    return SendInput(2, clicks, sizeof(INPUT)) == 2;
}

}  // namespace

bool UseMouseAt(const std::string& action, int x, int y) {
    const Button* button = FindButton(action.c_str());
    return button && Act(*button, x, y);
}

void UseMouse(const std::string& arguments) {
    char name[16] = "";
    int x = 0, y = 0;
    const Button* button = nullptr;
    if (std::sscanf(arguments.c_str(), "%15s %d %d", name, &x, &y) != 3 ||
        !(button = FindButton(name))) {
        Log("error mouse needs move, left, right or middle and a point: \"%s\"", arguments.c_str());
        return;
    }
    const bool done = Act(*button, x, y);
    POINT at = {};
    GetCursorPos(&at);
    Log("mouse %s %d,%d %s at=%ld,%ld", name, x, y, done ? "done" : "failed", at.x, at.y);
}
