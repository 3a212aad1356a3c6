#include "tests/support/TestSplitter.h"

#include "framework/Registry.h"

namespace pvltest {

// {6B1C5A9E-2D1E-4C55-9F0A-3E2B7C1D4A10}
const GUID MEDIASUBTYPE_PvlTestStream = {0x6b1c5a9e, 0x2d1e, 0x4c55, {0x9f, 0x0a, 0x3e, 0x2b, 0x7c, 0x1d, 0x4a, 0x10}};

namespace {

constexpr uint32_t UndecodableFourCC = 0x584C5650;  // "PVLX"
const char* const TestStreamKey =
    "Media Type\\{E436EB83-524F-11CE-9F53-0020AF0BA770}\\{6B1C5A9E-2D1E-4C55-9F0A-3E2B7C1D4A10}";

TBCMediaType VideoType(const GUID& subtype, uint32_t compression, int width, int height, int bits)
{
    VIDEOINFOHEADER format{};
    format.AvgTimePerFrame = 400000;
    format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = static_cast<WORD>(bits);
    format.bmiHeader.biCompression = compression;
    format.bmiHeader.biSizeImage = static_cast<DWORD>(width * height * bits / 8);
    TBCMediaType type;
    type->majortype = MEDIATYPE_Video;
    type->subtype = subtype;
    type->formattype = FORMAT_VideoInfo;
    type->bFixedSizeSamples = compression == BI_RGB;
    type->lSampleSize = compression == BI_RGB ? format.bmiHeader.biSizeImage : 0;
    type.SetFormat(&format, sizeof(format));
    return type;
}

class TTestSplitter : public TBCBaseFilter {
public:
    TTestSplitter(const TTestSplitterSpec& spec, std::shared_ptr<TSplitterUse> use)
        : TBCBaseFilter(spec.Name, nullptr, spec.ClassId), FUse(std::move(use)), FInput(this, spec.RefuseInput)
    {
        ++FUse->Created;
        for (size_t i = 0; i < spec.Outputs.size(); ++i)
            FOutputs.push_back(std::make_unique<TOutput>(this, spec.Outputs[i], i));
    }
    int GetPinCount() override { return 1 + static_cast<int>(FOutputs.size()); }
    TBCBasePin* GetPin(int index) override
    {
        if (index == 0)
            return &FInput;
        return index > 0 && index <= static_cast<int>(FOutputs.size()) ? FOutputs[static_cast<size_t>(index - 1)].get() : nullptr;
    }

private:
    class TInput : public TBCBaseInputPin {
    public:
        TInput(TTestSplitter* splitter, bool refuse) : TBCBaseInputPin(splitter, L"Input"), FSplitter(splitter), FRefuse(refuse) {}
        HRESULT CheckConnect(IPin* peer) override
        {
            ++FSplitter->FUse->ConnectAttempts;
            return FRefuse ? VFW_E_TYPE_NOT_ACCEPTED : TBCBaseInputPin::CheckConnect(peer);
        }
        HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override
        {
            return type->majortype == MEDIATYPE_Stream ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
        }

    private:
        TTestSplitter* FSplitter;
        bool FRefuse;
    };

    class TOutput : public TBCBaseOutputPin {
    public:
        TOutput(TTestSplitter* splitter, const TBCMediaType& type, size_t index)
            : TBCBaseOutputPin(splitter, index == 0 ? L"Out0" : index == 1 ? L"Out1" : L"Out2"), FType(type)
        {
        }
        HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override
        {
            return !FType.Empty() && FType.Equals(*type) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
        }
        HRESULT GetMediaType(int position, TBCMediaType& type) override
        {
            if (position != 0 || FType.Empty())
                return VFW_S_NO_MORE_ITEMS;
            type = FType;
            return S_OK;
        }
        HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override
        {
            ALLOCATOR_PROPERTIES wanted{2, 160 * 120 * 4, 1, 0};
            ALLOCATOR_PROPERTIES actual{};
            return allocator->SetProperties(&wanted, &actual);
        }

    private:
        TBCMediaType FType;
    };

    std::shared_ptr<TSplitterUse> FUse;
    TInput FInput;
    std::vector<std::unique_ptr<TOutput>> FOutputs;
};

ComPtr<IFilterMapper2> Mapper()
{
    ComPtr<IFilterMapper2> mapper;
    CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&mapper));
    return mapper;
}

}  // namespace

TBCMediaType UndecodableVideoType()
{
    const GUID subtype = {UndecodableFourCC, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
    return VideoType(subtype, UndecodableFourCC, 160, 120, 24);
}

TBCMediaType Rgb32VideoType(int width, int height)
{
    return VideoType(MEDIASUBTYPE_RGB32, BI_RGB, width, height, 32);
}

TBCMediaType NoMediaType()
{
    return TBCMediaType();
}

TRegisteredSplitter::TRegisteredSplitter(TTestSplitterSpec spec) : FSpec(std::move(spec))
{
    const TTestSplitterSpec& s = FSpec;
    const std::shared_ptr<TSplitterUse> use = FUse;
    FClass = std::make_unique<TClassRegistration>(s.ClassId, [s, use](IUnknown* outer, REFIID iid, void** object) -> HRESULT {
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return NewComObject<TTestSplitter>(s, use)->QueryInterface(iid, object);
    });
    const ComPtr<IFilterMapper2> mapper = Mapper();
    if (FAILED(FClass->Result()) || !mapper) {
        FResult = FAILED(FClass->Result()) ? FClass->Result() : E_NOINTERFACE;
        return;
    }
    const REGPINTYPES input{&MEDIATYPE_Stream, s.Wildcard ? &GUID_NULL : &MEDIASUBTYPE_PvlTestStream};
    const REGPINTYPES output{&GUID_NULL, &GUID_NULL};
    REGFILTERPINS2 pins[2] = {};
    pins[0].cInstances = 1;
    pins[0].nMediaTypes = 1;
    pins[0].lpMediaType = &input;
    pins[1].dwFlags = REG_PINFLAG_B_OUTPUT;
    pins[1].cInstances = 1;
    pins[1].nMediaTypes = 1;
    pins[1].lpMediaType = &output;
    REGFILTER2 filter{};
    filter.dwVersion = 2;
    filter.dwMerit = MERIT_DO_NOT_USE + 0x10;
    filter.cPins2 = 2;
    filter.rgPins2 = pins;
    FResult = mapper->RegisterFilter(s.ClassId, s.Name, nullptr, &CLSID_LegacyAmFilterCategory, nullptr, &filter);
}

TRegisteredSplitter::~TRegisteredSplitter()
{
    if (const ComPtr<IFilterMapper2> mapper = Mapper())
        mapper->UnregisterFilter(&CLSID_LegacyAmFilterCategory, nullptr, FSpec.ClassId);
}

TTestStreamType::TTestStreamType()
{
    TRegistry reg;
    reg.SetRootKey(HKEY_CLASSES_ROOT);
    if (!reg.OpenKey(TestStreamKey, true))
        return;
    reg.WriteString("0", "0, 4, , 50564C54");
    reg.WriteString("Source Filter", "{E436EBB5-524F-11CE-9F53-0020AF0BA770}");
    FRegistered = true;
}

TTestStreamType::~TTestStreamType()
{
    TRegistry reg;
    reg.SetRootKey(HKEY_CLASSES_ROOT);
    reg.DeleteKey(TestStreamKey);
}

}  // namespace pvltest
