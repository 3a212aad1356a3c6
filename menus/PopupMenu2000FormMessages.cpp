// The menu window's selection, wheel, hint regions and private messages.
#include "PopupMenu2000Form.h"

#include "PopupMenu2000FormParts.h"
#include "ThemeSupport.h"

#include <oleacc.h>

#include <algorithm>

using M = T_AM2000_Margins;

// ---- Selection ----

RECT TPopupMenu2000Form::RowRect(int row)
{
    if (row < 0 || row >= RowCount() || !HandleAllocated())
        return RECT{};
    const int shift = FLayout.Rows[static_cast<size_t>(FFirstRow)].Top - FLayout.FirstTop;
    const TMenuRow& r = FLayout.Rows[static_cast<size_t>(row)];
    const int frame = FLayoutInput.M(M::Border) + FLayoutInput.M(M::Bevel) + FLayoutInput.M(M::BevelInner) +
                      (State(wsThreeD) ? 2 : 0);
    RECT rect{frame, r.Top - shift, FTargetWidth - frame, r.Top - shift + r.Height};
    const POINT origin = ClientOrigin();
    OffsetRect(&rect, origin.x, origin.y + BufferTop());
    return rect;
}

void TPopupMenu2000Form::SelectDownTo(const TMenuItem* item)
{
    for (TPopupMenu2000Form* window = this; window; window = window->ChildWindow()) {
        const TMenuItem* wanted = item;  // the item or its ancestor on this level
        while (wanted && wanted->Parent() != window->Root())
            wanted = wanted->Parent();
        int row = -1;
        for (int k = 0; wanted && k < window->RowCount() && row < 0; ++k)
            if (window->ItemAtRow(k) == wanted)
                row = k;
        window->SelectRow(row);
        if (row < 0 || wanted == item)
            return;
        window->OpenSubmenu(true);
    }
}

void TPopupMenu2000Form::SelectRow(int row)
{
    if (row >= RowCount() || row < -10)
        row = -1;
    if (row == FSelection)
        return;
    FPrevSelection = FSelection;
    FSelection = row;
    if (State(wsScroll) && row >= 0) {
        if (row < FFirstRow)
            FFirstRow = row;
        while (row > LastRowThatFits(FLayout, FLayoutInput, FTargetHeight, FFirstRow) && FFirstRow < row)
            ++FFirstRow;
        const int last = LastRowThatFits(FLayout, FLayoutInput, FTargetHeight, FFirstRow);
        if (last != FLastRow)
            SetState(wsFullRepaint, true);
        FLastRow = last;
    }
    if (Width() > 0)
        Paint();
    MenuSelectNotice();
    if (row >= 0 && HandleAllocated())
        NotifyMenuEvent(EVENT_OBJECT_FOCUS, HandleOrNull(), row + 1);
}

void TPopupMenu2000Form::MenuSelectNotice()
{
    if (FSelection < 0)
        return;
    TPopupMenu2000Form* top = this;
    while (top->FParentWindow)
        top = top->FParentWindow;
    TCustomForm* form = top->OwnerForm();
    if (!form || !form->HandleAllocated())
        return;
    const TRowSource& source = FSources[static_cast<size_t>(FLayout.Rows[static_cast<size_t>(FSelection)].Item)];
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    if (source.Item) {
        auto* skinned = dynamic_cast<TMenuItem2000*>(source.Item);
        if (source.Item->Count() > 0 || (skinned && skinned->AttachMenu())) {
            wParam = MAKEWPARAM(source.Item->MenuIndex(), MF_POPUP);
            lParam = reinterpret_cast<LPARAM>(skinned ? skinned->ItemHandle() : source.Item->Handle());
        } else {
            wParam = MAKEWPARAM(source.Item->Command(), 0);
        }
    } else {
        const TNativeEntry e = ReadNativeEntry(FRootHandle, source.Native);
        if (e.SubMenu) {
            wParam = MAKEWPARAM(source.Native, MF_POPUP);
            lParam = reinterpret_cast<LPARAM>(e.SubMenu);
        } else {
            wParam = MAKEWPARAM(e.Id, 0);
        }
    }
    SendMessageA(form->HandleOrNull(), WM_MENUSELECT, wParam, lParam);
}

void TPopupMenu2000Form::WheelTurn(int delta)
{
    FWheelDelta += delta;
    auto selectable = [this](int row) {
        return !IsSeparatorCaption(FInputs[static_cast<size_t>(FLayout.Rows[static_cast<size_t>(row)].Item)].Caption);
    };
    while (FWheelDelta >= 120 || FWheelDelta <= -120) {
        const int direction = FWheelDelta > 0 ? -1 : 1;  // a positive turn moves up
        FWheelDelta += direction * 120;
        int row = FSelection;
        for (;;) {
            const int next = row < 0 ? (direction > 0 ? 0 : RowCount() - 1) : row + direction;
            if (next < 0 || next >= RowCount())
                break;
            row = next;
            if (selectable(row))
                break;
        }
        if (row >= 0 && selectable(row))
            SelectRow(row);
    }
}

void TPopupMenu2000Form::BuildToolRegions()
{
    FToolTip.reset();
    if (!FMenu || !FMenu->ShowHint() || !HandleAllocated())
        return;
    FToolTip = std::make_unique<T_AM2000_ToolTipWindow>(HandleOrNull());
    for (int row = FFirstRow; row <= FLastRow && row < RowCount(); ++row) {
        const TRowSource& source = FSources[static_cast<size_t>(FLayout.Rows[static_cast<size_t>(row)].Item)];
        std::string hint;
        if (auto* skinned = dynamic_cast<TMenuItem2000*>(source.Item))
            hint = skinned->GetHint();
        else if (source.Item)
            hint = source.Item->Hint;
        if (hint.empty())
            continue;
        RECT r = RowRect(row);
        OffsetRect(&r, -ClientOrigin().x, -ClientOrigin().y);
        FToolTip->AddTool(r, hint);
    }
    const int frame = FLayoutInput.M(M::Border) + FLayoutInput.M(M::Bevel) + FLayoutInput.M(M::BevelInner);
    if (FOptions.Draggable() && !Floating())
        FToolTip->AddTool(RECT{frame, frame, FTargetWidth - frame, frame + 9}, "Drag to make this menu float");
    if (State(wsHasHidden))
        FToolTip->AddTool(RECT{frame, FTargetHeight - frame - ExpandButtonHeight - 3, FTargetWidth - frame,
                               FTargetHeight - frame - 3},
                          "Expand (Ctrl+Down)");
}

// ---- Messages ----

void TPopupMenu2000Form::WndProc(TMessage& message)
{
    const HWND wnd = HandleOrNull();
    switch (message.Msg) {
    case WM_AM2000_STEP:
        AnimationStep(message.WParam, message.LParam);
        message.Result = 0;
        return;
    case WM_AM2000_CLOSE:
        if (!State(wsHold)) {
            SetState(wsClosing, true);
            SetState(wsAnimating, State(wsAnimating) && !State(wsAnimationDone));
            if (FChild)
                FChild->CloseMenu();
            message.Result = 1;
        }
        return;
    case WM_AM2000_HIDE:
        SetState(wsBit32, true);
        CloseMenu();
        return;
    case WM_AM2000_STOPTIMER:
        StopMenuTimer();
        if (FChild)
            FChild->Perform(WM_AM2000_STOPTIMER);
        return;
    case WM_AM2000_ITEMCHANGED: {
        auto* item = reinterpret_cast<TMenuItem*>(message.WParam);
        // A deeper item's notice goes to the window that shows its parent.
        for (TPopupMenu2000Form* w = this; w; w = w->FChild)
            if (item && item->Parent() == w->FRoot) {
                for (int row = 0; row < w->RowCount(); ++row)
                    if (w->FSources[static_cast<size_t>(w->FLayout.Rows[static_cast<size_t>(row)].Item)].Item == item) {
                        if (message.LParam == 0 && w->Width() > 0) {
                            w->PaintRow(row);
                            w->CopyToScreen(nullptr);
                        }
                    }
                if (message.LParam == 4)
                    w->BuildToolRegions();
                if (message.LParam == 3)
                    w->RebuildItems();
                break;
            }
        return;
    }
    case WM_AM2000_FINDITEM: {
        message.Result = 0;
        for (TPopupMenu2000Form* w = this; w; w = w->FChild)
            for (const TRowSource& s : w->FSources)
                if (s.Item && reinterpret_cast<WPARAM>(s.Item) == message.WParam) {
                    message.Result = reinterpret_cast<LRESULT>(w);
                    return;
                }
        return;
    }
    case WM_AM2000_SETOPTION: {
        const int value = static_cast<int>(message.LParam);
        switch (message.WParam) {
        case 1: SetState(wsKeyboardOpened, value); break;
        case 2: SelectRow(value); break;
        case 3:
            if (!State(wsCustomising))
                SetState(wsHiddenShown, value);
            break;
        case 4: SetState(wsCustomising, value); if (value) SetState(wsKeyboardOpened, true); break;
        case 5: SetState(wsNoInitMenu, value); break;
        case 6: SetState(wsBit24, value); break;
        case 7: SetState(wsAlwaysCues, value); break;
        case 8: SetState(wsKeepOpen, !value); break;  // False: the menu stays open after a command
        case 9: SetState(wsBit20, value); break;
        case 10: FPressedRow = value; break;
        case 11:
            SetState(wsDragMode, value);
            if (FChild)
                FChild->Perform(WM_AM2000_SETOPTION, 11, message.LParam);
            break;
        case 12: FInitMenuOwner = reinterpret_cast<HWND>(message.LParam); break;
        case 13: SetState(wsSibling, value); break;
        case 14: SetState(wsLeftwardsAsked, value); break;
        case 15: SetState(wsBit18, value); break;
        case 16: FAccessible = reinterpret_cast<void*>(message.LParam); break;
        default: break;
        }
        message.Result = 1;
        return;
    }
    case WM_AM2000_SHOWHIDDEN:
    case WM_AM2000_EXPAND: {
        if (message.Msg == WM_AM2000_EXPAND && FChild && !State(wsAnimating) && Width() > 0)
            FChild->CloseMenu();
        SetState(wsHiddenShown, true);
        RebuildItems();
        if (message.Msg == WM_AM2000_SHOWHIDDEN) {
            for (int row = 0; row < RowCount(); ++row)
                if (reinterpret_cast<WPARAM>(FSources[static_cast<size_t>(FLayout.Rows[static_cast<size_t>(row)].Item)].Item) ==
                    message.WParam) {
                    SelectRow(row);
                    if (message.LParam)
                        *reinterpret_cast<RECT*>(message.LParam) = RowRect(row);
                }
        }
        message.Result = 1;
        return;
    }
    case WM_AM2000_SELECTROW:
        if (!FRoot && FMenu)
            FRoot = FMenu->Items();
        SelectRow(static_cast<int>(message.WParam));
        message.Result = 1;
        return;
    case WM_AM2000_QUERY: message.Result = message.WParam == 4 && State(wsCustomising); return;
    case WM_AM2000_ROWRECT: {
        if (static_cast<int>(message.WParam) < 0 || static_cast<int>(message.WParam) >= RowCount()) {
            message.Result = 0;
            return;
        }
        if (message.LParam)
            *reinterpret_cast<RECT*>(message.LParam) = RowRect(static_cast<int>(message.WParam));
        message.Result = 1;
        return;
    }
    case WM_AM2000_SELECTEDITEM:
        message.Result = FSelection >= 0
                             ? reinterpret_cast<LRESULT>(
                                   FSources[static_cast<size_t>(FLayout.Rows[static_cast<size_t>(FSelection)].Item)].Item)
                             : 0;
        return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
    case WM_SYSCHAR:
        message.Result = KeyMessage(message.Msg, message.WParam, message.LParam) ? 1 : 0;
        return;
    case WM_MOUSEWHEEL:
        WheelTurn(GET_WHEEL_DELTA_WPARAM(message.WParam));
        message.Result = 0;
        return;
    case WM_GETOBJECT:
        // A top-level window answers its own object, a submenu its item's adapter.
        if (dynamic_cast<TMenuItem2000*>(FRoot)) {
            // By its declared id, not the IID_IAccessible symbol: oleacc and uuid both define
            // that one, and the player links both.
            message.Result = LresultFromObject(__uuidof(IAccessible), message.WParam, AnsweredObject());
            return;
        }
        break;
    case WM_MOUSEACTIVATE:
        if (TCustomForm* form = OwnerForm(); form && form->HandleAllocated())
            SetActiveWindow(form->HandleOrNull());
        message.Result = MA_NOACTIVATE;
        return;
    case WM_ACTIVATE:
        if (LOWORD(message.WParam) == WA_ACTIVE) {
            if (TCustomForm* form = OwnerForm(); form && form->HandleAllocated()) {
                if (IsWindowVisible(form->HandleOrNull()) && !form->InState(csDestroying))
                    SendMessageA(form->HandleOrNull(), WM_NCACTIVATE, 1, 0);
                message.Result = 0;
                return;
            }
        }
        break;
    case WM_KILLFOCUS:
        if (State(wsAnimating))
            if (TCustomForm* form = OwnerForm(); form && form->HandleAllocated() && IsWindowVisible(form->HandleOrNull())) {
                ::SetFocus(form->HandleOrNull());
                return;
            }
        break;
    case WM_ERASEBKGND:
        CopyToScreen(reinterpret_cast<HDC>(message.WParam));
        message.Result = 1;
        return;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        const HDC dc = BeginPaint(wnd, &ps);
        CopyToScreen(dc);
        EndPaint(wnd, &ps);
        message.Result = 0;
        return;
    }
    case WM_CLOSE:
        CloseMenu();
        message.Result = 0;
        return;
    default: break;
    }
    TCustomPopupMenu2000Form::WndProc(message);
}
