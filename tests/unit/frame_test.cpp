// The plug-in as the host sees it: start, stop and the information query, and
// the list window's procedure routing window and host messages.
#include <climits>
#include <cstring>

#include "plugin/plugin.h"
#include "tests/fakes/list_fixture.h"

namespace {

const HINSTANCE INSTANCE = reinterpret_cast<HINSTANCE>(77);
const std::string MESSAGES = fake::Num(MESSAGE_LIST);
const std::string REGISTER = "SendMessageA 1 10001 1000 " + MESSAGES;
const std::string UNREGISTER = "SendMessageA 1 10002 1000 " + MESSAGES;
const std::string REGISTER_CLASS = "RegisterClassA \"Marrowick\" 0 0 0 77 0 0 0 null";
const std::string CREATE_WINDOW =
    "CreateWindowExA 136 \"Marrowick\" null 2147483648 0 0 0 0 0 0 77 0";
const std::string UNREGISTER_CLASS = "UnregisterClassA \"Marrowick\" 77";

// Starts from a module that was just loaded: no list window yet.
class FrameTest : public ListTest {
protected:
    void SetUp() override {
        ListTest::SetUp();
        fake::KillWindow(hListWnd);
        hListWnd = nullptr;
        hPluginInstance = nullptr;
    }

    static LRESULT Send(UINT message, const char* text = nullptr) {
        return SendMessageA(hListWnd, message, 0, reinterpret_cast<LPARAM>(text));
    }
    static bool Shown() { return fake::FindWindowRecord(hListWnd)->visible; }
    static int Width() {
        const RECT& r = fake::FindWindowRecord(hListWnd)->rect;
        return r.right - r.left;
    }
};

TEST_F(FrameTest, PluginInfoAnswersEveryQuery) {
    for (int query : {1, 0, 7, -1, INT_MIN, INT_MAX}) EXPECT_STREQ(pluginInfo(query), "Marrowick");
    EXPECT_STREQ(pluginInfo(2), "0.0.2");
    EXPECT_STREQ(pluginInfo(4), "2004-12-20/2005-04-06");
    for (int query : {3, 5, 6}) {
        EXPECT_STRNE(pluginInfo(query), "");
        EXPECT_STRNE(pluginInfo(query), "Marrowick");
    }
    EXPECT_EQ(std::strncmp(pluginInfo(5), "http", 4), 0);
    EXPECT_NE(std::strchr(pluginInfo(6), '@'), nullptr);
}

TEST_F(FrameTest, StartReadsTheSettingsThenCreatesTheHiddenListRegisteredWithTheHost) {
    fake::host.rc_text = "marrowick.icon_size: 24";
    EXPECT_EQ(beginPlugin(INSTANCE), 0);
    EXPECT_EQ(fake::CallsTo({"GetModuleFileNameA", "RegisterClassA", "CreateWindowExA",
                             "SendMessageA", "UnregisterClassA", "MessageBoxA"}),
              (Lines{"GetModuleFileNameA 77 260", REGISTER_CLASS, CREATE_WINDOW, REGISTER}));
    EXPECT_EQ(config.icon_size, 24);
    EXPECT_EQ(hPluginInstance, INSTANCE);
    EXPECT_EQ(fake::Num(hListWnd), "1000");
    EXPECT_EQ(fake::FindWindowRecord(hListWnd)->proc, &WndProc);
    EXPECT_FALSE(Shown());
    EXPECT_EQ(fake::host.registered, std::vector<HWND>{hListWnd});
}

TEST_F(FrameTest, AConfigurationFailureShowsABoxWithoutOwnerAndStillStarts) {
    fake::platform.module_file_name_fails = true;
    EXPECT_EQ(beginPlugin(INSTANCE), 0);
    EXPECT_EQ(
        fake::CallsTo({"MessageBoxA", "RegisterClassA", "CreateWindowExA"}),
        (Lines{"MessageBoxA 0 \"Failed to get the path to Marrowick.rc\" \"Marrowick\" 327680",
               REGISTER_CLASS, CREATE_WINDOW}));
    EXPECT_EQ(std::memcmp(&config, &DEFAULT_CONFIG, sizeof config), 0);
    EXPECT_EQ(fake::host.registered, std::vector<HWND>{hListWnd});
}

TEST_F(FrameTest, AFailedClassRegistrationFailsTheStartAndTheStopThenDoesNothing) {
    fake::host.rc_text = "marrowick.icon_size: 24";
    fake::platform.register_class_fails = true;
    EXPECT_EQ(beginPlugin(INSTANCE), 1);
    EXPECT_EQ(fake::CallsTo({"RegisterClassA", "CreateWindowExA", "UnregisterClassA"}),
              Lines{REGISTER_CLASS});
    EXPECT_EQ(config.icon_size, 24);  // the settings stay read
    fake::ClearCalls();
    endPlugin(INSTANCE);
    EXPECT_EQ(fake::Calls(), (Lines{"DestroyWindow 0", UNREGISTER_CLASS}));
    EXPECT_TRUE(fake::MessageBoxes().empty());
}

TEST_F(FrameTest, AFailedWindowCreationUnregistersTheClass) {
    fake::platform.create_window_fails = true;
    EXPECT_EQ(beginPlugin(INSTANCE), 1);
    EXPECT_EQ(fake::CallsTo({"RegisterClassA", "CreateWindowExA", "UnregisterClassA"}),
              (Lines{REGISTER_CLASS, CREATE_WINDOW, UNREGISTER_CLASS}));
    EXPECT_EQ(hListWnd, nullptr);
    EXPECT_TRUE(fake::MessageBoxes().empty());
    fake::platform.create_window_fails = false;  // the class can be registered again
    EXPECT_EQ(beginPlugin(INSTANCE), 0);
}

TEST_F(FrameTest, StopDestroysTheWindowWhichUnregistersFromTheHostThenTheClass) {
    ASSERT_EQ(beginPlugin(INSTANCE), 0);
    fake::ClearCalls();
    endPlugin(INSTANCE);
    EXPECT_EQ(fake::CallsTo({"DestroyWindow", "SendMessageA", "UnregisterClassA"}),
              (Lines{"DestroyWindow 1000", UNREGISTER, UNREGISTER_CLASS}));
    EXPECT_EQ(fake::FindWindowRecord(reinterpret_cast<HWND>(1000)), nullptr);
    EXPECT_TRUE(fake::host.registered.empty());
}

TEST_F(FrameTest, AStartAfterAStopWhileShownBeginsHiddenWithTheNewWindow) {
    AddEntries({"Volume", "Clock"});
    ASSERT_EQ(beginPlugin(INSTANCE), 0);
    Send(MSG_BROADCAST, "@Marrowick.Next");
    ASSERT_TRUE(Shown());
    endPlugin(INSTANCE);
    EXPECT_EQ(hListWnd, nullptr);

    fake::platform.module_file_name_fails = true;  // a report now has no owner
    ASSERT_EQ(beginPlugin(INSTANCE), 0);
    EXPECT_EQ(fake::Num(hListWnd), "1001");
    EXPECT_EQ(list_state.visible, 0);
    EXPECT_EQ(fake::MessageBoxes().at(0).owner, nullptr);

    fake::ClearCalls();
    Send(MSG_BROADCAST, "@Marrowick.Next");
    Send(MSG_BROADCAST, "@Marrowick.Bogus");
    EXPECT_EQ(fake::CallsTo({"ShowWindow", "SetForegroundWindow", "MessageBoxA"}),
              (Lines{"ShowWindow 1001 5", "SetForegroundWindow 1001",
                     Report("Unknown bro@m: `@Marrowick.Bogus'")}));
    EXPECT_TRUE(Shown());
}

TEST_F(FrameTest, EveryMessageGetsTheDefaultProcessingAndItsResult) {
    ASSERT_EQ(beginPlugin(INSTANCE), 0);
    fake::platform.default_window_result = 4242;
    const char* other_plugin = "@Other.Next";
    const struct {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        bool only_default;
    } messages[] = {
        {WM_LBUTTONDOWN, 1, 0x00050006, true},  // clicks and keys get nothing else
        {0x0100 /* WM_KEYDOWN */, 0x28, 1, true},
        {MSG_BROADCAST, 3, reinterpret_cast<LPARAM>(other_plugin), true},
        {MSG_BROADCAST, 0, 0, true},  // a null text
        {WM_PAINT, 0, 0, false},
        {MSG_RECONFIGURE, 5, 6, false},
        {WM_CREATE, 0, 0, false},
        {WM_DESTROY, 0, 0, false},
    };
    for (const auto& m : messages) {
        SCOPED_TRACE(m.message);
        fake::ClearCalls();
        EXPECT_EQ(WndProc(hListWnd, m.message, m.wParam, m.lParam), 4242);
        const std::string default_processing = "DefWindowProcA 1000 " + std::to_string(m.message) +
                                               " " + std::to_string(m.wParam) + " " +
                                               std::to_string(m.lParam);
        if (m.only_default)
            EXPECT_EQ(fake::Calls(), Lines{default_processing});
        else
            EXPECT_EQ(fake::Calls().back(), default_processing);
    }
}

// Alt+F4 on the focused list sends it WM_CLOSE, whose default processing
// would destroy the window and leave the plug-in unregistered and deaf. It
// hides the list as Cancel does, in both modes, and nothing else.
TEST_F(FrameTest, CloseIsACancelThatKeepsTheWindow) {
    AddEntries({"Volume", "Clock"});
    ASSERT_EQ(beginPlugin(INSTANCE), 0);
    for (int interactive : {0, 1}) {
        SCOPED_TRACE(interactive);
        config.interactive = interactive;
        Send(MSG_BROADCAST, "@Marrowick.Next");
        fake::ClearCalls();
        EXPECT_EQ(Send(WM_CLOSE), 0);
        EXPECT_EQ(fake::Calls(), (Lines{"SendMessageA 1000 16 0 0", "ShowWindow 1000 0"}));
        EXPECT_EQ(Send(WM_CLOSE), 0);  // hidden: nothing at all
        EXPECT_EQ(fake::host.registered.size(), 1u);
        Send(MSG_BROADCAST, "@Marrowick.Next");
        EXPECT_TRUE(Shown());
        Send(MSG_BROADCAST, "@Marrowick.Cancel");
    }
}

// What an interactive list acts by is taken as it shows: a reconfigure while
// it is up changes it from the next showing only, as it does the list's size.
TEST_F(FrameTest, ClickSettingsHoldWhileTheListIsShown) {
    AddEntries({"Volume", "Clock"});
    fake::host.rc_text = "marrowick.interactive: true\nmarrowick.enter_click: RightClick";
    ASSERT_EQ(beginPlugin(INSTANCE), 0);
    Send(MSG_BROADCAST, "@Marrowick.Next");
    fake::host.rc_text = "marrowick.notify_version: 3";
    Send(MSG_RECONFIGURE);
    fake::ClearCalls();
    WndProc(hListWnd, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(fake::CallsTo("PostMessageA"),
              (Lines{"PostMessageA 101 1025 7 516", "PostMessageA 101 1025 7 517"}));
    Send(MSG_BROADCAST, "@Marrowick.Next");  // the new settings: no keys, the version-3 form
    fake::ClearCalls();
    WndProc(hListWnd, WM_KEYDOWN, VK_RETURN, 0);
    Send(MSG_BROADCAST, "@Marrowick.Send LeftClick");
    EXPECT_EQ(fake::CallsTo("PostMessageA"),
              (Lines{"PostMessageA 101 1025 7 513", "PostMessageA 101 1025 7 514",
                     "PostMessageA 101 1025 7 1024"}));
}

TEST_F(FrameTest, PaintRequestsPaintTheListInTheCurrentSettings) {
    AddEntries({"Volume", "Clock"});
    ASSERT_EQ(beginPlugin(INSTANCE), 0);
    Send(MSG_BROADCAST, "@Marrowick.Next");
    EXPECT_EQ(Width(), 85);

    // A reconfigure while shown changes the next paint, not the window.
    fake::host.rc_text = "marrowick.icon_size: 0\nmarrowick.tip_style: menu.title";
    fake::ClearCalls();
    Send(MSG_RECONFIGURE);
    EXPECT_EQ(fake::CallsTo({"SetWindowPos", "InvalidateRect", "ShowWindow", "BeginPaint"}),
              Lines{});
    Send(WM_PAINT);
    EXPECT_EQ(fake::CallsTo({"BeginPaint", "DrawIconEx", "MakeStyleGradient"}),
              (Lines{"BeginPaint 1000", "MakeStyleGradient 2001 0 0 85 40 style8 0",
                     "MakeStyleGradient 2001 0 0 85 20 style7 0"}));

    // The next show lays the list out anew.
    Send(MSG_BROADCAST, "@Marrowick.Cancel");
    Send(MSG_BROADCAST, "@Marrowick.Next");
    EXPECT_EQ(Width(), 69);
}

}  // namespace
