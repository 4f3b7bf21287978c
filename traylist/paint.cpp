// Painting the list: the base style's background, the highlight behind the
// selected row, and each row's icon and one-line tip text.
#include "config/config.h"
#include "host/host.h"
#include "traylist/geometry.h"
#include "traylist/tiptext.h"
#include "traylist/traylist.h"

namespace {

struct PaintStyles {
    StyleRecord* base;
    StyleRecord* tip;
    COLORREF base_text;
    COLORREF tip_text;
};

void PaintHighlight(HDC dc, const RECT& row, int content_height, const PaintStyles& styles) {
    const Padding& tip = config.tip_padding;
    RECT highlight = {ClampToInt(Wide{row.left} - tip.left), row.top,
                      ClampToInt(Wide{row.right} + tip.right),
                      ClampToInt(Wide{row.top} + tip.top + content_height + tip.bottom)};
    MakeStyleGradient(dc, &highlight, styles.tip, config.tip_border != 0);
    SetTextColor(dc, styles.tip_text);
}

// Draws row i with r.top at the row's top; leaves r.top at the next row's.
void PaintRow(HDC dc, const TrayEntry& entry, bool selected, int content_height, RECT& r,
              const PaintStyles& styles) {
    const Padding& tip = config.tip_padding;
    if (selected) {
        PaintHighlight(dc, r, content_height, styles);
        NoteShownEntry(entry);
    }
    r.top = ClampToInt(Wide{r.top} + tip.top);
    RECT text = {r.left, r.top, r.right, ClampToInt(Wide{r.top} + content_height)};
    if (config.icon_size > 0) {
        DrawIconEx(dc, r.left, r.top, entry.hIcon, config.icon_size, config.icon_size, 0, nullptr,
                   DI_NORMAL);
        text.left = ClampToInt(Wide{r.left} + config.icon_size + config.icon_tip_padding);
    }
    char scratch[TIP_BUFFER_SIZE];
    DrawTextA(dc, RowText(entry, scratch), -1, &text, DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER);
    r.top = ClampToInt(Wide{r.top} + content_height + tip.bottom);
    if (selected) SetTextColor(dc, styles.base_text);
}

void PaintRows(HDC dc, RECT r, const PaintStyles& styles) {
    const Padding& base = config.base_padding;
    const Padding& tip = config.tip_padding;
    const int content_height = ClampToInt(RowPitch(Wide{r.bottom} - r.top) - tip.top - tip.bottom);
    r.left = ClampToInt(Wide{r.left} + tip.left + base.left);
    r.top = ClampToInt(Wide{r.top} + base.top);
    r.right = ClampToInt(Wide{r.right} - tip.right - base.right);

    HFONT font = CreateStyleFont(styles.base);
    HGDIOBJ previous_font = SelectObject(dc, font);
    SetTextColor(dc, styles.base_text);
    SetBkMode(dc, TRANSPARENT);
    const int end = list_state.first + RowsShown();
    for (int i = list_state.first; i < end; ++i) {
        const TrayEntry* entry = GetTrayIcon(i);
        if (!entry) break;
        PaintRow(dc, *entry, i == list_state.selected, content_height, r, styles);
    }
    SelectObject(dc, previous_font);
    DeleteObject(font);
}

}  // namespace

void PaintList(HWND window) {
    PaintStyles styles;
    styles.base = GetSettingPtr(config.base_style);
    styles.tip = GetSettingPtr(config.tip_style);
    styles.base_text = styles.base->TextColor;
    styles.tip_text = styles.tip->TextColor;

    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client = {};
    GetClientRect(window, &client);
    MakeStyleGradient(dc, &client, styles.base, config.base_border != 0);
    if (list_state.count > 0) PaintRows(dc, client, styles);
    EndPaint(window, &paint);
}
