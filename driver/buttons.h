// Button assignments: the buttons Windows sees, the events for the tray and
// the overlay, and the on-the-fly sensitivity gesture of button 4.
#pragma once

#include "config_block.h"
#include "mouse_input.h"

// Runs the bogus-click filter, then maps the report's buttons by their
// assignment words; posts macro, key and gesture events.
void ProcessButtonByte(MOUSE_REPORT* report, CONFIG_BLOCK* config);

// The button-4 gesture: hold it and roll the wheel to change the sensitivity.
void ProcessThumbButton(MOUSE_REPORT* report, CONFIG_BLOCK* config);

// The edge state at driver load.
void ResetButtonState();
