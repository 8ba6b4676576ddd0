// Robustness: every function code of the device type (with random transfer
// methods and access) and many rounds of the driver's own requests, with
// random buffer sizes and contents, on the control device and on the filter
// device (a fixed seed and a fixed number of rounds). The driver must survive it and
// answer a normal exchange afterwards.
#include "control_fixture.h"

#include <random>

namespace {

constexpr uint32_t REQUEST_DEVICE_TYPE = 0x22;
constexpr uint32_t KNOWN_CODES[] = {
    IOCTL_MOUFILTER_SET_CONFIG, IOCTL_MOUFILTER_TRAY_UPDATE, IOCTL_MOUFILTER_REGISTER,
    IOCTL_MOUFILTER_UNREGISTER, IOCTL_MOUFILTER_QUERY_OFA,   IOCTL_MOUFILTER_GET_EVENT,
};
constexpr int KNOWN_CODE_ROUNDS = 4000;
constexpr DWORD MAX_BUFFER = 2048;

class Fuzzer {
public:
    explicit Fuzzer(uint32_t seed) : random_(seed), input_(MAX_BUFFER), output_(MAX_BUFFER) {}

    // One request with random sizes and contents on an overlapped handle; a
    // request the driver holds is cancelled. False when it never finished.
    bool Send(HANDLE device, uint32_t code)
    {
        const DWORD inputBytes = Size();
        const DWORD outputBytes = Size();
        for (DWORD i = 0; i < inputBytes; ++i)
            input_[i] = Byte();
        OVERLAPPED overlapped = {};
        overlapped.hEvent = event_.get();
        ResetEvent(overlapped.hEvent);
        DWORD bytes = 0;
        if (DeviceIoControl(device, code, input_.data(), inputBytes, output_.data(), outputBytes,
                            &bytes, &overlapped) ||
            GetLastError() != ERROR_IO_PENDING)
            return true;
        CancelIoEx(device, &overlapped);
        return WaitForSingleObject(overlapped.hEvent, RIG_DEADLINE_MS) == WAIT_OBJECT_0;
    }

    // A request code of the device type for the function, with a random
    // transfer method and access.
    uint32_t Code(uint32_t function)
    {
        return (REQUEST_DEVICE_TYPE << 16) | ((random_() % 4) << 14) | (function << 2) |
               (random_() % 4);
    }

private:
    // Mostly small sizes, sometimes around the sizes the requests check.
    DWORD Size()
    {
        static const DWORD edges[] = {0, 3, 4, 7, 8, 15, 16, 991, 992, 993};
        switch (random_() % 4) {
        case 0:
            return edges[random_() % (sizeof(edges) / sizeof(edges[0]))];
        case 1:
            return random_() % 32;
        default:
            return random_() % MAX_BUFFER;
        }
    }
    // Bytes that are often 0, 1 or all ones, the values the fields test.
    uint8_t Byte()
    {
        switch (random_() % 4) {
        case 0:
            return 0;
        case 1:
            return 0xFF;
        case 2:
            return uint8_t(random_() % 2);
        default:
            return uint8_t(random_());
        }
    }

    std::mt19937 random_;
    std::vector<uint8_t> input_;
    std::vector<uint8_t> output_;
    Handle event_{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
};

HANDLE OpenOverlapped(const std::string& path)
{
    return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_FLAG_OVERLAPPED, nullptr);
}

class Robustness : public ControlDevice {};

TEST_F(Robustness, RandomRequestsLeaveADriverThatStillWorks)
{
    RigClassDriver rig;
    ASSERT_TRUE(rig.EnsureConnected());
    const std::vector<std::string> filterPaths = InterfacePaths(VEXON_GUID);
    ASSERT_EQ(filterPaths.size(), 1u);
    Handle filter(OpenOverlapped(filterPaths[0]));
    ASSERT_TRUE(filter.valid());

    Fuzzer fuzzer(0x5EED);
    for (uint32_t function = 0; function <= 0xFFF; ++function) {
        const uint32_t code = fuzzer.Code(function);
        ASSERT_TRUE(fuzzer.Send(reader_.get(), code)) << "control device, code " << code;
        ASSERT_TRUE(fuzzer.Send(filter.get(), code)) << "filter device, code " << code;
    }
    for (int round = 0; round < KNOWN_CODE_ROUNDS; ++round) {
        const uint32_t code = KNOWN_CODES[round % 6];
        ASSERT_TRUE(fuzzer.Send(reader_.get(), code)) << "round " << round;
        ASSERT_TRUE(fuzzer.Send(filter.get(), code)) << "round " << round;
    }

    // A normal exchange: the fixture's reset, a registration, one change
    // event, the overlay's window, and a packet through the input path.
    ControlDevice::SetUp();
    ASSERT_EQ(Register(device_.get(), SLOT_TRAY, 0x1111), 0u);
    CONFIG_BLOCK block = DefaultBlock();
    block.UniversalScrollEnabled = 0;
    ASSERT_EQ(SendConfigBlock(device_.get(), IOCTL_MOUFILTER_SET_CONFIG, &block), 0u);
    EXPECT_EQ(Events(DrainEvents(reader_.get())),
              Events({{0x1111, MSG_UNIVERSAL_SCROLL_CHANGED, 0, 0}}));
    ASSERT_EQ(Register(device_.get(), SLOT_OFA, 0x2222), 0u);
    EXPECT_EQ(WordRequest(device_.get(), IOCTL_MOUFILTER_QUERY_OFA, nullptr, 0), 0x2222u);
    rig.TakePackets();
    rig.Inject({Packet(0, 5, -5)});
    EXPECT_EQ(Describe(rig.TakePackets()), Describe(std::vector<MOUSE_INPUT_DATA>{Packet(0, 5, -5)}));
}

}  // namespace
