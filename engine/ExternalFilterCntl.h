#pragma once
// What the controls of the outside filters (AC3 decoder, subtitle filter, surround effects)
// share: one filter instance kept across graphs, its pins, and how it leaves a graph.
#include "dshow/DShow.h"
#include "framework/Classes.h"

// COM for the thread that makes a control, balanced only when it was taken.
class TComApartment {
public:
    TComApartment() : FResult(CoInitialize(nullptr)) {}
    ~TComApartment() { if (SUCCEEDED(FResult)) CoUninitialize(); }
    TComApartment(const TComApartment&) = delete;
    TComApartment& operator=(const TComApartment&) = delete;

private:
    HRESULT FResult;
};

// A new DMO Wrapper Filter hosting the DirectX Media Object `dmo` of `category`.
HRESULT CreateDMOWrapperFilter(REFCLSID dmo, REFGUID category, ComPtr<IBaseFilter>& filter);

class TExternalFilterCntl : public TComponent {
public:
    explicit TExternalFilterCntl(TComponent* owner) : TComponent(owner) {}
    // Takes the filter out of its graph; the filter is released after that.
    ~TExternalFilterCntl() override;

    bool IsFilterPresent() const { return FFilter != nullptr; }
    // The input pin and the output pin both have a peer.
    bool IsFilterConnected() const;
    // Disconnects the pins from their peers (peer first) and removes the filter from its
    // graph; the instance stays for the next graph. S_OK when there is no filter.
    HRESULT RemoveFilterFromGraph();
    // The control has no interfaces of its own: the filter answers.
    HRESULT QueryInterface(REFIID iid, void** object) const;

    IBaseFilter* Filter() const { return FFilter.Get(); }
    IPin* InputPin() const { return FInputPin.Get(); }
    IPin* OutputPin() const { return FOutputPin.Get(); }

protected:
    // Holds `filter` and walks its pins: the first input and the first output pin are
    // kept; with `keepSecondInput` every later input pin in turn becomes the second input.
    // E_FAIL when either pin is missing, or the failure of the walk.
    HRESULT HoldFilter(const ComPtr<IBaseFilter>& filter, bool keepSecondInput);
    // Lets go of the filter, its control interface and its pins after a failed creation.
    virtual void ReleaseFilter();
    // The filter exists and sits in a graph.
    bool InFilterGraph() const;
    // Disconnects a pin's peer and then the pin; nothing when it is not connected.
    static void DisconnectFromPeer(IPin* pin);

    TComApartment FApartment;  // first, so COM is left last
    ComPtr<IBaseFilter> FFilter;
    ComPtr<IPin> FInputPin;
    ComPtr<IPin> FOutputPin;
    ComPtr<IPin> FSecondInputPin;  // only the subtitle filter has one
};
