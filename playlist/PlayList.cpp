#include "playlist/PlayList.h"

#include "playlist/DetailThread.h"

#include <algorithm>
#include <chrono>
#include <new>

namespace {
const char* const NoMemoryMessage = "Unable to add file to playlist, you do not have enought free memory!!!!";

void MoveInList(std::vector<TPlayListItem*>& list, size_t from, size_t to)
{
    TPlayListItem* entry = list[from];
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(from));
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(to), entry);
}

template <typename T>
void ReserveOneMore(std::vector<T>& list)
{
    if (list.size() == list.capacity())
        list.reserve(std::max<size_t>(16, list.capacity() * 2));
}
}  // namespace

// ---- TShuffleRandom ----

int32_t TShuffleRandom::Random(int32_t n)
{
    Seed = Seed * 134775813u + 1u;
    return static_cast<int32_t>((static_cast<uint64_t>(Seed) * static_cast<uint32_t>(n)) >> 32);
}

uint32_t TShuffleRandom::DefaultSeed()
{
    return static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

// ---- TPlayList ----

TPlayList::TPlayList(IPlayListEngine* Engine, IPlayListWindows* Windows)
    : FFindFile(std::make_unique<TFindFile>()), FEngine(Engine), FWindows(Windows)
{
    FFindFile->Threaded = true;
    FFindFile->ThreadPriority = tpNormal;
    FFindFile->OnFileMatch = [this](TObject* sender, const std::string& folder, const TFileFindRecord& info) {
        FindFileMatch(sender, folder, info);
    };
    FFindFile->OnSearchFinish = [this](TObject* sender) { FindFileFinished(sender); };
}

TPlayList::~TPlayList()
{
    // The search goes first: its matches and its end would reach a list that is going away.
    FFindFile.reset();
    FDetailThread.reset();
    OnChange = nullptr;
    ClearItems();
}

int32_t TPlayList::AddPlaylistRecord(const TPlayListItem& Item)
{
    std::unique_ptr<TPlayListItem> entry;
    try {
        entry = std::make_unique<TPlayListItem>(Item);
        // Room grows by doubling, so that adding stays amortised constant and the push below
        // cannot throw.
        ReserveOneMore(Items);
        if (Shuffle)
            ReserveOneMore(ShuffleList);
    } catch (const std::bad_alloc&) {
        Report(NoMemoryMessage);
        return -1;
    }
    TPlayListItem* added = entry.get();
    Items.push_back(std::move(entry));
    if (Shuffle) {
        // A uniformly drawn place after the current shuffle position, the end included.
        const int32_t places = static_cast<int32_t>(ShuffleList.size()) - ShufflePosition;
        int32_t r = places;
        if (places >= 2) {
            Randomizer.Reseed();
            r = Randomizer.Random(places) + 1;
        }
        if (r < places)
            ShuffleList.insert(ShuffleList.begin() + (ShufflePosition + r), added);
        else
            ShuffleList.push_back(added);
    }
    return static_cast<int32_t>(Items.size()) - 1;
}

int32_t TPlayList::AddPlaylistFile(const std::string& FileName)
{
    TPlayListItem item;
    item.FileName = FileName;
    return AddPlaylistRecord(item);
}

int32_t TPlayList::AddFileNotify(const std::string& FileName)
{
    const int32_t index = AddPlaylistFile(FileName);
    Changed(plcAdded, index);
    return index;
}

void TPlayList::AddListOrFile(const std::string& Name)
{
    const std::string ext = UpperCase(ExtractFileExt(Name));
    try {
        if (ext == ".M3U")
            LoadM3U(Name);
        else if (ext == ".PLS")
            LoadPLS(Name);
        else
            AddPlaylistFile(Name);
    } catch (const std::exception& e) {
        Report(e.what());
    }
}

void TPlayList::AddPlaylistList(const TStringList& Names, bool ClearFirst)
{
    if (ClearFirst)
        ClearItems();
    for (int i = 0; i < Names.Count(); ++i)
        AddListOrFile(Names[i]);
    Changed(plcBulkChanged, -1);
}

void TPlayList::AddPlaylistPath(const std::string& Path, bool ClearFirst, bool Recursive)
{
    if (ClearFirst)
        ClearItems();
    if (DirectoryExists(Path)) {
        std::string masks;
        if (FEngine) {
            const TStringList& extensions = FEngine->KnownExtensions();
            for (int i = 0; i < extensions.Count(); ++i)
                if (!extensions[i].empty())
                    masks += "*" + extensions[i] + ";";
        }
        TFileCriteria& files = FFindFile->Criteria().Files();
        files.Subfolders = Recursive;
        files.Location = Path;
        files.FileName = masks;
        FFindFile->Execute();  // ignored while a search runs
        return;
    }
    AddListOrFile(Path);
    Changed(plcBulkChanged, -1);
}

void TPlayList::DeleteItem(int32_t Index)
{
    if (Index < 0 || Index >= ItemCount())
        return;
    TPlayListItem* entry = Items[static_cast<size_t>(Index)].get();
    // 1. The shuffle order.
    if (Shuffle) {
        const auto at = std::find(ShuffleList.begin(), ShuffleList.end(), entry);
        if (at != ShuffleList.end())
            ShuffleList.erase(at);
        if (Index != PlayingIndex) {
            ShufflePosition = -1;
            if (PlayingIndex >= 0 && PlayingIndex < ItemCount()) {
                const auto playing = std::find(ShuffleList.begin(), ShuffleList.end(), Items[static_cast<size_t>(PlayingIndex)].get());
                if (playing != ShuffleList.end())
                    ShufflePosition = static_cast<int32_t>(playing - ShuffleList.begin());
            }
        } else {
            ShufflePosition = std::max(ShufflePosition - 1, -1);
        }
    }
    // 2. The playing index: the entry before a deleted playing one counts as played.
    if (Index == PlayingIndex) {
        if (FEngine)
            FEngine->ClosePlayingFile();
        --PlayingIndex;
    } else if (Index < PlayingIndex) {
        --PlayingIndex;
    }
    // 3. The entry.
    Items.erase(Items.begin() + Index);
    Changed(plcDeleted, Index);
}

void TPlayList::MoveItem(int32_t From, int32_t To)
{
    if (From < 0 || From >= ItemCount() || To < 0 || To >= ItemCount())
        return;
    auto entry = std::move(Items[static_cast<size_t>(From)]);
    Items.erase(Items.begin() + From);
    Items.insert(Items.begin() + To, std::move(entry));
    if (PlayingIndex == From)
        PlayingIndex = To;
    else if (From < PlayingIndex && PlayingIndex <= To)
        --PlayingIndex;
    else if (To <= PlayingIndex && PlayingIndex < From)
        ++PlayingIndex;
    if (OnIndexChange)
        OnIndexChange(plcMoved, From, To);
}

void TPlayList::ClearItems()
{
    if (!Items.empty() && FEngine)
        FEngine->ClosePlayingFile();
    PlayingIndex = -1;
    ShufflePosition = -1;
    ShuffleList.clear();
    Items.clear();
}

void TPlayList::Clear()
{
    ClearItems();
    Changed(plcCleared, -1);
}

void TPlayList::GetItem(int32_t Index, TPlayListItem& Item) const
{
    if (Index >= 0 && Index < ItemCount())
        Item = *Items[static_cast<size_t>(Index)];
}

void TPlayList::SetItem(int32_t Index, const TPlayListItem& Item)
{
    if (Index < 0 || Index >= ItemCount())
        return;
    *Items[static_cast<size_t>(Index)] = Item;
    Changed(plcChanged, Index);
}

void TPlayList::SetPlayingIndex(int32_t Index)
{
    const int32_t old = PlayingIndex;
    PlayingIndex = Index;
    if (OnIndexChange)
        OnIndexChange(plcPlayingIndex, old, Index);
}

bool TPlayList::HasNext() const
{
    if (!Shuffle ? PlayingIndex < ItemCount() - 1 : ShufflePosition < static_cast<int32_t>(ShuffleList.size()) - 1)
        return true;
    return Repeat;
}

bool TPlayList::HasPrev() const
{
    if (!Shuffle ? PlayingIndex > 0 : ShufflePosition > 0)
        return true;
    return Repeat;
}

int32_t TPlayList::NextIndex()
{
    if (!Shuffle) {
        if (PlayingIndex < ItemCount() - 1)
            return PlayingIndex < 0 ? 0 : PlayingIndex + 1;
        return 0;
    }
    const int32_t last = static_cast<int32_t>(ShuffleList.size()) - 1;
    if (ShufflePosition < last) {
        ShufflePosition = std::max(ShufflePosition, -1) + 1;
        return ItemsIndexOf(ShuffleList[static_cast<size_t>(ShufflePosition)]);
    }
    if (Repeat && last >= 0) {
        ShufflePosition = 0;
        return ItemsIndexOf(ShuffleList.front());
    }
    return 0;
}

int32_t TPlayList::PrevIndex()
{
    if (!Shuffle) {
        if (PlayingIndex >= 1)
            return PlayingIndex - 1;
        return Repeat && ItemCount() > 0 ? ItemCount() - 1 : 0;
    }
    const int32_t last = static_cast<int32_t>(ShuffleList.size()) - 1;
    if (ShufflePosition >= 1 && ShufflePosition <= last) {
        --ShufflePosition;
        return ItemsIndexOf(ShuffleList[static_cast<size_t>(ShufflePosition)]);
    }
    if (Repeat && last >= 0) {
        ShufflePosition = last;
        return ItemsIndexOf(ShuffleList.back());
    }
    return 0;
}

void TPlayList::ShuffleOrder(bool On)
{
    // 1. The switch; switching off keeps the order as it is.
    Shuffle = On;
    if (!On)
        return;
    // 2. The entries in list order.
    ShuffleList.clear();
    for (const auto& entry : Items)
        ShuffleList.push_back(entry.get());
    // 3. Two passes, each moving every entry from the back to a drawn place.
    Randomizer.Reseed();
    const int32_t count = static_cast<int32_t>(ShuffleList.size());
    for (int pass = 0; pass < 2; ++pass)
        for (int32_t i = count - 1; i >= 0; --i)
            MoveInList(ShuffleList, static_cast<size_t>(i), static_cast<size_t>(Randomizer.Random(count)));
    // 4. The playing entry first.
    if (PlayingIndex >= 0 && PlayingIndex < count) {
        const auto at = std::find(ShuffleList.begin(), ShuffleList.end(), Items[static_cast<size_t>(PlayingIndex)].get());
        MoveInList(ShuffleList, static_cast<size_t>(at - ShuffleList.begin()), 0);
        ShufflePosition = 0;
    } else {
        ShufflePosition = -1;
    }
}

void TPlayList::StartDetailThread()
{
    FDetailThread.reset();
    FDetailThread = std::make_unique<TDetailThread>(this, FetchMediaInfo);
    FDetailThread->SetPriority(tpNormal);
    FDetailThread->Start();
}

void TPlayList::FindFileMatch(TObject* Sender, const std::string& Folder, const TFileFindRecord& FileInfo)
{
    AddFileNotify(IncludeTrailingPathDelimiter(Folder) + FileInfo.Name);
}

void TPlayList::FindFileFinished(TObject* Sender)
{
    Changed(plcBulkChanged, -1);
}

int32_t TPlayList::ItemsIndexOf(const TPlayListItem* Entry) const
{
    for (size_t i = 0; i < Items.size(); ++i)
        if (Items[i].get() == Entry)
            return static_cast<int32_t>(i);
    return -1;
}

void TPlayList::Changed(uint8_t Code, int32_t Index)
{
    if (OnChange)
        OnChange(Code, Index);
}

void TPlayList::Report(const std::string& Text)
{
    if (FWindows)
        FWindows->ShowMessage(Text);
}
