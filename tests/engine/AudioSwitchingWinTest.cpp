#include "engine/AudioSwitching.h"

#include "engine/ExternalFilterCntl.h"
#include "tests/engine/TwoAudioGraph.h"
#include "tests/support/SurroundEffectDoubles.h"

#include <dmoreg.h>

#include <gtest/gtest.h>

using namespace pvltest;

namespace {

TEST(AudioSwitching, SecondStreamTakesOverAtTheSamePositionAndRuns)
{
    TTwoAudio g;
    ASSERT_TRUE(g.Ready()) << g.Failure << ", audio pins: " << g.AudioPins.size();
    ASSERT_TRUE(g.PausedAt(0, 1.0));
    ASSERT_TRUE(g.Feeds(g.AudioPins[0].Get()));

    EXPECT_TRUE(SwitchAudioPin(g.Graph.Get(), g.Pins(), g.AudioPins[1].Get(), g.ChainInput.Get()));
    EXPECT_TRUE(g.Feeds(g.AudioPins[1].Get()));
    EXPECT_FALSE(ConnectedPeer(g.AudioPins[0].Get()));
    EXPECT_EQ(g.State(), State_Running);
    EXPECT_NEAR(g.Seconds(), 1.0, 0.3);

    // And back again.
    EXPECT_TRUE(SwitchAudioPin(g.Graph.Get(), g.Pins(), g.AudioPins[0].Get(), g.ChainInput.Get()));
    EXPECT_TRUE(g.Feeds(g.AudioPins[0].Get()));
    EXPECT_FALSE(ConnectedPeer(g.AudioPins[1].Get()));
}

TEST(AudioSwitching, AFilterBetweenTheOldStreamAndTheChainIsTakenOff)
{
    TTwoAudio g;
    ASSERT_TRUE(g.Ready());
    // A pass-through filter stands where a decoder would sit between stream and chain.
    TTruSurroundDouble effect;
    ComPtr<IBaseFilter> between;
    ASSERT_EQ(CreateDMOWrapperFilter(CLSID_SRS_TruSurroundXT, DMOCATEGORY_AUDIO_EFFECT, between), S_OK);
    ASSERT_EQ(g.Graph->AddFilter(between.Get(), L"between"), S_OK);
    const ComPtr<IPin> in = FindPin(between.Get(), PINDIR_INPUT), out = FindPin(between.Get(), PINDIR_OUTPUT);
    ASSERT_EQ(g.Graph->ConnectDirect(g.AudioPins[0].Get(), in.Get(), nullptr), S_OK);
    ASSERT_EQ(g.Graph->ConnectDirect(out.Get(), g.ChainInput.Get(), nullptr), S_OK);

    EXPECT_TRUE(SwitchAudioPin(g.Graph.Get(), g.Pins(), g.AudioPins[1].Get(), g.ChainInput.Get()));
    EXPECT_TRUE(IsConnectedTo(g.AudioPins[1].Get(), g.ChainInput.Get()));
    EXPECT_FALSE(ConnectedPeer(in.Get()) || ConnectedPeer(out.Get()));
    EXPECT_TRUE(InGraph(g.Graph.Get(), between.Get()));  // left in the graph, unconnected
    EXPECT_EQ(g.State(), State_Running);
}

TEST(AudioSwitching, TheStreamThatPlaysOrNoneIsLeftAlone)
{
    TTwoAudio g;
    ASSERT_TRUE(g.Ready());
    EXPECT_FALSE(SwitchAudioPin(g.Graph.Get(), g.Pins(), g.AudioPins[1].Get(), g.ChainInput.Get()));  // nothing plays
    EXPECT_FALSE(ConnectedPeer(g.AudioPins[1].Get()));

    ASSERT_TRUE(g.PausedAt(0, 0.5));
    EXPECT_FALSE(SwitchAudioPin(g.Graph.Get(), g.Pins(), g.AudioPins[0].Get(), g.ChainInput.Get()));
    EXPECT_EQ(g.State(), State_Paused);  // not stopped on the way
    EXPECT_TRUE(g.Feeds(g.AudioPins[0].Get()));
}

TEST(AudioSwitching, AStreamThatCannotConnectRestoresThePreviousOne)
{
    TTwoAudio g;
    ASSERT_TRUE(g.Ready());
    ASSERT_TRUE(g.PausedAt(1, 1.5));
    // The video pin stands in for a stream the audio chain refuses.
    EXPECT_FALSE(SwitchAudioPin(g.Graph.Get(), g.Pins(), g.VideoPin.Get(), g.ChainInput.Get()));
    EXPECT_TRUE(g.Feeds(g.AudioPins[1].Get()));
    EXPECT_FALSE(ConnectedPeer(g.VideoPin.Get()));
    EXPECT_EQ(g.State(), State_Paused);
    EXPECT_NEAR(g.Seconds(), 1.5, 0.3);
}

TEST(AudioSwitching, AnEffectTheChainCannotDoWithoutStaysInPlace)
{
    TTwoAudio g(CLSID_AviSplitter);
    ASSERT_TRUE(g.Ready()) << g.Failure;
    ASSERT_TRUE(g.Plays(0));
    // The MP3 decoder the graph put in stands for an effect whose input the chain cannot take.
    const ComPtr<IPin> effectIn = ConnectedPeer(g.AudioPins[0].Get());
    const ComPtr<IPin> effectOut = ConnectedPeer(g.ChainInput.Get());
    ASSERT_TRUE(effectIn && effectOut);
    EXPECT_TRUE(FAILED(UnspliceEffect(g.Graph.Get(), effectIn.Get(), effectOut.Get(), g.ChainInput.Get())));
    EXPECT_TRUE(IsConnectedTo(g.AudioPins[0].Get(), effectIn.Get()));
    EXPECT_TRUE(IsConnectedTo(effectOut.Get(), g.ChainInput.Get()));
}

}  // namespace
