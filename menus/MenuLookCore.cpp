#include "MenuLookCore.h"

#include "AnimatedSkinCore.h"

void T_AM2000_MenuLook::SetParentFont(bool value)
{
    FParentFont = value;
    if (value) {
        FSystemFont = false;
        FFont.reset();
    }
}

void T_AM2000_MenuLook::SetSystemFont(bool value)
{
    FSystemFont = value;
    if (value) {
        FParentFont = false;
        FFont.reset();
    }
}

void T_AM2000_MenuLook::SetFont(const T_AM2000_Font* value)
{
    if (!value) {
        FFont.reset();
        return;
    }
    if (!FFont)
        FFont = std::make_unique<T_AM2000_Font>("MS Sans Serif", -11, clWindowText, 0);
    FFont->Assign(*value);
}

void T_AM2000_MenuLook::SetCtl3D(bool value)
{
    FCtl3D = value;
    SystemCtl3D = false;
}

void T_AM2000_MenuLook::AssignLook(const T_AM2000_MenuLook& other)
{
    SetFont(other.FFont.get());
    FParentFont = other.FParentFont;
    FSystemFont = other.FSystemFont;
    FCtl3D = other.FCtl3D;
    SystemCtl3D = other.SystemCtl3D;
    SystemShadow = other.SystemShadow;
    SystemSelectionFade = other.SystemSelectionFade;
    Images = other.Images;
    DisabledImages = other.DisabledImages;
    HotImages = other.HotImages;
}

void T_AM2000_MenuLook::TakeSkinLook(TCustomAnimatedSkin2000& skin)
{
    FCtl3D = skin.Ctl3D();
    SystemCtl3D = skin.SystemCtl3D();
    SystemShadow = skin.SystemShadow();
    SystemSelectionFade = skin.SystemSelectionFade();
    FParentFont = skin.ParentFont();
    FSystemFont = skin.SystemFont();
    if (FParentFont || FSystemFont)
        FFont.reset();
    else
        SetFont(&skin.Font());
    Images = skin.Images;
    DisabledImages = skin.DisabledImages;
    HotImages = skin.HotImages;
}

void LinkAnimatedSkin(IAM2000SkinClient& client, TCustomAnimatedSkin2000*& link, TCustomAnimatedSkin2000* value)
{
    if (value == link)
        return;
    if (link)
        link->RemoveClient(&client);
    link = value;
    if (value) {
        value->AddClient(&client);
        client.ApplySkin(*value);
    } else {
        TAnimatedSkin2000 fresh(nullptr);  // the default look, once
        client.ApplySkin(fresh);
    }
}
