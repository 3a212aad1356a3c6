#include "ui/SysCheckCore.h"

#include "tests/support/TestSupport.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

TEST(SysCheckCore, DirectXVersionGivesTheComparisonNumber)
{
    const struct {
        const char* Text;
        bool Parsed;
        int64_t Number;
    } cases[] = {
        {"4.07.00.0700", true, 7000700},
        {"4.07.00.0716", true, 7000716},
        {"4.09.00.0904", true, 9000904},
        {"4.08.01.0810", true, 8010810},
        {"4.09.00", false, 0},
        {"4.09.00.0904.1", false, 0},
        {"4.09.x.0904", false, 0},
        {"4..00.0904", false, 0},
        {"4.09.00.70000", false, 0},
        {"", false, 0},
        {"-4.09.00.0904", false, 0},
    };
    for (const auto& c : cases) {
        TVersionWords words{};
        EXPECT_EQ(ParseVersionWords(c.Text, words), c.Parsed) << c.Text;
        EXPECT_EQ(c.Parsed ? DirectXNumber(words) : 0, c.Number) << c.Text;
    }
}

TEST(SysCheckCore, VersionTextsAndTranslationKey)
{
    EXPECT_EQ(FormatVersion({1, 0, 12, 345}), "1.0.12.345");
    EXPECT_EQ(TranslationKey(0x0409, 0x04E4), "040904e4");
    EXPECT_EQ(TranslationKey(0x0000, 0x04B0), "000004b0");
    EXPECT_EQ(TranslationKey(0x1009, 0x04B0), "100904b0");
}

TEST(SysCheckCore, StatusFromDirectXAndInstallFolder)
{
    pvltest::TTempDir dir;
    const std::string ready = dir.Path();
    ASSERT_TRUE(ForceDirectories(ready + "Data") && ForceDirectories(ready + "MediaID"));
    pvltest::WriteAll(ready + "Data" + PathDelim + "FileTypes.cfg", "All|*.avi\n");
    pvltest::TTempDir noMedia;
    ASSERT_TRUE(ForceDirectories(noMedia.Path() + "Data"));
    pvltest::WriteAll(noMedia.Path() + "Data" + PathDelim + "FileTypes.cfg", "All|*.avi\n");
    pvltest::TTempDir noTypes;
    ASSERT_TRUE(ForceDirectories(noTypes.Path() + "Data") && ForceDirectories(noTypes.Path() + "MediaID"));

    const struct {
        int64_t Number;
        std::string Path;
        TSysCheckStatus Status;
    } cases[] = {
        {7000700, ready, scDirectXTooOld},
        {0, "", scDirectXTooOld},  // no DirectX key comes before the install folder
        {7000716, ready, scOlderDirectX},
        {9000904, ready, scReady},
        {9000000, "", scInstallPathMissing},
        {9000000, ready + "gone" + PathDelim, scInstallPathMissing},
        {9000000, noMedia.Path(), scFilesMissing},
        {9000000, noTypes.Path(), scFilesMissing},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SystemCheckStatus(c.Number, c.Path), c.Status) << c.Number << " " << c.Path;
}

TEST(SysCheckCore, PagesShownForEachStatus)
{
    const struct {
        TSysCheckStatus Status;
        bool NoDXWarning, FirstRun;
        int Page;
        bool Fatal, FirstRunPage, Measure;
    } cases[] = {
        {scReady, false, false, -1, false, false, true},
        {scReady, false, true, -1, false, true, true},
        {scOlderDirectX, false, false, kPageDirectXAdvice, false, false, false},
        {scOlderDirectX, true, false, -1, false, false, false},
        {scOlderDirectX, false, true, kPageDirectXAdvice, false, true, false},
        {scDirectXTooOld, true, true, kPageDirectXTooOld, true, true, false},
        {scFilesMissing, false, false, kPageMissingFiles, true, false, false},
        {scInstallPathMissing, false, true, kPageMissingFiles, true, true, false},
    };
    for (const auto& c : cases) {
        const TSysCheckPlan plan = PlanSystemCheck(c.Status, c.NoDXWarning, c.FirstRun);
        EXPECT_EQ(plan.StatusPage, c.Page) << c.Status;
        EXPECT_EQ(plan.Fatal, c.Fatal) << c.Status;
        EXPECT_EQ(plan.FirstRunPage, c.FirstRunPage) << c.Status;
        EXPECT_EQ(plan.MeasureCpu, c.Measure) << c.Status;
    }
}
