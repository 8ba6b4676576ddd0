// The meter's placement, size, layout and switches.
#include <gtest/gtest.h>

#include <vector>

#include "command_line.h"
#include "meter.h"

namespace {

struct Placement {
    int screenWidth, screenHeight;
    int x, y;
};

TEST(MeterPlacement, NearTheLowerRightCornerRaisedToTheEdgeMinimum)
{
    const Placement cases[] = {
        {1024, 768, 882, 400},
        {640, 480, 522, 130},
        {800, 600, 672, 243},
        {320, 200, 222, 16},  // y would be negative
        {100, 100, 16, 16},   // both raised
    };
    for (const Placement& c : cases) {
        OFA_METER meter = InitialMeter();
        PlaceMeter(&meter, c.screenWidth, c.screenHeight);
        EXPECT_EQ(meter.x, c.x) << c.screenWidth << "x" << c.screenHeight;
        EXPECT_EQ(meter.y, c.y) << c.screenWidth << "x" << c.screenHeight;
    }
}

TEST(MeterSize, TwoBarsAreTwiceAsWideAsOneBarPlusMargins)
{
    OFA_METER meter = InitialMeter();
    meter.MeterMode = OFA_MMDOUBLEBAR;
    SizeMeter(&meter);
    EXPECT_EQ(meter.width, 82);
    EXPECT_EQ(meter.height, 326);
    meter.MeterMode = OFA_MMSINGLEBAR;
    SizeMeter(&meter);
    EXPECT_EQ(meter.width, 43);
    EXPECT_EQ(meter.height, 326);
    EXPECT_EQ(MaxMeterWidth(meter), 82);
}

TEST(MeterShowParam, ModeFromBit31AndValuesAboveEighteenIgnored)
{
    EXPECT_EQ(MeterModeFromParam(0x80000305u), OFA_MMDOUBLEBAR);
    EXPECT_EQ(MeterModeFromParam(0x7FFFFFFFu), OFA_MMSINGLEBAR);

    OFA_METER meter = InitialMeter();
    AcceptShowValues(&meter, 0x80000305u);
    EXPECT_EQ(meter.sx, 5);
    EXPECT_EQ(meter.sy, 3);
    AcceptShowValues(&meter, 0x00001312u);  // X 18 taken, Y 19 ignored
    EXPECT_EQ(meter.sx, 18);
    EXPECT_EQ(meter.sxLast, 18);
    EXPECT_EQ(meter.sy, 3);
    AcceptShowValues(&meter, 0x00000019u);  // X 25 ignored, Y 0 taken
    EXPECT_EQ(meter.sx, 18);
    EXPECT_EQ(meter.sxLast, 18);
    EXPECT_EQ(meter.sy, 0);
    AcceptShowValues(&meter, 0x00120000u);  // bytes 2 and 3 are not values
    EXPECT_EQ(meter.sx, 0);
    EXPECT_EQ(meter.sy, 0);
}

// Where the layout puts a picture, as (picture, x, y) triples.
std::vector<std::vector<int>> Draws(const OFA_METER& meter)
{
    METER_LAYOUT layout;
    LayOutMeter(meter, &layout);
    std::vector<std::vector<int>> draws;
    for (int i = 0; i < layout.count; ++i)
        draws.push_back({layout.draws[i].picture, layout.draws[i].x, layout.draws[i].y});
    return draws;
}

int StepTop(int step) { return 20 + (18 - step) * 16; }

TEST(MeterLayout, TwoBarsWithLabelsAndTheCurrentStepsPictures)
{
    OFA_METER meter = InitialMeter();
    meter.MeterMode = OFA_MMDOUBLEBAR;
    meter.sx = 5;
    meter.sy = 3;
    const auto draws = Draws(meter);
    ASSERT_EQ(draws.size(), 2u + 2 * 19);
    EXPECT_EQ(draws[0], (std::vector<int>{OFA_PICTURE_LABELX, 2, 2}));
    EXPECT_EQ(draws[1], (std::vector<int>{OFA_PICTURE_LABELY, 41, 2}));
    std::vector<std::vector<int>> bar1(draws.begin() + 2, draws.begin() + 21);
    std::vector<std::vector<int>> bar2(draws.begin() + 21, draws.end());
    for (int step = 18; step >= 0; --step) {
        const auto& a = bar1[18 - step];
        const auto& b = bar2[18 - step];
        EXPECT_EQ(a[1], 2);
        EXPECT_EQ(b[1], 41);
        EXPECT_EQ(a[2], StepTop(step));
        EXPECT_EQ(b[2], StepTop(step));
        EXPECT_EQ(a[0], step == 5 ? 5 : (step < 5 ? OFA_PICTURE_GREEN : OFA_PICTURE_GREY));
        EXPECT_EQ(b[0], step == 3 ? 3 : (step < 3 ? OFA_PICTURE_GREEN : OFA_PICTURE_GREY));
    }
    EXPECT_EQ(StepTop(18), 20);
    EXPECT_EQ(StepTop(0), 308);
    // The last step ends on the meter's bottom margin.
    SizeMeter(&meter);
    EXPECT_EQ(StepTop(0) + 16 + meter.marginY, meter.height);
}

TEST(MeterLayout, OneBarHasItsOwnLabelAndNoSecondBar)
{
    OFA_METER meter = InitialMeter();
    meter.MeterMode = OFA_MMSINGLEBAR;
    meter.sx = 18;
    const auto draws = Draws(meter);
    ASSERT_EQ(draws.size(), 1u + 19);
    EXPECT_EQ(draws[0], (std::vector<int>{OFA_PICTURE_LABEL0, 2, 2}));
    EXPECT_EQ(draws[1], (std::vector<int>{18, 2, 20}));  // the top step is the current one
    for (size_t i = 2; i < draws.size(); ++i) {
        EXPECT_EQ(draws[i][0], OFA_PICTURE_GREEN);
        EXPECT_EQ(draws[i][1], 2);
    }
}

struct Switches {
    std::vector<const char*> argv;
    bool log, hide, test;
    uint32_t refreshMs;
};

TEST(CommandLine, SwitchesAreExactAndRefreshTakesTheLeadingNumber)
{
    const Switches cases[] = {
        {{"vexonofa.exe"}, false, true, false, 2},
        {{"vexonofa.exe", "/enabled"}, false, true, false, 2},
        {{"vexonofa.exe", "/log", "/nohide", "/test"}, true, false, true, 2},
        {{"vexonofa.exe", "/LOG", "/NoHide", "log", "/test "}, false, true, false, 2},
        {{"vexonofa.exe", "/refresh", "50"}, false, true, false, 50},
        {{"vexonofa.exe", "/refresh", "0"}, false, true, false, 2},
        {{"vexonofa.exe", "/refresh", "x"}, false, true, false, 2},
        {{"vexonofa.exe", "/refresh", "25ms"}, false, true, false, 25},
        {{"vexonofa.exe", "/refresh", "-5"}, false, true, false, 2},
        {{"vexonofa.exe", "/refresh"}, false, true, false, 2},
        // The value after "/refresh" is still a switch of its own.
        {{"vexonofa.exe", "/refresh", "/log"}, true, true, false, 2},
        {{"vexonofa.exe", "/refresh", "99999999999999"}, false, true, false, 0x7FFFFFFF},
        {{"vexonofa.exe", "/refresh", "7", "/refresh", "9"}, false, true, false, 9},
        // The program name is compared like any argument, but only when
        // another argument follows.
        {{"/log", "/enabled"}, true, true, false, 2},
        {{"/log"}, false, true, false, 2},
    };
    for (const Switches& c : cases) {
        const OFA_OPTIONS options = ParseCommandLine(static_cast<int>(c.argv.size()), c.argv.data());
        std::string line;
        for (const char* arg : c.argv)
            line += std::string(arg) + " ";
        EXPECT_EQ(options.log, c.log) << line;
        EXPECT_EQ(options.hideFromTaskbar, c.hide) << line;
        EXPECT_EQ(options.testKeys, c.test) << line;
        EXPECT_EQ(options.refreshMs, c.refreshMs) << line;
    }
}

}  // namespace
