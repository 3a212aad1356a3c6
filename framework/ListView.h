#pragma once
// A list view: rows with a caption, sub-item texts and an icon, several selectable at once,
// drawn row by row through a custom-draw event, with info tips and a double-click event.
// Shown as a report or as large icons; captions can be edited in place. The rows live in
// the control's window (made on first use).
#include "Controls.h"
#include "Graphics.h"

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

struct TListColumn {
    std::string Caption;
    int Width = 50;  // below 0 (LVSCW_AUTOSIZE_USEHEADER): fills what the others leave, on every resize
};

enum TViewStyle { vsReport, vsIcon };

class TListView : public TWinControl {
public:
    explicit TListView(TComponent* owner);
    ~TListView() override;

    std::vector<TListColumn> Columns;
    bool MultiSelect = true;
    TColor FontColor = clBlack;
    HIMAGELIST SmallImages = nullptr;  // not owned
    // Icon view shows LargeImages with the caption beneath.
    HIMAGELIST LargeImages = nullptr;  // not owned
    bool ReadOnly = true;  // False: captions can be edited in place
    TViewStyle ViewStyle() const { return FViewStyle; }
    void SetViewStyle(TViewStyle value);

    int Count();
    // A new row at Index (-1: appended); its index.
    int InsertItem(int Index, const std::string& Caption, const std::vector<std::string>& SubItems, int ImageIndex);
    void SetItem(int Index, const std::string& Caption, const std::vector<std::string>& SubItems, int ImageIndex);
    void SetImageIndex(int Index, int ImageIndex);
    std::string Caption(int Index);
    std::string SubItem(int Index, int Sub);
    int ImageIndex(int Index);
    void DeleteItem(int Index);
    void Clear();
    bool Selected(int Index);
    void SetSelected(int Index, bool Value);
    std::vector<int> SelectedIndexes();
    int SelCount();
    void MakeVisible(int Index);
    // The row under a client point; -1 when none.
    int ItemAt(int X, int Y);
    void BeginUpdate();
    void EndUpdate();
    // A value kept with each row.
    intptr_t Data(int Index);
    void SetData(int Index, intptr_t Value);
    // Starts editing the row's caption in place (needs ReadOnly False).
    void EditCaption(int Index);

    // Before a row is drawn: its background, text colour and weight.
    std::function<void(TListView* Sender, int Index, TColor& Background, TColor& Text, bool& Bold)> OnCustomDrawItem;
    // The control's own drag of rows began (left button).
    TNotifyEvent OnBeginDrag;
    // A row was selected or unselected.
    std::function<void(TListView* Sender, int Index, bool Selected)> OnSelectItem;
    // The info-tip text of a row; empty: none.
    std::function<std::string(TListView* Sender, int Index)> OnInfoTip;
    // A caption edited in place was accepted; the row already holds the new text.
    std::function<void(TListView* Sender, int Index, const std::string& Text)> OnEdited;
    // A key went down while the list had the focus.
    std::function<void(TListView* Sender, WORD Key)> OnKeyDown;
    // The right button was clicked: the screen point.
    std::function<void(TListView* Sender, int X, int Y)> OnContextPopup;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle() override;
    bool ReflectedMessage(TMessage& message) override;
    void Resize() override;

private:
    void FitAutoColumns();
    bool CustomDraw(NMLVCUSTOMDRAW& draw, LRESULT& result);
    HFONT BoldFont(HDC dc);
    HFONT FBoldFont = nullptr;
    int FUpdateCount = 0;
    TViewStyle FViewStyle = vsReport;
};

// A status bar with fixed-width panels (the last one stretches to the edge).
class TStatusBar : public TWinControl {
public:
    explicit TStatusBar(TComponent* owner);
    // The panels' widths; -1 runs to the right edge.
    void SetPanelWidths(const std::vector<int>& Widths);
    void SetPanelText(int Panel, const std::string& Text);
    std::string PanelText(int Panel) const;
    const std::vector<int>& PanelWidths() const { return FWidths; }
    int PanelCount() const { return static_cast<int>(FWidths.size()); }
    // Simple mode shows one text over the whole bar instead of the panels (which keep theirs).
    bool SimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool value);
    const std::string& SimpleText() const { return FSimpleText; }
    void SetSimpleText(const std::string& value);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle() override;
    void Resize() override;

private:
    void ApplyPanels();
    std::vector<int> FWidths;
    std::vector<std::string> FTexts;
    bool FSimplePanel = false;
    std::string FSimpleText;
};
