#include "DSFilters/dspUtils.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

TEST(dspUtils, Packed24BitSamplesSignExtendAndDropTheTopByte)
{
    struct Case {
        uint8_t Bytes[3];
        int32_t Value;
    } cases[] = {
        {{0xFF, 0xFF, 0x7F}, 8388607}, {{0x00, 0x00, 0x80}, -8388608}, {{0xFF, 0xFF, 0xFF}, -1},
        {{0x01, 0x02, 0x03}, 0x030201}, {{0x00, 0x00, 0x00}, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Unpack24Bit({{c.Bytes[0], c.Bytes[1], c.Bytes[2]}}), c.Value);
        uint8_t packed[4] = {0, 0, 0, 0xAA};
        Pack24Bit(c.Value, packed);
        EXPECT_EQ(std::vector<uint8_t>(packed, packed + 4),
                  std::vector<uint8_t>({c.Bytes[0], c.Bytes[1], c.Bytes[2], 0xAA}));
    }
    // One above the 24-bit maximum wraps without saturation.
    uint8_t packed[3];
    Pack24Bit(8388608, packed);
    EXPECT_EQ(Unpack24Bit({{packed[0], packed[1], packed[2]}}), -8388608);
}

TEST(dspUtils, ClipsSaturateToEachWidthAnd32BitsSymmetrically)
{
    EXPECT_EQ(Clip8Bit(128), 127);
    EXPECT_EQ(Clip8Bit(-129), -128);
    EXPECT_EQ(Clip8Bit(-128), -128);
    EXPECT_EQ(Clip8Bit(5), 5);
    EXPECT_EQ(Clip16Bit(32768), 32767);
    EXPECT_EQ(Clip16Bit(-32769), -32768);
    EXPECT_EQ(Clip16Bit(-32768), -32768);
    EXPECT_EQ(Clip24Bit(8388608), 8388607);
    EXPECT_EQ(Clip24Bit(-8388609), -8388608);
    EXPECT_EQ(Clip24Bit(INT32_MIN), -8388608);
    EXPECT_EQ(Clip32Bit(-2147483648LL), -2147483647);
    EXPECT_EQ(Clip32Bit(2147483648LL), 2147483647);
    EXPECT_EQ(Clip32Bit(-2147483647LL), -2147483647);
    EXPECT_EQ(Clip32Bit(INT64_MIN), -2147483647);
}

// A processor that answers the leaves it is given and zero for others, with the operating
// system's XCR0.
TCPUIDSource FakeProcessor(std::map<uint32_t, TCPUIDRegs> leaves, bool hasCPUID = true, uint64_t xcr0 = 0)
{
    return {hasCPUID,
            [leaves](uint32_t leaf) {
                const auto it = leaves.find(leaf);
                return it == leaves.end() ? TCPUIDRegs{} : it->second;
            },
            [xcr0] { return xcr0; }};
}

TEST(dspUtils, FeatureFlagsComeFromTheirCPUIDBits)
{
    const TCPUIDRegs sse{0, 0, 0, 1u << 25};
    const TCPUIDRegs extendedTo1{0x80000001u, 0, 0, 0};
    const TCPUIDRegs both3DNow{0, 0, 0, (1u << 31) | (1u << 30)};

    TCPUFeatures f = ReadCPUFeatures(FakeProcessor({{1, sse}, {0x80000000u, extendedTo1}, {0x80000001u, both3DNow}}));
    EXPECT_TRUE(f.SSE && f.ThreeDNow && f.ThreeDNowExt);

    f = ReadCPUFeatures(FakeProcessor({{0x80000000u, extendedTo1}, {0x80000001u, {0, 0, 0, 1u << 31}}}));
    EXPECT_TRUE(!f.SSE && f.ThreeDNow && !f.ThreeDNowExt);

    // The extended leaf is not asked when the highest extended function is 0x80000000.
    f = ReadCPUFeatures(FakeProcessor({{1, sse}, {0x80000000u, {0x80000000u}}, {0x80000001u, both3DNow}}));
    EXPECT_TRUE(f.SSE && !f.ThreeDNow && !f.ThreeDNowExt);

    // Without CPUID every flag stays clear.
    f = ReadCPUFeatures(FakeProcessor({{1, sse}, {0x80000000u, extendedTo1}, {0x80000001u, both3DNow}}, false));
    EXPECT_TRUE(!f.SSE && !f.ThreeDNow && !f.ThreeDNowExt);
}

TEST(dspUtils, AVXNeedsTheProcessorsFlagOSXSaveAndBothRegisterStates)
{
    const uint32_t avx = 1u << 28, osxsave = 1u << 27, sse = 1u << 25;
    struct Case {
        uint32_t Ecx;
        uint64_t Xcr0;
        bool Expected;
    };
    const Case cases[] = {
        {avx | osxsave, 0x7, true},
        {avx | osxsave, 0x6, true},
        {avx | osxsave, 0x2, false},  // the system saves no upper halves
        {avx | osxsave, 0x4, false},
        {avx, 0x7, false},            // without OSXSAVE, XGETBV is not even allowed
        {osxsave, 0x7, false},
    };
    for (const Case& c : cases) {
        const TCPUIDRegs leaf1{0, 0, c.Ecx, sse};
        EXPECT_EQ(ReadCPUFeatures(FakeProcessor({{1, leaf1}}, true, c.Xcr0)).AVX, c.Expected) << std::hex << c.Ecx << " " << c.Xcr0;
    }
    // XCR0 is read only when the processor says it may be.
    bool asked = false;
    TCPUIDSource source = FakeProcessor({{1, {0, 0, avx, sse}}});
    source.ExtendedControl = [&asked] {
        asked = true;
        return uint64_t{7};
    };
    EXPECT_FALSE(ReadCPUFeatures(source).AVX);
    EXPECT_FALSE(asked);
}

TEST(dspUtils, StartUpReadsTheProcessor)
{
    const TCPUFeatures f = ReadCPUFeatures(ProcessorCPUID());
    EXPECT_EQ(CPUHasSSE, f.SSE);
    EXPECT_EQ(CPUHas3DNow, f.ThreeDNow);
    EXPECT_EQ(CPUHas3DNowExt, f.ThreeDNowExt);
    EXPECT_EQ(CPUHasAVX, f.AVX);
#if defined(__SSE__)
    EXPECT_TRUE(CPUHasSSE);  // the build itself targets SSE
#endif
}

TEST(dspUtils, AlignedBlocksStartOneTo16BytesAboveTheHeapPointer)
{
    alignas(16) static uint8_t area[64];
    EXPECT_EQ(AlignedAbove(area), area + 16);
    EXPECT_EQ(AlignedAbove(area + 1), area + 16);
    EXPECT_EQ(AlignedAbove(area + 15), area + 16);
    EXPECT_EQ(AlignedAbove(area + 16), area + 32);

    for (size_t size : {size_t(0), size_t(1), size_t(100), size_t(65536)}) {
        void* raw = nullptr;
        auto* aligned = static_cast<uint8_t*>(GetAlignedMem(raw, size));
        EXPECT_EQ(reinterpret_cast<uintptr_t>(aligned) % 16, 0u);
        const ptrdiff_t above = aligned - static_cast<uint8_t*>(raw);
        EXPECT_TRUE(above >= 1 && above <= 16) << above;
        if (size)
            aligned[size - 1] = 1;  // the last byte lies inside the block (ASan watches)
        FreeAlignedMem(raw);
    }
}

}  // namespace
