#include "playlist/ShellUtils.h"

#include "playlist/ShellCore.h"

#include <shellapi.h>
#include <shlwapi.h>

using Microsoft::WRL::ComPtr;

namespace {
const char* const kShellIdListFormat = "Shell IDList Array";
}  // namespace

ComPtr<IShellFolder> ShellDesktopFolder()
{
    ComPtr<IShellFolder> desktop;
    SHGetDesktopFolder(&desktop);
    return desktop;
}

ComPtr<IShellFolder> ShellBindFolder(PCIDLIST_ABSOLUTE List)
{
    ComPtr<IShellFolder> desktop = ShellDesktopFolder();
    if (!desktop || !List || List->mkid.cb == 0)
        return desktop;
    ComPtr<IShellFolder> folder;
    if (FAILED(desktop->BindToObject(List, nullptr, IID_PPV_ARGS(&folder))))
        return nullptr;
    return folder;
}

std::string ShellDisplayNameOf(IShellFolder* Folder, PCUITEMID_CHILD Item, SHGDNF Flags)
{
    STRRET name{};
    if (FAILED(Folder->GetDisplayNameOf(Item, Flags, &name)))
        return {};
    char text[MAX_PATH] = {};
    StrRetToBufA(&name, Item, text, sizeof text);
    return text;
}

int ShellSmallIconIndex(PCIDLIST_ABSOLUTE List, UINT Extra)
{
    SHFILEINFOA info{};
    SHGetFileInfoA(reinterpret_cast<LPCSTR>(List), 0, &info, sizeof info,
                   SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | Extra);
    return info.iIcon;
}

HIMAGELIST ShellSmallImages()
{
    // The system image list is shared: nobody here frees it.
    SHFILEINFOA info{};
    return reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
}

std::string ShellLibraryString(const char* Library, UINT Id, const char* Fallback)
{
    HMODULE module = GetModuleHandleA(Library);
    if (!module)
        module = LoadLibraryExA(Library, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    char text[201] = {};
    if (module && LoadStringA(module, Id, text, sizeof text) > 0)
        return text;
    return Fallback;
}

std::string ShellPathOf(PCIDLIST_ABSOLUTE List)
{
    char path[MAX_PATH] = {};
    if (!List || !SHGetPathFromIDListA(List, path))
        return {};
    return path;
}

void ShellEnsureOle()
{
    static const HRESULT initialised = OleInitialize(nullptr);
    (void)initialised;
}

bool ShellInvokeVerb(IShellFolder* Folder, const std::vector<PCUITEMID_CHILD>& Items, const char* Verb, HWND Owner)
{
    if (!Folder)
        return false;
    ComPtr<IContextMenu> menu;
    std::vector<PCUITEMID_CHILD> asked = Items;
    if (FAILED(Folder->GetUIObjectOf(Owner, static_cast<UINT>(asked.size()), asked.empty() ? nullptr : asked.data(),
                                     IID_IContextMenu, nullptr, &menu)))
        return false;
    // Some menus know their verbs only once they were asked to fill a menu.
    HMENU scratch = CreatePopupMenu();
    menu->QueryContextMenu(scratch, 0, 1, 0x7FFF, CMF_NORMAL);
    CMINVOKECOMMANDINFO invoke{};
    invoke.cbSize = sizeof invoke;
    invoke.hwnd = Owner;
    invoke.lpVerb = Verb;
    invoke.nShow = SW_SHOWNORMAL;
    const bool done = SUCCEEDED(menu->InvokeCommand(&invoke));
    DestroyMenu(scratch);
    return done;
}

bool ShellReadClipboardIdLists(HWND Owner, std::vector<TIdListBytes>& Items, TIdListBytes& Folder)
{
    Items.clear();
    Folder.clear();
    static const UINT format = RegisterClipboardFormatA(kShellIdListFormat);
    if (!IsClipboardFormatAvailable(format) || !OpenClipboard(Owner))
        return false;
    if (HGLOBAL data = GetClipboardData(format)) {
        if (const auto* block = static_cast<const uint8_t*>(GlobalLock(data))) {
            if (const auto parsed = ParseShellIdListArray(block, GlobalSize(data))) {
                Folder = parsed->Folder;
                for (const TIdListBytes& item : parsed->Items)
                    Items.push_back(JoinIdLists(parsed->Folder, item));
            }
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return !Folder.empty();
}

PIDLIST_ABSOLUTE ShellParsePath(const std::string& Path)
{
    ComPtr<IShellFolder> desktop = ShellDesktopFolder();
    if (!desktop || Path.empty())
        return nullptr;
    std::wstring wide(Path.size() + 1, L'\0');
    wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, Path.c_str(), -1, wide.data(),
                                                        static_cast<int>(wide.size()))));
    PIDLIST_RELATIVE parsed = nullptr;
    if (wide.empty() || FAILED(desktop->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, &parsed, nullptr)))
        return nullptr;
    return reinterpret_cast<PIDLIST_ABSOLUTE>(parsed);
}

