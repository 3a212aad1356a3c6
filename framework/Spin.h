#pragma once
// A number edit with up and down arrows between a smallest and a largest value.
#include "StdCtrls.h"

class TSpinEdit : public TEdit {
public:
    explicit TSpinEdit(TComponent* owner);
    ~TSpinEdit() override;
    int MinValue = 0;
    int MaxValue = 100;
    // The number shown, kept within the bounds; a text that is no number keeps the last one.
    int Value() const;
    void SetValue(int value);

    void SetBounds(int left, int top, int width, int height) override;
    void SetVisible(bool value) override;
    void SetEnabled(bool value) override;

protected:
    void CreateWindowHandle() override;
    bool ReflectedMessage(TMessage& message) override;

private:
    void PlaceArrows();
    int FValue = 0;
    HWND FArrows = nullptr;  // a sibling window, destroyed with the parent or here
};
