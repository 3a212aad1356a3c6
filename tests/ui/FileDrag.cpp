#include "tests/ui/FileDrag.h"

#include <ole2.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <atomic>
#include <thread>

using Microsoft::WRL::ComPtr;

namespace pvltest {

namespace {

// Lets go when the mouse thread has released the button; until then the drag goes on.
class TDragSource final : public IDropSource {
public:
    std::atomic<bool> Looping{false}, Released{false};
    std::atomic<DWORD> Effect{DROPEFFECT_NONE};

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (iid == IID_IUnknown || iid == IID_IDropSource) {
            *out = static_cast<IDropSource*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // Lives on the caller's stack for the whole drag.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override
    {
        Looping = true;
        if (escape)
            return DRAGDROP_S_CANCEL;
        return Released && !(keys & MK_LBUTTON) ? DRAGDROP_S_DROP : S_OK;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override
    {
        Effect = effect;
        return DRAGDROP_S_USEDEFAULTCURSORS;
    }
};

void SendMouse(DWORD flags, POINT at = {})
{
    // Absolute coordinates in 1/65536 of the screen, rounded up so that they land on the pixel.
    const LONG cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    input.mi.dx = static_cast<LONG>((static_cast<LONGLONG>(at.x) * 65536 + cx - 1) / cx);
    input.mi.dy = static_cast<LONG>((static_cast<LONGLONG>(at.y) * 65536 + cy - 1) / cy);
    SendInput(1, &input, sizeof input);
}

// The shell's data object of files of one folder, as a drag from a folder window offers it.
ComPtr<IDataObject> ShellDataObject(const std::vector<std::string>& files)
{
    ComPtr<IShellFolder> desktop, folder;
    if (files.empty() || FAILED(SHGetDesktopFolder(&desktop)))
        return nullptr;
    const std::string& first = files.front();
    const std::wstring folderName(first.begin(), first.begin() + static_cast<std::ptrdiff_t>(first.find_last_of('\\')));
    PIDLIST_RELATIVE folderList = nullptr;
    if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, const_cast<LPWSTR>(folderName.c_str()), nullptr, &folderList, nullptr)))
        return nullptr;
    const HRESULT bound = desktop->BindToObject(folderList, nullptr, IID_PPV_ARGS(&folder));
    CoTaskMemFree(folderList);
    if (FAILED(bound))
        return nullptr;
    std::vector<PCUITEMID_CHILD> children;
    for (const std::string& file : files) {
        std::wstring name(file.begin() + static_cast<std::ptrdiff_t>(file.find_last_of('\\') + 1), file.end());
        PIDLIST_RELATIVE child = nullptr;
        if (SUCCEEDED(folder->ParseDisplayName(nullptr, nullptr, name.data(), nullptr, &child, nullptr)))
            children.push_back(static_cast<PCUITEMID_CHILD>(child));
    }
    ComPtr<IDataObject> data;
    if (children.size() != files.size() ||
        FAILED(folder->GetUIObjectOf(nullptr, static_cast<UINT>(children.size()), children.data(), IID_IDataObject, nullptr,
                                     reinterpret_cast<void**>(data.GetAddressOf()))))
        data.Reset();
    for (PCUITEMID_CHILD child : children)
        CoTaskMemFree(const_cast<ITEMID_CHILD*>(child));
    return data;
}

// Waits for the condition in small steps, for at most the time given.
template <class Condition>
bool WaitFor(Condition done, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(20);
    }
    return true;
}

}  // namespace

int DragFiles(const std::vector<std::string>& files, POINT from, POINT to)
{
    if (FAILED(OleInitialize(nullptr)))
        return -1;
    int result = -1;
    if (const ComPtr<IDataObject> data = ShellDataObject(files)) {
        TDragSource source;
        SetCursorPos(from.x, from.y);
        SendMouse(MOUSEEVENTF_MOVE, from);
        SendMouse(MOUSEEVENTF_LEFTDOWN, from);
        // The drag loop runs on this thread; the mouse moves from another, as a hand would.
        std::thread hand([&] {
            WaitFor([&] { return source.Looping.load(); }, 5000);
            constexpr int kSteps = 12;
            for (int i = 1; i <= kSteps; ++i) {
                SendMouse(MOUSEEVENTF_MOVE, POINT{from.x + (to.x - from.x) * i / kSteps, from.y + (to.y - from.y) * i / kSteps});
                Sleep(15);  // the loop sees each step as a move of its own
            }
            // Over a target, it answers an effect before the button is let go.
            WaitFor([&] { return source.Effect != DROPEFFECT_NONE; }, 3000);
            source.Released = true;
            SendMouse(MOUSEEVENTF_LEFTUP, to);
        });
        DWORD effect = DROPEFFECT_NONE;
        const HRESULT hr = DoDragDrop(data.Get(), &source, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, &effect);
        hand.join();
        result = hr == DRAGDROP_S_DROP ? static_cast<int>(effect) : SUCCEEDED(hr) ? DROPEFFECT_NONE : -1;
    }
    OleUninitialize();
    return result;
}

}  // namespace pvltest
