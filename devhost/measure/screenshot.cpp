// The host command "screenshot": the whole screen saved as a BMP file, every
// monitor of it: the virtual screen, from its top left corner.
#include <cstdio>

#include "devhost/measure/measure.h"

namespace {

bool WriteBmp(const std::string& path, BITMAPINFOHEADER header, const void* bits) {
    const DWORD stride = (header.biWidth * 3 + 3) & ~3;
    header.biSizeImage = stride * header.biHeight;
    BITMAPFILEHEADER file_header = {};
    file_header.bfType = 0x4d42;  // "BM"
    file_header.bfOffBits = sizeof file_header + sizeof header;
    file_header.bfSize = file_header.bfOffBits + header.biSizeImage;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(&file_header, sizeof file_header, 1, file) == 1 &&
                         std::fwrite(&header, sizeof header, 1, file) == 1 &&
                         std::fwrite(bits, header.biSizeImage, 1, file) == 1;
    return std::fclose(file) == 0 && written;
}

}  // namespace

bool SaveScreen(const std::string& path) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    info.bmiHeader.biHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);  // bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool saved = false;
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, info.bmiHeader.biWidth, info.bmiHeader.biHeight, screen,
               GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), SRCCOPY);
        GdiFlush();
        SelectObject(memory, old);
        saved = WriteBmp(path, info.bmiHeader, bits);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved;
}
