#pragma once
// Speaker configurations of the AC3 decoder: a layout code (mode) and the channel mask and
// order that go with it.
#include <array>
#include <cstdint>

// Channel indexes of a speaker order; a place after the last listed channel holds acNone.
enum : int32_t { acLeft = 0, acCentre = 1, acRight = 2, acSurroundLeft = 3, acSurroundRight = 4, acLFE = 5, acNone = 6 };

// Layout codes the graph build uses.
enum : int32_t {
    ac3ModeMono = 1,
    ac3ModeStereo = 2,
    ac3ModeQuadro = 6,        // two front, two surround
    ac3ModeStereoLFE = 10,
    ac3ModeQuadroLFE = 14,
    ac3Mode51 = 15,           // three front, two surround, LFE
};

class TSpeakers {
public:
    // Fills ChannelMask and ChannelOrder from the layout table by mode and 15.
    explicit TSpeakers(int32_t mode, int32_t option = 0);
    virtual ~TSpeakers() = default;

    int32_t Mode;
    int32_t Option;
    int32_t ChannelMask;
    std::array<int32_t, 6> ChannelOrder;
};

class TAC3Speakers : public TSpeakers {
public:
    explicit TAC3Speakers(int32_t mode, int32_t option = 0, int32_t spdif = 0);

    int32_t Spdif;      // 1: digital pass-through output
    int32_t Extra = 0;  // always 0 here
};

// The configuration the graph build gives the decoder for the "SpeakerType" and
// "PerfereSPDIF" settings: S/PDIF is stereo pass-through; otherwise by speaker type.
TAC3Speakers AC3SpeakersForSettings(int32_t speakerType, bool perfereSpdif);
