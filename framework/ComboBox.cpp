#include "ComboBox.h"

#include <algorithm>

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner)
{
    FWidth = 145;
    FHeight = 21;
}

void TComboBox::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = "COMBOBOX";
    params.Style |= (Style == csDropDown ? CBS_DROPDOWN | CBS_AUTOHSCROLL : CBS_DROPDOWNLIST) | WS_VSCROLL | WS_TABSTOP;
}

void TComboBox::CreateWindowHandle()
{
    // The drop-down's height counts in the window's height.
    SetWindowPos(HandleOrNull(), nullptr, 0, 0, Width(), 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const std::string text = FText;
    SetItems(FItems);
    if (Style == csDropDown && FItemIndex < 0)
        SetWindowTextA(HandleOrNull(), text.c_str());
}

void TComboBox::SetItems(const std::vector<std::string>& Items)
{
    if (&Items != &FItems)
        FItems = Items;
    if (FItemIndex >= static_cast<int>(FItems.size()))
        FItemIndex = -1;
    if (FItemIndex >= 0)
        FText = FItems[static_cast<size_t>(FItemIndex)];
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
    FText = FItemIndex >= 0 ? FItems[static_cast<size_t>(FItemIndex)] : std::string();
    if (HandleAllocated())
        SendMessageA(HandleOrNull(), CB_SETCURSEL, static_cast<WPARAM>(FItemIndex), 0);
}

std::string TComboBox::Text() const
{
    return FText;
}

void TComboBox::SetText(const std::string& value)
{
    const auto found = std::find(FItems.begin(), FItems.end(), value);
    if (found != FItems.end() || Style == csDropDownList) {
        SetItemIndex(found != FItems.end() ? static_cast<int>(found - FItems.begin()) : -1);
        return;
    }
    SetItemIndex(-1);
    FText = value;
    if (HandleAllocated())
        SetWindowTextA(HandleOrNull(), value.c_str());
}

bool TComboBox::ReflectedMessage(TMessage& message)
{
    if (message.Msg != WM_COMMAND)
        return false;
    const int code = HIWORD(message.WParam);
    if (code == CBN_EDITCHANGE) {
        std::vector<char> buffer(static_cast<size_t>(GetWindowTextLengthA(HandleOrNull())) + 1);
        const int got = GetWindowTextA(HandleOrNull(), buffer.data(), static_cast<int>(buffer.size()));
        FText.assign(buffer.data(), static_cast<size_t>(got > 0 ? got : 0));
        FItemIndex = -1;
    } else if (code == CBN_SELCHANGE) {
        FItemIndex = static_cast<int>(SendMessageA(HandleOrNull(), CB_GETCURSEL, 0, 0));
        FText = FItemIndex >= 0 && FItemIndex < static_cast<int>(FItems.size()) ? FItems[static_cast<size_t>(FItemIndex)]
                                                                                   : std::string();
    } else {
        return false;
    }
    if (OnChange)
        OnChange(this);
    message.Result = 0;
    return true;
}
