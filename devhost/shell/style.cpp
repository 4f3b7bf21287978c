// The host's style items: colours, fills, borders and fonts, built in and
// overridable from a style file, and the two functions that paint and make
// fonts from them.
#include <strings.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "devhost/log/log.h"
#include "devhost/shell/shell.h"
#include "host/host.h"

namespace {

enum Fill : int32_t { FILL_SOLID = 0, FILL_VERTICAL = 1, FILL_HORIZONTAL = 2 };

// The host's own layout of a StyleRecord; the plug-in reads only TextColor.
struct HostStyle {
    COLORREF color;         // fill colour, or the gradient's first colour
    COLORREF color_to;      // the gradient's last colour
    int32_t fill;           // Fill
    COLORREF border_color;  // frame colour when a border is asked for
    int32_t border_width;   // frame width in pixels
    int32_t font_height;    // character height in pixels
    COLORREF text_color;    // byte 24, as the plug-in expects
    int32_t font_weight;    // FW_NORMAL, FW_BOLD...
    char font_face[LF_FACESIZE];
};
static_assert(offsetof(HostStyle, text_color) == offsetof(StyleRecord, TextColor));

struct StyleItem {
    const char* name;
    int index;
    HostStyle built_in;
};

// A dark slate theme: gradient frames, a blue highlight, Tahoma.
const StyleItem STYLE_ITEMS[] = {
    {"toolbar",
     1,
     {0x3a3028, 0x241e18, FILL_VERTICAL, 0x000000, 1, 12, 0xd8d0c8, FW_NORMAL, "Tahoma"}},
    {"toolbar.label",
     4,
     {0x4a3c30, 0x3a3028, FILL_VERTICAL, 0x000000, 1, 12, 0xf0e8e0, FW_BOLD, "Tahoma"}},
    {"toolbar.windowlabel",
     5,
     {0x7a5a38, 0x5a4028, FILL_VERTICAL, 0x000000, 1, 12, 0xffffff, FW_BOLD, "Tahoma"}},
    {"toolbar.clock",
     6,
     {0x4a3c30, 0x3a3028, FILL_VERTICAL, 0x000000, 1, 12, 0xf0e8e0, FW_NORMAL, "Tahoma"}},
    {"menu.title",
     7,
     {0x6a4a2a, 0x4a3420, FILL_VERTICAL, 0x100c08, 1, 13, 0xffffff, FW_BOLD, "Tahoma"}},
    {"menu.frame",
     8,
     {0x4a3a2e, 0x2a2018, FILL_VERTICAL, 0x100c08, 1, 13, 0xe8e0d8, FW_NORMAL, "Tahoma"}},
    {"menu.hilite",
     9,
     {0xe0a050, 0xb07028, FILL_VERTICAL, 0xf8d8a8, 1, 13, 0xffffff, FW_NORMAL, "Tahoma"}},
};
constexpr int STYLE_COUNT = sizeof STYLE_ITEMS / sizeof STYLE_ITEMS[0];

HostStyle styles[STYLE_COUNT];
std::vector<HFONT>* font_sink;

// Any other index gets the toolbar style: GetSettingPtr never answers null.
int Slot(int index) {
    for (int i = 0; i < STYLE_COUNT; ++i)
        if (STYLE_ITEMS[i].index == index) return i;
    return 0;
}

// "#rrggbb" as a COLORREF; anything else keeps the old value.
COLORREF ParseColor(const char* text, COLORREF old) {
    if (text[0] != '#' || std::strlen(text) != 7) return old;
    char* end = nullptr;
    const unsigned long rgb = std::strtoul(text + 1, &end, 16);
    if (*end) return old;
    return RGB((rgb >> 16) & 0xff, (rgb >> 8) & 0xff, rgb & 0xff);
}

int32_t ParseFill(const char* text, int32_t old) {
    if (strcasecmp(text, "solid") == 0) return FILL_SOLID;
    if (strcasecmp(text, "vertical") == 0) return FILL_VERTICAL;
    if (strcasecmp(text, "horizontal") == 0) return FILL_HORIZONTAL;
    return old;
}

int32_t ParseWeight(const char* text, int32_t old) {
    if (strcasecmp(text, "normal") == 0) return FW_NORMAL;
    if (strcasecmp(text, "bold") == 0) return FW_BOLD;
    const int weight = std::atoi(text);
    return weight > 0 ? weight : old;
}

// The style file uses the rc syntax, one key per property: "menu.frame.color:".
void ReadStyle(const char* path, const char* name, HostStyle* style) {
    auto text = [&](const char* property) {
        const std::string key = std::string(name) + "." + property + ":";
        return std::string(ReadString(path, key.c_str(), ""));
    };
    auto number = [&](const char* property, int32_t old) {
        const std::string key = std::string(name) + "." + property + ":";
        return ReadInt(path, key.c_str(), old);
    };
    std::string value;
    if (!(value = text("color")).empty())
        style->color = style->color_to = ParseColor(value.c_str(), style->color);
    if (!(value = text("colorTo")).empty())
        style->color_to = ParseColor(value.c_str(), style->color_to);
    if (!(value = text("appearance")).empty()) style->fill = ParseFill(value.c_str(), style->fill);
    if (!(value = text("borderColor")).empty())
        style->border_color = ParseColor(value.c_str(), style->border_color);
    style->border_width = number("borderWidth", style->border_width);
    if (!(value = text("textColor")).empty())
        style->text_color = ParseColor(value.c_str(), style->text_color);
    if (!(value = text("font")).empty())
        lstrcpynA(style->font_face, value.c_str(), sizeof style->font_face);
    style->font_height = number("fontHeight", style->font_height);
    if (!(value = text("fontWeight")).empty())
        style->font_weight = ParseWeight(value.c_str(), style->font_weight);
}

const HostStyle& Of(StyleRecord* record) { return *reinterpret_cast<HostStyle*>(record); }

BYTE Mix(BYTE from, BYTE to, int step, int steps) {
    return static_cast<BYTE>(from + (to - from) * step / (steps > 1 ? steps - 1 : 1));
}

COLORREF MixColor(COLORREF from, COLORREF to, int step, int steps) {
    return RGB(Mix(GetRValue(from), GetRValue(to), step, steps),
               Mix(GetGValue(from), GetGValue(to), step, steps),
               Mix(GetBValue(from), GetBValue(to), step, steps));
}

void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

// One line of pixels per colour step, top to bottom or left to right.
void FillGradient(HDC dc, const RECT& rect, const HostStyle& style, bool vertical) {
    const int steps = vertical ? rect.bottom - rect.top : rect.right - rect.left;
    for (int i = 0; i < steps; ++i) {
        RECT line = rect;
        if (vertical) {
            line.top = rect.top + i;
            line.bottom = line.top + 1;
        } else {
            line.left = rect.left + i;
            line.right = line.left + 1;
        }
        FillSolid(dc, line, MixColor(style.color, style.color_to, i, steps));
    }
}

void Frame(HDC dc, const RECT& rect, const HostStyle& style) {
    HBRUSH brush = CreateSolidBrush(style.border_color);
    RECT r = rect;
    for (int i = 0; i < (style.border_width > 0 ? style.border_width : 1); ++i) {
        if (r.right - r.left <= 0 || r.bottom - r.top <= 0) break;
        FrameRect(dc, &r, brush);
        InflateRect(&r, -1, -1);
    }
    DeleteObject(brush);
}

}  // namespace

void LoadStyles(const std::string& style_file) {
    for (int i = 0; i < STYLE_COUNT; ++i) {
        styles[i] = STYLE_ITEMS[i].built_in;
        if (!style_file.empty()) ReadStyle(style_file.c_str(), STYLE_ITEMS[i].name, &styles[i]);
    }
    Log("styles %s", style_file.empty() ? "built-in" : style_file.c_str());
}

void CollectStyleFonts(std::vector<HFONT>* sink) { font_sink = sink; }

bool SolidStyleColor(int style_index, COLORREF* color) {
    const HostStyle& style = styles[Slot(style_index)];
    if (style.fill != FILL_SOLID && style.color != style.color_to) return false;
    *color = style.color;
    return true;
}

extern "C" StyleRecord* GetSettingPtr(int style_index) {
    return reinterpret_cast<StyleRecord*>(&styles[Slot(style_index)]);
}

extern "C" void MakeStyleGradient(HDC hdc, RECT* rect, StyleRecord* style, bool border) {
    if (!hdc || !rect || !style) return;
    const HostStyle& s = Of(style);
    if (rect->right <= rect->left || rect->bottom <= rect->top) return;
    if (s.fill == FILL_SOLID || s.color == s.color_to)
        FillSolid(hdc, *rect, s.color);
    else
        FillGradient(hdc, *rect, s, s.fill == FILL_VERTICAL);
    if (border) Frame(hdc, *rect, s);
}

extern "C" HFONT CreateStyleFont(StyleRecord* style) {
    const HostStyle& s = Of(style);
    HFONT font = CreateFontA(-s.font_height, 0, 0, 0, s.font_weight, FALSE, FALSE, FALSE,
                             DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, s.font_face);
    if (font_sink && font) font_sink->push_back(font);
    return font;
}
