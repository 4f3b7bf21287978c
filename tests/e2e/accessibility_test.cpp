// What a screen reader hears of the list. listener.exe, an accessibility
// client in a process of its own, hooks the focus and name-change events of
// every window out of context and reads each name through the system's
// oleacc. With marrowick.interactive on, it must hear every row the highlight
// reaches, by real keys and by bro@ms alike, in order and with its place, an
// '&' of a tip as it stands; with the setting absent it must hear nothing of
// the same moves.
#include <set>

#include "end_to_end.h"

namespace e2e {
namespace {

// Four icons of one program; the last tip has an '&', which a window's name
// would otherwise lose as the mark of a keyboard shortcut.
const std::vector<std::string> FOUR = {"1 #3080ff V Volume 40%\\nMuted",
                                       "2 #30c060 N Network: connected", "3 #d04040 B Battery",
                                       "4 #c0c040 R Rock & Roll Radio"};
const char* const ROWS[] = {"Volume 40% / Muted, 1 of 4", "Network: connected, 2 of 4",
                            "Battery, 3 of 4", "Rock & Roll Radio, 4 of 4"};

class Accessibility : public EndToEnd {
protected:
    void TearDown() override {
        EndToEnd::TearDown();
        listener_.Stop();
    }

    void StartListener() {
        listener_ = Session::Get().Run("listener.exe", {"Marrowick"}, Path("listener.out"),
                                       Path("listener.err"));
        ASSERT_TRUE(Await(
            "the listener to start",
            [&](std::string* seen) {
                *seen = LastLine(Path("listener.err"));
                return !ReadLines(Path("listener.out")).empty();
            },
            START_TIMEOUT));
        ASSERT_EQ(ReadLines(Path("listener.out"))[0], "ready");
    }

    // What the listener has heard so far, after its greeting, less the
    // focus events the window system fires of its own as the list shows and
    // takes the focus (Windows and Wine 10 do, Wine 8 does not): those that
    // come where the name change of a showing is due.
    std::vector<std::string> Heard() const {
        std::vector<std::string> lines = ReadLines(Path("listener.out"));
        if (!lines.empty()) lines.erase(lines.begin());
        std::vector<std::string> heard;
        for (const std::string& line : lines) {
            const size_t next = heard.size();
            const bool showing = next < expected_.size() && shows_.count(next);
            if (!(showing && line.rfind("focus ", 0) == 0)) heard.push_back(line);
        }
        return heard;
    }

    // Runs a host command that brings the highlight to a row, and waits until
    // the listener has heard as much as expected so far: the row's name
    // change, and its focus unless the command showed the list, whose focus
    // the window system announces itself. The name is read from the window
    // when the event arrives, so the next move must wait for it.
    void Reach(const std::string& command, int row, bool shows = false) {
        Exec(command);
        if (shows) shows_.insert(expected_.size());
        expected_.push_back(std::string("namechange ") + ROWS[row]);
        if (!shows) expected_.push_back(std::string("focus ") + ROWS[row]);
        // Once something was not heard, the comparison at the end tells
        // what; waiting again at every step would only make it late.
        if (missed_) return;
        const ::testing::AssertionResult heard =
            Await(std::to_string(expected_.size()) + " events heard after " + command,
                  [&](std::string* seen) {
                      *seen = std::to_string(Heard().size()) + ", the last line of listener.out " +
                              LastLine(Path("listener.out"));
                      return Heard().size() >= expected_.size();
                  });
        missed_ = !heard;
        EXPECT_TRUE(heard);
    }

    Process listener_;
    std::vector<std::string> expected_;
    std::set<size_t> shows_;  // the places in expected_ of showings' name changes
    bool missed_ = false;
};

TEST_F(Accessibility, AClientHearsEveryRowReachedOnlyWhenTheListIsInteractive) {
    StartListener();
    StartHost();
    StartTray("apps", FOUR);

    // The setting absent: bro@ms and keys, and nothing to hear.
    Exec("@Marrowick.Next");
    ASSERT_TRUE(WaitShown(true));
    for (const char* command : {"@Marrowick.Next", "key down", "key end", "key b",
                                "@Marrowick.Prev", "key home", "@Marrowick.Cancel"})
        Exec(command);
    ASSERT_TRUE(WaitShown(false));

    // Read at the next show. What is heard from here on also tells that
    // nothing was heard before: the events arrive in the order they fire.
    WriteRc("marrowick.interactive: true\n");
    Exec("reconfigure");
    Reach("@Marrowick.Next", 0, true);
    Reach("key down", 1);
    Reach("key down", 2);
    Reach("key down", 3);
    Reach("key down", 0);  // wraps around
    Reach("key up", 3);    // and back
    Reach("key home", 0);
    Reach("key end", 3);
    Reach("@Marrowick.Prev", 2);
    Reach("@Marrowick.Next", 3);
    Reach("@Marrowick.Next", 0);
    Reach("key n", 1);  // the next row whose tip begins with it
    Exec("key escape");
    ASSERT_TRUE(WaitShown(false));
    Reach("@Marrowick.Prev", 3, true);  // a hidden list shows its last row
    Exec("@Marrowick.Cancel");
    ASSERT_TRUE(WaitShown(false));

    EXPECT_EQ(Heard(), expected_);
}

}  // namespace
}  // namespace e2e
