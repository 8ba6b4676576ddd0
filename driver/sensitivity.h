// Sensitivity and acceleration scaling of the motion, and the on-the-fly
// change of sensitivity the button-4 gesture drives with the wheel.
#pragma once

#include "config_block.h"
#include "mouse_input.h"

// Highest sensitivity step: one-to-one.
constexpr uint32_t SPEED_STEP_MAX = 18;

// Fills the scaled X, Y and the output wheel of gen from its raw bytes and
// G_config. The output of an axis never exceeds its input in magnitude.
void Sensitivity_Adjust(GENERIC_REPORT* gen);

// Moves both speeds of config by the report's wheel notches, together and
// within 0..18, and posts MSG_SPEED_CHANGED to SLOT_CONFIG.
void UpdateSensitivity(const MOUSE_REPORT* report, CONFIG_BLOCK* config);

// The accumulators at driver load.
void ResetSensitivityState();
