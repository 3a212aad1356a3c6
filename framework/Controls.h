#pragma once
// Controls over Win32 windows. A TWinControl owns one window; its window procedure is the
// virtual WndProc, and notifications sent to a parent (WM_COMMAND, WM_NOTIFY, scroll and
// owner-draw messages) are reflected to the child control that raised them.
#include "Classes.h"
#include "Graphics.h"
#include "Types.h"
#include "WinHandles.h"

#include <string>
#include <vector>

struct TMessage {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result;
};

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

enum TMouseButton { mbLeft, mbRight, mbMiddle };
// Keys and buttons held during a mouse event.
using TShiftState = unsigned;
inline constexpr TShiftState ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64;
using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;
// Asked before a control's popup menu shows (mousePos in client coordinates, -1,-1 from the
// keyboard); setting handled keeps the menu shut.
using TContextPopupEvent = std::function<void(TObject* sender, TPoint mousePos, bool& handled)>;

class TWinControl;
class TPopupMenu;

// The class library's mouse notices, sent to a control when the pointer comes in or goes out.
inline constexpr UINT CM_MOUSEENTER = 0xB013, CM_MOUSELEAVE = 0xB014;
// Sent by a form to its child controls when the menu it shows changed (merged menus, the state
// of its active MDI child).
inline constexpr UINT CM_MENUCHANGED = 0xB015;

// Cursor shapes by the class library's numbers; crDefault leaves each window its own cursor.
using TCursor = int;
inline constexpr TCursor crDefault = 0, crArrow = -2, crIBeam = -4, crNo = -18, crSizeAll = -22;
// The system cursor of a shape (the arrow for crDefault and shapes it does not know).
HCURSOR CursorHandle(TCursor cursor);

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* parent);

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    TRect BoundsRect() const { return TRect(FLeft, FTop, FLeft + FWidth, FTop + FHeight); }
    virtual void SetBounds(int left, int top, int width, int height);
    void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
    void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
    void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
    void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
    virtual TRect ClientRect() const { return TRect(0, 0, FWidth, FHeight); }

    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool value);
    const std::string& Caption() const { return FCaption; }
    virtual void SetCaption(const std::string& value);
    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);

    // Repaints the control's area (the parent's area for a control without a window).
    virtual void Invalidate();

    TNotifyEvent OnClick;
    std::string Hint;
    bool ShowHint = false;
    // What the control writes with (the class library's default until set).
    TFont Font;
    // Shown on a right click (WM_CONTEXTMENU) that the control does not handle itself, and asked
    // for its shortcuts by the menu-key step while the control or a child of it has the focus.
    TPopupMenu* PopupMenu = nullptr;
    TContextPopupEvent OnContextPopup;

    // Painting of controls without a window of their own; the parent calls it with the
    // device context offset to the control's top-left and clipped to it.
    virtual void Paint(HDC dc) { (void)dc; }

protected:
    friend class TWinControl;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    bool FVisible = true;
    bool FEnabled = true;
    std::string FCaption;
    TAlign FAlign = alNone;
    TColor FColor = clBtnFace;
    TWinControl* FParent = nullptr;
};

struct TCreateParams {
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    std::string WinClassName;  // our own class unless a system class of that name exists
    UINT ClassStyle = CS_DBLCLKS;
    HCURSOR Cursor = nullptr;  // the arrow when unset
    HBRUSH Background = nullptr;
    HICON Icon = nullptr;
    void* Param = nullptr;  // the creation data of a system class (our own classes get the control)
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    HWND Handle();  // creates the window when it has none yet
    HWND HandleOrNull() const { return FHandle; }
    bool HandleAllocated() const { return FHandle != nullptr; }
    void HandleNeeded() { Handle(); }
    void DestroyHandle();

    void SetParent(TWinControl* parent) override;
    void SetBounds(int left, int top, int width, int height) override;
    void SetVisible(bool value) override;
    void SetEnabled(bool value) override;
    void SetCaption(const std::string& value) override;
    TRect ClientRect() const override;
    void Invalidate() override;
    void SetFocus();
    bool Focused() const;

    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TControl* Controls(int index) const { return FControls.at(static_cast<size_t>(index)); }
    // Lays out aligned children in the client area.
    void Realign();

    // Sends a message straight to WndProc (creates the window first).
    LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    // The control that owns a window, or none.
    static TWinControl* FromHandle(HWND wnd);

    TNotifyEvent OnResize;
    TMouseEvent OnMouseDown, OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnDblClick, OnMouseEnter, OnMouseLeave;

protected:
    // Mouse input of the control's window, in client coordinates. Windows of our own class
    // also get Click for a left press and release inside the control.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void Click();
    virtual void DblClick();
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void CreateParams(TCreateParams& params);
    virtual void CreateWnd();
    // After the window exists (children and subclassing done); controls set their state here.
    virtual void CreateWindowHandle() {}
    virtual void WndProc(TMessage& message);
    // Default processing: the window class's own procedure.
    virtual void DefaultHandler(TMessage& message);
    // A notification the parent received from this control's window; True when handled.
    virtual bool ReflectedMessage(TMessage& message) { (void)message; return false; }
    // Own-class windows paint here; then controls without a window are painted on top.
    virtual void PaintWindow(HDC dc) { (void)dc; }
    virtual void Resize();
    void AddControl(TControl* control);
    void RemoveControl(TControl* control);

    friend class TControl;
    friend LRESULT CALLBACK StdWndProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK SubclassWndProc(HWND, UINT, WPARAM, LPARAM);

private:
    void Dispatch(TMessage& message);
    void PaintHandler(TMessage& message);
    bool MouseMessage(const TMessage& message);
    bool ContextPopup(const TMessage& message);
    HWND FHandle = nullptr;
    bool FMouseInside = false;
    bool FClicked = false;
    WNDPROC FDefWndProc = nullptr;
    bool FOwnClass = true;
    bool FRealigning = false;  // an aligned child's SetBounds asks for a realign while one runs
    std::vector<TControl*> FControls;
};

// A windowed control that paints itself in Paint.
class TCustomControl : public TWinControl {
public:
    using TWinControl::TWinControl;

protected:
    void PaintWindow(HDC dc) override { Paint(dc); }
};

// A control without a window of its own, painted by its parent.
class TGraphicControl : public TControl {
public:
    using TControl::TControl;
};

// The control under a screen point: the deepest windowed control of ours there, or a child
// of it without a window that holds the point. Disabled ones count only with allowDisabled.
TControl* FindDragTarget(const TPoint& pos, bool allowDisabled);

// The class library's menu-key step for a key-down message: the popup menus of the focused
// control and its parents, nearest first, are asked through IsShortCut; True when one ran it.
bool IsMenuKeyMessage(const MSG& msg);

// Runs a handler that must not let an exception escape (window procedures, timers, COM
// callbacks): the exception goes to the application's exception handler instead.
void CallGuarded(const std::function<void()>& handler);
// Set by the application object: where guarded handlers report their exceptions.
void SetGuardedExceptionHandler(std::function<void(const std::exception&)> handler);
