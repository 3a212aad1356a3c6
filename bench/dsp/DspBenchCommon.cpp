#include "bench/dsp/DspBenchCommon.h"

#include "engine/CommonUnitCore.h"

#include <cmath>
#include <numbers>
#include <random>

namespace dspbench {

std::vector<TComplexSingle> FFTInput()
{
    std::mt19937 random(42);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    std::vector<TComplexSingle> input(FFTPoints);
    for (auto& v : input)
        v = {value(random), value(random)};
    return input;
}

std::vector<int16_t> ChainInput()
{
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0.0, 300.0);
    std::vector<int16_t> samples(static_cast<size_t>(ChainFrequency) * ChainChannels);
    const double tones[] = {55, 220, 440, 1318, 5000};
    for (int f = 0; f < ChainFrequency; ++f) {
        for (int c = 0; c < ChainChannels; ++c) {
            double v = noise(random);
            for (double tone : tones)
                v += 1500 * std::sin(2 * std::numbers::pi * tone * f / ChainFrequency + c);
            samples[static_cast<size_t>(f) * ChainChannels + c] = static_cast<int16_t>(std::lround(v));
        }
    }
    return samples;
}

std::unique_ptr<TPvlSPChain> MakeChain(bool allStages)
{
    auto chain = std::make_unique<TPvlSPChain>();
    std::vector<float> table(EQGainTableSize, EQNeutralGain);
    const int rock = 14;
    for (int band = 0; band < 10; ++band)
        SetGainTableBand(table.data(), band, static_cast<int8_t>(EqBandGainFromSlider(-EQPresetValues[rock][band], 10)));
    chain->SetGainTable(table.data());
    chain->EnableEqualizer(true);
    if (allStages) {
        chain->AmplifyEnabled = true;
        chain->Amplify[0] = 9000;
        chain->DynamicAmplifyEnabled = true;
        chain->Sound3DEnabled = true;
        chain->Sound3DVolume = 2500;
    }
    return chain;
}

}  // namespace dspbench
