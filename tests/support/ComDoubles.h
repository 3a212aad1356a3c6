#pragma once
// COM plumbing for doubles of outside filters: a call log by interface slot, a class
// factory over a function, and an in-process registration under a class id for one test.
#include "dshow/DShow.h"

#include <functional>
#include <mutex>
#include <set>
#include <vector>

namespace pvltest {

// One call of a control interface: its slot in the interface's table and the values passed
// in (Booleans, integers and levels alike as doubles; a get call passes none).
struct TSlotCall {
    int Slot = 0;
    std::vector<double> Args;
    bool operator==(const TSlotCall&) const = default;
};

// Calls in the order they came, safe to fill from a streaming thread.
class TCallLog {
public:
    void Add(int slot, std::vector<double> args = {});
    // Adds the call and gives what it answers: E_FAIL for a failing slot, else S_OK.
    HRESULT Answer(int slot, std::vector<double> args = {});
    std::vector<TSlotCall> Calls() const;
    std::vector<TSlotCall> CallsTo(int slot) const;
    // Slot numbers only, in order.
    std::vector<int> Slots() const;
    void Clear();

    // Slots whose calls answer E_FAIL (after being logged).
    void FailSlot(int slot);
    bool Fails(int slot) const;

private:
    mutable std::mutex FLock;
    std::vector<TSlotCall> FCalls;
    std::set<int> FFailing;
};

using TCreateFunction = std::function<HRESULT(IUnknown* outer, REFIID iid, void** object)>;

// A class factory that makes its objects through a function.
class TClassFactory final : public IClassFactory {
public:
    explicit TClassFactory(TCreateFunction create) : FCreate(std::move(create)) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }

private:
    ~TClassFactory() = default;
    LONG FRefs = 1;
    TCreateFunction FCreate;
};

// Registers a class factory under a class id for this thread's COM, until destroyed.
class TClassRegistration {
public:
    TClassRegistration(const GUID& clsid, TCreateFunction create);
    ~TClassRegistration();
    TClassRegistration(const TClassRegistration&) = delete;
    TClassRegistration& operator=(const TClassRegistration&) = delete;
    HRESULT Result() const { return FResult; }

private:
    DWORD FCookie = 0;
    HRESULT FResult = E_FAIL;
};

}  // namespace pvltest
