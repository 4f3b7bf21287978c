// A stand-in for <windows.h> in the native build: exactly the types, constants
// and functions the plug-in uses. The functions are defined in fake_win32.cpp,
// which records every call and answers with results a test has scripted.
#pragma once

#include <strings.h>

#include <cstdint>

#define WINAPI
#define CALLBACK
#define APIENTRY

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef unsigned int UINT;
typedef unsigned long DWORD;
typedef WORD ATOM;
typedef uint32_t COLORREF;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef const char* LPCSTR;
typedef char* LPSTR;

// Handles are distinct pointer types, as with STRICT, so that mixing them up
// does not compile.
#define FAKE_DECLARE_HANDLE(name) \
    struct name##__ {             \
        int unused;               \
    };                            \
    typedef struct name##__* name
FAKE_DECLARE_HANDLE(HWND);
FAKE_DECLARE_HANDLE(HINSTANCE);
FAKE_DECLARE_HANDLE(HDC);
FAKE_DECLARE_HANDLE(HICON);
FAKE_DECLARE_HANDLE(HCURSOR);
FAKE_DECLARE_HANDLE(HBRUSH);
FAKE_DECLARE_HANDLE(HMENU);
FAKE_DECLARE_HANDLE(HFONT);
FAKE_DECLARE_HANDLE(HMONITOR);
#undef FAKE_DECLARE_HANDLE
typedef HINSTANCE HMODULE;
typedef void* HANDLE;
typedef void* HGDIOBJ;
typedef void* LPVOID;

typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);

struct POINT {
    int x;
    int y;
};

struct RECT {
    int left;
    int top;
    int right;
    int bottom;
};
typedef RECT* LPRECT;

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
};

struct MONITORINFO {
    DWORD cbSize;
    RECT rcMonitor;
    RECT rcWork;
    DWORD dwFlags;
};

struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
};

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

// Window messages.
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_CONTEXTMENU = 0x007B;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_MBUTTONDBLCLK = 0x0209;
constexpr UINT WM_MOUSEWHEEL = 0x020A;
constexpr int WHEEL_DELTA = 120;  // one notch of the mouse wheel
constexpr UINT WM_USER = 0x0400;

// WM_ACTIVATE states.
constexpr WORD WA_INACTIVE = 0;
constexpr WORD WA_ACTIVE = 1;

// Virtual keys.
constexpr WPARAM VK_RETURN = 0x0D;
constexpr WPARAM VK_ESCAPE = 0x1B;
constexpr WPARAM VK_PRIOR = 0x21;
constexpr WPARAM VK_NEXT = 0x22;
constexpr WPARAM VK_END = 0x23;
constexpr WPARAM VK_HOME = 0x24;
constexpr WPARAM VK_LEFT = 0x25;
constexpr WPARAM VK_UP = 0x26;
constexpr WPARAM VK_RIGHT = 0x27;
constexpr WPARAM VK_DOWN = 0x28;
constexpr WPARAM VK_APPS = 0x5D;
constexpr WPARAM VK_F10 = 0x79;

// Accessibility events and objects.
constexpr DWORD EVENT_OBJECT_FOCUS = 0x8005;
constexpr DWORD EVENT_OBJECT_NAMECHANGE = 0x800C;
constexpr long OBJID_CLIENT = -4;
constexpr long CHILDID_SELF = 0;

// GetWindow relations, monitors and cursors.
constexpr UINT GW_OWNER = 4;
constexpr DWORD MONITOR_DEFAULTTONEAREST = 2;
#define IDC_ARROW (reinterpret_cast<LPCSTR>(32512))

// Two 16-bit halves packed into a message parameter, as the Windows macros
// pack them: each half is cut to its low 16 bits, so a negative coordinate
// arrives as the low word of its two's complement.
constexpr DWORD MAKELONG(int low, int high) {
    return static_cast<WORD>(low) | static_cast<DWORD>(static_cast<WORD>(high)) << 16;
}
constexpr WPARAM MAKEWPARAM(int low, int high) { return MAKELONG(low, high); }
constexpr WORD LOWORD(uintptr_t value) { return static_cast<WORD>(value & 0xFFFF); }
constexpr WORD HIWORD(uintptr_t value) { return static_cast<WORD>(value >> 16 & 0xFFFF); }
constexpr LPARAM MAKELPARAM(int low, int high) { return MAKELONG(low, high); }

// Window and extended window styles.
constexpr DWORD WS_POPUP = 0x80000000UL;
constexpr DWORD WS_EX_TOPMOST = 0x00000008UL;
constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080UL;

// ShowWindow commands and SetWindowPos flags.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOW = 5;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_NOOWNERZORDER = 0x0200;

// System metrics.
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;

// Text drawing.
constexpr UINT DT_VCENTER = 0x0004;
constexpr UINT DT_SINGLELINE = 0x0020;
constexpr UINT DT_CALCRECT = 0x0400;
constexpr UINT DT_NOPREFIX = 0x0800;
constexpr int TRANSPARENT = 1;
constexpr UINT DI_NORMAL = 0x0003;

constexpr int MAX_PATH = 260;
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(-1))

// Message boxes.
constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_SETFOREGROUND = 0x00010000;
constexpr UINT MB_TOPMOST = 0x00040000;

// KERNEL32
DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);
BOOL IsDBCSLeadByte(BYTE byte);
BOOL CloseHandle(HANDLE object);

// USER32
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
ATOM RegisterClassA(const WNDCLASSA* window_class);
BOOL UnregisterClassA(LPCSTR class_name, HINSTANCE instance);
HWND CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR title, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param);
BOOL DestroyWindow(HWND window);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL IsWindow(HWND window);
BOOL ShowWindow(HWND window, int command);
BOOL SetForegroundWindow(HWND window);
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL SetWindowPos(HWND window, HWND insert_after, int x, int y, int cx, int cy, UINT flags);
int GetSystemMetrics(int index);
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
BOOL GetClientRect(HWND window, LPRECT rect);
BOOL GetWindowRect(HWND window, LPRECT rect);
int DrawTextA(HDC dc, LPCSTR text, int length, LPRECT rect, UINT format);
BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT step, HBRUSH flicker_free,
                UINT flags);

BOOL SetWindowTextA(HWND window, LPCSTR text);
void NotifyWinEvent(DWORD event, HWND window, long object, long child);
HWND GetWindow(HWND window, UINT relation);
HWND GetForegroundWindow();
HWND GetFocus();
DWORD GetWindowThreadProcessId(HWND window, DWORD* process_id);
HWND GetDesktopWindow();
HWND GetShellWindow();
BOOL IsWindowVisible(HWND window);
BOOL IsIconic(HWND window);
BOOL GetCursorPos(POINT* point);
DWORD GetMessagePos();
long GetMessageTime();
HMONITOR MonitorFromWindow(HWND window, DWORD flags);
HMONITOR MonitorFromPoint(POINT point, DWORD flags);
BOOL GetMonitorInfoA(HMONITOR monitor, MONITORINFO* info);
DWORD CharUpperBuffA(LPSTR text, DWORD length);
BOOL IsCharAlphaNumericA(char character);
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
HCURSOR SetCursor(HCURSOR cursor);

// GDI32
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
BOOL DeleteObject(HGDIOBJ object);
COLORREF SetTextColor(HDC dc, COLORREF color);
int SetBkMode(HDC dc, int mode);
