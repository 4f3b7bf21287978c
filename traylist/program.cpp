// The program an icon's owner window belongs to, known by its executable's
// file name ("mail.exe") as the system's list of processes gives it: the one
// handle a user has on a program besides its tip, and the same whatever the
// tip says. The list is a snapshot the system makes and frees, taken only as
// a click is sent, never to show or paint the list.
#include <windows.h>
#include <strings.h>
#include <tlhelp32.h>

#include <cstring>

#include "config/config.h"
#include "traylist/entries.h"

namespace {

// The part of a path after its last backslash.
const char* FileName(const char* path) {
    const char* backslash = std::strrchr(path, '\\');
    return backslash ? backslash + 1 : path;
}

// The version of the program's pair; a program with none gets the default.
int VersionOf(const char* program, int version, const ProgramVersions& versions) {
    for (int i = 0; i < versions.count; ++i)
        if (strcasecmp(versions.pairs[i].program, program) == 0) return versions.pairs[i].version;
    return version;
}

}  // namespace

HANDLE OpenProcessList() { return CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0); }

void CloseProcessList(HANDLE processes) {
    if (processes != INVALID_HANDLE_VALUE) CloseHandle(processes);
}

int GetOwnerProgram(HANDLE processes, HWND owner, char (&program)[MAX_PATH]) {
    DWORD process_id = 0;
    if (processes == INVALID_HANDLE_VALUE || !GetWindowThreadProcessId(owner, &process_id))
        return 0;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(processes, &entry); more;
         more = Process32Next(processes, &entry))
        if (entry.th32ProcessID == process_id) {
            const char* name = FileName(entry.szExeFile);
            const size_t length = strnlen(name, MAX_PATH - 1);
            std::memcpy(program, name, length);
            program[length] = '\0';
            return 1;
        }
    return 0;
}

// A window whose process is gone gets the default. A Click that named the
// program has it already, and takes no second snapshot for it.
int NotifyVersionFor(HWND owner, const char* program, int version,
                     const ProgramVersions& versions) {
    if (versions.count == 0) return version;
    if (program) return VersionOf(program, version, versions);
    const HANDLE processes = OpenProcessList();
    char found[MAX_PATH];
    if (GetOwnerProgram(processes, owner, found)) version = VersionOf(found, version, versions);
    CloseProcessList(processes);
    return version;
}
