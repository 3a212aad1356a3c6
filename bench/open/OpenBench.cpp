// Open-to-first-frame: the engine's build of a file (with a second attempt when it needs one)
// against the platform's own RenderFile, each run until every renderer holds its first sample.
// Median of PVL_BENCH_RUNS (5) runs, the two kinds interleaved. Fixtures from PVL_FIXTURES.
#include "DSFilters/ParvoluxSoundProcessor.h"
#include "engine/CommonUnit.h"
#include "engine/MyDSUtils.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Connects the video to the platform's Video Renderer, as the video window would.
class TBenchVideoForm : public IVideoForm {
public:
    void SetPreferredRenderers(const std::vector<TVideoRenderItem*>&) override {}
    HRESULT ConnectPreferredRenderer(IGraphBuilder* graph, IPin* outputPin) override
    {
        ComPtr<IBaseFilter> renderer;
        HRESULT hr = CoCreateInstance(CLSID_VideoRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&renderer));
        if (SUCCEEDED(hr))
            hr = graph->AddFilter(renderer.Get(), L"Video Renderer");
        if (SUCCEEDED(hr)) {
            ComPtr<IEnumPins> pins;
            ComPtr<IPin> input;
            renderer->EnumPins(&pins);
            pins->Next(1, &input, nullptr);
            hr = graph->Connect(outputPin, input.Get());
        }
        return hr;
    }
    void ReleaseRenderer() override {}
    void RefreshVideo() override {}
    bool Visible() override { return false; }
};

// Runs the graph and waits, pumping messages, for its first frame; false after 5 s.
bool RunToFirstFrame(IGraphBuilder* graph)
{
    ComPtr<IMediaControl> control;
    if (FAILED(graph->QueryInterface(IID_PPV_ARGS(&control))) || FAILED(control->Run()))
        return false;
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (Clock::now() < deadline) {
        // The graph reports itself running once every renderer holds its first sample (the
        // video renderer shows its first frame on the way).
        OAFilterState state = State_Stopped;
        if (control->GetState(0, &state) == S_OK && state == State_Running)
            return true;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        Sleep(1);
    }
    return false;
}

double Milliseconds(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main()
{
    const char* fixtures = std::getenv("PVL_FIXTURES");
    if (!fixtures) {
        std::printf("skipped: PVL_FIXTURES names no fixture folder\n");
        return 0;
    }
    const int Runs = std::getenv("PVL_BENCH_RUNS") ? std::atoi(std::getenv("PVL_BENCH_RUNS")) : 5;
    TComApartment apartment;
    TBenchVideoForm video;
    TEngineServices services;
    services.VideoForm = &video;
    TCommonModule engine(nullptr, services);
    auto* processor = NewComponent<TParvoluxSoundProcessor>(&engine);
    engine.PvlSprocessor = processor;

    std::printf("%-16s %12s %12s %8s\n", "file", "engine ms", "bare ms", "ratio");
    for (const char* name : {"mpeg4_mp3.avi", "mpeg1.mpg", "clip.mp4"}) {
        const WideString file = AnsiToWide(std::string(fixtures) + "\\" + name);
        std::vector<double> ours, bare;
        for (int run = 0; run < Runs; ++run) {
            auto start = Clock::now();
            const HRESULT built = engine.Renderfile(file);
            const bool opened = SUCCEEDED(built) && RunToFirstFrame(engine.Graph.Get());
            if (!opened)
                std::printf("%s: the engine's open gave %08lX and no frame\n", name, static_cast<unsigned long>(built));
            ours.push_back(opened ? Milliseconds(start) : 1e9);
            engine.FlushGraph();

            start = Clock::now();
            ComPtr<IGraphBuilder> graph;
            CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&graph));
            const bool played = SUCCEEDED(graph->RenderFile(file.c_str(), nullptr)) && RunToFirstFrame(graph.Get());
            bare.push_back(played ? Milliseconds(start) : 1e9);
            ComPtr<IMediaControl> control;
            if (SUCCEEDED(graph.As(&control)))
                StopGraph(control.Get());
            RemoveAllFilters(graph.Get());
        }
        const double a = Median(ours), b = Median(bare);
        std::printf("%-16s %12.1f %12.1f %8.2f\n", name, a, b, a / b);
    }
    return 0;
}
