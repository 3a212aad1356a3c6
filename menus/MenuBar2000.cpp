#include "MenuBar2000.h"

#include "MenuItemCache.h"
#include "MenuUtilsCore.h"
#include "framework/MainMenu.h"

#include <algorithm>

namespace {

std::vector<TMenuBar2000*>& MenuBars()
{
    static std::vector<TMenuBar2000*> bars;
    return bars;
}

constexpr UINT_PTR BarTimer = 1;

std::string CaptionOf(TMenuItem* item)
{
    if (auto* skinned = dynamic_cast<TMenuItem2000*>(item))
        return skinned->GetCaption();
    return item->Caption;
}

bool HasSubItems(TMenuItem* item)
{
    auto* skinned = dynamic_cast<TMenuItem2000*>(item);
    return item->Count() > 0 || (skinned && skinned->AttachMenu());
}

}  // namespace

TMenuBar2000* FindMenuBar(const TComponent* menu)
{
    for (TMenuBar2000* bar : MenuBars())
        if (bar->Menu() == menu)
            return bar;
    return nullptr;
}

int MenuBarCount() { return static_cast<int>(MenuBars().size()); }
TMenuBar2000* MenuBarAt(int index) { return MenuBars().at(static_cast<size_t>(index)); }

TMenuBar2000::TMenuBar2000(TComponent* owner)
    : TCustomControl(owner), FDropDown(std::make_unique<TPopupMenu2000>(nullptr))
{
    MenuBars().push_back(this);
    FDropDown->OnMenuClose = [this](TObject*, bool) {
        if (FItemState == 2)
            CloseItem();
    };
}

TMenuBar2000::~TMenuBar2000()
{
    Destroying();
    StopTimer();
    auto& bars = MenuBars();
    bars.erase(std::remove(bars.begin(), bars.end(), this), bars.end());
    if (FDropDown->PopupForm())
        FDropDown->PopupForm()->HideMenu();
    if (FMenuFont)
        DeleteObject(FMenuFont);
    if (FTurnedFont)
        DeleteObject(FTurnedFont);
}

void TMenuBar2000::SetMenu(TComponent* menu)
{
    if (menu == FMenu)
        return;
    CloseItem();
    FMenu = menu;
    FHotItem = nullptr;
    FHotIndex = -1;
    Rebuild(true);
}

void TMenuBar2000::Loaded()
{
    TCustomControl::Loaded();
    FInitialised = true;
}

void TMenuBar2000::Notification(TComponent* component, bool removing)
{
    TCustomControl::Notification(component, removing);
    if (removing && component == FMenu) {
        FMenu = nullptr;
        FHotItem = nullptr;
        FHotIndex = -1;
        FItemRects.clear();
    }
}

int TMenuBar2000::GetItemCount() const
{
    if (auto* main = dynamic_cast<TMainMenu*>(FMenu))
        return static_cast<int>(main->MergedItems().size());
    if (auto* popup = dynamic_cast<TPopupMenu*>(FMenu))
        return popup->Items()->Count();
    return 0;
}

TMenuItem* TMenuBar2000::GetItem(int index) const
{
    if (index < 0 || index >= GetItemCount())
        return nullptr;
    if (auto* main = dynamic_cast<TMainMenu*>(FMenu))
        return main->MergedItems()[static_cast<size_t>(index)];
    return static_cast<TPopupMenu*>(FMenu)->Items()->Items(index);
}

HFONT TMenuBar2000::MenuFont()
{
    if (!FMenuFont) {
        NONCLIENTMETRICSA metrics{};
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        FMenuFont = CreateFontIndirectA(&metrics.lfMenuFont);
        LOGFONTA turned = metrics.lfMenuFont;
        turned.lfEscapement = turned.lfOrientation = 2700;  // reads top to bottom, tops to the right
        FTurnedFont = CreateFontIndirectA(&turned);
    }
    return FMenuFont;
}

TSize TMenuBar2000::GetGlyphSize(TMenuItem* item) const
{
    if (!item)
        return {};
    if (MenuItemCache().Contains(CaptionOf(item)))
        return {MenuGlyphSize, MenuGlyphSize};
    return {};
}

TSize TMenuBar2000::MeasureItem(TMenuItem* item)
{
    if (!item)
        return {};
    const std::string caption = StripAccelerators(CaptionOf(item));
    TSize text;
    if (!caption.empty()) {
        const HDC dc = CreateCompatibleDC(nullptr);
        const HGDIOBJ old = SelectObject(dc, MenuFont());
        SIZE extent{};
        GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
        SelectObject(dc, old);
        DeleteDC(dc);
        text = {extent.cx, extent.cy};
    }
    return MeasureBarItem(text, GetGlyphSize(item), caption.empty());
}

void TMenuBar2000::Layout()
{
    std::vector<std::pair<TObject*, TSize>> sizes;
    for (int k = 0; k < GetItemCount(); ++k)
        if (TMenuItem* item = GetItem(k); item->Visible)
            sizes.emplace_back(item, MeasureItem(item));
    const bool vertical = Orientation == 1;
    FItemRects = LayoutBarItems(sizes, vertical);
    // Every item spans the bar's full depth.
    int depth = 0, length = 0;
    for (const auto& r : FItemRects) {
        depth = std::max(depth, vertical ? r.Rect.Width() : r.Rect.Height());
        length = std::max<int>(length, vertical ? r.Rect.bottom : r.Rect.right);
    }
    for (auto& r : FItemRects)
        (vertical ? r.Rect.right : r.Rect.bottom) = depth;
    if (depth == 0)
        depth = MeasureBarItem({0, 13}, {}, false).cy + 5;
    SetBounds(Left(), Top(), vertical ? depth : std::max(length, 1), vertical ? std::max(length, 1) : depth);
}

void TMenuBar2000::Rebuild(bool remeasure)
{
    if (InState(csLoading | csReading | csDestroying) || !Visible())
        return;
    if (!FInitialised)
        Loaded();
    if (remeasure) {
        if (auto* popup = dynamic_cast<TCustomPopupMenu2000*>(FMenu))
            popup->PrepareItems(false);
        Layout();
        FHotIndex = HotIndexAfterRebuild(FHotItem != nullptr, FHotIndex, GetItemCount());
        FHotItem = FHotIndex >= 0 ? GetItem(FHotIndex) : nullptr;
        if (FHotItem)
            FindItemRect(FItemRects, FHotIndex, FHotItem, FHotRect);
    }
    Invalidate();
}

void TMenuBar2000::UpdateBar()
{
    if (InState(csLoading | csReading | csDestroying) || MenuUpdateCount() > 0)
        return;
    Rebuild(true);
    if (FDropDown->IsShowing())
        FDropDown->RefreshIfShowing();
}

void TMenuBar2000::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    params.Background = GetSysColorBrush(COLOR_MENU);
}

void TMenuBar2000::CreateWindowHandle() { Rebuild(true); }

void TMenuBar2000::Paint(HDC dc)
{
    const RECT client = ClientRect();
    FillRect(dc, &client, GetSysColorBrush(COLOR_MENU));
    for (const auto& record : FItemRects)
        DrawItem(dc, record);
}

void TMenuBar2000::DrawItem(HDC dc, const TBarItemRect& record)
{
    auto* item = static_cast<TMenuItem*>(record.Item);
    const bool hot = item == FHotItem;
    const bool vertical = Orientation == 1;
    const int pressed = hot && FItemState == 2 ? 1 : 0;
    RECT rect = record.Rect;
    const std::string caption = StripAccelerators(CaptionOf(item));
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(dc, GetSysColor(item->Enabled ? COLOR_MENUTEXT : COLOR_GRAYTEXT));
    MenuFont();
    if (vertical) {
        const HGDIOBJ old = SelectObject(dc, FTurnedFont);
        SIZE extent{};
        GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
        const int x = rect.left + (rect.right - rect.left + extent.cy) / 2 + pressed;
        const int y = rect.top + (rect.bottom - rect.top - extent.cx) / 2 - pressed;
        TextOutA(dc, x, y, caption.c_str(), static_cast<int>(caption.size()));
        SelectObject(dc, old);
    } else {
        const HGDIOBJ old = SelectObject(dc, FMenuFont);
        RECT text = rect;
        OffsetRect(&text, pressed, pressed);
        std::string shown = CaptionOf(item);
        DrawTextA(dc, shown.c_str(), static_cast<int>(shown.size()), &text,
                  DT_SINGLELINE | DT_CENTER | DT_VCENTER | (FKeyboardMode ? 0 : DT_HIDEPREFIX));
        SelectObject(dc, old);
    }
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    if (!hot)
        return;
    switch (FItemState) {
    case 1: DrawEdge(dc, &rect, BDR_RAISEDINNER, BF_RECT); break;
    case 2: case 3: DrawEdge(dc, &rect, BDR_SUNKENOUTER, BF_RECT); break;
    default: FrameRect(dc, &rect, GetSysColorBrush(COLOR_MENU)); break;
    }
}

TMenuItem* TMenuBar2000::HitTest(TPoint point) const
{
    return static_cast<TMenuItem*>(BarHitTest(point, TRect(), nullptr, FItemRects));
}

void TMenuBar2000::SelectIndex(int index, TMenuItem* item)
{
    FHotIndex = index;
    SetHotItem(item);
    FHotIndex = FHotItem ? index : -1;
}

void TMenuBar2000::SetHotItem(TMenuItem* item)
{
    if (!item || (item == FHotItem && FItemState != 0) || InState(csDestroying))
        return;
    const bool dropDownMode = FDropDown->IsShowing() || (FItemState == 2 && !FKeyboardMode) || FItemState == 3;
    if (dropDownMode && FDropDown->PopupForm()) {
        auto closing = std::move(FDropDown->OnMenuClose);  // switching items, not closing the bar
        FDropDown->PopupForm()->HideMenu();
        FDropDown->OnMenuClose = std::move(closing);
    }
    FHotItem = item;
    FItemState = ItemStateForNewHotItem(FItemState, item->Enabled, dropDownMode);
    FindItemRect(FItemRects, FHotIndex, item, FHotRect);
    Invalidate();
    if (!HasSubItems(item))
        return;
    if (!dropDownMode) {
        if (HotTrack && !FKeyboardMode)
            StartTimer(pdHoverOpen, 500);
        else if (FItemState == 1)
            StartTimer(pdLeaveCheck, 500);
        return;
    }
    if (FItemState == 2 || FItemState == 3)
        OpenDropDown(false, FKeyboardMode);
}

void TMenuBar2000::PushHotItem(bool keyboard)
{
    if (FHotItem && FHotItem->Enabled)
        FItemState = 2;
    Invalidate();
    OpenDropDown(false, keyboard);
}

void TMenuBar2000::OpenDropDown(bool expanded, bool keyboard)
{
    (void)expanded;
    if (!FHotItem || !FHotItem->Enabled)
        return;
    const bool vertical = Orientation == 1;
    POINT anchor = vertical ? POINT{FHotRect.left - 1, FHotRect.top} : POINT{FHotRect.left, FHotRect.bottom};
    ClientToScreen(Handle(), &anchor);
    FHotItem->Click();  // a top-level item's click runs as its menu opens
    auto* skinned = dynamic_cast<TMenuItem2000*>(FHotItem);
    TMenuItem2000* root = nullptr;
    if (skinned && skinned->AttachMenu()) {
        skinned->AttachMenu()->PrepareItems(true);
        root = skinned->AttachMenu()->Items();
    } else if (skinned && skinned->Count() > 0) {
        root = skinned;
    }
    if (!root) {
        if (keyboard || FKeyboardMode)
            CloseItem();
        return;
    }
    if (OnMenuPopup)
        OnMenuPopup(this, root);
    FDropDown->RootItem = root;
    IPopupMenuWindow& window = FDropDown->GetPopupForm();
    window.SetWindowOption(6, HotTrack);
    window.SetWindowOption(14, vertical);
    window.SetWindowOption(11, FItemState == 3);
    if (keyboard || FKeyboardMode)
        window.SetWindowOption(2, 0);
    StopTimer();
    FKeyboardMode = false;
    FDropDown->ShowPopup(anchor.x, anchor.y);
}

void TMenuBar2000::CloseItem()
{
    StopTimer();
    if (FDropDown->PopupForm())
        FDropDown->PopupForm()->SetWindowOption(3, 0);
    if (FItemState != 0) {
        FItemState = 0;
        FKeyboardMode = false;
        Rebuild(false);
    }
    ShowMenuHint("");
}

void TMenuBar2000::DropSelection()
{
    CloseItem();
    FHotItem = nullptr;
    FHotIndex = -1;
    FHotRect = TRect();
    Invalidate();
}

bool TMenuBar2000::CloseOnOutsideClick()
{
    if (!CloseMenus(false, 0))
        return false;
    CloseItem();
    if (FDropDown->IsShowing())
        FDropDown->PopupForm()->HideMenu();
    return true;
}

void TMenuBar2000::StartTimer(TPending action, UINT delay)
{
    FPending = action;
    SetTimer(Handle(), BarTimer, delay, nullptr);
}

void TMenuBar2000::StopTimer()
{
    FPending = pdNone;
    if (HandleAllocated())
        KillTimer(HandleOrNull(), BarTimer);
}

bool TMenuBar2000::CursorOverBarItem() const
{
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(HandleOrNull(), &p);
    return HitTest(TPoint(p)) != nullptr;
}

void TMenuBar2000::TimerFired()
{
    const TPending action = FPending;
    StopTimer();
    const bool over = CursorOverBarItem() || FDropDown->IsShowing();
    if (action == pdHoverOpen) {
        if (!over) {
            CloseItem();
            return;
        }
        FItemState = 2;
        Invalidate();
        OpenDropDown(false, FKeyboardMode);
    } else if (action == pdLeaveCheck && !over) {
        CloseItem();
    }
}

void TMenuBar2000::MouseMove(TShiftState shift, int x, int y)
{
    TCustomControl::MouseMove(shift, x, y);
    TMenuItem* item = HitTest({x, y});
    if (!item || (item == FHotItem && FItemState != 0))
        return;
    for (int k = 0; k < GetItemCount(); ++k)
        if (GetItem(k) == item) {
            SelectIndex(k, item);
            return;
        }
}

void TMenuBar2000::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    TMenuItem* item = HitTest({x, y});
    if (button != mbLeft || !item)
        return;
    if (item == FHotItem && FItemState == 2) {  // a second press closes the open item
        if (FDropDown->PopupForm())
            FDropDown->PopupForm()->HideMenu();
        CloseItem();
        return;
    }
    if (item != FHotItem)
        MouseMove(shift, x, y);
    PushHotItem(false);
}

void TMenuBar2000::MouseLeave()
{
    TCustomControl::MouseLeave();
    if (FItemState == 1 && !HotTrack)
        CloseItem();
}

void TMenuBar2000::WndProc(TMessage& message)
{
    if (message.Msg == WM_TIMER && message.WParam == BarTimer) {
        CallGuarded([this] { TimerFired(); });
        message.Result = 0;
        return;
    }
    if (message.Msg == 0x507 || (message.Msg == 0x514 && message.WParam == 11)) {
        CallGuarded([this] { UpdateBar(); });
        message.Result = 0;
        return;
    }
    if (message.Msg == 0x508) {
        if (message.WParam == 0)
            CallGuarded([this] { CloseItem(); });
        message.Result = 0;
        return;
    }
    TCustomControl::WndProc(message);
}
