#pragma once
// Common controls: the track bar, the up-down stepper and the tree view.
#include "Controls.h"

#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TTrackBar : public TWinControl {
public:
    explicit TTrackBar(TComponent* owner);
    int Min = 0;
    int Max = 10;
    bool Vertical = false;  // top is Min
    int Position() const { return FPosition; }
    void SetPosition(int value);
    // The slider (thumb) can be hidden, leaving the channel.
    bool SliderVisible() const { return FSliderVisible; }
    void SetSliderVisible(bool value);
    // Every change of the position; OnScroll only for the user's own moves (mouse, keys).
    TNotifyEvent OnChange;
    TNotifyEvent OnScroll;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle() override;
    bool ReflectedMessage(TMessage& message) override;

private:
    int FPosition = 0;
    bool FSliderVisible = true;
};

enum TUDBtnType { btNext, btPrev };

// A pair of arrow buttons that steps a position between Min and Max (left/right when
// Horizontal); OnClick tells which button moved it.
class TUpDown : public TWinControl {
public:
    explicit TUpDown(TComponent* owner);
    int Min = 0;
    int Max = 100;
    bool Horizontal = false;
    int Position() const { return FPosition; }
    void SetPosition(int value);  // clamped; raises no event
    std::function<void(TObject* sender, TUDBtnType button)> OnClick;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle() override;
    bool ReflectedMessage(TMessage& message) override;

private:
    int FPosition = 0;
};

// A tree view's change delay: with a delay, a selection change is told only once the
// selection has rested that long, so walking the tree by keys tells just where it stops. A mouse
// press tells a waiting change at once.
class TTreeChangeDelay {
public:
    explicit TTreeChangeDelay(std::function<void()> change) : FChange(std::move(change)) {}
    int Delay = 0;  // milliseconds; 0 tells every change at once
    // The tree's messages: its selection-change notice, timer, mouse presses and end.
    void SelectionChanged(HWND tree);
    // True when the message was the delay's own timer.
    bool WndProc(HWND tree, UINT msg, WPARAM wParam);
    // Selects with no delay for the moment; a change still waiting is told with it.
    void SelectNow(HWND tree, HTREEITEM item);
    bool Waiting() const { return FWaiting; }

private:
    void Tell(HWND tree);
    std::function<void()> FChange;
    bool FWaiting = false;
    unsigned FTold = 0;
};

class TTreeView;

struct TTreeNode {
    std::string Text;
    int StateIndex = -1;  // -1: none
    intptr_t Data = 0;
    TTreeNode* Parent = nullptr;
    HTREEITEM ItemId = nullptr;
};

// The nodes of a tree view, in the order they were added.
class TTreeNodes {
public:
    explicit TTreeNodes(TTreeView& owner) : FOwner(owner) {}
    void Clear();
    // A new last child of the parent (a new last root without one).
    TTreeNode* AddChild(TTreeNode* parent, const std::string& text);
    int Count() const { return static_cast<int>(FNodes.size()); }
    TTreeNode* Item(int index) const { return FNodes.at(static_cast<size_t>(index)).get(); }

private:
    friend class TTreeView;
    TTreeView& FOwner;
    std::vector<std::unique_ptr<TTreeNode>> FNodes;
};

// A read-only tree with lines and buttons, drawn in the control's colour.
class TTreeView : public TWinControl {
public:
    explicit TTreeView(TComponent* owner);
    TTreeNodes Items{*this};
    // Called for each row before it is drawn; set the text colour, or clear defaultDraw to
    // draw nothing.
    std::function<void(TTreeView* sender, TTreeNode* node, TColor& textColor, bool& defaultDraw)> OnCustomDrawItem;
    TColor FontColor = clBlack;
    // The selected node (none: null); choosing one raises OnChange.
    TTreeNode* Selected() const { return FSelected; }
    void Select(TTreeNode* node);
    TNotifyEvent OnChange;
    // Milliseconds a new selection rests before OnChange is raised (0 at once).
    int ChangeDelay() const { return FChangeDelay.Delay; }
    void SetChangeDelay(int value) { FChangeDelay.Delay = value; }
    // Opens every node that has children.
    void FullExpand();

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle() override;
    bool ReflectedMessage(TMessage& message) override;
    void WndProc(TMessage& message) override;

private:
    friend class TTreeNodes;
    TTreeChangeDelay FChangeDelay{[this] {
        if (OnChange)
            OnChange(this);
    }};
    TTreeNode* FSelected = nullptr;
    bool FExpanded = false;
    void InsertItem(TTreeNode& node);
};
