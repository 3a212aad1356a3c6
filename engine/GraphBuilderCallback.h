#pragma once
// The graph builder's filter callback: set as the graph's site, it is asked about every filter
// the graph is about to use, and accepts them all.
#include "dshow/DShow.h"

class TGraphBuilderCallback final : public IAMGraphBuilderCallback {
public:
    // A new callback with one reference, owned by the returned pointer.
    static ComPtr<IAMGraphBuilderCallback> Create();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE SelectedFilter(IMoniker* moniker) override;
    HRESULT STDMETHODCALLTYPE CreatedFilter(IBaseFilter* filter) override;

private:
    TGraphBuilderCallback() = default;
    ~TGraphBuilderCallback() = default;
    LONG FReferences = 1;
};
