// The driver's change events as the tray and the customizer receive them:
// which merge of which block tells whom about what.
#include "control_fixture.h"

namespace {

constexpr uint32_t TRAY_WINDOW = 0x7001;
constexpr uint32_t CUSTOMIZER_WINDOW = 0x7002;

class ChangeEvents : public ControlDevice {
protected:
    std::string Send(uint32_t code, CONFIG_BLOCK block)
    {
        EXPECT_EQ(SendConfigBlock(device_.get(), code, &block), 0u) << "the reply is always 0";
        return Events(DrainEvents(reader_.get()));
    }
    std::string SetConfig(const CONFIG_BLOCK& block) { return Send(IOCTL_MOUFILTER_SET_CONFIG, block); }
    std::string TrayUpdate(const CONFIG_BLOCK& block) { return Send(IOCTL_MOUFILTER_TRAY_UPDATE, block); }
};

DRIVER_EVENT ToTray(uint32_t message, uint32_t wParam = 0)
{
    return {TRAY_WINDOW, message, wParam, 0};
}

DRIVER_EVENT ToCustomizer(uint32_t message, uint32_t wParam = 0)
{
    return {CUSTOMIZER_WINDOW, message, wParam, 0};
}

struct MirroredField {
    const char* name;
    uint32_t CONFIG_BLOCK::*field;
    uint32_t message;
};

const MirroredField MIRRORED_FIELDS[] = {
    {"OFASensitivityEnabled", &CONFIG_BLOCK::OFASensitivityEnabled, MSG_OFA_ENABLED_CHANGED},
    {"OFASensitivityViewable", &CONFIG_BLOCK::OFASensitivityViewable, MSG_OFA_VISIBLE_CHANGED},
    {"UniversalScrollEnabled", &CONFIG_BLOCK::UniversalScrollEnabled, MSG_UNIVERSAL_SCROLL_CHANGED},
};

TEST_F(ChangeEvents, CustomizerBlockTellsTheTrayOfEachMirroredChange)
{
    ASSERT_EQ(Register(device_.get(), SLOT_TRAY, TRAY_WINDOW), 0u);
    ASSERT_EQ(Register(device_.get(), SLOT_CONFIG, CUSTOMIZER_WINDOW), 0u);
    for (const MirroredField& f : MIRRORED_FIELDS) {
        SCOPED_TRACE(f.name);
        CONFIG_BLOCK block = DefaultBlock();
        block.*f.field = 0;
        EXPECT_EQ(SetConfig(block), Events({ToTray(f.message, 0)}));
        EXPECT_EQ(SetConfig(block), Events({})) << "the same block again";
        block.*f.field = 1;
        EXPECT_EQ(SetConfig(block), Events({ToTray(f.message, 1)}));
    }
}

TEST_F(ChangeEvents, TrayBlockTellsTheCustomizerOfEachMirroredChange)
{
    ASSERT_EQ(Register(device_.get(), SLOT_TRAY, TRAY_WINDOW), 0u);
    ASSERT_EQ(Register(device_.get(), SLOT_CONFIG, CUSTOMIZER_WINDOW), 0u);
    for (const MirroredField& f : MIRRORED_FIELDS) {
        SCOPED_TRACE(f.name);
        CONFIG_BLOCK block = DefaultBlock();
        block.*f.field = 0;
        EXPECT_EQ(TrayUpdate(block), Events({ToCustomizer(f.message, 0)}));
        EXPECT_EQ(TrayUpdate(block), Events({}));
        block.*f.field = 1;
        EXPECT_EQ(TrayUpdate(block), Events({ToCustomizer(f.message, 1)}));
    }
}

TEST_F(ChangeEvents, OnlyUniversalScrollingOffGivesExactlyOneTrayEvent)
{
    ASSERT_EQ(Register(device_.get(), SLOT_TRAY, TRAY_WINDOW), 0u);
    CONFIG_BLOCK block = DefaultBlock();
    block.UniversalScrollEnabled = 0;
    EXPECT_EQ(SetConfig(block), Events({ToTray(MSG_UNIVERSAL_SCROLL_CHANGED, 0)}));
}

TEST_F(ChangeEvents, WithoutTheTrayTheEventIsDroppedButTheBlockMerged)
{
    CONFIG_BLOCK block = DefaultBlock();
    block.UniversalScrollEnabled = 0;
    EXPECT_EQ(SetConfig(block), Events({}));
    // The tray's block with the same value changes nothing any more.
    ASSERT_EQ(Register(device_.get(), SLOT_CONFIG, CUSTOMIZER_WINDOW), 0u);
    EXPECT_EQ(TrayUpdate(block), Events({}));
}

TEST_F(ChangeEvents, IdenticalBlockGivesNoEvent)
{
    ASSERT_EQ(Register(device_.get(), SLOT_TRAY, TRAY_WINDOW), 0u);
    ASSERT_EQ(Register(device_.get(), SLOT_CONFIG, CUSTOMIZER_WINDOW), 0u);
    EXPECT_EQ(SetConfig(DefaultBlock()), Events({}));
    EXPECT_EQ(TrayUpdate(DefaultBlock()), Events({}));
}

TEST_F(ChangeEvents, CustomizerBlockIsValidatedTheTraysIsNot)
{
    ASSERT_EQ(Register(device_.get(), SLOT_TRAY, TRAY_WINDOW), 0u);
    ASSERT_EQ(Register(device_.get(), SLOT_CONFIG, CUSTOMIZER_WINDOW), 0u);
    CONFIG_BLOCK block = DefaultBlock();
    block.OFASensitivityEnabled = 7;  // repaired to 1, the value the driver has
    EXPECT_EQ(SetConfig(block), Events({}));
    EXPECT_EQ(TrayUpdate(block), Events({ToCustomizer(MSG_OFA_ENABLED_CHANGED, 7)}));
}

TEST_F(ChangeEvents, EachButtonWordAndMacroChangeIsOneEvent)
{
    ASSERT_EQ(Register(device_.get(), SLOT_TRAY, TRAY_WINDOW), 0u);
    CONFIG_BLOCK block = DefaultBlock();
    block.ButtonAssigned[BUTTON_5] = ASSIGN_MACRO;
    block.MacroLength[BUTTON_5] = 2;
    block.Macro[BUTTON_5][0] = {0x41, 0};
    block.Macro[BUTTON_5][1] = {0x41, 1};
    const DRIVER_EVENT changed = ToTray(MSG_BUTTONS_CHANGED);
    EXPECT_EQ(SetConfig(block), Events({changed, changed})) << "word and macro";
    block.Macro[BUTTON_5][1].Flag = 0;
    EXPECT_EQ(SetConfig(block), Events({changed})) << "one event of the macro";
    // Events beyond the length are not compared.
    block.Macro[BUTTON_5][5] = {0x42, 0};
    EXPECT_EQ(SetConfig(block), Events({}));
}

TEST_F(ChangeEvents, MacroLengthAbove16StopsTheMergeAtThatButton)
{
    ASSERT_EQ(Register(device_.get(), SLOT_TRAY, TRAY_WINDOW), 0u);
    const DRIVER_EVENT changed = ToTray(MSG_BUTTONS_CHANGED);
    CONFIG_BLOCK block = DefaultBlock();
    block.MacroLength[BUTTON_LEFT] = 1;
    block.Macro[BUTTON_LEFT][0] = {0x41, 0};
    block.ButtonAssigned[BUTTON_RIGHT] = ASSIGN_MACRO;
    block.ButtonAssigned[BUTTON_MIDDLE] = ASSIGN_MACRO;
    block.MacroLength[BUTTON_MIDDLE] = 17;
    block.ButtonAssigned[BUTTON_4] = ASSIGN_NATIVE;
    // Button 1's macro, button 2's word, button 3's word; then the merge stops.
    EXPECT_EQ(SetConfig(block), Events({changed, changed, changed}));
    // What was merged stays merged; button 3's macro and button 4 were not.
    block.MacroLength[BUTTON_MIDDLE] = 0;
    EXPECT_EQ(SetConfig(block), Events({changed})) << "button 4's word only";
}

TEST_F(ChangeEvents, FieldsTheCustomizerDoesNotMergeGiveNoEvent)
{
    ASSERT_EQ(Register(device_.get(), SLOT_TRAY, TRAY_WINDOW), 0u);
    CONFIG_BLOCK block = DefaultBlock();
    block.OFAScaleEnabled = 1;
    block.TrayEnabled = 0;
    strcpy(block.VexonPath, "C:\\elsewhere");
    EXPECT_EQ(SetConfig(block), Events({}));
}

TEST_F(ChangeEvents, TrayRegistrationReloadsAndPostsNothing)
{
    ASSERT_EQ(Register(device_.get(), SLOT_TRAY, TRAY_WINDOW), 0u);
    CONFIG_BLOCK block = DefaultBlock();
    block.UniversalScrollEnabled = 0;
    EXPECT_EQ(SetConfig(block), Events({ToTray(MSG_UNIVERSAL_SCROLL_CHANGED, 0)}));
    // Registering again reloads the (empty) registry: the setting is back at
    // its default, silently, so the same block changes it again.
    ASSERT_EQ(Register(device_.get(), SLOT_TRAY, TRAY_WINDOW), 0u);
    ASSERT_EQ(Register(device_.get(), SLOT_TRAY, TRAY_WINDOW), 0u);
    EXPECT_EQ(Events(DrainEvents(reader_.get())), Events({}));
    EXPECT_EQ(SetConfig(block), Events({ToTray(MSG_UNIVERSAL_SCROLL_CHANGED, 0)}));
}

}  // namespace
