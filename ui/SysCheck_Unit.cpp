#include "ui/SysCheck_Unit.h"

#include "ui/SettingsModel.h"

#include "framework/Registry.h"

#include <intrin.h>
#include <shellapi.h>

#include <cmath>
#include <vector>

namespace {
const char* const kPageNames[4] = {"Default", "DXAdvise", "MissingFiles", "FirstRun"};
}

TSysCheckForm::TSysCheckForm(TComponent* owner) : TForm(owner)
{
    Name = "SysCheckForm";
    BorderStyle = bsDialog;
    Position = poScreenCenter;
    SetBounds(0, 0, 420, 262);

    Notebook1 = NewComponent<TNotebook>(this);
    Notebook1->Name = "Notebook1";
    Notebook1->SetBounds(0, 0, 414, 190);
    Notebook1->SetParent(this);
    for (int i = 0; i < 4; ++i) {
        TPage* page = Notebook1->AddPage(kPageNames[i]);
        TMemo* memo = NewComponent<TMemo>(page);
        memo->ReadOnly = true;
        memo->BorderVisible = false;
        memo->Color = RGB(255, 255, 255);
        memo->SetBounds(8, 8, 398, 112);
        memo->SetParent(page);
        Memos[static_cast<size_t>(i)] = memo;
        if (i <= 1) {
            TLabel* visit = NewComponent<TLabel>(page);
            visit->SetCaption("For a newer DirectX version, visit");
            visit->SetBounds(8, 130, 398, 16);
            visit->SetParent(page);
            TLabel* link = NewComponent<TLabel>(page);
            link->SetCaption(kDirectXDownloadAddress);
            link->FontColor = RGB(0, 0, 255);
            link->Underline = true;
            link->SetBounds(8, 148, 398, 16);
            link->OnClick = [this](TObject* sender) { MS_DX_LabelClick(sender); };
            link->SetParent(page);
            LinkLabels[static_cast<size_t>(i)] = link;
        } else if (i == 3) {
            TLabel* note = NewComponent<TLabel>(page);
            note->SetCaption("You will not see this message again.");
            note->SetBounds(8, 130, 398, 16);
            note->SetParent(page);
        }
    }

    CheckBox1 = NewComponent<TCheckBox>(this);
    CheckBox1->Name = "CheckBox1";
    CheckBox1->SetCaption("Do not show this message again.");
    CheckBox1->SetBounds(8, 200, 250, 17);
    CheckBox1->SetVisible(false);
    CheckBox1->SetParent(this);

    Button1 = NewComponent<TButton>(this);
    Button1->Name = "Button1";
    Button1->SetCaption("OK");
    Button1->ModalResult = mrOk;
    Button1->Default = true;
    Button1->SetBounds(326, 196, 80, 25);
    Button1->SetParent(this);

    FillPages();
}

void TSysCheckForm::FillPages()
{
    const std::vector<std::vector<std::string>> texts = {
        {"Parvolux was not able to run on your system, because you need at least DirectX 7.0 installed.", "",
         "For best performance we advise DirectX 9 or higher."},
        {"You have an earlier version of DirectX than the one Parvolux was optimized for.",
         "This is not a problem but to get full usage of the program we advise that you install DirectX 9 or newer."},
        {"Parvolux are not able to run on your system, because it couldn't locate some needed files, or it's install "
         "directory.",
         "", "Please reinstall Parvolux, and try again."},
        {"This is the first time you run this program. You will now be taken to the program settings window, Please take "
         "the time to go thru the settings and make the changes so they match your system."},
    };
    for (size_t i = 0; i < texts.size(); ++i) {
        TStringList& lines = Memos[i]->Lines;
        lines.Clear();
        for (const std::string& line : texts[i])
            lines.Add(line);
    }
}

void TSysCheckForm::MS_DX_LabelClick(TObject*)
{
    const HWND parent = Application && Application->MainForm() ? Application->MainForm()->HandleOrNull() : nullptr;
    ShellExecuteA(parent, "open", LinkLabels[0]->Caption().c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

int TSysCheckForm::ShowPage(const std::string& caption, const std::string& button, int page)
{
    SetCaption(caption);
    Button1->SetCaption(button);
    Notebook1->SetPageIndex(page);
    return ShowModal();
}

int MeasureCpuMhz()
{
    const HANDLE process = GetCurrentProcess();
    const HANDLE thread = GetCurrentThread();
    const DWORD priorityClass = GetPriorityClass(process);
    const int threadPriority = GetThreadPriority(thread);
    SetPriorityClass(process, REALTIME_PRIORITY_CLASS);
    SetThreadPriority(thread, THREAD_PRIORITY_TIME_CRITICAL);
    Sleep(10);
    const uint64_t start = __rdtsc();
    Sleep(500);
    const uint64_t stop = __rdtsc();
    SetThreadPriority(thread, threadPriority);
    SetPriorityClass(process, priorityClass);
    return static_cast<int>(std::lround(static_cast<uint32_t>(stop - start) / 500000.0));
}

bool GetProgramVersion(TVersionWords& words)
{
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0)
        return false;
    std::vector<uint8_t> info(size);
    if (!GetFileVersionInfoA(path, 0, size, info.data()))
        return false;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", &value, &length) || length < 4)
        return false;
    const auto* translation = static_cast<const WORD*>(value);
    const std::string key = "\\StringFileInfo\\" + TranslationKey(translation[0], translation[1]) + "\\FileVersion";
    if (!VerQueryValueA(info.data(), key.c_str(), &value, &length) || length == 0)
        return false;
    return ParseVersionWords(static_cast<const char*>(value), words);
}

namespace {
std::string ReadInstallPath()
{
    TRegistry reg(KEY_READ);
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    if (!reg.OpenKeyReadOnly(SettingsKeyPath("")) || reg.GetDataType("InstallPath") != rdString)
        return {};
    std::string path = reg.ReadString("InstallPath");
    // The installer writes it with its separator; one without it would miss every file.
    return path.empty() ? path : IncludeTrailingPathDelimiter(path);
}

// Whether this is the first run, and the stored DirectX-advice switch.
bool ReadFirstRun(bool& noDXWarning)
{
    TRegistry reg(KEY_READ);
    reg.SetRootKey(HKEY_CURRENT_USER);
    noDXWarning = false;
    if (!reg.OpenKeyReadOnly(SettingsKeyPath("General")))
        return true;
    if (reg.GetDataType("NoDXWarning") == rdInteger && reg.GetDataSize("NoDXWarning") == 4)
        noDXWarning = reg.ReadInteger("NoDXWarning") == 1;
    return false;
}

// The comparison number of the installed DirectX; 0 when its key or version is missing or malformed.
int64_t ReadDirectXNumber(TVersionWords& words)
{
    TRegistry reg(KEY_READ);
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    if (!reg.OpenKeyReadOnly("\\Software\\Microsoft\\DirectX") || reg.GetDataType("Version") != rdString)
        return 0;
    return ParseVersionWords(reg.ReadString("Version"), words) ? DirectXNumber(words) : 0;
}
}

bool RunSystemCheck(TSysCheckForm* form, std::string& installPath, TVersionWords& programVersion, bool& slow)
{
    // 1.
    form->CheckBox1->SetVisible(false);
    GetProgramVersion(programVersion);
    installPath.clear();
    // 2.-4.
    installPath = ReadInstallPath();
    bool noDXWarning = false;
    const bool firstRun = ReadFirstRun(noDXWarning);
    form->CheckBox1->SetChecked(noDXWarning);
    const int64_t number = ReadDirectXNumber(form->DXVersion);
    // 5.
    const TSysCheckStatus status = SystemCheckStatus(number, installPath);
    const TSysCheckPlan plan = PlanSystemCheck(status, noDXWarning, firstRun);
    if (plan.MeasureCpu)
        slow = MeasureCpuMhz() < 1000;
    // 6.
    switch (plan.StatusPage) {
    case kPageDirectXAdvice:
        form->CheckBox1->SetVisible(true);
        form->ShowPage("Info...", "Ok", kPageDirectXAdvice);
        break;
    case kPageDirectXTooOld:
    case kPageMissingFiles:
        form->ShowPage("Error...", "Close", plan.StatusPage);
        break;
    default:
        break;
    }
    // 7. The first-run page follows any status page.
    if (plan.FirstRunPage)
        form->ShowPage("Info...", "Ok", kPageFirstRun);
    if (plan.Fatal && Application)
        Application->Terminate();
    // 8.
    return !plan.Fatal;
}
