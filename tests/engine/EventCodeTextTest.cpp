// Texts of graph events.
#include "engine/DSUtilCore.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string EventText(int code)
{
    std::string text = "untouched";
    GetEventCodeText(code, text);
    return text;
}

}  // namespace

TEST(EventCodeText, KnownEventsGiveTheirNameAndSentence)
{
    const std::pair<int, const char*> cases[] = {
        {1, "EC_COMPLETE - All data from a particular stream has been rendered."},
        {14, "EC_PAUSED - A pause request has completed."},
        {48, "EC_TIMECODE_AVAILABLE- Sent by filter supporting timecode."},
        {49, "EC_EXTDEVICE_MODE_CHANGE - Sent by filter supporting IAMExtDevice."},
        {80, "EC_GRAPH_CHANGED - The filter graph has changed."},
    };
    for (const auto& [code, text] : cases)
        EXPECT_EQ(EventText(code), text) << code;
    const std::pair<int, const char*> names[] = {
        {2, "EC_USERABORT - "}, {29, "EC_SEGMENT_STARTED - "}, {31, "EC_DEVICE_LOST - "},
        {36, "EC_STEP_COMPLETE - "}, {81, "EC_CLOCK_UNSET - "}, {83, "EC_VMR_RENDERDEVICE_SET - "},
        {0x101, "EC_DVD_DOMAIN_CHANGE - "}, {283, "EC_DVD_KARAOKE_MODE - "},
        {512, "EC_SNDDEV_IN_ERROR - "}, {513, "EC_SNDDEV_OUT_ERROR - "},
    };
    for (const auto& [code, prefix] : names)
        EXPECT_TRUE(EventText(code).starts_with(prefix)) << code << ": " << EventText(code);
}

TEST(EventCodeText, OtherCodesGiveTheFallbackWithUpperCaseHex)
{
    const std::pair<int, const char*> cases[] = {
        {0x4A, "Unknow Graph Event ($4A)"},
        {0x47, "Unknow Graph Event ($47)"},
        {0x49, "Unknow Graph Event ($49)"},
        {0, "Unknow Graph Event ($0)"},
        {15, "Unknow Graph Event ($F)"},
        {514, "Unknow Graph Event ($202)"},
        {0xABCDEF, "Unknow Graph Event ($ABCDEF)"},
    };
    for (const auto& [code, text] : cases)
        EXPECT_EQ(EventText(code), text);
}

TEST(EventCodeText, ExactlyTheSixtyFourListedCodesAreKnown)
{
    int known = 0;
    for (int code = 0; code < 0x400; ++code)
        if (!EventText(code).starts_with("Unknow Graph Event"))
            ++known;
    EXPECT_EQ(known, 64);
    for (int code : {15, 30, 32, 35, 37, 47, 50, 79, 82, 84, 256, 284, 511})
        EXPECT_TRUE(EventText(code).starts_with("Unknow Graph Event")) << code;
}
