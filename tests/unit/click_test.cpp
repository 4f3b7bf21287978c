// What the owner of the highlighted entry receives for each click name sent
// with "Send", and what happens for names that are not click names.
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
        return fake::CallsTo({"SetForegroundWindow", "PostMessageA", "MessageBoxA", "ShowWindow"});
    }
};

TEST_F(ClickTest, EachClickNamePostsItsMouseMessagesInOrderToTheOwner) {
    const struct {
        const char* name;
        std::vector<int> mouse_messages;
    } clicks[] = {
        {"LeftClick", {513, 514}},
        {"RightClick", {516, 517}},
        {"MiddleClick", {519, 520}},
        {"LeftDoubleClick", {513, 514, 515, 514}},
        {"RightDoubleClick", {516, 517, 518, 517}},
        {"MiddleDoubleClick", {519, 520, 521, 520}},
    };
    for (const auto& click : clicks) {
        SCOPED_TRACE(click.name);
        Lines expected = {"SetForegroundWindow 102"};
        for (int message : click.mouse_messages)
            expected.push_back("PostMessageA 102 1026 8 " + std::to_string(message));
        expected.push_back("ShowWindow 500 0");
        EXPECT_EQ(SendToRowOne(click.name), expected);
    }
}

TEST_F(ClickTest, UnknownNamesAreReportedAfterTheOwnerIsBroughtForwardAndPostNothing) {
    for (const char* name : {"leftclick", "LeftClick ", "Left Click", "LeftClickX", "Left",
                             "DoubleClick", "LEFTCLICK"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(SendToRowOne(name), (Lines{"SetForegroundWindow 102",
                                             Report(std::string("Unknown message: `") + name + "'"),
                                             "ShowWindow 500 0"}));
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
