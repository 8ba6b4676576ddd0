// Runs a scenario through the driver's pipeline code on the host: packet
// batches, USB reports, device requests and registrations, with the packets
// the class driver would receive and the events the tray would read written
// out in the order they happen.
#pragma once

#include <istream>
#include <ostream>

// Exit statuses.
constexpr int SCENARIO_OK = 0;
constexpr int SCENARIO_BAD_INPUT = 2;

// Runs the scenario read from in; output lines go to out, the message of a
// bad line (naming its number) to err.
int RunScenario(std::istream& in, std::ostream& out, std::ostream& err);

struct PIPELINE_PLATFORM;

// Puts the driver's logic into the state a scenario starts from: platform
// installed, every static as at load, the live configuration validated from
// an empty registry, the click threshold at its default.
void StartDriverFromDefaults(const PIPELINE_PLATFORM* platform);

// The scenario format, as vexon-pipe --help prints it.
extern const char SCENARIO_HELP[];
