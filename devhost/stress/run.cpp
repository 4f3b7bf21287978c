// The host command "stress [interactive] N SEED FILE": N broadcasts to the
// loaded plug-in, drawn at random from SEED, with faults between them, all
// from inside the host so that no broadcast waits for a process to start:
//
//   broadcasts  Next, Prev, Cancel, Send with each of the six click names and
//               any white space before it, and broadcasts for other plug-ins;
//   faults      tray programs (trayapp.exe) add, remove and retitle entries,
//               open owner windows and close them leaving their entries
//               behind, two of them exit under the shown list (one leaving
//               its entries behind, one taking them along), and the plug-in's
//               Marrowick.rc is rewritten and the plug-in reconfigured;
//   input       with "interactive", the rc turns marrowick.interactive on and
//               real keys and mouse actions come between the broadcasts
//               while the list is shown, and changes of the tray among them
//               (input.cpp says which, and what the model makes of them),
//               each checked as a broadcast is.
//
// The host keeps its own model of the list (shown, highlighted row, rows, the
// entry the user was shown highlighted) and after every broadcast and input,
// once the list has painted, checks:
//   - every font CreateStyleFont handed out during it is deleted (GetObjectType
//     answers 0 for it);
//   - every device context the plug-in opened is closed again, counted through
//     the plug-in's import table (devhost/measure/dcwatch.cpp);
//   - the list is shown or hidden as the model says and, when it was just
//     painted, the highlight colour lies in the model's row and in no other;
//   - a purge was asked for exactly when a shown tray held a dead owner;
//   - after a click, the program that owns the entry shown highlighted
//     logged the click's callbacks and no other program logged any: a click
//     that reached another program counts as misdirected;
//   - a change of the tray or the settings did not repaint the shown list.
// The clicks the model expects, one line per mouse message in the form the
// tray programs log them, go to FILE; at the end each program says how many
// callbacks it logged. The last line is the summary:
//   stress broadcasts=... clicks=... delivered=... misdirected=0 faults=... ...
#include "devhost/stress/run.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "devhost/log/log.h"
#include "devhost/measure/measure.h"
#include "devhost/shell/shell.h"
#include "devhost/stress/stress.h"
#include "host/host.h"

namespace stress {
namespace {

constexpr int MAX_REPORTED_ERRORS = 20;
constexpr int BASE_STYLE = 8;  // menu.frame
constexpr int TIP_STYLE = 9;   // menu.hilite
constexpr double FAULT_RATE = 0.06;

// The counts of an interactive run's input, for the end of the summary line.
std::string InputSummary(const Counts& c) {
    char text[256];
    std::snprintf(text, sizeof text,
                  " keys=%d letters=%d pointer_moves=%d button_clicks=%d outside_clicks=%d "
                  "input_moves=%d input_hides=%d hover_checks=%d",
                  c.keys, c.letters, c.pointer_moves, c.button_clicks, c.outside_clicks,
                  c.input_moves, c.input_hides, c.hover_checks);
    return text;
}

}  // namespace

// Logs an error of the current step; the first MAX_REPORTED_ERRORS only, as
// one fault can make many.
void Stress::Error(const char* format, ...) {
    if (++counts_.errors > MAX_REPORTED_ERRORS) return;
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    Log("stress error step=%d %s", step_, text);
}

// Finds the tray programs, the highlight's colour and the plug-in's device
// contexts, and starts collecting the fonts it is handed; false when no tray
// program runs.
bool Stress::Start() {
    if (!FindOwners()) return false;
    check_highlight_ = SolidStyleColor(BASE_STYLE, &frame_) &&
                       SolidStyleColor(TIP_STYLE, &hilite_) && frame_ != hilite_;
    if (!check_highlight_)
        Log("stress note the highlight is not checked: menu.frame and menu.hilite need "
            "distinct solid fills");
    if (WatchDeviceContexts(plugin_) == 0)
        Log("stress note the plug-in imports none of the device context functions");
    CollectStyleFonts(&fonts_);
    if (interactive_) StartInput();
    return true;
}

// A first rc and a Cancel, so that the model starts from a known list, then
// the broadcasts with faults between them. One tray program exits a third of
// the way, another two thirds of the way, each as soon as the list is shown
// after that.
void Stress::Run(int broadcasts) {
    Reconfigure();
    Broadcast(CANCEL, "@Marrowick.Cancel", nullptr);
    int exits = 0;
    for (int i = 1; i < broadcasts; ++i) {
        const int exits_due = (i >= broadcasts / 3) + (i >= 2 * broadcasts / 3);
        if (exits < exits_due && model_.visible) ExitOwner(exits++ > 0);
        if (Chance(FAULT_RATE)) RandomFault();
        RandomBroadcast();
        if (interactive_) RandomInputs();
    }
}

// The last checks, the callbacks the tray programs logged against the clicks
// expected, the expected clicks to expected_path and the summary line.
void Stress::Finish(const std::string& expected_path, double seconds) {
    CountDelivered();
    PumpMessages();
    CheckResources();
    if (counts_.delivered != counts_.messages)
        Error("%ld tray callbacks logged, %d expected", counts_.delivered, counts_.messages);
    const DcCounts dcs = DeviceContexts();
    UnwatchDeviceContexts();
    CollectStyleFonts(nullptr);
    ReleaseCapture();
    if (interactive_) FinishInput();
    WriteExpected(expected_path);
    LogSummary(dcs, seconds);
}

// One line per mouse message, as the tray programs log them.
void Stress::WriteExpected(const std::string& path) {
    std::ofstream expected(path, std::ios::binary | std::ios::trunc);
    for (const std::string& line : expected_) expected << line << "\n";
    expected.close();
    if (!expected) Error("cannot write %s", path.c_str());
}

void Stress::LogSummary(const DcCounts& dcs, double seconds) const {
    const Counts& c = counts_;
    const int faults = c.owner_exits + c.windows_opened + c.windows_closed + c.entries_added +
                       c.entries_removed + c.tips_changed + c.reconfigures;
    Log("stress broadcasts=%d shows=%d moves=%d hides=%d sends=%d others=%d clicks=%d "
        "messages=%d delivered=%ld clicks_to_nobody=%d misdirected=%d shifted_clicks=%d "
        "faults=%d changes_while_shown=%d owner_exits=%d windows_opened=%d windows_closed=%d "
        "entries_added=%d entries_removed=%d tips_changed=%d reconfigures=%d purges=%d fonts=%ld "
        "fonts_leaked=%ld dcs=%ld dcs_leaked=%ld highlight_checks=%d errors=%d list=%s rows=%d "
        "selected=%d seconds=%.1f%s",
        c.broadcasts, c.shows, c.moves, c.hides, c.sends, c.others, c.clicks, c.messages,
        c.delivered, c.clicks_to_nobody, c.misdirected, c.shifted_clicks, faults,
        c.changes_while_shown, c.owner_exits, c.windows_opened, c.windows_closed, c.entries_added,
        c.entries_removed, c.tips_changed, c.reconfigures, c.purges, c.fonts, c.fonts_leaked,
        dcs.opened, dcs.open + dcs.stray, c.highlight_checks, c.errors,
        model_.visible ? "shown" : "hidden", model_.count, model_.selected, seconds,
        interactive_ ? InputSummary(c).c_str() : "");
}

}  // namespace stress

namespace {

constexpr char INTERACTIVE[] = "interactive ";

// "[interactive] N SEED FILE"; false, with the usage logged, when the
// arguments are not.
bool ParseArguments(const std::string& arguments, bool* interactive, int* broadcasts,
                    unsigned* seed, std::string* expected_path) {
    *interactive = arguments.rfind(INTERACTIVE, 0) == 0;
    const std::string rest = arguments.substr(*interactive ? sizeof INTERACTIVE - 1 : 0);
    int start = 0;
    if (std::sscanf(rest.c_str(), "%d %u %n", broadcasts, seed, &start) < 2 || !start ||
        *broadcasts < 1 || start >= static_cast<int>(rest.size())) {
        Log("error usage: stress [interactive] BROADCASTS SEED EXPECTED_CLICKS_FILE");
        return false;
    }
    *expected_path = rest.substr(start);
    return true;
}

// Runs the broadcasts; the seconds they took.
double TimedRun(stress::Stress* stress, int broadcasts) {
    LARGE_INTEGER frequency, begin, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&begin);
    stress->Run(broadcasts);
    QueryPerformanceCounter(&end);
    return static_cast<double>(end.QuadPart - begin.QuadPart) / frequency.QuadPart;
}

}  // namespace

void RunStress(const std::string& arguments) {
    bool interactive = false;
    int broadcasts = 0;
    unsigned seed = 0;
    std::string expected_path;
    if (!ParseArguments(arguments, &interactive, &broadcasts, &seed, &expected_path)) return;
    const std::vector<HWND> lists = WindowsRegisteredFor(MSG_BROADCAST);
    HMODULE module = nullptr;
    std::string plugin_path;
    if (lists.size() != 1 || !FirstPlugin(&module, &plugin_path)) {
        Log("error stress needs one plug-in with one window registered for broadcasts");
        return;
    }
    // The plug-in's own settings file, which the run rewrites, restored at the end.
    const std::string rc_path = SettingsFileOf(plugin_path);
    const SavedFile original_rc = SaveFile(rc_path);

    stress::Stress stress(seed, module, lists.front(), rc_path, interactive);
    if (!stress.Start()) return;
    const double seconds = TimedRun(&stress, broadcasts);
    stress.Finish(expected_path, seconds);
    RestoreFile(rc_path, original_rc);
    Deliver(MSG_RECONFIGURE, 0, 0);
}
