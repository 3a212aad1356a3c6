#include "framework/Threads.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
class TCountingThread : public TThread {
public:
    explicit TCountingThread(std::vector<int>& seen) : FSeen(seen) {}
    ~TCountingThread() override
    {
        Terminate();
        WaitFor();
    }

protected:
    void Execute() override
    {
        for (int i = 0; i < 5 && !Terminated(); ++i)
            Synchronize([&] { FSeen.push_back(i); });
        FReturnValue = 7;
    }

private:
    std::vector<int>& FSeen;
};

class TThrowingThread : public TThread {
public:
    TThrowingThread() { Start(); }

protected:
    void Execute() override { throw Exception("worker failed"); }
};
}

TEST(Threads, SynchronizedCallsRunOnMainThreadInOrder)
{
    SetMainThread(std::this_thread::get_id());
    std::vector<int> seen;
    TCountingThread thread(seen);
    bool terminated = false;
    thread.OnTerminate = [&](TObject*) { terminated = IsMainThread(); };
    thread.Start();
    EXPECT_EQ(thread.WaitFor(), 7);  // the wait serves the synchronised calls: no deadlock
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_TRUE(terminated);
}

TEST(Threads, ExceptionStaysInsideTheThread)
{
    SetMainThread(std::this_thread::get_id());
    TThrowingThread thread;
    thread.WaitFor();
    EXPECT_EQ(thread.FatalException(), "worker failed");
}

TEST(Threads, FreeingARunningThreadTerminatesIt)
{
    SetMainThread(std::this_thread::get_id());
    std::vector<int> seen;
    {
        TCountingThread thread(seen);
        thread.Start();
    }  // destructor: Terminate + WaitFor while serving calls
    EXPECT_LE(seen.size(), 5u);
}
