// The bound of the driver's event queue, shared with the tests that check it.
#pragma once

#include <stdint.h>

// The queue holds at most this many events; when it is full the oldest one
// is dropped to make room, so the newest state (a key release, the latest
// speeds) always reaches the reader.
constexpr uint32_t MAX_QUEUED_EVENTS = 256;
