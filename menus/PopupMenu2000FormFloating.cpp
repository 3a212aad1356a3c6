// Menus torn off by their tear-off bar: the press on the bar closes the chain and leaves a floating
// copy of the level in a tool window, which stays open until its close button.
#include "PopupMenu2000Form.h"

#include "MenuHooks.h"
#include "MenuUtilsCore.h"
#include "PopupMenu2000FormParts.h"

#include <algorithm>
#include <memory>

namespace {

std::vector<TPopupMenu2000Form*> Floating;
TPopupMenu2000Form* KeyWindow = nullptr;  // the floating window the keys go to

// A menu without a caption of its own and an item without one are called so.
constexpr const char* DefaultFloatingTitle = "Menu";

}  // namespace

const std::vector<TPopupMenu2000Form*>& FloatingMenuWindows() { return Floating; }

void ForgetFloatingWindow(const TPopupMenu2000Form* form)
{
    Floating.erase(std::remove(Floating.begin(), Floating.end(), form), Floating.end());
    if (KeyWindow == form)
        KeyWindow = nullptr;
}

TPopupMenu2000Form* FloatingKeyWindow() { return KeyWindow && KeyWindow->IsShowing() ? KeyWindow : nullptr; }

void ReleaseFloatingKeys() { KeyWindow = nullptr; }

void FloatingPress(HWND target)
{
    TPopupMenu2000Form* pressed = nullptr;
    for (TPopupMenu2000Form* f : Floating)
        for (TPopupMenu2000Form* w = f; w && !pressed; w = w->ChildWindow())
            if (w->HandleAllocated() && w->HandleOrNull() == target)
                pressed = f;
    if (!pressed && IsMenuWindow(TWinControl::FromHandle(target)))
        return;  // another menu of the family, or its raised item
    KeyWindow = pressed;
    // Closing may run the submenu's handlers, which may tear off or free windows.
    const std::vector<TPopupMenu2000Form*> others = Floating;
    for (TPopupMenu2000Form* f : others)
        if (f != pressed && std::find(Floating.begin(), Floating.end(), f) != Floating.end())
            f->CloseSubmenu();
}

void NoticeFloatingWindows(TMenuItem* item, int kind)
{
    const std::vector<TPopupMenu2000Form*> list = Floating;
    for (TPopupMenu2000Form* f : list) {
        if (std::find(Floating.begin(), Floating.end(), f) == Floating.end() || !f->IsShowing())
            continue;
        // A level whose own item changed is built again; its rows hear of their items below.
        if (kind == 3)
            for (TPopupMenu2000Form* w = f; w; w = w->ChildWindow())
                if (w->Root() == item && w->IsShowing())
                    w->RebuildItems();
        f->ItemChanged(item, kind);
    }
}

void ForgetFloatingLevel(const TMenuItem* item)
{
    const std::vector<TPopupMenu2000Form*> list = Floating;
    for (TPopupMenu2000Form* f : list)
        for (TPopupMenu2000Form* w = f; w; w = w->ChildWindow())
            if (w->Root() == item) {
                TPopupMenu2000Form* parent = w->ParentWindow();
                w->SetRoot(nullptr, nullptr);  // nothing of the item is read on the way out
                if (parent)
                    parent->CloseSubmenu();
                else
                    w->CloseMenu();
                break;
            }
}

TPopupMenu2000Form* CreateTearOffWindow(TCustomPopupMenu2000* menu, TMenuItem* item, HMENU handle, int x, int y)
{
    // 1. The level shows in one floating window at a time.
    const auto same = std::find_if(Floating.begin(), Floating.end(), [&](const TPopupMenu2000Form* f) {
        return f->Root() == item && f->RootHandle() == handle;
    });
    if (same != Floating.end())
        std::unique_ptr<TPopupMenu2000Form>{*same}.reset();  // leaves the list and its owner's as it goes
    // 2. and 3.
    auto* form = NewComponent<TPopupMenu2000Form>(menu, menu);
    std::string caption = menu ? menu->Options().Caption() : std::string();
    if (caption.empty() && item) {
        auto* skinned = dynamic_cast<TMenuItem2000*>(item);
        caption = StripAccelerators(SplitCaption(skinned ? skinned->GetCaption() : item->Caption).Caption);
    }
    form->SetCaption(caption.empty() ? DefaultFloatingTitle : caption);
    // 4. and 5.
    form->SetRoot(item, handle);
    form->BorderStyle = bsToolWindow;
    form->SetState(TPopupMenu2000Form::wsKeepOpen, true);
    // 6. and 7.
    form->ShowFloating(x, y);
    Floating.push_back(form);
    return form;
}

void TPopupMenu2000Form::TearOff()
{
    TCustomPopupMenu2000* menu = FMenu;
    TMenuItem* item = FRoot;
    const HMENU handle = FRootHandle;
    const int x = Left(), y = Top();
    TopWindow()->FCancelled = true;
    CloseChain();
    CreateTearOffWindow(menu, item, handle, x, y);
}

POINT TPopupMenu2000Form::ClientOrigin() const
{
    POINT origin{Left(), Top()};
    if (Floating() && HandleAllocated()) {
        origin = POINT{0, 0};
        ClientToScreen(HandleOrNull(), &origin);
    }
    return origin;
}

void TPopupMenu2000Form::SizeFloating(int left, int top)
{
    const HWND wnd = Handle();
    RECT r{0, 0, FTargetWidth, FTargetHeight + BufferTop()};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrA(wnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(wnd, GWL_EXSTYLE)));
    SetBoundsNow(left, top, r.right - r.left, r.bottom - r.top);
}

void TPopupMenu2000Form::ShowFloating(int x, int y)
{
    const HWND wnd = Handle();
    Prepare();
    FKind = FSavedKind = anHorzSlide;
    SetState(wsScroll, false);
    FillRows();
    FTargetWidth = WindowWidth();
    FTargetHeight = WindowHeight();
    FFirstRow = 0;
    FLastRow = RowCount() - 1;
    FSelection = FPrevSelection = -1;
    SetState(wsAnimating, false);
    SetState(wsClosing, false);
    SetState(wsAnimationDone, true);
    FCancelled = true;
    SizeFloating(x, y);
    AllocateBuffer(FTargetWidth, FTargetHeight);
    SetState(wsFullRepaint, true);
    Paint();
    ShowWindow(wnd, SW_SHOWNOACTIVATE);
    SetWindowPos(wnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    BuildToolRegions();
    NotifyMenuEvent(EVENT_OBJECT_SHOW, wnd, CHILDID_SELF);
    // The button that pressed the bar still holds: the user goes on dragging the new window.
    if (GetAsyncKeyState(VK_LBUTTON) & 0x8000) {
        ReleaseCapture();
        SendMessageA(wnd, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
    }
}
