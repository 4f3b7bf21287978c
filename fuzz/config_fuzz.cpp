// Fuzz target: rc values of any bytes for every key through ReadConfig, then
// a paint of the window as it stands, a layout and a paint with the settings
// that came out, each paint followed by a click on the highlighted row in the
// form the notification version asks for, over a tray and a platform taken
// from the input too; then the list shown over that tray and clicked.
//
// The input is a list of records cut at NUL bytes:
//   records 1 to 16  the values of the sixteen keys in the order ReadConfig
//                    reads them; an empty record leaves its key out of the
//                    rc file; a line feed in a value starts a new rc line
//   record 17        numbers, any text between them: screen width and height,
//                    text height, character width, rows, highlighted row,
//                    window width and height before the layout, and the
//                    width and height of the work area the list is fitted
//                    into with marrowick.placement monitor
//   the records after it: one tray entry each, the record its tip
// The settings must come out within their ranges, and every font and device
// context must be given back.
#include <algorithm>
#include <cstring>
#include <string>

#include "fuzz/fuzz_support.h"
#include "host/host.h"
#include "traylist/click.h"
#include "traylist/layout.h"
#include "traylist/paint.h"
#include "traylist/rows.h"

namespace {

using fuzz::Require;

constexpr const char* KEYS[] = {
    "marrowick.screen_width:",   "marrowick.screen_height:",       "marrowick.base_padding:",
    "marrowick.base_style:",     "marrowick.base_border:",         "marrowick.tip_padding:",
    "marrowick.tip_style:",      "marrowick.tip_border:",          "marrowick.icon_tip_padding:",
    "marrowick.icon_size:",      "marrowick.do_convert_new_line:", "marrowick.converted_new_line:",
    "marrowick.notify_version:", "marrowick.interactive:",         "marrowick.enter_click:",
    "marrowick.placement:",
};
constexpr size_t KEY_COUNT = sizeof KEYS / sizeof KEYS[0];
constexpr size_t MAX_TRAY_ENTRIES = 64;
constexpr int MAX_ROWS = 1024;
constexpr int MAX_TEXT_SIZE = 65535;

bool IsStyleIndex(int index) {
    if (index == UNKNOWN_STYLE_INDEX) return true;
    for (const StyleName& style : STYLE_NAMES)
        if (style.index == index) return true;
    return false;
}

void RequireSettingsInRange() {
    Require(config.icon_size >= 0, "icon_size is not negative");
    Require(config.base_border == 0 || config.base_border == 1, "base_border is 0 or 1");
    Require(config.tip_border == 0 || config.tip_border == 1, "tip_border is 0 or 1");
    Require(config.do_convert_new_line == 0 || config.do_convert_new_line == 1,
            "do_convert_new_line is 0 or 1");
    Require(IsStyleIndex(config.base_style) && IsStyleIndex(config.tip_style),
            "the styles are ones a name gives");
    Require(strnlen(config.converted_new_line, CONVERTED_NEW_LINE_SIZE) < CONVERTED_NEW_LINE_SIZE,
            "converted_new_line is terminated inside its buffer");
    Require(config.notify_version == 0 || config.notify_version == NOTIFYICON_VERSION ||
                config.notify_version == NOTIFYICON_VERSION_4,
            "notify_version is 0, 3 or 4");
    Require(config.interactive == 0 || config.interactive == 1, "interactive is 0 or 1");
    Require(strnlen(config.enter_click, CLICK_NAME_SIZE) < CLICK_NAME_SIZE,
            "enter_click is terminated inside its buffer");
    Require(config.placement == PLACEMENT_SCREEN || config.placement == PLACEMENT_MONITOR,
            "placement is screen or monitor");
    const ProgramVersions& programs = notify_version_by_program;
    Require(programs.count >= 0 && programs.count <= PROGRAM_VERSIONS_SIZE,
            "the program table holds at most its room");
    for (int i = 0; i < programs.count; ++i) {
        const ProgramVersion& pair = programs.pairs[i];
        Require(pair.program[0] != '\0' && strnlen(pair.program, MAX_PATH) < MAX_PATH,
                "a program's name is not empty and is terminated inside its buffer");
        Require(pair.version == 0 || pair.version == NOTIFYICON_VERSION ||
                    pair.version == NOTIFYICON_VERSION_4,
                "a program's version is 0, 3 or 4");
    }
}

// The click a Send makes on the list's highlighted row, in the form and at
// the anchor the settings give.
void ClickHighlighted(const ListState& list, const char* click_name) {
    const TrayEntry* entry = GetTrayIcon(list.selected);
    if (!entry) return;
    const int version = config.notify_version;
    PostClick(IconOf(*entry), *FindClickName(click_name), version,
              ClickPoint(version, ANCHOR_ROW, list));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string_view> records = fuzz::Records(data, size);
    fuzz::StartPlugin();

    std::string rc;
    for (size_t k = 0; k < KEY_COUNT && k < records.size(); ++k)
        if (!records[k].empty()) rc += std::string(KEYS[k]) + " " + std::string(records[k]) + "\n";
    fake::host.rc_text = rc;
    ReadConfig();
    RequireSettingsInRange();

    std::string_view numbers = records.size() > KEY_COUNT ? records[KEY_COUNT] : "";
    fake::platform.screen_width = fuzz::NextInt(numbers, 800);
    fake::platform.screen_height = fuzz::NextInt(numbers, 600);
    // Text the platform measures is never of negative or astronomic size.
    fake::platform.text_height = std::clamp(fuzz::NextInt(numbers, 13), 0, MAX_TEXT_SIZE);
    fake::platform.char_width = std::clamp(fuzz::NextInt(numbers, 8), 0, MAX_TEXT_SIZE);
    const int rows = std::clamp(fuzz::NextInt(numbers, 3), 0, MAX_ROWS);
    const int selected = fuzz::NextInt(numbers, 0);
    const int window_width = fuzz::NextInt(numbers, 0);
    const int window_height = fuzz::NextInt(numbers, 0);
    const int work_width = fuzz::NextInt(numbers, 800);
    const int work_height = fuzz::NextInt(numbers, 600);
    fake::platform.monitors[0].work = {0, 0, work_width, work_height};

    for (size_t k = KEY_COUNT + 1; k < records.size(); ++k) {
        if (fake::host.tray.size() >= MAX_TRAY_ENTRIES) break;
        const intptr_t owner = 100 + static_cast<intptr_t>(fake::host.tray.size());
        fake::AddTrayEntry(fake::LiveWindow(owner), 7, 1025, 600, records[k]);
    }

    // A shown list whose rows were counted before entries may have vanished.
    ListState list = {1, rows > 0 ? static_cast<int>(static_cast<unsigned>(selected) % rows) : 0,
                      rows};
    SetWindowPos(hListWnd, nullptr, 0, 0, window_width, window_height, 0);
    PaintList(hListWnd, list);
    ClickHighlighted(list, "LeftDoubleClick");
    list.window_rows =
        LayoutList(list, config.placement == PLACEMENT_MONITOR ? UserMonitor() : nullptr);
    Require(RowsShown(list) >= 0 && RowsShown(list) <= rows, "the window shows at most every row");
    PaintList(hListWnd, list);
    ClickHighlighted(list, "RightDoubleClick");
    // And the list as the user shows it over that tray, clicked.
    HandleBroam("@Marrowick.Prev");
    HandleBroam("@Marrowick.Send MiddleDoubleClick");
    fuzz::RequireNothingLeftOpen();
    return 0;
}
