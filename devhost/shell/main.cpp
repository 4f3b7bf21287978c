// blackbox.exe, the stand-in host: a hidden main window that keeps the
// plug-ins' message registrations, the system tray that programs reach with
// Shell_NotifyIcon, the style items and rc reading of host/host.h, plug-ins
// loaded from the command line, and host commands from a script file or
// from a second invocation:
//
//   blackbox.exe [-log FILE] [-style FILE] [-script FILE] PLUGIN.dll...
//   blackbox.exe -exec "COMMAND" [-exec "COMMAND"...]
#include <cstdio>
#include <string>
#include <vector>

#include "devhost/log/log.h"
#include "devhost/shell/protocol.h"
#include "devhost/shell/shell.h"
#include "devhost/systray/systray.h"
#include "host/host.h"

namespace {

HWND host_window;

LRESULT CALLBACK HostWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case MSG_REGISTER:
            Register(reinterpret_cast<HWND>(wParam), reinterpret_cast<const int*>(lParam));
            return 0;
        case MSG_UNREGISTER:
            Unregister(reinterpret_cast<HWND>(wParam), reinterpret_cast<const int*>(lParam));
            return 0;
        case MSG_TRAY_PURGE:
            OnPurgeRequest();
            return 0;
        case WM_COPYDATA:
            return OnCommandData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        case WM_RUN_COMMANDS:
            RunCommands();
            return 0;
        case WM_TIMER:
            OnCommandTimer(wParam);
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

struct Arguments {
    std::vector<std::string> forward, plugins;
    std::string log_path, script_path;
};

bool ParseArguments(int argc, char** argv, Arguments* arguments) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool has_value = i + 1 < argc;
        if (arg == "-exec" && has_value)
            arguments->forward.push_back(argv[++i]);
        else if (arg == "-log" && has_value)
            arguments->log_path = argv[++i];
        else if (arg == "-style" && has_value)
            style_file = argv[++i];
        else if (arg == "-script" && has_value)
            arguments->script_path = argv[++i];
        else if (!arg.empty() && arg[0] == '-')
            return false;
        else
            arguments->plugins.push_back(arg);
    }
    return true;
}

BOOL CALLBACK AppendMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor, &info)) return TRUE;
    const RECT& r = info.rcMonitor;
    char text[64];
    std::snprintf(text, sizeof text, " %ld,%ld,%ld,%ld", r.left, r.top, r.right - r.left,
                  r.bottom - r.top);
    *reinterpret_cast<std::string*>(list) += text;
    return TRUE;
}

// The monitors as the system reports them, "monitors LEFT,TOP,WIDTH,HEIGHT...":
// what a session on a screen of several monitors can expect of the system.
void LogMonitors() {
    std::string list;
    EnumDisplayMonitors(nullptr, nullptr, AppendMonitor, reinterpret_cast<LPARAM>(&list));
    Log("monitors%s", list.c_str());
}

}  // namespace

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

void Quit() {
    ClearCommands();  // nothing runs after quit
    UnloadAll();
    StopSystemTray();
    ClearTray();
    DestroyWindow(host_window);
}

extern "C" HWND GetBBWnd() { return host_window; }

int main(int argc, char** argv) {
    Arguments arguments;
    if (!ParseArguments(argc, argv, &arguments)) {
        std::fprintf(stderr,
                     "usage: blackbox.exe [-log FILE] [-style FILE] [-script FILE] PLUGIN.dll...\n"
                     "       blackbox.exe -exec COMMAND...\n");
        return 2;
    }
    if (!arguments.forward.empty()) return ForwardCommands(arguments.forward);

    if (!arguments.log_path.empty() && !LogToFile(arguments.log_path)) {
        std::fprintf(stderr, "blackbox: cannot write %s\n", arguments.log_path.c_str());
        return 2;
    }
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!CreateHostWindow(instance)) {
        Log("error cannot create the host window");
        return 2;
    }
    if (!StartSystemTray(instance)) {
        std::fprintf(stderr, "blackbox: cannot be the system tray (see the log)\n");
        return 2;
    }
    LoadStyles(style_file);
    for (const std::string& path : arguments.plugins) LoadPlugin(path);
    LogMonitors();
    Log("ready hwnd=%s plugins=%d failed=%d", Hex(host_window).c_str(), LoadedPlugins(),
        FailedStarts());
    if (!arguments.script_path.empty()) QueueScript(arguments.script_path);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    Log("exit failed=%d", FailedStarts());
    return FailedStarts() ? 1 : 0;
}
