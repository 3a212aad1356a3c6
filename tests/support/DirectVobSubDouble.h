#pragma once
// A double of the outside subtitle filter for tests, registered in-process under both of
// its class ids: a video transform (frames pass through unchanged) with the subtitle
// control interface, which answers from a shared state and logs every call by slot. It can
// have a second input pin for subtitle streams, like the real filter.
#include "engine/DirectVobSubIntf.h"
#include "tests/support/ComDoubles.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace pvltest {

struct TSubtitleOptions {
    bool SecondInput = true;  // a subtitle input pin after the video output
    bool Output = true;       // false: a video input only
};

// What every filter one registration makes shares with the test.
struct TSubtitleState {
    TSubtitleOptions Options;
    TCallLog Calls;
    std::wstring FileName;
    std::vector<std::wstring> Languages;
    LONG SelectedLanguage = 0;
    bool HideSubtitles = false;
    bool PreBuffering = false;
    // The file-name call fills all of the caller's buffer with no terminator, as a filter
    // given a name too long for it might.
    bool FillFileNameBuffer = false;
    // The class id of the last filter made, and how many are alive.
    GUID CreatedAs = GUID_NULL;
    std::atomic<int> Instances{0};
    std::atomic<int> FramesPassed{0};
    // Texts handed out by the language-name call, still owned by the filter: the filter
    // frees them when it goes.
    std::atomic<int> NamesHandedOut{0};
    const WCHAR* LastName = nullptr;
};

// Registers the subtitle filter double for the life of the object (this thread's COM).
class TDirectVobSubDouble {
public:
    explicit TDirectVobSubDouble(TSubtitleOptions options = {});
    TSubtitleState& State() { return *FState; }
    TCallLog& Calls() { return FState->Calls; }
    HRESULT Result() const;

private:
    std::shared_ptr<TSubtitleState> FState;
    TClassRegistration FNormal;
    TClassRegistration FAutoload;
};

}  // namespace pvltest
