#include "playlist/FindFile.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace {

char LowerAZ(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool IsFolderEnd(char c) { return IsPathDelimiter(c) || c == ':'; }

// The ";"-separated entries in order; empty ones add nothing.
std::vector<std::string> SplitList(const std::string& text)
{
    std::vector<std::string> items;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(';', start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start)
            items.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return items;
}

// A leading "<" (no subfolders) or ">" (with them) is taken off; otherwise the default holds.
bool TakeSubfolderPrefix(std::string& entry, bool fallback)
{
    if (!entry.empty() && (entry.front() == '<' || entry.front() == '>')) {
        const bool subfolders = entry.front() == '>';
        entry.erase(0, 1);
        return subfolders;
    }
    return fallback;
}

// "C:" or "\\server\share" at the head of a path; empty when there is none.
std::string_view DriveOf(std::string_view path)
{
    if (path.size() >= 2 && path[1] == ':')
        return path.substr(0, 2);
    if (path.size() >= 2 && IsPathDelimiter(path[0]) && IsPathDelimiter(path[1])) {
        size_t at = 2;
        for (int separators = 0; at < path.size(); ++at)
            if (IsPathDelimiter(path[at]) && ++separators == 2)
                break;
        return path.substr(0, at);
    }
    return {};
}

bool SamePathText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const bool bothDelimiters = IsPathDelimiter(a[i]) && IsPathDelimiter(b[i]);
        if (!bothDelimiters && LowerAZ(a[i]) != LowerAZ(b[i]))
            return false;
    }
    return true;
}

// Whether the folder part of an exclusion entry matches folder.
bool ExcludedPathMatches(std::string_view path, std::string_view folder)
{
    const std::string_view folderDrive = DriveOf(folder);
    const std::string_view pathDrive = DriveOf(path);
    if (!pathDrive.empty()) {
        if (folderDrive.empty())
            return false;
        const char c = path.front();
        if (c != '*' && c != '?' && LowerAZ(c) != LowerAZ(folderDrive.front()))
            return false;
        path.remove_prefix(pathDrive.size());
    }
    if (path.empty())
        return true;
    const std::string_view rest = folder.substr(folderDrive.size());
    return rest.size() >= path.size() && SamePathText(rest.substr(rest.size() - path.size()), path);
}

// Before and After bounds of one file time: a bound without a fraction compares the date
// only, one without whole days the time of day only.
bool DateWithin(TDateTime value, TDateTime before, TDateTime after)
{
    const auto comparable = [value](TDateTime bound) {
        const double days = std::trunc(bound);
        if (bound == days)
            return std::trunc(value);
        if (days == 0)
            return value - std::trunc(value);
        return value;
    };
    if (before != 0 && comparable(before) > before)
        return false;
    if (after != 0 && comparable(after) < after)
        return false;
    return true;
}

class TReadHandle {
public:
    explicit TReadHandle(const std::string& path) : FHandle(FileOpen(path, fmOpenRead | fmShareDenyNone)) {}
    ~TReadHandle() { FileClose(FHandle); }
    TReadHandle(const TReadHandle&) = delete;
    TReadHandle& operator=(const TReadHandle&) = delete;
    THandle Get() const { return FHandle; }

private:
    THandle FHandle;
};

}  // namespace

// ---- TFileAttributes ----

TFileAttributes::TFileAttributes(std::initializer_list<TFileAttribute> items)
{
    for (const TFileAttribute item : items)
        Include(item);
}

TFileAttributes TFileAttributes::FromBits(uint32_t bits)
{
    TFileAttributes set;
    set.FBits = bits & faAnyFileButVolume;
    return set;
}

uint32_t TFileAttributes::BitOf(TFileAttribute item)
{
    static const uint32_t bits[] = {faArchive, faReadOnly, faHidden, faSysFile, faDirectory};
    return bits[item];
}

// ---- TContentCriteria ----

void TContentCriteria::SetPhrase(const std::string& value)
{
    if (value == FPhrase)
        return;
    FPhrase = value;
    PrepareTarget();
}

void TContentCriteria::SetIgnoreCase(bool value)
{
    if (value == FIgnoreCase)
        return;
    FIgnoreCase = value;
    PrepareTarget();
}

void TContentCriteria::PrepareTarget()
{
    FTargetPhrase = FPhrase;
    if (FIgnoreCase)
        LowerCaseBuffer(FTargetPhrase.data(), FTargetPhrase.size());
}

// ---- TTargetFolderList ----

TTargetFolder& TTargetFolderList::AddFolder(const std::string& path)
{
    std::string folder = ExpandFileName(path.empty() ? std::string(".") : path);
    if (folder.empty() || !IsFolderEnd(folder.back()))
        folder += PathDelim;
    for (const auto& existing : FFolders)
        if (SameText(existing->Folder, folder))
            return *existing;
    FFolders.insert(FFolders.begin(), std::make_unique<TTargetFolder>());
    FFolders.front()->Folder = folder;
    return *FFolders.front();
}

bool TTargetFolderList::IsExcluded(const std::string& folder, const std::string& name) const
{
    for (int i = ExcludedFiles.Count() - 1; i >= 0; --i) {
        const std::string& entry = ExcludedFiles[i];
        const std::string path = ExtractFilePath(entry);
        const std::string pattern = ExtractFileName(entry);
        if (!path.empty() && !ExcludedPathMatches(path, folder))
            continue;
        if (pattern.empty() || FileNameMatches(name, pattern))
            return true;
    }
    return false;
}

// ---- TTargetSearch ----

TTargetSearch::TTargetSearch(TSearchCriteria& criteria)
{
    TFileCriteria& files = criteria.Files();
    // 1. Exclusions.
    TargetFolders.ExcludedFiles.Assign(files.Excluded);
    // 2. Extra entries: a folder and one mask each; their level limits stay as they are.
    for (int i = 0; i < files.Included.Count(); ++i) {
        std::string entry = files.Included[i];
        const bool subfolders = TakeSubfolderPrefix(entry, files.Subfolders);
        TTargetFolder& target = TargetFolders.AddFolder(ExtractFilePath(entry));
        target.FileMasks.Add(ExtractFileName(entry));
        target.Subfolders = subfolders;
    }
    // 3. and 4. Locations, each with every mask of FileName.
    const std::vector<std::string> masks = SplitList(files.FileName);
    for (std::string location : SplitList(files.Location)) {
        const bool subfolders = TakeSubfolderPrefix(location, files.Subfolders);
        TTargetFolder& target = TargetFolders.AddFolder(location);
        for (const std::string& mask : masks)
            target.FileMasks.Add(mask);
        target.Subfolders = subfolders;
        target.MinLevel = files.MinLevel;
        target.MaxLevel = files.MaxLevel;
    }
    Attribute.Assign(criteria.Attribute());
    TimeStamp.Assign(criteria.TimeStamp());
    Size.Assign(criteria.Size());
    Content.Assign(criteria.Content());
    // 5. Folders never match a content search.
    if (!Content.Phrase().empty())
        Attribute.Attributes.Exclude(ffDirectory);
}

bool TTargetSearch::Matches(const std::string& folder, const TFileFindRecord& entry) const
{
    // 1. Attributes.
    const uint32_t attributes = entry.Attributes & faAnyFileButVolume;
    const uint32_t allowed = Attribute.Attributes.Bits();
    if (Attribute.ExactMatch ? attributes != allowed : (attributes & ~allowed) != 0)
        return false;
    // 2. Size, both bounds inclusive.
    if ((Size.Min != 0 && entry.Size < Size.Min) || (Size.Max != 0 && entry.Size > Size.Max))
        return false;
    // 3. Dates.
    const struct {
        uint64_t Time;
        TDateTime Before;
        TDateTime After;
    } dates[] = {
        {entry.CreationTime, TimeStamp.CreatedBefore, TimeStamp.CreatedAfter},
        {entry.LastWriteTime, TimeStamp.ModifiedBefore, TimeStamp.ModifiedAfter},
        {entry.LastAccessTime, TimeStamp.AccessedBefore, TimeStamp.AccessedAfter},
    };
    for (const auto& date : dates)
        if ((date.Before != 0 || date.After != 0) && !DateWithin(FileTimeToLocalDateTime(date.Time), date.Before, date.After))
            return false;
    // 4. Exclusions.
    if (TargetFolders.IsExcluded(folder, entry.Name))
        return false;
    // 5. Content.
    return Content.Phrase().empty()
        || FileContainsPhrase(folder + entry.Name, Content.TargetPhrase(), Content.PhraseLen(), Content.IgnoreCase());
}

// ---- matching helpers ----

bool WildcardMatch(const std::string& text, const std::string& mask)
{
    size_t t = 0;
    for (size_t m = 0; m < mask.size(); ++m, ++t) {
        if (mask[m] == '*')
            return true;
        if (t == text.size())
            return std::all_of(mask.begin() + static_cast<std::ptrdiff_t>(m), mask.end(),
                               [](char c) { return c == '*' || c == '?'; });
        if (mask[m] != '?' && LowerAZ(mask[m]) != LowerAZ(text[t]))
            return false;
    }
    return t == text.size();
}

bool FileNameMatches(const std::string& name, const std::string& pattern)
{
    const std::string patternExt = ExtractFileExt(pattern);
    const std::string patternBase = pattern.substr(0, pattern.size() - patternExt.size());
    const std::string nameExt = ExtractFileExt(name);
    const std::string nameBase = name.substr(0, name.size() - nameExt.size());
    if (patternExt.empty())
        return WildcardMatch(nameBase, patternBase);
    // A name without extension is given the extension ".".
    return WildcardMatch(nameExt.empty() ? std::string(".") : nameExt, patternExt) && WildcardMatch(nameBase, patternBase);
}

bool FileContainsPhrase(const std::string& path, const std::string& phrase, int phraseLen, bool ignoreCase)
{
    if (phraseLen <= 0 || static_cast<size_t>(phraseLen) > phrase.size())
        return false;
    const std::string_view target(phrase.data(), static_cast<size_t>(phraseLen));
    TReadHandle file(path);
    if (file.Get() == INVALID_FILE_HANDLE)
        return false;
    const int64_t size = FileSeek(file.Get(), 0, soEnd);
    if (size < phraseLen || FileSeek(file.Get(), 0, soBeginning) != 0)
        return false;
    const size_t blockSize = static_cast<size_t>(std::max<int64_t>(std::min<int64_t>(size, 61440), phraseLen));
    // The scan runs over the tail of the previous block and the new one, so a match that
    // starts in one block and ends in the next is found.
    std::string window;
    std::vector<char> block(blockSize);
    for (;;) {
        const int32_t read = FileRead(file.Get(), block.data(), static_cast<int32_t>(blockSize));
        if (read <= 0)
            return false;
        if (ignoreCase)
            LowerCaseBuffer(block.data(), static_cast<size_t>(read));
        window.append(block.data(), static_cast<size_t>(read));
        if (window.find(target) != std::string::npos)
            return true;
        window.erase(0, window.size() - std::min(window.size(), target.size() - 1));
    }
}

// ---- TSearchThread ----

TSearchThread::TSearchThread(TFindFile* findFile) : FFindFile(findFile) {}

TSearchThread::~TSearchThread()
{
    Terminate();
    WaitFor();
}

void TSearchThread::Execute()
{
    FFindFile->WalkTargets(this);
}

// ---- TFindFile ----

TFindFile::TFindFile(TComponent* owner) : TComponent(owner) {}

TFindFile::~TFindFile()
{
    FDestroying = true;
    if (FBusy.load() && FSearchThread) {
        Abort();
        // The thread's last calls and its finish run here.
        while (FBusy.load())
            CheckSynchronize(10);
    }
    FEndedThread.reset();
    FSearchThread.reset();
}

void TFindFile::Execute()
{
    if (FBusy.load())
        return;
    FEndedThread.reset();
    FBusy.store(true);
    FAborted.store(false);
    FTargetSearch = std::make_unique<TTargetSearch>(FCriteria);
    try {
        DoSearchBegin();
        if (!Threaded)
            WalkTargets(nullptr);
    } catch (...) {
        Finish();
        throw;
    }
    if (!Threaded) {
        Finish();
        return;
    }
    FSearchThread = std::make_unique<TSearchThread>(this);
    FSearchThread->OnTerminate = [this](TObject* sender) { SearchFinished(sender); };
    FSearchThread->SetPriority(ThreadPriority);
    FSearchThread->Start();
}

void TFindFile::Abort()
{
    if (!FBusy.load())
        return;
    FAborted.store(true);
    DoSearchAbort();
    if (FSearchThread)
        FSearchThread->Terminate();
}

void TFindFile::Finish()
{
    struct TClearBusy {
        TFindFile* Owner;
        ~TClearBusy()
        {
            Owner->FTargetSearch.reset();
            Owner->FBusy.store(false);
        }
    } clear{this};
    DoSearchFinish();
}

void TFindFile::SearchFinished(TObject* Sender)
{
    // Runs on the GUI thread inside the ending thread's last call, so the thread object lives
    // on until it can be joined.
    FEndedThread = std::move(FSearchThread);
    Finish();
}

void TFindFile::WalkTargets(TSearchThread* thread)
{
    TTargetFolderList& targets = FTargetSearch->TargetFolders;
    for (int i = targets.Count() - 1; i >= 0 && !StopRequested(thread); --i) {
        FLevel.store(0);
        const TTargetFolder& target = targets.Items(i);
        WalkFolder(target.Folder, target, thread);
    }
}

void TFindFile::WalkFolder(const std::string& folder, const TTargetFolder& target, TSearchThread* thread)
{
    // 1. Enter the folder.
    const uint16_t level = static_cast<uint16_t>(FLevel.load() + 1);
    FLevel.store(level);
    TFolderIgnore ignore = fiNone;
    OnGuiThread(thread, [&] { ignore = DoFolderChange(folder); });
    // 2. Its files, each mask from the last to the first.
    if ((ignore == fiNone || ignore == fiJustSubfolders) && level >= target.MinLevel) {
        for (int m = target.FileMasks.Count() - 1; m >= 0 && !StopRequested(thread); --m) {
            for (const TFileFindRecord& entry : FindFolderEntries(folder, target.FileMasks[m])) {
                if (StopRequested(thread))
                    break;
                if (entry.Name == "." || entry.Name == "..")
                    continue;
                if (FTargetSearch->Matches(folder, entry))
                    OnGuiThread(thread, [&] { DoFileMatch(folder, entry); });
            }
        }
    }
    // 3. Its subfolders.
    if (target.Subfolders && (ignore == fiNone || ignore == fiJustThis) && (target.MaxLevel == 0 || target.MaxLevel > level)) {
        for (const TFileFindRecord& entry : FindFolderEntries(folder, "*.*")) {
            if (StopRequested(thread))
                break;
            if ((entry.Attributes & faDirectory) != 0 && entry.Name != "." && entry.Name != "..")
                WalkFolder(folder + entry.Name + PathDelim, target, thread);
        }
    }
    // 4. Leave it.
    FLevel.store(static_cast<uint16_t>(level - 1));
}

bool TFindFile::StopRequested(TSearchThread* thread) const
{
    return thread ? thread->Terminated() : FAborted.load();
}

void TFindFile::OnGuiThread(TSearchThread* thread, const std::function<void()>& call)
{
    if (thread)
        thread->CallSynchronized(call);
    else
        call();
}

void TFindFile::DoSearchBegin()
{
    if (OnSearchBegin)
        OnSearchBegin(this);
}

void TFindFile::DoSearchFinish()
{
    if (OnSearchFinish && !FDestroying)
        OnSearchFinish(this);
}

void TFindFile::DoSearchAbort()
{
    if (OnSearchAbort && !FDestroying)
        OnSearchAbort(this);
}

TFolderIgnore TFindFile::DoFolderChange(const std::string& Folder)
{
    TFolderIgnore ignore = FAborted.load() ? fiThisAndSubfolders : fiNone;
    if (!FAborted.load() && OnFolderChange)
        OnFolderChange(this, Folder, ignore);
    return ignore;
}

void TFindFile::DoFileMatch(const std::string& Folder, const TFileFindRecord& FileInfo)
{
    if (!FAborted.load() && OnFileMatch)
        OnFileMatch(this, Folder, FileInfo);
}
