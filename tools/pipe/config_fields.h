// Configuration fields by name, as a scenario writes them:
// "VexonSpeedX", "ButtonAssigned[3]", "MacroLength[0]", "Macro[1][0].Code".
#pragma once

#include <stdint.h>

#include <string>

#include "config_block.h"

// The word a field name denotes in block, or null when there is no such
// (numeric) field.
uint32_t* FindConfigField(CONFIG_BLOCK* block, const std::string& name);
