// Graph utilities on real Wine graphs.
#include "engine/MyDSUtils.h"

#include "engine/CommonUnit.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WavWriter.h"
#include "tests/support/WineGraph.h"

#include <gtest/gtest.h>

using namespace pvltest;

namespace {

ComPtr<IPin> OutputPinOf(IBaseFilter* filter)
{
    return FindPin(filter, PINDIR_OUTPUT);
}

ComPtr<IBaseFilter> AddSource(IGraphBuilder* graph, const std::string& fileName)
{
    ComPtr<IBaseFilter> source;
    EXPECT_EQ(graph->AddSourceFilter(AnsiToWide(fileName).c_str(), L"source", &source), S_OK) << fileName;
    return source;
}

}  // namespace

TEST(MyDSUtils, FriendlyNameOfTheDefaultSoundDevice)
{
    TComInit com;
    ComPtr<IBaseFilter> filter;
    WideString name = L"stale";
    EXPECT_EQ(GetFriendlyNameFromDisplayName(DefaultAudioRender, filter, name), S_OK);
    EXPECT_EQ(name, L"Default DirectSound Device");
    ASSERT_TRUE(filter);
    CLSID id{};
    filter->GetClassID(&id);
    EXPECT_EQ(id, CLSID_DSoundRender);
}

TEST(MyDSUtils, AMissingDeviceGivesNoFilterAndANameOnlyWhenTheNameParses)
{
    TComInit com;
    ComPtr<IBaseFilter> filter;
    WideString name = L"stale";
    EXPECT_TRUE(FAILED(GetFriendlyNameFromDisplayName(L"not a moniker", filter, name)));
    EXPECT_FALSE(filter);
    EXPECT_TRUE(name.empty());
    // A device name of the right form whose device is not there: no filter, no readable name.
    EXPECT_TRUE(FAILED(GetFriendlyNameFromDisplayName(
        L"@device:cm:{E0F158E1-CB04-11D0-BD4E-00A0C911CE86}\\No Such Device", filter, name)));
    EXPECT_FALSE(filter);
    EXPECT_EQ(name, L"Unknown");
}

TEST(MyDSUtils, CanCreateFilterTellsRegisteredClassesFromOthers)
{
    TComInit com;
    const std::pair<CLSID, bool> cases[] = {
        {CLSID_DSoundRender, true},
        {CLSID_AviSplitter, true},
        {CLSID_VideoRenderer, true},
        {CLSID_OverlayMixer, false},
        {GUID_NULL, false},
        {CLSID_FilterGraph, false},  // creatable, but no filter
    };
    for (const auto& [id, creatable] : cases)
        EXPECT_EQ(CanCreateFilter(id), creatable);
}

TEST(MyDSUtils, IsPinConnectedReportsThePinsOwnAnswer)
{
    TComInit com;
    auto graph = NewGraph();
    TTempDir dir;
    WriteWav(dir.File("x.wav"), TWavSpec{.Seconds = 0.2}, Sine(440, 0.2, 44100));
    auto source = AddSource(graph.Get(), dir.File("x.wav"));
    ComPtr<IPin> out = OutputPinOf(source.Get());
    EXPECT_EQ(IsPinConnected(nullptr), E_POINTER);
    EXPECT_EQ(IsPinConnected(out.Get()), VFW_E_NOT_CONNECTED);
    ASSERT_EQ(graph->Render(out.Get()), S_OK);
    EXPECT_EQ(IsPinConnected(out.Get()), S_OK);
}

TEST(MyDSUtils, GetPinMediaTypeGivesTheFirstTypeOrAFailure)
{
    TComInit com;
    auto graph = NewGraph();
    auto source = AddSource(graph.Get(), FixturePath("mpeg4_mp3.avi"));
    TMediaTypePtr type;
    EXPECT_EQ(GetPinMediaType(nullptr, type), E_FAIL);
    EXPECT_FALSE(type);
    ASSERT_EQ(GetPinMediaType(OutputPinOf(source.Get()).Get(), type), S_OK);
    ASSERT_TRUE(type);
    EXPECT_EQ(type->majortype, MEDIATYPE_Stream);
    EXPECT_EQ(type->subtype, MEDIASUBTYPE_Avi);
}

TEST(MyDSUtils, RemoveAllFiltersEmptiesARenderedGraph)
{
    TComInit com;
    EXPECT_EQ(RemoveAllFilters(nullptr), S_OK);
    auto graph = NewGraph();
    ASSERT_TRUE(SUCCEEDED(graph->RenderFile(AnsiToWide(FixturePath("mpeg4_mp3.avi")).c_str(), nullptr)));
    ASSERT_FALSE(FilterNames(graph.Get()).empty());
    EXPECT_EQ(RemoveAllFilters(graph.Get()), S_OK);
    EXPECT_EQ(FilterNames(graph.Get()), L"");
}

TEST(MyDSUtils, RemoveGraphFromRotRevokesARegistration)
{
    TComInit com;
    auto graph = NewGraph();
    ComPtr<IRunningObjectTable> table;
    ASSERT_EQ(GetRunningObjectTable(0, &table), S_OK);
    ComPtr<IMoniker> moniker;
    ASSERT_EQ(CreateItemMoniker(L"!", L"PvlTestGraph", &moniker), S_OK);
    DWORD cookie = 0;
    ASSERT_TRUE(SUCCEEDED(table->Register(ROTFLAGS_REGISTRATIONKEEPSALIVE, graph.Get(), moniker.Get(), &cookie)));
    EXPECT_EQ(RemoveGraphFromRot(cookie), S_OK);
    EXPECT_TRUE(FAILED(RemoveGraphFromRot(cookie)));
}

TEST(MyDSUtils, ConnectMatchingSplitterFindsTheSplitterOfAStream)
{
    TComInit com;
    const std::pair<const char*, const wchar_t*> cases[] = {
        {"mpeg4_mp3.avi", L"AVI Splitter"},
        {"tone.mp3", L"MPEG-I Stream Splitter"},
    };
    for (const auto& [file, splitterName] : cases) {
        auto graph = NewGraph();
        auto source = AddSource(graph.Get(), FixturePath(file));
        ComPtr<IBaseFilter> splitter;
        EXPECT_TRUE(SUCCEEDED(ConnectMatchingSplitter(graph.Get(), OutputPinOf(source.Get()).Get(), splitter))) << file;
        ASSERT_TRUE(splitter) << file;
        EXPECT_EQ(IsPinConnected(OutputPinOf(source.Get()).Get()), S_OK);
        EXPECT_EQ(FilterNames(graph.Get()), std::wstring(splitterName) + L", source") << file;
        EXPECT_TRUE(OutputPinOf(splitter.Get()));
    }
}

TEST(MyDSUtils, ConnectMatchingSplitterWithoutTakerLeavesTheGraphAsItWas)
{
    TComInit com;
    TTempDir dir;
    std::vector<uint8_t> noise(4096);
    for (size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<uint8_t>(i * 7919 >> 3);
    WriteAll(dir.File("noise.bin"), noise);
    auto graph = NewGraph();
    auto source = AddSource(graph.Get(), dir.File("noise.bin"));
    ComPtr<IBaseFilter> splitter;
    ConnectMatchingSplitter(graph.Get(), OutputPinOf(source.Get()).Get(), splitter);
    EXPECT_FALSE(splitter);
    EXPECT_EQ(FilterNames(graph.Get()), L"source");
    EXPECT_EQ(IsPinConnected(OutputPinOf(source.Get()).Get()), VFW_E_NOT_CONNECTED);
    EXPECT_EQ(ConnectMatchingSplitter(nullptr, nullptr, splitter), E_POINTER);
}

TEST(MyDSUtils, AddMPEG1SplitterConnectsAnMpegAudioStream)
{
    TComInit com;
    auto graph = NewGraph();
    auto source = AddSource(graph.Get(), FixturePath("tone.mp3"));
    ComPtr<IBaseFilter> splitter;
    ASSERT_EQ(AddMPEG1Splitter(graph.Get(), OutputPinOf(source.Get()).Get(), splitter), S_OK);
    ASSERT_TRUE(splitter);
    EXPECT_EQ(FilterNames(graph.Get()), L"MPEG I Stream Splitter, source");
    TMediaTypePtr type;
    ASSERT_EQ(GetPinMediaType(OutputPinOf(splitter.Get()).Get(), type), S_OK);
    EXPECT_EQ(type->majortype, MEDIATYPE_Audio);
}

TEST(MyDSUtils, AddMPEG1SplitterThatCannotConnectLeavesNoFilterBehind)
{
    TComInit com;
    auto graph = NewGraph();
    auto source = AddSource(graph.Get(), FixturePath("mpeg4_mp3.avi"));
    ComPtr<IBaseFilter> splitter;
    EXPECT_TRUE(FAILED(AddMPEG1Splitter(graph.Get(), OutputPinOf(source.Get()).Get(), splitter)));
    EXPECT_FALSE(splitter);
    EXPECT_EQ(FilterNames(graph.Get()), L"source");
}

TEST(MyDSUtils, FindAC3SpdifPinFindsTheInputThatTakesAc3OverSpdif)
{
    TComInit com;
    ComPtr<IPin> pin;
    EXPECT_EQ(FindAC3SpdifPin(nullptr, pin), E_FAIL);
    ComPtr<IBaseFilter> splitter;
    ASSERT_EQ(CoCreateInstance(CLSID_AviSplitter, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&splitter)), S_OK);
    EXPECT_EQ(FindAC3SpdifPin(splitter.Get(), pin), E_FAIL);  // its input takes streams, not audio
    EXPECT_FALSE(pin);
    ComPtr<IBaseFilter> sound;
    ASSERT_EQ(CoCreateInstance(CLSID_DSoundRender, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&sound)), S_OK);
    // This platform's DirectSound renderer takes the S/PDIF format.
    ASSERT_EQ(FindAC3SpdifPin(sound.Get(), pin), S_OK);
    ASSERT_TRUE(pin);
    PIN_DIRECTION direction;
    pin->QueryDirection(&direction);
    EXPECT_EQ(direction, PINDIR_INPUT);
}
