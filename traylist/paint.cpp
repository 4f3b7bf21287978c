// Painting the list, every row from the host's entries as they are now.
#include "traylist/paint.h"

#include "config/config.h"
#include "host/host.h"
#include "traylist/rows.h"
#include "traylist/tiptext.h"

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
    if (selected) PaintHighlight(dc, r, content_height, styles);
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

// Returns the entry drawn highlighted, null for none.
const TrayEntry* PaintRows(HDC dc, RECT r, const ListState& list, const PaintStyles& styles) {
    const Padding& base = config.base_padding;
    const Padding& tip = config.tip_padding;
    const int content_height =
        ClampToInt(RowPitch(list, Wide{r.bottom} - r.top) - tip.top - tip.bottom);
    r.left = ClampToInt(Wide{r.left} + tip.left + base.left);
    r.top = ClampToInt(Wide{r.top} + base.top);
    r.right = ClampToInt(Wide{r.right} - tip.right - base.right);

    HFONT font = CreateStyleFont(styles.base);
    HGDIOBJ previous_font = SelectObject(dc, font);
    SetTextColor(dc, styles.base_text);
    SetBkMode(dc, TRANSPARENT);
    const TrayEntry* highlighted = nullptr;
    const int end = list.first + RowsShown(list);
    for (int i = list.first; i < end; ++i) {
        const TrayEntry* entry = GetTrayIcon(i);
        if (!entry) break;
        if (i == list.selected) highlighted = entry;
        PaintRow(dc, *entry, i == list.selected, content_height, r, styles);
    }
    SelectObject(dc, previous_font);
    DeleteObject(font);
    return highlighted;
}

}  // namespace

const TrayEntry* PaintList(HWND window, const ListState& list) {
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
    const TrayEntry* highlighted = list.count > 0 ? PaintRows(dc, client, list, styles) : nullptr;
    EndPaint(window, &paint);
    return highlighted;
}
