#pragma once
// The play list: its entries in order, the playing index, the shuffle order with the Shuffle
// and Repeat switches, and two events through which the play-list window mirrors every change.
// It adds files, lists of names, play-list files and whole folders (by a background search),
// reads and writes ".PLS" and ".M3U" files, and starts the detail thread that fills in missing
// lengths and titles. GUI thread only.
#include "engine/Common_Types.h"
#include "engine/EnginePlayList.h"
#include "framework/Classes.h"
#include "playlist/FindFile.h"
#include "playlist/PlayListHost.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TDetailThread;

// Event codes of OnChange (0 to 4) and OnIndexChange (5 and 6).
enum : uint8_t {
    plcAdded = 0,         // index of the added entry
    plcDeleted = 1,       // index the deleted entry had
    plcChanged = 2,       // index of the changed entry
    plcCleared = 3,       // -1
    plcBulkChanged = 4,   // -1: the end of a bulk add; the listener rebuilds
    plcPlayingIndex = 5,  // old and new playing index
    plcMoved = 6,         // from and to
};

using TPlayListChangeEvent = std::function<void(uint8_t Code, int32_t Index)>;
using TPlayListIndexEvent = std::function<void(uint8_t Code, int32_t A, int32_t B)>;

// The shuffle's random numbers: a linear congruential generator re-seeded from a fast counter
// before every shuffle step.
class TShuffleRandom {
public:
    void Reseed() { Seed = SeedSource ? SeedSource() : DefaultSeed(); }
    // A value in 0..n-1, n > 0.
    int32_t Random(int32_t n);

    uint32_t Seed = 0;
    // The high-resolution counter unless replaced.
    std::function<uint32_t()> SeedSource;

private:
    static uint32_t DefaultSeed();
};

// The two lists kept in the install folder's "Data" folder.
enum TPredefList { plLastPlayed = 0, plFavorits = 1 };
std::string PredefListFileName(const std::string& InstallFolder, int Which);

class TPlayList : public TObject, public IPlayList {
public:
    explicit TPlayList(IPlayListEngine* Engine = nullptr, IPlayListWindows* Windows = nullptr);
    // Stops the detail thread (waiting for it) and any search, then frees the entries.
    ~TPlayList() override;
    TPlayList(const TPlayList&) = delete;
    TPlayList& operator=(const TPlayList&) = delete;

    // Adding. AddPlaylistRecord and AddPlaylistFile raise no event; -1 when out of memory.
    int32_t AddPlaylistRecord(const TPlayListItem& Item);
    int32_t AddPlaylistFile(const std::string& FileName);
    int32_t AddFileNotify(const std::string& FileName);
    void AddPlaylistList(const TStringList& Names, bool ClearFirst);
    // A folder starts a search (its matches arrive one by one); a play-list or media file is
    // added at once.
    void AddPlaylistPath(const std::string& Path, bool ClearFirst, bool Recursive);

    void DeleteItem(int32_t Index);
    // Keeps the playing index on the playing entry.
    void MoveItem(int32_t From, int32_t To);
    void ClearItems();
    void Clear();

    // Copy-out and copy-in of whole entries; indexes outside the list do nothing.
    void GetItem(int32_t Index, TPlayListItem& Item) const override;
    void SetItem(int32_t Index, const TPlayListItem& Item) override;
    int32_t ItemCount() const override { return static_cast<int32_t>(Items.size()); }

    int32_t GetPlayingIndex() const override { return PlayingIndex; }
    void SetPlayingIndex(int32_t Index) override;
    bool HasNext() const override;
    bool HasPrev() const override;
    int32_t NextIndex() override;
    int32_t PrevIndex() override;
    void ShuffleOrder(bool On);
    // Replaces a running detail thread (waiting for its end) with a new one.
    void StartDetailThread();

    // Play-list files. A failed write leaves the old file as it was and is reported.
    void SavePlaylistFile(const std::string& FileName) override;
    void SavePLS(const std::string& FileName);  // EFCreateError when the file cannot be written
    void SaveM3U(const std::string& FileName);  // EFCreateError when the file cannot be written
    void LoadPLS(const std::string& FileName);
    void LoadM3U(const std::string& FileName);  // EFOpenError when the file cannot be read
    // Replaces the list with a predefined list when that exists; false when it does not.
    bool LoadPredefList(int Which);
    // Appends the entries at Indexes to the favourites, after what they hold.
    void AddToFavorits(const std::vector<int32_t>& Indexes);

    TFindFile& FindFile() { return *FFindFile; }
    TDetailThread* DetailThread() const { return FDetailThread.get(); }

    TPlayListChangeEvent OnChange;
    TPlayListIndexEvent OnIndexChange;
    int32_t ShufflePosition = 0;  // position in the shuffle order of the entry being played
    bool Shuffle = false;
    bool Repeat = false;
    TShuffleRandom Randomizer;
    TGetMediaInfoFunc FetchMediaInfo;  // the detail thread's fetch

private:
    void FindFileMatch(TObject* Sender, const std::string& Folder, const TFileFindRecord& FileInfo);
    void FindFileFinished(TObject* Sender);
    // A play-list file read by its extension, anything else added as a media file; a list
    // that cannot be read is reported.
    void AddListOrFile(const std::string& Name);
    int32_t ItemsIndexOf(const TPlayListItem* Entry) const;
    void Changed(uint8_t Code, int32_t Index);
    void Report(const std::string& Text);

    std::vector<std::unique_ptr<TPlayListItem>> Items;
    std::vector<TPlayListItem*> ShuffleList;  // the entries of Items in play order, while Shuffle is on
    std::unique_ptr<TFindFile> FFindFile;
    int32_t PlayingIndex = -1;
    std::unique_ptr<TDetailThread> FDetailThread;
    IPlayListEngine* FEngine;
    IPlayListWindows* FWindows;
};
