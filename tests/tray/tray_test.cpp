// The tray program under Wine, without a driver: start-up and the settings
// key, the single instance, the menu commands, what it types and clicks for
// the driver's messages, the system settings it applies.
//   tray_test VEXONTRA.EXE RECORDER.EXE [gtest options]
#include "tray_fixture.h"

#include <algorithm>

#include "driver_protocol.h"

namespace {

constexpr UINT UM_TRAY_NOTIFY = 0x040A;
constexpr WORD ID_OFA_VISIBLE = 32772;
constexpr WORD ID_UNIVERSAL_SCROLL = 32773;
constexpr WORD ID_OFA_ON = 32775;
constexpr WORD ID_DISABLE_TRAY_ICON = 32778;
constexpr WORD ID_CLOSE_TRAY_ICON = 57665;

int CountTrayWindows()
{
    int count = 0;
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            char title[64] = {};
            GetWindowTextA(window, title, sizeof(title));
            if (strcmp(title, "ZIRERERODEVURU") == 0)
                ++*reinterpret_cast<int*>(context);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

class Tray : public testing::Test {
protected:
    void SetUp() override { ClearSettingsKeys(); }

    HWND StartTray(const std::string& arguments = "")
    {
        EXPECT_TRUE(tray_.Start(arguments));
        HWND window = tray_.WaitForWindow();
        EXPECT_NE(window, nullptr) << "the tray's window did not appear";
        return window;
    }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(tray_.Window(), message, wParam, lParam, SMTO_NORMAL, 15000, &answer);
        return LRESULT(answer);
    }

    void Command(WORD id) { Send(WM_COMMAND, id, 0); }

    TrayProcess tray_;
};

TEST_F(Tray, EmptyRegistryEndsAsACompleteLegalKey)
{
    StartTray();
    const std::vector<std::string> expected = {
        "Acceleration", "AccelerationEnabled", "ButtonAssigned1", "ButtonAssigned2",
        "ButtonAssigned3", "ButtonAssigned4", "ButtonAssigned5", "DoubleClickSpeed",
        "OFAScaleEnabled", "OFASensitivityEnabled", "OFASensitivityViewable", "Orientation",
        "PS2Rate", "PS2RateEnabled", "ProgramOFA", "ProgramTray", "ScrollWheelSpeed",
        "TrayEnabled", "UniversalScrollEnabled", "UniversalScrollSpeed", "VexonPath",
        "VexonSpeedX", "VexonSpeedY", "XYSensitivityEnabled"};
    EXPECT_EQ(UserValueNames(), expected);
    EXPECT_EQ(ReadUserDword("VexonSpeedX"), 18u);
    EXPECT_EQ(ReadUserDword("PS2Rate"), 200u);
    EXPECT_EQ(ReadUserBinary("ButtonAssigned4"), (std::vector<BYTE>{0, 0, 0, 2, 2}));
}

TEST_F(Tray, SecondStartLeavesOneInstanceButRewritesTheKey)
{
    StartTray();
    WriteUserDword("Acceleration", 50);
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Tolvi\\Vexon", "PS2Rate");

    TrayProcess second;
    ASSERT_TRUE(second.Start());
    EXPECT_TRUE(second.WaitForExit()) << "the second tray kept running";
    EXPECT_EQ(CountTrayWindows(), 1);
    EXPECT_EQ(ReadUserDword("Acceleration"), 0u);
    EXPECT_EQ(ReadUserDword("PS2Rate"), 200u);
}

TEST_F(Tray, ClosesOnWmCloseButNotFromTheSystemMenu)
{
    StartTray();
    Send(WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(IsWindow(tray_.Window()));
    EXPECT_EQ(tray_.Close(), 0);
    EXPECT_TRUE(tray_.WaitForExit());
}

std::vector<WPARAM> g_settingChanges;

LRESULT CALLBACK SettingWatcher(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTINGCHANGE)
        g_settingChanges.push_back(wParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

std::string ReadDesktopText(const char* name)
{
    char text[64] = {};
    DWORD size = sizeof(text);
    RegGetValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", name, RRF_RT_REG_SZ, nullptr, text,
                 &size);
    return text;
}

bool Seen(WPARAM setting)
{
    return std::find(g_settingChanges.begin(), g_settingChanges.end(), setting) !=
           g_settingChanges.end();
}

// The wheel lines are stored in the profile and announced; the double-click
// time is set for the session only.
TEST_F(Tray, AppliesTheWheelLinesToTheProfile)
{
    WNDCLASSA watcherClass = {};
    watcherClass.lpfnWndProc = SettingWatcher;
    watcherClass.lpszClassName = "SettingWatcher";
    RegisterClassA(&watcherClass);
    HWND watcher = CreateWindowA("SettingWatcher", "watcher", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                 nullptr, nullptr, nullptr);
    g_settingChanges.clear();
    WriteUserDword("DoubleClickSpeed", 6);  // 100 ms
    WriteUserDword("ScrollWheelSpeed", 4);
    StartTray();
    EXPECT_TRUE(WaitFor([] { return Seen(SPI_SETWHEELSCROLLLINES); }));
    EXPECT_EQ(ReadDesktopText("WheelScrollLines"), "7");
    DestroyWindow(watcher);
}

TEST_F(Tray, OnTheFlySwitchTakesButtonFourAlongWithIt)
{
    WriteUserBinary("ButtonAssigned4", {0, 0, 0, 2, 2});
    StartTray();
    struct Step {
        DWORD enabled;
        std::vector<BYTE> button4;
    } steps[] = {
        {0, {0, 0, 0, 0, 2}},     // off: the combined word loses its flag
        {1, {0, 0, 0, 0, 0x80}},  // on: the gesture alone
        {0, {0, 0, 0, 1, 0}},     // off again: disabled, not the old word
    };
    for (const Step& step : steps) {
        Command(ID_OFA_ON);
        EXPECT_EQ(ReadUserDword("OFASensitivityEnabled"), step.enabled);
        EXPECT_EQ(ReadUserBinary("ButtonAssigned4"), step.button4);
    }
}

TEST_F(Tray, MenuToggles)
{
    StartTray();
    Command(ID_OFA_VISIBLE);
    EXPECT_EQ(ReadUserDword("OFASensitivityViewable"), 0u);
    Command(ID_OFA_VISIBLE);
    EXPECT_EQ(ReadUserDword("OFASensitivityViewable"), 1u);
    Command(ID_UNIVERSAL_SCROLL);
    EXPECT_EQ(ReadUserDword("UniversalScrollEnabled"), 0u);
}

TEST_F(Tray, HidingTheIconFromTheMenu)
{
    StartTray();
    Command(ID_DISABLE_TRAY_ICON);
    EXPECT_EQ(ReadUserDword("TrayEnabled"), 0u);
    // "Close Tray Icon" saves nothing and the tray keeps running.
    WriteUserDword("TrayEnabled", 1);
    Command(ID_CLOSE_TRAY_ICON);
    EXPECT_EQ(ReadUserDword("TrayEnabled"), 1u);
    EXPECT_TRUE(IsWindow(tray_.Window()));
}

// The popup menu is driven through its keyboard interface: with on-the-fly
// sensitivity off, "Visible" is greyed and its mnemonic does nothing.
TEST_F(Tray, VisibleItemIsGreyedWhileOnTheFlyIsOff)
{
    WriteUserDword("OFASensitivityEnabled", 0);
    WriteUserDword("OFASensitivityViewable", 1);
    StartTray();
    auto chooseFromMenu = [&](BYTE key) {
        PostMessageA(tray_.Window(), UM_TRAY_NOTIFY, 130, WM_RBUTTONUP);
        HWND menu = nullptr;
        EXPECT_TRUE(WaitFor([&] { return (menu = FindWindowA("#32768", nullptr)) != nullptr; }));
        keybd_event(key, 0, 0, 0);
        keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
        // A greyed item leaves the menu open: close it.
        if (!WaitFor([&] { return !IsWindowVisible(menu); }, 2000)) {
            keybd_event(VK_ESCAPE, 0, 0, 0);
            keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
            WaitFor([&] { return !IsWindowVisible(menu); });
        }
        Send(WM_NULL);  // the tray has handled whatever the menu sent
    };
    chooseFromMenu('V');
    EXPECT_EQ(ReadUserDword("OFASensitivityViewable"), 1u);
    chooseFromMenu('U');  // an enabled item: chosen
    EXPECT_EQ(ReadUserDword("UniversalScrollEnabled"), 0u);
}

class TrayInput : public Tray {
protected:
    static std::vector<BYTE> Macro(DWORD word, const std::vector<std::pair<BYTE, BYTE>>& events)
    {
        std::vector<BYTE> record = {BYTE(word == ASSIGN_MACRO), BYTE(word >> 24), BYTE(word >> 16),
                                    BYTE(word >> 8), BYTE(word)};
        for (const auto& e : events) {
            record.push_back(e.first);
            record.push_back(e.second);
        }
        return record;
    }
};

// The hooks may see the generic or the sided code of a modifier.
DWORD Generic(DWORD key)
{
    if (key == VK_LSHIFT || key == VK_RSHIFT)
        return VK_SHIFT;
    if (key == VK_LCONTROL || key == VK_RCONTROL)
        return VK_CONTROL;
    return key;
}

struct Expected {
    DWORD key;
    bool up;
    bool pause;  // at least the reversal pause before it
};

void ExpectStrokes(const std::vector<InputEvent>& seen, const std::vector<Expected>& expected)
{
    ASSERT_EQ(seen.size(), expected.size());
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(Generic(seen[i].code), expected[i].key) << "stroke " << i;
        EXPECT_EQ(seen[i].up, expected[i].up) << "stroke " << i;
        if (i == 0)
            continue;
        const double gap = seen[i].ms - seen[i - 1].ms;
        if (expected[i].pause)
            EXPECT_GE(gap, 95.0) << "stroke " << i;
        else
            EXPECT_LT(gap, 60.0) << "stroke " << i << " came after a pause";
    }
}

TEST_F(TrayInput, MacroPausesBeforeEachReversal)
{
    WriteUserBinary("ButtonAssigned1", Macro(ASSIGN_MACRO, {{'A', 0}, {'A', 1}}));
    WriteUserBinary("ButtonAssigned2",
                    Macro(ASSIGN_MACRO, {{0xA1, 0}, {'A', 0}, {'A', 0}, {'A', 1}, {0xA1, 1}}));
    StartTray();
    {
        InputRecorder recorder;
        EXPECT_EQ(Send(MSG_PLAY_MACRO, 0, 0), 0);
        ExpectStrokes(recorder.WaitForEvents(2), {{'A', false, false}, {'A', true, true}});
    }
    {
        InputRecorder recorder;
        Send(MSG_PLAY_MACRO, 0, 1);
        ExpectStrokes(recorder.WaitForEvents(5), {{VK_SHIFT, false, false},
                                                  {'A', false, false},
                                                  {'A', false, false},
                                                  {'A', true, true},
                                                  {VK_SHIFT, true, true}});
    }
}

TEST_F(TrayInput, HeldKeysGoDownAndUpInStoredOrder)
{
    WriteUserBinary("ButtonAssigned5",
                    Macro(ASSIGN_KEY_HOLD, {{0x11, 0}, {'C', 0}, {0x11, 1}, {'C', 1}}));
    StartTray();
    InputRecorder recorder;
    Send(MSG_KEYS_DOWN, 0, 4);
    Send(MSG_KEYS_UP, 0, 4);
    ExpectStrokes(recorder.WaitForEvents(4), {{VK_CONTROL, false, false},
                                              {'C', false, false},
                                              {VK_CONTROL, true, false},
                                              {'C', true, false}});
}

TEST_F(TrayInput, BadButtonIndicesAreIgnored)
{
    StartTray();
    InputRecorder recorder;
    EXPECT_EQ(Send(MSG_PLAY_MACRO, 0, 5), -1);
    EXPECT_EQ(Send(MSG_PLAY_MACRO, 0, LPARAM(-1)), -1);
    EXPECT_EQ(Send(MSG_KEYS_DOWN, 0, 9), -1);
    EXPECT_EQ(Send(MSG_KEYS_UP, 0, 5), -1);
    EXPECT_EQ(Send(MSG_BUTTON_STATE, 0, 0x08), -1);
    EXPECT_EQ(Send(MSG_BUTTON_STATE, 0, 0x58), -1);
    EXPECT_EQ(Send(MSG_PLAY_MACRO, 0, 0), 0);  // no events: plays nothing
    EXPECT_TRUE(recorder.Events().empty());
}

TEST_F(TrayInput, ButtonStatePressesAtOnceAndReleasesLater)
{
    StartTray();
    InputRecorder recorder;
    Send(MSG_BUTTON_STATE, 0, 0x02000048);
    Send(MSG_BUTTON_STATE, 0, 0x00000048);
    const std::vector<InputEvent> seen = recorder.WaitForEvents(2);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].code, DWORD(WM_RBUTTONDOWN));
    EXPECT_EQ(seen[1].code, DWORD(WM_RBUTTONUP));
    EXPECT_GE(seen[1].ms - seen[0].ms, 95.0);
}

TEST_F(TrayInput, Clicks)
{
    StartTray();
    InputRecorder recorder;
    Send(MSG_DOUBLE_CLICK);
    Send(MSG_RIGHT_CLICK);
    Send(MSG_MIDDLE_CLICK);
    Send(MSG_LEFT_CLICK);
    std::vector<DWORD> codes;
    for (const InputEvent& e : recorder.WaitForEvents(10))
        codes.push_back(e.code);
    EXPECT_EQ(codes, (std::vector<DWORD>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP,
                                         WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MBUTTONDOWN, WM_MBUTTONUP,
                                         WM_LBUTTONDOWN, WM_LBUTTONUP}));
}

TEST_F(Tray, EnabledStartWritesTheRunValue)
{
    WriteUserString("ProgramTray", "C:\\Program Files\\Vexon\\vexontra.exe");
    WriteUserDword("TrayEnabled", 0);
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
                       "vexontra");
    StartTray();
    TrayProcess enabled;
    ASSERT_TRUE(enabled.Start("/enabled"));
    EXPECT_TRUE(enabled.WaitForExit()) << "the tray already runs";
    EXPECT_EQ(ReadUserDword("TrayEnabled"), 1u);
    char run[256] = {};
    DWORD size = sizeof(run);
    EXPECT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
                           "vexontra", RRF_RT_REG_SZ, nullptr, run, &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(run, "C:\\Program Files\\Vexon\\vexontra.exe");
}

// Windows 95 and NT 4.0 have no wheel-lines setting: the tray writes the
// text itself and runs the wheel window of the old wheel protocol.
class TrayLegacy : public Tray {
protected:
    HWND WaitForWheelWindow()
    {
        HWND wheel = nullptr;
        WaitFor([&] { return (wheel = FindWindowA("MouseZ", "Magellan MSWHEEL")) != nullptr; });
        return wheel;
    }
    static LRESULT Ask(HWND window, const char* registered)
    {
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(window, RegisterWindowMessageA(registered), 0, 0, SMTO_NORMAL, 10000,
                            &answer);
        return LRESULT(answer);
    }
};

TEST_F(TrayLegacy, WheelWindowAnswersTheQueries)
{
    WriteUserDword("ScrollWheelSpeed", 3);
    StartTray();
    HWND wheel = WaitForWheelWindow();
    ASSERT_NE(wheel, nullptr);
    EXPECT_EQ(ReadDesktopText("WheelScrollLines"), "5");
    EXPECT_EQ(Ask(wheel, "MSH_SCROLL_LINES_MSG"), 5);
    EXPECT_EQ(Ask(wheel, "MSH_WHEELSUPPORT_MSG"), 1);

    // Told that the lines changed, it reads them again.
    HKEY desktop;
    RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_SET_VALUE, &desktop);
    RegSetValueExA(desktop, "WheelScrollLines", 0, REG_SZ, reinterpret_cast<const BYTE*>("9"), 2);
    RegCloseKey(desktop);
    DWORD_PTR ignored;
    SendMessageTimeoutA(wheel, MSG_SCROLL_LINES_CHANGED, 0, 0, SMTO_NORMAL, 10000, &ignored);
    EXPECT_EQ(Ask(wheel, "MSH_SCROLL_LINES_MSG"), 9);
}

TEST_F(TrayLegacy, OnePagePerNotchIsWrittenAsText)
{
    WriteUserDword("ScrollWheelSpeed", 6);
    StartTray();
    HWND wheel = WaitForWheelWindow();
    ASSERT_NE(wheel, nullptr);
    EXPECT_EQ(ReadDesktopText("WheelScrollLines"), "4294967295");
    EXPECT_EQ(DWORD(Ask(wheel, "MSH_SCROLL_LINES_MSG")), 0xFFFFFFFFu);
}

TEST_F(TrayLegacy, WheelEventsBecomeRollMessagesAndMiddleButtonEdges)
{
    StartTray();
    HWND wheel = WaitForWheelWindow();
    ASSERT_NE(wheel, nullptr);
    HWND target = CreateWindowA("STATIC", "target", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200,
                                100, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(target);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == target; }));

    InputRecorder recorder;
    DWORD_PTR ignored;
    SendMessageTimeoutA(wheel, MSG_WHEEL_EVENT, 0, 0xFE, SMTO_NORMAL, 10000, &ignored);
    const UINT roll = RegisterWindowMessageA("MSWHEEL_ROLLMSG");
    MSG msg = {};
    EXPECT_TRUE(WaitFor([&] { return PeekMessageA(&msg, target, roll, roll, PM_REMOVE) != FALSE; }));
    EXPECT_EQ(int(msg.wParam), -240);

    SendMessageTimeoutA(wheel, MSG_WHEEL_EVENT, 0, 1 << 26, SMTO_NORMAL, 10000, &ignored);
    SendMessageTimeoutA(wheel, MSG_WHEEL_EVENT, 0, 0, SMTO_NORMAL, 10000, &ignored);
    std::vector<DWORD> codes;
    for (const InputEvent& e : recorder.WaitForEvents(2))
        codes.push_back(e.code);
    EXPECT_EQ(codes, (std::vector<DWORD>{WM_MBUTTONDOWN, WM_MBUTTONUP}));
    DestroyWindow(target);
}

// Windows 98 has the setting: no wheel window.
TEST_F(Tray, NoWheelWindowWhereTheSystemHasWheelSupport)
{
    StartTray();
    EXPECT_EQ(FindWindowA("MouseZ", "Magellan MSWHEEL"), nullptr);
}

// The "shutdown" start shows its notice for about ten seconds, then asks the
// system to shut down and ends; it never makes the tray's window.
TEST(TrayShutdown, ShowsTheNoticeThenEnds)
{
    TrayProcess tray;
    ASSERT_TRUE(tray.Start("/shutdown"));
    HWND notice = nullptr;
    auto hasText = [](HWND dialog) {
        HWND text = FindWindowExA(dialog, nullptr, "Static", "Windows shutting down...");
        return text != nullptr;
    };
    EXPECT_TRUE(WaitFor([&] {
        notice = FindWindowA("#32770", nullptr);
        return notice && hasText(notice) && IsWindowVisible(notice);
    }));
    const auto shown = std::chrono::steady_clock::now();
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(notice); }, 30000));
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - shown).count();
    EXPECT_GE(seconds, 9.0);
    EXPECT_EQ(FindWindowA(nullptr, "ZIRERERODEVURU"), nullptr) << "no tray window with /shutdown";
}

}  // namespace

int main(int argc, char** argv)
{
    return RunTrayTests(argc, argv);
}
