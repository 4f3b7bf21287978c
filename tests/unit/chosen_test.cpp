// Which program a click of the list reaches when the tray changes under it:
// the one whose row the user was last shown highlighted, wherever its entry
// now stands, or nobody; and how a shown list follows a purge of its own.
#include <cstring>

#include "plugin/plugin.h"
#include "tests/fakes/list_fixture.h"

namespace {

constexpr intptr_t NOBODY = 0;

class ChosenTest : public ListTest {
protected:
    void SetUp() override {
        ListTest::SetUp();
        AddEntries({"Alpha", "Bravo", "Charlie", "Delta"});  // owners 101 to 104
        std::strcpy(config.enter_click, "LeftClick");
    }

    // Shows the list with Bravo, row 1, highlighted and painted.
    static void ShowBravo(int interactive) {
        config.interactive = interactive;
        Broam("Next");
        Broam("Next");
        WndProc(hListWnd, WM_PAINT, 0, 0);
    }

    static void Paint() { WndProc(hListWnd, WM_PAINT, 0, 0); }
    // The owner when the tray still holds its icon of that id, even with the
    // owner gone; NOBODY otherwise.
    static intptr_t StillInTray(intptr_t owner, UINT id) {
        for (const TrayEntry& entry : fake::host.tray)
            if (entry.hWnd == reinterpret_cast<HWND>(owner) && entry.uID == id) return owner;
        return NOBODY;
    }
    static void Button(int y) {
        WndProc(hListWnd, WM_LBUTTONDOWN, 0, MAKELPARAM(30, y));
        WndProc(hListWnd, WM_LBUTTONUP, 0, MAKELPARAM(30, y));
    }

    // The owner the click's messages were posted to, NOBODY when none were;
    // the owner must also be the window brought to the front, and the
    // messages its entry's callback message (1025 for owner 101, and so on).
    static intptr_t Reached() {
        const Lines posted = fake::CallsTo("PostMessageA");
        if (posted.empty()) return NOBODY;
        const intptr_t owner = std::stol(posted[0].substr(std::strlen("PostMessageA ")));
        const std::string addressed =
            "PostMessageA " + std::to_string(owner) + " " + std::to_string(owner + 924) + " ";
        for (const std::string& line : posted) EXPECT_EQ(line.rfind(addressed, 0), 0u) << line;
        EXPECT_EQ(fake::platform.foreground, reinterpret_cast<HWND>(owner));
        return owner;
    }
};

struct TrayChange {
    const char* name;
    void (*change)();
    intptr_t reached;  // the owner the click reaches
};

const TrayChange CHANGES[] = {
    {"Unchanged", [] {}, 102},
    {"AnIconBeforeItRemoved", [] { fake::host.tray.erase(fake::host.tray.begin()); }, 102},
    {"AnIconPutBeforeIt",
     [] {
         const TrayEntry first = fake::host.tray.front();
         fake::host.tray.insert(fake::host.tray.begin(), first);
         fake::host.tray.front().hWnd = fake::LiveWindow(105);
     },
     102},
    {"AnIconAdded", [] { fake::AddTrayEntry(fake::LiveWindow(105), 1, 1029, 605, "Echo"); }, 102},
    // The host took a second add of Bravo's icon, with another callback message.
    {"AnotherEntryOfItsIconPutBeforeIt",
     [] {
         const TrayEntry bravo = fake::host.tray[1];
         fake::host.tray.insert(fake::host.tray.begin(), bravo);
         fake::host.tray.front().uCallbackMessage = 2000;
     },
     102},
    {"ItsProgramExited", [] { fake::KillWindow(reinterpret_cast<HWND>(102)); }, NOBODY},
    {"ItsIconRemoved", [] { fake::host.tray.erase(fake::host.tray.begin() + 1); }, NOBODY},
    {"AnotherIconOfTheSameProgramInItsPlace", [] { fake::host.tray[1].uID = 70; }, NOBODY},
    {"ItsEntryNowOwnedByEveryWindow",
     [] { fake::host.tray[1].hWnd = reinterpret_cast<HWND>(0xFFFF); },  // HWND_BROADCAST
     NOBODY},
    {"TheTrayEmptied", [] { fake::host.tray.clear(); }, NOBODY},
};

std::string ChangeName(const testing::TestParamInfo<TrayChange>& info) { return info.param.name; }

class TrayChangeTest : public ChosenTest, public testing::WithParamInterface<TrayChange> {};

// Send on the list of bro@ms, and Send, Enter and the left button on the
// painted row of the interactive list.
TEST_P(TrayChangeTest, EveryClickReachesTheHighlightedProgramOrNobody) {
    const struct {
        const char* name;
        int interactive;
        void (*act)();
    } ACTS[] = {
        {"Send", 0, [] { Broam("Send LeftClick"); }},
        {"Send, interactive", 1, [] { Broam("Send LeftClick"); }},
        {"Enter", 1, [] { WndProc(hListWnd, WM_KEYDOWN, VK_RETURN, 0); }},
        {"the left button", 1, [] { Button(25); }},
    };
    for (const auto& act : ACTS) {
        SCOPED_TRACE(act.name);
        SetUp();
        ShowBravo(act.interactive);
        GetParam().change();
        fake::ClearCalls();
        act.act();
        EXPECT_EQ(Reached(), GetParam().reached);
        EXPECT_EQ(list_state.visible, 0);
    }
}

// A misspelt click name, in the bro@m or in marrowick.enter_click, is
// reported whatever became of the entry; its owner, when it is still there,
// comes to the front first, as for a known name, and nothing is posted.
TEST_P(TrayChangeTest, AMisspeltClickNameIsReportedWhateverBecameOfTheEntry) {
    const struct {
        const char* name;
        int interactive;
        void (*act)();
    } ACTS[] = {
        {"Send", 0, [] { Broam("Send LeftClik"); }},
        {"Enter", 1, [] { WndProc(hListWnd, WM_KEYDOWN, VK_RETURN, 0); }},
    };
    for (const auto& act : ACTS) {
        SCOPED_TRACE(act.name);
        SetUp();
        std::strcpy(config.enter_click, "LeftClik");
        ShowBravo(act.interactive);
        GetParam().change();
        fake::ClearCalls();
        act.act();
        Lines expected = {Report("Unknown message: `LeftClik'")};
        if (const intptr_t front = StillInTray(102, 8))
            expected.insert(expected.begin(), "SetForegroundWindow " + std::to_string(front));
        EXPECT_EQ(fake::CallsTo({"SetForegroundWindow", "PostMessageA", "MessageBoxA"}), expected);
        EXPECT_EQ(list_state.visible, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Changes, TrayChangeTest, testing::ValuesIn(CHANGES), ChangeName);

// With the tray as it was painted, the tray is never searched: Send makes the
// calls it always made.
TEST_F(ChosenTest, AnUnchangedTrayIsNotSearched) {
    ShowBravo(0);
    fake::ClearCalls();
    Broam("Send LeftClick");
    EXPECT_EQ(fake::Calls(), (Lines{"GetTrayIcon 1", "SetForegroundWindow 102", "IsWindow 102",
                                    "PostMessageA 102 1026 8 513", "PostMessageA 102 1026 8 514",
                                    "ShowWindow 500 0"}));
}

// A highlight moved by a bro@m and not painted since: the entry now at its
// row, as the user will see it. An interactive list named Bravo to screen
// readers as it moved there, which counts as shown.
// A Click that purges nothing in between changes none of that.
TEST_F(ChosenTest, AMoveNotYetDrawnTakesTheEntryNowAtTheRowUnlessItWasNamed) {
    for (int interactive : {0, 1})
        for (const char* between : {"", "Click LeftClick Delta"}) {
            SCOPED_TRACE(std::to_string(interactive) + " " + between);
            SetUp();
            config.interactive = interactive;
            Broam("Next");
            Paint();        // Alpha drawn
            Broam("Next");  // Bravo highlighted, not yet drawn
            if (*between) Broam(between);
            fake::host.tray.erase(fake::host.tray.begin());  // Charlie moves to row 1
            fake::ClearCalls();
            Broam("Send LeftClick");
            EXPECT_EQ(Reached(), interactive ? 102 : 103);
        }
}

// On a desktop without composition a paint is clipped to the part of the
// window uncovered (a menu or a tooltip leaving it): a paint after the tray
// changed need not have redrawn the highlighted row, which may still show
// Bravo. It asks for the whole window to be painted again, and only what that
// paint draws is clicked.
TEST_F(ChosenTest, APaintThatFindsAnotherEntryAtTheHighlightRepaintsBeforeItCounts) {
    for (int bravo_stays : {0, 1}) {
        SCOPED_TRACE(bravo_stays);
        // Charlie moves into Bravo's row, Bravo to row 0 or out of the tray.
        const auto change = [bravo_stays] {
            fake::host.tray.erase(fake::host.tray.begin() + (bravo_stays ? 0 : 1));
        };
        SetUp();
        ShowBravo(1);
        change();
        fake::ClearCalls();
        Paint();
        EXPECT_EQ(fake::CallsTo("InvalidateRect"), Lines{"InvalidateRect 500 0 1"});
        WndProc(hListWnd, WM_KEYDOWN, VK_RETURN, 0);
        EXPECT_EQ(Reached(), bravo_stays ? 102 : NOBODY);

        SetUp();
        ShowBravo(1);
        change();
        Paint();
        Paint();  // the whole window, as asked
        fake::ClearCalls();
        WndProc(hListWnd, WM_KEYDOWN, VK_RETURN, 0);
        EXPECT_EQ(Reached(), 103);
    }
}

// A button on a row other than the highlighted one takes the entry that now
// stands at that row.
TEST_F(ChosenTest, AButtonOnAnotherRowTakesTheEntryNowThere) {
    ShowBravo(1);
    fake::host.tray.erase(fake::host.tray.begin());
    fake::ClearCalls();
    Button(45);  // row 2, painted Charlie, now Delta
    EXPECT_EQ(Reached(), 104);
}

// Click purges a dead entry while the list is shown: the list counts its rows
// again, lays them out and keeps Charlie highlighted, now at row 1; without a
// purge, the list is left as it is.
TEST_F(ChosenTest, AShownListFollowsThePurgeOfAClick) {
    config.interactive = 0;
    Broam("Prev");
    Broam("Prev");  // Charlie
    Paint();
    fake::ClearCalls();
    Broam("Click LeftClick Delta");
    EXPECT_EQ(fake::CallsTo({"SetWindowPos", "InvalidateRect"}), Lines{});

    fake::KillWindow(reinterpret_cast<HWND>(101));
    fake::ClearCalls();
    Broam("Click LeftClick Delta");
    EXPECT_EQ(fake::CallsTo({"SendMessageA", "SetWindowPos", "InvalidateRect", "PostMessageA"}),
              (Lines{"SendMessageA 1 10508 0 0", "SetWindowPos 500 0 354 270 93 60 532",
                     "InvalidateRect 500 0 1", "PostMessageA 104 1028 10 513",
                     "PostMessageA 104 1028 10 514"}));
    EXPECT_EQ(list_state.count, 3);
    EXPECT_EQ(list_state.selected, 1);
    EXPECT_EQ(list_state.visible, 1);
    fake::ClearCalls();
    Broam("Send LeftClick");
    EXPECT_EQ(Reached(), 103);
}

// When the purge takes the highlighted entry itself, the highlight stays on
// the same row number, clamped to the rows left, and the interactive list
// names what is now there.
TEST_F(ChosenTest, APurgeOfTheHighlightedEntryKeepsItsRowNumber) {
    config.interactive = 1;
    Broam("Prev");  // Delta, row 3
    fake::KillWindow(reinterpret_cast<HWND>(104));
    Broam("Click LeftClick Alpha");
    EXPECT_EQ(list_state.count, 3);
    EXPECT_EQ(list_state.selected, 2);
    EXPECT_EQ(fake::FindWindowRecord(hListWnd)->text, "Charlie, 3 of 3");
}

}  // namespace
