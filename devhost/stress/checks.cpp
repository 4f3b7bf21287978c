// The checks after each broadcast of a stress run: fonts and device contexts
// given back, the list shown or hidden as the model says, the highlight in
// the model's row, read from the list's pixels, and each click received by
// the program it was for and by no other.
#include <algorithm>
#include <cstdint>

#include "devhost/stress/run.h"
#include "host/host.h"

namespace stress {

// Every font and device context the plug-in took since the last check,
// which includes any paint between the broadcasts, is given back.
void Stress::CheckResources() {
    CheckFonts();
    CheckDeviceContexts();
}

// The fonts CreateStyleFont handed out must all be gone.
void Stress::CheckFonts() {
    counts_.fonts += static_cast<long>(fonts_.size());
    for (HFONT font : fonts_)
        if (GetObjectType(font) != 0) {
            ++counts_.fonts_leaked;
            Error("font %p handed out by CreateStyleFont is still alive", static_cast<void*>(font));
        }
    fonts_.clear();
}

// No device context of the plug-in stays open or is released without having
// been opened; each new count is reported once.
void Stress::CheckDeviceContexts() {
    const DcCounts dcs = DeviceContexts();
    if (dcs.open != dcs_open_reported_) {
        Error("%ld device contexts of the plug-in open after the broadcast", dcs.open);
        dcs_open_reported_ = dcs.open;
    }
    if (dcs.stray != dcs_stray_reported_) {
        Error("%ld device contexts released that were not open", dcs.stray);
        dcs_stray_reported_ = dcs.stray;
    }
}

// The list is shown or hidden as the model says; a list just painted has its
// highlight where the model says.
void Stress::CheckList(bool painted) {
    const bool visible = IsWindowVisible(list_) != 0;
    if (visible != model_.visible)
        Error("the list is %s, expected %s", visible ? "shown" : "hidden",
              model_.visible ? "shown" : "hidden");
    else if (visible && painted && check_highlight_)
        CheckHighlight();
}

// After a click: each live tray program says how many callbacks it has
// logged, and only the awaited receiver has logged more, by the click's
// messages. A click that reached another program than the owner of the entry
// shown highlighted, or any program when that entry or its owner is gone, is
// misdirected.
void Stress::CheckClickReached() {
    if (!awaited_.pending) return;
    awaited_.pending = false;
    bool misdirected = false;
    for (Owner& owner : owners_) {
        if (!owner.alive) continue;
        const long logged = Received(owner);
        const long got = logged - owner.logged;
        owner.logged = logged;
        const long awaited = &owner == awaited_.receiver ? awaited_.messages : 0;
        if (got == awaited) continue;
        misdirected = misdirected || awaited == 0;
        Error("a click of the entry shown highlighted (%s) brought %s %ld callbacks, %ld awaited",
              awaited_.entry.c_str(), owner.name.c_str(), got, awaited);
    }
    counts_.misdirected += misdirected;
}

// A change of the tray or the settings while the list is shown paints
// nothing: the entry last drawn highlighted stays the one the user saw.
void Stress::CheckNotPainted(long opened_before) {
    if (model_.visible && DeviceContexts().opened != opened_before)
        Error("the list painted or laid itself out as the tray or the settings changed");
}

// Row i of n lies at base top + i * pitch, pitch = (height - base top - base
// bottom) / n, and its highlight spans from base left to width - base right.
// Three lines of each row are read where they are on the screen: the
// highlight colour must be in the model's row, when that row still has an
// entry, and nowhere else.
void Stress::CheckHighlight() {
    const int count = model_.count;
    if (count <= 0) return;
    RECT window;
    GetWindowRect(list_, &window);
    const int pitch = (window.bottom - window.top - base_.top - base_.bottom) / count;
    if (pitch < 3) return;
    const RECT part = HighlightArea(window);
    if (part.right <= part.left || part.bottom <= part.top) return;
    if (!Capture(part)) {
        Error("cannot read the list's pixels");
        return;
    }
    const int drawn = std::min(count, GetTraySize());
    ++counts_.highlight_checks;
    for (int row = 0; row < count; ++row) {
        bool read = false;
        const bool seen = RowHighlighted(part, base_.top + row * pitch, pitch, &read);
        const bool expected = row == model_.selected && row < drawn;
        if (read && seen != expected)
            Error("row %d of %d is %shighlighted; the highlight belongs to row %d (%d drawn)", row,
                  count, seen ? "" : "not ", model_.selected, drawn);
    }
}

// Where the highlight can be, inside the base padding, cut to what of the
// list window lies on the screen; in window coordinates.
RECT Stress::HighlightArea(const RECT& window) const {
    const int width = window.right - window.left, height = window.bottom - window.top;
    return {std::max<long>({0L, base_.left, -window.left}), std::max(0L, -window.top),
            std::min<long>(width - base_.right, GetSystemMetrics(SM_CXSCREEN) - window.left),
            std::min<long>(height, GetSystemMetrics(SM_CYSCREEN) - window.top)};
}

// Whether the highlight colour lies on the row at top, read on three of its
// lines (near the top, the middle, near the bottom) in the captured part;
// *read says whether any of them lies in the part.
bool Stress::RowHighlighted(const RECT& part, int top, int pitch, bool* read) const {
    const uint32_t hilite = GetRValue(hilite_) << 16 | GetGValue(hilite_) << 8 | GetBValue(hilite_);
    bool seen = false;
    *read = false;
    for (int y : {top + 1, top + pitch / 2, top + pitch - 2}) {
        if (y < part.top || y >= part.bottom) continue;
        *read = true;
        const uint32_t* line = capture_bits_ + (y - part.top) * capture_width_;
        for (int x = 0; x < part.right - part.left && !seen; ++x)
            seen = (line[x] & 0xffffff) == hilite;
    }
    return seen;
}

// Copies the part of the list window, in window coordinates, to the top left
// of the capture bitmap.
bool Stress::Capture(const RECT& part) {
    if (!capture_dc_ && !CreateCapture()) return false;
    HDC window_dc = GetDC(list_);
    const bool copied = BitBlt(capture_dc_, 0, 0, part.right - part.left, part.bottom - part.top,
                               window_dc, part.left, part.top, SRCCOPY);
    ReleaseDC(list_, window_dc);
    GdiFlush();  // the bitmap's bits are read directly
    return copied;
}

// A top-down 32-bit bitmap of the screen's size, made once, whose bits the
// host reads directly.
bool Stress::CreateCapture() {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = capture_width_ = GetSystemMetrics(SM_CXSCREEN);
    info.bmiHeader.biHeight = -GetSystemMetrics(SM_CYSCREEN);  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    capture_bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!capture_bitmap_) return false;
    capture_bits_ = static_cast<const uint32_t*>(bits);
    capture_dc_ = CreateCompatibleDC(nullptr);
    capture_old_ = SelectObject(capture_dc_, capture_bitmap_);
    return true;
}

void Stress::ReleaseCapture() {
    if (!capture_dc_) return;
    SelectObject(capture_dc_, capture_old_);
    DeleteDC(capture_dc_);
    DeleteObject(capture_bitmap_);
    capture_dc_ = nullptr;
}

}  // namespace stress
