#pragma once
// Forms and the application object with the GUI thread's message loop.
#include "Controls.h"

#include <functional>
#include <memory>
#include <vector>

enum TModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7 };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TPosition { poDesigned, poScreenCenter, poOwnerFormCenter };
enum TDragKind { dkDrag, dkDock };
class TCustomForm;
class TMainMenu;
// The dock site asks whether `source` may dock with the mouse at (x, y) of its client area;
// it sets accept and the preview rectangle (screen coordinates).
using TDockOverEvent = std::function<void(TObject* sender, TCustomForm* source, int x, int y, bool& accept, TRect& dockRect)>;
using TUnDockEvent = std::function<void(TObject* sender, TCustomForm* client, TWinControl* newTarget, bool& allow)>;

class TCustomForm : public TWinControl {
public:
    explicit TCustomForm(TComponent* owner);
    ~TCustomForm() override;

    void Show();
    void Close();            // asks CloseQuery, then OnClose decides; the main form ends the application
    bool CloseQuery();
    int ShowModal();         // runs until ModalResult is set; returns it
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int value) { FModalResult = value; }
    bool Modal() const { return FModal; }
    void Release();          // frees the form from the message loop, after the current message
    // Sizes the window so that its client area has that width or height.
    void SetClientWidth(int value);
    void SetClientHeight(int value);

    TFormBorderStyle BorderStyle = bsSizeable;
    TFormStyle FormStyle = fsNormal;
    TPosition Position = poDesigned;
    // Caption icons the form may have (its border style may allow fewer).
    TBorderIcons BorderIcons = biSystemMenu | biMinimize | biMaximize;

    // The main menu that a menu bar on the form shows (a component of the form); an MDI frame's
    // menu has its active child's menu merged in.
    TMainMenu* Menu() const { return FMenu; }
    void SetMenu(TMainMenu* menu);

    // MDI: a frame (fsMDIForm) shows its children (fsMDIChild, framed by the application's main
    // form) in its client window, which fills what its aligned controls leave. Changes of the
    // active child and of its size state reach the frame's controls as CM_MENUCHANGED.
    HWND ClientHandle() const;
    TCustomForm* MDIFrame() const;        // a child's frame
    TCustomForm* ActiveMDIChild() const;  // a frame's active child, none without one
    TWindowState WindowState() const;
    void SetWindowState(TWindowState value);

    TNotifyEvent OnCreate, OnDestroy, OnShow, OnHide, OnActivate, OnDeactivate;
    std::function<void(TObject*, bool& canClose)> OnCloseQuery;
    std::function<void(TObject*, TCloseAction& action)> OnClose;
    // Keys pressed in the form's windows; with KeyPreview the form sees them before the
    // focused control, and a key set to 0 goes no further.
    std::function<void(TObject*, WORD& key, TShiftState shift)> OnKeyDown;
    bool KeyPreview = false;

    // Docking: a form with DragKind dkDock docks when its move ends over a dock site that
    // accepts it, becoming a child window aligned in the site; ManualFloat makes it top-level.
    bool DockSite = false;
    TDragKind DragKind = dkDrag;
    TNotifyEvent OnStartDock;   // a floating form's move begins
    TDockOverEvent OnDockOver;  // on the site
    TUnDockEvent OnUnDock;      // on the site
    std::function<void(TObject* sender, TWinControl* target)> OnEndDock;  // after a move docked it
    TWinControl* HostDockSite() const { return FHostDockSite; }
    bool Floating() const { return FHostDockSite == nullptr; }
    void ManualDock(TCustomForm* site, TAlign align);
    void ManualFloat(const TRect& screenBounds);
    // Asks the site under the screen point and docks there when it accepts; True when docked.
    bool DockAt(const TPoint& screen);

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;
    void SetVisible(bool value) override;
    void DefaultHandler(TMessage& message) override;
    void Notification(TComponent* component, bool removing) override;
    // Called by the application when the form's constructor and those of its subclasses are done.
    virtual void DoCreate();
    friend class TApplication;

private:
    int FModalResult = mrNone;
    bool FModal = false;
    TCustomForm* FHostDockSite = nullptr;
    DWORD FFloatingStyle = 0, FFloatingExStyle = 0;
    TMainMenu* FMenu = nullptr;
    TWinControl* FClient = nullptr;  // an MDI frame's client window
    TWindowState FWindowState = wsNormal;
    void MDICreateParams(TCreateParams& params);
    void MenuChanged();
    void MergeActiveChildMenu();
};

// Runs the key preview of the forms around the message's window; True when a form took the key.
bool PreviewKeyMessage(const MSG& msg);

class TForm : public TCustomForm {
public:
    using TCustomForm::TCustomForm;
};

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    // Creates a form owned by the application; the first becomes the main form.
    template <class T, class... Args>
    T* CreateForm(Args&&... args)
    {
        T* form = NewComponent<T>(this, std::forward<Args>(args)...);
        if (!FMainForm)
            FMainForm = form;
        form->DoCreate();
        return form;
    }
    TCustomForm* MainForm() const { return FMainForm; }
    void SetMainForm(TCustomForm* form) { FMainForm = form; }

    void Run();  // shows the main form and runs the message loop until Terminate
    void ProcessMessages();
    void HandleMessage();  // one message, or waits for one
    void Terminate();  // posts the quit message; Terminated once the loop has taken it
    // The application is its main form: these minimise it, bring it back, or to the front.
    void Minimize();
    void Restore();
    void BringToFront();
    bool Minimized() const;
    bool Terminated() const { return FTerminated; }
    void HandleException(const std::exception& e);
    // Shows a hint text at a screen point until the next call or CancelHint.
    void ActivateHint(const TPoint& screen, const std::string& text);
    void CancelHint();
    HWND Handle() const { return FUtilWindow.Get(); }
    std::string ExeName() const;
    // The current long hint (a menu item's or a control's); OnHint hears every change.
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& value);
    TNotifyEvent OnHint;
    // The help file; HelpContext opens it at a context: OnHelp sees the request first and may
    // keep the system's help program from starting (callHelp False). True when help was shown.
    std::string HelpFile;
    bool HelpContext(int context);
    std::function<bool(WORD command, LONG_PTR data, bool& callHelp)> OnHelp;

    std::string Title;
    bool ShowMainForm = true;
    // When False, guarded handlers only record their exceptions (LastException) instead of showing them.
    bool ShowExceptions = true;
    std::string LastException;
    // Sees every message the loop takes, before it is dispatched; set handled to drop it.
    std::function<void(MSG& msg, bool& handled)> OnMessage;
    std::function<void(const std::exception&)> OnException;
    TNotifyEvent OnIdle;
    // The application's windows became active, or another program's did.
    TNotifyEvent OnActivate, OnDeactivate;
    bool Active() const { return FActive; }
    // A system setting changed (WM_SETTINGCHANGE to the main form): its flag and section name.
    std::function<void(TObject* sender, int flag, const std::string& section)> OnSettingChange;
    // Called by the forms on WM_ACTIVATEAPP.
    void AppActivated(bool active);

private:
    bool ProcessMessage(MSG& msg);
    void DeleteReleased();
    TCustomForm* FMainForm = nullptr;
    std::string FHint;
    bool FTerminated = false;
    bool FActive = false;
    TWindowHandle FUtilWindow;
    TWindowHandle FHintWindow;
    std::vector<TCustomForm*> FReleased;
    friend class TCustomForm;
};

// The one application object of the process; set while a TApplication exists.
extern TApplication* Application;

// The screen as the application sees it: a cursor shape over all of its windows, and the form
// that holds the activation.
class TScreen {
public:
    TCursor Cursor() const { return FCursor; }
    // Any shape but crDefault shows over every window of ours until crDefault comes back.
    void SetCursor(TCursor value);
    // The form of this thread's active window (a control's form when a child is active).
    TCustomForm* ActiveForm() const;

private:
    TCursor FCursor = crDefault;
};
extern TScreen* Screen;

// The display monitors in the platform's numbering (the order it enumerates them).
struct TMonitor {
    HMONITOR Handle = nullptr;
    int MonitorNum = 0;
    TRect BoundsRect;
    TRect WorkareaRect;
    bool Primary = false;
};
std::vector<TMonitor> ScreenMonitors();
// The rectangle that holds every monitor.
TRect ScreenDesktopRect();
// The monitor nearest to a rectangle, -1 when there is none.
int MonitorNumFromRect(const TRect& rect);
