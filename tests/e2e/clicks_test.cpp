// What tray programs of each notification version do with every click
// Marrowick delivers, for every value of marrowick.notify_version: three
// real programs (none declared, version 3, version 4, the last one 64-bit)
// in one tray, each clicked with each click name, and what each opened
// compared with the table below in one assertion.
#include <iostream>
#include <sstream>

#include "program_outcomes.h"

namespace e2e {
namespace {

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

class ClickForms : public ProgramOutcomes {
protected:
    // Highlights the program's row, sends the click, and says what the
    // program opened; a menu of version 4 must open at the row's icon.
    Outcome Click(int row, const std::string& click, int version) {
        const Program& program = PROGRAMS[row];
        const size_t from = ReadLines(TrayLog(program.name)).size();
        Exec("@Marrowick.Next");
        for (int i = 0; i < row; ++i) Exec("@Marrowick.Next");
        const Rect list = ListWindow().rect;
        Exec("@Marrowick.Send " + click);
        std::vector<std::string> menus;
        const Outcome outcome = Opened(Settle(program.name, from, Posted(click, version)), &menus);
        if (version == 4)
            for (const std::string& menu : menus) ExpectAnchor(menu, list, row);
        return outcome;
    }

    void ExpectAnchor(const std::string& menu_line, const Rect& list, int row) {
        const std::string at = IconCentre(list, 3, row);
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
