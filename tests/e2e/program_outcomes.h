// What a tray program opened after a click, read from its log: the lines
// trayapp writes for each callback, each menu or window it opens and each
// menu item chosen; and what each kind of program opens for each click.
// Shared by the tests that click programs through Send, Click and the
// interactive list's keys and buttons.
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

constexpr char TASK_MANAGER_WINDOW[] = "#32770 Task Manager";
constexpr unsigned WS_MINIMIZE = 0x20000000;

// The programs of every kind there is, in tray order: none declared, version
// 3, version 4 (64-bit), Wine's Task Manager.
inline const char* const KINDS[] = {"none", "three", "four", "taskmgr"};
// The executables they run from in a tray of programs each of its own.
inline const char* const FILE_NAMES[] = {"oldtool.exe", "chat.exe", "modern.exe", "taskmgr.exe"};
constexpr int TASK_MANAGER = 3;

struct ClickOutcomes {
    const char* click;
    Outcome outcomes[4];  // none, three, four, taskmgr
};

// What each kind of program opens for each click, under each value of
// notify_version. Those of the trayapp programs are those of Send
// (clicks_test.cpp). The Task Manager opens its menu on a right button down
// and its window on a left double click, read in the classic form; as its
// icon's id is 0, the version-4 form (the message in lParam's low word, the
// id in its high word) reads the same to it.
inline const std::vector<std::pair<int, std::vector<ClickOutcomes>>> CLICK_OUTCOMES = {
    {0,
     {{"LeftClick", {NOTHING, NOTHING, NOTHING, NOTHING}},
      {"RightClick", {MENU, NOTHING, NOTHING, MENU}},
      {"MiddleClick", {NOTHING, NOTHING, NOTHING, NOTHING}},
      {"LeftDoubleClick", {WINDOW, WINDOW, NOTHING, WINDOW}},
      {"RightDoubleClick", {MENU, NOTHING, NOTHING, MENU}},
      {"MiddleDoubleClick", {NOTHING, NOTHING, NOTHING, NOTHING}}}},
    {3,
     {{"LeftClick", {NOTHING, WINDOW, NOTHING, NOTHING}},
      {"RightClick", {MENU, MENU, NOTHING, MENU}},
      {"MiddleClick", {NOTHING, NOTHING, NOTHING, NOTHING}},
      {"LeftDoubleClick", {WINDOW, WINDOW, NOTHING, WINDOW}},
      {"RightDoubleClick", {MENU, MENU, NOTHING, MENU}},
      {"MiddleDoubleClick", {NOTHING, NOTHING, NOTHING, NOTHING}}}},
    {4,
     {{"LeftClick", {NOTHING, NOTHING, WINDOW, NOTHING}},
      {"RightClick", {NOTHING, NOTHING, MENU, MENU}},
      {"MiddleClick", {NOTHING, NOTHING, NOTHING, NOTHING}},
      {"LeftDoubleClick", {NOTHING, NOTHING, WINDOW, WINDOW}},
      {"RightDoubleClick", {NOTHING, NOTHING, MENU, MENU}},
      {"MiddleDoubleClick", {NOTHING, NOTHING, NOTHING, NOTHING}}}},
};

// What the programs open for the click under the version.
inline const ClickOutcomes& OutcomesOf(int version, const std::string& click) {
    for (const auto& [table_version, rows] : CLICK_OUTCOMES)
        for (const ClickOutcomes& row : rows)
            if (table_version == version && click == row.click) return row;
    ADD_FAILURE() << "no outcomes for " << click << " under " << version;
    return CLICK_OUTCOMES[0].second[0];
}

class ProgramOutcomes : public EndToEnd {
protected:
    // The trayapp programs log where the foreground is as each callback
    // arrives, for Settle to check. With copies, each runs from a file of
    // its own, named in FILE_NAMES, as different programs do.
    void StartEveryKind(bool copies = false) {
        auto file = [&](int kind, const char* program) {
            return copies ? CopyProgram(program, FILE_NAMES[kind]) : std::string(program);
        };
        StartTray(KINDS[0], {"1 #3080ff N No version declared"}, {"-foreground"},
                  file(0, "trayapp.exe"));
        StartTray(KINDS[1], {"2:3 #30c060 T Version 3"}, {"-ansi", "-foreground"},
                  file(1, "trayapp.exe"));
        StartTray(KINDS[2], {"3:4 #d04040 F Version 4, 64-bit"}, {"-foreground"},
                  file(2, "trayapp64.exe"));
        StartTaskManager();
    }

    // Waits until each program (a tray program's name, or "taskmgr") has
    // handled what the last input made it do: one that takes the activation
    // then takes it before the next click, not from its program.
    void WaitIdle(const std::vector<std::string>& programs) {
        for (const std::string& program : programs) {
            const std::string window = program == KINDS[TASK_MANAGER]
                                           ? std::string(TASK_MANAGER_WINDOW)
                                           : "MarrowickDemoTray " + program;
            EXPECT_EQ(Ask("idle " + window), "ok") << window;
        }
    }

    // The Task Manager's window put away, so that a click that opens it shows.
    void MinimizeTaskManager() {
        ASSERT_EQ(Ask(std::string("minimize ") + TASK_MANAGER_WINDOW), "ok");
        ASSERT_TRUE(Await("the Task Manager minimized", [&](std::string* seen) {
            *seen = TopLevel(TASK_MANAGER_WINDOW).answer;
            return !TaskManagerShown();
        }));
    }

    // Its window is on the screen, neither hidden nor minimized.
    bool TaskManagerShown() {
        const Window window = TopLevel(TASK_MANAGER_WINDOW);
        return window.visible && !(window.style & WS_MINIMIZE);
    }

    // What the Task Manager opened; its menu is closed again. It has no log
    // that says a click has been read: when it is to open nothing, it is
    // looked at once the host has sent the click and the Task Manager has
    // handled what came before (what it opens, it opens on its thread as it
    // handles the callback); else its menu or window is waited for.
    Outcome TaskManagerOpened(Outcome expected) {
        Outcome outcome = NOTHING;
        const auto opened = [&] {
            if (Ask(std::string("menu ") + TASK_MANAGER_WINDOW) != "none")
                outcome = MENU;
            else if (TaskManagerShown())
                outcome = WINDOW;
            return outcome != NOTHING;
        };
        if (expected == NOTHING) {
            HostIdle();
            WaitIdle({KINDS[TASK_MANAGER]});
            opened();
        } else {
            WaitUntil(opened);
        }
        if (outcome == MENU) {
            CloseMenu(TASK_MANAGER_WINDOW);
            EXPECT_TRUE(AwaitMenu(TASK_MANAGER_WINDOW, false));
        }
        return outcome;
    }

    // " at=X,Y", the centre of the row's icon in the list with the default
    // settings (4 pixels from the list's left and 2 from the row's top, 16
    // pixels square): where a version-4 menu opened from that row opens.
    static std::string IconCentre(const Rect& list, int rows, int row) {
        const int pitch = list.h / rows;
        return " at=" + std::to_string(list.x + 4 + 8) + "," +
               std::to_string(list.y + row * pitch + 2 + 8);
    }

    // Each menu a version-4 program opened opens at the click's anchor.
    static void ExpectMenusAt(const std::vector<std::string>& menus, const std::string& at) {
        for (const std::string& menu : menus)
            EXPECT_NE(menu.find(at), std::string::npos) << menu << " expected" << at;
    }

    static bool IsCallback(const std::string& line) {
        return line.find(" menu ") == std::string::npos &&
               line.find(" window ") == std::string::npos &&
               line.find(" chose ") == std::string::npos;
    }

    // Waits until the program has logged the click's callbacks, closing each
    // menu it opens meanwhile; the lines it logged since the click.
    std::vector<std::string> Settle(const std::string& program, size_t from, size_t callbacks) {
        std::vector<std::string> lines;
        auto settled = [&](std::string* seen) {
            *seen = "menu " + Ask("menu MarrowickDemoTray " + program);
            if (*seen != "menu none") {
                CloseMenu("MarrowickDemoTray " + program);
                return false;
            }
            const std::vector<std::string> log = ReadLines(TrayLog(program));
            lines.assign(log.begin() + std::min(from, log.size()), log.end());
            size_t seen_callbacks = 0, menus = 0, chosen = 0;
            for (const std::string& line : lines) {
                seen_callbacks += IsCallback(line);
                menus += line.find(" menu ") != std::string::npos;
                chosen += line.find(" chose ") != std::string::npos;
            }
            *seen = std::to_string(seen_callbacks) + " callbacks, " + std::to_string(menus) +
                    " menus, " + std::to_string(chosen) + " chosen, the last line " +
                    LastLine(TrayLog(program));
            return seen_callbacks >= callbacks && menus == chosen;
        };
        EXPECT_TRUE(Await(
            program + " to log " + std::to_string(callbacks) + " callbacks and close each menu",
            settled));
        ExpectProgramInFront(program, lines);
        return lines;
    }

    // A click reaches its program as a click on its icon in the tray would:
    // the owner is in front as the first callback arrives, and the program
    // (the owner, or a window it opened for an earlier callback of the
    // click) for every other. Lines of programs started without
    // "-foreground" say nothing of it.
    static void ExpectProgramInFront(const std::string& program,
                                     const std::vector<std::string>& lines) {
        bool first = true;
        for (const std::string& line : lines) {
            if (!IsCallback(line) || line.find(" fg=") == std::string::npos) continue;
            if (first)
                EXPECT_NE(line.find(" fg=owner"), std::string::npos) << program << ": " << line;
            else
                EXPECT_EQ(line.find(" fg=other"), std::string::npos) << program << ": " << line;
            first = false;
        }
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
