// Swallows a left-button press that follows the previous left-button edge too
// closely (a bouncing switch), together with everything up to its release.
#pragma once

#include <stdint.h>

#include "mouse_input.h"

// Milliseconds; a press within this gap of the last timed edge is a bounce.
extern uint32_t G_click_threshold;

// The threshold when the registry gives 0 or nothing.
constexpr uint32_t DEFAULT_CLICK_THRESHOLD_MS = 25;

// May clear bit 0 of the report's buttons.
void FilterBogusClick(MOUSE_REPORT* report);

// Milliseconds since the previous call, from the platform's interrupt time.
uint64_t GetTimeSlice();

// The edge state at driver load.
void ResetBogusClickState();
