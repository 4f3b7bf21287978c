// The release zip that `make dist` builds with scripts/make-dist.sh: named
// after the plug-in's version, holding exactly the DLL, the sample rc and the
// guide made from the reference, the texts with Windows line ends.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "plugin/version.h"
#include "tests/support/text_files.h"

namespace {

namespace fs = std::filesystem;

// What a shell command wrote to its standard output; its exit status in *status.
std::string Shell(const std::string& command, int* status = nullptr) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return output;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    const int result = pclose(pipe);
    if (status) *status = result;
    return output;
}

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

class DistTest : public testing::Test {
protected:
    // Each test packs into a folder of its own: CTest may run them at once.
    void SetUp() override {
        out = fs::path(MARROWICK_DIST_SCRATCH) /
              testing::UnitTest::GetInstance()->current_test_info()->name();
        zip = out / ("Marrowick-" MARROWICK_VERSION ".zip");
        fs::remove_all(out);
        fs::create_directories(out);
    }

    // Runs the packing script on the built DLL; false when it failed.
    bool MakeDist() {
        int status = -1;
        const std::string script = std::string(MARROWICK_SOURCE_DIR) + "/scripts/make-dist.sh";
        Shell("bash " + Quoted(script) + " " + Quoted(MARROWICK_DLL) + " " + Quoted(out) + " >&2",
              &status);
        return status == 0;
    }

    std::string Unzipped(const char* name) { return Shell("unzip -p " + Quoted(zip) + " " + name); }

    fs::path out;
    fs::path zip;
};

TEST_F(DistTest, ZipNamedAfterTheVersionHoldsTheThreeFiles) {
    ASSERT_TRUE(MakeDist());
    ASSERT_TRUE(fs::exists(zip)) << zip;
    EXPECT_EQ(Shell("unzip -Z1 " + Quoted(zip)), "Marrowick.dll\nMarrowick.rc\nGUIDE.txt\n");
    EXPECT_TRUE(Unzipped("Marrowick.dll") == ReadFile(MARROWICK_DLL)) << "DLL differs";
    const fs::path source = MARROWICK_SOURCE_DIR;
    EXPECT_EQ(Unzipped("Marrowick.rc"), WithCrLf(ReadFile(source / "package/Marrowick.rc")));
    const std::string guide = Shell("bash " + Quoted(source / "scripts/make-guide.sh") + " " +
                                    Quoted(source / "docs/reference.md"));
    ASSERT_FALSE(guide.empty());
    EXPECT_EQ(Unzipped("GUIDE.txt"), WithCrLf(guide));
}

// zip adds to an archive that is already there; a rebuilt release must not
// keep what an older one held.
TEST_F(DistTest, RebuildReplacesAnOlderZip) {
    std::ofstream(out / "stale.txt") << "old\n";
    Shell("cd " + Quoted(out) + " && zip -q " + Quoted(zip) + " stale.txt");
    ASSERT_TRUE(MakeDist());
    EXPECT_EQ(Shell("unzip -Z1 " + Quoted(zip)), "Marrowick.dll\nMarrowick.rc\nGUIDE.txt\n");
}

// The files carry the time of the sources, not of the build, so packing the
// same sources again gives the same bytes.
TEST_F(DistTest, SameSourcesGiveTheSameZip) {
    ASSERT_TRUE(MakeDist());
    const std::string first = ReadFile(zip);
    fs::remove(zip);
    Shell("sleep 2");
    ASSERT_TRUE(MakeDist());
    EXPECT_TRUE(ReadFile(zip) == first) << "the zip differs between two packs";
}

}  // namespace
