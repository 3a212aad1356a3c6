#pragma once
// Portable core of the class library: objects with owners, string lists and streams.
#include "SysUtils.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TObject {
public:
    virtual ~TObject() = default;
};

class TStream;
class TFiler;

// An object that can be assigned from another and that names what it streams.
class TPersistent : public TObject {
public:
    // Copies the source's state; the base raises EConvertError ("Cannot assign").
    virtual void Assign(const TPersistent& source);
    // Declares the properties the object streams beyond its published ones.
    virtual void DefineProperties(TFiler& filer) { (void)filer; }
};

using TNotifyEvent = std::function<void(TObject* sender)>;
using TStreamProc = std::function<void(TStream& stream)>;

// What an object streaming itself sees of the reader or writer: the object it is compared
// with when written (none for a plain write) and the way to stream binary data.
class TFiler {
public:
    virtual ~TFiler() = default;
    // A binary property: a writer calls writeData when hasData is set; a reader calls readData
    // when the stream holds the property.
    virtual void DefineBinaryProperty(const std::string& name, const TStreamProc& readData,
                                      const TStreamProc& writeData, bool hasData) = 0;
    const TPersistent* Ancestor = nullptr;
};

// A component owns the components created with it as owner and frees them with itself,
// newest first; a component freed earlier leaves its owner's list.
class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* owner = nullptr);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return FOwner; }
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int index) const { return FComponents.at(static_cast<size_t>(index)); }
    TComponent* FindComponent(const std::string& name) const;

    std::string Name;
    intptr_t Tag = 0;

    // Being designed: the component then keeps its values without touching the system.
    // Components made with a designing owner are designing too.
    bool Designing() const { return FDesigning; }
    void SetDesigning(bool value) { FDesigning = value; }

    // Loading (properties being read from a stream until Loaded), reading, writing, and being
    // destroyed (set by Destroying, which derived destructors call first).
    enum : unsigned { csLoading = 1, csReading = 2, csWriting = 4, csDestroying = 8 };
    unsigned ComponentState() const { return FState; }
    bool InState(unsigned bits) const { return (FState & bits) != 0; }
    void SetState(unsigned bits, bool on) { FState = on ? (FState | bits) : (FState & ~bits); }
    void Destroying() { FState |= csDestroying; }
    // Called once the stream's properties are all read; ends loading.
    virtual void Loaded() { FState &= ~static_cast<unsigned>(csLoading); }

protected:
    // Frees the owned components now, newest first; derived destructors call it when their
    // components must go before their own resources do.
    void DestroyComponents();
    // Called on every owned component when one of them is freed.
    virtual void Notification(TComponent* component, bool removing) { (void)component; (void)removing; }

private:
    void Insert(TComponent* component);
    void Remove(TComponent* component);
    TComponent* FOwner = nullptr;
    std::vector<TComponent*> FComponents;
    bool FDesigning = false;
    unsigned FState = 0;
};

// Makes a component owned by `owner`; the owner frees it.
template <class T, class... Args>
T* NewComponent(TComponent* owner, Args&&... args)
{
    auto made = std::make_unique<T>(owner, std::forward<Args>(args)...);
    return made.release();  // the owner's list holds it now
}

class EStringListError : public Exception { using Exception::Exception; };
class EReadError : public Exception { using Exception::Exception; };
class EWriteError : public Exception { using Exception::Exception; };
class EFOpenError : public Exception { using Exception::Exception; };
class EFCreateError : public Exception { using Exception::Exception; };

enum TDuplicates { dupIgnore, dupAccept, dupError };

// An ordered list of strings, each with an object pointer it does not own.
// Comparisons ignore case unless CaseSensitive is set.
class TStringList : public TPersistent {
public:
    TStringList() = default;
    TStringList(std::initializer_list<std::string> items);

    int Count() const { return static_cast<int>(FItems.size()); }
    const std::string& Strings(int index) const;
    const std::string& operator[](int index) const { return Strings(index); }
    void SetString(int index, const std::string& value);
    TObject* Objects(int index) const;
    void SetObject(int index, TObject* object);

    int Add(const std::string& text);
    int AddObject(const std::string& text, TObject* object);
    void AddStrings(const TStringList& other);
    void Insert(int index, const std::string& text, TObject* object = nullptr);
    void Delete(int index);
    void Move(int from, int to);
    void Exchange(int a, int b);
    void Clear();
    void Assign(const TStringList& other);

    int IndexOf(const std::string& text) const;
    int IndexOfObject(const TObject* object) const;
    // "Name=Value" pairs.
    int IndexOfName(const std::string& name) const;
    std::string Names(int index) const;
    std::string ValueFromIndex(int index) const;
    std::string Values(const std::string& name) const;
    void SetValue(const std::string& name, const std::string& value);

    // Lines joined with CRLF, each line terminated; setting splits on CR, LF or CRLF.
    std::string Text() const;
    void SetText(std::string_view text);
    std::string CommaText() const;
    void SetCommaText(std::string_view text);

    void Sort();
    void CustomSort(const std::function<int(const TStringList&, int, int)>& compare);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool value);
    bool Find(const std::string& text, int& index) const;  // binary search of a sorted list

    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName) const;

    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();

    bool CaseSensitive = false;
    TDuplicates Duplicates = dupIgnore;
    TNotifyEvent OnChange;

private:
    struct Item {
        std::string Text;
        TObject* Object = nullptr;
    };
    int Compare(const std::string& a, const std::string& b) const;
    void CheckIndex(int index) const;
    void Changed();
    std::vector<Item> FItems;
    bool FSorted = false;
    int FUpdateCount = 0;
};

class TStream : public TObject {
public:
    virtual int64_t Read(void* buffer, int64_t count) = 0;
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
    virtual void SetSize(int64_t size) = 0;

    int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int64_t position) { Seek(position, soBeginning); }
    int64_t Size();

    // Whole reads and writes; "Stream read error" / "Stream write error" when short.
    void ReadBuffer(void* buffer, int64_t count);
    void WriteBuffer(const void* buffer, int64_t count);
    // Copies count bytes from source (0: all of source from its start); returns the bytes copied.
    int64_t CopyFrom(TStream& source, int64_t count);

    template <class T> T ReadValue() { T value{}; ReadBuffer(&value, sizeof value); return value; }
    template <class T> void WriteValue(const T& value) { WriteBuffer(&value, sizeof value); }
};

class TMemoryStream : public TStream {
public:
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t size) override;

    uint8_t* Memory() { return FData.data(); }
    const uint8_t* Memory() const { return FData.data(); }
    const std::vector<uint8_t>& Bytes() const { return FData; }
    void Clear();
    void LoadFromStream(TStream& stream);
    void LoadFromFile(const std::string& fileName);
    void SaveToStream(TStream& stream) const;
    void SaveToFile(const std::string& fileName) const;

private:
    std::vector<uint8_t> FData;
    int64_t FPosition = 0;
};

inline constexpr uint32_t fmCreate = 0xFF00;

// A stream over a file; fmCreate makes or truncates it. Failing to open raises
// EFOpenError / EFCreateError with the file name in the message.
class TFileStream : public TStream {
public:
    TFileStream(const std::string& fileName, uint32_t mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t size) override;
    const std::string& FileName() const { return FFileName; }

private:
    std::string FFileName;
    THandle FHandle = INVALID_FILE_HANDLE;
};

// Writes a whole file or nothing: the content goes to a temporary file beside the target,
// which then replaces it. A failure leaves the old file as it was.
bool SaveFileAtomically(const std::string& fileName, const void* data, size_t size);
