#include "GraphBuilderCallback.h"

#include <new>

ComPtr<IAMGraphBuilderCallback> TGraphBuilderCallback::Create()
{
    return AdoptRef<IAMGraphBuilderCallback>(new (std::nothrow) TGraphBuilderCallback());
}

HRESULT STDMETHODCALLTYPE TGraphBuilderCallback::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IAMGraphBuilderCallback) {
        *object = static_cast<IAMGraphBuilderCallback*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE TGraphBuilderCallback::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&FReferences));
}

ULONG STDMETHODCALLTYPE TGraphBuilderCallback::Release()
{
    const LONG left = InterlockedDecrement(&FReferences);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE TGraphBuilderCallback::SelectedFilter(IMoniker*)
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TGraphBuilderCallback::CreatedFilter(IBaseFilter*)
{
    return S_OK;
}
