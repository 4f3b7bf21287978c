// ReadInt and ReadString over real rc files: one "key: value" per line, keys
// compared without regard to case, values trimmed, '#' and '!' lines are
// comments, the first matching line wins.
#include <strings.h>

#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "host/host.h"

namespace {

std::string Trim(const std::string& text) {
    size_t first = 0, last = text.size();
    while (first < last && std::isspace(static_cast<unsigned char>(text[first]))) ++first;
    while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1]))) --last;
    return text.substr(first, last - first);
}

// The value of key in the file, or false when the file or the key is missing.
// The key is matched as given, colon included, at the line's first non-blank.
bool LookUp(const char* path, const char* key, std::string* value) {
    if (!path || !key) return false;
    std::ifstream file(path);
    const size_t key_length = std::strlen(key);
    std::string line;
    while (std::getline(file, line)) {
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos) continue;
        if (line[start] == '#' || line[start] == '!') continue;
        if (line.size() - start >= key_length &&
            strncasecmp(line.c_str() + start, key, key_length) == 0) {
            *value = Trim(line.substr(start + key_length));
            return true;
        }
    }
    return false;
}

}  // namespace

extern "C" int ReadInt(const char* rc_path, const char* key, int default_value) {
    std::string value;
    if (!LookUp(rc_path, key, &value)) return default_value;
    const char* text = value.c_str();
    char* end = nullptr;
    const long long number = std::strtoll(text, &end, 10);
    if (end == text) return default_value;  // no leading number
    if (number > INT_MAX) return INT_MAX;
    if (number < INT_MIN) return INT_MIN;
    return static_cast<int>(number);
}

extern "C" const char* ReadString(const char* rc_path, const char* key, const char* default_text) {
    // The caller uses the text at once, before its next call.
    static std::string result;
    if (!LookUp(rc_path, key, &result)) return default_text ? default_text : "";
    return result.c_str();
}
