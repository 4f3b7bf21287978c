// The shell as the system tray: the window Shell_NotifyIcon finds, and its
// answer to each call. Under Wine, Shell_NotifyIconA/W send the first
// top-level window of class "Shell_TrayWnd" WM_COPYDATA with the operation
// and Wine's record (notify_record.h), synchronously and without a
// time-out, so every call is answered at once: TRUE when done, FALSE when
// refused, which the caller gets back as Shell_NotifyIcon's result. The
// tray never sends anything to the programs synchronously.
//
// Wine's own explorer.exe keeps a hidden "Shell_TrayWnd" of its own that
// takes icons silently. A topmost window comes before it in z-order, and
// the start checks that Shell_NotifyIcon finds this one.
#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "devhost/log/log.h"
#include "devhost/systray/notify_record.h"
#include "devhost/systray/systray.h"
#include "host/host.h"

namespace {

constexpr wchar_t TRAY_CLASS_NAME[] = L"Shell_TrayWnd";

HWND tray_window;
int wine_major;

const char* WineVersion() {
    using GetVersion = const char*(CDECL*)();
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    FARPROC function = ntdll ? GetProcAddress(ntdll, "wine_get_version") : nullptr;
    return function ? reinterpret_cast<GetVersion>(reinterpret_cast<void (*)()>(function))()
                    : nullptr;
}

HICON MakeIcon(const NotifyIconBits& icon) {
    if (!icon.width) return nullptr;
    const std::vector<uint8_t> mask = PaddedIconPart(icon.mask, icon.mask_size, icon, 1);
    const std::vector<uint8_t> color = PaddedIconPart(icon.color, icon.color_size, icon, icon.bpp);
    return CreateIcon(nullptr, icon.width, icon.height, icon.planes, icon.bpp, mask.data(),
                      color.data());
}

HWND Owner(const NotifyRecord& record) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(record.owner));
}

// The tip in the tray's 8-bit text, the ANSI code page; line breaks stay.
void ConvertTip(const uint16_t* tip, char* text, int size) {
    if (!WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(tip), -1, text, size,
                             nullptr, nullptr))
        text[0] = '\0';
}

// An add or a modify: the fields the record names, the icon rebuilt from
// its bits.
TrayChange Change(const NotifyRecord& record, char* tip, int tip_size) {
    ConvertTip(record.tip, tip, tip_size);
    TrayChange change = {};
    change.owner = Owner(record);
    change.id = record.id;
    change.flags = record.flags;
    change.callback_message = record.callback_message;
    change.icon = (record.flags & NIF_ICON) ? MakeIcon(record.icon) : nullptr;
    change.tip = tip;
    change.state = record.state;
    change.state_mask = record.state_mask;
    return change;
}

BOOL Apply(DWORD operation, const NotifyRecord& record) {
    char tip[TRAY_TIP_CAPACITY];
    switch (operation) {
        case NIM_ADD:
            return TrayAdd(Change(record, tip, sizeof tip));
        case NIM_MODIFY:
            return TrayModify(Change(record, tip, sizeof tip));
        case NIM_DELETE:
            return TrayDelete(Owner(record), record.id);
        case NIM_SETFOCUS:
            return TrayHasIcon(Owner(record), record.id);
        case NIM_SETVERSION:
            return TraySetVersion(Owner(record), record.id, record.version);
    }
    return FALSE;
}

BOOL OnNotify(const COPYDATASTRUCT* data) {
    if (data->dwData > NIM_SETVERSION) {
        Log("tray refused operation=%lu: unknown", static_cast<unsigned long>(data->dwData));
        return FALSE;
    }
    NotifyRecord record;
    if (!DecodeNotifyRecord(data->lpData, data->cbData, wine_major, &record)) {
        Log("tray refused operation=%lu size=%lu: not a record of Wine %d",
            static_cast<unsigned long>(data->dwData), data->cbData, wine_major);
        return FALSE;
    }
    return Apply(static_cast<DWORD>(data->dwData), record);
}

LRESULT CALLBACK TrayWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) return OnNotify(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

bool StartSystemTray(HINSTANCE instance) {
    const char* version = WineVersion();
    wine_major = WineMajorVersion(version);
    WNDCLASSW window_class = {};
    window_class.lpfnWndProc = TrayWndProc;
    window_class.hInstance = instance;
    window_class.lpszClassName = TRAY_CLASS_NAME;
    if (RegisterClassW(&window_class))
        tray_window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, TRAY_CLASS_NAME, nullptr,
                                      WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    if (!tray_window) {
        Log("error cannot create the tray window");
        return false;
    }
    HWND found = FindWindowExW(nullptr, nullptr, TRAY_CLASS_NAME, nullptr);
    if (found != tray_window) {
        Log("error Shell_NotifyIcon would reach window %s, not the shell's tray %s",
            Hex(found).c_str(), Hex(tray_window).c_str());
        return false;
    }
    // Programs that started before the shell add their icons again.
    PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    Log("tray window hwnd=%s wine=%s", Hex(tray_window).c_str(), version ? version : "none");
    return true;
}

void StopSystemTray() {
    if (tray_window) DestroyWindow(tray_window);
    tray_window = nullptr;
}
