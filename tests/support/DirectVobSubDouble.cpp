#include "tests/support/DirectVobSubDouble.h"
#include "tests/support/TestFilters.h"

#include "dshow/BCTransform.h"

#include <algorithm>
#include <cstring>

namespace pvltest {

namespace {

// Takes text streams; what it receives is of no interest here.
class TSubtitleInputPin final : public TBCBaseInputPin {
public:
    TSubtitleInputPin(TBCBaseFilter* filter) : TBCBaseInputPin(filter, L"Input Subtitle") {}
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override
    {
        return type->majortype == MEDIATYPE_Text ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
};

class TSubtitleFilter final : public TSameTypeTransform, public IDirectVobSub {
public:
    TSubtitleFilter(const GUID& clsid, std::shared_ptr<TSubtitleState> state)
        : TSameTypeTransform(L"DirectVobSub double", nullptr, clsid), FState(std::move(state)), S(*FState)
    {
        S.CreatedAs = clsid;
        ++S.Instances;
        if (S.Options.SecondInput)
            FSubtitleInput = std::make_unique<TSubtitleInputPin>(this);
    }
    ~TSubtitleFilter() override
    {
        for (WCHAR* name : FNames)
            CoTaskMemFree(name);
        S.NamesHandedOut -= static_cast<int>(FNames.size());
        --S.Instances;
    }

    PVL_DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** object) override
    {
        if (iid == __uuidof(IDirectVobSub))
            return GetInterface(static_cast<IDirectVobSub*>(this), object);
        return TBCTransformFilter::NonDelegatingQueryInterface(iid, object);
    }

    // Pins: video input, video output (unless left out), then the subtitle input.
    int GetPinCount() override { return 1 + (S.Options.Output ? 1 : 0) + (FSubtitleInput ? 1 : 0); }
    TBCBasePin* GetPin(int index) override
    {
        if (!S.Options.Output && index >= 1)
            ++index;
        if (index == 2)
            return FSubtitleInput.get();
        return TBCTransformFilter::GetPin(index);
    }

    HRESULT CheckInputType(const AM_MEDIA_TYPE* type) override
    {
        return type->majortype == MEDIATYPE_Video ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override
    {
        const long frame = std::max<long>(InputPin()->CurrentMediaType()->lSampleSize, 1 << 16);
        ALLOCATOR_PROPERTIES wanted{2, frame, 1, 0}, actual{};
        return allocator->SetProperties(&wanted, &actual);
    }
    HRESULT Transform(IMediaSample* input, IMediaSample* output) override
    {
        BYTE *from = nullptr, *to = nullptr;
        input->GetPointer(&from);
        output->GetPointer(&to);
        const long length = std::min(input->GetActualDataLength(), output->GetSize());
        std::memcpy(to, from, static_cast<size_t>(length));
        output->SetActualDataLength(length);
        ++S.FramesPassed;
        return S_OK;
    }

    // IDirectVobSub
    HRESULT STDMETHODCALLTYPE GetFileName(WCHAR* fileName) override
    {
        return Answer(3, fileName, [&] {
            const size_t room = DirectVobSubFileNameChars - (S.FillFileNameBuffer ? 0 : 1);
            const size_t count = std::min(S.FileName.size(), room);
            std::copy_n(S.FileName.data(), count, fileName);
            if (count < DirectVobSubFileNameChars)
                fileName[count] = 0;
        });
    }
    HRESULT STDMETHODCALLTYPE PutFileName(const WCHAR* fileName) override
    {
        if (!fileName)
            return E_POINTER;
        return Take(4, {double(std::wcslen(fileName))}, [&] { S.FileName = fileName; });
    }
    HRESULT STDMETHODCALLTYPE GetLanguageCount(LONG* count) override
    {
        return Answer(5, count, [&] { *count = static_cast<LONG>(S.Languages.size()); });
    }
    HRESULT STDMETHODCALLTYPE GetLanguageName(LONG index, WCHAR** name) override
    {
        if (!name)
            return E_POINTER;
        *name = nullptr;
        if (S.Calls.Answer(6, {double(index)}) != S_OK || index < 0 || index >= static_cast<LONG>(S.Languages.size()))
            return E_INVALIDARG;
        const std::wstring& text = S.Languages[static_cast<size_t>(index)];
        auto* copy = static_cast<WCHAR*>(CoTaskMemAlloc((text.size() + 1) * sizeof(WCHAR)));
        if (!copy)
            return E_OUTOFMEMORY;
        std::copy(text.c_str(), text.c_str() + text.size() + 1, copy);
        FNames.push_back(copy);
        ++S.NamesHandedOut;
        S.LastName = copy;
        *name = copy;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetSelectedLanguage(LONG* index) override
    {
        return Answer(7, index, [&] { *index = S.SelectedLanguage; });
    }
    HRESULT STDMETHODCALLTYPE PutSelectedLanguage(LONG index) override
    {
        return Take(8, {double(index)}, [&] { S.SelectedLanguage = index; });
    }
    HRESULT STDMETHODCALLTYPE GetHideSubtitles(BYTE* hide) override
    {
        return Answer(9, hide, [&] { *hide = S.HideSubtitles ? 1 : 0; });
    }
    HRESULT STDMETHODCALLTYPE PutHideSubtitles(BYTE hide) override
    {
        return Take(10, {double(hide)}, [&] { S.HideSubtitles = hide != 0; });
    }
    HRESULT STDMETHODCALLTYPE GetPreBuffering(BYTE* on) override
    {
        return Answer(11, on, [&] { *on = S.PreBuffering ? 1 : 0; });
    }
    HRESULT STDMETHODCALLTYPE PutPreBuffering(BYTE on) override
    {
        return Take(12, {double(on)}, [&] { S.PreBuffering = on != 0; });
    }

private:
    template <class P, class F>
    HRESULT Answer(int slot, P* out, F fill)
    {
        if (!out)
            return E_POINTER;
        const HRESULT result = S.Calls.Answer(slot);
        if (result == S_OK)
            fill();
        return result;
    }
    template <class F>
    HRESULT Take(int slot, std::vector<double> args, F store)
    {
        const HRESULT result = S.Calls.Answer(slot, std::move(args));
        if (result == S_OK)
            store();
        return result;
    }

    std::shared_ptr<TSubtitleState> FState;
    TSubtitleState& S;
    std::unique_ptr<TSubtitleInputPin> FSubtitleInput;
    std::vector<WCHAR*> FNames;
};

TCreateFunction SubtitleFactory(const GUID& clsid, const std::shared_ptr<TSubtitleState>& state)
{
    return [clsid, state](IUnknown* outer, REFIID iid, void** object) -> HRESULT {
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return TBCUnknown::QueryNew(new TSubtitleFilter(clsid, state), iid, object);
    };
}

std::shared_ptr<TSubtitleState> NewState(const TSubtitleOptions& options)
{
    auto state = std::make_shared<TSubtitleState>();
    state->Options = options;
    return state;
}

}  // namespace

TDirectVobSubDouble::TDirectVobSubDouble(TSubtitleOptions options)
    : FState(NewState(options)),
      FNormal(CLSID_DirectVobSub, SubtitleFactory(CLSID_DirectVobSub, FState)),
      FAutoload(CLSID_DirectVobSubAutoload, SubtitleFactory(CLSID_DirectVobSubAutoload, FState))
{
}

HRESULT TDirectVobSubDouble::Result() const
{
    return FAILED(FNormal.Result()) ? FNormal.Result() : FAutoload.Result();
}

}  // namespace pvltest
