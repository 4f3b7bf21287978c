// Small helpers of the tests that check the files shipped to users.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

// The whole file, byte for byte; empty when it cannot be read.
inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// The text with Windows line ends, as the release zip carries it.
inline std::string WithCrLf(const std::string& text) {
    std::string result;
    for (char c : text) {
        if (c == '\n') result += '\r';
        result += c;
    }
    return result;
}
