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
        ASSERT_TRUE(
            WaitUntil([&] { return !ReadLines(Path("listener.out")).empty(); }, START_TIMEOUT))
            << "the listener did not start";
        ASSERT_EQ(ReadLines(Path("listener.out"))[0], "ready");
    }

    // What the listener has heard so far, after its greeting, row by row:
    // "NAME: KINDS" for each run of events that name one row, KINDS those
    // heard in the run, sorted ("focus namechange"). A screen reader speaks
    // a row once however its events come: the order within a run and a
    // repeated event tell nothing new. The system's own focus event when
    // the list window activates names no object (Wine 10 fires it, as
    // Windows does; Wine 8 does not) and is passed over.
    std::vector<std::string> Heard() const {
        const std::vector<std::string> lines = ReadLines(Path("listener.out"));
        std::vector<std::string> runs;
        std::string row;
        std::set<std::string> kinds;
        const auto end_run = [&] {
            if (row.empty()) return;
            std::string run = row + ":";
            for (const std::string& kind : kinds) run += " " + kind;
            runs.push_back(run);
        };
        for (size_t i = 1; i < lines.size(); ++i) {
            if (lines[i] == "focus (no name)") continue;
            const size_t space = lines[i].find(' ');
            const std::string name = lines[i].substr(space + 1);
            if (name != row) {
                end_run();
                row = name;
                kinds.clear();
            }
            kinds.insert(lines[i].substr(0, space));
        }
        end_run();
        return runs;
    }

    // Runs a host command that brings the highlight to a row, and waits until
    // the listener has heard the row's name change and focus: the name is
    // read from the window when the event arrives, so the next move must
    // wait for it.
    void Reach(const std::string& command, int row) {
        Exec(command);
        expected_.push_back(std::string(ROWS[row]) + ": focus namechange");
        // Once something was not heard, the comparison at the end tells
        // what; waiting again at every step would only make it late.
        if (missed_) return;
        missed_ = !WaitUntil([&] {
            const std::vector<std::string> heard = Heard();
            return heard.size() > expected_.size() ||
                   (heard.size() == expected_.size() && heard.back() == expected_.back());
        });
        EXPECT_FALSE(missed_) << "not heard after " << command;
    }

    Process listener_;
    std::vector<std::string> expected_;
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
    Reach("@Marrowick.Next", 0);
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
    Reach("@Marrowick.Prev", 3);  // a hidden list shows its last row
    Exec("@Marrowick.Cancel");
    ASSERT_TRUE(WaitShown(false));

    EXPECT_EQ(Heard(), expected_);
}

}  // namespace
}  // namespace e2e
