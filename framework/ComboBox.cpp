#include "ComboBox.h"

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner)
{
    FWidth = 145;
    FHeight = 21;
}

void TComboBox::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = "COMBOBOX";
    params.Style |= CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
}

void TComboBox::CreateWindowHandle()
{
    // The drop-down's height counts in the window's height.
    SetWindowPos(HandleOrNull(), nullptr, 0, 0, Width(), 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetItems(FItems);
}

void TComboBox::SetItems(const std::vector<std::string>& Items)
{
    if (&Items != &FItems)
        FItems = Items;
    if (FItemIndex >= static_cast<int>(FItems.size()))
        FItemIndex = -1;
    if (!HandleAllocated())
        return;
    SendMessageA(HandleOrNull(), CB_RESETCONTENT, 0, 0);
    for (const std::string& item : FItems)
        SendMessageA(HandleOrNull(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    SendMessageA(HandleOrNull(), CB_SETCURSEL, static_cast<WPARAM>(FItemIndex), 0);
}

void TComboBox::SetItemIndex(int Index)
{
    FItemIndex = Index >= 0 && Index < static_cast<int>(FItems.size()) ? Index : -1;
    if (HandleAllocated())
        SendMessageA(HandleOrNull(), CB_SETCURSEL, static_cast<WPARAM>(FItemIndex), 0);
}

bool TComboBox::ReflectedMessage(TMessage& message)
{
    if (message.Msg != WM_COMMAND || HIWORD(message.WParam) != CBN_SELCHANGE)
        return false;
    FItemIndex = static_cast<int>(SendMessageA(HandleOrNull(), CB_GETCURSEL, 0, 0));
    if (OnChange)
        OnChange(this);
    message.Result = 0;
    return true;
}
