#include "Classes.h"

#include <algorithm>
#include <cstring>

// ---- TPersistent ----

void TPersistent::Assign(const TPersistent& source)
{
    (void)source;
    throw EConvertError("Cannot assign");
}

// ---- TComponent ----

TComponent::TComponent(TComponent* owner)
{
    if (owner)
        owner->Insert(this);
}

TComponent::~TComponent()
{
    DestroyComponents();
    if (FOwner)
        FOwner->Remove(this);
}

void TComponent::DestroyComponents()
{
    // Newest first, so later components may still use earlier ones while they close.
    while (!FComponents.empty()) {
        TComponent* last = FComponents.back();
        std::unique_ptr<TComponent> owned(last);  // its destructor leaves our list
        owned.reset();
        if (!FComponents.empty() && FComponents.back() == last)
            FComponents.pop_back();
    }
}

TComponent* TComponent::FindComponent(const std::string& name) const
{
    for (TComponent* c : FComponents)
        if (SameText(c->Name, name))
            return c;
    return nullptr;
}

void TComponent::Insert(TComponent* component)
{
    FComponents.push_back(component);
    component->FOwner = this;
}

void TComponent::Remove(TComponent* component)
{
    const auto it = std::find(FComponents.begin(), FComponents.end(), component);
    if (it == FComponents.end())
        return;
    FComponents.erase(it);
    component->FOwner = nullptr;
    for (TComponent* c : FComponents)
        c->Notification(component, true);
}

// ---- TStringList ----

TStringList::TStringList(std::initializer_list<std::string> items)
{
    for (const auto& s : items)
        Add(s);
}

void TStringList::CheckIndex(int index) const
{
    if (index < 0 || index >= Count())
        throw EStringListError(Format("List index out of bounds (%d)", index));
}

const std::string& TStringList::Strings(int index) const
{
    CheckIndex(index);
    return FItems[static_cast<size_t>(index)].Text;
}

void TStringList::SetString(int index, const std::string& value)
{
    CheckIndex(index);
    FItems[static_cast<size_t>(index)].Text = value;
    Changed();
}

TObject* TStringList::Objects(int index) const
{
    CheckIndex(index);
    return FItems[static_cast<size_t>(index)].Object;
}

void TStringList::SetObject(int index, TObject* object)
{
    CheckIndex(index);
    FItems[static_cast<size_t>(index)].Object = object;
    Changed();
}

int TStringList::Compare(const std::string& a, const std::string& b) const
{
    return CaseSensitive ? a.compare(b) : CompareText(a, b);
}

int TStringList::Add(const std::string& text)
{
    return AddObject(text, nullptr);
}

int TStringList::AddObject(const std::string& text, TObject* object)
{
    int index = Count();
    if (FSorted) {
        if (Find(text, index)) {
            if (Duplicates == dupIgnore)
                return index;
            if (Duplicates == dupError)
                throw EStringListError("String list does not allow duplicates");
        }
    }
    FItems.insert(FItems.begin() + index, Item{text, object});
    Changed();
    return index;
}

void TStringList::AddStrings(const TStringList& other)
{
    BeginUpdate();
    for (const auto& item : other.FItems)
        AddObject(item.Text, item.Object);
    EndUpdate();
}

void TStringList::Insert(int index, const std::string& text, TObject* object)
{
    if (FSorted)
        throw EStringListError("Operation not allowed on sorted list");
    if (index < 0 || index > Count())
        throw EStringListError(Format("List index out of bounds (%d)", index));
    FItems.insert(FItems.begin() + index, Item{text, object});
    Changed();
}

void TStringList::Delete(int index)
{
    CheckIndex(index);
    FItems.erase(FItems.begin() + index);
    Changed();
}

void TStringList::Move(int from, int to)
{
    if (from == to)
        return;
    CheckIndex(from);
    CheckIndex(to);
    Item item = FItems[static_cast<size_t>(from)];
    FItems.erase(FItems.begin() + from);
    FItems.insert(FItems.begin() + to, item);
    Changed();
}

void TStringList::Exchange(int a, int b)
{
    CheckIndex(a);
    CheckIndex(b);
    std::swap(FItems[static_cast<size_t>(a)], FItems[static_cast<size_t>(b)]);
    Changed();
}

void TStringList::Clear()
{
    if (FItems.empty())
        return;
    FItems.clear();
    Changed();
}

void TStringList::Assign(const TStringList& other)
{
    if (&other == this)
        return;
    FItems = other.FItems;
    Changed();
}

int TStringList::IndexOf(const std::string& text) const
{
    if (FSorted) {
        int index = 0;
        return Find(text, index) ? index : -1;
    }
    for (size_t i = 0; i < FItems.size(); ++i)
        if (Compare(FItems[i].Text, text) == 0)
            return static_cast<int>(i);
    return -1;
}

int TStringList::IndexOfObject(const TObject* object) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].Object == object)
            return static_cast<int>(i);
    return -1;
}

int TStringList::IndexOfName(const std::string& name) const
{
    for (size_t i = 0; i < FItems.size(); ++i) {
        const std::string& s = FItems[i].Text;
        const size_t eq = s.find('=');
        if (eq != std::string::npos && Compare(s.substr(0, eq), name) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

std::string TStringList::Names(int index) const
{
    const std::string& s = Strings(index);
    const size_t eq = s.find('=');
    return eq == std::string::npos ? std::string() : s.substr(0, eq);
}

std::string TStringList::ValueFromIndex(int index) const
{
    const std::string& s = Strings(index);
    const size_t eq = s.find('=');
    return eq == std::string::npos ? std::string() : s.substr(eq + 1);
}

std::string TStringList::Values(const std::string& name) const
{
    const int index = IndexOfName(name);
    return index < 0 ? std::string() : ValueFromIndex(index);
}

void TStringList::SetValue(const std::string& name, const std::string& value)
{
    const int index = IndexOfName(name);
    if (value.empty()) {
        if (index >= 0)
            Delete(index);
    } else if (index >= 0) {
        SetString(index, name + "=" + value);
    } else {
        Add(name + "=" + value);
    }
}

std::string TStringList::Text() const
{
    std::string out;
    for (const auto& item : FItems)
        out.append(item.Text).append("\r\n");
    return out;
}

void TStringList::SetText(std::string_view text)
{
    BeginUpdate();
    FItems.clear();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        Add(std::string(text.substr(start, end - start)));
        if (end < text.size() && text[end] == '\r')
            ++end;
        if (end < text.size() && text[end] == '\n')
            ++end;
        start = end;
    }
    Changed();
    EndUpdate();
}

std::string TStringList::CommaText() const
{
    std::string out;
    for (size_t i = 0; i < FItems.size(); ++i) {
        const std::string& s = FItems[i].Text;
        if (i)
            out += ',';
        const bool quote = s.empty() || s.find_first_of(" ,\"") != std::string::npos ||
                           std::any_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < ' '; });
        if (!quote) {
            out += s;
            continue;
        }
        out += '"';
        for (const char c : s) {
            if (c == '"')
                out += '"';
            out += c;
        }
        out += '"';
    }
    return out;
}

void TStringList::SetCommaText(std::string_view text)
{
    BeginUpdate();
    FItems.clear();
    size_t i = 0;
    auto skipBlanks = [&] { while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i; };
    skipBlanks();
    while (i < text.size()) {
        std::string item;
        if (text[i] == '"') {
            ++i;
            while (i < text.size()) {
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        item += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += text[i++];
            }
        } else {
            while (i < text.size() && text[i] != ',' && static_cast<unsigned char>(text[i]) > ' ')
                item += text[i++];
        }
        Add(item);
        skipBlanks();
        if (i < text.size() && text[i] == ',') {
            ++i;
            skipBlanks();
        }
    }
    Changed();
    EndUpdate();
}

void TStringList::Sort()
{
    std::stable_sort(FItems.begin(), FItems.end(),
                     [this](const Item& a, const Item& b) { return Compare(a.Text, b.Text) < 0; });
    Changed();
}

void TStringList::CustomSort(const std::function<int(const TStringList&, int, int)>& compare)
{
    // Sort a permutation, then apply it, so the comparer always sees the list as it was.
    std::vector<int> order(FItems.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(*this, a, b) < 0; });
    std::vector<Item> sorted;
    sorted.reserve(FItems.size());
    for (const int i : order)
        sorted.push_back(FItems[static_cast<size_t>(i)]);
    FItems = std::move(sorted);
    Changed();
}

void TStringList::SetSorted(bool value)
{
    if (value && !FSorted)
        Sort();
    FSorted = value;
}

bool TStringList::Find(const std::string& text, int& index) const
{
    int lo = 0;
    int hi = Count() - 1;
    bool found = false;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        const int c = Compare(FItems[static_cast<size_t>(mid)].Text, text);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) {
                found = true;
                if (Duplicates != dupAccept)
                    lo = mid;
            }
        }
    }
    index = lo;
    return found;
}

void TStringList::LoadFromStream(TStream& stream)
{
    const int64_t left = stream.Size() - stream.Position();
    std::string text(static_cast<size_t>(left > 0 ? left : 0), '\0');
    stream.ReadBuffer(text.data(), static_cast<int64_t>(text.size()));
    SetText(text);
}

void TStringList::SaveToStream(TStream& stream) const
{
    const std::string text = Text();
    stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

void TStringList::LoadFromFile(const std::string& fileName)
{
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

void TStringList::SaveToFile(const std::string& fileName) const
{
    const std::string text = Text();
    if (!SaveFileAtomically(fileName, text.data(), text.size()))
        throw EFCreateError("Cannot create file \"" + fileName + "\"");
}

void TStringList::EndUpdate()
{
    if (FUpdateCount > 0)
        --FUpdateCount;
    if (FUpdateCount == 0)
        Changed();
}

void TStringList::Changed()
{
    if (FUpdateCount == 0 && OnChange)
        OnChange(this);
}

// ---- TStream ----

int64_t TStream::Size()
{
    const int64_t here = Seek(0, soCurrent);
    const int64_t size = Seek(0, soEnd);
    Seek(here, soBeginning);
    return size;
}

void TStream::ReadBuffer(void* buffer, int64_t count)
{
    if (count != 0 && Read(buffer, count) != count)
        throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, int64_t count)
{
    if (count != 0 && Write(buffer, count) != count)
        throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream& source, int64_t count)
{
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    std::vector<uint8_t> chunk(static_cast<size_t>(std::min<int64_t>(count, 61440)));
    int64_t left = count;
    while (left > 0) {
        const int64_t n = std::min<int64_t>(left, static_cast<int64_t>(chunk.size()));
        source.ReadBuffer(chunk.data(), n);
        WriteBuffer(chunk.data(), n);
        left -= n;
    }
    return count;
}

// ---- TMemoryStream ----

int64_t TMemoryStream::Read(void* buffer, int64_t count)
{
    const int64_t size = static_cast<int64_t>(FData.size());
    if (count <= 0 || FPosition >= size)
        return 0;
    const int64_t n = std::min(count, size - FPosition);
    std::memcpy(buffer, FData.data() + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count)
{
    if (count <= 0 || FPosition < 0)
        return 0;
    const int64_t end = FPosition + count;
    if (end > static_cast<int64_t>(FData.size()))
        FData.resize(static_cast<size_t>(end));
    std::memcpy(FData.data() + FPosition, buffer, static_cast<size_t>(count));
    FPosition = end;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin)
{
    const int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? FPosition : static_cast<int64_t>(FData.size());
    FPosition = base + offset;
    return FPosition;
}

void TMemoryStream::SetSize(int64_t size)
{
    FData.resize(static_cast<size_t>(std::max<int64_t>(size, 0)));
    if (FPosition > size)
        FPosition = size;
}

void TMemoryStream::Clear()
{
    FData.clear();
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream)
{
    stream.SetPosition(0);
    const int64_t size = stream.Size();
    SetSize(size);
    stream.ReadBuffer(FData.data(), size);
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const std::string& fileName)
{
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

void TMemoryStream::SaveToStream(TStream& stream) const
{
    stream.WriteBuffer(FData.data(), static_cast<int64_t>(FData.size()));
}

void TMemoryStream::SaveToFile(const std::string& fileName) const
{
    if (!SaveFileAtomically(fileName, FData.data(), FData.size()))
        throw EFCreateError("Cannot create file \"" + fileName + "\"");
}

// ---- TFileStream ----

TFileStream::TFileStream(const std::string& fileName, uint32_t mode) : FFileName(fileName)
{
    if (mode == fmCreate) {
        FHandle = FileCreate(fileName);
        if (FHandle == INVALID_FILE_HANDLE)
            throw EFCreateError("Cannot create file \"" + fileName + "\"");
    } else {
        FHandle = FileOpen(fileName, mode);
        if (FHandle == INVALID_FILE_HANDLE)
            throw EFOpenError("Cannot open file \"" + fileName + "\"");
    }
}

TFileStream::~TFileStream()
{
    FileClose(FHandle);
}

int64_t TFileStream::Read(void* buffer, int64_t count)
{
    int64_t total = 0;
    auto* out = static_cast<uint8_t*>(buffer);
    while (count > 0) {
        const int32_t n = FileRead(FHandle, out + total, static_cast<int32_t>(std::min<int64_t>(count, 1 << 30)));
        if (n <= 0)
            break;
        total += n;
        count -= n;
    }
    return total;
}

int64_t TFileStream::Write(const void* buffer, int64_t count)
{
    int64_t total = 0;
    const auto* in = static_cast<const uint8_t*>(buffer);
    while (count > 0) {
        const int32_t n = FileWrite(FHandle, in + total, static_cast<int32_t>(std::min<int64_t>(count, 1 << 30)));
        if (n <= 0)
            break;
        total += n;
        count -= n;
    }
    return total;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin)
{
    return FileSeek(FHandle, offset, origin);
}

void TFileStream::SetSize(int64_t size)
{
    const int64_t here = Position();
    if (FileSeek(FHandle, size, soBeginning) != size || !FileTruncate(FHandle))
        throw EWriteError("Stream write error");
    if (here < size)
        FileSeek(FHandle, here, soBeginning);
}

bool SaveFileAtomically(const std::string& fileName, const void* data, size_t size)
{
    const std::string temp = fileName + ".~tmp";
    const THandle handle = FileCreate(temp);
    if (handle == INVALID_FILE_HANDLE)
        return false;
    const auto* bytes = static_cast<const uint8_t*>(data);
    size_t done = 0;
    bool ok = true;
    while (ok && done < size) {
        const int32_t n = FileWrite(handle, bytes + done, static_cast<int32_t>(std::min<size_t>(size - done, 1 << 30)));
        ok = n > 0;
        if (ok)
            done += static_cast<size_t>(n);
    }
    FileClose(handle);
    if (!ok || !FileReplace(temp, fileName)) {
        FileDelete(temp);
        return false;
    }
    return true;
}
