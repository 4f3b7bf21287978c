// Plug-ins: loading a module, starting it through its three entry points,
// stopping and unloading it, and what a stopped plug-in leaves behind.
#include <cstdio>
#include <string>
#include <vector>

#include "devhost/log/log.h"
#include "devhost/shell/shell.h"

namespace {

struct Plugin {
    std::string path;
    std::string name;
    HMODULE module;
    int (*begin)(HINSTANCE);
    void (*end)(HINSTANCE);
    const char* (*info)(int);
};
std::vector<Plugin> plugins;
int failed_starts;

std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

HINSTANCE Instance(const Plugin& plugin) { return reinterpret_cast<HINSTANCE>(plugin.module); }

void ReportFailedStart(const std::string& path, const char* reason) {
    ++failed_starts;
    Log("plugin failed %s: %s", path.c_str(), reason);
    std::fprintf(stderr, "blackbox: plug-in %s failed to start: %s\n", path.c_str(), reason);
}

// What is left of a stopped plug-in: its windows (top-level ones of its class
// name, anywhere) and its class.
void LogLeftovers(const Plugin& plugin) {
    int windows = 0;
    for (HWND w = FindWindowA(plugin.name.c_str(), nullptr); w && windows < 100;
         w = FindWindowExA(nullptr, w, plugin.name.c_str(), nullptr))
        ++windows;
    WNDCLASSA window_class;
    const int has_class = GetClassInfoA(Instance(plugin), plugin.name.c_str(), &window_class) != 0;
    Log("plugin stopped %s windows=%d class=%d registered=%d", plugin.name.c_str(), windows,
        has_class, RegisteredWindows());
}

// An exported function of the module, of the type the plug-in interface gives it.
template <typename Function>
Function Export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

Plugin* FindPlugin(const std::string& name) {
    for (Plugin& plugin : plugins)
        if (_stricmp(plugin.name.c_str(), name.c_str()) == 0 || plugin.path == name) return &plugin;
    Log("error no plug-in %s", name.c_str());
    return nullptr;
}

}  // namespace

void LoadPlugin(const std::string& path) {
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module) {
        char reason[64];
        std::snprintf(reason, sizeof reason, "cannot load (error %lu)", GetLastError());
        ReportFailedStart(path, reason);
        return;
    }
    Plugin plugin = {path, BaseName(path), module, nullptr, nullptr, nullptr};
    plugin.begin = Export<int (*)(HINSTANCE)>(module, "beginPlugin");
    plugin.end = Export<void (*)(HINSTANCE)>(module, "endPlugin");
    plugin.info = Export<const char* (*)(int)>(module, "pluginInfo");
    if (!plugin.begin || !plugin.end || !plugin.info) {
        ReportFailedStart(path, "not a plug-in (beginPlugin, endPlugin or pluginInfo missing)");
        FreeLibrary(module);
        return;
    }
    plugin.name = plugin.info(1);
    const int result = plugin.begin(Instance(plugin));
    if (result != 0) {
        char reason[64];
        std::snprintf(reason, sizeof reason, "beginPlugin returned %d", result);
        ReportFailedStart(path, reason);
        FreeLibrary(module);
        return;
    }
    Log("plugin started %s %s by %s", plugin.name.c_str(), plugin.info(2), plugin.info(3));
    plugins.push_back(plugin);
}

void UnloadPlugin(const std::string& name) {
    const Plugin* found = FindPlugin(name);
    if (!found) return;
    const Plugin plugin = *found;
    plugins.erase(plugins.begin() + (found - plugins.data()));
    plugin.end(Instance(plugin));
    LogLeftovers(plugin);
    FreeLibrary(plugin.module);
}

// The module stays loaded, so that the plug-in's global state carries over
// from the stop to the start.
void RestartPlugin(const std::string& name) {
    Plugin* plugin = FindPlugin(name);
    if (!plugin) return;
    plugin->end(Instance(*plugin));
    LogLeftovers(*plugin);
    const int result = plugin->begin(Instance(*plugin));
    Log("plugin restarted %s result=%d", plugin->name.c_str(), result);
}

void UnloadAll() {
    while (!plugins.empty()) UnloadPlugin(plugins.back().name);
}

bool FirstPlugin(HMODULE* module, std::string* path) {
    if (plugins.empty()) return false;
    *module = plugins.front().module;
    *path = plugins.front().path;
    return true;
}

int FailedStarts() { return failed_starts; }

int LoadedPlugins() { return static_cast<int>(plugins.size()); }
