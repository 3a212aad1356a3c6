#pragma once
// A real Wine graph playing a short WAV file: source, wave parser and audio renderer, with
// the connection between the parser's output (Upstream) and the renderer's input
// (Downstream) that the outside filters are spliced into.
#include "framework/SysUtils.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WavWriter.h"
#include "tests/support/WineGraph.h"

#include <gtest/gtest.h>

namespace pvltest {

inline bool IsConnectedTo(IPin* pin, IPin* expected)
{
    const ComPtr<IPin> peer = ConnectedPeer(pin);
    return peer && peer.Get() == expected;
}

inline bool InGraph(IGraphBuilder* graph, IBaseFilter* filter)
{
    ComPtr<IEnumFilters> filters;
    if (FAILED(graph->EnumFilters(&filters)))
        return false;
    ComPtr<IBaseFilter> each;
    while (filters->Next(1, each.ReleaseAndGetAddressOf(), nullptr) == S_OK)
        if (each.Get() == filter)
            return true;
    return false;
}

class TAudioChain {
    TTempDir FDir;  // first, so the file goes after the graph that reads it

public:
    explicit TAudioChain(double seconds = 0.5)
    {
        const std::string wav = FDir.File("tone.wav");
        WriteWav(wav, TWavSpec{.Seconds = seconds}, Sine(440, 0.5, 44100));
        Graph = NewGraph();
        if (!Graph || FAILED(Graph->RenderFile(AnsiToWide(wav).c_str(), nullptr)))
            return;
        // The renderer is the filter with a connected input and no output.
        ComPtr<IEnumFilters> filters;
        Graph->EnumFilters(&filters);
        ComPtr<IBaseFilter> filter;
        while (!Downstream && filters->Next(1, filter.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
            ComPtr<IEnumPins> pins;
            filter->EnumPins(&pins);
            ComPtr<IPin> pin, input;
            bool hasOutput = false;
            while (pins->Next(1, pin.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
                PIN_DIRECTION direction;
                pin->QueryDirection(&direction);
                if (direction == PINDIR_OUTPUT)
                    hasOutput = true;
                else if (!input && ConnectedPeer(pin.Get()))
                    input = pin;
            }
            if (input && !hasOutput)
                Downstream = input;
        }
        Upstream = ConnectedPeer(Downstream.Get());
    }

    bool Ready() const { return Graph && Upstream && Downstream; }
    // Upstream feeds Downstream directly, as before any splice.
    bool Original() const { return IsConnectedTo(Upstream.Get(), Downstream.Get()) && IsConnectedTo(Downstream.Get(), Upstream.Get()); }
    // Puts `filter` between Upstream and Downstream by hand.
    HRESULT Splice(IBaseFilter* filter, IPin* input, IPin* output, const wchar_t* name)
    {
        HRESULT result = Graph->AddFilter(filter, name);
        if (FAILED(result))
            return result;
        Upstream->Disconnect();
        Downstream->Disconnect();
        result = Graph->ConnectDirect(Upstream.Get(), input, nullptr);
        if (SUCCEEDED(result))
            result = Graph->ConnectDirect(output, Downstream.Get(), nullptr);
        return result;
    }
    long Play() { return RunUntilComplete(Graph.Get(), 15000); }

    ComPtr<IGraphBuilder> Graph;
    ComPtr<IPin> Upstream;
    ComPtr<IPin> Downstream;
};

}  // namespace pvltest
