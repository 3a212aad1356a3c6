#pragma once
// Runs a COM method's body so that no C++ exception leaves it.
#include <windows.h>

#include <new>

template <class F>
HRESULT ComGuarded(F&& body) noexcept
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}
