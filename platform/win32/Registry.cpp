// The real registry through the ANSI functions of Win32.
#include <windows.h>
#include <shlwapi.h>

#include "platform/Error.h"
#include "platform/Registry.h"

namespace plat {

namespace {

HKEY RootHandle(RootKey root) { return root == RootKey::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }

// The answer of a registry call, its error code kept when it failed.
bool Kept(LONG result) {
    if (result != ERROR_SUCCESS) KeepError(static_cast<uint32_t>(result));
    return result == ERROR_SUCCESS;
}

// A leading backslash would make the path start at the root key's parent.
std::string Relative(const std::string& subKey) {
    return (!subKey.empty() && subKey[0] == '\\') ? subKey.substr(1) : subKey;
}

}  // namespace

void RegKeyTraits::Close(Type handle) { RegCloseKey(static_cast<HKEY>(handle)); }

bool RegKey::Open(RootKey root, const std::string& subKey, RegAccess access) {
    Close();
    HKEY key = nullptr;
    REGSAM sam = access == RegAccess::AllAccess ? KEY_ALL_ACCESS : KEY_READ;
    if (!Kept(RegOpenKeyExA(RootHandle(root), Relative(subKey).c_str(), 0, sam, &key))) return false;
    handle_.Reset(key);
    return true;
}

bool RegKey::Create(RootKey root, const std::string& subKey) {
    Close();
    HKEY key = nullptr;
    if (!Kept(RegCreateKeyExA(RootHandle(root), Relative(subKey).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr))) {
        return false;
    }
    handle_.Reset(key);
    return true;
}

bool RegKey::ReadValue(const std::string& name, RegType& type, std::string& data) const {
    if (!IsOpen()) return false;
    HKEY key = static_cast<HKEY>(handle_.Get());
    DWORD valueType = 0, size = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &valueType, nullptr, &size) != ERROR_SUCCESS) return false;
    std::string buffer(size + 1, '\0');
    LONG r;
    // The value can grow between the two calls: ask again with the new size.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD got = static_cast<DWORD>(buffer.size());
        r = RegQueryValueExA(key, name.c_str(), nullptr, &valueType, reinterpret_cast<BYTE*>(&buffer[0]), &got);
        if (r == ERROR_MORE_DATA) {
            buffer.assign(got + 1, '\0');
            continue;
        }
        if (r != ERROR_SUCCESS) return false;
        buffer.resize(got);
        break;
    }
    if (r != ERROR_SUCCESS) return false;
    switch (valueType) {
        case REG_SZ: type = RegType::String; break;
        case REG_EXPAND_SZ: type = RegType::ExpandString; break;
        case REG_DWORD: type = RegType::Dword; break;
        default: type = RegType::Other; break;
    }
    if (type == RegType::String || type == RegType::ExpandString) {
        size_t zero = buffer.find('\0');
        if (zero != std::string::npos) buffer.resize(zero);
    }
    data.swap(buffer);
    return true;
}

bool RegKey::WriteString(const std::string& name, const std::string& value) {
    if (!IsOpen()) return Kept(ERROR_INVALID_HANDLE);
    // The stored size counts the terminating zero.
    return Kept(RegSetValueExA(static_cast<HKEY>(handle_.Get()), name.c_str(), 0, REG_SZ,
                               reinterpret_cast<const BYTE*>(value.c_str()), static_cast<DWORD>(value.size() + 1)));
}

bool RegKey::WriteDword(const std::string& name, uint32_t value) {
    if (!IsOpen()) return Kept(ERROR_INVALID_HANDLE);
    const DWORD data = value;
    return Kept(RegSetValueExA(static_cast<HKEY>(handle_.Get()), name.c_str(), 0, REG_DWORD,
                               reinterpret_cast<const BYTE*>(&data), sizeof data));
}

bool DeleteKeyTree(RootKey root, const std::string& subKey) {
    std::string relative = Relative(subKey);
    if (relative.empty()) return false;  // never the root key itself
    // RegDeleteKeyA refuses a key with subkeys; SHDeleteKeyA takes the whole tree.
    return Kept(SHDeleteKeyA(RootHandle(root), relative.c_str()));
}

}  // namespace plat
