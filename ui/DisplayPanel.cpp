#include "ui/DisplayPanel.h"

#include "ui/Control_Unit.h"
#include "ui/Video_Unit.h"

#include "graphics/Image32.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace {
TPaintBox32* NewBox(TControlForm& form, const char* name, const TRect& r)
{
    auto* box = NewComponent<TPaintBox32>(&form);
    box->Name = name;
    box->SetBounds(r.left, r.top, r.Width(), r.Height());
    box->SetParent(form.Panel1);
    return box;
}

TImage32* NewSprite(TControlForm& form, const char* name, uint32_t masterAlpha)
{
    auto* image = NewComponent<TImage32>(&form);
    image->Name = name;
    image->SetVisible(false);
    std::string resource = name;
    for (char& c : resource)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    LoadBitmapResource(resource, *image->Bitmap());
    image->Bitmap()->SetDrawMode(dmBlend);
    image->Bitmap()->SetMasterAlpha(masterAlpha);
    return image;
}

// The title's and the status pane's font.
void SetSmallFont(TBitmap32& bitmap)
{
    bitmap.Font().SetName("Small Fonts");
    bitmap.Font().SetSize(7);
}

// Draws a sprite cell with the given master alpha, keeping the sprite's own.
void DrawCell(TBitmap32& target, TBitmap32& sprite, const TRect& source, const TRect& cell, uint32_t alpha)
{
    if (sprite.Empty())
        return;
    const uint32_t kept = sprite.MasterAlpha();
    sprite.SetMasterAlpha(alpha);
    sprite.DrawToStretched(&target, cell, source);
    sprite.SetMasterAlpha(kept);
}
}

bool LoadBitmapResource(const std::string& name, TBitmap32& bitmap)
{
    const HMODULE module = GetModuleHandleA(nullptr);
    const HRSRC info = FindResourceA(module, name.c_str(), MAKEINTRESOURCEA(10));  // RT_RCDATA
    if (!info)
        return false;
    const HGLOBAL data = LoadResource(module, info);
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes)
        return false;
    TMemoryStream stream;
    stream.WriteBuffer(bytes, SizeofResource(module, info));
    stream.SetPosition(0);
    try {
        TBitmap32 loaded;
        loaded.ReadData(stream);
        bitmap.Assign(loaded);
    } catch (const Exception&) {
        return false;
    }
    return true;
}

TDisplayPanel::TDisplayPanel(TControlForm& form)
    : FForm(form), FTitleBitmap(std::make_unique<TBitmap32>()),
      FScroller(kDisplayLayout.Title.Width(), [this](const std::string& text) { return FTitleBitmap->TextWidth(text); })
{
    const TDisplayLayout& l = kDisplayLayout;
    form.PaintBox322 = NewBox(form, "PaintBox322", l.Caption);
    form.PaintBox321 = NewBox(form, "PaintBox321", l.Time);
    form.PaintBox325 = NewBox(form, "PaintBox325", l.State);
    form.PaintBox323 = NewBox(form, "PaintBox323", l.Audio);
    form.PaintBox324 = NewBox(form, "PaintBox324", l.Subtitles);
    form.PaintBox326 = NewBox(form, "PaintBox326", l.Status);
    form.pbVisual = NewBox(form, "pbVisual", l.Visual);
    form.ScrLabel_PaintBox = NewBox(form, "ScrLabel_PaintBox", l.Title);
    form.PaintBox327 = NewBox(form, "PaintBox327", l.Progress);
    form.Image321 = NewSprite(form, "Image321", 200);
    form.Image322 = NewSprite(form, "Image322", 200);
    form.Image323 = NewSprite(form, "Image323", 150);

    // The title is drawn, and measured, in its own bitmap's font.
    FTitleBitmap->SetSize(l.Title.Width(), l.Title.Height());
    SetSmallFont(*FTitleBitmap);

    const auto paint = [](TPaintBox32* box, void (TDisplayPanel::*handler)(), TDisplayPanel* self) {
        box->OnPaintBuffer = [self, handler](TObject*) { (self->*handler)(); };
    };
    paint(form.PaintBox321, &TDisplayPanel::PaintBox321PaintBuffer, this);
    paint(form.PaintBox322, &TDisplayPanel::PaintBox322PaintBuffer, this);
    paint(form.PaintBox323, &TDisplayPanel::PaintBox323PaintBuffer, this);
    paint(form.PaintBox324, &TDisplayPanel::PaintBox324PaintBuffer, this);
    paint(form.PaintBox325, &TDisplayPanel::PaintBox325PaintBuffer, this);
    paint(form.PaintBox326, &TDisplayPanel::PaintBox326PaintBuffer, this);
    paint(form.PaintBox327, &TDisplayPanel::PaintBox327PaintBuffer, this);
    paint(form.ScrLabel_PaintBox, &TDisplayPanel::ScrLabel_PaintBoxPaintBuffer, this);
    paint(form.pbVisual, &TDisplayPanel::pbVisualPaintBuffer, this);
    form.PaintBox321->OnClick = [this](TObject*) { PaintBox321Click(); };
    form.PaintBox323->OnClick = [this](TObject*) { PaintBox323Click(); };
    form.PaintBox324->OnClick = [this](TObject*) { PaintBox324Click(); };
    form.PaintBox327->OnMouseMove = [this](TObject*, TShiftState, int x, int y) { PaintBox327MouseMove(x, y); };
    form.PaintBox327->OnMouseUp = [this](TObject*, TMouseButton button, TShiftState, int x, int) {
        if (button == mbLeft)
            PaintBox327MouseUp(x);
    };
    form.PaintBox327->OnMouseLeave = [this](TObject*) {
        FHintPoint = TPoint(-1, -1);
        if (Application)
            Application->CancelHint();
    };
    form.TitleTimer->OnTimer = [this](TObject*) { TitleTimerTimer(); };
}

TDisplayPanel::~TDisplayPanel()
{
    FForm.TitleTimer->OnTimer = nullptr;
}

// ---- time read-out ----

void TDisplayPanel::UpdateTimeDisplay(const std::string& hours, const std::string& minutes, const std::string& seconds)
{
    FHours = hours;
    FMinutes = minutes;
    FSeconds = seconds;
    // 1.-5. The box draws the cells when it paints: the whole read-out in one change.
    FForm.Image321->Bitmap()->SetMasterAlpha(200);
    FForm.PaintBox321->Invalidate();
}

void TDisplayPanel::PaintBox321PaintBuffer()
{
    TBitmap32& buffer = *FForm.PaintBox321->Buffer();
    buffer.BeginUpdate();
    buffer.Clear(OpaqueColor32(FColors.Back));
    TBitmap32& sprite = *FForm.Image321->Bitmap();
    for (const TSpriteCell& cell : TimeDisplayCells(FHours, FMinutes, FSeconds, FForm.Settings.TimeMode != 0))
        DrawCell(buffer, sprite, cell.Source, cell.Target, sprite.MasterAlpha());
    buffer.EndUpdate();
}

void TDisplayPanel::PaintBox321Click()
{
    FForm.Settings.TimeMode = FForm.Settings.TimeMode != 0 ? 0 : 1;
    // The read-out follows at once rather than at the next poll.
    const TTimeTexts texts = PollTimeTexts(FForm.PlayPosition, FForm.PlayDuration, FForm.Settings.TimeMode != 0);
    UpdateTimeDisplay(texts.Hours, texts.Minutes, texts.Seconds);
}

// ---- theme ----

void TDisplayPanel::SetDisplayColorTheme(int theme)
{
    if (theme >= 0)
        FForm.Settings.DisplayColor = theme;
    if (const std::optional<TDisplayColors> colors = DisplayThemeColors(FForm.Settings.DisplayColor))
        FColors = *colors;
    if (FForm.Engine)
        FForm.Engine->SetDisplayColors(FColors.Back, FColors.Text);
    FForm.Panel1->SetColor(static_cast<TColor>(FColors.Back));
    FForm.Panel1->Invalidate();
    for (TPaintBox32* box : {FForm.PaintBox321, FForm.PaintBox322, FForm.PaintBox323, FForm.PaintBox324,
                             FForm.PaintBox325, FForm.PaintBox326, FForm.PaintBox327, FForm.ScrLabel_PaintBox,
                             FForm.pbVisual})
        box->Invalidate();
}

// ---- caption, indicators, status, progress ----

void TDisplayPanel::PaintBox322PaintBuffer()
{
    TBitmap32& buffer = *FForm.PaintBox322->Buffer();
    buffer.BeginUpdate();
    buffer.Clear(OpaqueColor32(FColors.Back));
    TBitmap32& sprite = *FForm.Image323->Bitmap();
    DrawCell(buffer, sprite, sprite.BoundsRect(), buffer.BoundsRect(), 150);
    const std::string& text = FForm.Caption();
    const int x = CaptionTextLeft(FForm.PaintBox322->Width(), buffer.TextWidth(text));
    buffer.DrawAntialiasedText(x + 1, 2, text, 0, 0x96000000);
    buffer.DrawAntialiasedText(x, 1, text, 0, 0xFFFFFFFF);
    buffer.EndUpdate();
}

void TDisplayPanel::PaintIndicator(TPaintBox32* box, TBitmap32* sprite, const TRect& cell, uint32_t alpha)
{
    TBitmap32& buffer = *box->Buffer();
    buffer.BeginUpdate();
    buffer.Clear(OpaqueColor32(FColors.Back));
    if (sprite)
        DrawCell(buffer, *sprite, cell, TRect(0, 0, kIndicatorSize, kIndicatorSize), alpha);
    buffer.EndUpdate();
}

void TDisplayPanel::PaintBox323PaintBuffer()
{
    const int streams = FForm.Engine ? static_cast<int>(FForm.Engine->AudioStreamNames().size()) : 0;
    PaintIndicator(FForm.PaintBox323, FForm.Image322->Bitmap(), kAudioIndicatorCell, IndicatorAlpha(streams >= 2));
}

void TDisplayPanel::PaintBox324PaintBuffer()
{
    const bool languages = FForm.Engine && FForm.Engine->SubtitlesPresent() && !FForm.Engine->SubtitleLanguages().empty();
    PaintIndicator(FForm.PaintBox324, FForm.Image322->Bitmap(), kSubtitleIndicatorCell, IndicatorAlpha(languages));
}

void TDisplayPanel::PaintBox325PaintBuffer()
{
    const std::optional<TRect> cell = StateSymbolCell(FForm.PlayState);
    PaintIndicator(FForm.PaintBox325, cell ? FForm.Image322->Bitmap() : nullptr, cell.value_or(TRect()), 200);
}

void TDisplayPanel::PaintBox323Click()
{
    IPlayerEngine* engine = FForm.Engine;
    if (!engine)
        return;
    const std::vector<std::string> names = engine->AudioStreamNames();
    const int count = static_cast<int>(names.size());
    if (count < 2)
        return;
    const int next = NextAudioStream(engine->GetSelectedAudioStream(), count);
    if (engine->AudioStreamHasSelector(next)) {
        if (SelectStream)
            SelectStream(next);
    } else {
        engine->SelectAudioStream(next);
    }
    ShowOSD(AudioStreamOSDText(names[static_cast<size_t>(next)], next), 3);
    FForm.PaintBox323->Invalidate();
}

void TDisplayPanel::PaintBox324Click()
{
    IPlayerEngine* engine = FForm.Engine;
    if (!engine || !engine->SubtitlesPresent())
        return;
    const std::vector<std::string> languages = engine->SubtitleLanguages();
    if (languages.empty())
        return;
    const TSubtitleStep step = NextSubtitleLanguage(engine->SelectedSubtitleLanguage(), static_cast<int>(languages.size()));
    engine->SelectSubtitleLanguage(step.Language);
    ShowOSD(SubtitleOSDText(step, languages[static_cast<size_t>(step.Language)]), 3);
}

void TDisplayPanel::ShowOSD(const std::string& text, int seconds)
{
    TVideoForm* video = FForm.VideoForm;
    if (video && video->Visible() && video->OSD)
        video->OSD->ShowTextTimed(text, seconds);
}

void TDisplayPanel::PaintBox326PaintBuffer()
{
    TBitmap32& buffer = *FForm.PaintBox326->Buffer();
    buffer.BeginUpdate();
    SetSmallFont(buffer);
    buffer.Clear(OpaqueColor32(FColors.Back));
    if (!FForm.NetworkStatusText.empty())
        buffer.DrawAntialiasedText(0, 0, FForm.NetworkStatusText, 0, 0xC8FFFFFF);
    buffer.EndUpdate();
}

void TDisplayPanel::PaintBox327PaintBuffer()
{
    TBitmap32& buffer = *FForm.PaintBox327->Buffer();
    const int width = FForm.PaintBox327->Width(), height = FForm.PaintBox327->Height();
    buffer.BeginUpdate();
    buffer.Clear(0xFF000000);
    buffer.FillRectClipped(0, 0, width, height, (OpaqueColor32(FColors.Back) & 0x00FFFFFF) | 220u << 24);
    const int played = ProgressPlayedWidth(width, std::clamp(FForm.Progress, 0, 10000));
    buffer.FillRectClipped(0, 0, played, height, 0x82FFFFFF);
    buffer.EndUpdate();
}

void TDisplayPanel::PaintBox327MouseMove(int x, int y)
{
    // Moving the hint window makes the system report the still cursor again: a move to the
    // same point is no move, or the two would feed each other and starve the timers.
    if (!FForm.Engine || (x == FHintPoint.x && y == FHintPoint.y))
        return;
    FHintPoint = TPoint(x, y);
    const std::string hint = GotoHintText(FForm.Engine->GetMSecfromPercent(ProgressPercentAt(FForm.PaintBox327->Width(), x)));
    if (hint.empty())
        return;
    FForm.PaintBox327->Hint = hint;
    POINT cursor;
    GetCursorPos(&cursor);
    if (Application)
        Application->ActivateHint(TPoint(cursor.x, cursor.y), hint);
}

void TDisplayPanel::PaintBox327MouseUp(int x)
{
    if (!FForm.Engine)
        return;
    if (const std::optional<double> percent = ProgressSeekPercent(FForm.PaintBox327->Width(), x))
        FForm.Engine->GotoPercent(*percent);
}

void TDisplayPanel::RepaintIndicators()
{
    for (TPaintBox32* box : {FForm.PaintBox323, FForm.PaintBox324, FForm.PaintBox325, FForm.PaintBox326, FForm.PaintBox327})
        box->Invalidate();
}

// ---- the title ----

void TDisplayPanel::SetTitleInfo(const std::vector<std::string>& lines)
{
    FForm.TitleTimer->SetEnabled(false);
    FScroller.SetTitleInfo(lines);
    FForm.TitleTimer->SetEnabled(true);
}

void TDisplayPanel::ClearTitleInfo()
{
    FScroller.ClearTitleInfo();
}

void TDisplayPanel::TitleTimerTimer()
{
    FScroller.TimerStep(GetTickCount(), !FForm.NetworkStatusText.empty());
    FForm.ScrLabel_PaintBox->Invalidate();
}

void TDisplayPanel::ScrLabel_PaintBoxPaintBuffer()
{
    DrawTitleLine(FScroller, *FTitleBitmap, *FForm.ScrLabel_PaintBox->Buffer(),
                  TRect(0, 0, FForm.ScrLabel_PaintBox->Width(), FForm.ScrLabel_PaintBox->Height()), FColors.Back);
}

void DrawTitleLine(TTitleScroller& scroller, TBitmap32& title, TBitmap32& target, const TRect& box, uint32_t backColor)
{
    // 1.
    target.BeginUpdate();
    // 2.
    SetSmallFont(title);
    // 3.
    const int y = static_cast<int>(std::nearbyint(title.Height() / 2.0)) -
                  static_cast<int>(std::nearbyint(title.TextHeight(scroller.Current) / 2.0));
    // 4.
    title.Clear(OpaqueColor32(backColor));
    // 5.
    for (const TTitleScroller::TTextDraw& draw : scroller.Paint())
        if (draw.Alpha > 0)
            title.DrawAntialiasedText(draw.X, y, draw.Text, 0, static_cast<TColor32>(std::min(draw.Alpha, 255)) << 24 | 0xFFFFFF);
    // 6.
    title.SetDrawMode(dmOpaque);
    title.DrawToStretched(&target, box, title.BoundsRect());
    // 7.
    target.EndUpdate();
}

void TDisplayPanel::pbVisualPaintBuffer()
{
    TBitmap32& buffer = *FForm.pbVisual->Buffer();
    buffer.BeginUpdate();
    if (FForm.VisualPicture && !FForm.VisualPicture->Empty()) {
        FForm.VisualPicture->DrawToStretched(&buffer, buffer.BoundsRect(), FForm.VisualPicture->BoundsRect());
    } else {
        buffer.Clear(OpaqueColor32(FColors.Back));
    }
    buffer.EndUpdate();
}
