#include "playlist/DetailThread.h"

#include "playlist/PlayList.h"

TDetailThread::TDetailThread(TPlayList* PlayList, TGetMediaInfoFunc GetMediaInfo)
    : FPlayList(PlayList), FGetMediaInfo(std::move(GetMediaInfo))
{
}

TDetailThread::~TDetailThread()
{
    Terminate();
    WaitFor();
}

void TDetailThread::Execute()
{
    FBusy.store(true);
    struct TNotBusy {
        std::atomic<bool>& Busy;
        ~TNotBusy() { Busy.store(false); }
    } notBusy{FBusy};
    if (!FPlayList)
        return;
    // The count is read again before every step: the list may change between them.
    for (FCurrentIndex = 0; !Terminated(); ++FCurrentIndex) {
        Synchronize([this] { ReadCurrentItem(); });
        if (!FHaveItem)
            break;
        if (FCurrentItem.Length != -1 || !FGetMediaInfo)
            continue;
        std::unique_ptr<TMediaInfo> info;
        try {
            info = FGetMediaInfo(FCurrentItem.FileName);
        } catch (const std::exception&) {
            info.reset();  // a fetch that fails counts as no result
        }
        if (info)
            Synchronize([this, &info] { WriteCurrentItem(*info); });
    }
}

void TDetailThread::ReadCurrentItem()
{
    FHaveItem = FCurrentIndex < FPlayList->ItemCount();
    if (FHaveItem)
        FPlayList->GetItem(FCurrentIndex, FCurrentItem);
}

void TDetailThread::WriteCurrentItem(const TMediaInfo& Info)
{
    // The entry may have been deleted or moved since it was read: the result goes to the entry
    // that has the fetched name, preferably the one still at the index, else it is dropped.
    TPlayListItem item;
    int32_t target = -1;
    FPlayList->GetItem(FCurrentIndex, item);
    if (FCurrentIndex < FPlayList->ItemCount() && item.FileName == FCurrentItem.FileName) {
        target = FCurrentIndex;
    } else {
        for (int32_t i = 0; i < FPlayList->ItemCount() && target < 0; ++i) {
            FPlayList->GetItem(i, item);
            if (item.FileName == FCurrentItem.FileName && item.Length == -1)
                target = i;
        }
    }
    if (target < 0)
        return;
    // The entry as it is now keeps a state the engine may have written meanwhile.
    item.Title = Info.Title;
    item.Length = Info.Length;
    FPlayList->SetItem(target, item);
}
