// The stand-in shell as Wine's system tray: programs put their icons in
// with the real Shell_NotifyIconA/W, 32- and 64-bit, and do what programs do
// with the clicks Marrowick delivers; records no program should send are
// refused without harm.
#include "end_to_end.h"

namespace e2e {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

// The tray's entries as the host logs them ("tray[0] owner=... tip=...").
std::vector<std::string> TrayLines(const std::vector<std::string>& log) {
    std::vector<std::string> lines;
    for (const std::string& line : log)
        if (line.rfind("tray[", 0) == 0) lines.push_back(line);
    return lines;
}

class SystemTray : public EndToEnd {
protected:
    // The tray as the host logs it now.
    std::vector<std::string> Tray() {
        const size_t before = ReadLines(HostLog()).size();
        Exec("tray");
        const std::vector<std::string> log = ReadLines(HostLog());
        return TrayLines(std::vector<std::string>(log.begin() + before, log.end()));
    }

    // Whether the icon's colour is drawn somewhere in the icon's square of a
    // row of the shown list (default settings: 16 pixels, 4 from the left
    // and 2 from the row's top).
    static bool IconDrawn(const Bitmap& screen, const Rect& list, int row, int rows,
                          unsigned color) {
        const int left = list.x + 4, top = list.y + row * (list.h / rows) + 2;
        for (int y = top; y < top + 16; ++y)
            for (int x = left; x < left + 16; ++x)
                if (screen.Pixel(x, y) == color) return true;
        return false;
    }

    // The lines of a tray program's log that say what it opened.
    std::vector<std::string> Opened(const std::string& program) {
        std::vector<std::string> opened;
        for (const std::string& line : ReadLines(TrayLog(program)))
            if (line.find(" menu ") != std::string::npos ||
                line.find(" window ") != std::string::npos ||
                line.find(" chose ") != std::string::npos)
                opened.push_back(line);
        return opened;
    }
};

TEST_F(SystemTray, IconsComeChangeAndGoThroughShellNotifyIconAWithTheirPixels) {
    StartHost();
    StartTray("wide", THREE);
    StartTray("narrow", {"5 #c06000 K Keyboard: EN"}, {"-ansi"});

    const std::vector<std::string> tray = Tray();
    ASSERT_EQ(tray.size(), 4u);
    EXPECT_THAT(tray[0],
                HasSubstr(" id=1 message=32832 version=0 icon=1 tip=\"Volume 40%\\r\\nMuted\""));
    EXPECT_THAT(tray[3], HasSubstr(" id=5 message=32832 version=0 icon=1 tip=\"Keyboard: EN\""));

    ASSERT_EQ(Ask("tell wide tip 2 Network:\\nlimited"), "ok");
    ASSERT_EQ(Ask("tell wide delete 3"), "ok");
    ASSERT_EQ(Ask("tell narrow tip 5 Keyboard: DE"), "ok");
    Exec("@Marrowick.Next");
    ASSERT_TRUE(WaitShown(true));
    const Rect list = ListWindow().rect;
    EXPECT_EQ(list,
              Expected({"Volume 40% / Muted", "Network: / limited", "Keyboard: DE"}, Layout{}));

    const Bitmap screen = Screenshot("icons");
    EXPECT_TRUE(IconDrawn(screen, list, 0, 3, 0x3080ff));
    EXPECT_TRUE(IconDrawn(screen, list, 1, 3, 0x30c060));
    EXPECT_TRUE(IconDrawn(screen, list, 2, 3, 0xc06000));
    EXPECT_FALSE(IconDrawn(screen, list, 0, 3, 0x30c060));
}

TEST_F(SystemTray, ASixtyFourBitProgramsIconIsListedAndClicked) {
    StartHost();
    StartTray("x64", {"4 #8040c0 S Sixty-four bits"}, {"-passive"}, "trayapp64.exe");
    StartTray("x86", {"7 #d04040 T Thirty-two bits"}, {"-passive", "-ansi"});
    Exec("@Marrowick.Next");
    ASSERT_TRUE(WaitShown(true));
    EXPECT_EQ(ListWindow().rect, Expected({"Sixty-four bits", "Thirty-two bits"}, Layout{}));
    Exec("@Marrowick.Send LeftDoubleClick");
    EXPECT_THAT(Clicks("x64", 4),
                ElementsAre("x64 id=4 WM_LBUTTONDOWN", "x64 id=4 WM_LBUTTONUP",
                            "x64 id=4 WM_LBUTTONDBLCLK", "x64 id=4 WM_LBUTTONUP"));
    EXPECT_TRUE(ReadLines(TrayLog("x86")).empty());
}

// A program that declared no version opens its real menu on a right click
// and its window on a left double click; an item chosen from the menu does
// what it says.
TEST_F(SystemTray, AClassicProgramOpensItsMenuAndItsWindow) {
    StartHost();
    StartTray("classic", {"1 #e08a20 M Mail: 3 new messages"});

    Exec("@Marrowick.Next");
    Exec("@Marrowick.Send RightClick");
    ASSERT_TRUE(AwaitMenu("MarrowickDemoTray classic", true));
    Screenshot("menu_open");
    CloseMenu("MarrowickDemoTray classic");
    EXPECT_TRUE(AwaitMenu("MarrowickDemoTray classic", false));

    Exec("@Marrowick.Next");
    Exec("@Marrowick.Send LeftDoubleClick");
    EXPECT_TRUE(AwaitWindowShown("MarrowickDemoTrayWindow classic"));

    Exec("@Marrowick.Next");
    Exec("@Marrowick.Send RightClick");
    ASSERT_TRUE(AwaitMenu("MarrowickDemoTray classic", true));
    Exec("key down return");
    EXPECT_TRUE(Await("six lines of what the program opened", [&](std::string* seen) {
        *seen =
            std::to_string(Opened("classic").size()) + ", the last " + LastLine(TrayLog("classic"));
        return Opened("classic").size() == 6;
    }));
    EXPECT_THAT(Opened("classic"),
                ElementsAre(HasSubstr("classic menu id=1 at="), "classic chose nothing",
                            "classic window id=1", HasSubstr("classic menu id=1 at="),
                            "classic chose Open", "classic window id=1"));
}

// The known limit of the classic form: a program of version 4 reads the
// message from the low word of lParam and its icon's id from the high word,
// which are the mouse message and 0, and the anchor from wParam, which is the
// id; the id is not its icon's, so it does nothing.
TEST_F(SystemTray, AVersionFourProgramIgnoresClicksInTheClassicForm) {
    StartHost();
    StartTray("modern", {"3:4 #2fa050 N Network"});
    Exec("tray");
    EXPECT_EQ(LogLines("tray version ").size(), 1u);
    for (const char* click : {"RightClick", "LeftClick"}) {
        Exec("@Marrowick.Next");
        Exec(std::string("@Marrowick.Send ") + click);
    }
    EXPECT_THAT(
        Clicks("modern", 4),
        ElementsAre("modern v4 id=0 WM_RBUTTONDOWN at=3,0", "modern v4 id=0 WM_RBUTTONUP at=3,0",
                    "modern v4 id=0 WM_LBUTTONDOWN at=3,0", "modern v4 id=0 WM_LBUTTONUP at=3,0"));
    EXPECT_EQ(Ask("menu MarrowickDemoTray modern"), "none");
    EXPECT_EQ(Ask("window MarrowickDemoTrayWindow modern"), "none");
}

// "TaskbarCreated": a program that started before the shell puts its icons
// in again once the shell's tray is up.
TEST_F(SystemTray, ProgramsStartedBeforeTheShellAddTheirIconsWhenItComes) {
    trays_.push_back(RunTray("early", {"1 #3080ff E Early bird", "2 #30c060 W Worm"}));
    ASSERT_TRUE(AwaitTrayReady("early"));
    StartHost();
    EXPECT_TRUE(Await("its icons added again", [&](std::string* seen) {
        const auto lines = ReadLines(Path("early.out"));
        *seen = LastLine(Path("early.out"));
        return lines.size() > 1 && lines[1] == "taskbar created: 2 of 2 icons added again";
    }));
    Exec("@Marrowick.Next");
    ASSERT_TRUE(WaitShown(true));
    EXPECT_EQ(ListWindow().rect, Expected({"Early bird", "Worm"}, Layout{}));
}

// Records no well-behaved program sends: each refused (answer 0) or, for a
// tip without its terminator, cut; the rest of the tray stays as it was and
// the shell carries on.
TEST_F(SystemTray, BadRecordsAreRefusedOrCutAndTheTrayCarriesOn) {
    StartHost();
    StartTray("apps", THREE, {"-passive"});
    const std::vector<std::string> before = Tray();
    ASSERT_EQ(before.size(), 3u);
    for (const char* kind : {"short", "unknown", "mismatch", "huge"})
        EXPECT_EQ(Ask(std::string("record ") + kind), "result=0") << kind;
    EXPECT_EQ(LogLines("tray refused ").size(), 4u);
    EXPECT_EQ(Tray(), before);

    EXPECT_EQ(Ask("record tip"), "result=1");
    std::string tip;
    for (int i = 0; i < 127; ++i) tip += static_cast<char>('A' + i % 26);
    const std::vector<std::string> with_tip = Tray();
    ASSERT_EQ(with_tip.size(), 4u);
    EXPECT_THAT(with_tip[3],
                HasSubstr(" id=99 message=32773 version=0 icon=0 tip=\"" + tip + "\""));
    EXPECT_EQ(Ask("record delete"), "result=1");
    EXPECT_EQ(Tray(), before);

    EXPECT_FALSE(host_.Ended());
    Exec("@Marrowick.Next");
    ASSERT_TRUE(WaitShown(true));
    EXPECT_EQ(ListWindow().rect,
              Expected({"Volume 40% / Muted", "Network: connected", "Battery"}, Layout{}));
}

// Wine's own Task Manager, a program nobody here wrote, puts its CPU usage
// icon into the tray; Marrowick lists it, and a right click opens the Task
// Manager's own menu.
TEST_F(SystemTray, WinesTaskManagerJoinsTheTrayAndOpensItsMenuOnARightClick) {
    StartHost();
    StartTaskManager();
    Exec("@Marrowick.Next");
    ASSERT_TRUE(WaitShown(true));
    EXPECT_EQ(ListWindow().rect.h, 2 + 16 + 2);  // one row, as tall as its icon
    Exec("@Marrowick.Send RightClick");
    EXPECT_TRUE(AwaitMenu("#32770 Task Manager", true));
    CloseMenu("#32770 Task Manager");
    EXPECT_TRUE(AwaitMenu("#32770 Task Manager", false));
}

}  // namespace
}  // namespace e2e
