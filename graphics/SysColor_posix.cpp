#include "graphics/Color32.h"

// Without a desktop there are no system colours to follow; they read as black.
uint32_t SystemColorRGB(int index)
{
    (void)index;
    return 0;
}
