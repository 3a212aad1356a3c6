#include "framework/Threads.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {
class TPriorityProbe : public TThread {
public:
    ~TPriorityProbe() override
    {
        Terminate();
        WaitFor();
    }
    std::atomic<int> Seen{-99};

protected:
    void Execute() override { Seen.store(GetThreadPriority(GetCurrentThread())); }
};
}

TEST(ThreadsWin, PrioritySetBeforeStartReachesTheThread)
{
    SetMainThread(std::this_thread::get_id());
    const struct {
        TThreadPriority Priority;
        int Expected;
    } cases[] = {{tpLower, THREAD_PRIORITY_BELOW_NORMAL}, {tpNormal, THREAD_PRIORITY_NORMAL}, {tpHigher, THREAD_PRIORITY_ABOVE_NORMAL}};
    for (const auto& c : cases) {
        TPriorityProbe probe;
        probe.SetPriority(c.Priority);
        probe.Start();
        probe.WaitFor();
        EXPECT_EQ(probe.Seen.load(), c.Expected) << c.Priority;
    }
}
