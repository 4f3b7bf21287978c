// Marrowick end to end: the real DLL in the stand-in host blackbox.exe under
// Wine, tray entries owned by trayapp.exe processes, and what a user and a
// tray program see, looked at from a separate inspector process.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "harness.h"
#include "plugin/version.h"

namespace e2e {
namespace {

using ::testing::ElementsAre;

constexpr unsigned FRAME_COLOR = 0x203040;
constexpr unsigned HILITE_COLOR = 0xf0a020;

// Solid fills, so that every pixel of a row says whether it is highlighted.
constexpr char TEST_STYLE[] =
    "menu.frame.appearance: solid\n"
    "menu.frame.color: #203040\n"
    "menu.frame.textColor: #e0e0e0\n"
    "menu.frame.font: Tahoma\n"
    "menu.frame.fontHeight: 13\n"
    "menu.frame.fontWeight: normal\n"
    "menu.hilite.appearance: solid\n"
    "menu.hilite.color: #f0a020\n"
    "menu.hilite.textColor: #101010\n";
constexpr char FONT[] = "Tahoma 13 400";

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    bool operator==(const Rect& o) const { return x == o.x && y == o.y && w == o.w && h == o.h; }
};
void PrintTo(const Rect& r, std::ostream* os) {
    *os << r.x << "," << r.y << " " << r.w << "x" << r.h;
}

struct Window {
    bool exists = false;
    unsigned hwnd = 0;
    bool visible = false;
    unsigned style = 0, exstyle = 0;
    Rect rect;
};

struct Paddings {
    int top, right, bottom, left;
};

// The settings the layout rule uses, with the defaults of an empty rc file.
struct Layout {
    Paddings base = {0, 0, 0, 0};
    Paddings tip = {2, 13, 2, 4};
    int icon = 16;
    int icon_tip = 4;
};

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = Session::Get().WorkDir() + "/" + info->name();
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_ + "/plugin");
        std::filesystem::copy_file(E2E_WIN32_DIR "/Marrowick.dll", dir_ + "/plugin/Marrowick.dll");
        WriteFile(dir_ + "/test.style", TEST_STYLE);
    }

    void TearDown() override {
        // A box left open by a failed test would keep the host waiting.
        for (int i = 0; i < 5 && Ask("press Marrowick") == "ok"; ++i) {
        }
        for (Process& tray : trays_) tray.Stop();
        host_.Stop();
    }

    std::string Ask(const std::string& request) { return Session::Get().Ask(request); }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    std::string HostLog() const { return Path("host.log"); }

    void WriteRc(const std::string& text) { WriteFile(Path("plugin/Marrowick.rc"), text); }

    void StartHost() {
        host_ = Session::Get().Run(
            "blackbox.exe",
            {"-log", WindowsPath(HostLog()), "-style", WindowsPath(Path("test.style")),
             WindowsPath(Path("plugin/Marrowick.dll"))},
            Path("host.out"), Path("host.err"));
        ASSERT_TRUE(WaitForLog("ready ", START_TIMEOUT)) << "the host did not start";
    }

    // A tray program; entries are "ID #rrggbb LETTER TIP".
    void StartTray(const std::string& name, const std::vector<std::string>& entries) {
        std::vector<std::string> args = {"-name", name, "-log", WindowsPath(TrayLog(name))};
        args.insert(args.end(), entries.begin(), entries.end());
        const std::string out = Path(name + ".out");
        trays_.push_back(Session::Get().Run("trayapp.exe", args, out, Path(name + ".err")));
        ASSERT_TRUE(WaitUntil(
            [&] {
                auto lines = ReadLines(out);
                return !lines.empty() && lines[0] == "ready " + name;
            },
            START_TIMEOUT))
            << "tray program " << name << " did not start";
    }

    std::string TrayLog(const std::string& name) const { return Path(name + ".log"); }

    int CountLog(const std::string& text) const {
        const auto lines = ReadLines(HostLog());
        return static_cast<int>(std::count(lines.begin(), lines.end(), text));
    }

    bool WaitForLog(const std::string& part, Clock::duration timeout = STEP_TIMEOUT) const {
        return WaitUntil(
            [&] {
                for (const std::string& line : ReadLines(HostLog()))
                    if (line.find(part) != std::string::npos) return true;
                return false;
            },
            timeout);
    }

    // Queues a host command and waits until the host has finished it.
    void Exec(const std::string& command) {
        const std::string done = "done " + Escaped(command);
        const int before = CountLog(done);
        ASSERT_EQ(Ask("exec " + Escaped(command)), "ok") << command;
        ASSERT_TRUE(WaitUntil([&] { return CountLog(done) > before; })) << "not done: " << command;
    }

    // Queues a command that opens a message box: the host is busy until the
    // box is closed.
    std::string ExecShowingBox(const std::string& command) {
        EXPECT_EQ(Ask("exec " + Escaped(command)), "ok");
        std::string text;
        const bool shown = WaitUntil([&] {
            const std::string answer = Ask("box Marrowick");
            if (answer.rfind("text=", 0) != 0) return false;
            text = answer.substr(5);
            return true;
        });
        EXPECT_TRUE(shown) << "no message box for " << command;
        EXPECT_EQ(Ask("press Marrowick"), "ok");
        EXPECT_TRUE(WaitUntil([&] { return Ask("box Marrowick") == "none"; }));
        EXPECT_TRUE(WaitUntil([&] { return CountLog("done " + Escaped(command)) > 0; }));
        return text;
    }

    Window ListWindow() {
        Window window;
        const std::string answer = Ask("window Marrowick");
        int visible = 0;
        window.exists =
            std::sscanf(answer.c_str(), "hwnd=%x visible=%d style=%x exstyle=%x rect=%d,%d,%d,%d",
                        &window.hwnd, &visible, &window.style, &window.exstyle, &window.rect.x,
                        &window.rect.y, &window.rect.w, &window.rect.h) == 8;
        window.visible = visible != 0;
        return window;
    }

    bool WaitShown(bool shown) {
        return WaitUntil([&] { return ListWindow().visible == shown; });
    }

    std::vector<std::string> Clicks(const std::string& tray, size_t expected) {
        WaitUntil([&] { return ReadLines(TrayLog(tray)).size() >= expected; });
        return ReadLines(TrayLog(tray));
    }

    // DrawText's size of the text in the list's font, measured by Windows.
    std::pair<int, int> Measure(const std::string& text, const std::string& font) {
        int w = -1, h = -1;
        std::sscanf(Ask("measure " + font + " " + Escaped(text)).c_str(), "%d %d", &w, &h);
        return {w, h};
    }

    // Where the list must lie for rows of these one-line texts.
    Rect Expected(const std::vector<std::string>& texts, const Layout& l,
                  const std::string& font = FONT) {
        int widest = 0, tallest = l.icon;
        for (const std::string& text : texts) {
            auto [w, h] = Measure(text, font);
            widest = std::max(widest, w);
            tallest = std::max(tallest, h);
        }
        Rect r;
        r.w = widest + l.tip.left + l.tip.right + l.icon + l.icon_tip + l.base.left + l.base.right;
        r.h = (tallest + l.tip.top + l.tip.bottom) * static_cast<int>(texts.size()) + l.base.top +
              l.base.bottom;
        r.x = 1024 / 2 - r.w / 2;
        r.y = 768 / 2 - r.h / 2;
        return r;
    }

    Bitmap Screenshot(const std::string& name) {
        const std::string file = Path(name + ".bmp");
        Exec("screenshot " + WindowsPath(file));
        Bitmap bitmap;
        EXPECT_TRUE(bitmap.Load(file)) << file;
        return bitmap;
    }

    // Which rows of the shown list are painted in the highlight colour, read
    // at both ends of each row, left of the icon and right of the text; empty
    // when a row is neither in the frame's nor in the highlight's colour.
    static std::vector<int> HighlightedRows(const Bitmap& screen, const Rect& list, int rows,
                                            std::string* problem) {
        std::vector<int> highlighted;
        const int pitch = list.h / rows;
        for (int row = 0; row < rows; ++row) {
            const int y = list.y + row * pitch + pitch / 2;
            const unsigned left = screen.Pixel(list.x + 1, y);
            const unsigned right = screen.Pixel(list.x + list.w - 2, y);
            if (left != right || (left != HILITE_COLOR && left != FRAME_COLOR)) {
                char text[80];
                std::snprintf(text, sizeof text, "row %d: colours %06x and %06x", row, left, right);
                *problem = text;
                return {};
            }
            if (left == HILITE_COLOR) highlighted.push_back(row);
        }
        return highlighted;
    }

    // The highlighted rows of the shown list in a screenshot. The window
    // system puts what was painted on the screen a little later, so a
    // screenshot that does not show the expected rows yet is taken again.
    std::vector<int> ShownHighlight(const std::string& name, int rows,
                                    const std::vector<int>& expected) {
        const Window window = ListWindow();
        EXPECT_TRUE(window.visible);
        std::vector<int> highlighted;
        std::string problem;
        for (int attempt = 1; attempt <= 5; ++attempt) {
            problem.clear();
            highlighted = HighlightedRows(Screenshot(name + "_" + std::to_string(attempt)),
                                          window.rect, rows, &problem);
            if (problem.empty() && highlighted == expected) break;
        }
        EXPECT_EQ(problem, "");
        return highlighted;
    }

    std::string dir_;
    Process host_;
    std::vector<Process> trays_;
};

const std::vector<std::string> THREE = {"1 #3080ff V Volume 40%\\nMuted",
                                        "2 #30c060 N Network: connected", "3 #d04040 B Battery"};

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
    EXPECT_EQ(Ask("foreground"), "class=Marrowick");
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
    StartTray("media", {"1 #3080ff M Player", "2 #8040c0 S Speakers"});
    StartTray("mail", {"7 #d08020 E 3 new messages"});

    Exec("@Marrowick.Next");
    Exec("@Marrowick.Send LeftClick");
    EXPECT_TRUE(WaitShown(false));
    EXPECT_EQ(Ask("foreground"), std::string("class=") + "MarrowickDemoTray");
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
    EXPECT_TRUE(ReadLines(TrayLog("apps")).empty());
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
    EXPECT_TRUE(WaitUntil([&] { return CountLog("done @Marrowick.Next") == 2; }));
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
    std::string line;
    for (const std::string& l : ReadLines(HostLog()))
        if (l.rfind("perf ", 0) == 0) line = l;
    double show = 0, next = 0, floor = 0;
    int unpainted = -1;
    ASSERT_EQ(std::sscanf(line.c_str(),
                          "perf rows=5 iterations=3 width=%*d height=%*d show_us=%lf next_us=%lf "
                          "floor_us=%lf show_ratio=%*f next_ratio=%*f unpainted=%d",
                          &show, &next, &floor, &unpainted),
              4)
        << line;
    EXPECT_GT(show, 0);
    EXPECT_GT(next, 0);
    EXPECT_GT(floor, 0);
    EXPECT_EQ(unpainted, 0);
    EXPECT_FALSE(ListWindow().visible);
    Exec("tray");
    EXPECT_EQ(CountLog("tray size=0"), 1);
}

}  // namespace
}  // namespace e2e
