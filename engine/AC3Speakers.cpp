#include "engine/AC3Speakers.h"

namespace {

struct TLayout {
    int32_t Mask;
    std::array<int32_t, 6> Order;
};

constexpr TLayout Layouts[16] = {
    {0x04, {0, 1, 6, 6, 6, 6}},  {0x02, {1, 6, 6, 6, 6, 6}},  {0x05, {0, 2, 6, 6, 6, 6}},
    {0x07, {0, 1, 2, 6, 6, 6}},  {0x0D, {0, 2, 3, 6, 6, 6}},  {0x0F, {0, 1, 2, 3, 6, 6}},
    {0x1D, {0, 2, 3, 4, 6, 6}},  {0x1F, {0, 1, 2, 3, 4, 6}},  {0x24, {0, 1, 5, 6, 6, 6}},
    {0x22, {1, 5, 6, 6, 6, 6}},  {0x25, {0, 2, 5, 6, 6, 6}},  {0x27, {0, 1, 2, 5, 6, 6}},
    {0x2D, {0, 2, 3, 5, 6, 6}},  {0x2F, {0, 1, 2, 3, 5, 6}},  {0x3D, {0, 2, 3, 4, 5, 6}},
    {0x3F, {0, 1, 2, 3, 4, 5}},
};

}  // namespace

TSpeakers::TSpeakers(int32_t mode, int32_t option)
    : Mode(mode), Option(option), ChannelMask(Layouts[mode & 15].Mask), ChannelOrder(Layouts[mode & 15].Order)
{
}

TAC3Speakers::TAC3Speakers(int32_t mode, int32_t option, int32_t spdif) : TSpeakers(mode, option), Spdif(spdif) {}

TAC3Speakers AC3SpeakersForSettings(int32_t speakerType, bool perfereSpdif)
{
    if (perfereSpdif)
        return TAC3Speakers(ac3ModeStereo, 0, 1);
    int32_t mode = ac3Mode51;
    if (speakerType < 2)
        mode = ac3ModeStereo;
    else if (speakerType == 2)
        mode = ac3ModeStereoLFE;
    else if (speakerType == 3)
        mode = ac3ModeQuadro;
    else if (speakerType == 4)
        mode = ac3ModeQuadroLFE;
    return TAC3Speakers(mode);
}
