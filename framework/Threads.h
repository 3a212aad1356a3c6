#pragma once
// Threads with synchronised calls: a worker hands work to the main (GUI) thread and waits.
// The main thread runs the queued calls in CheckSynchronize, which the application's
// message loop calls whenever WakeMainThread wakes it.
#include "Classes.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// Runs the queued synchronised calls on the calling (main) thread; waits up to timeoutMs
// for one to arrive. Returns True when it ran any.
bool CheckSynchronize(int timeoutMs = 0);
// Set by the application object: wakes the main thread's loop when a call is queued.
void SetWakeMainThread(std::function<void()> wake);
// The thread that runs synchronised calls; the first thread to use the library unless set.
void SetMainThread(std::thread::id id);
bool IsMainThread();

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// The thread starts with Start(), never in the constructor, so Execute never runs on a
// half-built object. A subclass whose members Execute uses calls Terminate() and WaitFor()
// in its own destructor, before those members go.
class TThread : public TObject {
public:
    TThread() = default;
    ~TThread() override;  // terminates and waits, serving synchronised calls meanwhile
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    void Start();
    void Terminate() { FTerminated.store(true); }
    bool Terminated() const { return FTerminated.load(); }
    bool Finished() const { return FFinished.load(); }
    // Waits for Execute to end; on the main thread the wait keeps serving synchronised calls.
    int WaitFor();
    int ReturnValue() const { return FReturnValue; }
    // Applied to the running thread on Windows; natively threads keep the default priority.
    TThreadPriority Priority() const { return FPriority.load(); }
    void SetPriority(TThreadPriority value);
    // The message of an exception that ended Execute, empty when none.
    std::string FatalException() const;

    // Raised on the main thread after Execute has ended.
    TNotifyEvent OnTerminate;

protected:
    virtual void Execute() = 0;
    // Runs the call on the main thread and waits for it; from the main thread it runs at once.
    void Synchronize(const std::function<void()>& call);
    int FReturnValue = 0;

private:
    void Run();
    std::thread FThread;
    std::atomic<bool> FTerminated{false};
    std::atomic<bool> FFinished{false};
    std::atomic<TThreadPriority> FPriority{tpNormal};
    bool FStarted = false;
    mutable std::mutex FLock;
    std::string FFatal;
};
