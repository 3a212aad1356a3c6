#include "ui/SmallDialogs.h"

#include "framework/ComboBox.h"
#include "framework/ExtCtrls.h"
#include "framework/Spin.h"
#include "framework/StdCtrls.h"

#include <shellapi.h>

namespace {

template <class T>
T* Make(TComponent* owner, TWinControl* parent, int left, int top, int width, int height)
{
    T* control = NewComponent<T>(owner);
    control->SetBounds(left, top, width, height);
    control->SetParent(parent);
    return control;
}

TButton* MakeButton(TForm* form, const char* name, int left, int top, int modalResult)
{
    auto* button = Make<TButton>(form, form, left, top, 75, 25);
    button->Name = name;
    button->ModalResult = modalResult;
    return button;
}

TMemo* MakeMessageMemo(TComponent* owner, TWinControl* parent, int left, int top, int width, int height)
{
    auto* memo = Make<TMemo>(owner, parent, left, top, width, height);
    memo->ReadOnly = true;
    memo->BorderVisible = false;
    memo->Color = GetSysColor(COLOR_BTNFACE);
    return memo;
}

void SetupDialog(TForm* form, const char* name, int clientWidth, int clientHeight)
{
    form->Name = name;
    form->BorderStyle = bsDialog;
    form->Position = poScreenCenter;
    form->SetClientWidth(clientWidth);
    form->SetClientHeight(clientHeight);
}

}  // namespace

// ---- TURLForm ----

TURLForm::TURLForm(TComponent* owner) : TForm(owner)
{
    SetupDialog(this, "URLForm", 360, 130);
    Memo1 = MakeMessageMemo(this, this, 8, 8, 344, 44);
    Label3 = Make<TLabel>(this, this, 8, 63, 40, 14);
    ComboBox1 = Make<TComboBox>(this, this, 52, 60, 300, 21);
    ComboBox1->Style = csDropDown;
    Button1 = MakeButton(this, "Button1", 196, 96, mrOk);
    Button1->Default = true;
    Button2 = MakeButton(this, "Button2", 277, 96, mrCancel);
    Button2->SetCaption("Cancel");
    OnShow = [this](TObject* sender) { FormShow(sender); };
    FormShow(this);
}

void TURLForm::FormShow(TObject*)
{
    SetCaption("Open URL");
    Memo1->Lines.SetText("Type in the URL-address or the location on a multimedia file you like to play from the "
                         "internet, this computer or network.");
    Label3->SetCaption("&Open:");
    Button1->SetCaption("Ok");
}

bool TURLForm::ExecuteURL(const std::vector<std::string>& history, std::string& address)
{
    ComboBox1->SetItems(history);
    ComboBox1->SetText(address);
    if (ShowModal() != mrOk)
        return false;
    address = ComboBox1->Text();
    return true;
}

// ---- TProxyForm ----

TProxyForm::TProxyForm(TComponent* owner) : TForm(owner)
{
    SetupDialog(this, "ProxyForm", 260, 120);
    Label1 = Make<TLabel>(this, this, 8, 8, 244, 14);
    Label2 = Make<TLabel>(this, this, 8, 35, 40, 14);
    Edit1 = Make<TEdit>(this, this, 52, 32, 200, 21);
    Label3 = Make<TLabel>(this, this, 8, 62, 40, 14);
    SpinEdit1 = Make<TSpinEdit>(this, this, 52, 59, 70, 21);
    SpinEdit1->MinValue = 0;
    SpinEdit1->MaxValue = 65535;
    Button1 = MakeButton(this, "Button1", 96, 88, mrOk);
    Button1->Default = true;
    Button2 = MakeButton(this, "Button2", 177, 88, mrCancel);
    OnShow = [this](TObject* sender) { FormShow(sender); };
    FormShow(this);
}

void TProxyForm::FormShow(TObject*)
{
    SetCaption("Configure proxy");
    Label1->SetCaption("Enter your proxy hostname and port.");
    Label2->SetCaption("&Name:");
    Label3->SetCaption("&Port:");
    Button1->SetCaption("Ok");
    Button2->SetCaption("Cancel");
}

bool TProxyForm::ExecuteProxy(std::string& host, int& port)
{
    Edit1->SetText(host);
    SpinEdit1->SetValue(port);
    if (ShowModal() != mrOk)
        return false;
    host = Edit1->Text();
    port = SpinEdit1->Value();
    return true;
}

// ---- TStartPlaybackForm ----

TStartPlaybackForm::TStartPlaybackForm(TComponent* owner) : TForm(owner)
{
    SetupDialog(this, "StartPlaybackForm", 300, 150);
    SetCaption("Intelligent Load.");
    Memo1 = MakeMessageMemo(this, this, 8, 8, 284, 32);
    Memo1->Lines.SetText("The movie just loaded has previous been played, how do you like the playback to start.");
    Continue = Make<TRadioButton>(this, this, 16, 46, 260, 17);
    Continue->Name = "Continue";
    Continue->SetCaption("Continue from last known");
    Continue->SetChecked(true);
    Startover = Make<TRadioButton>(this, this, 16, 68, 260, 17);
    Startover->Name = "Startover";
    Startover->SetCaption("Start from the beginning.");
    DontShow = Make<TCheckBox>(this, this, 8, 96, 284, 17);
    DontShow->Name = "DontShow";
    DontShow->SetCaption("Don't show this message again");
    Button1 = MakeButton(this, "Button1", 112, 120, mrOk);
    Button1->SetCaption("Ok");
    Button1->Default = true;
}

bool TStartPlaybackForm::ContinueChecked()
{
    return Continue->Checked();
}

bool TStartPlaybackForm::DontShowChecked()
{
    return DontShow->Checked();
}

// ---- TAbout ----

TAbout::TAbout(TComponent* owner, const std::string& version) : TForm(owner)
{
    SetupDialog(this, "About", 260, 120);
    SetCaption("About Parvolux");
    ProductLabel = Make<TLabel>(this, this, 16, 12, 228, 16);
    ProductLabel->SetCaption("Parvolux");
    VersionLabel = Make<TLabel>(this, this, 16, 34, 228, 16);
    VersionLabel->SetCaption(version);
    CompanyLabel = Make<TLabel>(this, this, 16, 56, 228, 16);
    CompanyLabel->SetCaption("Kestrel Forge");
    Button2 = MakeButton(this, "Button2", 96, 88, mrNone);
    Button2->SetCaption("Help");
    Button2->OnClick = [this](TObject* sender) { Button2Click(sender); };
    Button3 = MakeButton(this, "Button3", 177, 88, mrNone);
    Button3->SetCaption("Close");
    Button3->OnClick = [this](TObject* sender) { Button3Click(sender); };
    OpenAddress = [](const std::string& address) {
        ShellExecuteA(nullptr, "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    };
}

void TAbout::Button2Click(TObject*)
{
    OpenHelp();
}

void TAbout::Button3Click(TObject*)
{
    if (Modal())
        SetModalResult(mrCancel);
    else
        Close();
}

void TAbout::OpenHelp()
{
    if (OpenAddress)
        OpenAddress(kHelpAddress);
}

// ---- TRenderResultForm ----

TRenderResultForm::TRenderResultForm(TComponent* owner) : TForm(owner)
{
    SetupDialog(this, "RenderResultForm", 340, 150);
    Notebook1 = Make<TNotebook>(this, this, 0, 0, 340, 100);
    Notebook1->Name = "Notebook1";
    for (int page = 0; page < kRenderResultPages; ++page) {
        TPage* sheet = Notebook1->AddPage("Page" + std::to_string(page));
        TMemo* memo = MakeMessageMemo(this, sheet, 8, 8, 324, 88);
        memo->Name = "Memo" + std::to_string(page + 1);
        memo->Lines.Clear();
        memo->Lines.SetText(RenderResultTexts[static_cast<size_t>(page)]);
        Memos[static_cast<size_t>(page)] = memo;
    }
    CheckBox1 = Make<TCheckBox>(this, this, 8, 112, 220, 17);
    CheckBox1->SetCaption("Do not show this message again.");
    Button1 = MakeButton(this, "Button1", 257, 116, mrOk);
    Button1->SetCaption("Ok");
    Button1->Default = true;
}

void TRenderResultForm::ShowRenderResult(HRESULT result, const WideString& fileName)
{
    const TRenderResultPage page = RenderResultPage(static_cast<int32_t>(result));
    if (page.Page == rpNone)
        return;
    SetCaption(page.Caption);
    Notebook1->SetPageIndex(page.Page);
    if (page.Page == rpFileNotFound)
        Memos[rpFileNotFound]->Lines.SetText(FileNotFoundText(WideToAnsi(fileName)));
    bool& dontShow = FDontShow[static_cast<size_t>(page.Page)];
    if (dontShow)
        return;
    CheckBox1->SetChecked(false);
    ShowModal();
    dontShow = CheckBox1->Checked();
}
