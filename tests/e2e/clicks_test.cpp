// What tray programs of each notification version do with every click
// Marrowick delivers, for every value of marrowick.notify_version: three
// real programs (none declared, version 3, version 4, the last one 64-bit)
// in one tray, each clicked with each click name, and what each opened
// compared with the table below in one assertion.
#include <iostream>
#include <sstream>

#include "end_to_end.h"

namespace e2e {
namespace {

enum Outcome { NOTHING, MENU, WINDOW };
const char* const OUTCOME_NAMES[] = {"nothing", "menu", "window"};

struct Expectation {
    const char* click;
    Outcome none, three, four;  // what the program of that version does
};

// notify_version 0 is the classic form alone; 3 adds NIN_SELECT after each
// left button up and WM_CONTEXTMENU after each right one; 4 sends the same
// in the version-4 form.
const std::vector<std::pair<int, std::vector<Expectation>>> EXPECTED = {
    {0,
     {{"LeftClick", NOTHING, NOTHING, NOTHING},
      {"RightClick", MENU, NOTHING, NOTHING},
      {"MiddleClick", NOTHING, NOTHING, NOTHING},
      {"LeftDoubleClick", WINDOW, WINDOW, NOTHING},
      {"RightDoubleClick", MENU, NOTHING, NOTHING},
      {"MiddleDoubleClick", NOTHING, NOTHING, NOTHING}}},
    {3,
     {{"LeftClick", NOTHING, WINDOW, NOTHING},
      {"RightClick", MENU, MENU, NOTHING},
      {"MiddleClick", NOTHING, NOTHING, NOTHING},
      {"LeftDoubleClick", WINDOW, WINDOW, NOTHING},
      {"RightDoubleClick", MENU, MENU, NOTHING},
      {"MiddleDoubleClick", NOTHING, NOTHING, NOTHING}}},
    {4,
     {{"LeftClick", NOTHING, NOTHING, WINDOW},
      {"RightClick", NOTHING, NOTHING, MENU},
      {"MiddleClick", NOTHING, NOTHING, NOTHING},
      {"LeftDoubleClick", NOTHING, NOTHING, WINDOW},
      {"RightDoubleClick", NOTHING, NOTHING, MENU},
      {"MiddleDoubleClick", NOTHING, NOTHING, NOTHING}}},
};

// The tray's rows: the program's name, its icon's id.
struct Program {
    const char* name;
    unsigned id;
};
const Program PROGRAMS[] = {{"none", 1}, {"three", 2}, {"four", 3}};

// How many callbacks the plug-in posts for a click: the mouse messages, and
// with version 3 or 4 one notification after each left or right button up.
size_t Posted(const std::string& click, int version) {
    const bool double_click = click.find("Double") != std::string::npos;
    const bool middle = click.rfind("Middle", 0) == 0;
    return (double_click ? 4 : 2) + (version && !middle ? (double_click ? 2 : 1) : 0);
}

class ClickForms : public EndToEnd {
protected:
    bool IsCallback(const std::string& line) {
        return line.find(" menu ") == std::string::npos &&
               line.find(" window ") == std::string::npos &&
               line.find(" chose ") == std::string::npos;
    }

    // Waits until the program has logged the click's callbacks, closing each
    // menu it opens meanwhile; the lines it logged since the click.
    std::vector<std::string> Settle(const Program& program, size_t from, size_t callbacks) {
        std::vector<std::string> lines;
        auto settled = [&] {
            const std::string window = std::string("MarrowickDemoTray ") + program.name;
            if (Ask("menu " + window) != "none") {
                Exec("key escape");  // the host's keyboard, to the menu in the foreground
                return false;
            }
            const std::vector<std::string> log = ReadLines(TrayLog(program.name));
            lines.assign(log.begin() + std::min(from, log.size()), log.end());
            size_t seen = 0, menus = 0, chosen = 0;
            for (const std::string& line : lines) {
                seen += IsCallback(line);
                menus += line.find(" menu ") != std::string::npos;
                chosen += line.find(" chose ") != std::string::npos;
            }
            return seen >= callbacks && menus == chosen;
        };
        EXPECT_TRUE(WaitUntil(settled)) << program.name << " did not settle";
        return lines;
    }

    // Highlights the program's row, sends the click, and says what the
    // program opened; a menu of version 4 must open at the row's icon.
    Outcome Click(int row, const std::string& click, int version) {
        const Program& program = PROGRAMS[row];
        const size_t from = ReadLines(TrayLog(program.name)).size();
        Exec("@Marrowick.Next");
        for (int i = 0; i < row; ++i) Exec("@Marrowick.Next");
        const Rect list = ListWindow().rect;
        Exec("@Marrowick.Send " + click);
        Outcome outcome = NOTHING;
        for (const std::string& line : Settle(program, from, Posted(click, version))) {
            if (line.find(" menu ") != std::string::npos) {
                outcome = MENU;
                if (version == 4) ExpectAnchor(line, list, row);
            } else if (line.find(" window ") != std::string::npos && outcome == NOTHING) {
                outcome = WINDOW;
            }
        }
        return outcome;
    }

    // The centre of the row's icon with the default settings: 4 pixels from
    // the list's left and 2 from the row's top, 16 pixels square.
    void ExpectAnchor(const std::string& menu_line, const Rect& list, int row) {
        const int pitch = list.h / 3;
        const std::string at = " at=" + std::to_string(list.x + 4 + 8) + "," +
                               std::to_string(list.y + row * pitch + 2 + 8);
        EXPECT_NE(menu_line.find(at), std::string::npos) << menu_line << " expected" << at;
    }

    static std::string Line(int version, const std::string& click, const Outcome (&outcomes)[3]) {
        std::ostringstream line;
        line << "notify_version " << version << " " << click << ":";
        for (int row = 0; row < 3; ++row)
            line << " " << PROGRAMS[row].name << "=" << OUTCOME_NAMES[outcomes[row]];
        return line.str();
    }
};

TEST_F(ClickForms, EachVersionsProgramsDoWhatTheTableSaysWithEachForm) {
    StartHost();
    StartTray("none", {"1 #3080ff N No version declared"});
    StartTray("three", {"2:3 #30c060 T Version 3"}, {"-ansi"});
    StartTray("four", {"3:4 #d04040 F Version 4, 64-bit"}, {}, "trayapp64.exe");

    std::string expected, measured;
    for (const auto& [version, rows] : EXPECTED) {
        WriteRc("marrowick.notify_version: " + std::to_string(version) + "\n");
        Exec("reconfigure");
        for (const Expectation& row : rows) {
            const Outcome wanted[3] = {row.none, row.three, row.four};
            Outcome got[3];
            for (int program = 0; program < 3; ++program)
                got[program] = Click(program, row.click, version);
            expected += Line(version, row.click, wanted) + "\n";
            measured += Line(version, row.click, got) + "\n";
        }
    }
    std::cout << measured;
    EXPECT_EQ(measured, expected);
}

}  // namespace
}  // namespace e2e
