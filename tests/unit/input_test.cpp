// The keys and mouse actions of the list: each one's whole recorded call
// sequence on a shown list of three rows with the second highlighted, with
// marrowick.interactive off (the default processing alone, as for any window)
// and on; and nothing but the default processing on a hidden list.
#include <cstring>

#include "plugin/plugin.h"
#include "tests/fakes/list_fixture.h"

namespace {

// The list is 93 by 60 at 354, 270, rows 20 pixels tall; the pointer stood at
// 400, 300 when it was shown. Window 700 is a message box the list owns, 701
// another program's window.
struct Action {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    Lines interactive;  // the calls before the default processing
};

constexpr LPARAM AT(int x, int y) { return MAKELPARAM(x, y); }
Lines Highlight(int row, const std::string& name) {
    return {"InvalidateRect 500 0 1",
            "GetTrayIcon " + std::to_string(row),
            "SetWindowTextA 500 \"" + name + "\"",
            "NotifyWinEvent 32780 500 -4 0",
            "GetFocus",
            "NotifyWinEvent 32773 500 -4 0"};
}
Lines Click(int row, const std::vector<int>& messages) {
    const std::string owner = std::to_string(101 + row);
    Lines calls = {"GetTrayIcon " + std::to_string(row), "SetForegroundWindow " + owner,
                   "IsWindow " + owner};
    for (int message : messages)
        calls.push_back("PostMessageA " + owner + " " + std::to_string(1025 + row) + " " +
                        std::to_string(7 + row) + " " + std::to_string(message));
    calls.push_back("ShowWindow 500 0");
    return calls;
}
Lines Join(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

const Action ACTIONS[] = {
    {"Down", WM_KEYDOWN, VK_DOWN, 0, Highlight(2, "Clock, 3 of 3")},
    {"Up", WM_KEYDOWN, VK_UP, 0, Highlight(0, "Volume, 1 of 3")},
    {"Home", WM_KEYDOWN, VK_HOME, 0, Highlight(0, "Volume, 1 of 3")},
    {"End", WM_KEYDOWN, VK_END, 0, Highlight(2, "Clock, 3 of 3")},
    {"Enter", WM_KEYDOWN, VK_RETURN, 0, Click(1, {513, 514, 515, 514})},
    {"Escape", WM_KEYDOWN, VK_ESCAPE, 0, {"ShowWindow 500 0"}},
    {"OtherKey", WM_KEYDOWN, VK_LEFT, 0, {}},
    {"Letter", WM_CHAR, 'c', 0,
     Join({{"IsCharAlphaNumericA 99", "GetMessageTime", "CharUpperBuffA \"c\" 1", "GetTrayIcon 2",
            "CharUpperBuffA \"C\" 1"},
           Highlight(2, "Clock, 3 of 3")})},
    {"Punctuation", WM_CHAR, '!', 0, {"IsCharAlphaNumericA 33", "IsDBCSLeadByte 33"}},
    {"AppsKey", WM_CONTEXTMENU, 500, AT(-1, -1), Click(1, {516, 517})},
    {"ContextMenuOfTheMouse", WM_CONTEXTMENU, 500, AT(400, 300), {}},
    {"PointerOntoRow2", WM_MOUSEMOVE, 0, AT(30, 45),
     Join({{"GetMessagePos", "GetClientRect 500"}, Highlight(2, "Clock, 3 of 3")})},
    {"PointerOnTheHighlightedRow",
     WM_MOUSEMOVE,
     0,
     AT(30, 25),
     {"GetMessagePos", "GetClientRect 500"}},
    {"LeftButtonUpOnRow0", WM_LBUTTONUP, 0, AT(30, 5),
     Join({{"GetClientRect 500"}, Highlight(0, "Volume, 1 of 3"), Click(0, {513, 514, 515, 514})})},
    {"RightButtonUpOnRow1", WM_RBUTTONUP, 0, AT(30, 25),
     Join({{"GetClientRect 500"}, Click(1, {516, 517})})},
    {"MiddleButtonUpOnRow1", WM_MBUTTONUP, 0, AT(30, 25),
     Join({{"GetClientRect 500"}, Click(1, {519, 520})})},
    {"ButtonUpBelowTheRows", WM_LBUTTONUP, 0, AT(30, 60), {"GetClientRect 500"}},
    {"AnotherProgramActivated", WM_ACTIVATE, WA_INACTIVE, 0, {"ShowWindow 500 0"}},
    {"AWindowOfItsOwnActivated", WM_ACTIVATE, WA_INACTIVE, 700, {"GetWindow 700 4"}},
    {"AnotherWindowActivated",
     WM_ACTIVATE,
     WA_INACTIVE,
     701,
     {"GetWindow 701 4", "ShowWindow 500 0"}},
    {"Activated", WM_ACTIVATE, WA_ACTIVE, 0, {}},
    {"SetCursor", WM_SETCURSOR, 500, 1, {"LoadCursorA 0 32512", "SetCursor 32512"}},
};

std::string ActionName(const testing::TestParamInfo<Action>& info) { return info.param.name; }

class InputTest : public ListTest, public testing::WithParamInterface<Action> {
protected:
    void SetUp() override {
        ListTest::SetUp();
        AddEntries({"Volume", "Network", "Clock"});
        fake::OwnedWindow(700, hListWnd);
        fake::LiveWindow(701);
    }

    // Shows the list with row 1 highlighted, presses the three buttons in
    // it, then moves the pointer off the place it had, unless the action is
    // to find it there.
    static void ShowRowOne(int interactive) {
        config.interactive = interactive;
        Broam("Next");
        Broam("Next");
        for (UINT down : {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN})
            WndProc(hListWnd, down, 0, AT(30, 25));
        fake::platform.cursor = {384, 315};
        fake::ClearCalls();
    }

    static Lines Act(const Action& action) {
        WndProc(hListWnd, action.message, action.wParam, action.lParam);
        return fake::Calls();
    }

    static std::string Default(const Action& action) {
        return "DefWindowProcA 500 " + std::to_string(action.message) + " " +
               std::to_string(action.wParam) + " " + std::to_string(action.lParam);
    }
};

TEST_P(InputTest, InteractiveOffGetsTheDefaultProcessingAlone) {
    ShowRowOne(0);
    EXPECT_EQ(Act(GetParam()), Lines{Default(GetParam())});
    EXPECT_TRUE(list_state.visible);
}

TEST_P(InputTest, InteractiveOnActsThenGetsTheDefaultProcessing) {
    ShowRowOne(1);
    Lines expected = GetParam().interactive;
    expected.push_back(Default(GetParam()));
    EXPECT_EQ(Act(GetParam()), expected);
}

TEST_P(InputTest, AHiddenInteractiveListGetsTheDefaultProcessingAlone) {
    ShowRowOne(1);
    Broam("Cancel");
    fake::ClearCalls();
    EXPECT_EQ(Act(GetParam()), Lines{Default(GetParam())});
}

INSTANTIATE_TEST_SUITE_P(Actions, InputTest, testing::ValuesIn(ACTIONS), ActionName);

class InteractiveListTest : public ListTest {
protected:
    void SetUp() override {
        ListTest::SetUp();
        config.interactive = 1;
        AddEntries({"Volume", "Network", "Clock"});
    }
    static void Key(WPARAM key) { WndProc(hListWnd, WM_KEYDOWN, key, 0); }
};

// The window system moves the pointer onto a list that appears under it; the
// highlight stays on the first row until the user moves the pointer.
TEST_F(InteractiveListTest, APointerThatHasNotMovedLeavesTheHighlight) {
    Broam("Next");
    fake::ClearCalls();
    WndProc(hListWnd, WM_MOUSEMOVE, 0, AT(46, 30));  // over row 1, at 400, 300 on the screen
    EXPECT_EQ(fake::Calls(), (Lines{"GetMessagePos", "DefWindowProcA 500 512 0 1966126"}));
    fake::platform.cursor = {401, 300};
    WndProc(hListWnd, WM_MOUSEMOVE, 0, AT(47, 30));
    EXPECT_EQ(list_state.selected, 1);
}

// Hovering repaints only when the highlighted row changes: moving within a
// row, onto the highlighted one or off the rows paints nothing.
TEST_F(InteractiveListTest, HoveringRepaintsOnlyWhenTheHighlightedRowChanges) {
    struct Move {
        LPARAM at;
        int repaints, selected;
    };
    const Move MOVES[] = {
        {AT(30, 5), 0, 0},  {AT(30, 25), 1, 1}, {AT(80, 39), 0, 1},
        {AT(2, 20), 0, 1},  {AT(30, 45), 1, 2}, {AT(30, 60), 0, 2},
        {AT(30, -1), 0, 2}, {AT(30, 59), 0, 2}, {AT(30, 19), 1, 0},
    };
    Broam("Next");
    for (const Move& move : MOVES) {
        // The list's top left corner is at 354, 270 on the screen.
        fake::platform.cursor = {354 + static_cast<short>(LOWORD(move.at)),
                                 270 + static_cast<short>(HIWORD(move.at))};
        fake::ClearCalls();
        WndProc(hListWnd, WM_MOUSEMOVE, 0, move.at);
        EXPECT_EQ(fake::CallsTo("InvalidateRect").size(), static_cast<size_t>(move.repaints))
            << "at " << LOWORD(move.at) << ", " << static_cast<short>(HIWORD(move.at));
        EXPECT_EQ(list_state.selected, move.selected);
    }
}

// A mouse click in the version-4 form says it happened where the pointer was
// as the button came up.
TEST_F(InteractiveListTest, AMouseClickInTheVersionFourFormIsAnchoredWhereTheButtonCameUp) {
    config.notify_version = 4;
    Broam("Next");
    fake::platform.cursor = {380, 295};
    WndProc(hListWnd, WM_RBUTTONDOWN, 0, AT(26, 25));
    fake::ClearCalls();
    WndProc(hListWnd, WM_RBUTTONUP, 0, AT(26, 25));
    EXPECT_EQ(fake::CallsTo({"GetMessagePos", "PostMessageA"}),
              (Lines{"GetMessagePos", "PostMessageA 102 1026 19333500 524804",
                     "PostMessageA 102 1026 19333500 524805",
                     "PostMessageA 102 1026 19333500 524411"}));  // 295 << 16 | 380
}

// The list appeared under a held button, or the button went down on an
// earlier showing: its button-up alone clicks nothing. After its own down in
// the list, it clicks once.
TEST_F(InteractiveListTest, AButtonUpActsOnlyAfterItsDownInTheSameShowing) {
    Broam("Next");
    WndProc(hListWnd, WM_RBUTTONDOWN, 0, AT(30, 5));
    Broam("Cancel");
    Broam("Next");
    fake::ClearCalls();
    for (UINT up : {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP}) WndProc(hListWnd, up, 0, AT(30, 5));
    EXPECT_EQ(fake::CallsTo("PostMessageA"), Lines{});
    WndProc(hListWnd, WM_MBUTTONDOWN, 0, AT(30, 5));
    WndProc(hListWnd, WM_MBUTTONUP, 0, AT(30, 5));
    WndProc(hListWnd, WM_MBUTTONUP, 0, AT(30, 5));
    EXPECT_EQ(fake::CallsTo("PostMessageA"),
              (Lines{"PostMessageA 101 1025 7 519", "PostMessageA 101 1025 7 520"}));
}

// The window system sends a mouse move whenever a window shows, hides or
// moves, the pointer standing still; such a move must not take the highlight
// back from the keys to the row under the pointer.
TEST_F(InteractiveListTest, AMouseMoveWherePointerAlreadyWasLeavesTheHighlight) {
    Broam("Next");
    fake::platform.cursor = {384, 315};  // over row 2
    WndProc(hListWnd, WM_MOUSEMOVE, 0, AT(30, 45));
    Key(VK_UP);
    WndProc(hListWnd, WM_MOUSEMOVE, 0, AT(30, 45));
    EXPECT_EQ(list_state.selected, 1);
    fake::ClearCalls();
    Key(VK_RETURN);
    EXPECT_EQ(fake::CallsTo("PostMessageA").at(0), "PostMessageA 102 1026 8 513");
}

// Where the window system refuses the list the foreground, it would take no
// keys and never hear that the user works elsewhere: it hides at once. The
// list of bro@ms, which needs no focus, shows as it always did.
TEST_F(InteractiveListTest, AListRefusedTheForegroundHidesAgainUnlessItIsDrivenByBroams) {
    fake::platform.foreground_refused = true;
    Broam("Next");
    EXPECT_EQ(fake::CallsTo({"ShowWindow", "SetForegroundWindow", "NotifyWinEvent"}),
              (Lines{"ShowWindow 500 5", "SetForegroundWindow 500", "ShowWindow 500 0"}));
    EXPECT_FALSE(list_state.visible);
    config.interactive = 0;
    Broam("Next");
    EXPECT_TRUE(list_state.visible);
}

TEST_F(InteractiveListTest, KeysAndBroamsMixAndWrapAround) {
    Broam("Next");
    Key(VK_UP);  // wraps to the last row
    EXPECT_EQ(list_state.selected, 2);
    Broam("Next");  // and back to the first
    EXPECT_EQ(list_state.selected, 0);
    Key(VK_END);
    Key(VK_DOWN);
    EXPECT_EQ(list_state.selected, 0);
    Broam("Prev");
    Key(VK_HOME);
    EXPECT_EQ(list_state.selected, 0);
    Key(VK_ESCAPE);
    EXPECT_FALSE(list_state.visible);
    Broam("Prev");  // a hidden list shows again at its last row
    EXPECT_EQ(list_state.selected, 2);
    EXPECT_TRUE(list_state.visible);
}

TEST_F(InteractiveListTest, EnterSendsTheConfiguredClickAndReportsAnUnknownOne) {
    std::strcpy(config.enter_click, "RightClick");
    Broam("Next");
    fake::ClearCalls();
    Key(VK_RETURN);
    EXPECT_EQ(fake::CallsTo("PostMessageA"),
              (Lines{"PostMessageA 101 1025 7 516", "PostMessageA 101 1025 7 517"}));
    std::strcpy(config.enter_click, "rightclick");
    Broam("Next");
    fake::ClearCalls();
    Key(VK_RETURN);
    EXPECT_EQ(fake::CallsTo({"PostMessageA", "MessageBoxA", "ShowWindow"}),
              (Lines{Report("Unknown message: `rightclick'"), "ShowWindow 500 0"}));
}

}  // namespace
