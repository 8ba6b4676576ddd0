#include "pipeline_fixture.h"

#include "driver_events.h"

namespace {

constexpr uint32_t TRAY = 0x5101;
constexpr uint32_t CUSTOMIZER = 0x5102;

class ConfigMerge : public PipelineTest {
protected:
    void SetUp() override
    {
        PipelineTest::SetUp();
        Register(SLOT_TRAY, TRAY);
        Register(SLOT_CONFIG, CUSTOMIZER);
    }
    CONFIG_BLOCK Live() const { return G_config; }
};

TEST_F(ConfigMerge, IdenticalBlockChangesNothing)
{
    const CONFIG_BLOCK block = Live();
    EXPECT_EQ(ApplyConfigRequest(&block), MERGE_UNCHANGED);
    EXPECT_EQ(ApplyTrayRequest(&block), MERGE_UNCHANGED);
    EXPECT_TRUE(events_.empty());
}

TEST_F(ConfigMerge, CustomizerValueEventsGoToTheTray)
{
    struct {
        uint32_t CONFIG_BLOCK::*field;
        uint32_t message;
    } cases[] = {
        {&CONFIG_BLOCK::UniversalScrollEnabled, MSG_UNIVERSAL_SCROLL_CHANGED},
        {&CONFIG_BLOCK::OFASensitivityEnabled, MSG_OFA_ENABLED_CHANGED},
        {&CONFIG_BLOCK::OFASensitivityViewable, MSG_OFA_VISIBLE_CHANGED},
    };
    for (const auto& c : cases) {
        events_.clear();
        CONFIG_BLOCK block = Live();
        block.*c.field = 0;
        EXPECT_EQ(ApplyConfigRequest(&block), MERGE_CHANGED);
        EXPECT_EQ(events_, (std::vector<DRIVER_EVENT>{{TRAY, c.message, 0, 0}}));
        EXPECT_EQ(G_config.*c.field, 0u);
    }
}

TEST_F(ConfigMerge, EventsWithoutTheTrayAreDropped)
{
    UnregisterSlot(SLOT_TRAY);
    CONFIG_BLOCK block = Live();
    block.UniversalScrollEnabled = 0;
    ApplyConfigRequest(&block);
    EXPECT_TRUE(events_.empty());
    EXPECT_EQ(G_config.UniversalScrollEnabled, 0u);
}

TEST_F(ConfigMerge, CustomizerBlockIsValidatedAndPartlyMerged)
{
    CONFIG_BLOCK block = Live();
    block.Acceleration = 19;  // repaired to 0 before the merge
    block.VexonSpeedX = 4;
    block.PS2Rate = 40;
    block.OFAScaleEnabled = 1;  // never merged
    block.TrayEnabled = 0;      // never merged
    block.Result = 77;
    G_config.Acceleration = 7;
    EXPECT_EQ(ApplyConfigRequest(&block), MERGE_CHANGED);
    EXPECT_EQ(G_config.Acceleration, 0u);
    EXPECT_EQ(G_config.VexonSpeedX, 4u);
    EXPECT_EQ(G_config.PS2Rate, 40u);
    EXPECT_EQ(G_config.OFAScaleEnabled, 0u);
    EXPECT_EQ(G_config.TrayEnabled, 1u);
    EXPECT_EQ(G_config.Result, 0u);
    EXPECT_TRUE(events_.empty());
}

TEST_F(ConfigMerge, ButtonWordAndMacroEachAnnounceTheirChange)
{
    CONFIG_BLOCK block = Live();
    block.ButtonAssigned[1] = ASSIGN_MACRO;
    block.MacroLength[1] = 1;
    block.Macro[1][0] = {0x41, 0};
    EXPECT_EQ(ApplyConfigRequest(&block), MERGE_CHANGED);
    const DRIVER_EVENT changed = {TRAY, MSG_BUTTONS_CHANGED, 0, 0};
    EXPECT_EQ(events_, (std::vector<DRIVER_EVENT>{changed, changed}));
    EXPECT_EQ(G_config.Macro[1][0].Code, 0x41u);

    // The same events again: nothing; a changed Flag word: one event.
    events_.clear();
    EXPECT_EQ(ApplyConfigRequest(&block), MERGE_UNCHANGED);
    block.Macro[1][0].Flag = 1;
    ApplyConfigRequest(&block);
    EXPECT_EQ(events_, (std::vector<DRIVER_EVENT>{changed}));
}

TEST_F(ConfigMerge, MacroLengthAboveSixteenStopsTheMerge)
{
    CONFIG_BLOCK block = Live();
    for (int i = 0; i < BUTTON_COUNT; ++i)
        block.ButtonAssigned[i] = ASSIGN_NATIVE;
    block.MacroLength[2] = 17;
    block.MacroLength[3] = 2;
    EXPECT_EQ(ApplyConfigRequest(&block), MERGE_BAD_MACRO_LENGTH);
    EXPECT_EQ(G_config.ButtonAssigned[0], uint32_t(ASSIGN_NATIVE));
    EXPECT_EQ(G_config.ButtonAssigned[1], uint32_t(ASSIGN_NATIVE));
    EXPECT_EQ(G_config.ButtonAssigned[2], uint32_t(ASSIGN_NATIVE));
    EXPECT_EQ(G_config.MacroLength[2], 0u);
    EXPECT_EQ(G_config.ButtonAssigned[3], BUTTON_ASSIGNMENT_DEFAULTS[3]);
    EXPECT_EQ(G_config.MacroLength[3], 0u);
    EXPECT_EQ(G_config.ButtonAssigned[4], BUTTON_ASSIGNMENT_DEFAULTS[4]);
}

TEST_F(ConfigMerge, TrayBlockMergesItsFieldsOnly)
{
    CONFIG_BLOCK block = Live();
    block.VexonSpeedX = 3;
    block.Orientation = 1;
    block.OFASensitivityViewable = 0;
    block.ButtonAssigned[4] = ASSIGN_KEY_HOLD;
    EXPECT_EQ(ApplyTrayRequest(&block), MERGE_CHANGED);
    EXPECT_EQ(G_config.VexonSpeedX, 18u);
    EXPECT_EQ(G_config.Orientation, 0u);
    EXPECT_EQ(G_config.OFASensitivityViewable, 0u);
    EXPECT_EQ(G_config.ButtonAssigned[4], uint32_t(ASSIGN_KEY_HOLD));
    EXPECT_EQ(events_, (std::vector<DRIVER_EVENT>{{CUSTOMIZER, MSG_OFA_VISIBLE_CHANGED, 0, 0},
                                                  {CUSTOMIZER, MSG_BUTTONS_CHANGED, 0, 0}}));
}

TEST_F(ConfigMerge, TrayBlockIsNotValidated)
{
    CONFIG_BLOCK block = Live();
    block.UniversalScrollEnabled = 5;
    ApplyTrayRequest(&block);
    EXPECT_EQ(G_config.UniversalScrollEnabled, 5u);
    EXPECT_EQ(events_, (std::vector<DRIVER_EVENT>{{CUSTOMIZER, MSG_UNIVERSAL_SCROLL_CHANGED, 5, 0}}));
}

TEST_F(ConfigMerge, FullLoadReplacesTheWholeBlockSilently)
{
    CONFIG_BLOCK loaded;
    ClearConfig(&loaded);
    InvalidateConfig(&loaded);
    loaded.TrayEnabled = 0;
    loaded.OFAScaleEnabled = 1;
    InstallLoadedConfig(&loaded);
    EXPECT_EQ(G_config.TrayEnabled, 0u);
    EXPECT_EQ(G_config.OFAScaleEnabled, 1u);
    EXPECT_EQ(G_config.VexonSpeedX, 18u);
    EXPECT_TRUE(events_.empty());
}

class DriverEvents : public PipelineTest {};

TEST_F(DriverEvents, SlotRequests)
{
    EXPECT_EQ(RegisterSlot(7, 0x1234), DRIVER_REPLY_BAD_SLOT);
    EXPECT_EQ(UnregisterSlot(4), DRIVER_REPLY_BAD_SLOT);
    EXPECT_EQ(QueryOfaWindow(), 0u);
    EXPECT_EQ(RegisterSlot(SLOT_OFA, 0x5678), DRIVER_REPLY_OK);
    EXPECT_EQ(QueryOfaWindow(), 0x5678u);
    EXPECT_EQ(UnregisterSlot(SLOT_OFA), DRIVER_REPLY_OK);
    EXPECT_EQ(QueryOfaWindow(), 0u);
    for (uint32_t slot = 0; slot < SLOT_COUNT; ++slot)
        EXPECT_EQ(SlotRecord(slot)->Slot, slot);
}

TEST_F(DriverEvents, PostingRules)
{
    EXPECT_EQ(Post_Message_To_App(&TRAY_status, MSG_PLAY_MACRO, 0, 1), 0) << "no window";
    EXPECT_EQ(Post_Message_To_App(&CONFIG_status, MSG_SPEED_CHANGED, 0x0102, 0), 1);
    RegisterSlot(SLOT_TRAY, 0x99);
    EXPECT_EQ(Post_Message_To_App(&TRAY_status, MSG_KEYS_DOWN, 0x12345, 2), 1);
    EXPECT_EQ(events_, (std::vector<DRIVER_EVENT>{{0, MSG_SPEED_CHANGED, 0x0102, 0},
                                                  {0x99, MSG_KEYS_DOWN, 0x2345, 2}}));
    controlDevice_ = false;
    EXPECT_EQ(Post_Message_To_App(&TRAY_status, MSG_KEYS_UP, 0, 2), 0) << "no control device";
}

}  // namespace
