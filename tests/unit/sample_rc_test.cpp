// The sample Marrowick.rc that ships with the plug-in: it names every key,
// and loading it through the host's readers gives exactly the defaults, but
// for the interactive list and the click form of version 3, which the sample
// chooses for the user while the compiled-in defaults stay as they were.
#include <gtest/gtest.h>

#include <string>

#include "config/config.h"
#include "plugin/module.h"
#include "tests/fakes/fake.h"
#include "tests/support/text_files.h"
#include "tests/unit/expect_config.h"

namespace {

constexpr char RC_PATH[] = "C:\\Shell\\plugins\\Marrowick\\Marrowick.rc";

constexpr const char* KEYS[] = {
    "marrowick.screen_width:",   "marrowick.screen_height:",       "marrowick.base_padding:",
    "marrowick.base_style:",     "marrowick.base_border:",         "marrowick.tip_padding:",
    "marrowick.tip_style:",      "marrowick.tip_border:",          "marrowick.icon_tip_padding:",
    "marrowick.icon_size:",      "marrowick.do_convert_new_line:", "marrowick.converted_new_line:",
    "marrowick.notify_version:", "marrowick.interactive:",         "marrowick.enter_click:",
    "marrowick.placement:",
};

// What the sample gives: the compiled-in defaults with the list interactive
// and clicks in the form that serves programs of no version and version 3.
Config SampleConfig() {
    Config sample = DEFAULT_CONFIG;
    sample.interactive = 1;
    sample.notify_version = NOTIFYICON_VERSION;
    return sample;
}

class SampleRcTest : public testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        hListWnd = nullptr;
        hPluginInstance = reinterpret_cast<HINSTANCE>(77);
        sample = ReadFile(MARROWICK_SAMPLE_RC);
        ASSERT_FALSE(sample.empty()) << "cannot read " << MARROWICK_SAMPLE_RC;
    }

    // Fills config from rc text after spoiling every field, so that a field
    // the sample fails to set back to its default shows.
    void Load(const std::string& rc_text) {
        config = Config{
            -1,  -1, {-1, -1, -1, -1}, -1, -1, {-1, -1, -1, -1}, -1, -1, -1, -1, -1, "x", -1, -1,
            "x", -1};
        fake::host.rc_text = rc_text;
        ReadConfig();
        EXPECT_TRUE(fake::MessageBoxes().empty());
    }

    std::string sample;
};

TEST_F(SampleRcTest, LoadsToExactlyTheDefaultsWithTheListInteractiveAndVersion3) {
    Load(sample);
    ExpectConfigEquals(SampleConfig(), config);
    EXPECT_EQ(DEFAULT_CONFIG.interactive, 0);
    EXPECT_EQ(DEFAULT_CONFIG.notify_version, 0);
}

// Edited on Windows, the file may come back with CR LF line ends.
TEST_F(SampleRcTest, LoadsToTheDefaultsWithWindowsLineEnds) {
    Load(WithCrLf(sample));
    ExpectConfigEquals(SampleConfig(), config);
}

// A default could also come from a key that is missing or misspelt; every key
// must be there, uncommented, for the sample to show the user its value.
TEST_F(SampleRcTest, NamesEveryKey) {
    fake::host.rc_text = sample;
    for (const char* key : KEYS)
        EXPECT_STRNE(ReadString(RC_PATH, key, "(missing)"), "(missing)") << key;
}

// The per-program forms are shown, commented out, with an example to copy.
TEST_F(SampleRcTest, ShowsTheFormsByProgramCommentedOut) {
    EXPECT_NE(sample.find("\n# marrowick.notify_version_by_program: chat.exe=4"),
              std::string::npos);
}

}  // namespace
