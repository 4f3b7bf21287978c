// "Click <click name> <text>": the first live entry whose one-line tip holds
// the text, without regard to case, gets the click as "Send" delivers it,
// whether the list is shown or not, which it leaves as it was; the parse and
// its reports. And the owner check both share: nothing is posted to an owner
// that is no longer a window.
#include "tests/fakes/list_fixture.h"

namespace {

class ClickCommandTest : public ListTest {
protected:
    void SetUp() override {
        ListTest::SetUp();
        AddEntries({"Volume 40%\r\nMuted", "Wi-Fi  Connected", "Mail: 3 new", "Volume mixer"});
    }
    static Lines Delivered() {
        return fake::CallsTo({"SetForegroundWindow", "PostMessageA", "MessageBoxA", "ShowWindow",
                              "SendMessageA", "GetCursorPos"});
    }
    static Lines LeftClickTo(int row) {
        const std::string owner = std::to_string(101 + row);
        const std::string posted = "PostMessageA " + owner + " " + std::to_string(1025 + row) +
                                   " " + std::to_string(7 + row) + " ";
        return {"SetForegroundWindow " + owner, posted + "513", posted + "514"};
    }
};

TEST_F(ClickCommandTest, FindsTheFirstEntryHoldingTheTextOrReports) {
    const std::string long_name(30, 'X');
    const std::vector<std::pair<std::string, Lines>> cases = {
        {"Click LeftClick volume", LeftClickTo(0)},
        {"Click LeftClick 40% / MUTED", LeftClickTo(0)},  // the one-line form
        {"Click LeftClick mixer", LeftClickTo(3)},
        {"Click LeftClick Fi  conn", LeftClickTo(1)},  // spaces kept
        {"Click \t LeftClick \t mail: 3", LeftClickTo(2)},
        {"Click LeftClick Mail \t\r\n", LeftClickTo(2)},  // blanks at the end are no part of it
        {"Click LeftClick Wi-Fi  ", LeftClickTo(1)},
        {"Click LeftClick Volume 40%\r\nMuted",
         {Report("No tray icon matches `Volume 40%\r\nMuted'")}},
        {"Click LeftClick nothing", {Report("No tray icon matches `nothing'")}},
        {"Click leftclick Volume", {Report("Unknown message: `leftclick'")}},
        {"Click " + long_name + " Volume", {Report("Unknown message: `" + long_name + "'")}},
        {"Click LeftClick", {Report("Unknown bro@m: `@Marrowick.Click LeftClick'")}},
        {"Click LeftClick \t ", {Report("Unknown bro@m: `@Marrowick.Click LeftClick \t '")}},
        {"Click ", {Report("Unknown bro@m: `@Marrowick.Click '")}},
        {"Click", {Report("Unknown bro@m: `@Marrowick.Click'")}},
        {"ClickLeftClick Volume", {Report("Unknown bro@m: `@Marrowick.ClickLeftClick Volume'")}},
    };
    for (const auto& [command, expected] : cases) {
        SCOPED_TRACE(command);
        fake::ClearCalls();
        Broam(command);
        EXPECT_EQ(Delivered(), expected);
    }
    EXPECT_FALSE(list_state.visible);
}

TEST_F(ClickCommandTest, DeadEntriesArePurgedFirstAndTheTipIsMatchedAsTheRowShowsIt) {
    fake::KillWindow(reinterpret_cast<HWND>(101));
    config.do_convert_new_line = 0;
    fake::ClearCalls();
    Broam("Click RightClick volume");
    EXPECT_EQ(Delivered(), (Lines{"SendMessageA 1 10508 0 0", "SetForegroundWindow 104",
                                  "PostMessageA 104 1028 10 516", "PostMessageA 104 1028 10 517"}));
}

TEST_F(ClickCommandTest, AShownListStaysAsItWas) {
    Broam("Next");
    Broam("Next");
    fake::ClearCalls();
    Broam("Click LeftClick mail");
    EXPECT_EQ(Delivered(), LeftClickTo(2));
    EXPECT_EQ(list_state.visible, 1);
    EXPECT_EQ(list_state.selected, 1);
}

TEST_F(ClickCommandTest, TheVersionFourFormIsAnchoredAtThePointer) {
    config.notify_version = 4;
    fake::platform.cursor = {-20, 700};  // on a monitor left of the primary one
    Broam("Click MiddleClick mixer");
    EXPECT_EQ(Delivered(), (Lines{"SetForegroundWindow 104", "GetCursorPos",
                                  "PostMessageA 104 1028 45940716 655879",  // 700 << 16 | 0xFFEC
                                  "PostMessageA 104 1028 45940716 655880"}));
}

// In a double-byte code page the second byte of a character may equal an
// ASCII letter: "\x83\x41" is one Japanese character (katakana A), not an
// 'A'. A text is found only where a character begins, and a tip that begins
// with a double-byte character is found by it.
TEST_F(ClickCommandTest, ADoubleByteCodePageIsMatchedCharacterByCharacter) {
    fake::platform.code_page = 932;
    fake::host.tray.clear();
    AddEntries({"\x83\x41\x83\x8B\x83\x7D Post", "Alarm"});
    const std::vector<std::pair<std::string, Lines>> cases = {
        {"a", LeftClickTo(1)},
        {"ala", LeftClickTo(1)},
        {"\x83\x41", LeftClickTo(0)},
        {"post", LeftClickTo(0)},
        {"A\x83", {Report("No tray icon matches `A\x83'")}},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        fake::ClearCalls();
        Broam("Click LeftClick " + text);
        EXPECT_EQ(Delivered(), expected);
    }
}

// An entry that arrived while the list was shown, or whose program exited
// since, has an owner that is no window: owner 0 would make the posts
// messages to the shell's own thread, HWND_BROADCAST messages to every
// top-level window. Nothing is posted; the list still hides.
TEST_F(ClickCommandTest, SendPostsNothingToAnOwnerThatIsNoWindow) {
    for (intptr_t owner : {0, 0xFFFF, 102}) {
        SCOPED_TRACE(owner);
        Broam("Next");
        Broam("Next");
        if (owner == 102)
            fake::KillWindow(reinterpret_cast<HWND>(102));
        else
            fake::host.tray[1].hWnd = reinterpret_cast<HWND>(owner);
        fake::ClearCalls();
        Broam("Send LeftClick");
        EXPECT_EQ(fake::Calls(),
                  (Lines{"GetTrayIcon 1", "SetForegroundWindow " + std::to_string(owner),
                         "IsWindow " + std::to_string(owner), "ShowWindow 500 0"}));
        fake::host.tray[1].hWnd = fake::LiveWindow(102);
    }
}

}  // namespace
