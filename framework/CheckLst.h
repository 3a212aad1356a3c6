#pragma once
// A list of texts, each with a check box; a click on the box or the space bar toggles it.
#include "Controls.h"

#include <string>
#include <vector>

class TCheckListBox : public TWinControl {
public:
    explicit TCheckListBox(TComponent* owner);
    void SetItems(const std::vector<std::string>& items);  // all unchecked
    const std::vector<std::string>& Items() const { return FItems; }
    int Count() const { return static_cast<int>(FItems.size()); }
    bool Checked(int index) const;
    void SetChecked(int index, bool value);  // an index out of range is ignored
    int ItemIndex() const;
    void SetItemIndex(int index);
    // Raised when the user toggles an item.
    TNotifyEvent OnClickCheck;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle() override;
    bool ReflectedMessage(TMessage& message) override;
    void WndProc(TMessage& message) override;

private:
    void Toggle(int index);
    void RedrawItem(int index);
    std::vector<std::string> FItems;
    std::vector<bool> FChecked;
    int FItemIndex = -1;
};
