// A movie playing with its sound delayed: the renderer holds each delayed sample for the
// delay, and this Wine's splitter feeds picture and sound from one demuxer, whose stop can then
// wait for ever. A close while playing must end, many times over, under a watchdog that fails
// the run instead of hanging it, and the engine must go on with the next file.
#include "engine/MyDSUtils.h"
#include "tests/engine/OpenFixture.h"
#include "tests/support/Watchdog.h"

#include <cstdio>
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
    void CloseWhilePlayingEveryTime();
    // A splitter that never stops is given up after StopGraphTimeoutMs.
    TWatchdog Watchdog{StopGraphTimeoutMs + 5000};
};

// With 500 ms the splitter's stop never ends here: that graph is left behind, and the same
// engine opens and plays the clip again, remembering the delay of the close before. Ends the
// process: its exit code tells whether every step held.
void DelayedSound::CloseWhilePlayingEveryTime()
{
    for (const int32_t delay : {0, 150, 500}) {
        for (int round = 0; round < 5; ++round) {
            const std::string step = "a close with the sound " + std::to_string(delay) + " ms late, round " + std::to_string(round);
            SCOPED_TRACE(step);
            StartPlaying(delay);
            if (round > 0) {
                EXPECT_EQ(Form.Delay, delay);
            }
            PumpMessages(800);
            Watchdog.Arm(step);
            Engine().ClosePlayingFile();
            EXPECT_EQ(Engine().GetFilterState(), esNoGraph);
            Watchdog.Disarm();
        }
    }
    std::fflush(stdout);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), HasFailure() ? 1 : 0);
}

// This Wine crashes as it kills a left graph's waiting thread at the end of a process, whose
// status is then a crash whatever its exit code: the rounds run in a process of their own.
TEST_F(DelayedSound, AMoviePlayingWithItsSoundDelayedClosesEveryTime)
{
    EXPECT_EXIT(CloseWhilePlayingEveryTime(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
