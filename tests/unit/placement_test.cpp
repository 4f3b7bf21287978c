// marrowick.placement monitor: the list centred on the work area of the
// monitor that holds the foreground window (or the pointer), kept inside it,
// and, when its rows are taller than the area, showing those around the
// highlight, scrolled as it moves, with painting, the click's anchor and the
// mouse agreeing on where each row lies.
#include <cstdio>

#include "plugin/plugin.h"
#include "tests/fakes/list_fixture.h"
#include "traylist/paint.h"
#include "traylist/rows.h"

namespace {

const std::string INFO = "GetMonitorInfoA 4001 " + std::to_string(sizeof(MONITORINFO));

class PlacementTest : public ListTest {
protected:
    void SetUp() override {
        ListTest::SetUp();
        config.placement = PLACEMENT_MONITOR;
        // The primary monitor, and one right of it and higher up.
        fake::platform.monitors = {{{0, 0, 800, 600}, {0, 0, 800, 570}},
                                   {{800, -100, 1824, 668}, {800, -100, 1824, 640}}};
    }
    static void Rows(int n) {
        std::vector<std::string> tips;
        for (int i = 0; i < n; ++i) {
            char tip[32];
            std::snprintf(tip, sizeof tip, "Entry %02d", i);
            tips.push_back(tip);
        }
        AddEntries(tips);
    }
    static Lines Placed() {
        return fake::CallsTo({"GetForegroundWindow", "MonitorFrom", "GetMonitorInfoA",
                              "GetCursorPos", "GetSystemMetrics", "SetWindowPos"});
    }
};

TEST_F(PlacementTest, OnTheWorkAreaOfTheForegroundWindowsMonitor) {
    Rows(3);  // 101 by 60
    const HWND editor = fake::LiveWindow(900);
    SetWindowPos(editor, nullptr, 1000, 100, 400, 300, 0);
    ShowWindow(editor, SW_SHOW);
    SetForegroundWindow(editor);
    fake::ClearCalls();
    Broam("Next");
    EXPECT_EQ(Placed(), (Lines{"GetForegroundWindow", "MonitorFromWindow 900 2", INFO,
                               "SetWindowPos 500 0 1262 240 101 60 532"}));
}

// The desktop spans every monitor, and a hidden or minimized window lies on
// none the user looks at: then the pointer says where the user is.
TEST_F(PlacementTest, TheDesktopOrAHiddenOrMinimizedForegroundWindowGivesWayToThePointer) {
    Rows(3);
    const HWND window = fake::LiveWindow(901);  // on the primary monitor
    SetWindowPos(window, nullptr, 0, 0, 10, 10, 0);
    fake::platform.shell = fake::LiveWindow(902);
    fake::platform.cursor = {1200, 300};  // on the second monitor
    const std::string PRIMARY = "SetWindowPos 500 0 350 255 101 60 532";
    const std::string POINTERS = "SetWindowPos 500 0 1262 240 101 60 532";
    struct Case {
        HWND foreground;
        bool visible, minimized;
        std::string placed;
    };
    for (const Case& c :
         {Case{fake::platform.desktop, true, false, POINTERS},
          Case{fake::platform.shell, true, false, POINTERS}, Case{window, false, false, POINTERS},
          Case{window, true, true, POINTERS}, Case{window, true, false, PRIMARY}}) {
        fake::SetWindowState(window, c.visible, c.minimized);
        fake::platform.foreground = c.foreground;
        Broam("Next");
        Broam("Cancel");
        EXPECT_EQ(fake::CallsTo("SetWindowPos").back(), c.placed) << fake::Num(c.foreground);
    }
}

TEST_F(PlacementTest, OnThePointersMonitorWithoutAForegroundWindowNegativeCoordinatesToo) {
    Rows(3);
    fake::platform.monitors[1] = {{-1280, -200, 0, 824}, {-1280, -200, 0, 824}};
    fake::platform.cursor = {-500, 100};
    Broam("Next");
    EXPECT_EQ(Placed(), (Lines{"GetForegroundWindow", "GetCursorPos", "MonitorFromPoint -500 100 2",
                               INFO, "SetWindowPos 500 0 -690 282 101 60 532"}));
}

// A failed query, or a work area with no room (empty or inverted): a list
// fitted into it would have no height, an interactive one holding the focus
// unseen.
TEST_F(PlacementTest, AFailedMonitorQueryOrAnEmptyWorkAreaCentresOnTheScreenAsBefore) {
    Rows(3);
    for (const RECT& work : {RECT{0, 0, 800, 570}, RECT{0, 300, 800, 300}, RECT{0, 400, 800, 100},
                             RECT{500, 0, 400, 570}}) {
        fake::platform.monitor_info_fails = work.bottom == 570 && work.left == 0;
        fake::platform.monitors[0].work = work;
        Broam("Next");
        Broam("Cancel");
        EXPECT_EQ(Placed().back(), "SetWindowPos 500 0 350 270 101 60 532");
        EXPECT_EQ(list_state.window_rows, 0);
    }
}

// A Click whose purge shifts the rows under the shown list lays it out anew
// where it was shown, though the user now works on the other monitor.
TEST_F(PlacementTest, ARefitKeepsTheListOnTheMonitorItWasShownOn) {
    Rows(4);
    const HWND editor = fake::LiveWindow(900);
    SetWindowPos(editor, nullptr, 1000, 100, 400, 300, 0);
    ShowWindow(editor, SW_SHOW);
    SetForegroundWindow(editor);
    Broam("Next");
    const HWND mail = fake::LiveWindow(901);  // on the primary monitor
    SetWindowPos(mail, nullptr, 0, 0, 400, 300, 0);
    ShowWindow(mail, SW_SHOW);
    SetForegroundWindow(mail);
    fake::KillWindow(reinterpret_cast<HWND>(101));
    fake::ClearCalls();
    Broam("Click LeftClick Entry 03");
    EXPECT_EQ(Placed(), (Lines{INFO, "SetWindowPos 500 0 1262 240 101 60 532"}));
}

TEST_F(PlacementTest, AWorkAreaSmallerThanTheListHoldsItWholly) {
    Rows(3);
    fake::platform.monitors = {{{0, 0, 90, 15}, {10, 5, 90, 15}}};  // 80 by 10
    Broam("Next");
    EXPECT_EQ(Placed().back(), "SetWindowPos 500 0 10 5 80 10 532");
    EXPECT_EQ(RowsShown(list_state), 1);
}

class ScrollTest : public PlacementTest {
protected:
    // 100 rows of 20 pixels on a work area 600 high: 30 shown at a time.
    void SetUp() override {
        PlacementTest::SetUp();
        fake::platform.monitors[0].work = {0, 0, 800, 600};
        Rows(100);
        Broam("Next");
    }
    static void Repeat(const char* command, int times) {
        for (int i = 0; i < times; ++i) Broam(command);
    }
    // The rows painted, and the top of the highlighted one in the window.
    static std::pair<Lines, int> Painted() {
        fake::ClearCalls();
        PaintList(hListWnd, list_state);
        int highlight_top = -1;
        for (const std::string& line : fake::CallsTo("MakeStyleGradient"))
            if (line.find("style9") != std::string::npos)
                std::sscanf(line.c_str(), "MakeStyleGradient %*d %*d %d", &highlight_top);
        return {fake::CallsTo("GetTrayIcon"), highlight_top};
    }
    static Lines Icons(int first) {
        Lines icons;
        for (int i = first; i < first + 30; ++i)
            icons.push_back("GetTrayIcon " + std::to_string(i));
        return icons;
    }
    // The anchor's y on the screen, as the window's top plus the row's place.
    static int AnchorRowTop() { return static_cast<short>(ClickAnchor(list_state) >> 16) - 2 - 8; }
};

TEST_F(ScrollTest, TheHighlightStaysInViewAndEverythingAgreesWhereItIs) {
    EXPECT_EQ(fake::FindWindowRecord(hListWnd)->rect.bottom, 600);  // the area's height
    EXPECT_EQ(RowsShown(list_state), 30);
    struct Step {
        const char* command;
        int times, selected, first;
    };
    for (const Step& step :
         {Step{"Next", 29, 29, 0}, Step{"Next", 1, 30, 1}, Step{"Prev", 31, 99, 70},
          Step{"Prev", 29, 70, 70}, Step{"Prev", 1, 69, 69}, Step{"Next", 31, 0, 0}}) {
        SCOPED_TRACE(std::string(step.command) + " x" + std::to_string(step.times));
        Repeat(step.command, step.times);
        EXPECT_EQ(list_state.selected, step.selected);
        EXPECT_EQ(list_state.first, step.first);
        const auto [icons, highlight_top] = Painted();
        EXPECT_EQ(icons, Icons(step.first));
        EXPECT_EQ(highlight_top, (step.selected - step.first) * 20);
        EXPECT_EQ(AnchorRowTop(), highlight_top);
    }
}

// The wheel scrolls by three rows a notch, a high-resolution wheel's small
// turns adding up to notches, and Page Up and Page Down move by the rows the
// window shows; the highlight stays on a row in view.
TEST_F(ScrollTest, TheWheelAndThePageKeysScrollTheInteractiveList) {
    config.interactive = 1;
    Repeat("Cancel", 1);
    Repeat("Next", 1);
    const struct {
        const char* what;
        UINT message;
        WPARAM wParam;
        int selected, first;
    } STEPS[] = {
        {"up at the top", WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0, 0},
        {"a notch down", WM_MOUSEWHEEL, MAKEWPARAM(0, -120), 3, 3},
        {"a small turn", WM_MOUSEWHEEL, MAKEWPARAM(0, -60), 3, 3},
        {"and another", WM_MOUSEWHEEL, MAKEWPARAM(0, -60), 6, 6},
        {"page down", WM_KEYDOWN, VK_NEXT, 36, 7},
        {"page up", WM_KEYDOWN, VK_PRIOR, 6, 6},
        {"far down", WM_MOUSEWHEEL, MAKEWPARAM(0, -4800), 70, 70},
        {"page down at the end", WM_KEYDOWN, VK_NEXT, 99, 70},
        {"a notch up", WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 96, 67},
    };
    for (const auto& step : STEPS) {
        SCOPED_TRACE(step.what);
        WndProc(hListWnd, step.message, step.wParam, 0);
        EXPECT_EQ(list_state.selected, step.selected);
        EXPECT_EQ(list_state.first, step.first);
    }
}

TEST_F(ScrollTest, TheMouseFindsTheRowThatIsDrawnUnderIt) {
    config.interactive = 1;  // taken as the list shows again
    Repeat("Cancel", 1);
    Repeat("Prev", 1);  // row 99, the window showing 70 to 99
    fake::platform.cursor = {1, 1};
    WndProc(hListWnd, WM_MOUSEMOVE, 0, MAKELPARAM(30, 25));
    EXPECT_EQ(list_state.selected, 71);
    EXPECT_EQ(RowAt(list_state, 600, 599), 99);
    EXPECT_EQ(RowAt(list_state, 600, 600), -1);
}

}  // namespace
