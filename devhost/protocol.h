// The stand-in host's protocol: how tray-owning programs and other processes
// talk to the running blackbox.exe. Everything goes to the host's main window
// as WM_COPYDATA, which copies the data into the host's process.
//
//   dwData           lpData                  what it does
//   COPYDATA_TRAY_ADD     TrayMessage        adds an entry (fails if owner+id exists)
//   COPYDATA_TRAY_MODIFY  TrayMessage        changes the fields named in flags
//   COPYDATA_TRAY_DELETE  TrayMessage        removes the entry (only owner and id read)
//   COPYDATA_COMMAND      text, NUL included  queues one host command (see README)
//
// The host answers TRUE when it took the message, FALSE when it refused it.
// Commands are queued and run later, so the sender never waits for a command
// that opens a message box.
#pragma once

#include <windows.h>

#include <cstdint>

// The host's main window, found with FindWindowA(HOST_CLASS_NAME, nullptr).
constexpr char HOST_CLASS_NAME[] = "BlackboxDevHost";

constexpr ULONG_PTR COPYDATA_TRAY_ADD = 1;
constexpr ULONG_PTR COPYDATA_TRAY_MODIFY = 2;
constexpr ULONG_PTR COPYDATA_TRAY_DELETE = 3;
constexpr ULONG_PTR COPYDATA_COMMAND = 16;

// Fields a TrayMessage carries; an add should name all three.
constexpr uint32_t TRAY_FIELD_MESSAGE = 1;  // callback_message
constexpr uint32_t TRAY_FIELD_ICON = 2;     // icon_size and icon_pixels
constexpr uint32_t TRAY_FIELD_TIP = 4;      // tip

constexpr int TRAY_ICON_MAX = 32;
constexpr int TRAY_MESSAGE_TIP_SIZE = 512;

// One tray entry as its owner describes it. Icons travel as pixels because an
// icon handle of one process means nothing in another.
struct TrayMessage {
    uint32_t owner;             // the owner window's handle
    uint32_t id;                // chosen by the owner, unique per owner window
    uint32_t fields;            // TRAY_FIELD_* present in this message
    uint32_t callback_message;  // posted to the owner on clicks
    int32_t icon_size;          // width and height of icon_pixels, 1..TRAY_ICON_MAX
    // Top-down rows of icon_size pixels, 0xAARRGGBB, alpha 0 or 255.
    uint32_t icon_pixels[TRAY_ICON_MAX * TRAY_ICON_MAX];
    char tip[TRAY_MESSAGE_TIP_SIZE];  // NUL-terminated; may hold CR and LF
};

// The demo tray program's own commands, sent to its window the same way.
constexpr ULONG_PTR COPYDATA_TRAYAPP_COMMAND = 17;
constexpr char TRAYAPP_CLASS_NAME[] = "MarrowickDemoTray";
