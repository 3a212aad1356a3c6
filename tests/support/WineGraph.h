#pragma once
// DirectShow helpers for tests that run real graphs under Wine.
#include "dshow/DShow.h"

#include <functional>
#include <string>

namespace pvltest {

using Microsoft::WRL::ComPtr;

// COM for the test's thread, apartment-threaded like the player's GUI thread.
class TComInit {
public:
    TComInit() : FResult(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~TComInit() { if (SUCCEEDED(FResult)) CoUninitialize(); }
    TComInit(const TComInit&) = delete;
    TComInit& operator=(const TComInit&) = delete;
    HRESULT Result() const { return FResult; }

private:
    HRESULT FResult;
};

ComPtr<IGraphBuilder> NewGraph();
// Runs the graph and waits for a completion event, pumping messages; returns the event code
// (EC_COMPLETE on success), or 0 when the time-out passes first.
long RunUntilComplete(IGraphBuilder* graph, DWORD timeoutMs);
// Names of the filters in a graph, in enumeration order, joined by ", ".
std::wstring FilterNames(IGraphBuilder* graph);
// The filter's pin of that direction, counting in enumeration order from 0; empty when none.
ComPtr<IPin> FindPin(IBaseFilter* filter, PIN_DIRECTION direction, int index = 0);
// The object's reference count now (for checks that a call keeps none of its own).
inline ULONG RefCount(IUnknown* object)
{
    object->AddRef();
    return object->Release();
}
// Pumps this thread's messages for the given time.
void PumpMessages(DWORD milliseconds);
// Pumps this thread's messages until the condition holds (True) or the time-out passes (False).
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs);
// Pumps messages and reads the graph's events until EC_COMPLETE arrives (True) or the time-out
// passes; holds its own reference, since a close may drop the engine's.
bool PumpUntilComplete(Microsoft::WRL::ComPtr<IMediaEventEx> events, DWORD timeoutMs);

}  // namespace pvltest
