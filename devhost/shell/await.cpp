// The host command "await shown|hidden CLASS [TITLE]": holds back the
// commands after it until a top-level window of that class (and title) is
// shown, or until none is, looked for every AWAIT_POLL_MS; after
// AWAIT_TIMEOUT_MS it logs what it last saw and lets them run:
//   error await shown #32768: none shown after 20000 ms
// A script waits with it for what a command sets off in another program, a
// menu or a window opening, before it takes a screenshot of it. "#32768" is
// the class of popup menus.
#include <string>

#include "devhost/log/log.h"
#include "devhost/shell/shell.h"

namespace {

constexpr DWORD AWAIT_TIMEOUT_MS = 20000;

struct Awaited {
    bool shown = false;  // else hidden
    std::string class_name, title, text;
    DWORD start = 0;
};
Awaited awaited;

struct Search {
    const Awaited* wanted;
    HWND found;
};

// EnumWindows' callback: stops at the first shown window of the class (and
// title) the search wants.
BOOL CALLBACK FindShown(HWND window, LPARAM lParam) {
    Search* search = reinterpret_cast<Search*>(lParam);
    char class_name[256], title[256];
    if (!IsWindowVisible(window) || !GetClassNameA(window, class_name, sizeof class_name) ||
        search->wanted->class_name != class_name)
        return TRUE;
    GetWindowTextA(window, title, sizeof title);
    if (!search->wanted->title.empty() && search->wanted->title != title) return TRUE;
    search->found = window;
    return FALSE;
}

// The first shown window of the awaited class (and title); null when none is.
HWND ShownWindow() {
    Search search = {&awaited, nullptr};
    EnumWindows(FindShown, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

bool StartAwait(const std::string& arguments) {
    const size_t space = arguments.find(' ');
    const std::string state = arguments.substr(0, space);
    const std::string window = space == std::string::npos ? "" : arguments.substr(space + 1);
    if ((state != "shown" && state != "hidden") || window.empty()) {
        Log("error usage: await shown|hidden CLASS [TITLE]");
        return false;
    }
    const size_t title = window.find(' ');
    awaited.shown = state == "shown";
    awaited.class_name = window.substr(0, title);
    awaited.title = title == std::string::npos ? "" : window.substr(title + 1);
    awaited.text = arguments;
    awaited.start = GetTickCount();
    return true;
}

bool AwaitOver() {
    HWND shown = ShownWindow();
    if ((shown != nullptr) == awaited.shown) return true;
    if (GetTickCount() - awaited.start < AWAIT_TIMEOUT_MS) return false;
    Log("error await %s: %s after %lu ms", awaited.text.c_str(),
        shown ? ("window " + Hex(shown) + " shown").c_str() : "none shown",
        static_cast<unsigned long>(AWAIT_TIMEOUT_MS));
    return true;
}
