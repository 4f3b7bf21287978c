// The program's icons: drawn as real icons and handed to the system tray
// with Shell_NotifyIconA or Shell_NotifyIconW, a version declared with
// NIM_SETVERSION right after the add, as programs do.
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "devhost/systray/pixel_icon.h"
#include "devhost/trayapp/trayapp.h"

namespace {

struct Icon {
    HWND owner;
    UINT version;
    HICON handle;
    std::string tip;
};
std::map<unsigned, Icon> icons;

// The icon's picture into the 32-bit bitmap selected into dc: a rounded
// square in the colour, framed a shade darker, with the letter in white.
void PaintPicture(HDC dc, COLORREF color, char letter) {
    HBRUSH brush = CreateSolidBrush(color);
    HPEN pen = CreatePen(PS_SOLID, 2,
                         RGB(GetRValue(color) / 2, GetGValue(color) / 2, GetBValue(color) / 2));
    HFONT font = CreateFontA(-22, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                             NONANTIALIASED_QUALITY, 0, "Tahoma");
    HGDIOBJ old_brush = SelectObject(dc, brush);
    HGDIOBJ old_pen = SelectObject(dc, pen);
    HGDIOBJ old_font = SelectObject(dc, font);
    RoundRect(dc, 1, 1, PIXEL_ICON_SIDE - 1, PIXEL_ICON_SIDE - 1, 10, 10);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    RECT all = {0, 0, PIXEL_ICON_SIDE, PIXEL_ICON_SIDE};
    DrawTextA(dc, &letter, 1, &all, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    GdiFlush();
    SelectObject(dc, old_font);
    SelectObject(dc, old_pen);
    SelectObject(dc, old_brush);
    DeleteObject(font);
    DeleteObject(pen);
    DeleteObject(brush);
}

// A 32 by 32 icon with the letter on a rounded square in the colour.
HICON DrawIcon(COLORREF color, char letter) {
    uint32_t* pixels = nullptr;
    HBITMAP bitmap = CreateIconBitmap(&pixels);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old_bitmap = SelectObject(dc, bitmap);
    PaintPicture(dc, color, letter);
    SelectObject(dc, old_bitmap);
    DeleteDC(dc);
    HICON icon = IconFromPixels(bitmap, pixels);
    DeleteObject(bitmap);
    return icon;
}

// "\n" in a tip given on the command line or in a command is a line break.
std::string Unescaped(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            out += "\r\n";
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Fills the fields both forms of NOTIFYICONDATA share and calls the one the
// program uses; a tip longer than the record holds is cut there.
template <typename Data>
void Fill(Data* data, unsigned id, const Icon& icon, UINT flags) {
    data->cbSize = sizeof *data;
    data->hWnd = icon.owner;
    data->uID = id;
    data->uFlags = flags;
    data->uCallbackMessage = WM_TRAY_CALLBACK + icon.version;
    data->hIcon = icon.handle;
    data->uVersion = icon.version;
    if (icon.version >= TRAY_VERSION_4) data->uFlags |= NIF_SHOWTIP;
}

BOOL Notify(DWORD operation, unsigned id, const Icon& icon, UINT flags) {
    if (program.wide) {
        NOTIFYICONDATAW data = {};
        Fill(&data, id, icon, flags);
        MultiByteToWideChar(CP_ACP, 0, icon.tip.c_str(), -1, data.szTip, ARRAYSIZE(data.szTip));
        data.szTip[ARRAYSIZE(data.szTip) - 1] = 0;
        return Shell_NotifyIconW(operation, &data);
    }
    NOTIFYICONDATAA data = {};
    Fill(&data, id, icon, flags);
    lstrcpynA(data.szTip, icon.tip.c_str(), ARRAYSIZE(data.szTip));
    return Shell_NotifyIconA(operation, &data);
}

bool Add(unsigned id, const Icon& icon) {
    if (!Notify(NIM_ADD, id, icon, NIF_MESSAGE | NIF_ICON | NIF_TIP)) return false;
    if (icon.version != TRAY_VERSION_NONE && !Notify(NIM_SETVERSION, id, icon, 0))
        std::fprintf(stderr, "trayapp %s: version %u refused for %u\n", program.name.c_str(),
                     icon.version, id);
    return true;
}

void Destroy(const Icon& icon) {
    if (icon.handle) DestroyIcon(icon.handle);
}

}  // namespace

bool AddIcon(const std::string& entry, HWND owner) {
    unsigned id = 0, version = program.version;
    char color_text[8] = "", letter = '?';
    int tip_start = 0;
    const bool versioned = std::sscanf(entry.c_str(), "%u:%u #%6s %c %n", &id, &version, color_text,
                                       &letter, &tip_start) == 4 &&
                           tip_start;
    if (!versioned &&
        (std::sscanf(entry.c_str(), "%u #%6s %c %n", &id, color_text, &letter, &tip_start) < 3 ||
         !tip_start))
        return false;
    if (icons.count(id) || (version != 0 && version != 3 && version != 4)) return false;
    const unsigned long rgb = std::strtoul(color_text, nullptr, 16);
    Icon icon = {owner, version,
                 DrawIcon(RGB((rgb >> 16) & 0xff, (rgb >> 8) & 0xff, rgb & 0xff), letter),
                 Unescaped(entry.substr(tip_start))};
    // Kept even when no tray took it: a tray that starts later asks for it
    // with "TaskbarCreated".
    icons[id] = icon;
    return Add(id, icon);
}

bool ChangeTip(unsigned id, const std::string& tip) {
    const auto found = icons.find(id);
    if (found == icons.end()) return false;
    Icon changed = found->second;
    changed.tip = Unescaped(tip);
    if (!Notify(NIM_MODIFY, id, changed, NIF_TIP)) return false;
    found->second = changed;
    return true;
}

bool DeleteIcon(unsigned id) {
    const auto found = icons.find(id);
    if (found == icons.end() || !Notify(NIM_DELETE, id, found->second, 0)) return false;
    Destroy(found->second);
    icons.erase(found);
    return true;
}

void DeleteAllIcons() {
    for (const auto& icon : icons) {
        Notify(NIM_DELETE, icon.first, icon.second, 0);
        Destroy(icon.second);
    }
    icons.clear();
}

void AddIconsAgain() {
    int added = 0;
    for (const auto& icon : icons) added += Add(icon.first, icon.second);
    std::printf("taskbar created: %d of %d icons added again\n", added,
                static_cast<int>(icons.size()));
    std::fflush(stdout);
}

void ForgetIconsOf(HWND owner) {
    for (auto icon = icons.begin(); icon != icons.end();) {
        if (icon->second.owner == owner) {
            Destroy(icon->second);
            icon = icons.erase(icon);
        } else {
            ++icon;
        }
    }
}

bool IconVersion(unsigned id, UINT* version) {
    const auto found = icons.find(id);
    if (found == icons.end()) return false;
    *version = found->second.version;
    return true;
}
