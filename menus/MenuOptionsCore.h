#pragma once
// A menu's look as option objects: margins, colours, title band, skin pictures, flags,
// animation and opacity. Items' options fall back part by part to their menu's while the part's
// Parent flag is set. Every class lists what it streams in a table of stored properties.
#include "MenuUtilsCore.h"
#include "framework/Classes.h"
#include "framework/ComponentStream.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

enum T_AM2000_Animation : uint8_t {
    anNone, anDefault, anVertAlphaSlide, anHorzAlphaSlide, anAlphaSlide, anDoubleAlphaSlide, anVertRoll, anHorzRoll,
    anRoll, anDoubleRoll, anVertSlide, anHorzSlide, anSlide, anDoubleSlide, anVertStretch, anHorzStretch, anStretch,
    anDoubleStretch, anPopup, anAlpha, anRandom,
};
enum T_AM2000_Flag : uint8_t {
    mfAnimationOnSiblings, mfBitmapShadow, mfDropShadow, mfGradientSeparators, mfHiddenAsRegular, mfHiddenIsVisible,
    mfLeftAlignedShortCuts, mfLightenBitmaps, mfLongSeparators, mfNoAutoShowHidden, mfNoBitmapRect, mfNoHighDisabled,
    mfNoSharpJoints, mfRaiseBitmaps, mfRaiseMenuBarItem, mfRaiseSubMenuItem, mfShowCheckMark, mfSoftColors,
    mfTinyShortCuts, mfXpControls,
};
using T_AM2000_Flags = uint32_t;  // one bit per T_AM2000_Flag
constexpr T_AM2000_Flags FlagBit(T_AM2000_Flag f) { return T_AM2000_Flags(1) << f; }
enum T_AM2000_BackgroundLayout : uint8_t {
    blDefault, blTile, blStretch, blExpandMenu, blSkin, blAtTopLeft, blAtTopCenter, blAtTopRight, blAtLeftCenter,
    blAtCenter, blAtRightCenter, blAtBottomLeft, blAtBottomCenter, blAtBottomRight,
};
enum T_AM2000_TitlePosition : uint8_t { atLeft, atRight, atTop, atBottom };
enum T_AM2000_TextDirection : uint8_t { tdForward, tdBackward };
enum T_AM2000_Gradient : uint8_t { grLinear, grReflected, grDiamond, grBlocks };
enum T_AM2000_GradientDirection : uint8_t { gdHorizontal, gdVertical };
enum T_AM2000_FlatStyle : uint8_t { bsDefault, bsWin31, bsWin95, bsWinXP };
enum TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };
enum TBiDiMode : uint8_t { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

const std::vector<std::string>& AnimationNames();
const std::vector<std::string>& FlagNames();

// A part of an options object: tells its owner about every change.
class T_AM2000_Part : public TPersistent, public IStoredProperties {
public:
    std::function<void()> OnChange;

protected:
    void Changed() const
    {
        if (OnChange)
            OnChange();
    }
};

// A font described for streaming; the Win32 painters make the GDI font from it.
class T_AM2000_Font : public T_AM2000_Part {
public:
    T_AM2000_Font(std::string name, int height, TColor color, unsigned style);
    std::string Name;
    int Height;
    TColor Color;
    unsigned Style;  // fsBold 1, fsItalic 2, fsUnderline 4, fsStrikeOut 8
    uint8_t Charset = 1;  // DEFAULT_CHARSET
    void Assign(const TPersistent& source) override;
    bool Equals(const T_AM2000_Font& other) const;
    void ListStoredProperties(std::vector<TStoredProperty>& list) override;
};

class T_AM2000_Margins : public T_AM2000_Part {
public:
    enum Role { Bevel, BevelInner, Border, Frame, Gutter, Item, Left, Right, Separator, Space, RoleCount };
    static const std::array<int, RoleCount> Defaults;
    int Get(Role role) const { return FValues[role]; }
    void Set(Role role, int value);
    void Assign(const TPersistent& source) override;
    bool IsDefault() const { return FValues == Defaults; }
    void ListStoredProperties(std::vector<TStoredProperty>& list) override;

private:
    std::array<int, RoleCount> FValues = Defaults;
};

class T_AM2000_Colors : public T_AM2000_Part {
public:
    enum Role {
        Bevel, BevelShadow, BevelInner, BevelInnerShadow, Border, DisabledText, DisabledShadow, DropShadow, Frame,
        FrameShadow, Gutter, Highlight, HighlightText, Line, LineShadow, Menu, MenuText, Pressed, PressedText, Sunken,
        SunkenText, Derived22, Derived23, Derived24, Derived25, RoleCount,
    };
    static constexpr int PublishedCount = 21;
    static const std::array<TColor, RoleCount> Defaults;
    TColor Get(Role role) const { return FValues[role]; }
    void Set(Role role, TColor value);
    void Assign(const TPersistent& source) override;
    bool IsDefault() const { return FValues == Defaults; }
    bool Derived() const { return FDerived; }
    // Soft and derived colours, once per colour set, without notices.
    void Derive(bool softColors);
    void ListStoredProperties(std::vector<TStoredProperty>& list) override;

private:
    std::array<TColor, RoleCount> FValues = Defaults;
    bool FDerived = false;
    bool FNotify = true;
};

class T_AM2000_Title : public T_AM2000_Part {
public:
    T_AM2000_Title();
    T_AM2000_TitlePosition Position = atLeft;
    TAlignment Alignment = taLeftJustify;
    std::string Text;
    TColor ColorBegin = 0xFF0000, ColorEnd = 0;
    int Width = 50;
    T_AM2000_TextDirection TextDirection = tdForward;
    bool Visible = false;
    std::string Bitmap;  // picture data, empty when none
    T_AM2000_Gradient Gradient = grLinear;
    T_AM2000_GradientDirection GradientDirection = gdVertical;
    T_AM2000_Font& Font() { return FFont; }
    const T_AM2000_Font& Font() const { return FFont; }
    bool FontIsDefault() const;
    // Setters through the table tell the owner; direct field writes are for the owner's own use.
    void Assign(const TPersistent& source) override;
    bool IsDefault() const;
    void ListStoredProperties(std::vector<TStoredProperty>& list) override;

private:
    T_AM2000_Font FFont;
};

class T_AM2000_Skin : public T_AM2000_Part {
public:
    enum Picture {
        Unhide, Triangle, CheckMark, Radio, Background, ItemBackgroundHighlight, ItemBackgroundPressed,
        ItemBackgroundSunken, RaisedItemBackground, UnhideBackgroundHighlight, UnhideBackgroundPressed, PictureCount,
    };
    const std::string& Get(Picture p) const { return FPictures[p]; }
    void Set(Picture p, const std::string& data);  // empty frees the picture
    T_AM2000_BackgroundLayout BackgroundLayout = blDefault;
    int CornerWidth = 0, CornerHeight = 0, ItemCornerWidth = 0, ItemCornerHeight = 0;
    std::function<void()> OnPaintBackground, OnPaintItemBackground, OnPaintUnhideBackground;
    void Assign(const TPersistent& source) override;
    bool IsDefault() const;
    void ListStoredProperties(std::vector<TStoredProperty>& list) override;

private:
    std::array<std::string, PictureCount> FPictures;
};

class T_AM2000_MenuBarOptions : public T_AM2000_Part {
public:
    bool HotTrack = false, Transparent = false;
    T_AM2000_FlatStyle BorderIconsStyle = bsDefault;
    void Assign(const TPersistent& source) override;
    bool IsDefault() const { return !HotTrack && !Transparent && BorderIconsStyle == bsDefault; }
    void ListStoredProperties(std::vector<TStoredProperty>& list) override;
};

// Who owns an options object: a popup menu, an item or a skin.
class IOptionsOwner {
public:
    // A part or flag changed (outside the update lock).
    virtual void OptionsChanged() = 0;
    // A menu with a skin stores no parts of its own.
    virtual bool OwnerHasSkin() const { return false; }
    // Loading, reading or designing: colours are then not derived on read.
    virtual bool OwnerLoadingOrDesigning() const { return false; }

protected:
    ~IOptionsOwner() = default;
};

class T_AM2000_Options : public TPersistent, public IStoredProperties {
public:
    enum PartKind { pkColors, pkMargins, pkTitle, pkSkin };
    explicit T_AM2000_Options(IOptionsOwner* owner = nullptr);
    ~T_AM2000_Options() override;

    T_AM2000_Colors& Colors();
    T_AM2000_Margins& Margins();
    T_AM2000_Title& Title();
    T_AM2000_Skin& Skin();
    bool HasPart(PartKind kind) const;
    // Writing a part assigns it (none frees it); item options then take the Parent flag from
    // whether the written part is default.
    void SetColors(const T_AM2000_Colors* value);
    void SetMargins(const T_AM2000_Margins* value);
    void SetTitle(const T_AM2000_Title* value);
    void SetSkin(const T_AM2000_Skin* value);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    T_AM2000_Flags Flags() const { return FFlags; }
    void SetFlags(T_AM2000_Flags value);
    bool Draggable() const { return FDraggable; }
    void SetDraggable(bool value);
    bool Customizable() const { return FCustomizable; }
    void SetCustomizable(bool value);
    int Opacity() const { return FOpacity; }
    void SetOpacity(int value);  // ERangeError outside 1..100, the old value kept
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& value);

    virtual void AssignOptions(const T_AM2000_Options& source, bool withFlags);
    virtual bool IsDefault() const;
    void Assign(const TPersistent& source) override;
    // Colours with their derived values brought up to date (outside loading and design).
    T_AM2000_Colors& UpToDateColors();
    void ListStoredProperties(std::vector<TStoredProperty>& list) override;

    IOptionsOwner* Owner() const { return FOwner; }

protected:
    // A part changed: item options clear their Parent flag for it.
    virtual void PartChanged(PartKind kind) { (void)kind; }
    virtual void PartWritten(PartKind kind, bool isDefault) { (void)kind; (void)isDefault; }
    virtual bool PartInherited(PartKind kind) const { (void)kind; return false; }
    bool PartStored(PartKind kind) const;
    void Changed() const;

private:
    template <class T> T& Part(std::unique_ptr<T>& part, PartKind kind);
    template <class T> void WritePart(std::unique_ptr<T>& part, const T* value, PartKind kind);
    IOptionsOwner* FOwner;
    std::unique_ptr<T_AM2000_Colors> FColors;
    std::unique_ptr<T_AM2000_Margins> FMargins;
    std::unique_ptr<T_AM2000_Title> FTitle;
    std::unique_ptr<T_AM2000_Skin> FSkin;
    TAlignment FAlignment = taLeftJustify;
    T_AM2000_Flags FFlags = 0;
    bool FDraggable = false, FCustomizable = false;
    int FOpacity = 100;
    std::string FCaption;
};

class T_AM2000_ItemOptions : public T_AM2000_Options {
public:
    using T_AM2000_Options::T_AM2000_Options;
    bool ParentColors = true, ParentTitle = true, ParentSkin = true, ParentMargins = true;
    bool Parent(PartKind kind) const;
    // Not all inherited: the item has a look of its own.
    bool HasOwnLook() const;
    void Assign(const TPersistent& source) override;
    void ListStoredProperties(std::vector<TStoredProperty>& list) override;

protected:
    void PartChanged(PartKind kind) override;
    void PartWritten(PartKind kind, bool isDefault) override;
    bool PartInherited(PartKind kind) const override { return Parent(kind); }

private:
    bool& ParentFlag(PartKind kind);
};

class T_AM2000_MenuOptions : public T_AM2000_Options {
public:
    using T_AM2000_Options::T_AM2000_Options;
    T_AM2000_Animation Animation() const { return FAnimation; }
    void SetAnimation(T_AM2000_Animation value);
    void AssignOptions(const T_AM2000_Options& source, bool withFlags) override;
    bool IsDefault() const override;
    void ListStoredProperties(std::vector<TStoredProperty>& list) override;

private:
    T_AM2000_Animation FAnimation = anDefault;
};

// Checks an opacity; ERangeError outside 1..100.
int CheckedOpacity(int64_t value);
