#include <gtest/gtest.h>

#include "system_settings.h"

TEST(SystemSettings, DoubleClickTime)
{
    EXPECT_EQ(DoubleClickTimeMs(0), 1000u);
    EXPECT_EQ(DoubleClickTimeMs(3), 550u);
    EXPECT_EQ(DoubleClickTimeMs(6), 100u);
}

TEST(SystemSettings, WheelLines)
{
    const uint32_t expected[] = {1, 2, 3, 5, 7, 11, WHEEL_SCROLL_PAGE, 3, 3};
    for (uint32_t speed = 0; speed < 9; ++speed)
        EXPECT_EQ(WheelScrollLines(speed), expected[speed]) << speed;
    EXPECT_EQ(WheelScrollLines(0xFFFFFFFF), 3u);
}
