#pragma once
// The sound-processor filter: an in-place audio transform that runs the processing chain on
// every PCM sample, shifts the sample times by the audio delay, hands each block to a
// callback, and keeps the passed audio for the visualisation; with its eight interfaces.
#include "DSFilters/PvlEqCore.h"
#include "DSFilters/PvlEqFilterCore.h"
#include "dshow/BCTransInPlace.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

// Booleans travel as one byte in a 32-bit slot, integers as 32 bits, gains as singles.

// Called by the filter: on its streaming thread for every PCM block, at connection and on
// format changes, and on the flushing thread at every flush. It must not block.
MIDL_INTERFACE("3F582D06-D6CD-4333-AD7C-E3CB6C9A1975")
IPvlSPFilterPCMCallBack : public IUnknown {
    // NewSize: the block's new length in bytes (the filter keeps it within the buffer, in
    // whole frames).
    virtual HRESULT STDMETHODCALLTYPE PCMDataCallBack(void* Buffer, int32_t Length, int32_t* NewSize, PDSStream Stream) = 0;
    virtual HRESULT STDMETHODCALLTYPE MediaTypeChanged(PDSStream Stream) = 0;
    virtual HRESULT STDMETHODCALLTYPE FilterFlushed() = 0;
};

MIDL_INTERFACE("C44CA5D5-F08D-4BA3-899A-14BB2FA67AA2")
IPvlSPGeneralInterface : public IUnknown {
    // Keeps the callback (nullptr removes it); waits for a callback in progress to return.
    virtual HRESULT STDMETHODCALLTYPE SetCallBack(IPvlSPFilterPCMCallBack* CallBack) = 0;
};

MIDL_INTERFACE("A10D7210-A933-43C2-B271-940E1BB12503")
IPvlSPEqualizerInterface : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetEnabled(bool* Value) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetEnabled(bool Value) = 0;  // switching on clears the tails
    virtual HRESULT STDMETHODCALLTYPE GetGainTable(float* Table) = 0;        // 10 × 8192 singles
    virtual HRESULT STDMETHODCALLTYPE SetGainTable(const float* Table) = 0;  // taken at the next block
};

MIDL_INTERFACE("DDDF9C88-FD3F-46BD-A7BA-5A317429C630")
IPvlSPDelayInterface : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetEnabled(bool* Value) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetEnabled(bool Value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDelay(int32_t* Value) = 0;  // milliseconds
    virtual HRESULT STDMETHODCALLTYPE SetDelay(int32_t Value) = 0;
};

MIDL_INTERFACE("C83C1C69-907B-4B76-86D1-38EA6C9B8C36")
IPvlSPAmplifyInterface : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetEnabled(bool* Value) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetEnabled(bool Value) = 0;
    // Channel 0..9, else E_INVALIDARG; 1/10000.
    virtual HRESULT STDMETHODCALLTYPE GetAmplify(int32_t Channel, int32_t* Value) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetAmplify(int32_t Channel, int32_t Value) = 0;
};

MIDL_INTERFACE("7661B13B-567F-4B0C-A75E-96D7E8D81A91")
IPvlSPDynamicAmplifyInterface : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetEnabled(bool* Value) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetEnabled(bool Value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMaxAmplify(int32_t* Value) = 0;  // 1/1000
    virtual HRESULT STDMETHODCALLTYPE SetMaxAmplify(int32_t Value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetAttackTime(int32_t* Value) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetAttackTime(int32_t Value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetReleaseTime(int32_t* Value) = 0;  // milliseconds
    virtual HRESULT STDMETHODCALLTYPE SetReleaseTime(int32_t Value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCurrentGain(float* Value) = 0;  // 0.0 while disabled
};

MIDL_INTERFACE("30B1140A-709D-4FCD-86B1-C9B1A62A5E62")
IPvlSP3DSoundInterface : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetEnabled(bool* Value) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetEnabled(bool Value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetVolume(int32_t* Value) = 0;  // 1/10000
    virtual HRESULT STDMETHODCALLTYPE SetVolume(int32_t Value) = 0;
};

MIDL_INTERFACE("B6B3D696-8760-4E6C-9C06-4596528CD311")
IPvlSPVisualInterface : public IUnknown {
    // The 16384 frames playing now, or nullptr, 0 and S_FALSE. Buffer and Stream stay valid
    // until the next call on the same filter.
    virtual HRESULT STDMETHODCALLTYPE GetVisualData(void** Buffer, int32_t* Size, PDSStream* Stream) = 0;
};

__CRT_UUID_DECL(IPvlSPFilterPCMCallBack, 0x3f582d06, 0xd6cd, 0x4333, 0xad, 0x7c, 0xe3, 0xcb, 0x6c, 0x9a, 0x19, 0x75)
__CRT_UUID_DECL(IPvlSPGeneralInterface, 0xc44ca5d5, 0xf08d, 0x4ba3, 0x89, 0x9a, 0x14, 0xbb, 0x2f, 0xa6, 0x7a, 0xa2)
__CRT_UUID_DECL(IPvlSPEqualizerInterface, 0xa10d7210, 0xa933, 0x43c2, 0xb2, 0x71, 0x94, 0x0e, 0x1b, 0xb1, 0x25, 0x03)
__CRT_UUID_DECL(IPvlSPDelayInterface, 0xdddf9c88, 0xfd3f, 0x46bd, 0xa7, 0xba, 0x5a, 0x31, 0x7a, 0x42, 0x96, 0x30)
__CRT_UUID_DECL(IPvlSPAmplifyInterface, 0xc83c1c69, 0x907b, 0x4b76, 0x86, 0xd1, 0x38, 0xea, 0x6c, 0x9b, 0x8c, 0x36)
__CRT_UUID_DECL(IPvlSPDynamicAmplifyInterface, 0x7661b13b, 0x567f, 0x4b0c, 0xa7, 0x5e, 0x96, 0xd7, 0xe8, 0xd8, 0x1a, 0x91)
__CRT_UUID_DECL(IPvlSP3DSoundInterface, 0x30b1140a, 0x709d, 0x4fcd, 0x86, 0xb1, 0xc9, 0xb1, 0xa6, 0x2a, 0x5e, 0x62)
__CRT_UUID_DECL(IPvlSPVisualInterface, 0xb6b3d696, 0x8760, 0x4e6c, 0x9c, 0x06, 0x45, 0x96, 0x52, 0x8c, 0xd3, 0x11)

// {A8B7C7E6-939C-4FE5-B605-101E5D9D522B}
inline const CLSID CLSID_PvlSPFilter = {0xa8b7c7e6, 0x939c, 0x4fe5, {0xb6, 0x05, 0x10, 0x1e, 0x5d, 0x9d, 0x52, 0x2b}};

class TPvlSPFilter : public TBCTransInPlaceFilter, public IAMovieSetup {
public:
    static constexpr const wchar_t* FactoryName = L"Parvolux SoundProcessor Filter";
    static constexpr const wchar_t* ComponentName = L"Parvolux Sound Processor Filter";

    TPvlSPFilter(const wchar_t* name, IUnknown* outer);
    ~TPvlSPFilter() override;
    // The class factory's constructor.
    static HRESULT CreateFromFactory(IUnknown* outer, REFIID iid, void** object);
    // Filters of this kind alive in the process.
    static long InstanceCount();

    PVL_DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** object) override;
    // The filter is not registered in the filter mapper: the component makes it directly.
    HRESULT STDMETHODCALLTYPE Register() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unregister() override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE Pause() override;
    HRESULT STDMETHODCALLTYPE Run(REFERENCE_TIME start) override;
    HRESULT CheckInputType(const AM_MEDIA_TYPE* type) override;
    HRESULT CheckTransform(const AM_MEDIA_TYPE* input, const AM_MEDIA_TYPE* output) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
    HRESULT CompleteConnect(PIN_DIRECTION direction, IPin* pin) override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;
    HRESULT Transform(IMediaSample* sample) override;

    // The work behind the interfaces.
    HRESULT SetCallBack(IPvlSPFilterPCMCallBack* callBack);
    HRESULT GetVisualData(void** buffer, int32_t* size, PDSStream* stream);
    TPvlSPChain& Chain() { return FChain; }
    TRelaxed<bool> DelayEnabled{false};
    TRelaxed<int32_t> Delay{0};  // milliseconds

    // State, for the component and for tests.
    TDSStream Stream() const;
    const TPvlVisualRing& VisualRing() const { return FRing; }
    bool DVD() const { return FDVD; }
    bool Running() const { return FRunning; }
    bool Flushing() const { return FFlushing; }

private:
    struct TInterfaces;
    bool DetectDVD();
    // Calls the callback, if any, under the lock that SetCallBack waits for.
    template <class F>
    void WithCallBack(F&& call);

    TPvlSPChain FChain;
    mutable std::mutex FStreamLock;
    TDSStream FStream{};    // the current description; callbacks get its address
    TDSStream FNotified{};  // the last one MediaTypeChanged reported
    TBCMediaType FSavedType;
    TPvlVisualRing FRing;
    std::atomic<bool> FDVD{false};
    std::atomic<bool> FRunning{false};
    std::atomic<bool> FFlushing{false};
    std::atomic<bool> FFormatChanging{false};
    std::recursive_mutex FCallBackLock;
    ComPtr<IPvlSPFilterPCMCallBack> FCallBack;
    // What GetVisualData last handed out; the GUI thread's own copies.
    std::mutex FVisualLock;
    std::vector<uint8_t> FVisualBlock;
    TDSStream FVisualStream{};
    std::unique_ptr<TInterfaces> FInterfaces;
};
