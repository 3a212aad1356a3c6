#include "MenuItemCache.h"

#include "MenuUtils.h"

namespace {

struct TImages {
    HIMAGELIST List = nullptr;
    TImages()
    {
        List = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 200, 100);
        if (!List)
            return;
        ImageList_SetBkColor(List, RGB(255, 0, 255));
        for (const char* name : {"BMP_AM2000_MENUITEMCACHE0", "BMP_AM2000_MENUITEMCACHE1"}) {
            const auto strip = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0, 0, 0));
            if (!strip)
                continue;
            ImageList_AddMasked(List, strip, RGB(255, 0, 255));
            DeleteObject(strip);
        }
    }
    ~TImages()
    {
        if (List)
            ImageList_Destroy(List);
    }
};

}  // namespace

HIMAGELIST MenuItemCacheImages()
{
    static TImages images;
    return images.List;
}

void DrawGlyphByIndex(HDC dc, int x, int y, bool enabled, COLORREF highlight, COLORREF shadow, int index)
{
    const HIMAGELIST list = MenuItemCacheImages();
    if (!list || index < 0 || index >= MenuItemCache().GlyphCount() || index >= ImageList_GetImageCount(list))
        return;
    if (enabled)
        ImageList_Draw(list, index, dc, x, y, ILD_TRANSPARENT);
    else
        DrawImageListShape(dc, x, y, highlight, shadow, 16, 16, index, list);
}

void DrawGlyphOf(HDC dc, int x, int y, bool enabled, COLORREF highlight, COLORREF shadow, std::string_view caption)
{
    DrawGlyphByIndex(dc, x, y, enabled, highlight, shadow, MenuItemCache().ImageIndexOf(caption));
}
