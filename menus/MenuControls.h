#pragma once
// The controls an item can host inside a menu: a push button, a one-line edit box, a picture,
// a block of wrapped text (a row of glyph buttons keeps the base's behaviour). Their rules
// without a window are in MenuControlsCore.
#include "MenuControl.h"
#include "MenuControlsCore.h"

#include <functional>
#include <memory>
#include <string>

// The control of a type for an item (the base for ctlNone and ctlButtonArray).
std::unique_ptr<T_AM2000_MenuControl> MakeMenuControl(T_AM2000_MenuControlType type, TMenuItem2000* item);

// Beeps of the hosted controls (MessageBeep 0); tests put their own in place.
using TMenuBeep = std::function<void()>;
void SetMenuControlBeep(TMenuBeep beep);

// The family's width limits of hosted controls.
inline constexpr int MaxMenuWidth = 300;
inline constexpr int MinEditWidth = 40;

class T_AM2000_TextControl : public T_AM2000_MenuControl {
public:
    using T_AM2000_MenuControl::T_AM2000_MenuControl;
    void Paint(HDC dc, const RECT& itemRect) override;
    int GetWidth(HDC dc) override;
    int GetHeight(HDC dc) override;
    bool IgnoreMargins = false;
    int MarginLeft = 0, MarginRight = 0;  // the menu's margins
};

class T_AM2000_EditControl : public T_AM2000_MenuControl {
public:
    using T_AM2000_MenuControl::T_AM2000_MenuControl;
    void Paint(HDC dc, const RECT& itemRect) override;
    int GetWidth(HDC dc) override;
    int GetHeight(HDC dc) override;
    void KeyDown(WORD& key, unsigned shift) override;
    void KeyPress(char& key) override;
    void Assign(const TPersistent& source) override;

    TMenuEditBuffer Buffer;
    bool AutoSelect = true;
    int MinWidth = 0, MaxWidth = 0;
    std::function<void(TMenuItem2000* item, const std::string& text)> OnChange;

private:
    void AfterKey(const TMenuEditBuffer::TResult& result, HDC dc);
    int FBoxWidth = 0;
};

class T_AM2000_ButtonControl : public T_AM2000_MenuControl {
public:
    using T_AM2000_MenuControl::T_AM2000_MenuControl;
    void Paint(HDC dc, const RECT& itemRect) override;
    int GetHeight(HDC dc) override;
    void Click() override { SetDown(true); }
    bool Down() const { return FDown; }
    // True first resets the other buttons of the item's group; False only with AllowAllUp.
    void SetDown(bool value);
    bool AllowAllUp = true;
    bool BorderFrame = true;

private:
    bool FDown = false;
};

class T_AM2000_BitmapControl : public T_AM2000_MenuControl {
public:
    using T_AM2000_MenuControl::T_AM2000_MenuControl;
    ~T_AM2000_BitmapControl() override;
    void Paint(HDC dc, const RECT& itemRect) override;
    int GetWidth(HDC dc) override;
    int GetHeight(HDC dc) override;
    int NumGlyphs() const { return FNumGlyphs; }
    // EConvertError "Value must be between 1 and 4." outside 1..4.
    void SetNumGlyphs(int value);
    // Takes the bitmap.
    void SetBitmap(HBITMAP bitmap);

private:
    int FNumGlyphs = 1;
    HBITMAP FBitmap = nullptr;
};
