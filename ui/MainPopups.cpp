// The main window's caption strip, its popup menus and their handlers, the settings dialog's
// road, the colour theme and the application's activation events.
#include "ui/Control_Unit.h"

#include "ui/MainPopupsCore.h"
#include "ui/SettingsModel.h"
#include "ui/SettingsUnitCore.h"
#include "ui/SnapShot_Unit.h"
#include "ui/Video_Unit.h"

#include "menus/WindowSkin.h"

#include "engine/History.h"
#include "engine/ShellAssociation.h"
#include "playlist/PlayList.h"

namespace {
constexpr int kFaceGlyph = 12;
constexpr int kMenuGlyph = 0, kMinimizeGlyph = 1, kCloseGlyph = 2;

const char* const VisualModeNames[6] = {"None", "Spectrum Analyser", "Spectrum Analyser (Full)", "Waveform",
                                        "Waveform (Filled)", "VU's"};
}

void TControlForm::CreateCaptionStrip()
{
    Panel4 = NewComponent<TPanel>(this);
    Panel4->Name = "Panel4";
    Panel4->SetBounds(0, 0, 385, 16);
    Panel4->SetAlign(alTop);
    Panel4->SetColor(clBlack);
    Panel4->SetParent(this);
    Panel4->OnMouseMove = [this](TObject* sender, TShiftState shift, int x, int y) { FormMouseMove(sender, shift, x, y); };
    Face_Images = NewComponent<TImageList>(this, kFaceGlyph, kFaceGlyph);
    Face_Images->TransparentColor = 0x00FF00;  // never in the art
    Face_Images->LoadFromResource("FACE_BUTTONS");
    const struct {
        TPaintBox** Box;
        const char* Name;
        int Left;
        int Glyph;
    } buttons[] = {{&Image324, "Image324", 2, kMenuGlyph},
                   {&Image325, "Image325", 385 - 2 * (kFaceGlyph + 2), kMinimizeGlyph},
                   {&Image326, "Image326", 385 - (kFaceGlyph + 2), kCloseGlyph}};
    for (const auto& b : buttons) {
        TPaintBox* box = NewComponent<TPaintBox>(this);
        box->Name = b.Name;
        box->SetBounds(b.Left, 2, kFaceGlyph, kFaceGlyph);
        box->SetParent(Panel4);
        box->OnPaint = [this, glyph = b.Glyph](TObject*, HDC dc) { Face_Images->Draw(dc, 0, 0, glyph); };
        *b.Box = box;
    }
    Image324->OnMouseUp = [this](TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
        Image324MouseUp(sender, button, shift, x, y);
    };
    Image325->OnClick = [this](TObject* sender) { Image325Click(sender); };
    Image326->OnClick = [this](TObject* sender) { Exit1Click(sender); };
    // The caption text is drawn on the strip between the buttons.
    auto* caption = NewComponent<TPaintBox>(this);
    caption->Name = "PaintBox322";
    caption->SetBounds(kFaceGlyph + 6, 0, 385 - 3 * (kFaceGlyph + 4), 16);
    caption->SetParent(Panel4);
    caption->OnPaint = [this](TObject* sender, HDC dc) {
        auto* box = static_cast<TPaintBox*>(sender);
        RECT r = box->ClientRect();
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 255, 255));
        const std::string& text = Panel4->Caption();
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    };
    caption->OnMouseMove = [this](TObject* sender, TShiftState shift, int x, int y) { FormMouseMove(sender, shift, x, y); };
}

void TControlForm::CreateMenus()
{
    Money1 = NewWindowSkin(this, "Money1", anVertSlide, 18);
    const auto popup = [this](TPopupMenu2000*& menu) {
        menu = NewComponent<TPopupMenu2000>(this);
        menu->SetAnimatedSkin(Money1);
    };
    popup(EQ_Preset_Popupmenu);

    const auto item = [this](TMenuItem2000* parent, const char* name, const char* caption, void (TControlForm::*click)(TObject*)) {
        TMenuItem2000* added = parent->AddNew(caption);
        added->Name = name;
        if (click)
            added->OnClick = [this, click](TObject* sender) { (this->*click)(sender); };
        return added;
    };
    const auto separator = [](TMenuItem2000* parent) { parent->AddNew("-"); };

    popup(FileReopen_PopupMenu);
    FileReopen_PopupMenu->OnPopup = [this](TObject* sender) { FileReopen_PopupMenuPopup(sender); };
    popup(Extras_PopupMenu);

    popup(VisualsPopupMenu);
    VisualsPopupMenu->OnPopup = [this](TObject* sender) { VisualsPopupMenuPopup(sender); };
    TMenuItem2000* visuals = VisualsPopupMenu->Items();
    item(visuals, "VisMenu_ShowPeaks", "Show Peaks", &TControlForm::VisMenu_ShowPeaksClick);
    item(visuals, "VisMenu_Usefade", "Show Fade effect", &TControlForm::VisMenu_UsefadeClick);
    VisMenu_ShowPeaks = visuals->Items(0);
    VisMenu_Usefade = visuals->Items(1);
    for (int mode = 0; mode < 6; ++mode) {
        Vis[mode] = item(visuals, ("Vis" + IntToStr(mode)).c_str(), VisualModeNames[mode], &TControlForm::SelectVisualMode);
        Vis[mode]->RadioItem = true;
        Vis[mode]->Tag = mode;
    }
    separator(visuals);
    VisMenu_Fast = item(visuals, "VisMenu_Fast", "Fast Update", &TControlForm::VisMenu_SpeedClick);
    VisMenu_Medium = item(visuals, "VisMenu_Medium", "Medium Update", &TControlForm::VisMenu_SpeedClick);
    VisMenu_Slow = item(visuals, "VisMenu_Slow", "Slow Update", &TControlForm::VisMenu_SpeedClick);
    TMenuItem2000* speeds[3] = {VisMenu_Fast, VisMenu_Medium, VisMenu_Slow};
    for (int i = 0; i < 3; ++i) {
        speeds[i]->RadioItem = true;
        speeds[i]->GroupIndex = 1;
        speeds[i]->Tag = kVisualSpeedIntervals[i];
    }

    popup(Display_PopupMenu);
    Display_PopupMenu->OnPopup = [this](TObject* sender) { Display_PopupMenuPopup(sender); };
    for (int theme = 0; theme < 4; ++theme) {
        DisplayCol[theme] = item(Display_PopupMenu->Items(), ("DisplayCol" + IntToStr(theme + 1)).c_str(),
                                 DisplayThemeNames[theme], &TControlForm::SetColorPreSet);
        DisplayCol[theme]->RadioItem = true;
        DisplayCol[theme]->Tag = theme;
    }

    popup(MainPopupMenu);
    MainPopupMenu->OnPopup = [this](TObject* sender) { MainPopupMenuPopup(sender); };
    TMenuItem2000* main = MainPopupMenu->Items();
    OpenFile1 = item(main, "OpenFile1", "Open File", nullptr);
    OpenFile1->OnClick = [this](TObject*) {
        if (OpenBtn->OnClick)
            OpenBtn->OnClick(OpenBtn);
    };
    OpenURL1 = item(main, "OpenURL1", "Open URL", nullptr);
    Reopen1 = item(main, "Reopen1", "Reopen", nullptr);
    separator(main);
    View1 = item(main, "View1", "View", nullptr);
    ViewPlaylist1 = item(View1, "ViewPlaylist1", "Playlist", nullptr);
    ViewPlaylist1->OnClick = [this](TObject*) { ShowPlayListBtnClick(); };
    ViewSnapshotbrowser1 = item(View1, "ViewSnapshotbrowser1", "Snapshot Browser", &TControlForm::ViewSnapshotbrowser1Click);
    ViewExtras1 = item(View1, "ViewExtras1", "Extras", nullptr);
    ViewVisuals1 = item(View1, "ViewVisuals1", "Visuals", nullptr);
    ViewDisplayColor = item(View1, "ViewDisplayColor", "Display Color", nullptr);
    separator(main);
    Settings1 = item(main, "Settings1", "Settings", &TControlForm::Settings1Click);
    separator(main);
    Exit1 = item(main, "Exit1", "Exit", &TControlForm::Exit1Click);
}

// ---- menus ----

void TControlForm::MainPopupMenuPopup(TObject*)
{
    ViewPlaylist1->Checked = PlaylistForm && PlaylistForm->Visible();
    ViewSnapshotbrowser1->Checked = SnapShotForm && SnapShotForm->Visible();
    ViewExtras1->SetAttachMenu(Extras_PopupMenu);
    ViewExtras1->Visible = Extras_PopupMenu->Items()->Count() > 0;  // until the extras menu has items
    ViewVisuals1->SetAttachMenu(VisualsPopupMenu);
    ViewDisplayColor->SetAttachMenu(Display_PopupMenu);
    Reopen1->SetAttachMenu(FileReopen_PopupMenu);
    Reopen1->Enabled = Engine && !Engine->History(hkFiles).empty();
}

void TControlForm::ViewSnapshotbrowser1Click(TObject*)
{
    if (!SnapShotForm)
        return;
    if (SnapShotForm->Visible())
        SnapShotForm->Close();
    else
        SnapShotForm->Show();
}

void TControlForm::VisualsPopupMenuPopup(TObject*)
{
    if (Engine)
        Engine->StoreSettings(Settings);
    const int mode = Settings.Visuals;
    if (mode >= 0 && mode < 6)
        Vis[mode]->SetChecked(true);
    VisMenu_Usefade->Checked = Settings.VisualsUseFade;
    VisMenu_ShowPeaks->Checked = Settings.VisualsShowPeaks;
    TMenuItem2000* speeds[3] = {VisMenu_Fast, VisMenu_Medium, VisMenu_Slow};
    for (TMenuItem2000* speed : speeds)
        speed->Checked = false;
    if (const int speed = VisualSpeedItem(Settings.VisualsInterval); speed >= 0)
        speeds[speed]->SetChecked(true);
}

void TControlForm::SelectVisualMode(TObject* sender)
{
    const auto* item = static_cast<TMenuItem*>(sender);
    Settings.Visuals = static_cast<int32_t>(item->Tag);
    if (Engine)
        Engine->SwitchVisual(static_cast<uint8_t>(item->Tag));
}

void TControlForm::VisMenu_ShowPeaksClick(TObject*)
{
    if (Engine)
        Engine->StoreSettings(Settings);
    Settings.VisualsShowPeaks = !Settings.VisualsShowPeaks;
    if (Engine)
        Engine->ApplySettings(Settings);
}

void TControlForm::VisMenu_UsefadeClick(TObject*)
{
    if (Engine)
        Engine->StoreSettings(Settings);
    Settings.VisualsUseFade = !Settings.VisualsUseFade;
    if (Engine)
        Engine->ApplySettings(Settings);
}

void TControlForm::VisMenu_SpeedClick(TObject* sender)
{
    Settings.VisualsInterval = static_cast<int32_t>(static_cast<TMenuItem*>(sender)->Tag);
    if (Engine)
        Engine->SetVisualInterval(Settings.VisualsInterval);
}

void TControlForm::Display_PopupMenuPopup(TObject*)
{
    if (Settings.DisplayColor >= 0 && Settings.DisplayColor < 4)
        DisplayCol[Settings.DisplayColor]->SetChecked(true);
}

void TControlForm::SetColorPreSet(TObject* sender)
{
    auto* item = static_cast<TMenuItem*>(sender);
    item->SetChecked(true);
    SetDisplayColorTheme(static_cast<int>(item->Tag));
}

void TControlForm::FileReopen_PopupMenuPopup(TObject*)
{
    TMenuItem2000* items = FileReopen_PopupMenu->Items();
    items->Clear();
    if (!Engine)
        return;
    for (const TReopenEntry& entry : ReopenEntries(Engine->History(hkFiles), Settings.HistoryFiles)) {
        TMenuItem* added = items->AddNew(entry.Caption, [this](TObject* sender) { OpenHistoryFile(sender); });
        added->Tag = entry.Tag;
    }
}

void TControlForm::OpenHistoryFile(TObject* sender)
{
    if (!Engine)
        return;
    const std::string name = Engine->GetHistoryItem(hkFiles, static_cast<int>(static_cast<TMenuItem*>(sender)->Tag));
    if (name.empty())
        return;
    if (PlayList)
        PlayList->AddPlaylistPath(name, true, false);
    Engine->PlayInList(0, true);
}

void TControlForm::Settings1Click(TObject*)
{
    ShowSettings();
}

void TControlForm::Exit1Click(TObject*)
{
    Close();
}

void TControlForm::Image325Click(TObject*)
{
    if (Application)
        Application->Minimize();
}

void TControlForm::Image324MouseUp(TObject*, TMouseButton button, TShiftState, int, int)
{
    if (button != mbLeft || MainPopupMenu->IsShowing())
        return;
    POINT below = {Image324->Left(), Image324->Top() + Image324->Height() + 2};
    ClientToScreen(Panel4->Handle(), &below);
    MainPopupMenu->Window = Handle();
    MainPopupMenu->Popup(below.x, below.y);
}

// ---- the face ----

void TControlForm::FormMouseMove(TObject*, TShiftState shift, int, int)
{
    if (!(shift & ssLeft))
        return;
    ReleaseCapture();
    SendMessageA(Handle(), WM_SYSCOMMAND, 0xF012, 0);
}

void TControlForm::FormShow(TObject*)
{
    const HWND wnd = HandleOrNull();
    const LONG style = GetWindowLongA(wnd, GWL_STYLE);
    if (BorderStyle != bsNone && (style & WS_CAPTION) == WS_CAPTION && Floating()) {
        LONG newStyle = style & ~WS_CAPTION;
        if (BorderStyle == bsDialog)
            newStyle |= 0x400080;
        SetWindowLongA(wnd, GWL_STYLE, newStyle);
        SetBounds(Left(), Top(), Width(), Height() - GetSystemMetrics(SM_CYCAPTION));
        SetWindowPos(wnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    Panel4->SetCaption(Caption());
    Panel4->Invalidate();
}

// ---- the application's events ----

void TControlForm::ApplicationEvents1SettingChange(TObject*, int flag, const std::string&)
{
    if (flag == SPI_SETWORKAREA && VideoForm && VideoForm->FullScreen()) {
        VideoForm->LeaveFullScreen();
        VideoForm->EnterFullScreen();
    }
}

void TControlForm::ApplicationEvents1Activate(TObject*)
{
    if (VideoForm && VideoForm->HandleAllocated())
        VideoForm->SetStayOnTop(false);
}

void TControlForm::ApplicationEvents1Deactivate(TObject*)
{
    if (Settings.VideoOnTop && VideoForm && VideoForm->HandleAllocated())
        VideoForm->SetStayOnTop(true);
}

// ---- settings ----

void TControlForm::ShowSettings()
{
    if (Engine)
        Engine->StoreSettings(Settings);
    bool associationsChanged = false;
    if (SettingsDialog) {
        if (!SettingsDialog->Execute(Settings, FirstRun, associationsChanged))
            return;
    } else if (FirstRun) {
        // Without a dialog the first run takes the values it would have offered.
        const std::vector<TRendererEntry> renderers = Engine ? Engine->RendererTable() : std::vector<TRendererEntry>{};
        ApplyDialogValues(DialogValuesFor(Settings, true, {}, renderers, 1), {}, Settings);
    } else {
        return;
    }
    FirstRun = false;
    if (Engine)
        Engine->ApplySettings(Settings);
    // 9. The surround page follows the speakers chosen.
    if (UpDown1->Position() == 2) {
        const TExtrasStep step = ExtrasStep(2, true, Surround());
        UpDown1->SetPosition(step.Position);
        Notebook1->SetPageIndex(step.Page);
    }
    WriteSettings();
    if (associationsChanged)
        BroadcastSettingChange();
}
