// The MDI side of forms: a frame's client window, its children, and the frame's menu that
// follows the active child.
#include "Forms.h"

#include "MainMenu.h"

namespace {

// The system's MDI client window as an alClient control of the frame.
class TMDIClientWindow : public TWinControl {
public:
    explicit TMDIClientWindow(TComponent* owner) : TWinControl(owner) { SetAlign(alClient); }

protected:
    void CreateParams(TCreateParams& params) override
    {
        TWinControl::CreateParams(params);
        params.WinClassName = "MDICLIENT";
        params.Style |= WS_VSCROLL | WS_HSCROLL;
        params.ExStyle |= WS_EX_CLIENTEDGE;
        params.Param = &FCreate;
    }

private:
    CLIENTCREATESTRUCT FCreate{nullptr, 0xFF00};
};

}  // namespace

void TCustomForm::MDICreateParams(TCreateParams& params)
{
    if (FormStyle == fsMDIForm && !FClient) {
        FClient = NewComponent<TMDIClientWindow>(this);
        FClient->SetParent(this);
    }
    if (FormStyle != fsMDIChild)
        return;
    TCustomForm* frame = MDIFrame();
    if (!frame)
        throw Exception("Cannot create form. No MDI forms are currently active");
    params.Style = (params.Style & ~WS_POPUP) | WS_CHILD;
    params.ExStyle |= WS_EX_MDICHILD;
    params.WndParent = frame->ClientHandle();
}

HWND TCustomForm::ClientHandle() const
{
    if (!FClient)
        return nullptr;
    if (!FClient->HandleAllocated())
        const_cast<TCustomForm*>(this)->HandleNeeded();
    return FClient->HandleOrNull();
}

TCustomForm* TCustomForm::MDIFrame() const
{
    if (FormStyle != fsMDIChild || !Application || !Application->MainForm())
        return nullptr;
    TCustomForm* main = Application->MainForm();
    return main->FormStyle == fsMDIForm && main != this ? main : nullptr;
}

TCustomForm* TCustomForm::ActiveMDIChild() const
{
    if (FormStyle != fsMDIForm || !FClient || !FClient->HandleAllocated())
        return nullptr;
    const auto child = reinterpret_cast<HWND>(SendMessageA(FClient->HandleOrNull(), WM_MDIGETACTIVE, 0, 0));
    return dynamic_cast<TCustomForm*>(TWinControl::FromHandle(child));
}

TWindowState TCustomForm::WindowState() const
{
    if (!HandleAllocated() || !IsWindowVisible(HandleOrNull()))
        return FWindowState;
    return IsIconic(HandleOrNull()) ? wsMinimized : IsZoomed(HandleOrNull()) ? wsMaximized : wsNormal;
}

void TCustomForm::SetWindowState(TWindowState value)
{
    FWindowState = value;
    if (!HandleAllocated() || !IsWindowVisible(HandleOrNull()))
        return;  // applied when the form shows
    const HWND wnd = HandleOrNull();
    TCustomForm* frame = MDIFrame();
    if (frame && value == wsMaximized)
        SendMessageA(frame->ClientHandle(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(wnd), 0);
    else if (frame && value == wsNormal)
        SendMessageA(frame->ClientHandle(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(wnd), 0);
    else
        ShowWindow(wnd, value == wsMinimized ? SW_MINIMIZE : value == wsMaximized ? SW_MAXIMIZE : SW_RESTORE);
}

void TCustomForm::SetMenu(TMainMenu* menu)
{
    if (menu == FMenu)
        return;
    if (FMenu && FormStyle == fsMDIChild && MDIFrame() && MDIFrame()->Menu())
        MDIFrame()->Menu()->Unmerge(FMenu);
    FMenu = menu;
    TCustomForm* target = FormStyle == fsMDIChild ? MDIFrame() : this;
    if (target && target->HandleAllocated())
        PostMessageA(target->HandleOrNull(), CM_MENUCHANGED, 0, 0);
}

void TCustomForm::Notification(TComponent* component, bool removing)
{
    TWinControl::Notification(component, removing);
    if (removing && component == FMenu)
        FMenu = nullptr;
    if (removing && component == FClient)
        FClient = nullptr;
}

void TCustomForm::MergeActiveChildMenu()
{
    if (!FMenu || !FClient || !FClient->HandleAllocated())
        return;
    TCustomForm* active = ActiveMDIChild();
    for (HWND wnd = GetWindow(FClient->HandleOrNull(), GW_CHILD); wnd; wnd = GetWindow(wnd, GW_HWNDNEXT))
        if (auto* child = dynamic_cast<TCustomForm*>(TWinControl::FromHandle(wnd)); child && child != active && child->Menu())
            FMenu->Unmerge(child->Menu());
    if (active && active->Menu())
        FMenu->Merge(active->Menu());
}

void TCustomForm::MenuChanged()
{
    if (FormStyle == fsMDIForm)
        MergeActiveChildMenu();
    for (int k = 0; k < ControlCount(); ++k)
        if (auto* control = dynamic_cast<TWinControl*>(Controls(k)); control && control->HandleAllocated())
            SendMessageA(control->HandleOrNull(), CM_MENUCHANGED, 0, 0);
}

void TCustomForm::DefaultHandler(TMessage& message)
{
    const HWND wnd = HandleOrNull();
    if (FormStyle == fsMDIChild && wnd) {
        message.Result = DefMDIChildProcA(wnd, message.Msg, message.WParam, message.LParam);
        return;
    }
    // The frame lays out its client window itself, around its aligned controls.
    if (FormStyle == fsMDIForm && wnd && FClient && FClient->HandleAllocated() && message.Msg != WM_SIZE) {
        message.Result = DefFrameProcA(wnd, FClient->HandleOrNull(), message.Msg, message.WParam, message.LParam);
        return;
    }
    TWinControl::DefaultHandler(message);
}
