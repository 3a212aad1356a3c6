#pragma once
// A drop-down list combo: texts to choose from, the chosen index and a change event.
#include "Controls.h"

#include <string>
#include <vector>

class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent* owner);
    void SetItems(const std::vector<std::string>& Items);
    const std::vector<std::string>& Items() const { return FItems; }
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Index);
    // Raised when the user chooses an item.
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle() override;
    bool ReflectedMessage(TMessage& message) override;

private:
    std::vector<std::string> FItems;
    int FItemIndex = -1;
};
