#pragma once
// Drop shadows along a menu window's right and bottom edges: per-pixel-alpha layered windows
// ("2000" style) where the platform has them, else top-most windows showing a darkened copy of
// the desktop ("98" style) taken from the shared snapshot cache.
#include "DropShadowCore.h"

#include <windows.h>

#include <memory>

// The process's cache of screen snapshots: a shadow over another menu still shows the desktop
// as it was before the menus opened.
class T_AM2000_Desktop {
public:
    static T_AM2000_Desktop& Instance();
    ~T_AM2000_Desktop();
    // Blits the screen's (x, y, w, h) as the cache knows it to dest at (0, 0) (none: only cached).
    void CopyRect(HDC dest, int x, int y, int w, int h, bool keep);
    void Invalidate(int x, int y, int w, int h);
    // Frees every snapshot, unless held: then only the hold ends.
    void Release();
    bool Held = false;
    int SnapshotCount() const { return FList.Count(); }
    // Screen copies made so far (tests see a cached request make none).
    int ScreenCopies() const { return FScreenCopies; }

private:
    T_AM2000_Desktop() = default;
    struct TShot {
        HDC Dc = nullptr;
        HBITMAP Bitmap = nullptr;
        HGDIOBJ Old = nullptr;
    };
    void Free(int index);
    TSnapshotList FList;
    std::vector<TShot> FShots;
    int FScreenCopies = 0;
};

class T_AM2000_DropShadow {
public:
    // The window style is chosen by whether layered windows are available (the family switch).
    explicit T_AM2000_DropShadow(HWND menu);
    ~T_AM2000_DropShadow();
    T_AM2000_DropShadow(const T_AM2000_DropShadow&) = delete;
    T_AM2000_DropShadow& operator=(const T_AM2000_DropShadow&) = delete;

    void Hide();
    void Show(HWND insertAfter);
    void Update();
    void SetColor(COLORREF color);
    void SetOpacity(int alpha);  // 2000 style only
    bool Layered() const { return FLayered; }
    HWND Vertical() const { return FWindows[0]; }
    HWND Horizontal() const { return FWindows[1]; }
    int Thickness() const { return FLayered ? Shadow2000Thickness : Shadow98Thickness; }

private:
    void Place(int which);
    void Paint98(int which, int w, int h);
    void Paint2000(int which, int w, int h);
    HWND FMenu;
    bool FLayered;
    HWND FWindows[2] = {};
    int FPainted[2] = {-1, -1};  // the length painted last
    COLORREF FColor = 0;
    int FAlpha = 255;
};
