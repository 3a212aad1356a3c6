#include "ui/Visualisation.h"

#include "engine/CommonUnit.h"
#include "graphics/Image32.h"

TVisualisation::TVisualisation(TCommonModule& engine, TPaintBox32& box) : FEngine(engine), FBox(box)
{
    FState.Top = box.Height();
}

void TVisualisation::SetAudioOnly(bool audioOnly)
{
    FState.AudioOnly = audioOnly;
    FState.Stride = audioOnly ? 1 : 10;
}

void TVisualisation::VisualData(const void* buffer, int32_t size, const TDSStream* stream)
{
    TCommonModule& m = FEngine;
    if (!m.VisualFFT || !m.VisualBitmap || !m.FadeBitmap)
        return;
    int32_t* values = m.Visual.Analysis.data();
    if (buffer && stream &&
        ProcessVisual(m.Visual, FState, *m.VisualFFT, buffer, size, stream->Float, stream->Channels, stream->Bits)) {
        DrawVisual(m.Visual, FState, *m.VisualBitmap, *m.FadeBitmap, m.VisualBackColor, values, FState.Base,
                   stream->Channels, 512, FState.Top);
    } else {
        std::fill(m.Visual.Analysis.begin(), m.Visual.Analysis.end(), 0);
        DrawVisual(m.Visual, FState, *m.VisualBitmap, *m.FadeBitmap, m.VisualBackColor, values, 0, FState.LastChannels,
                   512, 0);
    }
    FBox.Invalidate();
}
