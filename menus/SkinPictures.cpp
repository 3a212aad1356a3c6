#include "SkinPictures.h"

#include "MenuUtils.h"

#include <cstring>
#include <utility>

namespace {

// A memory device context holding a bitmap for as long as it lives.
struct TSelectedBitmap {
    explicit TSelectedBitmap(HBITMAP bitmap) : Select(DC.Get(), bitmap) {}
    TMemoryDC DC{CreateCompatibleDC(nullptr)};
    TSelectObject Select;
};

void Blit(HDC dc, HDC source, const TPictureCopy& c)
{
    if (c.Source.Width() == c.Dest.Width() && c.Source.Height() == c.Dest.Height()) {
        BitBlt(dc, c.Dest.left, c.Dest.top, c.Dest.Width(), c.Dest.Height(), source, c.Source.left, c.Source.top,
               SRCCOPY);
        return;
    }
    const int oldMode = SetStretchBltMode(dc, HALFTONE);
    POINT origin{};
    SetBrushOrgEx(dc, 0, 0, &origin);
    StretchBlt(dc, c.Dest.left, c.Dest.top, c.Dest.Width(), c.Dest.Height(), source, c.Source.left, c.Source.top,
               c.Source.Width(), c.Source.Height(), SRCCOPY);
    SetBrushOrgEx(dc, origin.x, origin.y, nullptr);
    SetStretchBltMode(dc, oldMode);
}

}  // namespace

void TSkinPicture::Load(const std::string& data)
{
    if (data == FData)
        return;
    FBitmap.Reset();
    FWidth = FHeight = 0;
    FData = data;
    const std::optional<TSkinPictureFile> file = FindSkinPictureFile(data);
    if (!file)
        return;
    // The info header and the bits, copied to aligned memory for the platform's reader.
    std::vector<uint8_t> dib(file->Size - 14);
    std::memcpy(dib.data(), data.data() + file->Offset + 14, dib.size());
    uint32_t bitsAt = 0;
    std::memcpy(&bitsAt, data.data() + file->Offset + 10, 4);
    void* bits = nullptr;
    TBitmapHandle bitmap(CreateDIB24(nullptr, file->Width, file->Height, bits));
    if (!bitmap)
        return;
    {
        const TSelectedBitmap target(bitmap.Get());
        StretchDIBits(target.DC.Get(), 0, 0, file->Width, file->Height, 0, 0, file->Width, file->Height,
                      dib.data() + (bitsAt - 14), reinterpret_cast<const BITMAPINFO*>(dib.data()), DIB_RGB_COLORS,
                      SRCCOPY);
    }
    GdiFlush();
    FBitmap = std::move(bitmap);
    FWidth = file->Width;
    FHeight = file->Height;
}

void TSkinPicture::Draw(HDC dc, const std::vector<TPictureCopy>& copies) const
{
    if (!FBitmap || copies.empty())
        return;
    const TSelectedBitmap source(FBitmap.Get());
    for (const TPictureCopy& c : copies)
        Blit(dc, source.DC.Get(), c);
}

void TSkinPicture::DrawGlyph(HDC dc, const TRect& target, T_AM2000_its state) const
{
    if (!FBitmap)
        return;
    const TPictureCopy copy = GlyphStripCopy(target, FWidth, FHeight, state);
    const int frames = FWidth / copy.Source.Width();
    ::DrawGlyph(dc, copy.Dest.left, copy.Dest.top, 0, 0, 0x1FFFFFFF, FBitmap.Get(), frames,
                GlyphStripFrame(FWidth, FHeight, state));
}

void TSkinPictures::Update(const T_AM2000_Skin& skin, const T_AM2000_Title& title)
{
    for (int p = 0; p < T_AM2000_Skin::PictureCount; ++p)
        FPictures[static_cast<size_t>(p)].Load(skin.Get(static_cast<T_AM2000_Skin::Picture>(p)));
    FTitle.Load(title.Bitmap);
}

void TSkinPictures::MakeBackground(const T_AM2000_Skin& skin, int width, int height, COLORREF menu)
{
    const TSkinPicture& picture = FPictures[T_AM2000_Skin::Background];
    if (picture.Empty() || width <= 0 || height <= 0) {
        FBackground.Reset();
        return;
    }
    if (!FBackground || FBackgroundWidth != width || FBackgroundHeight != height) {
        void* bits = nullptr;
        FBackground.Reset(CreateDIB24(nullptr, width, height, bits));
        if (!FBackground)
            return;
        FBackgroundWidth = width;
        FBackgroundHeight = height;
    }
    const TSelectedBitmap target(FBackground.Get());
    const TRect window(0, 0, width, height);
    if (!BackgroundCovers(skin.BackgroundLayout, window, picture.Width(), picture.Height())) {
        const RECT r{0, 0, width, height};
        SetBkColor(target.DC.Get(), menu);
        ExtTextOutA(target.DC.Get(), 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    }
    picture.Draw(target.DC.Get(), BackgroundCopies(skin.BackgroundLayout, window, picture.Width(), picture.Height(),
                                               skin.CornerWidth, skin.CornerHeight));
    GdiFlush();
}

void TSkinPictures::CopyBackground(HDC dc, const RECT& r) const
{
    if (!FBackground || r.right <= r.left || r.bottom <= r.top)
        return;
    const TSelectedBitmap source(FBackground.Get());
    BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, source.DC.Get(), r.left, r.top, SRCCOPY);
}
