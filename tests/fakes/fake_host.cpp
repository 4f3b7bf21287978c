// The host's exported functions over an in-memory tray, style records and rc
// text, recording each call like the Win32 fakes do.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "tests/fakes/fake.h"

namespace fake {

Host host;

namespace {

constexpr intptr_t FIRST_FONT = 3000;

std::set<const void*> live_fonts;
intptr_t next_font = FIRST_FONT;
std::string read_string_result;  // ReadString's answer lives until the next call

template <typename... Args>
void RecordHostCall(const char* function, Args... args) {
    if (!CountCall()) return;
    std::string line = function;
    ((line += ' ', line += args), ...);
    Record(line);
}

std::string Quoted(const char* text) { return text ? '"' + std::string(text) + '"' : "null"; }

std::string Trim(std::string_view text) {
    size_t first = 0, last = text.size();
    while (first < last && std::isspace(static_cast<unsigned char>(text[first]))) ++first;
    while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1]))) --last;
    return std::string(text.substr(first, last - first));
}

// The value of the first "key: value" line whose key matches without regard
// to case; false when there is none. Lines that begin with '#' or '!' after
// any blanks are comments.
bool LookUp(const char* key, std::string* value) {
    const size_t key_length = std::strlen(key);
    size_t start = 0;
    const std::string& rc = host.rc_text;
    while (start < rc.size()) {
        size_t end = rc.find('\n', start);
        if (end == std::string::npos) end = rc.size();
        std::string_view line(rc.data() + start, end - start);
        while (!line.empty() && (line[0] == ' ' || line[0] == '\t')) line.remove_prefix(1);
        if (line.size() >= key_length && strncasecmp(line.data(), key, key_length) == 0) {
            *value = Trim(line.substr(key_length));
            return true;
        }
        start = end + 1;
    }
    return false;
}

bool IsLive(const TrayEntry& entry) { return FindWindowRecord(entry.hWnd) != nullptr; }

}  // namespace

void ResetHost() {
    host = Host{};
    live_fonts.clear();
    next_font = FIRST_FONT;
}

void Reset() {
    ResetWin32();
    ResetHost();
    LiveWindow(HOST_WINDOW);
}

bool ForgetFont(const void* font) { return live_fonts.erase(font) != 0; }
int LiveFonts() { return static_cast<int>(live_fonts.size()); }

TrayEntry& AddTrayEntry(HWND owner, UINT id, UINT callback, intptr_t icon, std::string_view tip) {
    TrayEntry entry{};
    entry.hWnd = owner;
    entry.uID = id;
    entry.uCallbackMessage = callback;
    entry.hIcon = reinterpret_cast<HICON>(icon);
    size_t length = std::min(tip.size(), sizeof entry.szTip - 1);
    std::memcpy(entry.szTip, tip.data(), length);
    host.tray.push_back(entry);
    return host.tray.back();
}

StyleRecord MakeStyle(COLORREF text_color) {
    StyleRecord style{};
    style.TextColor = text_color;
    return style;
}

}  // namespace fake

using namespace fake;

extern "C" {

HWND GetBBWnd() {
    RecordHostCall("GetBBWnd");
    return reinterpret_cast<HWND>(HOST_WINDOW);
}

int GetTraySize() {
    RecordHostCall("GetTraySize");
    return host.reported_tray_size != -1 ? host.reported_tray_size
                                         : static_cast<int>(host.tray.size());
}

TrayEntry* GetTrayIcon(int index) {
    RecordHostCall("GetTrayIcon", std::to_string(index));
    if (index < 0 || index >= static_cast<int>(host.tray.size())) return nullptr;
    return &host.tray[index];
}

StyleRecord* GetSettingPtr(int style_index) {
    RecordHostCall("GetSettingPtr", std::to_string(style_index));
    return &host.styles[style_index];
}

void MakeStyleGradient(HDC dc, RECT* rect, StyleRecord* style, bool border) {
    int style_index = -1;
    for (auto& [index, record] : host.styles)
        if (&record == style) style_index = index;
    RecordHostCall("MakeStyleGradient", Num(dc), std::to_string(rect->left),
                   std::to_string(rect->top), std::to_string(rect->right),
                   std::to_string(rect->bottom), "style" + std::to_string(style_index),
                   std::to_string(border));
}

HFONT CreateStyleFont(StyleRecord* style) {
    (void)style;
    HFONT font = reinterpret_cast<HFONT>(next_font++);
    live_fonts.insert(font);
    RecordHostCall("CreateStyleFont", Num(font));
    return font;
}

int ReadInt(const char* rc_path, const char* key, int default_value) {
    RecordHostCall("ReadInt", Quoted(rc_path), Quoted(key), std::to_string(default_value));
    std::string value;
    if (!LookUp(key, &value)) return default_value;
    char* end = nullptr;
    const long number = std::strtol(value.c_str(), &end, 10);
    return end != value.c_str() ? static_cast<int>(number) : default_value;
}

const char* ReadString(const char* rc_path, const char* key, const char* default_text) {
    RecordHostCall("ReadString", Quoted(rc_path), Quoted(key), Quoted(default_text));
    std::string value;
    read_string_result = LookUp(key, &value) ? value : default_text;
    return read_string_result.c_str();
}

}  // extern "C"

namespace fake {

// The host answers the messages plug-ins send to its main window.
LRESULT HostWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    HWND window = reinterpret_cast<HWND>(wParam);
    auto& registered = host.registered;
    if (message == MSG_REGISTER) registered.push_back(window);
    if (message == MSG_UNREGISTER)
        registered.erase(std::remove(registered.begin(), registered.end(), window),
                         registered.end());
    if (message == MSG_TRAY_PURGE)
        host.tray.erase(std::remove_if(host.tray.begin(), host.tray.end(),
                                       [](const TrayEntry& e) { return !IsLive(e); }),
                        host.tray.end());
    if (message == MSG_TRAY_PURGE) host.reported_tray_size = -1;
    return 0;
}

}  // namespace fake
