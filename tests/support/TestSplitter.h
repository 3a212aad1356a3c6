#pragma once
// Splitters for tests of the splitter searches: registered with the filter mapper and this
// thread's COM for the life of an object, taking a test byte stream that the file source
// recognises by its first bytes, with output pins of given types that send nothing.
#include "dshow/BCFilter.h"
#include "tests/support/ComDoubles.h"
#include "tests/support/WineGraph.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace pvltest {

// The byte stream's subtype, and the first bytes that name it ("PVLT").
extern const GUID MEDIASUBTYPE_PvlTestStream;
inline constexpr char TestStreamMagic[] = "PVLT";

// A video type no registered decoder takes, an RGB32 video type, and a type that is no
// stream at all (an output pin with it offers no media type).
TBCMediaType UndecodableVideoType();
TBCMediaType Rgb32VideoType(int width = 160, int height = 120);
TBCMediaType NoMediaType();

struct TTestSplitterSpec {
    CLSID ClassId;
    const wchar_t* Name;
    bool Wildcard = false;  // registered for any byte stream, else for the test stream's subtype only
    bool RefuseInput = false;
    std::vector<TBCMediaType> Outputs;
};

// Counts of what the graphs did with a registered splitter.
struct TSplitterUse {
    std::atomic<int> Created{0};
    std::atomic<int> ConnectAttempts{0};
};

// Registers the splitter (mapper and COM) until destroyed, at a merit just above "do not use",
// so that no other search prefers it.
class TRegisteredSplitter {
public:
    explicit TRegisteredSplitter(TTestSplitterSpec spec);
    ~TRegisteredSplitter();
    TRegisteredSplitter(const TRegisteredSplitter&) = delete;
    TRegisteredSplitter& operator=(const TRegisteredSplitter&) = delete;
    HRESULT Result() const { return FResult; }
    const TSplitterUse& Use() const { return *FUse; }
    const CLSID& ClassId() const { return FSpec.ClassId; }

private:
    TTestSplitterSpec FSpec;
    std::shared_ptr<TSplitterUse> FUse = std::make_shared<TSplitterUse>();
    std::unique_ptr<TClassRegistration> FClass;
    HRESULT FResult = E_FAIL;
};

// The file source's recognition of the test stream by its first bytes, until destroyed.
class TTestStreamType {
public:
    TTestStreamType();
    ~TTestStreamType();
    TTestStreamType(const TTestStreamType&) = delete;
    TTestStreamType& operator=(const TTestStreamType&) = delete;
    bool Registered() const { return FRegistered; }

private:
    bool FRegistered = false;
};

}  // namespace pvltest
