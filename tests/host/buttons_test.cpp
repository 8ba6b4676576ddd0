#include "pipeline_fixture.h"

#include "buttons.h"

namespace {

constexpr uint32_t TRAY = 0x7001;
constexpr uint32_t OFA = 0x7002;
constexpr uint32_t CUSTOMIZER = 0x7003;

class Buttons : public PipelineTest {
protected:
    void SetUp() override
    {
        PipelineTest::SetUp();
        Register(SLOT_TRAY, TRAY);
        Register(SLOT_OFA, OFA);
        Register(SLOT_CONFIG, CUSTOMIZER);
    }

    // Runs one report through the mapping and returns its buttons.
    uint8_t Map(uint8_t buttons, int8_t wheel = 0)
    {
        MOUSE_REPORT report = {buttons, 0, 0, wheel};
        ProcessButtonByte(&report, &G_config);
        lastWheel_ = report.Wheel;
        return report.Buttons;
    }

    int8_t lastWheel_ = 0;
};

TEST_F(Buttons, DefaultAssignments)
{
    EXPECT_EQ(Map(REPORT_RIGHT), REPORT_RIGHT);
    EXPECT_EQ(Map(0), 0);
    EXPECT_EQ(Map(REPORT_BUTTON_5), 0);
    EXPECT_EQ(Map(REPORT_MIDDLE), REPORT_MIDDLE);
    EXPECT_TRUE(events_.empty());
}

TEST_F(Buttons, RemappingAndTheClaimRule)
{
    G_config.ButtonAssigned[0] = ASSIGN_RIGHT_CLICK;
    G_config.ButtonAssigned[1] = ASSIGN_LEFT_CLICK;
    G_config.ButtonAssigned[4] = ASSIGN_MIDDLE_CLICK;
    struct {
        uint8_t in;
        uint8_t out;
    } cases[] = {
        {REPORT_LEFT, REPORT_RIGHT},
        {REPORT_RIGHT, REPORT_LEFT},
        {REPORT_LEFT | REPORT_RIGHT, REPORT_RIGHT},  // button 1 claimed the right bit first
        {REPORT_BUTTON_5, REPORT_MIDDLE},
    };
    for (const auto& c : cases) {
        ResetButtonState();
        ResetBogusClickState();
        EXPECT_EQ(Map(c.in), c.out) << "in 0x" << std::hex << int(c.in);
    }
}

TEST_F(Buttons, MacroPlaysOncePerPress)
{
    G_config.ButtonAssigned[2] = ASSIGN_MACRO;
    EXPECT_EQ(Map(REPORT_MIDDLE), 0);
    EXPECT_EQ(Map(REPORT_MIDDLE), 0);
    EXPECT_EQ(Map(0), 0);
    EXPECT_EQ(Map(REPORT_MIDDLE), 0);
    const DRIVER_EVENT play = {TRAY, MSG_PLAY_MACRO, 0, 2};
    EXPECT_EQ(events_, (std::vector<DRIVER_EVENT>{play, play}));
}

TEST_F(Buttons, KeyHoldPressesAndReleases)
{
    G_config.ButtonAssigned[4] = ASSIGN_KEY_HOLD;
    EXPECT_EQ(Map(REPORT_BUTTON_5), 0);
    EXPECT_EQ(Map(REPORT_BUTTON_5), 0);
    EXPECT_EQ(Map(0), 0);
    EXPECT_EQ(Map(0), 0);
    EXPECT_EQ(events_, (std::vector<DRIVER_EVENT>{{TRAY, MSG_KEYS_DOWN, 0, 4},
                                                  {TRAY, MSG_KEYS_UP, 0, 4}}));
}

TEST_F(Buttons, TrayEventsAreDroppedWithoutATray)
{
    UnregisterSlot(SLOT_TRAY);
    G_config.ButtonAssigned[0] = ASSIGN_MACRO;
    SetClockMs(5000);
    Map(REPORT_LEFT);
    EXPECT_TRUE(events_.empty());
}

TEST_F(Buttons, UniversalScrollOffHidesEveryMiddleButton)
{
    G_config.UniversalScrollEnabled = 0;
    EXPECT_EQ(Map(REPORT_MIDDLE), 0);
    G_config.ButtonAssigned[1] = ASSIGN_MIDDLE_CLICK;
    EXPECT_EQ(Map(REPORT_RIGHT), 0);
}

TEST_F(Buttons, CombinedWordsAreTheirPlainCodeWithoutTheGesture)
{
    G_config.OFASensitivityEnabled = 0;
    struct {
        int button;
        uint32_t word;
        uint8_t out;
    } cases[] = {
        {BUTTON_4, 0x201, REPORT_LEFT},
        {BUTTON_4, 0x200, REPORT_BUTTON_4},  // the flag alone acts as native
        {BUTTON_4, 0x240, REPORT_BUTTON_4},
        {BUTTON_4, ASSIGN_OFA, 0},
        {BUTTON_5, 0x210, REPORT_RIGHT},  // only button 4 runs the gesture
    };
    for (const auto& c : cases) {
        G_config.ButtonAssigned[c.button] = c.word;
        ResetButtonState();
        EXPECT_EQ(Map(uint8_t(1u << c.button)), c.out) << std::hex << c.word;
        G_config.ButtonAssigned[c.button] = BUTTON_ASSIGNMENT_DEFAULTS[c.button];
    }
}

TEST_F(Buttons, GestureChangesSpeedAndShowsTheMeter)
{
    G_config.VexonSpeedX = G_config.VexonSpeedY = 10;
    EXPECT_EQ(Map(REPORT_BUTTON_4), 0);
    EXPECT_EQ(Map(REPORT_BUTTON_4, 1), 0);
    EXPECT_EQ(lastWheel_, 0) << "the wheel is swallowed";
    EXPECT_EQ(Map(REPORT_BUTTON_4, 1), 0);
    EXPECT_EQ(Map(0), 0);
    EXPECT_EQ(events_, (std::vector<DRIVER_EVENT>{
                           {CUSTOMIZER, MSG_SPEED_CHANGED, 0x0B0B, 0},
                           {OFA, WM_APP_MESSAGE, OFA_SHOW, 0x0B0B},
                           {CUSTOMIZER, MSG_SPEED_CHANGED, 0x0C0C, 0},
                           {OFA, WM_APP_MESSAGE, OFA_SHOW, 0x0C0C},
                           {OFA, WM_APP_MESSAGE, OFA_HIDE, 0x0C0C},
                       }));
    EXPECT_EQ(G_config.VexonSpeedX, 12u);
}

TEST_F(Buttons, GestureWithoutTheMeter)
{
    G_config.OFASensitivityViewable = 0;
    G_config.VexonSpeedX = G_config.VexonSpeedY = 5;
    Map(REPORT_BUTTON_4, -1);
    Map(0);
    EXPECT_EQ(events_, (std::vector<DRIVER_EVENT>{{CUSTOMIZER, MSG_SPEED_CHANGED, 0x0404, 0}}));
}

TEST_F(Buttons, TwoBarMeterParameter)
{
    G_config.XYSensitivityEnabled = 1;
    G_config.VexonSpeedX = 3;
    G_config.VexonSpeedY = 8;
    Map(REPORT_BUTTON_4, 1);
    ASSERT_EQ(events_.size(), 2u);
    EXPECT_EQ(events_[1].lParam, 0x80000904u);
}

TEST_F(Buttons, CombinedMacroPlaysAtAReleaseWithoutWheel)
{
    G_config.ButtonAssigned[3] = 0x208;
    Map(REPORT_BUTTON_4);
    EXPECT_TRUE(events_.empty()) << "nothing at the press";
    Map(0);
    EXPECT_EQ(events_, (std::vector<DRIVER_EVENT>{{TRAY, MSG_PLAY_MACRO, 0, 3}}));

    events_.clear();
    Map(REPORT_BUTTON_4);
    Map(REPORT_BUTTON_4, 1);
    Map(0);
    for (const DRIVER_EVENT& e : events_)
        EXPECT_NE(e.Message, uint32_t(MSG_PLAY_MACRO)) << "the wheel was used";
}

}  // namespace
