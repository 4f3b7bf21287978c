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
// every handler does nothing.
#include "config/config.h"
#include "plugin/module.h"
#include "traylist/traylist.h"

namespace {

// The window system sends a mouse move whenever a window appears, hides or
// moves, the pointer standing still: over a list that appears under it, or
// after the user moved the highlight with the keys. The highlight follows the
// pointer only when it stands somewhere else than at the last move seen, or
// than when the list was shown.
POINT last_pointer;

// The buttons that went down in the list while it was shown: a button-up
// acts only after its own down, not when the list appeared under a held
// button.
int buttons_down;

int wheel_delta;  // the wheel's turn not yet worth a notch
BYTE lead_byte;   // the first byte of a double-byte character typed, until its second

constexpr int WHEEL_SCROLL_ROWS = 3;  // rows a notch of WHEEL_DELTA scrolls, as in list boxes

bool TakesInput() { return list_settings.interactive && list_state.visible; }

int PointX(LPARAM point) { return static_cast<short>(LOWORD(point)); }
int PointY(LPARAM point) { return static_cast<short>(HIWORD(point)); }

bool PointerHasMoved() {
    const DWORD at = GetMessagePos();
    const POINT pointer = {PointX(at), PointY(at)};
    if (pointer.x == last_pointer.x && pointer.y == last_pointer.y) return false;
    last_pointer = pointer;
    return true;
}

int RowUnder(HWND window, LPARAM where) {
    RECT client = {};
    GetClientRect(window, &client);
    return RowAt(client.bottom - client.top, PointY(where));
}

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

void MovePage(int direction) {
    const int row = list_state.selected + direction * RowsShown();
    MoveHighlight(row < 0 ? 0 : row > LastRow() ? LastRow() : row);
}

}  // namespace

void ForgetInput() {
    GetCursorPos(&last_pointer);
    buttons_down = 0;
    wheel_delta = 0;
    lead_byte = 0;
    ForgetTyping();
}

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
            MoveHighlight(LastRow());
            break;
        case VK_PRIOR:
            MovePage(-1);
            break;
        case VK_NEXT:
            MovePage(1);
            break;
        case VK_RETURN:
            SendAndHide(list_settings.enter_click, ANCHOR_ROW);
            break;
        case VK_ESCAPE:
            HideList();
            break;
    }
}

// A double-byte character reaches a window of the ANSI code page as two
// WM_CHAR messages, its lead byte first; some systems pack both bytes into
// one, the lead byte in the upper half.
void OnListChar(WPARAM character) {
    if (!TakesInput()) return;
    const char byte = static_cast<char>(character);
    char typed[2];
    int length = 0;
    if (character > 0xFF || lead_byte) {
        typed[0] = static_cast<char>(character > 0xFF ? character >> 8 : lead_byte);
        typed[1] = byte;
        length = 2;
        lead_byte = 0;
    } else if (IsCharAlphaNumericA(byte)) {
        typed[0] = byte;
        length = 1;
    } else if (IsDBCSLeadByte(static_cast<BYTE>(byte))) {
        lead_byte = static_cast<BYTE>(byte);
    }
    if (length) TypeAhead(typed, length, static_cast<DWORD>(GetMessageTime()));
}

// The default processing turns the Apps key and Shift+F10 into WM_CONTEXTMENU
// at -1, -1; the one it makes of a right button-up comes after the list has
// acted on that button and hidden.
void OnListContextMenu(LPARAM where) {
    if (!TakesInput() || PointX(where) != -1 || PointY(where) != -1) return;
    SendAndHide("RightClick", ANCHOR_ROW);
}

void OnListMouseMove(HWND window, LPARAM where) {
    if (!TakesInput() || !PointerHasMoved()) return;
    const int row = RowUnder(window, where);
    if (row >= 0 && row != list_state.selected) MoveHighlight(row);
}

void OnListButtonDown(UINT message) {
    if (TakesInput()) buttons_down |= ButtonBit(message);
}

void OnListButtonUp(HWND window, UINT message, LPARAM where) {
    if (!TakesInput() || !(buttons_down & ButtonBit(message))) return;
    buttons_down &= ~ButtonBit(message);
    const int row = RowUnder(window, where);
    if (row < 0) return;
    if (row != list_state.selected) MoveHighlight(row);
    SendAndHide(ButtonClick(message), ANCHOR_MESSAGE);
}

// The wheel scrolls a list taller than its window by whole notches, keeping
// the highlight on a row in view.
void OnListWheel(WPARAM state) {
    const int rows = RowsShown();
    if (!TakesInput() || rows >= list_state.count) return;
    wheel_delta += static_cast<short>(HIWORD(state));
    const int notches = wheel_delta / WHEEL_DELTA;
    wheel_delta -= notches * WHEEL_DELTA;
    if (notches) ScrollRows(-notches * WHEEL_SCROLL_ROWS);
}

// A message box of the list's own, such as a report, leaves it shown.
void OnListActivate(HWND window, WPARAM state, LPARAM other) {
    if (!TakesInput() || LOWORD(state) != WA_INACTIVE) return;
    const HWND activated = reinterpret_cast<HWND>(other);
    if (activated && GetWindow(activated, GW_OWNER) == window) return;
    HideOnDeactivation();
}

// The window class has no cursor of its own; the pointer over an interactive
// list is the arrow, not whatever the window left behind had set.
void OnListSetCursor() {
    if (TakesInput()) SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}
