#pragma once
// Pages on top of each other with a tab for each; sheets whose tab is hidden are still
// pages, and with every tab hidden the control shows pages without a tab strip.
#include "Controls.h"

#include <vector>

class TPageControl;

class TTabSheet : public TWinControl {
public:
    explicit TTabSheet(TComponent* owner);
    ~TTabSheet() override;
    TPageControl* PageControl() const { return FPageControl; }
    // Makes the sheet the page control's last page (and its child).
    void SetPageControl(TPageControl* pageControl);
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool value);
    int PageIndex() const;
    void SetCaption(const std::string& value) override;

protected:
    void CreateParams(TCreateParams& params) override;

private:
    friend class TPageControl;
    TPageControl* FPageControl = nullptr;
    bool FTabVisible = true;
};

class TPageControl : public TWinControl {
public:
    explicit TPageControl(TComponent* owner);
    int PageCount() const { return static_cast<int>(FPages.size()); }
    TTabSheet* Pages(int index) const { return FPages.at(static_cast<size_t>(index)); }
    TTabSheet* ActivePage() const { return FActivePage; }
    void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int index);
    // Raised when the user chooses another tab.
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle() override;
    bool ReflectedMessage(TMessage& message) override;
    void Resize() override;

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);
    void UpdateTabs();  // the tab strip from the sheets whose tab shows
    void PlacePages();  // each sheet over the display area, only the active one visible
    TRect DisplayRect();
    std::vector<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;
};
