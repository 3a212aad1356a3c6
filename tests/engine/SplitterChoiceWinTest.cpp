// Which splitter an open keeps, on splitters this test registers for a test byte stream: the
// exact registration first, a wildcard one when no exact one connects, and a second attempt
// with a wildcard-registered splitter when streams were left without a decoder (kept only
// when it renders more). Holds on any Wine, whatever its own splitters and decoders.
#include "tests/engine/OpenFixture.h"

#include "tests/support/TestFilters.h"
#include "tests/support/TestSplitter.h"

using namespace pvltest;

namespace {

// {6B1C5A9E-2D1E-4C55-9F0A-3E2B7C1D4A11}, {6B1C5A9E-2D1E-4C55-9F0A-3E2B7C1D4A12}
const CLSID CLSID_ExactTestSplitter = {0x6b1c5a9e, 0x2d1e, 0x4c55, {0x9f, 0x0a, 0x3e, 0x2b, 0x7c, 0x1d, 0x4a, 0x11}};
const CLSID CLSID_WildcardTestSplitter = {0x6b1c5a9e, 0x2d1e, 0x4c55, {0x9f, 0x0a, 0x3e, 0x2b, 0x7c, 0x1d, 0x4a, 0x12}};

enum class TKept { None, Exact, Wildcard };

struct TSplitterCase {
    const char* Name;
    bool ExactRefuses;
    std::vector<TBCMediaType> ExactOutputs;
    bool WildcardRefuses;
    std::vector<TBCMediaType> WildcardOutputs;
    HRESULT Result;
    TKept Kept;
    int ExactConnects;      // connections the exact splitter was offered
    bool WildcardMade;      // the wildcard splitter was made at all
};

class SplitterChoiceTest : public TOpenFixture {
protected:
    std::string TestStreamFile()
    {
        const std::string file = Dir.File("stream.pvlt");
        std::string bytes(4096, '\0');
        bytes.replace(0, 4, TestStreamMagic);
        WriteAll(file, bytes);
        return file;
    }
    bool InGraph(const CLSID& id)
    {
        ComPtr<IBaseFilter> filter;
        Engine().GetFilterByGUID(id, filter);
        return filter != nullptr;
    }
    TTestStreamType StreamType;
};

TEST_F(SplitterChoiceTest, ExactThenWildcardAndTheAttemptThatRendersMore)
{
    ASSERT_TRUE(StreamType.Registered());
    const TBCMediaType undecodable = UndecodableVideoType(), rgb = Rgb32VideoType(), pcm = AudioType(44100, 2, 16);
    const TSplitterCase cases[] = {
        {"the exact splitter renders everything: no second attempt", false, {rgb, pcm}, false, {rgb, pcm}, S_OK, TKept::Exact, 1, false},
        {"video left without a decoder: the wildcard splitter renders more", false, {undecodable, pcm}, false, {rgb, pcm}, S_OK,
         TKept::Wildcard, 1, true},
        {"a pin offering no type counts as undecoded", false, {NoMediaType(), pcm}, false, {rgb, pcm}, S_OK, TKept::Wildcard, 1, true},
        {"a tie keeps the first", false, {undecodable, pcm}, false, {undecodable, pcm}, VFW_S_VIDEO_NOT_RENDERED, TKept::Exact, 2, true},
        {"a worse second attempt keeps the first", false, {undecodable, pcm}, false, {undecodable}, VFW_S_VIDEO_NOT_RENDERED,
         TKept::Exact, 2, true},
        {"the exact splitter refuses: the wildcard one, the exact one not asked again", true, {rgb, pcm}, false, {rgb, pcm}, S_OK,
         TKept::Wildcard, 1, true},
        {"nothing takes the stream", true, {rgb, pcm}, true, {rgb, pcm}, VFW_E_UNSUPPORTED_STREAM, TKept::None, 1, true},
    };
    const std::string file = TestStreamFile();
    for (const TSplitterCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TRegisteredSplitter exact({CLSID_ExactTestSplitter, L"Exact test splitter", false, c.ExactRefuses, c.ExactOutputs});
        TRegisteredSplitter wildcard({CLSID_WildcardTestSplitter, L"Wildcard test splitter", true, c.WildcardRefuses, c.WildcardOutputs});
        ASSERT_EQ(exact.Result(), S_OK);
        ASSERT_EQ(wildcard.Result(), S_OK);
        const int index = Add({file});
        TCommonModule& e = Engine();
        EXPECT_EQ(e.PlayInList(index, false), SUCCEEDED(c.Result));
        EXPECT_EQ(RenderResult.Results.back(), c.Result);
        EXPECT_EQ(InGraph(CLSID_ExactTestSplitter), c.Kept == TKept::Exact);
        EXPECT_EQ(InGraph(CLSID_WildcardTestSplitter), c.Kept == TKept::Wildcard);
        EXPECT_EQ(exact.Use().ConnectAttempts, c.ExactConnects);
        EXPECT_EQ(wildcard.Use().Created > 0, c.WildcardMade);
        if (SUCCEEDED(c.Result))
            EXPECT_TRUE(ProcessorFeedsRenderer());
        e.ClosePlayingFile();
    }
}

}  // namespace
