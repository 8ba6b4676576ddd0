// How two settings of the block become system settings.
#pragma once

#include <stdint.h>

// Lines per wheel notch meaning "one page".
constexpr uint32_t WHEEL_SCROLL_PAGE = 0xFFFFFFFFu;

// The system double-click time for a DoubleClickSpeed step: 0 -> 1000 ms,
// 3 -> 550 ms, 6 -> 100 ms.
constexpr uint32_t DoubleClickTimeMs(uint32_t speed)
{
    return 1000 - 150 * speed;
}

// Lines per wheel notch for a ScrollWheelSpeed step; any other step gives 3.
constexpr uint32_t WheelScrollLines(uint32_t speed)
{
    constexpr uint32_t lines[] = {1, 2, 3, 5, 7, 11, WHEEL_SCROLL_PAGE};
    return speed < sizeof(lines) / sizeof(lines[0]) ? lines[speed] : 3;
}
