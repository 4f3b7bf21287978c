// The end-to-end tests' side on Linux: a private X server and Wine session,
// the Windows programs started in it, and the inspector that looks at the
// windows from inside.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "devhost/log/escape.h"
#include "wait.h"

namespace e2e {

std::vector<std::string> ReadLines(const std::string& path);
// The file's last line in quotes, "(nothing)" when it has none: what a wait
// for a line saw last.
std::string LastLine(const std::string& path);
// The lines of the file that start with prefix, in order.
std::vector<std::string> LinesStartingWith(const std::string& path, const std::string& prefix);
void WriteFile(const std::string& path, const std::string& text);

// "Z:\..." for a Linux path: how Windows programs under Wine name it.
std::string WindowsPath(const std::string& path);

// A process this harness started, stopped by its id.
struct Process {
    pid_t pid = 0;
    // True once it has ended, with its exit code.
    bool Ended(int* code = nullptr);
    bool WaitEnd(Clock::duration timeout, int* code = nullptr);
    // SIGTERM, then SIGKILL when it does not end within a second.
    void Stop();
};

// Starts argv[0] with the environment given on top of this process's; output
// goes to the files named (or nowhere when empty). in_fd and out_fd, when not
// -1, become the child's stdin and stdout.
Process Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
              const std::string& out_path, const std::string& err_path, int in_fd = -1,
              int out_fd = -1);

// The screen as the host saved it: a 24-bit BMP file.
struct Bitmap {
    int width = 0, height = 0;
    std::vector<unsigned char> rows;  // bottom-up, padded to 4 bytes
    bool Load(const std::string& path);
    // 0xRRGGBB at x, y from the top left.
    unsigned Pixel(int x, int y) const;
};

// A rectangle of the X screen: left, top, width and height in pixels.
struct Area {
    int x = 0, y = 0, w = 0, h = 0;
};

// The X screen a session runs on. Monitors are xrandr's logical monitors, the
// first one primary; Wine sees them only in a prefix whose X11 driver has
// UseXRandR=N (scripts/wine-prefix.sh PREFIX UseXRandR=N), as it reads
// RandR's outputs otherwise, and Xvfb has one. Work areas, one per monitor
// in order, are the part of each that panels leave free, as a desktop puts
// them in the root window's _GTK_WORKAREAS_D0; Wine reads both when its
// desktop process starts.
struct Screen {
    int width = 1024, height = 768;
    std::vector<Area> monitors;    // none: one monitor, the whole screen
    std::vector<Area> work_areas;  // none: the whole monitors
};

// The private session: Xvfb on a free display and a wineserver for the
// tests' prefix, both started once and stopped at the end; the inspector.
class Session {
public:
    static Session& Get();
    // Before Start: the screen to start Xvfb with (1024x768, one monitor, by default).
    void SetScreen(const Screen& screen) { screen_ = screen; }
    bool Start(std::string* why);
    void Stop();

    // Runs a Windows program in the session: "wine program args...".
    Process Run(const std::string& program, const std::vector<std::string>& args,
                const std::string& out_path, const std::string& err_path = "");
    // Runs a program of Wine's own in the session: "wine args...".
    Process RunWine(const std::vector<std::string>& args, const std::string& out_path,
                    const std::string& err_path = "");
    // One request to the inspector and its one-line answer ("" on time-out).
    std::string Ask(const std::string& request);

    // In the win32 build, or the win64 one for a name ending in 64.exe.
    std::string ProgramPath(const std::string& name) const;
    const std::string& WorkDir() const { return work_dir_; }

private:
    std::vector<std::string> Environment() const;
    bool FindPrograms(std::string* why) const;
    bool LockPrefix(std::string* why) const;
    bool StartXvfb(std::string* why);
    bool ArrangeMonitors(std::string* why);
    bool RunX(const std::vector<std::string>& argv, std::string* why);
    bool StartWine(std::string* why);
    Screen screen_;
    std::string display_;
    std::string work_dir_;
    Process xvfb_, wineserver_, inspector_;
    int inspector_in_ = -1, inspector_out_ = -1;
    std::string inspector_buffer_;
};

}  // namespace e2e
