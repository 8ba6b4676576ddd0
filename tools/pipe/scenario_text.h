// The text of vexon-pipe's scenarios and of what they print: numbers, flag
// and slot names, and the output lines. Shared by vexon-pipe and by the
// driver's rig, which replays the same scenarios against the real driver.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "driver_protocol.h"
#include "mouse_input.h"

// A scenario line's words, without its comment.
std::vector<std::string> ScenarioWords(const std::string& line);

// Decimal or 0x hex, negative allowed; false for anything else.
bool ParseScenarioNumber(const std::string& text, int64_t* value);

// FLAGS as a number or names joined by '|'; false for a number out of range
// or an unknown name (given in badName when asked for).
bool ParseScenarioFlags(const std::string& text, uint16_t* flags, std::string* badName = nullptr);

// SLOT_CONFIG ... SLOT_MOUSEWHEEL, or a number; false for anything else.
bool ParseScenarioSlot(const std::string& text, int64_t* slot);

std::string PacketLine(const MOUSE_INPUT_DATA& packet);
std::string EventLine(const DRIVER_EVENT& event);
std::string ReportLine(const uint8_t* bytes, uint32_t length);
