// The subtitle filter control, without the filter and against a double of it registered
// under the filter's class ids.
#include "engine/DirectVobSub.h"
#include "tests/support/WineGraph.h"

#include <gtest/gtest.h>

using namespace pvltest;

namespace {

class DirectVobSubTest : public ::testing::Test {
protected:
    TComInit Com;
};

}  // namespace

TEST_F(DirectVobSubTest, WithoutFilterReadsGiveTheDefaultsWhateverWasSet)
{
    TDirectVobSub subtitles(nullptr);
    subtitles.ReadStoredProperties();
    ASSERT_FALSE(subtitles.IsFilterPresent());
    subtitles.SetFilename(L"C:\\movies\\film.srt");
    subtitles.SetSelectedLanguage(2);
    subtitles.SetHideSubtitles(true);
    subtitles.SetPreBuffering(true);
    EXPECT_EQ(subtitles.Filename(), L"");
    EXPECT_EQ(subtitles.LanguageCount(), 0);
    EXPECT_EQ(subtitles.SelectedLanguage(), -1);
    EXPECT_FALSE(subtitles.HideSubtitles());
    EXPECT_FALSE(subtitles.PreBuffering());
    EXPECT_EQ(subtitles.GetLanguageName(0), "");
    EXPECT_FALSE(subtitles.IsFilterConnected());
    EXPECT_EQ(subtitles.RemoveFilterFromGraph(), S_OK);
    ComPtr<IBaseFilter> filter;
    EXPECT_EQ(subtitles.QueryInterface(IID_PPV_ARGS(&filter)), E_NOINTERFACE);
}
