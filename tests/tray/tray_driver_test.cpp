// The tray program with the real driver loaded in the Wine session: it finds
// the driver's device interface, registers, and carries the driver's events;
// the test class driver plays the mouse.
//   tray_driver_test VEXONTRA.EXE RECORDER.EXE [gtest options]
#include "tray_fixture.h"

#include "device_setup.h"
#include "driver_client.h"
#include "registry_config.h"
#include "rig_client.h"
#include "window_handle.h"

namespace {

constexpr WORD ID_OFA_VISIBLE = 32772;
constexpr WORD ID_UNIVERSAL_SCROLL = 32773;

// A window of the test that records the messages it gets.
class MessageWindow {
public:
    explicit MessageWindow(const char* title)
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = Procedure;
        windowClass.lpszClassName = "TrayTestWindow";
        RegisterClassA(&windowClass);
        window_ = CreateWindowA("TrayTestWindow", title, WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                nullptr, nullptr, this);
        SetWindowLongPtrA(window_, GWLP_USERDATA, LONG_PTR(this));
    }
    ~MessageWindow() { DestroyWindow(window_); }
    HWND Handle() const { return window_; }
    uint32_t Wire() const { return HandleToWire(window_); }
    std::vector<MSG> Received() const { return received_; }
    size_t Count(UINT message, WPARAM wParam) const
    {
        size_t n = 0;
        for (const MSG& m : received_)
            n += m.message == message && m.wParam == wParam;
        return n;
    }
    // Waits until message (with wParam) has come count times.
    bool WaitFor(UINT message, WPARAM wParam, size_t count = 1)
    {
        return ::WaitFor([&] { return Count(message, wParam) >= count; });
    }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<MessageWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self && (message >= WM_APP || message >= 0xC000))
            self->received_.push_back({window, message, wParam, lParam, 0, {}});
        return DefWindowProcA(window, message, wParam, lParam);
    }
    HWND window_;
    std::vector<MSG> received_;
};

std::vector<BYTE> Macro(DWORD word, const std::vector<std::pair<BYTE, BYTE>>& events)
{
    std::vector<BYTE> record = {BYTE(word == ASSIGN_MACRO), BYTE(word >> 24), BYTE(word >> 16),
                                BYTE(word >> 8), BYTE(word)};
    for (const auto& e : events) {
        record.push_back(e.first);
        record.push_back(e.second);
    }
    return record;
}

std::string RecorderFile()
{
    char path[MAX_PATH];
    GetTempPathA(sizeof(path), path);
    return std::string(path) + "tray-overlay-starts.txt";
}

std::string ReadFileText(const std::string& path)
{
    std::string text;
    if (FILE* file = fopen(path.c_str(), "r")) {
        char buffer[512];
        size_t n;
        while ((n = fread(buffer, 1, sizeof(buffer), file)) > 0)
            text.append(buffer, n);
        fclose(file);
    }
    return text;
}

class TrayWithDriver : public testing::Test {
protected:
    void SetUp() override
    {
        ClearSettingsKeys();
        DeleteFileA(RecorderFile().c_str());
        SetEnvironmentVariableA("VEXON_RECORDER_FILE", RecorderFile().c_str());
        device_ = OpenMouseDriver(false);
        ASSERT_NE(device_, INVALID_HANDLE_VALUE) << "the driver is not loaded";
    }
    void TearDown() override
    {
        if (device_ != INVALID_HANDLE_VALUE)
            CloseHandle(device_);
    }

    // Starts the tray and waits until it has opened the driver and
    // registered (it then tells the Customizer's window).
    HWND StartTray()
    {
        EXPECT_TRUE(tray_.Start());
        HWND window = tray_.WaitForWindow();
        EXPECT_NE(window, nullptr);
        EXPECT_TRUE(customizer_.WaitFor(justLoaded_, 0, ++opened_));
        return window;
    }

    // The road of an event through the kernel: button 4 held, the wheel
    // rolled one notch towards the user, button 4 released.
    void RollWithButtonFour()
    {
        ASSERT_TRUE(mouse_.EnsureConnected());
        mouse_.Inject({Packet(MOUSE_BUTTON_4_DOWN), Packet(MOUSE_WHEEL, 0, 0, uint16_t(-120)),
                       Packet(MOUSE_BUTTON_4_UP)});
    }

    HANDLE device_ = INVALID_HANDLE_VALUE;
    MessageWindow customizer_{"Vexon Customizer"};
    const UINT justLoaded_ = RegisterWindowMessageA("VEXON_DRIVER_JUST_LOADED_MSG");
    size_t opened_ = 0;
    TrayProcess tray_;
    RigClassDriver mouse_;
};

TEST_F(TrayWithDriver, OpensTheDriverRegistersAndTellsTheCustomizer)
{
    StartTray();  // the Customizer's window was told

    // A customizer block that turns universal scrolling off reaches the
    // tray's copy: its next menu toggle turns it back on.
    CONFIG_BLOCK block;
    LoadConfig(&block);
    block.UniversalScrollEnabled = 0;
    SendConfigBlock(device_, IOCTL_MOUFILTER_SET_CONFIG, &block);
    // A speed change queued behind it shows when the listener got that far.
    RollWithButtonFour();
    EXPECT_TRUE(WaitFor([] { return ReadUserDword("VexonSpeedX") == 17; }));
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Tolvi\\Vexon", "UniversalScrollEnabled");
    PostMessageA(tray_.Window(), WM_COMMAND, ID_UNIVERSAL_SCROLL, 0);
    EXPECT_TRUE(WaitFor([] { return ReadUserDword("UniversalScrollEnabled") != 0xDEADBEEF; }));
    EXPECT_EQ(ReadUserDword("UniversalScrollEnabled"), 1u);
}

TEST_F(TrayWithDriver, GestureReachesTheRegistryTheCustomizerAndTheMeter)
{
    StartTray();
    MessageWindow meter("meter stand-in");
    ASSERT_EQ(Register(device_, SLOT_CONFIG, customizer_.Wire()), 0u);
    ASSERT_EQ(Register(device_, SLOT_OFA, meter.Wire()), 0u);
    RollWithButtonFour();
    EXPECT_TRUE(customizer_.WaitFor(MSG_SPEED_CHANGED, 0x1111));
    EXPECT_TRUE(meter.WaitFor(WM_APP_MESSAGE, OFA_SHOW));
    EXPECT_TRUE(meter.WaitFor(WM_APP_MESSAGE, OFA_HIDE));
    for (const MSG& m : meter.Received()) {
        if (m.message == WM_APP_MESSAGE) {
            EXPECT_EQ(m.lParam, LPARAM(0x1111));
        }
    }
    EXPECT_EQ(ReadUserDword("VexonSpeedX"), 17u);
    EXPECT_EQ(ReadUserDword("VexonSpeedY"), 17u);
}

TEST_F(TrayWithDriver, MacroButtonMakesTheTrayType)
{
    WriteUserBinary("ButtonAssigned3", Macro(ASSIGN_MACRO, {{'M', 0}, {'M', 1}}));
    StartTray();  // its registration makes the driver load the macro button
    InputRecorder recorder;
    ASSERT_TRUE(mouse_.EnsureConnected());
    mouse_.Inject({Packet(MOUSE_MIDDLE_BUTTON_DOWN), Packet(MOUSE_MIDDLE_BUTTON_UP)});
    const std::vector<InputEvent> seen = recorder.WaitForEvents(2);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].code, DWORD('M'));
    EXPECT_FALSE(seen[0].up);
    EXPECT_TRUE(seen[1].up);
    // The middle button itself never reached Windows.
    for (const MOUSE_INPUT_DATA& p : mouse_.TakePackets()) {
        EXPECT_EQ(p.ButtonFlags & (MOUSE_MIDDLE_BUTTON_DOWN | MOUSE_MIDDLE_BUTTON_UP), 0);
    }
}

TEST_F(TrayWithDriver, StartsTheMeterAndClosesIt)
{
    WriteUserString("ProgramOFA", "\"" + g_paths.recorder + "\"");
    StartTray();
    EXPECT_TRUE(WaitFor([] { return ReadFileText(RecorderFile()).find("/enabled") != std::string::npos; }));

    MessageWindow meter("meter stand-in");
    ASSERT_EQ(Register(device_, SLOT_OFA, meter.Wire()), 0u);
    PostMessageA(tray_.Window(), WM_COMMAND, ID_OFA_VISIBLE, 0);  // meter off
    EXPECT_TRUE(meter.WaitFor(WM_APP_MESSAGE, OFA_CLOSE));
    // Stopping closes it too, and takes the tray out of its slot.
    EXPECT_EQ(tray_.Close(), 0);
    EXPECT_TRUE(meter.WaitFor(WM_APP_MESSAGE, OFA_CLOSE, 2));
    EXPECT_TRUE(tray_.WaitForExit());
}

// The mouse goes away and comes back: the tray lets go of the driver and
// takes it up again, and its listener follows.
TEST_F(TrayWithDriver, FollowsRemovalAndArrival)
{
    StartTray();
    CloseHandle(device_);
    device_ = INVALID_HANDLE_VALUE;

    ASSERT_EQ(RemoveFilterDevice(), "");  // unloads only once the tray let go
    ASSERT_EQ(InstallFilterDevice(), "");
    EXPECT_TRUE(customizer_.WaitFor(justLoaded_, 0, 2)) << "the tray did not open the driver again";
    device_ = OpenMouseDriver(false);
    ASSERT_NE(device_, INVALID_HANDLE_VALUE);
    MessageWindow meter("meter stand-in");
    ASSERT_EQ(Register(device_, SLOT_OFA, meter.Wire()), 0u);
    ASSERT_TRUE(mouse_.EnsureConnected());
    RollWithButtonFour();
    EXPECT_TRUE(meter.WaitFor(WM_APP_MESSAGE, OFA_SHOW));
    EXPECT_TRUE(WaitFor([] { return ReadUserDword("VexonSpeedX") == 17; }));
}

}  // namespace

int main(int argc, char** argv)
{
    return RunTrayTests(argc, argv);
}
