// The host command "key NAME...": presses and releases keys with SendInput,
// as a person at the keyboard would, for whatever window has the focus: an
// open popup menu of a tray program, a message box. NAME is escape, return,
// down, up, left, right or tab.
#include <cstring>
#include <sstream>
#include <string>

#include "devhost/log/log.h"
#include "devhost/measure/measure.h"

namespace {

struct KeyName {
    const char* name;
    WORD key;
};
constexpr KeyName KEY_NAMES[] = {
    {"escape", VK_ESCAPE}, {"return", VK_RETURN}, {"down", VK_DOWN}, {"up", VK_UP},
    {"left", VK_LEFT},     {"right", VK_RIGHT},   {"tab", VK_TAB},
};

WORD KeyCode(const std::string& name) {
    for (const KeyName& key : KEY_NAMES)
        if (name == key.name) return key.key;
    return 0;
}

bool Press(WORD key) {
    INPUT inputs[2] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
    }
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    return SendInput(2, inputs, sizeof(INPUT)) == 2;
}

}  // namespace

void PressKeys(const std::string& names) {
    std::istringstream words(names);
    std::string name;
    while (words >> name) {
        const WORD key = KeyCode(name);
        if (!key) {
            Log("error unknown key %s", name.c_str());
            return;
        }
        Log("key %s %s", name.c_str(), Press(key) ? "pressed" : "failed");
    }
}
