#pragma once
// The modal settings dialog: pages chosen from a tree, the renderer order, the shell
// associations. It edits the settings model; the main window applies and writes it.
#include "ui/MainWindowParts.h"
#include "ui/SettingsUnitCore.h"
#include "ui/SysCheckCore.h"

#include "framework/CheckLst.h"
#include "framework/ComboBox.h"
#include "framework/ComCtrls.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/Graphics.h"
#include "framework/ListView.h"
#include "framework/PageControl.h"
#include "framework/Spin.h"
#include "framework/StdCtrls.h"
#include "framework/SysUtils.h"
#include "ui/DialogServices.h"

#include <functional>
#include <string>
#include <vector>

class IPlayerEngine;

class TSettingsForm : public TForm, public ISettingsDialog {
public:
    explicit TSettingsForm(TComponent* owner);

    // What the dialog lists; each may be missing.
    IPlayerEngine* Engine = nullptr;
    IProxyDialog* ProxyDialog = nullptr;
    std::string InstallFolder;  // ends in "\"
    TVersionWords ProgramVersion{};
    TVersionWords DXVersion{};

    bool Execute(TPlayerSettings& settings, bool firstRun, bool& associationsChanged) override;

    TTreeView* TreeView1;
    TPageControl* PageControl1;
    TButton *OKBtn, *CancelBtn;
    // General
    TRadioButton *AlwaysContinue, *AlwaysStartover, *AskMe;
    TCheckBox *Autoplay_Enabled, *NoTimeinBookmarkMenu_Chkbox;
    // Audio
    TComboBox* Speakers_Selection;
    TPaintBox* Image1;
    TComboBox* AudioDevice_ComboBox;
    TCheckBox* SPDIF_ChkBox;
    // Video
    TLabel* FullScreen_Label;
    TComboBox* FullScreen_ComboBox;
    TCheckBox *FitToPlayer_ChkBox, *FitToVideo_ChkBox;
    // History
    TSpinEdit *SpinEdit3, *SpinEdit4, *SpinEdit5;
    // Network
    TRadioButton *RadioButton1, *RadioButton2;
    TSpinEdit* SpinEdit1;
    // Advanced network
    TCheckBox *CheckBox2, *CheckBox5, *CheckBox3, *CheckBox4, *CheckBox6;
    TSpinEdit* SpinEdit2;
    TRadioButton *RadioButton3, *RadioButton4, *RadioButton5;
    TButton* Button3;
    // Advanced video
    TCheckBox* UseAGPMem_Chkbox;
    TListView *ListView1, *ListView2;
    TButton *SpeedButton7, *SpeedButton8, *SpeedButton9, *SpeedButton10, *LoadDefauleVideo_Btn;
    // Shell integration
    TCheckListBox* CheckListBox1;
    TButton *Button1, *Button2;
    // About
    TLabel *VersionLabel, *DXVersionLabel, *Label20;

    void LoadDefauleVideo_BtnClick(TObject* sender);
    void TreeView1Change(TObject* sender);
    void FormShow(TObject* sender);

private:
    TTabSheet* Page(int index) const { return PageControl1->Pages(index); }
    void CreateControls();
    TWinControl* Group(TWinControl* parent, const char* name, const char* caption, int left, int top, int width, int height);
    void SetValues(const TSettingsDialogValues& values);
    TSettingsDialogValues Values() const;
    void ShowRenderers();
    void ReadRendererSelection();
    void UpdateEnabling();
    void LoadSpeakerPicture();
    void AudioDeviceChange();
    std::vector<std::string> ShellPageExtensions() const;

    TSettingsDialogValues FValues;
    std::vector<TAudioDeviceRow> FDevices;
    std::vector<TRendererEntry> FRenderers;
    TBitmap FSpeakerPicture;
    bool FFilling = false;
};
