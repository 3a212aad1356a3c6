#include "ListView.h"

#include <algorithm>

namespace {

void InitListClasses()
{
    static const bool registered = [] {
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
        return InitCommonControlsEx(&classes) != FALSE;
    }();
    (void)registered;
}

std::string ItemText(HWND list, int index, int sub)
{
    char buffer[1024] = {};
    LVITEMA item{};
    item.iSubItem = sub;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return buffer;
}

void SetItemCaption(HWND list, int index, const std::string& text)
{
    LVITEMA item{};
    item.iSubItem = 0;
    item.pszText = const_cast<char*>(text.c_str());
    SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

}  // namespace

TListView::TListView(TComponent* owner) : TWinControl(owner)
{
    InitListClasses();
    FWidth = 250;
    FHeight = 150;
    SetColor(clWhite);
}

TListView::~TListView()
{
    if (FBoldFont)
        DeleteObject(FBoldFont);
}

void TListView::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = WC_LISTVIEWA;
    params.Style |= (FViewStyle == vsIcon ? LVS_ICON | LVS_AUTOARRANGE : LVS_REPORT) | LVS_SHOWSELALWAYS |
                    LVS_SHAREIMAGELISTS | (MultiSelect ? 0 : LVS_SINGLESEL) | (ReadOnly ? 0 : LVS_EDITLABELS);
}

void TListView::CreateWindowHandle()
{
    const HWND list = HandleOrNull();
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    ListView_SetBkColor(list, ColorToRGB(Color()));
    ListView_SetTextBkColor(list, ColorToRGB(Color()));
    ListView_SetTextColor(list, ColorToRGB(FontColor));
    if (SmallImages)
        ListView_SetImageList(list, SmallImages, LVSIL_SMALL);
    if (LargeImages)
        ListView_SetImageList(list, LargeImages, LVSIL_NORMAL);
    for (size_t i = 0; i < Columns.size(); ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<char*>(Columns[i].Caption.c_str());
        column.cx = Columns[i].Width < 0 ? 50 : Columns[i].Width;
        SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    FitAutoColumns();
}

void TListView::Resize()
{
    TWinControl::Resize();
    FitAutoColumns();
}

void TListView::FitAutoColumns()
{
    if (!HandleAllocated())
        return;
    const HWND list = HandleOrNull();
    const int shown = Header_GetItemCount(ListView_GetHeader(list));
    int fixed = 0, autos = 0;
    for (int i = 0; i < shown && i < static_cast<int>(Columns.size()); ++i)
        if (Columns[i].Width < 0)
            ++autos;
        else
            fixed += ListView_GetColumnWidth(list, i);  // as the user left it
    if (autos == 0)
        return;
    RECT client{};
    GetClientRect(list, &client);
    const int each = std::max(20, static_cast<int>((client.right - fixed) / autos));
    for (int i = 0; i < shown && i < static_cast<int>(Columns.size()); ++i)
        if (Columns[i].Width < 0)
            ListView_SetColumnWidth(list, i, each);
}

int TListView::Count() { return ListView_GetItemCount(Handle()); }

int TListView::InsertItem(int Index, const std::string& Caption, const std::vector<std::string>& SubItems,
                          int ImageIndex)
{
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = Index < 0 ? Count() : Index;
    item.pszText = const_cast<char*>(Caption.c_str());
    item.iImage = ImageIndex;
    const int at = static_cast<int>(SendMessageA(Handle(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (at >= 0)
        SetItem(at, Caption, SubItems, ImageIndex);
    return at;
}

void TListView::SetItem(int Index, const std::string& Caption, const std::vector<std::string>& SubItems,
                        int ImageIndex)
{
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = Index;
    item.pszText = const_cast<char*>(Caption.c_str());
    item.iImage = ImageIndex;
    SendMessageA(Handle(), LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    for (size_t sub = 0; sub < SubItems.size(); ++sub) {
        LVITEMA text{};
        text.iSubItem = static_cast<int>(sub + 1);
        text.pszText = const_cast<char*>(SubItems[sub].c_str());
        SendMessageA(Handle(), LVM_SETITEMTEXTA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&text));
    }
}

void TListView::SetImageIndex(int Index, int ImageIndex)
{
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = Index;
    item.iImage = ImageIndex;
    SendMessageA(Handle(), LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

std::string TListView::Caption(int Index) { return ItemText(Handle(), Index, 0); }

std::string TListView::SubItem(int Index, int Sub) { return ItemText(Handle(), Index, Sub + 1); }

int TListView::ImageIndex(int Index)
{
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = Index;
    SendMessageA(Handle(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
}

void TListView::DeleteItem(int Index) { ListView_DeleteItem(Handle(), Index); }

void TListView::Clear() { ListView_DeleteAllItems(Handle()); }

bool TListView::Selected(int Index) { return ListView_GetItemState(Handle(), Index, LVIS_SELECTED) != 0; }

void TListView::SetSelected(int Index, bool Value)
{
    ListView_SetItemState(Handle(), Index, Value ? LVIS_SELECTED : 0, LVIS_SELECTED);
}

std::vector<int> TListView::SelectedIndexes()
{
    std::vector<int> rows;
    for (int at = ListView_GetNextItem(Handle(), -1, LVNI_SELECTED); at >= 0;
         at = ListView_GetNextItem(Handle(), at, LVNI_SELECTED))
        rows.push_back(at);
    return rows;
}

int TListView::SelCount() { return static_cast<int>(ListView_GetSelectedCount(Handle())); }

void TListView::MakeVisible(int Index) { ListView_EnsureVisible(Handle(), Index, FALSE); }

int TListView::ItemAt(int X, int Y)
{
    LVHITTESTINFO hit{};
    hit.pt = {X, Y};
    const int row = ListView_HitTest(Handle(), &hit);
    return (hit.flags & LVHT_ONITEM) ? row : -1;
}

void TListView::BeginUpdate()
{
    if (FUpdateCount++ == 0)
        SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
}

void TListView::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0) {
        SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
        InvalidateRect(Handle(), nullptr, TRUE);
    }
}

void TListView::SetViewStyle(TViewStyle value)
{
    FViewStyle = value;
    if (!HandleAllocated())
        return;
    const LONG_PTR style = GetWindowLongPtrA(HandleOrNull(), GWL_STYLE) & ~static_cast<LONG_PTR>(LVS_TYPEMASK);
    SetWindowLongPtrA(HandleOrNull(), GWL_STYLE, style | (value == vsIcon ? LVS_ICON : LVS_REPORT));
    InvalidateRect(HandleOrNull(), nullptr, TRUE);
}

intptr_t TListView::Data(int Index)
{
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = Index;
    if (!SendMessageA(Handle(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return 0;
    return static_cast<intptr_t>(item.lParam);
}

void TListView::SetData(int Index, intptr_t Value)
{
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = Index;
    item.lParam = static_cast<LPARAM>(Value);
    SendMessageA(Handle(), LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void TListView::EditCaption(int Index)
{
    SetFocus();
    SendMessageA(Handle(), LVM_EDITLABELA, static_cast<WPARAM>(Index), 0);
}

HFONT TListView::BoldFont(HDC dc)
{
    if (!FBoldFont) {
        LOGFONTA font{};
        GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof font, &font);
        font.lfWeight = FW_BOLD;
        FBoldFont = CreateFontIndirectA(&font);
    }
    return FBoldFont;
}

bool TListView::CustomDraw(NMLVCUSTOMDRAW& draw, LRESULT& result)
{
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        result = OnCustomDrawItem ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
        return true;
    case CDDS_ITEMPREPAINT: {
        const int index = static_cast<int>(draw.nmcd.dwItemSpec);
        TColor background = Color(), text = FontColor;
        bool bold = false;
        OnCustomDrawItem(this, index, background, text, bold);
        draw.clrTextBk = ColorToRGB(background);
        draw.clrText = ColorToRGB(text);
        result = CDRF_DODEFAULT;
        if (bold) {
            SelectObject(draw.nmcd.hdc, BoldFont(draw.nmcd.hdc));
            result = CDRF_NEWFONT;
        }
        return true;
    }
    default:
        result = CDRF_DODEFAULT;
        return true;
    }
}

bool TListView::ReflectedMessage(TMessage& message)
{
    if (message.Msg != WM_NOTIFY)
        return false;
    auto* header = reinterpret_cast<NMHDR*>(message.LParam);
    if (header->code == NM_CUSTOMDRAW && OnCustomDrawItem) {
        LRESULT result = CDRF_DODEFAULT;
        CustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(message.LParam), result);
        message.Result = result;
        return true;
    }
    if (header->code == LVN_ENDLABELEDITA) {
        const auto* edit = reinterpret_cast<NMLVDISPINFOA*>(message.LParam);
        if (!edit->item.pszText) {  // cancelled
            message.Result = FALSE;
            return true;
        }
        const std::string text = edit->item.pszText;
        const int index = edit->item.iItem;
        // Accept first so the handler reads the row's new caption.
        SetItemCaption(HandleOrNull(), index, text);
        if (OnEdited)
            OnEdited(this, index, text);
        message.Result = TRUE;
        return true;
    }
    if (header->code == LVN_KEYDOWN && OnKeyDown) {
        OnKeyDown(this, reinterpret_cast<NMLVKEYDOWN*>(message.LParam)->wVKey);
        message.Result = 0;
        return true;
    }
    if (header->code == NM_RCLICK && OnContextPopup) {
        POINT at{};
        GetCursorPos(&at);
        OnContextPopup(this, at.x, at.y);
        message.Result = 0;
        return true;
    }
    if (header->code == LVN_BEGINDRAG && OnBeginDrag) {
        OnBeginDrag(this);
        message.Result = 0;
        return true;
    }
    if (header->code == LVN_ITEMCHANGED && OnSelectItem) {
        const auto* change = reinterpret_cast<NMLISTVIEW*>(message.LParam);
        if (change->iItem >= 0 && (change->uChanged & LVIF_STATE) &&
            ((change->uOldState ^ change->uNewState) & LVIS_SELECTED))
            OnSelectItem(this, change->iItem, (change->uNewState & LVIS_SELECTED) != 0);
        message.Result = 0;
        return true;
    }
    if (header->code == LVN_GETINFOTIPA && OnInfoTip) {
        auto* tip = reinterpret_cast<NMLVGETINFOTIPA*>(message.LParam);
        const std::string text = OnInfoTip(this, tip->iItem);
        if (tip->pszText && tip->cchTextMax > 0)
            lstrcpynA(tip->pszText, text.c_str(), tip->cchTextMax);
        message.Result = 0;
        return true;
    }
    return false;
}

TStatusBar::TStatusBar(TComponent* owner) : TWinControl(owner)
{
    InitListClasses();
    FHeight = 19;
    SetAlign(alBottom);
}

void TStatusBar::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = STATUSCLASSNAMEA;
    params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | SBARS_SIZEGRIP;
}

void TStatusBar::CreateWindowHandle() { ApplyPanels(); }

void TStatusBar::SetSimplePanel(bool value)
{
    FSimplePanel = value;
    if (HandleAllocated())
        ApplyPanels();
}

void TStatusBar::SetSimpleText(const std::string& value)
{
    FSimpleText = value;
    if (HandleAllocated() && FSimplePanel)
        SendMessageA(HandleOrNull(), SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(FSimpleText.c_str()));
}

void TStatusBar::SetPanelWidths(const std::vector<int>& Widths)
{
    FWidths = Widths;
    FTexts.resize(FWidths.size());
    if (HandleAllocated())
        ApplyPanels();
}

void TStatusBar::SetPanelText(int Panel, const std::string& Text)
{
    if (Panel < 0 || Panel >= static_cast<int>(FTexts.size()))
        return;
    FTexts[Panel] = Text;
    if (HandleAllocated())
        SendMessageA(HandleOrNull(), SB_SETTEXTA, static_cast<WPARAM>(Panel), reinterpret_cast<LPARAM>(Text.c_str()));
}

std::string TStatusBar::PanelText(int Panel) const
{
    return Panel >= 0 && Panel < static_cast<int>(FTexts.size()) ? FTexts[Panel] : std::string();
}

void TStatusBar::ApplyPanels()
{
    // The control takes right edges; the last panel runs to the bar's edge.
    std::vector<int> edges;
    int right = 0;
    for (size_t i = 0; i < FWidths.size(); ++i) {
        right += FWidths[i];
        edges.push_back(i + 1 == FWidths.size() || FWidths[i] < 0 ? -1 : right);
    }
    SendMessageA(HandleOrNull(), SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    for (size_t i = 0; i < FTexts.size(); ++i)
        SendMessageA(HandleOrNull(), SB_SETTEXTA, i, reinterpret_cast<LPARAM>(FTexts[i].c_str()));
    SendMessageA(HandleOrNull(), SB_SIMPLE, FSimplePanel, 0);
    if (FSimplePanel)
        SendMessageA(HandleOrNull(), SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(FSimpleText.c_str()));
}

void TStatusBar::Resize()
{
    TWinControl::Resize();
    if (HandleAllocated())
        SendMessageA(HandleOrNull(), WM_SIZE, 0, 0);
}
