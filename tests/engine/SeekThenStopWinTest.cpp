// A seek followed at once by every road that stops or tears down the running graph, many times
// over, under a watchdog: a graph that does not reach the stopped state fails the run instead
// of hanging it.
#include "tests/engine/OpenFixture.h"
#include "tests/support/Watchdog.h"

#include <functional>
#include <string>

using namespace pvltest;

namespace {

constexpr int64_t Second = 10000000;

class SeekThenStop : public TOpenFixture {
protected:
    // This Wine keeps a thread of every video renderer that ran, and a mixing renderer's Direct3D
    // device too: a 32-bit process runs short after some fifty graphs with a mixing renderer,
    // so the eighty graphs here use the plain one.
    void SetUp() override
    {
        TCommonModule& e = Engine();
        e.PreferredRenderers.Clear();
        for (const auto& item : e.VideoRenderers)
            if (item->ShortName == "Normal")
                e.PreferredRenderers.AddObject(item->ShortName, item.get());
        ASSERT_EQ(e.PreferredRenderers.Count(), 1);
    }
    // Two entries of the eight-second clip, one of them playing for a moment.
    void StartPlaying(int index)
    {
        if (List.Items.empty())
            Add({FixturePath("clip_8s.avi"), FixturePath("clip_8s.avi")});
        ASSERT_TRUE(Engine().PlayInList(index, true))
            << "render result 0x" << std::hex << (RenderResult.Results.empty() ? 0 : RenderResult.Results.back());
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
