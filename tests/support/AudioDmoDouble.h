#pragma once
// A pass-through audio DirectX Media Object for tests, aggregatable as the DMO Wrapper
// Filter hosts it: one PCM input stream and one output stream of the same format. Doubles of
// outside filters put their control interface on it (TControlDmo).
#include "dshow/DShow.h"
#include "tests/support/ComDoubles.h"

#include <mediaobj.h>

#include <atomic>
#include <memory>
#include <mutex>

namespace pvltest {

// How a DMO double behaves, fixed by the test before the DMO is made.
struct TDmoBehaviour {
    bool HasOutput = true;            // false: an input stream only
    bool RefuseInput = false;         // refuses every input format, asked or set
    bool RefuseInputWhenSet = false;  // says yes when asked (QueryAccept), refuses when set
    bool UnplayableOutput = false;    // offers an output format no renderer takes
};

// What every instance made by one registration shares with the test.
struct TDmoShared {
    TDmoBehaviour Behaviour;
    TCallLog Calls;
    std::atomic<long long> BytesProcessed{0};
    std::atomic<int> Instances{0};
};

class TAudioDmo : public IMediaObject {
public:
    TAudioDmo(IUnknown* outer, std::shared_ptr<TDmoShared> shared);
    virtual ~TAudioDmo();
    TAudioDmo(const TAudioDmo&) = delete;
    TAudioDmo& operator=(const TAudioDmo&) = delete;

    // Makes a T(outer or none, shared) and hands out `iid` of its inner (owning) unknown.
    template <class T, class TShared>
    static HRESULT Create(IUnknown* outer, REFIID iid, void** object, const std::shared_ptr<TShared>& shared)
    {
        if (outer && iid != IID_IUnknown)
            return CLASS_E_NOAGGREGATION;
        auto* dmo = new T(outer, shared);
        const HRESULT result = dmo->FInner.QueryInterface(iid, object);
        dmo->FInner.Release();
        return result;
    }

    // Delegating IUnknown.
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override { return FOuter->QueryInterface(iid, object); }
    STDMETHODIMP_(ULONG) AddRef() override { return FOuter->AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return FOuter->Release(); }

    STDMETHODIMP GetStreamCount(DWORD* inputs, DWORD* outputs) override;
    STDMETHODIMP GetInputStreamInfo(DWORD stream, DWORD* flags) override;
    STDMETHODIMP GetOutputStreamInfo(DWORD stream, DWORD* flags) override;
    STDMETHODIMP GetInputType(DWORD stream, DWORD index, DMO_MEDIA_TYPE* type) override;
    STDMETHODIMP GetOutputType(DWORD stream, DWORD index, DMO_MEDIA_TYPE* type) override;
    STDMETHODIMP SetInputType(DWORD stream, const DMO_MEDIA_TYPE* type, DWORD flags) override;
    STDMETHODIMP SetOutputType(DWORD stream, const DMO_MEDIA_TYPE* type, DWORD flags) override;
    STDMETHODIMP GetInputCurrentType(DWORD stream, DMO_MEDIA_TYPE* type) override;
    STDMETHODIMP GetOutputCurrentType(DWORD stream, DMO_MEDIA_TYPE* type) override;
    STDMETHODIMP GetInputSizeInfo(DWORD stream, DWORD* size, DWORD* lookahead, DWORD* alignment) override;
    STDMETHODIMP GetOutputSizeInfo(DWORD stream, DWORD* size, DWORD* alignment) override;
    STDMETHODIMP GetInputMaxLatency(DWORD stream, REFERENCE_TIME* latency) override;
    STDMETHODIMP SetInputMaxLatency(DWORD stream, REFERENCE_TIME latency) override;
    STDMETHODIMP Flush() override;
    STDMETHODIMP Discontinuity(DWORD stream) override;
    STDMETHODIMP AllocateStreamingResources() override;
    STDMETHODIMP FreeStreamingResources() override;
    STDMETHODIMP GetInputStatus(DWORD stream, DWORD* flags) override;
    STDMETHODIMP ProcessInput(DWORD stream, IMediaBuffer* buffer, DWORD flags, REFERENCE_TIME time,
                              REFERENCE_TIME length) override;
    STDMETHODIMP ProcessOutput(DWORD flags, DWORD count, DMO_OUTPUT_DATA_BUFFER* buffers, DWORD* status) override;
    STDMETHODIMP Lock(LONG lock) override;

protected:
    // The control interface for `iid`, or none; the inner unknown hands it out.
    virtual IUnknown* ControlInterface(REFIID iid) { (void)iid; return nullptr; }

private:
    // The owning unknown: the wrapper filter holds this one when it aggregates the DMO.
    struct TInner final : IUnknown {
        TAudioDmo* Self = nullptr;
        LONG Refs = 1;
        STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
        STDMETHODIMP_(ULONG) AddRef() override;
        STDMETHODIMP_(ULONG) Release() override;
    };

    bool Acceptable(const DMO_MEDIA_TYPE& type) const;
    HRESULT OfferedOutput(DMO_MEDIA_TYPE* type) const;
    void DropPending();

    TInner FInner;
    IUnknown* FOuter;
    std::shared_ptr<TDmoShared> FShared;
    mutable std::mutex FLock;
    bool FHasInputType = false;
    bool FHasOutputType = false;
    DMO_MEDIA_TYPE FInputType{};
    IMediaBuffer* FPending = nullptr;
    DWORD FPendingOffset = 0;
    bool FPendingHasTime = false;
    REFERENCE_TIME FPendingTime = 0;
};

// A DMO double with a control interface: IUnknown of both bases goes to the outer object.
template <class TIntf>
class TControlDmo : public TAudioDmo, public TIntf {
public:
    using TAudioDmo::TAudioDmo;
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override { return TAudioDmo::QueryInterface(iid, object); }
    STDMETHODIMP_(ULONG) AddRef() override { return TAudioDmo::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return TAudioDmo::Release(); }
};

}  // namespace pvltest
