#include "DSFilters/dspUtils.h"

#include <cstdlib>
#include <new>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

bool CPUHasSSE = false;
bool CPUHas3DNow = false;
bool CPUHas3DNowExt = false;
bool CPUHasAVX = false;

TCPUFeatures ReadCPUFeatures(const TCPUIDSource& source)
{
    TCPUFeatures features;
    if (!source.HasCPUID)
        return features;
    const TCPUIDRegs leaf1 = source.Query(1);
    if (leaf1.Edx & (1u << 25))
        features.SSE = true;
    // AVX needs the processor's flag and the operating system's: OSXSAVE, and XCR0 with both
    // the SSE and the AVX register states.
    const uint32_t avxAndOSXSave = (1u << 28) | (1u << 27);
    if ((leaf1.Ecx & avxAndOSXSave) == avxAndOSXSave && source.ExtendedControl)
        features.AVX = (source.ExtendedControl() & 6) == 6;
    // The extended leaf exists only when leaf 0x80000000 names a higher one.
    if (source.Query(0x80000000u).Eax > 0x80000000u) {
        const uint32_t edx = source.Query(0x80000001u).Edx;
        if (edx & (1u << 31))
            features.ThreeDNow = true;
        if (edx & (1u << 30))
            features.ThreeDNowExt = true;
    }
    return features;
}

TCPUIDSource ProcessorCPUID()
{
    TCPUIDSource source;
#if defined(__i386__) || defined(__x86_64__)
    // __get_cpuid_max toggles the ID flag of EFLAGS on 32-bit processors and answers 0 without CPUID.
    source.HasCPUID = __get_cpuid_max(0, nullptr) != 0;
    source.Query = [](uint32_t leaf) {
        TCPUIDRegs regs;
        __cpuid(leaf, regs.Eax, regs.Ebx, regs.Ecx, regs.Edx);
        return regs;
    };
    source.ExtendedControl = [] {
        uint32_t eax = 0, edx = 0;
        asm volatile("xgetbv" : "=a"(eax), "=d"(edx) : "c"(0));
        return static_cast<uint64_t>(edx) << 32 | eax;
    };
#endif
    return source;
}

void GetCPUFeatures()
{
    CPUHasSSE = CPUHas3DNow = CPUHas3DNowExt = CPUHasAVX = false;
    const TCPUFeatures features = ReadCPUFeatures(ProcessorCPUID());
    CPUHasSSE = features.SSE;
    CPUHasAVX = features.AVX;
    CPUHas3DNow = features.ThreeDNow;
    CPUHas3DNowExt = features.ThreeDNowExt;
}

void StartDspUtils()
{
    static const bool started = (GetCPUFeatures(), true);
    (void)started;
}

namespace {
const struct TDspUtilsStart {
    TDspUtilsStart() { StartDspUtils(); }
} DspUtilsStart;
}  // namespace

void* GetAlignedMem(void*& rawMem, size_t size)
{
    rawMem = std::malloc(size + 16);
    if (!rawMem)
        throw std::bad_alloc();
    return AlignedAbove(rawMem);
}

void FreeAlignedMem(void* rawMem)
{
    std::free(rawMem);
}
