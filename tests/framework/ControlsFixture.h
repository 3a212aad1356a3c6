#pragma once
// A form to put controls on, and what the system tells a parent when the user acts.
#include "framework/Forms.h"

#include <gtest/gtest.h>

#include <string>

inline std::string WindowText(HWND wnd)
{
    char buffer[256] = {};
    GetWindowTextA(wnd, buffer, sizeof buffer);
    return buffer;
}

// What the system sends a control's parent when the user acts on the control.
inline void Notify(TWinControl* control, WORD code)
{
    const HWND wnd = control->Handle();
    SendMessageA(GetParent(wnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(wnd), code), reinterpret_cast<LPARAM>(wnd));
}

inline void Type(TWinControl* control, const char* text, WORD code)
{
    SetWindowTextA(control->Handle(), text);
    if (code != EN_CHANGE)  // an edit reports its own change
        Notify(control, code);
}

struct ControlsFixture : ::testing::Test {
    TApplication app;
    TForm* form = nullptr;
    void SetUp() override
    {
        app.ShowExceptions = false;
        form = app.CreateForm<TForm>();
        form->SetBounds(0, 0, 400, 300);
    }
    template <class T>
    T* Add(TWinControl* parent = nullptr)
    {
        T* control = NewComponent<T>(form);
        control->SetParent(parent ? parent : form);
        return control;
    }
};
