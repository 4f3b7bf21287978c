// The Win32 functions of tests/fakes/windows.h: each records its call and
// answers from fake::platform and the windows it keeps.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <type_traits>

#include "tests/fakes/fake.h"
#include "tests/fakes/tlhelp32.h"

namespace fake {

Platform platform;

namespace {

constexpr intptr_t FIRST_CREATED_WINDOW = 1000;
constexpr intptr_t FIRST_DC = 2000;
constexpr intptr_t INITIAL_FONT = 9;

std::vector<std::string> calls;
bool recording = true;
long call_count = 0;
std::vector<ShownBox> boxes;
std::map<HWND, Window> windows;
std::map<std::string, std::pair<WNDPROC, HINSTANCE>> classes;
std::map<HDC, HGDIOBJ> open_dcs;  // each open context and the object selected into it
intptr_t next_window = FIRST_CREATED_WINDOW;
intptr_t next_dc = FIRST_DC;
// Each open snapshot, and the index of the next process it lists.
std::map<HANDLE, size_t> snapshots;
intptr_t next_snapshot = 5000;

std::string Arg(const char* text) { return text ? '"' + std::string(text) + '"' : "null"; }
template <typename T>
std::string Arg(T value) {
    if constexpr (std::is_pointer_v<T>)
        return Num(value);
    else
        return std::to_string(value);
}

template <typename... Args>
void RecordCall(const char* function, Args... args) {
    if (!CountCall()) return;
    std::string line = function;
    ((line += ' ', line += Arg(args)), ...);
    Record(line);
}

HDC OpenDC() {
    HDC dc = reinterpret_cast<HDC>(next_dc++);
    open_dcs[dc] = reinterpret_cast<HGDIOBJ>(INITIAL_FONT);
    return dc;
}

constexpr intptr_t FIRST_MONITOR = 4000;
constexpr intptr_t ARROW_CURSOR = 32512;

// How far a point lies outside a rectangle, along each axis added up.
long long Distance(const RECT& r, POINT p) {
    const long long dx = p.x < r.left ? r.left - p.x : p.x >= r.right ? p.x - r.right + 1 : 0;
    const long long dy = p.y < r.top ? r.top - p.y : p.y >= r.bottom ? p.y - r.bottom + 1 : 0;
    return dx + dy;
}

long long Overlap(const RECT& a, const RECT& b) {
    const long long w =
        std::min(a.right, b.right) - static_cast<long long>(std::max(a.left, b.left));
    const long long h =
        std::min(a.bottom, b.bottom) - static_cast<long long>(std::max(a.top, b.top));
    return w > 0 && h > 0 ? w * h : 0;
}

HMONITOR MonitorHandle(size_t index) { return reinterpret_cast<HMONITOR>(FIRST_MONITOR + index); }

// The monitor nearest the point, the first of equals.
HMONITOR NearestMonitor(POINT point) {
    size_t best = 0;
    for (size_t i = 1; i < platform.monitors.size(); ++i)
        if (Distance(platform.monitors[i].monitor, point) <
            Distance(platform.monitors[best].monitor, point))
            best = i;
    return platform.monitors.empty() ? nullptr : MonitorHandle(best);
}

bool IsLeadByte(unsigned char c) {
    return platform.code_page == 932 && ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC));
}

// Case folding and letters of code page 1252: ASCII, and the accented
// letters from 0xC0 on, less the two signs among them. Code page 932 has the
// ASCII ones alone.
bool IsUpperAccented(unsigned char c) {
    return platform.code_page == 1252 && c >= 0xC0 && c <= 0xDE && c != 0xD7;
}
bool IsLowerAccented(unsigned char c) {
    return platform.code_page == 1252 && c >= 0xE0 && c <= 0xFE && c != 0xF7;
}

int MeasuredWidth(const char* text, int length) {
    std::string s = length < 0 ? std::string(text) : std::string(text, length);
    auto it = platform.text_widths.find(s);
    return it != platform.text_widths.end() ? it->second
                                            : platform.char_width * static_cast<int>(s.size());
}

}  // namespace

void ResetWin32() {
    platform = Platform{};
    calls.clear();
    recording = true;
    call_count = 0;
    boxes.clear();
    windows.clear();
    classes.clear();
    open_dcs.clear();
    next_window = FIRST_CREATED_WINDOW;
    next_dc = FIRST_DC;
    snapshots.clear();
    next_snapshot = 5000;
}

const std::vector<std::string>& Calls() { return calls; }

std::vector<std::string> CallsTo(std::string_view prefix) { return CallsTo({prefix}); }

std::vector<std::string> CallsTo(std::initializer_list<std::string_view> prefixes) {
    std::vector<std::string> matching;
    for (const std::string& line : calls)
        for (std::string_view prefix : prefixes)
            if (std::string_view(line).substr(0, prefix.size()) == prefix) {
                matching.push_back(line);
                break;
            }
    return matching;
}

void ClearCalls() { calls.clear(); }
void Record(std::string line) { calls.push_back(std::move(line)); }
void SetRecording(bool on) { recording = on; }
long CallCount() { return call_count; }
bool CountCall() {
    ++call_count;
    return recording;
}
const std::vector<ShownBox>& MessageBoxes() { return boxes; }

std::string Num(const void* handle) { return std::to_string(reinterpret_cast<intptr_t>(handle)); }

HWND LiveWindow(intptr_t number) {
    HWND window = reinterpret_cast<HWND>(number);
    windows[window];
    return window;
}

HWND OwnedWindow(intptr_t number, HWND owner) {
    HWND window = LiveWindow(number);
    windows[window].owner = owner;
    return window;
}

void KillWindow(HWND window) { windows.erase(window); }

void SetWindowState(HWND window, bool visible, bool minimized) {
    windows[window].visible = visible;
    windows[window].minimized = minimized;
}

const Window* FindWindowRecord(HWND window) {
    auto it = windows.find(window);
    return it == windows.end() ? nullptr : &it->second;
}

int OpenDeviceContexts() { return static_cast<int>(open_dcs.size()); }
int OpenSnapshots() { return static_cast<int>(snapshots.size()); }

void RunProcess(DWORD process_id, const std::string& path, std::initializer_list<HWND> made) {
    platform.processes.emplace_back(process_id, path);
    for (HWND window : made) windows[window].process = process_id;
}

namespace {

// Fills entry with the snapshot's next process; FALSE after the last.
BOOL NextProcess(HANDLE snapshot, PROCESSENTRY32* entry) {
    auto it = snapshots.find(snapshot);
    if (it == snapshots.end() || entry->dwSize != sizeof(PROCESSENTRY32) ||
        it->second >= platform.processes.size())
        return FALSE;
    const auto& [id, path] = platform.processes[it->second++];
    entry->th32ProcessID = id;
    std::strncpy(entry->szExeFile, path.c_str(), MAX_PATH - 1);
    entry->szExeFile[MAX_PATH - 1] = '\0';
    return TRUE;
}

}  // namespace

}  // namespace fake

using namespace fake;

DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size) {
    RecordCall("GetModuleFileNameA", module, size);
    if (platform.module_file_name_fails || size == 0) return 0;
    // Like Windows: a name that does not fit is cut to the buffer, and the
    // result is then the buffer's size.
    const std::string& name = platform.module_file_name;
    DWORD copied = name.size() < size ? static_cast<DWORD>(name.size()) : size;
    std::memcpy(buffer, name.data(), copied);
    if (copied < size) buffer[copied] = '\0';
    return copied;
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    RecordCall("MessageBoxA", owner, text, caption, type);
    boxes.push_back({owner, text, caption, type});
    if (platform.during_message_box) {
        // Once: a box opened from inside runs nothing more.
        const std::function<void()> during = std::move(platform.during_message_box);
        platform.during_message_box = nullptr;
        during();
    }
    return 1;
}

ATOM RegisterClassA(const WNDCLASSA* wc) {
    RecordCall("RegisterClassA", wc->lpszClassName, wc->style, wc->cbClsExtra, wc->cbWndExtra,
               wc->hInstance, wc->hIcon, wc->hCursor, wc->hbrBackground, wc->lpszMenuName);
    if (platform.register_class_fails || classes.count(wc->lpszClassName)) return 0;
    classes[wc->lpszClassName] = {wc->lpfnWndProc, wc->hInstance};
    return 1;
}

BOOL UnregisterClassA(LPCSTR class_name, HINSTANCE instance) {
    RecordCall("UnregisterClassA", class_name, instance);
    auto it = classes.find(class_name);
    if (it == classes.end() || it->second.second != instance) return FALSE;
    classes.erase(it);
    return TRUE;
}

HWND CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR title, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
    RecordCall("CreateWindowExA", ex_style, class_name, title, style, x, y, width, height, parent,
               menu, instance, param);
    auto it = classes.find(class_name);
    if (platform.create_window_fails || it == classes.end()) return nullptr;
    HWND window = reinterpret_cast<HWND>(next_window++);
    windows[window] = Window{
        class_name, it->second.first, style, ex_style, RECT{x, y, x + width, y + height}, false,
        false,      nullptr,          ""};
    it->second.first(window, WM_CREATE, 0, 0);
    return window;
}

BOOL DestroyWindow(HWND window) {
    RecordCall("DestroyWindow", window);
    auto it = windows.find(window);
    if (it == windows.end()) return FALSE;
    WNDPROC proc = it->second.proc;
    if (proc) proc(window, WM_DESTROY, 0, 0);
    windows.erase(window);
    return TRUE;
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    RecordCall("DefWindowProcA", window, message, wParam, lParam);
    return platform.default_window_result;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    RecordCall("SendMessageA", window, message, wParam, lParam);
    if (window == reinterpret_cast<HWND>(HOST_WINDOW))
        return HostWindowMessage(message, wParam, lParam);
    auto it = windows.find(window);
    return it != windows.end() && it->second.proc ? it->second.proc(window, message, wParam, lParam)
                                                  : 0;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    RecordCall("PostMessageA", window, message, wParam, lParam);
    return windows.count(window) ? TRUE : FALSE;
}

BOOL IsWindow(HWND window) {
    RecordCall("IsWindow", window);
    return windows.count(window) ? TRUE : FALSE;
}

BOOL ShowWindow(HWND window, int command) {
    RecordCall("ShowWindow", window, command);
    auto it = windows.find(window);
    if (it == windows.end()) return FALSE;
    BOOL was_visible = it->second.visible;
    it->second.visible = command != SW_HIDE;
    return was_visible;
}

BOOL SetForegroundWindow(HWND window) {
    RecordCall("SetForegroundWindow", window);
    if (!windows.count(window) || platform.foreground_refused) return FALSE;
    platform.foreground = window;
    platform.focus = window;
    return TRUE;
}

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase) {
    RecordCall("InvalidateRect", window, rect, erase);
    return TRUE;
}

BOOL SetWindowPos(HWND window, HWND insert_after, int x, int y, int cx, int cy, UINT flags) {
    RecordCall("SetWindowPos", window, insert_after, x, y, cx, cy, flags);
    auto it = windows.find(window);
    if (it == windows.end()) return FALSE;
    it->second.rect = RECT{x, y, x + cx, y + cy};
    return TRUE;
}

int GetSystemMetrics(int index) {
    RecordCall("GetSystemMetrics", index);
    if (index == SM_CXSCREEN) return platform.screen_width;
    if (index == SM_CYSCREEN) return platform.screen_height;
    return 0;
}

HDC GetDC(HWND window) {
    RecordCall("GetDC", window);
    return platform.get_dc_fails ? nullptr : OpenDC();
}

int ReleaseDC(HWND window, HDC dc) {
    RecordCall("ReleaseDC", window, dc);
    return open_dcs.erase(dc) ? 1 : 0;
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
    RecordCall("BeginPaint", window);
    *paint = PAINTSTRUCT{OpenDC(), TRUE, RECT{}};
    return paint->hdc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) {
    RecordCall("EndPaint", window, paint->hdc);
    return open_dcs.erase(paint->hdc) ? TRUE : FALSE;
}

BOOL GetClientRect(HWND window, LPRECT rect) {
    RecordCall("GetClientRect", window);
    auto it = windows.find(window);
    if (it == windows.end()) return FALSE;
    const RECT& r = it->second.rect;
    *rect = RECT{0, 0, r.right - r.left, r.bottom - r.top};
    return TRUE;
}

BOOL GetWindowRect(HWND window, LPRECT rect) {
    RecordCall("GetWindowRect", window);
    auto it = windows.find(window);
    if (platform.get_window_rect_fails || it == windows.end()) return FALSE;
    *rect = it->second.rect;
    return TRUE;
}

int DrawTextA(HDC dc, LPCSTR text, int length, LPRECT rect, UINT format) {
    if (format & DT_CALCRECT) {
        rect->right = rect->left + MeasuredWidth(text, length);
        rect->bottom = rect->top + platform.text_height;
    }
    RecordCall("DrawTextA", dc, text, length, rect->left, rect->top, rect->right, rect->bottom,
               format);
    return platform.text_height;
}

BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT step, HBRUSH flicker_free,
                UINT flags) {
    RecordCall("DrawIconEx", dc, x, y, icon, cx, cy, step, flicker_free, flags);
    return TRUE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    RecordCall("SelectObject", dc, object);
    auto it = open_dcs.find(dc);
    if (it == open_dcs.end()) return nullptr;
    HGDIOBJ previous = it->second;
    it->second = object;
    return previous;
}

BOOL DeleteObject(HGDIOBJ object) {
    RecordCall("DeleteObject", object);
    return fake::ForgetFont(object) ? TRUE : FALSE;
}

COLORREF SetTextColor(HDC dc, COLORREF color) {
    RecordCall("SetTextColor", dc, color);
    return 0;
}

int SetBkMode(HDC dc, int mode) {
    RecordCall("SetBkMode", dc, mode);
    return 2;
}

BOOL SetWindowTextA(HWND window, LPCSTR text) {
    RecordCall("SetWindowTextA", window, text);
    auto it = windows.find(window);
    if (it == windows.end()) return FALSE;
    it->second.text = text ? text : "";
    return TRUE;
}

void NotifyWinEvent(DWORD event, HWND window, long object, long child) {
    RecordCall("NotifyWinEvent", event, window, object, child);
}

HWND GetWindow(HWND window, UINT relation) {
    RecordCall("GetWindow", window, relation);
    auto it = windows.find(window);
    return it != windows.end() && relation == GW_OWNER ? it->second.owner : nullptr;
}

HWND GetForegroundWindow() {
    RecordCall("GetForegroundWindow");
    return platform.foreground;
}

HWND GetFocus() {
    RecordCall("GetFocus");
    return platform.focus;
}

HWND GetDesktopWindow() {
    RecordCall("GetDesktopWindow");
    return platform.desktop;
}

HWND GetShellWindow() {
    RecordCall("GetShellWindow");
    return platform.shell;
}

BOOL IsWindowVisible(HWND window) {
    RecordCall("IsWindowVisible", window);
    auto it = windows.find(window);
    return it != windows.end() && it->second.visible ? TRUE : FALSE;
}

BOOL IsIconic(HWND window) {
    RecordCall("IsIconic", window);
    auto it = windows.find(window);
    return it != windows.end() && it->second.minimized ? TRUE : FALSE;
}

BOOL GetCursorPos(POINT* point) {
    RecordCall("GetCursorPos");
    *point = platform.cursor;
    return TRUE;
}

DWORD GetMessagePos() {
    RecordCall("GetMessagePos");
    return MAKELONG(platform.cursor.x, platform.cursor.y);
}

long GetMessageTime() {
    RecordCall("GetMessageTime");
    return platform.message_time;
}

HMONITOR MonitorFromWindow(HWND window, DWORD flags) {
    RecordCall("MonitorFromWindow", window, flags);
    auto it = windows.find(window);
    if (it == windows.end()) return nullptr;
    const RECT& r = it->second.rect;
    size_t best = 0;
    long long best_overlap = 0;
    for (size_t i = 0; i < platform.monitors.size(); ++i) {
        const long long overlap = Overlap(platform.monitors[i].monitor, r);
        if (overlap > best_overlap) best = i, best_overlap = overlap;
    }
    return best_overlap > 0 ? MonitorHandle(best) : NearestMonitor(POINT{r.left, r.top});
}

HMONITOR MonitorFromPoint(POINT point, DWORD flags) {
    RecordCall("MonitorFromPoint", point.x, point.y, flags);
    return NearestMonitor(point);
}

BOOL GetMonitorInfoA(HMONITOR monitor, MONITORINFO* info) {
    RecordCall("GetMonitorInfoA", monitor, info->cbSize);
    const intptr_t index = reinterpret_cast<intptr_t>(monitor) - FIRST_MONITOR;
    if (platform.monitor_info_fails || info->cbSize != sizeof(MONITORINFO) || index < 0 ||
        index >= static_cast<intptr_t>(platform.monitors.size()))
        return FALSE;
    info->rcMonitor = platform.monitors[index].monitor;
    info->rcWork = platform.monitors[index].work;
    info->dwFlags = index == 0 ? 1 : 0;
    return TRUE;
}

// The second byte of a double-byte character is never folded, whatever
// letter it equals.
DWORD CharUpperBuffA(LPSTR text, DWORD length) {
    RecordCall("CharUpperBuffA", std::string(text, length).c_str(), length);
    for (DWORD i = 0; i < length; ++i) {
        const unsigned char c = text[i];
        if (IsLeadByte(c))
            ++i;
        else if ((c >= 'a' && c <= 'z') || IsLowerAccented(c))
            text[i] = static_cast<char>(c - 0x20);
    }
    return length;
}

BOOL IsCharAlphaNumericA(char character) {
    RecordCall("IsCharAlphaNumericA", static_cast<int>(static_cast<unsigned char>(character)));
    const unsigned char c = character;
    return std::isalnum(c) || IsUpperAccented(c) || IsLowerAccented(c) ? TRUE : FALSE;
}

BOOL IsDBCSLeadByte(BYTE byte) {
    RecordCall("IsDBCSLeadByte", static_cast<int>(byte));
    return IsLeadByte(byte) ? TRUE : FALSE;
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) {
    RecordCall("LoadCursorA", instance, reinterpret_cast<intptr_t>(name));
    return name == IDC_ARROW ? reinterpret_cast<HCURSOR>(ARROW_CURSOR) : nullptr;
}

HCURSOR SetCursor(HCURSOR cursor) {
    RecordCall("SetCursor", cursor);
    return nullptr;
}

BOOL CloseHandle(HANDLE object) {
    RecordCall("CloseHandle", object);
    return snapshots.erase(object) ? TRUE : FALSE;
}

DWORD GetWindowThreadProcessId(HWND window, DWORD* process_id) {
    RecordCall("GetWindowThreadProcessId", window);
    auto it = windows.find(window);
    if (it == windows.end()) return 0;
    if (process_id) *process_id = it->second.process;
    return 1;  // the thread's id; the plug-in uses the process's
}

HANDLE CreateToolhelp32Snapshot(DWORD flags, DWORD process_id) {
    RecordCall("CreateToolhelp32Snapshot", flags, process_id);
    if (platform.snapshot_fails) return INVALID_HANDLE_VALUE;
    HANDLE snapshot = reinterpret_cast<HANDLE>(next_snapshot++);
    snapshots[snapshot] = 0;
    return snapshot;
}

BOOL Process32First(HANDLE snapshot, PROCESSENTRY32* entry) {
    RecordCall("Process32First", snapshot);
    auto it = snapshots.find(snapshot);
    if (it != snapshots.end()) it->second = 0;
    return NextProcess(snapshot, entry);
}

BOOL Process32Next(HANDLE snapshot, PROCESSENTRY32* entry) {
    RecordCall("Process32Next", snapshot);
    return NextProcess(snapshot, entry);
}
