#pragma once
// Registry access in the class library's manner: a root key, one open key, typed values.
// A key path that begins with '\' starts at the root key; otherwise it is relative to the open key.
#include "Classes.h"
#include "WinHandles.h"

#include <vector>

class ERegistryException : public Exception { using Exception::Exception; };

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

class TRegistry : public TObject {
public:
    explicit TRegistry(REGSAM access = KEY_ALL_ACCESS);
    ~TRegistry() override;

    HKEY RootKey() const { return FRootKey; }
    void SetRootKey(HKEY key);
    HKEY CurrentKey() const { return FCurrentKey.Get(); }
    const std::string& CurrentPath() const { return FCurrentPath; }

    bool OpenKey(const std::string& key, bool canCreate);
    bool OpenKeyReadOnly(const std::string& key);
    void CloseKey();
    bool KeyExists(const std::string& key);
    bool CreateKey(const std::string& key);
    bool DeleteKey(const std::string& key);  // with its subkeys
    bool HasSubKeys();
    void GetKeyNames(TStringList& names);
    void GetValueNames(TStringList& names);

    bool ValueExists(const std::string& name);
    TRegDataType GetDataType(const std::string& name);
    int GetDataSize(const std::string& name);  // -1 when the value is missing
    bool DeleteValue(const std::string& name);

    // Readers raise ERegistryException when the value is missing or has another type.
    std::string ReadString(const std::string& name);
    int ReadInteger(const std::string& name);
    bool ReadBool(const std::string& name);
    double ReadFloat(const std::string& name);  // an 8-byte binary value
    int ReadBinaryData(const std::string& name, void* buffer, int size);
    std::vector<uint8_t> ReadBinary(const std::string& name);

    // Writers raise ERegistryException when the value cannot be written.
    void WriteString(const std::string& name, const std::string& value);
    void WriteExpandString(const std::string& name, const std::string& value);
    void WriteInteger(const std::string& name, int value);
    void WriteBool(const std::string& name, bool value);
    void WriteFloat(const std::string& name, double value);
    void WriteBinaryData(const std::string& name, const void* buffer, int size);

private:
    HKEY BaseFor(const std::string& key, std::string& relative) const;
    void PutData(const std::string& name, const void* data, DWORD size, DWORD type);
    DWORD GetData(const std::string& name, void* buffer, DWORD size, DWORD& type);
    HKEY FRootKey = HKEY_CURRENT_USER;
    TRegKey FCurrentKey;
    std::string FCurrentPath;
    REGSAM FAccess;
};
