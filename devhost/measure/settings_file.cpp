// The plug-in's Marrowick.rc as the host's own runs replace it: the stress
// run writes its own settings into it, the perf command turns a setting on,
// and both put back what was there before.
#include <fstream>
#include <iterator>

#include "devhost/measure/measure.h"

std::string SettingsFileOf(const std::string& plugin_path) {
    const size_t slash = plugin_path.find_last_of("\\/");
    const std::string directory =
        slash == std::string::npos ? std::string() : plugin_path.substr(0, slash + 1);
    return directory + "Marrowick.rc";
}

SavedFile SaveFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const bool existed = static_cast<bool>(file);
    return {existed, std::string((std::istreambuf_iterator<char>(file)), {})};
}

void RestoreFile(const std::string& path, const SavedFile& saved) {
    if (saved.existed) {
        std::ofstream restore(path, std::ios::binary | std::ios::trunc);
        restore << saved.content;
    } else {
        DeleteFileA(path.c_str());
    }
}
