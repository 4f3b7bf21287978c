// The host's tray: entries owned by windows of other processes, added,
// changed and removed by their owners through WM_COPYDATA.
#include <cstring>
#include <vector>

#include "devhost/devhost.h"
#include "host/host.h"

namespace {

// The records the plug-in reads. A vector: GetTrayIcon's pointers stay valid
// until the next change, which happens only between the plug-in's calls.
std::vector<TrayEntry> tray;

HWND Owner(const TrayMessage& message) { return reinterpret_cast<HWND>(message.owner); }

int Find(const TrayMessage& message) {
    for (size_t i = 0; i < tray.size(); ++i)
        if (tray[i].hWnd == Owner(message) && tray[i].uID == message.id) return static_cast<int>(i);
    return -1;
}

// An icon of the host's own from the owner's pixels: a 32-bit colour bitmap
// with alpha and the matching mask.
HICON MakeIcon(const TrayMessage& message) {
    const int size = message.icon_size;
    if (size < 1 || size > TRAY_ICON_MAX) return nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP color = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!color) return nullptr;
    std::memcpy(bits, message.icon_pixels, size * size * 4);

    // Mask rows are padded to 16 bits; a set bit is transparent.
    const int mask_stride = (size + 15) / 16 * 2;
    std::vector<BYTE> mask_bits(mask_stride * size, 0);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if ((message.icon_pixels[y * size + x] >> 24) == 0)
                mask_bits[y * mask_stride + x / 8] |= 0x80 >> (x % 8);
    HBITMAP mask = CreateBitmap(size, size, 1, 1, mask_bits.data());

    ICONINFO icon_info = {TRUE, 0, 0, mask, color};
    HICON icon = CreateIconIndirect(&icon_info);
    DeleteObject(mask);
    DeleteObject(color);
    return icon;
}

void CopyTip(TrayEntry* entry, const char* tip) {
    lstrcpynA(entry->szTip, tip, sizeof entry->szTip);
}

void Apply(TrayEntry* entry, const TrayMessage& message) {
    if (message.fields & TRAY_FIELD_MESSAGE) entry->uCallbackMessage = message.callback_message;
    if (message.fields & TRAY_FIELD_ICON) {
        if (entry->hIcon) DestroyIcon(entry->hIcon);
        entry->hIcon = MakeIcon(message);
    }
    if (message.fields & TRAY_FIELD_TIP) CopyTip(entry, message.tip);
}

void Remove(size_t index) {
    if (tray[index].hIcon) DestroyIcon(tray[index].hIcon);
    tray.erase(tray.begin() + index);
}

}  // namespace

BOOL TrayAdd(const TrayMessage& message) {
    if (!IsWindow(Owner(message)) || Find(message) >= 0) return FALSE;
    TrayEntry entry = {};
    entry.hWnd = Owner(message);
    entry.uID = message.id;
    Apply(&entry, message);
    tray.push_back(entry);
    Log("tray add owner=%#x id=%u tip=\"%s\"", message.owner, message.id,
        Escaped(entry.szTip).c_str());
    return TRUE;
}

BOOL TrayModify(const TrayMessage& message) {
    const int index = Find(message);
    if (index < 0) return FALSE;
    Apply(&tray[index], message);
    Log("tray modify owner=%#x id=%u tip=\"%s\"", message.owner, message.id,
        Escaped(tray[index].szTip).c_str());
    return TRUE;
}

BOOL TrayDelete(const TrayMessage& message) {
    const int index = Find(message);
    if (index < 0) return FALSE;
    Remove(index);
    Log("tray delete owner=%#x id=%u", message.owner, message.id);
    return TRUE;
}

int TrayPurge() {
    int removed = 0;
    for (size_t i = tray.size(); i-- > 0;)
        if (!IsWindow(tray[i].hWnd)) {
            Remove(i);
            ++removed;
        }
    Log("purge removed=%d left=%d", removed, static_cast<int>(tray.size()));
    return removed;
}

void LogTray() {
    Log("tray size=%d", static_cast<int>(tray.size()));
    for (size_t i = 0; i < tray.size(); ++i)
        Log("tray[%d] owner=%#x id=%u message=%u icon=%d tip=\"%s\"", static_cast<int>(i),
            static_cast<unsigned>(reinterpret_cast<uintptr_t>(tray[i].hWnd)), tray[i].uID,
            tray[i].uCallbackMessage, tray[i].hIcon ? 1 : 0, Escaped(tray[i].szTip).c_str());
}

void ClearTray() {
    while (!tray.empty()) Remove(tray.size() - 1);
}

extern "C" int GetTraySize() { return static_cast<int>(tray.size()); }

extern "C" TrayEntry* GetTrayIcon(int index) {
    if (index < 0 || index >= static_cast<int>(tray.size())) return nullptr;
    return &tray[index];
}
