// The sim backend's registry: an in-memory tree per root key.
#include "platform/sim/SimRegistry.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>

#include "platform/AnsiText.h"
#include "platform/Error.h"
#include "platform/Locale.h"
#include "platform/sim/SimFileSystem.h"

namespace sim {

const char* const kCurrentVersionKey = "Software\\Microsoft\\Windows\\CurrentVersion";
const char* const kShellFoldersKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

namespace {

struct Value {
    std::string name;
    plat::RegType type = plat::RegType::String;
    std::string data;
};

struct Key {
    std::string name;
    std::map<std::string, std::unique_ptr<Key>> subKeys;  // by folded name
    std::map<std::string, Value> values;                  // by folded name
};

struct Registry {
    Key roots[2];
    bool standardUser = false;
    std::set<std::string> failDelete, failWrites;  // "0\folded\path" / "1\..."
    std::set<std::pair<std::string, std::string>> failValues;  // key as above, folded value name
    int openKeys = 0;
};

Registry& Reg();

// ASCII case folding that leaves double-byte characters alone.
std::string Fold(const std::string& s) { return plat::ansi::AsciiCase(s, false); }

// The components of a sub-key path; a "\" trail byte does not split.
std::vector<std::string> Split(const std::string& path) {
    std::vector<std::string> parts;
    std::string cur;
    for (size_t i = 0; i < path.size(); i = plat::ansi::NextChar(path, i)) {
        if (plat::ansi::IsSingleAt(path, i, '\\')) {
            if (!cur.empty()) parts.push_back(cur);
            cur.clear();
        } else {
            cur.append(path, i, plat::ansi::CharLength(path, i));
        }
    }
    if (!cur.empty()) parts.push_back(cur);
    return parts;
}

int RootIndex(plat::RootKey root) { return root == plat::RootKey::LocalMachine ? 0 : 1; }

std::string PathKey(plat::RootKey root, const std::vector<std::string>& parts, size_t count) {
    std::string key = std::to_string(RootIndex(root));
    for (size_t i = 0; i < count; ++i) key += "\\" + Fold(parts[i]);
    return key;
}

Key* FindKey(plat::RootKey root, const std::vector<std::string>& parts) {
    Key* k = &Reg().roots[RootIndex(root)];
    for (const std::string& p : parts) {
        auto it = k->subKeys.find(Fold(p));
        if (it == k->subKeys.end()) return nullptr;
        k = it->second.get();
    }
    return k;
}

Key* MakeKey(plat::RootKey root, const std::vector<std::string>& parts) {
    Key* k = &Reg().roots[RootIndex(root)];
    for (const std::string& p : parts) {
        auto& slot = k->subKeys[Fold(p)];
        if (!slot) {
            slot = std::make_unique<Key>();
            slot->name = p;
        }
        k = slot.get();
    }
    return k;
}

// Writes refused at the key or one of its parents.
bool WritesRefused(plat::RootKey root, const std::vector<std::string>& parts) {
    if (Reg().standardUser && root == plat::RootKey::LocalMachine) return true;
    for (size_t n = 0; n <= parts.size(); ++n) {
        if (Reg().failWrites.count(PathKey(root, parts, n))) return true;
    }
    return false;
}

bool DeleteRefused(plat::RootKey root, const std::vector<std::string>& parts) {
    if (Reg().standardUser && root == plat::RootKey::LocalMachine) return true;
    const std::string self = PathKey(root, parts, parts.size());
    for (const std::string& f : Reg().failDelete) {
        if (f == self || f.compare(0, self.size() + 1, self + "\\") == 0) return true;
    }
    return false;
}

void AddDefaults() {
    using plat::RegType;
    using plat::RootKey;
    SetValue(RootKey::LocalMachine, kCurrentVersionKey, "ProgramFilesDir", RegType::String, "C:\\Program Files");
    const char* user[][2] = {{"Start Menu", kStartMenuFolder}, {"Programs", kProgramsFolder},
                             {"Startup", kStartupFolder},       {"Desktop", kDesktopFolder},
                             {"SendTo", kSendToFolder}};
    for (auto& v : user) SetValue(RootKey::CurrentUser, kShellFoldersKey, v[0], RegType::String, v[1]);
    const char* common[][2] = {{"Common Start Menu", kCommonStartMenuFolder},
                               {"Common Programs", kCommonProgramsFolder},
                               {"Common Startup", kCommonStartupFolder},
                               {"Common Desktop", kCommonDesktopFolder},
                               {"Common SendTo", kCommonSendToFolder}};
    for (auto& v : common) SetValue(RootKey::LocalMachine, kShellFoldersKey, v[0], RegType::String, v[1]);
}

Registry& Reg() {
    static Registry* reg = nullptr;
    if (!reg) {
        reg = new Registry();
        AddDefaults();
    }
    return *reg;
}

void Collect(const Key& k, const std::string& path, std::vector<std::string>& out) {
    for (auto& kv : k.values) {
        const Value& v = kv.second;
        if (v.type == plat::RegType::Dword && v.data.size() == 4) {
            uint32_t number = 0;
            for (int i = 3; i >= 0; --i) number = number << 8 | static_cast<unsigned char>(v.data[i]);
            out.push_back(path + " [" + v.name + "] = Dword:" + std::to_string(number));
            continue;
        }
        const char* type = v.type == plat::RegType::String         ? "String"
                           : v.type == plat::RegType::ExpandString ? "ExpandString"
                                                                   : "Other";
        out.push_back(path + " [" + v.name + "] = " + type + ":" + v.data);
    }
    for (auto& kv : k.subKeys) {
        std::string sub = path + "\\" + kv.second->name;
        out.push_back(sub);
        Collect(*kv.second, sub, out);
    }
}

}  // namespace

void ResetRegistry() {
    Registry& r = Reg();
    for (Key& root : r.roots) {
        root.subKeys.clear();
        root.values.clear();
    }
    r.standardUser = false;
    r.failDelete.clear();
    r.failWrites.clear();
    r.failValues.clear();
    AddDefaults();
}

void AddKey(plat::RootKey root, const std::string& key) { MakeKey(root, Split(key)); }

bool RemoveKey(plat::RootKey root, const std::string& key) {
    std::vector<std::string> parts = Split(key);
    if (parts.empty()) return false;
    std::string last = parts.back();
    parts.pop_back();
    Key* parent = FindKey(root, parts);
    return parent && parent->subKeys.erase(Fold(last)) > 0;
}

void SetValue(plat::RootKey root, const std::string& key, const std::string& name, plat::RegType type,
              const std::string& data) {
    Key* k = MakeKey(root, Split(key));
    Value& v = k->values[Fold(name)];
    v.name = name;
    v.type = type;
    v.data = data;
}

bool RemoveValue(plat::RootKey root, const std::string& key, const std::string& name) {
    Key* k = FindKey(root, Split(key));
    return k && k->values.erase(Fold(name)) > 0;
}

bool KeyExists(plat::RootKey root, const std::string& key) { return FindKey(root, Split(key)) != nullptr; }

bool ValueExists(plat::RootKey root, const std::string& key, const std::string& name) {
    Key* k = FindKey(root, Split(key));
    return k && k->values.count(Fold(name)) > 0;
}

std::string ValueOf(plat::RootKey root, const std::string& key, const std::string& name) {
    Key* k = FindKey(root, Split(key));
    if (!k) return std::string();
    auto it = k->values.find(Fold(name));
    return it == k->values.end() ? std::string() : it->second.data;
}

plat::RegType TypeOf(plat::RootKey root, const std::string& key, const std::string& name) {
    Key* k = FindKey(root, Split(key));
    if (!k) return plat::RegType::None;
    auto it = k->values.find(Fold(name));
    return it == k->values.end() ? plat::RegType::None : it->second.type;
}

std::vector<std::string> ValueNames(plat::RootKey root, const std::string& key) {
    std::vector<std::string> out;
    if (Key* k = FindKey(root, Split(key))) {
        for (auto& kv : k->values) out.push_back(kv.second.name);
    }
    return out;
}

std::vector<std::string> SubKeyNames(plat::RootKey root, const std::string& key) {
    std::vector<std::string> out;
    if (Key* k = FindKey(root, Split(key))) {
        for (auto& kv : k->subKeys) out.push_back(kv.second->name);
    }
    return out;
}

void SetStandardUser(bool on) { Reg().standardUser = on; }

void FailDeleteOf(plat::RootKey root, const std::string& key, bool fail) {
    std::vector<std::string> parts = Split(key);
    std::string k = PathKey(root, parts, parts.size());
    if (fail) {
        Reg().failDelete.insert(k);
    } else {
        Reg().failDelete.erase(k);
    }
}

void FailWritesUnder(plat::RootKey root, const std::string& key, bool fail) {
    std::vector<std::string> parts = Split(key);
    std::string k = PathKey(root, parts, parts.size());
    if (fail) {
        Reg().failWrites.insert(k);
    } else {
        Reg().failWrites.erase(k);
    }
}

void FailWriteOfValue(plat::RootKey root, const std::string& key, const std::string& name, bool fail) {
    std::vector<std::string> parts = Split(key);
    auto k = std::make_pair(PathKey(root, parts, parts.size()), Fold(name));
    if (fail) {
        Reg().failValues.insert(k);
    } else {
        Reg().failValues.erase(k);
    }
}

int OpenKeys() { return Reg().openKeys; }

std::vector<std::string> RegistrySnapshot() {
    std::vector<std::string> out;
    Collect(Reg().roots[0], "HKLM", out);
    Collect(Reg().roots[1], "HKCU", out);
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace sim

namespace plat {

namespace {
// What an open sim key refers to: looked up afresh on every use, so that a
// key deleted while open simply stops answering.
struct OpenKey {
    RootKey root;
    std::vector<std::string> parts;
    bool writable;
};
}  // namespace

namespace {
bool Fail(uint32_t code) {
    KeepError(code);
    return false;
}
}  // namespace

void RegKeyTraits::Close(Type handle) {
    delete static_cast<OpenKey*>(handle);
    --sim::Reg().openKeys;
}

bool RegKey::Open(RootKey root, const std::string& subKey, RegAccess access) {
    Close();
    std::vector<std::string> parts = sim::Split(subKey);
    if (!sim::FindKey(root, parts)) return Fail(2);  // ERROR_FILE_NOT_FOUND
    bool writable = access == RegAccess::AllAccess;
    if (writable && sim::Reg().standardUser && root == RootKey::LocalMachine) return Fail(5);  // ERROR_ACCESS_DENIED
    handle_.Reset(new OpenKey{root, parts, writable});
    ++sim::Reg().openKeys;
    return true;
}

bool RegKey::Create(RootKey root, const std::string& subKey) {
    Close();
    std::vector<std::string> parts = sim::Split(subKey);
    if (sim::Reg().standardUser && root == RootKey::LocalMachine) return Fail(5);  // ERROR_ACCESS_DENIED
    if (!sim::FindKey(root, parts) && sim::WritesRefused(root, parts)) return Fail(5);  // ERROR_ACCESS_DENIED
    sim::MakeKey(root, parts);
    handle_.Reset(new OpenKey{root, parts, true});
    ++sim::Reg().openKeys;
    return true;
}

bool RegKey::ReadValue(const std::string& name, RegType& type, std::string& data) const {
    if (!IsOpen()) return Fail(6);  // ERROR_INVALID_HANDLE
    const OpenKey& k = *static_cast<OpenKey*>(handle_.Get());
    sim::Key* key = sim::FindKey(k.root, k.parts);
    if (!key) return Fail(2);  // ERROR_FILE_NOT_FOUND
    auto it = key->values.find(sim::Fold(name));
    if (it == key->values.end()) return Fail(2);  // ERROR_FILE_NOT_FOUND
    type = it->second.type;
    data = it->second.data;
    if (type == RegType::String || type == RegType::ExpandString) {
        size_t zero = data.find('\0');
        if (zero != std::string::npos) data.resize(zero);
    }
    return true;
}

namespace {

bool StoreValue(void* handle, const std::string& name, RegType type, const std::string& data) {
    if (!handle) return Fail(6);  // ERROR_INVALID_HANDLE
    const OpenKey& k = *static_cast<OpenKey*>(handle);
    if (!k.writable || sim::WritesRefused(k.root, k.parts)) return Fail(5);  // ERROR_ACCESS_DENIED
    if (sim::Reg().failValues.count({sim::PathKey(k.root, k.parts, k.parts.size()), sim::Fold(name)})) {
        return Fail(5);  // ERROR_ACCESS_DENIED
    }
    sim::Key* key = sim::FindKey(k.root, k.parts);
    if (!key) return Fail(2);  // ERROR_FILE_NOT_FOUND
    sim::Value& v = key->values[sim::Fold(name)];
    if (v.name.empty()) v.name = name;  // an existing value keeps its spelling
    v.type = type;
    v.data = data;
    return true;
}

}  // namespace

bool RegKey::WriteString(const std::string& name, const std::string& value) {
    return StoreValue(handle_.Get(), name, RegType::String, value);
}

bool RegKey::WriteDword(const std::string& name, uint32_t value) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>(value >> (8 * i) & 0xFF);
    return StoreValue(handle_.Get(), name, RegType::Dword, bytes);
}

bool DeleteKeyTree(RootKey root, const std::string& subKey) {
    std::vector<std::string> parts = sim::Split(subKey);
    if (parts.empty() || !sim::FindKey(root, parts)) return Fail(2);  // ERROR_FILE_NOT_FOUND
    if (sim::DeleteRefused(root, parts)) return Fail(5);  // ERROR_ACCESS_DENIED
    return sim::RemoveKey(root, subKey);
}

}  // namespace plat
