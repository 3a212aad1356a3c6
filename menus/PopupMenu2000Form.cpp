#include "PopupMenu2000Form.h"

#include "DropShadow.h"
#include "MenuAccessible.h"
#include "MenuBar2000.h"
#include "MenuItemCache.h"
#include "MenuUtils.h"
#include "PopupMenu2000FormParts.h"
#include "RaisedItemForm.h"
#include "SkinPictures.h"
#include "ThemeSupport.h"
#include "framework/ImgList.h"

#include <mmsystem.h>

#include <algorithm>
#include <cstdlib>

using M = T_AM2000_Margins;
using C = T_AM2000_Colors;

// ---- Family values ----

namespace {

using TSetLayered = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
using TNotifyWinEvent = void(WINAPI*)(DWORD, HWND, LONG, LONG);

TSetLayered BoundSetLayered()
{
    static const auto entry = reinterpret_cast<TSetLayered>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SetLayeredWindowAttributes")));
    return entry;
}

bool LayeredSwitch = true;
TMenuSoundPlayer SoundPlayer;
int OpenWindows = 0;
std::function<void()> TimerCallback;
UINT_PTR TimerId = 0;
const void* TimerObject = nullptr;
int TimerCode = 0;

void CALLBACK MenuTimerProc(HWND, UINT, UINT_PTR, DWORD)
{
    const std::function<void()> callback = TimerCallback;
    if (callback)
        CallGuarded(callback);
}

TSpiAnswer AskSpi(UINT action)
{
    BOOL on = FALSE;
    if (!SystemParametersInfoA(action, 0, &on, 0))
        return TSpiAnswer::Failed;
    return on ? TSpiAnswer::On : TSpiAnswer::Off;
}

bool SpiOn(UINT action) { return AskSpi(action) == TSpiAnswer::On; }

}  // namespace

void PlayMenuSound(const std::string& name)
{
    if (name.empty())
        return;
    if (SoundPlayer) {
        SoundPlayer(name);
        return;
    }
    if (MenuSoundSwitch)
        PlaySoundA(name.c_str(), GetModuleHandleA(nullptr), 0x40017);
    else
        sndPlaySoundA(name.c_str(), SND_ASYNC | SND_NODEFAULT | SND_NOSTOP);
}

void NotifyMenuEvent(DWORD event, HWND wnd, LONG child)
{
    static const auto entry = reinterpret_cast<TNotifyWinEvent>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "NotifyWinEvent")));
    if (entry)
        entry(event, wnd, OBJID_MENU, child);
}

TNativeEntry ReadNativeEntry(HMENU menu, int position)
{
    TNativeEntry e;
    char text[256] = {};
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof text - 1;
    if (GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) {
        e.Type = info.fType;
        e.State = info.fState;
        e.Id = info.wID;
        e.SubMenu = info.hSubMenu;
        e.Text = text;
    }
    return e;
}

const char* SystemCommandGlyphName(UINT id)
{
    switch (id & 0xFFF0) {
    case SC_CLOSE: return "SYSTEMCLOSE";
    case SC_RESTORE: return "SYSTEMRESTORE";
    case SC_MOVE: return "SYSTEMMOVE";
    case SC_SIZE: return "SYSTEMSIZE";
    case SC_MINIMIZE: return "SYSTEMMINIMIZE";
    case SC_MAXIMIZE: return "SYSTEMMAXIMIZE";
    default: return nullptr;
    }
}

bool MenuSoundSwitch = false;
std::string MenuPopupSound = "MenuPopup";
std::string MenuCloseSound;

void SetMenuLayeredWindows(bool available) { LayeredSwitch = available; }
bool MenuLayeredWindows() { return LayeredSwitch && BoundSetLayered() != nullptr; }
void SetMenuSoundPlayer(TMenuSoundPlayer player) { SoundPlayer = std::move(player); }
int OpenMenuWindows() { return OpenWindows; }

void StartMenuTimer(UINT elapse, std::function<void()> callback, const void* object, int code)
{
    StopMenuTimer();
    TimerCallback = std::move(callback);
    TimerObject = object;
    TimerCode = code;
    TimerId = SetTimer(nullptr, 0, elapse, MenuTimerProc);
}

void StopMenuTimer()
{
    if (TimerId)
        KillTimer(nullptr, TimerId);
    TimerId = 0;
    TimerCallback = nullptr;
    TimerObject = nullptr;
    TimerCode = 0;
}

bool IsMenuTimerFor(const void* object, int code)
{
    return TimerId && TimerObject == object && TimerCode == code;
}

void UseMenuWindows()
{
    SetPopupWindowFactory([](TCustomPopupMenu2000& menu) -> std::unique_ptr<IPopupMenuWindow> {
        return std::make_unique<TPopupMenu2000Form>(nullptr, &menu);
    });
}

// ---- Creation ----

TPopupMenu2000Form::TPopupMenu2000Form(TComponent* owner, TCustomPopupMenu2000* menu)
    : TCustomPopupMenu2000Form(owner), FMenu(menu)
{
    MenuUnitStart();
    BorderStyle = bsNone;
    FormStyle = fsStayOnTop;
    Position = poDesigned;
    FKind = FSavedKind = anVertSlide;
    TWinControl::SetBounds(0, 0, 0, 0);
    FPictures = std::make_unique<TSkinPictures>();
    AllocateBuffer(1, 1);
}

TPopupMenu2000Form::~TPopupMenu2000Form()
{
    if (TimerId && HandleAllocated())
        StopMenuTimer();
    FToolTip.reset();
    FShadow.reset();
    if (FOwnAccessible)
        DisconnectWindowAccessible(FOwnAccessible);
    FRaised.reset();
    if (FParentWindow && FParentWindow->FChild == this)
        FParentWindow->FChild = nullptr;
    if (FChild)
        FChild->FParentWindow = nullptr;
    if (FCounted)
        --OpenWindows;
    ForgetFloatingWindow(this);
    if (FBufferDC) {
        SelectObject(FBufferDC, FBufferOld);
        DeleteObject(FBuffer);
        DeleteDC(FBufferDC);
    }
    if (FFont)
        DeleteObject(FFont);
}

void TPopupMenu2000Form::CreateParams(TCreateParams& params)
{
    TCustomPopupMenu2000Form::CreateParams(params);
    params.WinClassName = "TPopupMenu2000Form";
    params.ExStyle |= WS_EX_TOOLWINDOW;
    params.ClassStyle |= CS_SAVEBITS;
    params.Style &= ~WS_VISIBLE;
}

void TPopupMenu2000Form::AllocateBuffer(int width, int height)
{
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (FBufferDC && width == FBufferWidth && height == FBufferHeight)
        return;
    if (!FBufferDC)
        FBufferDC = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIB24(FBufferDC, width, height, bits);
    const HGDIOBJ old = SelectObject(FBufferDC, bitmap);
    if (FBuffer)
        DeleteObject(FBuffer);
    else
        FBufferOld = old;
    FBuffer = bitmap;
    FBufferWidth = width;
    FBufferHeight = height;
    if (FFont)
        SelectObject(FBufferDC, FFont);
}

void TPopupMenu2000Form::SetState(StateBit bit, bool on)
{
    if (on)
        FState |= uint64_t(1) << bit;
    else
        FState &= ~(uint64_t(1) << bit);
}

// ---- The component's interface ----

void TPopupMenu2000Form::SetRoot(TMenuItem* item, HMENU handle)
{
    FRoot = item;
    FRootHandle = handle;
    FParentWindow = nullptr;
}

void TPopupMenu2000Form::SetAnimation(T_AM2000_Animation animation) { FKind = FSavedKind = animation; }

void TPopupMenu2000Form::SetWindowOption(int kind, int value)
{
    Perform(WM_AM2000_SETOPTION, static_cast<WPARAM>(kind), static_cast<LPARAM>(value));
}

void TPopupMenu2000Form::SetStateFlags(unsigned bits) { SetState(wsOwnComponent, bits & 1); }
bool TPopupMenu2000Form::Enabled() const { return !HandleAllocated() || IsWindowEnabled(HandleOrNull()); }
void TPopupMenu2000Form::Enable() { EnableWindow(Handle(), TRUE); }

void TPopupMenu2000Form::PlaceAt(int x, int y)
{
    FPopupX = x;
    FPopupY = y;
}

void TPopupMenu2000Form::HideMenu()
{
    if (!HandleAllocated())
        return;
    Perform(WM_AM2000_STOPTIMER);
    Perform(WM_AM2000_CLOSE, 1);
    Perform(WM_AM2000_HIDE, 0, 0);
}

bool TPopupMenu2000Form::IsShowing() const { return Width() >= 1 && Height() >= 1 && !State(wsClosing); }

void TPopupMenu2000Form::ItemChanged(TMenuItem* item, int kind)
{
    if (HandleAllocated())
        Perform(WM_AM2000_ITEMCHANGED, reinterpret_cast<WPARAM>(item), kind);
}

// ---- Preparation and measuring ----

TCustomForm* TPopupMenu2000Form::OwnerForm() const
{
    return FMenu ? dynamic_cast<TCustomForm*>(FMenu->Owner()) : nullptr;
}

void TPopupMenu2000Form::Prepare()
{
    // 1. The owners hear WM_INITMENUPOPUP.
    if (FRootHandle && !State(wsNoInitMenu)) {
        if (TCustomForm* form = OwnerForm(); form && form->HandleAllocated())
            SendMessageA(form->HandleOrNull(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(FRootHandle), 0);
        if (FInitMenuOwner)
            SendMessageA(FInitMenuOwner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(FRootHandle), 0);
    }
    // 3. Options: the component's, with the root item's own parts over them.
    if (FMenu)
        FOptions.Assign(FMenu->Options());
    if (auto* root = dynamic_cast<TMenuItem2000*>(FRoot); root && root->HasOwnOptions()) {
        T_AM2000_ItemOptions& own = root->Options();
        if (!own.Parent(T_AM2000_Options::pkColors))
            FOptions.SetColors(&own.Colors());
        if (!own.Parent(T_AM2000_Options::pkMargins))
            FOptions.SetMargins(&own.Margins());
        if (!own.Parent(T_AM2000_Options::pkTitle))
            FOptions.SetTitle(&own.Title());
        if (!own.Parent(T_AM2000_Options::pkSkin))
            FOptions.SetSkin(&own.Skin());
    }
    FOptions.UpToDateColors();
    // 4. Look.
    T_AM2000_Margins& margins = FOptions.Margins();
    if (FParentWindow) {
        SetState(wsThreeD, FParentWindow->State(wsThreeD));
        const int bevel = FParentWindow->FOptions.Margins().Get(M::Bevel);
        const int border = FParentWindow->FOptions.Margins().Get(M::Border);
        if (bevel != 0)
            margins.Set(M::Bevel, bevel);
        if (border != 1)
            margins.Set(M::Border, border);
    } else if (!FMenu || !FMenu->SystemCtl3D) {
        SetState(wsThreeD, FMenu ? FMenu->Ctl3D() : true);
    } else if (SpiOn(SPI_GETFLATMENU)) {
        SetState(wsThreeD, false);
        if (margins.Get(M::Bevel) == 0)
            margins.Set(M::Bevel, 1);
        if (margins.Get(M::Border) == 1)
            margins.Set(M::Border, 2);
    } else {
        SetState(wsThreeD, true);
    }
    if (Floating())
        SetState(wsThreeD, false);
    // 5. to 7.
    if (!FParentWindow && !Floating())
        FKind = FOptions.Animation();
    if (FParentWindow && FParentWindow->State(wsCustomising))
        SetState(wsCustomising, true);
    if (State(wsCustomising)) {
        SetState(wsHiddenShown, true);
        FOptions.SetFlags(FOptions.Flags() & ~FlagBit(mfDropShadow));
        if (!MenuLayeredWindows())
            FOptions.SetOpacity(100);
    }
    if (FOptions.Flags() & FlagBit(mfHiddenIsVisible))
        SetState(wsHiddenShown, true);
    SetState(wsHiddenAsRegular, FOptions.Flags() & FlagBit(mfHiddenAsRegular));
    // 8. Font and line height.
    LOGFONTA font{};
    if (FMenu && FMenu->Font()) {
        font = MenuLogFont(*FMenu->Font());
    } else {
        NONCLIENTMETRICSA metrics{};
        metrics.cbSize = sizeof metrics;
        if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
            GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
        else
            font = metrics.lfMenuFont;
    }
    const HFONT previous = FFont;
    FFont = CreateFontIndirectA(&font);
    SelectObject(FBufferDC, FFont);
    if (previous)
        DeleteObject(previous);
    SIZE hj{};
    GetTextExtentPoint32A(FBufferDC, "Hj", 2, &hj);
    FLayoutInput.TextHeight = hj.cy;
    FLineHeight = MenuLineHeight(margins.Get(M::Item), hj.cy);
}

HFONT TPopupMenu2000Form::MakeFont(bool bold, int pointsLess) const
{
    LOGFONTA font{};
    GetObjectA(FFont, sizeof font, &font);
    if (bold)
        font.lfWeight = FW_BOLD;
    if (pointsLess) {
        const int pixels = MulDiv(pointsLess, 96, 72);
        font.lfHeight = font.lfHeight < 0 ? std::min(font.lfHeight + pixels, -1L) : std::max(font.lfHeight - pixels, 1L);
    }
    return CreateFontIndirectA(&font);
}

void TPopupMenu2000Form::FillRows()
{
    FSources.clear();
    FInputs.clear();
    T_AM2000_Margins& margins = FOptions.Margins();
    FLayoutInput.Margins = {};
    for (int r = 0; r < M::RoleCount; ++r)
        FLayoutInput.Margins[static_cast<size_t>(r)] = margins.Get(static_cast<M::Role>(r));
    const bool floating = Floating();
    FLayoutInput.ThreeD = State(wsThreeD);
    FLayoutInput.Draggable = FOptions.Draggable();
    FLayoutInput.Floating = floating;
    FLayoutInput.TitleVisible = FOptions.Title().Visible;
    FLayoutInput.TitlePosition = FOptions.Title().Position;
    FLayoutInput.TitleWidth = FOptions.Title().Width;
    FLayoutInput.HiddenShown = State(wsHiddenShown);
    FLayoutInput.HiddenAsRegular = State(wsHiddenAsRegular);
    FLayoutInput.Customising = State(wsCustomising);
    FLayoutInput.LeftAlignedShortCuts = FOptions.Flags() & FlagBit(mfLeftAlignedShortCuts);
    FLayoutInput.Alignment = FOptions.Alignment();
    FLayoutInput.RightToLeft = Order().Mirrored;
    FLayoutInput.ScrollBarWidth = GetSystemMetrics(SM_CXVSCROLL);

    const HFONT bold = MakeFont(true, 0);
    const HFONT tiny = (FOptions.Flags() & FlagBit(mfTinyShortCuts)) ? MakeFont(false, 2) : nullptr;
    auto measure = [&](const std::string& text, HFONT font) {
        SIZE size{};
        const HGDIOBJ old = SelectObject(FBufferDC, font);
        GetTextExtentPoint32A(FBufferDC, text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(FBufferDC, old);
        return static_cast<int>(size.cx);
    };
    auto captionWidth = [&](const std::string& caption, bool isDefault) {
        int widest = 0;
        for (const std::string& line : SplitCaptionLines(caption))
            widest = std::max(widest, measure(StripAccelerators(line), isDefault ? bold : FFont));
        return widest;
    };

    const int itemCount = FRoot ? FRoot->Count() : 0;
    const int nativeCount = FRootHandle ? std::max(GetMenuItemCount(FRootHandle), 0) : 0;
    const int positions = std::max(itemCount, nativeCount);
    for (int pos = 0; pos < positions; ++pos) {
        TRowSource source;
        TMenuRowInput in;
        bool isDefault = false;
        std::string shortCut;
        if (pos < itemCount) {
            TMenuItem* item = FRoot->Items(pos);
            source.Item = item;
            auto* skinned = dynamic_cast<TMenuItem2000*>(item);
            const std::string text = skinned ? skinned->GetCaption() : item->Caption;
            const TCaptionParts parts = SplitCaption(text);
            in.Caption = text;
            in.Visible = skinned ? skinned->GetVisible() : item->Visible;
            in.Hidden = skinned && skinned->GetHidden();
            isDefault = item->Default;
            if (skinned)
                shortCut = FirstShortCut(skinned->GetShortCut());
            else
                shortCut = item->ShortCut ? ShortCutToText(item->ShortCut) : item->ShortCutText;
            if (shortCut.empty())
                shortCut = parts.ShortCut;
            const int imageIndex = skinned ? skinned->GetImageIndex() : item->ImageIndex;
            TComponent* images = item->Parent() && item->Parent()->SubMenuImages ? item->Parent()->SubMenuImages
                                 : FMenu                                         ? FMenu->Images
                                                                                 : nullptr;
            if (auto* list = dynamic_cast<TImageList*>(images); list && imageIndex >= 0)
                in.ImageHeight = list->Height();
            else
                in.StandardGlyph = MenuItemCache().HasGlyph(parts.Caption);
            if (skinned)
                in.BitmapHeight = skinned->GetBitmap().Height();
            if (!IsSeparatorCaption(text))
                in.CaptionWidth = captionWidth(parts.Caption, isDefault);
        } else {
            source.Native = pos;
            const TNativeEntry e = ReadNativeEntry(FRootHandle, pos);
            if (e.Type & MFT_SEPARATOR) {
                in.Caption = "-";
                in.Visible = pos != 0;  // a separator as the very first entry is skipped
            } else {
                const TCaptionParts parts = SplitCaption(e.Text);
                in.Caption = e.Text;
                isDefault = (e.State & MFS_DEFAULT) != 0;
                shortCut = parts.ShortCut;
                in.StandardGlyph = SystemCommandGlyphName(e.Id) != nullptr || MenuItemCache().HasGlyph(parts.Caption);
                in.CaptionWidth = captionWidth(parts.Caption, isDefault);
            }
        }
        if (!shortCut.empty())
            in.ShortCutWidth = measure(shortCut, tiny ? tiny : FFont);
        FSources.push_back(source);
        FInputs.push_back(in);
    }
    DeleteObject(bold);
    if (tiny)
        DeleteObject(tiny);
    FLayout = MeasureMenu(FInputs, FLayoutInput);
    if (FLayout.HiddenShown)
        SetState(wsHiddenShown, true);
    SetState(wsHasHidden, FLayout.HasHiddenItems);
    FLastRow = RowCount() - 1;
}

int TPopupMenu2000Form::WindowHeight() { return MenuWindowHeight(FLayout, FLayoutInput); }
int TPopupMenu2000Form::WindowWidth() { return MenuWindowWidth(FLayout, FLayoutInput, State(wsScroll)); }

RECT TPopupMenu2000Form::MonitorRect() const
{
    HMONITOR monitor;
    if (FParentWindow) {
        const HWND active = GetActiveWindow();
        monitor = active ? MonitorFromWindow(active, MONITOR_DEFAULTTONEAREST)
                         : MonitorFromPoint(POINT{Left(), Top()}, MONITOR_DEFAULTTONEAREST);
    } else {
        monitor = MonitorFromPoint(POINT{Left(), Top()}, MONITOR_DEFAULTTONEAREST);
    }
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor, &info))
        return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return info.rcMonitor;
}

int TPopupMenu2000Form::FinalLeft()
{
    const RECT mon = MonitorRect();
    int left = State(wsOpensLeftwards) ? Left() - (FTargetWidth - Width()) : Left();
    if (left + FTargetWidth > mon.right)
        left = mon.right - FTargetWidth;
    return std::max(left, static_cast<int>(mon.left));
}

int TPopupMenu2000Form::FinalTop()
{
    const RECT mon = MonitorRect();
    int top = State(wsOpensUpwards) ? Top() - (FTargetHeight - Height()) : Top();
    if (top + FTargetHeight > mon.bottom)
        top = mon.bottom - FTargetHeight;
    return std::max(top, static_cast<int>(mon.top));
}

bool TPopupMenu2000Form::ShadowsOn() const
{
    if (FOptions.Flags() & FlagBit(mfDropShadow))
        return true;
    return FMenu && FMenu->SystemShadow && SpiOn(SPI_GETDROPSHADOW);
}

void TPopupMenu2000Form::SetBoundsNow(int left, int top, int width, int height)
{
    TWinControl::SetBounds(left, top, width, height);
}

// ---- Show ----

bool TPopupMenu2000Form::Show()
{
    BeginMenuUpdate();
    bool inBracket = true;
    auto leave = [&] {
        if (inBracket) {
            inBracket = false;
            EndMenuUpdate();
        }
    };
    try {
        HandleNeeded();
        // 1.
        if (!FParentWindow) {
            TWinControl::SetBounds(FPopupX, FPopupY, 0, 0);
            SetState(wsOpensLeftwards, State(wsLeftwardsAsked));
        }
        Prepare();
        SetState(wsScroll, false);
        FillRows();
        FHorzStep = FVertStep = 1;
        FFrame = 0;
        FSelection = FPrevSelection = -1;
        SetState(wsAnimating, true);
        SetState(wsClosing, false);
        SetState(wsAnimationDone, false);
        FCancelled = true;
        // 2.
        FTargetWidth = WindowWidth();
        FTargetHeight = WindowHeight();
        // 3.
        TAnimationQuery query;
        query.NoAnimation = State(wsNoAnimation) || State(wsKeyboardOpened) || State(wsCustomising);
        query.SiblingWithoutFlag = State(wsSibling) && !(FOptions.Flags() & FlagBit(mfAnimationOnSiblings));
        query.MenuAnimation = [] { return AskSpi(SPI_GETMENUANIMATION); };
        query.MenuFade = [] { return AskSpi(SPI_GETMENUFADE); };
        query.RandomBit = [] { return std::rand() & 1; };
        const TAnimationChoice choice = ResolveAnimation(FKind, query);
        FStored = choice.Stored;
        FEffective = choice.Effective;
        // 4.
        TAnimationStart start = AnimationStart(FEffective, FTargetWidth, FTargetHeight);
        FHorzStep = start.HorzStep;
        FVertStep = start.VertStep;
        // 5.
        FFirstRow = 0;
        int left = Left(), top = Top();
        TMenuBar2000* bar = OpenerBar();
        if (!FParentWindow && !bar)  // a bar's drop-down keeps to its item
            left = AlignedPopupLeft(left, FTargetWidth, FOptions.Alignment(), Order().RightToLeftReading);
        // 6.
        TPlacementInput place;
        place.Monitor = MonitorRect();
        place.Left = left;
        place.Top = top;
        place.TargetWidth = FTargetWidth;
        place.TargetHeight = FTargetHeight;
        place.Submenu = FParentWindow != nullptr;
        place.HasComponent = FMenu != nullptr;
        place.LeftwardsRequested = State(wsOpensLeftwards);
        if (FParentWindow) {
            place.ParentOpensLeftwards = FParentWindow->State(wsOpensLeftwards);
            place.ParentLeft = FParentWindow->Left();
            place.ParentWidth = FParentWindow->Width();
        }
        place.Centred = !FParentWindow && FOptions.Alignment() == taCenter;
        if (bar && bar->HandleAllocated()) {
            place.MenuBar = true;
            place.VerticalBar = bar->Orientation == 1;
            place.BarItem = bar->HotRectOnScreen();
        }
        const TPlacement p = PlaceMenu(place);
        SetState(wsOpensLeftwards, p.OpensLeftwards);
        SetState(wsOpensUpwards, p.OpensUpwards);
        RaiseOpener();
        if (p.Scroll) {
            SetState(wsScroll, true);
            FTargetHeight = p.Height;
            FTargetWidth = WindowWidth();
            const TAnimationStart again = AnimationStart(FEffective, FTargetWidth, FTargetHeight);
            if (!IsHorzGrowthKind(FEffective))
                start.Width = again.Width;
            if (!IsVertGrowthKind(FEffective))
                start.Height = again.Height;
        }
        left = p.Left;
        top = p.Top;
        if (p.OpensUpwards)
            top = top - start.Height + 1;
        if (p.OpensLeftwards)
            left = left - start.Width + 1;
        OpenFrameTowardOpener(TRect(p.OpensLeftwards ? p.Left - FTargetWidth + 1 : left,
                                    p.OpensUpwards ? p.Top - FTargetHeight + 1 : top, 0, 0));
        // 7.
        SetBoundsNow(left, top, start.Width, start.Height);
        AllocateBuffer(FTargetWidth, FTargetHeight);
        FLastRow = State(wsScroll) ? LastRowThatFits(FLayout, FLayoutInput, FTargetHeight, 0) : RowCount() - 1;
        SetState(wsFullRepaint, true);
        Paint();
        // 8.
        leave();
        if (State(wsClosing)) {
            SetState(wsAnimating, false);
            return false;
        }
        const HWND wnd = Handle();
        const int opacity = FOptions.Opacity();
        const bool layered = MenuLayeredWindows();
        const int targetLeft = p.OpensLeftwards ? p.Left - FTargetWidth + 1 : left;
        const int targetTop = p.OpensUpwards ? p.Top - FTargetHeight + 1 : top;
        // The copied-desktop shadows see the desktop from before the menu.
        if (!layered && ShadowsOn())
            T_AM2000_Desktop::Instance().CopyRect(nullptr, targetLeft, targetTop, FTargetWidth, FTargetHeight, false);
        if (layered) {
            const LONG_PTR ex = GetWindowLongPtrA(wnd, GWL_EXSTYLE);
            if (opacity == 100 && !IsAlphaKind(FEffective))
                SetWindowLongPtrA(wnd, GWL_EXSTYLE, ex & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
            else
                SetWindowLongPtrA(wnd, GWL_EXSTYLE, ex | WS_EX_LAYERED);
        }
        SetState(wsFullRepaint, true);
        FDesktopCopy.clear();
        FImage.clear();
        FDeltas.clear();
        const bool softAlpha = !layered && IsAlphaKind(FEffective);
        if (!layered && (opacity != 100 || softAlpha)) {
            // The desktop under the target rectangle, in the back buffer's layout.
            const size_t stride = static_cast<size_t>((FTargetWidth * 3 + 3) & ~3);
            FDesktopCopy.resize(stride * static_cast<size_t>(FTargetHeight));
            void* bits = nullptr;
            const HDC dc = CreateCompatibleDC(nullptr);
            const HBITMAP copy = CreateDIB24(dc, FTargetWidth, FTargetHeight, bits);
            const HGDIOBJ old = SelectObject(dc, copy);
            T_AM2000_Desktop::Instance().CopyRect(dc, targetLeft, targetTop, FTargetWidth, FTargetHeight, false);
            GdiFlush();
            std::copy_n(static_cast<uint8_t*>(bits), FDesktopCopy.size(), FDesktopCopy.begin());
            SelectObject(dc, old);
            DeleteObject(copy);
            DeleteDC(dc);
        }
        if (softAlpha) {
            // Deltas from the desktop to the first frame (the menu at its opacity).
            BITMAP b{};
            GetObjectA(FBuffer, sizeof b, &b);
            const auto* menu = static_cast<const uint8_t*>(b.bmBits);
            std::vector<uint8_t> first(menu, menu + FDesktopCopy.size());
            if (opacity != 100) {
                TBlendTable table;
                MakeBlendTable(opacity, table);
                BlendRow(menu, FDesktopCopy.data(), first.data(), 0, first.size(), table.get());
            }
            FDeltas.resize(first.size());
            for (size_t i = 0; i < first.size(); ++i)
                FDeltas[i] = AlphaDelta(first[i], FDesktopCopy[i]);
            FImage = FDesktopCopy;
        }
        if (IsAlphaKind(FEffective)) {
            FFrame = 1;
            if (layered)
                BoundSetLayered()(wnd, 0, 0, LWA_ALPHA);
        } else if (layered && opacity != 100) {
            BoundSetLayered()(wnd, 0, static_cast<BYTE>(FinalAlpha(opacity)), LWA_ALPHA);
        }
        Showing();
        if (FEffective == anNone)
            FFrame = AnimationSteps;
        SendMessageA(wnd, WM_AM2000_STEP, GetTickCount(), AnimationStepDelay);
        if (State(wsClosing) && !State(wsAnimationDone)) {
            SetState(wsAnimating, false);
            return false;
        }
        return true;
    } catch (...) {
        leave();
        throw;
    }
}

void TPopupMenu2000Form::Showing()
{
    const HWND wnd = Handle();
    ShowWindow(wnd, SW_SHOWNOACTIVATE);
    SetWindowPos(wnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    // Shadow.
    if (ShadowsOn()) {
        if (!FShadow)
            FShadow = std::make_unique<T_AM2000_DropShadow>(wnd);
        FShadow->SetColor(Color(C::DropShadow));
        if (IsAlphaKind(FEffective) && MenuLayeredWindows())
            FShadow->SetOpacity(0);
        else if (FOptions.Opacity() < 100)
            FShadow->SetOpacity(FOptions.Opacity() * 255 / 100);
        else
            FShadow->SetOpacity(255);
        TPopupMenu2000Form* top = this;
        while (top->FParentWindow)
            top = top->FParentWindow;
        FShadow->Show(top->HandleOrNull());
    } else {
        FShadow.reset();
    }
    // The raised opener stays above the menu, the menu right below it.
    if (T_AM2000_RaisedItemForm* raised = OpenerRaisedItem(); raised && raised->Showing()) {
        SetWindowPos(raised->HandleOrNull(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
        SetWindowPos(wnd, raised->HandleOrNull(), 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    }
    // Capture.
    FCaptureSaved = GetCapture();
    if (FCaptureSaved)
        SetCapture(wnd);
    if (!FCounted) {
        FCounted = true;
        ++OpenWindows;
    }
    BuildToolRegions();
    NotifyMenuEvent(EVENT_OBJECT_SHOW, wnd, CHILDID_SELF);
    NotifyMenuEvent(EVENT_SYSTEM_MENUPOPUPSTART, wnd, CHILDID_SELF);
    if (FSelection >= 0)
        NotifyMenuEvent(EVENT_OBJECT_FOCUS, wnd, FSelection + 1);
    PlayMenuSound(MenuPopupSound);
}

// ---- Animation ----

// ---- Raised opener ----

TMenuBar2000* TPopupMenu2000Form::OpenerBar() const
{
    if (FParentWindow)
        return nullptr;
    for (int i = 0; i < MenuBarCount(); ++i)
        if (TMenuBar2000* bar = MenuBarAt(i); &bar->DropDown() == FMenu)
            return bar;
    return nullptr;
}

T_AM2000_RaisedItemForm* TPopupMenu2000Form::OpenerRaisedItem() const
{
    if (FParentWindow)
        return FParentWindow->FRaised.get();
    TMenuBar2000* bar = OpenerBar();
    return bar ? bar->RaisedItem() : nullptr;
}

// Placed, before the animation: the opener's raised item joins the menu on the side it opens to.
void TPopupMenu2000Form::RaiseOpener()
{
    if (FParentWindow) {
        FParentWindow->RaiseRow(FParentRow, State(wsOpensLeftwards));
        return;
    }
    if (!(FOptions.Flags() & FlagBit(mfRaiseMenuBarItem)))
        return;
    if (TMenuBar2000* bar = OpenerBar(); bar && bar->RaisedItem()) {
        const TOpenSides s = BarItemOpenSides(bar->Orientation == 1, State(wsOpensLeftwards), State(wsOpensUpwards));
        bar->RaisedItem()->SetOpenSides(s.Left, s.Top, s.Right, s.Bottom);
    }
}

// The frame stays open where the raised opener meets it (at, the window's final top-left corner).
void TPopupMenu2000Form::OpenFrameTowardOpener(const TRect& at)
{
    FFrameOpening = RECT{};
    T_AM2000_RaisedItemForm* raised = OpenerRaisedItem();
    if (!raised || !raised->Showing())
        return;
    RECT item{};
    GetWindowRect(raised->HandleOrNull(), &item);
    const TRect menu(at.left, at.top, at.left + FTargetWidth, at.top + FTargetHeight);
    const int depth = MenuItemRect(FLayout, FLayoutInput, FTargetWidth, false, false).FrameWidth;
    FFrameOpening = FrameOpening(menu, TRect(item), raised->OpenSides(), depth);
}

void TPopupMenu2000Form::RaiseRow(int row, bool submenuOpensLeftwards)
{
    if (!(FOptions.Flags() & FlagBit(mfRaiseSubMenuItem)) || row < 0 || row >= RowCount() || !HandleAllocated())
        return;
    if (!FRaised) {
        FRaised = std::make_unique<T_AM2000_RaisedItemForm>(nullptr, FOptions, FMenu && FMenu->SystemShadow);
        // The row as this window painted it, selected, its contents 2 pixels further left.
        FRaised->ItemPainter = [this](HDC dc, const RECT& r) {
            BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, FBufferDC, FRaisedRow.left + 2,
                   FRaisedRow.top, SRCCOPY);
        };
    }
    RECT screen = RowRect(row);
    const TRect client(screen.left - Left(), screen.top - Top(), screen.right - Left(), screen.bottom - Top());
    const TRaisedRow raised = RaisedSubmenuRow(client, Width(), submenuOpensLeftwards);
    FRaisedRow = raised.Rect;
    FRaised->SetOpenSides(raised.Sides.Left, raised.Sides.Top, raised.Sides.Right, raised.Sides.Bottom);
    const TRect at(raised.Rect.left + Left(), raised.Rect.top + Top(), raised.Rect.right + Left(),
                   raised.Rect.bottom + Top());
    FRaised->SetItem(RowItem(row), at);
    FRaised->ShowItem();
}

void TPopupMenu2000Form::UpdateShadowAlpha(int alpha)
{
    if (FShadow)
        FShadow->SetOpacity(alpha);
}

void TPopupMenu2000Form::AnimationStep(WPARAM tick, LPARAM delay)
{
    // 1. and 2.
    if (State(wsClosing) || !State(wsAnimating))
        return;
    const long remaining = static_cast<long>(delay) - static_cast<long>(GetTickCount() - static_cast<DWORD>(tick));
    if (remaining > 0 && remaining < 1000)
        Sleep(static_cast<DWORD>(remaining));
    const HWND wnd = Handle();
    const bool layered = MenuLayeredWindows();
    bool did = false, done = false;
    // 3. Alpha progress.
    if (IsAlphaKind(FStored) && AlphaFrameRuns(FFrame, FOptions.Opacity())) {
        FLastTick = GetTickCount();
        did = true;
        if (layered) {
            if (FStored == anAlpha)
                Sleep(AnimationStepDelay);
            const int alpha = AlphaOfFrame(FFrame);
            BoundSetLayered()(wnd, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
            UpdateShadowAlpha(alpha);
        } else if (!FImage.empty()) {
            ApplyAlphaDeltas(FImage.data(), FDeltas.data(), FImage.size());
            const HDC dc = GetDC(wnd);
            CopyToScreen(dc);
            ReleaseDC(wnd, dc);
        }
        ++FFrame;
    }
    // 4. Size progress.
    if (IsSizeKind(FStored) && (Width() < FTargetWidth || Height() < FTargetHeight)) {
        FLastTick = GetTickCount();
        const TSizeStep step = NextSizeStep(Width(), Height(), FTargetWidth, FTargetHeight, FHorzStep, FVertStep);
        if (step.Done) {
            done = true;
        } else if (step.Grew) {
            did = true;
            int left = Left(), top = Top();
            if (State(wsOpensLeftwards))
                left -= step.Width - Width();
            if (State(wsOpensUpwards))
                top -= step.Height - Height();
            SetBoundsNow(left, top, step.Width, step.Height);
            InvalidateRect(wnd, nullptr, FALSE);
            if (FShadow)
                FShadow->Update();
        }
    }
    // 5.
    UpdateWindow(wnd);
    // 6.
    if (State(wsClosing))
        return;
    if (did && !done) {
        const DWORD now = GetTickCount();
        const long rest = std::max(0L, static_cast<long>(AnimationStepDelay) - static_cast<long>(now - FLastTick));
        PostMessageA(wnd, WM_AM2000_STEP, now, rest);
    } else {
        FinishAnimation();
    }
}

void TPopupMenu2000Form::FinishAnimation()
{
    const HWND wnd = Handle();
    const int left = FinalLeft(), top = FinalTop();
    if (Width() != FTargetWidth || Height() != FTargetHeight || Left() != left || Top() != top)
        SetBoundsNow(left, top, FTargetWidth, FTargetHeight);
    if (FShadow)
        FShadow->Update();
    const bool blended = !FImage.empty();
    FImage.clear();
    FDeltas.clear();
    SetState(wsAnimating, false);
    SetState(wsFullRepaint, true);
    Paint();
    if (blended)
        InvalidateRect(wnd, nullptr, FALSE);
    if (MenuLayeredWindows() && (GetWindowLongPtrA(wnd, GWL_EXSTYLE) & WS_EX_LAYERED)) {
        const int alpha = FinalAlpha(FOptions.Opacity());
        BoundSetLayered()(wnd, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
        UpdateShadowAlpha(alpha);
    }
    FFrame = 0;
    if (State(wsOneOff)) {
        SetState(wsOneOff, false);
        FKind = FSavedKind;
    }
    SetState(wsClosing, false);
    SetState(wsAnimationDone, true);
}

// ---- Close ----

void TPopupMenu2000Form::CloseMenu()
{
    if (!HandleAllocated())
        return;
    const HWND wnd = HandleOrNull();
    // 1.
    StopMenuTimer();
    // A close during the animation finishes it first.
    if (State(wsAnimating) && !State(wsAnimationDone) && Width() > 0)
        FinishAnimation();
    SetState(wsAnimating, false);
    SetState(wsClosing, true);
    // 2. A submenu closing on its own (Esc, Left) takes its parent's raised row with it.
    if (FRaised)
        FRaised->HideItem();
    if (FParentWindow && FParentWindow->FRaised)
        FParentWindow->FRaised->HideItem();
    // 3.
    if (FChild) {
        TPopupMenu2000Form* child = FChild;
        child->SetState(wsClosedByParent, true);
        child->FParentWindow = nullptr;
        FChild = nullptr;
        child->CloseMenu();
    }
    // 4.
    FShadow.reset();
    // 6.
    const bool wasShown = Width() > 0 && Height() > 0;
    if (wasShown) {
        ShowWindow(wnd, SW_HIDE);
        SetBoundsNow(0, 0, 0, 0);
    }
    if (FCounted) {
        FCounted = false;
        --OpenWindows;
    }
    // 7.
    if (auto* root = dynamic_cast<TMenuItem2000*>(FRoot); root && root->OnExit && !State(wsKeepOpen))
        root->OnExit(root);
    // 8.
    FSelection = FPrevSelection = -1;
    SetState(wsOpenedSubmenu, false);
    FImage.clear();
    FDeltas.clear();
    FDesktopCopy.clear();
    // 9. and 10.
    if (wasShown)
        PlayMenuSound(MenuCloseSound);
    FToolTip.reset();
    AllocateBuffer(1, 1);
    if (wasShown && !FParentWindow && !State(wsClosedByParent) && !Floating() && FMenu &&
        !FMenu->InState(csDestroying))
        FMenu->DoMenuClose();
    // 11.
    if (FCaptureSaved && IsWindow(FCaptureSaved))
        SetCapture(FCaptureSaved);
    else if (GetCapture() == wnd)
        ReleaseCapture();
    FCaptureSaved = nullptr;
    // 12.
    if (OpenWindows == 0)
        T_AM2000_Desktop::Instance().Release();
}

void TPopupMenu2000Form::DeferClose(UINT elapse)
{
    StartMenuTimer(elapse, [this] {
        StopMenuTimer();
        // The pointer went on to an item of a menu bar: the bar decides what opens next.
        POINT cursor{};
        GetCursorPos(&cursor);
        for (int i = 0; i < MenuBarCount(); ++i)
            if (TMenuBar2000* bar = MenuBarAt(i); bar->HandleAllocated() && IsWindowVisible(bar->HandleOrNull())) {
                POINT client = cursor;
                ScreenToClient(bar->HandleOrNull(), &client);
                if (WindowFromPoint(cursor) == bar->HandleOrNull() && bar->HitTest(TPoint(client)))
                    return;
            }
        TPopupMenu2000Form* top = this;
        while (top->FParentWindow)
            top = top->FParentWindow;
        top->FCancelled = true;
        CloseMenus(true, 0);
        if (top->IsShowing())
            top->CloseMenu();
    });
}

void TPopupMenu2000Form::RebuildItems()
{
    if (!HandleAllocated() || !IsShowing())
        return;
    const int oldRight = Left() + Width(), oldBottom = Top() + Height();
    Prepare();
    FillRows();
    FTargetWidth = WindowWidth();
    FTargetHeight = State(wsScroll) ? std::min(WindowHeight(), FTargetHeight) : WindowHeight();
    const int left = State(wsOpensLeftwards) ? oldRight - FTargetWidth : Left();
    const int top = State(wsOpensUpwards) ? oldBottom - FTargetHeight : Top();
    if (Floating())
        SizeFloating(Left(), Top());
    else if (!State(wsAnimating))
        SetBoundsNow(left, top, FTargetWidth, FTargetHeight);
    AllocateBuffer(FTargetWidth, FTargetHeight);
    if (FSelection >= RowCount())
        FSelection = -1;
    FLastRow = State(wsScroll) ? LastRowThatFits(FLayout, FLayoutInput, FTargetHeight, FFirstRow) : RowCount() - 1;
    if (FShadow)
        FShadow->Update();
    BuildToolRegions();
    Repaint();
}

void TPopupMenu2000Form::Repaint()
{
    if (!HandleAllocated() || State(wsAnimating) || InState(csLoading | csDestroying))
        return;
    SetState(wsFullRepaint, true);
    Paint();
    if (FChild)
        FChild->Repaint();
}

