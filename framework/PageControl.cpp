#include "PageControl.h"

#include <commctrl.h>

#include <algorithm>

// ---- TTabSheet ----

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner)
{
    FVisible = false;
}

TTabSheet::~TTabSheet()
{
    if (FPageControl)
        FPageControl->RemovePage(this);
}

void TTabSheet::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = "TPvlTabSheet";
    params.Background = GetSysColorBrush(COLOR_BTNFACE);
    params.Style |= WS_CLIPCHILDREN;
}

void TTabSheet::SetPageControl(TPageControl* pageControl)
{
    if (FPageControl == pageControl)
        return;
    if (FPageControl)
        FPageControl->RemovePage(this);
    FPageControl = pageControl;
    SetParent(pageControl);
    if (pageControl)
        pageControl->InsertPage(this);
}

int TTabSheet::PageIndex() const
{
    if (!FPageControl)
        return -1;
    const auto& pages = FPageControl->FPages;
    return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetTabVisible(bool value)
{
    FTabVisible = value;
    if (FPageControl)
        FPageControl->UpdateTabs();
}

void TTabSheet::SetCaption(const std::string& value)
{
    FCaption = value;  // the tab shows it, not the sheet
    if (FPageControl)
        FPageControl->UpdateTabs();
}

// ---- TPageControl ----

TPageControl::TPageControl(TComponent* owner) : TWinControl(owner)
{
    FWidth = 289;
    FHeight = 193;
}

void TPageControl::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = WC_TABCONTROLA;
    params.Style |= WS_TABSTOP | WS_CLIPCHILDREN;
}

void TPageControl::CreateWindowHandle()
{
    UpdateTabs();
}

void TPageControl::InsertPage(TTabSheet* page)
{
    FPages.push_back(page);
    if (!FActivePage)
        FActivePage = page;
    UpdateTabs();
}

void TPageControl::RemovePage(TTabSheet* page)
{
    FPages.erase(std::remove(FPages.begin(), FPages.end(), page), FPages.end());
    if (FActivePage == page)
        FActivePage = FPages.empty() ? nullptr : FPages.front();
    UpdateTabs();
}

int TPageControl::ActivePageIndex() const
{
    return FActivePage ? FActivePage->PageIndex() : -1;
}

void TPageControl::SetActivePageIndex(int index)
{
    SetActivePage(index >= 0 && index < PageCount() ? FPages[static_cast<size_t>(index)] : nullptr);
}

void TPageControl::SetActivePage(TTabSheet* page)
{
    if (page && page->FPageControl != this)
        return;
    FActivePage = page;
    UpdateTabs();
}

void TPageControl::UpdateTabs()
{
    if (HandleAllocated()) {
        const HWND wnd = HandleOrNull();
        SendMessageA(wnd, TCM_DELETEALLITEMS, 0, 0);
        int tab = 0;
        for (TTabSheet* page : FPages) {
            if (!page->FTabVisible)
                continue;
            TCITEMA item{};
            item.mask = TCIF_TEXT;
            std::string text = page->Caption();
            item.pszText = text.data();
            SendMessageA(wnd, TCM_INSERTITEMA, static_cast<WPARAM>(tab), reinterpret_cast<LPARAM>(&item));
            if (page == FActivePage)
                SendMessageA(wnd, TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
            ++tab;
        }
    }
    PlacePages();
}

TRect TPageControl::DisplayRect()
{
    RECT r{0, 0, Width(), Height()};
    const bool anyTab = std::any_of(FPages.begin(), FPages.end(), [](TTabSheet* p) { return p->FTabVisible; });
    if (anyTab && HandleAllocated())
        SendMessageA(HandleOrNull(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    return TRect(r.left, r.top, r.right, r.bottom);
}

void TPageControl::PlacePages()
{
    const TRect r = DisplayRect();
    for (TTabSheet* page : FPages) {
        page->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
        page->SetVisible(page == FActivePage);
    }
}

void TPageControl::Resize()
{
    TWinControl::Resize();
    PlacePages();
}

bool TPageControl::ReflectedMessage(TMessage& message)
{
    if (message.Msg != WM_NOTIFY || reinterpret_cast<NMHDR*>(message.LParam)->code != static_cast<UINT>(TCN_SELCHANGE))
        return false;
    const int tab = static_cast<int>(SendMessageA(HandleOrNull(), TCM_GETCURSEL, 0, 0));
    int seen = 0;
    for (TTabSheet* page : FPages) {
        if (!page->FTabVisible)
            continue;
        if (seen++ == tab) {
            FActivePage = page;
            break;
        }
    }
    PlacePages();
    if (OnChange)
        OnChange(this);
    message.Result = 0;
    return true;
}
