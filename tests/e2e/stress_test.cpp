// Marrowick under load and faults, end to end: the real DLL in blackbox.exe
// under Wine with four tray programs, driven by the host's own stress
// command (devhost/stress/) with 10,000 mixed broadcasts and faults
// between them; and an interactive list driven by fewer broadcasts with real
// keys and mouse actions, and changes of the tray under it, among them. The
// host checks fonts, device contexts, the list's state and highlight after
// every broadcast and input, and after every click that it reached the
// program whose entry the list showed highlighted or none (misdirected=0),
// and prints one summary line; each test checks that line, that the host
// still runs, that the list is in the state the last command left, and that
// each tray program logged exactly the clicks the host expected, in order.
//
// MARROWICK_STRESS_BROADCASTS, MARROWICK_STRESS_INTERACTIVE_BROADCASTS and
// MARROWICK_STRESS_SEED change the runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <sstream>

#include "harness.h"

namespace e2e {
namespace {

// Solid fills, so that the host can find the highlight by its colour.
constexpr char STRESS_STYLE[] =
    "menu.frame.appearance: solid\n"
    "menu.frame.color: #203040\n"
    "menu.frame.textColor: #e0e0e0\n"
    "menu.hilite.appearance: solid\n"
    "menu.hilite.color: #f0a020\n"
    "menu.hilite.textColor: #101010\n";

const std::vector<std::string> TRAYS = {"alpha", "beta", "gamma", "delta"};

int FromEnvironment(const char* name, int fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::atoi(value) : fallback;
}

// "key=value key=value ..." after the line's first word.
std::map<std::string, std::string> Fields(const std::string& line) {
    std::map<std::string, std::string> fields;
    std::istringstream words(line);
    std::string word;
    while (words >> word) {
        const size_t equals = word.find('=');
        if (equals != std::string::npos) fields[word.substr(0, equals)] = word.substr(equals + 1);
    }
    return fields;
}

// "" when the lines are equal, else where they first differ.
std::string FirstDifference(const std::vector<std::string>& logged,
                            const std::vector<std::string>& expected) {
    for (size_t i = 0; i < std::max(logged.size(), expected.size()); ++i) {
        const std::string got = i < logged.size() ? logged[i] : "(nothing)";
        const std::string want = i < expected.size() ? expected[i] : "(nothing)";
        if (got != want)
            return "line " + std::to_string(i + 1) + ": logged \"" + got + "\", expected \"" +
                   want + "\" (" + std::to_string(logged.size()) + " logged, " +
                   std::to_string(expected.size()) + " expected)";
    }
    return "";
}

class Stress : public ::testing::Test {
protected:
    explicit Stress(const std::string& name = "stress") : name_(name) {}

    void SetUp() override {
        dir_ = Session::Get().WorkDir() + "/" + name_;
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_ + "/plugin");
        std::filesystem::copy_file(E2E_WIN32_DIR "/Marrowick.dll", dir_ + "/plugin/Marrowick.dll");
        WriteFile(Path("stress.style"), STRESS_STYLE);
    }

    void TearDown() override {
        for (Process& tray : trays_) tray.Stop();
        host_.Stop();
    }

    std::string Path(const std::string& name) const { return dir_ + "/" + name; }

    std::vector<std::string> LogLines(const std::string& prefix) const {
        return LinesStartingWith(Path("host.log"), prefix);
    }

    void StartHost() {
        host_ = Session::Get().Run(
            "blackbox.exe",
            {"-log", WindowsPath(Path("host.log")), "-style", WindowsPath(Path("stress.style")),
             WindowsPath(Path("plugin/Marrowick.dll"))},
            Path("host.out"), Path("host.err"));
        ASSERT_TRUE(Await(
            "the host to start",
            [&](std::string* seen) {
                *seen = LastLine(Path("host.log"));
                return !LogLines("ready ").empty();
            },
            START_TIMEOUT));
    }

    // All four at once, only logging their callbacks (a right click would open
    // a menu), as each takes a second or two to start under
    // emulation; their entries follow in a fixed order, so that a seed always
    // makes the same run.
    void StartTrays() {
        for (const std::string& name : TRAYS)
            trays_.push_back(Session::Get().Run(
                "trayapp.exe",
                {"-name", name, "-log", WindowsPath(Path(name + ".log")), "-passive"},
                Path(name + ".out"), Path(name + ".err")));
        for (const std::string& name : TRAYS)
            ASSERT_TRUE(Await(
                "tray program " + name + " to start",
                [&](std::string* seen) {
                    const auto lines = ReadLines(Path(name + ".out"));
                    *seen = LastLine(Path(name + ".out"));
                    return !lines.empty() && lines[0] == "ready " + name;
                },
                START_TIMEOUT));
        for (const std::string& name : TRAYS)
            for (const std::string& entry :
                 {"1 #3080ff V " + name, "2 #30c060 N " + name + " two\\nlines",
                  "3 #d04040 B " + name + " three"})
                ASSERT_EQ(Session::Get().Ask("tell " + name + " add " + entry), "ok");
    }

    // Queues a host command and waits until the host has finished it.
    ::testing::AssertionResult Exec(const std::string& command, Clock::duration timeout) {
        const std::string done = "done " + Escaped(command);
        const size_t before = LogLines(done).size();
        const std::string queued = Session::Get().Ask("exec " + Escaped(command));
        if (queued != "ok")
            return ::testing::AssertionFailure() << "the inspector answered \"" << queued << "\"";
        return Await(
            "the host to finish " + command,
            [&](std::string* seen) {
                *seen = LastLine(Path("host.log"));
                return LogLines(done).size() > before;
            },
            timeout);
    }

    // The stress command with options ("" or "interactive ") over the four
    // tray programs, and the checks every run must pass; the summary line's
    // fields in fields_.
    void RunStress(const std::string& options, int broadcasts) {
        const int seed = FromEnvironment("MARROWICK_STRESS_SEED", 1);
        StartHost();
        StartTrays();
        const std::string command = "stress " + options + std::to_string(broadcasts) + " " +
                                    std::to_string(seed) + " " + WindowsPath(Path("expected.txt"));
        ASSERT_TRUE(Exec(command, std::chrono::minutes(20))) << "the stress run did not finish";
        const std::vector<std::string> summaries = LogLines("stress broadcasts=");
        ASSERT_EQ(summaries.size(), 1u);
        std::cout << summaries[0] << std::endl;
        for (const std::string& error : LogLines("stress error")) ADD_FAILURE() << error;

        // The host still runs and answers.
        EXPECT_FALSE(host_.Ended()) << "the host exited";
        EXPECT_TRUE(Exec("tray", STEP_TIMEOUT)) << "the host does not answer";
        fields_ = Fields(summaries[0]);
        EXPECT_EQ(fields_["broadcasts"], std::to_string(broadcasts));
        CheckSummary();
        CheckListAndClicks();
    }

    // Nothing leaked, every click delivered, and every kind of command and
    // fault happened and the checks ran.
    void CheckSummary() {
        EXPECT_EQ(fields_["errors"], "0");
        EXPECT_EQ(fields_["misdirected"], "0");
        EXPECT_EQ(fields_["fonts_leaked"], "0");
        EXPECT_EQ(fields_["dcs_leaked"], "0");
        EXPECT_EQ(fields_["delivered"], fields_["messages"]);
        EXPECT_EQ(fields_["owner_exits"], "2");
        for (const char* count :
             {"shows", "moves", "hides", "clicks", "shifted_clicks", "changes_while_shown",
              "windows_opened", "windows_closed", "entries_added", "entries_removed",
              "tips_changed", "reconfigures", "purges", "fonts", "dcs", "highlight_checks"})
            EXPECT_GT(std::atoi(fields_[count].c_str()), 0) << count;
    }

    // The list as the last command left it, and each tray program got exactly
    // the clicks the host expected, in order.
    void CheckListAndClicks() {
        const std::string window = Session::Get().Ask("window Marrowick");
        EXPECT_NE(window.find(fields_["list"] == "shown" ? "visible=1" : "visible=0"),
                  std::string::npos)
            << window << " while the last command left the list " << fields_["list"];

        const std::vector<std::string> expected = ReadLines(Path("expected.txt"));
        EXPECT_EQ(std::to_string(expected.size()), fields_["messages"]);
        for (const std::string& name : TRAYS) {
            std::vector<std::string> mine;
            for (const std::string& line : expected)
                if (line.rfind(name + " ", 0) == 0) mine.push_back(line);
            EXPECT_EQ(FirstDifference(ReadLines(Path(name + ".log")), mine), "") << name;
        }
    }

    std::string name_;
    std::string dir_;
    Process host_;
    std::vector<Process> trays_;
    std::map<std::string, std::string> fields_;
};

TEST_F(Stress, TenThousandBroadcastsWithOwnersAndSettingsChangingLeaveNothingBehind) {
    ASSERT_NO_FATAL_FAILURE(RunStress("", FromEnvironment("MARROWICK_STRESS_BROADCASTS", 10000)));
    EXPECT_EQ(fields_.count("keys"), 0u) << "a run without input reports input";
}

// The same with marrowick.interactive on, and keys, letters, pointer moves,
// button clicks on rows, clicks outside the list and changes of the tray
// under it between the broadcasts.
class InteractiveStress : public Stress {
protected:
    InteractiveStress() : Stress("stress-interactive") {}
};

TEST_F(InteractiveStress, KeysAndTheMouseAmongBroadcastsAndFaultsLeaveNothingBehind) {
    ASSERT_NO_FATAL_FAILURE(RunStress(
        "interactive ", FromEnvironment("MARROWICK_STRESS_INTERACTIVE_BROADCASTS", 4000)));
    for (const char* count : {"keys", "letters", "pointer_moves", "button_clicks", "outside_clicks",
                              "input_moves", "input_hides", "hover_checks"})
        EXPECT_GT(std::atoi(fields_[count].c_str()), 0) << count;
}

}  // namespace
}  // namespace e2e
