// The list window's procedure: it routes the window system's and the host's
// messages to the parts of the plug-in that handle them. Keys and the mouse
// reach the list's input handling, which acts only when the list is
// interactive and shown. Every message but WM_CLOSE then gets the default
// processing.
#include "config/config.h"
#include "host/host.h"
#include "plugin/module.h"
#include "plugin/plugin.h"
#include "traylist/traylist.h"

namespace {

LPARAM MessageList() { return reinterpret_cast<LPARAM>(MESSAGE_LIST); }

void OnCreate(HWND window) {
    SendMessageA(GetBBWnd(), MSG_REGISTER, reinterpret_cast<WPARAM>(window), MessageList());
}

void OnDestroy(HWND window) {
    SendMessageA(GetBBWnd(), MSG_UNREGISTER, reinterpret_cast<WPARAM>(window), MessageList());
    // A later start must not find a stale handle or a list it thinks shown.
    if (window == hListWnd) {
        hListWnd = nullptr;
        ListWindowDestroyed();
    }
}

void OnBroadcast(LPARAM lParam) { HandleBroam(reinterpret_cast<const char*>(lParam)); }

// Alt+F4 on the focused list, or anyone asking the list window to close: the
// default processing would destroy the window, unregister the plug-in from
// the host and leave it deaf to every later bro@m. It is a Cancel instead.
void OnClose() { CancelList(); }

}  // namespace

LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_CREATE:
            OnCreate(window);
            break;
        case WM_DESTROY:
            OnDestroy(window);
            break;
        case WM_PAINT:
            DrawList(window);
            break;
        case MSG_RECONFIGURE:
            ReadConfig();
            break;
        case MSG_BROADCAST:
            OnBroadcast(lParam);
            break;
        case WM_KEYDOWN:
            OnListKey(wParam);
            break;
        case WM_CHAR:
            OnListChar(wParam);
            break;
        case WM_CONTEXTMENU:
            OnListContextMenu(lParam);
            break;
        case WM_MOUSEMOVE:
            OnListMouseMove(window, lParam);
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            OnListButtonDown(message);
            break;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            OnListButtonUp(window, message, lParam);
            break;
        case WM_MOUSEWHEEL:
            OnListWheel(wParam);
            break;
        case WM_ACTIVATE:
            OnListActivate(window, wParam, lParam);
            break;
        case WM_SETCURSOR:
            OnListSetCursor();
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
