#pragma once
// Watches one folder for changes of its files and calls back on the GUI thread. The owner
// owns the thread and its mutex: it stops the thread by releasing the mutex and frees it; the
// thread never frees itself. A thread that ends on its own (its folder gone, the watch
// refused) tells the owner through OnEnded, a synchronised call.
#include "framework/Threads.h"
#include "framework/WinHandles.h"

#include <functional>
#include <string>

class TFileNotifyThread : public TThread {
public:
    // Made on the GUI thread, which owns the mutex from here on; Start() begins the watch.
    TFileNotifyThread(const std::string& Folder, bool WatchSubtree, std::function<void()> Callback);
    ~TFileNotifyThread() override;

    // Releases the mutex, which ends the wait; GUI thread only, harmless once ended or stopped.
    void Stop();

    // Raised on the GUI thread when the thread ends without being stopped; the owner must not
    // free the thread from inside it.
    std::function<void()> OnEnded;

protected:
    void Execute() override;

private:
    std::string FFolder;
    bool FWatchSubtree;
    std::function<void()> FCallback;
    TKernelHandle FMutex;
    HANDLE FChange = INVALID_HANDLE_VALUE;
    bool FReleased = false;
};
