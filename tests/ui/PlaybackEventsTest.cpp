#include "ui/PlaybackEvents.h"

#include <gtest/gtest.h>

TEST(PlaybackEvents, EachCodeHasItsAction)
{
    using A = TPlaybackEventAction;
    const struct {
        long Code;
        intptr_t Param2;
        A Action;
        const char* Text;
    } cases[] = {
        {0x01, 0, A::PlayNextOrStop, ""},
        {0x11, 0, A::SetBuffering, ""},
        {0x43, 0, A::Status, " Moment, trying to connect..."},
        {0x44, 0, A::Status, " No internet access available or connection closed."},
        {0x45, 0, A::Status, " The server is not responding or is not online."},
        {0x46, 37, A::Status, " Moment, receiving data... 37%"},
        {0x47, 0, A::GenericStatus, ""},
        {0x48, 0, A::Status, " Connected with server."},
        {0x49, 0, A::GenericStatus, ""},
        {0x68, 0, A::Status, " Buffer played, waiting for new data..."},
        {0x0E, 0, A::Ignore, ""},  // EC_PAUSED
        {0x42, 0, A::Ignore, ""},
    };
    for (const auto& c : cases) {
        const TPlaybackEventResponse r = PlaybackEventResponse(c.Code, 0, c.Param2);
        EXPECT_EQ(r.Action, c.Action) << std::hex << c.Code;
        EXPECT_EQ(r.Text, c.Text) << std::hex << c.Code;
    }
}
