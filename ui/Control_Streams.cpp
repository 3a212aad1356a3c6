// The main window's stream controls: the video window's audio-track, subtitle and chapter
// menus that it fills and answers, and the extras panel's head (the page stepper, the page
// menu, the close box, showing and hiding the panel).
#include "ui/Control_Unit.h"

#include "ui/Video_Unit.h"

#include "graphics/Image32.h"

void TControlForm::CreateExtrasHead()
{
    ExtrasFrame->SetHeight(kExtrasPanelHeight);
    Notebook1->SetHeight(kExtrasPanelHeight);
    Panel7->SetHeight(kExtrasPanelHeight);
    Panel7->SetColor(clBlack);
    Label19 = NewComponent<TLabel>(this);
    Label19->Name = "Label19";
    Label19->FontColor = RGB(255, 255, 255);
    Label19->Color = RGB(0, 0, 0);
    Label19->SetBounds(2, 46, 81, 30);
    Label19->SetParent(Panel7);
    UpDown1 = NewComponent<TUpDown>(this);
    UpDown1->Name = "UpDown1";
    UpDown1->Horizontal = true;
    UpDown1->Min = 0;
    UpDown1->Max = kExtrasStepCount - 1;
    UpDown1->SetBounds(2, 78, 32, 16);
    UpDown1->SetParent(Panel7);
    UpDown1->OnClick = [this](TObject* sender, TUDBtnType button) { UpDown1Click(sender, button); };
    const struct {
        TSpeedButton** Button;
        const char* Name;
        const char* Caption;
        int Left;
    } buttons[] = {{&SpeedButton1, "SpeedButton1", "EQ", 36}, {&SpeedButton3, "SpeedButton3", "...", 60}};
    for (const auto& b : buttons) {
        *b.Button = NewComponent<TSpeedButton>(this);
        (*b.Button)->Name = b.Name;
        (*b.Button)->SetCaption(b.Caption);
        (*b.Button)->SetBounds(b.Left, 78, 22, 16);
        (*b.Button)->SetParent(Panel7);
    }
    SpeedButton1->OnMouseUp = [this](TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
        SpeedButton1MouseUp(sender, button, shift, x, y);
    };
    SpeedButton3->OnMouseUp = [this](TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
        SpeedButton3MouseUp(sender, button, shift, x, y);
    };
    CloseExtras_Images = NewComponent<TImageList>(this, 12, 12);
    CloseExtras_Images->LoadFromResource("CLOSEEXTRAS_IMAGES");
    PaintBox5 = NewComponent<TPaintBox>(this);
    PaintBox5->Name = "PaintBox5";
    PaintBox5->Hint = "Hide Extras.";
    PaintBox5->ShowHint = true;
    PaintBox5->SetBounds(71, 2, 12, 12);
    PaintBox5->SetParent(Panel7);
    PaintBox5->OnPaint = [this](TObject*, HDC dc) {
        RECT r{0, 0, 12, 12};
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        CloseExtras_Images->Draw(dc, 0, 0, PaintBox5->Tag != 0 ? 2 : 1);
    };
    PaintBox5->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) {
        PaintBox5->Tag = 1;
        PaintBox5->Invalidate();
    };
    PaintBox5->OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int, int) {
        PaintBox5->Tag = 0;
        PaintBox5->Invalidate();
        ShowExtras(false);
    };
    Notebook1->OnPageChanged = [this](TObject* sender) { Notebook1PageChanged(sender); };
    Extras_PopupMenu->OnPopup = [this](TObject* sender) { Extras_PopupMenuPopup(sender); };
    Extras_PopupMenuPopup(Extras_PopupMenu);
    if (pbVisual)
        pbVisual->OnClick = [this](TObject* sender) { pbVisualClick(sender); };
}

// ---- the video window's menus ----

void TControlForm::StreamMenuItem(TMenuItem* item, const std::string& name, int index, bool checked)
{
    item->Caption = name;
    item->Tag = index;
    item->RadioItem = true;
    item->AutoCheck = true;
    item->Checked = checked;
}

void TControlForm::AddAudioTrackToMenu(const std::string& name, int index, bool checked)
{
    if (!VideoForm)
        return;
    TMenuItem2000* item = VideoForm->AudioTracks1->AddNew(name, [this](TObject* sender) { ChangeStreamClick(sender); });
    StreamMenuItem(item, name, index, checked);
}

void TControlForm::AddChapterToMenu(const std::string& name, int index, bool checked)
{
    if (!VideoForm)
        return;
    TMenuItem2000* item = VideoForm->Chapters1->AddNew(name, [this](TObject* sender) { ChangeChapterClick(sender); });
    StreamMenuItem(item, name, index, checked);
}

void TControlForm::AddSubTitleToMenu(const std::string& name, int index, bool checked)
{
    if (!VideoForm)
        return;
    TMenuItem2000* menu = VideoForm->Subtitles1;
    auto* item = NewComponent<TMenuItem2000>(menu);
    StreamMenuItem(item, name, index, checked);
    item->GroupIndex = 2;
    item->OnClick = [this](TObject* sender) { ChangeSubtitlesClick(sender); };
    menu->Insert(std::clamp(index + 3, 0, menu->Count()), item);
    if (VideoForm->SubtitlesNONEAVALIBLE1->Visible)
        VideoForm->SubtitlesNONEAVALIBLE1->Visible = false;
}

namespace {

// Enables stream `index` of a stream-selecting filter; an index past its streams does nothing.
void SelectStream(IUnknown* filter, int index)
{
    ComPtr<IAMStreamSelect> select;
    if (!filter || index < 0 || FAILED(filter->QueryInterface(IID_PPV_ARGS(&select))))
        return;
    DWORD count = 0;
    if (SUCCEEDED(select->Count(&count)) && static_cast<DWORD>(index) < count)
        select->Enable(index, AMSTREAMSELECTENABLE_ENABLE);
}

}  // namespace

void TControlForm::ChangeStreamClick(TObject* sender)
{
    auto* item = dynamic_cast<TMenuItem*>(sender);
    if (!item || !Engine)
        return;
    item->SetChecked(true);
    const int entry = static_cast<int>(item->Tag);
    if (entry < 0 || entry >= static_cast<int>(Engine->AudioStreamNames().size()))
        return;
    ComPtr<IUnknown> filter;
    int streamIndex = 0;
    if (Engine->StreamSelector(false, entry, filter, streamIndex))
        SelectStream(filter.Get(), streamIndex);
    else
        Engine->SelectAudioStream(entry);
}

void TControlForm::ChangeChapterClick(TObject* sender)
{
    auto* item = dynamic_cast<TMenuItem*>(sender);
    if (!item || !Engine)
        return;
    item->SetChecked(true);
    const int entry = static_cast<int>(item->Tag);
    ComPtr<IUnknown> filter;
    int streamIndex = 0;
    if (!Engine->StreamSelector(true, entry, filter, streamIndex))
        return;
    SelectStream(filter.Get(), streamIndex);
    const std::vector<std::string> names = Engine->ChapterNames();
    if (VideoForm && VideoForm->OSD && VideoForm->Visible() && entry < static_cast<int>(names.size()))
        VideoForm->OSD->ShowTextBlink(names[static_cast<size_t>(entry)], false);
}

void TControlForm::ChangeSubtitlesClick(TObject* sender)
{
    auto* item = dynamic_cast<TMenuItem*>(sender);
    if (!item || !Engine)
        return;
    item->SetChecked(true);
    Engine->SelectSubtitleLanguage(static_cast<int>(item->Tag));
}

void TControlForm::SelectSubtitles(int index)
{
    if (Engine && Engine->SubtitlesPresent())
        Engine->SelectSubtitleLanguage(index);
}

void TControlForm::pbVisualClick(TObject*)
{
    if (Engine)
        Engine->NextVisual();
}

// ---- the extras panel ----

void TControlForm::UpDown1Click(TObject*, TUDBtnType button)
{
    // 1.
    if (!VideoForm || !VideoForm->FullScreen())
        ShowExtras(true);
    // 2., 3.
    const TExtrasStep step = ExtrasStep(UpDown1->Position(), button == btPrev, Surround());
    UpDown1->SetPosition(step.Position);
    Notebook1->SetPageIndex(step.Page);
}

void TControlForm::Extras_PopupMenuPopup(TObject*)
{
    TMenuItem2000* items = Extras_PopupMenu->Items();
    items->Clear();
    const bool shown = ExtrasFrame->Visible() || (VideoForm && VideoForm->FullScreen());
    for (const TExtrasPopupItem& entry : ExtrasPopupItems(Surround())) {
        const std::string caption = Notebook1->Pages(entry.Page)->Caption();
        TMenuItem2000* item = items->AddNew(caption, [this](TObject* sender) { SetExtraSettingsPage(sender); });
        item->RadioItem = true;
        item->ImageIndex = 0;
        item->Tag = entry.Tag;
        item->Checked = shown && caption == Notebook1->ActivePage();
    }
}

void TControlForm::SetExtraSettingsPage(TObject* sender)
{
    auto* item = dynamic_cast<TMenuItem*>(sender);
    if (!item)
        return;
    UpDown1->SetPosition(static_cast<int>(item->Tag));
    UpDown1Click(UpDown1, btNext);
}

void TControlForm::SpeedButton3MouseUp(TObject*, TMouseButton button, TShiftState, int, int)
{
    if (button != mbLeft || Extras_PopupMenu->IsShowing())
        return;
    POINT below = {0, SpeedButton3->Height() + 2};
    ClientToScreen(SpeedButton3->Handle(), &below);
    Extras_PopupMenu->Window = Handle();
    Extras_PopupMenu->Popup(below.x, below.y);
}

void TControlForm::ShowExtras(bool show)
{
    // The caption strip lies inside the client area here.
    const int face = Panel4->Height() + Panel1->Height();
    if (show) {
        SetClientHeight(face + Notebook1->Height());
        ExtrasFrame->Show();
    } else {
        ExtrasFrame->Hide();
        SetClientHeight(face);
    }
    if (!Floating() && VideoForm)
        VideoForm->VideoFrameResize(this);
}

void TControlForm::Notebook1PageChanged(TObject*)
{
    Label19->SetCaption(Notebook1->ActivePage());
}
