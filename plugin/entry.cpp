// The three exported entry points through which the host starts, stops and
// identifies the plug-in, and the list window they create and destroy.
#include "config/config.h"
#include "plugin/module.h"
#include "plugin/plugin.h"
#include "plugin/version.h"

namespace {

constexpr char CLASS_NAME[] = "Marrowick";

}  // namespace

extern "C" int beginPlugin(HINSTANCE instance) {
    hPluginInstance = instance;
    ReadConfig();

    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = WndProc;
    window_class.hInstance = instance;
    window_class.lpszClassName = CLASS_NAME;
    if (!RegisterClassA(&window_class)) return 1;

    hListWnd = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, CLASS_NAME, nullptr, WS_POPUP, 0,
                               0, 0, 0, nullptr, nullptr, instance, nullptr);
    if (!hListWnd) {
        UnregisterClassA(CLASS_NAME, instance);
        return 1;
    }
    return 0;
}

extern "C" void endPlugin(HINSTANCE instance) {
    DestroyWindow(hListWnd);
    UnregisterClassA(CLASS_NAME, instance);
}

extern "C" const char* pluginInfo(int query) {
    switch (query) {
        case PLUGIN_VERSION_QUERY:
            return MARROWICK_VERSION;
        case PLUGIN_AUTHOR_QUERY:
            return MARROWICK_AUTHOR;
        case PLUGIN_RELEASE_DATES_QUERY:
            return MARROWICK_RELEASE_DATES;
        case PLUGIN_HOME_PAGE_QUERY:
            return MARROWICK_HOME_PAGE;
        case PLUGIN_EMAIL_QUERY:
            return MARROWICK_EMAIL;
        default:
            return MARROWICK_NAME;
    }
}
