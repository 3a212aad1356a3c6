#include "FileDialogs.h"

#include <commdlg.h>

#include <vector>

namespace {

bool RunFileDialog(const TOpenDialog& Dialog, HWND Owner, bool Save, std::string& FileName,
                   std::vector<std::string>* FileNames = nullptr)
{
    // "a|b|c|d" becomes "a\0b\0c\0d\0\0".
    std::string filter = Dialog.Filter;
    if (!filter.empty() && filter.back() == '|')
        filter.pop_back();
    for (char& c : filter)
        if (c == '|')
            c = '\0';
    filter.append(2, '\0');
    std::vector<char> name(32768, '\0');
    FileName.copy(name.data(), std::min(FileName.size(), name.size() - 1));
    OPENFILENAMEA open{};
    open.lStructSize = sizeof open;
    open.hwndOwner = Owner;
    open.lpstrFilter = filter.c_str();
    open.nFilterIndex = static_cast<DWORD>(Dialog.FilterIndex);
    open.lpstrFile = name.data();
    open.nMaxFile = static_cast<DWORD>(name.size());
    open.lpstrInitialDir = Dialog.InitialDir.empty() ? nullptr : Dialog.InitialDir.c_str();
    open.lpstrTitle = Dialog.Title.empty() ? nullptr : Dialog.Title.c_str();
    open.lpstrDefExt = Dialog.DefaultExt.empty() ? nullptr : Dialog.DefaultExt.c_str();
    open.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR;
    if (Dialog.Options.count(ofHideReadOnly))
        open.Flags |= OFN_HIDEREADONLY;
    if (Dialog.Options.count(ofFileMustExist))
        open.Flags |= OFN_FILEMUSTEXIST;
    if (Dialog.Options.count(ofPathMustExist))
        open.Flags |= OFN_PATHMUSTEXIST;
    if (Dialog.Options.count(ofEnableSizing))
        open.Flags |= OFN_ENABLESIZING;
    if (FileNames && Dialog.Options.count(ofAllowMultiSelect))
        open.Flags |= OFN_ALLOWMULTISELECT;
    const BOOL chosen = Save ? GetSaveFileNameA(&open) : GetOpenFileNameA(&open);
    if (!chosen)
        return false;
    FileName = name.data();
    if (FileNames) {
        // Several files: the folder, then each name, each ending in a zero, then one more.
        FileNames->clear();
        const char* next = name.data() + FileName.size() + 1;
        while (*next) {
            const std::string file = next;
            FileNames->push_back(FileName + (FileName.back() == '\\' ? "" : "\\") + file);
            next += file.size() + 1;
        }
        if (FileNames->empty())
            FileNames->push_back(FileName);
    }
    return true;
}

}  // namespace

bool ExecuteOpenDialog(const TOpenDialog& Dialog, HWND Owner, std::string& FileName)
{
    return RunFileDialog(Dialog, Owner, false, FileName);
}

bool ExecuteOpenDialog(const TOpenDialog& Dialog, HWND Owner, std::vector<std::string>& FileNames)
{
    std::string first;
    return RunFileDialog(Dialog, Owner, false, first, &FileNames);
}

bool ExecuteSaveDialog(const TOpenDialog& Dialog, HWND Owner, std::string& FileName)
{
    return RunFileDialog(Dialog, Owner, true, FileName);
}

bool AskYesNo(HWND Owner, const std::string& Text, const std::string& Caption)
{
    return MessageBoxA(Owner, Text.c_str(), Caption.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}
