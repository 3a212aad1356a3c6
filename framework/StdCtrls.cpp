#include "StdCtrls.h"

#include "Forms.h"

#include <vector>

namespace {
TCustomForm* ParentForm(TControl* control)
{
    for (TWinControl* p = control->Parent(); p; p = p->Parent())
        if (auto* form = dynamic_cast<TCustomForm*>(p))
            return form;
    return nullptr;
}

// A solid brush for a COLORREF, made once per control and colour.
HBRUSH BrushFor(TBrushHandle& brush, COLORREF color)
{
    if (!brush)
        brush.Reset(CreateSolidBrush(color));
    return brush.Get();
}
}

// ---- TLabel ----

TLabel::TLabel(TComponent* owner) : TWinControl(owner)
{
    FWidth = 65;
    FHeight = 13;
}

void TLabel::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = "STATIC";
    params.Style |= SS_LEFT | SS_NOTIFY;
    params.Style &= ~WS_CLIPSIBLINGS;
}

void TLabel::CreateWindowHandle()
{
    if (!Underline)
        return;
    LOGFONTA font{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfUnderline = TRUE;
    FFont.Reset(CreateFontIndirectA(&font));
    SendMessageA(HandleOrNull(), WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Get()), FALSE);
}

bool TLabel::ReflectedMessage(TMessage& message)
{
    if (message.Msg == WM_COMMAND && HIWORD(message.WParam) == STN_CLICKED) {
        if (OnClick)
            OnClick(this);
        return true;
    }
    if (message.Msg == WM_CTLCOLORSTATIC && (FontColor != CLR_INVALID || Color != CLR_INVALID)) {
        const HDC dc = reinterpret_cast<HDC>(message.WParam);
        if (FontColor != CLR_INVALID)
            SetTextColor(dc, FontColor);
        const COLORREF back = Color != CLR_INVALID ? Color : GetSysColor(COLOR_BTNFACE);
        SetBkColor(dc, back);
        message.Result = reinterpret_cast<LRESULT>(Color != CLR_INVALID ? BrushFor(FBrush, Color)
                                                                          : GetSysColorBrush(COLOR_BTNFACE));
        return true;
    }
    return false;
}

// ---- TButton ----

TButton::TButton(TComponent* owner) : TWinControl(owner)
{
    FWidth = 75;
    FHeight = 25;
}

void TButton::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = "BUTTON";
    params.Style |= WS_TABSTOP | (Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
}

void TButton::Click()
{
    if (TCustomForm* form = ParentForm(this); form && ModalResult != 0)
        form->SetModalResult(ModalResult);
    if (OnClick)
        OnClick(this);
}

bool TButton::ReflectedMessage(TMessage& message)
{
    if (message.Msg == WM_COMMAND && HIWORD(message.WParam) == BN_CLICKED) {
        Click();
        return true;
    }
    return false;
}

// ---- TCheckBox ----

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner)
{
    FWidth = 97;
    FHeight = 17;
}

void TCheckBox::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = "BUTTON";
    params.Style |= WS_TABSTOP | BS_AUTOCHECKBOX;
}

void TCheckBox::CreateWindowHandle()
{
    SendMessageA(HandleOrNull(), BM_SETCHECK, FChecked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TCheckBox::Checked() const
{
    if (HandleAllocated())
        return SendMessageA(HandleOrNull(), BM_GETCHECK, 0, 0) == BST_CHECKED;
    return FChecked;
}

void TCheckBox::SetChecked(bool value)
{
    const bool changed = value != Checked();
    FChecked = value;
    if (HandleAllocated())
        SendMessageA(HandleOrNull(), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
    if (changed && OnChange)
        OnChange(this);
}

bool TCheckBox::ReflectedMessage(TMessage& message)
{
    if (message.Msg == WM_COMMAND && HIWORD(message.WParam) == BN_CLICKED) {
        FChecked = Checked();
        if (OnClick)
            OnClick(this);
        if (OnChange)
            OnChange(this);
        return true;
    }
    return false;
}

// ---- TMemo ----

TMemo::TMemo(TComponent* owner) : TWinControl(owner)
{
    FWidth = 185;
    FHeight = 89;
    Lines.OnChange = [this](TObject*) { LinesChanged(); };
}

void TMemo::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = "EDIT";
    params.Style |= ES_MULTILINE | ES_AUTOVSCROLL | (ReadOnly ? ES_READONLY : 0) | (WordWrap ? 0 : ES_AUTOHSCROLL);
    if (BorderVisible)
        params.ExStyle |= WS_EX_CLIENTEDGE;
}

std::string TMemo::Text() const
{
    std::string text;
    for (int i = 0; i < Lines.Count(); ++i) {
        if (i > 0)
            text += "\r\n";
        text += Lines[i];
    }
    return text;
}

void TMemo::CreateWindowHandle()
{
    SetWindowTextA(HandleOrNull(), Text().c_str());
}

void TMemo::LinesChanged()
{
    if (HandleAllocated())
        SetWindowTextA(HandleOrNull(), Text().c_str());
}

bool TMemo::ReflectedMessage(TMessage& message)
{
    if ((message.Msg == WM_CTLCOLOREDIT || message.Msg == WM_CTLCOLORSTATIC) && Color != CLR_INVALID) {
        SetBkColor(reinterpret_cast<HDC>(message.WParam), Color);
        message.Result = reinterpret_cast<LRESULT>(BrushFor(FBrush, Color));
        return true;
    }
    return false;
}

// ---- TEdit ----

TEdit::TEdit(TComponent* owner) : TWinControl(owner)
{
    FWidth = 121;
    FHeight = 21;
}

void TEdit::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = "EDIT";
    params.Style |= WS_TABSTOP | ES_AUTOHSCROLL | (ReadOnly ? ES_READONLY : 0);
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TEdit::CreateWindowHandle()
{
    if (MaxLength > 0)
        SendMessageA(HandleOrNull(), EM_SETLIMITTEXT, static_cast<WPARAM>(MaxLength), 0);
}

std::string TEdit::Text() const
{
    if (!HandleAllocated())
        return Caption();
    const int length = GetWindowTextLengthA(HandleOrNull());
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    const int got = GetWindowTextA(HandleOrNull(), buffer.data(), length + 1);
    return std::string(buffer.data(), static_cast<size_t>(got > 0 ? got : 0));
}

void TEdit::SetText(const std::string& value)
{
    const bool notified = HandleAllocated();  // the window reports its own change
    SetCaption(value);
    if (!notified && OnChange)
        OnChange(this);
}

bool TEdit::ReflectedMessage(TMessage& message)
{
    if (message.Msg == WM_COMMAND && HIWORD(message.WParam) == EN_CHANGE) {
        FCaption = Text();
        if (OnChange)
            OnChange(this);
        return true;
    }
    return false;
}

// ---- TGroupBox ----

TGroupBox::TGroupBox(TComponent* owner) : TWinControl(owner)
{
    FWidth = 185;
    FHeight = 105;
}

void TGroupBox::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = "BUTTON";
    params.Style |= BS_GROUPBOX;
}

// ---- TRadioButton ----

TRadioButton::TRadioButton(TComponent* owner) : TWinControl(owner)
{
    FWidth = 113;
    FHeight = 17;
}

void TRadioButton::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = "BUTTON";
    // Not the automatic kind: the group is the parent's radio buttons, kept here.
    params.Style |= WS_TABSTOP | BS_RADIOBUTTON;
}

void TRadioButton::CreateWindowHandle()
{
    SendMessageA(HandleOrNull(), BM_SETCHECK, FChecked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::UncheckSiblings()
{
    if (!Parent())
        return;
    for (int i = 0; i < Parent()->ControlCount(); ++i)
        if (auto* other = dynamic_cast<TRadioButton*>(Parent()->Controls(i)); other && other != this)
            other->SetChecked(false);
}

void TRadioButton::SetChecked(bool value)
{
    if (value == FChecked)
        return;
    FChecked = value;
    if (HandleAllocated())
        SendMessageA(HandleOrNull(), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
    if (value)
        UncheckSiblings();
    if (OnChange)
        OnChange(this);
}

bool TRadioButton::ReflectedMessage(TMessage& message)
{
    if (message.Msg == WM_COMMAND && HIWORD(message.WParam) == BN_CLICKED) {
        SetChecked(true);
        if (OnClick)
            OnClick(this);
        return true;
    }
    return false;
}
