#include "dshow/BCUnknown.h"

namespace {
std::atomic<long> ObjectsAlive{0};
std::atomic<long> ServerLocks{0};
}  // namespace

TBCUnknown::TBCUnknown(IUnknown* outer) noexcept
    : FOwner(outer ? outer : reinterpret_cast<IUnknown*>(static_cast<INonDelegatingUnknown*>(this)))
{
    ++ObjectsAlive;
}

TBCUnknown::~TBCUnknown()
{
    --ObjectsAlive;
}

long TBCUnknown::ObjectCount()
{
    return ObjectsAlive.load();
}

HRESULT STDMETHODCALLTYPE TBCUnknown::NonDelegatingQueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown)
        return GetInterface(reinterpret_cast<IUnknown*>(static_cast<INonDelegatingUnknown*>(this)), object);
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE TBCUnknown::NonDelegatingAddRef()
{
    return ++FRefCount;
}

ULONG STDMETHODCALLTYPE TBCUnknown::NonDelegatingRelease()
{
    const ULONG count = --FRefCount;
    if (count == 0) {
        // A destructor that takes and drops a reference of its own must not free us twice.
        FRefCount = 1;
        delete this;
    }
    return count;
}

HRESULT TBCUnknown::GetInterface(IUnknown* object, void** out)
{
    if (!out)
        return E_POINTER;
    *out = object;
    object->AddRef();
    return S_OK;
}

HRESULT TBCUnknown::QueryNew(TBCUnknown* made, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!made)
        return E_OUTOFMEMORY;
    made->NonDelegatingAddRef();
    const HRESULT hr = made->NonDelegatingQueryInterface(iid, object);
    made->NonDelegatingRelease();
    return hr;
}

HRESULT STDMETHODCALLTYPE TBCClassFactory::NonDelegatingQueryInterface(REFIID iid, void** object)
{
    if (iid == IID_IClassFactory)
        return GetInterface(static_cast<IClassFactory*>(this), object);
    return TBCUnknown::NonDelegatingQueryInterface(iid, object);
}

HRESULT STDMETHODCALLTYPE TBCClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    // An aggregated object can only be asked for its own IUnknown at creation.
    if (outer && iid != IID_IUnknown)
        return CLASS_E_NOAGGREGATION;
    return FCreate(outer, iid, object);
}

HRESULT STDMETHODCALLTYPE TBCClassFactory::LockServer(BOOL lock)
{
    if (lock)
        ++ServerLocks;
    else
        --ServerLocks;
    return S_OK;
}

long TBCClassFactory::LockCount()
{
    return ServerLocks.load();
}

HRESULT TBCClassFactory::Create(TBCCreateFunction create, IClassFactory** factory)
{
    if (!create)
        return E_INVALIDARG;
    return QueryNew(new (std::nothrow) TBCClassFactory(create), IID_IClassFactory, reinterpret_cast<void**>(factory));
}
