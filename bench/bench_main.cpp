// Benchmarks of the plug-in over the fakes, with the fakes' recording off:
//   Next/N   HandleBroam of "@Marrowick.Next" on a shown list of N rows
//   Show/N   ShowList: count the live entries, lay out N rows, show the window
//   Paint/N  DrawList, the paint of a shown list of N rows
// Besides the time, each row of the table gives the calls into the platform
// (the Win32 and host fakes) per operation and per row, and the heap
// allocations the plug-in made in one operation, which must be 0.
//
//   marrowick_bench [benchmark options]   the table
//   marrowick_bench --allocations         only the allocation counts; fails
//                                         when any is not 0 (a CTest test)
//
// Allocations are counted by replacing malloc, which operator new calls too.
// The fakes keep books on the heap in four of the functions the plug-in calls:
// GetDC and BeginPaint note the open device context, CreateStyleFont the live
// font, DrawTextA measures a copy of the text. The binary is linked with
// --wrap for each of them (bench/CMakeLists.txt), and the count leaves out
// what happens inside them.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "config/config.h"
#include "plugin/module.h"
#include "plugin/plugin.h"
#include "tests/fakes/fake.h"
#include "traylist/list.h"

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);
}

namespace {

bool counting = false;
int inside_fakes = 0;
long allocations = 0;

void CountAllocation() {
    if (counting && inside_fakes == 0) ++allocations;
}

template <typename Result, typename... Args>
Result InsideFakes(Result (*function)(Args...), Args... args) {
    ++inside_fakes;
    const Result result = function(args...);
    --inside_fakes;
    return result;
}

}  // namespace

extern "C" {

void* malloc(size_t size) {
    CountAllocation();
    return __libc_malloc(size);
}
void* calloc(size_t count, size_t size) {
    CountAllocation();
    return __libc_calloc(count, size);
}
void* realloc(void* pointer, size_t size) {
    CountAllocation();
    return __libc_realloc(pointer, size);
}

// The fakes that allocate, by their linker names.
HDC __real__Z5GetDCP6HWND__(HWND window);
HDC __real__Z10BeginPaintP6HWND__P11PAINTSTRUCT(HWND window, PAINTSTRUCT* paint);
int __real__Z9DrawTextAP5HDC__PKciP4RECTj(HDC dc, LPCSTR text, int length, LPRECT rect,
                                          UINT format);
HFONT __real_CreateStyleFont(StyleRecord* style);

HDC __wrap__Z5GetDCP6HWND__(HWND window) { return InsideFakes(__real__Z5GetDCP6HWND__, window); }
HDC __wrap__Z10BeginPaintP6HWND__P11PAINTSTRUCT(HWND window, PAINTSTRUCT* paint) {
    return InsideFakes(__real__Z10BeginPaintP6HWND__P11PAINTSTRUCT, window, paint);
}
int __wrap__Z9DrawTextAP5HDC__PKciP4RECTj(HDC dc, LPCSTR text, int length, LPRECT rect,
                                          UINT format) {
    return InsideFakes(__real__Z9DrawTextAP5HDC__PKciP4RECTj, dc, text, length, rect, format);
}
HFONT __wrap_CreateStyleFont(StyleRecord* style) {
    return InsideFakes(__real_CreateStyleFont, style);
}

}  // extern "C"

namespace {

constexpr int ROW_COUNTS[] = {1, 10, 100, 1000};
const HINSTANCE INSTANCE = reinterpret_cast<HINSTANCE>(77);
constexpr char NEXT[] = "@Marrowick.Next";

// The plug-in started, a tray of rows entries with two-line tips of a
// common length, the list shown, and the fakes only counting calls.
void ShowListOf(int rows) {
    fake::Reset();
    fake::host.styles[8] = fake::MakeStyle(0x111111);
    fake::host.styles[9] = fake::MakeStyle(0x222222);
    config = DEFAULT_CONFIG;
    notify_version_by_program = {};
    ListWindowDestroyed();
    hListWnd = nullptr;
    beginPlugin(INSTANCE);
    for (int i = 0; i < rows; ++i) {
        const std::string tip = "Program " + std::to_string(i) + ": connected\r\nVolume 40%";
        fake::AddTrayEntry(fake::LiveWindow(5000 + i), i, 1025, 600 + i, tip);
    }
    HandleBroam(NEXT);
    fake::SetRecording(false);
}

// What the counter must see: one allocation outside the fakes.
void AllocateOnce() {
    void* block = std::malloc(64);
    benchmark::DoNotOptimize(block);
    std::free(block);
}

void NextCommand() { HandleBroam(NEXT); }
void Show() { ShowList(); }
void Paint() { DrawList(hListWnd); }

struct Cost {
    long calls;
    long allocations;
};

// One operation after a first one, counted.
Cost Measure(void (*operation)()) {
    operation();
    const long calls_before = fake::CallCount();
    allocations = 0;
    counting = true;
    operation();
    counting = false;
    return {fake::CallCount() - calls_before, allocations};
}

void Run(benchmark::State& state, void (*operation)()) {
    const int rows = static_cast<int>(state.range(0));
    ShowListOf(rows);
    const Cost cost = Measure(operation);
    for (auto _ : state) operation();
    state.counters["rows"] = rows;
    state.counters["calls/op"] = static_cast<double>(cost.calls);
    state.counters["calls/row"] = static_cast<double>(cost.calls) / rows;
    state.counters["allocs/op"] = static_cast<double>(cost.allocations);
}

void Next(benchmark::State& state) { Run(state, NextCommand); }
void Show(benchmark::State& state) { Run(state, Show); }
void Paint(benchmark::State& state) { Run(state, Paint); }

BENCHMARK(Next)->Arg(1)->Arg(10)->Arg(100)->Arg(1000);
BENCHMARK(Show)->Arg(1)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(Paint)->Arg(1)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

int CheckAllocations() {
    const struct {
        const char* name;
        void (*operation)();
    } operations[] = {{"Next", NextCommand}, {"Show", Show}, {"Paint", Paint}};
    int failures = 0;
    if (Measure(AllocateOnce).allocations != 1) {
        std::printf("the allocation counter does not count\n");
        ++failures;
    }
    for (const auto& op : operations)
        for (int rows : ROW_COUNTS) {
            ShowListOf(rows);
            const Cost cost = Measure(op.operation);
            std::printf("%-6s %5d rows: %ld allocations, %ld platform calls\n", op.name, rows,
                        cost.allocations, cost.calls);
            if (cost.allocations != 0) ++failures;
        }
    return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--allocations") == 0) return CheckAllocations();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
