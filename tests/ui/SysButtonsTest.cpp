// The caption buttons in process: the strip's region, the maximise glyph and hint, and the
// buttons acting on the window they serve.
#include "ui/SysButton_Unit.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {
struct SysButtons : ::testing::Test {
    TApplication app;
    TForm* video = nullptr;
    TSysButtons* buttons = nullptr;
    bool regions = true;
    int closes = 0;
    void SetUp() override
    {
        app.ShowExceptions = false;
        video = app.CreateForm<TForm>();
        video->SetBounds(100, 100, 400, 300);
        video->Show();
        buttons = app.CreateForm<TSysButtons>();
        // The program's glyphs live in its resources: this test draws its own, dark with a light cross.
        if (buttons->ImageList1->Count() == 0) {
            std::vector<uint32_t> strip(64 * 16, 0xFF282830);
            for (int x = 0; x < 64; ++x)
                strip[static_cast<size_t>(8 * 64 + x)] = 0xFFEBEBEB;
            buttons->ImageList1->AddStrip(64, 16, strip.data());
        }
        buttons->VideoForm = video;
        buttons->RegionsEnabled = [this] { return regions; };
        buttons->CloseApp = [this] { ++closes; };
    }
    int RegionKind()
    {
        const HRGN region = CreateRectRgn(0, 0, 0, 0);
        const int kind = GetWindowRgn(buttons->Handle(), region);
        DeleteObject(region);
        return kind;
    }
};
}

TEST_F(SysButtons, StripIsCutToTheButtonsAndFollowsTheMaximisedState)
{
    EXPECT_EQ(buttons->ClientWidth(), buttons->Image3->Left() + buttons->Image3->Width() + 5);
    buttons->MoveTo(300, 120);
    buttons->Show();
    EXPECT_TRUE(buttons->Showing());
    EXPECT_EQ(GetWindow(buttons->Handle(), GW_OWNER), video->Handle());
    EXPECT_EQ(RegionKind(), COMPLEXREGION) << "three buttons, not a rectangle";
    EXPECT_EQ(buttons->KeptRegion(), nullptr) << "the window owns the region it took";
    EXPECT_EQ(buttons->Image2->Hint, "Maximize");

    buttons->UpdateMaximized(true);
    EXPECT_EQ(buttons->MaximizeGlyph(), 1);
    EXPECT_EQ(buttons->Image2->Hint, "Restore");
    EXPECT_EQ(RegionKind(), COMPLEXREGION);
    buttons->UpdateMaximized(false);
    EXPECT_EQ(buttons->MaximizeGlyph(), 0);
    EXPECT_EQ(buttons->Image2->Hint, "Maximize");
}

TEST_F(SysButtons, WithoutRegionsTheWholeBlackStripShows)
{
    regions = false;
    buttons->Show();
    EXPECT_EQ(RegionKind(), ERROR) << "no region applied";
    EXPECT_NE(buttons->KeptRegion(), nullptr);
    buttons->UpdateMaximized(true);  // a rebuild replaces the kept region
    EXPECT_NE(buttons->KeptRegion(), nullptr);
}

TEST_F(SysButtons, ButtonsActOnTheVideoWindow)
{
    buttons->Show();
    buttons->Image2Click(nullptr);
    EXPECT_TRUE(IsZoomed(video->Handle()));
    buttons->Image2Click(nullptr);
    EXPECT_FALSE(IsZoomed(video->Handle()));
    buttons->Image1Click(nullptr);
    EXPECT_TRUE(IsIconic(video->Handle()));
    buttons->Image3Click(nullptr);
    EXPECT_EQ(closes, 1);
}
