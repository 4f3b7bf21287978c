// blackbox.exe, the stand-in host: a hidden main window that keeps the
// plug-ins' message registrations, a tray fed by other processes, the style
// items and rc reading of host/host.h, plug-ins loaded from the command line,
// and host commands from a script file or from a second invocation:
//
//   blackbox.exe [-log FILE] [-style FILE] [-script FILE] PLUGIN.dll...
//   blackbox.exe -exec "COMMAND" [-exec "COMMAND"...]
//
// The commands are listed in the README; every one is logged as "run ..."
// when it starts and "done ..." when it has finished.
#include "host/host.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "devhost/devhost.h"

namespace {

constexpr UINT WM_RUN_COMMANDS = WM_APP + 1;
constexpr UINT_PTR TIMER_WAIT = 1;
constexpr UINT_PTR TIMER_SCREENSHOT = 2;
// Time for the window system to put freshly painted windows on the screen.
constexpr UINT SCREENSHOT_DELAY_MS = 150;
// How long a second invocation waits for the running host to take a command.
constexpr UINT FORWARD_TIMEOUT_MS = 10000;

FILE* log_file = stdout;
HWND host_window;
std::string style_file;
int failed_starts;
int purge_requests;

// Windows registered per host message, in registration order.
std::map<UINT, std::vector<HWND>> registrations;

struct Plugin {
    std::string path;
    std::string name;
    HMODULE module;
    int (*begin)(HINSTANCE);
    void (*end)(HINSTANCE);
    const char* (*info)(int);
};
std::vector<Plugin> plugins;

std::deque<std::string> commands;
bool command_running;  // also while a command waits or a message box is open
std::string pending;   // the waiting command, logged as done when its timer fires
std::string screenshot_path;

std::string Hex(HWND window) {
    char text[16];
    std::snprintf(text, sizeof text, "%#x",
                  static_cast<unsigned>(reinterpret_cast<uintptr_t>(window)));
    return text;
}

// ---- registrations and delivery ---------------------------------------------

std::string MessageListText(const int* list) {
    std::string text;
    for (int i = 0; list && list[i] && i < 64; ++i)
        text += (text.empty() ? "" : ",") + std::to_string(list[i]);
    return text;
}

void Register(HWND window, const int* list) {
    for (int i = 0; list && list[i] && i < 64; ++i) {
        std::vector<HWND>& windows = registrations[list[i]];
        if (std::find(windows.begin(), windows.end(), window) == windows.end())
            windows.push_back(window);
    }
    Log("register hwnd=%s msgs=%s", Hex(window).c_str(), MessageListText(list).c_str());
}

void Unregister(HWND window, const int* list) {
    for (int i = 0; list && list[i] && i < 64; ++i) {
        std::vector<HWND>& windows = registrations[list[i]];
        windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
    }
    Log("unregister hwnd=%s msgs=%s", Hex(window).c_str(), MessageListText(list).c_str());
}

int RegisteredWindows() {
    int count = 0;
    for (const auto& entry : registrations) count += static_cast<int>(entry.second.size());
    return count;
}

// ---- plug-ins ----------------------------------------------------------------

std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void ReportFailedStart(const std::string& path, const char* reason) {
    ++failed_starts;
    Log("plugin failed %s: %s", path.c_str(), reason);
    std::fprintf(stderr, "blackbox: plug-in %s failed to start: %s\n", path.c_str(), reason);
}

// What is left of a stopped plug-in: its windows (top-level ones of its class
// name, anywhere) and its class.
void LogLeftovers(const Plugin& plugin) {
    int windows = 0;
    for (HWND w = FindWindowA(plugin.name.c_str(), nullptr); w && windows < 100;
         w = FindWindowExA(nullptr, w, plugin.name.c_str(), nullptr))
        ++windows;
    WNDCLASSA window_class;
    const int has_class = GetClassInfoA(reinterpret_cast<HINSTANCE>(plugin.module),
                                        plugin.name.c_str(), &window_class) != 0;
    Log("plugin stopped %s windows=%d class=%d registered=%d", plugin.name.c_str(), windows,
        has_class, RegisteredWindows());
}

// An exported function of the module, of the type the plug-in interface gives it.
template <typename Function>
Function Export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

void LoadPlugin(const std::string& path) {
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module) {
        char reason[64];
        std::snprintf(reason, sizeof reason, "cannot load (error %lu)", GetLastError());
        ReportFailedStart(path, reason);
        return;
    }
    Plugin plugin = {path, BaseName(path), module, nullptr, nullptr, nullptr};
    plugin.begin = Export<int (*)(HINSTANCE)>(module, "beginPlugin");
    plugin.end = Export<void (*)(HINSTANCE)>(module, "endPlugin");
    plugin.info = Export<const char* (*)(int)>(module, "pluginInfo");
    if (!plugin.begin || !plugin.end || !plugin.info) {
        ReportFailedStart(path, "not a plug-in (beginPlugin, endPlugin or pluginInfo missing)");
        FreeLibrary(module);
        return;
    }
    plugin.name = plugin.info(1);
    const int result = plugin.begin(reinterpret_cast<HINSTANCE>(module));
    if (result != 0) {
        char reason[64];
        std::snprintf(reason, sizeof reason, "beginPlugin returned %d", result);
        ReportFailedStart(path, reason);
        FreeLibrary(module);
        return;
    }
    Log("plugin started %s %s by %s", plugin.name.c_str(), plugin.info(2), plugin.info(3));
    plugins.push_back(plugin);
}

Plugin* FindPlugin(const std::string& name) {
    for (Plugin& plugin : plugins)
        if (_stricmp(plugin.name.c_str(), name.c_str()) == 0 || plugin.path == name) return &plugin;
    return nullptr;
}

void UnloadPlugin(const std::string& name) {
    Plugin* found = FindPlugin(name);
    if (!found) {
        Log("error no plug-in %s", name.c_str());
        return;
    }
    const Plugin plugin = *found;
    plugins.erase(plugins.begin() + (found - plugins.data()));
    plugin.end(reinterpret_cast<HINSTANCE>(plugin.module));
    LogLeftovers(plugin);
    FreeLibrary(plugin.module);
}

// Stops and starts a plug-in without unloading its module, so that its
// global state carries over from the stop to the start.
void RestartPlugin(const std::string& name) {
    Plugin* plugin = FindPlugin(name);
    if (!plugin) {
        Log("error no plug-in %s", name.c_str());
        return;
    }
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(plugin->module);
    plugin->end(instance);
    LogLeftovers(*plugin);
    const int result = plugin->begin(instance);
    Log("plugin restarted %s result=%d", plugin->name.c_str(), result);
}

void UnloadAll() {
    while (!plugins.empty()) UnloadPlugin(plugins.back().name);
}

// ---- screenshots -------------------------------------------------------------

BOOL CALLBACK UpdateOne(HWND window, LPARAM) {
    UpdateWindow(window);
    return TRUE;
}

// The whole screen as a 24-bit bottom-up BMP file.
bool SaveScreen(const std::string& path) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool saved = false;
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
        GdiFlush();
        SelectObject(memory, old);
        const DWORD stride = (width * 3 + 3) & ~3;
        const DWORD image_size = stride * height;
        BITMAPFILEHEADER file_header = {};
        file_header.bfType = 0x4d42;  // "BM"
        file_header.bfOffBits = sizeof file_header + sizeof info.bmiHeader;
        file_header.bfSize = file_header.bfOffBits + image_size;
        info.bmiHeader.biSizeImage = image_size;
        if (FILE* file = std::fopen(path.c_str(), "wb")) {
            saved = std::fwrite(&file_header, sizeof file_header, 1, file) == 1 &&
                    std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, file) == 1 &&
                    std::fwrite(bits, image_size, 1, file) == 1;
            saved = std::fclose(file) == 0 && saved;
        }
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved;
}

// ---- commands ----------------------------------------------------------------

std::string Argument(const std::string& command, size_t verb_length) {
    size_t start = command.find_first_not_of(" \t", verb_length);
    return start == std::string::npos ? std::string() : command.substr(start);
}

bool Is(const std::string& command, const char* verb) {
    const size_t length = std::strlen(verb);
    return command.compare(0, length, verb) == 0 &&
           (command.size() == length || command[length] == ' ' || command[length] == '\t');
}

void Broadcast(const std::string& text) {
    const int delivered =
        Deliver(MSG_BROADCAST, 0, reinterpret_cast<LPARAM>(const_cast<char*>(text.c_str())));
    Log("broadcast \"%s\" to=%d", Escaped(text).c_str(), delivered);
}

void Quit() {
    commands.clear();  // nothing runs after quit
    UnloadAll();
    ClearTray();
    DestroyWindow(host_window);
}

void Queue(const std::string& command);

// Queues the commands of a script file, one a line; "#" lines are comments.
void QueueScript(const std::string& path) {
    std::ifstream script(path);
    if (!script) {
        Log("error cannot read script %s", path.c_str());
        return;
    }
    std::string line;
    while (std::getline(script, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (!line.empty() && line[0] != '#') Queue(line);
    }
}

// Runs one command; true when it finishes later, from a timer.
bool Run(const std::string& command) {
    if (command.empty() || command[0] == '#') return false;
    if (command[0] == '@') {
        Broadcast(command);
    } else if (Is(command, "broadcast")) {
        Broadcast(Argument(command, 9));
    } else if (Is(command, "reconfigure")) {
        LoadStyles(style_file);
        Log("reconfigure to=%d", Deliver(MSG_RECONFIGURE, 0, 0));
    } else if (Is(command, "wait")) {
        SetTimer(host_window, TIMER_WAIT, std::atoi(Argument(command, 4).c_str()), nullptr);
        return true;
    } else if (Is(command, "screenshot")) {
        // Paint what is waiting to be painted, then give it time to show.
        EnumThreadWindows(GetCurrentThreadId(), UpdateOne, 0);
        screenshot_path = Argument(command, 10);
        SetTimer(host_window, TIMER_SCREENSHOT, SCREENSHOT_DELAY_MS, nullptr);
        return true;
    } else if (Is(command, "script")) {
        QueueScript(Argument(command, 6));
    } else if (Is(command, "style")) {
        style_file = Argument(command, 5);
        LoadStyles(style_file);
    } else if (Is(command, "load")) {
        LoadPlugin(Argument(command, 4));
    } else if (Is(command, "unload")) {
        UnloadPlugin(Argument(command, 6));
    } else if (Is(command, "restart")) {
        RestartPlugin(Argument(command, 7));
    } else if (Is(command, "tray")) {
        LogTray();
    } else if (Is(command, "purge")) {
        TrayPurge();
    } else if (Is(command, "stress")) {
        RunStress(Argument(command, 6));
    } else if (Is(command, "perf")) {
        RunPerf(Argument(command, 4));
    } else if (Is(command, "quit")) {
        Quit();
    } else {
        Log("error unknown command \"%s\"", Escaped(command).c_str());
    }
    return false;
}

void Finish(const std::string& command) {
    Log("done %s", Escaped(command).c_str());
    command_running = false;
}

// Runs queued commands until one has to wait. A modal message box opened by a
// plug-in runs this thread's messages, so this can be entered again while a
// command runs; the flag keeps the commands in order.
void RunCommands() {
    while (!command_running && !commands.empty()) {
        const std::string command = commands.front();
        commands.pop_front();
        command_running = true;
        Log("run %s", Escaped(command).c_str());
        if (Run(command)) {
            pending = command;
            return;
        }
        Finish(command);
    }
}

void Queue(const std::string& command) {
    commands.push_back(command);
    PostMessageA(host_window, WM_RUN_COMMANDS, 0, 0);
}

void OnTimer(UINT_PTR timer) {
    KillTimer(host_window, timer);
    if (timer == TIMER_SCREENSHOT) {
        const bool saved = SaveScreen(screenshot_path);
        Log("screenshot %s %s", saved ? "saved" : "failed", screenshot_path.c_str());
    }
    Finish(pending);
    RunCommands();
}

LRESULT OnCopyData(const COPYDATASTRUCT* data) {
    switch (data->dwData) {
        case COPYDATA_TRAY_ADD:
        case COPYDATA_TRAY_MODIFY:
        case COPYDATA_TRAY_DELETE: {
            if (data->cbData != sizeof(TrayMessage)) return FALSE;
            TrayMessage message;
            std::memcpy(&message, data->lpData, sizeof message);
            message.tip[sizeof message.tip - 1] = '\0';
            if (data->dwData == COPYDATA_TRAY_ADD) return TrayAdd(message);
            if (data->dwData == COPYDATA_TRAY_MODIFY) return TrayModify(message);
            return TrayDelete(message);
        }
        case COPYDATA_COMMAND: {
            if (data->cbData == 0) return FALSE;
            const char* text = static_cast<const char*>(data->lpData);
            Queue(std::string(text, strnlen(text, data->cbData)));
            return TRUE;
        }
    }
    return FALSE;
}

LRESULT CALLBACK HostWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case MSG_REGISTER:
            Register(reinterpret_cast<HWND>(wParam), reinterpret_cast<const int*>(lParam));
            return 0;
        case MSG_UNREGISTER:
            Unregister(reinterpret_cast<HWND>(wParam), reinterpret_cast<const int*>(lParam));
            return 0;
        case MSG_TRAY_PURGE:
            ++purge_requests;
            TrayPurge();
            return 0;
        case WM_COPYDATA:
            return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        case WM_RUN_COMMANDS:
            RunCommands();
            return 0;
        case WM_TIMER:
            OnTimer(wParam);
            return 0;
        case WM_CLOSE:
            Quit();
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// ---- start -------------------------------------------------------------------

// The second invocation: hands each command to the running host and exits.
int ForwardCommands(const std::vector<std::string>& texts) {
    HWND host = FindWindowA(HOST_CLASS_NAME, nullptr);
    if (!host) {
        std::fprintf(stderr, "blackbox: no running blackbox.exe to send the command to\n");
        return 1;
    }
    for (const std::string& text : texts) {
        COPYDATASTRUCT data = {COPYDATA_COMMAND, static_cast<DWORD>(text.size() + 1),
                               const_cast<char*>(text.c_str())};
        DWORD_PTR taken = 0;
        if (!SendMessageTimeoutA(host, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                                 SMTO_ABORTIFHUNG, FORWARD_TIMEOUT_MS, &taken) ||
            !taken) {
            std::fprintf(stderr, "blackbox: the running host refused \"%s\"\n", text.c_str());
            return 1;
        }
    }
    return 0;
}

bool CreateHostWindow(HINSTANCE instance) {
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = HostWndProc;
    window_class.hInstance = instance;
    window_class.lpszClassName = HOST_CLASS_NAME;
    if (!RegisterClassA(&window_class)) return false;
    host_window = CreateWindowExA(WS_EX_TOOLWINDOW, HOST_CLASS_NAME, "blackbox", WS_POPUP, 0, 0, 0,
                                  0, nullptr, nullptr, instance, nullptr);
    return host_window != nullptr;
}

}  // namespace

void Log(const char* format, ...) {
    char text[2048];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    std::fprintf(log_file, "%s\n", text);
    std::fflush(log_file);
}

// A copy of the list, since a receiver may unregister while it runs. Windows
// that died are dropped.
int Deliver(UINT message, WPARAM wParam, LPARAM lParam) {
    const std::vector<HWND> windows = registrations[message];
    int delivered = 0;
    for (HWND window : windows) {
        if (!IsWindow(window)) {
            std::vector<HWND>& live = registrations[message];
            live.erase(std::remove(live.begin(), live.end(), window), live.end());
            continue;
        }
        SendMessageA(window, message, wParam, lParam);
        ++delivered;
    }
    return delivered;
}

std::vector<HWND> WindowsRegisteredFor(UINT message) {
    const auto found = registrations.find(message);
    return found == registrations.end() ? std::vector<HWND>() : found->second;
}

bool FirstPlugin(HMODULE* module, std::string* path) {
    if (plugins.empty()) return false;
    *module = plugins.front().module;
    *path = plugins.front().path;
    return true;
}

int PurgeRequests() { return purge_requests; }

// A quit that arrives meanwhile is posted again for the main loop.
void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

extern "C" HWND GetBBWnd() { return host_window; }

int main(int argc, char** argv) {
    std::vector<std::string> forward, plugin_paths;
    std::string log_path, script_path;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool has_value = i + 1 < argc;
        if (arg == "-exec" && has_value)
            forward.push_back(argv[++i]);
        else if (arg == "-log" && has_value)
            log_path = argv[++i];
        else if (arg == "-style" && has_value)
            style_file = argv[++i];
        else if (arg == "-script" && has_value)
            script_path = argv[++i];
        else if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr,
                         "usage: blackbox.exe [-log FILE] [-style FILE] [-script FILE] "
                         "PLUGIN.dll...\n       blackbox.exe -exec COMMAND...\n");
            return 2;
        } else
            plugin_paths.push_back(arg);
    }
    if (!forward.empty()) return ForwardCommands(forward);

    if (!log_path.empty() && !(log_file = std::fopen(log_path.c_str(), "w"))) {
        std::fprintf(stderr, "blackbox: cannot write %s\n", log_path.c_str());
        return 2;
    }
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!CreateHostWindow(instance)) {
        Log("error cannot create the host window");
        return 2;
    }
    LoadStyles(style_file);
    for (const std::string& path : plugin_paths) LoadPlugin(path);
    Log("ready hwnd=%s plugins=%d failed=%d", Hex(host_window).c_str(),
        static_cast<int>(plugins.size()), failed_starts);
    if (!script_path.empty()) QueueScript(script_path);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    Log("exit failed=%d", failed_starts);
    return failed_starts ? 1 : 0;
}
