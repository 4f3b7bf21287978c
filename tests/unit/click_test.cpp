// What the owner of the highlighted entry receives for each click name sent
// with "Send" in each form the notification version selects, and what
// happens for names that are not click names.
#include "tests/fakes/list_fixture.h"

namespace {

class ClickTest : public ListTest {
protected:
    void SetUp() override {
        ListTest::SetUp();
        AddEntries({"Volume", "Network", "Clock"});
    }

    // Shows the list with row 1 highlighted, whose owner is window 102 with
    // icon id 8 and callback message 1026, and sends the click name.
    static Lines SendToRowOne(const std::string& name) {
        Broam("Next");
        Broam("Next");
        fake::ClearCalls();
        Broam("Send " + name);
        return fake::CallsTo(
            {"SetForegroundWindow", "GetWindowRect", "PostMessageA", "MessageBoxA", "ShowWindow"});
    }
};

// What row one's owner is posted for one message: in the classic form (0 and
// 3) its icon id 8 as wParam and the message as lParam; in the version-4 form
// the message in lParam's low word, the id in its high word, and wParam the
// icon's centre where the list stands, x 366 and y 300 (the list of three rows
// 20 pixels tall is 93 by 60 at 354, 270 on the 800 by 600 screen; row one's
// icon is 4 from its left and 2 below its top, 16 pixels square).
std::string Posted(int version, int message) {
    if (version == 4)
        return "PostMessageA 102 1026 " + std::to_string(300 << 16 | 366) + " " +
               std::to_string(8 << 16 | message);
    return "PostMessageA 102 1026 8 " + std::to_string(message);
}

constexpr int SELECT = 0x400;  // NIN_SELECT
constexpr int MENU = 0x7B;     // WM_CONTEXTMENU

struct ClickCase {
    int version;
    const char* name;
    std::vector<int> messages;  // as the owner reads them, in order
};

std::string CaseName(const testing::TestParamInfo<ClickCase>& info) {
    return std::string(info.param.name) + "_" + std::to_string(info.param.version);
}

class ClickFormTest : public ClickTest, public testing::WithParamInterface<ClickCase> {};

TEST_P(ClickFormTest, PostsTheClickInOrderToTheOwnerBeforeTheListHides) {
    const ClickCase& click = GetParam();
    config.notify_version = click.version;
    Lines expected = {"SetForegroundWindow 102"};
    if (click.version == 4) expected.push_back("GetWindowRect 500");
    for (int message : click.messages) expected.push_back(Posted(click.version, message));
    expected.push_back("ShowWindow 500 0");
    EXPECT_EQ(SendToRowOne(click.name), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ClickFormTest,
    testing::Values(
        // The classic form: the mouse messages alone.
        ClickCase{0, "LeftClick", {513, 514}}, ClickCase{0, "RightClick", {516, 517}},
        ClickCase{0, "MiddleClick", {519, 520}},
        ClickCase{0, "LeftDoubleClick", {513, 514, 515, 514}},
        ClickCase{0, "RightDoubleClick", {516, 517, 518, 517}},
        ClickCase{0, "MiddleDoubleClick", {519, 520, 521, 520}},
        // Version 3: a notification after each left or right button-up.
        ClickCase{3, "LeftClick", {513, 514, SELECT}}, ClickCase{3, "RightClick", {516, 517, MENU}},
        ClickCase{3, "MiddleClick", {519, 520}},
        ClickCase{3, "LeftDoubleClick", {513, 514, SELECT, 515, 514, SELECT}},
        ClickCase{3, "RightDoubleClick", {516, 517, MENU, 518, 517, MENU}},
        ClickCase{3, "MiddleDoubleClick", {519, 520, 521, 520}},
        // Version 4: the same messages, packed in the version-4 form.
        ClickCase{4, "LeftClick", {513, 514, SELECT}}, ClickCase{4, "RightClick", {516, 517, MENU}},
        ClickCase{4, "MiddleClick", {519, 520}},
        ClickCase{4, "LeftDoubleClick", {513, 514, SELECT, 515, 514, SELECT}},
        ClickCase{4, "RightDoubleClick", {516, 517, MENU, 518, 517, MENU}},
        ClickCase{4, "MiddleDoubleClick", {519, 520, 521, 520}}),
    CaseName);

TEST_F(ClickTest, TheVersionFourFormSpelledOut) {
    config.notify_version = 4;
    EXPECT_EQ(
        SendToRowOne("LeftClick"),
        (Lines{"SetForegroundWindow 102", "GetWindowRect 500",
               "PostMessageA 102 1026 19661166 524801", "PostMessageA 102 1026 19661166 524802",
               "PostMessageA 102 1026 19661166 525312", "ShowWindow 500 0"}));
}

TEST_F(ClickTest, UnknownNamesAreReportedAfterTheOwnerIsBroughtForwardAndPostNothing) {
    for (int version : {0, 3, 4}) {
        config.notify_version = version;
        for (const char* name : {"leftclick", "LeftClick ", "Left Click", "LeftClickX", "Left",
                                 "DoubleClick", "LEFTCLICK", ""}) {
            SCOPED_TRACE(std::to_string(version) + " " + name);
            EXPECT_EQ(SendToRowOne(name),
                      (Lines{"SetForegroundWindow 102",
                             Report(std::string("Unknown message: `") + name + "'"),
                             "ShowWindow 500 0"}));
        }
    }
}

// A bro@m that shows the list while the report of a misspelt name is open
// (the report's own message loop runs the host's broadcasts) shows it for
// good: the Send that was reported hides only the showing it was sent to.
TEST_F(ClickTest, AListShownWhileAReportIsOpenStaysShown) {
    for (int interactive : {0, 1}) {
        SCOPED_TRACE(interactive);
        config.interactive = interactive;
        Broam("Next");
        fake::platform.during_message_box = [] {
            Broam("Cancel");
            Broam("Next");
        };
        fake::ClearCalls();
        Broam("Send LeftClik");
        EXPECT_EQ(fake::CallsTo({"SetForegroundWindow", "MessageBoxA", "ShowWindow"}),
                  (Lines{"SetForegroundWindow 101", Report("Unknown message: `LeftClik'"),
                         "ShowWindow 500 0", "ShowWindow 500 5", "SetForegroundWindow 500"}));
        EXPECT_TRUE(list_state.visible);
        Broam("Cancel");
    }
}

TEST_F(ClickTest, AHighlightedEntryGoneFromTheTraySendsNothingAndStillHides) {
    Broam("Prev");  // row 2
    fake::host.tray.pop_back();
    fake::ClearCalls();
    Broam("Send LeftClick");
    EXPECT_EQ(fake::Calls(), (Lines{"GetTrayIcon 2", "ShowWindow 500 0"}));
}

}  // namespace
