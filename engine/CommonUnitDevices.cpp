// The engine's device lists (display monitors, audio renderers), its history lists and the
// tag kind of the open file.
#include "engine/CommonUnit.h"

#include "engine/History.h"
#include "engine/HistoryStore.h"
#include "engine/MyDSUtils.h"

#include <ddraw.h>

#include <new>

BOOL WINAPI EnumMonitorsCallback(GUID* guid, LPSTR description, LPSTR driverName, LPVOID context, HMONITOR monitor)
{
    (void)driverName;
    auto* enumeration = static_cast<TMonitorEnumContext*>(context);
    try {
        TMonitorItem item;
        if (guid) {
            item.DeviceGuid = *guid;
            item.HasDeviceGuid = true;
        }
        item.Description = AnsiToWide(description ? description : "");
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (monitor && GetMonitorInfoA(monitor, &info)) {
            item.Bounds = info.rcMonitor;
            item.WorkArea = info.rcWork;
            item.Primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
        }
        enumeration->List->push_back(std::move(item));
        return TRUE;
    } catch (const std::bad_alloc&) {
        enumeration->Failure = E_OUTOFMEMORY;
        return FALSE;
    }
}

HRESULT TCommonModule::EnumerateScreens()
{
    TMonitorEnumContext context{&MonitorList, S_OK};
    const HRESULT result = DirectDrawEnumerateExA(EnumMonitorsCallback, &context, DDENUM_ATTACHEDSECONDARYDEVICES);
    // With a device per monitor listed, the entries without a device (the primary display
    // driver) go; the last entry is never examined.
    if (MonitorList.size() >= 2) {
        size_t i = 0;
        while (i + 1 < MonitorList.size()) {
            if (MonitorList[i].HasDeviceGuid)
                ++i;
            else
                MonitorList.erase(MonitorList.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
    return FAILED(context.Failure) ? context.Failure : result;
}

HRESULT EnumAudioRenderers(const GUID& category, std::vector<TAudioDeviceItem>* list)
{
    if (!list)
        return E_FAIL;
    list->clear();
    ComPtr<ICreateDevEnum> devices;
    HRESULT result = CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&devices));
    if (FAILED(result))
        return result;
    ComPtr<IEnumMoniker> monikers;
    result = devices->CreateClassEnumerator(category, &monikers, 0);
    if (result != S_OK)
        return result;  // S_FALSE: the category is empty
    ComPtr<IMoniker> moniker;
    while (monikers->Next(1, moniker.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
        TAudioDeviceItem item;
        item.Moniker = moniker;
        ComPtr<IPropertyBag> properties;
        if (SUCCEEDED(moniker->BindToStorage(nullptr, nullptr, IID_PPV_ARGS(&properties)))) {
            VARIANT name;
            VariantInit(&name);
            if (SUCCEEDED(properties->Read(L"FriendlyName", &name, nullptr)) && name.vt == VT_BSTR && name.bstrVal)
                item.FriendlyName = name.bstrVal;
            VariantClear(&name);
        }
        ComPtr<IBindCtx> context;
        LPOLESTR displayName = nullptr;
        if (SUCCEEDED(CreateBindCtx(0, &context)) && SUCCEEDED(moniker->GetDisplayName(context.Get(), nullptr, &displayName)) &&
            displayName) {
            item.DisplayName = displayName;
            CoTaskMemFree(displayName);
        }
        // The filter bound from the enumerated moniker itself: parsing its display name again
        // would start a surrogate process on this platform for every device.
        ComPtr<IBaseFilter> filter;
        ComPtr<IPin> spdif;
        if (SUCCEEDED(moniker->BindToObject(nullptr, nullptr, IID_PPV_ARGS(&filter))) && filter)
            item.Spdif = FindAC3SpdifPin(filter.Get(), spdif) == S_OK;
        list->push_back(std::move(item));
    }
    return S_OK;
}

void TCommonModule::AddToHistory(const WideString& name, int kind)
{
    if (kind == hkFiles)
        AddHistoryEntry(FileHistory, FileHistoryMax, WideToAnsi(name));
    else if (kind == hkURLs)
        AddHistoryEntry(URLHistory, URLHistoryMax, WideToAnsi(name));
    else
        return;
    WriteHistory(kind);
}

void TCommonModule::WriteHistory(int kind)
{
    if (kind == hkFiles)
        StoreHistory(HistoryKey(kind), HistoryValuePrefix(kind), FileHistory, FileHistoryMax);
    else if (kind == hkURLs)
        StoreHistory(HistoryKey(kind), HistoryValuePrefix(kind), URLHistory, URLHistoryMax);
}

void TCommonModule::GetHistoryItem(int kind, int index, WideString& name)
{
    name.clear();
    std::string taken;
    if (kind != hkFiles || !TakeHistoryEntry(FileHistory, index, taken))
        return;
    name = AnsiToWide(taken);
    WriteHistory(hkFiles);
}

int TCommonModule::SupportsTags()
{
    if (!Graph)
        return 0;
    const std::string extension = UpperCase(ExtractFileExt(PlayingFileName));
    if (extension == ".MP3")
        return 1;
    if (extension == ".AVI")
        return 2;
    ComPtr<IBaseFilter> splitter;
    GetFilterByGUID(CLSID_AviSplitter, splitter);
    return splitter ? 2 : 0;
}

void TCommonModule::PvlSprocessorMediaTypeChange(TObject*, const TDSStream* stream)
{
    if (!stream)
        return;
    std::lock_guard lock(FFormatLock);
    FSoundProcessorFormat = *stream;
}

TDSStream TCommonModule::SoundProcessorFormat() const
{
    std::lock_guard lock(FFormatLock);
    return FSoundProcessorFormat;
}
