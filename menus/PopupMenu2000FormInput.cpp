// The menu window's mouse and keys: hover selection with delayed submenus, scrolling, clicks,
// commands with their selection fade, and the keyboard.
#include "PopupMenu2000Form.h"

#include "DragWindow.h"
#include "MenuBar2000.h"
#include "MenuInputCore.h"
#include "MenuPersistence.h"
#include "MenuUtils.h"
#include "PopupMenu2000FormParts.h"
#include "ThemeSupport.h"

#include <algorithm>

using C = T_AM2000_Colors;

namespace {

TMenuFadeObserver FadeObserver;
std::function<void()> Beeper;

void ToggleChecked(TMenuItem* item)
{
    if (auto* skinned = dynamic_cast<TMenuItem2000*>(item))
        skinned->SetChecked(!skinned->GetChecked());
    else
        item->Checked = !item->Checked;
}

TMenuItem2000* Skinned(TMenuItem* item) { return dynamic_cast<TMenuItem2000*>(item); }

bool NativeUsable(const TNativeEntry& e) { return !(e.Type & MFT_SEPARATOR) && !(e.State & (MFS_DISABLED | MF_GRAYED)); }

// Hands a key or a move to the hooks and a menu bar, as the system's menus do.
void PassAsMenuMessage(HWND top, UINT msg, WPARAM wParam, LPARAM lParam)
{
    MSG m{};
    m.hwnd = top;
    m.message = msg;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = GetMessageTime();
    CallMsgFilterA(&m, MSGF_MENU);
}

// The bar whose drop-down the menu is, or none.
TMenuBar2000* OwningBar(const TCustomPopupMenu2000* menu)
{
    for (int i = 0; i < MenuBarCount(); ++i)
        if (&MenuBarAt(i)->DropDown() == menu)
            return MenuBarAt(i);
    return nullptr;
}

void Beep()
{
    if (Beeper)
        Beeper();
    else
        MessageBeep(0);
}

}  // namespace

void SetMenuFadeObserver(TMenuFadeObserver observer) { FadeObserver = std::move(observer); }
void SetMenuBeeper(std::function<void()> beeper) { Beeper = std::move(beeper); }

// ---- Rows ----

TMenuItem* TPopupMenu2000Form::RowItem(int row) const
{
    if (row < 0 || row >= RowCount())
        return nullptr;
    return FSources[static_cast<size_t>(FLayout.Rows[static_cast<size_t>(row)].Item)].Item;
}

bool TPopupMenu2000Form::RowSelectable(int row) const
{
    if (row < 0 || row >= RowCount() || IsSeparatorCaption(RowCaption(row)))
        return false;
    const TRowSource& s = FSources[static_cast<size_t>(FLayout.Rows[static_cast<size_t>(row)].Item)];
    if (s.Item)
        return ItemEnabled(s.Item) || !(FOptions.Flags() & FlagBit(mfNoHighDisabled));
    return NativeUsable(ReadNativeEntry(FRootHandle, s.Native));
}

bool TPopupMenu2000Form::RowHasSubmenu(int row) const
{
    if (row < 0 || row >= RowCount())
        return false;
    const TRowSource& s = FSources[static_cast<size_t>(FLayout.Rows[static_cast<size_t>(row)].Item)];
    if (s.Item)
        return HasSubItems(s.Item);
    return ReadNativeEntry(FRootHandle, s.Native).SubMenu != nullptr;
}

TPopupMenu2000Form* TPopupMenu2000Form::TopWindow()
{
    TPopupMenu2000Form* top = this;
    while (top->FParentWindow)
        top = top->FParentWindow;
    return top;
}

int TPopupMenu2000Form::HitTest(int x, int y)
{
    y -= BufferTop();
    TMenuHitInput h;
    h.Layout = &FLayout;
    h.In = &FLayoutInput;
    h.Width = FTargetWidth;
    h.Height = FTargetHeight;
    h.HasContent = FRoot || FRootHandle;
    h.FirstRow = FFirstRow;
    h.LastRow = FLastRow;
    h.Scroll = State(wsScroll);
    h.HasExpand = State(wsHasHidden) && !State(wsHiddenShown);
    if (h.Scroll)
        h.Bar = ScrollBar();
    return MenuHitTest(h, x, y, FSelection);
}

void TPopupMenu2000Form::SelectStep(int target, int direction)
{
    std::vector<bool> selectable(static_cast<size_t>(RowCount()));
    for (int row = 0; row < RowCount(); ++row)
        selectable[static_cast<size_t>(row)] = RowSelectable(row);
    const TStepResult step =
        StepToSelectable(selectable, target, direction, State(wsHasHidden) && !State(wsHiddenShown));
    if (step.Expand) {
        ExpandHidden();
        return;
    }
    if (step.Row == FSelection) {
        if (step.Row >= 0)
            NotifyMenuEvent(EVENT_OBJECT_FOCUS, HandleOrNull(), step.Row + 1);
        return;
    }
    SelectRow(step.Row);
}

// ---- Mouse ----

void TPopupMenu2000Form::MouseEnter()
{
    FMouseState |= 1;
    TCustomPopupMenu2000Form::MouseEnter();
}

void TPopupMenu2000Form::MouseLeave()
{
    const bool wasInside = FMouseState & 1;
    FMouseState = 0;
    TCustomPopupMenu2000Form::MouseLeave();
    if (!wasInside || State(wsAnimating) || FSelection < 0)
        return;
    if (TMenuItem2000* item = Skinned(RowItem(FSelection)); item && item->OnExit && !item->InState(csDestroying))
        item->OnExit(item);
    // A row with a submenu stays selected: the pointer is on its way into the submenu.
    if (!RowHasSubmenu(FSelection)) {
        FPrevSelection = FSelection;
        FSelection = -1;
        Paint();
    }
    if (State(wsCustomising) && CurrentDragWindow()) {
        SetState(wsFullRepaint, true);
        Paint();
    }
    if (FToolTip)
        FToolTip->Deactivate();
    if (State(wsCloseOnLeave) && !CurrentDragWindow())
        DeferClose(LeaveDelay);
}

void TPopupMenu2000Form::FollowInParent()
{
    TPopupMenu2000Form* parent = FParentWindow;
    if (!parent || parent->FChild != this || parent->FSelection == FParentRow)
        return;
    parent->FPrevSelection = parent->FSelection;
    parent->FSelection = FParentRow;
    parent->Paint();
}

// The I-beam over an edit box's edit area: right of its caption, 2 pixels in from top and bottom.
void TPopupMenu2000Form::EditCursor(int x, int y)
{
    if (TMenuItem2000* item = Skinned(RowItem(FSelection)); item && item->Control() == ctlEditbox) {
        RECT area = RowRect(FSelection);
        OffsetRect(&area, -ClientOrigin().x, -ClientOrigin().y);
        const std::string caption = StripAccelerators(SplitCaption(item->GetCaption()).Caption);
        SIZE size{};
        GetTextExtentPoint32A(FBufferDC, caption.c_str(), static_cast<int>(caption.size()), &size);
        const int x0 = BorderStyle != bsNone ? 0 : FOptions.Margins().Get(T_AM2000_Margins::Border) + (State(wsThreeD) ? 2 : 0);
        area.left = std::max<LONG>(area.left, x0 + size.cx + 5);
        InflateRect(&area, 0, -2);
        const bool inside = PtInRect(&area, POINT{x, y});
        if (inside)
            Screen->SetCursor(crIBeam);
        else if (Screen->Cursor() == crIBeam)
            Screen->SetCursor(crDefault);
    } else if (Screen->Cursor() == crIBeam) {
        Screen->SetCursor(crDefault);
    }
}

void TPopupMenu2000Form::MouseMove(TShiftState shift, int x, int y)
{
    TCustomPopupMenu2000Form::MouseMove(shift, x, y);
    // 1.
    FMouseState = (FMouseState & ~6u) | (GetKeyState(VK_LBUTTON) < 0 ? 2u : 0u) |
                  (GetKeyState(VK_RBUTTON) < 0 ? 4u : 0u) | 1u;
    if (State(wsAnimating) || State(wsClosing) || !IsShowing())
        return;
    // 2. Moves of less than 2 pixels change nothing.
    POINT cursor{};
    GetCursorPos(&cursor);
    if (InMoveBox(FMoveBox, cursor.x, cursor.y))
        return;
    FMoveBox = MoveBoxAround(cursor.x, cursor.y);
    // 3.
    TControl* under = FindDragTarget(TPoint(cursor.x, cursor.y), true);
    PassAsMenuMessage(TopWindow()->HandleOrNull(), WM_MOUSEMOVE, 0, MAKELPARAM(cursor.x, cursor.y));
    if (FToolTip)
        FToolTip->RelayMouseMove(POINT{x, y});
    // 4.
    EditCursor(x, y);
    // 5.
    if (FIgnoreNextMove) {
        FIgnoreNextMove = false;
        return;
    }
    // 6. Entering a submenu selects its row in the parent again.
    if (under == this)
        FollowInParent();
    // 7. and 8.
    const int hit = HitTest(x, y);
    if (State(wsDragMode) && CurrentDragWindow()) {
        // The drag window tells the menus under the pointer (this one's move stops at the jitter box).
        CurrentDragWindow()->Track();
        if (!DragTargetWindow()) {
            SetDropTarget(nullptr);  // nowhere to drop
            MenuDragState().TargetCode = TMenuDragState::NoTarget;
        }
        if (hit == FSelection)
            return;
    }
    // A held thumb scrolls wherever the pointer goes.
    const bool thumbDrag = (FMouseState & 2) && (FPressedArea == selThumb || (hit == FSelection && hit == selThumb));
    if (hit == FSelection || thumbDrag) {
        if (thumbDrag) {
            const int rows = ThumbRows(cursor.y - FThumbPoint.y, ScrollBar().PixelsPerRow);
            if (rows != 0) {
                const TScrollRange range =
                    ScrollByThumb(FLayout, FLayoutInput, FTargetHeight, TScrollRange{FFirstRow, FLastRow}, rows);
                FFirstRow = range.First;
                FLastRow = range.Last;
                FThumbPoint = cursor;
                Repaint();
                BuildToolRegions();
            }
            return;
        }
        if (TMenuItem2000* item = Skinned(RowItem(FSelection)); item && item->OnMouseMove)
            item->OnMouseMove(item, shift, x - FSelectedRow.left, y - FSelectedRow.top);
        // With the button held here, another menu window under the pointer still hears the move.
        auto* other = dynamic_cast<TPopupMenu2000Form*>(under);
        if (other && other != this && GetCapture() == HandleOrNull() && other->HandleAllocated()) {
            POINT p = cursor;
            ScreenToClient(other->HandleOrNull(), &p);
            PostMessageA(other->HandleOrNull(), WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
        }
        return;
    }
    // 9.
    const bool quiet = State(wsDragMode) || State(wsCustomising) || State(wsBit20);
    if (TMenuItem2000* old = Skinned(RowItem(FSelection)); !quiet && old && old->OnExit)
        old->OnExit(old);
    FPrevSelection = FSelection;
    FSelection = hit;
    if (!quiet) {
        if (TMenuItem2000* item = Skinned(RowItem(hit))) {
            FSelectedRow = RowRect(hit);
            OffsetRect(&FSelectedRow, -ClientOrigin().x, -ClientOrigin().y);
            if (item->OnEnter)
                item->OnEnter(item);
            if (item->OnMouseMove)
                item->OnMouseMove(item, shift, x - FSelectedRow.left, y - FSelectedRow.top);
        }
        MenuSelectNotice();
    }
    EditCursor(x, y);  // the newly selected row's own cursor
    // 10. The pressed item is the family's: another menu window under the pointer takes the drop.
    if ((FOptions.Customizable() || State(wsCustomising)) && (GetAsyncKeyState(VK_LBUTTON) & 0x8000) &&
        (RowItem(FPressedArea) || (MenuDragState().Dragged && CurrentDragWindow())))
        TrackItemDrag();
    // 11.
    Paint();
    ShowMenuHint("");
    ShowItemHint(RowItem(FSelection), nullptr);
    // 12.
    if (hit == selExpand) {
        StopMenuTimer();
        CloseSubmenu();
        StartMenuTimer(ExpandDelay, [this] { ExpandHidden(); });
        return;
    }
    // 13.
    if (hit == selTearOff)
        Screen->SetCursor(crSizeAll);
    else if (Screen->Cursor() == crSizeAll)
        Screen->SetCursor(crDefault);
    NotifyMenuEvent(EVENT_OBJECT_FOCUS, HandleOrNull(), FSelection + 1);
    // 14.
    TSubmenuQuery query;
    query.HasSubmenu = RowHasSubmenu(hit);
    query.DragOrCustomising = State(wsDragMode) || State(wsCustomising);
    query.ChildOpen = FChild && FChild->IsShowing();
    const TSubmenuTiming timing = SubmenuTiming(query);
    if (timing.Action == TSubmenuAction::Now)
        CheckSubmenu();
    else if (timing.Action == TSubmenuAction::Delayed)
        StartMenuTimer(timing.Delay, [this] { CheckSubmenu(); });
}

void TPopupMenu2000Form::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomPopupMenu2000Form::MouseDown(button, shift, x, y);
    FMouseState |= button == mbLeft ? 2u : button == mbRight ? 4u : 0u;
    if (State(wsAnimating) || State(wsClosing) || button != mbLeft)
        return;
    FPressedArea = HitTest(x, y);
    if (TMenuItem2000* item = Skinned(RowItem(FPressedArea)); item && item->OnMouseDown) {
        const RECT r = RowRect(FPressedArea);
        item->OnMouseDown(item, button, shift, x - (r.left - ClientOrigin().x), y - (r.top - ClientOrigin().y));
    }
    switch (FPressedArea) {
    case selScrollUp:
    case selScrollDown:
    case selTrackBelow:
    case selTrackAbove: ScrollPress(FPressedArea); break;
    case selThumb: GetCursorPos(&FThumbPoint); break;
    case selTearOff: TearOff(); break;
    default: break;
    }
}

void TPopupMenu2000Form::ScrollPress(int area)
{
    const TScrollRange range = ScrollByArea(FLayout, FLayoutInput, FTargetHeight, TScrollRange{FFirstRow, FLastRow}, area);
    FFirstRow = range.First;
    FLastRow = range.Last;
    Repaint();
    if (FScrollRepeat)
        return;
    FScrollRepeat = true;
    // While the button stays on the area, the press repeats: first after 100 ms, then every 10.
    std::function<void()> repeat = [this] {
        StartMenuTimer(ScrollRepeat, [this] {
            POINT p{};
            GetCursorPos(&p);
            ScreenToClient(HandleOrNull(), &p);
            if ((GetAsyncKeyState(VK_LBUTTON) & 0x8000) && HitTest(p.x, p.y) == FPressedArea)
                ScrollPress(FPressedArea);
        });
        ScrollPress(FPressedArea);
    };
    StartMenuTimer(ScrollFirstRepeat, repeat);
}

void TPopupMenu2000Form::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomPopupMenu2000Form::MouseUp(button, shift, x, y);
    // 1.
    FMouseState &= ~(button == mbLeft ? 2u : button == mbRight ? 4u : 0u);
    StopMenuTimer();
    FScrollRepeat = false;
    FPressedArea = -1;
    if (State(wsDragMode) && CurrentDragWindow()) {
        EndItemDrag(true);
        return;
    }
    if (State(wsAnimating) || State(wsClosing))
        return;
    // 3.
    if (FSelection == selExpand) {
        Paint();
        Sleep(50);
        ExpandHidden();
        return;
    }
    if (TMenuItem2000* item = Skinned(RowItem(FSelection)); item && item->OnMouseUp) {
        const RECT r = RowRect(FSelection);
        item->OnMouseUp(item, button, shift, x - (r.left - ClientOrigin().x), y - (r.top - ClientOrigin().y));
    }
    if (button == mbRight) {
        ContextPopup(x, y);
        return;
    }
    if (button != mbLeft || State(wsCustomising))
        return;
    const bool inside = x >= 0 && y >= 0 && x < Width() && y < Height();
    if (!inside)
        return;
    ReleaseSelection();
}

void TPopupMenu2000Form::ReleaseSelection()
{
    // 7.
    if (FSelection < 0)
        return;
    if (FToolTip)
        FToolTip->Deactivate();
    const int row = FSelection;
    TMenuItem* item = RowItem(row);
    // 8. A row with a submenu opens it.
    if (RowHasSubmenu(row)) {
        if (!(FChild && FChild->IsShowing() && FChild->FParentRow == row))
            OpenSubmenu(false);
        return;
    }
    if (!RowSelectable(row) || (item && !ItemEnabled(item)))
        return;
    CloseSubmenu();
    // 5. The new check state shows before the command runs.
    if (item && item->AutoCheck) {
        ToggleChecked(item);
        SetState(wsFullRepaint, true);
        Paint();
    }
    // 9. The pressed look shows a moment.
    if (Color(C::Highlight) != Color(C::Menu) || Color(C::HighlightText) != Color(C::MenuText))
        Sleep(50);
    // 10.
    if (!item) {
        NativeExecute(row);
        return;
    }
    auto* skinned = dynamic_cast<TMenuItem2000*>(item);
    if (skinned && skinned->Control() == ctlEditbox)
        return;  // the edit box takes the click
    Execute(item, true);
}

// The item's own context menu, as a child window of this one at the pointer.
void TPopupMenu2000Form::ContextPopup(int x, int y)
{
    TMenuItem* item = FSelection >= 0 ? RowItem(FSelection) : nullptr;
    const bool onRow = item && HitTest(x, y) == FSelection;
    if (!onRow) {
        // Outside an item: the menu window under the pointer hears the release.
        POINT cursor{};
        GetCursorPos(&cursor);
        auto* other = dynamic_cast<TPopupMenu2000Form*>(FindDragTarget(TPoint(cursor.x, cursor.y), true));
        if (other && other != this && other->HandleAllocated()) {
            ScreenToClient(other->HandleOrNull(), &cursor);
            SendMessageA(other->HandleOrNull(), WM_RBUTTONUP, 0, MAKELPARAM(cursor.x, cursor.y));
        }
        return;
    }
    if (FMenu && FMenu->OnContextMenu)
        FMenu->OnContextMenu(FMenu);
    TMenuItem2000* skinned = Skinned(item);
    auto* popup = skinned ? dynamic_cast<TCustomPopupMenu2000*>(skinned->PopupMenu) : nullptr;
    if (!popup)
        return;
    CloseSubmenu();
    if (popup->OnPopup)
        popup->OnPopup(popup);
    popup->PrepareItems(true);
    POINT at{};
    GetCursorPos(&at);
    OpenChild(popup->Items(), nullptr, FSelection, at, false);
}

// ---- Submenus ----

void TPopupMenu2000Form::CheckSubmenu()
{
    StopMenuTimer();
    if (State(wsClosing) || !IsShowing())
        return;
    if (RowHasSubmenu(FSelection)) {
        if (!(FChild && FChild->IsShowing() && FChild->FParentRow == FSelection))
            OpenSubmenu(false);
    } else {
        CloseSubmenu();
    }
}

void TPopupMenu2000Form::OpenSubmenu(bool keyboard)
{
    // 1.
    CloseSubmenu();
    // 2.
    const int row = FSelection;
    if (row < 0 || row >= RowCount())
        return;
    TMenuItem* item = RowItem(row);
    TMenuItem* root = nullptr;
    HMENU handle = nullptr;
    TCustomPopupMenu2000* attached = nullptr;
    if (!item) {
        const TNativeEntry e = ReadNativeEntry(FRootHandle, FSources[static_cast<size_t>(FLayout.Rows[static_cast<size_t>(row)].Item)].Native);
        if (!(e.State & (MF_DISABLED | MF_GRAYED)))
            handle = e.SubMenu;
    } else {
        if (!ItemEnabled(item))
            return;
        auto* skinned = dynamic_cast<TMenuItem2000*>(item);
        root = item;
        if (skinned && skinned->AttachMenu()) {
            attached = skinned->AttachMenu();
            attached->AttachedTo = skinned;
            attached->PrepareItems(true);
            root = attached->Items();
        }
        if (!HasSubItems(item))
            root = nullptr;
    }
    // 3. A dragged item opens no submenu of its own.
    if ((!root && !handle) || (State(wsDragMode) && FPressedArea == row))
        return;
    // 4. and 5.
    if (item) {
        TMenuItem* clicked = attached ? attached->Items() : item;
        if (clicked->OnClick)
            clicked->OnClick(item);
        if (attached && attached->OnPopup)
            attached->OnPopup(item);
    }
    // 9.
    TAnchorInput anchor;
    anchor.ClientWidth = Width();
    anchor.Scroll = State(wsScroll);
    anchor.ScrollBarWidth = GetSystemMetrics(SM_CXVSCROLL);
    anchor.ScrollOnLeft = RightToLeft();
    anchor.TopRightToLeft = !FParentWindow && FMenu && FMenu->BiDiMode != bdLeftToRight;
    anchor.OpensLeftwards = State(wsOpensLeftwards);
    anchor.RowTop = FLayout.Rows[static_cast<size_t>(row)].Top;
    anchor.ScrollShift = FLayout.Rows[static_cast<size_t>(FFirstRow)].Top - FLayout.FirstTop;
    const TPoint a = SubmenuAnchor(anchor, FLayoutInput);
    const POINT origin = ClientOrigin();
    OpenChild(root, handle, row, POINT{origin.x + a.x, origin.y + BufferTop() + a.y}, keyboard);
}

// Steps 6 to 9 of opening a submenu: the child window for root (or a native handle) at a screen point.
void TPopupMenu2000Form::OpenChild(TMenuItem* root, HMENU handle, int row, POINT at, bool keyboard)
{
    // 6.
    // A floating window's owner is its menu, which must not free the submenu window a second time.
    if (!FChildWindow)
        FChildWindow = std::make_unique<TPopupMenu2000Form>(Floating() ? nullptr : Owner(), FMenu);
    TPopupMenu2000Form* child = FChildWindow.get();
    child->SetRoot(root, handle);
    child->FParentWindow = this;
    child->FParentRow = row;
    child->FKind = child->FSavedKind = FKind;
    for (StateBit bit : {wsSibling, wsKeyboardOpened, wsClosedByParent, wsBit32, wsOpenedSubmenu})
        child->SetState(bit, false);
    // 7. Every later submenu of this window opens as a sibling.
    if (State(wsOpenedSubmenu))
        child->SetState(wsSibling, true);
    else
        SetState(wsOpenedSubmenu, true);
    // 8. A move under a pointer that stayed put must not take the keyboard's row away.
    if (keyboard) {
        child->SetState(wsKeyboardOpened, true);
        child->FIgnoreNextMove = true;
    }
    FChild = child;
    child->SetBoundsNow(at.x, at.y, 0, 0);
    if (!child->Show()) {
        if (FChild == child)
            FChild = nullptr;
        return;
    }
    if (keyboard && child->RowCount() > 0)
        child->SelectRow(0);
}

void TPopupMenu2000Form::CloseSubmenu()
{
    TPopupMenu2000Form* child = FChild;
    if (!child)
        return;
    child->SetState(wsClosing, true);
    child->SetState(wsClosedByParent, true);
    const bool shown = child->HandleAllocated() && IsWindowVisible(child->HandleOrNull());
    child->CloseMenu();
    FChild = nullptr;
    child->FParentWindow = nullptr;
    if (shown) {
        NotifyMenuEvent(EVENT_SYSTEM_MENUPOPUPEND, child->HandleOrNull(), CHILDID_SELF);
        NotifyMenuEvent(EVENT_OBJECT_HIDE, child->HandleOrNull(), CHILDID_SELF);
    }
}

void TPopupMenu2000Form::ExpandHidden()
{
    StopMenuTimer();
    if (!State(wsHasHidden) || State(wsHiddenShown))
        return;
    Perform(WM_AM2000_EXPAND);
    FPrevSelection = FSelection;
    FSelection = -1;
    Repaint();
}

// ---- Commands ----

namespace {

// A used item that is hidden, or under a hidden parent, comes back among the regular ones, with
// a hidden separator next to it (over hidden neighbours).
void PromoteItem(TMenuItem* item)
{
    bool hidden = false;
    for (TMenuItem* p = item; p; p = p->Parent())
        if (TMenuItem2000* s = Skinned(p); s && s->GetHidden())
            hidden = true;
    if (!hidden)
        return;
    for (TMenuItem* p = item; p; p = p->Parent())
        if (TMenuItem2000* s = Skinned(p); s && s->GetHidden())
            s->SetHidden(false);
    TMenuItem* parent = item->Parent();
    if (!parent)
        return;
    for (int direction : {-1, 1})
        for (int i = item->MenuIndex() + direction; i >= 0 && i < parent->Count(); i += direction) {
            TMenuItem2000* s = Skinned(parent->Items(i));
            if (!s || !s->GetHidden())
                break;
            if (IsSeparatorCaption(s->GetCaption())) {
                s->SetHidden(false);
                break;
            }
        }
}

}  // namespace

void TPopupMenu2000Form::CloseChain()
{
    TPopupMenu2000Form* top = TopWindow();
    if (top->Floating()) {
        top->CloseSubmenu();  // a floating window stays; what was opened from it goes
        return;
    }
    CloseMenus();
    if (top->IsShowing())
        top->CloseMenu();
}

void TPopupMenu2000Form::Execute(TMenuItem* item, bool fromRelease)
{
    // 1.
    if (HasSubItems(item)) {
        item->Click();
        OpenSubmenu(false);
        return;
    }
    // 2.
    PromoteItem(item);
    // 4. The selection fade: a copy of the row fades out where it was.
    auto* skinned = dynamic_cast<TMenuItem2000*>(item);
    std::unique_ptr<T_AM2000_DragWindow> fade;
    const bool control = skinned && skinned->Control() != ctlNone;
    BOOL systemFade = FALSE;
    if (FMenu && FMenu->SystemSelectionFade)
        SystemParametersInfoA(SPI_GETSELECTIONFADE, 0, &systemFade, 0);
    if (!control && (IsAlphaKind(FKind) || systemFade) && FSelection >= 0) {
        const RECT screen = RowRect(FSelection);
        RECT source = screen;
        OffsetRect(&source, -ClientOrigin().x, -(ClientOrigin().y + BufferTop()));
        fade = std::make_unique<T_AM2000_DragWindow>(item, FBufferDC, source);
        fade->PlaceAt(screen.left, screen.top);
        fade->ShowAt();
    }
    const int steps = FadeSteps(FOptions.Opacity());
    TCustomPopupMenu2000* menu = FMenu;
    // 5.
    TPopupMenu2000Form* top = TopWindow();
    const bool keepOpen = top->State(wsKeepOpen);
    if (top->State(wsCustomising)) {
        top->SetState(wsCustomising, false);
    } else if (!keepOpen) {
        top->FCancelled = false;
        CloseChain();
    } else if (top->Floating()) {
        CloseChain();  // the submenu that ran the command goes
    }
    // 6.
    PlayMenuSound("MenuCommand");
    // 7.
    if (fade) {
        const DWORD pause = MenuLayeredWindows() ? 2 * StepDelay : StepDelay;
        for (int step = 1; step <= steps; ++step) {
            fade->SetOpacity(FadePercent(step, steps));
            if (FadeObserver)
                FadeObserver(fade->HandleOrNull());
            Sleep(pause);
        }
        fade.reset();
    }
    // 8.
    if (menu && menu->OnMenuCommand)
        menu->OnMenuCommand(menu);
    // 9. Checked ends toggled once: the release toggled it already, and the item's click does.
    if (item->AutoCheck && ItemEnabled(item)) {
        if (fromRelease && skinned)
            ToggleChecked(item);
        else if (!fromRelease && !skinned)
            ToggleChecked(item);
    }
    // 10.
    item->Click();
    // 11.
    if (keepOpen && IsShowing()) {
        if (FToolTip)
            FToolTip->Deactivate();
        StartMenuTimer(SubmenuDelay, [this] { CheckSubmenu(); });
        Repaint();
    }
}

void TPopupMenu2000Form::NativeExecute(int row)
{
    const TNativeEntry e =
        ReadNativeEntry(FRootHandle, FSources[static_cast<size_t>(FLayout.Rows[static_cast<size_t>(row)].Item)].Native);
    StopMenuTimer();
    TCustomPopupMenu2000* menu = FMenu;
    TCustomForm* form = OwnerForm();
    const HWND target = FInitMenuOwner ? FInitMenuOwner : form && form->HandleAllocated() ? form->HandleOrNull() : nullptr;
    TopWindow()->FCancelled = false;
    CloseChain();
    if (form && form->HandleAllocated())
        SendMessageA(form->HandleOrNull(), WM_NCACTIVATE, 1, 0);
    PlayMenuSound("MenuCommand");
    if (menu && menu->OnMenuCommand)
        menu->OnMenuCommand(menu);
    if (!target)
        return;
    if (e.Id >= 0xF000)
        SendMessageA(target, WM_SYSCOMMAND, e.Id, 0);
    else
        SendMessageA(target, WM_COMMAND, e.Id, 0);
}

// ---- Item drag ----

void TPopupMenu2000Form::TrackItemDrag()
{
    static bool tracking = false;  // the drag window's moves reach the menu windows, this one too
    TMenuDragState& drag = MenuDragState();
    POINT cursor{};
    GetCursorPos(&cursor);
    if (!CurrentDragWindow()) {
        const int pressed = FPressedArea;
        if (pressed < 0 || FSelection == pressed)
            return;  // moves within the pressed row start nothing
        TMenuItem2000* item = Skinned(RowItem(pressed));
        const RECT screen = RowRect(pressed);
        if (!item || IsRectEmpty(&screen))
            return;
        drag.Dragged = item;
        RECT source = screen;
        OffsetRect(&source, -ClientOrigin().x, -(ClientOrigin().y + BufferTop()));
        const int margin = FOptions.Margins().Get(T_AM2000_Margins::Frame);
        source.left += margin;
        source.right -= margin;
        auto* window = new T_AM2000_DragWindow(item, FBufferDC, source);  // the current drag window
        window->PlaceAt(screen.left + margin, screen.top + cursor.y - (screen.top + screen.bottom) / 2);
        DragAccept();
    }
    // The drop target: the row under the pointer, or the end below the last row.
    RECT mine{};
    GetWindowRect(HandleOrNull(), &mine);
    if (PtInRect(&mine, cursor)) {
        if (!(FSelection == -1 && FPrevSelection == 0))
            SetDropTarget(RowItem(FSelection));
        drag.TargetCode = TMenuDragState::NoTarget;
        if (!drag.Target) {
            const RECT last = RowRect(RowCount() - 1);
            if (FSelection == selExpand || FSelection == selScrollDown || PtInRect(&last, cursor))
                drag.TargetCode = TMenuDragState::AppendTarget;
        }
        drag.NewParent = FRoot;
        SetState(wsDragMode, true);
    }
    if (tracking)
        return;
    tracking = true;
    if (T_AM2000_DragWindow* window = CurrentDragWindow())
        window->Track();
    tracking = false;
    if (!DragTargetWindow()) {
        SetDropTarget(nullptr);
        drag.TargetCode = TMenuDragState::NoTarget;
        DragReject();
        Paint();
    }
}

void TPopupMenu2000Form::EndItemDrag(bool accept)
{
    SetState(wsDragMode, false);
    EndDragFeedback();
    // The family's drop: moves the item (or only resets the drag) and rebuilds the showing menu.
    MoveMenuItem(accept);
    Repaint();
}

// ---- Keys ----

void TPopupMenu2000Form::AcceleratorSearch(WORD key)
{
    std::vector<TAcceleratorRow> rows;
    for (int row = 0; row < RowCount(); ++row) {
        TAcceleratorRow r;
        r.Caption = RowCaption(row);
        TMenuItem* item = RowItem(row);
        r.Native = !item;
        if (item) {
            r.Enabled = ItemEnabled(item);
        } else {
            const TNativeEntry e =
                ReadNativeEntry(FRootHandle, FSources[static_cast<size_t>(FLayout.Rows[static_cast<size_t>(row)].Item)].Native);
            r.Enabled = NativeUsable(e);
            r.Separator = e.Type & MFT_SEPARATOR;
        }
        rows.push_back(r);
    }
    const char c = key <= 0xFF ? static_cast<char>(key) : 0;
    const int row = FindAcceleratorRow(rows, c);
    if (row < 0) {
        Beep();
        return;
    }
    SelectRow(row);
    TMenuItem* item = RowItem(row);
    if (!item)
        return;  // a native entry is only selected
    if (RowHasSubmenu(row)) {
        item->Click();
        OpenSubmenu(true);
        return;
    }
    CloseSubmenu();
    Execute(item, false);
}

bool TPopupMenu2000Form::KeyMessage(UINT msg, WPARAM key, LPARAM data)
{
    if (FChild && FChild->IsShowing())
        return FChild->KeyMessage(msg, key, data);  // the deepest window takes the keys
    if (msg == WM_SYSKEYDOWN && (key == VK_MENU || key == VK_F10)) {
        if (TopWindow()->Floating()) {
            // Alt leaves a floating menu for the form and its bar, which hear the key.
            CloseChain();
            ReleaseFloatingKeys();
            return false;
        }
        TMenuBar2000* bar = OwningBar(FMenu);
        CloseChain();
        if (bar)
            bar->SetMenuKeyReset(true);
        return true;
    }
    if (msg != WM_KEYDOWN && msg != WM_SYSKEYDOWN)
        return true;  // characters and releases go no further while a menu is open
    if (!IsShowing())
        return true;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
    const HWND top = TopWindow()->HandleOrNull();
    const int shown = std::max(1, FLastRow - FFirstRow + 1);
    switch (MenuKeyAction(static_cast<unsigned>(key), ctrl, shift)) {
    case TMenuKey::Previous:
        StopMenuTimer();
        SelectStep(FSelection < 0 ? -1 : FSelection - 1, -1);
        break;
    case TMenuKey::First: StopMenuTimer(); SelectStep(0, 1); break;
    case TMenuKey::PageUp: StopMenuTimer(); SelectStep(std::max(0, FSelection - shown), FSelection - shown <= 0 ? 1 : -1); break;
    case TMenuKey::Next: StopMenuTimer(); SelectStep(FSelection + 1, 1); break;
    case TMenuKey::Last: StopMenuTimer(); SelectStep(RowCount() - 1, -1); break;
    case TMenuKey::PageDown: {
        StopMenuTimer();
        const int target = FSelection + shown;
        SelectStep(std::min(target, RowCount() - 1), target >= RowCount() - 1 ? -1 : 1);
        break;
    }
    case TMenuKey::Expand: ExpandHidden(); break;
    case TMenuKey::Right:
        if (FSelection >= 0 && RowHasSubmenu(FSelection) && (!RowItem(FSelection) || ItemEnabled(RowItem(FSelection))))
            OpenSubmenu(true);
        else
            PassAsMenuMessage(top, WM_KEYDOWN, VK_RIGHT, 0);
        break;
    case TMenuKey::Left:
        if (FParentWindow) {
            if (!State(wsAnimating))
                FParentWindow->CloseSubmenu();
        } else {
            PassAsMenuMessage(top, WM_KEYDOWN, VK_LEFT, 0);
        }
        break;
    case TMenuKey::Escape: {
        if (State(wsDragMode) && CurrentDragWindow()) {
            EndItemDrag(false);
            break;
        }
        if (FParentWindow) {
            if (!State(wsAnimating))
                FParentWindow->CloseSubmenu();
        } else if (Floating()) {
            // The floating window stays open and gives the keys back.
            SelectRow(-1);
            ReleaseFloatingKeys();
        } else {
            NotifyMenuEvent(EVENT_SYSTEM_MENUPOPUPEND, HandleOrNull(), CHILDID_SELF);
            NotifyMenuEvent(EVENT_OBJECT_HIDE, HandleOrNull(), CHILDID_SELF);
            FCancelled = true;
            TMenuBar2000* bar = OwningBar(FMenu);
            CloseChain();
            if (bar)
                bar->DropSelection();
        }
        break;
    }
    case TMenuKey::Enter:
        StopMenuTimer();
        ReleaseSelection();
        PassAsMenuMessage(top, WM_KEYDOWN, VK_RETURN, 0);
        break;
    case TMenuKey::Help:
        // The help opens at the item's context, after the menus closed.
        if (TMenuItem* item = RowItem(FSelection); item && item->HelpContext != 0 && Application &&
                                                   !Application->HelpFile.empty()) {
            const int context = item->HelpContext;
            FCancelled = true;
            CloseChain();
            Application->HelpContext(context);
        }
        break;
    case TMenuKey::Nothing: break;
    case TMenuKey::Accelerator:
        if (!State(wsCustomising))
            AcceleratorSearch(static_cast<WORD>(key));
        break;
    }
    if (FToolTip)
        FToolTip->Deactivate();
    return true;
}
