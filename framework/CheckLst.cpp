#include "CheckLst.h"

#include <windowsx.h>

namespace {
constexpr int kItemHeight = 16;
constexpr int kBoxWidth = 16;
}

TCheckListBox::TCheckListBox(TComponent* owner) : TWinControl(owner)
{
    FWidth = 120;
    FHeight = 97;
}

void TCheckListBox::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = "LISTBOX";
    params.Style |= LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER |
                    WS_TABSTOP;
}

void TCheckListBox::CreateWindowHandle()
{
    SendMessageA(HandleOrNull(), LB_SETITEMHEIGHT, 0, kItemHeight);
    SendMessageA(HandleOrNull(), WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    for (const std::string& item : FItems)
        SendMessageA(HandleOrNull(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    SendMessageA(HandleOrNull(), LB_SETCURSEL, static_cast<WPARAM>(FItemIndex), 0);
}

void TCheckListBox::SetItems(const std::vector<std::string>& items)
{
    FItems = items;
    FChecked.assign(items.size(), false);
    FItemIndex = -1;
    if (!HandleAllocated())
        return;
    SendMessageA(HandleOrNull(), LB_RESETCONTENT, 0, 0);
    for (const std::string& item : FItems)
        SendMessageA(HandleOrNull(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

bool TCheckListBox::Checked(int index) const
{
    return index >= 0 && index < Count() && FChecked[static_cast<size_t>(index)];
}

void TCheckListBox::SetChecked(int index, bool value)
{
    if (index < 0 || index >= Count())
        return;
    FChecked[static_cast<size_t>(index)] = value;
    RedrawItem(index);
}

int TCheckListBox::ItemIndex() const
{
    if (HandleAllocated())
        return static_cast<int>(SendMessageA(HandleOrNull(), LB_GETCURSEL, 0, 0));
    return FItemIndex;
}

void TCheckListBox::SetItemIndex(int index)
{
    FItemIndex = index >= 0 && index < Count() ? index : -1;
    if (HandleAllocated())
        SendMessageA(HandleOrNull(), LB_SETCURSEL, static_cast<WPARAM>(FItemIndex), 0);
}

void TCheckListBox::Toggle(int index)
{
    if (index < 0 || index >= Count())
        return;
    SetChecked(index, !Checked(index));
    if (OnClickCheck)
        CallGuarded([&] { OnClickCheck(this); });
}

void TCheckListBox::RedrawItem(int index)
{
    if (!HandleAllocated())
        return;
    RECT r;
    if (SendMessageA(HandleOrNull(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)) != LB_ERR)
        InvalidateRect(HandleOrNull(), &r, TRUE);
}

bool TCheckListBox::ReflectedMessage(TMessage& message)
{
    if (message.Msg != WM_DRAWITEM)
        return false;
    const auto& draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam);
    const HDC dc = draw.hDC;
    RECT row = draw.rcItem;
    const bool selected = (draw.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &row, GetSysColorBrush(COLOR_WINDOW));
    if (draw.itemID != static_cast<UINT>(-1) && static_cast<int>(draw.itemID) < Count()) {
        const int index = static_cast<int>(draw.itemID);
        RECT box = {row.left + 1, row.top + 1, row.left + kBoxWidth - 1, row.bottom - 1};
        DrawFrameControl(dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK | (Checked(index) ? DFCS_CHECKED : 0));
        RECT text = row;
        text.left += kBoxWidth + 2;
        FillRect(dc, &text, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        const std::string& caption = FItems[static_cast<size_t>(index)];
        DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        if (draw.itemState & ODS_FOCUS)
            DrawFocusRect(dc, &text);
    }
    message.Result = TRUE;
    return true;
}

void TCheckListBox::WndProc(TMessage& message)
{
    if (message.Msg == WM_LBUTTONDOWN || message.Msg == WM_LBUTTONDBLCLK) {
        const int x = GET_X_LPARAM(message.LParam);
        const LRESULT hit = SendMessageA(HandleOrNull(), LB_ITEMFROMPOINT, 0, message.LParam);
        TWinControl::WndProc(message);
        if (HIWORD(hit) == 0 && x < kBoxWidth)
            Toggle(LOWORD(hit));
        return;
    }
    if (message.Msg == WM_KEYDOWN && message.WParam == VK_SPACE) {
        Toggle(ItemIndex());
        message.Result = 0;
        return;
    }
    TWinControl::WndProc(message);
}
