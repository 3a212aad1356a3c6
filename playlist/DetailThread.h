#pragma once
// Walks the play list on a worker thread and, for every entry whose length is unknown, fetches
// the media file's title and length and writes them back on the GUI thread.
#include "engine/Common_Types.h"
#include "framework/Threads.h"
#include "playlist/PlayListHost.h"

#include <atomic>
#include <cstdint>

class TPlayList;

class TDetailThread : public TThread {
public:
    // Started by its owner with Start(); the owner frees it, which waits for its end while
    // serving its synchronised calls.
    TDetailThread(TPlayList* PlayList, TGetMediaInfoFunc GetMediaInfo);
    ~TDetailThread() override;

    bool Busy() const { return FBusy.load(); }

protected:
    void Execute() override;

private:
    // Both run on the GUI thread through synchronised calls.
    void ReadCurrentItem();
    void WriteCurrentItem(const TMediaInfo& Info);

    TPlayList* FPlayList;
    TPlayListItem FCurrentItem;
    int32_t FCurrentIndex = 0;
    bool FHaveItem = false;  // whether the current index was still in the list
    std::atomic<bool> FBusy{false};
    TGetMediaInfoFunc FGetMediaInfo;
};
