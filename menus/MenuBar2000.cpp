#include "MenuBar2000.h"

#include "MainMenu2000.h"
#include "MenuAccessible.h"
#include "MenuInputCore.h"
#include "MenuItemCache.h"
#include "MenuUtils.h"
#include "MenuUtilsCore.h"
#include "PopupMenu2000Form.h"
#include "PopupMenu2000FormParts.h"
#include "RaisedItemForm.h"
#include "ThemeSupport.h"
#include "framework/ImgList.h"
#include "framework/MainMenu.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

std::vector<TMenuBar2000*>& MenuBars()
{
    static std::vector<TMenuBar2000*> bars;
    return bars;
}

constexpr UINT_PTR BarTimer = 1;

// An item of the family with a hidden item somewhere below it.
bool HasHiddenItems(TMenuItem* item)
{
    if (!dynamic_cast<TMenuItem2000*>(item))
        return false;
    for (int k = 0; k < item->Count(); ++k) {
        TMenuItem* child = item->Items(k);
        if (auto* skinned = dynamic_cast<TMenuItem2000*>(child); skinned && skinned->GetHidden())
            return true;
        if (HasHiddenItems(child))
            return true;
    }
    return false;
}

// The keys the open drop-down passes on reach the bar that opened it.
HHOOK FilterHook = nullptr;

LRESULT CALLBACK MenuFilterProc(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_MENU && msg->message == WM_KEYDOWN)
        for (TMenuBar2000* bar : MenuBars())
            if (auto* window = dynamic_cast<TWinControl*>(bar->DropDown().PopupForm());
                window && window->HandleOrNull() == msg->hwnd && msg->hwnd) {
                CallGuarded([&] { bar->MenuKey(msg->wParam); });
                break;
            }
    return CallNextHookEx(FilterHook, code, wParam, lParam);
}

}  // namespace

TMenuItem* TopLevelAncestor(TMenuItem* item)
{
    while (item && item->Parent() && item->Parent()->Parent())
        item = item->Parent();
    return item;
}

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
    if (!FilterHook)
        FilterHook = SetWindowsHookExA(WH_MSGFILTER, MenuFilterProc, nullptr, GetCurrentThreadId());
    FOptions.SetAlignment(taCenter);
    FDropDown->OnMenuClose = [this](TObject*, bool) {
        if (FItemState == 2 || FItemState == 3)
            CloseItem();
    };
}

TMenuBar2000::~TMenuBar2000()
{
    Destroying();
    StopTimer();
    auto& bars = MenuBars();
    bars.erase(std::remove(bars.begin(), bars.end(), this), bars.end());
    if (bars.empty() && FilterHook) {
        UnhookWindowsHookEx(FilterHook);
        FilterHook = nullptr;
    }
    FRaised.reset();
    if (FDropDown->PopupForm())
        FDropDown->PopupForm()->HideMenu();
    ReleaseAccessible();
    if (FMenuFont)
        DeleteObject(FMenuFont);
    if (FItemFont)
        DeleteObject(FItemFont);
}

void TMenuBar2000::ForgetItem(const TMenuItem* item)
{
    if (FDropDown->RootItem == item) {
        if (FDropDown->IsShowing())
            FDropDown->PopupForm()->HideMenu();
        if (FDropDown->PopupForm())
            FDropDown->PopupForm()->SetRoot(nullptr, nullptr);
        FDropDown->RootItem = nullptr;
    }
    if (FHotItem == item) {
        FHotItem = nullptr;
        FHotIndex = -1;
        FItemState = 0;
    }
}

void ForgetMenuItemInBars(const TMenuItem* item)
{
    for (TMenuBar2000* bar : MenuBars())
        bar->ForgetItem(item);
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
    if (auto* menu = dynamic_cast<TMenu*>(FMenu))
        return menu->Items()->Count();
    return 0;
}

TMenuItem* TMenuBar2000::GetItem(int index) const
{
    if (index < 0 || index >= GetItemCount())
        return nullptr;
    if (auto* main = dynamic_cast<TMainMenu*>(FMenu))
        return main->MergedItems()[static_cast<size_t>(index)];
    return static_cast<TMenu*>(FMenu)->Items()->Items(index);
}

HFONT TMenuBar2000::MenuFont()
{
    if (!FMenuFont) {
        NONCLIENTMETRICSA metrics{};
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        FMenuFont = CreateFontIndirectA(&metrics.lfMenuFont);
    }
    return FMenuFont;
}

namespace {

// The look of a source of the family; none for a class-library menu.
const T_AM2000_MenuLook* SourceLook(TComponent* menu)
{
    if (auto* main = dynamic_cast<TMainMenu2000*>(menu))
        return main;
    return dynamic_cast<TCustomPopupMenu2000*>(menu);
}

TImageList* SourceImages(TComponent* menu)
{
    const T_AM2000_MenuLook* look = SourceLook(menu);
    return look ? dynamic_cast<TImageList*>(look->Images) : nullptr;
}

// The options of a source of the family, none for a class-library menu.
T_AM2000_MenuOptions* SourceOptions(TComponent* menu)
{
    if (auto* main = dynamic_cast<TMainMenu2000*>(menu))
        return &main->Options();
    auto* popup = dynamic_cast<TCustomPopupMenu2000*>(menu);
    return popup ? &popup->Options() : nullptr;
}

}  // namespace

bool TMenuBar2000::GetSystemFont() const
{
    const T_AM2000_MenuLook* look = SourceLook(FMenu);
    return !look || look->SystemFont();
}

bool TMenuBar2000::GetParentFont() const
{
    const T_AM2000_MenuLook* look = SourceLook(FMenu);
    return look && look->ParentFont();
}

bool TMenuBar2000::IsCtl3D() const
{
    const T_AM2000_MenuLook* look = SourceLook(FMenu);
    if (!look)
        return true;
    if (!look->SystemCtl3D)
        return look->Ctl3D();
    BOOL flat = FALSE;
    return !(SystemParametersInfoA(SPI_GETFLATMENU, 0, &flat, 0) && flat);
}

TBiDiMode TMenuBar2000::GetBiDiMode() const
{
    if (auto* main = dynamic_cast<TMainMenu2000*>(FMenu))
        return main->BiDiMode;
    auto* popup = dynamic_cast<TCustomPopupMenu2000*>(FMenu);
    return popup ? popup->BiDiMode : bdLeftToRight;
}

bool TMenuBar2000::GetSystemShadow() const
{
    const T_AM2000_MenuLook* look = SourceLook(FMenu);
    return look && look->SystemShadow;
}

void TMenuBar2000::ApplyMenuBarOptions(const T_AM2000_MenuBarOptions& options)
{
    SetHotTrack(options.HotTrack);
    if (options.BorderIconsStyle != BorderIconsStyle) {
        BorderIconsStyle = options.BorderIconsStyle;
        Invalidate();
    }
}

HFONT TMenuBar2000::ItemFont()
{
    LOGFONTA font{};
    const T_AM2000_MenuLook* look = SourceLook(FMenu);
    if (GetSystemFont()) {
        GetObjectA(MenuFont(), sizeof font, &font);
    } else if (GetParentFont() && Parent()) {
        GetObjectA(Parent()->Font.Handle(), sizeof font, &font);
    } else if (look) {
        static const T_AM2000_Font standard("MS Sans Serif", -11, clWindowText, 0);  // the own font before one is set
        font = MenuLogFont(look->Font() ? *look->Font() : standard);
    } else {
        GetObjectA(Font.Handle(), sizeof font, &font);
    }
    if (!FItemFont || memcmp(&font, &FItemLogFont, sizeof font) != 0) {
        if (FItemFont)
            DeleteObject(FItemFont);
        FItemFont = CreateFontIndirectA(&font);
        FItemLogFont = font;
    }
    return FItemFont;
}

TSize TMenuBar2000::GetGlyphSize(TMenuItem* item) const
{
    if (!item)
        return {};
    const std::string caption = ItemCaption(item);
    if (auto* skinned = dynamic_cast<TMenuItem2000*>(item)) {
        if (MenuItemCache().ImageIndexOf(caption) >= 0)
            return {MenuGlyphSize, MenuGlyphSize};
        if (TImageList* images = SourceImages(FMenu); images && skinned->GetImageIndex() != -1)
            return {images->Width(), images->Height()};
    }
    if (MenuItemCache().Contains(caption))
        return {MenuGlyphSize, MenuGlyphSize};
    return {};
}

void TMenuBar2000::BuildToolTips()
{
    FToolTip.reset();
    auto* popup = dynamic_cast<TCustomPopupMenu2000*>(FMenu);
    if (!FMenu || (popup && !popup->ShowHint()) || !HandleAllocated())
        return;
    FToolTip = std::make_unique<T_AM2000_ToolTipWindow>(HandleOrNull());
    std::vector<std::pair<TObject*, TSize>> sizes;
    for (int k = 0; k < GetItemCount(); ++k)
        if (TMenuItem* item = GetItem(k); item->Visible)
            sizes.emplace_back(item, MeasureItem(item));
    for (const TBarItemRect& region : LayoutBarItems(sizes, false))
        if (const std::string& hint = static_cast<TMenuItem*>(region.Item)->Hint; !hint.empty())
            FToolTip->AddTool(region.Rect, hint);
    FToolTip->Activate();
}

TSize TMenuBar2000::MeasureItem(TMenuItem* item)
{
    if (!item)
        return {};
    const std::string caption = StripAccelerators(ItemCaption(item));
    TSize text;
    if (!caption.empty()) {
        const HDC dc = CreateCompatibleDC(nullptr);
        const HGDIOBJ old = SelectObject(dc, ItemFont());
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
    const int start = BarItemsStart(SystemItemWidth(), vertical, RightToLeft());
    FItemRects = LayoutBarItems(sizes, vertical, start);
    // Every item spans the bar's full depth.
    int depth = 0, length = 0;
    for (const auto& r : FItemRects) {
        depth = std::max(depth, vertical ? r.Rect.Width() : r.Rect.Height());
        length = std::max<int>(length, vertical ? r.Rect.bottom : r.Rect.right);
    }
    // Right to left the system item follows the items.
    length += BorderIconsWidth() + (vertical || start > 0 ? 0 : SystemItemWidth());
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
        if (T_AM2000_MenuOptions* options = SourceOptions(FMenu)) {
            FOptions.Assign(*options);
            FOptions.SetAlignment(taCenter);
            for (auto role : {T_AM2000_Margins::Left, T_AM2000_Margins::Right, T_AM2000_Margins::Gutter})
                FOptions.Margins().Set(role, 0);
        }
        Layout();
        FHotIndex = HotIndexAfterRebuild(FHotItem != nullptr, FHotIndex, GetItemCount());
        FHotItem = FHotIndex >= 0 ? GetItem(FHotIndex) : nullptr;
        if (FHotItem)
            FindItemRect(FItemRects, FHotIndex, FHotItem, FHotRect);
        BuildToolTips();
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
    PaintMdiParts(dc);
}

void TMenuBar2000::DrawItem(HDC dc, const TBarItemRect& record, bool raised)
{
    auto* item = static_cast<TMenuItem*>(record.Item);
    const bool hot = item == FHotItem;
    const bool threeD = IsCtl3D();
    const int pressed = hot && FItemState == 2 && !raised && threeD ? 1 : 0;
    RECT rect = record.Rect;
    // The flat look highlights the hot item; the 3D look edges it.
    const bool selected = hot && FItemState != 0 && !threeD;
    if (selected && !raised) {
        const HBRUSH brush = CreateSolidBrush(GetSysColor(COLOR_HIGHLIGHT));
        FillRect(dc, &rect, brush);
        DeleteObject(brush);
    }
    if (Orientation == 1)
        PaintTurnedItem(dc, item, rect, pressed, raised || selected);
    else
        PaintItem(dc, item, rect, pressed, pressed, raised || selected);
    if (!hot || raised)
        return;
    if (!threeD) {
        FrameRect(dc, &rect, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
        return;
    }
    switch (FItemState) {
    case 1: DrawEdge(dc, &rect, BDR_RAISEDINNER, BF_RECT); break;
    case 2: case 3: DrawEdge(dc, &rect, BDR_SUNKENOUTER, BF_RECT); break;
    default: FrameRect(dc, &rect, GetSysColorBrush(COLOR_MENU)); break;
    }
}

void TMenuBar2000::PaintItem(HDC dc, TMenuItem* item, const RECT& rect, int dx, int dy, bool raised)
{
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const int textColor = !item->Enabled ? COLOR_GRAYTEXT : raised ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT;
    const COLORREF oldColor = SetTextColor(dc, GetSysColor(textColor));
    const HGDIOBJ oldFont = SelectObject(dc, ItemFont());
    RECT text = rect;
    OffsetRect(&text, dx, dy);
    if (const TSize glyph = GetGlyphSize(item); glyph.cx > 0) {
        const int x = text.left + 4, y = (text.top + text.bottom - glyph.cy) / 2;
        auto* skinned = dynamic_cast<TMenuItem2000*>(item);
        const int index = MenuItemCache().ImageIndexOf(ItemCaption(item));
        if (TImageList* images = SourceImages(FMenu); skinned && index < 0 && images && skinned->GetImageIndex() >= 0)
            images->Draw(dc, x, y, skinned->GetImageIndex());
        else if (index >= 0)
            DrawGlyphByIndex(dc, x, y, item->Enabled, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_GRAYTEXT), index);
        text.left += glyph.cx + 3;
    }
    const std::string shown = ItemCaption(item);
    DrawTextA(dc, shown.c_str(), static_cast<int>(shown.size()), &text,
              DT_SINGLELINE | DT_CENTER | DT_VCENTER | (FCues ? 0 : DT_HIDEPREFIX));
    SelectObject(dc, oldFont);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
}

namespace {

// A 32-bit top-down image selected into a device context of its own.
class TPixelImage {
public:
    TPixelImage(int width, int height)
        : FDC(CreateCompatibleDC(nullptr)), FImage(width, height), FSelect(FDC.Get(), FImage.Get())
    {
    }
    HDC DC() const { return FDC.Get(); }
    uint32_t* Pixels() const { return static_cast<uint32_t*>(FImage.Bits()); }

private:
    TMemoryDC FDC;
    TDIBSection FImage;
    TSelectObject FSelect;
};

}  // namespace

// A vertical bar's item: painted flat into an image of the item's length by its depth, on what
// lies under it, then turned a quarter clockwise, so the caption reads from top to bottom with its
// top towards the bar's right edge and the glyph sits above the caption.
void TMenuBar2000::PaintTurnedItem(HDC dc, TMenuItem* item, const RECT& rect, int pressed, bool raised)
{
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (w <= 0 || h <= 0)
        return;
    TPixelImage upright(w, h), flat(h, w);
    uint32_t* const u = upright.Pixels();
    uint32_t* const f = flat.Pixels();
    if (!u || !f)
        return;
    BitBlt(upright.DC(), 0, 0, w, h, dc, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    // flat (x, y) is upright (w - 1 - y, x).
    for (int y = 0; y < w; ++y)
        for (int x = 0; x < h; ++x)
            f[static_cast<size_t>(y) * static_cast<size_t>(h) + static_cast<size_t>(x)] =
                u[static_cast<size_t>(x) * static_cast<size_t>(w) + static_cast<size_t>(w - 1 - y)];
    PaintItem(flat.DC(), item, RECT{0, 0, h, w}, pressed, -pressed, raised);
    GdiFlush();
    for (int y = 0; y < w; ++y)
        for (int x = 0; x < h; ++x)
            u[static_cast<size_t>(x) * static_cast<size_t>(w) + static_cast<size_t>(w - 1 - y)] =
                f[static_cast<size_t>(y) * static_cast<size_t>(h) + static_cast<size_t>(x)];
    BitBlt(dc, rect.left, rect.top, w, h, upright.DC(), 0, 0, SRCCOPY);
}

TMenuItem* TMenuBar2000::HitTest(TPoint point) const
{
    TMenuItem* system = SystemItemWidth() > 0 ? FSystemItem.get() : nullptr;
    return static_cast<TMenuItem*>(BarHitTest(point, GetSystemItemRect(), system, FItemRects));
}

void TMenuBar2000::SelectIndex(int index, TMenuItem* item)
{
    NotifyMenuEvent(EVENT_OBJECT_STATECHANGE, Handle(), FHotIndex + 1);
    FHotIndex = index;
    SetHotItem(item);
    FHotIndex = FHotItem ? index : -1;
    NotifyMenuEvent(EVENT_OBJECT_STATECHANGE, Handle(), FHotIndex + 1);
}

void TMenuBar2000::NotifyFocus() { NotifyMenuEvent(EVENT_OBJECT_FOCUS, Handle(), FHotIndex + 1); }

void TMenuBar2000::SetHotItem(TMenuItem* item)
{
    if (!item || (item == FHotItem && FItemState != 0) || InState(csDestroying))
        return;
    const bool dropDownMode = FDropDown->IsShowing() || (FItemState == 2 && !FKeyboardMode) || FItemState == 3;
    if (dropDownMode && FDropDown->PopupForm()) {
        auto closing = std::move(FDropDown->OnMenuClose);  // switching items, not closing the bar
        FDropDown->PopupForm()->HideMenu();
        FDropDown->OnMenuClose = std::move(closing);
        if (FRaised)
            FRaised->HideItem();
    }
    FHotItem = item;
    FItemState = ItemStateForNewHotItem(FItemState, item->Enabled, dropDownMode);
    if (item == FSystemItem.get())
        FHotRect = GetSystemItemRect();
    else
        FindItemRect(FItemRects, FHotIndex, item, FHotRect);
    Invalidate();
    NotifyFocus();
    if (item != FSystemItem.get() && !HasSubItems(item))
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

void TMenuBar2000::SelectItem(TMenuItem* item)
{
    TMenuItem* top = TopLevelAncestor(item);
    const int index = IndexOf(top);
    if (index < 0)
        return;
    if (top != FHotItem) {
        if (FDropDown->IsShowing())
            FDropDown->PopupForm()->HideMenu();
        SelectIndex(index, top);
    }
    if (item == top)
        return;  // a bar item is selected on the bar; its drop-down stays as it is
    if (!FDropDown->IsShowing())
        PushHotItem(false);
    if (auto* window = dynamic_cast<TPopupMenu2000Form*>(FDropDown->PopupForm()); window && FDropDown->IsShowing())
        window->SelectDownTo(item);
    Rebuild(false);
}

void TMenuBar2000::ShowRaisedItem()
{
    if (!FRaised) {
        FRaised = std::make_unique<T_AM2000_RaisedItemForm>(nullptr, FOptions, GetSystemShadow());
        FRaised->ItemPainter = [this](HDC dc, const RECT& r) {
            if (FHotItem)
                DrawItem(dc, TBarItemRect{FHotItem, r}, true);
        };
        FRaised->OnClickedAgain = [this] { CloseItem(); };
    }
    FRaised->SetItem(FHotItem, HotRectOnScreen());
    FRaised->ShowItem();
}

TRect TMenuBar2000::HotRectOnScreen() const
{
    POINT corner{FHotRect.left, FHotRect.top};
    ClientToScreen(HandleOrNull(), &corner);
    return TRect(corner.x, corner.y, corner.x + FHotRect.Width(), corner.y + FHotRect.Height());
}

void TMenuBar2000::OpenDropDown(bool expanded, bool keyboard)
{
    if (!FHotItem || !FHotItem->Enabled)
        return;
    const bool vertical = Orientation == 1;
    const TPoint at = DropDownAnchor(FHotRect, vertical, RightToLeft());
    POINT anchor{at.x, at.y};
    ClientToScreen(Handle(), &anchor);
    if ((FOptions.Flags() & FlagBit(mfRaiseMenuBarItem)) && HasSubItems(FHotItem))
        ShowRaisedItem();
    FHotItem->Click();  // a top-level item's click runs as its menu opens
    // The system item drops down the maximised MDI child's system menu; its commands go to the child.
    TCustomForm* child = FHotItem == FSystemItem.get() ? MaximisedChild() : nullptr;
    const HMENU systemMenu = child ? MaximisedSystemMenu(*child) : nullptr;
    auto* skinned = dynamic_cast<TMenuItem2000*>(FHotItem);
    TMenuItem2000* root = nullptr;
    if (skinned && skinned->AttachMenu()) {
        skinned->AttachMenu()->PrepareItems(true);
        root = skinned->AttachMenu()->Items();
    } else if (skinned && skinned->Count() > 0) {
        root = skinned;
    }
    if (!root && !systemMenu) {
        if (keyboard || FKeyboardMode)
            CloseItem();
        return;
    }
    if (OnMenuPopup)
        OnMenuPopup(this, root);
    if (systemMenu)
        SendMessageA(OwningForm()->Handle(), WM_INITMENU, reinterpret_cast<WPARAM>(systemMenu), 0);
    FDropDown->RootItem = root;
    FDropDown->RootHandle = systemMenu;
    // Its look too: colours, margins, title, fonts, 3D frame and image lists; a class-library
    // menu leaves the defaults.
    if (T_AM2000_MenuOptions* options = SourceOptions(FMenu))
        FDropDown->Options().Assign(*options);
    if (const T_AM2000_MenuLook* look = SourceLook(FMenu)) {
        FDropDown->AssignLook(*look);
    } else {
        const T_AM2000_MenuLook standard;
        FDropDown->AssignLook(standard);
    }
    FDropDown->BiDiMode = GetBiDiMode();
    T_AM2000_Flags flags = FDropDown->Options().Flags();
    FDropDown->Options().SetFlags(expanded ? flags | FlagBit(mfHiddenIsVisible) : flags & ~FlagBit(mfHiddenIsVisible));
    IPopupMenuWindow& window = FDropDown->GetPopupForm();
    window.SetWindowOption(12, child ? HandleToLong(child->HandleOrNull()) : 0);
    window.SetWindowOption(7, FCues);
    window.SetWindowOption(6, HotTrack);
    window.SetWindowOption(14, vertical || RightToLeft());
    window.SetWindowOption(11, FItemState == 3);
    // The drop-down stands for the item's submenu: it answers the item's adapter.
    if (auto* control = dynamic_cast<TWinControl*>(FDropDown->PopupForm()))
        control->Perform(WM_AM2000_SETOPTION, 16,
                         reinterpret_cast<LPARAM>(skinned ? static_cast<IAccessible*>(skinned->Adapter()) : nullptr));
    const bool selectFirst = keyboard || FKeyboardMode;
    StopTimer();
    FKeyboardMode = false;
    FDropDown->ShowPopup(anchor.x, anchor.y);
    // The window has its rows only once it shows.
    if (selectFirst && FDropDown->IsShowing())
        window.SetWindowOption(2, 0);
    if (!expanded && !(FOptions.Flags() & FlagBit(mfNoAutoShowHidden)) && HasHiddenItems(FHotItem))
        StartTimer(pdExpandCheck, 2000);
}

void TMenuBar2000::CloseItem()
{
    StopTimer();
    if (FRaised)
        FRaised->HideItem();
    if (FDropDown->PopupForm())
        FDropDown->PopupForm()->SetWindowOption(3, 0);
    // A closed drop-down no longer holds the keys: they come to the bars again.
    if (CurrentPopupMenu() == FDropDown.get() && !FDropDown->IsShowing())
        SetCurrentPopupMenu(nullptr);
    if (FItemState != 0) {
        FItemState = 0;
        FKeyboardMode = false;
        FCues = false;
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
    if (action == pdExpandCheck) {
        POINT p{};
        GetCursorPos(&p);
        ScreenToClient(Handle(), &p);
        if (FDropDown->IsShowing() && !(FDropDown->Options().Flags() & FlagBit(mfHiddenIsVisible)) &&
            FItemState == 2 && PointInRect(TRect(ClientRect()), TPoint(p)))
            if (auto* window = dynamic_cast<TWinControl*>(FDropDown->PopupForm()))
                SendMessageA(window->HandleOrNull(), WM_AM2000_EXPAND, 0, 0);
        return;
    }
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
    if (FToolTip)
        FToolTip->RelayMouseMove(POINT{x, y});
    TMenuItem* item = HitTest({x, y});
    if (!item || (item == FHotItem && FItemState != 0))
        return;
    if (const int index = IndexOf(item); index >= 0 || item == FSystemItem.get())
        SelectIndex(index, item);
}

void TMenuBar2000::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    if (button == mbLeft && BorderIconPressed({x, y}))
        return;
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
    if (message.Msg == 0x507 || message.Msg == CM_MENUCHANGED || (message.Msg == 0x514 && message.WParam == 11)) {
        CallGuarded([this] { UpdateBar(); });
        message.Result = 0;
        return;
    }
    if ((message.Msg >= WM_KEYDOWN && message.Msg <= WM_SYSCHAR) || message.Msg == WM_SYSKEYUP) {
        bool taken = false;
        CallGuarded([&] { taken = KeyMessage(message.Msg, message.WParam, message.LParam); });
        message.Result = taken ? 1 : 0;
        return;
    }
    if (message.Msg == WM_GETOBJECT && static_cast<DWORD>(message.LParam) == static_cast<DWORD>(OBJID_MENU)) {
        CallGuarded([&] { message.Result = LresultFromObject(__uuidof(IAccessible), message.WParam, Accessible()); });
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

// ---- Keys ----

int TMenuBar2000::IndexOf(TMenuItem* item) const
{
    for (int k = 0; k < GetItemCount(); ++k)
        if (GetItem(k) == item)
            return k;
    return -1;
}

void TMenuBar2000::EnterBarMode()
{
    StopTimer();
    if (!FHotItem) {
        const int first = NextBarItem(-1, GetItemCount(), 1, [this](int k) { return GetItem(k)->Visible; });
        if (first < 0)
            return;
        FHotIndex = first;
        FHotItem = GetItem(first);
    }
    FindItemRect(FItemRects, FHotIndex, FHotItem, FHotRect);
    FItemState = 3;
    FCues = true;
    Invalidate();
}

void TMenuBar2000::MoveHot(int step)
{
    const int index = NextBarItem(FHotIndex, GetItemCount(), step, [this](int k) { return GetItem(k)->Visible; });
    if (index < 0)
        return;
    TMenuItem* item = GetItem(index);
    if (FDropDown->IsShowing()) {  // the next item's drop-down opens with its first row selected
        FKeyboardMode = true;
        SelectIndex(index, item);
        return;
    }
    FHotIndex = index;
    FHotItem = item;
    FindItemRect(FItemRects, FHotIndex, FHotItem, FHotRect);
    Invalidate();
}

bool TMenuBar2000::OpenByAccelerator(char key)
{
    std::vector<TAcceleratorRow> rows;
    for (int k = 0; k < GetItemCount(); ++k) {
        TMenuItem* item = GetItem(k);
        rows.push_back({item->Visible ? ItemCaption(item) : std::string("-"), item->Enabled});
    }
    const int index = FindAcceleratorRow(rows, key);
    if (index < 0)
        return false;
    if (FDropDown->IsShowing()) {
        FKeyboardMode = true;
        SelectIndex(index, GetItem(index));
        return true;
    }
    FHotIndex = index;
    FHotItem = GetItem(index);
    EnterBarMode();
    OpenDropDown(false, true);
    return true;
}

bool TMenuBar2000::KeyMessage(UINT msg, WPARAM key, LPARAM data)
{
    const bool down = msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN;
    if (down)
        FMenuKeyReset = false;  // a press the bar sees is a new one
    if (down && key == VK_MENU) {
        if (!(data & (1 << 30)))
            FAltAlone = true;
        return false;
    }
    const bool altAlone = FAltAlone;
    if (down)
        FAltAlone = false;
    // The release of the Alt that closed a drop-down belongs to that close, not to bar mode.
    if (msg == WM_SYSKEYUP && key == VK_MENU && FMenuKeyReset) {
        FMenuKeyReset = false;
        return true;
    }
    // Alt let go alone, or F10: in or out of bar mode. F10's release is taken too, so that the
    // form's default handling enters no menu loop of its own.
    if ((msg == WM_SYSKEYUP && key == VK_MENU && altAlone) || (msg == WM_SYSKEYDOWN && key == VK_F10)) {
        if (FItemState == 3)
            CloseItem();
        else
            EnterBarMode();
        return true;
    }
    if (msg == WM_SYSKEYUP && (key == VK_F10 || key == VK_MENU))
        return FItemState == 3;
    const char letter = static_cast<char>(MapVirtualKeyA(static_cast<UINT>(key), MAPVK_VK_TO_CHAR));
    if (msg == WM_SYSKEYDOWN)
        return letter > ' ' && OpenByAccelerator(letter);
    if (FItemState != 3)
        return false;
    if (msg != WM_KEYDOWN)
        return true;  // releases and characters of bar mode go no further
    const bool vertical = Orientation == 1;
    switch (key) {
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: {
        const bool along = vertical ? (key == VK_UP || key == VK_DOWN) : (key == VK_LEFT || key == VK_RIGHT);
        if (along)
            MoveHot(key == VK_LEFT || key == VK_UP ? -1 : 1);
        else if (key == (vertical ? VK_RIGHT : VK_DOWN))
            OpenDropDown(false, true);
        break;
    }
    case VK_RETURN: OpenDropDown(false, true); break;
    case VK_ESCAPE: CloseItem(); break;
    default:
        if (letter > ' ')
            OpenByAccelerator(letter);
        break;
    }
    return true;
}

void TMenuBar2000::MenuKey(WPARAM key)
{
    if (key == VK_LEFT || key == VK_RIGHT)
        MoveHot(key == VK_LEFT ? -1 : 1);
}
