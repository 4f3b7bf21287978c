// Icons drawn as pixels, for the stand-in world's programs: a bitmap to draw
// the picture into, and the icon made of it.
#pragma once

#include <windows.h>

#include <cstdint>

// The side of the icons, in pixels.
constexpr int PIXEL_ICON_SIDE = 32;

// A top-down 32-bit bitmap PIXEL_ICON_SIDE pixels square, all 0, for GDI or
// the caller to draw into; *pixels points at its bits. nullptr on failure.
HBITMAP CreateIconBitmap(uint32_t** pixels);

// The icon of the picture in such a bitmap: pixels left 0 are transparent,
// all others opaque (GDI leaves alpha at 0, so it is set here). The bitmap
// stays the caller's.
HICON IconFromPixels(HBITMAP bitmap, uint32_t* pixels);
