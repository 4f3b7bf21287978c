// What the fuzz targets share: the input split into records, checks that stop
// the run, and a plug-in freshly started over fresh fakes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "config/config.h"
#include "fuzz/require.h"
#include "plugin/module.h"
#include "plugin/plugin.h"
#include "tests/fakes/fake.h"
#include "traylist/traylist.h"

namespace fuzz {

// The input cut at each NUL byte; texts handed to the plug-in cannot hold one.
inline std::vector<std::string_view> Records(const uint8_t* data, size_t size) {
    std::vector<std::string_view> records;
    if (size == 0) return records;
    const char* text = reinterpret_cast<const char*>(data);
    size_t start = 0;
    for (size_t i = 0; i <= size; ++i)
        if (i == size || text[i] == '\0') {
            records.emplace_back(text + start, i - start);
            start = i + 1;
        }
    return records;
}

// Reads the record's next decimal integer, skipping what comes before it,
// saturated to the int range; fallback when there is none.
inline int NextInt(std::string_view& text, int fallback) {
    size_t i = 0;
    while (i < text.size() && !(text[i] >= '0' && text[i] <= '9')) ++i;
    if (i == text.size()) {
        text = {};
        return fallback;
    }
    const bool negative = i > 0 && text[i - 1] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        if (value <= INT32_MAX) value = value * 10 + (text[i] - '0');
    text.remove_prefix(i);
    if (negative) value = -value;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int>(value);
}

const HINSTANCE INSTANCE = reinterpret_cast<HINSTANCE>(77);

// The plug-in as the host starts it, over fakes that count calls instead of
// recording them, with the two styles the list uses by default.
inline void StartPlugin() {
    fake::Reset();
    fake::SetRecording(false);
    fake::host.styles[8] = fake::MakeStyle(0x111111);
    fake::host.styles[9] = fake::MakeStyle(0x222222);
    config = DEFAULT_CONFIG;
    notify_version_by_program = {};
    ListWindowDestroyed();
    hListWnd = nullptr;
    Require(beginPlugin(INSTANCE) == 0, "the plug-in starts");
}

// Every font from the host was deleted, every device context released and
// every snapshot of the processes closed.
inline void RequireNothingLeftOpen() {
    Require(fake::LiveFonts() == 0, "every style font is deleted");
    Require(fake::OpenDeviceContexts() == 0, "every device context is released");
    Require(fake::OpenSnapshots() == 0, "every snapshot of the processes is closed");
}

}  // namespace fuzz
