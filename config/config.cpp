// The configuration record and its refill from the rc file.
#include "config/config.h"

#include "host/host.h"
#include "plugin/module.h"

Config config = DEFAULT_CONFIG;
ProgramVersions notify_version_by_program;

void ReadConfig() {
    char path[MAX_PATH];
    if (!MakeConfigPath(path, sizeof path, CONFIG_FILE_NAME)) {
        ReportError("Failed to get the path to %s", CONFIG_FILE_NAME);
        return;
    }
    config.screen_width = ReadInt(path, "marrowick.screen_width:", 640);
    config.screen_height = ReadInt(path, "marrowick.screen_height:", 480);
    config.base_padding = ReadPadding(path, "marrowick.base_padding:", "0 0 0 0");
    config.base_style = ReadStyleIndex(path, "marrowick.base_style:", "menu.frame");
    config.base_border = ReadBool(path, "marrowick.base_border:", "false");
    config.tip_padding = ReadPadding(path, "marrowick.tip_padding:", "2 13 2 4");
    config.tip_style = ReadStyleIndex(path, "marrowick.tip_style:", "menu.hilite");
    config.tip_border = ReadBool(path, "marrowick.tip_border:", "false");
    config.icon_tip_padding = ReadInt(path, "marrowick.icon_tip_padding:", 4);
    const int icon_size = ReadInt(path, "marrowick.icon_size:", 16);
    config.icon_size = icon_size < 0 ? 0 : icon_size;
    config.do_convert_new_line = ReadBool(path, "marrowick.do_convert_new_line:", "true");
    ReadQuotedString(path, "marrowick.converted_new_line:", " / ", config.converted_new_line,
                     sizeof config.converted_new_line);
    config.notify_version = ReadNotifyVersion(path, "marrowick.notify_version:");
    config.interactive = ReadBool(path, "marrowick.interactive:", "false");
    ReadQuotedString(path, "marrowick.enter_click:", "LeftDoubleClick", config.enter_click,
                     sizeof config.enter_click);
    config.placement = ReadPlacement(path, "marrowick.placement:");
    ReadProgramVersions(path, "marrowick.notify_version_by_program:", &notify_version_by_program);
}
