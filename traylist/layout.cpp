// Sizing the list window for its rows and centring it on the screen.
#include "config/config.h"
#include "host/host.h"
#include "plugin/module.h"
#include "traylist/geometry.h"
#include "traylist/tiptext.h"
#include "traylist/traylist.h"

namespace {

struct TextSize {
    int width;
    int height;
};

// The widest and the tallest of the rows' one-line texts in the base style's
// font; the height is never less than the icon.
TextSize MeasureRows(HDC dc) {
    TextSize largest = {0, config.icon_size};
    RECT measured = {};
    char scratch[TIP_BUFFER_SIZE];
    for (int i = 0; i < list_state.count; ++i) {
        const TrayEntry* entry = GetTrayIcon(i);
        if (!entry) break;
        DrawTextA(dc, RowText(*entry, scratch), -1, &measured,
                  DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
        if (measured.bottom > largest.height) largest.height = measured.bottom;
        if (measured.right > largest.width) largest.width = measured.right;
    }
    return largest;
}

}  // namespace

int GetScreenWidth() {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    return width > 0 ? width : config.screen_width;
}

int GetScreenHeight() {
    const int height = GetSystemMetrics(SM_CYSCREEN);
    return height > 0 ? height : config.screen_height;
}

void LayoutList() {
    StyleRecord* base_style = GetSettingPtr(config.base_style);
    HDC dc = GetDC(hListWnd);
    if (!dc) return;
    HFONT font = CreateStyleFont(base_style);
    HGDIOBJ previous_font = SelectObject(dc, font);
    const TextSize text = MeasureRows(dc);
    SelectObject(dc, previous_font);
    DeleteObject(font);
    ReleaseDC(hListWnd, dc);

    const Padding& base = config.base_padding;
    const Padding& tip = config.tip_padding;
    const int width = ClampToInt(Wide{text.width} + tip.left + tip.right + config.icon_size +
                                 config.icon_tip_padding + base.left + base.right);
    const int row_height = ClampToInt(Wide{text.height} + tip.top + tip.bottom);
    const int height = ClampToInt(Wide{row_height} * list_state.count + base.top + base.bottom);
    const int x = GetScreenWidth() / 2 - width / 2;
    const int y = GetScreenHeight() / 2 - height / 2;
    SetWindowPos(hListWnd, nullptr, x, y, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}
