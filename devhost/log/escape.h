// How the stand-in host writes a text into its log line: line breaks, tabs,
// quotes and backslashes escaped C-style, so that one event stays one line.
// The end-to-end tests escape their commands the same way to find them there.
#pragma once

#include <string>

inline std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            default:
                out += c;
        }
    }
    return out;
}
