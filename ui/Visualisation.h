#pragma once
// The visualisation in the main window's pbVisual: the engine's block of PCM is analysed into
// the engine's buffer and drawn into its visual bitmap, which pbVisual shows.
#include "ui/VisualisationCore.h"

#include "engine/EngineServices.h"

class TCommonModule;
class TPaintBox32;

class TVisualisation : public IVisualDisplay {
public:
    TVisualisation(TCommonModule& engine, TPaintBox32& box);

    void VisualData(const void* buffer, int32_t size, const TDSStream* stream) override;
    // Sound alone: every frame with pre-emphasis; beside a picture every tenth frame.
    void SetAudioOnly(bool audioOnly);
    TVisualState& State() { return FState; }

private:
    TCommonModule& FEngine;
    TPaintBox32& FBox;
    TVisualState FState;
};
