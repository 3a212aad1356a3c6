// The engine operation whose body comes with the graph build. Until it lands, it does
// nothing and says so through its result.
#include "engine/CommonUnit.h"

bool TCommonModule::PlayInList(int index, bool autoPlay)
{
    (void)index;
    (void)autoPlay;
    return false;  // nothing can be opened without the graph build
}
