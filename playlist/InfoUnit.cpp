#include "playlist/InfoUnit.h"

#include "playlist/MediaInfo.h"
#include "playlist/TagFile.h"

#include "framework/ComboBox.h"
#include "framework/ExtCtrls.h"
#include "framework/PageControl.h"
#include "framework/Spin.h"
#include "framework/StdCtrls.h"

#include <span>

namespace {

constexpr int kRow = 24;
constexpr int kLabelWidth = 84;
constexpr int kFieldWidth = 140;

template <class T>
T* Make(TComponent* owner, TWinControl* parent, int left, int top, int width, int height)
{
    T* control = NewComponent<T>(owner);
    control->SetBounds(left, top, width, height);
    control->SetParent(parent);
    return control;
}

std::vector<std::string> Items(std::span<const char* const> names)
{
    return std::vector<std::string>(names.begin(), names.end());
}

std::string WindowTextOf(const TWinControl* control)
{
    const HWND wnd = control->HandleOrNull();
    if (!wnd)
        return control->Caption();
    std::vector<char> buffer(static_cast<size_t>(GetWindowTextLengthA(wnd)) + 1);
    const int got = GetWindowTextA(wnd, buffer.data(), static_cast<int>(buffer.size()));
    return std::string(buffer.data(), static_cast<size_t>(got > 0 ? got : 0));
}

std::string MemoText(const TMemo* memo)
{
    return memo->HandleAllocated() ? WindowTextOf(memo) : memo->Text();
}

// The text of an AVI field's control; a number box with 0 stands for an empty field.
std::string ControlText(const TWinControl* control)
{
    if (auto* spin = dynamic_cast<const TSpinEdit*>(control))
        return spin->Value() != 0 ? IntToStr(spin->Value()) : std::string();
    if (auto* edit = dynamic_cast<const TEdit*>(control))
        return edit->Text();
    if (auto* combo = dynamic_cast<const TComboBox*>(control))
        return combo->Text();
    if (auto* memo = dynamic_cast<const TMemo*>(control))
        return MemoText(memo);
    return {};
}

void SetControlText(TWinControl* control, const std::string& text)
{
    if (auto* spin = dynamic_cast<TSpinEdit*>(control))
        spin->SetValue(StrToIntDef(Trim(text), 0));
    else if (auto* edit = dynamic_cast<TEdit*>(control))
        edit->SetText(text);
    else if (auto* combo = dynamic_cast<TComboBox*>(control))
        combo->SetText(text);
    else if (auto* memo = dynamic_cast<TMemo*>(control))
        memo->Lines.SetText(text);
}

// The choices of the AVI fields that have them, by INFO id.
std::span<const char* const> AviChoices(std::string_view id)
{
    if (id == "IPRD")
        return ContentTypes;
    if (id == "IGNR" || id == "ISGN")
        return MovieGenres;
    if (id == "ILNG")
        return Languages;
    if (id == "IRTD")
        return Ratings;
    if (id == "ISRF")
        return MediaTypes;
    if (id == "IMED")
        return SourceMedia;
    return {};
}

}  // namespace

TInfoForm::TInfoForm(TComponent* owner) : TForm(owner)
{
    // FormCreate
    Name = "InfoForm";
    SetCaption("InfoForm");
    BorderStyle = bsDialog;
    Position = poScreenCenter;
    SetBounds(0, 0, 520, 470);
    SetClientWidth(512);
    SetClientHeight(440);

    Panel1 = Make<TPanel>(this, this, 4, 4, 504, 24);
    auto* fileLabel = Make<TLabel>(this, Panel1, 6, 5, 30, 14);
    fileLabel->SetCaption("File:");
    auto* nameLabel = Make<TLabel>(this, Panel1, 40, 5, 458, 14);
    nameLabel->Name = "FileNameLabel";

    PageControl1 = Make<TPageControl>(this, this, 4, 32, 504, 370);
    ID3Sheet = NewComponent<TTabSheet>(this);
    ID3Sheet->SetCaption("ID3");
    ID3Sheet->SetPageControl(PageControl1);
    AVISheet = NewComponent<TTabSheet>(this);
    AVISheet->SetCaption("AVI");
    AVISheet->SetPageControl(PageControl1);
    // The playing file's kind chooses the page.
    ID3Sheet->SetTabVisible(false);
    AVISheet->SetTabVisible(false);

    OKButton = Make<TButton>(this, this, 268, 408, 75, 25);
    OKButton->SetCaption("OK");
    OKButton->ModalResult = mrOk;
    OKButton->Default = true;
    CancelButton = Make<TButton>(this, this, 350, 408, 75, 25);
    CancelButton->SetCaption("Cancel");
    CancelButton->ModalResult = mrCancel;
    ApplyButton = Make<TButton>(this, this, 432, 408, 75, 25);
    ApplyButton->SetCaption("Apply");
    ApplyButton->ModalResult = mrOk;

    BuildID3Page();
    BuildAviPage();
    OnShow = [this](TObject* sender) { FormShow(sender); };
}

void TInfoForm::BuildID3Page()
{
    CheckBox1 = Make<TCheckBox>(this, ID3Sheet, 8, 4, 120, 17);
    CheckBox1->SetCaption("ID3v1 Tag");
    CheckBox1->OnClick = [this](TObject* s) { CheckBox1Click(s); };
    CheckBox2 = Make<TCheckBox>(this, ID3Sheet, 254, 4, 120, 17);
    CheckBox2->SetCaption("ID3v2 Tag");
    CheckBox2->OnClick = [this](TObject* s) { CheckBox2Click(s); };

    ID3v1Group = Make<TGroupBox>(this, ID3Sheet, 4, 24, 244, 16 + 7 * kRow + 8);
    ID3v1Group->SetCaption("ID3v1");
    ID3v2Group = Make<TGroupBox>(this, ID3Sheet, 252, 24, 244, 16 + 13 * kRow + 8);
    ID3v2Group->SetCaption("ID3v2");

    const auto label = [this](TWinControl* group, const char* caption, int row) {
        Make<TLabel>(this, group, 8, 19 + row * kRow, 72, 14)->SetCaption(caption);
    };
    const auto edit = [&](TWinControl* group, const char* caption, int row) {
        label(group, caption, row);
        return Make<TEdit>(this, group, 82, 16 + row * kRow, kFieldWidth, 21);
    };
    const auto year = [&](TWinControl* group, int row) {
        label(group, "Year", row);
        auto* spin = Make<TSpinEdit>(this, group, 82, 16 + row * kRow, 60, 21);
        spin->MinValue = 0;
        spin->MaxValue = 9999;
        return spin;
    };
    const auto genre = [&](TWinControl* group, int row, TComboBoxStyle style) {
        label(group, "Genre", row);
        auto* combo = Make<TComboBox>(this, group, 82, 16 + row * kRow, kFieldWidth, 21);
        combo->Style = style;
        combo->SetItems(Items(ID3v1Genres));  // an item's index is its genre number
        return combo;
    };

    V1Track = edit(ID3v1Group, "Track #", 0);
    V1Title = edit(ID3v1Group, "Title", 1);
    V1Artist = edit(ID3v1Group, "Artist", 2);
    V1Album = edit(ID3v1Group, "Album", 3);
    V1Year = year(ID3v1Group, 4);
    V1Genre = genre(ID3v1Group, 5, csDropDownList);
    V1Comment = edit(ID3v1Group, "Comment", 6);

    V2Track = edit(ID3v2Group, "Track #", 0);
    V2Title = edit(ID3v2Group, "Title", 1);
    V2Artist = edit(ID3v2Group, "Artist", 2);
    V2Album = edit(ID3v2Group, "Album", 3);
    V2Year = year(ID3v2Group, 4);
    V2Genre = genre(ID3v2Group, 5, csDropDown);
    label(ID3v2Group, "Comment", 6);
    V2Comment = Make<TMemo>(this, ID3v2Group, 82, 16 + 6 * kRow, kFieldWidth, 2 * kRow - 3);
    V2Composer = edit(ID3v2Group, "Composer", 8);
    V2OrigArtist = edit(ID3v2Group, "Orig. Artist", 9);
    V2Copyright = edit(ID3v2Group, "Copyright", 10);
    V2URL = edit(ID3v2Group, "URL", 11);
    V2EncodedBy = edit(ID3v2Group, "Encoded by", 12);

    Button4 = Make<TButton>(this, ID3Sheet, 40, 24 + 16 + 7 * kRow + 16, 170, 25);
    Button4->SetCaption("Copy to ID3v2 ->");
    Button4->OnClick = [this](TObject* s) { Button4Click(s); };
    Button5 = Make<TButton>(this, ID3Sheet, 40, 24 + 16 + 7 * kRow + 48, 170, 25);
    Button5->SetCaption("<- Copy from ID3v2");
    Button5->OnClick = [this](TObject* s) { Button5Click(s); };
}

TWinControl* TInfoForm::AddAviField(TWinControl* parent, const char* caption, const char* id, int column, int row)
{
    const int left = 6 + column * (kLabelWidth + kFieldWidth + 16);
    const int top = 18 + row * kRow;
    Make<TLabel>(this, parent, left, top + 3, kLabelWidth - 4, 14)->SetCaption(caption);
    const std::string_view infoId(id);
    TWinControl* control = nullptr;
    if (infoId == "IPRT" || infoId == "IFRM") {
        auto* spin = Make<TSpinEdit>(this, parent, left + kLabelWidth, top, 60, 21);
        spin->MinValue = 0;
        spin->MaxValue = 9999;
        control = spin;
    } else if (infoId == "IMIT") {
        control = Make<TMemo>(this, parent, left + kLabelWidth, top, kFieldWidth, 2 * kRow - 3);
    } else if (const auto choices = AviChoices(infoId); !choices.empty()) {
        // Editable: a text another program wrote shows, and stays, as it is.
        auto* combo = Make<TComboBox>(this, parent, left + kLabelWidth, top, kFieldWidth, 21);
        combo->Style = csDropDown;
        combo->SetItems(Items(choices));
        control = combo;
    } else {
        control = Make<TEdit>(this, parent, left + kLabelWidth, top, kFieldWidth, 21);
    }
    control->Name = std::string("Avi") + id;
    AviControls[static_cast<size_t>(AviFieldIndex(infoId))] = control;
    return control;
}

void TInfoForm::BuildAviPage()
{
    AviControls.assign(TExtAviINFO_tags::Count, nullptr);
    AviPages = Make<TPageControl>(this, AVISheet, 2, 2, 496, 362);
    const auto sheet = [this](const char* caption) {
        auto* s = NewComponent<TTabSheet>(this);
        s->SetCaption(caption);
        s->SetPageControl(AviPages);
        return s;
    };
    const auto group = [this](TWinControl* parent, const char* caption, int left, int top, int width, int rows) {
        auto* g = Make<TGroupBox>(this, parent, left, top, width, 18 + rows * kRow + 6);
        g->SetCaption(caption);
        return g;
    };
    struct TField { const char* Caption; const char* Id; };
    const auto fields = [this](TWinControl* parent, std::initializer_list<TField> list, int column, int firstRow) {
        int row = firstRow;
        for (const TField& f : list)
            AddAviField(parent, f.Caption, f.Id, column, row++);
    };

    auto* primary = sheet("Primary");
    fields(primary, {{"Title", "INAM"}, {"Director", "IART"}, {"Copyright", "ICOP"}, {"Product", "IPRD"}, {"Genre", "IGNR"}},
           0, 0);
    fields(primary, {{"Subject", "ISBJ"}, {"Keywords", "IKEY"}, {"Comments", "ICMT"}, {"Creation Date", "ICRD"},
                     {"Secondary Genre", "ISGN"}},
           1, 0);

    auto* credits = sheet("Movie Credits");
    fields(credits, {{"Written by", "IWRI"}, {"Produced by", "IPRO"}, {"Prod. Designer", "IPDS"}, {"Music by", "IMUS"},
                     {"Production", "ISTD"}, {"Commission by", "ICMS"}, {"Language", "ILNG"}},
           0, 0);
    fields(credits, {{"Starring", "ISTR"}, {"Cinematographer", "ICNM"}, {"Edited by", "IEDT"}, {"Costume Design", "ICDS"},
                     {"Contry", "ICNT"}, {"Distributed by", "IDST"}, {"Rating", "IRTD"}},
           1, 0);

    auto* additional = sheet("Additional");
    fields(group(additional, "Digitization:", 2, 2, 240, 7),
           {{"Software", "ISFT"}, {"Ripped by", "IENG"}, {"Internet URL", "IWEB"}, {"Digit. Date", "IDIT"},
            {"Encoded by", "ITCH"}, {"Part", "IPRT"}, {"From", "IFRM"}},
           0, 0);
    fields(group(additional, "Source:", 246, 2, 240, 4),
           {{"Source from", "ISRF"}, {"Source", "ISRC"}, {"Medium", "IMED"}, {"Location", "IARL"}}, 0, 0);
    fields(group(additional, "Additional Information:", 246, 128, 240, 3),
           {{"More Info URL", "IMIU"}, {"Additional Info", "IMIT"}}, 0, 0);

    auto* other = sheet("Other");
    fields(group(other, "Maniacs Only:", 2, 2, 240, 6),
           {{"Dimensions", "IDIM"}, {"Palette", "IPLT"}, {"Resolution", "IDPI"}, {"Sharpness", "ISHP"},
            {"Brightness", "ILGT"}, {"Cropped", "ICRP"}},
           0, 0);
    fields(group(other, "Internet Maniacs Only:", 246, 2, 240, 5),
           {{"Logo URL", "ILGU"}, {"Logo Icon URL", "ILIU"}, {"Watermark URL", "IWMU"}, {"Banner Image URL", "IMBI"},
            {"Banner URL", "IMBU"}},
           0, 0);
}

void TInfoForm::SetFile(const std::string& FileName, int Kind)
{
    FFileName = FileName;
    for (int i = 0; i < Panel1->ControlCount(); ++i)
        if (Panel1->Controls(i)->Name == "FileNameLabel")
            Panel1->Controls(i)->SetCaption(FileName);
    PageControl1->SetActivePage(Kind == tkAVI ? AVISheet : ID3Sheet);
}

void TInfoForm::ResetForm()
{
    for (TEdit* e : {V1Track, V1Title, V1Artist, V1Album, V1Comment, V2Track, V2Title, V2Artist, V2Album, V2Composer,
                     V2OrigArtist, V2Copyright, V2URL, V2EncodedBy})
        e->SetText("");
    V1Year->SetValue(0);
    V2Year->SetValue(0);
    V1Genre->SetItemIndex(-1);
    V2Genre->SetText("");
    V2Comment->Lines.Clear();
    for (TWinControl* control : AviControls)
        SetControlText(control, "");
    CheckBox1->SetChecked(false);
    CheckBox2->SetChecked(false);
}

void TInfoForm::UpdateForm()
{
    ResetForm();
    // 1.
    const TID3v1Values v1 = ID3v1Values(Tags.ID3v1);
    CheckBox1->SetChecked(v1.Present);
    V1Track->SetText(v1.Track);
    V1Title->SetText(v1.Title);
    V1Artist->SetText(v1.Artist);
    V1Album->SetText(v1.Album);
    V1Year->SetValue(v1.Year);
    V1Genre->SetItemIndex(v1.Genre);
    V1Comment->SetText(v1.Comment);
    // 2.
    const TID3v2Values v2 = ID3v2Values(Tags.ID3v2);
    CheckBox2->SetChecked(v2.Present);
    V2Track->SetText(v2.Track);
    V2Title->SetText(v2.Title);
    V2Artist->SetText(v2.Artist);
    V2Album->SetText(v2.Album);
    V2Year->SetValue(v2.Year);
    if (v2.Genre >= 0)
        V2Genre->SetItemIndex(v2.Genre);
    else
        V2Genre->SetText(v2.GenreText);
    V2Comment->Lines.SetText(v2.Comment);
    V2Composer->SetText(v2.Composer);
    V2OrigArtist->SetText(v2.OrigArtist);
    V2Copyright->SetText(v2.Copyright);
    V2URL->SetText(v2.URL);
    V2EncodedBy->SetText(v2.EncodedBy);
    // 3.
    const TAviValues avi = AviValues(Tags.AviTags);
    for (size_t i = 0; i < AviControls.size(); ++i)
        SetControlText(AviControls[i], avi[i]);

    // What the controls made of the values is what the user starts from.
    FShownID3v1 = CurrentID3v1();
    FShownID3v2 = CurrentID3v2();
    FShownAvi = CurrentAvi();
}

void TInfoForm::FormShow(TObject* sender)
{
    UpdateForm();
    CheckBox1Click(sender);
    CheckBox2Click(sender);
}

void TInfoForm::CheckBox1Click(TObject*)
{
    const bool on = CheckBox1->Checked();
    for (int i = 0; i < ID3v1Group->ControlCount(); ++i)
        ID3v1Group->Controls(i)->SetEnabled(on);
    Button4->SetEnabled(on);
}

void TInfoForm::CheckBox2Click(TObject*)
{
    const bool on = CheckBox2->Checked();
    for (int i = 0; i < ID3v2Group->ControlCount(); ++i)
        ID3v2Group->Controls(i)->SetEnabled(on);
    Button5->SetEnabled(on);
}

void TInfoForm::Button4Click(TObject*)
{
    V2Track->SetText(V1Track->Text());
    V2Title->SetText(V1Title->Text());
    V2Artist->SetText(V1Artist->Text());
    V2Album->SetText(V1Album->Text());
    V2Year->SetValue(V1Year->Value());
    if (V1Genre->ItemIndex() >= 0)
        V2Genre->SetItemIndex(V1Genre->ItemIndex());
    else
        V2Genre->SetText(V1Genre->Text());
    V2Comment->Lines.SetText(V1Comment->Text());
}

void TInfoForm::Button5Click(TObject*)
{
    V1Track->SetText(V2Track->Text());
    V1Title->SetText(V2Title->Text());
    V1Artist->SetText(V2Artist->Text());
    V1Album->SetText(V2Album->Text());
    V1Year->SetValue(V2Year->Value());
    if (V2Genre->ItemIndex() >= 0)
        V1Genre->SetItemIndex(V2Genre->ItemIndex());
    else
        V1Genre->SetText(V2Genre->Text());
    V1Comment->SetText(MemoText(V2Comment));
}

TID3v1Values TInfoForm::CurrentID3v1() const
{
    TID3v1Values v;
    v.Present = CheckBox1->Checked();
    v.Track = V1Track->Text();
    v.Title = V1Title->Text();
    v.Artist = V1Artist->Text();
    v.Album = V1Album->Text();
    v.Year = V1Year->Value();
    v.Genre = V1Genre->ItemIndex();
    v.Comment = V1Comment->Text();
    return v;
}

TID3v2Values TInfoForm::CurrentID3v2() const
{
    TID3v2Values v;
    v.Present = CheckBox2->Checked();
    v.Track = V2Track->Text();
    v.Title = V2Title->Text();
    v.Artist = V2Artist->Text();
    v.Album = V2Album->Text();
    v.Year = V2Year->Value();
    v.Genre = V2Genre->ItemIndex();
    v.GenreText = V2Genre->Text();
    v.Comment = MemoText(V2Comment);
    v.Composer = V2Composer->Text();
    v.OrigArtist = V2OrigArtist->Text();
    v.Copyright = V2Copyright->Text();
    v.URL = V2URL->Text();
    v.EncodedBy = V2EncodedBy->Text();
    return v;
}

TAviValues TInfoForm::CurrentAvi() const
{
    TAviValues values;
    for (size_t i = 0; i < AviControls.size(); ++i)
        values[i] = ControlText(AviControls[i]);
    return values;
}

bool TInfoForm::SaveTags(const std::string& FileName, int Kind)
{
    if (Kind != tkID3 && Kind != tkAVI)
        return false;
    TTagSaveReport report;
    report.Opened = TTagDiskFile::Open(FileName, fmOpenReadWrite | fmShareDenyNone) != nullptr;
    if (!report.Opened)
        return false;

    if (Kind == tkAVI) {
        TExtAviINFO_tags tags;
        ReadAviInfoTags(FileName, tags);  // a file the reader refuses, the writer refuses too
        ApplyAviChanges(tags, FShownAvi, CurrentAvi());
        report.AviWrite = WriteAviInfoTags(FileName, tags);
        return TagSaveSucceeded(report);
    }

    // 1. ID3v1
    const TID3v1Values v1 = CurrentID3v1();
    if (v1.Present) {
        TID3v1Tag record{};
        if (!ReadID3v1Tag(FileName, record))
            record = EmptyID3v1Record();
        ApplyID3v1Changes(record, FShownID3v1, v1);
        report.ID3v1 = WriteID3v1Tag(FileName, record);
    } else {
        report.ID3v1 = RemoveID3v1Tag(FileName);
    }

    // 2. ID3v2
    const TID3v2Values v2 = CurrentID3v2();
    Tid3v2tag tag;
    const uint16_t status = tag.LoadFromFile(FileName, 0);
    const bool loaded = status < 0x100;
    const bool absent = (status & 0xFF00) == id3NoTag || (status & 0xFF00) == id3FileTooShort;
    if (v2.Present) {
        if (!loaded && !absent) {
            report.ID3v2Save = status;  // a tag the reader cannot read is never overwritten
        } else {
            Tid3v2tag fresh;
            Tid3v2tag& target = loaded ? tag : fresh;
            ApplyID3v2Changes(target, FShownID3v2, v2);
            if (target.Frames.Count() > 0)
                report.ID3v2Save = target.SaveToFile(FileName, 0xFF, 0xFF, 0);
            else if (loaded)
                report.ID3v2Removal = target.RemoveTag();  // no frame left: no tag
        }
    } else if (loaded) {
        report.ID3v2Removal = tag.RemoveTag();
    }
    return TagSaveSucceeded(report);
}
