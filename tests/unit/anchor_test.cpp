// The point a click in the version-4 form says it happened at: the centre of
// the highlighted row's icon where the list window stands on the screen,
// packed as two 16-bit coordinates.
#include <climits>

#include "tests/fakes/list_fixture.h"
#include "traylist/paint.h"
#include "traylist/rows.h"

namespace {

class AnchorTest : public ListTest {
protected:
    void SetUp() override {
        ListTest::SetUp();
        AddEntries({"Volume", "Network", "Clock"});
    }

    ListState list = {1, 0, 3};  // shown, three rows, the first highlighted

    static void PlaceWindow(int x, int y, int width, int height) {
        SetWindowPos(hListWnd, nullptr, x, y, width, height, 0);
    }

    // The coordinates as the owner unpacks them (GET_X_LPARAM, GET_Y_LPARAM).
    static std::pair<int, int> Unpacked(WPARAM anchor) {
        return {static_cast<short>(anchor & 0xFFFF), static_cast<short>(anchor >> 16 & 0xFFFF)};
    }
};

TEST_F(AnchorTest, TheCentreOfTheHighlightedIconAsPaintedWhereTheWindowStands) {
    config.base_padding = {5, 3, 1, 7};
    config.tip_padding = {1, 13, 3, 4};
    config.icon_size = 10;
    list.selected = 2;
    PlaceWindow(100, 200, 120, 71);
    // Rows of (71 - 5 - 1) / 3 = 21 pixels; row 2's icon is drawn at
    // 7 + 4 = 11 and 5 + 2 * 21 + 1 = 48 in the window, its centre 5 further
    // on: 100 + 16 = 116 and 200 + 53 = 253 on the screen.
    PaintList(hListWnd, list);
    EXPECT_EQ(fake::CallsTo("DrawIconEx 2000 11 48"),
              Lines{"DrawIconEx 2000 11 48 603 10 10 0 0 3"});
    EXPECT_EQ(ClickAnchor(list), WPARAM{16580724});  // 253 << 16 | 116
    EXPECT_EQ(Unpacked(ClickAnchor(list)), std::make_pair(116, 253));
}

TEST_F(AnchorTest, NegativeCoordinatesSurviveThePacking) {
    // A list on a monitor left of and above the primary one.
    PlaceWindow(-300, -40, 93, 60);
    EXPECT_EQ(ClickAnchor(list), WPARAM{4293066464});  // 0xFFE2 << 16 | 0xFEE0
    EXPECT_EQ(Unpacked(ClickAnchor(list)), std::make_pair(-288, -30));
}

TEST_F(AnchorTest, AWindowWhosePlaceCannotBeHadGivesTheScreenOrigin) {
    PlaceWindow(100, 200, 120, 71);
    fake::platform.get_window_rect_fails = true;
    EXPECT_EQ(ClickAnchor(list), WPARAM{0});
}

TEST_F(AnchorTest, PointsBeyondSixteenBitsStopAtTheEdgeOfTheRange) {
    PlaceWindow(100, 200, 120, 71);
    list.selected = 2;
    config.base_padding = {INT_MAX, INT_MAX, INT_MAX, INT_MAX};
    config.tip_padding = {INT_MAX, INT_MAX, INT_MAX, INT_MAX};
    config.icon_size = INT_MAX;
    EXPECT_EQ(Unpacked(ClickAnchor(list)), std::make_pair(32767, 32767));
    config.base_padding = {INT_MIN, INT_MIN, INT_MIN, INT_MIN};
    config.tip_padding = {INT_MIN, INT_MIN, INT_MIN, INT_MIN};
    config.icon_size = 0;
    EXPECT_EQ(Unpacked(ClickAnchor(list)), std::make_pair(-32768, -32768));
}

// A list shown with no rows clicks nothing, not even an entry that came
// since: the user chose none.
TEST_F(AnchorTest, AListShownEmptyClicksNothingEvenAnEntryAddedSince) {
    fake::host.tray.clear();
    config.notify_version = 4;
    Broam("Next");
    ASSERT_EQ(list_state.count, 0);
    AddEntries({"Late"});
    fake::ClearCalls();
    Broam("Send LeftClick");
    EXPECT_EQ(fake::Calls(), Lines{"ShowWindow 500 0"});
}

}  // namespace
