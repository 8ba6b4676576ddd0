#include <gtest/gtest.h>

#include <vector>

#include "input_plan.h"

namespace {

struct Stroke {
    uint8_t key;
    bool up;
    bool pause;
    bool operator==(const Stroke& o) const { return key == o.key && up == o.up && pause == o.pause; }
};

void PrintTo(const Stroke& s, std::ostream* os)
{
    *os << std::hex << "{0x" << int(s.key) << (s.up ? " up" : " down") << (s.pause ? " after pause}" : "}");
}

CONFIG_BLOCK WithMacro(uint32_t button, const std::vector<MACRO_EVENT>& events)
{
    CONFIG_BLOCK config;
    ClearConfig(&config);
    config.MacroLength[button] = uint32_t(events.size());
    for (size_t k = 0; k < events.size(); ++k)
        config.Macro[button][k] = events[k];
    return config;
}

using Planner = int (*)(const CONFIG_BLOCK&, uint32_t, KEY_STROKE*);

std::vector<Stroke> Plan(Planner plan, const CONFIG_BLOCK& config, uint32_t button)
{
    KEY_STROKE strokes[MACRO_MAX_EVENTS];
    const int count = plan(config, button, strokes);
    std::vector<Stroke> out;
    for (int i = 0; i < count; ++i)
        out.push_back({strokes[i].Key, strokes[i].Up, strokes[i].PauseBefore});
    return out;
}

constexpr uint8_t A = 0x41, C = 0x43, SHIFT = 0x10, CTRL = 0x11;

TEST(MacroPlayback, PausesOnlyBeforeAReversal)
{
    struct Case {
        const char* what;
        std::vector<MACRO_EVENT> events;
        std::vector<Stroke> strokes;
    } cases[] = {
        {"A down, A up", {{A, 0}, {A, 1}}, {{A, false, false}, {A, true, true}}},
        {"Shift-A",
         {{0x10, 0}, {A, 0}, {A, 1}, {0x10, 1}},
         {{SHIFT, false, false}, {A, false, false}, {A, true, true}, {SHIFT, true, true}}},
        {"repeated press", {{A, 0}, {A, 0}}, {{A, false, false}, {A, false, false}}},
        {"sided keys map, pauses by own code",
         {{0xA0, 0}, {0xA1, 1}},
         {{SHIFT, false, false}, {SHIFT, true, false}}},
        {"right Ctrl and Alt",
         {{0xA3, 0}, {0xA5, 0}, {0xA4, 1}},
         {{CTRL, false, false}, {0x12, false, false}, {0x12, true, false}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Plan(PlanMacro, WithMacro(1, c.events), 1), c.strokes) << c.what;
}

TEST(MacroPlayback, ButtonsAndLengths)
{
    CONFIG_BLOCK config = WithMacro(0, {});
    KEY_STROKE strokes[MACRO_MAX_EVENTS];
    EXPECT_EQ(PlanMacro(config, 0, strokes), 0);
    EXPECT_EQ(PlanMacro(config, 5, strokes), -1);
    EXPECT_EQ(PlanMacro(config, uint32_t(-1), strokes), -1);
    EXPECT_EQ(PlanKeysDown(config, 5, strokes), -1);
    EXPECT_EQ(PlanKeysUp(config, 7, strokes), -1);
    config.MacroLength[2] = 40;  // never more than the block holds
    EXPECT_EQ(PlanMacro(config, 2, strokes), 16);
}

TEST(HeldKeys, PressesThenReleasesInStoredOrder)
{
    const CONFIG_BLOCK ctrlC = WithMacro(4, {{0xA2, 0}, {C, 0}, {C, 1}, {0xA2, 1}});
    EXPECT_EQ(Plan(PlanKeysDown, ctrlC, 4), (std::vector<Stroke>{{CTRL, false, false}, {C, false, false}}));
    EXPECT_EQ(Plan(PlanKeysUp, ctrlC, 4), (std::vector<Stroke>{{C, true, false}, {CTRL, true, false}}));
    const CONFIG_BLOCK ctrlFirst = WithMacro(4, {{0x11, 0}, {C, 0}, {0x11, 1}, {C, 1}});
    EXPECT_EQ(Plan(PlanKeysUp, ctrlFirst, 4), (std::vector<Stroke>{{CTRL, true, false}, {C, true, false}}));
}

TEST(ButtonState, Forms)
{
    struct Case {
        uint32_t lParam;
        bool valid;
        int button;
        bool down;
    } cases[] = {
        {0x02000048, true, 1, true},  // right, bit 25 set
        {0x00000048, true, 1, false},
        {0x01000040, true, 0, true},  // left, bit 24
        {0x04000090, true, 2, true},  // middle (0x90 >> 3 & 7 = 2), bit 26
        {0x02000008, false, 0, false},  // low byte below 0x40
        {0x000000C8, false, 0, false},  // above 0xBF
        {0x00000058, false, 0, false},  // button 3
    };
    for (const Case& c : cases) {
        BUTTON_EDGE edge = {-1, false};
        EXPECT_EQ(DecodeButtonState(c.lParam, &edge), c.valid) << std::hex << c.lParam;
        if (c.valid) {
            EXPECT_EQ(edge.Button, c.button) << std::hex << c.lParam;
            EXPECT_EQ(edge.Down, c.down) << std::hex << c.lParam;
        }
    }
}

}  // namespace
