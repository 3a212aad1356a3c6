#include "playlist/ShellDrop.h"

#include "playlist/ShellUtils.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>

using Microsoft::WRL::ComPtr;

STDMETHODIMP TDropSource::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDropSource) {
        *object = static_cast<IDropSource*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) TDropSource::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&FRefs)); }

STDMETHODIMP_(ULONG) TDropSource::Release()
{
    const LONG left = InterlockedDecrement(&FRefs);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

STDMETHODIMP TDropSource::QueryContinueDrag(BOOL EscapePressed, DWORD KeyState)
{
    const DWORD dragButton = FButton == 2 ? MK_RBUTTON : MK_LBUTTON;
    const DWORD others = (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON) & ~dragButton;
    if (EscapePressed || (KeyState & others))
        return DRAGDROP_S_CANCEL;
    return (KeyState & dragButton) ? S_OK : DRAGDROP_S_DROP;
}

STDMETHODIMP TDropSource::GiveFeedback(DWORD) { return DRAGDROP_S_USEDEFAULTCURSORS; }


STDMETHODIMP TShellDropTarget::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDropTarget) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) TShellDropTarget::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&FRefs)); }

STDMETHODIMP_(ULONG) TShellDropTarget::Release()
{
    const LONG left = InterlockedDecrement(&FRefs);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

ComPtr<IDropTarget> TShellDropTarget::TargetAt(POINTL Point, POINT& Client)
{
    if (!FHost)
        return nullptr;
    Client = {Point.x, Point.y};
    ScreenToClient(FHost->DropWindow(), &Client);
    try {
        return FHost->DropTargetAt(Client);
    } catch (...) {
        return nullptr;
    }
}

STDMETHODIMP TShellDropTarget::DragEnter(IDataObject* Data, DWORD KeyState, POINTL Point, DWORD* Effect)
{
    if (!Effect)
        return E_POINTER;
    const DWORD allowed = *Effect;
    *Effect = DROPEFFECT_NONE;
    FData = Data;
    FLeftButton = (KeyState & MK_LBUTTON) != 0;
    POINT client{};
    if (ComPtr<IDropTarget> target = TargetAt(Point, client)) {
        DWORD effect = allowed;
        if (SUCCEEDED(target->DragEnter(Data, KeyState, Point, &effect)))
            *Effect = effect;
        target->DragLeave();
    }
    return S_OK;
}

STDMETHODIMP TShellDropTarget::DragOver(DWORD KeyState, POINTL Point, DWORD* Effect)
{
    if (!Effect)
        return E_POINTER;
    const DWORD allowed = *Effect;
    *Effect = DROPEFFECT_NONE;
    POINT client{};
    if (FHost) {
        client = {Point.x, Point.y};
        ScreenToClient(FHost->DropWindow(), &client);
        try {
            FHost->DragMoved(client);
        } catch (...) {
        }
    }
    ComPtr<IDropTarget> target = TargetAt(Point, client);
    if (target && FData) {
        DWORD effect = allowed;
        if (SUCCEEDED(target->DragEnter(FData.Get(), KeyState, Point, &effect))) {
            effect = allowed;
            if (SUCCEEDED(target->DragOver(KeyState, Point, &effect)))
                *Effect = effect;
        }
        target->DragLeave();
    }
    return S_OK;
}

STDMETHODIMP TShellDropTarget::DragLeave()
{
    FData.Reset();
    if (FHost)
        FHost->DragEnded();
    return S_OK;
}

STDMETHODIMP TShellDropTarget::Drop(IDataObject* Data, DWORD KeyState, POINTL Point, DWORD* Effect)
{
    if (!Effect)
        return E_POINTER;
    const DWORD allowed = *Effect;
    *Effect = DROPEFFECT_NONE;
    // The drag began with the left button; the drop comes after its release.
    if (FLeftButton)
        KeyState |= MK_LBUTTON;
    POINT client{};
    if (ComPtr<IDropTarget> target = TargetAt(Point, client)) {
        DWORD effect = allowed;
        if (SUCCEEDED(target->DragEnter(Data, KeyState, Point, &effect))) {
            effect = allowed;
            if (SUCCEEDED(target->Drop(Data, KeyState, Point, &effect)))
                *Effect = effect;
        }
    }
    FData.Reset();
    if (FHost)
        FHost->DragEnded();
    return S_OK;
}

namespace {

// Hands files of an OLE drop to its window as the WM_DROPFILES of a shell drop.
class TFileDropBridge final : public TShellDropTarget {
public:
    explicit TFileDropBridge(HWND Wnd) : TShellDropTarget(nullptr), FWnd(Wnd) {}

    STDMETHODIMP DragEnter(IDataObject* Data, DWORD, POINTL, DWORD* Effect) override
    {
        FFiles = Data && Data->QueryGetData(&Format()) == S_OK;
        return DragOver(0, {}, Effect);
    }
    STDMETHODIMP DragOver(DWORD, POINTL, DWORD* Effect) override
    {
        if (!Effect)
            return E_INVALIDARG;
        *Effect = FFiles && (*Effect & DROPEFFECT_COPY) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
        return S_OK;
    }
    STDMETHODIMP DragLeave() override
    {
        FFiles = false;
        return S_OK;
    }
    STDMETHODIMP Drop(IDataObject* Data, DWORD, POINTL Point, DWORD* Effect) override
    {
        DragEnter(Data, 0, Point, Effect);
        FFiles = false;
        if (!Effect || *Effect == DROPEFFECT_NONE)
            return S_OK;
        STGMEDIUM medium{};
        if (FAILED(Data->GetData(&Format(), &medium))) {
            *Effect = DROPEFFECT_NONE;
            return S_OK;
        }
        // The message's block is the window's own: the one in the medium goes with the medium.
        const SIZE_T size = GlobalSize(medium.hGlobal);
        const void* source = GlobalLock(medium.hGlobal);
        HGLOBAL copy = source && size >= sizeof(DROPFILES) ? GlobalAlloc(GHND, size) : nullptr;
        if (copy) {
            auto* drop = static_cast<DROPFILES*>(GlobalLock(copy));
            memcpy(drop, source, size);
            POINT client{Point.x, Point.y};
            ScreenToClient(FWnd, &client);
            drop->pt = client;
            drop->fNC = FALSE;
            GlobalUnlock(copy);
        }
        if (source)
            GlobalUnlock(medium.hGlobal);
        ReleaseStgMedium(&medium);
        if (!copy || !PostMessageA(FWnd, WM_DROPFILES, reinterpret_cast<WPARAM>(copy), 0)) {
            if (copy)
                GlobalFree(copy);
            *Effect = DROPEFFECT_NONE;
        }
        return S_OK;
    }

private:
    static FORMATETC& Format()
    {
        static FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        return format;
    }
    HWND FWnd;
    bool FFiles = false;
};

}  // namespace

void AcceptDroppedFiles(HWND Wnd)
{
    DragAcceptFiles(Wnd, TRUE);
    ShellEnsureOle();
    // A window registered before (a second showing) keeps its target.
    auto* bridge = new TFileDropBridge(Wnd);
    RegisterDragDrop(Wnd, bridge);
    bridge->Release();
}
