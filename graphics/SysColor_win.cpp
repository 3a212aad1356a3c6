#include "graphics/Color32.h"

#include <windows.h>

uint32_t SystemColorRGB(int index)
{
    return GetSysColor(index);
}
