// @Marrowick.Click end to end: a program's icon clicked by a part of its tip,
// without the list. Against programs of no version, version 3 and version 4
// (64-bit) and Wine's own Task Manager, what each opens on Click is what it
// opens on Send of the same click on its row, for every click name and
// notify_version, in one table; the first of several matches is clicked,
// entries of exited programs are passed over, a multi-line tip matches in its
// one-line form, a shown list stays as it was, and mistakes are reported.
#include <iostream>
#include <sstream>

#include "program_outcomes.h"

namespace e2e {
namespace {

using ::testing::ElementsAre;

// The programs in tray order, and the text each is clicked by.
struct Target {
    const char* name;
    const char* text;
};
const Target TARGETS[] = {{"none", "no VERSION"},
                          {"three", "version 3"},
                          {"four", "VERSION 4"},
                          {"taskmgr", "cpu usage"}};

// Where the pointer stays: the anchor of a version-4 Click.
constexpr int POINTER_X = 200, POINTER_Y = 150;

// How a click is sent: Send on the program's row, Click by a part of its
// tip, Click by its program's file name.
enum How { SEND, BY_TEXT, BY_PROGRAM };

class ClickCommand : public ProgramOutcomes {
protected:
    // The click sent, and what the program opened; a version-4 menu opened
    // by Click is at the pointer.
    Outcome Clicked(int row, const std::string& click, int version, How how, Outcome expected) {
        const Target& target = TARGETS[row];
        if (row == TASK_MANAGER) MinimizeTaskManager();
        const size_t from = row == TASK_MANAGER ? 0 : ReadLines(TrayLog(target.name)).size();
        WaitIdle({std::begin(KINDS), std::end(KINDS)});
        if (how == SEND) {
            for (int i = 0; i <= row; ++i) Exec("@Marrowick.Next");
            Exec("@Marrowick.Send " + click);
        } else {
            Exec("@Marrowick.Click " + click + " " +
                 (how == BY_TEXT ? target.text : FILE_NAMES[row]));
            EXPECT_FALSE(ListWindow().visible);
        }
        if (row == TASK_MANAGER) return TaskManagerOpened(expected);
        std::vector<std::string> menus;
        const Outcome outcome = Opened(Settle(target.name, from, Posted(click, version)), &menus);
        if (how != SEND && version == 4)
            ExpectMenusAt(menus,
                          " at=" + std::to_string(POINTER_X) + "," + std::to_string(POINTER_Y));
        return outcome;
    }

    // "notify_version 3 RightClick: none=menu/menu ...", Send's outcome
    // before Click's.
    static std::string Line(const std::string& settings, const std::string& click,
                            const Outcome (&sent)[4], const Outcome (&clicked)[4]) {
        std::ostringstream line;
        line << settings << " " << click << ":";
        for (int row = 0; row < 4; ++row)
            line << " " << TARGETS[row].name << "=" << OUTCOME_NAMES[sent[row]] << "/"
                 << OUTCOME_NAMES[clicked[row]];
        return line.str();
    }
};

TEST_F(ClickCommand, ClickOpensWhatSendOpensOnTheSameRow) {
    StartHost();
    StartEveryKind();
    ASSERT_EQ(Ask("pointer " + std::to_string(POINTER_X) + " " + std::to_string(POINTER_Y)), "ok");

    std::string expected, measured;
    for (const auto& [version, rows] : CLICK_OUTCOMES) {
        WriteRc("marrowick.notify_version: " + std::to_string(version) + "\n");
        Exec("reconfigure");
        for (const ClickOutcomes& row : rows) {
            Outcome sent[4], clicked[4];
            for (int program = 0; program < 4; ++program) {
                const Outcome wanted = row.outcomes[program];
                sent[program] = Clicked(program, row.click, version, SEND, wanted);
                clicked[program] = Clicked(program, row.click, version, BY_TEXT, wanted);
            }
            const std::string settings = "notify_version " + std::to_string(version);
            expected += Line(settings, row.click, row.outcomes, row.outcomes) + "\n";
            measured += Line(settings, row.click, sent, clicked) + "\n";
        }
    }
    std::cout << measured;
    EXPECT_EQ(measured, expected);
}

// A tray of programs of every kind, each from a file of its own. The best
// single notify_version, 3, leaves the version-4 program out of reach; a
// pair for that program gives it its form, and then every program opens its
// window and its menu, by Send on its row and by Click naming its program.
TEST_F(ClickCommand, APairPerProgramReachesEveryProgramOfAMixedTray) {
    StartHost();
    StartEveryKind(true);
    ASSERT_EQ(Ask("pointer " + std::to_string(POINTER_X) + " " + std::to_string(POINTER_Y)), "ok");
    std::string expected, measured;
    for (const std::string pairs : {"", "modern.exe=4"}) {
        WriteRc("marrowick.notify_version: 3\nmarrowick.notify_version_by_program: " + pairs +
                "\n");
        Exec("reconfigure");
        const std::string settings = "notify_version 3" + (pairs.empty() ? "" : ", " + pairs);
        for (const char* click : {"LeftDoubleClick", "RightClick"}) {
            Outcome wanted[4], sent[4], named[4];
            for (int program = 0; program < 4; ++program) {
                const int version = program == 2 && !pairs.empty() ? 4 : 3;
                wanted[program] = OutcomesOf(version, click).outcomes[program];
                sent[program] = Clicked(program, click, version, SEND, wanted[program]);
                named[program] = Clicked(program, click, version, BY_PROGRAM, wanted[program]);
            }
            expected += Line(settings, click, wanted, wanted) + "\n";
            measured += Line(settings, click, sent, named) + "\n";
        }
    }
    std::cout << measured;
    EXPECT_EQ(measured, expected);
    EXPECT_EQ(measured.find("nothing", measured.find("modern.exe=4")), std::string::npos)
        << "with the pair, every program opens something";
}

// Passive programs: what each received, in its log. The program that exits
// leaves its entry behind, first in the tray; Click passes over it, as the
// list does, and clicks the first live entry whose one-line tip holds the
// text, in any case, spaces included.
TEST_F(ClickCommand, TheFirstLiveEntryWhoseOneLineTipHoldsTheTextIsClicked) {
    StartHost();
    StartTray("gone", {"9 #808080 G Mail (old account)"}, {"-passive"});
    StartTray("mail", {"1 #e08a20 M Mail: 3 new messages"}, {"-passive"});
    StartTray("server", {"2 #30c060 S Mail server down"}, {"-passive"});
    StartTray("apps", THREE, {"-passive"});
    ASSERT_EQ(Ask("tell gone vanish"), "ok");
    ASSERT_TRUE(trays_[0].WaitEnd(STEP_TIMEOUT));

    for (const char* broam :
         {"@Marrowick.Click LeftClick MAIL", "@Marrowick.Click RightClick 40% / muted",
          "@Marrowick.Click MiddleClick network: CONNECTED", "@Marrowick.Click  LeftClick  server",
          "@Marrowick.Click\tRightClick\t \tMuted"})
        Exec(broam);
    EXPECT_EQ(CountLog("purge removed=1 left=5"), 1);
    EXPECT_THAT(Clicks("mail", 2),
                ElementsAre("mail id=1 WM_LBUTTONDOWN", "mail id=1 WM_LBUTTONUP"));
    EXPECT_THAT(Clicks("server", 2),
                ElementsAre("server id=2 WM_LBUTTONDOWN", "server id=2 WM_LBUTTONUP"));
    EXPECT_THAT(Clicks("apps", 6),
                ElementsAre("apps id=1 WM_RBUTTONDOWN", "apps id=1 WM_RBUTTONUP",
                            "apps id=2 WM_MBUTTONDOWN", "apps id=2 WM_MBUTTONUP",
                            "apps id=1 WM_RBUTTONDOWN", "apps id=1 WM_RBUTTONUP"));
    EXPECT_FALSE(ListWindow().visible);
}

// On a shown list Click clicks its entry and leaves the list as it was: the
// same place, the same row highlighted, which Send then clicks.
TEST_F(ClickCommand, AShownListStaysShownWithItsHighlight) {
    StartHost();
    StartTray("apps", THREE, {"-passive"});
    StartTray("mail", {"7 #e08a20 M Mail: 3 new messages"}, {"-passive"});
    Exec("@Marrowick.Next");
    Exec("@Marrowick.Next");
    ASSERT_TRUE(WaitShown(true));
    const Rect before = ListWindow().rect;

    Exec("@Marrowick.Click LeftDoubleClick new messages");
    EXPECT_THAT(Clicks("mail", 4),
                ElementsAre("mail id=7 WM_LBUTTONDOWN", "mail id=7 WM_LBUTTONUP",
                            "mail id=7 WM_LBUTTONDBLCLK", "mail id=7 WM_LBUTTONUP"));
    EXPECT_TRUE(ListWindow().visible);
    EXPECT_EQ(ListWindow().rect, before);
    EXPECT_THAT(ShownHighlight("after_click", 4, {1}), ElementsAre(1));
    Exec("@Marrowick.Send LeftClick");
    EXPECT_THAT(Clicks("apps", 2),
                ElementsAre("apps id=2 WM_LBUTTONDOWN", "apps id=2 WM_LBUTTONUP"));
    EXPECT_FALSE(ListWindow().visible);
}

// Each mistake in its own box, with nothing clicked and no list shown.
TEST_F(ClickCommand, MistakesAreReportedInABox) {
    StartHost();
    StartTray("apps", THREE, {"-passive"});
    const std::pair<const char*, const char*> cases[] = {
        {"@Marrowick.Click LeftClick Printer", "No tray icon matches `Printer'"},
        // The tip's line break is matched only in its one-line form.
        {"@Marrowick.Click LeftClick 40% Muted", "No tray icon matches `40% Muted'"},
        {"@Marrowick.Click DoubleClick Volume", "Unknown message: `DoubleClick'"},
        {"@Marrowick.Click leftclick Volume", "Unknown message: `leftclick'"},
        {"@Marrowick.Click LeftClick", "Unknown bro@m: `@Marrowick.Click LeftClick'"},
        {"@Marrowick.Click LeftClick   ", "Unknown bro@m: `@Marrowick.Click LeftClick   '"},
        {"@Marrowick.Click", "Unknown bro@m: `@Marrowick.Click'"},
        {"@Marrowick.ClickLeftClick Volume", "Unknown bro@m: `@Marrowick.ClickLeftClick Volume'"},
    };
    std::string expected, measured;
    for (const auto& [broam, text] : cases) {
        expected += std::string(broam) + " -> " + text + "\n";
        measured += std::string(broam) + " -> " + ExecShowingBox(broam) + "\n";
    }
    EXPECT_EQ(measured, expected);
    Exec("tray");  // the host has handled everything before it
    EXPECT_TRUE(ReadLines(TrayLog("apps")).empty());
    EXPECT_FALSE(ListWindow().visible);
}

}  // namespace
}  // namespace e2e
