#include "ui/OSD_UnitCore.h"

TOSDTick OSDTimerStep(uint32_t now, uint32_t start, int seconds, bool blink)
{
    TOSDTick tick;
    tick.Close = seconds > 0 && static_cast<uint32_t>(now - start) > static_cast<uint32_t>(seconds) * 1000u;
    tick.Toggle = blink;
    return tick;
}
