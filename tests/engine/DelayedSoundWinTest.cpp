// A movie playing with its sound delayed: the renderer holds each delayed sample for the
// delay, and this Wine's splitter feeds picture and sound from one demuxer. A close while
// playing must end, many times over, under a watchdog that fails the run instead of hanging it.
#include "tests/engine/OpenFixture.h"
#include "tests/support/Watchdog.h"

#include <string>

using namespace pvltest;

namespace {

class DelayedSound : public TOpenFixture {
protected:
    // The clip playing for a moment with its sound `delay` ms late.
    void StartPlaying(int32_t delay)
    {
        if (List.Items.empty())
            Add({FixturePath("clip_8s.avi")});
        ASSERT_TRUE(Engine().PlayInList(0, true));
        Processor().SetDelayEnabled(delay != 0);
        Processor().SetDelay(delay);
        ASSERT_TRUE(AudioFlows());
    }
    TWatchdog Watchdog{5000};
};

// Off while the close still hangs with 150 ms and more (a known fault): run it with
// --gtest_also_run_disabled_tests.
TEST_F(DelayedSound, DISABLED_AMoviePlayingWithItsSoundDelayedClosesEveryTime)
{
    for (const int32_t delay : {0, 150, 500}) {
        for (int round = 0; round < 5; ++round) {
            const std::string step = "a close with the sound " + std::to_string(delay) + " ms late, round " + std::to_string(round);
            SCOPED_TRACE(step);
            StartPlaying(delay);
            PumpMessages(800);
            Watchdog.Arm(step);
            Engine().ClosePlayingFile();
            EXPECT_EQ(Engine().GetFilterState(), esNoGraph);
            Watchdog.Disarm();
        }
    }
}

}  // namespace
