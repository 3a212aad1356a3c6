// A seek followed at once by every road that stops or tears down the running graph, many times
// over, under a watchdog: a graph that does not reach the stopped state fails the run instead
// of hanging it.
#include "tests/engine/OpenFixture.h"

#include <condition_variable>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

using namespace pvltest;

namespace {

// Ends the process with a failure when a step stays armed longer than its limit; a hung stop
// cannot be interrupted from inside the process, so the message is the test's last word.
class TWatchdog {
public:
    explicit TWatchdog(DWORD limitMs) : FLimit(limitMs), FThread([this] { Watch(); }) {}
    ~TWatchdog()
    {
        {
            const std::lock_guard<std::mutex> lock(FMutex);
            FDone = true;
        }
        FChanged.notify_all();
        FThread.join();
    }
    void Arm(std::string step)
    {
        const std::lock_guard<std::mutex> lock(FMutex);
        FStep = std::move(step);
        ++FGeneration;
        FArmed = true;
        FChanged.notify_all();
    }
    void Disarm()
    {
        const std::lock_guard<std::mutex> lock(FMutex);
        FArmed = false;
        FChanged.notify_all();
    }

private:
    void Watch()
    {
        std::unique_lock<std::mutex> lock(FMutex);
        while (!FDone) {
            if (!FArmed) {
                FChanged.wait(lock);
                continue;
            }
            const unsigned generation = FGeneration;
            if (FChanged.wait_for(lock, std::chrono::milliseconds(FLimit), [&] { return FDone || !FArmed || FGeneration != generation; }))
                continue;
            std::fprintf(stderr, "[  FAILED  ] %s: the graph did not stop within %lu ms; ending the run\n", FStep.c_str(),
                         static_cast<unsigned long>(FLimit));
            std::fflush(stderr);
            std::fflush(stdout);
            TerminateProcess(GetCurrentProcess(), 3);
        }
    }

    const DWORD FLimit;
    std::mutex FMutex;
    std::condition_variable FChanged;
    std::string FStep;
    unsigned FGeneration = 0;
    bool FArmed = false;
    bool FDone = false;
    std::thread FThread;  // last: it starts once the rest is built
};

constexpr int64_t Second = 10000000;

class SeekThenStop : public TOpenFixture {
protected:
    // Two entries of the eight-second clip, one of them playing for a moment.
    void StartPlaying(int index)
    {
        if (List.Items.empty())
            Add({FixturePath("clip_8s.avi"), FixturePath("clip_8s.avi")});
        ASSERT_TRUE(Engine().PlayInList(index, true));
        ASSERT_TRUE(AudioFlows());
    }
    // Drops the notifications of the graph, as the main window's drain does.
    void DrainEvents()
    {
        ComPtr<IMediaEventEx> events = Engine().MediaEvent;
        long code = 0;
        LONG_PTR one = 0, two = 0;
        while (events && events->GetEvent(&code, &one, &two, 0) == S_OK)
            events->FreeEventParams(code, one, two);
    }
    // True once the graph has reported the end of its streams.
    bool EndArrives()
    {
        return PumpUntilComplete(Engine().MediaEvent, 5000);
    }
    TWatchdog Watchdog{5000};
};

struct TRoad {
    const char* Name;
    int Playing;  // the entry that plays before the seek
    std::function<void(TCommonModule&)> Go;
    uint8_t StateAfter;  // the state of the engine's graph once the road is done
};

TEST_F(SeekThenStop, EveryRoadThatStopsARunningGraphSurvivesASeekJustBefore)
{
    const TRoad roads[] = {
        {"Stop", 0, [](TCommonModule& e) { e.Stop(); }, esStopped},
        {"Next", 0, [](TCommonModule& e) { e.Next(); }, esRunning},
        {"Previous", 1, [](TCommonModule& e) { e.Prev(); }, esRunning},
        {"Close", 0, [](TCommonModule& e) { e.ClosePlayingFile(); }, esNoGraph},
        {"Open another", 0, [](TCommonModule& e) { e.PlayInList(1, true); }, esRunning},
    };
    // A seek from the strip as the end of the stream arrives, and the end's own stop after it.
    for (int round = 0; round < 10; ++round) {
        SCOPED_TRACE("seek at the end, round " + std::to_string(round));
        StartPlaying(0);
        TCommonModule& e = Engine();
        Watchdog.Arm("a seek to the end, round " + std::to_string(round));
        ASSERT_TRUE(e.SetPosition(8 * Second - Second / 10));
        Watchdog.Disarm();
        EXPECT_TRUE(EndArrives());
        Watchdog.Arm("a seek as the stream ends then Stop, round " + std::to_string(round));
        e.GotoPercent(50);
        e.Stop();
        EXPECT_EQ(e.GetFilterState(), esStopped);
        Watchdog.Disarm();
        DrainEvents();
    }
    for (const TRoad& road : roads) {
        for (int round = 0; round < 10; ++round) {
            SCOPED_TRACE(std::string(road.Name) + " round " + std::to_string(round));
            StartPlaying(road.Playing);
            TCommonModule& e = Engine();
            Watchdog.Arm(std::string("seek then ") + road.Name + ", round " + std::to_string(round));
            ASSERT_TRUE(e.SetPosition((2 + round % 4) * Second));
            road.Go(e);
            EXPECT_EQ(e.GetFilterState(), road.StateAfter);
            Watchdog.Disarm();
            DrainEvents();
        }
    }
}

}  // namespace
