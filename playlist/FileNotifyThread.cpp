#include "playlist/FileNotifyThread.h"

#include "framework/SysUtils.h"

namespace {

// File names, attributes, sizes and last writes; folder names are not watched.
constexpr DWORD kNotifyFilter = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_ATTRIBUTES |
                                FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE;
constexpr DWORD kFolderCheckMs = 1000;

}  // namespace

TFileNotifyThread::TFileNotifyThread(const std::string& Folder, bool WatchSubtree, std::function<void()> Callback)
    : FFolder(Folder), FWatchSubtree(WatchSubtree), FCallback(std::move(Callback)),
      FMutex(CreateMutexA(nullptr, TRUE, nullptr))
{
}

TFileNotifyThread::~TFileNotifyThread()
{
    Stop();
    Terminate();
    WaitFor();
    if (FChange != INVALID_HANDLE_VALUE)
        FindCloseChangeNotification(FChange);
}

void TFileNotifyThread::Stop()
{
    if (FReleased || !FMutex)
        return;
    FReleased = true;
    ReleaseMutex(FMutex.Get());
}

void TFileNotifyThread::Execute()
{
    bool stopped = false;
    FChange = FindFirstChangeNotificationA(FFolder.c_str(), FWatchSubtree, kNotifyFilter);
    if (FChange != INVALID_HANDLE_VALUE && FMutex) {
        HANDLE waits[2] = {FChange, FMutex.Get()};
        while (!Terminated()) {
            const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, kFolderCheckMs);
            if (woke == WAIT_TIMEOUT) {
                // Wine keeps a removed folder while our watch holds it open, and never signals:
                // a quiet second lets it go, looks, and watches again.
                FindCloseChangeNotification(FChange);
                FChange = INVALID_HANDLE_VALUE;
                if (!DirectoryExists(FFolder))
                    break;
                FChange = FindFirstChangeNotificationA(FFolder.c_str(), FWatchSubtree, kNotifyFilter);
                if (FChange == INVALID_HANDLE_VALUE)
                    break;
                waits[0] = FChange;
            } else if (woke == WAIT_OBJECT_0) {
                if (!DirectoryExists(FFolder))
                    break;
                if (FCallback)
                    Synchronize(FCallback);
                if (!FindNextChangeNotification(FChange))
                    break;
            } else if (woke == WAIT_OBJECT_0 + 1 || woke == WAIT_ABANDONED_0 + 1) {
                // The owner let the mutex go: give it back at once, the thread ends.
                ReleaseMutex(FMutex.Get());
                stopped = true;
                break;
            } else {
                break;
            }
        }
    }
    if (!stopped && !Terminated() && OnEnded)
        Synchronize(OnEnded);
}
