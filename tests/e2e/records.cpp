// The records of records.h, laid out as the running Wine's shell32 lays them
// out (Wine 10 moved the icon's size before the tip and added a balloon
// icon's at the end). The layouts are written down here once more, apart
// from the shell's decoder, so that a mistake in one is not repeated in the
// other.
#include "tests/e2e/records.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// The record's size without the bits after it, and where its tip and its
// icon's size lie.
struct Layout {
    size_t size, tip, icon_info;
};
constexpr Layout WINE_8 = {960, 16, 944};
constexpr Layout WINE_10 = {976, 32, 16};
constexpr DWORD UNKNOWN_OPERATION = 7;

// Wine 10's layout from Wine 10 on; Wine 8's before.
const Layout& ThisWine() {
    using GetVersion = const char*(CDECL*)();
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    FARPROC function = ntdll ? GetProcAddress(ntdll, "wine_get_version") : nullptr;
    const char* version =
        function ? reinterpret_cast<GetVersion>(reinterpret_cast<void (*)()>(function))() : "";
    return std::atoi(version) >= 10 ? WINE_10 : WINE_8;
}

HWND Owner() {
    static HWND owner = CreateWindowExA(0, "STATIC", "records", WS_POPUP, 0, 0, 0, 0, nullptr,
                                        nullptr, GetModuleHandleA(nullptr), nullptr);
    return owner;
}

void Put(std::vector<uint8_t>* record, size_t offset, uint32_t value) {
    std::memcpy(record->data() + offset, &value, sizeof value);
}

std::vector<uint8_t> Record(uint32_t id, uint32_t flags) {
    std::vector<uint8_t> record(ThisWine().size, 0);
    Put(&record, 0, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(Owner())));
    Put(&record, 4, id);
    Put(&record, 8, flags);
    Put(&record, 12, WM_APP + 5);
    const wchar_t tip[] = L"Hand-made";
    std::memcpy(record.data() + ThisWine().tip, tip, sizeof tip);
    return record;
}

// An icon's size, and the bits that follow the record.
void Icon(std::vector<uint8_t>* record, uint32_t side, uint32_t bpp, size_t bits) {
    const size_t at = ThisWine().icon_info;
    Put(record, at, side);
    Put(record, at + 4, side);
    Put(record, at + 8, 1);
    Put(record, at + 12, bpp);
    record->resize(record->size() + bits, 0x55);
}

long Send(DWORD operation, const std::vector<uint8_t>& record) {
    HWND tray = FindWindowExW(nullptr, nullptr, L"Shell_TrayWnd", nullptr);
    if (!tray) return -1;
    COPYDATASTRUCT data = {operation, static_cast<DWORD>(record.size()),
                           const_cast<uint8_t*>(record.data())};
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(tray, WM_COPYDATA, reinterpret_cast<WPARAM>(Owner()),
                             reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 5000, &result))
        return -1;
    return static_cast<long>(result);
}

}  // namespace

long SendBadRecord(const std::string& kind) {
    const uint32_t flags = NIF_MESSAGE | NIF_TIP;
    std::vector<uint8_t> record = Record(98, flags);
    if (kind == "short") {
        record.pop_back();
        return Send(NIM_ADD, record);
    }
    if (kind == "unknown") return Send(UNKNOWN_OPERATION, record);
    if (kind == "mismatch" || kind == "huge") {
        record = Record(98, flags | NIF_ICON);
        // A 16x16 icon's bits: 32 bytes of mask, 1024 of colour.
        if (kind == "mismatch") Icon(&record, 32, 32, 32 + 1024);
        if (kind == "huge") Icon(&record, 4000, 1, 64);
        return Send(NIM_ADD, record);
    }
    if (kind == "tip") {
        record = Record(99, flags);
        for (size_t i = 0; i < 128; ++i) record[ThisWine().tip + 2 * i] = 'A' + i % 26;
        return Send(NIM_ADD, record);
    }
    if (kind == "delete") return Send(NIM_DELETE, Record(99, 0));
    return -1;
}
