// The log's lines, to stdout until LogToFile names a file.
#include "devhost/log/log.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>

namespace {

FILE* log_file = stdout;

}  // namespace

bool LogToFile(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "w");
    if (!file) return false;
    log_file = file;
    return true;
}

void Log(const char* format, ...) {
    char text[2048];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    std::fprintf(log_file, "%s\n", text);
    std::fflush(log_file);
}

std::string Hex(HWND window) {
    char text[16];
    std::snprintf(text, sizeof text, "%#x",
                  static_cast<unsigned>(reinterpret_cast<uintptr_t>(window)));
    return text;
}
