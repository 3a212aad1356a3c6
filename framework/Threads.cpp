#include "Threads.h"

#include <chrono>
#include <deque>

namespace {

struct SyncCall {
    const std::function<void()>* Call;
    bool Done = false;
    std::string Error;
};

struct SyncQueue {
    std::mutex Lock;
    std::condition_variable Arrived;
    std::condition_variable Finished;
    std::deque<SyncCall*> Pending;
    std::function<void()> Wake;
    std::thread::id Main = std::this_thread::get_id();
};

SyncQueue& Queue()
{
    static SyncQueue queue;
    return queue;
}

}  // namespace

// The platform part (ThreadsPlatform_*.cpp); no thread means the calling one.
void ApplyThreadPriority(std::thread* thread, TThreadPriority priority);

void SetWakeMainThread(std::function<void()> wake)
{
    std::lock_guard lock(Queue().Lock);
    Queue().Wake = std::move(wake);
}

void SetMainThread(std::thread::id id)
{
    std::lock_guard lock(Queue().Lock);
    Queue().Main = id;
}

bool IsMainThread()
{
    std::lock_guard lock(Queue().Lock);
    return Queue().Main == std::this_thread::get_id();
}

bool CheckSynchronize(int timeoutMs)
{
    SyncQueue& q = Queue();
    std::unique_lock lock(q.Lock);
    if (q.Pending.empty() && timeoutMs > 0)
        q.Arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return !q.Pending.empty(); });
    bool ran = false;
    while (!q.Pending.empty()) {
        SyncCall* call = q.Pending.front();
        q.Pending.pop_front();
        lock.unlock();
        try {
            (*call->Call)();
        } catch (const std::exception& e) {
            call->Error = e.what();
        } catch (...) {
            call->Error = "Unknown exception";
        }
        lock.lock();
        call->Done = true;
        ran = true;
        q.Finished.notify_all();
    }
    return ran;
}

TThread::~TThread()
{
    Terminate();
    if (FStarted)
        WaitFor();
}

void TThread::Start()
{
    if (FStarted)
        return;
    FStarted = true;
    FThread = std::thread([this] { Run(); });
}

void TThread::SetPriority(TThreadPriority value)
{
    FPriority.store(value);
    if (FStarted && !FFinished.load() && FThread.joinable())
        ApplyThreadPriority(&FThread, value);
}

void TThread::Run()
{
    ApplyThreadPriority(nullptr, FPriority.load());
    try {
        Execute();
    } catch (const std::exception& e) {
        std::lock_guard lock(FLock);
        FFatal = e.what();
    } catch (...) {
        std::lock_guard lock(FLock);
        FFatal = "Unknown exception";
    }
    if (OnTerminate) {
        try {
            Synchronize([this] { OnTerminate(this); });
        } catch (...) {
        }
    }
    FFinished.store(true);
    Queue().Arrived.notify_all();  // a main thread waiting in WaitFor looks again
}

int TThread::WaitFor()
{
    if (!FStarted)
        return FReturnValue;
    if (IsMainThread()) {
        while (!FFinished.load())
            CheckSynchronize(10);
    }
    if (FThread.joinable())
        FThread.join();
    return FReturnValue;
}

std::string TThread::FatalException() const
{
    std::lock_guard lock(FLock);
    return FFatal;
}

void TThread::Synchronize(const std::function<void()>& call)
{
    if (IsMainThread()) {
        call();
        return;
    }
    SyncQueue& q = Queue();
    SyncCall item{&call};
    std::function<void()> wake;
    {
        std::lock_guard lock(q.Lock);
        q.Pending.push_back(&item);
        wake = q.Wake;
    }
    q.Arrived.notify_all();
    if (wake)
        wake();
    std::unique_lock lock(q.Lock);
    q.Finished.wait(lock, [&] { return item.Done; });
    if (!item.Error.empty())
        throw Exception(item.Error);
}
