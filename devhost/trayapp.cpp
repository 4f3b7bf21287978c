// trayapp.exe, a demo tray-owning program: one hidden window that puts its
// entries into the host's tray and writes every tray callback it receives to
// a log, one line per message, so that a test can compare the whole sequence
// at once.
//
//   trayapp.exe -name NAME -log FILE ENTRY...
//   ENTRY: "ID #rrggbb LETTER TIP"   (a "\n" in TIP is a line break)
//
// Log lines: "<NAME> id=<ID> <mouse message>", e.g. "volume id=2 WM_RBUTTONDOWN".
// It prints "ready" once its entries are in the tray. Its window takes
// commands through WM_COPYDATA (COPYDATA_TRAYAPP_COMMAND, text):
//   add ENTRY | tip ID TEXT | delete ID | quit (removes its entries) |
//   vanish (exits at once, leaving its entries behind like a crashed program)
// and, for programs with more than one owner window (the host's stress test):
//   window            opens another owner window; answers its handle
//   addto HWND ENTRY  adds an entry owned by that window (HWND in hex)
//   close HWND        destroys that window, leaving its entries behind
//   received          answers 1 + the number of callbacks logged so far
// IDs are unique within the program, whichever window owns them. Before
// received, close, quit and vanish it handles the callbacks already posted to
// it, so that none is lost to a window that goes away.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "devhost/protocol.h"

namespace {

constexpr UINT WM_TRAY_CALLBACK = WM_APP + 7;
constexpr DWORD HOST_WAIT_MS = 20000;
constexpr char OWNER_CLASS_NAME[] = "MarrowickDemoTrayOwner";

HWND tray_window;
std::string name = "trayapp";
FILE* log_file = stdout;
bool vanish;
long callbacks_logged;

struct MouseName {
    UINT message;
    const char* name;
};
constexpr MouseName MOUSE_NAMES[] = {
    {WM_MOUSEMOVE, "WM_MOUSEMOVE"},         {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
    {WM_LBUTTONUP, "WM_LBUTTONUP"},         {WM_LBUTTONDBLCLK, "WM_LBUTTONDBLCLK"},
    {WM_RBUTTONDOWN, "WM_RBUTTONDOWN"},     {WM_RBUTTONUP, "WM_RBUTTONUP"},
    {WM_RBUTTONDBLCLK, "WM_RBUTTONDBLCLK"}, {WM_MBUTTONDOWN, "WM_MBUTTONDOWN"},
    {WM_MBUTTONUP, "WM_MBUTTONUP"},         {WM_MBUTTONDBLCLK, "WM_MBUTTONDBLCLK"},
};

std::string MouseText(LPARAM message) {
    for (const MouseName& mouse : MOUSE_NAMES)
        if (mouse.message == static_cast<UINT>(message)) return mouse.name;
    return "message " + std::to_string(message);
}

HWND Host() { return FindWindowA(HOST_CLASS_NAME, nullptr); }

// A 32 by 32 icon: a rounded square in the colour with the letter in white.
void DrawIcon(TrayMessage* message, COLORREF color, char letter) {
    const int size = TRAY_ICON_MAX;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old_bitmap = SelectObject(dc, bitmap);
    std::memset(bits, 0, size * size * 4);

    HBRUSH brush = CreateSolidBrush(color);
    HPEN pen = CreatePen(PS_SOLID, 2,
                         RGB(GetRValue(color) / 2, GetGValue(color) / 2, GetBValue(color) / 2));
    HGDIOBJ old_brush = SelectObject(dc, brush);
    HGDIOBJ old_pen = SelectObject(dc, pen);
    RoundRect(dc, 1, 1, size - 1, size - 1, 10, 10);
    HFONT font = CreateFontA(-22, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                             NONANTIALIASED_QUALITY, 0, "Tahoma");
    HGDIOBJ old_font = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    RECT all = {0, 0, size, size};
    DrawTextA(dc, &letter, 1, &all, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    GdiFlush();

    // GDI leaves alpha at 0: whatever was drawn becomes opaque.
    const uint32_t* pixels = static_cast<const uint32_t*>(bits);
    for (int i = 0; i < size * size; ++i)
        message->icon_pixels[i] = pixels[i] ? (pixels[i] | 0xff000000u) : 0;
    message->icon_size = size;

    SelectObject(dc, old_font);
    SelectObject(dc, old_pen);
    SelectObject(dc, old_brush);
    SelectObject(dc, old_bitmap);
    DeleteObject(font);
    DeleteObject(pen);
    DeleteObject(brush);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

std::string Unescaped(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            out += "\r\n";
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool SendToHost(ULONG_PTR operation, const TrayMessage& message) {
    COPYDATASTRUCT data = {operation, sizeof message, const_cast<TrayMessage*>(&message)};
    return SendMessageA(Host(), WM_COPYDATA, reinterpret_cast<WPARAM>(tray_window),
                        reinterpret_cast<LPARAM>(&data)) != 0;
}

// The owner window of each entry this program put into the tray, by ID.
std::map<unsigned, HWND> owners;

HWND OwnerOf(unsigned id) {
    const auto found = owners.find(id);
    return found == owners.end() ? tray_window : found->second;
}

TrayMessage* NewMessage(unsigned id, HWND owner) {
    static TrayMessage message;
    message = TrayMessage{};
    message.owner = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(owner));
    message.id = id;
    return &message;
}

// "ID #rrggbb LETTER TIP"
bool AddEntry(const std::string& entry, HWND owner = tray_window) {
    unsigned id = 0;
    char color_text[8] = "", letter = '?';
    int tip_start = 0;
    if (std::sscanf(entry.c_str(), "%u #%6s %c %n", &id, color_text, &letter, &tip_start) < 3 ||
        !tip_start || owners.count(id))
        return false;
    const unsigned long rgb = std::strtoul(color_text, nullptr, 16);
    TrayMessage* message = NewMessage(id, owner);
    message->fields = TRAY_FIELD_MESSAGE | TRAY_FIELD_ICON | TRAY_FIELD_TIP;
    message->callback_message = WM_TRAY_CALLBACK;
    DrawIcon(message, RGB((rgb >> 16) & 0xff, (rgb >> 8) & 0xff, rgb & 0xff), letter);
    lstrcpynA(message->tip, Unescaped(entry.substr(tip_start)).c_str(), sizeof message->tip);
    if (!SendToHost(COPYDATA_TRAY_ADD, *message)) return false;
    owners[id] = owner;
    return true;
}

bool ChangeTip(unsigned id, const std::string& tip) {
    TrayMessage* message = NewMessage(id, OwnerOf(id));
    message->fields = TRAY_FIELD_TIP;
    lstrcpynA(message->tip, Unescaped(tip).c_str(), sizeof message->tip);
    return SendToHost(COPYDATA_TRAY_MODIFY, *message);
}

bool DeleteEntry(unsigned id) {
    if (!SendToHost(COPYDATA_TRAY_DELETE, *NewMessage(id, OwnerOf(id)))) return false;
    owners.erase(id);
    return true;
}

void DeleteAll() {
    for (const auto& entry : owners)
        SendToHost(COPYDATA_TRAY_DELETE, *NewMessage(entry.first, entry.second));
    owners.clear();
}

// Handles every message already posted to this program, the tray callbacks
// above all, before a command that ends a window or the program.
void HandlePosted() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        DispatchMessageA(&message);
    }
}

HWND OpenOwnerWindow() {
    return CreateWindowExA(WS_EX_TOOLWINDOW, OWNER_CLASS_NAME, name.c_str(), WS_POPUP, 0, 0, 0, 0,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

HWND ParseWindow(const char* text, int* end) {
    unsigned handle = 0;
    *end = 0;
    if (std::sscanf(text, "%x %n", &handle, end) < 1 || !*end) return nullptr;
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(handle));
}

// An owner window of this program other than its main window.
bool IsOwnWindow(HWND window) {
    char class_name[64];
    return window != tray_window && IsWindow(window) &&
           GetClassNameA(window, class_name, sizeof class_name) &&
           std::strcmp(class_name, OWNER_CLASS_NAME) == 0 &&
           GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

// Destroys an owner window; its entries stay in the tray with a dead owner.
bool CloseOwnerWindow(HWND window) {
    if (!IsOwnWindow(window)) return false;
    HandlePosted();
    for (auto entry = owners.begin(); entry != owners.end();)
        entry = entry->second == window ? owners.erase(entry) : std::next(entry);
    return DestroyWindow(window) != 0;
}

LRESULT RunCommand(const std::string& command) {
    int start = 0;
    if (command.compare(0, 4, "add ") == 0) return AddEntry(command.substr(4));
    if (command.compare(0, 6, "addto ") == 0) {
        HWND owner = ParseWindow(command.c_str() + 6, &start);
        return owner && (owner == tray_window || IsOwnWindow(owner)) &&
               AddEntry(command.substr(6 + start), owner);
    }
    if (command.compare(0, 4, "tip ") == 0) {
        unsigned id = 0;
        if (std::sscanf(command.c_str() + 4, "%u %n", &id, &start) < 1 || !start) return false;
        return ChangeTip(id, command.substr(4 + start));
    }
    if (command.compare(0, 7, "delete ") == 0) return DeleteEntry(std::atoi(command.c_str() + 7));
    if (command == "window") return reinterpret_cast<LRESULT>(OpenOwnerWindow());
    if (command.compare(0, 6, "close ") == 0) {
        HWND window = ParseWindow(command.c_str() + 6, &start);
        return window && CloseOwnerWindow(window);
    }
    if (command == "received") {
        HandlePosted();
        return 1 + callbacks_logged;
    }
    if (command == "quit" || command == "vanish") {
        HandlePosted();
        vanish = command == "vanish";
        PostQuitMessage(0);
        return true;
    }
    return false;
}

LRESULT CALLBACK TrayWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TRAY_CALLBACK) {
        std::fprintf(log_file, "%s id=%u %s\n", name.c_str(), static_cast<unsigned>(wParam),
                     MouseText(lParam).c_str());
        std::fflush(log_file);
        ++callbacks_logged;
        return 0;
    }
    if (message == WM_COPYDATA && window == tray_window) {
        const COPYDATASTRUCT* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (data->dwData != COPYDATA_TRAYAPP_COMMAND || !data->cbData) return FALSE;
        const char* text = static_cast<const char*>(data->lpData);
        return RunCommand(std::string(text, strnlen(text, data->cbData)));
    }
    if (message == WM_CLOSE && window == tray_window) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool WaitForHost() {
    const DWORD start = GetTickCount();
    while (!Host()) {
        if (GetTickCount() - start > HOST_WAIT_MS) return false;
        Sleep(50);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> entries;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-name" && i + 1 < argc)
            name = argv[++i];
        else if (arg == "-log" && i + 1 < argc) {
            if (!(log_file = std::fopen(argv[++i], "w"))) return 2;
        } else
            entries.push_back(arg);
    }
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = TrayWndProc;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = TRAYAPP_CLASS_NAME;
    RegisterClassA(&window_class);
    window_class.lpszClassName = OWNER_CLASS_NAME;
    RegisterClassA(&window_class);
    window_class.lpszClassName = TRAYAPP_CLASS_NAME;
    tray_window = CreateWindowExA(WS_EX_TOOLWINDOW, TRAYAPP_CLASS_NAME, name.c_str(), WS_POPUP, 0,
                                  0, 0, 0, nullptr, nullptr, window_class.hInstance, nullptr);
    if (!tray_window || !WaitForHost()) {
        std::fprintf(stderr, "trayapp %s: no host window\n", name.c_str());
        return 1;
    }
    for (const std::string& entry : entries)
        if (!AddEntry(entry))
            std::fprintf(stderr, "trayapp %s: cannot add \"%s\"\n", name.c_str(), entry.c_str());
    std::printf("ready %s\n", name.c_str());
    std::fflush(stdout);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    if (vanish) ExitProcess(0);
    DeleteAll();
    return 0;
}
