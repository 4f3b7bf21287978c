#include "harness.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

extern char** environ;

namespace e2e {

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string LastLine(const std::string& path) {
    const std::vector<std::string> lines = ReadLines(path);
    return lines.empty() ? "(nothing)" : "\"" + lines.back() + "\"";
}

std::vector<std::string> LinesStartingWith(const std::string& path, const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& line : ReadLines(path))
        if (line.rfind(prefix, 0) == 0) found.push_back(line);
    return found;
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
}

std::string WindowsPath(const std::string& path) {
    std::string result = "Z:" + path;
    for (char& c : result)
        if (c == '/') c = '\\';
    return result;
}

bool Process::Ended(int* code) {
    if (pid <= 0) return true;
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) != pid) return false;
    pid = 0;
    if (code) *code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return true;
}

bool Process::WaitEnd(Clock::duration timeout, int* code) {
    return WaitUntil([&] { return Ended(code); }, timeout);
}

void Process::Stop() {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    if (!WaitEnd(1s)) {
        kill(pid, SIGKILL);
        WaitEnd(5s);
    }
}

Process Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
              const std::string& out_path, const std::string& err_path, int in_fd, int out_fd) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (in_fd >= 0)
        posix_spawn_file_actions_adddup2(&actions, in_fd, 0);
    else
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    const int mode = O_WRONLY | O_CREAT | O_TRUNC;
    if (out_fd >= 0)
        posix_spawn_file_actions_adddup2(&actions, out_fd, 1);
    else
        posix_spawn_file_actions_addopen(
            &actions, 1, out_path.empty() ? "/dev/null" : out_path.c_str(), mode, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err_path.empty() ? "/dev/null" : err_path.c_str(),
                                     mode, 0644);

    std::vector<std::string> env_strings;
    for (char** e = environ; *e; ++e) env_strings.push_back(*e);
    for (const std::string& add : environment) {
        const std::string name = add.substr(0, add.find('=') + 1);
        env_strings.erase(
            std::remove_if(env_strings.begin(), env_strings.end(),
                           [&](const std::string& s) { return s.rfind(name, 0) == 0; }),
            env_strings.end());
        env_strings.push_back(add);
    }
    std::vector<char*> args, env;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (const std::string& e : env_strings) env.push_back(const_cast<char*>(e.c_str()));
    env.push_back(nullptr);

    Process process;
    if (posix_spawnp(&process.pid, args[0], &actions, nullptr, args.data(), env.data()) != 0)
        process.pid = 0;
    posix_spawn_file_actions_destroy(&actions);
    return process;
}

bool Bitmap::Load(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<unsigned char> data((std::istreambuf_iterator<char>(file)), {});
    auto u32 = [&](size_t at) {
        return static_cast<uint32_t>(data[at] | data[at + 1] << 8 | data[at + 2] << 16 |
                                     data[at + 3] << 24);
    };
    if (data.size() < 54 || data[0] != 'B' || data[1] != 'M') return false;
    const uint32_t offset = u32(10);
    width = static_cast<int>(u32(18));
    height = static_cast<int>(u32(22));
    const int bits = data[28] | data[29] << 8;
    const size_t stride = (width * 3 + 3) & ~3;
    if (bits != 24 || width <= 0 || height <= 0 || data.size() < offset + stride * height)
        return false;
    rows.assign(data.begin() + offset, data.begin() + offset + stride * height);
    return true;
}

unsigned Bitmap::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return 0xffffffff;
    const size_t stride = (width * 3 + 3) & ~3;
    const unsigned char* p = &rows[(height - 1 - y) * stride + x * 3];
    return p[2] << 16 | p[1] << 8 | p[0];
}

Session& Session::Get() {
    static Session session;
    return session;
}

std::vector<std::string> Session::Environment() const {
    return {"DISPLAY=" + display_, "WINEPREFIX=" E2E_PREFIX, "WINEARCH=win64", "WINEDEBUG=-all",
            "WINEDLLOVERRIDES=mscoree,mshtml="};
}

std::string Session::ProgramPath(const std::string& name) const {
    const bool x64 = name.find("64.exe") != std::string::npos;
    return std::string(x64 ? E2E_WIN64_DIR : E2E_WIN32_DIR) + "/devhost/" + name;
}

bool Session::Start(std::string* why) {
    work_dir_ = E2E_WORK_DIR;
    mkdir(work_dir_.c_str(), 0755);
    return FindPrograms(why) && LockPrefix(why) && StartXvfb(why) && ArrangeMonitors(why) &&
           StartWine(why);
}

bool Session::FindPrograms(std::string* why) const {
    for (const std::string& file :
         {ProgramPath("blackbox.exe"), ProgramPath("trayapp.exe"), ProgramPath("trayapp64.exe"),
          ProgramPath("inspector.exe"), ProgramPath("listener.exe"),
          std::string(E2E_WIN32_DIR "/Marrowick.dll")})
        if (access(file.c_str(), F_OK) != 0) {
            *why = file + " is missing: build the Windows trees first (make dll tray64)";
            return false;
        }
    return true;
}

// One session per prefix at a time: another run in the same tree waits.
bool Session::LockPrefix(std::string* why) const {
    const int lock = open(E2E_PREFIX ".session.lock", O_CREAT | O_RDWR | O_CLOEXEC, 0644);
    if (lock < 0 || !WaitUntil([&] { return flock(lock, LOCK_EX | LOCK_NB) == 0; }, 600s)) {
        *why = "another end-to-end run holds " E2E_PREFIX ".session.lock";
        return false;
    }
    if (access(E2E_PREFIX "/.marrowick-ready-win64", F_OK) != 0) {
        *why = "no Wine prefix at " E2E_PREFIX " (made by scripts/wine-prefix.sh)";
        return false;
    }
    return true;
}

// Xvfb picks a free display itself and writes its number to the pipe.
bool Session::StartXvfb(std::string* why) {
    int display_pipe[2];
    if (pipe(display_pipe) != 0) return false;
    const std::string size =
        std::to_string(screen_.width) + "x" + std::to_string(screen_.height) + "x24";
    xvfb_ = Spawn({"Xvfb", "-displayfd", std::to_string(display_pipe[1]), "-screen", "0", size,
                   "-nolisten", "tcp", "-noreset"},
                  {}, "", work_dir_ + "/xvfb.log");
    close(display_pipe[1]);
    std::string number;
    pollfd wait_display = {display_pipe[0], POLLIN, 0};
    char c;
    while (poll(&wait_display, 1, 10000) > 0 && read(display_pipe[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(display_pipe[0]);
    if (number.empty()) {
        *why = "Xvfb did not start (see " + work_dir_ + "/xvfb.log)";
        return false;
    }
    display_ = ":" + number;
    return true;
}

// Runs an X client of the session's display to its end.
bool Session::RunX(const std::vector<std::string>& argv, std::string* why) {
    int code = -1;
    Process client = Spawn(argv, {"DISPLAY=" + display_}, "", work_dir_ + "/" + argv[0] + ".log");
    if (!client.WaitEnd(10s, &code) || code != 0) {
        client.Stop();
        *why = argv[0] + " failed (see " + work_dir_ + "/" + argv[0] + ".log)";
        return false;
    }
    return true;
}

// The screen's monitors and work areas, before Wine starts. The first monitor
// takes Xvfb's one output, which then has no monitor of its own; sizes in
// millimetres are at 96 dots per inch. The X server stays up between its
// clients (-noreset), so what is set here lasts.
bool Session::ArrangeMonitors(std::string* why) {
    for (size_t i = 0; i < screen_.monitors.size(); ++i) {
        const Area& m = screen_.monitors[i];
        char geometry[80];
        std::snprintf(geometry, sizeof geometry, "%d/%dx%d/%d+%d+%d", m.w, m.w * 254 / 960, m.h,
                      m.h * 254 / 960, m.x, m.y);
        if (!RunX({"xrandr", "--setmonitor", "monitor" + std::to_string(i + 1), geometry,
                   i == 0 ? "screen" : "none"},
                  why))
            return false;
    }
    if (screen_.work_areas.empty()) return true;
    std::string areas;
    for (const Area& a : screen_.work_areas)
        for (int value : {a.x, a.y, a.w, a.h})
            areas += (areas.empty() ? "" : ",") + std::to_string(value);
    return RunX(
        {"xprop", "-root", "-f", "_GTK_WORKAREAS_D0", "32c", "-set", "_GTK_WORKAREAS_D0", areas},
        why);
}

// A wineserver of our own, in the foreground so that its id is ours (one left
// over from an interrupted run would hold windows on a dead display), and the
// inspector.
bool Session::StartWine(std::string* why) {
    std::vector<std::string> env = Environment();
    Spawn({"wineserver", "-k"}, env, "", "").WaitEnd(10s);
    wineserver_ = Spawn({"wineserver", "-f", "-p"}, env, "", work_dir_ + "/wineserver.log");

    int to_inspector[2], from_inspector[2];
    if (pipe2(to_inspector, O_CLOEXEC) != 0 || pipe2(from_inspector, O_CLOEXEC) != 0) return false;
    inspector_ = Spawn({"wine", ProgramPath("inspector.exe")}, env, "",
                       work_dir_ + "/inspector.err", to_inspector[0], from_inspector[1]);
    close(to_inspector[0]);
    close(from_inspector[1]);
    inspector_in_ = to_inspector[1];
    inspector_out_ = from_inspector[0];
    if (Ask("") != "ready") {
        *why = "the inspector did not start (see " + work_dir_ + "/inspector.err)";
        return false;
    }
    return true;
}

std::string Session::Ask(const std::string& request) {
    // An empty request only reads: the inspector's greeting.
    if (!request.empty()) {
        const std::string line = request + "\n";
        if (write(inspector_in_, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
            return "";
    }
    const auto deadline = Clock::now() + START_TIMEOUT;
    size_t newline;
    while ((newline = inspector_buffer_.find('\n')) == std::string::npos) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd readable = {inspector_out_, POLLIN, 0};
        if (left.count() <= 0 || poll(&readable, 1, static_cast<int>(left.count())) <= 0) return "";
        char chunk[4096];
        const ssize_t n = read(inspector_out_, chunk, sizeof chunk);
        if (n <= 0) return "";
        inspector_buffer_.append(chunk, n);
    }
    std::string answer = inspector_buffer_.substr(0, newline);
    inspector_buffer_.erase(0, newline + 1);
    if (!answer.empty() && answer.back() == '\r') answer.pop_back();
    return answer;
}

Process Session::Run(const std::string& program, const std::vector<std::string>& args,
                     const std::string& out_path, const std::string& err_path) {
    std::vector<std::string> argv = {ProgramPath(program)};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunWine(argv, out_path, err_path);
}

Process Session::RunWine(const std::vector<std::string>& args, const std::string& out_path,
                         const std::string& err_path) {
    std::vector<std::string> argv = {"wine"};
    argv.insert(argv.end(), args.begin(), args.end());
    return Spawn(argv, Environment(), out_path, err_path);
}

void Session::Stop() {
    if (inspector_in_ >= 0) {
        (void)!write(inspector_in_, "quit\n", 5);
        close(inspector_in_);
        inspector_in_ = -1;
    }
    if (!inspector_.WaitEnd(5s)) inspector_.Stop();
    if (inspector_out_ >= 0) close(inspector_out_);
    inspector_out_ = -1;
    // Ends every Windows process of the prefix (explorer, services...) too.
    if (wineserver_.pid > 0) {
        Process kill_all = Spawn({"wineserver", "-k"}, Environment(), "", "");
        kill_all.WaitEnd(10s);
        if (!wineserver_.WaitEnd(10s)) wineserver_.Stop();
    }
    xvfb_.Stop();
}

namespace {

// One Wine session for the whole test program: every case runs in it.
class SessionEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        std::string why;
        if (!Session::Get().Start(&why)) {
            Session::Get().Stop();
            FAIL() << "cannot start the Wine session: " << why;
        }
    }
    void TearDown() override { Session::Get().Stop(); }
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new SessionEnvironment);

}  // namespace

}  // namespace e2e
