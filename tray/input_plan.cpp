#include "input_plan.h"

namespace {

constexpr uint8_t NOT_SEEN = 0xFF;

bool ValidButton(uint32_t button)
{
    return button < BUTTON_COUNT;
}

uint32_t EventCount(const CONFIG_BLOCK& config, uint32_t button)
{
    const uint32_t length = config.MacroLength[button];
    return length < MACRO_MAX_EVENTS ? length : MACRO_MAX_EVENTS;
}

// The held-keys strokes: every event whose Flag says up (or down).
int PlanHeldKeys(const CONFIG_BLOCK& config, uint32_t button, bool up, KEY_STROKE* strokes)
{
    if (!ValidButton(button))
        return -1;
    int count = 0;
    for (uint32_t k = 0; k < EventCount(config, button); ++k) {
        const MACRO_EVENT& event = config.Macro[button][k];
        if ((event.Flag != 0) == up)
            strokes[count++] = {GenericKey(event.Code), up, false};
    }
    return count;
}

}  // namespace

uint8_t GenericKey(uint32_t code)
{
    switch (code) {
    case 0xA0:
    case 0xA1:
        return 0x10;  // Shift
    case 0xA2:
    case 0xA3:
        return 0x11;  // Ctrl
    case 0xA4:
    case 0xA5:
        return 0x12;  // Alt
    default:
        return uint8_t(code);
    }
}

int PlanMacro(const CONFIG_BLOCK& config, uint32_t button, KEY_STROKE* strokes)
{
    if (!ValidButton(button))
        return -1;
    // The last direction each code was sent in, by its own (unmapped) code;
    // the table has room for every code a stored macro can hold.
    uint8_t lastFlag[256];
    for (uint8_t& flag : lastFlag)
        flag = NOT_SEEN;
    int count = 0;
    for (uint32_t k = 0; k < EventCount(config, button); ++k) {
        const MACRO_EVENT& event = config.Macro[button][k];
        const uint8_t code = uint8_t(event.Code);
        const uint8_t flag = uint8_t(event.Flag);
        const bool reverses = lastFlag[code] != NOT_SEEN && flag != lastFlag[code];
        strokes[count++] = {GenericKey(event.Code), event.Flag == 1, reverses};
        lastFlag[code] = flag;
    }
    return count;
}

int PlanKeysDown(const CONFIG_BLOCK& config, uint32_t button, KEY_STROKE* strokes)
{
    return PlanHeldKeys(config, button, false, strokes);
}

int PlanKeysUp(const CONFIG_BLOCK& config, uint32_t button, KEY_STROKE* strokes)
{
    return PlanHeldKeys(config, button, true, strokes);
}

bool DecodeButtonState(uint32_t lParam, BUTTON_EDGE* edge)
{
    const uint32_t low = lParam & 0xFF;
    if (low < 0x40 || low > 0xBF)
        return false;
    const int button = int((low >> 3) & 7);
    if (button > 2)
        return false;
    edge->Button = button;
    edge->Down = (lParam >> (24 + button)) & 1;
    return true;
}
