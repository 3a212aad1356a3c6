#include "engine/SRS_CircleSurroundII.h"

#include "dshow/BCMediaType.h"

TSRS_CircleSurroundII::TSRS_CircleSurroundII(TComponent* owner) : TSRSEffectCntl(owner)
{
    CreateEffect(CLSID_SRS_CircleSurroundII);
}

void TSRS_CircleSurroundII::ReadStoredProperties()
{
    SetFullBandWidthCenterEnabled(false);
    SetTruBassFrontEnabled(false);
    SetTruBassSpeakerType(TSRS_CS_SpeakerSize::spHeadphone);
    SetInputGain(0);
    SetFocusEnabled(false);
    SetRearCenterEnabled(false);
    SetTruSurroundOutput(TCSOutputMode::omStereo);
}

void TSRS_CircleSurroundII::ApplyCachedSettings()
{
    SetBypass(FBypass);
    SetBypassType(FBypassType);
    SetTruSurroundOutput(FTruSurroundOutput);
    SetMode(FMode);
    SetRearCenterEnabled(FRearCenterEnabled);
    SetRearCenterFullBandwidth(FRearCenterFullBandwidth);
    SetPhantomCenterEnabled(FPhantomCenterEnabled);
    SetFullBandWidthCenterEnabled(FFullBandWidthCenterEnabled);
    SetInputGain(FInputGain);
    SetTruBassFrontEnabled(FTruBassFrontEnabled);
    SetTruBassSubwooferEnabled(FTruBassSubwooferEnabled);
    SetTruBassSpeakerType(FTruBassSpeakerType);
    SetTruBassLevel(FTruBassLevel);
    SetFocusEnabled(FFocusEnabled);
    SetFocusLevel(FFocusLevel);
}

void TSRS_CircleSurroundII::SetInputGain(int32_t value)
{
    FInputGain = value;
    if (auto* effect = Effect())
        effect->SetInputGain(LevelToEffect(ClampLevel(value, 0, 100)));
}

HRESULT TSRS_CircleSurroundII::InsertFilterIntoAudioChain(IPin* upstream, IPin* downstream)
{
    if (!upstream || !downstream || !FFilter)
        return E_FAIL;
    // 1. What upstream feeds now, and what else feeds downstream, to restore on failure.
    const ComPtr<IPin> peer = ConnectedPeer(upstream);
    ComPtr<IPin> downstreamPeer = ConnectedPeer(downstream);
    if (downstreamPeer.Get() == upstream)
        downstreamPeer.Reset();
    // 2. The format the effect must take.
    TBCMediaType connection;
    if (FAILED(upstream->ConnectionMediaType(connection.Get())))
        return E_FAIL;
    // 3.-5. The effect, free of any earlier connection, accepts it and sits in a graph.
    DisconnectFromPeer(FInputPin.Get());
    DisconnectFromPeer(FOutputPin.Get());
    if (FInputPin->QueryAccept(connection.Get()) != S_OK)
        return E_FAIL;
    FILTER_INFO info{};
    if (FAILED(FFilter->QueryFilterInfo(&info)))
        return E_FAIL;
    const ComPtr<IFilterGraph> graph = AdoptRef(info.pGraph);
    if (!graph)
        return E_FAIL;
    // 6. The settings follow once the effect is in place.
    if (auto* effect = Effect())
        effect->PrepareForInsertion();
    // 7.-9. Splice; a failed connection puts the chain back as it was.
    upstream->Disconnect();
    if (peer)
        peer->Disconnect();
    downstream->Disconnect();
    if (downstreamPeer)
        downstreamPeer->Disconnect();
    const auto restore = [&] {
        upstream->Disconnect();
        FInputPin->Disconnect();
        if (ComPtr<IPin> effectPeer = ConnectedPeer(FOutputPin.Get())) {
            effectPeer->Disconnect();
            FOutputPin->Disconnect();
        }
        downstream->Disconnect();
        if (peer && graph->ConnectDirect(upstream, peer.Get(), connection.Get()) != S_OK)
            graph->ConnectDirect(upstream, peer.Get(), nullptr);
        if (downstreamPeer)
            graph->ConnectDirect(downstreamPeer.Get(), downstream, nullptr);
    };
    if (graph->ConnectDirect(upstream, FInputPin.Get(), nullptr) != S_OK) {
        restore();
        return E_FAIL;
    }
    if (graph->ConnectDirect(FOutputPin.Get(), downstream, nullptr) != S_OK) {
        restore();
        return E_FAIL;
    }
    // 10.
    ApplyCachedSettings();
    return S_OK;
}
