// listener.exe CLASS: the end-to-end tests' screen reader, a process of its
// own. It hooks the focus and name-change events of every process out of
// context, as accessibility clients do, and for each event from a window of
// that class reads the name a screen reader would speak: the object the event
// names (AccessibleObjectFromEvent) and its name (IAccessible::get_accName),
// both answered by the system's oleacc. It writes one line per event on
// stdout, flushed at once:
//
//   ready             both hooks are in place
//   focus NAME        EVENT_OBJECT_FOCUS
//   namechange NAME   EVENT_OBJECT_NAMECHANGE
//
// NAME is UTF-8 with C escapes; "(no name)" when the object has none,
// "(no object)" when none could be had. It runs until it is stopped.
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <deque>
#include <string>

#include "devhost/log/escape.h"

namespace {

const char* watched_class = "";

std::string Utf8(const wchar_t* text, int length) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, &out[0], size, nullptr, nullptr);
    return out;
}

bool IsWatched(HWND window) {
    char class_name[256];
    return window && GetClassNameA(window, class_name, sizeof class_name) &&
           lstrcmpA(class_name, watched_class) == 0;
}

std::string AccessibleName(HWND window, LONG object, LONG child) {
    IAccessible* accessible = nullptr;
    VARIANT child_id;
    VariantInit(&child_id);
    if (FAILED(AccessibleObjectFromEvent(window, object, child, &accessible, &child_id)) ||
        !accessible)
        return "(no object)";
    BSTR name = nullptr;
    const HRESULT read = accessible->get_accName(child_id, &name);
    std::string text = read == S_OK && name ? Escaped(Utf8(name, SysStringLen(name))) : "(no name)";
    SysFreeString(name);
    VariantClear(&child_id);
    accessible->Release();
    return text;
}

struct Event {
    DWORD kind;
    HWND window;
    LONG object, child;
};
std::deque<Event> heard;
bool reading = false;

void Say(const Event& event) {
    const char* kind = event.kind == EVENT_OBJECT_FOCUS ? "focus" : "namechange";
    std::printf("%s %s\n", kind, AccessibleName(event.window, event.object, event.child).c_str());
    std::fflush(stdout);
}

// Reading a name sends the window a message and waits for its answer, and
// while it waits the next event is delivered, into this same callback. As a
// screen reader does, events are queued and read one at a time in the order
// they came; a callback that arrives during a reading only queues its event.
void CALLBACK OnEvent(HWINEVENTHOOK, DWORD kind, HWND window, LONG object, LONG child, DWORD,
                      DWORD) {
    if (!IsWatched(window)) return;
    heard.push_back({kind, window, object, child});
    if (reading) return;
    reading = true;
    while (!heard.empty()) {
        const Event event = heard.front();
        heard.pop_front();
        Say(event);
    }
    reading = false;
}

bool Hook(DWORD event) {
    return SetWinEventHook(event, event, nullptr, OnEvent, 0, 0, WINEVENT_OUTOFCONTEXT) != nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: listener CLASS\n");
        return 2;
    }
    watched_class = argv[1];
    CoInitialize(nullptr);
    if (!Hook(EVENT_OBJECT_FOCUS) || !Hook(EVENT_OBJECT_NAMECHANGE)) {
        std::fprintf(stderr, "SetWinEventHook failed: %lu\n", GetLastError());
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    // Out-of-context events arrive through this thread's message queue.
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    CoUninitialize();
    return 0;
}
