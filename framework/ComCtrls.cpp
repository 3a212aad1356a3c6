#include "ComCtrls.h"

#include <algorithm>

TTrackBar::TTrackBar(TComponent* owner) : TWinControl(owner)
{
    FWidth = 150;
    FHeight = 25;
}

void TTrackBar::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = TRACKBAR_CLASSA;
    params.Style |= (Vertical ? TBS_VERT : TBS_HORZ) | TBS_NOTICKS | (FSliderVisible ? 0 : TBS_NOTHUMB);
}

void TTrackBar::SetSliderVisible(bool value)
{
    FSliderVisible = value;
    if (!HandleAllocated())
        return;
    const LONG_PTR style = GetWindowLongPtrA(HandleOrNull(), GWL_STYLE);
    SetWindowLongPtrA(HandleOrNull(), GWL_STYLE, value ? style & ~static_cast<LONG_PTR>(TBS_NOTHUMB) : style | TBS_NOTHUMB);
    SetWindowPos(HandleOrNull(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    InvalidateRect(HandleOrNull(), nullptr, TRUE);
}

void TTrackBar::CreateWindowHandle()
{
    SendMessageA(HandleOrNull(), TBM_SETRANGEMIN, FALSE, Min);
    SendMessageA(HandleOrNull(), TBM_SETRANGEMAX, FALSE, Max);
    SendMessageA(HandleOrNull(), TBM_SETPOS, TRUE, FPosition);
}

void TTrackBar::SetPosition(int value)
{
    value = std::clamp(value, Min, Max);
    if (value == FPosition)
        return;
    FPosition = value;
    if (HandleAllocated())
        SendMessageA(HandleOrNull(), TBM_SETPOS, TRUE, FPosition);
    if (OnChange)
        OnChange(this);
}

bool TTrackBar::ReflectedMessage(TMessage& message)
{
    if (message.Msg != WM_HSCROLL && message.Msg != WM_VSCROLL)
        return false;
    const int position = static_cast<int>(SendMessageA(HandleOrNull(), TBM_GETPOS, 0, 0));
    if (position != FPosition) {
        FPosition = position;
        if (OnChange)
            OnChange(this);
        if (OnScroll)
            OnScroll(this);
    }
    message.Result = 0;
    return true;
}

TUpDown::TUpDown(TComponent* owner) : TWinControl(owner)
{
    static const bool registered = [] {
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_UPDOWN_CLASS};
        return InitCommonControlsEx(&classes) != FALSE;
    }();
    (void)registered;
    FWidth = 32;
    FHeight = 16;
}

void TUpDown::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = UPDOWN_CLASSA;
    params.Style |= Horizontal ? UDS_HORZ : 0;
}

void TUpDown::CreateWindowHandle()
{
    SendMessageA(HandleOrNull(), UDM_SETRANGE32, static_cast<WPARAM>(Min), static_cast<LPARAM>(Max));
    SendMessageA(HandleOrNull(), UDM_SETPOS32, 0, FPosition);
}

void TUpDown::SetPosition(int value)
{
    FPosition = std::clamp(value, Min, std::max(Min, Max));
    if (HandleAllocated())
        SendMessageA(HandleOrNull(), UDM_SETPOS32, 0, FPosition);
}

bool TUpDown::ReflectedMessage(TMessage& message)
{
    if (message.Msg == WM_HSCROLL || message.Msg == WM_VSCROLL) {
        message.Result = 0;
        return true;
    }
    if (message.Msg != WM_NOTIFY || reinterpret_cast<NMHDR*>(message.LParam)->code != UDN_DELTAPOS)
        return false;
    // The control steps nothing itself: the position moves here, then the handler runs.
    const auto* change = reinterpret_cast<NMUPDOWN*>(message.LParam);
    const TUDBtnType button = change->iDelta > 0 ? btNext : btPrev;
    SetPosition(FPosition + (change->iDelta > 0 ? 1 : -1));
    message.Result = 1;
    if (OnClick)
        OnClick(this, button);
    return true;
}

namespace {
constexpr UINT_PTR kChangeTimer = 0x5444;  // apart from the control's own timers
}

void TTreeChangeDelay::SelectionChanged(HWND tree)
{
    if (Delay <= 0) {
        Tell(tree);
        return;
    }
    // A newer change restarts the wait.
    FWaiting = true;
    SetTimer(tree, kChangeTimer, static_cast<UINT>(Delay), nullptr);
}

void TTreeChangeDelay::Tell(HWND tree)
{
    if (FWaiting)
        KillTimer(tree, kChangeTimer);
    FWaiting = false;
    ++FTold;
    CallGuarded(FChange);
}

bool TTreeChangeDelay::WndProc(HWND tree, UINT msg, WPARAM wParam)
{
    switch (msg) {
    case WM_TIMER:
        if (wParam != kChangeTimer)
            return false;
        if (FWaiting)
            Tell(tree);
        else
            KillTimer(tree, kChangeTimer);
        return true;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (FWaiting)
            Tell(tree);
        return false;
    case WM_DESTROY:
        if (FWaiting)
            KillTimer(tree, kChangeTimer);
        FWaiting = false;
        return false;
    default:
        return false;
    }
}

void TTreeChangeDelay::SelectNow(HWND tree, HTREEITEM item)
{
    const bool waited = FWaiting;
    const unsigned told = FTold;
    const int delay = Delay;
    Delay = 0;
    TreeView_SelectItem(tree, item);
    Delay = delay;
    // The same node again raises no notice: the change that waited is told now.
    if (waited && FTold == told)
        Tell(tree);
}

void TTreeNodes::Clear()
{
    if (FOwner.HandleAllocated())
        TreeView_DeleteAllItems(FOwner.HandleOrNull());
    FOwner.FSelected = nullptr;
    FNodes.clear();
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const std::string& text)
{
    auto node = std::make_unique<TTreeNode>();
    node->Text = text;
    node->Parent = parent;
    TTreeNode* added = node.get();
    FNodes.push_back(std::move(node));
    if (FOwner.HandleAllocated())
        FOwner.InsertItem(*added);
    return added;
}

TTreeView::TTreeView(TComponent* owner) : TWinControl(owner)
{
    static const bool registered = [] {
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TREEVIEW_CLASSES};
        return InitCommonControlsEx(&classes) != FALSE;
    }();
    (void)registered;
    FWidth = 121;
    FHeight = 97;
    SetColor(clWhite);
}

void TTreeView::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = WC_TREEVIEWA;
    params.Style |= TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_DISABLEDRAGDROP;
}

void TTreeView::CreateWindowHandle()
{
    TreeView_SetBkColor(HandleOrNull(), static_cast<COLORREF>(Color()));
    TreeView_SetTextColor(HandleOrNull(), static_cast<COLORREF>(FontColor));
    for (const auto& node : Items.FNodes)
        InsertItem(*node);
    if (FExpanded)
        FullExpand();
    if (FSelected) {
        // The selection made before the window existed was already told.
        const TNotifyEvent change = std::move(OnChange);
        FChangeDelay.SelectNow(HandleOrNull(), FSelected->ItemId);
        OnChange = change;
    }
}

void TTreeView::Select(TTreeNode* node)
{
    const bool changed = node != FSelected;
    FSelected = node;
    if (HandleAllocated())
        TreeView_SelectItem(HandleOrNull(), node ? node->ItemId : nullptr);  // the notification raises OnChange
    else if (changed && OnChange)
        OnChange(this);
}

void TTreeView::FullExpand()
{
    FExpanded = true;
    if (!HandleAllocated())
        return;
    for (const auto& node : Items.FNodes)
        TreeView_Expand(HandleOrNull(), node->ItemId, TVE_EXPAND);
}

void TTreeView::InsertItem(TTreeNode& node)
{
    TVINSERTSTRUCTA insert{};
    insert.hParent = node.Parent ? node.Parent->ItemId : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<char*>(node.Text.c_str());
    insert.item.lParam = reinterpret_cast<LPARAM>(&node);
    node.ItemId = reinterpret_cast<HTREEITEM>(SendMessageA(HandleOrNull(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

void TTreeView::WndProc(TMessage& message)
{
    if (FChangeDelay.WndProc(HandleOrNull(), message.Msg, message.WParam)) {
        message.Result = 0;
        return;
    }
    TWinControl::WndProc(message);
}

bool TTreeView::ReflectedMessage(TMessage& message)
{
    if (message.Msg != WM_NOTIFY)
        return false;
    auto* header = reinterpret_cast<NMHDR*>(message.LParam);
    if (header->code == TVN_SELCHANGEDA || header->code == TVN_SELCHANGEDW) {
        const auto* change = reinterpret_cast<NMTREEVIEWA*>(message.LParam);
        FSelected = reinterpret_cast<TTreeNode*>(change->itemNew.lParam);
        FChangeDelay.SelectionChanged(HandleOrNull());
        message.Result = 0;
        return true;
    }
    if (!OnCustomDrawItem)
        return false;
    if (header->code != NM_CUSTOMDRAW)
        return false;
    auto* draw = reinterpret_cast<NMTVCUSTOMDRAW*>(message.LParam);
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        message.Result = CDRF_NOTIFYITEMDRAW;
        return true;
    case CDDS_ITEMPREPAINT: {
        auto* node = reinterpret_cast<TTreeNode*>(draw->nmcd.lItemlParam);
        TColor color = FontColor;
        bool defaultDraw = true;
        if (node)
            OnCustomDrawItem(this, node, color, defaultDraw);
        draw->clrText = static_cast<COLORREF>(color);
        message.Result = defaultDraw ? CDRF_DODEFAULT : CDRF_SKIPDEFAULT;
        return true;
    }
    default:
        message.Result = CDRF_DODEFAULT;
        return true;
    }
}
