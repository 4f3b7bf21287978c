// What a tray program opened after a click, read from its log: the lines
// trayapp writes for each callback, each menu or window it opens and each
// menu item chosen. Shared by the tests that click programs through Send and
// through Click.
#pragma once

#include <string>
#include <vector>

#include "end_to_end.h"

namespace e2e {

enum Outcome { NOTHING, MENU, WINDOW };
inline const char* const OUTCOME_NAMES[] = {"nothing", "menu", "window"};

// How many callbacks the plug-in posts for a click: the mouse messages, and
// with version 3 or 4 one notification after each left or right button up.
inline size_t Posted(const std::string& click, int version) {
    const bool double_click = click.find("Double") != std::string::npos;
    const bool middle = click.rfind("Middle", 0) == 0;
    return (double_click ? 4 : 2) + (version && !middle ? (double_click ? 2 : 1) : 0);
}

class ProgramOutcomes : public EndToEnd {
protected:
    static bool IsCallback(const std::string& line) {
        return line.find(" menu ") == std::string::npos &&
               line.find(" window ") == std::string::npos &&
               line.find(" chose ") == std::string::npos;
    }

    // Waits until the program has logged the click's callbacks, closing each
    // menu it opens meanwhile; the lines it logged since the click.
    std::vector<std::string> Settle(const std::string& program, size_t from, size_t callbacks) {
        std::vector<std::string> lines;
        auto settled = [&] {
            if (Ask("menu MarrowickDemoTray " + program) != "none") {
                Exec("key escape");  // the host's keyboard, to the menu in the foreground
                return false;
            }
            const std::vector<std::string> log = ReadLines(TrayLog(program));
            lines.assign(log.begin() + std::min(from, log.size()), log.end());
            size_t seen = 0, menus = 0, chosen = 0;
            for (const std::string& line : lines) {
                seen += IsCallback(line);
                menus += line.find(" menu ") != std::string::npos;
                chosen += line.find(" chose ") != std::string::npos;
            }
            return seen >= callbacks && menus == chosen;
        };
        EXPECT_TRUE(WaitUntil(settled)) << program << " did not settle";
        return lines;
    }

    // What the lines say the program opened: a menu (the lines of each menu
    // go to *menus), else a window, else nothing.
    static Outcome Opened(const std::vector<std::string>& lines, std::vector<std::string>* menus) {
        Outcome outcome = NOTHING;
        for (const std::string& line : lines) {
            if (line.find(" menu ") != std::string::npos) {
                outcome = MENU;
                menus->push_back(line);
            } else if (line.find(" window ") != std::string::npos && outcome == NOTHING) {
                outcome = WINDOW;
            }
        }
        return outcome;
    }
};

}  // namespace e2e
