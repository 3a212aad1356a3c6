#include "graphics/Blend.h"

#include "graphics/PixelBlends.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace {

// Each channel (F * W + 128) shr 8 + (B * (255 - W) + 128) shr 8, two channels per multiply.
// Neither part can exceed its own weight, so the sums never carry into the next channel.
inline TColor32 MixChannels(TColor32 f, TColor32 b, TColor32 w)
{
    const TColor32 v = w ^ 0xFF;
    const TColor32 fRB = ((f & 0x00FF00FF) * w + 0x00800080) >> 8 & 0x00FF00FF;
    const TColor32 fAG = ((f >> 8 & 0x00FF00FF) * w + 0x00800080) & 0xFF00FF00;
    const TColor32 bRB = ((b & 0x00FF00FF) * v + 0x00800080) >> 8 & 0x00FF00FF;
    const TColor32 bAG = ((b >> 8 & 0x00FF00FF) * v + 0x00800080) & 0xFF00FF00;
    return fRB + fAG + bRB + bAG;
}

using TPlain = TPixelBlends<MixChannels>;

void BlendLineRef(const TColor32* src, TColor32* dst, int count)
{
    for (int i = 0; i < count; ++i)
        TPlain::BlendByAlphaInPlace(src[i], dst[i]);
}

void BlendLineMasterRef(const TColor32* src, TColor32* dst, int count, TColor32 m)
{
    for (int i = 0; i < count; ++i)
        TPlain::BlendByAlphaMasterInPlace(src[i], dst[i], m);
}

constexpr TBlendFunctionTable kReference = {
    TPlain::CombineWeighted,    TPlain::CombineWeightedInPlace,    TPlain::BlendByAlpha, TPlain::BlendByAlphaInPlace,
    TPlain::BlendByAlphaMaster, TPlain::BlendByAlphaMasterInPlace, BlendLineRef,         BlendLineMasterRef,
};

}  // namespace

// The reference set until start-up has tested the processor.
TBlendFunctionTable BlendFunctionTable = kReference;
bool ProcessorHasSSE2 = false;
bool ProcessorHasAVX2 = false;

const TBlendFunctionTable& ReferenceBlendFunctions()
{
    return kReference;
}

bool CpuidAvailable()
{
#if defined(__i386__) || defined(__x86_64__)
    // On 32-bit processors this tests whether EFLAGS bit 21 can be toggled.
    return __get_cpuid_max(0, nullptr) != 0;
#else
    return false;
#endif
}

bool HasSSE2(bool cpuidAvailable, uint32_t leaf1Edx)
{
    return cpuidAvailable && (leaf1Edx & (1u << 26)) != 0;
}

bool HasSSE2()
{
#if defined(__i386__) || defined(__x86_64__)
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    const bool available = CpuidAvailable() && __get_cpuid(1, &eax, &ebx, &ecx, &edx);
    return HasSSE2(available, edx);
#else
    return false;
#endif
}

bool HasAVX2(bool cpuidAvailable, uint32_t maxLeaf, uint32_t leaf1Ecx, uint32_t leaf7Ebx, uint64_t xcr0)
{
    const uint32_t avxAndOSXSave = (1u << 28) | (1u << 27);
    return cpuidAvailable && maxLeaf >= 7 && (leaf1Ecx & avxAndOSXSave) == avxAndOSXSave && (xcr0 & 6) == 6 &&
           (leaf7Ebx & (1u << 5)) != 0;
}

bool HasAVX2()
{
#if defined(__i386__) || defined(__x86_64__)
    if (!CpuidAvailable())
        return false;
    const unsigned maxLeaf = __get_cpuid_max(0, nullptr);
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    __cpuid(1, eax, ebx, ecx, edx);
    const uint32_t leaf1Ecx = ecx;
    // XGETBV faults where the operating system has not enabled it (OSXSAVE clear).
    uint64_t xcr0 = 0;
    if (leaf1Ecx & (1u << 27)) {
        uint32_t low = 0, high = 0;
        asm volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
        xcr0 = static_cast<uint64_t>(high) << 32 | low;
    }
    uint32_t leaf7Ebx = 0;
    if (maxLeaf >= 7) {
        __cpuid_count(7, 0, eax, ebx, ecx, edx);
        leaf7Ebx = ebx;
    }
    return HasAVX2(true, maxLeaf, leaf1Ecx, leaf7Ebx, xcr0);
#else
    return false;
#endif
}

void SelectBlendFunctions(bool hasSSE2, bool hasAVX2)
{
    ProcessorHasSSE2 = hasSSE2;
    ProcessorHasAVX2 = hasSSE2 && hasAVX2;
    BlendFunctionTable = ProcessorHasAVX2 ? AVX2BlendFunctions() : hasSSE2 ? SSE2BlendFunctions() : kReference;
}

void SelectBlendFunctions()
{
    SelectBlendFunctions(HasSSE2(), HasAVX2());
}

namespace {
struct TBlendStartUp {
    TBlendStartUp() { SelectBlendFunctions(); }
} blendStartUp;
}
