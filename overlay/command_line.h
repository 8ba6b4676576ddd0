// The overlay's switches.
#pragma once

#include <stdint.h>

struct OFA_OPTIONS {
    bool log;              // "/log": write vexon_ofa_log.txt
    bool hideFromTaskbar;  // cleared by "/nohide"
    bool testKeys;         // "/test": the up and down keys
    uint32_t refreshMs;    // "/refresh n"
};

// argv[0] is the program name; it is compared like every other argument.
// Unknown arguments are ignored.
OFA_OPTIONS ParseCommandLine(int argc, const char* const* argv);
