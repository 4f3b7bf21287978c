// The settings: defaults, the rc readers' rules, the rc file's path, and the
// error box that reports a path that cannot be built.
#include "config/config.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "plugin/module.h"
#include "tests/fakes/fake.h"
#include "tests/unit/expect_config.h"

namespace {

constexpr char RC_PATH[] = "C:\\Shell\\plugins\\Marrowick\\Marrowick.rc";

class ConfigTest : public testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        config = DEFAULT_CONFIG;
        notify_version_by_program = {};
        hListWnd = nullptr;
        hPluginInstance = reinterpret_cast<HINSTANCE>(77);
    }

    // Reads the whole configuration from an rc file holding these lines.
    void ReadRc(const std::string& rc_text) {
        fake::host.rc_text = rc_text;
        ReadConfig();
    }
};

TEST_F(ConfigTest, EmptyRcGivesExactlyTheDefaults) {
    config = Config{};
    ReadRc("");
    ExpectConfigEquals(DEFAULT_CONFIG, config);
    EXPECT_TRUE(fake::MessageBoxes().empty());
}

TEST_F(ConfigTest, ReadsEveryKeyInOrderFromTheRcBesideTheModule) {
    ReadRc("");
    const std::string p = std::string("\"") + RC_PATH + "\" ";
    EXPECT_EQ(fake::CallsTo({"ReadInt", "ReadString"}),
              (std::vector<std::string>{
                  "ReadInt " + p + "\"marrowick.screen_width:\" 640",
                  "ReadInt " + p + "\"marrowick.screen_height:\" 480",
                  "ReadString " + p + "\"marrowick.base_padding:\" \"0 0 0 0\"",
                  "ReadString " + p + "\"marrowick.base_style:\" \"menu.frame\"",
                  "ReadString " + p + "\"marrowick.base_border:\" \"false\"",
                  "ReadString " + p + "\"marrowick.tip_padding:\" \"2 13 2 4\"",
                  "ReadString " + p + "\"marrowick.tip_style:\" \"menu.hilite\"",
                  "ReadString " + p + "\"marrowick.tip_border:\" \"false\"",
                  "ReadInt " + p + "\"marrowick.icon_tip_padding:\" 4",
                  "ReadInt " + p + "\"marrowick.icon_size:\" 16",
                  "ReadString " + p + "\"marrowick.do_convert_new_line:\" \"true\"",
                  "ReadString " + p + "\"marrowick.converted_new_line:\" \" / \"",
                  "ReadInt " + p + "\"marrowick.notify_version:\" 0",
                  "ReadString " + p + "\"marrowick.interactive:\" \"false\"",
                  "ReadString " + p + "\"marrowick.enter_click:\" \"LeftDoubleClick\"",
                  "ReadString " + p + "\"marrowick.placement:\" \"screen\"",
                  "ReadString " + p + "\"marrowick.notify_version_by_program:\" \"\"",
              }));
    EXPECT_EQ(fake::CallsTo("GetModuleFileNameA"),
              std::vector<std::string>{"GetModuleFileNameA 77 260"});
}

TEST_F(ConfigTest, EveryKeyOverridesItsField) {
    ReadRc(
        "marrowick.screen_width: 1024\n"
        "marrowick.screen_height: 768\n"
        "marrowick.base_padding: 5\n"
        "marrowick.base_style: toolbar.clock\n"
        "marrowick.base_border: true\n"
        "marrowick.tip_padding: 1 2\n"
        "marrowick.tip_style: menu.title\n"
        "marrowick.tip_border: True\n"
        "marrowick.icon_tip_padding: -3\n"
        "marrowick.icon_size: 32\n"
        "marrowick.do_convert_new_line: false\n"
        "marrowick.converted_new_line: \" | \"\n"
        "marrowick.notify_version: 4\n"
        "marrowick.interactive: TRUE\n"
        "marrowick.enter_click: RightClick\n"
        "marrowick.placement: Monitor\n"
        "marrowick.notify_version_by_program: mail.exe=4\n");
    const Config expected = {
        1024, 768,          {5, 5, 5, 5},     6, 1, {1, 2, 1, 2}, 7, 1, -3, 32, 0, " | ", 4,
        1,    "RightClick", PLACEMENT_MONITOR};
    ExpectConfigEquals(expected, config);
    ASSERT_EQ(notify_version_by_program.count, 1);
    EXPECT_STREQ(notify_version_by_program.pairs[0].program, "mail.exe");
}

struct PaddingCase {
    const char* value;
    Padding expected;
};

void PrintTo(const PaddingCase& c, std::ostream* os) {
    *os << testing::PrintToString(std::string(c.value));
}

class PaddingTest : public ConfigTest, public testing::WithParamInterface<PaddingCase> {};

TEST_P(PaddingTest, OneToFourNumbersFillTheSides) {
    fake::host.rc_text = std::string("p: ") + GetParam().value;
    const Padding padding = ReadPadding(RC_PATH, "p:", "9 9 9 9");
    ExpectPaddingEquals(GetParam().expected, padding);
}

INSTANTIATE_TEST_SUITE_P(
    Values, PaddingTest,
    testing::Values(
        PaddingCase{"3", {3, 3, 3, 3}}, PaddingCase{"4 8", {4, 8, 4, 8}},
        PaddingCase{"1 2 3", {1, 2, 3, 2}}, PaddingCase{"1 2 3 4", {1, 2, 3, 4}},
        PaddingCase{"1 2 3 4 5", {1, 2, 3, 4}}, PaddingCase{"-1\t+2", {-1, 2, -1, 2}},
        // Numbers may follow one another without white space, as with "%d %d".
        PaddingCase{"4-8", {4, -8, 4, -8}},
        // The scan ends at the first text that is not an integer.
        PaddingCase{"4px 8", {4, 4, 4, 4}}, PaddingCase{"1 - 2", {1, 1, 1, 1}},
        PaddingCase{"px", {0, 0, 0, 0}}, PaddingCase{"-", {0, 0, 0, 0}},
        // Beyond the int range the numbers saturate.
        PaddingCase{"2147483647 2147483648", {2147483647, 2147483647, 2147483647, 2147483647}},
        PaddingCase{"-2147483648 -99999999999999999999",
                    {-2147483647 - 1, -2147483647 - 1, -2147483647 - 1, -2147483647 - 1}}));

TEST_F(ConfigTest, EmptyPaddingGivesZeros) {
    ExpectPaddingEquals({0, 0, 0, 0}, ReadPadding(RC_PATH, "missing:", ""));
    ExpectPaddingEquals({2, 13, 2, 4}, ReadPadding(RC_PATH, "missing:", "2 13 2 4"));
}

TEST_F(ConfigTest, StyleNamesMatchWithoutRegardToCase) {
    EXPECT_EQ(ReadStyleIndex(RC_PATH, "missing:", "MENU.FRAME"), 8);
    EXPECT_EQ(ReadStyleIndex(RC_PATH, "missing:", "Menu.Hilite"), 9);
    EXPECT_EQ(ReadStyleIndex(RC_PATH, "missing:", "toolbar"), 1);
    EXPECT_EQ(ReadStyleIndex(RC_PATH, "missing:", "toolbar.label"), 4);
    EXPECT_EQ(ReadStyleIndex(RC_PATH, "missing:", "toolbar.windowlabel"), 5);
    EXPECT_EQ(ReadStyleIndex(RC_PATH, "missing:", "toolbar.clock"), 6);
    EXPECT_EQ(ReadStyleIndex(RC_PATH, "missing:", "menu.title"), 7);
}

TEST_F(ConfigTest, UnknownStyleNamesGiveTheToolbar) {
    EXPECT_EQ(ReadStyleIndex(RC_PATH, "missing:", "menu.frame "), 1);
    EXPECT_EQ(ReadStyleIndex(RC_PATH, "missing:", "menu"), 1);
    EXPECT_EQ(ReadStyleIndex(RC_PATH, "missing:", ""), 1);
    EXPECT_EQ(ReadStyleIndex(RC_PATH, "missing:", "8"), 1);
}

TEST_F(ConfigTest, OnlyTrueIsTrue) {
    for (const char* yes : {"true", "TRUE", "tRuE"})
        EXPECT_EQ(ReadBool(RC_PATH, "k:", yes), 1) << yes;
    for (const char* no : {"false", "yes", "1", "on", "true ", ""})
        EXPECT_EQ(ReadBool(RC_PATH, "k:", no), 0) << no;
}

TEST_F(ConfigTest, NegativeIconSizeTurnsIconsOff) {
    ReadRc("marrowick.icon_size: -5\n");
    EXPECT_EQ(config.icon_size, 0);
}

struct NotifyVersionCase {
    const char* value;
    int expected;
};

void PrintTo(const NotifyVersionCase& c, std::ostream* os) {
    *os << testing::PrintToString(std::string(c.value));
}

class NotifyVersionTest : public ConfigTest,
                          public testing::WithParamInterface<NotifyVersionCase> {};

// Only the versions with a delivery form of their own are kept; anything else
// falls back to the classic form, even over a version read before.
TEST_P(NotifyVersionTest, OnlyThreeAndFourAreKept) {
    config.notify_version = NOTIFYICON_VERSION_4;
    ReadRc(std::string("marrowick.notify_version: ") + GetParam().value + "\n");
    EXPECT_EQ(config.notify_version, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, NotifyVersionTest,
    testing::Values(NotifyVersionCase{"0", 0}, NotifyVersionCase{"3", 3}, NotifyVersionCase{"4", 4},
                    NotifyVersionCase{"1", 0}, NotifyVersionCase{"2", 0}, NotifyVersionCase{"5", 0},
                    NotifyVersionCase{"-1", 0}, NotifyVersionCase{"-4", 0},
                    NotifyVersionCase{"65540", 0}, NotifyVersionCase{"four", 0},
                    NotifyVersionCase{"", 0},
                    // The host's ReadInt takes the number at the start of the value.
                    NotifyVersionCase{"3 (Vista)", 3}));

TEST_F(ConfigTest, AReconfigureWithoutTheNotifyVersionKeyGoesBackToTheClassicForm) {
    ReadRc("marrowick.notify_version: 3\n");
    ASSERT_EQ(config.notify_version, 3);
    ReadRc("marrowick.icon_size: 16\n");
    EXPECT_EQ(config.notify_version, 0);
}

// "program=N" pairs: split at the last '=', white space ignored, names kept
// as written and compared later without regard to case, the first pair for a
// name winning; bad pairs and those beyond the table's 32 are skipped, and
// the first skipped is reported in one box for the whole reading.
TEST_F(ConfigTest, ProgramVersionsAreReadPairByPair) {
    std::string many;
    for (int i = 0; i < 33; ++i) many += "p" + std::to_string(i) + ".exe=4,";
    const struct {
        std::string value;
        std::vector<std::pair<std::string, int>> pairs;
        const char* skipped;  // the pair the box names, or null for no box
    } CASES[] = {
        {"telegram.exe=4, qbittorrent.exe=4, oldtool.exe=0",
         {{"telegram.exe", 4}, {"qbittorrent.exe", 4}, {"oldtool.exe", 0}},
         nullptr},
        {"  Mail.EXE = 3 ,\tchat.exe=4  ", {{"Mail.EXE", 3}, {"chat.exe", 4}}, nullptr},
        {"odd=name.exe=4", {{"odd=name.exe", 4}}, nullptr},
        {"a.exe=4, A.EXE=0, a.exe=3", {{"a.exe", 4}}, nullptr},
        {"a.exe=4,, ,b.exe=3,", {{"a.exe", 4}, {"b.exe", 3}}, nullptr},
        {"", {}, nullptr},
        {"nothing, a.exe=4", {{"a.exe", 4}}, "nothing"},
        {" = 4 , a.exe=5, a.exe=", {}, "= 4"},
        {"a.exe=four, b.exe=4, c.exe=-4, d.exe=04", {{"b.exe", 4}}, "a.exe=four"},
        {"C:\\Apps\\a.exe=4, b.exe=3", {{"b.exe", 3}}, "C:\\Apps\\a.exe=4"},
        {many, {}, "p32.exe=4"},
    };
    for (const auto& c : CASES) {
        SCOPED_TRACE(c.value);
        fake::Reset();
        ReadRc("marrowick.notify_version_by_program: " + c.value + "\n");
        const ProgramVersions& read = notify_version_by_program;
        if (c.value == many) {
            EXPECT_EQ(read.count, 32);
            EXPECT_STREQ(read.pairs[31].program, "p31.exe");
        } else {
            ASSERT_EQ(read.count, static_cast<int>(c.pairs.size()));
            for (int i = 0; i < read.count; ++i) {
                EXPECT_EQ(read.pairs[i].program, c.pairs[i].first);
                EXPECT_EQ(read.pairs[i].version, c.pairs[i].second);
            }
        }
        std::vector<std::string> boxes;
        for (const fake::ShownBox& box : fake::MessageBoxes()) boxes.push_back(box.text);
        EXPECT_EQ(boxes,
                  c.skipped
                      ? std::vector<
                            std::string>{std::string(
                                             "Skipped in marrowick.notify_version_by_program: `") +
                                         c.skipped + "'"}
                      : std::vector<std::string>{});
    }
}

struct QuotedCase {
    const char* value;
    const char* expected;
};

void PrintTo(const QuotedCase& c, std::ostream* os) {
    *os << testing::PrintToString(std::string(c.value));
}

class QuotedStringTest : public ConfigTest, public testing::WithParamInterface<QuotedCase> {};

TEST_P(QuotedStringTest, DropsOnePairOfQuotesAndCutsAt15) {
    // A canary after the 16-byte destination catches writes beyond it.
    struct {
        char text[CONVERTED_NEW_LINE_SIZE];
        char canary[8];
    } buffer;
    std::memset(&buffer, 'X', sizeof buffer);
    ReadQuotedString(RC_PATH, "missing:", GetParam().value, buffer.text, sizeof buffer.text);
    EXPECT_STREQ(buffer.text, GetParam().expected);
    EXPECT_EQ(std::string(buffer.canary, sizeof buffer.canary), "XXXXXXXX");
}

INSTANTIATE_TEST_SUITE_P(Values, QuotedStringTest,
                         testing::Values(QuotedCase{"\"  -  \"", "  -  "}, QuotedCase{" / ", " / "},
                                         QuotedCase{"\"\"", ""}, QuotedCase{"", ""},
                                         QuotedCase{"0123456789abcdefghij", "0123456789abcde"},
                                         QuotedCase{"\"0123456789abcdefghij\"", "0123456789abcde"},
                                         QuotedCase{"\"0123456789abcde\"", "0123456789abcde"},
                                         QuotedCase{"\"open", "\"open"},
                                         QuotedCase{"close\"", "close\""},
                                         // A lone quote is no pair: it is kept as it stands.
                                         QuotedCase{"\"", "\""}));

TEST_F(ConfigTest, RcBesideAModuleInADriveRoot) {
    fake::platform.module_file_name = "D:\\Marrowick.dll";
    char path[MAX_PATH];
    ASSERT_EQ(MakeConfigPath(path, sizeof path, "Marrowick.rc"), 1);
    EXPECT_STREQ(path, "D:\\Marrowick.rc");
}

TEST_F(ConfigTest, PathThatDoesNotFitTheBufferFails) {
    char path[20];
    EXPECT_EQ(MakeConfigPath(path, sizeof path, "Marrowick.rc"), 0);
    fake::platform.module_file_name = "C:\\x\\M.dll";  // "C:\x\" + name + NUL is 18 bytes
    EXPECT_EQ(MakeConfigPath(path, 18, "Marrowick.rc"), 1);
    EXPECT_EQ(MakeConfigPath(path, 17, "Marrowick.rc"), 0);
}

class ConfigPathFailureTest : public ConfigTest {
protected:
    // Reads with a sentinel configuration that must survive the failure.
    void ReadAndExpectReportedFailure() {
        config.icon_size = 123;
        std::strcpy(config.converted_new_line, "kept");
        ReadRc("marrowick.icon_size: 5\n");
        EXPECT_EQ(config.icon_size, 123);
        EXPECT_STREQ(config.converted_new_line, "kept");
        EXPECT_TRUE(fake::CallsTo({"ReadInt", "ReadString"}).empty());
        ASSERT_EQ(fake::MessageBoxes().size(), 1u);
        const fake::ShownBox& box = fake::MessageBoxes()[0];
        EXPECT_EQ(box.text, "Failed to get the path to Marrowick.rc");
        EXPECT_EQ(box.caption, "Marrowick");
        EXPECT_EQ(box.owner, nullptr);
        EXPECT_EQ(box.type, static_cast<UINT>(MB_OK | MB_TOPMOST | MB_SETFOREGROUND));
    }
};

TEST_F(ConfigPathFailureTest, NoModuleFileName) {
    fake::platform.module_file_name_fails = true;
    ReadAndExpectReportedFailure();
}

TEST_F(ConfigPathFailureTest, ModuleFileNameCutByTheBuffer) {
    // 260 bytes and more: Windows fills the buffer without a terminator.
    fake::platform.module_file_name = "C:\\" + std::string(253, 'd') + "\\M.dll";
    ReadAndExpectReportedFailure();
}

TEST_F(ConfigPathFailureTest, DirectoryAndNameLongerThanAPath) {
    // The module's name fits, but its directory and the rc file's name do not.
    fake::platform.module_file_name = "C:\\" + std::string(250, 'd') + "\\M.dll";
    ReadAndExpectReportedFailure();
}

TEST_F(ConfigTest, LongReportsAreCutTo1999Characters) {
    hListWnd = fake::LiveWindow(1000);
    const std::string long_text(2500, 'a');
    ReportError("%s", long_text.c_str());
    ASSERT_EQ(fake::MessageBoxes().size(), 1u);
    EXPECT_EQ(fake::MessageBoxes()[0].text, std::string(1999, 'a'));
    EXPECT_EQ(fake::MessageBoxes()[0].owner, hListWnd);
    EXPECT_EQ(fake::MessageBoxes()[0].caption, "Marrowick");
}

}  // namespace
