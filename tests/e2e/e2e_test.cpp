// Marrowick end to end: the real DLL in the stand-in host blackbox.exe under
// Wine, tray icons owned by trayapp.exe processes, and what a user and a
// tray program see, looked at from a separate inspector process.
#include "end_to_end.h"
#include "plugin/version.h"

namespace e2e {
namespace {

using ::testing::ElementsAre;

TEST_F(EndToEnd, StartRegistersAHiddenTopmostPopupAndUnloadLeavesNothing) {
    StartHost();
    const Window window = ListWindow();
    ASSERT_TRUE(window.exists);
    EXPECT_FALSE(window.visible);
    // Windows adds WS_CLIPSIBLINGS to every top-level window.
    EXPECT_EQ(window.style & ~0x04000000u, 0x80000000u);  // WS_POPUP
    EXPECT_EQ(window.exstyle, 0x88u);                     // WS_EX_TOOLWINDOW | WS_EX_TOPMOST
    char hwnd[16];
    std::snprintf(hwnd, sizeof hwnd, "%#x", window.hwnd);

    Exec("unload Marrowick");
    EXPECT_FALSE(ListWindow().exists);
    // The plug-in's life as the host saw it, registrations included.
    std::vector<std::string> life;
    for (const std::string& line : ReadLines(HostLog()))
        if (line.rfind("register", 0) == 0 || line.rfind("unregister", 0) == 0 ||
            line.rfind("plugin", 0) == 0)
            life.push_back(line);
    EXPECT_THAT(life,
                ElementsAre(std::string("register hwnd=") + hwnd + " msgs=10901,10103",
                            "plugin started Marrowick " MARROWICK_VERSION " by " MARROWICK_AUTHOR,
                            std::string("unregister hwnd=") + hwnd + " msgs=10901,10103",
                            "plugin stopped Marrowick windows=0 class=0 registered=0"));
}

TEST_F(EndToEnd, NextAndPrevMoveTheHighlightWithWrapAndCancelHides) {
    StartHost();
    StartTray("apps", THREE);

    Exec("@Marrowick.Next");
    ASSERT_TRUE(WaitShown(true));
    EXPECT_TRUE(AwaitForeground("Marrowick"));
    EXPECT_THAT(ShownHighlight("next1", 3, {0}), ElementsAre(0));
    Exec("@Marrowick.Next");
    Exec("@Marrowick.Next");
    EXPECT_THAT(ShownHighlight("next3", 3, {2}), ElementsAre(2));
    Exec("@Marrowick.Next");
    EXPECT_THAT(ShownHighlight("next4_wrapped", 3, {0}), ElementsAre(0));
    Exec("@Marrowick.Prev");
    EXPECT_THAT(ShownHighlight("prev_wrapped", 3, {2}), ElementsAre(2));

    Exec("@Marrowick.Cancel");
    EXPECT_TRUE(WaitShown(false));
    Exec("@Marrowick.Cancel");  // on a hidden list: nothing
    Exec("@Marrowick.Prev");    // shows the last row highlighted
    ASSERT_TRUE(WaitShown(true));
    EXPECT_THAT(ShownHighlight("prev_shown", 3, {2}), ElementsAre(2));
}

TEST_F(EndToEnd, BroadcastsForOthersShowNothing) {
    StartHost();
    StartTray("apps", THREE);
    Exec("@Other.Next");
    Exec("broadcast Marrowick.Next");
    Exec("@Marrowick");
    EXPECT_FALSE(ListWindow().visible);
    EXPECT_EQ(Ask("box Marrowick"), "none");
    EXPECT_EQ(CountLog("broadcast \"@Other.Next\" to=1"), 1);
}

TEST_F(EndToEnd, ListSizeAndPositionFollowTheLayoutRuleInTheStyleFont) {
    StartHost();
    StartTray("apps", THREE);
    Exec("@Marrowick.Next");
    ASSERT_TRUE(WaitShown(true));
    EXPECT_EQ(ListWindow().rect,
              Expected({"Volume 40% / Muted", "Network: connected", "Battery"}, Layout{}));
}

// The host's "window" command, which scripts read to point the mouse at the
// list's rows, logs the place the window system gives the list, hidden and
// shown, and "none" for a class no window has.
TEST_F(EndToEnd, TheHostLogsWhereAWindowLies) {
    StartHost();
    StartTray("apps", THREE);
    // The line due for the list as the inspector sees it.
    const auto line_for_list = [&] {
        const Window list = ListWindow();
        char line[120];
        std::snprintf(line, sizeof line, "window Marrowick hwnd=%#x visible=%d rect=%d,%d,%d,%d",
                      list.hwnd, list.visible ? 1 : 0, list.rect.x, list.rect.y, list.rect.w,
                      list.rect.h);
        return std::string(line);
    };
    Exec("window Marrowick");
    const std::string hidden = line_for_list();
    Exec("@Marrowick.Next");
    ASSERT_TRUE(WaitShown(true));
    Exec("window Marrowick");
    const std::string shown = line_for_list();
    EXPECT_THAT(LogLines("window Marrowick "), ElementsAre(hidden, shown));
    EXPECT_NE(shown.find(" visible=1 "), std::string::npos);
    Exec("window NoSuchClass");
    EXPECT_THAT(LogLines("window NoSuchClass"), ElementsAre("window NoSuchClass none"));
}

TEST_F(EndToEnd, StylesPaintGradientsBordersAndFontsFromTheStyleFile) {
    WriteFile(Path("test.style"),
              "menu.frame.appearance: vertical\n"
              "menu.frame.color: #000040\n"
              "menu.frame.colorTo: #0000c0\n"
              "menu.frame.borderColor: #ff0000\n"
              "menu.frame.font: Tahoma\n"
              "menu.frame.fontHeight: 18\n"
              "menu.frame.fontWeight: bold\n");
    WriteRc("marrowick.base_border: true\nmarrowick.base_padding: 4\n");
    StartHost();
    StartTray("apps", THREE);
    Exec("@Marrowick.Next");
    ASSERT_TRUE(WaitShown(true));
    const Rect list = ListWindow().rect;
    Layout layout;
    layout.base = {4, 4, 4, 4};
    EXPECT_EQ(list, Expected({"Volume 40% / Muted", "Network: connected", "Battery"}, layout,
                             "Tahoma 18 700"));

    const Bitmap screen = Screenshot("gradient");
    const int right = list.x + list.w - 1, bottom = list.y + list.h - 1;
    for (auto [x, y] :
         {std::pair{list.x, list.y}, {right, list.y}, {list.x, bottom}, {right, bottom}})
        EXPECT_EQ(screen.Pixel(x, y), 0xff0000u) << "border at " << x << "," << y;
    // Inside the border, in the base padding: blue from 0x40 at the top to
    // 0xc0 at the bottom, the same across each line.
    auto blue = [&](int line) { return 0x40u + 0x80u * line / (list.h - 1); };
    for (int line : {1, list.h / 2, list.h - 2}) {
        EXPECT_EQ(screen.Pixel(list.x + 2, list.y + line), blue(line)) << "line " << line;
        EXPECT_EQ(screen.Pixel(right - 2, list.y + line), blue(line)) << "line " << line;
    }
}

TEST_F(EndToEnd, SendDeliversClicksToTheOwnersAcrossProcessesInOrder) {
    StartHost();
    // Programs that only log what they receive: a right double click would
    // open a menu.
    StartTray("media", {"1 #3080ff M Player", "2 #8040c0 S Speakers"}, {"-passive"});
    StartTray("mail", {"7 #d08020 E 3 new messages"}, {"-passive", "-ansi"});

    Exec("@Marrowick.Next");
    Exec("@Marrowick.Send LeftClick");
    EXPECT_TRUE(WaitShown(false));
    EXPECT_TRUE(AwaitForeground("MarrowickDemoTray"));
    Exec("@Marrowick.Prev");  // the last row: mail's entry
    Exec("@Marrowick.Send \t  RightDoubleClick");
    Exec("@Marrowick.Next");
    Exec("@Marrowick.Next");
    Exec("@Marrowick.Send MiddleDoubleClick");
    Exec("@Marrowick.Send LeftClick");  // hidden list: nothing is sent

    EXPECT_THAT(Clicks("media", 6),
                ElementsAre("media id=1 WM_LBUTTONDOWN", "media id=1 WM_LBUTTONUP",
                            "media id=2 WM_MBUTTONDOWN", "media id=2 WM_MBUTTONUP",
                            "media id=2 WM_MBUTTONDBLCLK", "media id=2 WM_MBUTTONUP"));
    EXPECT_THAT(Clicks("mail", 4),
                ElementsAre("mail id=7 WM_RBUTTONDOWN", "mail id=7 WM_RBUTTONUP",
                            "mail id=7 WM_RBUTTONDBLCLK", "mail id=7 WM_RBUTTONUP"));
    EXPECT_FALSE(ListWindow().visible);
}

TEST_F(EndToEnd, UnknownCommandsAndClicksAreReportedInABox) {
    StartHost();
    StartTray("apps", THREE);

    EXPECT_EQ(ExecShowingBox("@Marrowick.next"), "Unknown bro@m: `@Marrowick.next'");
    EXPECT_EQ(ExecShowingBox("@Marrowick.Next "), "Unknown bro@m: `@Marrowick.Next '");
    EXPECT_EQ(ExecShowingBox("@Marrowick.SendLeftClick"),
              "Unknown bro@m: `@Marrowick.SendLeftClick'");
    EXPECT_FALSE(ListWindow().visible);

    Exec("@Marrowick.Next");
    EXPECT_EQ(ExecShowingBox("@Marrowick.Send leftclick"), "Unknown message: `leftclick'");
    EXPECT_TRUE(WaitShown(false));
    EXPECT_TRUE(Logged("apps").empty());
}

TEST_F(EndToEnd, ReconfigureTakesEffectAtTheNextShow) {
    StartHost();
    StartTray("apps", THREE);
    const std::vector<std::string> texts = {"Volume 40% / Muted", "Network: connected", "Battery"};
    Exec("@Marrowick.Next");
    ASSERT_TRUE(WaitShown(true));
    const Rect before = ListWindow().rect;
    EXPECT_EQ(before, Expected(texts, Layout{}));

    WriteRc(
        "# larger icons, more room\n"
        "Marrowick.Icon_Size:   24  \n"
        "marrowick.base_padding: 6\n"
        "marrowick.converted_new_line: \" | \"\n");
    Exec("reconfigure");
    EXPECT_EQ(CountLog("reconfigure to=1"), 1);
    EXPECT_EQ(ListWindow().rect, before);  // no relayout while shown

    Exec("@Marrowick.Cancel");
    Exec("@Marrowick.Next");
    ASSERT_TRUE(WaitShown(true));
    Layout changed;
    changed.icon = 24;
    changed.base = {6, 6, 6, 6};
    EXPECT_EQ(ListWindow().rect,
              Expected({"Volume 40% | Muted", "Network: connected", "Battery"}, changed));
}

TEST_F(EndToEnd, AnExitedOwnersEntriesArePurgedWhenTheListIsShown) {
    StartHost();
    StartTray("apps", THREE);
    StartTray("gone", {"5 #808080 G Crashing app", "6 #808080 H Its helper"});
    Exec("tray");
    EXPECT_EQ(CountLog("tray size=5"), 1);

    ASSERT_EQ(Ask("tell gone vanish"), "ok");
    ASSERT_TRUE(trays_.back().WaitEnd(STEP_TIMEOUT));
    Exec("@Marrowick.Next");
    ASSERT_TRUE(WaitShown(true));
    EXPECT_EQ(CountLog("purge removed=2 left=3"), 1);
    EXPECT_EQ(ListWindow().rect,
              Expected({"Volume 40% / Muted", "Network: connected", "Battery"}, Layout{}));
}

TEST_F(EndToEnd, TrayOwnersChangeAndRemoveTheirEntries) {
    StartHost();
    StartTray("apps", THREE);
    ASSERT_EQ(Ask("tell apps tip 2 Network:\\nlimited"), "ok");
    ASSERT_EQ(Ask("tell apps delete 3"), "ok");
    ASSERT_EQ(Ask("tell apps tip 9 no such entry"), "error refused");
    Exec("@Marrowick.Next");
    ASSERT_TRUE(WaitShown(true));
    EXPECT_EQ(ListWindow().rect, Expected({"Volume 40% / Muted", "Network: / limited"}, Layout{}));
}

TEST_F(EndToEnd, AFailedStartIsReportedAndTheRunningPlugInCarriesOn) {
    StartHost();
    StartTray("apps", THREE);
    // The same module again: its class is taken, so beginPlugin fails.
    Exec("load " + WindowsPath(Path("plugin/Marrowick.dll")));
    EXPECT_TRUE(WaitForLog("plugin failed " + WindowsPath(Path("plugin/Marrowick.dll")) +
                           ": beginPlugin returned 1"));
    Exec("load Z:\\no\\such\\plugin.dll");
    EXPECT_TRUE(WaitForLog("plugin failed Z:\\no\\such\\plugin.dll: cannot load"));

    Exec("@Marrowick.Next");
    EXPECT_TRUE(WaitShown(true));
    Exec("quit");
    int code = -1;
    ASSERT_TRUE(host_.WaitEnd(STEP_TIMEOUT, &code));
    EXPECT_EQ(code, 1);  // the host says a start failed
}

TEST_F(EndToEnd, ASecondInvocationForwardsItsCommandToTheRunningHost) {
    Process alone = Session::Get().Run("blackbox.exe", {"-exec", "@Marrowick.Next"},
                                       Path("alone.out"), Path("alone.err"));
    int code = -1;
    ASSERT_TRUE(alone.WaitEnd(START_TIMEOUT, &code));
    EXPECT_EQ(code, 1);  // no host running

    StartHost();
    StartTray("apps", THREE);
    Process exec =
        Session::Get().Run("blackbox.exe", {"-exec", "@Marrowick.Next", "-exec", "@Marrowick.Next"},
                           Path("exec.out"), Path("exec.err"));
    ASSERT_TRUE(exec.WaitEnd(START_TIMEOUT, &code));
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(Await("both commands done", [&](std::string* seen) {
        *seen = std::to_string(CountLog("done @Marrowick.Next")) + " done";
        return CountLog("done @Marrowick.Next") == 2;
    }));
    EXPECT_THAT(ShownHighlight("exec", 3, {1}), ElementsAre(1));
}

TEST_F(EndToEnd, AStopWhileShownWithoutUnloadingStartsAgainHidden) {
    StartHost();
    StartTray("apps", THREE);
    Exec("@Marrowick.Next");
    ASSERT_TRUE(WaitShown(true));
    Exec("restart Marrowick");
    EXPECT_EQ(CountLog("plugin stopped Marrowick windows=0 class=0 registered=0"), 1);
    EXPECT_EQ(CountLog("plugin restarted Marrowick result=0"), 1);
    EXPECT_FALSE(ListWindow().visible);

    Exec("@Marrowick.Next");  // shows the list again, first row highlighted
    ASSERT_TRUE(WaitShown(true));
    EXPECT_THAT(ShownHighlight("after_restart", 3, {0}), ElementsAre(0));
}

// The timing behind make bench: every timed broadcast painted the list, the
// floor painted its window, and the host's own entries are gone afterwards.
TEST_F(EndToEnd, PerfTimesTheListBesideTheDrawingFloorAndLeavesTheTrayEmpty) {
    StartHost();
    Exec("perf 5 3");
    std::string line, errors;
    for (const std::string& l : ReadLines(HostLog())) {
        if (l.rfind("perf ", 0) == 0) line = l;
        if (l.rfind("error", 0) == 0) errors += l + "\n";
    }
    // The show floor's window came out of its layout as the list did.
    EXPECT_EQ(errors, "");
    double show = 0, next = 0, floor = 0, show_floor = 0, show_floor_ratio = 0;
    int unpainted = -1;
    ASSERT_EQ(std::sscanf(line.c_str(),
                          "perf rows=5 iterations=3 width=%*d height=%*d show_us=%lf next_us=%lf "
                          "floor_us=%lf show_ratio=%*f next_ratio=%*f unpainted=%d "
                          "show_floor_us=%lf show_floor_ratio=%lf",
                          &show, &next, &floor, &unpainted, &show_floor, &show_floor_ratio),
              6)
        << line;
    EXPECT_GT(show, 0);
    EXPECT_GT(next, 0);
    EXPECT_GT(floor, 0);
    EXPECT_GT(show_floor, 0);
    EXPECT_GT(show_floor_ratio, 0);
    EXPECT_EQ(unpainted, 0);
    EXPECT_FALSE(ListWindow().visible);
    Exec("tray");
    EXPECT_EQ(CountLog("tray size=0"), 1);
}

}  // namespace
}  // namespace e2e
