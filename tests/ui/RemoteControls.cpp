#include "tests/ui/RemoteControls.h"

#include <shellapi.h>
#include <shlobj.h>

#include <iterator>
#include <stdexcept>
#include <string>

namespace pvltest {

namespace {

constexpr UINT kTimeoutMs = 5000;
// The skinned menu window's messages: a row's screen rectangle (wParam the row, lParam a RECT
// of its process; 0 past the last row) and the selected item.
constexpr UINT kMenuRowRect = 0x530, kMenuSelectedItem = 0x531;

LRESULT Send(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(wnd, msg, wParam, lParam, SMTO_ABORTIFHUNG, kTimeoutMs, &result))
        throw std::runtime_error("the control does not answer message " + std::to_string(msg) + ", error " +
                                 std::to_string(GetLastError()));
    return static_cast<LRESULT>(result);
}

LPARAM Remote(const TRemoteMemory& memory, size_t offset = 0) { return reinterpret_cast<LPARAM>(memory.At(offset)); }

}  // namespace

TRemoteMemory::TRemoteMemory(HWND owner, size_t size)
{
    DWORD id = 0;
    GetWindowThreadProcessId(owner, &id);
    FProcess = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, id);
    if (FProcess)
        FAddress = VirtualAllocEx(FProcess, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!FAddress) {
        if (FProcess)
            CloseHandle(FProcess);
        throw std::runtime_error("no memory in the control's process");
    }
}

TRemoteMemory::~TRemoteMemory()
{
    VirtualFreeEx(FProcess, FAddress, 0, MEM_RELEASE);
    CloseHandle(FProcess);
}

void TRemoteMemory::Write(const void* data, size_t size, size_t offset)
{
    SIZE_T written = 0;
    if (!WriteProcessMemory(FProcess, At(offset), data, size, &written) || written != size)
        throw std::runtime_error("cannot write the control's process");
}

void TRemoteMemory::Read(void* data, size_t size, size_t offset) const
{
    SIZE_T read = 0;
    if (!ReadProcessMemory(FProcess, At(offset), data, size, &read) || read != size)
        throw std::runtime_error("cannot read the control's process");
}

// ---- list view ----

std::vector<TRemoteRow> ListViewRows(HWND list)
{
    constexpr size_t kText = sizeof(LVITEMA), kTextSize = 512;
    TRemoteMemory memory(list, kText + kTextSize);
    std::vector<TRemoteRow> rows;
    const int count = static_cast<int>(Send(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TRemoteRow row;
        for (int column = 0; column < 2; ++column) {
            LVITEMA item{};
            item.mask = LVIF_TEXT | (column == 0 ? LVIF_IMAGE | LVIF_STATE : 0);
            item.iItem = i;
            item.iSubItem = column;
            item.stateMask = LVIS_SELECTED;
            item.pszText = memory.At(kText);
            item.cchTextMax = kTextSize;
            const char empty = 0;
            memory.Write(&empty, 1, kText);
            memory.Write(&item, sizeof item);
            Send(list, LVM_GETITEMA, 0, Remote(memory));
            memory.Read(&item, sizeof item);
            char text[kTextSize] = {};
            memory.Read(text, kTextSize - 1, kText);
            if (column == 0) {
                row.Caption = text;
                row.Image = item.iImage;
                row.Selected = (item.state & LVIS_SELECTED) != 0;
            } else {
                row.Time = text;
            }
        }
        rows.push_back(row);
    }
    return rows;
}

void ListViewSelect(HWND list, const std::vector<int>& rows)
{
    TRemoteMemory memory(list, sizeof(LVITEMA));
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    memory.Write(&item, sizeof item);
    Send(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), Remote(memory));
    for (size_t i = 0; i < rows.size(); ++i) {
        item.state = LVIS_SELECTED | (i + 1 == rows.size() ? LVIS_FOCUSED : 0);
        memory.Write(&item, sizeof item);
        Send(list, LVM_SETITEMSTATE, static_cast<WPARAM>(rows[i]), Remote(memory));
    }
}

RECT ListViewRowRect(HWND list, int row)
{
    TRemoteMemory memory(list, sizeof(RECT));
    RECT bounds{LVIR_BOUNDS, 0, 0, 0};
    memory.Write(&bounds, sizeof bounds);
    Send(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), Remote(memory));
    memory.Read(&bounds, sizeof bounds);
    return bounds;
}

std::string StatusBarText(HWND bar, int panel)
{
    constexpr size_t kSize = 512;
    TRemoteMemory memory(bar, kSize);
    const char empty = 0;
    memory.Write(&empty, 1);
    Send(bar, SB_GETTEXTA, static_cast<WPARAM>(panel), Remote(memory));
    char text[kSize] = {};
    memory.Read(text, kSize - 1);
    return text;
}

std::vector<std::string> ComboTexts(HWND combo)
{
    // The system carries a combo's item texts across processes itself, as UTF-16.
    std::vector<std::string> texts;
    const int count = static_cast<int>(Send(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[512] = {};
        if (Send(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0) >= static_cast<LRESULT>(std::size(text)))
            throw std::runtime_error("a combo item longer than expected");
        DWORD_PTR length = 0;
        if (!SendMessageTimeoutW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text),
                                 SMTO_ABORTIFHUNG, kTimeoutMs, &length))
            throw std::runtime_error("the combo does not answer");
        char narrow[1024] = {};
        WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
        texts.push_back(narrow);
    }
    return texts;
}

// ---- tree view ----

std::string TreeItemText(HWND tree, HTREEITEM node)
{
    constexpr size_t kText = sizeof(TVITEMA), kTextSize = MAX_PATH;
    TRemoteMemory memory(tree, kText + kTextSize);
    TVITEMA item{};
    item.mask = TVIF_TEXT;
    item.hItem = node;
    item.pszText = memory.At(kText);
    item.cchTextMax = kTextSize;
    const char empty = 0;
    memory.Write(&empty, 1, kText);
    memory.Write(&item, sizeof item);
    Send(tree, TVM_GETITEMA, 0, Remote(memory));
    char text[kTextSize] = {};
    memory.Read(text, kTextSize - 1, kText);
    return text;
}

namespace {

HTREEITEM ChildNamed(HWND tree, HTREEITEM parent, const std::string& name)
{
    Send(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
    for (auto child = reinterpret_cast<HTREEITEM>(Send(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(parent)));
         child; child = reinterpret_cast<HTREEITEM>(Send(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child))))
        if (TreeItemText(tree, child) == name)
            return child;
    return nullptr;
}

}  // namespace

std::vector<std::string> ShellNamesDownTo(const std::string& path)
{
    std::vector<std::string> names;
    std::wstring wide(path.begin(), path.end());
    PIDLIST_ABSOLUTE list = nullptr;
    if (FAILED(SHParseDisplayName(wide.c_str(), nullptr, &list, 0, nullptr)) || !list)
        return names;
    // From the deepest folder up, each one's name as the shell's file information gives it.
    PIDLIST_ABSOLUTE prefix = ILClone(list);
    while (prefix && !ILIsEmpty(prefix)) {
        SHFILEINFOA info{};
        SHGetFileInfoA(reinterpret_cast<LPCSTR>(prefix), 0, &info, sizeof info, SHGFI_PIDL | SHGFI_DISPLAYNAME);
        names.insert(names.begin(), info.szDisplayName);
        ILRemoveLastID(prefix);
    }
    ILFree(prefix);
    ILFree(list);
    return names;
}

int TreeSelectPath(HWND tree, const std::string& path)
{
    auto at = reinterpret_cast<HTREEITEM>(Send(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    if (!at)
        return -1;
    int depth = 0;
    for (const std::string& name : ShellNamesDownTo(path)) {
        const HTREEITEM child = ChildNamed(tree, at, name);
        if (!child)
            break;
        at = child;
        ++depth;
    }
    Send(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(at));
    return depth;
}

bool TreeSelectRootChild(HWND tree, const std::string& name)
{
    const auto root = reinterpret_cast<HTREEITEM>(Send(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    const HTREEITEM child = root ? ChildNamed(tree, root, name) : nullptr;
    if (child)
        Send(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(child));
    return child != nullptr;
}

std::vector<RECT> MenuRows(HWND menu)
{
    TRemoteMemory memory(menu, sizeof(RECT));
    std::vector<RECT> rows;
    for (WPARAM row = 0;; ++row) {
        DWORD_PTR found = 0;
        if (!SendMessageTimeoutA(menu, kMenuRowRect, row, Remote(memory), SMTO_ABORTIFHUNG, kTimeoutMs, &found) || !found)
            return rows;
        RECT r{};
        memory.Read(&r, sizeof r);
        rows.push_back(r);
    }
}

uintptr_t MenuSelectedItem(HWND menu) { return static_cast<uintptr_t>(Send(menu, kMenuSelectedItem, 0, 0)); }

}  // namespace pvltest
