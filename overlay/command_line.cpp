#include "command_line.h"

#include <string.h>

namespace {

constexpr uint32_t DEFAULT_REFRESH_MS = 2;
// The longest interval a window timer takes.
constexpr uint32_t MAX_REFRESH_MS = 0x7FFFFFFF;

// The argument's leading decimal digits; 0 or no digits give the default,
// and a number too large for a timer is held at the timer's limit.
uint32_t RefreshInterval(const char* text)
{
    uint32_t value = 0;
    for (const char* p = text; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + static_cast<uint32_t>(*p - '0');
        if (value > MAX_REFRESH_MS) {
            value = MAX_REFRESH_MS;
            break;
        }
    }
    return value == 0 ? DEFAULT_REFRESH_MS : value;
}

}  // namespace

OFA_OPTIONS ParseCommandLine(int argc, const char* const* argv)
{
    OFA_OPTIONS options = {false, true, false, DEFAULT_REFRESH_MS};
    if (argc < 2)
        return options;
    for (int i = 0; i < argc; ++i) {
        const char* arg = argv[i];
        if (strcmp(arg, "/log") == 0)
            options.log = true;
        else if (strcmp(arg, "/nohide") == 0)
            options.hideFromTaskbar = false;
        else if (strcmp(arg, "/test") == 0)
            options.testKeys = true;
        else if (strcmp(arg, "/refresh") == 0 && i + 1 < argc)
            options.refreshMs = RefreshInterval(argv[i + 1]);
    }
    return options;
}
