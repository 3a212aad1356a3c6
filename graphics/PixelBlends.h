#pragma once
// The single-pixel blend primitives around a channel mixer, shared by the plain and the SSE2
// set: the weight tests come before any arithmetic, so weight 0 gives B and 255 gives F exactly.
#include "graphics/Color32.h"

template <TColor32 (*Mix)(TColor32 f, TColor32 b, TColor32 w)>
struct TPixelBlends {
    // ((M + 1) * alpha(F)) shr 8, master alpha above 255 counting as 255.
    static TColor32 MasterWeight(TColor32 f, TColor32 m) { return ((m > 255 ? 255 : m) + 1) * (f >> 24) >> 8; }

    static TColor32 CombineWeighted(TColor32 f, TColor32 b, TColor32 w)
    {
        if (w == 0)
            return b;
        if (w >= 255)
            return f;
        return Mix(f, b, w);
    }
    static void CombineWeightedInPlace(TColor32 f, TColor32& b, TColor32 w)
    {
        if (w != 0)
            b = w >= 255 ? f : Mix(f, b, w);
    }
    static TColor32 BlendByAlpha(TColor32 f, TColor32 b) { return CombineWeighted(f, b, f >> 24); }
    static void BlendByAlphaInPlace(TColor32 f, TColor32& b) { CombineWeightedInPlace(f, b, f >> 24); }
    static TColor32 BlendByAlphaMaster(TColor32 f, TColor32 b, TColor32 m)
    {
        return CombineWeighted(f, b, MasterWeight(f, m));
    }
    static void BlendByAlphaMasterInPlace(TColor32 f, TColor32& b, TColor32 m)
    {
        CombineWeightedInPlace(f, b, MasterWeight(f, m));
    }
};
