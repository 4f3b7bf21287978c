// trayapp.exe, the demo and test tray program (devhost/trayapp/trayapp.h):
//
//   trayapp.exe -name NAME -log FILE [-ansi] [-version 0|3|4] [-passive] [-foreground]
//               ENTRY...
//   ENTRY: "ID[:VERSION] #rrggbb LETTER TIP"   (a "\n" in TIP is a line break)
//
// -ansi puts the icons in with Shell_NotifyIconA (else Shell_NotifyIconW);
// -version is the notification version of entries that name none (default
// 0: none declared); -passive logs callbacks and opens nothing, for runs
// that click thousands of times; -foreground ends each callback's line with
// the window in front as it arrived: " fg=owner" (the window it came to),
// " fg=own" (another of the program's windows) or " fg=other". It prints "ready NAME" once its
// icons are in the tray, and adds them again when the tray says "TaskbarCreated".
//
// Its main window (class MarrowickDemoTray, titled NAME) takes commands
// through WM_COPYDATA (COPYDATA_TRAYAPP_COMMAND, text):
//   add ENTRY | tip ID TEXT | delete ID | quit (removes its icons) |
//   vanish (exits at once, leaving its icons behind like a crashed program)
// and, for programs with more than one owner window (the host's stress test):
//   window            opens another owner window; answers its handle
//   addto HWND ENTRY  adds an icon owned by that window (HWND in hex)
//   close HWND        destroys that window, leaving its icons behind
//   received          answers 1 + the number of callbacks logged so far
// IDs are unique within the program, whichever window owns them. Before
// received, close, quit and vanish it handles the callbacks already posted to
// it, so that none is lost to a window that goes away.
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "devhost/shell/protocol.h"
#include "devhost/trayapp/trayapp.h"

Program program;

namespace {

constexpr char OWNER_CLASS_NAME[] = "MarrowickDemoTrayOwner";

UINT taskbar_created;
bool vanish;

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
    return CreateWindowExA(WS_EX_TOOLWINDOW, OWNER_CLASS_NAME, program.name.c_str(), WS_POPUP, 0, 0,
                           0, 0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

HWND ParseWindow(const char* text, int* end) {
    unsigned long long handle = 0;
    *end = 0;
    if (std::sscanf(text, "%llx %n", &handle, end) < 1 || !*end) return nullptr;
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(handle));
}

// An owner window of this program other than its main window.
bool IsOwnWindow(HWND window) {
    char class_name[64];
    return window != program.window && IsWindow(window) &&
           GetClassNameA(window, class_name, sizeof class_name) &&
           std::strcmp(class_name, OWNER_CLASS_NAME) == 0 &&
           GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

// Destroys an owner window; its icons stay in the tray with a dead owner.
bool CloseOwnerWindow(HWND window) {
    if (!IsOwnWindow(window)) return false;
    HandlePosted();
    ForgetIconsOf(window);
    return DestroyWindow(window) != 0;
}

bool AddTo(const std::string& arguments) {
    int start = 0;
    HWND owner = ParseWindow(arguments.c_str(), &start);
    return owner && (owner == program.window || IsOwnWindow(owner)) &&
           AddIcon(arguments.substr(start), owner);
}

bool Retitle(const std::string& arguments) {
    unsigned id = 0;
    int start = 0;
    if (std::sscanf(arguments.c_str(), "%u %n", &id, &start) < 1 || !start) return false;
    return ChangeTip(id, arguments.substr(start));
}

LRESULT Exit(bool leave_icons) {
    HandlePosted();
    vanish = leave_icons;
    PostQuitMessage(0);
    return TRUE;
}

// The text after the verb when command starts with "verb ".
bool Takes(const std::string& command, const char* verb, std::string* rest) {
    const size_t length = std::strlen(verb);
    if (command.compare(0, length, verb) != 0 || command.size() <= length || command[length] != ' ')
        return false;
    *rest = command.substr(length + 1);
    return true;
}

LRESULT RunCommand(const std::string& command) {
    std::string rest;
    if (Takes(command, "add", &rest)) return AddIcon(rest, program.window);
    if (Takes(command, "addto", &rest)) return AddTo(rest);
    if (Takes(command, "tip", &rest)) return Retitle(rest);
    if (Takes(command, "delete", &rest)) return DeleteIcon(std::atoi(rest.c_str()));
    if (Takes(command, "close", &rest)) {
        int end = 0;
        HWND window = ParseWindow(rest.c_str(), &end);
        return window && CloseOwnerWindow(window);
    }
    if (command == "window") return reinterpret_cast<LRESULT>(OpenOwnerWindow());
    if (command == "received") {
        HandlePosted();
        return 1 + CallbacksLogged();
    }
    if (command == "quit" || command == "vanish") return Exit(command == "vanish");
    return FALSE;
}

LRESULT OnCommandData(const COPYDATASTRUCT* data) {
    if (data->dwData != COPYDATA_TRAYAPP_COMMAND || !data->cbData) return FALSE;
    const char* text = static_cast<const char*>(data->lpData);
    return RunCommand(std::string(text, strnlen(text, data->cbData)));
}

LRESULT CALLBACK TrayWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (OnTrayCallback(window, message, wParam, lParam)) return 0;
    if (window == program.window) {
        // Sent to every top-level window; the main window answers for all.
        if (message == taskbar_created && taskbar_created) {
            AddIconsAgain();
            return 0;
        }
        if (message == WM_COPYDATA)
            return OnCommandData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        if (message == WM_CLOSE) {
            PostQuitMessage(0);
            return 0;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool ParseArguments(int argc, char** argv, std::vector<std::string>* entries) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool has_value = i + 1 < argc;
        if (arg == "-name" && has_value) {
            program.name = argv[++i];
        } else if (arg == "-log" && has_value) {
            if (!(program.log = std::fopen(argv[++i], "w"))) return false;
        } else if (arg == "-version" && has_value) {
            program.version = std::atoi(argv[++i]);
        } else if (arg == "-ansi") {
            program.wide = false;
        } else if (arg == "-passive") {
            program.passive = true;
        } else if (arg == "-foreground") {
            program.foreground = true;
        } else {
            entries->push_back(arg);
        }
    }
    return true;
}

void RegisterClasses(HINSTANCE instance) {
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = TrayWndProc;
    window_class.hInstance = instance;
    window_class.lpszClassName = TRAYAPP_CLASS_NAME;
    RegisterClassA(&window_class);
    window_class.lpszClassName = OWNER_CLASS_NAME;
    RegisterClassA(&window_class);
    RegisterProgramWindowClass(instance);
}

}  // namespace

void LogLine(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(program.log, format, args);
    va_end(args);
    std::fputc('\n', program.log);
    std::fflush(program.log);
}

int main(int argc, char** argv) {
    std::vector<std::string> entries;
    if (!ParseArguments(argc, argv, &entries)) return 2;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    RegisterClasses(instance);
    taskbar_created = RegisterWindowMessageA("TaskbarCreated");
    program.window = CreateWindowExA(WS_EX_TOOLWINDOW, TRAYAPP_CLASS_NAME, program.name.c_str(),
                                     WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    if (!program.window) {
        std::fprintf(stderr, "trayapp %s: no window\n", program.name.c_str());
        return 1;
    }
    for (const std::string& entry : entries)
        if (!AddIcon(entry, program.window))
            std::fprintf(stderr, "trayapp %s: cannot add \"%s\"\n", program.name.c_str(),
                         entry.c_str());
    std::printf("ready %s\n", program.name.c_str());
    std::fflush(stdout);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (vanish) ExitProcess(0);
    DeleteAllIcons();
    return 0;
}
