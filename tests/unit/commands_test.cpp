// The bro@m command language: showing, moving, hiding and confirming the
// list, the reports of unrecognised commands, and the count of live entries.
#include <tuple>

#include "tests/fakes/list_fixture.h"

namespace {

class CommandsTest : public ListTest {
protected:
    void SetUp() override {
        ListTest::SetUp();
        AddEntries({"Volume", "Network", "Clock"});
    }

    static std::tuple<int, int, int> State() {
        return {list_state.visible, list_state.selected, list_state.count};
    }
    static bool Shown() { return fake::FindWindowRecord(hListWnd)->visible; }
    static Lines WindowCalls() {
        return fake::CallsTo(
            {"SetWindowPos", "ShowWindow", "SetForegroundWindow", "InvalidateRect"});
    }
};

const std::string SHOW_AND_FOCUS[] = {"ShowWindow 500 5", "SetForegroundWindow 500"};
const std::string REPAINT = "InvalidateRect 500 0 1";

TEST_F(CommandsTest, NextShowsTheFirstRowThenMovesDownAndWrapsAround) {
    Broam("Next");
    EXPECT_EQ(State(), std::make_tuple(1, 0, 3));
    EXPECT_TRUE(Shown());
    EXPECT_EQ(fake::CallsTo("SendMessageA"), Lines{});  // a live tray is not purged
    for (int expected : {1, 2, 0}) {
        Broam("Next");
        EXPECT_EQ(list_state.selected, expected);
    }
    // Laid out for three rows before it is shown, then only repainted.
    EXPECT_EQ(WindowCalls(), (Lines{"SetWindowPos 500 0 354 270 93 60 532", SHOW_AND_FOCUS[0],
                                    SHOW_AND_FOCUS[1], REPAINT, REPAINT, REPAINT}));
}

TEST_F(CommandsTest, PrevShowsTheLastRowThenMovesUpAndWrapsAround) {
    Broam("Prev");
    EXPECT_EQ(State(), std::make_tuple(1, 2, 3));
    for (int expected : {1, 0, 2}) {
        Broam("Prev");
        EXPECT_EQ(list_state.selected, expected);
    }
    EXPECT_EQ(WindowCalls(), (Lines{"SetWindowPos 500 0 354 270 93 60 532", SHOW_AND_FOCUS[0],
                                    SHOW_AND_FOCUS[1], REPAINT, REPAINT, REPAINT, REPAINT}));
}

TEST_F(CommandsTest, EveryShowRecountsAndStartsAtTheFirstRow) {
    Broam("Prev");
    Broam("Cancel");
    AddEntries({"Battery"});
    Broam("Next");
    EXPECT_EQ(State(), std::make_tuple(1, 0, 4));
}

TEST_F(CommandsTest, AnEmptyTrayShowsNoRowsAndKeepsRowZero) {
    for (int size : {0, -3}) {  // a negative tray size counts as empty
        SCOPED_TRACE(size);
        fake::host.reported_tray_size = size;
        for (const char* command : {"Prev", "Next", "Prev", "Next"}) {
            Broam(command);
            EXPECT_EQ(State(), std::make_tuple(1, 0, 0));
        }
        Broam("Cancel");
    }
    EXPECT_EQ(fake::CallsTo({"GetTrayIcon", "SetWindowPos"}),
              Lines(2, "SetWindowPos 500 0 382 300 37 0 532"));
}

TEST_F(CommandsTest, CancelHidesAShownListAndLeavesAHiddenOneAlone) {
    Broam("Cancel");
    EXPECT_EQ(fake::Calls(), Lines{});
    Broam("Next");
    Broam("Next");
    fake::ClearCalls();
    Broam("Cancel");
    EXPECT_EQ(fake::Calls(), Lines{"ShowWindow 500 0"});
    EXPECT_EQ(State(), std::make_tuple(0, 1, 3));
    EXPECT_FALSE(Shown());
}

TEST_F(CommandsTest, SendAfterAnyWhiteSpaceClicksTheHighlightedEntryAndHides) {
    for (const char* space : {" ", "\t", "\n", "\v", "\f", "\r", "   ", " \t\r\n"}) {
        SCOPED_TRACE(testing::PrintToString(space));
        Broam("Next");
        Broam("Next");
        fake::ClearCalls();
        Broam(std::string("Send") + space + "LeftClick");
        EXPECT_EQ(fake::Calls(), (Lines{"GetTrayIcon 1", "SetForegroundWindow 102", "IsWindow 102",
                                        "PostMessageA 102 1026 8 513",
                                        "PostMessageA 102 1026 8 514", "ShowWindow 500 0"}));
        EXPECT_FALSE(Shown());
    }
}

TEST_F(CommandsTest, SendOnAHiddenListOnlyHides) {
    Broam("Send   LeftClick");
    EXPECT_EQ(fake::Calls(), Lines{"ShowWindow 500 0"});
}

TEST_F(CommandsTest, SendWithoutAClickNameReportsTheEmptyNameAndHides) {
    Broam("Next");
    fake::ClearCalls();
    Broam("Send  ");
    EXPECT_EQ(fake::CallsTo({"PostMessageA", "MessageBoxA", "ShowWindow"}),
              (Lines{Report("Unknown message: `'"), "ShowWindow 500 0"}));
}

TEST_F(CommandsTest, UnrecognisedCommandsAreReportedWholeAndChangeNothing) {
    Broam("Next");
    Broam("Next");
    fake::ClearCalls();
    for (const char* command : {"Next ", "next", "NEXT", "Nextt", "Prev\n", "Cancel now", "Send",
                                "SendLeftClick", "Send_ LeftClick", "", "Show", ".Next"}) {
        const std::string text = std::string("@Marrowick.") + command;
        SCOPED_TRACE(text);
        HandleBroam(text.c_str());
        EXPECT_EQ(fake::Calls(), Lines{Report("Unknown bro@m: `" + text + "'")});
        EXPECT_EQ(State(), std::make_tuple(1, 1, 3));
        fake::ClearCalls();
    }
}

TEST_F(CommandsTest, OtherPluginsBroadcastsAndNullTextAreIgnoredSilently) {
    for (const char* text : {"@Other.Next", "Marrowick.Next", "@marrowick.Next", "@Marrowick",
                             "@Marrowick Next", " @Marrowick.Next", "@MarrowickX.Next", ""}) {
        SCOPED_TRACE(text);
        HandleBroam(text);
    }
    HandleBroam(nullptr);
    EXPECT_EQ(fake::Calls(), Lines{});
    EXPECT_EQ(State(), std::make_tuple(0, 0, 0));
}

// The purge: the first missing entry or dead owner makes the host drop dead
// entries, and the size read afterwards is the row count.
TEST_F(CommandsTest, OneDeadOwnerAmongFourPurgesOnceAndUsesTheNewSize) {
    AddEntries({"Battery"});
    fake::KillWindow(fake::host.tray[1].hWnd);
    Broam("Next");
    EXPECT_EQ(fake::CallsTo({"GetTray", "IsWindow", "SendMessageA", "SetWindowPos"}),
              (Lines{"GetTraySize", "GetTrayIcon 0", "IsWindow 101", "GetTrayIcon 1",
                     "IsWindow 102", "SendMessageA 1 10508 0 0", "GetTraySize",
                     // the layout of the three rows left
                     "GetTrayIcon 0", "GetTrayIcon 1", "GetTrayIcon 2",
                     "SetWindowPos 500 0 354 270 93 60 532"}));
    EXPECT_EQ(list_state.count, 3);
}

TEST_F(CommandsTest, AMissingEntryBelowTheTraySizeAlsoPurges) {
    fake::host.reported_tray_size = 5;
    Broam("Next");
    EXPECT_EQ(fake::CallsTo({"GetTraySize", "GetTrayIcon 3", "SendMessageA"}),
              (Lines{"GetTraySize", "GetTrayIcon 3", "SendMessageA 1 10508 0 0", "GetTraySize"}));
    EXPECT_EQ(list_state.count, 3);
}

}  // namespace
