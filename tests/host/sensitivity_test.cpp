#include "pipeline_fixture.h"

#include "sensitivity.h"

namespace {

class Sensitivity : public PipelineTest {
protected:
    // Scales a sequence of X deltas with fresh accumulators.
    std::vector<int> ScaleX(const std::vector<int>& deltas)
    {
        std::vector<int> out;
        for (int d : deltas) {
            GENERIC_REPORT gen = {};
            gen.RawX = int8_t(d);
            gen.RawWheel = 3;
            Sensitivity_Adjust(&gen);
            EXPECT_EQ(gen.Wheel, 3) << "the wheel passes unscaled";
            out.push_back(gen.X);
        }
        return out;
    }
};

struct ScalingRow {
    uint32_t speed;
    bool acceleration;
    uint32_t step;
    std::vector<int> in;
    std::vector<int> out;
};

TEST_F(Sensitivity, ScalingTable)
{
    const std::vector<int> tenOnes(10, 1);
    std::vector<int> nineZerosThenOne(9, 0);
    nineZerosThenOne.push_back(1);
    const ScalingRow rows[] = {
        {18, false, 0, {5, -7, 1}, {5, -7, 1}},
        {9, false, 0, {1, 1, 1, 1}, {0, 1, 0, 1}},
        {9, false, 0, {3, 3, 3}, {1, 1, 1}},
        {0, false, 0, tenOnes, nineZerosThenOne},
        {0, false, 0, {127}, {12}},
        {4, false, 0, {-3, -3, -3, -3}, {0, -1, 0, -1}},
        {10, true, 18, {10, 40}, {7, 40}},
        {18, true, 18, {10}, {10}},
        {0, true, 18, {127, -128}, {127, -128}},
        {10, false, 0, {1, 0, -1}, {0, 0, 0}},  // a zero keeps the leftover, -1 cancels it
    };
    for (const ScalingRow& row : rows) {
        ResetDriverState();
        G_config.VexonSpeedX = row.speed;
        G_config.AccelerationEnabled = row.acceleration;
        G_config.Acceleration = row.step;
        EXPECT_EQ(ScaleX(row.in), row.out) << "speed " << row.speed << " accel " << row.acceleration;
    }
}

TEST_F(Sensitivity, AxesKeepTheirOwnSpeedAndRemainder)
{
    G_config.VexonSpeedX = 18;
    G_config.VexonSpeedY = 0;
    GENERIC_REPORT gen = {};
    gen.RawX = 9;
    gen.RawY = 9;
    Sensitivity_Adjust(&gen);
    EXPECT_EQ(gen.X, 9);
    EXPECT_EQ(gen.Y, 0);
    gen.RawY = 2;  // 90 + 20 reaches a whole count
    Sensitivity_Adjust(&gen);
    EXPECT_EQ(gen.Y, 1);
}

struct GestureRow {
    uint32_t x, y;
    int wheel;
    uint32_t newX, newY;
};

TEST_F(Sensitivity, OnTheFlyChangeMovesBothAxesTogether)
{
    const GestureRow rows[] = {
        {18, 18, 1, 18, 18},  // at the top: no step, the event still goes out
        {10, 16, 3, 12, 18},
        {1, 5, -2, 0, 4},
        {0, 18, 1, 0, 18},
        {0, 18, -1, 0, 18},
        {7, 7, -3, 4, 4},
        {3, 3, -9, 0, 0},
    };
    for (const GestureRow& row : rows) {
        events_.clear();
        CONFIG_BLOCK config = G_config;
        config.VexonSpeedX = row.x;
        config.VexonSpeedY = row.y;
        const MOUSE_REPORT report = {REPORT_BUTTON_4, 0, 0, int8_t(row.wheel)};
        UpdateSensitivity(&report, &config);
        EXPECT_EQ(config.VexonSpeedX, row.newX) << row.x << "," << row.y << " by " << row.wheel;
        EXPECT_EQ(config.VexonSpeedY, row.newY) << row.x << "," << row.y << " by " << row.wheel;
        // Nobody registered SLOT_CONFIG: the event travels with window 0.
        const DRIVER_EVENT expected = {0, MSG_SPEED_CHANGED, (row.newY << 8) | row.newX, 0};
        ASSERT_EQ(events_.size(), 1u);
        EXPECT_EQ(events_[0], expected);
    }
}

TEST_F(Sensitivity, SpeedChangeGoesToTheCustomizerWhenRegistered)
{
    Register(SLOT_CONFIG, 0x4242);
    CONFIG_BLOCK config = G_config;
    const MOUSE_REPORT report = {0, 0, 0, 1};
    UpdateSensitivity(&report, &config);
    ASSERT_EQ(events_.size(), 1u);
    EXPECT_EQ(events_[0], (DRIVER_EVENT{0x4242, MSG_SPEED_CHANGED, 0x1212, 0}));
}

}  // namespace
