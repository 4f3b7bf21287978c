// The plug-in's settings: one module-global record that starts with the
// compiled-in defaults and is refilled from "Marrowick.rc" beside the module.
#pragma once

#include <windows.h>

// Pixels on the four sides of a box, in the order the rc values give them.
struct Padding {
    int top;
    int right;
    int bottom;
    int left;
};

constexpr int CONVERTED_NEW_LINE_SIZE = 16;  // at most 15 characters and the NUL

// The notification versions a tray program may declare with NIM_SETVERSION,
// numbered as shellapi.h numbers them; 0 stands for a program that declared
// none. They decide the form a click is delivered in.
constexpr int NOTIFYICON_VERSION = 3;
constexpr int NOTIFYICON_VERSION_4 = 4;

// Room for the longest click name, "MiddleDoubleClick", with space to spare.
constexpr int CLICK_NAME_SIZE = 24;

// White space in rc values and bro@ms: the space, tabs and line breaks.
constexpr bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The click form of single programs: an executable's file name, without a
// folder ("mail.exe", compared without regard to case), and the notification
// version its icons get instead of notify_version. A fixed table, in the
// order the rc value gives them.
constexpr int PROGRAM_VERSIONS_SIZE = 32;
struct ProgramVersion {
    char program[MAX_PATH];
    int version;
};
struct ProgramVersions {
    int count;
    ProgramVersion pairs[PROGRAM_VERSIONS_SIZE];
};

// Where the list is shown: centred on the primary screen, or on the work area
// of the monitor the user works on.
constexpr int PLACEMENT_SCREEN = 0;
constexpr int PLACEMENT_MONITOR = 1;

struct Config {
    int screen_width;         // used only when the system reports no screen width
    int screen_height;        // used only when the system reports no screen height
    Padding base_padding;     // between the window edge and the rows
    int base_style;           // background, font and normal text colour
    int base_border;          // 1: frame the background
    Padding tip_padding;      // between a row's highlight edge and its content
    int tip_style;            // highlight and highlighted text colour
    int tip_border;           // 1: frame the highlight
    int icon_tip_padding;     // between icon and text
    int icon_size;            // icon width and height; 0 draws no icon
    int do_convert_new_line;  // 1: show multi-line tips on one line
    char converted_new_line[CONVERTED_NEW_LINE_SIZE];  // what replaces each line feed
    int notify_version;  // click form: 0, NOTIFYICON_VERSION or NOTIFYICON_VERSION_4
    int interactive;     // 1: the shown list answers keys, the mouse and screen readers
    char enter_click[CLICK_NAME_SIZE];  // what Enter and the left button send
    int placement;                      // PLACEMENT_SCREEN or PLACEMENT_MONITOR
};

extern Config config;

// The programs whose icons get another click form, read with config from
// "marrowick.notify_version_by_program:"; empty until then. Kept apart from
// config, whose defaults the module's file holds: this table starts empty
// and takes no room there.
extern ProgramVersions notify_version_by_program;

// The compiled-in defaults, the same as those of an empty rc file.
constexpr Config DEFAULT_CONFIG = {
    640,
    480,
    {0, 0, 0, 0},
    8,
    0,
    {2, 13, 2, 4},
    9,
    0,
    4,
    16,
    1,
    " / ",
    0,
    0,
    "LeftDoubleClick",
    PLACEMENT_SCREEN,
};

// The style names an rc value may use, searched in this order.
struct StyleName {
    const char* name;
    int index;
};
constexpr StyleName STYLE_NAMES[] = {
    {"toolbar", 1},    {"toolbar.label", 4}, {"toolbar.windowlabel", 5}, {"toolbar.clock", 6},
    {"menu.title", 7}, {"menu.frame", 8},    {"menu.hilite", 9},
};
constexpr int UNKNOWN_STYLE_INDEX = 1;

constexpr char CONFIG_FILE_NAME[] = "Marrowick.rc";

// Refills config from the rc file; reports and keeps the old values when the
// file's path cannot be built.
void ReadConfig();

// The directory of the plug-in module, with its trailing backslash. 1 on
// success, 0 when the module's file name cannot be had whole.
int GetPluginDir(char* buffer, int size);

// The directory of the plug-in module followed by name. 1 on success, 0 when
// the directory cannot be had or the result does not fit.
int MakeConfigPath(char* buffer, int size, const char* name);

// The readers that turn one rc value into a setting.
Padding ReadPadding(const char* path, const char* key, const char* default_text);
int ReadStyleIndex(const char* path, const char* key, const char* default_name);
int ReadBool(const char* path, const char* key, const char* default_text);
void ReadQuotedString(const char* path, const char* key, const char* default_text,
                      char* destination, int size);
int ReadNotifyVersion(const char* path, const char* key);
int ReadPlacement(const char* path, const char* key);
// Fills versions from "program=N, program=N..."; reports the first pair it
// skips, if any.
void ReadProgramVersions(const char* path, const char* key, ProgramVersions* versions);
