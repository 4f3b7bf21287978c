// The host command "perf ROWS ITERATIONS": how long the loaded plug-in takes
// from a broadcast, or a key, to its fully painted list, beside two floors:
// the host itself doing the same work with the same calls in a window of its
// own, in the same run. It fills an empty tray with ROWS entries of its own
// (two-line tips, 32-pixel icons) and then, ITERATIONS times in turn, times
//
//   show        "@Marrowick.Next" on the hidden list: count, layout, show,
//               paint;
//   next        "@Marrowick.Next" on the shown list: move the highlight,
//               repaint;
//   floor       a repaint of the host's own window of the list's size and
//               place: the base style's fill, the highlight behind the first
//               row, and per row DrawIconEx and DrawTextA in the base style's
//               font;
//   show floor  the host's own hidden window of the list's class styles and
//               window styles measuring the rows' texts (DrawTextA with
//               DT_CALCRECT in the base style's font), sized and centred
//               with SetWindowPos, shown, activated and painted as the floor.
//
// Then, with the plug-in's Marrowick.rc turning marrowick.interactive on for
// as long (and put back after), ITERATIONS times in turn, the list shown
// untimed before each:
//
//   key         a Down key on the shown list: move the highlight, name it
//               for screen readers, repaint;
//   key floor   the floor again, in the same alternation.
//
// Each time runs from the SendMessage of the broadcast or the key (or the
// floor's first call) through UpdateWindow, which paints at once, and
// GdiFlush, which puts the pixels on the screen. The list and the show
// floor's window are hidden between runs, outside the times. It logs one
// line with the medians in microseconds and the plug-in's times over the
// floors':
//   perf rows=10 iterations=200 width=... height=... show_us=... next_us=...
//        floor_us=... show_ratio=... next_ratio=... unpainted=0
//        show_floor_us=... show_floor_ratio=... key_us=... key_floor_us=...
//        key_ratio=...
// on one line: show_ratio and next_ratio are show and next over the floor,
// show_floor_ratio is show over the show floor, key_ratio key over the key
// floor; unpainted counts the times that created fewer or more fonts than
// their layout and paint create. The floors use the plug-in's default
// geometry (an empty or absent rc file), as the key's settings do.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "devhost/log/log.h"
#include "devhost/measure/measure.h"
#include "devhost/measure/perf_floor.h"
#include "devhost/shell/shell.h"
#include "devhost/systray/pixel_icon.h"
#include "devhost/systray/systray.h"
#include "host/host.h"

namespace {

constexpr UINT PERF_CALLBACK = WM_APP + 9;
constexpr char OWNER_CLASS[] = "BlackboxPerfOwner";

// A 32-pixel icon: a square in the row's colour inside a transparent edge.
HICON MakeRowIcon(int row) {
    uint32_t* pixels = nullptr;
    HBITMAP bitmap = CreateIconBitmap(&pixels);
    if (!bitmap) return nullptr;
    const uint32_t fill = 0x304050u + 0x1f0d07u * (row % 8);
    constexpr int EDGE = 2;
    for (int y = EDGE; y < PIXEL_ICON_SIDE - EDGE; ++y)
        for (int x = EDGE; x < PIXEL_ICON_SIDE - EDGE; ++x) pixels[y * PIXEL_ICON_SIDE + x] = fill;
    HICON icon = IconFromPixels(bitmap, pixels);
    DeleteObject(bitmap);
    return icon;
}

// The row's tray icon, with its owner's callback message and a two-line tip.
BOOL AddRow(HWND owner, int row) {
    char tip[64];
    std::snprintf(tip, sizeof tip, "Program %d: connected\r\nVolume 40%%", row);
    TrayChange change = {};
    change.owner = owner;
    change.id = row + 1;
    change.flags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    change.callback_message = PERF_CALLBACK;
    change.icon = MakeRowIcon(row);
    change.tip = tip;
    return TrayAdd(change);
}

// The rows' texts as the list shows them with the default settings, on one
// line, and the tray's icons.
void SetFloorRowsFromTray(int rows) {
    std::vector<std::string> texts;
    std::vector<HICON> icons;
    for (int row = 0; row < rows; ++row) {
        texts.push_back("Program " + std::to_string(row) + ": connected / Volume 40%");
        icons.push_back(GetTrayIcon(row)->hIcon);
    }
    SetFloorRows(std::move(texts), std::move(icons));
}

double Microseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    return 1e6 * static_cast<double>(to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void Send(const char* broadcast) {
    Deliver(MSG_BROADCAST, 0, reinterpret_cast<LPARAM>(const_cast<char*>(broadcast)));
}

// The windows one run times, and its times.
struct PerfRun {
    HWND list;
    HWND floor;                // the repaint floor, shown throughout at the list's place
    HWND show_floor;           // the show floor, hidden between its times
    std::vector<HFONT> fonts;  // the fonts CreateStyleFont handed out in one time
    std::vector<double> show, next, floor_times, show_floor_times, key, key_floor_times;
    int unpainted = 0;
};

// Runs one timed operation; counts it as unpainted when it did not create
// the fonts a layout and paint (or a paint alone) create.
template <typename Operation>
double Time(Operation operation, PerfRun& run, size_t expected_fonts) {
    run.fonts.clear();
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    operation();
    GdiFlush();
    QueryPerformanceCounter(&end);
    if (run.fonts.size() != expected_fonts) ++run.unpainted;
    return Microseconds(start, end);
}

// "@Marrowick.Next" and the paint it asks for.
void NextAndPaint(HWND list) {
    Send("@Marrowick.Next");
    UpdateWindow(list);
}

// The key goes straight to the list's window procedure, as DispatchMessage
// hands it over once a message loop has taken it from the queue, rather than
// through SendInput: so the time is the plug-in's own path (the key's
// handling, the highlight's move, its name and events for screen readers, the
// repaint) beside the floor's repaint, without the way from the input queue
// to the window, which is the window system's, the same for every window,
// and asynchronous, and which varies with the machine's load more than the
// path itself.
void DownAndPaint(HWND list) {
    const LPARAM once = 1 | MapVirtualKeyA(VK_DOWN, MAPVK_VK_TO_VSC) << 16 | KF_EXTENDED << 16;
    SendMessageA(list, WM_KEYDOWN, VK_DOWN, once);
    UpdateWindow(list);
}

// One show of the list and of the show floor, untimed, to learn the list's
// rectangle and to check that the show floor lays out the same. false, with
// the reason logged, when it does not.
bool WarmUp(PerfRun& run, RECT* list_rect) {
    Send("@Marrowick.Cancel");
    NextAndPaint(run.list);
    GetWindowRect(run.list, list_rect);
    Send("@Marrowick.Cancel");
    ShowFloor(run.show_floor);
    RECT floor_rect;
    GetWindowRect(run.show_floor, &floor_rect);
    HideFloor(run.show_floor);
    PumpMessages();
    if (EqualRect(list_rect, &floor_rect)) return true;
    Log("error perf the show floor is %ldx%ld at %ld,%ld, the list %ldx%ld at %ld,%ld",
        floor_rect.right - floor_rect.left, floor_rect.bottom - floor_rect.top, floor_rect.left,
        floor_rect.top, list_rect->right - list_rect->left, list_rect->bottom - list_rect->top,
        list_rect->left, list_rect->top);
    return false;
}

// show, next, floor, show floor, each after the last has settled.
void TimeIteration(PerfRun& run) {
    run.show.push_back(Time([&] { NextAndPaint(run.list); }, run, 2));
    run.next.push_back(Time([&] { NextAndPaint(run.list); }, run, 1));
    Send("@Marrowick.Cancel");
    PumpMessages();
    run.floor_times.push_back(Time([&] { RepaintFloor(run.floor); }, run, 1));
    PumpMessages();
    run.show_floor_times.push_back(Time([&] { ShowFloor(run.show_floor); }, run, 2));
    HideFloor(run.show_floor);
    PumpMessages();
}

// key and the floor, each after the last has settled, the list shown before.
void TimeKeyIteration(PerfRun& run) {
    NextAndPaint(run.list);
    PumpMessages();
    run.key.push_back(Time([&] { DownAndPaint(run.list); }, run, 1));
    Send("@Marrowick.Cancel");
    PumpMessages();
    run.key_floor_times.push_back(Time([&] { RepaintFloor(run.floor); }, run, 1));
    PumpMessages();
}

// The key times, with the plug-in's settings file turning the interactive
// list on; the file is put back and the plug-in reconfigured after them.
void TimeKeys(PerfRun& run, int iterations) {
    HMODULE module = nullptr;
    std::string plugin_path;
    if (!FirstPlugin(&module, &plugin_path)) return;
    const std::string rc_path = SettingsFileOf(plugin_path);
    const SavedFile saved = SaveFile(rc_path);
    std::ofstream(rc_path, std::ios::binary | std::ios::trunc) << "marrowick.interactive: true\n";
    Deliver(MSG_RECONFIGURE, 0, 0);
    for (int i = 0; i < iterations; ++i) TimeKeyIteration(run);
    RestoreFile(rc_path, saved);
    Deliver(MSG_RECONFIGURE, 0, 0);
}

void LogTimes(const PerfRun& run, int rows, int iterations, const RECT& rect) {
    const double show_us = Median(run.show), next_us = Median(run.next);
    const double floor_us = Median(run.floor_times);
    const double show_floor_us = Median(run.show_floor_times);
    const double key_us = Median(run.key), key_floor_us = Median(run.key_floor_times);
    Log("perf rows=%d iterations=%d width=%ld height=%ld show_us=%.1f next_us=%.1f floor_us=%.1f "
        "show_ratio=%.2f next_ratio=%.2f unpainted=%d show_floor_us=%.1f show_floor_ratio=%.2f "
        "key_us=%.1f key_floor_us=%.1f key_ratio=%.2f",
        rows, iterations, rect.right - rect.left, rect.bottom - rect.top, show_us, next_us,
        floor_us, show_us / floor_us, next_us / floor_us, run.unpainted, show_floor_us,
        show_us / show_floor_us, key_us, key_floor_us, key_us / key_floor_us);
}

bool ParseArguments(const std::string& arguments, int* rows, int* iterations) {
    if (std::sscanf(arguments.c_str(), "%d %d", rows, iterations) == 2 && *rows >= 1 &&
        *iterations >= 1)
        return true;
    Log("error usage: perf ROWS ITERATIONS");
    return false;
}

// The plug-in's list window when it is the one window registered for
// broadcasts and the tray is empty; null, with the reason logged, otherwise.
HWND FindList() {
    const std::vector<HWND> lists = WindowsRegisteredFor(MSG_BROADCAST);
    if (lists.size() == 1 && GetTraySize() == 0) return lists.front();
    Log("error perf needs one plug-in window registered for broadcasts and an empty tray");
    return nullptr;
}

// Times the list and the floors with the tray holding rows entries.
void TimeRows(PerfRun& run, int rows, int iterations) {
    SetFloorRowsFromTray(rows);
    const RECT nowhere = {0, 0, 0, 0};
    run.show_floor = MakeFloorWindow(nowhere);
    RECT rect;
    if (!WarmUp(run, &rect)) {
        DestroyWindow(run.show_floor);
        return;
    }
    run.floor = MakeFloorWindow(rect);
    ShowWindow(run.floor, SW_SHOWNOACTIVATE);
    UpdateWindow(run.floor);
    PumpMessages();

    CollectStyleFonts(&run.fonts);
    for (int i = 0; i < iterations; ++i) TimeIteration(run);
    TimeKeys(run, iterations);
    CollectStyleFonts(nullptr);
    LogTimes(run, rows, iterations, rect);
    DestroyWindow(run.floor);
    DestroyWindow(run.show_floor);
}

}  // namespace

void RunPerf(const std::string& arguments) {
    int rows = 0, iterations = 0;
    if (!ParseArguments(arguments, &rows, &iterations)) return;
    PerfRun run;
    run.list = FindList();
    if (!run.list) return;
    const RECT nowhere = {0, 0, 0, 0};
    HWND owner = MakePerfWindow(OWNER_CLASS, DefWindowProcA, WS_EX_TOOLWINDOW, nowhere);
    for (int row = 0; row < rows; ++row) AddRow(owner, row);
    TimeRows(run, rows, iterations);
    for (int row = 0; row < rows; ++row) TrayDelete(owner, row + 1);
    DestroyWindow(owner);
    PumpMessages();
}
