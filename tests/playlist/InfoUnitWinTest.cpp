// The information window with its real controls under Wine, on small tag files: what it
// shows, and what its save leaves in the file.
#include "playlist/InfoUnit.h"

#include "framework/ComboBox.h"
#include "framework/PageControl.h"
#include "framework/Spin.h"
#include "framework/StdCtrls.h"
#include "tests/support/TagWriter.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace pvltest;

namespace {

const TBytes kUtf16Artist = {1, 0xFF, 0xFE, 'Z', 0, 0x3A, 0x04, 'e', 0, 0, 0};  // "Z", a Cyrillic letter, "e"
const TBytes kPicture = Bytes(std::string_view("\0image/png\0\x03\0\x89PNG-not-really", 27));

TBytes Id3v2Tag(int version, const std::string& title)
{
    return Id3Tag(version, 0,
                  Id3Frame(version, "TIT2", Latin1Text(title)) + Id3Frame(version, "TPE1", kUtf16Artist) +
                      Id3Frame(version, "APIC", kPicture) + Id3Frame(version, "TCON", Latin1Text("(17)Rock")) +
                      Id3Frame(version, "TYER", Latin1Text("1999")) + Repeated({0}, 64));
}

const TBytes kAudio = AudioBytes(6000, 7);
const TBytes kV1 = Id3v1Record("V1 title", "V1 artist", "V1 album", "1998", "v1 comment", 5, 17);

// The bytes of the first chunk (or list of that type) with that id, header included.
TBytes ChunkOf(const TBytes& file, std::string_view id)
{
    const auto at = std::search(file.begin() + 12, file.end(), id.begin(), id.end());
    if (at == file.end())
        return {};
    size_t start = static_cast<size_t>(at - file.begin());
    if (id == "movi" || id == "INFO")
        start -= 8;  // the list's header
    const uint32_t size = file[start + 4] | file[start + 5] << 8 | file[start + 6] << 16 | uint32_t(file[start + 7]) << 24;
    return Slice(file, start, std::min<size_t>(size + 8, file.size() - start));
}

std::string FrameText(const std::string& file, const char* id)
{
    Tid3v2tag tag;
    if (tag.LoadFromFile(file, 0) >= 0x100)
        return "<no tag>";
    std::string text;
    return tag.GetTextFrame(id, text) == 0 ? text : "<none>";
}

TBytes FrameData(const std::string& file, const char* id)
{
    Tid3v2tag tag;
    tag.LoadFromFile(file, 0);
    for (int i = 1; i <= tag.Frames.Count(); ++i)
        if (tag.Frames.ID(i) == id)
            return tag.Frames.Data(i);
    return {};
}

class InfoFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app.ShowExceptions = false;
        Form = app.CreateForm<TInfoForm>();
    }
    void TearDown() override { Form->Hide(); }

    // What the main window does: read the file's tags (the engine, at open), then show.
    void ShowFor(const std::string& file)
    {
        uint8_t kind = 0;
        TSimpleTag tag;
        Form->ReadSimpleTags(file, kind, tag);
        Form->SetFile(file, kind);
        Form->Show();
        app.ProcessMessages();
    }
    std::string Make(const std::string& name, const TBytes& bytes)
    {
        const std::string file = Dir.File(name);
        WriteAll(file, bytes);
        return file;
    }

    TApplication app;
    TInfoForm* Form = nullptr;
    TTempDir Dir;
};

}  // namespace

TEST_F(InfoFormTest, ShowsBothID3GroupsOnTheID3Page)
{
    const std::string file = Make("a.mp3", Id3v2Tag(3, "Old title") + kAudio + kV1);
    ShowFor(file);
    EXPECT_EQ(Form->PageControl1->ActivePage(), Form->ID3Sheet);
    EXPECT_TRUE(Form->CheckBox1->Checked());
    EXPECT_TRUE(Form->CheckBox2->Checked());
    EXPECT_EQ(Form->V1Title->Text(), "V1 title");
    EXPECT_EQ(Form->V1Track->Text(), "5");
    EXPECT_EQ(Form->V1Year->Value(), 1998);
    EXPECT_EQ(Form->V1Genre->ItemIndex(), 17);
    EXPECT_EQ(Form->V1Comment->Text(), "v1 comment");
    EXPECT_EQ(Form->V2Title->Text(), "Old title");
    EXPECT_EQ(Form->V2Year->Value(), 1999);
    EXPECT_EQ(Form->V2Genre->ItemIndex(), 17);
    EXPECT_EQ(Form->V2Genre->Text(), "Rock");
    EXPECT_TRUE(IsWindowEnabled(Form->V1Title->Handle()));
}

TEST_F(InfoFormTest, SaveWritesTheEditsAndKeepsAudioAndUntouchedFrames)
{
    for (int version : {3, 4}) {
        SCOPED_TRACE(version);
        const std::string file = Make("a.mp3", Id3v2Tag(version, "Old title") + kAudio + kV1);
        const TBytes artistBefore = FrameData(file, "TPE1");
        const TBytes pictureBefore = FrameData(file, "APIC");
        ShowFor(file);
        Form->V2Title->SetText("New title");
        Form->V1Title->SetText("New v1 title");
        Form->V2Genre->SetText("My own genre");
        ASSERT_TRUE(Form->SaveTags(file, tkID3));

        EXPECT_EQ(FrameText(file, "TIT2"), "New title");
        EXPECT_EQ(FrameText(file, "TCON"), "My own genre");
        EXPECT_EQ(FrameText(file, "TYER"), "1999");
        EXPECT_EQ(FrameData(file, "TPE1"), artistBefore);  // UTF-16, untouched
        EXPECT_EQ(FrameData(file, "APIC"), pictureBefore);
        TID3v1Tag v1;
        ASSERT_TRUE(ReadID3v1Tag(file, v1));
        EXPECT_EQ(std::string(v1.Title), "New v1 title");
        EXPECT_EQ(std::string(v1.Year, 4), "1998");
        EXPECT_EQ(v1.Comment[29], 5);
        EXPECT_EQ(v1.Genre, 17);
        const TBytes after = ReadAll(file);
        ASSERT_GE(after.size(), kAudio.size() + 128);
        Tid3v2tag tag;
        ASSERT_LT(tag.LoadFromFile(file, 0), 0x100);
        const size_t audioAt = after.size() - 128 - kAudio.size();
        EXPECT_EQ(Slice(after, audioAt, kAudio.size()), kAudio);
        EXPECT_GE(audioAt, tag.TagSize + 10);
        Form->Hide();
    }
}

TEST_F(InfoFormTest, ClearingEveryID3v2FieldRemovesTheTag)
{
    const std::string file = Make("a.mp3", Id3Tag(3, 0, Id3Frame(3, "TIT2", Latin1Text("T")) + Id3Frame(3, "TYER", Latin1Text("2001")) +
                                                            Id3Frame(3, "COMM", Bytes(std::string_view("\0ENGNone\0Hi", 11)))) +
                                               kAudio + kV1);
    ShowFor(file);
    ASSERT_TRUE(Form->CheckBox2->Checked());
    Form->V2Title->SetText("");
    Form->V2Year->SetValue(0);
    Form->V2Comment->Lines.Clear();
    ASSERT_TRUE(Form->SaveTags(file, tkID3));
    EXPECT_EQ(ReadAll(file), kAudio + kV1);
}

TEST_F(InfoFormTest, UntickingRemovesTheTagsOfThisFileOnly)
{
    const std::string a = Make("a.mp3", Id3v2Tag(3, "A title") + kAudio + kV1);
    const TBytes bBytes = Id3v2Tag(4, "B title") + AudioBytes(3000, 9) + Id3v1Record("B", "B", "B", "2000", "", 0, 3);
    const std::string b = Make("b.mp3", bBytes);
    ShowFor(a);
    Form->CheckBox1->SetChecked(false);
    Form->CheckBox2->SetChecked(false);
    // The engine moves on to the next entry while the window is open.
    uint8_t kind = 0;
    TSimpleTag simple;
    Form->ReadSimpleTags(b, kind, simple);
    ASSERT_TRUE(Form->SaveTags(a, tkID3));
    EXPECT_EQ(ReadAll(a), kAudio);
    EXPECT_EQ(ReadAll(b), bBytes);
}

TEST_F(InfoFormTest, SaveNeverWritesTheTagsOfTheFileReadLater)
{
    const std::string a = Make("a.mp3", Id3v2Tag(3, "A title") + kAudio);
    const std::string b = Make("b.mp3", Id3Tag(3, 0, Id3Frame(3, "TIT2", Latin1Text("B title")) +
                                                         Id3Frame(3, "TCOM", Latin1Text("B composer"))) + kAudio);
    ShowFor(a);
    uint8_t kind = 0;
    TSimpleTag simple;
    Form->ReadSimpleTags(b, kind, simple);
    Form->V2Album->SetText("Album");
    ASSERT_TRUE(Form->SaveTags(a, tkID3));
    EXPECT_EQ(FrameText(a, "TIT2"), "A title");
    EXPECT_EQ(FrameText(a, "TALB"), "Album");
    EXPECT_EQ(FrameText(a, "TCOM"), "<none>");
}

TEST_F(InfoFormTest, ADamagedID3v2TagStays)
{
    const TBytes damaged = Id3Tag(3, 0, Id3Frame(3, "TIT2", Latin1Text("T")) + Bytes("t!t2\0\0\0\x05\0\0hello"));
    const std::string file = Make("a.mp3", damaged + kAudio + kV1);
    Tid3v2tag probe;
    ASSERT_GE(probe.LoadFromFile(file, 0), 0x100);
    ShowFor(file);
    EXPECT_FALSE(Form->CheckBox2->Checked());
    Form->V1Album->SetText("Changed");
    ASSERT_TRUE(Form->SaveTags(file, tkID3));
    const TBytes after = ReadAll(file);
    EXPECT_EQ(Slice(after, 0, damaged.size() + kAudio.size()), damaged + kAudio);
    TID3v1Tag v1;
    ASSERT_TRUE(ReadID3v1Tag(file, v1));
    EXPECT_EQ(std::string(v1.Album), "Changed");
}

TEST_F(InfoFormTest, AReadOnlyFileGivesFalseAndStaysAsItWas)
{
    const TBytes bytes = Id3v2Tag(3, "Old") + kAudio + kV1;
    const std::string file = Make("a.mp3", bytes);
    ShowFor(file);
    Form->V2Title->SetText("New");
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(Form->SaveTags(file, tkID3));
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadAll(file), bytes);
    EXPECT_FALSE(Form->SaveTags(file, 0));
}

TEST_F(InfoFormTest, CheckBoxesEnableTheirGroupsAndCopyButtonsCopy)
{
    const std::string file = Make("a.mp3", kAudio + kV1);
    ShowFor(file);
    EXPECT_FALSE(Form->CheckBox2->Checked());
    EXPECT_FALSE(IsWindowEnabled(Form->V2Title->Handle()));
    EXPECT_FALSE(IsWindowEnabled(Form->Button5->Handle()));
    EXPECT_TRUE(IsWindowEnabled(Form->Button4->Handle()));
    Form->CheckBox2->SetChecked(true);
    Form->CheckBox2Click(nullptr);
    EXPECT_TRUE(IsWindowEnabled(Form->V2Title->Handle()));
    Form->Button4Click(nullptr);
    EXPECT_EQ(Form->V2Title->Text(), "V1 title");
    EXPECT_EQ(Form->V2Track->Text(), "5");
    EXPECT_EQ(Form->V2Year->Value(), 1998);
    EXPECT_EQ(Form->V2Genre->ItemIndex(), 17);
    Form->V2Genre->SetText("Typed");
    Form->V2Artist->SetText("Other");
    Form->Button5Click(nullptr);
    EXPECT_EQ(Form->V1Artist->Text(), "Other");
    EXPECT_EQ(Form->V1Genre->ItemIndex(), -1);
    Form->CheckBox1->SetChecked(false);
    Form->CheckBox1Click(nullptr);
    EXPECT_FALSE(IsWindowEnabled(Form->V1Title->Handle()));
    EXPECT_FALSE(IsWindowEnabled(Form->Button4->Handle()));

    ASSERT_TRUE(Form->SaveTags(file, tkID3));
    EXPECT_EQ(FrameText(file, "TIT2"), "V1 title");
    EXPECT_EQ(FrameText(file, "TCON"), "Typed");
    TID3v1Tag v1;
    EXPECT_FALSE(ReadID3v1Tag(file, v1));
}

TEST_F(InfoFormTest, AviPageShowsEditsAndSavesInfoKeepingMovieAndIndex)
{
    const std::string source = FixturePath("uncompressed.avi");
    ASSERT_FALSE(source.empty()) << "fixtures missing";
    const std::string file = Dir.File("movie.avi");
    WriteAll(file, ReadAll(source));
    TExtAviINFO_tags start;
    ASSERT_EQ(ReadAviInfoTags(file, start), 0);
    start.INAM = L"Film#hidden";
    start.IGNR = L"Not a listed genre";
    start.IPRT = L"one";
    ASSERT_EQ(WriteAviInfoTags(file, start), 0);
    TBytes before = ReadAll(file);
    const TBytes marked = Bytes("Film#hidden");
    const auto at = std::search(before.begin(), before.end(), marked.begin(), marked.end());
    ASSERT_NE(at, before.end());
    at[4] = 0;  // a text with a zero inside
    WriteAll(file, before);

    ShowFor(file);
    EXPECT_EQ(Form->PageControl1->ActivePage(), Form->AVISheet);
    const auto control = [this](const char* id) { return Form->AviControls[static_cast<size_t>(AviFieldIndex(id))]; };
    EXPECT_EQ(static_cast<TEdit*>(control("INAM"))->Text(), "Film");
    EXPECT_EQ(static_cast<TComboBox*>(control("IGNR"))->Text(), "Not a listed genre");
    EXPECT_EQ(static_cast<TEdit*>(control("ISFT"))->Text().substr(0, 4), "Lavf");
    static_cast<TEdit*>(control("IART"))->SetText("Director");
    static_cast<TComboBox*>(control("ILNG"))->SetText("German");
    ASSERT_TRUE(Form->SaveTags(file, tkAVI));

    TExtAviINFO_tags after;
    ASSERT_EQ(ReadAviInfoTags(file, after), 0);
    EXPECT_EQ(after.IART, L"Director");
    EXPECT_EQ(after.ILNG, L"German");
    EXPECT_EQ(after.INAM, L"Film");  // as the reader gives it
    EXPECT_EQ(after.IGNR, L"Not a listed genre");
    EXPECT_EQ(after.IPRT, L"one");
    EXPECT_EQ(after.ISFT, start.ISFT);
    const TBytes bytes = ReadAll(file);
    EXPECT_EQ(ChunkOf(bytes, "movi"), ChunkOf(before, "movi"));
    EXPECT_EQ(ChunkOf(bytes, "idx1"), ChunkOf(before, "idx1"));
    Form->Hide();

    // Every field cleared: no INFO list is left (a number box cleared is 0).
    after.IPRT = L"3";
    ASSERT_EQ(WriteAviInfoTags(file, after), 0);
    ShowFor(file);
    EXPECT_EQ(static_cast<TSpinEdit*>(control("IPRT"))->Value(), 3);
    for (TWinControl* c : Form->AviControls) {
        if (auto* spin = dynamic_cast<TSpinEdit*>(c))
            spin->SetValue(0);
        else if (auto* edit = dynamic_cast<TEdit*>(c))
            edit->SetText("");
        else if (auto* combo = dynamic_cast<TComboBox*>(c))
            combo->SetText("");
        else if (auto* memo = dynamic_cast<TMemo*>(c))
            memo->Lines.Clear();
    }
    ASSERT_TRUE(Form->SaveTags(file, tkAVI));
    const TBytes cleared = ReadAll(file);
    EXPECT_TRUE(ChunkOf(cleared, "INFO").empty());
    EXPECT_EQ(ChunkOf(cleared, "movi"), ChunkOf(before, "movi"));
}
