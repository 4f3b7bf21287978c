// Icons from pixels: a 32-bit colour bitmap with alpha and its mask.
#include "devhost/systray/pixel_icon.h"

HBITMAP CreateIconBitmap(uint32_t** pixels) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = PIXEL_ICON_SIDE;
    info.bmiHeader.biHeight = -PIXEL_ICON_SIDE;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    *pixels = static_cast<uint32_t*>(bits);
    return bitmap;
}

HICON IconFromPixels(HBITMAP bitmap, uint32_t* pixels) {
    constexpr int count = PIXEL_ICON_SIDE * PIXEL_ICON_SIDE;
    BYTE mask_bits[count / 8] = {};  // a set bit is transparent
    for (int i = 0; i < count; ++i) {
        if (pixels[i])
            pixels[i] |= 0xff000000u;
        else
            mask_bits[i / 8] |= 0x80 >> (i % 8);
    }
    HBITMAP mask = CreateBitmap(PIXEL_ICON_SIDE, PIXEL_ICON_SIDE, 1, 1, mask_bits);
    ICONINFO icon_info = {TRUE, 0, 0, mask, bitmap};
    HICON icon = CreateIconIndirect(&icon_info);
    DeleteObject(mask);
    return icon;
}
