// The display's ticks; the Windows form adds what needs windows and GDI.
#include "bench/ui/UiBenchCommon.h"

int main()
{
    uibench::VisualTicks();
    uibench::WindowTicks();
    return 0;
}

#ifndef _WIN32
void uibench::WindowTicks() {}
#endif
