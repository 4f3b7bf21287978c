// Tip texts matched against what the user typed, as a person reads them: in
// their one-line form, without regard to case and character by character, by
// the rules of the user's code page. In a double-byte code page (Japanese,
// Chinese, Korean) the second byte of a character can equal an ASCII letter;
// a match never starts there.
#include <strings.h>

#include <cstring>

#include "host/host.h"
#include "traylist/entries.h"
#include "traylist/tiptext.h"

namespace {

// The source folded to one case in destination, cut to size - 1 characters.
void FoldedCopy(char* destination, const char* source, int size) {
    std::strncpy(destination, source, size - 1);
    destination[size - 1] = '\0';
    FoldCase(destination);
}

// Copies the length bytes of text into destination, a string of size bytes;
// false when they do not fit.
bool CopyPart(char* destination, int size, const char* text, int length) {
    if (length >= size) return false;
    std::memcpy(destination, text, length);
    destination[length] = '\0';
    return true;
}

// The first of the count rows, in tray order, whose owner is still a window.
const TrayEntry* FindEntryByTip(const char* text, int length, int count) {
    char part[TRAY_TIP_CAPACITY];
    if (!CopyPart(part, sizeof part, text, length)) return nullptr;  // longer than any tip
    FoldCase(part);
    char scratch[TIP_BUFFER_SIZE];
    for (int i = 0; i < count; ++i) {
        const TrayEntry* entry = GetTrayIcon(i);
        if (!entry) break;
        if (TipContains(RowText(*entry, scratch), part) && IsWindow(entry->hWnd)) return entry;
    }
    return nullptr;
}

const TrayEntry* FindEntryByProgram(const char* wanted, int count) {
    const HANDLE processes = OpenProcessList();
    const TrayEntry* found = nullptr;
    char program[MAX_PATH];
    for (int i = 0; i < count && !found; ++i) {
        const TrayEntry* entry = GetTrayIcon(i);
        if (!entry) break;
        if (IsWindow(entry->hWnd) && GetOwnerProgram(processes, entry->hWnd, program) &&
            strcasecmp(program, wanted) == 0)
            found = entry;
    }
    CloseProcessList(processes);
    return found;
}

// A Click text that ends in ".exe", in any case, names a program.
bool NamesProgram(const char* text, int length) {
    return length >= 4 && strncasecmp(text + length - 4, ".exe", 4) == 0;
}

}  // namespace

const char* NextCharacter(const char* text) {
    return IsDBCSLeadByte(static_cast<BYTE>(*text)) && text[1] ? text + 2 : text + 1;
}

void FoldCase(char* text) { CharUpperBuffA(text, static_cast<DWORD>(std::strlen(text))); }

int TipBeginsWith(const char* tip, const char* folded_prefix) {
    char folded[TRAY_TIP_CAPACITY];
    const size_t length = std::strlen(folded_prefix);
    if (length >= sizeof folded) return 0;
    FoldedCopy(folded, tip, static_cast<int>(length) + 1);
    return std::strcmp(folded, folded_prefix) == 0;
}

int TipContains(const char* tip, const char* folded_part) {
    char folded[TRAY_TIP_CAPACITY];
    FoldedCopy(folded, tip, sizeof folded);
    const size_t length = std::strlen(folded_part);
    if (length == 0) return 1;
    for (const char* at = folded; *at; at = NextCharacter(at))
        if (std::strncmp(at, folded_part, length) == 0) return 1;
    return 0;
}

const TrayEntry* FindNamedEntry(const char* text, int length, int count,
                                char (&program)[MAX_PATH]) {
    program[0] = '\0';
    if (!NamesProgram(text, length)) return FindEntryByTip(text, length, count);
    if (!CopyPart(program, sizeof program, text, length)) return nullptr;  // longer than any name
    return FindEntryByProgram(program, count);
}
