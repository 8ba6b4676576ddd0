#include <gtest/gtest.h>

#include <string.h>

#include "config_block.h"

namespace {

// A block as a reader leaves it when no registry key supplied anything.
CONFIG_BLOCK UnreadBlock()
{
    CONFIG_BLOCK block;
    ClearConfig(&block);
    InvalidateConfig(&block);
    return block;
}

CONFIG_BLOCK ValidDefaults()
{
    CONFIG_BLOCK unread = UnreadBlock();
    CONFIG_BLOCK valid;
    VerifyConfigAndSetDefaults(&valid, &unread);
    return valid;
}

TEST(ConfigValidation, NothingReadGivesTheRepairValues)
{
    CONFIG_BLOCK unread = UnreadBlock();
    CONFIG_BLOCK c;
    EXPECT_EQ(VerifyConfigAndSetDefaults(&c, &unread), 1);

    EXPECT_EQ(c.OFASensitivityEnabled, 1u);
    EXPECT_EQ(c.OFASensitivity, 5u);
    EXPECT_EQ(c.DoubleClickSpeed, 3u);
    EXPECT_EQ(c.Orientation, 0u);
    const uint32_t buttons[] = {0x001, 0x010, 0x004, 0x202, 0x100};
    for (int i = 0; i < BUTTON_COUNT; ++i)
        EXPECT_EQ(c.ButtonAssigned[i], buttons[i]) << "button " << i;
    EXPECT_EQ(c.ScrollWheelSpeed, 3u);
    EXPECT_EQ(c.UniversalScrollEnabled, 1u);
    EXPECT_EQ(c.UniversalScrollSpeed, 3u);
    EXPECT_EQ(c.PS2Rate, 200u);
    EXPECT_EQ(c.PS2RateEnabled, 1u);
    EXPECT_EQ(c.OFASensitivityViewable, 1u);
    EXPECT_EQ(c.OFAScaleEnabled, 0u);
    EXPECT_EQ(c.TrayEnabled, 1u);
    EXPECT_EQ(c.VexonSpeedX, 18u);
    EXPECT_EQ(c.VexonSpeedY, 18u);
    EXPECT_EQ(c.Acceleration, 0u);
    EXPECT_EQ(c.AccelerationEnabled, 0u);
    EXPECT_EQ(c.XYSensitivityEnabled, 0u);
    EXPECT_STREQ(c.ProgramOFA, "");
    EXPECT_STREQ(c.ProgramTray, "");
    EXPECT_STREQ(c.VexonPath, "");
    for (int i = 0; i < BUTTON_COUNT; ++i)
        EXPECT_EQ(c.MacroLength[i], 0u);
}

TEST(ConfigValidation, LegalBlockIsCopiedUnchanged)
{
    CONFIG_BLOCK source = ValidDefaults();
    source.Result = 0x1234;  // never repaired
    source.VexonSpeedX = 0;
    source.PS2Rate = 10;
    source.ButtonAssigned[0] = ASSIGN_MACRO;
    source.MacroLength[0] = 2;
    source.Macro[0][1] = {0x41, 1};
    strcpy(source.VexonPath, "C:\\Vexon");
    CONFIG_BLOCK target;
    memset(&target, 0xAB, sizeof(target));
    EXPECT_EQ(VerifyConfigAndSetDefaults(&target, &source), 0);
    EXPECT_EQ(memcmp(&target, &source, sizeof(target)), 0);
}

TEST(ConfigValidation, ValidatesInPlace)
{
    CONFIG_BLOCK block = ValidDefaults();
    block.Acceleration = 19;
    EXPECT_EQ(VerifyConfigAndSetDefaults(&block, &block), 1);
    EXPECT_EQ(block.Acceleration, 0u);
}

struct Repair {
    const char* what;
    uint32_t CONFIG_BLOCK::*field;
    uint32_t stored;
    uint32_t validated;
};

void PrintTo(const Repair& r, std::ostream* os)
{
    *os << r.what;
}

class ConfigRepair : public testing::TestWithParam<Repair> {};

TEST_P(ConfigRepair, RepairsOrKeeps)
{
    const Repair& r = GetParam();
    CONFIG_BLOCK block = ValidDefaults();
    block.*r.field = r.stored;
    const int changed = VerifyConfigAndSetDefaults(&block, &block);
    EXPECT_EQ(block.*r.field, r.validated);
    EXPECT_EQ(changed, r.stored != r.validated ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, ConfigRepair,
    testing::Values(
        Repair{"accel19", &CONFIG_BLOCK::Acceleration, 19, 0},
        Repair{"accel18", &CONFIG_BLOCK::Acceleration, 18, 18},
        Repair{"speedXneg", &CONFIG_BLOCK::VexonSpeedX, 0xFFFFFFFF, 18},
        Repair{"speedY19", &CONFIG_BLOCK::VexonSpeedY, 19, 18},
        Repair{"rate50", &CONFIG_BLOCK::PS2Rate, 50, 200},
        Repair{"rate0", &CONFIG_BLOCK::PS2Rate, 0, 200},
        Repair{"rate80", &CONFIG_BLOCK::PS2Rate, 80, 80},
        Repair{"ofaSens7", &CONFIG_BLOCK::OFASensitivity, 7, 5},
        Repair{"ofaSens6", &CONFIG_BLOCK::OFASensitivity, 6, 6},
        Repair{"dblClick7", &CONFIG_BLOCK::DoubleClickSpeed, 7, 3},
        Repair{"wheel9", &CONFIG_BLOCK::ScrollWheelSpeed, 9, 3},
        Repair{"uniSpeed7", &CONFIG_BLOCK::UniversalScrollSpeed, 7, 3},
        Repair{"orientation2", &CONFIG_BLOCK::Orientation, 2, 0},
        Repair{"ofaOn2", &CONFIG_BLOCK::OFASensitivityEnabled, 2, 1},
        Repair{"uniOn2", &CONFIG_BLOCK::UniversalScrollEnabled, 2, 1},
        Repair{"rateOn2", &CONFIG_BLOCK::PS2RateEnabled, 2, 1},
        Repair{"viewable2", &CONFIG_BLOCK::OFASensitivityViewable, 2, 1},
        Repair{"accelOn2", &CONFIG_BLOCK::AccelerationEnabled, 2, 0},
        Repair{"xyOn2", &CONFIG_BLOCK::XYSensitivityEnabled, 2, 0},
        Repair{"scaleOn2", &CONFIG_BLOCK::OFAScaleEnabled, 2, 0},
        Repair{"trayOn2", &CONFIG_BLOCK::TrayEnabled, 2, 1}),
    [](const testing::TestParamInfo<Repair>& info) { return std::string(info.param.what); });

TEST(ConfigValidation, ButtonWords)
{
    struct Case {
        int button;
        uint32_t stored;
        uint32_t validated;
    } cases[] = {
        {0, 0x000, 0x001},  // no code at all: the button's default
        {1, 0x400, 0x010},  // none of the low ten bits
        {2, 0xFFFFFFFF, 0x004},
        {3, 0x200, 0x200},  // the combined flag alone is kept
        {4, 0x208, 0x208},
        {0, 0x040, 0x040},
        {4, 0x003, 0x003},  // two codes: each matches, so it is kept
    };
    for (const Case& c : cases) {
        CONFIG_BLOCK block = ValidDefaults();
        block.ButtonAssigned[c.button] = c.stored;
        VerifyConfigAndSetDefaults(&block, &block);
        EXPECT_EQ(block.ButtonAssigned[c.button], c.validated)
            << "button " << c.button << " word 0x" << std::hex << c.stored;
    }
}

TEST(ConfigInvalidation, MarksRegistryFieldsOnly)
{
    CONFIG_BLOCK block = ValidDefaults();
    block.Result = 7;
    block.MacroLength[2] = 3;
    block.Macro[2][2] = {0x20, 1};
    strcpy(block.ProgramOFA, "x");
    strcpy(block.ProgramTray, "y");
    strcpy(block.VexonPath, "z");
    EXPECT_EQ(InvalidateConfig(&block), 0);

    EXPECT_EQ(block.Result, 7u);
    EXPECT_EQ(block.MacroLength[2], 3u);
    EXPECT_EQ(block.Macro[2][2].Code, 0x20u);
    EXPECT_EQ(block.ProgramOFA[0], 0);
    EXPECT_EQ(block.ProgramTray[0], 0);
    EXPECT_EQ(block.VexonPath[0], 0);
    for (int i = 0; i < BUTTON_COUNT; ++i)
        EXPECT_EQ(block.ButtonAssigned[i], CONFIG_NOT_READ);
    EXPECT_EQ(block.OFASensitivity, CONFIG_NOT_READ);
    EXPECT_EQ(block.XYSensitivityEnabled, CONFIG_NOT_READ);
    EXPECT_EQ(block.TrayEnabled, CONFIG_NOT_READ);
}

TEST(ButtonAssignment, IsAssigned)
{
    struct Case {
        uint32_t word;
        uint32_t code;
        bool assigned;
    } cases[] = {
        {0x202, 0x002, false},  // the combined flag hides the plain code
        {0x202, 0x202, true},
        {0x202, 0x200, true},
        {0x002, 0x002, true},
        {0x002, 0x202, false},
        {0x001, 0x010, false},
        {0xFFFFFFFF, 0xFFFFFFFF, true},
        {0x001, 0xFFFFFFFF, false},
        {0xFFFFFFFF, 0x001, false},  // all bits include the combined flag
        {0xFFFFFFFF, 0x200, true},
        {0x208, 0x008, false},
        {0x208, 0x208, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsAssigned(c.word, c.code), c.assigned)
            << std::hex << "word 0x" << c.word << " code 0x" << c.code;
}

}  // namespace
