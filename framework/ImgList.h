#pragma once
// Image lists: equal-sized images cut from one strip, drawn with a transparent colour.
#include "Classes.h"
#include "Graphics.h"

#include <cstdint>
#include <string>
#include <vector>

class TImageList : public TComponent {
public:
    TImageList(TComponent* owner, int width, int height);

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    int Count() const { return static_cast<int>(FImages.size()); }
    // Cuts a strip of 0xAARRGGBB pixels (top-down) into images of the list's size.
    void AddStrip(int stripWidth, int stripHeight, const uint32_t* pixels);
    // Cuts the program's bitmap resource of that name; False when there is none.
    bool LoadFromResource(const std::string& name);
    // The list's transparent colour (0x00BBGGRR); pixels of it are not drawn.
    TColor TransparentColor = 0xFF00FF;
    // Draws image `index` at (x, y); an index out of range draws nothing.
    void Draw(HDC dc, int x, int y, int index) const;
    // Image `index` on a background of `background`, as a bitmap of the list's size.
    void GetBitmap(int index, TColor background, TBitmap& into) const;

private:
    int FWidth, FHeight;
    std::vector<std::vector<uint32_t>> FImages;
};
