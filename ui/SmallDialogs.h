#pragma once
// The small modal windows: the address and proxy dialogs, the resume question, the about box
// and the render-result window.
#include "ui/DialogServices.h"
#include "ui/RenderResultCore.h"

#include "engine/EngineServices.h"
#include "framework/Forms.h"

#include <array>
#include <functional>
#include <string>

class TButton;
class TCheckBox;
class TComboBox;
class TEdit;
class TLabel;
class TMemo;
class TNotebook;
class TRadioButton;
class TSpinEdit;

class TURLForm : public TForm, public IURLDialog {
public:
    explicit TURLForm(TComponent* owner);
    TMemo* Memo1;
    TLabel* Label3;
    TComboBox* ComboBox1;
    TButton *Button1, *Button2;
    void FormShow(TObject* sender);
    bool ExecuteURL(const std::vector<std::string>& history, std::string& address) override;
};

class TProxyForm : public TForm, public IProxyDialog {
public:
    explicit TProxyForm(TComponent* owner);
    TLabel *Label1, *Label2, *Label3;
    TEdit* Edit1;
    TSpinEdit* SpinEdit1;
    TButton *Button1, *Button2;
    void FormShow(TObject* sender);
    bool ExecuteProxy(std::string& host, int& port) override;
};

class TStartPlaybackForm : public TForm, public IStartPlaybackForm {
public:
    explicit TStartPlaybackForm(TComponent* owner);
    TMemo* Memo1;
    TRadioButton *Continue, *Startover;
    TCheckBox* DontShow;
    TButton* Button1;
    int ShowModal() override { return TForm::ShowModal(); }
    bool ContinueChecked() override;
    bool DontShowChecked() override;
};

class TAbout : public TForm, public IAboutBox {
public:
    TAbout(TComponent* owner, const std::string& version);
    TLabel *ProductLabel, *VersionLabel, *CompanyLabel;
    TButton *Button2, *Button3;  // "Help", "Close"
    void Button2Click(TObject* sender);
    void Button3Click(TObject* sender);
    void ShowAbout() override { ShowModal(); }
    void OpenHelp() override;
    // Opens an address with the shell's "open" verb; tests put their own here.
    std::function<void(const std::string& address)> OpenAddress;
};

class TRenderResultForm : public TForm, public IRenderResultForm {
public:
    explicit TRenderResultForm(TComponent* owner);
    TNotebook* Notebook1;
    std::array<TMemo*, kRenderResultPages> Memos{};  // Memo1 to Memo7
    TButton* Button1;
    TCheckBox* CheckBox1;
    void ShowRenderResult(HRESULT result, const WideString& fileName) override;

private:
    // Per page, for the life of the process.
    std::array<bool, kRenderResultPages> FDontShow{};
};
