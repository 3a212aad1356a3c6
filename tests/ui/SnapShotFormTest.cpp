// The snapshot window on its real window under Wine: numbered rows with thumbnails, delete,
// the popup's state, and saving as JPEG or Windows bitmap through the class library.
#include "ui/SnapShot_Unit.h"

#include "engine/Thumbnails.h"
#include "framework/Graphics.h"
#include "framework/ListView.h"
#include "menus/MenuItem2000.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace pvltest;

namespace {

constexpr uint32_t Bars[8] = {0xFFFFFF, 0xFFFF00, 0x00FFFF, 0x00FF00, 0xFF00FF, 0xFF0000, 0x0000FF, 0x000000};

// 160 x 120, eight bars 20 wide, as the capture fixture shows them.
std::unique_ptr<TBitmap> BarsFrame()
{
    std::vector<uint32_t> pixels(160 * 120);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x)
            pixels[static_cast<size_t>(y * 160 + x)] = 0xFF000000u | Bars[x / 20];
    auto frame = std::make_unique<TBitmap>();
    frame->SetPixels(160, 120, pixels.data());
    return frame;
}

// Pixel (x, y) of an image-list image as 0xRRGGBB.
uint32_t ThumbnailPixel(HIMAGELIST list, int index, int x, int y)
{
    IMAGEINFO info{};
    if (!ImageList_GetImageInfo(list, index, &info))
        return 0xDEADBEEF;
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
    bmi.bmiHeader.biWidth = 1;
    bmi.bmiHeader.biHeight = 1;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    const HBITMAP cell = CreateCompatibleBitmap(screen, 100, 100);
    const HGDIOBJ old = SelectObject(dc, cell);
    ImageList_Draw(list, index, dc, 0, 0, ILD_NORMAL);
    const COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteObject(cell);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return (uint32_t{GetRValue(c)} << 16) | (uint32_t{GetGValue(c)} << 8) | GetBValue(c);
}

void ExpectNear(uint32_t got, uint32_t expected, int tolerance, const std::string& what)
{
    for (int shift : {16, 8, 0})
        EXPECT_NEAR(static_cast<int>((got >> shift) & 0xFF), static_cast<int>((expected >> shift) & 0xFF), tolerance)
            << what << std::hex << " got " << got << " expected " << expected;
}

class SnapShots : public ::testing::Test {
protected:
    void SetUp() override
    {
        App.ShowExceptions = false;
        Form = App.CreateForm<TSnapShotForm>();
        Form->ShowError = [this](const std::string& text) { Errors.push_back(text); };
    }
    void Select(int row)
    {
        Form->ListView1->SetSelected(-1, false);
        Form->ListView1->SetSelected(row, true);
    }
    TApplication App;
    TSnapShotForm* Form = nullptr;
    std::vector<std::string> Errors;
};

}  // namespace

TEST_F(SnapShots, RowsAreNumberedWithCentredThumbnails)
{
    Form->AddSnapshot(nullptr, "clip.avi", 0);  // a grab that gave no frame
    EXPECT_EQ(Form->Snapshots().Count(), 0);
    Form->AddSnapshot(BarsFrame(), "C:\\movies\\clip.avi", 10000000);
    Form->AddSnapshot(BarsFrame(), "C:\\movies\\clip.avi", 20000000);
    ASSERT_EQ(Form->ListView1->Count(), 2);
    EXPECT_EQ(Form->ListView1->Caption(0), "Snapshot 1");
    EXPECT_EQ(Form->ListView1->Caption(1), "Snapshot 2");
    EXPECT_EQ(Form->Snapshots()[1].Width, 160);
    EXPECT_EQ(Form->Snapshots()[1].Height, 120);
    EXPECT_EQ(Form->Snapshots()[1].Position, 20000000);

    // 160 x 120 fits as 100 x 75 at rows 12 to 87, black above and below.
    const int image = Form->ListView1->ImageIndex(0);
    ExpectNear(ThumbnailPixel(Form->ImageList1, image, 50, 5), 0x000000, 0, "band above");
    ExpectNear(ThumbnailPixel(Form->ImageList1, image, 50, 95), 0x000000, 0, "band below");
    for (int bar = 0; bar < 8; ++bar)
        ExpectNear(ThumbnailPixel(Form->ImageList1, image, bar * 25 / 2 + 6, 50), Bars[bar], 8, "bar " + std::to_string(bar));
}

TEST_F(SnapShots, DeleteRemovesTheRowAndNumbersFollowTheCount)
{
    for (int i = 0; i < 3; ++i)
        Form->AddSnapshot(BarsFrame(), "clip.avi", i);
    Select(0);
    Form->PopupMenu20002Popup(nullptr);
    EXPECT_TRUE(Form->SaveAs1->Enabled);
    EXPECT_TRUE(Form->Delete1->Enabled);
    Form->Delete1Click(nullptr);
    ASSERT_EQ(Form->ListView1->Count(), 2);
    EXPECT_EQ(Form->Snapshots().Count(), 2);
    EXPECT_EQ(Form->ListView1->Caption(0), "Snapshot 2");
    EXPECT_EQ(Form->Snapshots()[0].Position, 1);
    EXPECT_EQ(Form->SelectedIndex(), -1);
    Form->PopupMenu20002Popup(nullptr);
    EXPECT_FALSE(Form->SaveAs1->Enabled);
    EXPECT_FALSE(Form->Delete1->Enabled);
    Form->AddSnapshot(BarsFrame(), "clip.avi", 9);
    EXPECT_EQ(Form->ListView1->Caption(2), "Snapshot 3");  // the count's number, which can repeat
}

TEST_F(SnapShots, SaveAsWritesJpegOrBitmapByExtension)
{
    TTempDir dir;
    Form->AddSnapshot(BarsFrame(), "clip.avi", 0);
    Select(0);
    std::string offered;
    std::string chosen;
    Form->ExecuteSave = [&](std::string& fileName) {
        offered = fileName;
        fileName = chosen;
        return true;
    };
    struct {
        const char* Name;
        bool Jpeg;
    } const cases[] = {{"a.JPEG", true}, {"b.jpg", true}, {"c.bmp", false}, {"d.png", false}, {"e", false}};
    for (const auto& c : cases) {
        chosen = dir.File(c.Name);
        Form->SaveAs1Click(nullptr);
        EXPECT_EQ(offered, "Snapshot 1");
        const std::vector<uint8_t> bytes = ReadAll(chosen);
        ASSERT_GT(bytes.size(), 54u) << c.Name;
        TThumbnail picture;
        if (c.Jpeg) {
            EXPECT_EQ(bytes[0], 0xFF);
            EXPECT_EQ(bytes[1], 0xD8);
            EXPECT_EQ(bytes[2], 0xFF);
            ASSERT_TRUE(DecodeJpeg(bytes, picture)) << c.Name;
        } else {
            EXPECT_EQ(bytes[0], 'B');
            EXPECT_EQ(bytes[1], 'M');
            EXPECT_EQ(bytes[28], 24) << "bits per pixel";
            EXPECT_EQ(bytes.size(), 54u + 480u * 120u);
            ASSERT_TRUE(DecodeBmp(bytes, picture)) << c.Name;
        }
        ASSERT_EQ(picture.Width, 160);
        ASSERT_EQ(picture.Height, 120);
        for (int bar = 0; bar < 8; ++bar)
            for (int y : {0, 60, 119}) {
                const uint32_t got = picture.Pixels[static_cast<size_t>(y * 160 + bar * 20 + 10)] & 0xFFFFFF;
                if (c.Jpeg)
                    ExpectNear(got, Bars[bar], 12, std::string(c.Name) + " bar " + std::to_string(bar));
                else
                    EXPECT_EQ(got, Bars[bar]) << c.Name << " bar " << bar;
            }
    }
    EXPECT_TRUE(Errors.empty());
}

TEST_F(SnapShots, FailedSaveShowsTheErrorAndKeepsTheSnapshot)
{
    TTempDir dir;
    Form->AddSnapshot(BarsFrame(), "clip.avi", 0);
    Select(0);
    for (const char* name : {"missing\\a.jpg", "missing\\b.bmp"}) {
        const std::string target = dir.File(name);
        Form->ExecuteSave = [&](std::string& fileName) {
            fileName = target;
            return true;
        };
        Errors.clear();
        Form->SaveAs1Click(nullptr);
        ASSERT_EQ(Errors.size(), 1u) << name;
        EXPECT_FALSE(Errors[0].empty());
        EXPECT_EQ(GetFileAttributesA(target.c_str()), INVALID_FILE_ATTRIBUTES) << name;
        EXPECT_EQ(Form->Snapshots().Count(), 1);
    }
    // A cancelled dialog writes nothing.
    Form->ExecuteSave = [](std::string&) { return false; };
    Errors.clear();
    Form->SaveAs1Click(nullptr);
    EXPECT_TRUE(Errors.empty());
}
