#pragma once
// A combo box: a fixed drop-down list of texts to choose from, or an editable one whose
// text may also be typed; the chosen index and a change event.
#include "Controls.h"

#include <string>
#include <vector>

enum TComboBoxStyle { csDropDownList, csDropDown };

class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent* owner);
    void SetItems(const std::vector<std::string>& Items);
    const std::vector<std::string>& Items() const { return FItems; }
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Index);
    // Fixed list (the default) or editable; set before the window exists.
    TComboBoxStyle Style = csDropDownList;
    // The chosen item's text, or what was typed in an editable box (index -1 then).
    std::string Text() const;
    // An editable box shows any text (choosing the item of that text when there is one);
    // a fixed list chooses the item of that text, or none.
    void SetText(const std::string& value);
    // Raised when the user chooses an item or types.
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle() override;
    bool ReflectedMessage(TMessage& message) override;

private:
    std::vector<std::string> FItems;
    int FItemIndex = -1;
    std::string FText;
};
