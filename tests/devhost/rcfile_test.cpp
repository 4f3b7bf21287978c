// The stand-in host's ReadInt and ReadString over real files, in the rc
// syntax the plug-in, the fake host and the sample rc agree on.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <fstream>
#include <string>

#include "host/host.h"

namespace {

class RcFile : public ::testing::Test {
protected:
    void Write(const std::string& text) {
        std::ofstream(path_, std::ios::binary | std::ios::trunc) << text;
    }
    void TearDown() override { std::remove(path_.c_str()); }
    const char* Path() const { return path_.c_str(); }
    std::string String(const char* key) { return ReadString(Path(), key, "default"); }
    int Int(const char* key) { return ReadInt(Path(), key, -7); }

    std::string path_ = ::testing::TempDir() + "devhost_rcfile_test.rc";
};

TEST_F(RcFile, KeysMatchWithoutCaseAtTheFirstNonBlankAndValuesAreTrimmed) {
    Write(
        "  Marrowick.Icon_Size:\t 24 \r\n"
        "marrowick.base_style:menu.title\n"
        "x marrowick.tip_style: menu.hilite\n");
    EXPECT_EQ(String("marrowick.icon_size:"), "24");
    EXPECT_EQ(String("marrowick.base_style:"), "menu.title");
    EXPECT_EQ(String("marrowick.tip_style:"), "default");  // not at the line's start
}

TEST_F(RcFile, CommentsAreSkippedAndTheFirstMatchWins) {
    Write(
        "# marrowick.icon_size: 1\n"
        "   ! marrowick.icon_size: 2\n"
        "marrowick.icon_size: 3\n"
        "marrowick.icon_size: 4\n");
    EXPECT_EQ(Int("marrowick.icon_size:"), 3);
}

TEST_F(RcFile, MissingKeysAndFilesGiveTheDefault) {
    Write("marrowick.icon_size: 3\n");
    EXPECT_EQ(Int("marrowick.base_padding:"), -7);
    EXPECT_EQ(String("marrowick.icon_size"), ": 3");  // the key is matched as given
    EXPECT_EQ(ReadString("/nonexistent/Marrowick.rc", "marrowick.icon_size:", "d"),
              std::string("d"));
    EXPECT_EQ(ReadInt("/nonexistent/Marrowick.rc", "marrowick.icon_size:", 5), 5);
}

TEST_F(RcFile, IntegersAreTheValuesLeadingNumber) {
    Write("a: 12px\nb: -4\nc: +9 10\nd: none\ne:\nf: 99999999999\ng: -99999999999\n");
    EXPECT_EQ(Int("a:"), 12);
    EXPECT_EQ(Int("b:"), -4);
    EXPECT_EQ(Int("c:"), 9);
    EXPECT_EQ(Int("d:"), -7);
    EXPECT_EQ(Int("e:"), -7);
    EXPECT_EQ(Int("f:"), INT_MAX);
    EXPECT_EQ(Int("g:"), INT_MIN);
}

TEST_F(RcFile, AnEmptyValueIsAnEmptyText) {
    Write("marrowick.converted_new_line:   \n");
    EXPECT_EQ(String("marrowick.converted_new_line:"), "");
}

}  // namespace
