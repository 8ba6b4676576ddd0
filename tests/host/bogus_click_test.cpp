#include "pipeline_fixture.h"

namespace {

class BogusClick : public PipelineTest {};

struct Edge {
    uint64_t ms;
    bool pressed;
    bool reported;  // what leaves the filter: the left bit after it
};

TEST_F(BogusClick, Timeline)
{
    const Edge timeline[] = {
        {10000, true, true},    // first press after load: 10 s gap
        {10050, true, true},    // still held, no edge
        {10080, false, false},  // release, timed
        {10095, true, false},   // 15 ms: a bounce, swallowed
        {10120, true, false},   // swallowed while held
        {10150, false, false},  // its release is not reported and not timed
        {10160, true, true},    // 65 ms since the swallowed press
        {10200, false, false},
        {10225, true, false},   // exactly the threshold: a bounce
    };
    for (const Edge& edge : timeline) {
        SetClockMs(edge.ms);
        MOUSE_REPORT report = {uint8_t(edge.pressed ? REPORT_LEFT | REPORT_RIGHT : REPORT_RIGHT), 0,
                               0, 0};
        FilterBogusClick(&report);
        EXPECT_EQ((report.Buttons & REPORT_LEFT) != 0, edge.reported) << "at " << edge.ms;
        EXPECT_TRUE(report.Buttons & REPORT_RIGHT) << "only the left bit is filtered";
    }
}

TEST_F(BogusClick, ThresholdComesFromTheGlobal)
{
    G_click_threshold = 100;
    SetClockMs(5000);
    MOUSE_REPORT down = {REPORT_LEFT, 0, 0, 0};
    FilterBogusClick(&down);
    SetClockMs(5050);
    MOUSE_REPORT up = {0, 0, 0, 0};
    FilterBogusClick(&up);
    SetClockMs(5140);  // 90 ms: a bounce under a 100 ms threshold
    MOUSE_REPORT again = {REPORT_LEFT, 0, 0, 0};
    FilterBogusClick(&again);
    EXPECT_EQ(again.Buttons, 0);
}

TEST_F(BogusClick, ActsOnThePhysicalRightButtonWhenLeftHanded)
{
    G_config.Orientation = 1;
    SetClockMs(2000);
    EXPECT_EQ(RunFlags({Packet(MOUSE_RIGHT_BUTTON_DOWN)}), (std::vector<uint16_t>{MOUSE_LEFT_BUTTON_DOWN}));
    SetClockMs(2010);
    EXPECT_EQ(RunFlags({Packet(MOUSE_RIGHT_BUTTON_UP)}), (std::vector<uint16_t>{MOUSE_LEFT_BUTTON_UP}));
    SetClockMs(2020);  // 10 ms after the release: swallowed, and so is its release
    EXPECT_EQ(RunFlags({Packet(MOUSE_RIGHT_BUTTON_DOWN)}), (std::vector<uint16_t>{0}));
    SetClockMs(2030);
    EXPECT_EQ(RunFlags({Packet(MOUSE_RIGHT_BUTTON_UP)}), (std::vector<uint16_t>{0}));
}

}  // namespace
