#include "ui/RenderResultCore.h"

#include <gtest/gtest.h>

TEST(RenderResultCore, EveryCodeHasItsCaptionAndPage)
{
    struct Case { uint32_t code; const char* caption; int page; };
    const Case cases[] = {
        {0x00000000, "", rpNone},
        {0x00040242, "Warning...", 2},
        {0x00040257, "Warning...", 1},
        {0x00040258, "Warning...", 0},
        {0x80040218, "Error...", 3},
        {0x80040265, "Error...", 6},
        {0x80070002, "Error...", 4},
        {0x80070003, "Error...", 4},
        {0x80070015, "Error...", 4},
        {0x80040216, "Error...", 4},
        {0x80004005, "Error...", 5},
        {0x00000001, "Error...", 5},
    };
    for (const Case& c : cases) {
        const TRenderResultPage page = RenderResultPage(static_cast<int32_t>(c.code));
        EXPECT_EQ(page.Caption, c.caption) << std::hex << c.code;
        EXPECT_EQ(page.Page, c.page) << std::hex << c.code;
    }
}

TEST(RenderResultCore, PageTexts)
{
    EXPECT_EQ(RenderResultTexts[5], "Parvolux encounted an unknown error.");
    EXPECT_EQ(RenderResultTexts[3],
              "Parvolux was unable to render this file, because you don't have the required decoder(s) installed on "
              "your system.\r\n\r\nPlease look in the media info for more details.");
    EXPECT_EQ(FileNotFoundText("C:\\a.avi"), "File not found !!!\r\nC:\\a.avi");
}
