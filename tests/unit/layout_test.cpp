// The list window's size for its rows and its place in the middle of the
// screen, measured in the base style's font.
#include "traylist/layout.h"

#include <cstring>

#include "tests/fakes/list_fixture.h"

namespace {

ListState list;  // the list laid out

class LayoutTest : public ListTest {
protected:
    // Three entries whose one-line texts measure 100, 160 and 40 by 13.
    void SetUp() override {
        ListTest::SetUp();
        fake::platform.text_widths = {{"Volume", 100}, {"Wi-Fi / Connected", 160}, {"Clock", 40}};
        AddEntries({"Volume", "Wi-Fi\r\nConnected", "Clock"});
        list = {1, 0, 3};
    }
};

TEST_F(LayoutTest, FitsTheWidestTextAndTheTallestRowAndCentres) {
    LayoutList(list, nullptr);
    EXPECT_EQ(fake::Calls(), (Lines{
                                 "GetSettingPtr 8",
                                 "GetDC 500",
                                 "CreateStyleFont 3000",
                                 "SelectObject 2000 3000",
                                 "GetTrayIcon 0",
                                 "DrawTextA 2000 \"Volume\" -1 0 0 100 13 3104",
                                 "GetTrayIcon 1",
                                 "DrawTextA 2000 \"Wi-Fi / Connected\" -1 0 0 160 13 3104",
                                 "GetTrayIcon 2",
                                 "DrawTextA 2000 \"Clock\" -1 0 0 40 13 3104",
                                 "SelectObject 2000 9",
                                 "DeleteObject 3000",
                                 "ReleaseDC 500 2000",
                                 "GetSystemMetrics 0",
                                 "GetSystemMetrics 1",
                                 "SetWindowPos 500 0 302 270 197 60 532",
                             }));
}

TEST_F(LayoutTest, SettingsAndScreenChangeSizeAndPlace) {
    const struct {
        const char* what;
        void (*change)();
        const char* placed;
    } cases[] = {
        {"no rows: paddings, icon and gap", [] { list.count = 0; },
         "SetWindowPos 500 0 382 300 37 0 532"},
        {"no rows with base paddings",
         [] {
             list.count = 0;
             config.base_padding = {1, 2, 3, 4};
         },
         "SetWindowPos 500 0 379 298 43 4 532"},
        {"icon size 0: rows as tall as the text", [] { config.icon_size = 0; },
         "SetWindowPos 500 0 310 275 181 51 532"},
        {"text taller than the icon", [] { fake::platform.text_height = 20; },
         "SetWindowPos 500 0 302 264 197 72 532"},
        {"every padding on its own side",
         [] {
             config.base_padding = {1, 2, 3, 4};
             config.tip_padding = {5, 6, 7, 8};
             config.icon_tip_padding = 9;
             config.icon_size = 10;
         },
         "SetWindowPos 500 0 301 261 199 79 532"},
        {"system reports no screen: the configured one",
         [] {
             fake::platform.screen_width = 0;
             fake::platform.screen_height = -1;
         },
         "SetWindowPos 500 0 222 210 197 60 532"},
        {"each half truncated on its own",
         [] {
             fake::platform.screen_width = 101;
             fake::platform.screen_height = 59;
         },
         "SetWindowPos 500 0 -48 -1 197 60 532"},
    };
    for (const auto& c : cases) {
        SetUp();
        SCOPED_TRACE(c.what);
        c.change();
        LayoutList(list, nullptr);
        EXPECT_EQ(fake::CallsTo("SetWindowPos"), Lines{c.placed});
        TearDown();
    }
}

TEST_F(LayoutTest, AVanishedEntryEndsTheMeasuringButNotTheRows) {
    fake::host.tray.resize(1);
    LayoutList(list, nullptr);
    EXPECT_EQ(fake::CallsTo({"GetTrayIcon", "DrawTextA", "SetWindowPos"}),
              (Lines{"GetTrayIcon 0", "DrawTextA 2000 \"Volume\" -1 0 0 100 13 3104",
                     "GetTrayIcon 1", "SetWindowPos 500 0 332 270 137 60 532"}));
}

TEST_F(LayoutTest, UnconvertedTipsAreMeasuredWhole) {
    config.do_convert_new_line = 0;
    const std::string long_tip(300, 'x');
    std::strcpy(fake::host.tray[0].szTip, long_tip.c_str());
    LayoutList(list, nullptr);
    EXPECT_EQ(fake::CallsTo("DrawTextA"),
              (Lines{"DrawTextA 2000 \"" + long_tip + "\" -1 0 0 2400 13 3104",
                     "DrawTextA 2000 \"Wi-Fi\r\nConnected\" -1 0 0 128 13 3104",
                     "DrawTextA 2000 \"Clock\" -1 0 0 40 13 3104"}));
}

TEST_F(LayoutTest, WithoutADeviceContextTheWindowKeepsItsPlace) {
    fake::platform.get_dc_fails = true;
    LayoutList(list, nullptr);
    EXPECT_EQ(fake::Calls(), (Lines{"GetSettingPtr 8", "GetDC 500"}));
}

}  // namespace
