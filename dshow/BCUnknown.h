#pragma once
// The COM plumbing every object of ours stands on: a reference-counted IUnknown that can be
// aggregated, the class factory, and a guard that keeps C++ exceptions inside COM methods.
#include "dshow/DShow.h"
#include "framework/ComGuard.h"

#include <atomic>
#include <new>
#include <utility>

// The object's own IUnknown. When the object is aggregated, its interfaces forward
// IUnknown to the outer object and only this one answers for the object itself.
// Its three slots have IUnknown's layout, so it can stand in for IUnknown.
struct INonDelegatingUnknown {
    virtual HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** object) = 0;
    virtual ULONG STDMETHODCALLTYPE NonDelegatingAddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE NonDelegatingRelease() = 0;
};

class TBCUnknown : public INonDelegatingUnknown {
public:
    // outer: the aggregating object, or nullptr for a stand-alone object.
    explicit TBCUnknown(IUnknown* outer) noexcept;
    virtual ~TBCUnknown();
    TBCUnknown(const TBCUnknown&) = delete;
    TBCUnknown& operator=(const TBCUnknown&) = delete;

    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE NonDelegatingAddRef() override;
    ULONG STDMETHODCALLTYPE NonDelegatingRelease() override;

    // The IUnknown that every interface of this object forwards to.
    IUnknown* GetOwner() const { return FOwner; }
    // Objects of ours alive in the process: zero once everything has been released.
    static long ObjectCount();

    // Hands `object` out as the answer of a QueryInterface, with a reference.
    static HRESULT GetInterface(IUnknown* object, void** out);
    // Takes a freshly made object (or nullptr when making it failed) and answers `iid` from it;
    // the object goes away when the query fails.
    static HRESULT QueryNew(TBCUnknown* made, REFIID iid, void** object);

private:
    std::atomic<ULONG> FRefCount{0};
    IUnknown* FOwner;
};

// The IUnknown methods of a class with interfaces: they forward to the owner.
#define PVL_DECLARE_IUNKNOWN                                                                     \
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override                 \
    {                                                                                            \
        return GetOwner()->QueryInterface(iid, object);                                          \
    }                                                                                            \
    ULONG STDMETHODCALLTYPE AddRef() override { return GetOwner()->AddRef(); }                   \
    ULONG STDMETHODCALLTYPE Release() override { return GetOwner()->Release(); }

// A new object of ours held by a ComPtr, which takes its first reference. For callers
// outside COM methods: it throws std::bad_alloc like any allocation.
template <class T, class... Args>
ComPtr<T> NewComObject(Args&&... args)
{
    return ComPtr<T>(new T(std::forward<Args>(args)...));
}

// Makes an object of a class on demand, for CoRegisterClassObject or a DllGetClassObject.
using TBCCreateFunction = HRESULT (*)(IUnknown* outer, REFIID iid, void** object);

class TBCClassFactory final : public TBCUnknown, public IClassFactory {
public:
    explicit TBCClassFactory(TBCCreateFunction create) : TBCUnknown(nullptr), FCreate(create) {}
    PVL_DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;
    // Locks taken through LockServer and not yet released.
    static long LockCount();

    // A new factory, with one reference for the caller.
    static HRESULT Create(TBCCreateFunction create, IClassFactory** factory);

private:
    TBCCreateFunction FCreate;
};
