// The meter in the suite: the tray starts it, the real driver's gesture
// (played by the test class driver) shows and hides it through the tray,
// and the tray's stop closes it.
//   overlay_tray_test VEXONTRA.EXE VEXONOFA.EXE STANDIN.DLL [gtest options]
#include "overlay_harness.h"
#include "tray_fixture.h"

#include "driver_client.h"
#include "rig_client.h"
#include "window_handle.h"

namespace {

class MeterWithTray : public testing::Test {
protected:
    void SetUp() override
    {
        ClearSettingsKeys();
        ASSERT_TRUE(StoreRegistryMode(CurrentScreenMode()));
        pictures_ = LoadOverlayPictures();
        ASSERT_EQ(pictures_.size(), 24u);
        device_ = OpenMouseDriver(false);
        ASSERT_NE(device_, INVALID_HANDLE_VALUE) << "the driver is not loaded";
    }
    void TearDown() override
    {
        if (overlayProcess_)
            CloseHandle(overlayProcess_);
        if (device_ != INVALID_HANDLE_VALUE)
            CloseHandle(device_);
    }

    // The overlay the tray started, once it has registered with the driver.
    HWND WaitForRegisteredOverlay()
    {
        HWND overlay = nullptr;
        WaitFor(
            [&] {
                overlay = FindWindowA(OFA_TITLE, OFA_TITLE);
                return overlay && SendSlotRequest(device_, IOCTL_MOUFILTER_QUERY_OFA, nullptr,
                                                  SLOT_TRAY) == HandleToWire(overlay);
            },
            DEADLINE_MS);
        if (overlay) {
            DWORD processId = 0;
            GetWindowThreadProcessId(overlay, &processId);
            overlayProcess_ = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId);
        }
        return overlay;
    }

    void ExpectScreen(const Shot& expected, const char* what)
    {
        std::string difference;
        WaitFor(
            [&] {
                difference = CompareScreen(882, 400, expected);
                return difference.empty();
            },
            DEADLINE_MS);
        EXPECT_EQ(difference, "") << what;
    }

    HANDLE device_ = INVALID_HANDLE_VALUE;
    HANDLE overlayProcess_ = nullptr;
    std::vector<std::vector<uint32_t>> pictures_;
    OverlayRun folder_;  // holds the program and the display library stand-in
    TrayProcess tray_;
    RigClassDriver mouse_;
};

TEST_F(MeterWithTray, TheGestureShowsTheNewSpeedsAndTheReleaseHidesThem)
{
    WriteUserString("ProgramOFA", folder_.ProgramPath());
    WriteUserDword("XYSensitivityEnabled", 1);
    WriteUserDword("VexonSpeedX", 10);
    WriteUserDword("VexonSpeedY", 6);
    ASSERT_TRUE(tray_.Start());
    ASSERT_NE(tray_.WaitForWindow(), nullptr);
    const HWND overlay = WaitForRegisteredOverlay();
    ASSERT_NE(overlay, nullptr) << "the tray did not start the meter";
    const Shot before = CaptureScreen(882, 400, 82, 326);

    // Button 4 held, the wheel one notch towards the user: both speeds one
    // step down, two bars for separate X and Y.
    ASSERT_TRUE(mouse_.EnsureConnected());
    mouse_.Inject({Packet(MOUSE_BUTTON_4_DOWN), Packet(MOUSE_WHEEL, 0, 0, uint16_t(-120))});
    ExpectScreen(ExpectedMeter(pictures_, true, 9, 5), "the meter at the new speeds");
    mouse_.Inject({Packet(MOUSE_WHEEL, 0, 0, uint16_t(-120))});
    ExpectScreen(ExpectedMeter(pictures_, true, 8, 4), "the meter after a second notch");

    mouse_.Inject({Packet(MOUSE_BUTTON_4_UP)});
    ExpectScreen(before, "the screen after the release");
    EXPECT_TRUE(WaitFor([] { return ReadUserDword("VexonSpeedX") == 8; }, 20000));
    EXPECT_EQ(ReadUserDword("VexonSpeedY"), 4u);

    // The tray's stop closes the meter.
    EXPECT_EQ(tray_.Close(), 0);
    EXPECT_TRUE(tray_.WaitForExit());
    ASSERT_NE(overlayProcess_, nullptr);
    DWORD code = STILL_ACTIVE;
    EXPECT_TRUE(WaitFor(
        [&] {
            return WaitForSingleObject(overlayProcess_, 0) == WAIT_OBJECT_0 &&
                   GetExitCodeProcess(overlayProcess_, &code);
        },
        DEADLINE_MS));
    EXPECT_EQ(code, 0u);
}

TEST_F(MeterWithTray, OneSensitivityShowsOneBar)
{
    WriteUserString("ProgramOFA", folder_.ProgramPath());
    WriteUserDword("VexonSpeedX", 3);
    WriteUserDword("VexonSpeedY", 3);
    ASSERT_TRUE(tray_.Start());
    ASSERT_NE(tray_.WaitForWindow(), nullptr);
    ASSERT_NE(WaitForRegisteredOverlay(), nullptr);
    const Shot beside = CaptureScreen(925, 400, 39, 326);
    ASSERT_TRUE(mouse_.EnsureConnected());
    // Away from the user: one step up.
    mouse_.Inject({Packet(MOUSE_BUTTON_4_DOWN), Packet(MOUSE_WHEEL, 0, 0, 120)});
    ExpectScreen(ExpectedMeter(pictures_, false, 4, 4), "one bar at the new speed");
    EXPECT_EQ(CaptureScreen(925, 400, 39, 326).pixels, beside.pixels);
    mouse_.Inject({Packet(MOUSE_BUTTON_4_UP)});
    EXPECT_EQ(tray_.Close(), 0);
    EXPECT_TRUE(tray_.WaitForExit());
}

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (argc < 4) {
        fprintf(stderr, "usage: overlay_tray_test VEXONTRA.EXE VEXONOFA.EXE STANDIN.DLL\n");
        return 2;
    }
    g_paths.tray = argv[1];
    g_overlayExe = WindowsPath(argv[2]);
    g_standInDll = WindowsPath(argv[3]);
    return RUN_ALL_TESTS();
}
