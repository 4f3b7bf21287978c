// The host command "key NAME...": presses and releases keys with SendInput,
// as a person at the keyboard would, for whatever window has the focus: the
// list, an open popup menu of a tray program, a message box. NAME is one of
// the names below, a letter or a digit, each optionally with modifiers held
// while it is pressed: "shift+f10", "ctrl+escape".
#include <cctype>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "devhost/log/log.h"
#include "devhost/measure/measure.h"

namespace {

struct KeyName {
    const char* name;
    WORD key;
};
constexpr KeyName KEY_NAMES[] = {
    {"escape", VK_ESCAPE}, {"return", VK_RETURN}, {"down", VK_DOWN},     {"up", VK_UP},
    {"left", VK_LEFT},     {"right", VK_RIGHT},   {"tab", VK_TAB},       {"home", VK_HOME},
    {"end", VK_END},       {"apps", VK_APPS},     {"space", VK_SPACE},   {"f10", VK_F10},
    {"f4", VK_F4},         {"pageup", VK_PRIOR},  {"pagedown", VK_NEXT},
};
constexpr KeyName MODIFIERS[] = {{"shift", VK_SHIFT}, {"ctrl", VK_CONTROL}, {"alt", VK_MENU}};

// A letter's or a digit's virtual key is its upper-case character.
WORD KeyCode(const std::string& name) {
    for (const KeyName& key : KEY_NAMES)
        if (name == key.name) return key.key;
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
        return static_cast<WORD>(std::toupper(static_cast<unsigned char>(name[0])));
    return 0;
}

WORD ModifierCode(const std::string& name) {
    for (const KeyName& modifier : MODIFIERS)
        if (name == modifier.name) return modifier.key;
    return 0;
}

INPUT KeyInput(WORD key, DWORD flags) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = flags;
    return input;
}

// The keys of a chord, modifiers first, "shift+f10" as shift, f10; empty when
// a part names no key.
std::vector<WORD> Chord(const std::string& text) {
    std::vector<WORD> keys;
    size_t start = 0;
    for (size_t plus; (plus = text.find('+', start)) != std::string::npos; start = plus + 1) {
        const WORD modifier = ModifierCode(text.substr(start, plus - start));
        if (!modifier) return {};
        keys.push_back(modifier);
    }
    const WORD key = KeyCode(text.substr(start));
    if (!key) return {};
    keys.push_back(key);
    return keys;
}

// Every key down in order, then up in the reverse order, in one SendInput.
bool Press(const std::vector<WORD>& keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) inputs.push_back(KeyInput(key, 0));
    for (auto key = keys.rbegin(); key != keys.rend(); ++key)
        inputs.push_back(KeyInput(*key, KEYEVENTF_KEYUP));
    const UINT count = static_cast<UINT>(inputs.size());
    return SendInput(count, inputs.data(), sizeof(INPUT)) == count;
}

}  // namespace

WORD ChordKey(const std::string& name) {
    const std::vector<WORD> keys = Chord(name);
    return keys.empty() ? 0 : keys.back();
}

bool PressKey(const std::string& name) {
    const std::vector<WORD> keys = Chord(name);
    return !keys.empty() && Press(keys);
}

void PressKeys(const std::string& names) {
    std::istringstream words(names);
    std::string name;
    while (words >> name) {
        const std::vector<WORD> keys = Chord(name);
        if (keys.empty()) {
            Log("error unknown key %s", name.c_str());
            return;
        }
        Log("key %s %s", name.c_str(), Press(keys) ? "pressed" : "failed");
    }
}
