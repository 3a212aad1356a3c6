#pragma once
// Numeric base of the sound processor: packed 24-bit samples, saturation to PCM widths,
// the processor feature flags and 16-byte-aligned blocks.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

// Three bytes, little-endian, two's complement over 24 bits.
struct TPacked24 {
    uint8_t Bytes[3];
};
static_assert(sizeof(TPacked24) == 3);

// Pure and inline: the processing chain calls them for every sample.
inline int32_t Unpack24Bit(TPacked24 sample)
{
    return sample.Bytes[0] + sample.Bytes[1] * 256 + static_cast<int8_t>(sample.Bytes[2]) * 65536;
}

// Writes bits 0-23 of value; callers saturate first with Clip24Bit.
inline void Pack24Bit(int32_t value, void* dest)
{
    auto* bytes = static_cast<uint8_t*>(dest);
    const auto bits = static_cast<uint32_t>(value);
    bytes[0] = static_cast<uint8_t>(bits);
    bytes[1] = static_cast<uint8_t>(bits >> 8);
    bytes[2] = static_cast<uint8_t>(bits >> 16);
}

inline int8_t Clip8Bit(int32_t value)
{
    return static_cast<int8_t>(value > 127 ? 127 : value < -128 ? -128 : value);
}

inline int16_t Clip16Bit(int32_t value)
{
    return static_cast<int16_t>(value > 32767 ? 32767 : value < -32768 ? -32768 : value);
}

inline int32_t Clip24Bit(int32_t value)
{
    return value > 8388607 ? 8388607 : value < -8388608 ? -8388608 : value;
}

// Symmetric: -2147483648 itself gives -2147483647.
inline int32_t Clip32Bit(int64_t value)
{
    return static_cast<int32_t>(value > 2147483647 ? 2147483647 : value < -2147483647 ? -2147483647 : value);
}

// Set once at start-up, before the transform picks its kernels; read-only afterwards.
extern bool CPUHasSSE;
extern bool CPUHas3DNow;
extern bool CPUHas3DNowExt;
// AVX of the processor with the operating system saving the wider registers.
extern bool CPUHasAVX;

// The CPUID instruction of the processor or, in tests, a stand-in for one.
struct TCPUIDRegs {
    uint32_t Eax = 0, Ebx = 0, Ecx = 0, Edx = 0;
};
struct TCPUIDSource {
    bool HasCPUID = false;
    std::function<TCPUIDRegs(uint32_t leaf)> Query;
    // XCR0, the register states the operating system saves; asked only when OSXSAVE is set.
    std::function<uint64_t()> ExtendedControl;
};
struct TCPUFeatures {
    bool SSE = false;
    bool ThreeDNow = false;
    bool ThreeDNowExt = false;
    bool AVX = false;
};
TCPUFeatures ReadCPUFeatures(const TCPUIDSource& source);
TCPUIDSource ProcessorCPUID();

// Clears the flags and sets those the processor reports.
void GetCPUFeatures();
// Runs the unit's start-up once; later calls do nothing.
void StartDspUtils();

// Allocates size + 16 bytes; rawMem receives the heap's pointer (free it with FreeAlignedMem),
// the result is rawMem rounded down to 16 plus 16. Throws std::bad_alloc when the heap is out.
void* GetAlignedMem(void*& rawMem, size_t size);
void FreeAlignedMem(void* rawMem);
// The aligned address GetAlignedMem hands out for a given heap pointer.
inline void* AlignedAbove(void* rawMem)
{
    return reinterpret_cast<void*>((reinterpret_cast<uintptr_t>(rawMem) & ~uintptr_t(15)) + 16);
}

// Owner of one aligned block.
class TAlignedBlock {
public:
    TAlignedBlock() = default;
    explicit TAlignedBlock(size_t size)
    {
        void* raw = nullptr;
        FAligned = GetAlignedMem(raw, size);
        FRaw.reset(raw);
    }
    void* Data() const { return FAligned; }
    template <class T>
    T* As() const { return static_cast<T*>(FAligned); }

private:
    struct TFree {
        void operator()(void* raw) const { FreeAlignedMem(raw); }
    };
    std::unique_ptr<void, TFree> FRaw;
    void* FAligned = nullptr;
};
