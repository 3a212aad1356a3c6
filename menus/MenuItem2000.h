#pragma once
// TMenuItem2000: the item of every skinned menu. Adds a hosted control, look options that
// inherit from the menu, a skin link, text shortcuts (several per item), hints and shortcuts
// that default from the standard-command table, usage stamps, an attached popup menu as
// submenu, and a rebuild notice that keeps an open menu window in step with every change.
#include "AnimatedSkinCore.h"
#include "MenuControl.h"
#include "framework/Controls.h"
#include "framework/Menus.h"

#include <memory>
#include <string>

class TCustomPopupMenu2000;
class TMenuItemAccessible;
class T_AM2000_PopupMenuAdapter;
class T_AM2000_ButtonControl;
class T_AM2000_EditControl;
struct IAccessible;

class TMenuItem2000 : public TMenuItem, public IAM2000SkinClient, private IOptionsOwner {
public:
    explicit TMenuItem2000(TComponent* owner);
    ~TMenuItem2000() override;

    // Structure: the class library's operation, then a notice of kind 3 on this item.
    void Add(TMenuItem* item) override;
    void Insert(int index, TMenuItem* item) override;
    void Delete(int index) override;
    void Remove(TMenuItem* item) override;
    TMenuItem2000* Items(int index) const;
    // A new skinned item owned by this one, appended (the class library's AddNew makes a plain one).
    TMenuItem2000* AddNew(const std::string& caption, TNotifyEvent onClick = nullptr);

    // Setters store, then raise the notice (kind 3; Checked kind 0).
    void SetCaption(const std::string& value);
    void SetEnabled(bool value);
    void SetVisible(bool value);
    void SetChecked(bool value);
    void SetImageIndex(int value);
    void SetBitmap(const TBitmap& value);
    void SetDefaultIndex(int value);
    void SetShortCut(const std::string& value);  // EMenuError "Invalid shortcut: 'Foo'"
    void SetHint(const std::string& value);
    void SetControl(T_AM2000_MenuControlType value);
    void SetAction(TBasicAction* value) override;
    virtual void SetHidden(bool value);

    // The family reads item state only through these.
    virtual std::string GetCaption() const { return Caption; }
    virtual bool GetEnabled() const { return Enabled; }
    virtual bool GetVisible() const { return Visible; }
    virtual bool GetChecked() const { return Checked; }
    virtual int GetImageIndex() const { return ImageIndex; }
    virtual const TBitmap& GetBitmap() const { return Bitmap; }
    virtual bool IsBitmapStored() const { return !GetBitmap().Empty(); }
    virtual int GetCount() const { return Count(); }
    virtual TBasicAction* GetAction() const { return Action(); }
    virtual std::string GetShortCut() const;
    virtual std::string GetHint() const;
    virtual bool GetHidden() const;
    // Child by index; EMenuError "Menu not found".
    virtual TMenuItem2000* GetItemChecked(int index) const;

    T_AM2000_MenuControlType Control() const { return FControl; }
    T_AM2000_MenuControl& ControlOptions();
    // The hosted control by kind; EMenuError "<Name>: This is not a Button control" (Button Array,
    // Editbox) when Control is another kind.
    T_AM2000_MenuControl& AsButtonArray();
    T_AM2000_ButtonControl& AsButton();
    T_AM2000_EditControl& AsEditbox();
    // The item's own look, made on first read; none frees it (everything inherited again).
    T_AM2000_ItemOptions& Options();
    void SetOptions(const T_AM2000_ItemOptions* value);
    bool HasOwnOptions() const { return FOptions && FOptions->HasOwnLook(); }
    // The stored form: #1 for explicitly none.
    const std::string& StoredShortCutText() const { return FShortCutText; }
    const std::string& StoredHint() const { return Hint; }
    bool HintStored() const;
    bool ShortCutStored() const;

    TCustomAnimatedSkin2000* AnimatedSkin() const { return FAnimatedSkin; }
    void SetAnimatedSkin(TCustomAnimatedSkin2000* value);
    TCustomPopupMenu2000* AttachMenu() const { return FAttachMenu; }
    void SetAttachMenu(TCustomPopupMenu2000* value);
    TComponent* PopupMenu = nullptr;
    // Raised by the menu window: the pointer came onto or left the item's row, moved over it
    // (points relative to the row), or a button went down or up on it.
    TNotifyEvent OnEnter, OnExit;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseDown, OnMouseUp;

    int DefaultIndex() const { return FDefaultIndex; }
    int NumGlyphs = 1;  // equal cells of the Bitmap strip; menus show the first
    bool Demotable = true;
    uint32_t LastTimeUsed = 0;
    TMenuItem* Origin = nullptr;
    HMENU NativeHandle = nullptr;
    // The item's native menu: NativeHandle when set, else the class library's handle.
    HMENU ItemHandle() { return NativeHandle ? NativeHandle : Handle(); }

    // Runs the hosted control's click, toggles an AutoCheck item, the item's click, stamps the usage
    // and stores the menu.
    void Click() override;
    // The linked action's update, then every visible child's.
    void InitiateAction() override;
    // The popup component at the root of the item tree, or none.
    TCustomPopupMenu2000* OwningMenu() const;
    // The rebuild notice: kinds 0 checked state, 3 structure or appearance, 4 hint.
    void Changed(int kind);
    void Assign(const TPersistent& source) override;

    // Family switches (off in the player).
    static inline bool DemotionEnabled = false;
    static inline uint32_t DemotionPeriod = 21600;

    void ApplySkin(TCustomAnimatedSkin2000& skin) override;
    void SkinFreed(TCustomAnimatedSkin2000& skin) override;
    void ClearAttachMenu() { FAttachMenu = nullptr; }
    // Accessibility: the item's own object and its submenu's adapter, made on first use.
    IAccessible* Accessible();
    T_AM2000_PopupMenuAdapter* Adapter();

protected:
    void Notification(TComponent* component, bool removing) override;
    std::unique_ptr<TMenuActionLink> CreateActionLink() override;

private:
    void OptionsChanged() override { Changed(3); }
    bool OwnerLoadingOrDesigning() const override { return InState(csLoading | csReading) || Designing(); }
    T_AM2000_MenuControlType FControl = ctlNone;
    std::unique_ptr<T_AM2000_MenuControl> FControlObject;
    std::unique_ptr<T_AM2000_ItemOptions> FOptions;
    std::string FShortCutText;
    bool FHidden = false;
    int FDefaultIndex = -1;
    int FUpdateLock = 0;
    TCustomAnimatedSkin2000* FAnimatedSkin = nullptr;
    TCustomPopupMenu2000* FAttachMenu = nullptr;
    void ReleaseAccessibility();
    void ReleaseAccessibilityAdapter();
    TMenuItemAccessible* FAccessible = nullptr;
    T_AM2000_PopupMenuAdapter* FAdapter = nullptr;
};

// An item's action link: each change of the action raises the item's rebuild notice (caption,
// enabled state, image and visibility 3, checked state 0, hint 4) when the client is a skinned item.
class T_AM2000_MenuActionLink : public TMenuActionLink {
public:
    using TMenuActionLink::TMenuActionLink;
    void SetCaption(const std::string& value) override;
    void SetEnabled(bool value) override;
    void SetChecked(bool value) override;
    void SetHint(const std::string& value) override;
    void SetImageIndex(int value) override;
    void SetVisible(bool value) override;

private:
    void Notice(int kind);
};

// Item construction: the shortcut as a key value stored through its text, or stored directly.
TMenuItem2000* NewItem2000(TComponent* owner, const std::string& caption, TShortCut shortCut, bool checked,
                           bool enabled, TNotifyEvent onClick, int helpContext, const std::string& name);
TMenuItem2000* NewItem2000Direct(TComponent* owner, const std::string& caption, TShortCut shortCut, bool checked,
                                 bool enabled, TNotifyEvent onClick, int helpContext, const std::string& name);
