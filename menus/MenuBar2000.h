#pragma once
// TMenuBar2000: a control that shows the top-level items of a menu in a bar (left to right, or
// top to bottom with turned captions for a vertical bar) and opens an item's submenu as a
// drop-down below it (beside it for a vertical bar). The source is a popup menu of the family,
// a class-library popup menu or a main menu (its merged items). Layout and hit-testing follow
// MenuBarCore; hover and press drive the item state (0 idle, 1 hot, 2 pushed, 3 bar mode).
// Keys: Alt (pressed and let go alone) and F10 enter and leave bar mode with keyboard cues; there
// the arrows move the hot item, Down or Enter opens it, Esc leaves, an item's accelerator opens
// it (Alt with the accelerator from anywhere on the form). Left and Right passed on by the open
// drop-down move to the next item's drop-down.
// Messages: 0x507 (an item changed) and 0x514 kind 11 (the end of an item drag) refresh it;
// 0x508 (its form lost the activation, wParam 0) closes the open item.
#include "MenuBarCore.h"
#include "MenuOptionsCore.h"
#include "PopupMenu2000.h"
#include "framework/Controls.h"

#include <functional>
#include <memory>
#include <vector>

class T_AM2000_RaisedItemForm;
class T_AM2000_ToolTipWindow;
struct IAccessible;
class TCustomForm;

class TMenuBar2000 : public TCustomControl {
public:
    explicit TMenuBar2000(TComponent* owner);
    ~TMenuBar2000() override;

    TComponent* Menu() const { return FMenu; }
    void SetMenu(TComponent* menu);
    void Loaded() override;

    int GetItemCount() const;
    TMenuItem* GetItem(int index) const;
    // The item's position among GetItem's, or -1.
    int IndexOf(TMenuItem* item) const;
    // The bar's own accessibility object (made on first use), answered for OBJID_MENU.
    IAccessible* Accessible();
    TSize MeasureItem(TMenuItem* item);
    TSize GetGlyphSize(TMenuItem* item) const;

    TMenuItem* HotItem() const { return FHotItem; }
    int HotIndex() const { return FHotIndex; }
    int ItemState() const { return FItemState; }
    TRect HotRect() const { return FHotRect; }
    TRect HotRectOnScreen() const;
    const std::vector<TBarItemRect>& ItemRects() const { return FItemRects; }
    TCustomPopupMenu2000& DropDown() { return *FDropDown; }
    // The open item raised above its drop-down (with mfRaiseMenuBarItem; made on first use).
    T_AM2000_RaisedItemForm* RaisedItem() const { return FRaised.get(); }
    // A copy of the source's options, centred and without side margins.
    T_AM2000_Options& Options() { return FOptions; }
    bool KeyboardCues() const { return FCues; }
    // The items' hints as tool regions, laid out left to right; none without hints to show.
    T_AM2000_ToolTipWindow* ToolTip() const { return FToolTip.get(); }
    void BuildToolTips();
    // A key the open drop-down passed on (Left, Right, Enter).
    void MenuKey(WPARAM key);

    // 1 vertical, otherwise horizontal.
    uint8_t Orientation = 0;
    bool HotTrack = false;
    void SetHotTrack(bool value) { HotTrack = value; }
    // How a maximised MDI child's border icons are drawn.
    T_AM2000_FlatStyle BorderIconsStyle = bsDefault;
    // A skin's bar options: hot tracking and the border icons' style.
    void ApplyMenuBarOptions(const T_AM2000_MenuBarOptions& options);

    // The source's look: a menu of the family gives its own, any other menu the defaults below.
    bool GetSystemFont() const;   // True
    bool GetParentFont() const;   // False
    bool IsCtl3D() const;         // True; a source following the system's flat-menu setting asks it
    TBiDiMode GetBiDiMode() const;  // left to right
    bool GetSystemShadow() const;   // False
    // Where the menus' hints go while no popup with a status bar of its own is open.
    TComponent* StatusBar = nullptr;
    int StatusBarIndex = 0;
    // Raised before a drop-down opens, with its root item.
    std::function<void(TObject* sender, TMenuItem* item)> OnMenuPopup;

    // The form that holds the bar. On an MDI frame whose active child is maximised the bar
    // starts with the child's system menu as an item (SystemItem, opening the child's system
    // menu) and ends with the child's border icons (MenuBarMdi.cpp).
    TCustomForm* OwningForm() const;
    TMenuItem* SystemItem() const { return FSystemItem.get(); }
    int SystemItemWidth() const;
    int BorderIconsWidth() const;
    TRect GetSystemItemRect() const;
    enum TBorderButton { bbMinimize, bbRestore, bbClose };
    // A border icon's rectangle; empty while the icons are not shown.
    TRect BorderIconRect(TBorderButton button) const;

    TMenuItem* HitTest(TPoint point) const;
    // Accessibility clients hear the hot item's state change (before and after) and its focus.
    void SelectIndex(int index, TMenuItem* item);
    void NotifyFocus();
    void SetHotItem(TMenuItem* item);
    void PushHotItem(bool keyboard);
    // Selection for accessibility clients: the item's top-level ancestor becomes the hot item;
    // an item below it is then selected in the (opened) drop-down, submenus opening on the way.
    void SelectItem(TMenuItem* item);
    void OpenDropDown(bool expanded, bool keyboard);
    void CloseItem();
    // Esc on the top level of a drop-down: no hot item, nothing pushed.
    void DropSelection();
    // Set when the drop-down's window closed on Alt or F10.
    void SetMenuKeyReset(bool value) { FMenuKeyReset = value; }
    bool MenuKeyReset() const { return FMenuKeyReset; }
    // A press outside the menus: closes the drop-down and the open item; False when the
    // drop-down refused to close.
    bool CloseOnOutsideClick();
    void Rebuild(bool remeasure);
    void UpdateBar();
    // An item that is going: the drop-down it roots closes and forgets it, and it is no longer hot.
    void ForgetItem(const TMenuItem* item);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle() override;
    void Paint(HDC dc) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseLeave() override;
    void WndProc(TMessage& message) override;
    void Notification(TComponent* component, bool removing) override;

private:
    enum TPending { pdNone, pdHoverOpen, pdLeaveCheck, pdExpandCheck };
    void Layout();
    void DrawItem(HDC dc, const TBarItemRect& record, bool raised = false);
    // The item's glyph and caption laid flat into rect, moved by (dx, dy) while pressed.
    void PaintItem(HDC dc, TMenuItem* item, const RECT& rect, int dx, int dy, bool raised);
    void PaintTurnedItem(HDC dc, TMenuItem* item, const RECT& rect, int pressed, bool raised);
    void ShowRaisedItem();
    bool KeyMessage(UINT msg, WPARAM key, LPARAM data);
    void EnterBarMode();
    void MoveHot(int step);
    bool OpenByAccelerator(char key);
    void ReleaseAccessible();
    void StartTimer(TPending action, UINT delay);
    void StopTimer();
    void TimerFired();
    bool CursorOverBarItem() const;
    HFONT MenuFont();
    // The items' font: the menu font, the parent's, the source's own, or the bar's.
    HFONT ItemFont();
    bool RightToLeft() const { return GetBiDiMode() != bdLeftToRight; }
    TCustomForm* MaximisedChild() const;
    void PaintMdiParts(HDC dc);
    // A press on a border icon acts on the child; True when it was on one.
    bool BorderIconPressed(TPoint point);
    // The child's system menu with its entries enabled as for a maximised window.
    static HMENU MaximisedSystemMenu(TCustomForm& child);

    TComponent* FMenu = nullptr;
    std::unique_ptr<TPopupMenu2000> FDropDown;
    TMenuItem* FHotItem = nullptr;
    int FHotIndex = -1;
    int FItemState = 0;
    TRect FHotRect;
    std::vector<TBarItemRect> FItemRects;
    TPending FPending = pdNone;
    bool FInitialised = false;
    bool FKeyboardMode = false;
    bool FCues = false;
    bool FAltAlone = false;  // Alt went down and nothing else since
    T_AM2000_MenuOptions FOptions;
    std::unique_ptr<T_AM2000_RaisedItemForm> FRaised;
    std::unique_ptr<T_AM2000_ToolTipWindow> FToolTip;
    bool FMenuKeyReset = false;
    HFONT FMenuFont = nullptr;
    HFONT FItemFont = nullptr;  // made from FItemLogFont
    LOGFONTA FItemLogFont{};
    IAccessible* FAccessible = nullptr;
    std::unique_ptr<TMenuItem> FSystemItem = std::make_unique<TMenuItem>(nullptr);
};

// The ancestor whose parent is a menu's root (the item itself at the top level).
TMenuItem* TopLevelAncestor(TMenuItem* item);
// Every bar forgets an item that is going (ForgetItem).
void ForgetMenuItemInBars(const TMenuItem* item);
// The first bar whose Menu is menu, or none.
TMenuBar2000* FindMenuBar(const TComponent* menu);
int MenuBarCount();
TMenuBar2000* MenuBarAt(int index);
