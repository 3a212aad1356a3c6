// The graph build: a file or address becomes a connected graph, by hand and in a fixed order,
// with the system's sound processor between the chosen audio stream and the audio renderer.
#include "engine/CommonUnit.h"

#include "DSFilters/PvlEqCore.h"
#include "engine/AC3Speakers.h"
#include "engine/AudioSwitching.h"
#include "engine/GraphBuildCore.h"
#include "engine/LocaleNames.h"
#include "engine/MyDSUtils.h"
#include "engine/StreamDescriptions.h"

#include <oleauto.h>

#include <algorithm>
#include <iterator>
#include <memory>

namespace {

// The platform's MPEG Layer-3 audio decoder.
const CLSID CLSID_MP3Decoder = {0x38BE3000, 0xDBF4, 0x11D0, {0x86, 0x0E, 0x00, 0xA0, 0x24, 0xCF, 0xEF, 0x6D}};
// The colour controls some decoders offer.
const IID IID_DecoderColorControl = {0xD132EE97, 0x3E38, 0x4030, {0x8B, 0x17, 0x59, 0x16, 0x3B, 0x30, 0xA1, 0xF5}};
// Network sources' interfaces (dual interfaces; their properties are set by name).
const IID IID_IAMNetShowConfig = {0xFA2AA8F1, 0x8B62, 0x11D0, {0xA5, 0x20, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}};
const IID IID_IAMNetShowExProps = {0xFA2AA8F5, 0x8B62, 0x11D0, {0xA5, 0x20, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}};

constexpr LCTYPE LanguageNameInfo = 2;  // the language's localised name
constexpr DWORD StreamGroupChapters = static_cast<DWORD>(-16);

// The filter's pins of one direction, in enumeration order.
HRESULT ListPins(IBaseFilter* filter, PIN_DIRECTION wanted, std::vector<ComPtr<IPin>>& pins)
{
    pins.clear();
    ComPtr<IEnumPins> each;
    HRESULT hr = filter->EnumPins(&each);
    if (FAILED(hr))
        return hr;
    ComPtr<IPin> pin;
    while (each->Next(1, pin.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
        PIN_DIRECTION direction;
        hr = pin->QueryDirection(&direction);
        if (FAILED(hr))
            return hr;
        if (direction == wanted)
            pins.push_back(pin);
    }
    return S_OK;
}

// A property of a dual interface set by its name; the result is not needed.
void PutProperty(IDispatch* object, const wchar_t* name, VARIANT value)
{
    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)))
        return;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &named, 1, 1};
    object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
}

VARIANT TypedVariant(VARTYPE type)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = type;
    return v;
}

VARIANT Variant(bool value)
{
    VARIANT v = TypedVariant(VT_BOOL);
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

VARIANT Variant(long value)
{
    VARIANT v = TypedVariant(VT_I4);
    v.lVal = value;
    return v;
}

VARIANT Variant(double value)
{
    VARIANT v = TypedVariant(VT_R8);
    v.dblVal = value;
    return v;
}

// A media subtype of the FourCC form.
constexpr GUID FourCCSubtype(uint32_t fourCC)
{
    return {fourCC, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
}

// True when a pin's stream is of a type renderers do not take as it is (a failed pin of that
// kind lacked a decoder); a pin that could not be rendered for other reasons is not retried.
bool NeedsDecoder(IPin* pin)
{
    static const GUID plain[] = {
        MEDIASUBTYPE_PCM, MEDIASUBTYPE_IEEE_FLOAT, MEDIASUBTYPE_RGB1, MEDIASUBTYPE_RGB4, MEDIASUBTYPE_RGB8, MEDIASUBTYPE_RGB555,
        MEDIASUBTYPE_RGB565, MEDIASUBTYPE_RGB24, MEDIASUBTYPE_RGB32, MEDIASUBTYPE_ARGB32, MEDIASUBTYPE_YUY2, MEDIASUBTYPE_UYVY,
        MEDIASUBTYPE_YVYU, MEDIASUBTYPE_YV12, MEDIASUBTYPE_IYUV, MEDIASUBTYPE_NV12, MEDIASUBTYPE_AYUV,
        FourCCSubtype(0x30323449),  // I420
    };
    TMediaTypePtr type;
    if (FAILED(GetPinMediaType(pin, type)))
        return true;
    return std::find(std::begin(plain), std::end(plain), type->subtype) == std::end(plain);
}

// A stream name from the ".mss" file: "0x" and four hexadecimal digits name a locale.
std::string AudioStreamName(const std::string& name)
{
    uint32_t locale = 0;
    return MssLocaleName(name, locale) ? GetLocaleString(locale, LanguageNameInfo) : name;
}

}  // namespace

HRESULT TCommonModule::Renderfile(const WideString& FileName)
{
    ClosePlayingFile();
    TBuildAttempt first;
    const HRESULT firstResult = BuildGraph(FileName, first);
    if (!first.Ended || !WantsSecondAttempt(first.Counts, first.StreamType != nullptr))
        return firstResult;
    // Streams left without a decoder: once more from the start with a splitter registered for
    // any byte stream (such a splitter decodes too), when there is one.
    std::vector<std::string> others;
    const std::vector<std::string> skip{first.SplitterKey};
    if (FAILED(FindWildcardRegisteredSplitters(*first.StreamType, skip, others)) || others.empty())
        return firstResult;
    FlushGraph();
    TBuildAttempt second;
    second.Search = TSplitterSearch::WildcardRegistered;
    second.Skip = skip;
    const HRESULT secondResult = BuildGraph(FileName, second);
    if (second.Ended && KeepSecondAttempt(first.Counts, second.Counts))
        return secondResult;
    FlushGraph();
    TBuildAttempt again;
    return BuildGraph(FileName, again);
}

HRESULT TCommonModule::BuildGraph(const WideString& FileName, TBuildAttempt& attempt)
{
    // 1. Reset (the previous file is closed by now).
    NetShowConfig.Reset();
    NetworkStatus.Reset();
    NetShowExProps.Reset();
    DecoderColorControl.Reset();
    FailedVideo = 0;
    FailedAudio = 0;
    UndecodedPins = 0;
    int defaultStream = -1;
    const std::string movieFile = WideToAnsi(FileName);

    // 2. Graph.
    HRESULT hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&Graph));
    if (FAILED(hr))
        return hr;
    Graph.As(&GraphConfig);
    if (SUCCEEDED(Graph.As(&GraphSite)))
        GraphSite->SetSite(GraphBuilderCallback.Get());

    // 3. Events.
    hr = Graph.As(&MediaEvent);
    if (FAILED(hr))
        return hr;
    const HWND window = Services.ControlForm ? Services.ControlForm->Handle() : nullptr;
    MediaEvent->SetNotifyWindow(reinterpret_cast<OAHWND>(window), WM_PLAYEVENT, reinterpret_cast<LONG_PTR>(MediaEvent.Get()));

    // 4. Source.
    ComPtr<IBaseFilter> source;
    hr = Graph->AddSourceFilter(FileName.c_str(), FileName.c_str(), &source);
    if (FAILED(hr))
        return hr;
    source->QueryInterface(IID_IAMNetShowConfig, reinterpret_cast<void**>(NetShowConfig.ReleaseAndGetAddressOf()));
    source.As(&NetworkStatus);
    source->QueryInterface(IID_IAMNetShowExProps, reinterpret_cast<void**>(NetShowExProps.ReleaseAndGetAddressOf()));

    // 5. Network settings.
    if (NetShowConfig) {
        IDispatch* config = NetShowConfig.Get();
        if (BufferMode == 1)
            PutProperty(config, L"BufferingTime", Variant(static_cast<double>(BufferSecs)));
        PutProperty(config, L"UseFixedUDPPort", Variant(UDPFixedPort));
        PutProperty(config, L"FixedUDPPort", Variant(static_cast<long>(UDPPort)));
        PutProperty(config, L"UseHTTPProxy", Variant(HTTPProxyMode == 2));
        PutProperty(config, L"EnableAutoProxy", Variant(HTTPProxyMode == 1));
        VARIANT host = TypedVariant(VT_BSTR);
        host.bstrVal = SysAllocString(HTTPProxyName.c_str());
        PutProperty(config, L"HTTPProxyHost", host);
        VariantClear(&host);
        PutProperty(config, L"HTTPProxyPort", Variant(static_cast<long>(HTTPProxyPort)));
        PutProperty(config, L"EnableMulticast", Variant(Multicast));
        PutProperty(config, L"EnableUDP", Variant(UDP));
        PutProperty(config, L"EnableTCP", Variant(TCP));
        PutProperty(config, L"EnableHTTP", Variant(HTTP));
    }

    // 6. Stream pin: the last output pin that offers a byte stream.
    std::vector<ComPtr<IPin>> outputs;
    hr = ListPins(source.Get(), PINDIR_OUTPUT, outputs);
    if (FAILED(hr))
        return hr;
    ComPtr<IPin> streamPin;
    for (const ComPtr<IPin>& pin : outputs) {
        TMediaTypePtr type;
        if (SUCCEEDED(GetPinMediaType(pin.Get(), type)) && type->majortype == MEDIATYPE_Stream)
            streamPin = pin;
    }

    // 7. Filter cache: decoders the graph may use when a later connection needs one.
    if (GraphConfig) {
        if (AC3Filter1 && AC3Filter1->IsFilterPresent()) {
            const TAC3Speakers speakers = AC3SpeakersForSettings(SpeakerType, PerfereSPDIF);
            AC3Filter1->Output().SetSpeakers(std::make_unique<TAC3Speakers>(speakers));
            if (FAILED(GraphConfig->AddFilterToCache(AC3Filter1->Filter())) && Services.ShowMessage)
                Services.ShowMessage("Failed to add AC3 Filter to Graph Cache");
        }
        if (CanCreateFilter(CLSID_MP3Decoder)) {
            ComPtr<IBaseFilter> decoder;
            if (SUCCEEDED(CoCreateInstance(CLSID_MP3Decoder, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&decoder))))
                GraphConfig->AddFilterToCache(decoder.Get());
        }
    }

    // 8. Splitter, by the stream's type.
    ComPtr<IBaseFilter> splitter;
    if (!streamPin) {
        splitter = source;
    } else {
        TMediaTypePtr& type = attempt.StreamType;
        if (SUCCEEDED(GetPinMediaType(streamPin.Get(), type)) && attempt.Search == TSplitterSearch::ExactThenWildcard) {
            if (type->subtype == MEDIASUBTYPE_MPEG1Audio)
                AddMPEG1Splitter(Graph.Get(), streamPin.Get(), splitter);
            else if (type->subtype == MEDIASUBTYPE_MPEG2_PROGRAM)
                AddPerferedMPEG2Splitter(streamPin.Get(), splitter);
        }
        if (!splitter &&
            (FAILED(ConnectMatchingSplitter(Graph.Get(), streamPin.Get(), splitter, attempt.Search, attempt.Skip)) || !splitter))
            return VFW_E_UNSUPPORTED_STREAM;
        attempt.SplitterKey = FilterKey(splitter.Get());
    }

    // 9. Stream selection.
    ComPtr<IBaseFilter> streamSelectFilter;
    if (ComPtr<IAMStreamSelect> select; SUCCEEDED(splitter.As(&select)))
        streamSelectFilter = splitter;

    // 10. Output pins.
    hr = ClassifyOutputPins(splitter.Get(), true);
    if (FAILED(hr))
        return hr;

    // 11. Video: the first video pin only.
    if (!VideoPins.empty())
        RenderFirstVideoPin(movieFile);

    // 12. ".mss" side file.
    TMssNames mss;
    if (AudioPins.size() > 1) {
        mss = ReadMssFile(ChangeFileExt(movieFile, ".mss"));
        defaultStream = mss.DefaultStream;
    }

    if (!AudioPins.empty()) {
        // 13. Audio renderer.
        ComPtr<IPin> rendererInput;
        hr = AddAudioRenderer(rendererInput);
        if (FAILED(hr))
            return hr;
        // 14. Probe every audio stream against the renderer.
        ProbeAudioPins(mss.Names);
        // 15. Choice.
        std::vector<int32_t> states;
        for (const TPinItem& item : AudioPins)
            states.push_back(item.State);
        const int chosen = ChooseAudioPin(states, defaultStream);
        if (chosen >= 0) {
            // 16.-17. Sound processor and surround effect.
            hr = BuildAudioChain(AudioPins[static_cast<size_t>(chosen)].Pin.Get(), rendererInput.Get());
            if (FAILED(hr))
                return hr;
        }
    }

    // 18. One stream offers no choice.
    if (AudioStreams.size() < 2)
        AudioStreams.clear();

    // 19. Seeking, volume and a decoder's colour controls.
    hr = Graph.As(&MediaSeeking);
    if (FAILED(hr))
        return hr;
    Graph.As(&BasicAudio);
    ComPtr<IEnumFilters> filters;
    hr = Graph->EnumFilters(&filters);
    if (FAILED(hr))
        return hr;
    ComPtr<IBaseFilter> filter;
    while (!DecoderColorControl && filters->Next(1, filter.ReleaseAndGetAddressOf(), nullptr) == S_OK)
        filter->QueryInterface(IID_DecoderColorControl, reinterpret_cast<void**>(DecoderColorControl.ReleaseAndGetAddressOf()));

    // 20. Streams the splitter offers for selection.
    if (streamSelectFilter)
        ReadStreamSelect(streamSelectFilter.Get());

    // 21.
    PlayingFileName = movieFile;
    MediaID = GenIDString();

    // 22.
    TRenderCounts& counts = attempt.Counts;
    counts = {static_cast<int>(VideoPins.size()), FailedVideo, static_cast<int>(AudioPins.size()), FailedAudio, 0, UndecodedPins};
    for (const auto* pins : {&VideoPins, &AudioPins})
        for (const TPinItem& item : *pins)
            counts.Rendered += item.State == pinRenders ? 1 : 0;
    attempt.Ended = true;
    return RenderResult(counts);
}

HRESULT TCommonModule::ClassifyOutputPins(IBaseFilter* splitter, bool followSplitters)
{
    std::vector<ComPtr<IPin>> outputs;
    const HRESULT hr = ListPins(splitter, PINDIR_OUTPUT, outputs);
    if (FAILED(hr))
        return hr;
    for (const ComPtr<IPin>& pin : outputs) {
        TMediaTypePtr type;
        const bool typed = SUCCEEDED(GetPinMediaType(pin.Get(), type));
        if (typed && IsVideoMediaType(type.get())) {
            VideoPins.push_back({pin, pinUntested});
        } else if (typed && IsAudioMediaType(type.get())) {
            AudioPins.push_back({pin, pinUntested});
        } else if (!typed && followSplitters) {
            ++UndecodedPins;  // a stream this splitter cannot even describe
        } else if (followSplitters) {
            // One level deep: a stream inside a stream (a system stream in a container).
            ComPtr<IBaseFilter> further;
            if (SUCCEEDED(ConnectMatchingSplitter(Graph.Get(), pin.Get(), further)) && further)
                ClassifyOutputPins(further.Get(), false);
        }
    }
    return S_OK;
}

HRESULT TCommonModule::ConnectToPreferredRenderer(IPin* pin)
{
    if (!Services.VideoForm)
        return E_POINTER;
    std::vector<TVideoRenderItem*> renderers;
    for (int i = 0; i < PreferredRenderers.Count(); ++i)
        if (auto* item = dynamic_cast<TVideoRenderItem*>(PreferredRenderers.Objects(i)))
            renderers.push_back(item);
    Services.VideoForm->SetPreferredRenderers(renderers);
    return Services.VideoForm->ConnectPreferredRenderer(Graph.Get(), pin);
}

void TCommonModule::RenderFirstVideoPin(const std::string& movieFile)
{
    TPinItem& video = VideoPins.front();
    std::string subtitleFile;
    if (DirectVobSub1 && DirectVobSub1->IsFilterPresent() && SearchSubtitles(movieFile, subtitleFile) &&
        SUCCEEDED(Graph->AddFilter(DirectVobSub1->Filter(), L"DirectVobSub Filter"))) {
        DirectVobSub1->SetPreBuffering(true);
        DirectVobSub1->SetFilename(AnsiToWide(subtitleFile));
        if (SUCCEEDED(Graph->Connect(video.Pin.Get(), DirectVobSub1->InputPin()))) {
            if (SUCCEEDED(ConnectToPreferredRenderer(DirectVobSub1->OutputPin()))) {
                video.State = pinRenders;
                return;
            }
            if (Services.ShowMessage)
                Services.ShowMessage("Error Connection DirectVobsub Output pin to Video render");
        }
        // Without its subtitles the video still plays: straight to the renderer.
        DirectVobSub1->RemoveFilterFromGraph();
        DisconnectPair(Graph.Get(), video.Pin.Get());
    }
    if (SUCCEEDED(ConnectToPreferredRenderer(video.Pin.Get()))) {
        video.State = pinRenders;
    } else {
        ++FailedVideo;
        video.State = pinFailed;
        UndecodedPins += NeedsDecoder(video.Pin.Get()) ? 1 : 0;
    }
}

HRESULT TCommonModule::AddAudioRenderer(ComPtr<IPin>& rendererInput)
{
    ComPtr<IBaseFilter> renderer;
    WideString friendlyName;
    HRESULT hr = GetFriendlyNameFromDisplayName(AudioRender, renderer, friendlyName);
    // A device that has gone (or a damaged setting) falls back to the default one.
    if (!renderer && AudioRender != DefaultAudioRender)
        hr = GetFriendlyNameFromDisplayName(DefaultAudioRender, renderer, friendlyName);
    if (!renderer)
        return FAILED(hr) ? hr : E_POINTER;
    hr = Graph->AddFilter(renderer.Get(), L"Selected AudioRender");
    if (FAILED(hr))
        return hr;
    AudioRenderer = renderer;
    std::vector<ComPtr<IPin>> inputs;
    hr = ListPins(renderer.Get(), PINDIR_INPUT, inputs);
    if (FAILED(hr))
        return hr;
    if (inputs.empty())
        return E_FAIL;
    rendererInput = inputs.front();
    AudioChainInput = rendererInput;
    return S_OK;
}

void TCommonModule::ProbeAudioPins(const std::vector<std::string>& names)
{
    for (size_t i = AudioPins.size(); i-- > 0;) {
        TPinItem& item = AudioPins[i];
        if (SUCCEEDED(Graph->Connect(item.Pin.Get(), AudioChainInput.Get()))) {
            item.State = pinRenders;
            TStreamInfo stream;
            stream.Index = static_cast<int32_t>(i);
            if (i < names.size())
                stream.Name = AudioStreamName(names[i]);
            AudioStreams.insert(AudioStreams.begin(), std::move(stream));
        } else {
            ++FailedAudio;
            item.State = pinFailed;
            UndecodedPins += NeedsDecoder(item.Pin.Get()) ? 1 : 0;
        }
        DisconnectPair(Graph.Get(), item.Pin.Get());
        DisconnectPair(Graph.Get(), AudioChainInput.Get());
    }
}

HRESULT TCommonModule::BuildAudioChain(IPin* chosen, IPin* rendererInput)
{
    // 16. Sound processor.
    if (!PvlSprocessor || !PvlSprocessor->Filter())
        return E_POINTER;
    HRESULT hr = Graph->AddFilter(PvlSprocessor->Filter(), L"Parvolux Sound Processor Filter");
    if (FAILED(hr))
        return hr;
    hr = Graph->Connect(chosen, PvlSprocessor->InputPin());
    if (FAILED(hr))
        return hr;
    AudioChainInput = PvlSprocessor->InputPin();
    hr = Graph->Connect(PvlSprocessor->OutputPin(), rendererInput);
    if (FAILED(hr))
        return hr;

    // 17. Surround effect, in front of the processor, for plain stereo only.
    const TDSStream stream = PvlSprocessor->Stream();
    if (NoSRS || stream.Channels != 2 || stream.SPDIF || stream.DTS)
        return S_OK;
    return SpeakerType <= 2 ? AddTruSurround() : AddCircleSurround();
}

HRESULT TCommonModule::AddTruSurround()
{
    if (!SRS_TS1 || !SRS_TS1->IsFilterPresent())
        TSActive = false;
    if (TSActive && FAILED(Graph->AddFilter(SRS_TS1->Filter(), L"SRS TruSurround XT Filter")))
        TSActive = false;
    if (!TSActive)
        return S_OK;
    const ComPtr<IPin> upstream = ConnectedPeer(AudioChainInput.Get());
    if (!upstream) {
        TSActive = false;
        return S_OK;
    }
    TSActive = SpliceEffect(Graph.Get(), SRS_TS1->InputPin(), SRS_TS1->OutputPin(), AudioChainInput.Get()) == S_OK;
    if (TSActive) {
        SRS_TS1->ApplyCachedSettings();
        return S_OK;
    }
    // Refused: the stream plays through the processor without the effect.
    if (ConnectedPeer(AudioChainInput.Get()) == upstream)
        return S_OK;
    DisconnectPair(Graph.Get(), upstream.Get());
    DisconnectPair(Graph.Get(), SRS_TS1->InputPin());
    DisconnectPair(Graph.Get(), SRS_TS1->OutputPin());
    DisconnectPair(Graph.Get(), AudioChainInput.Get());
    return Graph->ConnectDirect(upstream.Get(), AudioChainInput.Get(), nullptr);
}

HRESULT TCommonModule::AddCircleSurround()
{
    if (!SRS_CS1 || !SRS_CS1->IsFilterPresent())
        CSActive = false;
    if (CSActive && FAILED(Graph->AddFilter(SRS_CS1->Filter(), L"SRS CircleSurround II Filter")))
        CSActive = false;
    const ComPtr<IPin> upstream = ConnectedPeer(AudioChainInput.Get());
    if (!CSActive || !upstream)
        return S_OK;
    if (SUCCEEDED(SRS_CS1->InsertFilterIntoAudioChain(upstream.Get(), AudioChainInput.Get())))
        return S_OK;
    // Refused like TruSurround: the effect stays out and the open goes on.
    CSActive = false;
    if (ConnectedPeer(AudioChainInput.Get()) == upstream)
        return S_OK;
    DisconnectPair(Graph.Get(), upstream.Get());
    DisconnectPair(Graph.Get(), AudioChainInput.Get());
    return Graph->ConnectDirect(upstream.Get(), AudioChainInput.Get(), nullptr);
}

void TCommonModule::ReadStreamSelect(IBaseFilter* filter)
{
    ComPtr<IAMStreamSelect> select;
    DWORD count = 0;
    if (FAILED(filter->QueryInterface(IID_PPV_ARGS(&select))) || FAILED(select->Count(&count)) || count <= 1)
        return;
    for (DWORD i = 0; i < count; ++i) {
        AM_MEDIA_TYPE* type = nullptr;
        LCID locale = 0;
        DWORD group = 0;
        WCHAR* name = nullptr;
        if (FAILED(select->Info(static_cast<LONG>(i), &type, nullptr, &locale, &group, &name, nullptr, nullptr)))
            continue;
        const TMediaTypePtr owned(type);
        const std::string ownName = name ? WideToAnsi(name) : std::string();
        if (name)
            CoTaskMemFree(name);
        if (owned && IsAudioMediaType(owned.get()))
            AudioStreams.push_back({filter, static_cast<int32_t>(i), locale != 0 ? GetLocaleString(locale, LanguageNameInfo) : ownName});
        else if (owned && IsVideoMediaType(owned.get()) && group == StreamGroupChapters)
            ChapterStreams.push_back({filter, static_cast<int32_t>(i), ownName});
    }
}
