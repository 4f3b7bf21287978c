// The host command language: commands from a script file, from -exec (a
// second invocation hands them over with WM_COPYDATA) or from the tests,
// queued and run one after another on the host's thread. Every command is
// logged as "run ..." when it starts and "done ..." when it has finished;
// "wait", "idle", "screenshot" and "await" finish later, from a timer.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <string>

#include "devhost/log/escape.h"
#include "devhost/log/log.h"
#include "devhost/measure/measure.h"
#include "devhost/shell/protocol.h"
#include "devhost/shell/shell.h"
#include "devhost/stress/stress.h"
#include "devhost/systray/systray.h"
#include "host/host.h"

std::string style_file;

namespace {

constexpr UINT_PTR TIMER_WAIT = 1;
constexpr UINT_PTR TIMER_SCREENSHOT = 2;
constexpr UINT_PTR TIMER_AWAIT = 3;
// How long a second invocation waits for the running host to take a command.
constexpr UINT FORWARD_TIMEOUT_MS = 10000;

std::deque<std::string> commands;
bool command_running;  // also while a command waits or a message box is open
std::string pending;   // the waiting command, logged as done when its timer fires
std::string screenshot_path;

BOOL CALLBACK UpdateOne(HWND window, LPARAM) {
    UpdateWindow(window);
    return TRUE;
}

void Broadcast(const std::string& text) {
    const int delivered =
        Deliver(MSG_BROADCAST, 0, reinterpret_cast<LPARAM>(const_cast<char*>(text.c_str())));
    Log("broadcast \"%s\" to=%d", Escaped(text).c_str(), delivered);
}

void Reconfigure(const std::string&) {
    LoadStyles(style_file);
    Log("reconfigure to=%d", Deliver(MSG_RECONFIGURE, 0, 0));
}

void SwitchStyle(const std::string& file) {
    style_file = file;
    LoadStyles(style_file);
}

// The commands that finish later return true from these.
bool Wait(const std::string& milliseconds) {
    SetTimer(GetBBWnd(), TIMER_WAIT, std::atoi(milliseconds.c_str()), nullptr);
    return true;
}

// A timer's message comes only when the thread's queue holds no other
// message: "idle" finishes once the host has handled everything queued
// before it, the input its key and mouse commands sent and the paints they
// caused included, and has waited for messages, which is when Wine puts what
// its windows painted on the screen.
bool Idle(const std::string&) {
    SetTimer(GetBBWnd(), TIMER_WAIT, USER_TIMER_MINIMUM, nullptr);
    return true;
}

// Paints what is waiting to be painted and saves the screen once the host is
// idle. Another process's windows reach the screen in that process's time:
// whoever needs a picture takes it again until it shows.
bool Screenshot(const std::string& path) {
    EnumThreadWindows(GetCurrentThreadId(), UpdateOne, 0);
    screenshot_path = path;
    SetTimer(GetBBWnd(), TIMER_SCREENSHOT, USER_TIMER_MINIMUM, nullptr);
    return true;
}

bool Await(const std::string& arguments) {
    if (!StartAwait(arguments)) return false;
    SetTimer(GetBBWnd(), TIMER_AWAIT, AWAIT_POLL_MS, nullptr);
    return true;
}

struct Verb {
    const char* name;
    void (*run)(const std::string& argument);
    bool (*start)(const std::string& argument);  // instead of run: finishes later
};

const Verb VERBS[] = {
    {"broadcast", Broadcast, nullptr},
    {"reconfigure", Reconfigure, nullptr},
    {"wait", nullptr, Wait},
    {"idle", nullptr, Idle},
    {"screenshot", nullptr, Screenshot},
    {"await", nullptr, Await},
    {"script", QueueScript, nullptr},
    {"style", SwitchStyle, nullptr},
    {"load", LoadPlugin, nullptr},
    {"unload", UnloadPlugin, nullptr},
    {"restart", RestartPlugin, nullptr},
    {"tray", [](const std::string&) { LogTray(); }, nullptr},
    {"purge", [](const std::string&) { TrayPurge(); }, nullptr},
    {"key", PressKeys, nullptr},
    {"mouse", UseMouse, nullptr},
    {"window", LogWindow, nullptr},
    {"stress", RunStress, nullptr},
    {"perf", RunPerf, nullptr},
    {"quit", [](const std::string&) { Quit(); }, nullptr},
};

// The verb of command, followed by nothing or by white space.
const Verb* FindVerb(const std::string& command) {
    for (const Verb& verb : VERBS) {
        const size_t length = std::strlen(verb.name);
        if (command.compare(0, length, verb.name) == 0 &&
            (command.size() == length || command[length] == ' ' || command[length] == '\t'))
            return &verb;
    }
    return nullptr;
}

std::string Argument(const std::string& command, size_t verb_length) {
    const size_t start = command.find_first_not_of(" \t", verb_length);
    return start == std::string::npos ? std::string() : command.substr(start);
}

// Runs one command; true when it finishes later, from a timer.
bool Run(const std::string& command) {
    if (command.empty() || command[0] == '#') return false;
    if (command[0] == '@') {
        Broadcast(command);
        return false;
    }
    const Verb* verb = FindVerb(command);
    if (!verb) {
        Log("error unknown command \"%s\"", Escaped(command).c_str());
        return false;
    }
    const std::string argument = Argument(command, std::strlen(verb->name));
    if (verb->start) return verb->start(argument);
    verb->run(argument);
    return false;
}

void Finish(const std::string& command) {
    Log("done %s", Escaped(command).c_str());
    command_running = false;
}

}  // namespace

void Queue(const std::string& command) {
    commands.push_back(command);
    PostMessageA(GetBBWnd(), WM_RUN_COMMANDS, 0, 0);
}

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

void OnCommandTimer(UINT_PTR timer) {
    if (timer == TIMER_AWAIT && !AwaitOver()) return;
    KillTimer(GetBBWnd(), timer);
    if (timer == TIMER_SCREENSHOT) {
        const bool saved = SaveScreen(screenshot_path);
        Log("screenshot %s %s", saved ? "saved" : "failed", screenshot_path.c_str());
    }
    Finish(pending);
    RunCommands();
}

LRESULT OnCommandData(const COPYDATASTRUCT* data) {
    if (data->dwData != COPYDATA_COMMAND || data->cbData == 0) return FALSE;
    const char* text = static_cast<const char*>(data->lpData);
    Queue(std::string(text, strnlen(text, data->cbData)));
    return TRUE;
}

void ClearCommands() { commands.clear(); }

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
