#pragma once
// TPopupMenu2000Form: the window that shows one level of a skinned popup menu. It measures its
// items into rows, paints them with the menu's skin into a back buffer, places itself on the
// monitor (flipping left or up, scrolling when too tall), opens with its animation, casts its
// drop shadow and answers the family's private messages. Input tracking is another unit's.
#include "MenuInputCore.h"
#include "MenuWindowCore.h"
#include "PopupMenu2000.h"
#include "framework/Forms.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class T_AM2000_DropShadow;
class T_AM2000_RaisedItemForm;
class TMenuBar2000;
class TSkinPictures;
class T_AM2000_ToolTipWindow;

// Private messages of the menu window (WM_USER + 0x100 ...).
enum : UINT {
    WM_AM2000_CLOSE = 0x501,         // stop and close request
    WM_AM2000_STEP = 0x502,          // one animation step (wParam tick, lParam delay)
    WM_AM2000_HIDE = 0x505,          // lParam != 0: close routine; else hide at once
    WM_AM2000_STOPTIMER = 0x506,     // stop the family's timer, down the chain
    WM_AM2000_ITEMCHANGED = 0x507,   // wParam the item, lParam the kind (0 row, 3 rebuild, 4 hint)
    WM_AM2000_FINDITEM = 0x509,      // wParam the item: answers the window that shows it
    WM_AM2000_SETOPTION = 0x514,     // wParam kind 1..16, lParam value
    WM_AM2000_SHOWHIDDEN = 0x515,    // wParam the item to select: answers its rectangle (lParam RECT*)
    WM_AM2000_SELECTROW = 0x516,     // wParam the row
    WM_AM2000_EXPAND = 0x517,
    WM_AM2000_QUERY = 0x518,         // kind 4: customising
    WM_AM2000_ROWRECT = 0x530,       // wParam the row, lParam RECT* (screen): 1, or 0 for no row
    WM_AM2000_SELECTEDITEM = 0x531,
};

// Family switches: layered windows (off pretends the platform has none: the copied-desktop
// shadows and the byte-wise blend run), the sound switch, and the sound seam (tests record).
void SetMenuLayeredWindows(bool available);
bool MenuLayeredWindows();
using TMenuSoundPlayer = std::function<void(const std::string& name)>;
void SetMenuSoundPlayer(TMenuSoundPlayer player);  // none: the system's sound calls
void PlayMenuSound(const std::string& name);
// Called with the fade window after each step of a selection fade (tests read its alpha).
using TMenuFadeObserver = std::function<void(HWND fade)>;
void SetMenuFadeObserver(TMenuFadeObserver observer);
// The beep of a key without a match (tests record it instead).
void SetMenuBeeper(std::function<void()> beeper);
extern bool MenuSoundSwitch;                          // off: sndPlaySoundA; on: PlaySoundA
extern std::string MenuPopupSound, MenuCloseSound;
int OpenMenuWindows();
// The family's shared timer: one callback at a time, named by an object and a code of its own.
void StartMenuTimer(UINT elapse, std::function<void()> callback, const void* object = nullptr, int code = 0);
void StopMenuTimer();
// True while the timer runs for that object and code.
bool IsMenuTimerFor(const void* object, int code = 0);
// The standard-command caption of a system command's glyph ("SYSTEMCLOSE"), or none.
const char* SystemCommandGlyphName(UINT id);
// Installs the real window as every popup component's window.
void UseMenuWindows();

class TPopupMenu2000Form;
// A floating copy of a menu level, torn off by its tear-off bar: a tool window with the caption
// of the menu (or of its item) at the point, which stays open and keeps its items working. A
// floating window that shows the same level goes first. The menu owns it.
TPopupMenu2000Form* CreateTearOffWindow(TCustomPopupMenu2000* menu, TMenuItem* item, HMENU handle, int x, int y);
// The family's floating windows, oldest first.
const std::vector<TPopupMenu2000Form*>& FloatingMenuWindows();
// The floating window that takes the keys while no popup shows: the last one pressed (on its
// rows, its caption or a submenu of it), until a press elsewhere or Esc on its own level.
TPopupMenu2000Form* FloatingKeyWindow();
void ReleaseFloatingKeys();
// A mouse press on a window: the floating window it belongs to takes the keys; the submenus
// opened from the other floating windows close. Other menus of the family change nothing.
void FloatingPress(HWND target);
// An item's change notice (0x507 kinds) to the floating windows: the window that shows the
// item's parent repaints its row, renews its hints or rebuilds; a level of the item rebuilds.
void NoticeFloatingWindows(TMenuItem* item, int kind);
// An item going away: a floating window that shows its level hides, a submenu of one closes.
void ForgetFloatingLevel(const TMenuItem* item);

class TCustomPopupMenu2000Form : public TForm {
public:
    using TForm::TForm;
};

class TPopupMenu2000Form : public TCustomPopupMenu2000Form, public IPopupMenuWindow {
public:
    // State bits of the window.
    enum StateBit : int {
        wsAnimating, wsClosing, wsOpensLeftwards, wsOpensUpwards, wsLeftwardsAsked, wsScroll, wsAnimationDone,
        wsSibling, wsKeyboardOpened, wsNoAnimation, wsKeepOpen, wsCustomising, wsFullRepaint, wsThreeD,
        wsHiddenShown, wsHasHidden, wsHiddenAsRegular, wsDragMode, wsAlwaysCues, wsNoInitMenu, wsOneOff,
        wsFreeAfterClose, wsHold, wsClosedByParent, wsBit10, wsBit18, wsBit20, wsBit24, wsBit27, wsBit30,
        wsBit32, wsOwnComponent, wsOpenedSubmenu,
        // Bit 24 (0x514 kind 6): a hot-tracking bar's drop-down closes a while after the pointer left.
        wsCloseOnLeave = wsBit24,
    };

    TPopupMenu2000Form(TComponent* owner, TCustomPopupMenu2000* menu);
    ~TPopupMenu2000Form() override;

    // The window interface of the popup component.
    void SetRoot(TMenuItem* item, HMENU handle) override;
    void SetAnimation(T_AM2000_Animation animation) override;
    void SetWindowOption(int kind, int value) override;
    void SetStateFlags(unsigned bits) override;
    bool Enabled() const override;
    void Enable() override;
    void PlaceAt(int x, int y) override;
    bool ShowMenu() override { return Show(); }
    void HideMenu() override;
    bool IsShowing() const override;
    void RebuildItems() override;
    void ItemChanged(TMenuItem* item, int kind) override;
    bool Cancelled() const override { return FCancelled; }
    IAccessible* AccessibleObject() override;

    virtual int WindowHeight();
    virtual int WindowWidth();
    virtual int FinalLeft();
    virtual int FinalTop();
    virtual bool Show();
    // Hides the window and its submenus (the close routine).
    void CloseMenu();
    // Hands the close of the whole chain, as cancelled, to the family's timer.
    void DeferClose(UINT elapse);
    T_AM2000_ToolTipWindow* ToolTip() const { return FToolTip.get(); }
    void Repaint();

    bool State(StateBit bit) const { return (FState >> bit) & 1; }
    void SetState(StateBit bit, bool on);
    int Selection() const { return FSelection; }
    int FirstShownRow() const { return FFirstRow; }
    int RowCount() const { return static_cast<int>(FLayout.Rows.size()); }
    const TMenuLayout& Layout() const { return FLayout; }
    int LineHeight() const { return FLineHeight; }
    T_AM2000_Animation Kind() const { return FKind; }
    T_AM2000_Animation EffectiveKind() const { return FEffective; }
    T_AM2000_MenuOptions& EffectiveOptions() { return FOptions; }
    TPopupMenu2000Form* ChildWindow() const { return FChild; }
    TPopupMenu2000Form* ParentWindow() const { return FParentWindow; }
    T_AM2000_DropShadow* DropShadow() const { return FShadow.get(); }
    // The row that opened the submenu, raised beside it (made on first use).
    T_AM2000_RaisedItemForm* RaisedItem() const { return FRaised.get(); }
    HDC BufferDC() const { return FBufferDC; }
    // The screen rectangle of a row (empty for none).
    RECT RowRect(int row);
    // Selects a row and repaints the rows concerned; tells the owner form.
    void SelectRow(int row);
    // Selects item, an item below this window's root, level by level, opening the submenus on
    // the way; a level without the item or its ancestor is left with no row selected.
    void SelectDownTo(const TMenuItem* item);
    // The monitor the window places itself on (a submenu: the active form's).
    RECT MonitorRect() const;
    // Shadows follow the window (the drop-shadow test).
    bool ShadowsOn() const;

    // Input: the selection code of a client point; submenus of the selected row; keys.
    int HitTest(int x, int y);
    // Torn off: a window with a border, no 3D edge and no tear-off bar.
    bool Floating() const { return BorderStyle != bsNone; }
    HMENU RootHandle() const { return FRootHandle; }
    void OpenSubmenu(bool keyboard);
    void CloseSubmenu();
    int ParentRow() const { return FParentRow; }
    TMenuItem* Root() const { return FRoot; }
    TMenuItem* ItemAtRow(int row) const { return RowItem(row); }
    // A keyboard message of the deepest menu window: True when it answers 1.
    bool KeyMessage(UINT msg, WPARAM key, LPARAM data);

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    struct TRowSource {
        TMenuItem* Item = nullptr;  // none for a native entry
        int Native = -1;            // the native entry's position
    };
    void Prepare();
    void FillRows();
    void AllocateBuffer(int width, int height);
    void Paint();
    void PaintFrame();
    void PaintRow(int row);
    void PaintSeparator(const RECT& r, const std::string& caption, T_AM2000_its its);
    void PaintExpandButton();
    void PaintScrollBar();
    // The scroll column of scroll mode, at the rows' right (left when mirrored).
    TScrollBarGeometry ScrollBar() const;
    void CopyToScreen(HDC dc);
    // The client area's top left on the screen; the back buffer lies BufferTop() pixels lower.
    POINT ClientOrigin() const;
    int BufferTop() const { return Floating() ? 2 : 0; }
    // The press on the tear-off bar; the floating window's first show and its size for the rows.
    void TearOff();
    void ShowFloating(int x, int y);
    void SizeFloating(int left, int top);
    friend TPopupMenu2000Form* CreateTearOffWindow(TCustomPopupMenu2000*, TMenuItem*, HMENU, int, int);
    void Showing();
    void AnimationStep(WPARAM tick, LPARAM delay);
    void FinishAnimation();
    void HideNow();
    void SetBoundsNow(int left, int top, int width, int height);
    void UpdateShadowAlpha(int alpha);
    void RaiseOpener();
    void OpenFrameTowardOpener(const TRect& at);
    void RaiseRow(int row, bool submenuOpensLeftwards);
    T_AM2000_RaisedItemForm* OpenerRaisedItem() const;
    // The bar whose drop-down this top window is; none for a submenu or a popup.
    TMenuBar2000* OpenerBar() const;
    void BuildToolRegions();
    void MenuSelectNotice();
    void WheelTurn(int delta);
    // Input helpers.
    TMenuItem* RowItem(int row) const;
    bool RowSelectable(int row) const;
    bool RowHasSubmenu(int row) const;
    void SelectStep(int target, int direction);
    void CheckSubmenu();
    void Execute(TMenuItem* item, bool fromRelease);
    void NativeExecute(int row);
    void ReleaseSelection();  // a left release on the selected row (and Enter)
    void AcceleratorSearch(WORD key);
    void ScrollPress(int area);
    void ExpandHidden();
    void FollowInParent();
    void EditCursor(int x, int y);
    void TrackItemDrag();
    void EndItemDrag(bool accept);
    void ContextPopup(int x, int y);
    void OpenChild(TMenuItem* root, HMENU handle, int row, POINT at, bool keyboard);
    void CloseChain();
    TPopupMenu2000Form* TopWindow();
    TCustomForm* OwnerForm() const;
    std::string RowCaption(int row, bool* isDefault = nullptr) const;
    T_AM2000_its RowState(int row) const;
    HFONT MakeFont(bool bold, int pointsLess) const;
    // Columns, glyphs and arrows are mirrored (the menu reads right to left and aligns so).
    bool RightToLeft() const { return FLayoutInput.RightToLeft; }
    TReadingOrder Order() const { return ReadingOrder(FMenu ? FMenu->BiDiMode : bdLeftToRight); }
    COLORREF Color(T_AM2000_Colors::Role role) const;
    bool ColorNone(T_AM2000_Colors::Role role) const;
    // The hidden look: `Colors.Sunken`, or the sunken pattern when that is clNone.
    void FillSunken(HDC dc, const RECT& r) const;

    TCustomPopupMenu2000* FMenu;
    TMenuItem* FRoot = nullptr;
    HMENU FRootHandle = nullptr;
    TPopupMenu2000Form* FParentWindow = nullptr;
    TPopupMenu2000Form* FChild = nullptr;
    T_AM2000_MenuOptions FOptions;
    uint64_t FState = 0;
    int FSelection = -1, FPrevSelection = -1, FFirstRow = 0, FLastRow = -1, FPressedRow = -1;
    std::vector<TRowSource> FSources;
    std::vector<TMenuRowInput> FInputs;
    TMenuLayoutInput FLayoutInput;
    TMenuLayout FLayout;
    int FLineHeight = 20;
    HFONT FFont = nullptr;
    HDC FBufferDC = nullptr;
    HBITMAP FBuffer = nullptr;
    HGDIOBJ FBufferOld = nullptr;
    int FBufferWidth = 0, FBufferHeight = 0;
    T_AM2000_Animation FKind = anVertSlide, FSavedKind = anVertSlide, FStored = anNone, FEffective = anNone;
    int FHorzStep = 1, FVertStep = 1, FFrame = 0, FTargetWidth = 0, FTargetHeight = 0;
    DWORD FLastTick = 0;
    int FPopupX = 0, FPopupY = 0;
    int FWheelDelta = 0;
    std::vector<uint8_t> FDesktopCopy;  // the desktop under the window, 24-bit rows (software blend)
    std::vector<int8_t> FDeltas;
    std::vector<uint8_t> FImage;        // the window image of the software blend
    std::unique_ptr<T_AM2000_DropShadow> FShadow;
    std::unique_ptr<T_AM2000_ToolTipWindow> FToolTip;
    std::unique_ptr<T_AM2000_RaisedItemForm> FRaised;
    RECT FRaisedRow{};  // the raised row in the back buffer
    RECT FFrameOpening{};  // where the opener's raised item meets the frame, drawn open
    std::unique_ptr<TSkinPictures> FPictures;  // the skin's pictures, drawable
    HWND FCaptureSaved = nullptr;
    HWND FInitMenuOwner = nullptr;
    void* FAccessible = nullptr;  // IAccessible of the window, set through 0x514 kind 16
    IAccessible* FOwnAccessible = nullptr;  // the window's own object, made on first use
    IAccessible* AnsweredObject();          // what WM_GETOBJECT answers
    bool FCancelled = true;
    bool FCounted = false;
    // Input.
    std::unique_ptr<TPopupMenu2000Form> FChildWindow;  // made on the first submenu
    int FParentRow = -1;
    TRect FMoveBox;
    POINT FThumbPoint{};
    unsigned FMouseState = 0;  // 1 inside, 2 left pressed, 4 right pressed
    bool FIgnoreNextMove = false;
    int FPressedArea = -1;     // the row or area of the last press
    RECT FSelectedRow{};       // the selected row in client coordinates (item mouse events)
    bool FScrollRepeat = false;
};
