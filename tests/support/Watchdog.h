#pragma once
// A watchdog for the graph tests under Wine, which must fail rather than hang the run.
#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

namespace pvltest {

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

}  // namespace pvltest
