#pragma once
// The sound processor as the rest of the player sees it: it makes the filter, holds its
// interfaces and pins, mirrors every processing parameter as a property that also works
// without a filter, turns the filter's callbacks into events, and polls the visual data.
#include "DSFilters/PvlEq.h"
#include "engine/EngineServices.h"
#include "framework/Classes.h"
#include "framework/ExtCtrls.h"

#include <functional>
#include <mutex>
#include <vector>

// Fired on the streaming thread for every PCM block; newSize starts as length.
using TPCMNotifyEvent = std::function<void(TObject* sender, void* buffer, int32_t length, int32_t& newSize, PDSStream stream)>;
// Fired on the streaming thread or the connecting thread when the stream description changes.
using TMediaChangeNotifyEvent = std::function<void(TObject* sender, PDSStream stream)>;
// Fired on the GUI thread by the visual timer; buffer is nullptr and size 0 without data.
using TVisualNotifyEvent = std::function<void(TObject* sender, void* buffer, int32_t size, PDSStream stream)>;

class TParvoluxSoundProcessor : public TComponent, public IPvlSPFilterPCMCallBack, public IGraphFilterComponent {
public:
    static constexpr int32_t DefaultVisualInterval = 25;

    explicit TParvoluxSoundProcessor(TComponent* owner);
    ~TParvoluxSoundProcessor() override;

    // Its owner frees the component: the references the filter takes are not counted.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE PCMDataCallBack(void* buffer, int32_t length, int32_t* newSize, PDSStream stream) override;
    HRESULT STDMETHODCALLTYPE MediaTypeChanged(PDSStream stream) override;
    HRESULT STDMETHODCALLTYPE FilterFlushed() override;

    bool EqualizerEnabled();
    void SetEqualizerEnabled(bool value);
    bool AmplifyEnabled();
    void SetAmplifyEnabled(bool value);
    int32_t Amplify();  // 1/10000, channel 0
    void SetAmplify(int32_t value);
    bool DynamicAmplifyEnabled();
    void SetDynamicAmplifyEnabled(bool value);
    int32_t DynamicMaxAmplify();  // 1/1000
    void SetDynamicMaxAmplify(int32_t value);
    int32_t DynamicAttackTime();
    void SetDynamicAttackTime(int32_t value);
    int32_t DynamicReleaseTime();  // milliseconds
    void SetDynamicReleaseTime(int32_t value);
    bool DelayEnabled();
    void SetDelayEnabled(bool value);
    int32_t Delay();  // milliseconds
    void SetDelay(int32_t value);
    bool Sound3DEnabled();
    void SetSound3DEnabled(bool value);
    int32_t Sound3DVolume();  // 1/10000
    void SetSound3DVolume(int32_t value);
    bool VisualEnabled() const { return FVisualEnabled; }
    void SetVisualEnabled(bool value);
    int32_t VisualInterval() const { return FVisualInterval; }
    void SetVisualInterval(int32_t value);

    // Sets one band of every row of the gain table and sends the table to the filter.
    void SetEqualizerBand(int band, int8_t value);
    // The dynamic gain in 1/1000; 0 without a filter.
    int DynamicCurrentGain();
    // Takes the filter out of its graph, disconnecting its pins first.
    HRESULT RemoveFilterFromGraph() override;

    // The last stream description the filter reported.
    TDSStream Stream() const override;
    IBaseFilter* Filter() const override { return FFilter.Get(); }
    IPin* InputPin() const override { return FInputPin.Get(); }
    IPin* OutputPin() const override { return FOutputPin.Get(); }
    TTimer* Timer() const { return FTimer; }
    const std::vector<float>& GainTable() const { return FGainTable; }

    // Events; the handlers of the first three run on the filter's threads.
    void SetOnPCMDataCallBack(TPCMNotifyEvent handler);
    void SetOnMediaTypeChange(TMediaChangeNotifyEvent handler);
    void SetOnFilterFlush(TNotifyEvent handler);
    void SetOnVisualData(TVisualNotifyEvent handler);

private:
    HRESULT CreateFilter();
    void ReleaseFilter();
    void VisualTimer(TObject* sender);
    // A property through the filter: the cache without an interface, else the filter's
    // answer, kept in the cache when the call succeeds.
    template <class I, class T, class Get>
    T ReadThrough(const ComPtr<I>& part, T& cache, Get&& get);
    template <class I, class T, class Set>
    void WriteThrough(const ComPtr<I>& part, T& cache, T value, Set&& set);

    TTimer* FTimer = nullptr;
    std::vector<float> FGainTable;
    bool FVisualEnabled = false;
    int32_t FVisualInterval = DefaultVisualInterval;
    bool FEqualizerEnabled = false;
    bool FAmplifyEnabled = false;
    int32_t FAmplify = 10000;
    bool FDynamicAmplifyEnabled = false;
    int32_t FDynamicMaxAmplify = 0;
    int32_t FDynamicAttackTime = 0;
    int32_t FDynamicReleaseTime = 0;
    bool FDelayEnabled = false;
    int32_t FDelay = 0;
    bool FSound3DEnabled = false;
    int32_t FSound3DVolume = 0;

    mutable std::mutex FStreamLock;
    TDSStream FStream{};

    std::recursive_mutex FEventLock;  // the handlers run on the filter's threads
    TPCMNotifyEvent FOnPCMDataCallBack;
    TMediaChangeNotifyEvent FOnMediaTypeChange;
    TNotifyEvent FOnFilterFlush;
    TVisualNotifyEvent FOnVisualData;

    HRESULT FComInit = E_FAIL;
    ComPtr<IBaseFilter> FFilter;
    ComPtr<IPvlSPGeneralInterface> FGeneral;
    ComPtr<IPvlSPEqualizerInterface> FEqualizer;
    ComPtr<IPvlSPDelayInterface> FDelayPart;
    ComPtr<IPvlSPAmplifyInterface> FAmplifyPart;
    ComPtr<IPvlSPDynamicAmplifyInterface> FDynamicAmplify;
    ComPtr<IPvlSP3DSoundInterface> F3DSound;
    ComPtr<IPvlSPVisualInterface> FVisual;
    ComPtr<IPin> FInputPin;
    ComPtr<IPin> FOutputPin;
};
