#include "Threads.h"

#include <pthread.h>
#include <windows.h>

void ApplyThreadPriority(std::thread* thread, TThreadPriority priority)
{
    static const int levels[] = {THREAD_PRIORITY_IDLE, THREAD_PRIORITY_LOWEST, THREAD_PRIORITY_BELOW_NORMAL,
                                 THREAD_PRIORITY_NORMAL, THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_HIGHEST,
                                 THREAD_PRIORITY_TIME_CRITICAL};
    const HANDLE handle = thread ? static_cast<HANDLE>(pthread_gethandle(thread->native_handle())) : GetCurrentThread();
    if (handle != nullptr)
        SetThreadPriority(handle, levels[priority]);
}
