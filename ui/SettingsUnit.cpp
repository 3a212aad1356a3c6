#include "ui/SettingsUnit.h"

#include "ui/JpegResource.h"
#include "ui/PlayerEngine.h"

#include "engine/ShellAssociation.h"

#include <shellapi.h>

#include <cstdint>

namespace {
constexpr int kPageCount = 15;
constexpr const char* kApplication = "Parvolux.exe";
constexpr const char* kMakerAddress = "https://kestrelforge.example/";

template <class T>
T* Place(TComponent* owner, TWinControl* parent, const char* name, const std::string& caption, int left, int top, int width,
         int height)
{
    T* control = NewComponent<T>(owner);
    control->Name = name;
    control->SetBounds(left, top, width, height);
    if (!caption.empty())
        control->SetCaption(caption);
    control->SetParent(parent);
    return control;
}
}

TSettingsForm::TSettingsForm(TComponent* owner) : TForm(owner)
{
    Name = "SettingsForm";
    SetCaption("Settings");
    BorderStyle = bsDialog;
    Position = poScreenCenter;
    SetBounds(0, 0, 520, 390);
    KeyPreview = true;
    CreateControls();
    OnShow = [this](TObject* sender) { FormShow(sender); };
    OnKeyDown = [this](TObject*, WORD& key, TShiftState) {
        if (key == VK_ESCAPE) {
            SetModalResult(mrCancel);
            key = 0;
        }
    };
}

TWinControl* TSettingsForm::Group(TWinControl* parent, const char* name, const char* caption, int left, int top, int width,
                                  int height)
{
    // Radio buttons choose among the buttons of one parent: each group has a panel of its own.
    Place<TLabel>(this, parent, (std::string(name) + "Label").c_str(), caption, left, top, width, 16);
    return Place<TPanel>(this, parent, name, "", left, top + 16, width, height - 16);
}

void TSettingsForm::CreateControls()
{
    TreeView1 = Place<TTreeView>(this, this, "TreeView1", "", 8, 8, 140, 300);
    TTreeNode* parents[2] = {};
    for (const TSettingsNode& node : SettingsNodes) {
        TTreeNode* added = TreeView1->Items.AddChild(node.Level == 0 ? nullptr : parents[0], node.Caption);
        added->Data = node.Page;
        if (node.Level == 0)
            parents[0] = added;
    }
    TreeView1->FullExpand();
    TreeView1->OnChange = [this](TObject* sender) { TreeView1Change(sender); };

    PageControl1 = Place<TPageControl>(this, this, "PageControl1", "", 156, 8, 348, 300);
    for (int i = 0; i < kPageCount; ++i) {
        auto* sheet = NewComponent<TTabSheet>(this);
        sheet->Name = "TabSheet" + IntToStr(i + 1);
        sheet->SetPageControl(PageControl1);
        sheet->SetTabVisible(false);
    }

    OKBtn = Place<TButton>(this, this, "OKBtn", "Ok", 348, 320, 75, 25);
    OKBtn->ModalResult = mrOk;
    OKBtn->Default = true;
    CancelBtn = Place<TButton>(this, this, "CancelBtn", "Cancel", 429, 320, 75, 25);
    CancelBtn->ModalResult = mrCancel;

    // General
    auto* resume = Group(Page(0), "GroupBox1", "Resume playback", 8, 8, 330, 90);
    AlwaysContinue = Place<TRadioButton>(this, resume, "AlwaysContinue", "Start from last known position.", 10, 2, 310, 20);
    AlwaysStartover = Place<TRadioButton>(this, resume, "AlwaysStartover", "Always start from the beginning.", 10, 24, 310, 20);
    AskMe = Place<TRadioButton>(this, resume, "AskMe", "Ask me before doing anything.", 10, 46, 310, 20);
    Autoplay_Enabled = Place<TCheckBox>(this, Page(0), "Autoplay_Enabled", "Start Playback after opening movie.", 8, 110, 330, 20);
    NoTimeinBookmarkMenu_Chkbox = Place<TCheckBox>(this, Page(0), "NoTimeinBookmarkMenu_Chkbox",
                                                   "Don't display time for bookmarks in the menu.", 8, 134, 330, 20);

    // Audio
    Place<TLabel>(this, Page(2), "Label1", "Speakers:", 8, 10, 120, 16);
    Speakers_Selection = Place<TComboBox>(this, Page(2), "Speakers_Selection", "", 8, 28, 180, 21);
    std::vector<std::string> speakers(std::begin(SpeakerNames), std::end(SpeakerNames));
    Speakers_Selection->SetItems(speakers);
    Speakers_Selection->OnChange = [this](TObject*) { LoadSpeakerPicture(); };
    Image1 = Place<TPaintBox>(this, Page(2), "Image1", "", 200, 8, 120, 90);
    Image1->OnPaint = [this](TObject*, HDC dc) { FSpeakerPicture.Draw(dc, 0, 0); };
    Place<TLabel>(this, Page(2), "Label2", "Use Audio Device:", 8, 110, 200, 16);
    AudioDevice_ComboBox = Place<TComboBox>(this, Page(2), "AudioDevice_ComboBox", "", 8, 128, 320, 21);
    AudioDevice_ComboBox->OnChange = [this](TObject*) { AudioDeviceChange(); };
    SPDIF_ChkBox = Place<TCheckBox>(this, Page(2), "SPDIF_ChkBox", "Prefer SPDIF for digital source.", 8, 160, 320, 20);

    // Video
    FullScreen_Label = Place<TLabel>(this, Page(1), "FullScreen_Label", "Start fullscreen on:", 8, 10, 200, 16);
    FullScreen_ComboBox = Place<TComboBox>(this, Page(1), "FullScreen_ComboBox", "", 8, 28, 320, 21);
    FitToPlayer_ChkBox = Place<TCheckBox>(this, Page(1), "FitToPlayer_ChkBox", "Fit to player at start", 8, 64, 320, 20);
    FitToVideo_ChkBox = Place<TCheckBox>(this, Page(1), "FitToVideo_ChkBox", "Fit to video at start", 8, 88, 320, 20);
    // The two boxes act as a pair: checking one clears the other.
    FitToPlayer_ChkBox->OnChange = [this](TObject*) {
        if (!FFilling && FitToPlayer_ChkBox->Checked())
            FitToVideo_ChkBox->SetChecked(false);
    };
    FitToVideo_ChkBox->OnChange = [this](TObject*) {
        if (!FFilling && FitToVideo_ChkBox->Checked())
            FitToPlayer_ChkBox->SetChecked(false);
    };

    // History
    const struct {
        TSpinEdit** Edit;
        const char* Name;
        const char* Caption;
    } history[] = {{&SpinEdit3, "SpinEdit3", "Files"}, {&SpinEdit4, "SpinEdit4", "Playlists"}, {&SpinEdit5, "SpinEdit5", "URLs"}};
    int top = 10;
    for (const auto& h : history) {
        Place<TLabel>(this, Page(14), (std::string("Label") + h.Name).c_str(), h.Caption, 8, top + 3, 100, 16);
        *h.Edit = Place<TSpinEdit>(this, Page(14), h.Name, "", 120, top, 80, 21);
        (*h.Edit)->MinValue = 0;
        (*h.Edit)->MaxValue = INT32_MAX;  // what the settings accept
        top += 30;
    }

    // Network
    auto* buffering = Group(Page(12), "GroupBox2", "Buffering", 8, 8, 330, 80);
    RadioButton1 = Place<TRadioButton>(this, buffering, "RadioButton1", "Use Default buffering.", 10, 2, 300, 20);
    RadioButton2 = Place<TRadioButton>(this, buffering, "RadioButton2", "Buffer", 10, 30, 70, 20);
    SpinEdit1 = Place<TSpinEdit>(this, buffering, "SpinEdit1", "", 84, 29, 60, 21);
    SpinEdit1->MinValue = 0;
    SpinEdit1->MaxValue = INT32_MAX;
    Place<TLabel>(this, buffering, "Label10", "seconds of data.", 150, 32, 160, 16);

    // Advanced network
    TTabSheet* net = Page(13);
    CheckBox2 = Place<TCheckBox>(this, net, "CheckBox2", "Multicast", 8, 8, 150, 20);
    CheckBox5 = Place<TCheckBox>(this, net, "CheckBox5", "TCP", 8, 30, 150, 20);
    CheckBox3 = Place<TCheckBox>(this, net, "CheckBox3", "UDP", 8, 52, 150, 20);
    CheckBox4 = Place<TCheckBox>(this, net, "CheckBox4", "Use port", 28, 74, 90, 20);
    SpinEdit2 = Place<TSpinEdit>(this, net, "SpinEdit2", "", 120, 73, 80, 21);
    SpinEdit2->MinValue = 0;
    SpinEdit2->MaxValue = 65535;
    CheckBox6 = Place<TCheckBox>(this, net, "CheckBox6", "HTTP", 8, 100, 150, 20);
    auto* proxy = Group(net, "GroupBox3", "Proxy", 28, 122, 310, 110);
    RadioButton3 = Place<TRadioButton>(this, proxy, "RadioButton3", "No Proxy", 10, 2, 280, 20);
    RadioButton4 = Place<TRadioButton>(this, proxy, "RadioButton4", "Use Browser proxy settings", 10, 24, 280, 20);
    RadioButton5 = Place<TRadioButton>(this, proxy, "RadioButton5", "Use Proxy", 10, 46, 120, 20);
    Button3 = Place<TButton>(this, proxy, "Button3", "Configure Proxy settings", 130, 44, 170, 24);
    Button3->OnClick = [this](TObject*) {
        if (ProxyDialog)
            ProxyDialog->ExecuteProxy(FValues.ProxyName, FValues.ProxyPort);
    };
    for (TCheckBox* box : {CheckBox3, CheckBox4, CheckBox6})
        box->OnChange = [this](TObject*) { UpdateEnabling(); };
    for (TRadioButton* radio : {RadioButton1, RadioButton2, RadioButton3, RadioButton4, RadioButton5})
        radio->OnChange = [this](TObject*) { UpdateEnabling(); };

    // Advanced
    Place<TLabel>(this, Page(3), "Label11", "Advanced settings: choose a page below.", 8, 10, 330, 16);

    // Advanced video
    TTabSheet* video = Page(4);
    UseAGPMem_Chkbox = Place<TCheckBox>(this, video, "UseAGPMem_Chkbox", "Prefer AGP Memory.", 8, 8, 300, 20);
    Place<TLabel>(this, video, "Label12", "Available:", 8, 36, 130, 16);
    Place<TLabel>(this, video, "Label13", "Preferred:", 190, 36, 130, 16);
    ListView1 = Place<TListView>(this, video, "ListView1", "", 8, 54, 140, 150);
    ListView2 = Place<TListView>(this, video, "ListView2", "", 190, 54, 140, 150);
    for (TListView* list : {ListView1, ListView2}) {
        list->Columns = {{"Renderer", -1}};
        list->MultiSelect = false;
    }
    SpeedButton7 = Place<TButton>(this, video, "SpeedButton7", ">", 154, 80, 30, 24);
    SpeedButton8 = Place<TButton>(this, video, "SpeedButton8", "<", 154, 110, 30, 24);
    SpeedButton9 = Place<TButton>(this, video, "SpeedButton9", "Up", 190, 210, 60, 24);
    SpeedButton10 = Place<TButton>(this, video, "SpeedButton10", "Down", 256, 210, 60, 24);
    LoadDefauleVideo_Btn = Place<TButton>(this, video, "LoadDefauleVideo_Btn", "Load Default", 8, 210, 100, 24);
    const struct {
        TButton* Button;
        void (*Move)(TRendererLists&);
    } moves[] = {{SpeedButton7, MoveToPreferred}, {SpeedButton8, MoveToAvailable}, {SpeedButton9, MovePreferredUp},
                 {SpeedButton10, MovePreferredDown}};
    for (const auto& m : moves)
        m.Button->OnClick = [this, move = m.Move](TObject*) {
            ReadRendererSelection();
            move(FValues.Renderers);
            ShowRenderers();
        };
    LoadDefauleVideo_Btn->OnClick = [this](TObject* sender) { LoadDefauleVideo_BtnClick(sender); };

    // Shell integration
    CheckListBox1 = Place<TCheckListBox>(this, Page(11), "CheckListBox1", "", 8, 8, 200, 240);
    Button1 = Place<TButton>(this, Page(11), "Button1", "Select all", 220, 8, 100, 25);
    Button2 = Place<TButton>(this, Page(11), "Button2", "Select None", 220, 40, 100, 25);
    Button1->OnClick = [this](TObject*) {
        for (int i = 0; i < CheckListBox1->Count(); ++i)
            CheckListBox1->SetChecked(i, true);
    };
    Button2->OnClick = [this](TObject*) {
        for (int i = 0; i < CheckListBox1->Count(); ++i)
            CheckListBox1->SetChecked(i, false);
    };

    // About
    Place<TLabel>(this, Page(7), "Label14", "Parvolux media player", 8, 10, 320, 16);
    VersionLabel = Place<TLabel>(this, Page(7), "VersionLabel", "", 8, 30, 320, 16);
    DXVersionLabel = Place<TLabel>(this, Page(7), "DXVersionLabel", "", 8, 50, 320, 16);
    Label20 = Place<TLabel>(this, Page(7), "Label20", kMakerAddress, 8, 80, 320, 16);
    Label20->Underline = true;
    Label20->FontColor = RGB(0, 0, 255);
    Label20->OnClick = [](TObject*) { ShellExecuteA(nullptr, "open", kMakerAddress, nullptr, nullptr, SW_SHOWNORMAL); };
}

// ---- showing and applying ----

bool TSettingsForm::Execute(TPlayerSettings& settings, bool firstRun, bool& associationsChanged)
{
    associationsChanged = false;
    // 1.-4.
    FDevices = Engine ? Engine->AudioDevices() : std::vector<TAudioDeviceRow>{};
    FRenderers = Engine ? Engine->RendererTable() : std::vector<TRendererEntry>{};
    const std::vector<std::string> monitors = MonitorItems(Engine ? Engine->Monitors() : std::vector<TMonitorRow>{});
    std::vector<std::string> deviceNames;
    for (const TAudioDeviceRow& device : FDevices)
        deviceNames.push_back(device.FriendlyName);
    AudioDevice_ComboBox->SetItems(deviceNames);
    FullScreen_ComboBox->SetItems(monitors);
    FValues = DialogValuesFor(settings, firstRun, FDevices, FRenderers, static_cast<int>(monitors.size()));
    if (firstRun)
        TreeView1->Select(TreeView1->Items.Item(0));
    SetValues(FValues);
    // 5.
    const std::vector<std::string> extensions = ShellPageExtensions();
    CheckListBox1->SetItems(extensions);
    for (size_t i = 0; i < extensions.size(); ++i)
        CheckListBox1->SetChecked(static_cast<int>(i), IsFileExtApplication("." + extensions[i], kApplication));
    VersionLabel->SetCaption(Format("v%d.%d.%d.%d", ProgramVersion[0], ProgramVersion[1], ProgramVersion[2], ProgramVersion[3]));
    DXVersionLabel->SetCaption(
        Format("(%d.%2.2d.%4.4d.%4.4d)", DXVersion[0], DXVersion[1], DXVersion[2], DXVersion[3]));
    // 6. On the first run every way out applies the dialog.
    if (ShowModal() != mrOk && !firstRun)
        return false;
    // 7.
    ReadRendererSelection();
    const TSettingsDialogValues values = Values();
    ApplyDialogValues(values, FDevices, settings);
    // 8. Unchecking removes only our own association.
    for (size_t i = 0; i < extensions.size(); ++i) {
        const std::string extension = "." + extensions[i];
        const bool ours = IsFileExtApplication(extension, kApplication);
        if (CheckListBox1->Checked(static_cast<int>(i)) && !ours) {
            SetFileExtApplication(extension, kApplication);
            associationsChanged = true;
        } else if (!CheckListBox1->Checked(static_cast<int>(i)) && ours) {
            associationsChanged |= RemoveFileExtApplication(extension, kApplication);
        }
    }
    return true;
}

std::vector<std::string> TSettingsForm::ShellPageExtensions() const
{
    const std::string fileName = InstallFolder + "Data\\filetypes.cfg";
    TStringList lines;
    try {
        if (!FileExists(fileName))
            return {};
        lines.LoadFromFile(fileName);
    } catch (const Exception&) {
        return {};
    }
    std::vector<std::string> text;
    for (int i = 0; i < lines.Count(); ++i)
        text.push_back(lines[i]);
    return ShellExtensions(text);
}

void TSettingsForm::SetValues(const TSettingsDialogValues& v)
{
    FFilling = true;
    AlwaysContinue->SetChecked(v.ResumeRadio == 0);
    AlwaysStartover->SetChecked(v.ResumeRadio == 1);
    AskMe->SetChecked(v.ResumeRadio == 2);
    Autoplay_Enabled->SetChecked(v.Autoplay);
    NoTimeinBookmarkMenu_Chkbox->SetChecked(v.NoTimeInBookmarkMenu);
    Speakers_Selection->SetItemIndex(v.Speaker);
    AudioDevice_ComboBox->SetItemIndex(v.AudioDevice);
    SPDIF_ChkBox->SetEnabled(v.SPDIFEnabled);
    SPDIF_ChkBox->SetChecked(v.SPDIFChecked);
    FullScreen_ComboBox->SetItemIndex(v.Monitor);
    FitToPlayer_ChkBox->SetChecked(v.FitToPlayer);
    FitToVideo_ChkBox->SetChecked(v.FitToVideo);
    SpinEdit3->SetValue(v.HistoryFiles);
    SpinEdit4->SetValue(v.HistoryPlaylists);
    SpinEdit5->SetValue(v.HistoryURLs);
    RadioButton1->SetChecked(v.BufferRadio == 0);
    RadioButton2->SetChecked(v.BufferRadio == 1);
    SpinEdit1->SetValue(v.BufferSecs);
    CheckBox2->SetChecked(v.Multicast);
    CheckBox5->SetChecked(v.TCP);
    CheckBox3->SetChecked(v.UDP);
    CheckBox4->SetChecked(v.UDPFixedPort);
    SpinEdit2->SetValue(v.UDPPort);
    CheckBox6->SetChecked(v.HTTP);
    RadioButton3->SetChecked(v.ProxyRadio == 0);
    RadioButton4->SetChecked(v.ProxyRadio == 1);
    RadioButton5->SetChecked(v.ProxyRadio == 2);
    UseAGPMem_Chkbox->SetChecked(v.PerfereAGPMem);
    CancelBtn->SetEnabled(v.CancelEnabled);
    ShowRenderers();
    FFilling = false;
    UpdateEnabling();
}

TSettingsDialogValues TSettingsForm::Values() const
{
    TSettingsDialogValues v = FValues;  // the renderer lists and the proxy's holding fields
    v.ResumeRadio = AlwaysContinue->Checked() ? 0 : AlwaysStartover->Checked() ? 1 : 2;
    v.Autoplay = Autoplay_Enabled->Checked();
    v.NoTimeInBookmarkMenu = NoTimeinBookmarkMenu_Chkbox->Checked();
    v.Speaker = Speakers_Selection->ItemIndex();
    v.AudioDevice = AudioDevice_ComboBox->ItemIndex();
    v.SPDIFEnabled = SPDIF_ChkBox->Enabled();
    v.SPDIFChecked = SPDIF_ChkBox->Checked();
    v.Monitor = FullScreen_ComboBox->ItemIndex();
    v.FitToPlayer = FitToPlayer_ChkBox->Checked();
    v.FitToVideo = FitToVideo_ChkBox->Checked();
    v.HistoryFiles = SpinEdit3->Value();
    v.HistoryPlaylists = SpinEdit4->Value();
    v.HistoryURLs = SpinEdit5->Value();
    v.BufferRadio = RadioButton1->Checked() ? 0 : RadioButton2->Checked() ? 1 : -1;
    v.BufferSecs = SpinEdit1->Value();
    v.Multicast = CheckBox2->Checked();
    v.TCP = CheckBox5->Checked();
    v.UDP = CheckBox3->Checked();
    v.UDPFixedPort = CheckBox4->Checked();
    v.UDPPort = SpinEdit2->Value();
    v.HTTP = CheckBox6->Checked();
    v.ProxyRadio = RadioButton3->Checked() ? 0 : RadioButton4->Checked() ? 1 : RadioButton5->Checked() ? 2 : -1;
    v.PerfereAGPMem = UseAGPMem_Chkbox->Checked();
    return v;
}

// ---- renderer lists ----

void TSettingsForm::LoadDefauleVideo_BtnClick(TObject*)
{
    LoadDefaultRenderers(FRenderers, FValues.Renderers);
    ShowRenderers();
}

void TSettingsForm::ReadRendererSelection()
{
    const std::vector<int> available = ListView1->SelectedIndexes();
    const std::vector<int> preferred = ListView2->SelectedIndexes();
    FValues.Renderers.AvailableSelected = available.empty() ? -1 : available.front();
    FValues.Renderers.PreferredSelected = preferred.empty() ? -1 : preferred.front();
}

void TSettingsForm::ShowRenderers()
{
    const struct {
        TListView* List;
        const std::vector<TRendererRow>& Rows;
        int Selected;
    } lists[] = {{ListView1, FValues.Renderers.Available, FValues.Renderers.AvailableSelected},
                 {ListView2, FValues.Renderers.Preferred, FValues.Renderers.PreferredSelected}};
    for (const auto& l : lists) {
        l.List->BeginUpdate();
        l.List->Clear();
        for (const TRendererRow& row : l.Rows)
            l.List->InsertItem(-1, row.Caption, {}, -1);
        if (l.Selected >= 0 && l.Selected < l.List->Count())
            l.List->SetSelected(l.Selected, true);
        l.List->EndUpdate();
    }
}

// ---- the controls' rules ----

void TSettingsForm::UpdateEnabling()
{
    if (FFilling)
        return;
    const TNetworkEnabling e = NetworkEnabling(Values());
    SpinEdit1->SetEnabled(e.BufferSecs);
    SpinEdit2->SetEnabled(e.UDPPort);
    for (TRadioButton* radio : {RadioButton3, RadioButton4, RadioButton5})
        radio->SetEnabled(e.ProxyRadios);
    Button3->SetEnabled(e.ProxyButton);
}

void TSettingsForm::AudioDeviceChange()
{
    const int index = AudioDevice_ComboBox->ItemIndex();
    const bool digital = index >= 0 && static_cast<size_t>(index) < FDevices.size() && FDevices[static_cast<size_t>(index)].Spdif;
    SPDIF_ChkBox->SetEnabled(digital);
}

void TSettingsForm::LoadSpeakerPicture()
{
    try {
        const auto jpeg = LoadJpegResource(SpeakerPictureName(Speakers_Selection->ItemIndex()));
        FSpeakerPicture.SetPixels(jpeg->Width(), jpeg->Height(), jpeg->Pixels().data());
    } catch (const Exception&) {
        FSpeakerPicture.SetPixels(0, 0, nullptr);
    }
    Image1->Invalidate();
}

void TSettingsForm::TreeView1Change(TObject*)
{
    if (const TTreeNode* node = TreeView1->Selected())
        PageControl1->SetActivePageIndex(static_cast<int>(node->Data));
}

void TSettingsForm::FormShow(TObject*)
{
    LoadSpeakerPicture();
    if (!TreeView1->Selected())
        TreeView1->Select(TreeView1->Items.Item(0));
    else
        TreeView1Change(TreeView1);
    TreeView1->SetFocus();
    const bool monitors = FullScreen_ComboBox->Items().size() >= 3;
    FullScreen_ComboBox->SetEnabled(monitors);
    FullScreen_Label->SetEnabled(monitors);
    if (!monitors)
        FullScreen_ComboBox->SetItemIndex(0);
}
