// Counting the device contexts a plug-in opens and closes. Windows offers no
// count of a process's device contexts that Wine implements (GetGuiResources
// answers 0 there), so the host puts counting stand-ins into the plug-in's
// import address table for every function that hands out or takes back a
// device context, and for InvalidateRect: the window system repaints a window
// on its own too, so a repaint the plug-in asked for is counted where it asks.
// Each slot is restored when the watch ends.
#include <algorithm>
#include <cstring>
#include <vector>

#include "devhost/measure/measure.h"

namespace {

std::vector<HDC> open_dcs;
DcCounts counts;

void Opened(HDC dc) {
    if (!dc) return;
    ++counts.opened;
    open_dcs.push_back(dc);
}

void Closed(HDC dc, bool succeeded) {
    const auto found = std::find(open_dcs.begin(), open_dcs.end(), dc);
    if (found == open_dcs.end() || !succeeded) {
        ++counts.stray;  // not opened through the plug-in, or not released
        return;
    }
    ++counts.closed;
    open_dcs.erase(found);
}

HDC(WINAPI* real_GetDC)(HWND);
HDC(WINAPI* real_GetWindowDC)(HWND);
HDC(WINAPI* real_GetDCEx)(HWND, HRGN, DWORD);
int(WINAPI* real_ReleaseDC)(HWND, HDC);
HDC(WINAPI* real_BeginPaint)(HWND, PAINTSTRUCT*);
BOOL(WINAPI* real_EndPaint)(HWND, const PAINTSTRUCT*);
HDC(WINAPI* real_CreateCompatibleDC)(HDC);
BOOL(WINAPI* real_DeleteDC)(HDC);
BOOL(WINAPI* real_InvalidateRect)(HWND, const RECT*, BOOL);

HDC WINAPI CountedGetDC(HWND window) {
    HDC dc = real_GetDC(window);
    Opened(dc);
    return dc;
}
HDC WINAPI CountedGetWindowDC(HWND window) {
    HDC dc = real_GetWindowDC(window);
    Opened(dc);
    return dc;
}
HDC WINAPI CountedGetDCEx(HWND window, HRGN clip, DWORD flags) {
    HDC dc = real_GetDCEx(window, clip, flags);
    Opened(dc);
    return dc;
}
int WINAPI CountedReleaseDC(HWND window, HDC dc) {
    const int released = real_ReleaseDC(window, dc);
    Closed(dc, released != 0);
    return released;
}
HDC WINAPI CountedBeginPaint(HWND window, PAINTSTRUCT* paint) {
    HDC dc = real_BeginPaint(window, paint);
    Opened(dc);
    return dc;
}
BOOL WINAPI CountedEndPaint(HWND window, const PAINTSTRUCT* paint) {
    const HDC dc = paint ? paint->hdc : nullptr;
    const BOOL ended = real_EndPaint(window, paint);
    if (dc) Closed(dc, ended != 0);
    return ended;
}
HDC WINAPI CountedCreateCompatibleDC(HDC like) {
    HDC dc = real_CreateCompatibleDC(like);
    Opened(dc);
    return dc;
}
BOOL WINAPI CountedDeleteDC(HDC dc) {
    const BOOL deleted = real_DeleteDC(dc);
    Closed(dc, deleted != 0);
    return deleted;
}

BOOL WINAPI CountedInvalidateRect(HWND window, const RECT* rect, BOOL erase) {
    ++counts.invalidations;
    return real_InvalidateRect(window, rect, erase);
}

struct Slot {
    const char* name;
    void* counted;
    void** real;
    void** patched;  // the import address table entry, while patched
};

template <typename Function>
Slot MakeSlot(const char* name, Function counted, Function* real) {
    return {name, reinterpret_cast<void*>(counted), reinterpret_cast<void**>(real), nullptr};
}

Slot slots[] = {
    MakeSlot("GetDC", CountedGetDC, &real_GetDC),
    MakeSlot("GetWindowDC", CountedGetWindowDC, &real_GetWindowDC),
    MakeSlot("GetDCEx", CountedGetDCEx, &real_GetDCEx),
    MakeSlot("ReleaseDC", CountedReleaseDC, &real_ReleaseDC),
    MakeSlot("BeginPaint", CountedBeginPaint, &real_BeginPaint),
    MakeSlot("EndPaint", CountedEndPaint, &real_EndPaint),
    MakeSlot("CreateCompatibleDC", CountedCreateCompatibleDC, &real_CreateCompatibleDC),
    MakeSlot("DeleteDC", CountedDeleteDC, &real_DeleteDC),
    MakeSlot("InvalidateRect", CountedInvalidateRect, &real_InvalidateRect),
};

void Store(void** where, void* value) {
    DWORD protection = 0;
    VirtualProtect(where, sizeof *where, PAGE_READWRITE, &protection);
    *where = value;
    VirtualProtect(where, sizeof *where, protection, &protection);
}

// The import address table entry through which module calls the named
// function, or null when it does not import it by name.
void** ImportSlot(HMODULE module, const char* function) {
    BYTE* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress) return nullptr;
    for (auto* library = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         library->Name; ++library) {
        const DWORD lookup =
            library->OriginalFirstThunk ? library->OriginalFirstThunk : library->FirstThunk;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + lookup);
        auto* addresses = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++addresses) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* by_name =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(by_name->Name), function) == 0)
                return reinterpret_cast<void**>(&addresses->u1.Function);
        }
    }
    return nullptr;
}

}  // namespace

int WatchDeviceContexts(HMODULE module) {
    UnwatchDeviceContexts();
    counts = DcCounts{};
    open_dcs.clear();
    int watched = 0;
    for (Slot& slot : slots) {
        void** entry = ImportSlot(module, slot.name);
        if (!entry) continue;
        *slot.real = *entry;
        Store(entry, slot.counted);
        slot.patched = entry;
        ++watched;
    }
    return watched;
}

void UnwatchDeviceContexts() {
    for (Slot& slot : slots)
        if (slot.patched) {
            Store(slot.patched, *slot.real);
            slot.patched = nullptr;
        }
}

DcCounts DeviceContexts() {
    DcCounts now = counts;
    now.open = static_cast<long>(open_dcs.size());
    return now;
}
