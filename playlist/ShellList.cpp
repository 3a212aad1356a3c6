#include "playlist/ShellList.h"

#include "framework/SysUtils.h"
#include "playlist/FileNotifyThread.h"
#include "playlist/ShellCtrls.h"
#include "playlist/ShellUtils.h"

#include <oleauto.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <cctype>
#include <cstring>

using Microsoft::WRL::ComPtr;

struct TCustomShellList::TRecord {
    PITEMID_CHILD List = nullptr;  // relative to the folder, owned
    int Icon = 0;
    TShellListRecord Columns;     // display name, size, type name, time
    bool Cut = false;
    ~TRecord() { CoTaskMemFree(List); }
};

namespace {

// Link, folder and file-system bits: what decides whether an item is listed.
constexpr SFGAOF kListedMask = SFGAO_LINK | SFGAO_FOLDER | SFGAO_FILESYSTEM;

int CompareLocaleText(const std::string& A, const std::string& B)
{
    return CompareStringA(LOCALE_USER_DEFAULT, 0, A.c_str(), static_cast<int>(A.size()), B.c_str(),
                          static_cast<int>(B.size())) - 2;
}

// Last write as local DOS date and time, then a date-time; -1 when a step fails.
double RecordTime(const WIN32_FIND_DATAA& Find)
{
    FILETIME local{};
    WORD dosDate = 0, dosTime = 0;
    double when = 0;
    if (!FileTimeToLocalFileTime(&Find.ftLastWriteTime, &local) || !FileTimeToDosDateTime(&local, &dosDate, &dosTime) ||
        !DosDateTimeToVariantTime(dosDate, dosTime, &when))
        return -1;
    return when;
}

std::string TimeText(double When)
{
    SYSTEMTIME time{};
    if (When < 0 || !VariantTimeToSystemTime(When, &time))
        return {};
    char date[80] = {}, clock[80] = {};
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, date, sizeof date);
    GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &time, nullptr, clock, sizeof clock);
    return std::string(date) + " " + clock;
}

char ThousandSeparator()
{
    char text[4] = {};
    return GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, text, sizeof text) > 1 ? text[0] : ',';
}

std::string Upper(std::string Text)
{
    for (char& c : Text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return Text;
}

bool SameItem(IShellFolder* Folder, PCUITEMID_CHILD A, PCUITEMID_CHILD B)
{
    return Folder && A && B && HRESULT_CODE(Folder->CompareIDs(0, A, B)) == 0;
}

}  // namespace

TCustomShellList::TCustomShellList(TComponent* owner) : TWinControl(owner)
{
    ShellPrepareControl(ICC_LISTVIEW_CLASSES);
    FWidth = 300;
    FHeight = 200;
    // The platform lacks some of these texts; the usual ones stand in.
    FKindCaption[sckName] = ShellLibraryString("shell32.dll", 8976, "Name");
    FKindCaption[sckSize] = ShellLibraryString("shell32.dll", 8978, "Size");
    FKindCaption[sckType] = ShellLibraryString("shell32.dll", 8979, "Type");
    FKindCaption[sckModified] = ShellLibraryString("shell32.dll", 8980, "Date Modified");
    FSizeTemplate = ShellLibraryString("shlwapi.dll", 260, "%s KB");
    FColumnKinds = {sckName, sckSize, sckType, sckModified};
}

TCustomShellList::~TCustomShellList()
{
    FClosing = true;
    if (FTree)
        FTree->FShellList = nullptr;
    FRetiredWatch.reset();
    FWatch.reset();
    FreeRecords();
    for (PITEMID_CHILD list : FRememberedSelection)
        CoTaskMemFree(list);
    CoTaskMemFree(FRememberedFocus);
    CoTaskMemFree(FFolderList);
}

void TCustomShellList::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = WC_LISTVIEWA;
    params.Style |= LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | LVS_EDITLABELS | WS_BORDER |
                    WS_TABSTOP;
}

void TCustomShellList::CreateWindowHandle()
{
    const HWND wnd = HandleOrNull();
    ListView_SetExtendedListViewStyle(wnd, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    ListView_SetImageList(wnd, ShellSmallImages(), LVSIL_SMALL);
    BuildColumns();
    FLinks.Join(wnd, this);
}

void TCustomShellList::BuildColumns()
{
    const HWND wnd = HandleOrNull();
    while (ListView_DeleteColumn(wnd, 0)) {
    }
    for (size_t i = 0; i < FColumnKinds.size(); ++i) {
        const TShellColumnKind kind = FColumnKinds[i];
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = kind == sckSize ? LVCFMT_RIGHT : LVCFMT_LEFT;
        column.cx = FKindWidth[kind];
        column.pszText = FKindCaption[kind].data();
        SendMessageA(wnd, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    ShowSortArrow(true);
}

std::vector<std::string> TCustomShellList::ColumnCaptions() const
{
    std::vector<std::string> captions;
    for (TShellColumnKind kind : FColumnKinds)
        captions.push_back(FKindCaption[kind]);
    return captions;
}

void TCustomShellList::ShowSortArrow(bool Show)
{
    if (!HandleAllocated())
        return;
    const auto at = std::find(FColumnKinds.begin(), FColumnKinds.end(), FSort.Kind);
    if (at == FColumnKinds.end())
        return;
    const HWND header = ListView_GetHeader(HandleOrNull());
    const int index = static_cast<int>(at - FColumnKinds.begin());
    HDITEMA item{};
    item.mask = HDI_FORMAT;
    Header_GetItem(header, index, &item);
    item.fmt &= ~(HDF_BITMAP | HDF_BITMAP_ON_RIGHT | HDF_SORTUP | HDF_SORTDOWN);
    if (Show) {
        // Our own arrows when the program carries them, else the header's.
        const HBITMAP arrow = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr),
                                                               FSort.Descending ? "SORT_ARROW_1" : "SORT_ARROW_0",
                                                               IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS | LR_SHARED));
        if (arrow) {
            item.mask |= HDI_BITMAP;
            item.hbm = arrow;
            item.fmt |= HDF_BITMAP | HDF_BITMAP_ON_RIGHT;
        } else {
            item.fmt |= FSort.Descending ? HDF_SORTDOWN : HDF_SORTUP;
        }
    }
    Header_SetItem(header, index, &item);
}

std::string TCustomShellList::FolderPath() const { return ShellPathOf(FFolderList); }

bool TCustomShellList::Watching() const { return FWatch && !FWatchEnded; }

void TCustomShellList::LinkTree(TShellTree* Tree)
{
    FTree = Tree;
    if (HandleAllocated() && !InState(csDestroying) && !FClosing)
        CallGuarded([this] { Refresh(); });
}

void TCustomShellList::Refresh()
{
    if (FClosing)
        return;
    if (FTree && FTree->HandleAllocated())
        SetFolder(FTree->SelectedList());
    else
        SetFolder(nullptr);
}

void TCustomShellList::StopWatch()
{
    if (!FInWatchCall)
        FRetiredWatch.reset();
    if (!FWatch)
        return;
    FWatch->Stop();
    // A thread cannot be freed from inside its own callback: it goes at the next stop.
    if (FInWatchCall)
        FRetiredWatch = std::move(FWatch);
    FWatch.reset();
    FWatchEnded = false;
}

void TCustomShellList::StartWatch()
{
    const std::string path = FolderPath();
    if (path.empty())
        return;
    StopWatch();
    FWatch = std::make_unique<TFileNotifyThread>(path, false, [this] {
        FInWatchCall = true;
        CallGuarded([this] { Refresh(); });
        FInWatchCall = false;
    });
    FWatch->OnEnded = [this] { FWatchEnded = true; };
    FWatch->Start();
}

void TCustomShellList::FreeRecords()
{
    if (HandleAllocated())
        ListView_SetItemCountEx(HandleOrNull(), 0, 0);
    FRecords.clear();
}

void TCustomShellList::SetFolder(PCIDLIST_ABSOLUTE List)
{
    // 1.
    if (FBusy || FClosing || (HandleAllocated() && ListView_GetEditControl(HandleOrNull())) || (!FFolderList && !List))
        return;
    HandleNeeded();
    FBusy = true;
    THourglass hourglass;
    struct TBusyEnd {
        bool& Busy;
        ~TBusyEnd() { Busy = false; }
    } busyEnd{FBusy};
    // 2.
    const bool same = List && FFolderList && ILIsEqual(List, FFolderList);
    if (same)
        RememberSelection();
    // 3.
    FreeRecords();
    if (!same) {
        StopWatch();
        CoTaskMemFree(FFolderList);
        FFolderList = nullptr;
        FFolder.Reset();
    }
    // 4.
    if (List && !same) {
        PIDLIST_ABSOLUTE copy = nullptr;
        // The desktop's files are those of its file-system folder.
        if (List->mkid.cb == 0)
            SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOPDIRECTORY, &copy);
        else
            copy = ILClone(List);
        FFolderList = copy;
        FFolder = ShellBindFolder(FFolderList);
        if (!FFolder) {
            CoTaskMemFree(FFolderList);
            FFolderList = nullptr;
            throw EOSError(SysErrorMessage(static_cast<uint32_t>(E_FAIL)));
        }
    }
    const bool cutMarks = List && FFolderList && !FClipboardFolder.empty() &&
                          ILIsEqual(FFolderList, reinterpret_cast<PCIDLIST_ABSOLUTE>(FClipboardFolder.data()));
    if (List && FFolder) {
        // 5.
        ComPtr<IEnumIDList> items;
        const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
        if (FFolder->EnumObjects(nullptr, SHCONTF_NONFOLDERS, &items) == S_OK && items) {
            PITEMID_CHILD child = nullptr;
            ULONG fetched = 0;
            // 6.
            while (items->Next(1, &child, &fetched) == S_OK && fetched == 1) {
                auto record = std::make_unique<TRecord>();
                record->List = child;
                SFGAOF attributes = kListedMask;
                PCUITEMID_CHILD one = child;
                if (FAILED(FFolder->GetAttributesOf(1, &one, &attributes)) || (attributes & SFGAO_LINK) ||
                    (attributes & SFGAO_FOLDER) || !(attributes & SFGAO_FILESYSTEM))
                    continue;
                WIN32_FIND_DATAA find{};
                if (FAILED(SHGetDataFromIDListA(FFolder.Get(), child, SHGDFIL_FINDDATA, &find, sizeof find)))
                    continue;
                PIDLIST_ABSOLUTE absolute = ILCombine(FFolderList, child);
                SHFILEINFOA info{};
                SHGetFileInfoA(reinterpret_cast<LPCSTR>(absolute), 0, &info, sizeof info,
                               SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_DISPLAYNAME | SHGFI_TYPENAME);
                CoTaskMemFree(absolute);
                record->Icon = info.iIcon;
                record->Columns.DisplayName = info.szDisplayName;
                record->Columns.TypeName = info.szTypeName;
                record->Columns.Size = static_cast<int64_t>((static_cast<uint64_t>(find.nFileSizeHigh) << 32) | find.nFileSizeLow);
                record->Columns.Modified = RecordTime(find);
                if (cutMarks) {
                    PIDLIST_ABSOLUTE full = ILCombine(FFolderList, child);
                    record->Cut = AmongClipboardItems(full);
                    CoTaskMemFree(full);
                }
                FRecords.push_back(std::move(record));
            }
        }
        SetErrorMode(oldMode);
    }
    // 7.
    SortRecords();
    SendMessageA(HandleOrNull(), WM_SETREDRAW, FALSE, 0);
    ListView_SetItemCountEx(HandleOrNull(), static_cast<int>(FRecords.size()), 0);
    SendMessageA(HandleOrNull(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(HandleOrNull(), nullptr, TRUE);
    // 8.
    if (same)
        RestoreSelection();
    // 9.
    if (FFolderList && (!FWatch || FWatchEnded)) {
        StartWatch();
    }
    // 10: the hourglass and the busy flag end with the scope.
}

void TCustomShellList::SortRecords()
{
    std::vector<TShellListRecord> columns;
    columns.reserve(FRecords.size());
    for (const auto& record : FRecords)
        columns.push_back(record->Columns);
    std::vector<size_t> order(FRecords.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    SortShellRecords(order, columns, FSort.Kind, FSort.Descending, CompareLocaleText);
    std::vector<std::unique_ptr<TRecord>> sorted;
    sorted.reserve(order.size());
    for (size_t i : order)
        sorted.push_back(std::move(FRecords[i]));
    FRecords = std::move(sorted);
}

void TCustomShellList::SortByKind(TShellColumnKind Kind, bool Descending)
{
    if (Kind != FSort.Kind)
        ShowSortArrow(false);
    FSort = {Kind, Descending};
    ShowSortArrow(true);
    if (!HandleAllocated() || FBusy)
        return;
    FBusy = true;
    RememberSelection();
    ListView_SetItemState(HandleOrNull(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    SortRecords();
    RestoreSelection();
    InvalidateRect(HandleOrNull(), nullptr, TRUE);
    FBusy = false;
}

void TCustomShellList::ColumnClick(int Column)
{
    if (Column < 0 || Column >= static_cast<int>(FColumnKinds.size()))
        return;
    const TShellSortState next = ShellSortAfterClick(FSort, FColumnKinds[static_cast<size_t>(Column)]);
    SortByKind(next.Kind, next.Descending);
}

void TCustomShellList::RememberSelection()
{
    for (PITEMID_CHILD list : FRememberedSelection)
        CoTaskMemFree(list);
    FRememberedSelection.clear();
    CoTaskMemFree(FRememberedFocus);
    FRememberedFocus = nullptr;
    if (!HandleAllocated())
        return;
    for (int at = ListView_GetNextItem(HandleOrNull(), -1, LVNI_SELECTED); at >= 0 && at < Count();
         at = ListView_GetNextItem(HandleOrNull(), at, LVNI_SELECTED))
        FRememberedSelection.push_back(ILClone(FRecords[static_cast<size_t>(at)]->List));
    const int focused = ListView_GetNextItem(HandleOrNull(), -1, LVNI_FOCUSED);
    if (focused >= 0 && focused < Count())
        FRememberedFocus = ILClone(FRecords[static_cast<size_t>(focused)]->List);
}

void TCustomShellList::RestoreSelection()
{
    for (int i = 0; i < Count(); ++i) {
        PCUITEMID_CHILD item = FRecords[static_cast<size_t>(i)]->List;
        UINT state = 0;
        for (PITEMID_CHILD remembered : FRememberedSelection)
            if (SameItem(FFolder.Get(), item, remembered))
                state |= LVIS_SELECTED;
        if (SameItem(FFolder.Get(), item, FRememberedFocus))
            state |= LVIS_FOCUSED;
        if (state)
            ListView_SetItemState(HandleOrNull(), i, state, state);
    }
    for (PITEMID_CHILD list : FRememberedSelection)
        CoTaskMemFree(list);
    FRememberedSelection.clear();
    CoTaskMemFree(FRememberedFocus);
    FRememberedFocus = nullptr;
}

std::string TCustomShellList::CellText(int Index, int Column) const
{
    if (Index < 0 || Index >= Count() || Column < 0 || Column >= static_cast<int>(FColumnKinds.size()))
        return {};
    const TShellListRecord& record = FRecords[static_cast<size_t>(Index)]->Columns;
    switch (FColumnKinds[static_cast<size_t>(Column)]) {
    case sckName: return record.DisplayName;
    case sckSize: return ShellSizeText(record.Size, FSizeTemplate, ThousandSeparator());
    case sckType: return record.TypeName;
    case sckModified: return TimeText(record.Modified);
    }
    return {};
}

void TCustomShellList::GetDispInfo(NMLVDISPINFOA& info)
{
    LVITEMA& item = info.item;
    if (item.iItem < 0 || item.iItem >= Count())
        return;
    const TRecord& record = *FRecords[static_cast<size_t>(item.iItem)];
    if (item.mask & LVIF_IMAGE) {
        item.iImage = record.Icon;
        item.mask |= LVIF_STATE;
        item.stateMask |= LVIS_CUT;
        item.state = (item.state & ~LVIS_CUT) | (record.Cut ? LVIS_CUT : 0);
    }
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0)
        lstrcpynA(item.pszText, CellText(item.iItem, item.iSubItem).c_str(), item.cchTextMax);
}

int TCustomShellList::FindItem(const NMLVFINDITEMA& find) const
{
    if (!(find.lvfi.flags & (LVFI_PARTIAL | LVFI_STRING)) || !find.lvfi.psz)
        return -1;
    const std::string wanted = Upper(find.lvfi.psz);
    const auto matches = [&](int i) {
        return Upper(FRecords[static_cast<size_t>(i)]->Columns.DisplayName).compare(0, wanted.size(), wanted) == 0;
    };
    const int start = std::clamp(find.iStart, 0, Count());
    for (int i = start; i < Count(); ++i)
        if (matches(i))
            return i;
    if ((find.lvfi.flags & LVFI_WRAP) && Count() > 0)
        for (int i = 0; i < start; ++i)
            if (matches(i))
                return i;
    return -1;
}

std::vector<int> TCustomShellList::SelectedIndexes()
{
    std::vector<int> indexes;
    for (int at = ListView_GetNextItem(Handle(), -1, LVNI_SELECTED); at >= 0;
         at = ListView_GetNextItem(HandleOrNull(), at, LVNI_SELECTED))
        indexes.push_back(at);
    return indexes;
}

void TCustomShellList::SetSelected(int Index, bool Value)
{
    ListView_SetItemState(Handle(), Index, Value ? LVIS_SELECTED : 0, LVIS_SELECTED);
}

void TCustomShellList::OpenSelected()
{
    const std::string folder = FolderPath();
    char saved[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof saved, saved);
    if (!folder.empty())
        SetCurrentDirectoryA(folder.c_str());
    for (int index : SelectedIndexes()) {
        PIDLIST_ABSOLUTE absolute = ILCombine(FFolderList, FRecords[static_cast<size_t>(index)]->List);
        SHELLEXECUTEINFOA execute{};
        execute.cbSize = sizeof execute;
        execute.fMask = SEE_MASK_INVOKEIDLIST;
        execute.lpIDList = absolute;
        execute.hwnd = GetAncestor(HandleOrNull(), GA_ROOT);
        execute.nShow = SW_SHOW;
        ShellExecuteExA(&execute);
        CoTaskMemFree(absolute);
    }
    SetCurrentDirectoryA(saved);
}

void TCustomShellList::WindowGone()
{
    FLinks.Leave(HandleOrNull());
    FRecords.clear();
    StopWatch();
    CoTaskMemFree(FFolderList);
    FFolderList = nullptr;
    FFolder.Reset();
    for (size_t i = 0; i < FColumnKinds.size(); ++i)
        FKindWidth[FColumnKinds[i]] = ListView_GetColumnWidth(HandleOrNull(), static_cast<int>(i));
}

void TCustomShellList::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_DESTROY:
        WindowGone();
        break;
    case WM_DRAWCLIPBOARD:
    case WM_CHANGECBCHAIN:
        ShellClipboardChain(message.Msg, message.WParam, message.LParam, FLinks.NextViewer,
                            [this] { ClipboardChanged(); });
        message.Result = 0;
        return;
    case WM_KEYDOWN:
    case WM_KEYUP: {
        const WPARAM key = message.WParam;
        // Back, Insert and F5 belong to the folder tree.
        if ((key == VK_BACK || key == VK_INSERT || key == VK_F5) && FTree && FTree->HandleAllocated()) {
            SendMessageA(FTree->HandleOrNull(), message.Msg, message.WParam, message.LParam);
            message.Result = 0;
            return;
        }
        if (ListView_GetEditControl(HandleOrNull()) || message.Msg != WM_KEYDOWN)
            break;
        if (key == VK_RETURN) {
            if (GetKeyState(VK_MENU) >= 0)
                CallGuarded([this] { OpenSelected(); });
            message.Result = 0;
            return;
        }
        if (key == VK_DELETE)
            CallGuarded([this] { InvokeVerb("delete"); });
        else if (key == VK_F2 && !SelectedIndexes().empty())
            ListView_EditLabel(HandleOrNull(), SelectedIndexes().front());
        break;
    }
    case WM_CHAR:
        if (ListView_GetEditControl(HandleOrNull()))
            break;
        if (message.WParam == 1) {  // Ctrl+A
            ListView_SetItemState(HandleOrNull(), -1, LVIS_SELECTED, LVIS_SELECTED);
            message.Result = 0;
            return;
        }
        if (message.WParam == 3 || message.WParam == 24) {  // Ctrl+C, Ctrl+X
            CallGuarded([&] { InvokeVerb(message.WParam == 3 ? "copy" : "cut"); });
            message.Result = 0;
            return;
        }
        if (message.WParam == 22) {  // Ctrl+V pastes into the tree's folder
            if (FTree)
                CallGuarded([this] { FTree->InvokeVerb("paste"); });
            message.Result = 0;
            return;
        }
        break;
    default:
        break;
    }
    TWinControl::WndProc(message);
}

bool TCustomShellList::ReflectedMessage(TMessage& message)
{
    if (message.Msg != WM_NOTIFY)
        return false;
    auto* header = reinterpret_cast<NMHDR*>(message.LParam);
    switch (header->code) {
    case LVN_GETDISPINFOA:
        GetDispInfo(*reinterpret_cast<NMLVDISPINFOA*>(message.LParam));
        return true;
    case LVN_ODFINDITEMA:
        message.Result = FindItem(*reinterpret_cast<NMLVFINDITEMA*>(message.LParam));
        return true;
    case LVN_COLUMNCLICK:
        CallGuarded([&] { ColumnClick(reinterpret_cast<NMLISTVIEW*>(message.LParam)->iSubItem); });
        return true;
    case LVN_GETINFOTIPA:
        CallGuarded([&] { InfoTip(*reinterpret_cast<NMLVGETINFOTIPA*>(message.LParam)); });
        return true;
    case LVN_BEGINDRAG:
    case LVN_BEGINRDRAG: {
        const int button = header->code == LVN_BEGINDRAG ? 1 : 2;
        CallGuarded([&] { BeginDrag(button); });
        return true;
    }
    case LVN_BEGINLABELEDITA: {
        const int index = reinterpret_cast<NMLVDISPINFOA*>(message.LParam)->item.iItem;
        bool allowed = false;
        CallGuarded([&] { allowed = CanRename(index); });
        if (allowed) {
            // The edited item shows unselected while its label is edited.
            FEditWasSelected = (ListView_GetItemState(HandleOrNull(), index, LVIS_SELECTED) & LVIS_SELECTED) != 0;
            ListView_SetItemState(HandleOrNull(), index, 0, LVIS_SELECTED);
        }
        message.Result = allowed ? FALSE : TRUE;
        return true;
    }
    case LVN_ENDLABELEDITA: {
        const LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(message.LParam)->item;
        if (FEditWasSelected)
            ListView_SetItemState(HandleOrNull(), item.iItem, LVIS_SELECTED, LVIS_SELECTED);
        if (item.pszText) {
            const std::string text = item.pszText;
            const int index = item.iItem;
            CallGuarded([&] { EndLabelEdit(index, text.c_str()); });
        }
        message.Result = FALSE;
        return true;
    }
    case NM_DBLCLK:
        CallGuarded([&] {
            if (OnDblClick)
                OnDblClick(this);
            else
                OpenSelected();
        });
        return true;
    default:
        return false;
    }
}

// ---- the shell's verbs, drag, tips, rename and clipboard ----

std::vector<PCUITEMID_CHILD> TCustomShellList::SelectedItems()
{
    std::vector<PCUITEMID_CHILD> items;
    for (int index : SelectedIndexes())
        if (index < Count())
            items.push_back(FRecords[static_cast<size_t>(index)]->List);
    return items;
}

void TCustomShellList::InvokeVerb(const char* Verb)
{
    const std::vector<PCUITEMID_CHILD> items = SelectedItems();
    if (FFolder && !items.empty())
        ShellInvokeVerb(FFolder.Get(), items, Verb, GetAncestor(HandleOrNull(), GA_ROOT));
}

void TCustomShellList::BeginDrag(int Button)
{
    std::vector<PCUITEMID_CHILD> items = SelectedItems();
    if (!FFolder || items.empty())
        return;
    ComPtr<IDataObject> data;
    const HRESULT hr = FFolder->GetUIObjectOf(HandleOrNull(), static_cast<UINT>(items.size()), items.data(),
                                              IID_IDataObject, nullptr, &data);
    if (hr == E_NOINTERFACE)
        return;
    if (FAILED(hr))
        throw EOSError(SysErrorMessage(static_cast<uint32_t>(hr)));
    std::vector<PCUITEMID_CHILD> asked = items;
    SFGAOF attributes = SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANLINK;
    if (FAILED(FFolder->GetAttributesOf(static_cast<UINT>(asked.size()), asked.data(), &attributes)))
        attributes = 0;
    ShellDoDragDrop(data.Get(), attributes, Button);
}

void TCustomShellList::InfoTip(NMLVGETINFOTIPA& tip)
{
    const HWND form = GetAncestor(HandleOrNull(), GA_ROOT);
    if ((GetWindowLongA(form, GWL_EXSTYLE) & WS_EX_TOPMOST) || !FFolder || tip.iItem < 0 || tip.iItem >= Count() ||
        !tip.pszText || tip.cchTextMax <= 0)
        return;
    PCUITEMID_CHILD item = FRecords[static_cast<size_t>(tip.iItem)]->List;
    ComPtr<IQueryInfo> info;
    if (FAILED(FFolder->GetUIObjectOf(HandleOrNull(), 1, &item, IID_IQueryInfo, nullptr, &info)) || !info)
        return;
    LPWSTR text = nullptr;
    if (FAILED(info->GetInfoTip(0, &text)) || !text)
        return;
    WideCharToMultiByte(CP_ACP, 0, text, -1, tip.pszText, tip.cchTextMax, nullptr, nullptr);
    tip.pszText[tip.cchTextMax - 1] = '\0';
    CoTaskMemFree(text);
}

bool TCustomShellList::CanRename(int Index)
{
    if (!FFolder || Index < 0 || Index >= Count())
        return false;
    PCUITEMID_CHILD item = FRecords[static_cast<size_t>(Index)]->List;
    SFGAOF attributes = SFGAO_CANRENAME;
    const HRESULT hr = FFolder->GetAttributesOf(1, &item, &attributes);
    if (FAILED(hr))
        throw EOSError(SysErrorMessage(static_cast<uint32_t>(hr)));
    return (attributes & SFGAO_CANRENAME) != 0;
}

void TCustomShellList::EndLabelEdit(int Index, const char* Text)
{
    if (FBusy || !FFolder || Index < 0 || Index >= Count() || !Text || !*Text)
        return;
    TRecord& record = *FRecords[static_cast<size_t>(Index)];
    // The rename itself is no change to show again.
    StopWatch();
    std::wstring wide(std::strlen(Text) + 1, L'\0');
    wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, Text, -1, wide.data(), static_cast<int>(wide.size()))));
    PITEMID_CHILD renamed = nullptr;
    if (SUCCEEDED(FFolder->SetNameOf(GetAncestor(HandleOrNull(), GA_ROOT), record.List, wide.c_str(), SHGDN_NORMAL,
                                     &renamed)) && renamed) {
        CoTaskMemFree(record.List);
        record.List = renamed;
        PIDLIST_ABSOLUTE absolute = ILCombine(FFolderList, renamed);
        SHFILEINFOA info{};
        SHGetFileInfoA(reinterpret_cast<LPCSTR>(absolute), 0, &info, sizeof info,
                       SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_DISPLAYNAME | SHGFI_TYPENAME);
        CoTaskMemFree(absolute);
        record.Icon = info.iIcon;
        record.Columns.DisplayName = info.szDisplayName;
        record.Columns.TypeName = info.szTypeName;
        ListView_RedrawItems(HandleOrNull(), Index, Index);
    }
    StartWatch();
}

bool TCustomShellList::AmongClipboardItems(PCIDLIST_ABSOLUTE List) const
{
    for (const TIdListBytes& item : FClipboardItems)
        if (ILIsEqual(reinterpret_cast<PCIDLIST_ABSOLUTE>(item.data()), List))
            return true;
    return false;
}

void TCustomShellList::ClipboardChanged()
{
    if (FBusy || FClosing)
        return;
    const TIdListBytes previousFolder = FClipboardFolder;
    ShellReadClipboardIdLists(HandleOrNull(), FClipboardItems, FClipboardFolder);
    const auto shows = [this](const TIdListBytes& folder) {
        return FFolderList && !folder.empty() && ILIsEqual(FFolderList, reinterpret_cast<PCIDLIST_ABSOLUTE>(folder.data()));
    };
    // Cut marks follow the clipboard.
    if (shows(previousFolder) || shows(FClipboardFolder))
        SetFolder(FFolderList);
}

// ---- drop target ----

ComPtr<IDropTarget> TCustomShellList::DropTargetAt(POINT Client)
{
    const HWND wnd = HandleOrNull();
    if (!FFolder)
        return nullptr;
    LVHITTESTINFO hit{};
    hit.pt = Client;
    const int index = ListView_HitTest(wnd, &hit);
    ListView_SetItemState(wnd, -1, 0, LVIS_DROPHILITED);
    ComPtr<IDropTarget> target;
    if (index >= 0 && index < Count()) {
        PCUITEMID_CHILD item = FRecords[static_cast<size_t>(index)]->List;
        if (SUCCEEDED(FFolder->GetUIObjectOf(wnd, 1, &item, IID_IDropTarget, nullptr, &target)) && target)
            ListView_SetItemState(wnd, index, LVIS_DROPHILITED, LVIS_DROPHILITED);
        return target;
    }
    // Over empty space the shown folder itself takes the drop.
    FFolder->CreateViewObject(wnd, IID_IDropTarget, &target);
    return target;
}

void TCustomShellList::DragEnded()
{
    ListView_SetItemState(HandleOrNull(), -1, 0, LVIS_DROPHILITED);
}
