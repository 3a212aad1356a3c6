// The on-screen display's timer: timed texts go on the first tick after their time, blinking
// ones toggle on every tick.
#include "ui/OSD_UnitCore.h"

#include <gtest/gtest.h>

TEST(OSDTimer, ThreeSecondTextGoesByThreeAndAHalfSeconds)
{
    // Ticks every 500 ms from the show; the start may lie just before a wrap of the tick count.
    for (const uint32_t start : {1000u, 0xFFFFFF00u}) {
        int closedAt = -1;
        for (int tick = 1; tick <= 10 && closedAt < 0; ++tick)
            if (OSDTimerStep(start + tick * 500u, start, 3, false).Close)
                closedAt = tick * 500;
        EXPECT_EQ(closedAt, 3500) << start;
    }
    EXPECT_TRUE(OSDTimerStep(4001, 1000, 3, false).Close);
    EXPECT_FALSE(OSDTimerStep(4000, 1000, 3, false).Close);
}

TEST(OSDTimer, NoTimeOutKeepsTheTextAndBlinkTogglesEveryTick)
{
    EXPECT_FALSE(OSDTimerStep(1000000, 0, 0, false).Close);
    EXPECT_FALSE(OSDTimerStep(1000000, 0, 0, false).Toggle);
    // 500 ms on, 500 ms off: a toggle on every tick.
    for (uint32_t t = 500; t <= 5000; t += 500) {
        const TOSDTick tick = OSDTimerStep(t, 0, 0, true);
        EXPECT_TRUE(tick.Toggle) << t;
        EXPECT_FALSE(tick.Close) << t;
    }
}

TEST(OSDSize, TextPlusMargins)
{
    const TOSDSize size = OSDWindowSize(80, 19);
    EXPECT_EQ(size.Width, 92);
    EXPECT_EQ(size.Height, 21);
}
