// The host command "window CLASS [TITLE]": logs where the first top-level
// window of that class (and title) lies on the screen, so that a script can
// point the mouse at a part of it, a row of the list for one:
//   window Marrowick hwnd=0x10050 visible=1 rect=359,315,307,138
// (left, top, width, height) or "window Marrowick none".
#include <string>

#include "devhost/log/log.h"
#include "devhost/measure/measure.h"

void LogWindow(const std::string& class_and_title) {
    const size_t space = class_and_title.find(' ');
    const std::string class_name = class_and_title.substr(0, space);
    const std::string title = space == std::string::npos ? "" : class_and_title.substr(space + 1);
    HWND window = FindWindowA(class_name.c_str(), title.empty() ? nullptr : title.c_str());
    RECT r = {};
    if (!window || !GetWindowRect(window, &r)) {
        Log("window %s none", class_and_title.c_str());
        return;
    }
    Log("window %s hwnd=%s visible=%d rect=%ld,%ld,%ld,%ld", class_and_title.c_str(),
        Hex(window).c_str(), IsWindowVisible(window) ? 1 : 0, r.left, r.top, r.right - r.left,
        r.bottom - r.top);
}
