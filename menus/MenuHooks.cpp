#include "MenuHooks.h"

#include "MenuBar2000.h"
#include "MenuUtilsCore.h"
#include "PopupMenu2000.h"
#include "PopupMenu2000Form.h"
#include "PopupMenu2000FormParts.h"
#include "framework/Forms.h"
#include "framework/ListView.h"

#include <algorithm>
#include <cstring>

namespace {

HHOOK CbtHook = nullptr, CallWndProcHook = nullptr, GetMessageHook = nullptr;
int HookRefs = 0;
TCustomPopupMenu2000* Current = nullptr;

constexpr UINT CM_BARACTIVATE = 0x508;  // to a menu bar: its form's activation changed (wParam 0: lost)

// The current popup's first-level window, when it is a real menu window.
TPopupMenu2000Form* TopMenuWindow()
{
    if (!Current)
        return nullptr;
    auto* window = dynamic_cast<TPopupMenu2000Form*>(Current->PopupForm());
    return window && window->HandleAllocated() ? window : nullptr;
}

// The last open submenu level below a window.
TPopupMenu2000Form* DeepestMenuWindow(TPopupMenu2000Form* window)
{
    while (window && window->ChildWindow() && window->ChildWindow()->HandleAllocated() &&
           window->ChildWindow()->IsShowing())
        window = window->ChildWindow();
    return window;
}

bool IsCustomising(TPopupMenu2000Form* window)
{
    return window && SendMessageA(window->HandleOrNull(), WM_AM2000_QUERY, 4, 0) != 0;
}

bool IsMouseDown(UINT message)
{
    return message == WM_LBUTTONDOWN || (message >= WM_LBUTTONDBLCLK && message <= WM_MBUTTONDBLCLK) ||
           message == WM_NCLBUTTONDOWN || message == WM_NCRBUTTONDOWN ||
           (message >= WM_NCRBUTTONDBLCLK && message <= WM_NCMBUTTONDBLCLK);
}

bool IsKeyMessage(UINT message)
{
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR || message == WM_SYSKEYDOWN ||
           message == WM_SYSKEYUP;
}

// A press outside the menus closes them, unless a menu or bar refuses; the press goes on either way.
void MouseDownOutside(HWND target)
{
    FloatingPress(GetAncestor(target, GA_ROOT));
    if (IsOverMenuWindow())
        return;
    if (IsMenuShowing()) {
        if (TPopupMenu2000Form* window = TopMenuWindow()) {
            if (IsCustomising(window) && IsOverPropertyInspector())
                return;
            if (window->BorderStyle != bsNone)
                return;  // a menu shown as a bordered window stays
        }
        if (!CloseMenus(true, 0))
            return;
    }
    for (int i = 0; i < MenuBarCount(); ++i)
        if (!MenuBarAt(i)->CloseOnOutsideClick())
            return;
}

// True when the key was taken by an open menu or a bar: the message is zeroed.
bool KeyToMenus(const MSG& msg)
{
    if (Current) {
        // A menu closed but not yet let go by its wait leaves the keys to the windows.
        if (!IsMenuShowing() || IsCustomising(TopMenuWindow()))
            return false;
        TPopupMenu2000Form* deepest = DeepestMenuWindow(TopMenuWindow());
        return deepest && SendMessageA(deepest->HandleOrNull(), msg.message, msg.wParam, msg.lParam) != 0;
    }
    if (TPopupMenu2000Form* floating = FloatingKeyWindow())
        if (SendMessageA(DeepestMenuWindow(floating)->HandleOrNull(), msg.message, msg.wParam, msg.lParam) != 0)
            return true;
    for (int i = MenuBarCount() - 1; i >= 0; --i) {
        TMenuBar2000* bar = MenuBarAt(i);
        if (bar->Designing())
            return false;
        if (bar->Visible() && IsControlChainEnabled(bar) &&
            SendMessageA(bar->Handle(), msg.message, msg.wParam, msg.lParam) != 0)
            return true;
        if (IsActiveWindowOf(bar))
            return false;
    }
    return false;
}

// Returns True when the message was zeroed.
bool GetMessageAction(MSG& msg)
{
    if (IsMouseDown(msg.message)) {
        MouseDownOutside(msg.hwnd);
    } else if (msg.message == WM_MOUSEWHEEL) {
        if (IsMenuShowing())
            if (TPopupMenu2000Form* window = TopMenuWindow()) {
                SendMessageA(window->HandleOrNull(), WM_MOUSEWHEEL, msg.wParam, msg.lParam);
                return true;
            }
    } else if (msg.message == WM_MOUSEMOVE) {
        if (IsMenuShowing() && !IsOverMenuWindow())
            if (TPopupMenu2000Form* window = TopMenuWindow())
                SendMessageA(window->HandleOrNull(), CM_MOUSELEAVE, 0, 0);
    } else if (IsKeyMessage(msg.message)) {
        return KeyToMenus(msg);
    }
    return false;
}

LRESULT CALLBACK GetMessageProc(int code, WPARAM wParam, LPARAM lParam)
{
    auto* msg = reinterpret_cast<MSG*>(lParam);
    const HWND active = GetActiveWindow();
    if (code >= HC_ACTION && wParam == PM_REMOVE && Application && Application->Active() && !(active && IsIconic(active))) {
        bool zeroed = false;
        CallGuarded([&] { zeroed = GetMessageAction(*msg); });
        if (zeroed) {
            std::memset(msg, 0, sizeof *msg);
            return 0;  // the window gets WM_NULL; the message is gone for the later hooks too
        }
    }
    return CallNextHookEx(GetMessageHook, code, wParam, lParam);
}

// Activation and focus changes can change an MDI frame's active child: its bars update.
LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE || code == HCBT_SETFOCUS)
        for (int i = 0; i < MenuBarCount(); ++i) {
            TMenuBar2000* bar = MenuBarAt(i);
            const TCustomForm* form = bar->OwningForm();
            if (form && form->FormStyle == fsMDIForm && bar->HandleAllocated())
                PostMessageA(bar->HandleOrNull(), 0x507, 2, 0);
        }
    return CallNextHookEx(CbtHook, code, wParam, lParam);
}

void ActivationChanged(const CWPSTRUCT& call)
{
    const int value = call.message == WM_ACTIVATE ? static_cast<int>(call.wParam) : LOWORD(call.wParam);
    char text[256] = {};
    GetWindowTextA(call.hwnd, text, sizeof text);
    const bool inspector = std::strstr(text, "Object Inspector") != nullptr;
    for (int i = 0; i < MenuBarCount(); ++i) {
        TMenuBar2000* bar = MenuBarAt(i);
        if (!ControlOwnsWindow(call.hwnd, bar))
            continue;
        if (bar->HandleAllocated())
            SendMessageA(bar->HandleOrNull(), CM_BARACTIVATE, static_cast<WPARAM>(value), 0);
        if (value == 0 && inspector)
            CloseMenus(true, 0);
    }
    // A context menu must not stay above another program.
    if (value == 0 && Current && (inspector || call.message == WM_ACTIVATEAPP))
        CloseMenus(true, 0);
}

LRESULT CALLBACK CallWndProc(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    // The family's own windows (a drag window, a raised item) coming and going change nothing.
    if (code == HC_ACTION && (call->message == WM_ACTIVATE || call->message == WM_ACTIVATEAPP) &&
        !IsMenuWindow(TWinControl::FromHandle(call->hwnd)))
        CallGuarded([&] { ActivationChanged(*call); });
    return CallNextHookEx(CallWndProcHook, code, wParam, lParam);
}

HHOOK SetHook(int kind, HOOKPROC proc) { return SetWindowsHookExA(kind, proc, nullptr, GetCurrentThreadId()); }

// A window of a menu-family form that is not the menu window itself, told by its class name.
bool IsMenuFamilyWindowClass(const TWinControl* control)
{
    if (!control || !control->HandleAllocated())
        return false;
    char name[64] = {};
    GetClassNameA(control->HandleOrNull(), name, sizeof name);
    return std::strcmp(name, "T_AM2000_DragWindow") == 0 || std::strcmp(name, "T_AM2000_RaisedItemForm") == 0;
}

std::string HintText(TComponent* item)
{
    if (auto* skinned = dynamic_cast<TMenuItem2000*>(item))
        return skinned->GetHint();
    if (auto* control = dynamic_cast<TControl*>(item))
        return control->Hint;
    if (auto* plain = dynamic_cast<TMenuItem*>(item))
        return plain->Hint;
    return {};
}

}  // namespace

// ---- Hooks ----

void InstallMenuHooks()
{
    if (++HookRefs != 1)
        return;
    if (!CbtHook)
        CbtHook = SetHook(WH_CBT, CbtProc);
    if (!CallWndProcHook)
        CallWndProcHook = SetHook(WH_CALLWNDPROC, CallWndProc);
    if (!GetMessageHook)
        GetMessageHook = SetHook(WH_GETMESSAGE, GetMessageProc);
}

void RemoveMenuHooks()
{
    if (HookRefs <= 0)
        return;
    if (--HookRefs >= 1)
        return;
    for (HHOOK* hook : {&CbtHook, &CallWndProcHook, &GetMessageHook}) {
        if (*hook)
            UnhookWindowsHookEx(*hook);
        *hook = nullptr;
    }
}

int MenuHookCount() { return HookRefs; }

// ---- The current popup ----

TCustomPopupMenu2000* CurrentPopupMenu() { return Current; }
void SetCurrentPopupMenu(TCustomPopupMenu2000* menu) { Current = menu; }
bool IsMenuShowing() { return Current && Current->IsShowing(); }

bool CloseMenus(bool closeBars, BYTE key)
{
    BeginMenuUpdate();
    struct TUnlock {
        ~TUnlock() { EndMenuUpdate(); }
    } unlock;
    // 1.
    if (IsMenuShowing()) {
        ShowMenuHint("");
        if (TPopupMenu2000Form* window = TopMenuWindow()) {
            const HWND wnd = window->HandleOrNull();
            if (SendMessageA(wnd, WM_AM2000_CLOSE, key, 0) == 0)
                return false;
            SendMessageA(wnd, WM_AM2000_STOPTIMER, 0, 0);
            SendMessageA(wnd, WM_AM2000_HIDE, 0, 0);
        } else {
            Current->PopupForm()->HideMenu();  // a window that is no window of ours
        }
    }
    // 2.
    if (closeBars)
        for (int i = 0; i < MenuBarCount(); ++i) {
            TMenuBar2000* bar = MenuBarAt(i);
            bar->CloseItem();
            if (bar->HandleAllocated())
                NotifyMenuEvent(EVENT_SYSTEM_MENUEND, bar->HandleOrNull(), CHILDID_SELF);
        }
    // 3.
    StopMenuTimer();
    Current = nullptr;
    PumpPaint();
    return true;
}

// ---- Pumps ----

void PumpMessages(UINT first, UINT last)
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, first, last, PM_NOREMOVE)) {
        const BOOL got = GetMessageA(&msg, nullptr, first, last);
        if (got == -1)
            return;
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        DispatchMessageA(&msg);
    }
}

void PumpPaint() { PumpMessages(WM_PAINT, WM_PAINT); }
void PumpMouse() { PumpMessages(WM_MOUSEMOVE, WM_MOUSEWHEEL); }

void PumpForModalMenu()
{
    MSG msg;
    while (IsMenuShowing() && PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            return;
        if (msg.message == WM_QUIT) {
            // The program is ending: the wait ends with the menu, the quit goes on to the main loop.
            CloseMenus(true, 0);
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void PumpMenuMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// ---- Hints ----

void ShowMenuHint(const std::string& hint)
{
    std::string text = Trim(hint);
    for (size_t at = text.find("&#"); at != std::string::npos; at = text.find("&#", at + 1))
        text.replace(at, std::min<size_t>(5, text.size() - at), " ");
    TComponent* target = nullptr;
    int index = 0;
    if (Current && Current->StatusBar) {
        target = Current->StatusBar;
        index = Current->StatusBarIndex;
    } else if (MenuBarCount() > 0) {
        target = MenuBarAt(0)->StatusBar;
        index = MenuBarAt(0)->StatusBarIndex;
    }
    auto* bar = dynamic_cast<TStatusBar*>(target);
    if (!bar)
        return;
    if (bar->SimplePanel())
        bar->SetSimpleText(text);
    else if (index < bar->PanelCount())
        bar->SetPanelText(index, text);
}

void ShowItemHint(TComponent* item, TControl* target)
{
    const std::string hint = HintText(item);
    if (Application)
        Application->SetHint(hint);
    if (target)
        target->Hint = hint;
    if ((Current && Current->StatusBar) || MenuBarCount() > 0)
        ShowMenuHint(hint);
}

// ---- Window tests ----

bool IsMenuWindow(const TControl* control)
{
    for (const TControl* c = control; c; c = c->Parent())
        if (dynamic_cast<const TPopupMenu2000Form*>(c) || IsMenuFamilyWindowClass(dynamic_cast<const TWinControl*>(c)))
            return true;
    return false;
}

bool IsOverMenuWindow()
{
    POINT cursor{};
    GetCursorPos(&cursor);
    TControl* control = FindDragTarget(TPoint(cursor), true);
    if (auto* bar = dynamic_cast<TMenuBar2000*>(control); bar && bar->HandleAllocated()) {
        POINT client = cursor;
        ScreenToClient(bar->HandleOrNull(), &client);
        if (bar->HitTest(TPoint(client)))
            return true;
    }
    return IsMenuWindow(control);
}

// The design environment's inspector is never part of this program.
bool IsOverPropertyInspector() { return false; }

bool IsControlChainEnabled(const TControl* control)
{
    for (const TControl* c = control; c; c = c->Parent()) {
        if (!c->Visible() || c->InState(TComponent::csLoading | TComponent::csDestroying))
            return false;
        if (auto* windowed = dynamic_cast<const TWinControl*>(c);
            windowed && windowed->HandleAllocated() && !IsWindowEnabled(windowed->HandleOrNull()))
            return false;
    }
    return true;
}

bool IsActiveWindowOf(const TControl* control)
{
    if (!control || control->InState(TComponent::csLoading | TComponent::csDestroying))
        return false;
    auto* windowed = dynamic_cast<const TWinControl*>(control);
    if (windowed && windowed->HandleAllocated() && !IsWindowEnabled(windowed->HandleOrNull()))
        return false;
    if (TCustomForm* active = Screen ? Screen->ActiveForm() : nullptr) {
        // The active form or one of the forms that own it (no MDI children in the class library).
        for (const TComponent* c = active; c; c = c->Owner())
            if (c == control)
                return true;
        return false;
    }
    return windowed && windowed->HandleAllocated() && windowed->HandleOrNull() == GetForegroundWindow();
}

bool ControlOwnsWindow(HWND window, const TControl* control)
{
    for (const TControl* c = control; c; c = c->Parent())
        if (auto* windowed = dynamic_cast<const TWinControl*>(c); windowed && windowed->HandleOrNull() == window && window)
            return true;
    return false;
}

TMenuItem* FindItemByCommand(const TComponent* menu, WORD command)
{
    if (!menu)
        return nullptr;
    for (int i = 0; i < menu->ComponentCount(); ++i)
        if (auto* item = dynamic_cast<TMenuItem*>(menu->Components(i)); item && LOWORD(item->Command()) == command)
            return item;
    return nullptr;
}
