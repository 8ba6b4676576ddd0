// The control device's protocol as the programs see it, against the real
// driver loaded in the Wine session: request checks and replies, the slots,
// and the event queue with its one held read.
#include <gtest/gtest.h>

#include "control_fixture.h"
#include "event_queue_bound.h"

namespace {

// --- Requests -----------------------------------------------------------

TEST_F(ControlDevice, SlotsOutsideTheFourAnswerMinusOneAndChangeNothing)
{
    for (uint32_t slot : {4u, 7u, 0x80000000u}) {
        SCOPED_TRACE(slot);
        EXPECT_EQ(Register(device_.get(), slot, 0x1234), DRIVER_REPLY_BAD_SLOT);
        EXPECT_EQ(Unregister(device_.get(), slot), DRIVER_REPLY_BAD_SLOT);
    }
    // No slot took the window: events to the customizer and the tray are
    // still dropped, and the overlay's slot is empty.
    CONFIG_BLOCK block = DefaultBlock();
    block.UniversalScrollEnabled = 0;
    SendConfigBlock(device_.get(), IOCTL_MOUFILTER_TRAY_UPDATE, &block);
    block.OFASensitivityEnabled = 0;
    SendConfigBlock(device_.get(), IOCTL_MOUFILTER_SET_CONFIG, &block);
    EXPECT_EQ(Events(DrainEvents(reader_.get())), Events({}));
    EXPECT_EQ(WordRequest(device_.get(), IOCTL_MOUFILTER_QUERY_OFA, nullptr, 0), 0u);
}

struct ShortRequest {
    const char* name;
    uint32_t code;
    DWORD inputBytes;
    DWORD outputBytes;
};

TEST_F(ControlDevice, ShortBuffersAreRejectedWithNoData)
{
    const ShortRequest cases[] = {
        {"SET_CONFIG input 991", IOCTL_MOUFILTER_SET_CONFIG, 991, 4},
        {"SET_CONFIG output 3", IOCTL_MOUFILTER_SET_CONFIG, 992, 3},
        {"TRAY_UPDATE input 991", IOCTL_MOUFILTER_TRAY_UPDATE, 991, 4},
        {"REGISTER input 7", IOCTL_MOUFILTER_REGISTER, 7, 4},
        {"REGISTER output 3", IOCTL_MOUFILTER_REGISTER, 8, 3},
        {"UNREGISTER input 7", IOCTL_MOUFILTER_UNREGISTER, 7, 4},
        {"QUERY_OFA output 3", IOCTL_MOUFILTER_QUERY_OFA, 8, 3},
    };
    ASSERT_EQ(Register(device_.get(), SLOT_TRAY, 0x3003), 0u);
    for (const ShortRequest& c : cases) {
        SCOPED_TRACE(c.name);
        CONFIG_BLOCK block = DefaultBlock();
        block.UniversalScrollEnabled = 0;
        block.Result = 0x77777777;
        // The request registers SLOT_CONFIG if it gets through.
        const SLOT_REQUEST slot = {0x4004, SLOT_CONFIG};
        if (c.code == IOCTL_MOUFILTER_REGISTER || c.code == IOCTL_MOUFILTER_UNREGISTER)
            memcpy(&block, &slot, sizeof(slot));
        const IO_RESULT result = Request(device_.get(), c.code, &block, c.inputBytes, &block,
                                         c.outputBytes);
        EXPECT_EQ(result.Error, ERROR_OF_BAD_BUFFER_SIZE);
        EXPECT_EQ(result.Bytes, 0u);
    }
    // Nothing was merged or registered: no change event came, and the
    // customizer's slot is still empty.
    EXPECT_EQ(Events(DrainEvents(reader_.get())), Events({}));
    CONFIG_BLOCK block = DefaultBlock();
    block.UniversalScrollEnabled = 0;
    SendConfigBlock(device_.get(), IOCTL_MOUFILTER_TRAY_UPDATE, &block);
    EXPECT_EQ(Events(DrainEvents(reader_.get())), Events({}));
}

TEST_F(ControlDevice, ShortSetConfigLeavesTheBlockUnmerged)
{
    ASSERT_EQ(Register(device_.get(), SLOT_TRAY, 0x3003), 0u);
    CONFIG_BLOCK block = DefaultBlock();
    block.UniversalScrollEnabled = 0;
    uint32_t reply = 0;
    EXPECT_EQ(Request(device_.get(), IOCTL_MOUFILTER_SET_CONFIG, &block, 991, &reply, 4).Error,
              ERROR_OF_BAD_BUFFER_SIZE);
    // The whole block then changes universal scrolling: it had not changed.
    EXPECT_EQ(SendConfigBlock(device_.get(), IOCTL_MOUFILTER_SET_CONFIG, &block), 0u);
    EXPECT_EQ(Events(DrainEvents(reader_.get())), Events({DRIVER_EVENT{0x3003, MSG_UNIVERSAL_SCROLL_CHANGED, 0, 0}}));
}

TEST_F(ControlDevice, QueryOfaFollowsTheOverlaysRegistration)
{
    const auto query = [&] { return WordRequest(device_.get(), IOCTL_MOUFILTER_QUERY_OFA, nullptr, 0); };
    EXPECT_EQ(query(), 0u);
    ASSERT_EQ(Register(device_.get(), SLOT_OFA, 0x5678), 0u);
    EXPECT_EQ(query(), 0x5678u);
    ASSERT_EQ(Unregister(device_.get(), SLOT_OFA), 0u);
    EXPECT_EQ(query(), 0u);
}

TEST_F(ControlDevice, UnknownCodesSucceedWithNoData)
{
    const uint32_t codes[] = {
        MoufilterCode(0x805),          // next to the real ones
        MoufilterCode(0x80F),
        MoufilterCode(0x811),
        MoufilterCode(0x800) | 0x4000,  // SET_CONFIG's function with read access
        MoufilterCode(0x810) | 3,       // GET_EVENT's function, METHOD_NEITHER
        0x00220000,
    };
    for (uint32_t code : codes) {
        SCOPED_TRACE(code);
        uint8_t input[992] = {};
        uint8_t output[64];
        memset(output, 0xAA, sizeof(output));
        const IO_RESULT result = Request(device_.get(), code, input, sizeof(input), output,
                                         sizeof(output));
        EXPECT_EQ(result.Error, 0u);
        EXPECT_EQ(result.Bytes, 0u);
        EXPECT_EQ(output[0], 0xAA);
    }
}

// --- The event queue and the held read ----------------------------------

TEST_F(ControlDevice, QueuedEventsComeBackOldestFirst)
{
    const DRIVER_EVENT first = PostEvent(0x1001);
    const DRIVER_EVENT second = PostEvent(0x1002);
    EXPECT_EQ(Events(DrainEvents(reader_.get())), Events({first, second}));
}

TEST_F(ControlDevice, HeldReadCompletesAtOnceAndTheNextEventQueues)
{
    EventRead read(reader_.get());
    ASSERT_TRUE(read.Pending()) << "an empty queue holds the read";
    const DRIVER_EVENT first = PostEvent(0x2001);
    // The event completed the read before its request returned.
    const IO_RESULT result = read.Wait();
    EXPECT_EQ(result.Error, 0u);
    EXPECT_EQ(result.Bytes, sizeof(DRIVER_EVENT));
    EXPECT_EQ(Describe(read.Event()), Describe(first));

    const DRIVER_EVENT second = PostEvent(0x2002);
    EXPECT_EQ(Events(DrainEvents(reader_.get())), Events({second}));
}

TEST_F(ControlDevice, EventParametersKeepTheirLow16Bits)
{
    ASSERT_EQ(Register(device_.get(), SLOT_CONFIG, 0x6006), 0u);
    // The tray's block is merged without validation: the value travels as
    // it is, cut to 16 bits.
    CONFIG_BLOCK block = DefaultBlock();
    block.OFASensitivityViewable = 0x12345;
    SendConfigBlock(device_.get(), IOCTL_MOUFILTER_TRAY_UPDATE, &block);
    EXPECT_EQ(Events(DrainEvents(reader_.get())), Events({DRIVER_EVENT{0x6006, MSG_OFA_VISIBLE_CHANGED, 0x2345, 0}}));
}

TEST_F(ControlDevice, ClosingTheHandleOfAHeldReadCancelsOnlyThatRead)
{
    // Another handle opened and closed while the read is held leaves it.
    Handle other(OpenMouseDriver(true));
    ASSERT_TRUE(other.valid());
    {
        EventRead held(reader_.get());
        ASSERT_TRUE(held.Pending());
        other.Close();
        const DRIVER_EVENT event = PostEvent(0x3001);
        ASSERT_EQ(held.Wait().Error, 0u) << "the held read of the other handle was released";
        EXPECT_EQ(Describe(held.Event()), Describe(event));
    }
    // Closing the reader's own handle ends its held read as cancelled.
    Handle closing(OpenMouseDriver(true));
    EventRead read(closing.get());
    ASSERT_TRUE(read.Pending());
    closing.Close();
    EXPECT_EQ(read.Wait().Error, DWORD(ERROR_OPERATION_ABORTED));
    // The driver holds no stale read: the next one is held, and an event
    // completes it.
    EventRead next(reader_.get());
    ASSERT_TRUE(next.Pending());
    const DRIVER_EVENT event = PostEvent(0x3002);
    ASSERT_EQ(next.Wait().Error, 0u);
    EXPECT_EQ(Describe(next.Event()), Describe(event));
}

TEST_F(ControlDevice, CancelledReadIsReleased)
{
    EventRead read(reader_.get());
    ASSERT_TRUE(read.Pending());
    EXPECT_EQ(read.Cancel().Error, DWORD(ERROR_OPERATION_ABORTED));
    const DRIVER_EVENT event = PostEvent(0x4001);
    EXPECT_EQ(Events(DrainEvents(reader_.get())), Events({event}))
        << "the event went to the cancelled read";
}

TEST_F(ControlDevice, SecondReadWhileOneIsHeldIsRefused)
{
    Handle second(OpenMouseDriver(true));
    EventRead held(reader_.get());
    ASSERT_TRUE(held.Pending());
    EventRead refused(second.get());
    EXPECT_FALSE(refused.Pending());
    EXPECT_EQ(refused.Wait().Error, DWORD(ERROR_BUSY));
    // The first reader keeps its read.
    const DRIVER_EVENT event = PostEvent(0x5001);
    ASSERT_EQ(held.Wait().Error, 0u);
    EXPECT_EQ(Describe(held.Event()), Describe(event));
}

TEST_F(ControlDevice, ShortReadIsRejectedAndTheEventStays)
{
    const DRIVER_EVENT event = PostEvent(0x5002);
    for (DWORD bytes : {DWORD(sizeof(DRIVER_EVENT) - 1), DWORD(4), DWORD(0)}) {
        SCOPED_TRACE(bytes);
        EventRead shortRead(reader_.get(), bytes);
        EXPECT_FALSE(shortRead.Pending());
        EXPECT_EQ(shortRead.Wait().Error, ERROR_OF_BAD_BUFFER_SIZE);
    }
    EXPECT_EQ(Events(DrainEvents(reader_.get())), Events({event}));
}

TEST_F(ControlDevice, FullQueueDropsTheOldestEvents)
{
    constexpr uint32_t EXTRA = 10;
    std::vector<DRIVER_EVENT> posted;
    for (uint32_t i = 0; i < MAX_QUEUED_EVENTS + EXTRA; ++i)
        posted.push_back(PostEvent(0x10000 + i));
    const std::vector<DRIVER_EVENT> read = DrainEvents(reader_.get());
    ASSERT_EQ(read.size(), MAX_QUEUED_EVENTS);
    for (uint32_t i = 0; i < MAX_QUEUED_EVENTS; ++i)
        ASSERT_TRUE(SameEvent(read[i], posted[EXTRA + i]))
            << "event " << i << ": " << Describe(read[i]) << " instead of "
            << Describe(posted[EXTRA + i]);
}

}  // namespace
