// The keys and mouse actions an interactive list answers while it is shown.
// The keys are those of list boxes and of the notification area's keyboard
// access: Down and Up move the highlight with wrap-around, Home and End go to
// the first and the last row, a letter or digit searches (type-ahead), Enter
// sends the configured click, the Apps key and Shift+F10 a right click, and
// Escape hides the list. The mouse highlights the row it moves over and acts
// on a row when a button comes up on it, like a menu item. The list hides
// when it loses activation, as after Cancel. Without the setting, or with the
// list hidden, every handler does nothing.
#include "config/config.h"
#include "plugin/module.h"
#include "traylist/traylist.h"

namespace {

// The window system moves the pointer over a list that appears under it
// without the user moving it; the highlight follows the pointer only once it
// has left the place it had when the list was shown.
POINT pointer_at_show;
int pointer_moved;

bool TakesInput() { return config.interactive && list_state.visible; }

int PointX(LPARAM point) { return static_cast<short>(LOWORD(point)); }
int PointY(LPARAM point) { return static_cast<short>(HIWORD(point)); }

// Sends the click to the highlighted row's owner and hides, as "Send" does.
void Confirm(const char* click_name, int anchor) {
    SendClick(click_name, anchor);
    HideList();
}

bool PointerHasMoved() {
    if (pointer_moved) return true;
    const DWORD at = GetMessagePos();
    pointer_moved = PointX(at) != pointer_at_show.x || PointY(at) != pointer_at_show.y;
    return pointer_moved;
}

int RowUnder(HWND window, LPARAM where) {
    RECT client = {};
    GetClientRect(window, &client);
    return RowAt(client.bottom - client.top, PointY(where));
}

const char* ButtonClick(UINT button_up) {
    if (button_up == WM_LBUTTONUP) return config.enter_click;
    return button_up == WM_RBUTTONUP ? "RightClick" : "MiddleClick";
}

}  // namespace

void RememberPointer() {
    GetCursorPos(&pointer_at_show);
    pointer_moved = 0;
}

void OnListKey(WPARAM key) {
    if (!TakesInput()) return;
    const int last = list_state.count > 0 ? list_state.count - 1 : 0;
    switch (key) {
        case VK_DOWN:
            HighlightNext();
            break;
        case VK_UP:
            HighlightPrevious();
            break;
        case VK_HOME:
            MoveHighlight(0);
            break;
        case VK_END:
            MoveHighlight(last);
            break;
        case VK_RETURN:
            Confirm(config.enter_click, ANCHOR_ROW);
            break;
        case VK_ESCAPE:
            HideList();
            break;
    }
}

void OnListChar(WPARAM character) {
    if (!TakesInput() || !IsCharAlphaNumericA(static_cast<char>(character))) return;
    TypeAhead(static_cast<char>(character), static_cast<DWORD>(GetMessageTime()));
}

// The default processing turns the Apps key and Shift+F10 into WM_CONTEXTMENU
// at -1, -1; the one it makes of a right button-up comes after the list has
// acted on that button and hidden.
void OnListContextMenu(LPARAM where) {
    if (!TakesInput() || PointX(where) != -1 || PointY(where) != -1) return;
    Confirm("RightClick", ANCHOR_ROW);
}

void OnListMouseMove(HWND window, LPARAM where) {
    if (!TakesInput() || !PointerHasMoved()) return;
    const int row = RowUnder(window, where);
    if (row >= 0 && row != list_state.selected) MoveHighlight(row);
}

void OnListButtonUp(HWND window, UINT message, LPARAM where) {
    if (!TakesInput()) return;
    const int row = RowUnder(window, where);
    if (row < 0) return;
    if (row != list_state.selected) MoveHighlight(row);
    Confirm(ButtonClick(message), ANCHOR_POINTER);
}

// A message box of the list's own, such as a report, leaves it shown.
void OnListActivate(HWND window, WPARAM state, LPARAM other) {
    if (!TakesInput() || LOWORD(state) != WA_INACTIVE) return;
    const HWND activated = reinterpret_cast<HWND>(other);
    if (activated && GetWindow(activated, GW_OWNER) == window) return;
    HideList();
}

// The window class has no cursor of its own; the pointer over an interactive
// list is the arrow, not whatever the window left behind had set.
void OnListSetCursor() {
    if (TakesInput()) SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}
