#include "tests/support/WineGraph.h"

namespace pvltest {

ComPtr<IGraphBuilder> NewGraph()
{
    ComPtr<IGraphBuilder> graph;
    CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&graph));
    return graph;
}

void PumpMessages(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
}

long RunUntilComplete(IGraphBuilder* graph, DWORD timeoutMs)
{
    ComPtr<IMediaControl> control;
    ComPtr<IMediaEvent> events;
    if (FAILED(graph->QueryInterface(IID_PPV_ARGS(&control))) || FAILED(graph->QueryInterface(IID_PPV_ARGS(&events))))
        return 0;
    if (FAILED(control->Run()))
        return 0;
    const DWORD start = GetTickCount();
    long result = 0;
    while (result == 0 && GetTickCount() - start < timeoutMs) {
        long code = 0;
        LONG_PTR p1 = 0, p2 = 0;
        if (events->GetEvent(&code, &p1, &p2, 20) == S_OK) {
            events->FreeEventParams(code, p1, p2);
            if (code == EC_COMPLETE || code == EC_ERRORABORT || code == EC_USERABORT)
                result = code;
        }
        PumpMessages(0);
    }
    control->Stop();
    return result;
}

std::wstring FilterNames(IGraphBuilder* graph)
{
    std::wstring names;
    ComPtr<IEnumFilters> filters;
    if (FAILED(graph->EnumFilters(&filters)))
        return names;
    ComPtr<IBaseFilter> filter;
    while (filters->Next(1, filter.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
        FILTER_INFO info{};
        if (SUCCEEDED(filter->QueryFilterInfo(&info))) {
            if (!names.empty())
                names += L", ";
            names += info.achName;
            if (info.pGraph)
                info.pGraph->Release();
        }
    }
    return names;
}

ComPtr<IPin> FindPin(IBaseFilter* filter, PIN_DIRECTION direction, int index)
{
    ComPtr<IEnumPins> pins;
    if (!filter || FAILED(filter->EnumPins(&pins)))
        return nullptr;
    ComPtr<IPin> pin;
    while (pins->Next(1, pin.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
        PIN_DIRECTION each;
        if (SUCCEEDED(pin->QueryDirection(&each)) && each == direction && index-- == 0)
            return pin;
    }
    return nullptr;
}

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (condition())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

bool PumpUntilComplete(Microsoft::WRL::ComPtr<IMediaEventEx> events, DWORD timeoutMs)
{
    bool complete = false;
    PumpUntil(
        [&] {
            long code = 0;
            LONG_PTR one = 0, two = 0;
            while (events && events->GetEvent(&code, &one, &two, 0) == S_OK) {
                complete = complete || code == EC_COMPLETE;
                events->FreeEventParams(code, one, two);
            }
            return complete;
        },
        timeoutMs);
    return complete;
}

}  // namespace pvltest
