// What a paint of the list draws: the background, the highlight behind the
// selected row, and each row's icon and one-line text.
#include "traylist/paint.h"

#include "tests/fakes/list_fixture.h"

namespace {

class PaintTest : public ListTest {
protected:
    // Three rows in the 197 by 60 window that their layout gives.
    void SetUp() override {
        ListTest::SetUp();
        AddEntries({"Volume", "Wi-Fi\r\nConnected", "Clock"});
        SizeWindow(197, 60);
    }

    ListState list = {1, 1, 3};  // shown, three rows, the second highlighted

    static void SizeWindow(int width, int height) {
        SetWindowPos(hListWnd, nullptr, 302, 270, width, height, 0);
        fake::ClearCalls();
    }

    static Lines Drawn() { return fake::CallsTo({"MakeStyleGradient", "DrawIconEx", "DrawTextA"}); }
};

TEST_F(PaintTest, ThreeRowsWithTheSecondHighlighted) {
    PaintList(hListWnd, list);
    EXPECT_EQ(fake::Calls(), (Lines{"GetSettingPtr 8",
                                    "GetSettingPtr 9",
                                    "BeginPaint 500",
                                    "GetClientRect 500",
                                    "MakeStyleGradient 2000 0 0 197 60 style8 0",
                                    "CreateStyleFont 3000",
                                    "SelectObject 2000 3000",
                                    "SetTextColor 2000 111",
                                    "SetBkMode 2000 1",
                                    "GetTrayIcon 0",
                                    "DrawIconEx 2000 4 2 601 16 16 0 0 3",
                                    "DrawTextA 2000 \"Volume\" -1 24 2 184 18 2084",
                                    "GetTrayIcon 1",
                                    "MakeStyleGradient 2000 0 20 197 40 style9 0",
                                    "SetTextColor 2000 222",
                                    "DrawIconEx 2000 4 22 602 16 16 0 0 3",
                                    "DrawTextA 2000 \"Wi-Fi / Connected\" -1 24 22 184 38 2084",
                                    "SetTextColor 2000 111",
                                    "GetTrayIcon 2",
                                    "DrawIconEx 2000 4 42 603 16 16 0 0 3",
                                    "DrawTextA 2000 \"Clock\" -1 24 42 184 58 2084",
                                    "SelectObject 2000 9",
                                    "DeleteObject 3000",
                                    "EndPaint 500 2000"}));
}

TEST_F(PaintTest, EveryPaddingOnItsOwnSideAndBordersWhenAsked) {
    config.base_padding = {5, 3, 1, 7};
    config.tip_padding = {1, 13, 3, 4};
    config.icon_size = 10;
    config.icon_tip_padding = 6;
    config.base_border = 1;
    config.tip_border = 1;
    config.do_convert_new_line = 0;
    list = {1, 0, 2};
    SizeWindow(100, 47);  // rows of (47 - 5 - 1) / 2 = 20, content 16
    PaintList(hListWnd, list);
    EXPECT_EQ(Drawn(), (Lines{"MakeStyleGradient 2000 0 0 100 47 style8 1",
                              "MakeStyleGradient 2000 7 5 97 25 style9 1",
                              "DrawIconEx 2000 11 6 601 10 10 0 0 3",
                              "DrawTextA 2000 \"Volume\" -1 27 6 84 22 2084",
                              "DrawIconEx 2000 11 26 602 10 10 0 0 3",
                              "DrawTextA 2000 \"Wi-Fi\r\nConnected\" -1 27 26 84 42 2084"}));
}

TEST_F(PaintTest, ZeroRowsPaintTheBackgroundAlone) {
    list = {1, 0, 0};
    SizeWindow(37, 0);
    PaintList(hListWnd, list);
    EXPECT_EQ(fake::Calls(),
              (Lines{"GetSettingPtr 8", "GetSettingPtr 9", "BeginPaint 500", "GetClientRect 500",
                     "MakeStyleGradient 2000 0 0 37 0 style8 0", "EndPaint 500 2000"}));
}

TEST_F(PaintTest, IconSizeZeroDrawsNoIconsAndTextAtTheColumnEdge) {
    config.icon_size = 0;
    PaintList(hListWnd, list);
    EXPECT_EQ(fake::CallsTo({"DrawIconEx", "DrawTextA"}),
              (Lines{"DrawTextA 2000 \"Volume\" -1 4 2 184 18 2084",
                     "DrawTextA 2000 \"Wi-Fi / Connected\" -1 4 22 184 38 2084",
                     "DrawTextA 2000 \"Clock\" -1 4 42 184 58 2084"}));
}

TEST_F(PaintTest, VanishedEntriesEndTheRowsAndTakeTheHighlightAlong) {
    list.selected = 2;
    fake::host.tray.resize(2);
    PaintList(hListWnd, list);
    EXPECT_EQ(
        fake::CallsTo({"GetTrayIcon", "MakeStyleGradient", "DrawTextA"}),
        (Lines{"MakeStyleGradient 2000 0 0 197 60 style8 0", "GetTrayIcon 0",
               "DrawTextA 2000 \"Volume\" -1 24 2 184 18 2084", "GetTrayIcon 1",
               "DrawTextA 2000 \"Wi-Fi / Connected\" -1 24 22 184 38 2084", "GetTrayIcon 2"}));
}

}  // namespace
