#include "DSFilters/dspUtils.h"

#include <cstdlib>
#include <new>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

int32_t Unpack24Bit(TPacked24 sample)
{
    return sample.Bytes[0] + sample.Bytes[1] * 256 + static_cast<int8_t>(sample.Bytes[2]) * 65536;
}

void Pack24Bit(int32_t value, void* dest)
{
    auto* bytes = static_cast<uint8_t*>(dest);
    const auto bits = static_cast<uint32_t>(value);
    bytes[0] = static_cast<uint8_t>(bits);
    bytes[1] = static_cast<uint8_t>(bits >> 8);
    bytes[2] = static_cast<uint8_t>(bits >> 16);
}

int8_t Clip8Bit(int32_t value)
{
    return static_cast<int8_t>(value > 127 ? 127 : value < -128 ? -128 : value);
}

int16_t Clip16Bit(int32_t value)
{
    return static_cast<int16_t>(value > 32767 ? 32767 : value < -32768 ? -32768 : value);
}

int32_t Clip24Bit(int32_t value)
{
    return value > 8388607 ? 8388607 : value < -8388608 ? -8388608 : value;
}

int32_t Clip32Bit(int64_t value)
{
    return static_cast<int32_t>(value > 2147483647 ? 2147483647 : value < -2147483647 ? -2147483647 : value);
}

bool CPUHasSSE = false;
bool CPUHas3DNow = false;
bool CPUHas3DNowExt = false;

TCPUFeatures ReadCPUFeatures(const TCPUIDSource& source)
{
    TCPUFeatures features;
    if (!source.HasCPUID)
        return features;
    if (source.Query(1).Edx & (1u << 25))
        features.SSE = true;
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
#endif
    return source;
}

void GetCPUFeatures()
{
    CPUHasSSE = CPUHas3DNow = CPUHas3DNowExt = false;
    const TCPUFeatures features = ReadCPUFeatures(ProcessorCPUID());
    CPUHasSSE = features.SSE;
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
