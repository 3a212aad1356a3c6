#include "Threads.h"

// Raising a thread's priority needs privileges here; every thread keeps the default.
void ApplyThreadPriority(std::thread* thread, TThreadPriority priority)
{
    (void)thread;
    (void)priority;
}
