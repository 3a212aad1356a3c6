#pragma once
// Portable geometry and colour values of the class library. TRect and TPoint have the field
// layout of the platform's RECT and POINT and convert to and from them by value.
#include <cstdint>
#include <type_traits>

struct TPoint {
    int32_t x = 0, y = 0;

    constexpr TPoint() = default;
    constexpr TPoint(int32_t ax, int32_t ay) : x(ax), y(ay) {}
    template <class P>
        requires(!std::is_same_v<P, TPoint> && requires(const P& p) { p.x; p.y; })
    constexpr TPoint(const P& p) : x(static_cast<int32_t>(p.x)), y(static_cast<int32_t>(p.y)) {}
    template <class P>
        requires(!std::is_same_v<P, TPoint> && requires(P& p) { p.x; p.y; })
    constexpr operator P() const
    {
        P p{};
        p.x = x;
        p.y = y;
        return p;
    }
    friend constexpr bool operator==(const TPoint&, const TPoint&) = default;
};

// Right and bottom are exclusive.
struct TRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;

    constexpr TRect() = default;
    constexpr TRect(int32_t l, int32_t t, int32_t r, int32_t b) : left(l), top(t), right(r), bottom(b) {}
    template <class R>
        requires(!std::is_same_v<R, TRect> && requires(const R& r) { r.left; r.top; r.right; r.bottom; })
    constexpr TRect(const R& r)
        : left(static_cast<int32_t>(r.left)), top(static_cast<int32_t>(r.top)),
          right(static_cast<int32_t>(r.right)), bottom(static_cast<int32_t>(r.bottom))
    {
    }
    template <class R>
        requires(!std::is_same_v<R, TRect> && requires(R& r) { r.left; r.top; r.right; r.bottom; })
    constexpr operator R() const
    {
        R r{};
        r.left = left;
        r.top = top;
        r.right = right;
        r.bottom = bottom;
        return r;
    }
    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

struct TSize {
    int32_t cx = 0, cy = 0;
    friend constexpr bool operator==(const TSize&, const TSize&) = default;
};

// A colour of the class library: 0x00BBGGRR, or a system colour (0x80000000 | COLOR_ index).
// A form's border icons, as a set of bits.
enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4 };
using TBorderIcons = unsigned;

using TColor = int32_t;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clBtnFace = static_cast<TColor>(0x8000000F);
inline constexpr TColor clWindowText = static_cast<TColor>(0x80000008);
