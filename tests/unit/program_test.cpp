// Programs by their executable's file name: the click form each owner gets
// from marrowick.notify_version_by_program, looked up in a snapshot of the
// system's processes only as a click is sent, and Click naming a program.
#include "plugin/plugin.h"
#include "tests/fakes/list_fixture.h"

namespace {

class ProgramTest : public ListTest {
protected:
    // Rows 0 to 3, owners 101 to 104: mail.exe, chat.exe, OLDTOOL.EXE in a
    // folder, and a process that has exited since.
    void SetUp() override {
        ListTest::SetUp();
        AddEntries({"Mail", "Chat", "Old tool", "Gone"});
        fake::RunProcess(11, "C:\\Programs\\mail.exe", {Owner(0)});
        fake::RunProcess(12, "chat.exe", {Owner(1)});
        fake::RunProcess(13, "C:\\Old\\OLDTOOL.EXE", {Owner(2)});
        fake::LiveWindow(104);
    }
    static HWND Owner(int row) { return reinterpret_cast<HWND>(101 + row); }

    static void ReadVersions(const std::string& value) {
        fake::host.rc_text = "marrowick.notify_version_by_program: " + value + "\n";
        ReadConfig();
    }

    // The form of a Send to the row: 0, 3 or 4, read from what was posted.
    static int SentForm(int row) {
        Broam("Next");
        for (int i = 0; i < row; ++i) Broam("Next");
        fake::ClearCalls();
        Broam("Send RightClick");
        return FormOf(fake::CallsTo("PostMessageA"));
    }
    static int FormOf(const Lines& posted) {
        if (posted.size() == 2) return 0;
        return posted.at(0).find(" 516") == posted.at(0).size() - 4 ? 3 : 4;
    }
};

TEST_F(ProgramTest, EachOwnerGetsItsProgramsFormAndTheOthersTheDefault) {
    ReadVersions("chat.exe=4, oldtool.exe=3, gone.exe=4");
    config.notify_version = 0;
    const int expected[] = {0, 4, 3, 0};
    for (int row = 0; row < 4; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(SentForm(row), expected[row]);
        // One snapshot for the click, closed again.
        EXPECT_EQ(fake::CallsTo("CreateToolhelp32Snapshot").size(), 1u);
    }
    config.notify_version = 3;
    EXPECT_EQ(SentForm(0), 3);
    fake::platform.snapshot_fails = true;
    EXPECT_EQ(SentForm(1), 3);
}

// Without the key, nothing asks which program a window belongs to: not the
// show, the moves, the paint, the Send, nor a Click by tip.
TEST_F(ProgramTest, WithoutTheKeyNoProgramIsLookedUp) {
    ReadVersions("");
    SentForm(1);
    WndProc(hListWnd, WM_PAINT, 0, 0);
    Broam("Click LeftClick mail");
    ReadVersions("chat.exe=4");
    Broam("Next");
    Broam("Next");
    WndProc(hListWnd, WM_PAINT, 0, 0);
    EXPECT_EQ(fake::CallsTo({"CreateToolhelp32Snapshot", "GetWindowThreadProcessId"}), Lines{});
}

// The pairs read at the list's show hold while it is shown.
TEST_F(ProgramTest, TheKeyHoldsWhileTheListIsShown) {
    ReadVersions("chat.exe=4");
    Broam("Next");
    Broam("Next");
    ReadVersions("");
    fake::ClearCalls();
    Broam("Send RightClick");
    EXPECT_EQ(FormOf(fake::CallsTo("PostMessageA")), 4);
    EXPECT_EQ(SentForm(1), 0);
}

// A Click text ending in ".exe", in any case, names a program: its first
// live icon is clicked, in its program's form, whatever its tip says; a
// program with no icon is no match, even where a tip holds the text.
TEST_F(ProgramTest, ClickNamesAProgramByItsFileName) {
    ReadVersions("oldtool.exe=4");
    AddEntries({"Downloading setup.exe"});  // row 4, owner 105: no process
    fake::RunProcess(14, "chat.exe", {fake::LiveWindow(106)});
    fake::AddTrayEntry(reinterpret_cast<HWND>(106), 9, 1030, 606, "Chat, second window");
    fake::KillWindow(Owner(1));  // chat's first window is gone; its entry stays
    const std::vector<std::pair<std::string, Lines>> cases = {
        {"CHAT.EXE", {"PostMessageA 106 1030 9 516", "PostMessageA 106 1030 9 517"}},
        {"oldtool.exe  ", {"PostMessageA 103 1027 19661200 590340"}},  // at 400, 300
        {"mail.exe", {"PostMessageA 101 1025 7 516", "PostMessageA 101 1025 7 517"}},
        {"gone.exe", {Report("No tray icon matches `gone.exe'")}},
        {"setup.exe", {Report("No tray icon matches `setup.exe'")}},
        {"downloading setup", {"PostMessageA 105 1029 11 516"}},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        fake::ClearCalls();
        Broam("Click RightClick " + text);
        Lines got = fake::CallsTo({"PostMessageA", "MessageBoxA"});
        got.resize(std::min(got.size(), expected.size()));
        EXPECT_EQ(got, expected);
        // One snapshot finds the program and gives its form.
        EXPECT_EQ(fake::CallsTo("CreateToolhelp32Snapshot").size(), 1u);
    }
}

}  // namespace
