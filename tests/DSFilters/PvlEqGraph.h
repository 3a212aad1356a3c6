#pragma once
// Shared by the sound-processor tests under Wine: a callback that records what the filter
// reports, graphs from WAV files to Wine's renderers, and sample data that counts frames.
#include "DSFilters/PvlEq.h"
#include "framework/SysUtils.h"
#include "tests/support/TestFilters.h"
#include "tests/support/WineGraph.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <vector>

namespace pvltest {

// Wine's Null Renderer (qedit), which the platform headers do not declare.
inline const CLSID CLSID_NullRendererFilter = {0xc1f400a4, 0x3f08, 0x11d3, {0x9f, 0x0b, 0x00, 0x60, 0x08, 0x03, 0x9e, 0x37}};

class TRecorder : public TBCUnknown, public IPvlSPFilterPCMCallBack {
public:
    TRecorder() : TBCUnknown(nullptr) {}
    PVL_DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** object) override
    {
        if (iid == __uuidof(IPvlSPFilterPCMCallBack))
            return GetInterface(static_cast<IPvlSPFilterPCMCallBack*>(this), object);
        return TBCUnknown::NonDelegatingQueryInterface(iid, object);
    }
    HRESULT STDMETHODCALLTYPE PCMDataCallBack(void* buffer, int32_t length, int32_t* newSize, PDSStream stream) override
    {
        std::lock_guard lock(Lock);
        ++Blocks;
        Bytes += length;
        if (stream->Bits == 16 && !stream->Float) {
            const auto* samples = static_cast<const int16_t*>(buffer);
            for (int32_t i = 0; i < length / 2; ++i)
                Peak = std::max(Peak, std::abs(static_cast<int>(samples[i])));
        }
        if (Resize)
            *newSize = Resize(length);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE MediaTypeChanged(PDSStream stream) override
    {
        std::lock_guard lock(Lock);
        Types.push_back(*stream);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE FilterFlushed() override
    {
        std::lock_guard lock(Lock);
        ++Flushes;
        if (OnFlush)
            OnFlush();
        return S_OK;
    }

    std::mutex Lock;
    int Blocks = 0;
    int64_t Bytes = 0;
    int Peak = 0;
    int Flushes = 0;
    std::vector<TDSStream> Types;
    std::function<int32_t(int32_t)> Resize;  // the callback's answer for NewSize
    std::function<void()> OnFlush;
};

inline ComPtr<TPvlSPFilter> NewSoundProcessor()
{
    return NewComObject<TPvlSPFilter>(TPvlSPFilter::ComponentName, nullptr);
}

// Adds a file source for the WAV file and connects it (through Wine's splitter) to `input`.
inline HRESULT ConnectWav(IGraphBuilder* graph, const std::string& wav, IPin* input)
{
    ComPtr<IBaseFilter> reader;
    HRESULT hr = graph->AddSourceFilter(AnsiToWide(wav).c_str(), L"Reader", &reader);
    if (FAILED(hr))
        return hr;
    return graph->Connect(FindPin(reader.Get(), PINDIR_OUTPUT).Get(), input);
}

// Adds a renderer by class id and connects `output` to it directly.
inline HRESULT ConnectRenderer(IGraphBuilder* graph, IPin* output, REFCLSID renderer)
{
    ComPtr<IBaseFilter> filter;
    HRESULT hr = CoCreateInstance(renderer, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&filter));
    if (SUCCEEDED(hr))
        hr = graph->AddFilter(filter.Get(), L"Renderer");
    if (SUCCEEDED(hr))
        hr = graph->ConnectDirect(output, FindPin(filter.Get(), PINDIR_INPUT).Get(), nullptr);
    return hr;
}

// The WAV file through `filter` (added as "Sound processor") to one of Wine's renderers.
inline HRESULT RenderWavThrough(IGraphBuilder* graph, const std::string& wav, IBaseFilter* filter, IPin* input, IPin* output,
                                REFCLSID renderer)
{
    HRESULT hr = graph->AddFilter(filter, L"Sound processor");
    if (SUCCEEDED(hr))
        hr = ConnectWav(graph, wav, input);
    if (SUCCEEDED(hr))
        hr = ConnectRenderer(graph, output, renderer);
    return hr;
}

// 16-bit stereo frames whose left and right samples hold the low and high half of the
// frame's index, so a block tells where in the stream it came from.
inline std::vector<uint8_t> CountingFrames(uint32_t& frame, int frames)
{
    std::vector<uint8_t> data(static_cast<size_t>(frames) * 4);
    for (int f = 0; f < frames; ++f, ++frame)
        std::memcpy(&data[static_cast<size_t>(f) * 4], &frame, 4);
    return data;
}

inline uint32_t FirstFrameOf(const void* block)
{
    uint32_t frame = 0;
    std::memcpy(&frame, block, 4);
    return frame;
}

// Samples of 0.1 s of counting frames at 44100 Hz, stamped from 0.
inline std::vector<TTestSample> CountingSamples(int tenths)
{
    std::vector<TTestSample> samples;
    uint32_t frame = 0;
    for (int i = 0; i < tenths; ++i)
        samples.push_back(TimedSample(CountingFrames(frame, 4410), i * 1000000LL, (i + 1) * 1000000LL));
    return samples;
}

// Pumps messages until `done` holds or the time passes.
inline bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        PumpMessages(10);
    }
    return true;
}

}  // namespace pvltest
