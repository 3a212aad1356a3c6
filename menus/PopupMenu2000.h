#pragma once
// TPopupMenu2000: the popup-menu component of the family. It draws nothing: Popup hands its
// root item to one menu window (made on first use through the window factory) and waits,
// pumping messages, until that window has closed.
#include "AnimatedSkinCore.h"
#include "MenuHooks.h"
#include "MenuItem2000.h"
#include "MenuLookCore.h"
#include "PopupMenuWindow.h"
#include "framework/Menus.h"

#include <memory>

class TCustomPopupMenu2000 : public TPopupMenu, public T_AM2000_MenuLook, public IAM2000SkinClient, private IOptionsOwner {
public:
    explicit TCustomPopupMenu2000(TComponent* owner);
    ~TCustomPopupMenu2000() override;

    TMenuItem2000* Items() const { return static_cast<TMenuItem2000*>(TPopupMenu::Items()); }
    void Popup(int x, int y) override;
    virtual void ShowPopup(int x, int y);
    bool IsShowing() const;
    // The window rebuilds and repaints when the menu is showing.
    void RefreshIfShowing();
    virtual IPopupMenuWindow& GetPopupForm();
    IPopupMenuWindow* PopupForm() const { return FPopupForm.get(); }
    virtual void GetRootMenu(TMenuItem*& item, HMENU& handle) const;
    // The menu's accessibility object: its window's own.
    IAccessible* Accessible() { return GetPopupForm().AccessibleObject(); }
    virtual std::string GetMergeCaption() const { return {}; }
    virtual void PrepareItems(bool addEmpty);
    virtual void DoMenuClose();
    // A key-down message: runs the item whose own shortcut it is; True when one was found.
    bool IsShortCut(WPARAM key, LPARAM keyData) override;
    void Loaded() override;
    // From a class-library popup menu: its items (as skinned items) and handler; from another
    // skinned popup menu also its look, fonts, flags, images, skin and handlers.
    void Assign(const TPersistent& source) override;

    T_AM2000_MenuOptions& Options();  // colours brought up to date outside loading and design
    T_AM2000_MenuOptions& RawOptions() { return FOptions; }
    TCustomAnimatedSkin2000* AnimatedSkin() const { return FAnimatedSkin; }
    void SetAnimatedSkin(TCustomAnimatedSkin2000* value);

    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool value);
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool value);
    static std::string Version();

    TComponent* StatusBar = nullptr;
    int StatusBarIndex = 0;
    int PopupX = 0, PopupY = 0;
    TBiDiMode BiDiMode = bdLeftToRight;
    bool LoadedDone = false;
    TMenuItem2000* RootItem = nullptr;
    HMENU RootHandle = nullptr;
    TMenuItem2000* AttachedTo = nullptr;

    TNotifyEvent OnMenuCommand;
    std::function<void(TObject* sender, bool cancelled)> OnMenuClose;
    TNotifyEvent OnContextMenu;

    void ApplySkin(TCustomAnimatedSkin2000& skin) override;
    void SkinFreed(TCustomAnimatedSkin2000& skin) override;

protected:
    void Notification(TComponent* component, bool removing) override;

private:
    void OptionsChanged() override { RefreshIfShowing(); }
    bool OwnerHasSkin() const override { return FAnimatedSkin != nullptr; }
    bool OwnerLoadingOrDesigning() const override { return InState(csLoading | csReading) || Designing(); }
    T_AM2000_MenuOptions FOptions;
    std::unique_ptr<IPopupMenuWindow> FPopupForm;
    std::shared_ptr<bool> FAlive;
    TCustomAnimatedSkin2000* FAnimatedSkin = nullptr;
    bool FShowHint = false, FParentShowHint = true;
};

class TPopupMenu2000 : public TCustomPopupMenu2000 {
public:
    using TCustomPopupMenu2000::TCustomPopupMenu2000;
};

// The item below root (depth first, attached menus included) whose own shortcut is the key:
// its numeric shortcut, or a text shortcut of a TMenuItem2000. The table's shortcuts are only
// shown and never match.
TMenuItem* FindItemByShortCut(TMenuItem* root, TShortCut key);
// Finds the item, closes the menus and clicks it after its parents (each must be enabled);
// True when an item was found.
bool DispatchShortCut(TShortCut key, TMenuItem* root);
