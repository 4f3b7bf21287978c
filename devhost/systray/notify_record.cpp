// Decoding Wine's tray record: a table of the layouts Wine has used, and one
// decoder that reads any of them and checks every size it is told.
#include "devhost/systray/notify_record.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>

namespace {

// Byte offsets of the fields that moved between Wine versions. hWnd, uID,
// uFlags and uCallbackMessage stay at 0, 4, 8 and 12.
struct Layout {
    uint32_t header_size;   // the record without the bitmap bits after it
    uint32_t tip;           // WCHAR szTip[128]
    uint32_t state;         // DWORD dwState, then dwStateMask
    uint32_t version;       // UINT uTimeout / uVersion
    uint32_t icon_info;     // UINT width, height, planes, bpp of the icon
    uint32_t balloon_info;  // the same for the balloon's icon; 0: none
};

// Wine 8: the icon's size at the end, its bits right after the record.
constexpr Layout WINE_8 = {960, 16, 272, 792, 944, 0};
// Wine 10: the icon's size before the tip, a balloon icon's at the end; the
// bits of the icon, then of the balloon icon, follow the record.
constexpr Layout WINE_10 = {976, 32, 288, 808, 16, 960};

// Wines up to 8 send WINE_8's layout, 10 and later WINE_10's. Where the
// second first appeared is not pinned down: a Wine 9 record is taken in
// whichever of the two layouts it fits. The exact size check stands guard
// over every version.
constexpr int LAST_WINE_8_LAYOUT = 8;
constexpr int FIRST_WINE_10_LAYOUT = 10;

uint32_t U32(const uint8_t* record, uint32_t offset) {
    uint32_t value;
    std::memcpy(&value, record + offset, sizeof value);
    return value;
}

bool ValidBitsPerPixel(uint32_t bpp) {
    return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
}

// The bits' sizes as Wine's shell32 computes them:
// (planes * width * height * bpp + 15) / 16 * 2 for each part, the mask
// having one plane of one bit. An icon of all-zero size is no icon.
bool ReadIconInfo(const uint8_t* record, uint32_t offset, NotifyIconBits* bits) {
    *bits = NotifyIconBits{};
    bits->width = U32(record, offset);
    bits->height = U32(record, offset + 4);
    bits->planes = U32(record, offset + 8);
    bits->bpp = U32(record, offset + 12);
    if (!bits->width && !bits->height && !bits->planes && !bits->bpp) return true;
    if (bits->width < 1 || bits->width > NOTIFY_ICON_MAX_SIDE || bits->height < 1 ||
        bits->height > NOTIFY_ICON_MAX_SIDE || bits->planes != 1 || !ValidBitsPerPixel(bits->bpp))
        return false;
    const uint32_t pixels = bits->width * bits->height;
    bits->mask_size = (pixels + 15) / 16 * 2;
    bits->color_size = (bits->planes * pixels * bits->bpp + 15) / 16 * 2;
    return true;
}

uint32_t BitsSize(const NotifyIconBits& bits) { return bits.mask_size + bits.color_size; }

// Up to 127 characters and a terminator, whether or not the sender ended it.
void CopyTip(const uint8_t* source, uint16_t* tip) {
    std::memcpy(tip, source, NOTIFY_TIP_LENGTH * sizeof *tip);
    int length = 0;
    while (length < NOTIFY_TIP_LENGTH - 1 && tip[length]) ++length;
    std::memset(tip + length, 0, (NOTIFY_TIP_LENGTH - length) * sizeof *tip);
}

bool Decode(const uint8_t* data, size_t size, const Layout& layout, NotifyRecord* record) {
    if (size < layout.header_size) return false;
    NotifyIconBits icon, balloon = {};
    if (!ReadIconInfo(data, layout.icon_info, &icon)) return false;
    if (layout.balloon_info && !ReadIconInfo(data, layout.balloon_info, &balloon)) return false;
    const uint32_t flags = U32(data, 8);
    if (icon.width && !(flags & NIF_ICON)) return false;
    if (size != layout.header_size + BitsSize(icon) + BitsSize(balloon)) return false;

    record->owner = U32(data, 0);
    record->id = U32(data, 4);
    record->flags = flags;
    record->callback_message = U32(data, 12);
    CopyTip(data + layout.tip, record->tip);
    record->state = U32(data, layout.state);
    record->state_mask = U32(data, layout.state + 4);
    record->version = U32(data, layout.version);
    record->icon = icon;
    if (icon.width) {
        record->icon.mask = data + layout.header_size;
        record->icon.color = record->icon.mask + icon.mask_size;
    }
    return true;
}

}  // namespace

int WineMajorVersion(const char* version) {
    if (!version) return 0;
    int major = 0;
    for (const char* c = version; *c >= '0' && *c <= '9' && major < 1000; ++c)
        major = major * 10 + (*c - '0');
    return major;
}

int DecodeNotifyRecord(const void* data, size_t size, int wine_major, NotifyRecord* record) {
    if (!data || wine_major < 1) return 0;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    NotifyRecord as_8, as_10;
    const bool fits_8 = wine_major < FIRST_WINE_10_LAYOUT && Decode(bytes, size, WINE_8, &as_8);
    const bool fits_10 = wine_major > LAST_WINE_8_LAYOUT && Decode(bytes, size, WINE_10, &as_10);
    if (fits_8 == fits_10) return 0;  // neither, or a Wine 9 record that fits both
    *record = fits_8 ? as_8 : as_10;
    return 1;
}

std::vector<uint8_t> PaddedIconPart(const uint8_t* bits, uint32_t size, const NotifyIconBits& icon,
                                    uint32_t bpp) {
    const size_t row = (size_t{icon.width} * bpp + 15) / 16 * 2;
    std::vector<uint8_t> padded(row * icon.height * icon.planes, 0);
    std::copy(bits, bits + std::min<size_t>(size, padded.size()), padded.begin());
    return padded;
}
