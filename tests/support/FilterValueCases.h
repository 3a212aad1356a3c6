#pragma once
// Cases of values as the outside filters take them, shared by the tests of the helpers that
// convert them and of the controls that pass them on, so each table is written once.
#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace pvltest {

// A level a filter reports (its value times 100, to nearest with ties to even) and the
// property it reads as. Every value is exact in single precision too.
struct TLevelReadCase {
    double Reported;
    int32_t Level;
};

inline constexpr TLevelReadCase LevelReadCases[] = {
    // Halves that are exact in binary: 12.5 -> 12, 37.5 -> 38, 62.5 -> 62, -12.5 -> -12, 237.5 -> 238.
    {1.5, 150}, {2.3, 230}, {0.0, 0}, {-0.5, -50}, {0.125, 12}, {0.375, 38}, {0.625, 62},
    {-0.125, -12}, {2.375, 238}, {1.1549, 115}, {0.8f, 80}, {6.0, 600},
};

// A speaker layout of the AC3 decoder: its mode word, channel mask and channel order, padded
// with acNone (6).
struct TSpeakerLayoutCase {
    int32_t Mode;
    int32_t Mask;
    std::array<int32_t, 6> Order;
};

inline constexpr TSpeakerLayoutCase SpeakerLayoutCases[] = {
    {0, 0x04, {0, 1, 6, 6, 6, 6}},  {1, 0x02, {1, 6, 6, 6, 6, 6}},  {2, 0x05, {0, 2, 6, 6, 6, 6}},
    {6, 0x1D, {0, 2, 3, 4, 6, 6}},  {7, 0x1F, {0, 1, 2, 3, 4, 6}},  {9, 0x22, {1, 5, 6, 6, 6, 6}},
    {10, 0x25, {0, 2, 5, 6, 6, 6}}, {14, 0x3D, {0, 2, 3, 4, 5, 6}}, {15, 0x3F, {0, 1, 2, 3, 4, 5}},
    // Only the low four bits choose the layout.
    {16 + 10, 0x25, {0, 2, 5, 6, 6, 6}},
};

inline const TSpeakerLayoutCase& SpeakerLayoutCase(int32_t mode)
{
    for (const TSpeakerLayoutCase& layout : SpeakerLayoutCases)
        if (layout.Mode == mode)
            return layout;
    throw std::invalid_argument("no layout case for mode " + std::to_string(mode));
}

// The player's speaker setting with its S/PDIF preference, and the layout mode and S/PDIF
// word the decoder gets: S/PDIF wins over every setting.
struct TSpeakerSettingCase {
    int32_t SpeakerType;
    bool Spdif;
    int32_t Mode;
    int32_t SpdifWord;
};

inline constexpr TSpeakerSettingCase SpeakerSettingCases[] = {
    {-1, false, 2, 0}, {0, false, 2, 0},   {1, false, 2, 0}, {2, false, 10, 0}, {3, false, 6, 0},
    {4, false, 14, 0}, {5, false, 15, 0},  {99, false, 15, 0}, {4, true, 2, 1},  {0, true, 2, 1},
    {5, true, 2, 1},
};

}  // namespace pvltest
