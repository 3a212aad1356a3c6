#pragma once
// Changing the audio path of a built graph: which separate audio pin feeds the audio chain.
#include "dshow/DShow.h"

#include <vector>

// Feeds the audio chain's input from `requested` instead of the audio pin that feeds it now
// (the first pin of `audioPins` with a peer), through whatever decoder the graph inserts.
// False, leaving the graph alone, when no audio pin is connected or the requested one already
// is. When the requested pin cannot connect, the previous pin is connected again and the
// position and run state are restored: False. On success the graph resumes from the same
// position and runs: True unless the run fails. `stopGivenUp` tells whether the graph's stop
// never ended (StopGraph's VFW_E_TIMEOUT): False then, and the graph must not be called again.
bool SwitchAudioPin(IGraphBuilder* graph, const std::vector<IPin*>& audioPins, IPin* requested, IPin* chainInput,
                    bool* stopGivenUp = nullptr);

// Puts an effect (its input and output pins) between the chain's input and the pin that feeds
// it, connecting directly in the connection's current format. When the effect refuses that
// format or a connection fails, the upstream pin feeds the chain's input again and the result
// is a failure.
HRESULT SpliceEffect(IGraphBuilder* graph, IPin* effectInput, IPin* effectOutput, IPin* chainInput);
// Takes an effect out from in front of the chain's input and connects the pin that fed the
// effect to the chain's input directly. When that fails, the effect is put back as it was.
HRESULT UnspliceEffect(IGraphBuilder* graph, IPin* effectInput, IPin* effectOutput, IPin* chainInput);

// Stops the graph for a change of its connections and then brings back the position and the
// state it had (running, paused or stopped).
class TGraphPause {
public:
    TGraphPause(IGraphBuilder* graph);
    ~TGraphPause();
    TGraphPause(const TGraphPause&) = delete;
    TGraphPause& operator=(const TGraphPause&) = delete;
    // False when the graph's state could not be read or it did not stop.
    bool Stopped() const { return FStopped; }
    // The stop never ended (StopGraph's VFW_E_TIMEOUT): the graph must not be called again.
    bool StopGivenUp() const { return FStopResult == VFW_E_TIMEOUT; }

private:
    ComPtr<IMediaControl> FControl;
    ComPtr<IMediaSeeking> FSeeking;
    OAFilterState FState = State_Stopped;
    LONGLONG FPosition = 0;
    bool FStopped = false;
    HRESULT FStopResult = S_OK;
};
