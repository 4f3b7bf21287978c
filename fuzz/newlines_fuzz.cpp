// Fuzz target: ConvertNewLines over any source with any separator.
//
// The input: one byte whose low four bits give the separator's length, 0 to
// 15; the separator's 15 bytes (a NUL among them ends it early, as in the
// settings' buffer); one byte, plus one, for the destination's size, 1 to
// 256; the rest is the source, which ends at its first NUL.
//
// The destination lies between guard bytes, which AddressSanitizer poisons and
// which are compared afterwards as well; the source sits in a buffer just long
// enough. The result must be what the conversion's rule gives, at most size - 1
// bytes and a terminator.
#include <sanitizer/asan_interface.h>

#include <cstring>
#include <memory>
#include <string>

#include "fuzz/fuzz_support.h"
#include "traylist/tiptext.h"

namespace {

using fuzz::Require;

constexpr size_t HEADER_SIZE = 1 + (CONVERTED_NEW_LINE_SIZE - 1) + 1;
constexpr size_t GUARD_SIZE = 64;
constexpr unsigned char GUARD_BYTE = 0xA5;

// The rule, told the plain way: carriage returns dropped, each line feed
// replaced by the separator while at least one byte of room stays after it,
// else the text ends there; never more than size - 1 bytes.
std::string Converted(std::string_view source, std::string_view separator, size_t size) {
    std::string out;
    const size_t end = size - 1;
    for (char c : source) {
        if (c == '\0' || out.size() >= end) break;
        if (c == '\r') continue;
        if (c == '\n') {
            if (end - out.size() < separator.size() + 1) break;
            out += separator;
            continue;
        }
        out += c;
    }
    return out;
}

bool GuardIntact(const unsigned char* guard) {
    for (size_t i = 0; i < GUARD_SIZE; ++i)
        if (guard[i] != GUARD_BYTE) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    unsigned char header[HEADER_SIZE] = {};
    if (size > 0) std::memcpy(header, data, std::min(size, HEADER_SIZE));
    const std::string_view rest =
        size > HEADER_SIZE ? std::string_view(reinterpret_cast<const char*>(data) + HEADER_SIZE,
                                              size - HEADER_SIZE)
                           : std::string_view();

    config = DEFAULT_CONFIG;
    const size_t separator_length = header[0] & 0x0F;
    std::memset(config.converted_new_line, 0, sizeof config.converted_new_line);
    std::memcpy(config.converted_new_line, header + 1, separator_length);
    const size_t destination_size = static_cast<size_t>(header[HEADER_SIZE - 1]) + 1;

    std::unique_ptr<char[]> source(new char[rest.size() + 1]);
    if (!rest.empty()) std::memcpy(source.get(), rest.data(), rest.size());
    source[rest.size()] = '\0';

    std::unique_ptr<unsigned char[]> block(new unsigned char[destination_size + 2 * GUARD_SIZE]);
    unsigned char* before = block.get();
    char* destination = reinterpret_cast<char*>(before + GUARD_SIZE);
    unsigned char* after = before + GUARD_SIZE + destination_size;
    std::memset(before, GUARD_BYTE, GUARD_SIZE);
    std::memset(destination, 'u', destination_size);
    std::memset(after, GUARD_BYTE, GUARD_SIZE);
    ASAN_POISON_MEMORY_REGION(before, GUARD_SIZE);
    ASAN_POISON_MEMORY_REGION(after, GUARD_SIZE);

    char* result = ConvertNewLines(destination, source.get(), static_cast<int>(destination_size));

    ASAN_UNPOISON_MEMORY_REGION(before, GUARD_SIZE);
    ASAN_UNPOISON_MEMORY_REGION(after, GUARD_SIZE);
    Require(result == destination, "the destination is returned");
    Require(GuardIntact(before) && GuardIntact(after), "nothing is written outside");
    const size_t length = strnlen(destination, destination_size);
    Require(length < destination_size && length <= 255, "the result is terminated in place");
    const std::string_view separator(config.converted_new_line,
                                     strnlen(config.converted_new_line, 15));
    Require(std::string_view(destination, length) ==
                Converted(source.get(), separator, destination_size),
            "the result follows the rule");
    return 0;
}
