// What the tray types and clicks for the driver's events, worked out apart
// from the sending so that it can be checked anywhere: macro playback with
// its pauses, held keys, and the button edges of MSG_BUTTON_STATE.
#pragma once

#include <stdint.h>

#include "config_block.h"

struct KEY_STROKE {
    uint8_t Key;       // virtual-key code as sent
    bool Up;           // key up, else key down
    bool PauseBefore;  // wait 100 ms first
};

constexpr uint32_t MACRO_REVERSAL_PAUSE_MS = 100;
constexpr uint32_t BUTTON_RELEASE_DELAY_MS = 100;

// The left and right Shift, Ctrl and Alt codes become the generic key; all
// other codes are sent as they are.
uint8_t GenericKey(uint32_t code);

// The strokes of a button's macro, at most 16; the only pause comes before
// an event that reverses the direction of a key already used in this
// playback. Returns the number of strokes, -1 for a button outside 0..4.
int PlanMacro(const CONFIG_BLOCK& config, uint32_t button, KEY_STROKE* strokes);

// The presses of a held-keys button (its events with Flag 0, in stored
// order), or its releases (the other events, in stored order). No pauses.
int PlanKeysDown(const CONFIG_BLOCK& config, uint32_t button, KEY_STROKE* strokes);
int PlanKeysUp(const CONFIG_BLOCK& config, uint32_t button, KEY_STROKE* strokes);

// One button edge from the Windows 98 driver's MSG_BUTTON_STATE.
struct BUTTON_EDGE {
    int Button;  // 0 left, 1 right, 2 middle
    bool Down;
};

// False when the low byte is outside 0x40..0xBF or names no button.
bool DecodeButtonState(uint32_t lParam, BUTTON_EDGE* edge);
