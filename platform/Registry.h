#pragma once
// Registry services. Sub-key paths are given without a leading backslash
// (a leading one is stripped: it only means "from the root key").
#include <cstdint>
#include <string>

#include "platform/UniqueHandle.h"

namespace plat {

enum class RootKey { LocalMachine, CurrentUser };
enum class RegAccess { Read, AllAccess };  // KEY_READ, KEY_ALL_ACCESS
enum class RegType { None, String, ExpandString, Dword, Other };

// The close policy of an open key; each backend closes its own kind.
struct RegKeyTraits {
    using Type = void*;
    static Type Invalid() { return nullptr; }
    static void Close(Type handle);
};

// An open registry key, closed on every path out.
class RegKey {
public:
    bool Open(RootKey root, const std::string& subKey, RegAccess access);
    // Opens the key, creating it and its missing parents, with all access rights.
    bool Create(RootKey root, const std::string& subKey);
    // Reads a value: false when it is missing (or the key is not open).
    // For string types, data holds the bytes up to the first zero byte.
    bool ReadValue(const std::string& name, RegType& type, std::string& data) const;
    bool WriteString(const std::string& name, const std::string& value);
    // A REG_DWORD; read back as its four bytes, least significant first.
    bool WriteDword(const std::string& name, uint32_t value);
    bool IsOpen() const { return handle_.IsValid(); }
    void Close() { handle_.Reset(); }

private:
    UniqueHandle<RegKeyTraits> handle_;
};

// Deletes the key with all its subkeys. False when it could not be deleted
// (or did not exist).
bool DeleteKeyTree(RootKey root, const std::string& subKey);

}  // namespace plat
