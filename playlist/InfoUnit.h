#pragma once
// The information window: the tag editor of the playing file, with an "ID3" page (the ID3v1
// and ID3v2 groups) and an "AVI" page (the INFO texts on four tabs). It holds the tags the
// engine reads for every item it opens; it shows them, and saves the user's changes into the
// tags of its file read afresh.
#include "playlist/InfoTags.h"
#include "playlist/InfoUnitCore.h"

#include "framework/Forms.h"

#include <cstdint>
#include <string>
#include <vector>

class TButton;
class TCheckBox;
class TComboBox;
class TEdit;
class TGroupBox;
class TLabel;
class TMemo;
class TPageControl;
class TSpinEdit;
class TTabSheet;
class TPanel;

class TInfoForm : public TForm {
public:
    explicit TInfoForm(TComponent* owner);

    // The tags of the file shown; the engine reads every item it opens into them.
    TInfoTags Tags;
    void ReadSimpleTags(const std::string& FileName, uint8_t& Kind, TSimpleTag& Tag)
    {
        Tags.ReadSimpleTags(FileName, Kind, Tag);
    }

    // The file and page the window shows next (1 "ID3", 2 "AVI").
    void SetFile(const std::string& FileName, int Kind);
    void ResetForm();
    void UpdateForm();
    void FormShow(TObject* sender);
    void CheckBox1Click(TObject* sender);
    void CheckBox2Click(TObject* sender);
    void Button4Click(TObject* sender);  // "Copy to ID3v2 ->"
    void Button5Click(TObject* sender);  // "<- Copy from ID3v2"
    // Applies what the user changed since the window was shown to the file's tags read
    // afresh; false when the file cannot be opened for reading and writing (nothing written)
    // or a writer fails.
    bool SaveTags(const std::string& FileName, int Kind);

    TPanel* Panel1;        // "File:" and the name
    TPageControl* PageControl1;
    TTabSheet *ID3Sheet, *AVISheet;
    TButton *OKButton, *CancelButton, *ApplyButton;
    TCheckBox *CheckBox1, *CheckBox2;
    TGroupBox *ID3v1Group, *ID3v2Group;
    TButton *Button4, *Button5;
    // ID3v1
    TEdit *V1Track, *V1Title, *V1Artist, *V1Album, *V1Comment;
    TSpinEdit* V1Year;
    TComboBox* V1Genre;
    // ID3v2
    TEdit *V2Track, *V2Title, *V2Artist, *V2Album, *V2Composer, *V2OrigArtist, *V2Copyright, *V2URL, *V2EncodedBy;
    TSpinEdit* V2Year;
    TComboBox* V2Genre;
    TMemo* V2Comment;
    // AVI: the control of each INFO field, by field number.
    TPageControl* AviPages;
    std::vector<TWinControl*> AviControls;

    // What the controls hold now.
    TID3v1Values CurrentID3v1() const;
    TID3v2Values CurrentID3v2() const;
    TAviValues CurrentAvi() const;

private:
    void BuildID3Page();
    void BuildAviPage();
    TWinControl* AddAviField(TWinControl* parent, const char* caption, const char* id, int column, int row);
    std::string FFileName;
    // What the window showed, to tell the user's changes from the file's values.
    TID3v1Values FShownID3v1;
    TID3v2Values FShownID3v2;
    TAviValues FShownAvi;
};
