// The keys and mouse actions an interactive list answers while it is shown.
// The keys are those of list boxes and of the notification area's keyboard
// access: Down and Up move the highlight with wrap-around, Home and End go to
// the first and the last row, Page Up and Page Down by the rows the window
// shows, a letter or digit searches (type-ahead), Enter sends the configured
// click, the Apps key and Shift+F10 a right click, and Escape hides the list.
// The mouse highlights the row it moves over, acts on a row when a button
// that went down in the list comes up on it, like a menu item, and its wheel
// scrolls a list taller than its window. The list hides when it loses
// activation, as after Cancel. Without the setting, or with the list hidden,
// every handler does nothing. Each handler turns one message into one verb
// of the list.
#include "plugin/module.h"
#include "traylist/list.h"
#include "traylist/rows.h"

namespace {

bool TakesInput() { return list_settings.interactive && list_state.visible; }

int ButtonBit(UINT button_message) {
    switch (button_message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
            return 1;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            return 2;
        default:
            return 4;
    }
}

const char* ButtonClick(UINT button_up) {
    if (button_up == WM_LBUTTONUP) return list_settings.enter_click;
    return button_up == WM_RBUTTONUP ? "RightClick" : "MiddleClick";
}

// A page up or down: by the rows the window shows, as far as there are rows.
int PageRow(int direction) {
    const int row = list_state.selected + direction * RowsShown(list_state);
    const int last = LastRow(list_state);
    return row < 0 ? 0 : row > last ? last : row;
}

}  // namespace

void OnListKey(WPARAM key) {
    if (!TakesInput()) return;
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
            MoveHighlight(LastRow(list_state));
            break;
        case VK_PRIOR:
            MoveHighlight(PageRow(-1));
            break;
        case VK_NEXT:
            MoveHighlight(PageRow(1));
            break;
        case VK_RETURN:
            ClickShown(list_settings.enter_click, ANCHOR_ROW);
            break;
        case VK_ESCAPE:
            HideList();
            break;
    }
}

void OnListChar(WPARAM character) {
    if (TakesInput()) TypeCharacter(character);
}

// The default processing turns the Apps key and Shift+F10 into WM_CONTEXTMENU
// at -1, -1; the one it makes of a right button-up comes after the list has
// acted on that button and hidden.
void OnListContextMenu(LPARAM where) {
    if (TakesInput() && static_cast<short>(LOWORD(where)) == -1 &&
        static_cast<short>(HIWORD(where)) == -1)
        ClickShown("RightClick", ANCHOR_ROW);
}

void OnListMouseMove(HWND window, LPARAM where) {
    if (TakesInput()) PointAt(GetMessagePos(), window, where);
}

void OnListButtonDown(UINT message) {
    if (TakesInput()) PressButton(ButtonBit(message));
}

void OnListButtonUp(HWND window, UINT message, LPARAM where) {
    if (TakesInput()) ReleaseButton(ButtonBit(message), ButtonClick(message), window, where);
}

void OnListWheel(WPARAM state) {
    if (TakesInput()) TurnWheel(static_cast<short>(HIWORD(state)));
}

// A message box of the list's own, such as a report, leaves it shown.
void OnListActivate(HWND window, WPARAM state, LPARAM other) {
    if (!TakesInput() || LOWORD(state) != WA_INACTIVE) return;
    const HWND activated = reinterpret_cast<HWND>(other);
    if (activated && GetWindow(activated, GW_OWNER) == window) return;
    ListDeactivated();
}

// The window class has no cursor of its own; the pointer over an interactive
// list is the arrow, not whatever the window left behind had set.
void OnListSetCursor() {
    if (TakesInput()) SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}
