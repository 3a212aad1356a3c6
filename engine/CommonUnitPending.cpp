// Engine operations whose bodies come with the graph build, the movie memory and the device
// lists. Until those land, each does nothing and says so through its result.
#include "engine/CommonUnit.h"

bool TCommonModule::PlayInList(int index, bool autoPlay)
{
    (void)index;
    (void)autoPlay;
    return false;  // nothing can be opened without the graph build
}

void TCommonModule::SaveMovieInfo()
{
}

HRESULT TCommonModule::EnumerateScreens()
{
    return E_NOTIMPL;
}

HRESULT EnumAudioRenderers(const GUID& category, std::vector<TAudioDeviceItem>* list)
{
    (void)category;
    if (!list)
        return E_FAIL;
    list->clear();
    return E_NOTIMPL;
}
