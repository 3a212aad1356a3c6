#include "MenuPersistence.h"

#include "MenuBar2000.h"
#include "MenuItem2000.h"
#include "MenuUtilsCore.h"
#include "MenuXmlCore.h"
#include "PopupMenu2000.h"
#include "framework/ComponentStream.h"
#include "framework/Registry.h"
#include "framework/TextComponentStream.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <vector>

#undef GetObject  // the stored-property member, not the GDI call

namespace {

struct TStorage;
void ReadClockInto(TStorage& s);

struct TStorage {
    std::string Key = "\\Software\\Tessarel\\Velumen/2000\\MenuOrder\\$(APPNAME)";
    std::string Pattern = "$(APPDATA)\\$(APPNAME)\\$(MENU)";
    uint32_t StoredSeconds = 0;
    DWORD StartTick = 0;

    uint8_t Mode = 0;

    TStorage()
    {
        ExpandPathMacros(Key, Pattern);
        ReadClockInto(*this);
    }
    // Unit end: the usage clock is kept in mode 1.
    ~TStorage()
    {
        try {
            WriteUsageClock();
        } catch (...) {
        }
    }
};

// Unit start: expand the macros and read the clock once.
TStorage& Storage()
{
    static TStorage storage;
    return storage;
}

bool ReplaceFirst(std::string& text, const std::string& macro, const std::string& value)
{
    const size_t at = text.find(macro);
    if (at == std::string::npos)
        return false;
    text.replace(at, macro.size(), value);
    return true;
}

std::string ProgramName()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name = path;
    const size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string AppDataFolder()
{
    LPITEMIDLIST list = nullptr;
    char path[MAX_PATH] = {};
    if (SHGetSpecialFolderLocation(nullptr, CSIDL_APPDATA, &list) == S_OK && list) {
        SHGetPathFromIDListA(list, path);
        CoTaskMemFree(list);
    }
    return path;
}

}  // namespace

uint8_t MenuStorageMode() { return Storage().Mode; }
void SetMenuStorageMode(uint8_t mode) { Storage().Mode = mode; }
const std::string& MenuOrderKey() { return Storage().Key; }
const std::string& MenuOrderPattern() { return Storage().Pattern; }

void ExpandPathMacros(std::string& key, std::string& pattern)
{
    const std::string name = ProgramName();
    ReplaceFirst(key, "$(APPNAME)", name);
    ReplaceFirst(pattern, "$(APPNAME)", name);
    if (pattern.find("$(APPDATA)") != std::string::npos)
        ReplaceFirst(pattern, "$(APPDATA)", AppDataFolder());
}

void ReadUsageClock() { ReadClockInto(Storage()); }

namespace {

void ReadClockInto(TStorage& s)
{
    std::string key = s.Key;
    ReplaceFirst(key, "\\$(MENU)", "");
    if (!key.empty() && key[0] == '\\')
        key.erase(0, 1);
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) == ERROR_SUCCESS) {
        DWORD type = 0, value = 0, size = 0;
        if (RegQueryValueExA(handle, "ElapsedTime", nullptr, &type, nullptr, &size) == ERROR_SUCCESS && size > 0) {
            size = sizeof value;
            if (RegQueryValueExA(handle, "ElapsedTime", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
                ERROR_SUCCESS)
                s.StoredSeconds = value;
        }
        RegCloseKey(handle);
    }
    s.StartTick = GetTickCount();
}

}  // namespace

uint32_t MenuUsageClock()
{
    const TStorage& s = Storage();
    return s.StoredSeconds + (GetTickCount() - s.StartTick) / 1000;
}

void StoreMenuItem(TMenuItem* item)
{
    auto* skinned = dynamic_cast<TMenuItem2000*>(item);
    if (!skinned)
        throw EMenuError("Only items of type TMenuItem2000 can be stored");
    if (MenuStorageMode() == 0)
        return;
    SaveMenuOrder(skinned->OwningMenu());
}

void WriteUsageClock()
{
    TStorage& s = Storage();
    if (s.Mode != 1)
        return;
    std::string key = s.Key;
    ReplaceFirst(key, "\\$(MENU)", "");
    TRegistry registry;
    if (!registry.OpenKey(key, true))
        return;
    const DWORD now = GetTickCount();
    s.StoredSeconds += (now - s.StartTick) / 1000;
    s.StartTick = now;
    const DWORD value = s.StoredSeconds;
    RegSetValueExA(registry.CurrentKey(), "ElapsedTime", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                   sizeof value);
}

// ---- Layout storage ----

namespace {

const char* const Extensions[] = {"", "", ".menu", ".txt", ".xml"};
constexpr int BinaryForm = 1, TextForm = 2, XmlForm = 3;

// An item's bitmap as stored: width and height (32-bit), then the rows top-down, 4 bytes a pixel.
std::string BitmapData(const TBitmap& bitmap)
{
    const int32_t size[2] = {bitmap.Width(), bitmap.Height()};
    std::string data(reinterpret_cast<const char*>(size), sizeof size);
    if (const uint32_t* pixels = bitmap.Pixels())
        data.append(reinterpret_cast<const char*>(pixels),
                    static_cast<size_t>(size[0]) * static_cast<size_t>(size[1]) * 4);
    return data;
}

void ReadBitmapData(TMenuItem2000& item, const std::string& data)
{
    int32_t size[2] = {};
    if (data.size() >= sizeof size)
        std::memcpy(size, data.data(), sizeof size);
    if (data.size() < sizeof size || size[0] < 0 || size[1] < 0 ||
        data.size() - sizeof size != static_cast<uint64_t>(size[0]) * static_cast<uint64_t>(size[1]) * 4)
        throw EReadError("Invalid stream format");
    std::vector<uint32_t> pixels(static_cast<size_t>(size[0]) * static_cast<size_t>(size[1]));
    if (!pixels.empty())
        std::memcpy(pixels.data(), data.data() + sizeof size, pixels.size() * 4);
    TBitmap bitmap;
    bitmap.SetPixels(size[0], size[1], pixels.data());
    item.SetBitmap(bitmap);
}

// Items taken out of the tree while a layout is read, found again by name.
class TItemPool {
public:
    explicit TItemPool(TMenuItem* root) { Collect(root); }
    ~TItemPool()
    {
        for (TMenuItem* item : FLeft)
            std::unique_ptr<TMenuItem> unused(item);  // not named by the layout
    }
    TItemPool(const TItemPool&) = delete;
    TItemPool& operator=(const TItemPool&) = delete;

    TMenuItem2000* Take(const std::string& name)
    {
        if (name.empty())
            return nullptr;
        for (auto it = FLeft.begin(); it != FLeft.end(); ++it) {
            auto* item = dynamic_cast<TMenuItem2000*>(*it);
            if (item && SameText(item->Name, name)) {
                FLeft.erase(it);
                return item;
            }
        }
        return nullptr;
    }

private:
    // Depth first, children taken out of their parents.
    void Collect(TMenuItem* parent)
    {
        while (parent->Count() > 0) {
            TMenuItem* child = parent->Items(0);
            parent->Remove(child);
            Collect(child);
            FLeft.push_back(child);
        }
    }
    std::vector<TMenuItem*> FLeft;
};

class TStoredItem;

// What a menu and an item share: children made or found while reading.
class TStoredNode : public IStoredObject {
public:
    TStoredNode(TMenuItem* parent, TComponent* owner, TItemPool* pool, std::vector<TComponent*>* read)
        : FParent(parent), FOwner(owner), FPool(pool), FRead(read) {}

    void ListStoredChildren(std::vector<IStoredObject*>& list) override;
    IStoredObject& ReadChild(const std::string& className, const std::string& objectName) override;

protected:
    TMenuItem* FParent;
    TComponent* FOwner;
    TItemPool* FPool;
    std::vector<TComponent*>* FRead;
    std::vector<std::unique_ptr<TStoredItem>> FChildren;
};

class TStoredItem : public TStoredNode {
public:
    TStoredItem(TMenuItem2000* item, TComponent* owner, TItemPool* pool, std::vector<TComponent*>* read)
        : TStoredNode(item, owner, pool, read), FItem(item) {}
    std::string StoredClassName() override { return "TMenuItem2000"; }
    std::string StoredObjectName() override { return FItem->Name; }

    void ListStoredProperties(std::vector<TStoredProperty>& list) override
    {
        TMenuItem2000* i = FItem;
        list.push_back(StringProperty("Caption", [i] { return i->Caption; }, [i](const std::string& v) { i->SetCaption(v); }));
        list.push_back(BoolProperty("Checked", [i] { return i->Checked; }, [i](bool v) { i->SetChecked(v); }));
        list.push_back(BoolProperty("Enabled", [i] { return i->Enabled; }, [i](bool v) { i->SetEnabled(v); }));
        list.push_back(BoolProperty("Visible", [i] { return i->Visible; }, [i](bool v) { i->SetVisible(v); }));
        list.push_back(BoolProperty("RadioItem", [i] { return i->RadioItem; }, [i](bool v) { i->RadioItem = v; }));
        list.push_back(BoolProperty("AutoCheck", [i] { return i->AutoCheck; }, [i](bool v) { i->AutoCheck = v; }));
        list.push_back(BoolProperty("Default", [i] { return i->Default; }, [i](bool v) { i->Default = v; }));
        list.push_back(IntProperty("GroupIndex", [i] { return i->GroupIndex; }, [i](int64_t v) { i->GroupIndex = static_cast<int>(v); }));
        list.push_back(IntProperty("ImageIndex", [i] { return i->ImageIndex; }, [i](int64_t v) { i->SetImageIndex(static_cast<int>(v)); }));
        list.push_back(BinaryProperty("Bitmap", [i] { return BitmapData(i->GetBitmap()); },
                                      [i](const std::string& v) { ReadBitmapData(*i, v); },
                                      [i] { return i->IsBitmapStored(); }));
        list.push_back(IntProperty("NumGlyphs", [i] { return i->NumGlyphs; },
                                   [i](int64_t v) { i->NumGlyphs = static_cast<int>(v); },
                                   [i] { return i->NumGlyphs != 1; }));
        list.push_back(IntProperty("HelpContext", [i] { return i->HelpContext; }, [i](int64_t v) { i->HelpContext = static_cast<int>(v); }));
        list.push_back(IntProperty("Tag", [i] { return static_cast<int64_t>(static_cast<int32_t>(i->Tag)); },
                                   [i](int64_t v) { i->Tag = static_cast<intptr_t>(v); }));
        list.push_back(StringProperty("Hint", [i] { return i->StoredHint(); }, [i](const std::string& v) {
            i->Hint = v;
            i->Changed(4);
        }, [i] { return !i->StoredHint().empty(); }));
        list.push_back(StringProperty("ShortCut", [i] {
            return i->ShortCut != 0 ? ShortCutToText(i->ShortCut) : i->StoredShortCutText();
        }, [i](const std::string& v) { i->SetShortCut(v); }, [i] { return i->ShortCut != 0 || !i->StoredShortCutText().empty(); }));
        list.push_back(BoolProperty("Hidden", [i] { return i->GetHidden(); }, [i](bool v) { i->SetHidden(v); }));
        list.push_back(BoolProperty("Demotable", [i] { return i->Demotable; }, [i](bool v) { i->Demotable = v; }));
        list.push_back(IntProperty("LastTimeUsed", [i] { return static_cast<int64_t>(static_cast<int32_t>(i->LastTimeUsed)); },
                                   [i](int64_t v) { i->LastTimeUsed = static_cast<uint32_t>(v); }));
    }

private:
    TMenuItem2000* FItem;
};

void TStoredNode::ListStoredChildren(std::vector<IStoredObject*>& list)
{
    FChildren.clear();
    for (int k = 0; k < FParent->Count(); ++k)
        if (auto* child = dynamic_cast<TMenuItem2000*>(FParent->Items(k))) {
            FChildren.push_back(std::make_unique<TStoredItem>(child, FOwner, FPool, FRead));
            list.push_back(FChildren.back().get());
        }
}

IStoredObject& TStoredNode::ReadChild(const std::string& className, const std::string& objectName)
{
    if (className != "TMenuItem2000")
        throw EReadError("Class " + className + " not found");
    TMenuItem2000* item = FPool->Take(objectName);
    if (!item) {
        item = NewComponent<TMenuItem2000>(FOwner);
        item->Name = objectName;
    }
    item->SetState(TComponent::csLoading | TComponent::csReading, true);
    FRead->push_back(item);
    FParent->Add(item);
    FChildren.push_back(std::make_unique<TStoredItem>(item, FOwner, FPool, FRead));
    return *FChildren.back();
}

class TStoredMenu : public TStoredNode {
public:
    TStoredMenu(TCustomPopupMenu2000& menu, TItemPool* pool, std::vector<TComponent*>* read)
        : TStoredNode(menu.Items(), menu.Owner() ? menu.Owner() : &menu, pool, read), FMenu(menu) {}
    std::string StoredClassName() override { return "TPopupMenu2000"; }
    std::string StoredObjectName() override { return FMenu.Name; }
    void ListStoredProperties(std::vector<TStoredProperty>& list) override
    {
        list.push_back(ObjectProperty("Options", [this] { return static_cast<IStoredProperties*>(&FMenu.RawOptions()); }));
    }

private:
    TCustomPopupMenu2000& FMenu;
};

std::vector<uint8_t> BinaryOf(TCustomPopupMenu2000& menu)
{
    TStoredMenu root(menu, nullptr, nullptr);
    TMemoryStream stream;
    menu.SetState(TComponent::csWriting, true);
    try {
        WriteObjectTree(stream, root);
    } catch (...) {
        menu.SetState(TComponent::csWriting, false);
        throw;
    }
    menu.SetState(TComponent::csWriting, false);
    return stream.Bytes();
}

// Reads a binary layout into the menu: the items named in it are kept, the others freed.
void ReadBinaryInto(TCustomPopupMenu2000& menu, const std::vector<uint8_t>& bytes)
{
    std::vector<TComponent*> read{&menu};
    {
        TItemPool pool(menu.Items());
        TStoredMenu root(menu, &pool, &read);
        menu.SetState(TComponent::csLoading | TComponent::csReading, true);
        try {
            ReadObjectTree(bytes.data(), bytes.size(), root);
        } catch (...) {
            for (TComponent* c : read)
                c->SetState(TComponent::csLoading | TComponent::csReading, false);
            throw;
        }
    }
    for (TComponent* c : read)
        c->SetState(TComponent::csReading, false);
    for (TComponent* c : read)
        if (c != &menu)
            c->Loaded();
    menu.SetState(TComponent::csLoading, false);
}

// The property table of a real object with setters that change nothing.
class TDryProperties : public IStoredProperties {
public:
    explicit TDryProperties(IStoredProperties& real) : FReal(real) {}
    void ListStoredProperties(std::vector<TStoredProperty>& list) override
    {
        std::vector<TStoredProperty> real;
        FReal.ListStoredProperties(real);
        for (TStoredProperty& p : real) {
            p.SetOrd = [](int64_t) {};
            p.SetText = [](const std::string&) {};
            if (p.Kind == TPropKind::Object)
                p.GetObject = [this, get = p.GetObject]() -> IStoredProperties* {
                    IStoredProperties* part = get ? get() : nullptr;
                    if (!part)
                        return nullptr;
                    FParts.push_back(std::make_unique<TDryProperties>(*part));
                    return FParts.back().get();
                };
            list.push_back(std::move(p));
        }
    }

private:
    IStoredProperties& FReal;
    std::vector<std::unique_ptr<TDryProperties>> FParts;
};

// Reads a layout against the menu's and an item's tables without changing anything, so that a
// damaged layout is refused before the menu is touched.
class TDryObject : public IStoredObject {
public:
    TDryObject(IStoredProperties& table, IStoredProperties& itemTable) : FProperties(table), FItemTable(itemTable) {}
    std::string StoredClassName() override { return {}; }
    std::string StoredObjectName() override { return {}; }
    void ListStoredProperties(std::vector<TStoredProperty>& list) override { FProperties.ListStoredProperties(list); }
    void ListStoredChildren(std::vector<IStoredObject*>&) override {}
    IStoredObject& ReadChild(const std::string& className, const std::string&) override
    {
        if (className != "TMenuItem2000")
            throw EReadError("Class " + className + " not found");
        FChildren.push_back(std::make_unique<TDryObject>(FItemTable, FItemTable));
        return *FChildren.back();
    }

private:
    TDryProperties FProperties;
    IStoredProperties& FItemTable;
    std::vector<std::unique_ptr<TDryObject>> FChildren;
};

void CheckLayout(TCustomPopupMenu2000& menu, const std::vector<uint8_t>& bytes)
{
    std::unique_ptr<TMenuItem2000> scratch(NewComponent<TMenuItem2000>(nullptr));
    TStoredItem itemTable(scratch.get(), nullptr, nullptr, nullptr);
    TStoredMenu menuTable(menu, nullptr, nullptr);
    TDryObject root(menuTable, itemTable);
    ReadObjectTree(bytes.data(), bytes.size(), root);
}

// Reads the layout; a damaged one raises the reader's error and changes nothing.
void ApplyLayout(TCustomPopupMenu2000& menu, const std::vector<uint8_t>& bytes)
{
    CheckLayout(menu, bytes);
    const std::vector<uint8_t> before = BinaryOf(menu);
    BeginMenuUpdate();
    try {
        ReadBinaryInto(menu, bytes);
    } catch (...) {
        ReadBinaryInto(menu, before);
        EndMenuUpdate();
        throw;
    }
    EndMenuUpdate();
    menu.RefreshIfShowing();
}

// Ends the update lock however the load ends.
struct TUpdateLock {
    TUpdateLock() { BeginMenuUpdate(); }
    ~TUpdateLock() { EndMenuUpdate(); }
    TUpdateLock(const TUpdateLock&) = delete;
    TUpdateLock& operator=(const TUpdateLock&) = delete;
};

std::string RegistryKey()
{
    std::string key = MenuOrderKey();
    ReplaceFirst(key, "\\$(MENU)", "");
    return key;
}

}  // namespace

std::string MenuFileName(const TCustomPopupMenu2000& menu)
{
    std::string name = MenuOrderPattern();
    const uint8_t mode = MenuStorageMode();
    ReplaceFirst(name, "$(MENU)", menu.Name + (mode < 5 ? Extensions[mode] : ""));
    return name;
}

void WriteMenuToStream(TCustomPopupMenu2000& menu, TStream& stream, int form)
{
    TMemoryStream binary;
    const std::vector<uint8_t> bytes = BinaryOf(menu);
    binary.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    binary.SetPosition(0);
    if (form == TextForm)
        ObjectBinaryToText(binary, stream);
    else
        ObjectBinaryToXml(binary, stream);
}

void ReadMenuFromStream(TCustomPopupMenu2000& menu, TStream& stream, int form)
{
    TMemoryStream binary;
    if (form == TextForm)
        ObjectTextToBinary(stream, binary);
    else
        ObjectXmlToBinary(stream, binary);
    ApplyLayout(menu, binary.Bytes());
}

void WriteMenuToFile(TCustomPopupMenu2000& menu, const std::string& fileName, int form)
{
    TMemoryStream out;
    if (form == BinaryForm) {
        const std::vector<uint8_t> bytes = BinaryOf(menu);
        WriteResourceHeader(out, menu.Name, static_cast<uint32_t>(bytes.size()));
        out.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    } else {
        WriteMenuToStream(menu, out, form);
    }
    if (!SaveFileAtomically(fileName, out.Memory(), out.Bytes().size()))
        throw EFCreateError("Cannot create file \"" + fileName + "\"");
}

void ReadMenuFromFile(TCustomPopupMenu2000& menu, const std::string& fileName, int form)
{
    TMemoryStream in;
    in.LoadFromFile(fileName);
    if (in.Bytes().empty())
        return;
    if (form == BinaryForm) {
        const size_t at = SkipResourceHeader(in.Memory(), in.Bytes().size());
        ApplyLayout(menu, std::vector<uint8_t>(in.Bytes().begin() + static_cast<std::ptrdiff_t>(at), in.Bytes().end()));
    } else {
        in.SetPosition(0);
        ReadMenuFromStream(menu, in, form);
    }
}

void WriteMenuToRegistry(TCustomPopupMenu2000& menu)
{
    if (menu.Name.empty())
        return;
    TRegistry registry;
    if (!registry.OpenKey(RegistryKey(), true))
        return;
    TMemoryStream xml;
    WriteMenuToStream(menu, xml, XmlForm);
    registry.WriteString(menu.Name, std::string(xml.Bytes().begin(), xml.Bytes().end()));
}

void ReadMenuFromRegistry(TCustomPopupMenu2000& menu)
{
    if (menu.Name.empty())
        return;
    TRegistry registry;
    if (!registry.OpenKey(RegistryKey(), true) || registry.GetDataType(menu.Name) != rdString)
        return;
    const std::string xml = registry.ReadString(menu.Name);
    if (xml.empty())
        return;
    TMemoryStream stream;
    stream.WriteBuffer(xml.data(), static_cast<int64_t>(xml.size()));
    stream.SetPosition(0);
    ReadMenuFromStream(menu, stream, XmlForm);
}

void LoadMenuOrder(TCustomPopupMenu2000* menu)
{
    const uint8_t mode = MenuStorageMode();
    if (!menu || mode == 0 || mode > 4)
        return;
    TUpdateLock lock;
    if (mode == 1) {
        ReadMenuFromRegistry(*menu);
        return;
    }
    const std::string fileName = MenuFileName(*menu);
    if (FileExists(fileName))
        ReadMenuFromFile(*menu, fileName, mode - 1);
}

void SaveMenuOrder(TCustomPopupMenu2000* menu)
{
    const uint8_t mode = MenuStorageMode();
    if (!menu || mode == 0 || mode > 4)
        return;
    if (mode == 1) {
        WriteMenuToRegistry(*menu);
        return;
    }
    const std::string fileName = MenuFileName(*menu);
    const std::string folder = ExtractFileDir(fileName);
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    if ((attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) &&
        !CreateDirectoryA(folder.c_str(), nullptr))
        return;
    WriteMenuToFile(*menu, fileName, mode - 1);
}

// ---- Moving items ----

TMenuDragState& MenuDragState()
{
    static TMenuDragState state;
    return state;
}

void SetDropTarget(TMenuItem* item)
{
    TMenuDragState& s = MenuDragState();
    if (s.Target)
        s.Previous = s.Target;
    s.Target = item;
}

namespace {

void MoveDraggedItem(TMenuDragState& s)
{
    TMenuItem* dragged = s.Dragged;
    TMenuItem* target = s.Target;
    if (target) {
        for (TMenuItem* p = target; p; p = p->Parent())
            if (p == dragged)
                throw EMenuError("Cannot move menu item into it's own submenu");
        if (s.NewParent && s.NewParent != dragged->Parent()) {
            if (dragged->Parent())
                dragged->Parent()->Remove(dragged);
            s.NewParent->Add(dragged);
        }
    }
    TMenuItem* parent = dragged->Parent();
    if (!parent)
        return;
    int index = 0x7FFFFFFF;
    if (target) {
        index = target->MenuIndex();
        // Taking the item out first shifts the target up by one within the same parent.
        if (target->Parent() == parent && dragged->MenuIndex() < index)
            --index;
    }
    parent->Remove(dragged);
    parent->Insert(std::min(index, parent->Count()), dragged);
    if (!dragged->Designing())
        StoreMenuItem(dragged);
}

}  // namespace

void MoveMenuItem(bool accept)
{
    TMenuDragState& s = MenuDragState();
    const TMenuDragState drag = s;
    s = TMenuDragState();
    auto repaint = [accept] {
        for (int k = 0; k < MenuBarCount(); ++k)
            if (TMenuBar2000* bar = MenuBarAt(k); bar->HandleAllocated())
                SendMessageA(bar->HandleOrNull(), 0x514, 11, 0);
        if (TCustomPopupMenu2000* current = CurrentPopupMenu())
            if (IPopupMenuWindow* window = current->PopupForm()) {
                window->SetWindowOption(11, 0);
                if (!accept)
                    window->SetWindowOption(15, 1);
                window->RebuildItems();
            }
    };
    if (accept && drag.Dragged && (drag.Target || drag.TargetCode != TMenuDragState::NoTarget)) {
        TMenuDragState moving = drag;
        try {
            MoveDraggedItem(moving);
        } catch (...) {
            repaint();
            throw;
        }
    }
    repaint();
}
