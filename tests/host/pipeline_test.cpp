#include "pipeline_fixture.h"

#include <string.h>

namespace {

using Flags = std::vector<uint16_t>;

constexpr uint16_t LEFT_DOWN = MOUSE_LEFT_BUTTON_DOWN;
constexpr uint16_t LEFT_UP = MOUSE_LEFT_BUTTON_UP;

class Pipeline : public PipelineTest {};

TEST_F(Pipeline, MovementPassesOneToOneAtTheDefaults)
{
    const std::vector<MOUSE_INPUT_DATA> out = Run({Packet(0, 5, -7, 0, 3)});
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].UnitId, 3);
    EXPECT_EQ(out[0].ButtonFlags, 0);
    EXPECT_EQ(out[0].LastX, 5);
    EXPECT_EQ(out[0].LastY, -7);
}

TEST_F(Pipeline, WorkedExampleAtSpeedTen)
{
    G_config.VexonSpeedX = G_config.VexonSpeedY = 10;
    std::vector<MOUSE_INPUT_DATA> out = Run({Packet(LEFT_DOWN, 10, -4)});
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].ButtonFlags, LEFT_DOWN);
    EXPECT_EQ(out[0].ButtonData, 0);
    EXPECT_EQ(out[0].LastX, 6);
    EXPECT_EQ(out[0].LastY, -2);
    out = Run({Packet(LEFT_UP)});
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].ButtonFlags, LEFT_UP);
    EXPECT_EQ(out[0].LastX, 0);
}

TEST_F(Pipeline, PacketConversions)
{
    struct {
        const char* what;
        MOUSE_INPUT_DATA in;
        uint16_t flags;
        int16_t data;
        int32_t x;
    } cases[] = {
        {"two notches", Packet(MOUSE_WHEEL, 0, 0, 240), MOUSE_WHEEL, 240, 0},
        {"half a notch", Packet(MOUSE_WHEEL, 0, 0, 60), 0, 0, 0},
        {"notch down", Packet(MOUSE_WHEEL, 0, 0, -120), MOUSE_WHEEL, -120, 0},
        {"wrapped delta", Packet(0, 130, 0), 0, 0, -126},
        {"delta of 200", Packet(0, 200, 0), 0, 0, -56},
    };
    for (const auto& c : cases) {
        const std::vector<MOUSE_INPUT_DATA> out = Run({c.in});
        ASSERT_EQ(out.size(), 1u) << c.what;
        EXPECT_EQ(out[0].ButtonFlags, c.flags) << c.what;
        EXPECT_EQ(int16_t(out[0].ButtonData), c.data) << c.what;
        EXPECT_EQ(out[0].LastX, c.x) << c.what;
    }
}

TEST_F(Pipeline, LeftHandedSwapsButtonsAndTheThumbButtons)
{
    G_config.Orientation = 1;
    G_config.ButtonAssigned[3] = ASSIGN_NATIVE;
    G_config.ButtonAssigned[4] = ASSIGN_NATIVE;
    EXPECT_EQ(RunFlags({Packet(LEFT_DOWN)}), Flags{MOUSE_RIGHT_BUTTON_DOWN});
    EXPECT_EQ(RunFlags({Packet(MOUSE_BUTTON_5_DOWN)}), Flags{MOUSE_BUTTON_4_DOWN});
    EXPECT_EQ(RunFlags({Packet(MOUSE_BUTTON_5_UP)}), Flags{MOUSE_BUTTON_4_UP});
    EXPECT_EQ(RunFlags({Packet(MOUSE_MIDDLE_BUTTON_DOWN)}), Flags{MOUSE_MIDDLE_BUTTON_DOWN});
}

TEST_F(Pipeline, DoubleClickButtonClicksTwiceAtItsRelease)
{
    G_config.ButtonAssigned[2] = ASSIGN_DOUBLE_CLICK;
    EXPECT_EQ(RunFlags({Packet(MOUSE_MIDDLE_BUTTON_DOWN)}), Flags{0});
    EXPECT_EQ(RunFlags({Packet(MOUSE_MIDDLE_BUTTON_UP)}),
              (Flags{0, LEFT_DOWN, LEFT_UP, LEFT_DOWN, LEFT_UP}));
}

TEST_F(Pipeline, ThumbButtonCombinedWithAClick)
{
    struct {
        uint32_t word;
        Flags release;
    } cases[] = {
        {0x201, {0, LEFT_DOWN, LEFT_UP}},
        {0x210, {0, MOUSE_RIGHT_BUTTON_DOWN, MOUSE_RIGHT_BUTTON_UP}},
        {0x204, {0, MOUSE_MIDDLE_BUTTON_DOWN, MOUSE_MIDDLE_BUTTON_UP}},
        {0x240, {0, MOUSE_BUTTON_4_DOWN, MOUSE_BUTTON_4_UP}},
        {0x202, {0, LEFT_DOWN, LEFT_UP, LEFT_DOWN, LEFT_UP}},
    };
    for (const auto& c : cases) {
        G_config.ButtonAssigned[3] = c.word;
        EXPECT_EQ(RunFlags({Packet(MOUSE_BUTTON_4_DOWN)}), Flags{0}) << std::hex << c.word;
        EXPECT_EQ(RunFlags({Packet(MOUSE_BUTTON_4_UP)}), c.release) << std::hex << c.word;

        // With the wheel used during the hold nothing follows the release.
        EXPECT_EQ(RunFlags({Packet(MOUSE_BUTTON_4_DOWN), Packet(MOUSE_WHEEL, 0, 0, 120)}),
                  (Flags{0, 0}))
            << std::hex << c.word;
        EXPECT_EQ(RunFlags({Packet(MOUSE_BUTTON_4_UP)}), Flags{0}) << std::hex << c.word;
    }
}

TEST_F(Pipeline, BatchOutputIsInOrder)
{
    G_config.ButtonAssigned[4] = ASSIGN_DOUBLE_CLICK;
    RunFlags({Packet(MOUSE_BUTTON_5_DOWN)});
    EXPECT_EQ(RunFlags({Packet(0, 1, 1), Packet(MOUSE_BUTTON_5_UP), Packet(0, 2, 2)}),
              (Flags{0, 0, LEFT_DOWN, LEFT_UP, LEFT_DOWN, LEFT_UP, 0}));
}

TEST_F(Pipeline, EmptyBatchStillCallsTheClassDriver)
{
    EXPECT_TRUE(Run({}).empty());
    EXPECT_EQ(chunkSizes_, (std::vector<size_t>{0}));
}

// Each release of button 1 (double click) together with button 4 (combined
// with a left click) yields seven packets; 20 of them overflow the 64-packet
// output area twice over.
TEST_F(Pipeline, LongBatchIsHandedOverInPiecesWithNothingLost)
{
    G_config.ButtonAssigned[0] = ASSIGN_DOUBLE_CLICK;
    G_config.ButtonAssigned[3] = 0x201;
    std::vector<MOUSE_INPUT_DATA> batch;
    for (int i = 0; i < 20; ++i) {
        batch.push_back(Packet(LEFT_DOWN | MOUSE_BUTTON_4_DOWN, i, 0));
        batch.push_back(Packet(LEFT_UP | MOUSE_BUTTON_4_UP, 0, i));
    }
    const std::vector<MOUSE_INPUT_DATA> out = Run(batch);
    ASSERT_EQ(out.size(), 20u * (1 + 7));
    const Flags release = {0, LEFT_DOWN, LEFT_UP, LEFT_DOWN, LEFT_UP, LEFT_DOWN, LEFT_UP};
    for (int i = 0; i < 20; ++i) {
        const MOUSE_INPUT_DATA* press = &out[size_t(i) * 8];
        EXPECT_EQ(press[0].ButtonFlags, 0) << i;
        EXPECT_EQ(press[0].LastX, i);
        for (size_t k = 0; k < release.size(); ++k)
            EXPECT_EQ(press[1 + k].ButtonFlags, release[k]) << "release " << i << " packet " << k;
        EXPECT_EQ(press[1].LastY, i);
    }
    ASSERT_GT(chunkSizes_.size(), 2u);
    for (size_t size : chunkSizes_)
        EXPECT_LE(size, size_t(OUTPUT_AREA_PACKETS));
}

TEST_F(Pipeline, InjectedClicksHelpers)
{
    MOUSE_INPUT_DATA area[4];
    memset(area, 0x5A, sizeof(area));
    MOUSE_INPUT_DATA* cursor = area;
    AddFakeClick_W2000(&cursor, 0x10, 9);  // not a click kind
    EXPECT_EQ(cursor, area);
    AddFakeClick_W2000(&cursor, 2, 9);
    ASSERT_EQ(cursor, area + 2);
    EXPECT_EQ(area[0].ButtonFlags, MOUSE_RIGHT_BUTTON_DOWN);
    EXPECT_EQ(area[1].ButtonFlags, MOUSE_RIGHT_BUTTON_UP);
    EXPECT_EQ(area[1].UnitId, 9);
    EXPECT_EQ(area[1].LastX, 0);
    EXPECT_EQ(area[1].ExtraInformation, 0u);
}

TEST_F(Pipeline, RebuiltPacketKeepsItsOtherFields)
{
    MOUSE_INPUT_DATA in = Packet(0, 1, 1);
    in.Flags = 0x0001;
    in.RawButtons = 0xABCD;
    in.ExtraInformation = 0x1234;
    const std::vector<MOUSE_INPUT_DATA> out = Run({in});
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].Flags, 1);
    EXPECT_EQ(out[0].RawButtons, 0xABCDu);
    EXPECT_EQ(out[0].ExtraInformation, 0x1234u);
}

class TransferPath : public PipelineTest {
protected:
    std::vector<uint8_t> Report(std::vector<uint8_t> bytes, uint32_t capacity = 12)
    {
        bytes.resize(12, 0xEE);
        uint32_t length = 4;
        ProcessTransferReport(bytes.data(), &length, capacity);
        bytes.resize(length);
        return bytes;
    }
};

TEST_F(TransferPath, ScalesAndSwapsInPlace)
{
    EXPECT_EQ(Report({0x01, 5, 0xF9, 2}), (std::vector<uint8_t>{0x01, 5, 0xF9, 2}));
    G_config.Orientation = 1;
    EXPECT_EQ(Report({0x09, 0, 0, 0}), (std::vector<uint8_t>{0x12, 0, 0, 0}));
    G_config.Orientation = 0;
    G_config.VexonSpeedX = 0;
    EXPECT_EQ(Report({0, 127, 0, 0xFF}), (std::vector<uint8_t>{0, 12, 0, 0xFF}))
        << "the wheel byte stays unscaled";
}

TEST_F(TransferPath, ThumbClickReportsFollowTheRelease)
{
    G_config.ButtonAssigned[3] = 0x240;
    Report({0x08, 0, 0, 0});
    EXPECT_EQ(Report({0x01, 0, 0, 0}),
              (std::vector<uint8_t>{0x01, 0, 0, 0, 0x09, 0, 0, 0, 0x01, 0, 0, 0}));
    // Rolled during the hold: no click.
    Report({0x08, 0, 0, 1});
    EXPECT_EQ(Report({0, 0, 0, 0}).size(), 4u);
    // A buffer without room for the extra reports keeps the single report.
    Report({0x08, 0, 0, 0});
    EXPECT_EQ(Report({0, 0, 0, 0}, 4).size(), 4u);
}

}  // namespace
