#include "tests/ui/ScreenCapture.h"

#include "framework/Jpeg.h"
#include "framework/SysUtils.h"
#include "framework/WinHandles.h"

#include <algorithm>

namespace pvltest {

std::vector<uint32_t> CaptureScreen(const TRect& r)
{
    TWindowDC screen(nullptr);
    TMemoryDC memory(CreateCompatibleDC(screen.Get()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = r.Width();
    info.bmiHeader.biHeight = -r.Height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    TBitmapHandle bitmap(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits)
        return {};
    {
        TSelectObject select(memory.Get(), bitmap.Get());
        BitBlt(memory.Get(), 0, 0, r.Width(), r.Height(), screen.Get(), r.left, r.top, SRCCOPY);
    }
    GdiFlush();
    const auto* p = static_cast<const uint32_t*>(bits);
    return std::vector<uint32_t>(p, p + static_cast<size_t>(r.Width()) * r.Height());
}

std::string SaveJpeg(const std::vector<uint32_t>& pixels, const TRect& r, const std::string& name)
{
    TJPEGImage image;
    image.SetPixels(r.Width(), r.Height(), pixels.data());
    char exe[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    const std::string path = ExtractFilePath(exe) + name;
    image.SaveToFile(path);
    return path;
}

TRect ClientOnScreen(HWND wnd)
{
    RECT r;
    GetClientRect(wnd, &r);
    MapWindowPoints(wnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TPictureChange ComparePictures(const std::vector<uint32_t>& first, const std::vector<uint32_t>& second)
{
    TPictureChange change;
    const size_t n = std::min(first.size(), second.size());
    for (size_t i = 0; i < n; ++i) {
        change.Lit += (second[i] & 0xFFFFFF) != 0;
        change.Changed += first[i] != second[i];
    }
    return change;
}

}  // namespace pvltest
