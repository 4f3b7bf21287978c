// The interactive list (marrowick.interactive: true) end to end, driven with
// real input: the host's "key" and "mouse" commands go through SendInput, as
// a person at the keyboard and the mouse would. One bro@m shows the list;
// keys and buttons do the rest. What programs of every kind open for Enter,
// the Apps key, Shift+F10 and each mouse button on their row, in one printed
// table, each program in front as its click arrives; the highlight moved by
// arrows, Home, End, the pointer and type-ahead, seen in screenshots; the
// list hiding when another window is activated, and on Alt+F4 without dying;
// without the key, keys and clicks on the list doing nothing at all; and a
// click reaching the highlighted program, or nobody, when the tray changes
// under the shown list.
#include <algorithm>
#include <iostream>
#include <sstream>

#include "program_outcomes.h"

namespace e2e {
namespace {

using ::testing::ElementsAre;

constexpr char INTERACTIVE[] = "marrowick.interactive: true\n";

// An input on the shown list: keys (host "key" names) pressed after Down
// keys have reached the row, or a mouse button pressed on the row; and the
// click the list sends for it, which says how many callbacks come.
struct Input {
    const char* name;
    const char* key;     // or null
    const char* button;  // or null
    const char* click;
};
const Input INPUTS[] = {
    {"Enter", "return", nullptr, "LeftDoubleClick"},
    {"Apps", "apps", nullptr, "RightClick"},
    {"Shift+F10", "shift+f10", nullptr, "RightClick"},
    {"left button", nullptr, "left", "LeftDoubleClick"},
    {"right button", nullptr, "right", "RightClick"},
    {"middle button", nullptr, "middle", "MiddleClick"},
};

struct Point {
    int x, y;
};

class Interactive : public ProgramOutcomes {
protected:
    // The middle of a row of the list.
    static Point RowCentre(const Rect& list, int rows, int row) {
        const int pitch = list.h / rows;
        return {list.x + list.w / 2, list.y + row * pitch + pitch / 2};
    }

    // The host logs whether the pointer stayed at the point and the button
    // was pressed there.
    void Mouse(const std::string& action, Point at) {
        Exec("mouse " + action + " " + std::to_string(at.x) + " " + std::to_string(at.y));
        const std::vector<std::string> logged = LogLines("mouse " + action + " ");
        EXPECT_TRUE(!logged.empty() && logged.back().find(" done ") != std::string::npos)
            << (logged.empty() ? "no mouse line in the host's log" : logged.back());
    }

    // The pointer put where it is out of the list's way.
    void ParkPointer() { ASSERT_EQ(Ask("pointer 40 40"), "ok"); }

    // Adds "NAME -> ROW" to what is expected and, with the row a screenshot
    // shows highlighted ("?" for none or several), to what was measured.
    void ExpectHighlight(const std::string& name, int rows, int row, std::string* expected,
                         std::string* measured) {
        const std::vector<int> shown = ShownHighlight(name, rows, {row});
        *expected += name + " -> " + std::to_string(row) + "\n";
        *measured += name + " -> " + (shown.size() == 1 ? std::to_string(shown[0]) : "?") + "\n";
    }

    // Shows the list with one bro@m and waits until it is on the screen.
    Rect Show() {
        Exec("@Marrowick.Next");
        EXPECT_TRUE(WaitShown(true));
        return ListWindow().rect;
    }

    // The list shown by one bro@m, the input on the program's row, and what
    // the program opened. A version-4 menu opens at the row's icon for a key
    // and at the pointer for a button.
    Outcome Acted(int row, const Input& input, int version, Outcome expected) {
        if (row == TASK_MANAGER) MinimizeTaskManager();
        const std::string program = KINDS[row];
        const size_t from = row == TASK_MANAGER ? 0 : ReadLines(TrayLog(program)).size();
        WaitIdle({std::begin(KINDS), std::end(KINDS)});
        const Rect list = Show();
        std::string at;
        if (input.key) {
            std::string keys;
            for (int i = 0; i < row; ++i) keys += "down ";
            Exec("key " + keys + input.key);
            at = IconCentre(list, 4, row);
        } else {
            const Point point = RowCentre(list, 4, row);
            Mouse(input.button, point);
            at = " at=" + std::to_string(point.x) + "," + std::to_string(point.y);
        }
        EXPECT_TRUE(WaitShown(false)) << input.name << " left the list shown";
        if (row == TASK_MANAGER) return TaskManagerOpened(expected);
        // Each callback of the click once: an input acted on twice shows here.
        const size_t posted = Posted(input.click, version);
        const std::vector<std::string> lines = Settle(program, from, posted);
        EXPECT_EQ(static_cast<size_t>(std::count_if(lines.begin(), lines.end(), IsCallback)),
                  posted)
            << input.name << " on " << program;
        std::vector<std::string> menus;
        const Outcome outcome = Opened(lines, &menus);
        if (version == 4) ExpectMenusAt(menus, at);
        return outcome;
    }

    // "notify_version 3 Apps: none=menu three=menu four=nothing taskmgr=menu"
    static std::string Line(int version, const std::string& input, const Outcome (&outcomes)[4]) {
        std::ostringstream line;
        line << "notify_version " << version << " " << input << ":";
        for (int row = 0; row < 4; ++row)
            line << " " << KINDS[row] << "=" << OUTCOME_NAMES[outcomes[row]];
        return line.str();
    }
};

TEST_F(Interactive, KeysAndButtonsOpenWhatTheirClicksOpenInProgramsOfEveryKind) {
    StartHost();
    StartEveryKind();
    ParkPointer();
    std::string expected, measured;
    // Each input opens what its click opens from Send: Enter and the left
    // button enter_click's default, LeftDoubleClick; the Apps key, Shift+F10
    // and the right button RightClick; the middle button MiddleClick.
    for (int version : {0, 3, 4}) {
        WriteRc(std::string(INTERACTIVE) + "marrowick.notify_version: " + std::to_string(version) +
                "\n");
        Exec("reconfigure");
        for (const Input& input : INPUTS) {
            const ClickOutcomes& wanted = OutcomesOf(version, input.click);
            Outcome got[4];
            for (int program = 0; program < 4; ++program)
                got[program] = Acted(program, input, version, wanted.outcomes[program]);
            expected += Line(version, input.name, wanted.outcomes) + "\n";
            measured += Line(version, input.name, got) + "\n";
        }
    }
    std::cout << measured;
    EXPECT_EQ(measured, expected);
}

// Four rows of passive programs, which log what they receive and open nothing.
class InteractiveRows : public Interactive {
protected:
    void StartFourRows(const std::string& rc = INTERACTIVE) {
        WriteRc(rc);
        StartHost();
        StartTray("apps", THREE, {"-passive"});
        StartTray("mail", {"7 #e08a20 M Mail: 3 new messages"}, {"-passive"});
    }

    // Alt+F4 on the list closes nothing for good: it hides the list as
    // Cancel does, and the plug-in still hears the next bro@m.
    void ExpectAltF4HidesAndTheNextBroamShows() {
        Show();
        Exec("key alt+f4");
        EXPECT_TRUE(WaitShown(false)) << "Alt+F4 left the list shown";
        EXPECT_TRUE(ListWindow().exists);
        Show();
        Exec("@Marrowick.Cancel");
    }

    // Once the host has handled the input before, and each program what was
    // posted to it.
    bool NothingPosted() {
        HostIdle();
        return Logged("apps").empty() && Logged("mail").empty();
    }
};

// Down and Up wrap around, Home and End go to the ends, keys the list has no
// use for leave the highlight where it is, and nothing is sent. The pointer
// under the list as it appears moves nothing; moved over a row, it
// highlights it, and the keys go on from there.
TEST_F(InteractiveRows, ArrowsHomeEndAndThePointerMoveTheHighlight) {
    StartFourRows();
    const Rect list = Show();
    Exec("@Marrowick.Cancel");
    ASSERT_TRUE(WaitShown(false));
    const Point row2 = RowCentre(list, 4, 2);
    ASSERT_EQ(Ask("pointer " + std::to_string(row2.x) + " " + std::to_string(row2.y)), "ok");
    Show();
    const std::pair<const char*, int> steps[] = {
        {"", 0},     {"down", 1}, {"down down", 3}, {"down", 0}, {"up", 3},
        {"home", 0}, {"end", 3},  {"up", 2},        {"up", 1},   {"left right tab space", 1},
    };
    std::string expected, measured;
    for (const auto& [keys, row] : steps) {
        if (*keys) Exec(std::string("key ") + keys);
        ExpectHighlight(std::string("keys ") + keys, 4, row, &expected, &measured);
    }
    Mouse("move", RowCentre(list, 4, 3));
    EXPECT_THAT(ShownHighlight("pointer_on_3", 4, {3}), ElementsAre(3));
    Exec("key up");
    EXPECT_THAT(ShownHighlight("up_from_3", 4, {2}), ElementsAre(2));
    EXPECT_EQ(measured, expected);
    EXPECT_TRUE(NothingPosted());
    EXPECT_TRUE(ListWindow().visible);
}

// Tips that begin alike: a letter steps through the rows that begin with it,
// wrapping, in any case; a digit finds its row; a letter no tip begins with
// moves nothing; letters typed quickly narrow the search. Showing the list
// starts a new search. Enter then acts on the row found.
TEST_F(InteractiveRows, TypeAheadStepsThroughLikeTipsAndNarrowsOnQuickTyping) {
    WriteRc(INTERACTIVE);
    StartHost();
    StartTray("tips",
              {"1 #3080ff B Battery 80%", "2 #e08a20 M Mail: 3 new messages", "3 #30c060 U Music",
               "4 #d04040 O Monitor", "5 #8040c0 X Mixer", "6 #c06000 2 2 updates"},
              {"-passive"});
    ParkPointer();
    // Each search after the first begins on a list shown again ("*"): a
    // character typed within a second of the last one continues a search.
    const std::pair<const char*, int> steps[] = {
        {"", 0},    {"m", 1},       {"m", 2},   {"m", 3}, {"m", 4},   {"m", 1},
        {"*", 0},   {"shift+m", 1}, {"*", 0},   {"2", 5}, {"x", 5},   {"*", 0},
        {"m o", 3}, {"*", 0},       {"m i", 4}, {"*", 0}, {"m u", 2},
    };
    Show();
    std::string expected, measured;
    for (const auto& [keys, row] : steps) {
        const std::string typed = keys;
        if (typed == "*") {
            Exec("key escape");
            ASSERT_TRUE(WaitShown(false));
            Show();
        } else if (!typed.empty()) {
            Exec("key " + typed);
        }
        ExpectHighlight(typed == "*" ? "shown again" : "typed " + typed, 6, row, &expected,
                        &measured);
    }
    EXPECT_EQ(measured, expected);
    EXPECT_TRUE(Logged("tips").empty());
    Exec("key return");
    EXPECT_THAT(Clicks("tips", 4),
                ElementsAre("tips id=3 WM_LBUTTONDOWN", "tips id=3 WM_LBUTTONUP",
                            "tips id=3 WM_LBUTTONDBLCLK", "tips id=3 WM_LBUTTONUP"));
    EXPECT_TRUE(WaitShown(false));
}

// Another window brought to the front, or clicked with the mouse, takes the
// activation from the list, which hides as after Cancel, sending nothing. A
// report box of the list's own leaves it shown.
TEST_F(InteractiveRows, AnotherWindowActivatedHidesTheList) {
    WriteRc(INTERACTIVE);
    StartHost();
    StartTray("classic", {"1 #e08a20 M Mail: 3 new messages"});
    StartTray("apps", THREE, {"-passive"});
    ParkPointer();
    const std::string program_window = "MarrowickDemoTrayWindow classic";
    Exec("@Marrowick.Click LeftDoubleClick mail");
    ASSERT_TRUE(AwaitWindowShown(program_window));
    // Four callbacks, the window opened on the third: all logged (under Wine 10
    // the fourth may still be on its way as the window shows).
    const size_t classic_lines = Clicks("classic", 5).size();
    WaitIdle({"classic"});

    Show();
    Exec("key down");
    EXPECT_EQ(ExecShowingBox("@Marrowick.Nonsense"), "Unknown bro@m: `@Marrowick.Nonsense'");
    HostIdle();  // the activation the box gave back, had it hidden the list
    EXPECT_TRUE(ListWindow().visible);
    ASSERT_EQ(Ask("front 700 200 " + program_window), "ok");
    EXPECT_TRUE(WaitShown(false)) << "the list stayed shown behind the program's window";

    // Shown again from the first row, as after Cancel.
    Show();
    EXPECT_THAT(ShownHighlight("shown_again", 4, {0}), ElementsAre(0));
    Exec("key down");
    const Rect window = TopLevel(program_window).rect;
    Mouse("left", {window.x + window.w / 2, window.y + window.h / 2});
    EXPECT_TRUE(WaitShown(false)) << "the list stayed shown after a click outside it";
    EXPECT_TRUE(AwaitForeground("MarrowickDemoTrayWindow"));

    HostIdle();
    EXPECT_EQ(Logged("classic").size(), classic_lines);
    EXPECT_TRUE(Logged("apps").empty());
}

// Without the key the list takes no input of its own: keys and buttons on it
// send nothing, the highlight stays and so does the list, and the bro@ms
// work as ever.
TEST_F(InteractiveRows, WithoutTheKeyKeysAndClicksOnTheListDoNothing) {
    StartFourRows("");
    ParkPointer();
    const Rect list = Show();
    Exec("@Marrowick.Next");
    Exec("key down up home end return apps shift+f10 escape m 2 space");
    for (int row : {3, 0, 2}) Mouse("move", RowCentre(list, 4, row));
    Mouse("left", RowCentre(list, 4, 0));
    Mouse("right", RowCentre(list, 4, 2));
    Mouse("middle", RowCentre(list, 4, 3));
    EXPECT_TRUE(NothingPosted());
    EXPECT_TRUE(ListWindow().visible);
    EXPECT_THAT(ShownHighlight("after_input", 4, {1}), ElementsAre(1));
    Exec("@Marrowick.Send LeftClick");
    EXPECT_THAT(Clicks("apps", 2),
                ElementsAre("apps id=2 WM_LBUTTONDOWN", "apps id=2 WM_LBUTTONUP"));
    EXPECT_FALSE(ListWindow().visible);
    EXPECT_TRUE(Logged("mail").empty());
    ExpectAltF4HidesAndTheNextBroamShows();
}

// Bro@ms, keys and the mouse in any mix drive one highlight; Enter sends
// the configured enter_click, Escape hides as Cancel does.
TEST_F(InteractiveRows, BroamsMixedWithKeysAndTheMouseKeepWorking) {
    StartFourRows(std::string(INTERACTIVE) + "marrowick.enter_click: LeftClick\n");
    ParkPointer();
    const std::pair<const char*, int> steps[] = {
        {"@Marrowick.Next", 0}, {"key down", 1},        {"@Marrowick.Next", 2},
        {"key up", 1},          {"@Marrowick.Prev", 0}, {"key up", 3},
        {"@Marrowick.Next", 0}, {"key end", 3},         {"@Marrowick.Prev", 2},
    };
    std::string expected, measured;
    for (const auto& [command, row] : steps) {
        Exec(command);
        ExpectHighlight(command, 4, row, &expected, &measured);
    }
    EXPECT_EQ(measured, expected);
    Exec("@Marrowick.Send RightClick");  // row 2, Battery
    EXPECT_TRUE(WaitShown(false));

    Exec("@Marrowick.Prev");  // shown on the last row
    Exec("key up return");    // row 2 again, with enter_click
    EXPECT_TRUE(WaitShown(false));
    Exec("@Marrowick.Next");
    Exec("key escape");
    EXPECT_TRUE(WaitShown(false));
    Exec("@Marrowick.Cancel");  // on a hidden list: nothing
    const Rect list = Show();
    Mouse("middle", RowCentre(list, 4, 3));
    EXPECT_TRUE(WaitShown(false));
    EXPECT_THAT(Clicks("apps", 4),
                ElementsAre("apps id=3 WM_RBUTTONDOWN", "apps id=3 WM_RBUTTONUP",
                            "apps id=3 WM_LBUTTONDOWN", "apps id=3 WM_LBUTTONUP"));
    EXPECT_THAT(Clicks("mail", 2),
                ElementsAre("mail id=7 WM_MBUTTONDOWN", "mail id=7 WM_MBUTTONUP"));
    ExpectAltF4HidesAndTheNextBroamShows();
}

// A tray changed under a shown list: a program removes its icon, adds one,
// or exits. Four passive programs, Alpha to Delta, one icon each; Bravo's row
// is highlighted and painted before the change. The click reaches Bravo, or
// nobody when Bravo is gone, and never the program that took its place.
struct TrayChange {
    const char* name;
    bool interactive;
    std::vector<std::string> change;  // inspector requests
    const char* act;                  // a host command, or "button" on Bravo's painted row
    const char* reached;              // the program the click reaches, "" for nobody
};

const TrayChange TRAY_CHANGES[] = {
    {"EnterAfterAnIconBeforeItWentAway", true, {"tell alpha delete 1"}, "key return", "bravo"},
    {"ButtonAfterAnIconMovedFromBeforeItToTheEnd",
     true,
     {"tell alpha delete 1", "tell alpha add 5 #808080 A Alpha again"},
     "button",
     "bravo"},
    {"InteractiveSendAfterItsProgramExited",
     true,
     {"tell bravo vanish"},
     "@Marrowick.Send LeftClick",
     ""},
    {"SendAfterAnIconBeforeItWentAway",
     false,
     {"tell alpha delete 1"},
     "@Marrowick.Send LeftClick",
     "bravo"},
    {"SendAfterItsIconWentAway", false, {"tell bravo delete 2"}, "@Marrowick.Send LeftClick", ""},
};

class TrayChanges : public Interactive, public ::testing::WithParamInterface<TrayChange> {
protected:
    static constexpr const char* PROGRAMS[] = {"alpha", "bravo", "charlie", "delta"};

    void StartFour(bool interactive) {
        WriteRc(std::string(interactive ? INTERACTIVE : "") + "marrowick.enter_click: LeftClick\n");
        StartHost();
        const char* tips[] = {"1 #3080ff A Alpha", "2 #e08a20 B Bravo", "3 #30c060 C Charlie",
                              "4 #d04040 D Delta"};
        for (int i = 0; i < 4; ++i) StartTray(PROGRAMS[i], {tips[i]}, {"-passive"});
        ParkPointer();
    }

    // Bravo's row highlighted and on the screen.
    Rect ShowBravo() {
        const Rect list = Show();
        Exec("@Marrowick.Next");
        EXPECT_THAT(ShownHighlight("bravo", 4, {1}), ElementsAre(1));
        return list;
    }

    // The programs that received something, each once it has handled every
    // callback posted to it ("received" handles them first); a program that
    // exited is not asked.
    std::vector<std::string> Reached(const std::string& gone = "") {
        std::vector<std::string> reached;
        for (const char* program : PROGRAMS) {
            if (program == gone) continue;
            const std::string request = std::string("tell ") + program + " received";
            EXPECT_TRUE(AwaitValue(
                request, [&] { return Ask(request); }, "ok"));
            if (!ReadLines(TrayLog(program)).empty()) reached.push_back(program);
        }
        return reached;
    }
};

TEST_P(TrayChanges, TheClickReachesTheHighlightedProgramOrNobody) {
    const TrayChange& c = GetParam();
    StartFour(c.interactive);
    const Rect list = ShowBravo();
    for (const std::string& request : c.change) ASSERT_EQ(Ask(request), "ok") << request;
    std::string gone;
    if (c.change.back() == "tell bravo vanish") {
        ASSERT_TRUE(trays_[1].WaitEnd(STEP_TIMEOUT));
        gone = "bravo";
    }
    Exec("tray");  // the host has taken the change
    if (std::string(c.act) == "button")
        Mouse("left", RowCentre(list, 4, 1));
    else
        Exec(c.act);
    EXPECT_TRUE(WaitShown(false));
    const std::vector<std::string> expected =
        *c.reached ? std::vector<std::string>{c.reached} : std::vector<std::string>{};
    EXPECT_EQ(Reached(gone), expected);
    if (*c.reached) {
        EXPECT_THAT(Clicks(c.reached, 2),
                    ElementsAre("bravo id=2 WM_LBUTTONDOWN", "bravo id=2 WM_LBUTTONUP"));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, TrayChanges, ::testing::ValuesIn(TRAY_CHANGES),
                         [](const auto& info) { return std::string(info.param.name); });

// Click purges the entry a program left behind while the list is shown: the
// list shrinks to the rows left, Bravo still highlighted, and a Send after
// it reaches Bravo.
TEST_F(TrayChanges, ClickWhileTheListIsShownKeepsTheHighlightedProgram) {
    StartFour(false);
    const Rect list = ShowBravo();
    ASSERT_EQ(Ask("tell alpha vanish"), "ok");
    ASSERT_TRUE(trays_[0].WaitEnd(STEP_TIMEOUT));
    Exec("@Marrowick.Click LeftClick delta");
    EXPECT_THAT(Clicks("delta", 2),
                ElementsAre("delta id=4 WM_LBUTTONDOWN", "delta id=4 WM_LBUTTONUP"));
    EXPECT_EQ(ListWindow().rect.h, list.h / 4 * 3);
    EXPECT_THAT(ShownHighlight("after_purge", 3, {0}), ElementsAre(0));
    Exec("@Marrowick.Send LeftClick");
    EXPECT_EQ(Reached("alpha"), (std::vector<std::string>{"bravo", "delta"}));
    EXPECT_THAT(Clicks("bravo", 2),
                ElementsAre("bravo id=2 WM_LBUTTONDOWN", "bravo id=2 WM_LBUTTONUP"));
}

}  // namespace
}  // namespace e2e
