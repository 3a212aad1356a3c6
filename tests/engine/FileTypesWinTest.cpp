// Every file type of the shipped file-types list opens through the engine under Wine: with
// the video rendered, the sound processor between the audio stream and the renderer and its
// PCM callback firing while the graph runs, and the right length.
#include "tests/engine/OpenFixture.h"

#include "engine/CommonUnitCore.h"
#include "engine/GraphBuildCore.h"
#include "engine/MyDSUtils.h"
#include "tests/support/WavWriter.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

using namespace pvltest;

namespace {

struct TFileTypeCase {
    const char* Extension;  // as listed, without "*."
    const char* Fixture;    // copied under the extension; none: a WAV written here
    bool Video;
    bool Audio;
    int Seconds;
};

// One row per listed extension (two for AVI, whose streams need different decoders).
const TFileTypeCase FileTypes[] = {
    {"avi", "mjpeg_pcm.avi", true, true, 1},  {"avi", "mpeg4_mp3.avi", true, true, 2}, {"mpg", "mpeg1.mpg", true, true, 2},
    {"mpeg", "mpeg1.mpg", true, true, 2},     {"mpe", "mpeg1.mpg", true, true, 2},     {"m1v", "clip.m1v", true, false, 1},
    {"vob", "clip.vob", true, true, 1},       {"dat", "mpeg1.mpg", true, true, 2},     {"wmv", "clip.wmv", true, true, 2},
    {"asf", "clip.wmv", true, true, 2},       {"mkv", "clip.mkv", true, true, 1},      {"mp4", "clip.mp4", true, true, 1},
    {"m4v", "clip.mp4", true, true, 1},       {"mov", "clip.mov", true, true, 1},      {"3gp", "clip.3gp", true, true, 1},
    {"flv", "clip.flv", true, true, 1},       {"ogv", "clip.ogv", true, true, 1},      {"webm", "clip.webm", true, true, 1},
    {"wav", nullptr, false, true, 2},         {"mp3", "tone.mp3", false, true, 2},     {"mp2", "tone.mp2", false, true, 1},
    {"mpa", "tone.mp2", false, true, 1},      {"wma", "tone.wma", false, true, 1},     {"ogg", "tone.ogg", false, true, 1},
    {"oga", "tone.ogg", false, true, 1},      {"opus", "tone.opus", false, true, 1},   {"flac", "tone.flac", false, true, 1},
    {"m4a", "tone.m4a", false, true, 1},      {"mka", "tone.mka", false, true, 1},     {"aif", "tone.aiff", false, true, 1},
    {"aiff", "tone.aiff", false, true, 1},    {"au", "tone.au", false, true, 1},
};

std::string Upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

class FileTypesTest : public TOpenFixture {
protected:
    // The fixture under a name with the listed extension.
    std::string FileOf(const TFileTypeCase& c)
    {
        const std::string file = Dir.File(std::string("clip.") + c.Extension);
        if (c.Fixture)
            WriteAll(file, ReadAll(FixturePath(c.Fixture)));
        else
            WriteWav(file, TWavSpec{.Channels = 2, .Seconds = 2}, Sine(440, 0.25, 44100));
        return file;
    }
    // Plays the open graph to its end, so that no stop meets a splitter while it starts.
    bool PlaysToTheEnd()
    {
        return PumpUntilComplete(Engine().MediaEvent, 10000);
    }
};

TEST_F(FileTypesTest, TheTableCoversEveryListedExtension)
{
    TStringList lines;
    lines.LoadFromFile(SourcePath("Data/filetypes.cfg"));
    TStringList listed;
    ParseFileTypes(lines, listed);
    for (int i = 0; i < listed.Count(); ++i) {
        const bool covered = std::any_of(std::begin(FileTypes), std::end(FileTypes),
                                         [&](const TFileTypeCase& c) { return "*." + Upper(c.Extension) == listed[i]; });
        EXPECT_TRUE(covered) << listed[i];
    }
    for (const TFileTypeCase& c : FileTypes)
        EXPECT_GE(listed.IndexOf("*." + Upper(c.Extension)), 0) << c.Extension << " is tested but not listed";
}

TEST_F(FileTypesTest, EveryListedTypeOpensWithItsPictureAndTheSoundProcessor)
{
    for (const TFileTypeCase& c : FileTypes) {
        SCOPED_TRACE(std::string(c.Extension) + " from " + (c.Fixture ? c.Fixture : "a WAV"));
        const int index = Add({FileOf(c)});
        TCommonModule& e = Engine();
        ASSERT_TRUE(e.PlayInList(index, true));
        EXPECT_EQ(RenderResult.Results.back(), S_OK);
        EXPECT_EQ(List.Items[static_cast<size_t>(index)].State, plsOpened);
        EXPECT_LT(std::abs(List.Items[static_cast<size_t>(index)].Length - c.Seconds * 10), 10) << "tenths of a second";
        EXPECT_EQ(e.VideoPins.empty(), !c.Video);
        if (c.Video) {
            EXPECT_EQ(e.VideoPins.front().State, pinRenders) << "the video goes to the video window's renderer";
            EXPECT_EQ(IsPinConnected(e.VideoPins.front().Pin.Get()), S_OK);
        }
        EXPECT_EQ(e.AudioPins.empty(), !c.Audio);
        if (c.Audio) {
            EXPECT_TRUE(ProcessorFeedsRenderer());
            EXPECT_TRUE(AudioFlows()) << "the processor's PCM callback fires while the graph runs";
        }
        EXPECT_TRUE(PlaysToTheEnd());
        e.ClosePlayingFile();
    }
}

}  // namespace
