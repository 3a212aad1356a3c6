#pragma once
// A skin's pictures made drawable for the menu window: each stored picture as a 24-bit bitmap,
// remade only when its data changes, and the window-sized background laid from the skin's
// `Background` picture.
#include "SkinPaintCore.h"
#include "framework/WinHandles.h"

#include <windows.h>

#include <array>
#include <string>
#include <vector>

class TSkinPicture {
public:
    // Takes the picture's stored data; an empty or damaged one leaves the picture empty.
    void Load(const std::string& data);
    bool Empty() const { return !FBitmap; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    HBITMAP Handle() const { return FBitmap.Get(); }
    // Copies (stretched where the sizes differ, half-tone) into the device context.
    void Draw(HDC dc, const std::vector<TPictureCopy>& copies) const;
    // One frame of a strip, transparent in its bottom-left pixel's colour.
    void DrawGlyph(HDC dc, const TRect& target, T_AM2000_its state) const;

private:
    std::string FData;
    TBitmapHandle FBitmap;
    int FWidth = 0, FHeight = 0;
};

class TSkinPictures {
public:
    // Brings every picture up to the skin's and the title's data.
    void Update(const T_AM2000_Skin& skin, const T_AM2000_Title& title);
    const TSkinPicture& Get(T_AM2000_Skin::Picture p) const { return FPictures[p]; }
    bool Has(T_AM2000_Skin::Picture p) const { return !FPictures[p].Empty(); }
    const TSkinPicture& Title() const { return FTitle; }
    // The window-sized background: filled with the menu colour unless the picture covers it, then
    // the picture laid by the skin's layout. Emptied without a `Background` picture.
    void MakeBackground(const T_AM2000_Skin& skin, int width, int height, COLORREF menu);
    bool HasBackground() const { return static_cast<bool>(FBackground); }
    // Copies the background's part under the rectangle into the device context.
    void CopyBackground(HDC dc, const RECT& r) const;

private:
    std::array<TSkinPicture, T_AM2000_Skin::PictureCount> FPictures;
    TSkinPicture FTitle;
    TBitmapHandle FBackground;
    int FBackgroundWidth = 0, FBackgroundHeight = 0;
};
