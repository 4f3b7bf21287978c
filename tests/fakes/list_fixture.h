// The common start of the tray list's and the plug-in frame's unit tests:
// fresh fakes, the compiled-in settings, a hidden list, and a list window the
// platform knows; helpers to fill the tray and to broadcast commands.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/config.h"
#include "plugin/module.h"
#include "tests/fakes/fake.h"
#include "traylist/traylist.h"

using Lines = std::vector<std::string>;

constexpr intptr_t LIST_WINDOW = 500;
constexpr COLORREF BASE_TEXT = 111;  // text colour of the base style (index 8)
constexpr COLORREF TIP_TEXT = 222;   // text colour of the tip style (index 9)

class ListTest : public testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        config = DEFAULT_CONFIG;
        notify_version_by_program = {};
        ListWindowDestroyed();  // hidden; the next show starts afresh
        hPluginInstance = reinterpret_cast<HINSTANCE>(77);
        hListWnd = fake::LiveWindow(LIST_WINDOW);
        fake::host.styles[8] = fake::MakeStyle(BASE_TEXT);
        fake::host.styles[9] = fake::MakeStyle(TIP_TEXT);
    }

    // Whatever a test did, every font from the host was deleted, every
    // device context released and every snapshot of the processes closed.
    void TearDown() override {
        EXPECT_EQ(fake::LiveFonts(), 0);
        EXPECT_EQ(fake::OpenDeviceContexts(), 0);
        EXPECT_EQ(fake::OpenSnapshots(), 0);
    }

    // Entry i is owned by the live window 101 + i, with icon id 7 + i,
    // callback message 1025 + i and icon 601 + i.
    static void AddEntries(const std::vector<std::string>& tips) {
        for (const std::string& tip : tips) {
            const int i = static_cast<int>(fake::host.tray.size());
            fake::AddTrayEntry(fake::LiveWindow(101 + i), 7 + i, 1025 + i, 601 + i, tip);
        }
    }

    // Broadcasts the plug-in's prefix followed by command.
    static void Broam(const std::string& command) {
        HandleBroam(("@Marrowick." + command).c_str());
    }

    // The recorded message box call that reports text, owned by the list.
    static std::string Report(const std::string& text) {
        return "MessageBoxA " + fake::Num(hListWnd) + " \"" + text + "\" \"Marrowick\" 327680";
    }
};
