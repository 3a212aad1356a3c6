#include "engine/AudioSwitching.h"

#include "dshow/BCMediaType.h"
#include "engine/MyDSUtils.h"

namespace {

void RestoreRunState(IMediaControl* control, OAFilterState state)
{
    if (state == State_Running)
        control->Run();
    else if (state == State_Paused)
        control->Pause();
}

}  // namespace

bool SwitchAudioPin(IGraphBuilder* graph, const std::vector<IPin*>& audioPins, IPin* requested, IPin* chainInput,
                    bool* stopGivenUp)
{
    if (stopGivenUp)
        *stopGivenUp = false;
    if (!graph || !requested || !chainInput)
        return false;
    ComPtr<IMediaControl> control;
    if (FAILED(graph->QueryInterface(IID_PPV_ARGS(&control))))
        return false;

    // 2. Where to resume.
    ComPtr<IMediaSeeking> seeking;
    LONGLONG current = 0, stop = 0;
    if (SUCCEEDED(graph->QueryInterface(IID_PPV_ARGS(&seeking))) && FAILED(seeking->GetPositions(&current, &stop)))
        seeking.Reset();

    // 3. The pin that plays now.
    IPin* playing = nullptr;
    for (IPin* pin : audioPins)
        if (pin && ConnectedPeer(pin)) {
            playing = pin;
            break;
        }
    if (!playing || playing == requested)
        return false;

    // 4. Stop and take the old stream and its decoder off the chain.
    OAFilterState before = State_Stopped;
    control->GetState(0, &before);
    const HRESULT stopped = StopGraph(control.Get());
    if (stopGivenUp)
        *stopGivenUp = stopped == VFW_E_TIMEOUT;
    if (FAILED(stopped) || FAILED(DisconnectPair(graph, playing)))
        return false;
    if (ConnectedPeer(chainInput) && FAILED(DisconnectPair(graph, chainInput)))
        return false;

    // 5. The new stream, or the old one back.
    const bool switched = SUCCEEDED(graph->Connect(requested, chainInput));
    if (!switched) {
        DisconnectPair(graph, requested);
        if (ConnectedPeer(chainInput))
            DisconnectPair(graph, chainInput);
        graph->Connect(playing, chainInput);
    }

    // 6. Resume where it was.
    if (seeking)
        seeking->SetPositions(&current, AM_SEEKING_AbsolutePositioning, &stop, AM_SEEKING_NoPositioning);
    if (!switched) {
        RestoreRunState(control.Get(), before);
        return false;
    }
    return SUCCEEDED(control->Run());
}

HRESULT SpliceEffect(IGraphBuilder* graph, IPin* effectInput, IPin* effectOutput, IPin* chainInput)
{
    if (!graph || !effectInput || !effectOutput || !chainInput)
        return E_POINTER;
    const ComPtr<IPin> upstream = ConnectedPeer(chainInput);
    if (!upstream)
        return VFW_E_NOT_CONNECTED;
    TBCMediaType connection;
    HRESULT result = upstream->ConnectionMediaType(connection.Get());
    if (FAILED(result))
        return result;
    DisconnectPair(graph, effectInput);
    DisconnectPair(graph, effectOutput);
    if (effectInput->QueryAccept(connection.Get()) != S_OK)
        return VFW_E_TYPE_NOT_ACCEPTED;
    DisconnectPair(graph, chainInput);
    result = graph->ConnectDirect(upstream.Get(), effectInput, nullptr);
    if (SUCCEEDED(result))
        result = graph->ConnectDirect(effectOutput, chainInput, nullptr);
    if (FAILED(result)) {
        DisconnectPair(graph, effectInput);
        DisconnectPair(graph, effectOutput);
        graph->ConnectDirect(upstream.Get(), chainInput, nullptr);
    }
    return result;
}

HRESULT UnspliceEffect(IGraphBuilder* graph, IPin* effectInput, IPin* effectOutput, IPin* chainInput)
{
    if (!graph || !effectInput || !effectOutput || !chainInput)
        return E_POINTER;
    const ComPtr<IPin> upstream = ConnectedPeer(effectInput);
    if (!upstream)
        return VFW_E_NOT_CONNECTED;
    graph->Disconnect(upstream.Get());
    DisconnectPair(graph, chainInput);
    graph->Disconnect(effectInput);
    DisconnectPair(graph, effectOutput);
    const HRESULT result = graph->ConnectDirect(upstream.Get(), chainInput, nullptr);
    if (FAILED(result)) {
        // Put the chain back as it was rather than leave it without sound.
        DisconnectPair(graph, upstream.Get());
        graph->ConnectDirect(upstream.Get(), effectInput, nullptr);
        graph->ConnectDirect(effectOutput, chainInput, nullptr);
    }
    return result;
}

TGraphPause::TGraphPause(IGraphBuilder* graph)
{
    if (!graph || FAILED(graph->QueryInterface(IID_PPV_ARGS(&FControl))) || FAILED(FControl->GetState(0, &FState)))
        return;
    if (SUCCEEDED(graph->QueryInterface(IID_PPV_ARGS(&FSeeking))) && FAILED(FSeeking->GetCurrentPosition(&FPosition)))
        FSeeking.Reset();
    FStopResult = StopGraph(FControl.Get());
    FStopped = SUCCEEDED(FStopResult);
}

TGraphPause::~TGraphPause()
{
    if (!FStopped)
        return;
    if (FSeeking)
        FSeeking->SetPositions(&FPosition, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
    RestoreRunState(FControl.Get(), FState);
}
