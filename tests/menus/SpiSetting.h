#pragma once
// What the menu tests on Windows share.
#include <windows.h>

// A system setting set for one test and put back after it.
class TSpiSetting {
public:
    TSpiSetting(UINT get, UINT set, bool on) : FSet(set)
    {
        SystemParametersInfoA(get, 0, &FOld, 0);
        SystemParametersInfoA(set, 0, reinterpret_cast<void*>(static_cast<INT_PTR>(on)), 0);
    }
    ~TSpiSetting() { SystemParametersInfoA(FSet, 0, reinterpret_cast<void*>(static_cast<INT_PTR>(FOld)), 0); }

private:
    UINT FSet;
    BOOL FOld = FALSE;
};
