// The plug-in's settings during a stress run: a new Marrowick.rc, drawn at
// random, and the plug-in reconfigured to read it.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "devhost/shell/shell.h"
#include "devhost/stress/run.h"
#include "host/host.h"

namespace stress {
namespace {

// "1 2 3 4", "1 2 3", "1 2" or "1" for the sides, as the rc syntax allows.
std::string PaddingText(const Sides& p, int form) {
    char text[64];
    if (form == 0 && p.top == p.right && p.top == p.bottom && p.top == p.left)
        std::snprintf(text, sizeof text, "%d", p.top);
    else if (form <= 1 && p.top == p.bottom && p.left == p.right)
        std::snprintf(text, sizeof text, "%d %d", p.top, p.right);
    else if (form <= 2 && p.left == p.right)
        std::snprintf(text, sizeof text, "%d %d %d", p.top, p.right, p.bottom);
    else
        std::snprintf(text, sizeof text, "%d %d %d %d", p.top, p.right, p.bottom, p.left);
    return text;
}

}  // namespace

// The plug-in reads a new Marrowick.rc; the host's model takes its base
// padding, which places the rows.
void Stress::Reconfigure() {
    Sides base = {0, 0, 0, 0};
    const Click* enter_click = nullptr;
    const std::string rc = RandomRc(&base, &enter_click);
    std::ofstream file(rc_path_, std::ios::binary | std::ios::trunc);
    file << rc;
    file.close();
    base_ = base;
    enter_click_ = enter_click;
    Deliver(MSG_RECONFIGURE, 0, 0);
    ++counts_.reconfigures;
}

// A new Marrowick.rc: paddings in every form the syntax has, icons from none
// to large, conversion on and off, separators quoted, unquoted, empty, a lone
// quote and too long, borders on and off, style names in any case; in an
// interactive run the list takes input, with Enter sending any of the click
// names. *base_padding is the base padding it sets, *enter_click the click
// Enter sends (none when the list takes no input).
std::string Stress::RandomRc(Sides* base_padding, const Click** enter_click) {
    static const char* const SEPARATORS[] = {
        "\" / \"", "|", "\"\"", "\"", "\" ~~~~~~~~~~~ \"", "\"0123456789abcdefghij\""};
    static const char* const BOOLS[] = {"true", "false", "TRUE", "yes"};
    static const int ICON_SIZES[] = {0, 8, 16, 24, 32};
    Sides base = RandomSides(10), tip = RandomSides(8);
    if (Chance(0.3)) base = {base.top, base.top, base.top, base.top};
    std::ostringstream rc;
    rc << "# written by the host's stress command\n"
       << "marrowick.base_padding: " << PaddingText(base, Pick(4)) << "\n"
       << "Marrowick.Tip_Padding:   " << PaddingText(tip, Pick(4)) << "  \n"
       << "marrowick.icon_size: " << ICON_SIZES[Pick(5)] << "\n"
       << "marrowick.icon_tip_padding: " << Pick(10) << "\n"
       << "marrowick.do_convert_new_line: " << BOOLS[Pick(4)] << "\n"
       << "marrowick.converted_new_line: " << SEPARATORS[Pick(6)] << "\n"
       << "marrowick.base_border: " << BOOLS[Pick(4)] << "\n"
       << "marrowick.tip_border: " << BOOLS[Pick(4)] << "\n"
       << "marrowick.base_style: " << (Chance(0.5) ? "menu.frame" : "MENU.Frame") << "\n"
       << "marrowick.tip_style: " << (Chance(0.5) ? "menu.hilite" : "Menu.HiLite") << "\n";
    *enter_click = nullptr;
    if (interactive_) {
        *enter_click = &CLICKS[Pick(6)];
        rc << "marrowick.interactive: true\n"
           << "marrowick.enter_click: " << (*enter_click)->name << "\n";
    }
    *base_padding = base;
    return rc.str();
}

// Four sides from 0 to most each, drawn top, right, bottom, left.
Sides Stress::RandomSides(int most) {
    return Sides{Pick(most + 1), Pick(most + 1), Pick(most + 1), Pick(most + 1)};
}

}  // namespace stress
