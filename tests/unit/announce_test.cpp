// What an interactive list tells screen readers: its window's name is the
// highlighted row's one-line tip and place, set before the window takes the
// focus, which the window system announces, and again with every move of the
// highlight, each time followed by the name-change event and, while the list
// has the focus, the focus event. Off, the list names nothing and fires
// nothing.
#include "plugin/plugin.h"
#include "tests/fakes/list_fixture.h"

namespace {

class AnnounceTest : public ListTest {
protected:
    void SetUp() override {
        ListTest::SetUp();
        config.interactive = 1;
        AddEntries({"Volume 40%\r\nMuted", "Tom & Jerry", "Clock"});
    }
    static std::string Name() { return fake::FindWindowRecord(hListWnd)->text; }
    static Lines Announced() {
        return fake::CallsTo(
            {"SetWindowTextA", "NotifyWinEvent", "ShowWindow", "SetForeground", "InvalidateRect"});
    }
};

const Lines EVENTS = {"NotifyWinEvent 32780 500 -4 0", "NotifyWinEvent 32773 500 -4 0"};

TEST_F(AnnounceTest, ShowingNamesTheRowBeforeTheFocusAndLeavesTheFocusEventToTheSystem) {
    Broam("Next");
    EXPECT_EQ(Announced(), (Lines{"SetWindowTextA 500 \"Volume 40% / Muted, 1 of 3\"",
                                  "ShowWindow 500 5", "SetForegroundWindow 500", EVENTS[0]}));
}

TEST_F(AnnounceTest, PrevOnAHiddenListNamesOnlyTheLastRow) {
    Broam("Prev");
    EXPECT_EQ(Announced(), (Lines{"SetWindowTextA 500 \"Clock, 3 of 3\"", "ShowWindow 500 5",
                                  "SetForegroundWindow 500", EVENTS[0], "InvalidateRect 500 0 1"}));
}

// A bro@m that moves the highlight while another window has the focus (the
// list's own report box, say) renames the list but claims no focus.
TEST_F(AnnounceTest, TheFocusEventComesOnlyWhileTheListHasTheFocus) {
    Broam("Next");
    fake::platform.focus = fake::OwnedWindow(700, hListWnd);
    fake::ClearCalls();
    Broam("Next");
    EXPECT_EQ(Announced(), (Lines{"InvalidateRect 500 0 1",
                                  "SetWindowTextA 500 \"Tom && Jerry, 2 of 3\"", EVENTS[0]}));
}

TEST_F(AnnounceTest, EveryMoveRenamesAndNotifies) {
    Broam("Next");
    fake::ClearCalls();
    Broam("Next");
    EXPECT_EQ(Announced(),
              (Lines{"InvalidateRect 500 0 1", "SetWindowTextA 500 \"Tom && Jerry, 2 of 3\"",
                     EVENTS[0], EVENTS[1]}));
    Broam("Prev");
    EXPECT_EQ(Name(), "Volume 40% / Muted, 1 of 3");
}

TEST_F(AnnounceTest, AnEmptyListAndAVanishedEntrySayWhatThereIs) {
    Broam("Prev");
    fake::host.tray.pop_back();
    Broam("Next");
    EXPECT_EQ(Name(), "Volume 40% / Muted, 1 of 3");
    Broam("Prev");
    EXPECT_EQ(Name(), "3 of 3");
    Broam("Cancel");
    fake::host.tray.clear();
    Broam("Next");
    EXPECT_EQ(Name(), "No tray icons");
}

TEST_F(AnnounceTest, OffTheListIsNeverNamed) {
    config.interactive = 0;
    for (const char* command : {"Next", "Next", "Prev", "Cancel", "Prev", "Send LeftClick"})
        Broam(command);
    EXPECT_EQ(fake::CallsTo({"SetWindowTextA", "NotifyWinEvent", "GetCursorPos"}), Lines{});
}

// Type-ahead over tips that begin alike: a character searches from the row
// after the highlighted one, characters typed quickly narrow the search, the
// same character again steps on, and a pause starts afresh.
class TypeAheadTest : public ListTest {
protected:
    void SetUp() override {
        ListTest::SetUp();
        config.interactive = 1;
        AddEntries({"Mail", "Media player", "Monitor", "3 new messages", "mixer",
                    "\xC9"
                    "cran"});
        Broam("Next");
    }
    static int Type(const std::string& text, long time = 0) {
        for (char c : text) {
            fake::platform.message_time = time;
            WndProc(hListWnd, WM_CHAR, static_cast<unsigned char>(c), 0);
        }
        return list_state.selected;
    }
};

TEST_F(TypeAheadTest, FindsNarrowsStepsAndStartsAfresh) {
    EXPECT_EQ(Type("m"), 1);            // the row after Mail that begins with m
    EXPECT_EQ(Type("mm", 5000), 4);     // again and again: Monitor, then mixer
    EXPECT_EQ(Type("m", 7000), 0);      // past the end, wrapping to Mail
    EXPECT_EQ(Type("mo", 9000), 2);     // typed quickly: Monitor
    EXPECT_EQ(Type("x", 9500), 2);      // "mox" matches nothing: the highlight stays
    EXPECT_EQ(Type("3", 11000), 3);     // a digit
    EXPECT_EQ(Type("\xE9", 13000), 5);  // an accented letter, in the other case
    EXPECT_EQ(Type("MI", 15000), 4);    // without regard to case
}

// In a double-byte code page a character comes as its lead byte and then its
// second byte, or both packed in one message; either way it searches as one
// character, and its second byte is never taken for the ASCII letter it
// equals ("\x83\x41" is katakana A, not 'A').
TEST_F(TypeAheadTest, DoubleByteCharactersSearchWhole) {
    fake::platform.code_page = 932;
    fake::host.tray.clear();
    AddEntries({"Alarm", "\x83\x41\x83\x8B\x83\x7D", "\x83\x41\x83\x43", "Atlas"});
    Broam("Cancel");
    Broam("Next");
    EXPECT_EQ(Type("\x83\x41", 0), 1);      // two messages
    WndProc(hListWnd, WM_CHAR, 0x8341, 0);  // one, typed again: the next such row
    EXPECT_EQ(list_state.selected, 2);
    EXPECT_EQ(Type("a", 5000), 3);  // an 'A' finds Atlas, not the katakana rows
    EXPECT_EQ(Type("\x83\x41\x83\x43", 7000), 2);
}

TEST_F(TypeAheadTest, OnlyLettersAndDigitsSearch) {
    fake::ClearCalls();
    EXPECT_EQ(Type(" -/"), 0);
    EXPECT_EQ(fake::CallsTo("GetTrayIcon"), Lines{});
}

}  // namespace
