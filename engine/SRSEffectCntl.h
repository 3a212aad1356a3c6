#pragma once
// What the two surround-effect controls share: the effect is a DirectX Media Object hosted
// in the platform's DMO Wrapper Filter, driven through one control interface. Every value
// set is cached (clamped where the property says so) and sent when the effect exists; a
// getter refreshes the cache from the effect when the call succeeds.
#include "engine/ExternalFilterCntl.h"
#include "engine/FilterLevels.h"

#include <dmoreg.h>

#include <cstdint>
#include <limits>

template <class TIntf>
class TSRSEffectCntl : public TExternalFilterCntl {
public:
    using TExternalFilterCntl::TExternalFilterCntl;

    // The filter exists and sits in a graph.
    bool IsInGraph() const { return InFilterGraph(); }
    // Runs every setter with its cached value, in the effect's own order.
    virtual void ApplyCachedSettings() = 0;
    // The control interface while the effect exists, else none.
    TIntf* Effect() const { return FFilter ? FEffect.Get() : nullptr; }

protected:
    using TGet = HRESULT (STDMETHODCALLTYPE TIntf::*)(LONG*);
    using TSet = HRESULT (STDMETHODCALLTYPE TIntf::*)(LONG);
    using TGetLevel = HRESULT (STDMETHODCALLTYPE TIntf::*)(float*);
    using TSetLevel = HRESULT (STDMETHODCALLTYPE TIntf::*)(float);

    // Hosts the effect `dmo` in a new DMO Wrapper Filter and takes its pins; the cached
    // settings then go to it. On any failure the control is left without an effect.
    // Called by the derived constructor, so that ApplyCachedSettings is the derived one.
    void CreateEffect(const GUID& dmo)
    {
        if (SUCCEEDED(HostEffect(dmo)))
            ApplyCachedSettings();
        else
            ReleaseFilter();
    }

    void ReleaseFilter() override
    {
        FEffect.Reset();
        TExternalFilterCntl::ReleaseFilter();
    }

    bool ReadSwitch(TGet get, bool& cache) const
    {
        LONG value = 0;
        if (auto* effect = Effect(); effect && (effect->*get)(&value) == S_OK)
            cache = SwitchFromEffect(value);
        return cache;
    }

    void WriteSwitch(TSet set, bool& cache, bool value)
    {
        cache = value;
        if (auto* effect = Effect())
            (effect->*set)(SwitchToEffect(value));
    }

    // A choice read back outside its enumeration leaves the cache as it was.
    template <class TEnum>
    TEnum ReadChoice(TGet get, TEnum& cache, int count) const
    {
        LONG value = 0;
        if (auto* effect = Effect(); effect && (effect->*get)(&value) == S_OK && value >= 0 && value < count)
            cache = static_cast<TEnum>(value);
        return cache;
    }

    template <class TEnum>
    void WriteChoice(TSet set, TEnum& cache, TEnum value)
    {
        cache = value;
        if (auto* effect = Effect())
            (effect->*set)(static_cast<LONG>(value));
    }

    // `ceiling` caps the value read before it is scaled.
    int32_t ReadLevel(TGetLevel get, int32_t& cache, float ceiling = std::numeric_limits<float>::infinity()) const
    {
        float value = 0;
        if (auto* effect = Effect(); effect && (effect->*get)(&value) == S_OK) {
            if (const auto level = LevelFromFilter(value > ceiling ? ceiling : value))
                cache = *level;
        }
        return cache;
    }

    // Caches the level clamped to low..high and sends that.
    void WriteLevel(TSetLevel set, int32_t& cache, int32_t value, int32_t low, int32_t high)
    {
        cache = ClampLevel(value, low, high);
        if (auto* effect = Effect())
            (effect->*set)(LevelToEffect(cache));
    }

    ComPtr<TIntf> FEffect;

private:
    HRESULT HostEffect(const GUID& dmo)
    {
        ComPtr<IBaseFilter> filter;
        HRESULT result = CreateDMOWrapperFilter(dmo, DMOCATEGORY_AUDIO_EFFECT, filter);
        if (FAILED(result))
            return result;
        result = filter.As(&FEffect);
        if (FAILED(result))
            return result;
        return HoldFilter(filter, false);
    }
};
