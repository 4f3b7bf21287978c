// The end-to-end tests' fixture: a directory of its own per case with a copy
// of the real DLL and a test style, the stand-in shell and tray programs
// started in the Wine session, host commands, and what the inspector sees:
// windows, message boxes, text sizes, screenshots.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "harness.h"

namespace e2e {

inline constexpr unsigned FRAME_COLOR = 0x203040;
inline constexpr unsigned HILITE_COLOR = 0xf0a020;

// Solid fills, so that every pixel of a row says whether it is highlighted.
inline constexpr char TEST_STYLE[] =
    "menu.frame.appearance: solid\n"
    "menu.frame.color: #203040\n"
    "menu.frame.textColor: #e0e0e0\n"
    "menu.frame.font: Tahoma\n"
    "menu.frame.fontHeight: 13\n"
    "menu.frame.fontWeight: normal\n"
    "menu.hilite.appearance: solid\n"
    "menu.hilite.color: #f0a020\n"
    "menu.hilite.textColor: #101010\n";
inline constexpr char FONT[] = "Tahoma 13 400";

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    bool operator==(const Rect& o) const { return x == o.x && y == o.y && w == o.w && h == o.h; }
};
inline void PrintTo(const Rect& r, std::ostream* os) {
    *os << r.x << "," << r.y << " " << r.w << "x" << r.h;
}

struct Window {
    std::string answer;  // the inspector's, for the messages of failed waits
    bool exists = false;
    unsigned hwnd = 0;
    bool visible = false;
    unsigned style = 0, exstyle = 0;
    Rect rect;
};

struct Paddings {
    int top, right, bottom, left;
};

// The settings the layout rule uses, with the defaults of an empty rc file.
struct Layout {
    Paddings base = {0, 0, 0, 0};
    Paddings tip = {2, 13, 2, 4};
    int icon = 16;
    int icon_tip = 4;
};

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = Session::Get().WorkDir() + "/" + info->name();
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_ + "/plugin");
        std::filesystem::copy_file(E2E_WIN32_DIR "/Marrowick.dll", dir_ + "/plugin/Marrowick.dll");
        WriteFile(dir_ + "/test.style", TEST_STYLE);
    }

    void TearDown() override {
        // A box left open by a failed test would keep the host waiting.
        for (int i = 0; i < 5 && Ask("press Marrowick") == "ok"; ++i) {
        }
        for (Process& tray : trays_) tray.Stop();
        host_.Stop();
    }

    std::string Ask(const std::string& request) { return Session::Get().Ask(request); }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    std::string HostLog() const { return Path("host.log"); }

    void WriteRc(const std::string& text) { WriteFile(Path("plugin/Marrowick.rc"), text); }

    void StartHost() {
        host_ = Session::Get().Run(
            "blackbox.exe",
            {"-log", WindowsPath(HostLog()), "-style", WindowsPath(Path("test.style")),
             WindowsPath(Path("plugin/Marrowick.dll"))},
            Path("host.out"), Path("host.err"));
        ASSERT_TRUE(WaitForLog("ready ", START_TIMEOUT)) << "the host did not start";
    }

    // A tray program (trayapp.exe, or trayapp64.exe for the 64-bit one);
    // entries are "ID[:VERSION] #rrggbb LETTER TIP", options those of
    // trayapp before them ("-ansi", "-version 4", "-passive"...).
    void StartTray(const std::string& name, const std::vector<std::string>& entries,
                   const std::vector<std::string>& options = {},
                   const std::string& program = "trayapp.exe") {
        trays_.push_back(RunTray(name, entries, options, program));
        ASSERT_TRUE(AwaitTrayReady(name));
    }

    // Waits until the tray program started with RunTray says it is ready.
    ::testing::AssertionResult AwaitTrayReady(const std::string& name) const {
        return Await(
            "tray program " + name + " to start",
            [&](std::string* seen) {
                *seen = LastLine(Path(name + ".out"));
                const auto lines = ReadLines(Path(name + ".out"));
                return !lines.empty() && lines[0] == "ready " + name;
            },
            START_TIMEOUT);
    }

    // program is a file of the build, or the path of a copy (CopyProgram).
    Process RunTray(const std::string& name, const std::vector<std::string>& entries,
                    const std::vector<std::string>& options = {},
                    const std::string& program = "trayapp.exe") {
        std::vector<std::string> args = {"-name", name, "-log", WindowsPath(TrayLog(name))};
        args.insert(args.end(), options.begin(), options.end());
        args.insert(args.end(), entries.begin(), entries.end());
        if (program.find('/') == std::string::npos)
            return Session::Get().Run(program, args, Path(name + ".out"), Path(name + ".err"));
        args.insert(args.begin(), program);
        return Session::Get().RunWine(args, Path(name + ".out"), Path(name + ".err"));
    }

    // A copy of a program of the build under another file name, in the
    // case's directory, as a program of its own ("chat.exe"); its path.
    std::string CopyProgram(const std::string& program, const std::string& file_name) {
        const std::string copy = Path(file_name);
        std::filesystem::copy_file(Session::Get().ProgramPath(program), copy,
                                   std::filesystem::copy_options::overwrite_existing);
        return copy;
    }

    std::string TrayLog(const std::string& name) const { return Path(name + ".log"); }

    // Wine's own Task Manager, whose CPU usage icon joins the tray.
    void StartTaskManager() {
        trays_.push_back(
            Session::Get().RunWine({"taskmgr"}, Path("taskmgr.out"), Path("taskmgr.err")));
        ASSERT_TRUE(Await(
            "an icon from the Task Manager",
            [&](std::string* seen) {
                *seen = LastLine(HostLog());
                for (const std::string& line : LogLines("tray add "))
                    if (line.find(" tip=\"CPU Usage:") != std::string::npos) return true;
                return false;
            },
            START_TIMEOUT));
    }

    int CountLog(const std::string& text) const {
        const auto lines = ReadLines(HostLog());
        return static_cast<int>(std::count(lines.begin(), lines.end(), text));
    }

    ::testing::AssertionResult WaitForLog(const std::string& part,
                                          Clock::duration timeout = STEP_TIMEOUT) const {
        return Await(
            "a line of the host's log with \"" + part + "\"",
            [&](std::string* seen) {
                *seen = LastLine(HostLog());
                for (const std::string& line : ReadLines(HostLog()))
                    if (line.find(part) != std::string::npos) return true;
                return false;
            },
            timeout);
    }

    // Waits until the host has logged the line more often than before.
    ::testing::AssertionResult WaitForMoreLines(const std::string& line, int before) const {
        return Await("\"" + line + "\" in the host's log", [&](std::string* seen) {
            *seen = LastLine(HostLog());
            return CountLog(line) > before;
        });
    }

    // Queues a host command and waits until the host has finished it.
    void Exec(const std::string& command) {
        const std::string done = "done " + Escaped(command);
        const int before = CountLog(done);
        ASSERT_EQ(Ask("exec " + Escaped(command)), "ok") << command;
        ASSERT_TRUE(WaitForMoreLines(done, before));
    }

    // A barrier: the host has handled everything queued before, the input
    // its key and mouse commands sent included (its "idle" command).
    void HostIdle() { Exec("idle"); }

    // Queues a command that opens a message box: the host is busy until the
    // box is closed.
    std::string ExecShowingBox(const std::string& command) {
        const std::string done = "done " + Escaped(command);
        const int before = CountLog(done);
        EXPECT_EQ(Ask("exec " + Escaped(command)), "ok");
        std::string text;
        EXPECT_TRUE(Await("a message box for " + command, [&](std::string* seen) {
            *seen = Ask("box Marrowick");
            if (seen->rfind("text=", 0) != 0) return false;
            text = seen->substr(5);
            return true;
        }));
        EXPECT_EQ(Ask("press Marrowick"), "ok");
        EXPECT_TRUE(AwaitValue(
            "the box", [&] { return Ask("box Marrowick"); }, "none"));
        EXPECT_TRUE(WaitForMoreLines(done, before));
        return text;
    }

    Window ListWindow() { return TopLevel("Marrowick"); }

    // The first top-level window "CLASS [TITLE]".
    Window TopLevel(const std::string& class_and_title) {
        Window window;
        window.answer = Ask("window " + class_and_title);
        int visible = 0;
        window.exists =
            std::sscanf(window.answer.c_str(),
                        "hwnd=%x visible=%d style=%x exstyle=%x rect=%d,%d,%d,%d", &window.hwnd,
                        &visible, &window.style, &window.exstyle, &window.rect.x, &window.rect.y,
                        &window.rect.w, &window.rect.h) == 8;
        window.visible = visible != 0;
        return window;
    }

    // Waits until the top-level window "CLASS [TITLE]" is shown.
    ::testing::AssertionResult AwaitWindowShown(const std::string& class_and_title) {
        return Await("the window " + class_and_title + " to be shown", [&](std::string* seen) {
            const Window window = TopLevel(class_and_title);
            *seen = window.answer;
            return window.visible;
        });
    }

    // Waits until a popup menu of the program of the window "CLASS [TITLE]"
    // is open, or closed.
    ::testing::AssertionResult AwaitMenu(const std::string& window, bool open) {
        return Await(std::string(open ? "a menu to open" : "the menu to close") + " in " + window,
                     [&](std::string* seen) {
                         const std::string menu = Ask("menu " + window);
                         *seen = "menu " + menu + ", foreground " + Ask("foreground");
                         return (menu != "none") == open;
                     });
    }

    // Escape to the open menu of the program of that window, through the
    // menu's queue: the keyboard reaches a menu only while its program is in
    // front, and on a screen without a window manager Wine can leave the
    // desktop window there (the foreground "class=#32769") as the menu opens.
    void CloseMenu(const std::string& window) {
        const std::string answer = Ask("escape " + window);
        EXPECT_TRUE(answer == "ok" || answer == "none") << answer;
    }

    // Waits until the list is shown, or hidden.
    ::testing::AssertionResult WaitShown(bool shown) {
        return Await(shown ? "the list to be shown" : "the list to be hidden",
                     [&](std::string* seen) {
                         const Window list = ListWindow();
                         *seen = list.answer;
                         return list.visible == shown;
                     });
    }

    // Waits until the foreground window is of that class, or with "none"
    // until no window is in the foreground: activation across processes
    // arrives later than the call that caused it.
    ::testing::AssertionResult AwaitForeground(const std::string& class_name) {
        return AwaitValue(
            "the foreground window", [&] { return Ask("foreground"); },
            class_name == "none" ? class_name : "class=" + class_name);
    }

    // The tray program's log once it has handled every callback posted to it
    // before ("received" handles them first): a line that is not there then
    // was never sent.
    std::vector<std::string> Logged(const std::string& tray) {
        EXPECT_EQ(Ask("tell " + tray + " received"), "ok") << tray;
        return ReadLines(TrayLog(tray));
    }

    // The program's log once it holds at least the lines expected, and all
    // that was posted to it: a line too many shows too.
    std::vector<std::string> Clicks(const std::string& tray, size_t expected) {
        EXPECT_TRUE(Await(
            std::to_string(expected) + " lines in the log of " + tray, [&](std::string* seen) {
                const size_t lines = ReadLines(TrayLog(tray)).size();
                *seen = std::to_string(lines) + " lines, the last " + LastLine(TrayLog(tray));
                return lines >= expected;
            }));
        return Logged(tray);
    }

    // DrawText's size of the text in the list's font, measured by Windows.
    std::pair<int, int> Measure(const std::string& text, const std::string& font) {
        int w = -1, h = -1;
        std::sscanf(Ask("measure " + font + " " + Escaped(text)).c_str(), "%d %d", &w, &h);
        return {w, h};
    }

    // Where the list must lie for rows of these one-line texts.
    Rect Expected(const std::vector<std::string>& texts, const Layout& l,
                  const std::string& font = FONT) {
        int widest = 0, tallest = l.icon;
        for (const std::string& text : texts) {
            auto [w, h] = Measure(text, font);
            widest = std::max(widest, w);
            tallest = std::max(tallest, h);
        }
        Rect r;
        r.w = widest + l.tip.left + l.tip.right + l.icon + l.icon_tip + l.base.left + l.base.right;
        r.h = (tallest + l.tip.top + l.tip.bottom) * static_cast<int>(texts.size()) + l.base.top +
              l.base.bottom;
        r.x = 1024 / 2 - r.w / 2;
        r.y = 768 / 2 - r.h / 2;
        return r;
    }

    Bitmap Screenshot(const std::string& name) {
        const std::string file = Path(name + ".bmp");
        Exec("screenshot " + WindowsPath(file));
        Bitmap bitmap;
        EXPECT_TRUE(bitmap.Load(file)) << file;
        return bitmap;
    }

    // Which rows of the shown list are painted in the highlight colour, read
    // at both ends of each row, left of the icon and right of the text; empty
    // when a row is neither in the frame's nor in the highlight's colour.
    static std::vector<int> HighlightedRows(const Bitmap& screen, const Rect& list, int rows,
                                            std::string* problem) {
        std::vector<int> highlighted;
        const int pitch = list.h / rows;
        for (int row = 0; row < rows; ++row) {
            const int y = list.y + row * pitch + pitch / 2;
            const unsigned left = screen.Pixel(list.x + 1, y);
            const unsigned right = screen.Pixel(list.x + list.w - 2, y);
            if (left != right || (left != HILITE_COLOR && left != FRAME_COLOR)) {
                char text[80];
                std::snprintf(text, sizeof text, "row %d: colours %06x and %06x", row, left, right);
                *problem = text;
                return {};
            }
            if (left == HILITE_COLOR) highlighted.push_back(row);
        }
        return highlighted;
    }

    static std::string RowsText(const std::vector<int>& rows) {
        std::string text;
        for (int row : rows) text += (text.empty() ? "" : ",") + std::to_string(row);
        return "{" + text + "}";
    }

    // The highlighted rows of the shown list in a screenshot. Pixels reach
    // the screen after the host painted them, later on a busy machine: a
    // screenshot that does not show the expected rows yet is taken again
    // until the time is up, and the last one says what was on the screen.
    std::vector<int> ShownHighlight(const std::string& name, int rows,
                                    const std::vector<int>& expected) {
        const Window window = ListWindow();
        EXPECT_TRUE(window.visible) << window.answer;
        std::vector<int> highlighted;
        int shots = 0;
        EXPECT_TRUE(Await("rows " + RowsText(expected) + " highlighted in " + name + ".bmp",
                          [&](std::string* seen) {
                              std::string problem;
                              highlighted =
                                  HighlightedRows(Screenshot(name), window.rect, rows, &problem);
                              *seen =
                                  (problem.empty() ? "rows " + RowsText(highlighted) : problem) +
                                  " in screenshot " + std::to_string(++shots);
                              return problem.empty() && highlighted == expected;
                          }));
        return highlighted;
    }

    // The host's log lines that start with prefix, in order.
    std::vector<std::string> LogLines(const std::string& prefix) const {
        return LinesStartingWith(HostLog(), prefix);
    }

    std::string dir_;
    Process host_;
    std::vector<Process> trays_;
};

// Three icons of one program, the first with a two-line tip.
inline const std::vector<std::string> THREE = {
    "1 #3080ff V Volume 40%\\nMuted", "2 #30c060 N Network: connected", "3 #d04040 B Battery"};

}  // namespace e2e
