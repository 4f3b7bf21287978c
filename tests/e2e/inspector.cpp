// inspector.exe: the end-to-end tests' hands and eyes on the Windows side, a
// process of its own. It reads one request per line on stdin and answers each
// with one line on stdout:
//
//   exec TEXT                 queue a host command        -> ok | error ...
//   window CLASS [TITLE]      first top-level window      -> none | hwnd=.. visible=.. style=..
//                                                            exstyle=.. rect=X,Y,W,H
//   foreground                the foreground window       -> class=NAME | none
//   front X Y CLASS [TITLE]   moves that window's top left to X,Y and makes it the
//                             foreground window           -> ok | none | error ...
//   minimize CLASS [TITLE]    minimizes that window       -> ok | none
//   pointer X Y               puts the mouse pointer at X,Y -> ok | error ...
//   idle CLASS [TITLE]        that window's thread has handled what came before
//                                                         -> ok | none | error busy
//   box CAPTION               a message box's text        -> none | text=...
//   press CAPTION             press its OK button         -> ok | none
//   measure FACE HEIGHT WEIGHT TEXT   DrawText's DT_CALCRECT size -> W H
//   tell NAME TEXT            a command to a tray program -> ok | error
//   menu CLASS [TITLE]        the open popup menu of the process of that top-level window
//                                                         -> none | rect=X,Y,W,H
//   escape CLASS [TITLE]      Escape posted to that menu, which its menu loop takes as the
//                             key whichever window is in front -> ok | none
//   record KIND               sends the system tray a hand-made record (tests/e2e/records.h)
//                                                         -> result=N, what the tray answered
//   screen                    the screen size             -> W H
//
// Texts are sent and answered with C escapes (\r, \n, \t, \\).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "devhost/measure/pointer.h"
#include "devhost/measure/settled.h"
#include "devhost/shell/protocol.h"
#include "tests/e2e/records.h"

namespace {

std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\\')
            out += "\\\\";
        else
            out += c;
    }
    return out;
}

std::string Unescaped(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char next = text[++i];
            out += next == 'n' ? '\n' : next == 'r' ? '\r' : next == 't' ? '\t' : next;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The text after the first word; rest(...) of "box Marrowick" is "Marrowick".
std::string Rest(const std::string& line) {
    const size_t space = line.find(' ');
    return space == std::string::npos ? std::string() : line.substr(space + 1);
}

std::string First(const std::string& text) { return text.substr(0, text.find(' ')); }

bool Send(HWND window, ULONG_PTR kind, const std::string& text) {
    COPYDATASTRUCT data = {kind, static_cast<DWORD>(text.size() + 1),
                           const_cast<char*>(text.c_str())};
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                               SMTO_ABORTIFHUNG, 5000, &result) &&
           result;
}

std::string RectText(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    char text[64];
    std::snprintf(text, sizeof text, "%ld,%ld,%ld,%ld", r.left, r.top, r.right - r.left,
                  r.bottom - r.top);
    return text;
}

std::string Describe(HWND window) {
    char text[200];
    std::snprintf(text, sizeof text, "hwnd=%#x visible=%d style=%#lx exstyle=%#lx rect=",
                  static_cast<unsigned>(reinterpret_cast<uintptr_t>(window)),
                  IsWindowVisible(window) ? 1 : 0, GetWindowLongA(window, GWL_STYLE),
                  GetWindowLongA(window, GWL_EXSTYLE));
    return text + RectText(window);
}

// A popup menu is a top-level window of class #32768 of the process that
// tracks it.
struct MenuSearch {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindMenuOf(HWND window, LPARAM lParam) {
    MenuSearch* search = reinterpret_cast<MenuSearch*>(lParam);
    char class_name[16];
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == search->process && IsWindowVisible(window) &&
        GetClassNameA(window, class_name, sizeof class_name) &&
        std::strcmp(class_name, "#32768") == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// "CLASS [TITLE]": the first top-level window of that class (and title).
HWND FindTopLevel(const std::string& class_and_title) {
    const std::string title = Rest(class_and_title);
    return FindWindowA(First(class_and_title).c_str(), title.empty() ? nullptr : title.c_str());
}

HWND FindMenu(const std::string& class_and_title) {
    HWND program = FindTopLevel(class_and_title);
    MenuSearch search = {0, nullptr};
    if (!program || !GetWindowThreadProcessId(program, &search.process)) return nullptr;
    EnumWindows(FindMenuOf, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A message box is a dialog of class #32770 with the caption as its title.
HWND FindBox(const std::string& caption) {
    HWND box = FindWindowA("#32770", caption.c_str());
    return box && IsWindowVisible(box) ? box : nullptr;
}

struct StaticSearch {
    std::string text;
};

BOOL CALLBACK CollectStatic(HWND child, LPARAM lParam) {
    char class_name[32];
    GetClassNameA(child, class_name, sizeof class_name);
    if (lstrcmpiA(class_name, "Static") == 0) {
        char text[2048];
        if (GetWindowTextA(child, text, sizeof text) > 0)
            reinterpret_cast<StaticSearch*>(lParam)->text += text;
    }
    return TRUE;
}

std::string Measure(const std::string& request) {
    char face[LF_FACESIZE] = "";
    int height = 0, weight = 0, start = 0;
    if (std::sscanf(request.c_str(), "%31s %d %d %n", face, &height, &weight, &start) < 3)
        return "error usage";
    const std::string text = Unescaped(request.substr(start));
    HDC dc = GetDC(nullptr);
    HFONT font = CreateFontA(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, face);
    HGDIOBJ old = SelectObject(dc, font);
    RECT r = {0, 0, 0, 0};
    DrawTextA(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
    return std::to_string(r.right) + " " + std::to_string(r.bottom);
}

// Where a user working on another monitor would have it: moved there and
// in front.
std::string BringToFront(const std::string& request) {
    int x = 0, y = 0, start = 0;
    if (std::sscanf(request.c_str(), "%d %d %n", &x, &y, &start) < 2 || !start)
        return "error usage";
    HWND window = FindTopLevel(request.substr(start));
    if (!window) return "none";
    if (!SetWindowPos(window, HWND_TOP, x, y, 0, 0, SWP_NOSIZE)) return "error not moved";
    return SetForegroundWindow(window) ? "ok" : "error not in front";
}

std::string Minimize(const std::string& class_and_title) {
    HWND window = FindTopLevel(class_and_title);
    if (!window) return "none";
    ShowWindow(window, SW_MINIMIZE);
    return "ok";
}

// The thread has finished what it was doing and taken the focus events that
// came of it (devhost/measure/settled.h).
std::string Idle(const std::string& class_and_title) {
    HWND window = FindTopLevel(class_and_title);
    if (!window) return "none";
    return ThreadSettled(window, 5000) ? "ok" : "error busy";
}

// Set again until it stays where it was put (devhost/measure/pointer.h).
std::string MovePointer(const std::string& request) {
    int x = 0, y = 0;
    if (std::sscanf(request.c_str(), "%d %d", &x, &y) < 2) return "error usage";
    POINT at = {-1, -1};
    if (MoveUntilItStays(
            x, y, [](int px, int py) { return SetCursorPos(px, py) != 0; }, &at))
        return "ok";
    char text[96];
    std::snprintf(text, sizeof text, "error the pointer does not stay: at %ld,%ld after %lu ms",
                  at.x, at.y, static_cast<unsigned long>(POINTER_TIMEOUT_MS));
    return text;
}

std::string Answer(const std::string& line) {
    const std::string verb = First(line);
    const std::string rest = Rest(line);
    if (verb == "exec") {
        HWND host = FindWindowA(HOST_CLASS_NAME, nullptr);
        if (!host) return "error no host";
        return Send(host, COPYDATA_COMMAND, Unescaped(rest)) ? "ok" : "error refused";
    }
    if (verb == "window") {
        HWND window = FindTopLevel(rest);
        return window ? Describe(window) : "none";
    }
    if (verb == "front") return BringToFront(rest);
    if (verb == "minimize") return Minimize(rest);
    if (verb == "pointer") return MovePointer(rest);
    if (verb == "idle") return Idle(rest);
    if (verb == "foreground") {
        HWND window = GetForegroundWindow();
        if (!window) return "none";
        char class_name[256];
        GetClassNameA(window, class_name, sizeof class_name);
        return std::string("class=") + class_name;
    }
    if (verb == "box") {
        HWND box = FindBox(rest);
        if (!box) return "none";
        StaticSearch search;
        EnumChildWindows(box, CollectStatic, reinterpret_cast<LPARAM>(&search));
        return "text=" + Escaped(search.text);
    }
    if (verb == "press") {
        HWND box = FindBox(rest);
        if (!box) return "none";
        // What the OK button sends when clicked.
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
        return "ok";
    }
    if (verb == "measure") return Measure(rest);
    if (verb == "tell") {
        HWND tray = FindWindowA(TRAYAPP_CLASS_NAME, First(rest).c_str());
        if (!tray) return "error no tray program " + First(rest);
        return Send(tray, COPYDATA_TRAYAPP_COMMAND, Rest(rest)) ? "ok" : "error refused";
    }
    if (verb == "menu") {
        HWND menu = FindMenu(rest);
        return menu ? "rect=" + RectText(menu) : "none";
    }
    if (verb == "escape") {
        HWND menu = FindMenu(rest);
        return menu && PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0) ? "ok" : "none";
    }
    if (verb == "record") return "result=" + std::to_string(SendBadRecord(rest));
    if (verb == "screen")
        return std::to_string(GetSystemMetrics(SM_CXSCREEN)) + " " +
               std::to_string(GetSystemMetrics(SM_CYSCREEN));
    return "error unknown request " + verb;
}

}  // namespace

int main() {
    char buffer[4096];
    std::printf("ready\n");
    std::fflush(stdout);
    while (std::fgets(buffer, sizeof buffer, stdin)) {
        std::string line = buffer;
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        if (line == "quit") break;
        std::printf("%s\n", Answer(line).c_str());
        std::fflush(stdout);
    }
    return 0;
}
