#pragma once
// The system check of the start-up: DirectX version, install folder and its files, first
// run and processor speed, with a dialog that shows the page of what it found.
#include "ui/SysCheckCore.h"

#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"

#include <array>
#include <string>

class TSysCheckForm : public TForm {
public:
    explicit TSysCheckForm(TComponent* owner);

    TNotebook* Notebook1;
    TButton* Button1;
    TCheckBox* CheckBox1;
    std::array<TMemo*, 4> Memos{};
    std::array<TLabel*, 2> LinkLabels{};
    TVersionWords DXVersion{};

    void MS_DX_LabelClick(TObject* sender);
    // Caption, button caption and page, then shown modally.
    int ShowPage(const std::string& caption, const std::string& button, int page);

private:
    void FillPages();
};

// The processor's speed in MHz, from its time-stamp counter over half a second.
int MeasureCpuMhz();
// The four words of the program file's "FileVersion"; False without a version resource.
bool GetProgramVersion(TVersionWords& words);
// True when the program may start. Shows the status and first-run pages.
bool RunSystemCheck(TSysCheckForm* form, std::string& installPath, TVersionWords& programVersion, bool& slow);

inline constexpr const char* kDirectXDownloadAddress = "https://www.microsoft.com/en-us/download/details.aspx?id=35";
