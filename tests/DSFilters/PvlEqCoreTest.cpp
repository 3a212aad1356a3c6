#include "DSFilters/PvlEqCore.h"

#include "DSFilters/dspUtils.h"
#include "engine/CommonUnitCore.h"
#include "engine/Common_Types.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace {

const TPCMFormat U8{44100, 8, 2, false};
const TPCMFormat S16{44100, 16, 2, false};
const TPCMFormat S24{44100, 24, 2, false};
const TPCMFormat S32{44100, 32, 2, false};
const TPCMFormat F32{44100, 32, 2, true};
const TPCMFormat AllFormats[] = {U8, S16, S24, S32, F32};

std::string Name(const TPCMFormat& f)
{
    return f.Float ? "float" : std::to_string(f.Bits) + "-bit";
}

TPCMFormat WithChannels(TPCMFormat f, int channels, int frequency = 44100)
{
    f.Channels = channels;
    f.Frequency = frequency;
    return f;
}

// A PCM block in an aligned buffer (optionally starting `offset` bytes further), read and
// written as the values the chain computes with (8-bit: byte - 128).
class TBlock {
public:
    TBlock(const TPCMFormat& format, int samples, size_t offset = 0)
        : Format(format), Length(samples * format.BytesPerSample()), FStorage(Length + offset + 16), FOffset(offset)
    {
        std::memset(Data(), format.Bits == 8 && !format.Float ? 128 : 0, Length);
    }
    uint8_t* Data() const { return FStorage.As<uint8_t>() + FOffset; }
    int Samples() const { return Length / Format.BytesPerSample(); }

    void Set(int i, double v) const
    {
        uint8_t* p = Data() + i * Format.BytesPerSample();
        if (Format.Float) {
            const auto f = static_cast<float>(v);
            std::memcpy(p, &f, 4);
        } else if (Format.Bits == 8) {
            p[0] = static_cast<uint8_t>(static_cast<int>(v) + 128);
        } else if (Format.Bits == 16) {
            const auto s = static_cast<int16_t>(v);
            std::memcpy(p, &s, 2);
        } else if (Format.Bits == 24) {
            Pack24Bit(static_cast<int32_t>(v), p);
        } else {
            const auto s = static_cast<int32_t>(v);
            std::memcpy(p, &s, 4);
        }
    }

    double Get(int i) const
    {
        const uint8_t* p = Data() + i * Format.BytesPerSample();
        if (Format.Float) {
            float f;
            std::memcpy(&f, p, 4);
            return f;
        }
        if (Format.Bits == 8)
            return p[0] - 128;
        if (Format.Bits == 16) {
            int16_t s;
            std::memcpy(&s, p, 2);
            return s;
        }
        if (Format.Bits == 24)
            return Unpack24Bit({{p[0], p[1], p[2]}});
        int32_t s;
        std::memcpy(&s, p, 4);
        return s;
    }

    void Fill(double v) const
    {
        for (int i = 0; i < Samples(); ++i)
            Set(i, v);
    }

    void Process(TPvlSPChain& chain) const
    {
        chain.ProcessBlock(Data(), Length, Format.Frequency, Format.Bits, Format.Channels, Format.Float);
    }

    std::vector<uint8_t> Bytes() const { return {Data(), Data() + Length}; }

    TPCMFormat Format;
    int Length;

private:
    TAlignedBlock FStorage;
    size_t FOffset;
};

// Full scale of each format, as the chain computes with it.
double Top(const TPCMFormat& f)
{
    return f.Float ? 1.0 : f.Bits == 8 ? 127 : f.Bits == 16 ? 32767 : f.Bits == 24 ? 8388607 : 2147483647;
}
double Bottom(const TPCMFormat& f)
{
    return f.Float ? -1.0 : f.Bits == 32 ? -2147483647 : -Top(f) - 1;
}

TEST(Chain, DisabledStagesInvalidFormatsAndEmptyBlocksLeaveTheBlockAlone)
{
    std::mt19937 random(1);
    for (const auto& format : AllFormats) {
        TBlock block(format, 4096);
        for (int i = 0; i < block.Length; ++i)
            block.Data()[i] = static_cast<uint8_t>(random());
        const auto before = block.Bytes();
        TPvlSPChain chain;
        block.Process(chain);
        EXPECT_EQ(block.Bytes(), before) << Name(format);
    }

    TPvlSPChain chain;
    chain.AmplifyEnabled = true;
    chain.Amplify[0] = 20000;
    chain.DynamicAmplifyEnabled = true;
    chain.Sound3DEnabled = true;
    chain.EnableEqualizer(true);
    TBlock block(S16, 4096);
    block.Fill(1000);
    const auto before = block.Bytes();
    chain.ProcessBlock(block.Data(), 0, 44100, 16, 2, false);
    chain.ProcessBlock(block.Data(), -4, 44100, 16, 2, false);
    chain.ProcessBlock(block.Data(), block.Length, 44100, 20, 2, false);
    chain.ProcessBlock(block.Data(), block.Length, 44100, 16, 2, true);
    chain.ProcessBlock(block.Data(), block.Length, 44100, 16, 0, false);
    EXPECT_EQ(block.Bytes(), before);
}

TEST(Amplify, ScalesByATruncatedRatioAndSaturatesAtEachFormatsEdges)
{
    struct Case {
        TPCMFormat Format;
        double In;
        int32_t Gain;
        double Out;
    } cases[] = {
        {U8, 72, 15000, 108},  // byte 200 becomes 236
        {U8, 100, 20000, 127},
        {U8, -100, 20000, -128},
        {S16, 30000, 20000, 32767},
        {S16, -30000, 20000, -32768},
        {S16, 1001, 5000, 500},
        {S16, -1001, 5000, -500},
        {S24, 8000000, 20000, 8388607},
        {S24, -8000000, 20000, -8388608},
        {S32, 2000000000, 20000, 2147483647},
        {S32, -2000000000, 20000, -2147483647},
        {S32, -2147483647, 10001, -2147483647},
        {F32, 0.75, 20000, 1.5},  // float is not saturated
        {F32, -0.5, 5000, -0.25},
    };
    for (const auto& c : cases) {
        TPvlSPChain chain;
        chain.AmplifyEnabled = true;
        chain.Amplify[0] = c.Gain;
        TBlock block(c.Format, 2);
        block.Fill(c.In);
        block.Process(chain);
        EXPECT_EQ(block.Get(0), c.Out) << Name(c.Format) << " " << c.In;
        EXPECT_EQ(block.Get(1), c.Out) << Name(c.Format) << " " << c.In;
    }
}

TEST(Amplify, FloatSamplesAreScaledExactlyOnceWhateverTheLengthAndAlignment)
{
    for (int samples : {1, 3, 4, 7, 13}) {
        for (size_t offset : {0, 4, 8}) {
            TPvlSPChain chain;
            chain.AmplifyEnabled = true;
            chain.Amplify[0] = 30000;
            TBlock block(WithChannels(F32, 1), samples, offset);
            for (int i = 0; i < samples; ++i)
                block.Set(i, 0.1 * (i + 1));
            block.Process(chain);
            for (int i = 0; i < samples; ++i)
                EXPECT_EQ(block.Get(i), static_cast<float>(0.1 * (i + 1)) * 3.0f) << samples << " at " << offset;
        }
    }
}

TEST(Amplify, EveryChannelUsesTheGainOfChannelZero)
{
    TPvlSPChain chain;
    chain.AmplifyEnabled = true;
    chain.Amplify[0] = 5000;
    chain.Amplify[1] = 0;
    TBlock block(S16, 4);
    block.Fill(1000);
    block.Process(chain);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(block.Get(i), 500);
}

// Dynamic amplification on 16-bit mono at 1000 Hz: one second is 2000 bytes, and the default
// release time of 3000 ms holds for 6000 bytes.
struct TDynamic {
    TDynamic()
    {
        Chain.DynamicAmplifyEnabled = true;
    }
    // One block of `frames` frames of a constant value; returns the block.
    std::vector<double> Run(int frames, double value, TPCMFormat format = WithChannels(S16, 1, 1000))
    {
        TBlock block(format, frames * format.Channels);
        block.Fill(value);
        block.Process(Chain);
        std::vector<double> out(block.Samples());
        for (int i = 0; i < block.Samples(); ++i)
            out[i] = block.Get(i);
        return out;
    }
    TPvlSPChain Chain;
};

TEST(DynamicAmplify, SilenceHoldsTheGainForTheReleaseTimeThenRaisesItAtTheAttackRateUpToTheMaximum)
{
    TDynamic d;
    const float expected[] = {1, 1, 1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 10, 10};
    for (float gain : expected) {
        d.Run(1000, 0);
        EXPECT_FLOAT_EQ(d.Chain.CurrentGain, gain);
    }
    EXPECT_EQ(d.Chain.HoldLength, 6000);
}

TEST(DynamicAmplify, ALoudBlockDropsTheGainWithinItsRampAndRestartsTheHold)
{
    TDynamic d;
    d.Chain.CurrentGain = 4.0f;
    d.Chain.HoldCounter = 1000000;
    // A peak of 10000 in the first frame: the target is 32768 / 10000.
    TBlock block(WithChannels(S16, 1, 1000), 1000);
    block.Fill(5000);
    block.Set(0, 10000);
    block.Process(d.Chain);
    const float g1 = static_cast<float>(32768.0 / 10000.0);
    EXPECT_FLOAT_EQ(d.Chain.CurrentGain, g1);
    EXPECT_EQ(d.Chain.HoldCounter, 0);
    EXPECT_EQ(block.Get(0), 32767);  // still at the old gain of 4, saturated
    for (int f : {1, 500, 999}) {
        const double g = 4.0 - f * (4.0 - g1) / 1000;
        EXPECT_EQ(block.Get(f), std::trunc(5000 * g)) << f;
    }
    // Quieter audio afterwards keeps the lowered gain during the hold.
    d.Run(1000, 100);
    EXPECT_FLOAT_EQ(d.Chain.CurrentGain, g1);
    EXPECT_EQ(d.Chain.HoldCounter, 2000);
}

TEST(DynamicAmplify, HalfScalePeaksHalveTheGainAndSaturateOnTheRampForEachFormat)
{
    for (const auto& format : AllFormats) {
        for (double sign : {1.0, -1.0}) {
            TDynamic d;
            d.Chain.CurrentGain = 4.0f;
            const double half = format.Float ? 0.5 : (Top(format) + 1) / 2;
            const std::vector<double> out = d.Run(100, sign * half, format);
            EXPECT_FLOAT_EQ(d.Chain.CurrentGain, 2.0f) << Name(format);
            // The first frame still gets the old gain of 4.
            const double first = format.Float ? sign * 2.0 : sign > 0 ? Top(format) : Bottom(format);
            EXPECT_EQ(out[0], first) << Name(format) << " " << sign;
            EXPECT_EQ(out[1], first) << Name(format) << " " << sign;
        }
    }
}

TEST(DynamicAmplify, NonFiniteFloatSamplesCountAsFullScale)
{
    for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                      -std::numeric_limits<float>::infinity()}) {
        TDynamic d;
        d.Chain.CurrentGain = 4.0f;
        TBlock block(WithChannels(F32, 1), 100);
        block.Fill(0.01);
        block.Set(50, bad);
        block.Process(d.Chain);
        EXPECT_FLOAT_EQ(d.Chain.CurrentGain, 1.0f) << bad;
    }
}

TEST(DynamicAmplify, BlocksAreWorkedInSubBlocksOf8192Frames)
{
    // 20000 frames: 8192, 8192 and 3616. The gain holds at 2 through the first two; a loud
    // last frame only ramps the third.
    TDynamic d;
    d.Chain.CurrentGain = 2.0f;
    TBlock block(WithChannels(S16, 1, 44100), 20000);
    block.Fill(100);
    block.Set(19999, 30000);
    block.Process(d.Chain);
    EXPECT_EQ(block.Get(0), 200);
    EXPECT_EQ(block.Get(8192), 200);
    EXPECT_EQ(block.Get(16383), 200);
    EXPECT_EQ(block.Get(16384), 200);  // the ramp starts again at the old gain
    EXPECT_EQ(block.Get(16385), std::trunc(100 * (2.0 - (2.0 - static_cast<float>(32768.0 / 30000)) / 3616)));
    EXPECT_FLOAT_EQ(d.Chain.CurrentGain, static_cast<float>(32768.0 / 30000));
}

TEST(Sound3D, EndPointsOnAStereoPair)
{
    struct Case {
        int32_t Volume;
        double L, R, OutL, OutR;
    } cases[] = {
        {0, 1000, -1000, 500, -500},     // K = 0 halves the side part
        {1526, 1000, -1000, 1000, -1000},  // K ≈ 1 leaves it
        {0, 1000, 1000, 1000, 1000},     // the mid part stays
        {10000, 1000, 1000, 1000, 1000},
    };
    for (const auto& c : cases) {
        TPvlSPChain chain;
        chain.Sound3DEnabled = true;
        chain.Sound3DVolume = c.Volume;
        TBlock block(S16, 2);
        block.Set(0, c.L);
        block.Set(1, c.R);
        block.Process(chain);
        EXPECT_EQ(block.Get(0), c.OutL) << c.Volume;
        EXPECT_EQ(block.Get(1), c.OutR) << c.Volume;
    }
}

TEST(Sound3D, KeepsEachFormatsScaleAndSaturatesAtItsEdges)
{
    for (const auto& format : AllFormats) {
        TPvlSPChain chain;
        chain.Sound3DEnabled = true;
        chain.Sound3DVolume = 10000;  // K = 6.5536
        const double big = format.Float ? 1.0 : Top(format) * 0.9;
        TBlock block(format, 4);
        block.Set(0, big);
        block.Set(1, -big);
        block.Set(2, 100);
        block.Set(3, 100);
        block.Process(chain);
        if (format.Float) {
            EXPECT_FLOAT_EQ(block.Get(0), 3.7768f);
            EXPECT_FLOAT_EQ(block.Get(1), -3.7768f);
        } else {
            EXPECT_EQ(block.Get(0), Top(format)) << Name(format);
            EXPECT_EQ(block.Get(1), Bottom(format)) << Name(format);
        }
        // Equal samples are all mid: they stay (32-bit integers at 16-bit scale).
        const double mid = format.Bits == 32 && !format.Float ? 0 : 100;
        EXPECT_EQ(block.Get(2), mid) << Name(format);
        EXPECT_EQ(block.Get(3), mid) << Name(format);
    }
}

TEST(Sound3D, PairsConsecutiveSamplesWhateverTheChannelCountAndRoundsHalvesToEven)
{
    TPvlSPChain chain;
    chain.Sound3DEnabled = true;
    TBlock block(WithChannels(S16, 3), 3);  // one frame of three channels
    block.Set(0, 3);
    block.Set(1, 0);
    block.Set(2, 777);
    block.Process(chain);
    // M = 1.5; L' = (3 + 1.5) / 2 = 2.25 → 2; R' = (0 + 1.5) / 2 = 0.75 → 1
    EXPECT_EQ(block.Get(0), 2);
    EXPECT_EQ(block.Get(1), 1);
    EXPECT_EQ(block.Get(2), 777);  // the odd last sample is left alone

    TBlock halves(WithChannels(S16, 2), 4);
    const int values[] = {5, 0, 7, 0};
    for (int i = 0; i < 4; ++i)
        halves.Set(i, values[i]);
    halves.Process(chain);
    // (5, 0): M 2.5, L' 3.75 → 4, R' 1.25 → 1; (7, 0): M 3.5, L' 5.25 → 5, R' 1.75 → 2
    EXPECT_EQ(halves.Get(0), 4);
    EXPECT_EQ(halves.Get(1), 1);
    EXPECT_EQ(halves.Get(2), 5);
    EXPECT_EQ(halves.Get(3), 2);
}

TEST(Sound3D, FloatsFourAtATimeEqualPairByPair)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> value(-1, 1);
    std::vector<float> input(64);
    for (auto& v : input)
        v = value(random);
    std::vector<std::vector<double>> results;
    for (size_t offset : {0, 4, 8}) {  // aligned (four at a time), then two unaligned starts
        TPvlSPChain chain;
        chain.Sound3DEnabled = true;
        chain.Sound3DVolume = 4321;
        TBlock block(F32, 64, offset);
        for (int i = 0; i < 64; ++i)
            block.Set(i, input[i]);
        block.Process(chain);
        results.emplace_back();
        for (int i = 0; i < 64; ++i)
            results.back().push_back(block.Get(i));
    }
    EXPECT_EQ(results[0], results[1]);
    EXPECT_EQ(results[0], results[2]);
    const float k = static_cast<float>(4321 / 10000.0 * 6.5536);
    const float m = (input[0] + input[1]) * 0.5f;
    EXPECT_EQ(results[0][0], (input[0] + m + k * (input[0] - m)) * 0.5f);
}

// Steady-state amplitude of a cosine at a given bin of the 1024-point transform, through the
// equaliser on float mono at 44.1 kHz.
double Response(TPvlSPChain& chain, double bin)
{
    const int frames = 16384;
    TBlock block(WithChannels(F32, 1), frames);
    const double w = 2 * std::numbers::pi * bin / 1024;
    for (int i = 0; i < frames; ++i)
        block.Set(i, 0.5 * std::cos(w * i));
    block.Process(chain);
    double c = 0, s = 0;
    for (int i = 4096; i < frames; ++i) {
        c += block.Get(i) * std::cos(w * i);
        s += block.Get(i) * std::sin(w * i);
    }
    const int n = frames - 4096;
    return bin == 0 ? c / n / 0.5 : 2 * std::hypot(c, s) / n / 0.5;
}

TEST(Equalizer, TheNeutralTableDelays128FramesWithItsDesignedResponse)
{
    TPvlSPChain chain;
    chain.EnableEqualizer(true);
    TBlock impulse(WithChannels(F32, 1), 1024);
    impulse.Set(0, 1);
    impulse.Process(chain);
    int peak = 0;
    for (int i = 0; i < 1024; ++i)
        if (std::fabs(impulse.Get(i)) > std::fabs(impulse.Get(peak)))
            peak = i;
    EXPECT_EQ(peak, 128);

    struct Case {
        double Bin, Gain, Tolerance;
    } cases[] = {{0, 1.126, 0.002}, {5, 1.04, 0.005}, {100, 0.9999, 0.0005}, {300, 0.9999, 0.0005}, {511, 0.88, 0.005}};
    for (const auto& c : cases) {
        TPvlSPChain fresh;
        fresh.EnableEqualizer(true);
        EXPECT_NEAR(Response(fresh, c.Bin), c.Gain, c.Tolerance) << "bin " << c.Bin;
    }
}

TEST(Equalizer, ABandAtMinus50CutsItsCentreByAbout10dB)
{
    std::vector<float> table(EQGainTableSize, EQNeutralGain);
    ASSERT_TRUE(SetGainTableBand(table.data(), 4, -50));  // bins 29..47
    TPvlSPChain chain;
    chain.SetGainTable(table.data());
    chain.EnableEqualizer(true);
    EXPECT_NEAR(20 * std::log10(Response(chain, 38)), -10.0, 0.5);
    EXPECT_NEAR(Response(chain, 100), 0.9999, 0.001);  // far from the band nothing changes
}

TEST(Equalizer, TheBoostAtZeroHertzSaturatesEachFormat)
{
    // A constant near full scale gains about 1.126 through the neutral table.
    for (const auto& format : AllFormats) {
        for (double sign : {1.0, -1.0}) {
            TPvlSPChain chain;
            chain.EnableEqualizer(true);
            TBlock block(format, 2 * 4096);
            block.Fill(sign * Top(format) * 0.95);
            block.Process(chain);
            const double want = format.Float ? sign * 0.95 * 1.1258 : sign > 0 ? Top(format) : Bottom(format);
            EXPECT_NEAR(block.Get(2 * 3000), want, format.Float ? 0.001 : 0) << Name(format) << " " << sign;
            EXPECT_NEAR(block.Get(2 * 3000 + 1), want, format.Float ? 0.001 : 0) << Name(format) << " " << sign;
        }
    }
}

// Float stereo through the equaliser, cut into blocks of the given frame counts.
std::vector<double> Equalize(const std::vector<float>& input, int channels, const std::vector<int>& cuts)
{
    TPvlSPChain chain;
    chain.EnableEqualizer(true);
    const TPCMFormat format = WithChannels(F32, channels);
    std::vector<double> out;
    const int frames = static_cast<int>(input.size()) / channels;
    for (int done = 0, cut = 0; done < frames; ++cut) {
        const int count = std::min(cuts[cut % cuts.size()], frames - done);
        TBlock block(format, count * channels);
        for (int i = 0; i < count * channels; ++i)
            block.Set(i, input[done * channels + i]);
        block.Process(chain);
        for (int i = 0; i < count * channels; ++i)
            out.push_back(block.Get(i));
        done += count;
    }
    return out;
}

std::vector<float> Noise(int samples, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> value(-0.5f, 0.5f);
    std::vector<float> x(samples);
    for (auto& v : x)
        v = value(random);
    return x;
}

void ExpectClose(const std::vector<double>& a, const std::vector<double>& b, double tolerance)
{
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i)
        ASSERT_NEAR(a[i], b[i], tolerance) << "sample " << i;
}

TEST(Equalizer, TheOutputDoesNotDependOnHowTheStreamIsCutIntoBlocks)
{
    const std::vector<float> input = Noise(2 * 5000, 3);
    const std::vector<double> whole = Equalize(input, 2, {5000});  // 768-frame steps and a rest
    ExpectClose(Equalize(input, 2, {1000}), whole, 1e-5);          // 768 + 232 each
    ExpectClose(Equalize(input, 2, {100, 7, 1}), whole, 1e-5);
    ExpectClose(Equalize(input, 2, {3000}), whole, 1e-5);
}

TEST(Equalizer, MoreThanTenChannelsKeepOneTailEach)
{
    const int channels = 12;
    const std::vector<float> input = Noise(channels * 3000, 11);
    const std::vector<double> together = Equalize(input, channels, {500, 1300});
    for (int c : {0, 9, 10, 11}) {
        std::vector<float> alone(3000);
        for (int f = 0; f < 3000; ++f)
            alone[f] = input[f * channels + c];
        const std::vector<double> single = Equalize(alone, 1, {500, 1300});
        for (int f = 0; f < 3000; ++f)
            ASSERT_NEAR(together[f * channels + c], single[f], 1e-6) << "channel " << c << " frame " << f;
    }
}

TEST(Equalizer, SwitchingOnAgainOrAFlushDropsTheOverhangOfOldAudio)
{
    for (int clearBy : {0, 1, 2}) {
        TPvlSPChain chain;
        chain.EnableEqualizer(true);
        TBlock loud(WithChannels(F32, 1), 1000);
        loud.Fill(0.9);
        loud.Process(chain);
        if (clearBy == 1) {
            chain.EnableEqualizer(false);
            chain.EnableEqualizer(true);
        } else if (clearBy == 2) {
            chain.ClearEqualizerTails();
        }
        TBlock quiet(WithChannels(F32, 1), 1000);
        quiet.Process(chain);
        double overhang = 0;
        for (int i = 0; i < 1000; ++i)
            overhang = std::max(overhang, std::fabs(quiet.Get(i)));
        if (clearBy == 0)
            EXPECT_GT(overhang, 0.1);  // without a clear the last block's tail comes through
        else
            EXPECT_EQ(overhang, 0.0) << clearBy;
    }
}

TEST(Equalizer, ANewGainTableTakesEffectAtTheNextBlock)
{
    TPvlSPChain chain;
    chain.EnableEqualizer(true);
    TBlock first(WithChannels(F32, 1), 2000);
    first.Fill(0.5);
    first.Process(chain);
    EXPECT_NEAR(first.Get(1999), 0.5 * 1.1258, 0.001);

    const std::vector<float> silent(EQGainTableSize, 0.0f);
    chain.SetGainTable(silent.data());
    TBlock second(WithChannels(F32, 1), 2000);
    second.Fill(0.5);
    second.Process(chain);
    // Only the overhang of the first block remains, within its 256 frames.
    EXPECT_NE(second.Get(0), 0.0);
    for (int i = 256; i < 2000; ++i)
        ASSERT_EQ(second.Get(i), 0.0) << i;

    std::vector<float> back(EQGainTableSize);
    chain.GetGainTable(back.data());
    EXPECT_EQ(back, silent);
}

TEST(Equalizer, OnlyRowZeroShapesEveryChannel)
{
    std::vector<float> table(EQGainTableSize);
    for (int row = 0; row < EQGainRows; ++row)
        std::fill(table.begin() + row * EQGainBins, table.begin() + (row + 1) * EQGainBins, row == 0 ? 2.0f : 0.0f);
    TPvlSPChain chain;
    chain.SetGainTable(table.data());
    chain.EnableEqualizer(true);
    TBlock block(WithChannels(F32, 2), 2 * 2000);
    block.Fill(0.5);
    block.Process(chain);
    EXPECT_NEAR(block.Get(2 * 1999), 0.5 * 1.1258, 0.001);
    EXPECT_NEAR(block.Get(2 * 1999 + 1), 0.5 * 1.1258, 0.001);
}

TEST(Equalizer, GainTableStartsNeutral)
{
    TPvlSPChain chain;
    std::vector<float> table(EQGainTableSize);
    chain.GetGainTable(table.data());
    EXPECT_EQ(table, std::vector<float>(EQGainTableSize, 2.0f));
}

TEST(EqualizerBands, ABandValueSetsItsBinsOnEveryRowAndNothingElse)
{
    std::vector<float> table(EQGainTableSize, 1.0f);
    EXPECT_TRUE(SetGainTableBand(table.data(), 0, 0));
    EXPECT_TRUE(SetGainTableBand(table.data(), 4, -50));
    for (int row = 0; row < EQGainRows; ++row) {
        const float* r = table.data() + row * EQGainBins;
        for (int bin = 0; bin < 3; ++bin)
            EXPECT_EQ(r[bin], 2.0f);
        EXPECT_EQ(r[3], 1.0f);
        EXPECT_EQ(r[28], 1.0f);
        for (int bin = 29; bin < 48; ++bin)
            EXPECT_NEAR(r[bin], 0.632456, 1e-6);
        EXPECT_EQ(r[48], 1.0f);
    }
    const std::vector<float> before = table;
    EXPECT_FALSE(SetGainTableBand(table.data(), 10, 50));
    EXPECT_FALSE(SetGainTableBand(table.data(), -1, 50));
    EXPECT_EQ(table, before);
}

TEST(EqualizerPresets, PresetsLoadTheirSliderPositionsAsBandValues)
{
    EXPECT_EQ(EQPresetValues.size(), EQPresetNames.size());
    const std::array<int8_t, 10> fullTreble = {50, 50, 50, 20, -10, -50, -80, -80, -80, -90};
    const std::array<int8_t, 10> dance = {-50, -40, -20, 5, 0, 20, 30, 20, 0, 0};
    const std::array<int8_t, 10> labtop = {-15, -50, -25, 20, 10, -5, -15, -30, -50, -60};
    EXPECT_EQ(EQPresetValues[6], fullTreble);
    EXPECT_EQ(EQPresetValues[3], dance);
    EXPECT_EQ(EQPresetValues[7], labtop);
    EXPECT_EQ(EQPresetValues[0], (std::array<int8_t, 10>{}));
    EXPECT_STREQ(EQPresetNames[7], "Labtop");

    // A preset entry is applied as a slider position: band value (-position × 10) div 20.
    std::vector<float> table(EQGainTableSize, EQNeutralGain);
    for (int band = 0; band < 10; ++band)
        SetGainTableBand(table.data(), band, static_cast<int8_t>(EqBandGainFromSlider(-EQPresetValues[3][band], 10)));
    const double dance60 = 2 * std::pow(10.0, 25 / 100.0);   // -50 → 25
    const double dance600 = 2 * std::pow(10.0, -2 / 100.0);  // 5 → -2
    EXPECT_NEAR(table[0], dance60, 1e-5);
    EXPECT_NEAR(table[3 * EQGainBins + EQBandEdges[3]], dance600, 1e-5);
    EXPECT_EQ(table[EQBandEdges[4]], 2.0f);
}

}  // namespace
