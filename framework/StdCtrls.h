#pragma once
// Standard controls over the system's window classes: labels, buttons, check boxes, memos,
// one-line edits, group boxes and radio buttons.
#include "Controls.h"

#include <string>

// Static text. With OnClick set it answers clicks (link labels).
class TLabel : public TWinControl {
public:
    explicit TLabel(TComponent* owner);

    // COLORREF of the text; CLR_INVALID keeps the system's.
    COLORREF FontColor = CLR_INVALID;
    // COLORREF of the background; CLR_INVALID paints the parent's face.
    COLORREF Color = CLR_INVALID;
    bool Underline = false;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle() override;
    bool ReflectedMessage(TMessage& message) override;

private:
    TBrushHandle FBrush;
    TFontHandle FFont;
};

// A push button; a button with a ModalResult sets it on its form when clicked.
class TButton : public TWinControl {
public:
    explicit TButton(TComponent* owner);
    int ModalResult = 0;
    bool Default = false;
    void Click();

protected:
    void CreateParams(TCreateParams& params) override;
    bool ReflectedMessage(TMessage& message) override;
};

class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* owner);
    bool Checked() const;
    void SetChecked(bool value);
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle() override;
    bool ReflectedMessage(TMessage& message) override;

private:
    bool FChecked = false;
};

// Multi-line text; Lines is the content, line by line.
class TMemo : public TWinControl {
public:
    explicit TMemo(TComponent* owner);
    TStringList Lines;
    bool ReadOnly = false;
    bool BorderVisible = true;
    bool WordWrap = true;
    COLORREF Color = CLR_INVALID;  // background; CLR_INVALID keeps the system's
    std::string Text() const;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle() override;
    bool ReflectedMessage(TMessage& message) override;

private:
    void LinesChanged();
    TBrushHandle FBrush;
};

// One line of text.
class TEdit : public TWinControl {
public:
    explicit TEdit(TComponent* owner);
    // The text the user sees (typed text included).
    std::string Text() const;
    void SetText(const std::string& value);
    bool ReadOnly = false;
    // Characters the user may type; 0 for the system's limit.
    int MaxLength = 0;
    // Raised when the text changes, by the user or by SetText.
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle() override;
    bool ReflectedMessage(TMessage& message) override;
};

// A frame with a caption around other controls; they are its children.
class TGroupBox : public TWinControl {
public:
    explicit TGroupBox(TComponent* owner);

protected:
    void CreateParams(TCreateParams& params) override;
};

// One choice of several: checking it unchecks the radio buttons of the same parent.
class TRadioButton : public TWinControl {
public:
    explicit TRadioButton(TComponent* owner);
    bool Checked() const { return FChecked; }
    void SetChecked(bool value);
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle() override;
    bool ReflectedMessage(TMessage& message) override;

private:
    void UncheckSiblings();
    bool FChecked = false;
};
