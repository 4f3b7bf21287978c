// Layout and painting with settings at the ends of the int range, which an rc
// file can give (paddings saturate there when read). The rectangles saturate
// too instead of overflowing: a huge padding makes a huge window, never one of
// negative size, and the rows keep their order.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "config/config.h"
#include "plugin/module.h"
#include "tests/fakes/fake.h"
#include "traylist/layout.h"
#include "traylist/paint.h"

namespace {

using Lines = std::vector<std::string>;

const ListState LIST = {1, 0, 3};  // shown, three rows, the first highlighted

class ExtremeGeometryTest : public testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        config = DEFAULT_CONFIG;
        hListWnd = fake::LiveWindow(500);
        for (int i = 0; i < 3; ++i)
            fake::AddTrayEntry(fake::LiveWindow(101 + i), 7, 1025, 601 + i,
                               std::string(1, 'a' + i));
    }

    // The window as the default layout of three one-letter rows leaves it.
    static void PaintDefaultSizedWindow() {
        SetWindowPos(hListWnd, nullptr, 0, 0, 197, 60, 0);
        fake::ClearCalls();
        PaintList(hListWnd, LIST);
    }
};

TEST_F(ExtremeGeometryTest, HugePaddingsMakeTheLargestWindowNotANegativeOne) {
    config.base_padding = {INT_MAX, INT_MAX, INT_MAX, INT_MAX};
    config.tip_padding = {INT_MAX, INT_MAX, INT_MAX, INT_MAX};
    LayoutList(LIST, nullptr);
    // Centred on the 800 by 600 screen: 400 - INT_MAX / 2 and 300 - INT_MAX / 2.
    EXPECT_EQ(fake::CallsTo("SetWindowPos"),
              Lines{"SetWindowPos 500 0 -1073741423 -1073741523 2147483647 2147483647 532"});
}

TEST_F(ExtremeGeometryTest, PaddingsAtIntMinPaintRowsInOrderAndSaturateTheLast) {
    config.base_padding = {INT_MIN, INT_MIN, INT_MIN, INT_MIN};
    PaintDefaultSizedWindow();
    // The row height is (60 + 2 * 2^31) / 3 - 4 = 1431655781; the column runs
    // from INT_MIN + 4 to the saturated right edge; the last row's bottom lies
    // beyond INT_MAX and stops there.
    EXPECT_EQ(fake::CallsTo("DrawTextA"),
              (Lines{"DrawTextA 2000 \"a\" -1 -2147483624 -2147483646 2147483647 -715827865 2084",
                     "DrawTextA 2000 \"b\" -1 -2147483624 -715827861 2147483647 715827920 2084",
                     "DrawTextA 2000 \"c\" -1 -2147483624 715827924 2147483647 2147483647 2084"}));
    EXPECT_EQ(
        fake::CallsTo("MakeStyleGradient 2000 -2147483648"),
        Lines{"MakeStyleGradient 2000 -2147483648 -2147483648 2147483647 -715827863 style9 0"});
}

TEST_F(ExtremeGeometryTest, AHugeIconPushesTheTextOutButEveryIconStaysInTheColumn) {
    config.icon_size = INT_MAX;
    config.icon_tip_padding = INT_MAX;
    PaintDefaultSizedWindow();
    EXPECT_EQ(fake::CallsTo("DrawIconEx"),
              (Lines{"DrawIconEx 2000 4 2 601 2147483647 2147483647 0 0 3",
                     "DrawIconEx 2000 4 22 602 2147483647 2147483647 0 0 3",
                     "DrawIconEx 2000 4 42 603 2147483647 2147483647 0 0 3"}));
    EXPECT_EQ(fake::CallsTo("DrawTextA").front(),
              "DrawTextA 2000 \"a\" -1 2147483647 2 184 18 2084");
}

}  // namespace
