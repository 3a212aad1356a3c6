#pragma once
// The shell controls in OLE drag and drop: the drop source of their drags, and the drop target
// that passes every call on to the drop target of the folder
// under the mouse, which the control finds; the control itself only highlights and scrolls.
#include <oleidl.h>
#include <wrl/client.h>

// The shell's drop source: the drag goes on while its button is down.
class TDropSource : public IDropSource {
public:
    // Button: 1 left, 2 right.
    explicit TDropSource(int Button) : FButton(Button) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP QueryContinueDrag(BOOL EscapePressed, DWORD KeyState) override;
    STDMETHODIMP GiveFeedback(DWORD Effect) override;

private:
    virtual ~TDropSource() = default;
    LONG FRefs = 1;
    int FButton;
};

class IShellDropHost {
public:
    virtual ~IShellDropHost() = default;
    // The folder's drop target at a client point, with its item highlighted; none clears it.
    virtual Microsoft::WRL::ComPtr<IDropTarget> DropTargetAt(POINT Client) = 0;
    // The mouse moved during a drag (the tree scrolls and opens folders).
    virtual void DragMoved(POINT Client) { (void)Client; }
    // The drag left or dropped: no highlight stays.
    virtual void DragEnded() = 0;
    virtual HWND DropWindow() = 0;
};

class TShellDropTarget : public IDropTarget {
public:
    explicit TShellDropTarget(IShellDropHost* Host) : FHost(Host) {}
    // The control's window goes: no more calls reach it.
    void Detach() { FHost = nullptr; }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP DragEnter(IDataObject* Data, DWORD KeyState, POINTL Point, DWORD* Effect) override;
    STDMETHODIMP DragOver(DWORD KeyState, POINTL Point, DWORD* Effect) override;
    STDMETHODIMP DragLeave() override;
    STDMETHODIMP Drop(IDataObject* Data, DWORD KeyState, POINTL Point, DWORD* Effect) override;

protected:
    virtual ~TShellDropTarget() = default;

private:
    Microsoft::WRL::ComPtr<IDropTarget> TargetAt(POINTL Point, POINT& Client);
    LONG FRefs = 1;
    IShellDropHost* FHost;
    Microsoft::WRL::ComPtr<IDataObject> FData;
    bool FLeftButton = false;
};

// The window takes files dropped from the shell as WM_DROPFILES, also when an OLE drag lets them
// go over it: not every platform turns such a drop into the message for a window that only
// accepts dropped files.
void AcceptDroppedFiles(HWND Wnd);
