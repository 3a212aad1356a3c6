#pragma once
// A non-visual component that walks folders, optionally with their subfolders, and reports
// every file that meets a set of criteria: name masks, attributes, sizes, dates, exclusions and
// a phrase inside the file. It searches in the caller's thread, or on a search thread that
// hands every event to the GUI thread through a synchronised call.
#include "framework/Classes.h"
#include "framework/Threads.h"
#include "playlist/FindFilePlatform.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

enum TFileAttribute { ffArchive, ffReadonly, ffHidden, ffSystem, ffDirectory };

// A set of file attributes, kept as the platform's attribute bits.
class TFileAttributes {
public:
    TFileAttributes() = default;
    TFileAttributes(std::initializer_list<TFileAttribute> items);
    static TFileAttributes FromBits(uint32_t bits);

    uint32_t Bits() const { return FBits; }
    bool Contains(TFileAttribute item) const { return (FBits & BitOf(item)) != 0; }
    void Include(TFileAttribute item) { FBits |= BitOf(item); }
    void Exclude(TFileAttribute item) { FBits &= ~BitOf(item); }
    bool operator==(const TFileAttributes&) const = default;

private:
    static uint32_t BitOf(TFileAttribute item);
    uint32_t FBits = 0;
};

class TFileCriteria : public TPersistent {
public:
    void Assign(const TFileCriteria& source) { *this = source; }

    std::string FileName;  // name masks, ";"-separated
    std::string Location;  // folders, ";"-separated; "<" before one: no subfolders, ">": with them
    TStringList Included;  // a folder path and a mask after its last separator, "<" or ">" as above
    TStringList Excluded;  // a folder path and/or a name pattern
    bool Subfolders = true;
    uint16_t MinLevel = 0;  // report files only from this depth on (the top folder is 1)
    uint16_t MaxLevel = 0;  // descend no deeper; 0 = no limit
};

class TAttributeCriteria : public TPersistent {
public:
    void Assign(const TAttributeCriteria& source) { *this = source; }

    TFileAttributes Attributes{ffArchive, ffReadonly, ffHidden, ffSystem};
    bool ExactMatch = false;  // the attributes must equal the set instead of lying within it
};

// Each bound 0 = none. A bound without a fraction compares days only, a bound without whole
// days compares the time of day only.
class TDateTimeCriteria : public TPersistent {
public:
    void Assign(const TDateTimeCriteria& source) { *this = source; }

    TDateTime CreatedBefore = 0;
    TDateTime CreatedAfter = 0;
    TDateTime ModifiedBefore = 0;
    TDateTime ModifiedAfter = 0;
    TDateTime AccessedBefore = 0;
    TDateTime AccessedAfter = 0;
};

class TSizeCriteria : public TPersistent {
public:
    void Assign(const TSizeCriteria& source) { *this = source; }

    uint32_t Min = 0;  // bytes, inclusive; 0 = no bound
    uint32_t Max = 0;
};

class TContentCriteria : public TPersistent {
public:
    void Assign(const TContentCriteria& source) { *this = source; }

    const std::string& Phrase() const { return FPhrase; }
    void SetPhrase(const std::string& value);
    bool IgnoreCase() const { return FIgnoreCase; }
    void SetIgnoreCase(bool value);
    // The phrase as the search compares it: lower-cased when IgnoreCase.
    const std::string& TargetPhrase() const { return FTargetPhrase; }
    int PhraseLen() const { return static_cast<int>(FPhrase.size()); }

private:
    void PrepareTarget();
    std::string FPhrase;
    bool FIgnoreCase = true;
    std::string FTargetPhrase;
};

class TSearchCriteria : public TPersistent {
public:
    void Assign(const TSearchCriteria& source) { *this = source; }

    TFileCriteria& Files() { return FFiles; }
    void SetFiles(const TFileCriteria& value) { FFiles.Assign(value); }
    TAttributeCriteria& Attribute() { return FAttribute; }
    void SetAttribute(const TAttributeCriteria& value) { FAttribute.Assign(value); }
    TDateTimeCriteria& TimeStamp() { return FTimeStamp; }
    void SetTimeStamp(const TDateTimeCriteria& value) { FTimeStamp.Assign(value); }
    TSizeCriteria& Size() { return FSize; }
    void SetSize(const TSizeCriteria& value) { FSize.Assign(value); }
    TContentCriteria& Content() { return FContent; }
    void SetContent(const TContentCriteria& value) { FContent.Assign(value); }

private:
    TFileCriteria FFiles;
    TAttributeCriteria FAttribute;
    TDateTimeCriteria FTimeStamp;
    TSizeCriteria FSize;
    TContentCriteria FContent;
};

enum TFolderIgnore {
    fiNone = 0,               // report the folder's files and descend
    fiJustThis = 1,           // skip the folder's files, still descend
    fiJustSubfolders = 2,     // report the folder's files, do not descend
    fiThisAndSubfolders = 3,  // neither
};

struct TTargetFolder {
    std::string Folder;  // absolute, ending in a separator
    bool Subfolders = false;
    TStringList FileMasks;
    uint16_t MinLevel = 0;
    uint16_t MaxLevel = 0;
};

class TTargetFolderList {
public:
    // The folder made absolute and ended by a separator; a folder already listed (compared
    // without case) is returned, else a new one is put at the front.
    TTargetFolder& AddFolder(const std::string& path);
    int Count() const { return static_cast<int>(FFolders.size()); }
    TTargetFolder& Items(int index) { return *FFolders.at(static_cast<size_t>(index)); }
    // Whether an entry of ExcludedFiles matches the file name in folder (ending in a separator).
    bool IsExcluded(const std::string& folder, const std::string& name) const;

    TStringList ExcludedFiles;

private:
    std::vector<std::unique_ptr<TTargetFolder>> FFolders;
};

// What one search works from, built from the criteria when it starts: later changes to the
// criteria wait for the next search.
class TTargetSearch {
public:
    explicit TTargetSearch(TSearchCriteria& criteria);
    // The tests of a found entry of folder, in order: attributes, size, dates, exclusion, content.
    bool Matches(const std::string& folder, const TFileFindRecord& entry) const;

    TTargetFolderList TargetFolders;
    TAttributeCriteria Attribute;
    TDateTimeCriteria TimeStamp;
    TSizeCriteria Size;
    TContentCriteria Content;
};

class TFindFile;

class TSearchThread : public TThread {
public:
    explicit TSearchThread(TFindFile* findFile);
    ~TSearchThread() override;
    // Runs call on the GUI thread and waits for it.
    void CallSynchronized(const std::function<void()>& call) { Synchronize(call); }

protected:
    void Execute() override;

private:
    TFindFile* FFindFile;
};

using TFileMatchEvent = std::function<void(TObject* Sender, const std::string& Folder, const TFileFindRecord& FileInfo)>;
using TFolderChangeEvent = std::function<void(TObject* Sender, const std::string& Folder, TFolderIgnore& IgnoreFolder)>;

class TFindFile : public TComponent {
public:
    explicit TFindFile(TComponent* owner = nullptr);
    // While a threaded search runs: aborts it and serves its synchronised calls until its
    // finish has run.
    ~TFindFile() override;

    // Does nothing while a search runs.
    void Execute();
    void Abort();

    TSearchCriteria& Criteria() { return FCriteria; }
    void SetCriteria(const TSearchCriteria& value) { FCriteria.Assign(value); }
    bool Busy() const { return FBusy.load(); }
    bool Aborted() const { return FAborted.load(); }
    uint16_t Level() const { return FLevel.load(); }

    bool Threaded = false;
    TThreadPriority ThreadPriority = tpNormal;
    TFileMatchEvent OnFileMatch;
    TFolderChangeEvent OnFolderChange;
    TNotifyEvent OnSearchBegin;
    TNotifyEvent OnSearchFinish;
    TNotifyEvent OnSearchAbort;

protected:
    virtual void DoSearchBegin();
    virtual void DoSearchFinish();
    virtual void DoSearchAbort();
    virtual TFolderIgnore DoFolderChange(const std::string& Folder);
    virtual void DoFileMatch(const std::string& Folder, const TFileFindRecord& FileInfo);

private:
    friend class TSearchThread;
    // The walk, on the search thread (thread set) or in the caller's thread.
    void WalkTargets(TSearchThread* thread);
    void WalkFolder(const std::string& folder, const TTargetFolder& target, TSearchThread* thread);
    bool StopRequested(TSearchThread* thread) const;
    void OnGuiThread(TSearchThread* thread, const std::function<void()>& call);
    void Finish();
    void SearchFinished(TObject* Sender);

    TSearchCriteria FCriteria;
    std::atomic<bool> FBusy{false};
    std::atomic<bool> FAborted{false};
    std::atomic<uint16_t> FLevel{0};
    bool FDestroying = false;
    std::unique_ptr<TTargetSearch> FTargetSearch;
    std::unique_ptr<TSearchThread> FSearchThread;
    // A search thread whose finish has run; it is joined before the next search or at the end.
    std::unique_ptr<TSearchThread> FEndedThread;
};

// Wildcards of the search's own tests: "?" takes one character, "*" accepts the whole rest,
// letters a-z compare without case.
bool WildcardMatch(const std::string& text, const std::string& mask);
// Base name and extension matched separately; a pattern without extension ignores the name's.
bool FileNameMatches(const std::string& name, const std::string& pattern);
// Whether the file holds phrase (already lower-cased when ignoreCase); a read error is no match.
bool FileContainsPhrase(const std::string& path, const std::string& phrase, int phraseLen, bool ignoreCase);
