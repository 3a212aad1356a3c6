#pragma once
// Per-pixel blend primitives and the table they are called through. The plain set is the
// reference; an SSE2 set, within two units per channel of it, is chosen at start-up when the
// processor has it, and an AVX2 set with the same arithmetic (wider line blends) when the
// processor and the operating system support AVX2.
//   F foreground, B background, W weight 0..255, M master alpha 0..255.
#include "graphics/Color32.h"

using TCombineWeighted = TColor32 (*)(TColor32 f, TColor32 b, TColor32 w);
using TCombineWeightedInPlace = void (*)(TColor32 f, TColor32& b, TColor32 w);
using TBlendByAlpha = TColor32 (*)(TColor32 f, TColor32 b);
using TBlendByAlphaInPlace = void (*)(TColor32 f, TColor32& b);
using TBlendByAlphaMaster = TColor32 (*)(TColor32 f, TColor32 b, TColor32 m);
using TBlendByAlphaMasterInPlace = void (*)(TColor32 f, TColor32& b, TColor32 m);
using TBlendLine = void (*)(const TColor32* src, TColor32* dst, int count);
using TBlendLineMaster = void (*)(const TColor32* src, TColor32* dst, int count, TColor32 m);

struct TBlendFunctionTable {
    TCombineWeighted CombineWeighted;                    // W = 0 gives B, W = 255 gives F
    TCombineWeightedInPlace CombineWeightedInPlace;
    TBlendByAlpha BlendByAlpha;                          // weight = alpha(F)
    TBlendByAlphaInPlace BlendByAlphaInPlace;            // alpha 0 leaves B untouched
    TBlendByAlphaMaster BlendByAlphaMaster;              // weight = ((M + 1) * alpha(F)) shr 8
    TBlendByAlphaMasterInPlace BlendByAlphaMasterInPlace;
    TBlendLine BlendLine;                                // BlendByAlphaInPlace per pixel
    TBlendLineMaster BlendLineMaster;                    // BlendByAlphaMasterInPlace per pixel
};

// Every caller goes through this table.
extern TBlendFunctionTable BlendFunctionTable;
// The sets, for choosing and for comparing them. A set this build cannot target is the one below it.
const TBlendFunctionTable& ReferenceBlendFunctions();
const TBlendFunctionTable& SSE2BlendFunctions();
const TBlendFunctionTable& AVX2BlendFunctions();

bool CpuidAvailable();
bool HasSSE2();
// The rule HasSSE2 applies to what the processor answers: CPUID present and bit 26 of leaf 1's EDX.
bool HasSSE2(bool cpuidAvailable, uint32_t leaf1Edx);
bool HasAVX2();
// The rule HasAVX2 applies: CPUID with leaf 7, AVX2 (bit 5 of leaf 7's EBX) and AVX (bit 28 of
// leaf 1's ECX), and the operating system's support of the wider registers: OSXSAVE (bit 27 of
// leaf 1's ECX) with XCR0 holding both the SSE and the AVX register states.
bool HasAVX2(bool cpuidAvailable, uint32_t maxLeaf, uint32_t leaf1Ecx, uint32_t leaf7Ebx, uint64_t xcr0);
// Set once by SelectBlendFunctions.
extern bool ProcessorHasSSE2;
extern bool ProcessorHasAVX2;
// Fills BlendFunctionTable by the processor tests; runs at start-up.
void SelectBlendFunctions();
// The same for given answers of the tests: the AVX2 set when both hold, the SSE2 set when SSE2
// does, else the plain set.
void SelectBlendFunctions(bool hasSSE2, bool hasAVX2);
