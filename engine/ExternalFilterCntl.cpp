#include "engine/ExternalFilterCntl.h"

#include <dmodshow.h>

namespace {

bool HasPeer(IPin* pin)
{
    if (!pin)
        return false;
    ComPtr<IPin> peer;
    return pin->ConnectedTo(&peer) == S_OK;
}

}  // namespace

HRESULT CreateDMOWrapperFilter(REFCLSID dmo, REFGUID category, ComPtr<IBaseFilter>& filter)
{
    ComPtr<IBaseFilter> made;
    HRESULT result = CoCreateInstance(CLSID_DMOWrapperFilter, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&made));
    if (FAILED(result))
        return result;
    ComPtr<IDMOWrapperFilter> wrapper;
    result = made.As(&wrapper);
    if (SUCCEEDED(result))
        result = wrapper->Init(dmo, category);
    if (SUCCEEDED(result))
        filter = made;
    return result;
}

void TExternalFilterCntl::DisconnectFromPeer(IPin* pin)
{
    if (!pin)
        return;
    ComPtr<IPin> peer;
    if (SUCCEEDED(pin->ConnectedTo(&peer)) && peer) {
        peer->Disconnect();
        pin->Disconnect();
    }
}

TExternalFilterCntl::~TExternalFilterCntl()
{
    RemoveFilterFromGraph();
}

bool TExternalFilterCntl::IsFilterConnected() const
{
    return HasPeer(FInputPin.Get()) && HasPeer(FOutputPin.Get());
}

HRESULT TExternalFilterCntl::RemoveFilterFromGraph()
{
    HRESULT result = S_OK;
    if (!FFilter)
        return result;
    FILTER_INFO info{};
    if (SUCCEEDED(FFilter->QueryFilterInfo(&info))) {
        DisconnectFromPeer(FInputPin.Get());
        DisconnectFromPeer(FOutputPin.Get());
        DisconnectFromPeer(FSecondInputPin.Get());
        if (info.pGraph) {
            result = info.pGraph->RemoveFilter(FFilter.Get());
            info.pGraph->Release();
        }
    }
    return result;
}

HRESULT TExternalFilterCntl::QueryInterface(REFIID iid, void** object) const
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!FFilter)
        return E_NOINTERFACE;
    return FFilter->QueryInterface(iid, object);
}

HRESULT TExternalFilterCntl::HoldFilter(const ComPtr<IBaseFilter>& filter, bool keepSecondInput)
{
    FFilter = filter;
    ComPtr<IEnumPins> pins;
    HRESULT result = FFilter->EnumPins(&pins);
    if (FAILED(result))
        return result;
    ComPtr<IPin> pin;
    while (pins->Next(1, pin.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
        PIN_DIRECTION direction;
        result = pin->QueryDirection(&direction);
        if (FAILED(result))
            return result;
        if (direction == PINDIR_INPUT) {
            if (!FInputPin)
                FInputPin = pin;
            else if (keepSecondInput)
                FSecondInputPin = pin;
        } else if (!FOutputPin) {
            FOutputPin = pin;
        }
    }
    return FInputPin && FOutputPin ? S_OK : E_FAIL;
}

void TExternalFilterCntl::ReleaseFilter()
{
    FSecondInputPin.Reset();
    FOutputPin.Reset();
    FInputPin.Reset();
    FFilter.Reset();
}

bool TExternalFilterCntl::InFilterGraph() const
{
    if (!FFilter)
        return false;
    FILTER_INFO info{};
    if (FAILED(FFilter->QueryFilterInfo(&info)))
        return false;
    const bool inGraph = info.pGraph != nullptr;
    if (info.pGraph)
        info.pGraph->Release();
    return inGraph;
}
