// Where the rc file lies: beside the plug-in module.
#include <cstring>

#include "config/config.h"
#include "plugin/module.h"

int GetPluginDir(char* buffer, int size) {
    if (size <= 0) return 0;
    DWORD length = GetModuleFileNameA(hPluginInstance, buffer, static_cast<DWORD>(size));
    // A name that fills the whole buffer was cut short; a directory taken
    // from it would be wrong.
    if (length == 0 || length >= static_cast<DWORD>(size)) return 0;
    buffer[size - 1] = '\0';
    char* last_backslash = std::strrchr(buffer, '\\');
    if (last_backslash) last_backslash[1] = '\0';
    return 1;
}

int MakeConfigPath(char* buffer, int size, const char* name) {
    char directory[MAX_PATH];
    if (!GetPluginDir(directory, sizeof directory)) return 0;
    const size_t directory_length = std::strlen(directory);
    const size_t name_length = std::strlen(name);
    if (size < 0 || static_cast<size_t>(size) < directory_length + name_length + 1) return 0;
    std::memcpy(buffer, directory, directory_length);
    std::memcpy(buffer + directory_length, name, name_length + 1);
    return 1;
}
