// The input path of the real driver, driven by the test class driver: the
// connect request, packets through the service callback, the PS/2 hook and
// USB transfers through the completion routine.
#include "control_fixture.h"

namespace {

constexpr int32_t STATUS_OF_SHARING_VIOLATION = int32_t(0xC0000043);
constexpr int32_t STATUS_OF_INVALID_PARAMETER = int32_t(0xC000000D);
constexpr int32_t STATUS_OF_NOT_IMPLEMENTED = int32_t(0xC0000002);
constexpr int32_t STATUS_OF_UNSUCCESSFUL = int32_t(0xC0000001);

HANDLE OpenPath(const std::string& path)
{
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, 0, nullptr);
}

class InputPath : public ControlDevice {
protected:
    void SetUp() override
    {
        ControlDevice::SetUp();
        ASSERT_TRUE(rig_.Opened()) << "the test class driver is not running";
    }

    void SetConfig(const CONFIG_BLOCK& block)
    {
        CONFIG_BLOCK copy = block;
        ASSERT_EQ(SendConfigBlock(device_.get(), IOCTL_MOUFILTER_SET_CONFIG, &copy), 0u);
    }

    // Runs one batch through the filter; what reached the class driver.
    std::vector<MOUSE_INPUT_DATA> Run(const std::vector<MOUSE_INPUT_DATA>& batch,
                                      RIG_INJECT_RESULT* injected = nullptr)
    {
        const RIG_INJECT_RESULT result = rig_.Inject(batch);
        if (injected)
            *injected = result;
        RIG_RECORD_HEADER header;
        std::vector<MOUSE_INPUT_DATA> packets = rig_.TakePackets(&header);
        EXPECT_EQ(header.WrongDevice, 0u) << "the class callback got another device object";
        EXPECT_EQ(header.Dropped, 0u);
        return packets;
    }

    // The bounce filter swallows a left press too close to the previous
    // left-button edge (25 ms by default); this guarantees the gap.
    static void WaitOutBounceFilter() { Sleep(60); }

    RigClassDriver rig_;
};

std::string Packets(const std::vector<MOUSE_INPUT_DATA>& packets)
{
    return Describe(packets);
}

// Declared first: it sees the filter before anything connected to it.
TEST_F(InputPath, ClassDriverConnectsOnceWithWholeConnectData)
{
    EXPECT_EQ(InterfacePaths(VEXON_GUID).size(), 1u) << "VEXON_GUID is enabled on the mouse";
    EXPECT_EQ(InterfacePaths(GUID_AUTOLAUNCH_NOTIFY).size(), 1u) << "enabled once started";

    const RIG_CONNECT_RESULT shortConnect = rig_.Connect(4);
    ASSERT_TRUE(shortConnect.FilterFound);
    EXPECT_EQ(shortConnect.Status, STATUS_OF_INVALID_PARAMETER);
    EXPECT_FALSE(shortConnect.DataReplaced);

    const RIG_CONNECT_RESULT connect = rig_.Connect();
    ASSERT_TRUE(connect.FilterFound);
    EXPECT_TRUE(connect.DataReplaced) << "the connect data names the filter's callback";
    EXPECT_TRUE(connect.FilterIsDevice);
}

TEST_F(InputPath, FilterDeviceAnswersTheProgramsRequestsToo)
{
    ASSERT_TRUE(rig_.EnsureConnected());
    const std::vector<std::string> paths = InterfacePaths(VEXON_GUID);
    ASSERT_EQ(paths.size(), 1u);
    Handle filter(OpenPath(paths[0]));
    ASSERT_TRUE(filter.valid()) << "error " << GetLastError();
    EXPECT_EQ(Register(filter.get(), SLOT_OFA, 0x5678), 0u);
    EXPECT_EQ(WordRequest(device_.get(), IOCTL_MOUFILTER_QUERY_OFA, nullptr, 0), 0x5678u);
    EXPECT_EQ(Register(filter.get(), 9, 0x5678), DRIVER_REPLY_BAD_SLOT);
}

TEST_F(InputPath, EventReadsThroughTheFilterShareTheQueueAndEndWithTheirHandle)
{
    ASSERT_TRUE(rig_.EnsureConnected());
    const std::vector<std::string> paths = InterfacePaths(VEXON_GUID);
    ASSERT_EQ(paths.size(), 1u);
    Handle filter(CreateFileA(paths[0].c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OVERLAPPED, nullptr));
    ASSERT_TRUE(filter.valid());
    EventRead delivered(filter.get());
    ASSERT_TRUE(delivered.Pending());
    const DRIVER_EVENT event = PostEvent(0x6001);
    ASSERT_EQ(delivered.Wait().Error, 0u);
    EXPECT_EQ(Describe(delivered.Event()), Describe(event));

    EventRead held(filter.get());
    ASSERT_TRUE(held.Pending());
    filter.Close();
    EXPECT_EQ(held.Wait().Error, DWORD(ERROR_OPERATION_ABORTED));
}

TEST_F(InputPath, SecondConnectIsRefusedAndTheFirstKeepsWorking)
{
    ASSERT_TRUE(rig_.EnsureConnected());
    const RIG_CONNECT_RESULT again = rig_.Connect();
    EXPECT_EQ(again.Status, STATUS_OF_SHARING_VIOLATION);
    EXPECT_FALSE(again.DataReplaced);
    EXPECT_EQ(Packets(Run({Packet(0, 3, 4)})), Packets({Packet(0, 3, 4)}));
}

TEST_F(InputPath, DisconnectIsNotImplemented)
{
    ASSERT_TRUE(rig_.EnsureConnected());
    EXPECT_EQ(rig_.Disconnect(), STATUS_OF_NOT_IMPLEMENTED);
}

TEST_F(InputPath, WorkedExampleAtSpeedTen)
{
    ASSERT_TRUE(rig_.EnsureConnected());
    CONFIG_BLOCK block = DefaultBlock();
    block.VexonSpeedX = block.VexonSpeedY = 10;
    SetConfig(block);
    WaitOutBounceFilter();
    RIG_INJECT_RESULT injected;
    EXPECT_EQ(Packets(Run({Packet(MOUSE_LEFT_BUTTON_DOWN, 10, -4)}, &injected)),
              Packets({Packet(MOUSE_LEFT_BUTTON_DOWN, 6, -2)}));
    EXPECT_EQ(injected.Consumed, 1u);
    EXPECT_EQ(injected.Calls, 1u);
    EXPECT_EQ(Packets(Run({Packet(MOUSE_LEFT_BUTTON_UP)})), Packets({Packet(MOUSE_LEFT_BUTTON_UP)}));
}

TEST_F(InputPath, EmptyBatchStillCallsTheClassDriver)
{
    ASSERT_TRUE(rig_.EnsureConnected());
    RIG_INJECT_RESULT injected;
    EXPECT_EQ(Packets(Run({}, &injected)), Packets({}));
    EXPECT_EQ(injected.Calls, 1u);
    EXPECT_EQ(injected.Consumed, 0u);
}

TEST_F(InputPath, BatchLargerThanTheOutputAreaArrivesWholeAndInOrder)
{
    ASSERT_TRUE(rig_.EnsureConnected());
    CONFIG_BLOCK block = DefaultBlock();
    block.ButtonAssigned[BUTTON_MIDDLE] = ASSIGN_DOUBLE_CLICK;
    SetConfig(block);
    // Each press and release of the middle button becomes the two packets
    // without its flags and two left clicks after the release.
    std::vector<MOUSE_INPUT_DATA> batch;
    std::vector<MOUSE_INPUT_DATA> expected;
    for (int i = 0; i < 20; ++i) {
        batch.push_back(Packet(MOUSE_MIDDLE_BUTTON_DOWN, i, 0));
        batch.push_back(Packet(MOUSE_MIDDLE_BUTTON_UP));
        expected.push_back(Packet(0, i, 0));
        expected.push_back(Packet(0));
        for (int click = 0; click < 2; ++click) {
            expected.push_back(Packet(MOUSE_LEFT_BUTTON_DOWN));
            expected.push_back(Packet(MOUSE_LEFT_BUTTON_UP));
        }
    }
    RIG_INJECT_RESULT injected;
    EXPECT_EQ(Packets(Run(batch, &injected)), Packets(expected));
    EXPECT_EQ(injected.Consumed, expected.size()) << "the class driver's counts, added up";
    EXPECT_GT(injected.Calls, 1u);
}

TEST_F(InputPath, GestureWithoutTheCustomizerStillReportsTheSpeeds)
{
    ASSERT_TRUE(rig_.EnsureConnected());
    CONFIG_BLOCK block = DefaultBlock();
    block.VexonSpeedX = block.VexonSpeedY = 10;
    SetConfig(block);
    // Button 4 held, one notch up, released: the speeds rise by one; the
    // overlay's events are dropped (no overlay), the speeds travel with
    // window 0; Windows sees neither the button nor the wheel.
    EXPECT_EQ(Packets(Run({Packet(MOUSE_BUTTON_4_DOWN), Packet(MOUSE_WHEEL, 0, 0, 120),
                           Packet(MOUSE_BUTTON_4_UP)})),
              Packets({Packet(0), Packet(0), Packet(0)}));
    EXPECT_EQ(Events(DrainEvents(reader_.get())),
              Events({{0, MSG_SPEED_CHANGED, MakeSpeedParam(11, 11), 0}}));
}

TEST_F(InputPath, TrayBlockLeavesTheSpeedsAlone)
{
    ASSERT_TRUE(rig_.EnsureConnected());
    CONFIG_BLOCK block = DefaultBlock();
    block.VexonSpeedX = 3;
    ASSERT_EQ(SendConfigBlock(device_.get(), IOCTL_MOUFILTER_TRAY_UPDATE, &block), 0u);
    EXPECT_EQ(Packets(Run({Packet(0, 10, 10)})), Packets({Packet(0, 10, 10)}));
    block.VexonSpeedX = 10;
    SetConfig(block);
    EXPECT_EQ(Packets(Run({Packet(0, 10, 10)})), Packets({Packet(0, 6, 10)}));
}

TEST_F(InputPath, Ps2HookChainsTheEarlierHook)
{
    const RIG_HOOK_RESULT tooShort = rig_.Hook(8, true);
    ASSERT_TRUE(tooShort.FilterFound);
    EXPECT_EQ(tooShort.Status, STATUS_OF_INVALID_PARAMETER);
    EXPECT_FALSE(tooShort.IsrReplaced);

    // Without an earlier hook the filter's own lets the port go on.
    const RIG_HOOK_RESULT bare = rig_.Hook(0, false);
    ASSERT_TRUE(bare.IsrReplaced);
    EXPECT_TRUE(bare.ContextIsFilter);
    RIG_ISR_RESULT isr = rig_.CallIsr(false, false);
    EXPECT_EQ(isr.UpperCalls, 0u);
    EXPECT_EQ(isr.Result, 1u);
    EXPECT_EQ(isr.Continue, 1u);

    ASSERT_TRUE(rig_.Hook(0, true).IsrReplaced);
    const struct {
        bool upperResult, upperContinue;
        uint32_t result, continueProcessing;
    } cases[] = {
        {true, true, 1, 1},
        {false, true, 0, 1},
        {true, false, 1, 0},
        {false, false, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "earlier hook answers " << c.upperResult
                                        << ", continue " << c.upperContinue);
        isr = rig_.CallIsr(c.upperResult, c.upperContinue);
        EXPECT_EQ(isr.UpperCalls, 1u);
        EXPECT_TRUE(isr.UpperSawContext) << "its own context and the port's arguments";
        EXPECT_EQ(isr.Result, c.result);
        EXPECT_EQ(isr.Continue, c.continueProcessing);
    }
}

struct TransferCase {
    const char* name;
    uint8_t report[4];
    uint32_t capacity;
    bool mdl;
    int32_t lowerStatus;
    std::vector<uint8_t> expected;  // the bytes the transfer length covers
};

class UsbTransfer : public InputPath {
protected:
    std::vector<uint8_t> Submit(const TransferCase& c)
    {
        RIG_TRANSFER_REQUEST request = {};
        memcpy(request.Report, c.report, 4);
        request.Capacity = c.capacity;
        request.UseMdl = c.mdl;
        request.LowerStatus = c.lowerStatus;
        DWORD error = 0;
        const RIG_TRANSFER_RESULT result = rig_.SubmitTransfer(request, &error);
        EXPECT_EQ(error, 0u);
        EXPECT_EQ(result.Status, c.lowerStatus);
        return std::vector<uint8_t>(result.Buffer, result.Buffer + result.Length);
    }
};

TEST_F(UsbTransfer, CompletedReportsAreEditedFailedOnesLeftAlone)
{
    ASSERT_TRUE(rig_.EnsureConnected());
    CONFIG_BLOCK block = DefaultBlock();
    block.Orientation = 1;
    SetConfig(block);
    const TransferCase cases[] = {
        {"completed: left becomes right", {0x01, 5, 0xFD, 0}, 4, false, 0, {0x02, 5, 0xFD, 0}},
        {"through a memory descriptor", {0x08, 0, 0, 1}, 4, true, 0, {0x10, 0, 0, 1}},
        {"failed: untouched", {0x01, 5, 0xFD, 0}, 4, false, STATUS_OF_UNSUCCESSFUL,
         {0x01, 5, 0xFD, 0}},
    };
    for (const TransferCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Submit(c), c.expected);
    }
}

TEST_F(UsbTransfer, Button4ClickFollowsTheReleaseWhenTheBufferHasRoom)
{
    ASSERT_TRUE(rig_.EnsureConnected());
    CONFIG_BLOCK block = DefaultBlock();
    block.ButtonAssigned[BUTTON_4] = ASSIGN_OFA_COMBINED | ASSIGN_NATIVE;
    SetConfig(block);
    const TransferCase press = {"press", {0x08, 0, 0, 0}, 12, true, 0, {0x08, 0, 0, 0}};
    const TransferCase cases[] = {
        {"12-byte descriptor: two more reports", {0x00, 0, 0, 0}, 12, true, 0,
         {0x00, 0, 0, 0, 0x08, 0, 0, 0, 0x00, 0, 0, 0}},
        {"descriptor of 8 bytes: no room", {0x00, 0, 0, 0}, 8, true, 0, {0x00, 0, 0, 0}},
        {"plain buffer of unknown size", {0x00, 0, 0, 0}, 12, false, 0, {0x00, 0, 0, 0}},
    };
    for (const TransferCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Submit(press), press.expected);
        EXPECT_EQ(Submit(c), c.expected);
    }
}

}  // namespace
