#include "tests/support/ComDoubles.h"

namespace pvltest {

void TCallLog::Add(int slot, std::vector<double> args)
{
    std::lock_guard lock(FLock);
    FCalls.push_back({slot, std::move(args)});
}

HRESULT TCallLog::Answer(int slot, std::vector<double> args)
{
    std::lock_guard lock(FLock);
    FCalls.push_back({slot, std::move(args)});
    return FFailing.count(slot) ? E_FAIL : S_OK;
}

std::vector<TSlotCall> TCallLog::Calls() const
{
    std::lock_guard lock(FLock);
    return FCalls;
}

std::vector<TSlotCall> TCallLog::CallsTo(int slot) const
{
    std::lock_guard lock(FLock);
    std::vector<TSlotCall> calls;
    for (const auto& call : FCalls)
        if (call.Slot == slot)
            calls.push_back(call);
    return calls;
}

std::vector<int> TCallLog::Slots() const
{
    std::lock_guard lock(FLock);
    std::vector<int> slots;
    for (const auto& call : FCalls)
        slots.push_back(call.Slot);
    return slots;
}

void TCallLog::Clear()
{
    std::lock_guard lock(FLock);
    FCalls.clear();
}

void TCallLog::FailSlot(int slot)
{
    std::lock_guard lock(FLock);
    FFailing.insert(slot);
}

bool TCallLog::Fails(int slot) const
{
    std::lock_guard lock(FLock);
    return FFailing.count(slot) != 0;
}

STDMETHODIMP TClassFactory::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) TClassFactory::AddRef()
{
    return InterlockedIncrement(&FRefs);
}

STDMETHODIMP_(ULONG) TClassFactory::Release()
{
    const ULONG refs = InterlockedDecrement(&FRefs);
    if (refs == 0)
        delete this;
    return refs;
}

STDMETHODIMP TClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    try {
        return FCreate(outer, iid, object);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

TClassRegistration::TClassRegistration(const GUID& clsid, TCreateFunction create)
{
    auto* factory = new TClassFactory(std::move(create));
    FResult = CoRegisterClassObject(clsid, factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &FCookie);
    factory->Release();
}

TClassRegistration::~TClassRegistration()
{
    if (SUCCEEDED(FResult))
        CoRevokeClassObject(FCookie);
}

}  // namespace pvltest
