// Fuzz target: the stand-in shell's decoder of Wine's tray records, the
// bytes any program can send the system tray with WM_COPYDATA.
//
// The input: one byte whose value modulo 12 is the Wine major version the
// shell runs under (0, not Wine, to 11); the rest is the record, in a buffer of exactly its size,
// so that AddressSanitizer sees any read beyond it. A record taken must be whole: the tip
// terminated within its 128 characters, the icon's bits inside the record and of the sizes its
// width, height and depth give, and the parts CreateIcon gets padded to what it reads.
#include <cstring>
#include <memory>

#include "devhost/systray/notify_record.h"
#include "fuzz/require.h"

namespace {

using fuzz::Require;

bool Inside(const uint8_t* part, uint32_t part_size, const uint8_t* record, size_t size) {
    return part >= record && part + part_size <= record + size;
}

void CheckIcon(const NotifyIconBits& icon, const uint8_t* record, size_t size) {
    if (!icon.width) return;
    Require(icon.width <= NOTIFY_ICON_MAX_SIDE && icon.height >= 1 &&
                icon.height <= NOTIFY_ICON_MAX_SIDE && icon.planes == 1,
            "icon size within bounds");
    const uint64_t pixels = uint64_t{icon.width} * icon.height;
    Require(icon.mask_size == (pixels + 15) / 16 * 2, "mask size");
    Require(icon.color_size == (pixels * icon.bpp + 15) / 16 * 2, "colour size");
    Require(Inside(icon.mask, icon.mask_size, record, size), "mask inside the record");
    Require(Inside(icon.color, icon.color_size, record, size), "colours inside the record");
    Require(icon.color == icon.mask + icon.mask_size, "colours right after the mask");
    const size_t rows = (size_t{icon.width} * icon.bpp + 15) / 16 * 2 * icon.height;
    Require(PaddedIconPart(icon.color, icon.color_size, icon, icon.bpp).size() == rows,
            "colours padded to whole rows");
    Require(PaddedIconPart(icon.mask, icon.mask_size, icon, 1).size() ==
                (size_t{icon.width} + 15) / 16 * 2 * icon.height,
            "mask padded to whole rows");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const int wine_major = data[0] % 12;
    const size_t record_size = size - 1;
    std::unique_ptr<uint8_t[]> record(new uint8_t[record_size ? record_size : 1]);
    std::memcpy(record.get(), data + 1, record_size);

    NotifyRecord decoded;
    if (!DecodeNotifyRecord(record.get(), record_size, wine_major, &decoded)) return 0;
    Require(wine_major >= 1, "no record taken outside Wine");
    int length = 0;
    while (length < NOTIFY_TIP_LENGTH && decoded.tip[length]) ++length;
    Require(length < NOTIFY_TIP_LENGTH, "tip terminated");
    CheckIcon(decoded.icon, record.get(), record_size);
    return 0;
}
