// Under Wine: a title tick in a cross-fade, the on-screen display's rendering of 40 characters
// over a 1280-wide video area, and its region built by uniting one-row rectangles one by one
// beside one ExtCreateRegion.
#include "bench/ui/UiBenchCommon.h"

#include "bench/support/Harness.h"

#include "engine/OutlinedText.h"
#include "graphics/Bitmap32.h"
#include "ui/DisplayPanel.h"
#include "ui/OSD_Unit.h"
#include "ui/BitmapRegion.h"
#include "ui/Video_Unit.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {
const std::string kText40 = "Artist Name - The Title Of A Long Song 1";

// Every run of non-black pixels of a 24-bit bitmap as its own region, united one by one.
HRGN RegionByUnion(HBITMAP bitmap)
{
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    const int width = info.bmWidth, height = info.bmHeight, stride = (width * 3 + 3) & ~3;
    std::vector<uint8_t> pixels(static_cast<size_t>(stride) * height);
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    const HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, height, pixels.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    HRGN all = CreateRectRgn(0, 0, 0, 0);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = pixels.data() + static_cast<size_t>(y) * stride;
        int x = 0;
        while (x < width) {
            const uint8_t* p = row + x * 3;
            const int start = x;
            while (x < width && row[x * 3] == p[0] && row[x * 3 + 1] == p[1] && row[x * 3 + 2] == p[2])
                ++x;
            if (p[0] || p[1] || p[2]) {
                HRGN run = CreateRectRgn(start, y, x, y + 1);
                CombineRgn(all, all, run, RGN_OR);
                DeleteObject(run);
            }
        }
    }
    return all;
}

}

void uibench::WindowTicks()
{
    // The title: a step and a paint while two lines cross-fade.
    TBitmap32 title, target;
    title.SetSize(343, 12);
    target.SetSize(343, 12);
    title.Font().SetName("Small Fonts");
    title.Font().SetSize(7);
    TTitleScroller scroller(343, [&](const std::string& text) { return title.TextWidth(text); });
    scroller.SetTitleInfo({"Artist - Song", "Album"});
    scroller.Current = "Artist - Song";
    const pvlbench::TResult titleTick = pvlbench::Measure("Title/cross-fade-tick", [&](long n) {
        for (long i = 0; i < n; ++i) {
            if (scroller.State != TTitleScroller::tsCrossFade || scroller.Alpha >= 200) {
                scroller.State = TTitleScroller::tsCrossFade;
                scroller.Alpha = 0;
                scroller.LineIndex = 1;
            }
            scroller.TimerStep(1000, false);
            DrawTitleLine(scroller, title, target, target.BoundsRect(), 0xBB7B42);
        }
    });
    std::printf("%-48s %11.3f %% of 75 ms\n", "", titleTick.NsPerIteration / 75e6 * 100);

    // The on-screen display over a 1280-wide area.
    TApplication app;
    auto* video = app.CreateForm<TVideoForm>();
    video->SetBounds(0, 0, 1300, 500);
    video->SetClientWidth(1280);
    video->Show();
    auto* osd = NewComponent<TOSDForm>(&app, *video);
    const pvlbench::TResult show = pvlbench::Measure("OSD/ShowOSDText-40-chars-1280", [&](long n) {
        for (long i = 0; i < n; ++i)
            osd->ShowTextTimed(kText40, 3);
    });
    std::printf("%-48s %11.3f %% of a 40 ms frame\n", "", show.NsPerIteration / 40e6 * 100);
    osd->RegionsEnabled = [] { return false; };
    const pvlbench::TResult plain = pvlbench::Measure("OSD/ShowOSDText-without-region", [&](long n) {
        for (long i = 0; i < n; ++i)
            osd->ShowTextTimed(kText40, 3);
    });
    std::printf("%-48s %11.3f %% of a 40 ms frame\n", "", plain.NsPerIteration / 40e6 * 100);

    // The two regions of the same picture.
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), 1280, -100, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    TMemoryDC dc(CreateCompatibleDC(nullptr));
    TBitmapHandle bitmap(CreateDIBSection(dc.Get(), &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    {
        TSelectObject selected(dc.Get(), bitmap.Get());
        TFont font;
        font.SetName("Arial");
        font.SetSize(12);
        font.SetStyle(fsBold);
        DrawOutlinedText(dc.Get(), kText40, TRect(5, 0, 1280, 100), 2, static_cast<TColor>(0x3C3C3C),
                         static_cast<TColor>(0xFFFFFF), font);
        GdiFlush();
    }
    HRGN a = BuildRegionFromBitmap(bitmap.Get(), 0);
    HRGN b = RegionByUnion(bitmap.Get());
    std::printf("regions equal: %s\n", EqualRgn(a, b) ? "yes" : "NO");
    DeleteObject(a);
    DeleteObject(b);
    const pvlbench::TResult one = pvlbench::Measure("Region/ExtCreateRegion", [&](long n) {
        for (long i = 0; i < n; ++i)
            DeleteObject(BuildRegionFromBitmap(bitmap.Get(), 0));
    });
    const pvlbench::TResult united = pvlbench::Measure("Region/CombineRgn-union", [&](long n) {
        for (long i = 0; i < n; ++i)
            DeleteObject(RegionByUnion(bitmap.Get()));
    });
    std::printf("%-48s %11.1f x faster in one call\n", "", united.NsPerIteration / one.NsPerIteration);
}
