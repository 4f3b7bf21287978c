// The anchor point of a click in the version-4 form: where on the screen the
// click happened, which a real tray gives as the cursor on the icon. Here it
// is the centre of the highlighted row's icon where the list window stands.
#include <climits>

#include "config/config.h"
#include "plugin/module.h"
#include "traylist/rows.h"

namespace {

// The packed form holds 16 bits a coordinate; a point beyond that range,
// which only extreme paddings give, stops at its edge instead of wrapping to
// the other side of the screen.
int ToShortRange(Wide coordinate) {
    return static_cast<int>(coordinate > SHRT_MAX   ? SHRT_MAX
                            : coordinate < SHRT_MIN ? SHRT_MIN
                                                    : coordinate);
}

}  // namespace

// The rows lie as PaintList draws them in the borderless window, whose client
// area is the whole window: each row is pitch = (window height - base top -
// base bottom) / rows shown pixels tall, truncated, the first row shown base
// top below the window's top. A row's icon is drawn tip top below the row's
// top and base left + tip left from the window's left, icon_size wide and
// tall. So
//   x = left + base left + tip left + icon_size / 2
//   y = top + base top + (selected - first) * pitch + tip top + icon_size / 2
// With icons off (icon_size 0) this is the top left corner of the row's text.
// The sums are worked out in 64 bits, as the layout's are.
WPARAM ClickAnchor(const ListState& list) {
    RECT window;
    if (!GetWindowRect(hListWnd, &window)) return MAKEWPARAM(0, 0);
    const Padding& base = config.base_padding;
    const Padding& tip = config.tip_padding;
    const Wide pitch = RowPitch(list, Wide{window.bottom} - window.top);
    const Wide half_icon = config.icon_size / 2;
    const Wide row = list.selected - list.first;
    const Wide x = Wide{window.left} + base.left + tip.left + half_icon;
    const Wide y = Wide{window.top} + base.top + row * pitch + tip.top + half_icon;
    return MAKEWPARAM(ToShortRange(x), ToShortRange(y));
}
