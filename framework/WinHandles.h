#pragma once
// Owners of Win32 handles: each closes its handle once, when it goes.
#include <windows.h>

#include <utility>

template <class H, class Traits>
class TUniqueHandle {
public:
    TUniqueHandle() = default;
    explicit TUniqueHandle(H handle) : FHandle(handle) {}
    ~TUniqueHandle() { Reset(); }
    TUniqueHandle(TUniqueHandle&& other) noexcept : FHandle(std::exchange(other.FHandle, Traits::Invalid())) {}
    TUniqueHandle& operator=(TUniqueHandle&& other) noexcept
    {
        if (this != &other)
            Reset(std::exchange(other.FHandle, Traits::Invalid()));
        return *this;
    }
    TUniqueHandle(const TUniqueHandle&) = delete;
    TUniqueHandle& operator=(const TUniqueHandle&) = delete;

    H Get() const { return FHandle; }
    explicit operator bool() const { return FHandle != Traits::Invalid(); }
    H Release() { return std::exchange(FHandle, Traits::Invalid()); }
    void Reset(H handle = Traits::Invalid())
    {
        if (FHandle != Traits::Invalid())
            Traits::Close(FHandle);
        FHandle = handle;
    }

private:
    H FHandle = Traits::Invalid();
};

struct KernelHandleTraits {
    static HANDLE Invalid() { return nullptr; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
struct FileHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
struct FindHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { FindClose(h); }
};
struct RegKeyTraits {
    static HKEY Invalid() { return nullptr; }
    static void Close(HKEY h) { RegCloseKey(h); }
};
template <class T>
struct GdiObjectTraits {
    static T Invalid() { return nullptr; }
    static void Close(T h) { DeleteObject(h); }
};
struct MemoryDCTraits {
    static HDC Invalid() { return nullptr; }
    static void Close(HDC h) { DeleteDC(h); }
};
struct ModuleTraits {
    static HMODULE Invalid() { return nullptr; }
    static void Close(HMODULE h) { FreeLibrary(h); }
};
struct WindowTraits {
    static HWND Invalid() { return nullptr; }
    static void Close(HWND h) { DestroyWindow(h); }
};

using TKernelHandle = TUniqueHandle<HANDLE, KernelHandleTraits>;
using TFileHandle = TUniqueHandle<HANDLE, FileHandleTraits>;
using TFindHandle = TUniqueHandle<HANDLE, FindHandleTraits>;
using TRegKey = TUniqueHandle<HKEY, RegKeyTraits>;
using TBitmapHandle = TUniqueHandle<HBITMAP, GdiObjectTraits<HBITMAP>>;
using TFontHandle = TUniqueHandle<HFONT, GdiObjectTraits<HFONT>>;
using TBrushHandle = TUniqueHandle<HBRUSH, GdiObjectTraits<HBRUSH>>;
using TPenHandle = TUniqueHandle<HPEN, GdiObjectTraits<HPEN>>;
using TRegionHandle = TUniqueHandle<HRGN, GdiObjectTraits<HRGN>>;
using TMemoryDC = TUniqueHandle<HDC, MemoryDCTraits>;
using TModuleHandle = TUniqueHandle<HMODULE, ModuleTraits>;
using TWindowHandle = TUniqueHandle<HWND, WindowTraits>;

// A window's device context from GetDC, released with ReleaseDC.
class TWindowDC {
public:
    explicit TWindowDC(HWND wnd) : FWnd(wnd), FDC(GetDC(wnd)) {}
    ~TWindowDC() { if (FDC) ReleaseDC(FWnd, FDC); }
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;
    HDC Get() const { return FDC; }

private:
    HWND FWnd;
    HDC FDC;
};

// Selects an object into a DC for a scope and puts the previous one back.
class TSelectObject {
public:
    TSelectObject(HDC dc, HGDIOBJ object) : FDC(dc), FOld(SelectObject(dc, object)) {}
    ~TSelectObject() { SelectObject(FDC, FOld); }
    TSelectObject(const TSelectObject&) = delete;
    TSelectObject& operator=(const TSelectObject&) = delete;

private:
    HDC FDC;
    HGDIOBJ FOld;
};
