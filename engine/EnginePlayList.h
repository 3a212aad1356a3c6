#pragma once
// The play list as the engine uses it; TPlayList implements it. GUI thread only.
#include "engine/Common_Types.h"

#include <cstdint>
#include <string>

class IPlayList {
public:
    virtual ~IPlayList() = default;
    virtual int32_t ItemCount() const = 0;
    // Copy-out and copy-in of whole entries; indexes outside the list do nothing.
    virtual void GetItem(int32_t Index, TPlayListItem& Item) const = 0;
    virtual void SetItem(int32_t Index, const TPlayListItem& Item) = 0;
    virtual int32_t GetPlayingIndex() const = 0;
    virtual void SetPlayingIndex(int32_t Index) = 0;
    virtual bool HasNext() const = 0;
    virtual bool HasPrev() const = 0;
    virtual int32_t NextIndex() = 0;
    virtual int32_t PrevIndex() = 0;
    virtual void SavePlaylistFile(const std::string& FileName) = 0;
};
