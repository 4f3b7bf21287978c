// The rc value that gives single programs a click form of their own:
//   marrowick.notify_version_by_program: telegram.exe=4, qbittorrent.exe=4, oldtool.exe=0
// A comma-separated list of pairs, each split at its last '=' into an
// executable's file name and a notification version, 0, 3 or 4; white space
// around names and numbers is ignored. A pair with no '=', an empty name, a
// name with a folder or another number is skipped, as are pairs beyond the
// table's room; the first pair for a name wins. The first pair skipped is
// reported once for each reading of the rc file.
#include <strings.h>

#include <cstring>

#include "config/config.h"
#include "host/host.h"
#include "plugin/module.h"

namespace {

// A part of the rc value, without the white space at its ends.
struct Part {
    const char* text;
    int length;
};

Part Trimmed(const char* begin, const char* end) {
    while (begin < end && IsSpace(*begin)) ++begin;
    while (end > begin && IsSpace(end[-1])) --end;
    return {begin, static_cast<int>(end - begin)};
}

bool Is(const Part& part, const char* text) {
    return part.length == static_cast<int>(std::strlen(text)) &&
           std::strncmp(part.text, text, part.length) == 0;
}

int VersionOf(const Part& number) {
    if (Is(number, "0")) return 0;
    if (Is(number, "3")) return NOTIFYICON_VERSION;
    if (Is(number, "4")) return NOTIFYICON_VERSION_4;
    return -1;
}

bool HasFolder(const Part& name) {
    for (int i = 0; i < name.length; ++i)
        if (name.text[i] == '\\' || name.text[i] == '/' || name.text[i] == ':') return true;
    return false;
}

bool IsHeld(const ProgramVersions& versions, const char* program) {
    for (int i = 0; i < versions.count; ++i)
        if (strcasecmp(versions.pairs[i].program, program) == 0) return true;
    return false;
}

// Adds the pair to the table; false when it is to be skipped.
bool AddPair(const Part& pair, ProgramVersions* versions) {
    const char* equals = nullptr;
    for (int i = 0; i < pair.length; ++i)
        if (pair.text[i] == '=') equals = pair.text + i;
    if (!equals) return false;
    const Part name = Trimmed(pair.text, equals);
    const int version = VersionOf(Trimmed(equals + 1, pair.text + pair.length));
    if (name.length == 0 || name.length >= MAX_PATH || HasFolder(name) || version < 0) return false;
    ProgramVersion added = {};
    std::memcpy(added.program, name.text, name.length);
    added.version = version;
    if (IsHeld(*versions, added.program)) return true;
    if (versions->count == PROGRAM_VERSIONS_SIZE) return false;
    versions->pairs[versions->count++] = added;
    return true;
}

}  // namespace

void ReadProgramVersions(const char* path, const char* key, ProgramVersions* versions) {
    versions->count = 0;
    const char* text = ReadString(path, key, "");
    Part skipped = {nullptr, 0};
    for (const char* start = text; *start;) {
        const char* end = std::strchr(start, ',');
        if (!end) end = start + std::strlen(start);
        const Part pair = Trimmed(start, end);
        if (pair.length > 0 && !AddPair(pair, versions) && !skipped.text) skipped = pair;
        start = *end ? end + 1 : end;
    }
    // The text is the host's until its next ReadString: reported now.
    if (skipped.text)
        ReportError("Skipped in marrowick.notify_version_by_program: `%.*s'", skipped.length,
                    skipped.text);
}
