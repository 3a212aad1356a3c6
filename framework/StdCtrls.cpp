#include "StdCtrls.h"

#include "Forms.h"

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
