// The sim backend's file system: an in-memory tree with the Windows rules
// that the product depends on.
#include "platform/sim/SimFileSystem.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>

#include "platform/AnsiText.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"
#include "platform/PathRules.h"
#include "platform/Security.h"
#include "platform/sim/WindowsDescriptors.h"

namespace sim {

const char* const kProfileFolder = "C:\\users\\sim";
const char* const kStartMenuFolder = "C:\\users\\sim\\Start Menu";
const char* const kProgramsFolder = "C:\\users\\sim\\Start Menu\\Programs";
const char* const kStartupFolder = "C:\\users\\sim\\Start Menu\\Programs\\Startup";
const char* const kDesktopFolder = "C:\\users\\sim\\Desktop";
const char* const kSendToFolder = "C:\\users\\sim\\SendTo";
const char* const kCommonProfileFolder = "C:\\users\\Public";
const char* const kCommonStartMenuFolder = "C:\\users\\Public\\Start Menu";
const char* const kCommonProgramsFolder = "C:\\users\\Public\\Start Menu\\Programs";
const char* const kCommonStartupFolder = "C:\\users\\Public\\Start Menu\\Programs\\Startup";
const char* const kCommonDesktopFolder = "C:\\users\\Public\\Desktop";
const char* const kCommonSendToFolder = "C:\\users\\Public\\SendTo";

namespace {

// MAX_PATH: the A functions refuse longer paths.
constexpr size_t kMaxPath = 260;
constexpr uint32_t kStoredAttrMask = ~(plat::kAttrDirectory | plat::kAttrNormal | plat::kAttrVolume);

struct Node {
    std::string name;
    std::string shortName;
    bool folder = false;
    uint32_t attributes = 0;  // without the directory bit
    std::string data;
    // Bytes the file holds beyond data, which nobody reads: a large file
    // stands in by its size alone.
    uint64_t unreadSize = 0;
    bool locked = false;
    int writers = 0;  // holders that write and share reads only
    bool held = false;  // open by the program as its own file: reads only are shared
    // Security: the owner SID and the DACL as SDDL text ("" is no DACL) of
    // an entry made with plain inheritance are what Windows would give it
    // (plat::InheritedDacl from the parent); a volume without access rules
    // keeps none.
    std::string owner;
    std::string access;
    bool reparse = false;
    bool keepsRules = true;
    std::map<std::string, std::unique_ptr<Node>> children;  // by folded name
};

struct State {
    std::map<std::string, std::unique_ptr<Node>> roots;  // "c:" or "\\server\share", folded
    std::string currentFolder;
    std::string executablePath;
    std::string tempFolder;
    bool programHeld = false;
    std::string heldProgram;  // the bytes the held file had: what its handle reads
    std::set<std::string> denyCreate, failAttributeWrite, failDelete, failAccessWrite;  // folded full paths
    std::set<void*> findHandles;
};

State& St();

// The characters of a text, a double-byte character as one.
std::vector<std::string> Chars(const std::string& s) {
    std::vector<std::string> out;
    for (size_t i = 0; i < s.size(); i = plat::ansi::NextChar(s, i)) {
        out.push_back(s.substr(i, plat::ansi::CharLength(s, i)));
    }
    return out;
}

// Names compare without case, as on Windows.
std::string Fold(const std::string& s) { return plat::path::FoldCase(s); }
std::string Upper(const std::string& s) { return plat::ansi::AsciiCase(s, true); }

using Resolved = plat::path::ResolvedPath;

// A full path from any path, as GetFullPathName would make it.
bool Resolve(const std::string& path, Resolved& r) {
    r = plat::path::Resolve(path, St().currentFolder);
    return r.valid;
}

std::string KeyOf(const Resolved& r, size_t count) {
    std::string key = Fold(r.root);
    for (size_t i = 0; i < count && i < r.parts.size(); ++i) key += "\\" + Fold(r.parts[i]);
    return key;
}
std::string KeyOf(const Resolved& r) { return KeyOf(r, r.parts.size()); }

size_t DisplayLength(const Resolved& r) {
    size_t n = r.root.size() + 1;
    for (const std::string& p : r.parts) n += p.size() + 1;
    return n;
}

Node* Child(Node* folder, const std::string& name) {
    if (!folder || !folder->folder) return nullptr;
    auto it = folder->children.find(Fold(name));
    if (it != folder->children.end()) return it->second.get();
    const std::string folded = Fold(name);
    for (auto& kv : folder->children) {
        if (!kv.second->shortName.empty() && Fold(kv.second->shortName) == folded) return kv.second.get();
    }
    return nullptr;
}

Node* Find(const Resolved& r, size_t count) {
    auto it = St().roots.find(Fold(r.root));
    if (it == St().roots.end()) return nullptr;
    Node* n = it->second.get();
    for (size_t i = 0; i < count && n; ++i) n = Child(n, r.parts[i]);
    return n;
}
Node* Find(const Resolved& r) { return Find(r, r.parts.size()); }

// The node named by path; with a trailing separator only a folder counts.
Node* Lookup(const std::string& path) {
    Resolved r;
    if (!Resolve(path, r)) return nullptr;
    Node* n = Find(r);
    if (n && r.trailingSeparator && !n->folder) return nullptr;
    return n;
}

Node* ParentOf(const Resolved& r) {
    if (r.parts.empty()) return nullptr;
    Node* p = Find(r, r.parts.size() - 1);
    return (p && p->folder) ? p : nullptr;
}

bool ValidName(const std::string& name) {
    if (name.empty()) return false;
    for (const std::string& ch : Chars(name)) {
        if (ch.size() != 1) continue;
        unsigned char c = static_cast<unsigned char>(ch[0]);
        if (c < 0x20 || std::string("<>:\"/\\|?*").find(static_cast<char>(c)) != std::string::npos) return false;
    }
    return true;
}

bool IsLegal83(const std::string& name) {
    if (name.empty() || name[0] == '.') return false;
    size_t dot = name.find('.');
    if (dot != std::string::npos && name.find('.', dot + 1) != std::string::npos) return false;
    size_t baseLen = dot == std::string::npos ? name.size() : dot;
    size_t extLen = dot == std::string::npos ? 0 : name.size() - dot - 1;
    if (baseLen < 1 || baseLen > 8 || extLen > 3) return false;
    for (unsigned char c : name) {
        if (c <= 0x20 || std::string("\"*+,/:;<=>?[\\]|").find(static_cast<char>(c)) != std::string::npos) return false;
    }
    return true;
}

// The first max bytes of s without cutting a double-byte character.
std::string LeadingBytes(const std::string& s, size_t max) {
    std::string out;
    for (const std::string& ch : Chars(s)) {
        if (out.size() + ch.size() > max) break;
        out += ch;
    }
    return out;
}

std::string MakeShortName(Node* folder, const std::string& name) {
    if (IsLegal83(name)) return std::string();
    size_t dot = name.rfind('.');
    std::string base = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
    std::string ext = dot == std::string::npos || dot == 0 ? std::string() : name.substr(dot + 1);
    auto clean = [](const std::string& s) {
        std::string out;
        for (const std::string& ch : Chars(s)) {
            if (ch == " " || ch == ".") continue;
            if (ch.size() == 1 && std::string("\"*+,/:;<=>?[\\]|").find(ch[0]) != std::string::npos) {
                out += '_';
            } else {
                out += ch;
            }
        }
        return Upper(out);
    };
    base = LeadingBytes(clean(base), 6);
    ext = LeadingBytes(clean(ext), 3);
    if (base.empty()) base = "_";
    for (int n = 1;; ++n) {
        std::string candidate = base + "~" + std::to_string(n) + (ext.empty() ? "" : "." + ext);
        bool taken = false;
        for (auto& kv : folder->children) {
            if (Fold(kv.second->shortName) == Fold(candidate) || kv.first == Fold(candidate)) taken = true;
        }
        if (!taken) return candidate;
    }
}

Node* AddChild(Node* folder, const std::string& name, bool isFolder) {
    auto node = std::make_unique<Node>();
    node->name = name;
    node->folder = isFolder;
    node->shortName = MakeShortName(folder, name);
    node->keepsRules = folder->keepsRules;
    if (node->keepsRules) {
        node->owner = plat::CurrentIdentity().creatorOwner;
        node->access = plat::InheritedDacl(folder->access, isFolder, node->owner);
    }
    Node* raw = node.get();
    folder->children[Fold(name)] = std::move(node);
    return raw;
}

bool CreateDenied(const Resolved& r) {
    return r.parts.empty() || St().denyCreate.count(KeyOf(r, r.parts.size() - 1)) > 0;
}

// Whether a new entry may be made at r: parent folder present, name valid, no
// refusal on the folder, path not too long.
Node* CreatableParent(const Resolved& r) {
    Node* parent = ParentOf(r);
    if (!parent || !ValidName(r.parts.back()) || CreateDenied(r) || DisplayLength(r) > kMaxPath) return nullptr;
    return parent;
}

std::string DisplayPath(const Resolved& r) {
    // The stored spelling of every existing component.
    auto it = St().roots.find(Fold(r.root));
    std::string out = r.root;
    Node* n = it == St().roots.end() ? nullptr : it->second.get();
    for (const std::string& part : r.parts) {
        n = n ? Child(n, part) : nullptr;
        out += "\\" + (n ? n->name : part);
    }
    return r.parts.empty() ? out + "\\" : out;
}

void AddDefaultTree() {
    namespace d = sim::descriptors;
    // Parents first: what has no descriptor of its own inherits from its
    // parent's. C:\temp and C:\work are folders the user made below C:\.
    struct Folder {
        const char* path;
        const d::Descriptor* descriptor;
        const char* owner;
    };
    const Folder folders[] = {
        {"C:\\", &d::kSystemDriveRoot, nullptr},
        {"C:\\Program Files", &d::kProgramFiles, nullptr},
        {"C:\\Windows", &d::kProgramFiles, nullptr},
        {"C:\\Windows\\system32", &d::kProgramFiles, nullptr},
        {"C:\\Windows\\Temp", &d::kWindowsTemp, nullptr},
        {"C:\\users", &d::kUsers, nullptr},
        {kProfileFolder, &d::kProfile, nullptr},
        {"C:\\temp", nullptr, d::kUser},
        {"C:\\work", nullptr, d::kUser},
    };
    AddDrive('C');
    for (const Folder& f : folders) {
        AddFolder(f.path);
        if (f.descriptor) {
            SetOwner(f.path, f.descriptor->owner);
            SetDacl(f.path, f.descriptor->dacl);
        }
        if (f.owner) SetOwner(f.path, f.owner);
    }
    for (const char* folder : {kStartupFolder, kDesktopFolder, kSendToFolder, kCommonStartupFolder,
                               kCommonDesktopFolder, kCommonSendToFolder}) {
        AddFolder(folder);
    }
    AddFile("C:\\work\\Setup.exe", std::string("MZ sim executable", 17));
}

}  // namespace

namespace {
State& St() {
    static State* state = nullptr;
    if (!state) {
        state = new State();
        state->currentFolder = "C:\\work";
        state->executablePath = "C:\\work\\Setup.exe";
        state->tempFolder = "C:\\temp\\";
        AddDefaultTree();  // uses St(), which now answers with the new state
    }
    return *state;
}
}  // namespace

void ResetFileSystem() {
    State& s = St();
    s.roots.clear();
    s.denyCreate.clear();
    s.failAttributeWrite.clear();
    s.failDelete.clear();
    s.failAccessWrite.clear();
    s.programHeld = false;
    s.heldProgram.clear();
    // Open search handles stay valid objects; only their registry is kept.
    s.currentFolder = "C:\\work";
    s.executablePath = "C:\\work\\Setup.exe";
    s.tempFolder = "C:\\temp\\";
    AddDefaultTree();
}

namespace {
// A volume as Windows formats it (see WindowsDescriptors.h).
std::unique_ptr<Node> NewRoot(const std::string& name) {
    auto root = std::make_unique<Node>();
    root->folder = true;
    root->name = name;
    root->owner = descriptors::kNewVolumeRoot.owner;
    root->access = descriptors::kNewVolumeRoot.dacl;
    return root;
}
}  // namespace

void AddDrive(char letter) {
    std::string key = Fold(std::string(1, letter) + ":");
    auto& root = St().roots[key];
    if (!root) root = NewRoot(std::string(1, static_cast<char>(letter & ~0x20)) + ":");
}

bool AddFolder(const std::string& path) {
    Resolved r;
    if (!Resolve(path, r)) return false;
    auto it = St().roots.find(Fold(r.root));
    if (it == St().roots.end()) it = St().roots.emplace(Fold(r.root), NewRoot(r.root)).first;
    Node* n = it->second.get();
    for (const std::string& part : r.parts) {
        Node* c = Child(n, part);
        if (!c) c = AddChild(n, part, true);
        if (!c->folder) return false;
        n = c;
    }
    return true;
}

bool AddFile(const std::string& path, const std::string& bytes, uint32_t attributes) {
    Resolved r;
    if (!Resolve(path, r) || r.parts.empty()) return false;
    Resolved parentPath = r;
    parentPath.parts.pop_back();
    parentPath.trailingSeparator = false;
    if (!AddFolder(DisplayPath(parentPath))) return false;
    Node* parent = Find(parentPath);
    Node* n = Child(parent, r.parts.back());
    if (n && n->folder) return false;
    if (!n) n = AddChild(parent, r.parts.back(), false);
    n->data = bytes;
    n->unreadSize = 0;
    n->attributes = attributes & kStoredAttrMask;
    return true;
}

bool SetFileSize(const std::string& path, uint64_t size) {
    Resolved r;
    Node* n = Resolve(path, r) ? Find(r) : nullptr;
    if (!n || n->folder) return false;
    if (size < n->data.size()) n->data.resize(static_cast<size_t>(size));
    n->unreadSize = size - n->data.size();
    return true;
}

bool Remove(const std::string& path) {
    Resolved r;
    if (!Resolve(path, r) || r.parts.empty()) return false;
    Node* parent = ParentOf(r);
    Node* n = Find(r);
    if (!parent || !n) return false;
    for (auto it = parent->children.begin(); it != parent->children.end(); ++it) {
        if (it->second.get() == n) {
            parent->children.erase(it);
            return true;
        }
    }
    return false;
}

bool Exists(const std::string& path) { return Lookup(path) != nullptr; }
bool IsFile(const std::string& path) {
    Node* n = Lookup(path);
    return n && !n->folder;
}
bool IsFolder(const std::string& path) {
    Node* n = Lookup(path);
    return n && n->folder;
}
std::string Content(const std::string& path) {
    Node* n = Lookup(path);
    return n && !n->folder ? n->data : std::string();
}
uint32_t Attributes(const std::string& path) {
    Node* n = Lookup(path);
    if (!n) return plat::kInvalidAttributes;
    return n->attributes | (n->folder ? plat::kAttrDirectory : 0);
}
void SetAttributes(const std::string& path, uint32_t attributes) {
    if (Node* n = Lookup(path)) n->attributes = attributes & kStoredAttrMask;
}
std::string StoredName(const std::string& path) {
    Node* n = Lookup(path);
    return n ? n->name : std::string();
}
std::string ShortNameOf(const std::string& path) {
    Node* n = Lookup(path);
    return n ? n->shortName : std::string();
}
std::string FullPath(const std::string& path) {
    Resolved r;
    if (!Resolve(path, r) || !Lookup(path)) return std::string();
    return DisplayPath(r);
}
void SetLocked(const std::string& path, bool locked) {
    if (Node* n = Lookup(path)) n->locked = locked;
}
void SetOpenForWriting(const std::string& path, bool open) {
    if (Node* n = Lookup(path)) n->writers = open ? std::max(n->writers, 1) : 0;
}
void SetShortName(const std::string& path, const std::string& shortName) {
    if (Node* n = Lookup(path)) n->shortName = shortName;
}
void SetOwner(const std::string& path, const std::string& owner) {
    if (Node* n = Lookup(path)) n->owner = owner;
}
void SetDacl(const std::string& path, const std::string& dacl) {
    if (Node* n = Lookup(path)) n->access = dacl;
}
std::string Owner(const std::string& path) {
    Node* n = Lookup(path);
    return n ? n->owner : std::string();
}
void SetReparsePoint(const std::string& path, bool reparse) {
    if (Node* n = Lookup(path)) n->reparse = reparse;
}

namespace {
void ForgetRules(Node* n) {
    n->keepsRules = false;
    n->owner.clear();
    n->access.clear();
    for (auto& kv : n->children) ForgetRules(kv.second.get());
}
}  // namespace

void SetKeepsAccessRules(char drive, bool keeps) {
    auto it = St().roots.find(Fold(std::string(1, drive) + ":"));
    if (it == St().roots.end()) return;
    if (keeps) {
        it->second->keepsRules = true;
    } else {
        ForgetRules(it->second.get());
    }
}

namespace {
void SetFault(std::set<std::string>& faults, const std::string& path, bool on) {
    Resolved r;
    if (!Resolve(path, r)) return;
    if (on) {
        faults.insert(KeyOf(r));
    } else {
        faults.erase(KeyOf(r));
    }
}
bool HasFault(const std::set<std::string>& faults, const Resolved& r) { return faults.count(KeyOf(r)) > 0; }
}  // namespace

void DenyCreateIn(const std::string& folder, bool deny) { SetFault(St().denyCreate, folder, deny); }
void FailAttributeWrite(const std::string& path, bool fail) { SetFault(St().failAttributeWrite, path, fail); }
void FailDelete(const std::string& path, bool fail) { SetFault(St().failDelete, path, fail); }
void FailAccessWrite(const std::string& path, bool fail) { SetFault(St().failAccessWrite, path, fail); }

void SetCurrentFolder(const std::string& path) {
    Resolved r;
    St().currentFolder = Resolve(path, r) ? DisplayPath(r) : path;
    // Character-wise: ソ ends in the byte of "\".
    if (!r.IsRoot() && plat::ansi::EndsWithSeparator(St().currentFolder)) St().currentFolder.pop_back();
}
void SetExecutablePath(const std::string& path) {
    // Another program starts: the last one's own file is closed.
    if (Node* n = Lookup(St().executablePath)) n->held = false;
    St().programHeld = false;
    St().heldProgram.clear();
    St().executablePath = path;
}
void SetTempFolder(const std::string& path) {
    St().tempFolder = path;
    if (St().tempFolder.empty() || St().tempFolder.back() != '\\') St().tempFolder += '\\';
}

int OpenFindHandles() { return static_cast<int>(St().findHandles.size()); }

namespace {
void Collect(const Node* n, const std::string& path, Snapshot& out) {
    std::vector<const Node*> kids;
    for (auto& kv : n->children) kids.push_back(kv.second.get());
    for (const Node* k : kids) {
        Entry e;
        e.path = path + k->name + (k->folder ? "\\" : "");
        e.folder = k->folder;
        e.attributes = k->attributes | (k->folder ? plat::kAttrDirectory : 0);
        e.content = k->data;
        out.push_back(e);
        if (k->folder) Collect(k, e.path, out);
    }
}
}  // namespace

Snapshot TakeSnapshot() {
    Snapshot out;
    for (auto& kv : St().roots) {
        Entry e;
        e.path = kv.second->name + "\\";
        e.folder = true;
        e.attributes = plat::kAttrDirectory;
        out.push_back(e);
        Collect(kv.second.get(), e.path, out);
    }
    return out;
}

std::vector<std::string> ListAll() {
    std::vector<std::string> out;
    for (const Entry& e : TakeSnapshot()) out.push_back(e.path);
    return out;
}

std::vector<std::string> ListFolder(const std::string& folder) {
    std::vector<std::string> out;
    Node* n = Lookup(folder);
    if (!n || !n->folder) return out;
    for (auto& kv : n->children) out.push_back(kv.second->name);
    return out;
}

std::vector<std::string> Changes(const Snapshot& before, const Snapshot& after) {
    std::map<std::string, const Entry*> a, b;
    for (const Entry& e : before) a[Fold(e.path)] = &e;
    for (const Entry& e : after) b[Fold(e.path)] = &e;
    std::vector<std::string> out;
    for (auto& kv : a) {
        auto it = b.find(kv.first);
        if (it == b.end()) {
            out.push_back("- " + kv.second->path);
        } else if (!(*it->second == *kv.second)) {
            out.push_back("~ " + it->second->path);
        }
    }
    for (auto& kv : b) {
        if (!a.count(kv.first)) out.push_back("+ " + kv.second->path);
    }
    return out;
}

}  // namespace sim

namespace plat {

using sim::Entry;

namespace {
using namespace sim;

bool Busy(const Node* n) { return n->locked || n->writers > 0; }
// Open by someone who shares reads only: no write, rename or delete.
bool WriteRefused(const Node* n) { return Busy(n) || n->held; }

uint32_t AttributesOf(const Node* n) {
    return n->attributes | (n->folder ? kAttrDirectory : 0) | (n->reparse ? kAttrReparsePoint : 0);
}

// Win32's codes for the failures the tree can have.
constexpr uint32_t kFileNotFound = 2;
constexpr uint32_t kPathNotFound = 3;
constexpr uint32_t kAccessDenied = 5;
constexpr uint32_t kSharingViolation = 32;
constexpr uint32_t kFileExists = 80;
constexpr uint32_t kDirNotEmpty = 145;
constexpr uint32_t kAlreadyExists = 183;
constexpr uint32_t kInvalidHandle = 6;
constexpr uint32_t kInvalidSecurityDescriptor = 1338;

bool Fail(uint32_t code) {
    KeepError(code);
    return false;
}

// Why a path names no file: a missing parent folder, or only the last part.
uint32_t MissingCode(const Resolved& r) {
    return r.parts.size() <= 1 || Find(r, r.parts.size() - 1) ? kFileNotFound : kPathNotFound;
}

Node* FileNode(const std::string& path, Resolved& r) {
    if (!Resolve(path, r)) return nullptr;
    Node* n = Find(r);
    if (!n || (r.trailingSeparator && !n->folder)) return nullptr;
    return n;
}

// Opening for writing as CreateFile(CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL) does:
// an existing file must not be read-only, hidden or system, nor in use.
Node* OpenForWriting(const std::string& path, uint32_t newAttributes) {
    Resolved r;
    if (!Resolve(path, r) || r.parts.empty() || r.trailingSeparator) return Fail(kPathNotFound), nullptr;
    Node* n = Find(r);
    if (n) {
        if (WriteRefused(n)) return Fail(kSharingViolation), nullptr;
        if (n->folder || CreateDenied(r)) return Fail(kAccessDenied), nullptr;
        if (n->attributes & (kAttrReadOnly | kAttrHidden | kAttrSystem)) return Fail(kAccessDenied), nullptr;
        return n;
    }
    Node* parent = CreatableParent(r);
    if (!parent) return Fail(ParentOf(r) ? kAccessDenied : kPathNotFound), nullptr;
    n = AddChild(parent, r.parts.back(), false);
    n->attributes = newAttributes;
    return n;
}

bool Wildcard(const std::vector<std::string>& p, size_t i, const std::vector<std::string>& s, size_t j) {
    while (i < p.size()) {
        if (p[i] == "*") {
            for (size_t k = j; k <= s.size(); ++k) {
                if (Wildcard(p, i + 1, s, k)) return true;
            }
            return false;
        }
        if (j >= s.size()) return false;
        if (p[i] != "?" && Fold(p[i]) != Fold(s[j])) return false;
        ++i;
        ++j;
    }
    return j == s.size();
}

bool Matches(const std::string& pattern, const std::string& name) {
    // "*.*" matches names without a dot too, as it does on Windows.
    std::string pat = pattern == "*.*" ? "*" : pattern;
    return Wildcard(Chars(pat), 0, Chars(name), 0);
}
}  // namespace

ReadResult ReadWholeFile(const std::string& path, std::string& data) {
    Resolved r;
    if (!Resolve(path, r)) return Fail(kPathNotFound), ReadResult::NotFound;
    Node* n = Find(r);
    if (!n) return Fail(MissingCode(r)), ReadResult::NotFound;
    if (Busy(n)) return Fail(kSharingViolation), ReadResult::OpenFailed;
    if (n->folder || (r.trailingSeparator && !n->folder)) return Fail(kAccessDenied), ReadResult::OpenFailed;
    data = n->data;
    return ReadResult::Ok;
}

bool WriteWholeFile(const std::string& path, const std::string& data) {
    Node* n = OpenForWriting(path, kAttrArchive);
    if (!n) return false;  // its code is kept
    n->data = data;
    n->unreadSize = 0;
    n->attributes |= kAttrArchive;
    return true;
}

bool WriteNewFile(const std::string& path, const std::string& data) {
    Resolved r;
    if (!Resolve(path, r)) return Fail(kPathNotFound);
    if (Find(r)) return Fail(kFileExists);
    return WriteWholeFile(path, data);
}

bool FileExists(const std::string& path) {
    Resolved r;
    Node* n = FileNode(path, r);
    return n && !n->folder;
}

bool DirectoryExists(const std::string& path) {
    Resolved r;
    Node* n = FileNode(path, r);
    return n && n->folder;
}

uint32_t ReadAttributes(const std::string& path) {
    Resolved r;
    Node* n = FileNode(path, r);
    if (!n) return Fail(MissingCode(r)), kInvalidAttributes;
    uint32_t a = AttributesOf(n);
    return a == 0 ? kAttrNormal : a;
}

bool WriteAttributes(const std::string& path, uint32_t attributes) {
    Resolved r;
    Node* n = FileNode(path, r);
    if (!n) return Fail(MissingCode(r));
    if (r.parts.empty() || HasFault(St().failAttributeWrite, r)) return Fail(kAccessDenied);
    n->attributes = attributes & kStoredAttrMask;
    return true;
}

bool FileSizeOf(const std::string& path, uint64_t& size) {
    Resolved r;
    Node* n = FileNode(path, r);
    if (!n) return Fail(MissingCode(r));
    if (n->folder) return Fail(kAccessDenied);
    size = n->data.size() + n->unreadSize;
    return true;
}

bool CopyFileTo(const std::string& source, const std::string& dest, bool failIfExists) {
    Resolved rs, rd;
    Node* src = FileNode(source, rs);
    if (!src) return Fail(MissingCode(rs));
    if (src->folder) return Fail(kAccessDenied);
    if (src->locked) return Fail(kSharingViolation);
    if (!Resolve(dest, rd) || rd.parts.empty() || rd.trailingSeparator) return Fail(kPathNotFound);
    Node* dst = Find(rd);
    if (dst == src) return Fail(kSharingViolation);  // the same file
    if (dst) {
        if (failIfExists) return Fail(kFileExists);
        if (WriteRefused(dst)) return Fail(kSharingViolation);
        if (dst->folder || (dst->attributes & kAttrReadOnly) || CreateDenied(rd)) return Fail(kAccessDenied);
    } else {
        Node* parent = CreatableParent(rd);
        if (!parent) return Fail(ParentOf(rd) ? kAccessDenied : kPathNotFound);
        dst = AddChild(parent, rd.parts.back(), false);
    }
    // CopyFileA gives the copy the source's attributes, read-only included.
    dst->data = src->data;
    dst->unreadSize = src->unreadSize;
    dst->attributes = src->attributes;
    return true;
}

bool DeleteFileAt(const std::string& path) {
    Resolved r;
    Node* n = FileNode(path, r);
    if (!n) return Fail(MissingCode(r));
    if (WriteRefused(n)) return Fail(kSharingViolation);
    if (n->folder || (n->attributes & kAttrReadOnly) || HasFault(St().failDelete, r)) return Fail(kAccessDenied);
    return sim::Remove(path);
}

bool MakeDirectory(const std::string& path) {
    Resolved r;
    if (!Resolve(path, r) || r.parts.empty()) return Fail(kPathNotFound);
    if (Find(r)) return Fail(kAlreadyExists);
    Node* parent = CreatableParent(r);
    if (!parent) return Fail(ParentOf(r) ? kAccessDenied : kPathNotFound);
    AddChild(parent, r.parts.back(), true);
    return true;
}

bool MakeFolderWithAccess(const std::string& path, const char* access) {
    std::string owner, dacl;
    if (!SplitDescriptor(access, owner, dacl)) return Fail(kInvalidSecurityDescriptor);
    Resolved r;
    if (!Resolve(path, r) || r.parts.empty()) return Fail(kPathNotFound);
    if (Find(r)) return Fail(kAlreadyExists);
    if (HasFault(St().failAccessWrite, r)) return Fail(kAccessDenied);
    Node* parent = CreatableParent(r);
    if (!parent) return Fail(ParentOf(r) ? kAccessDenied : kPathNotFound);
    Node* n = AddChild(parent, r.parts.back(), true);
    // A volume without access rules makes the folder and keeps none.
    if (n->keepsRules) {
        if (!owner.empty()) n->owner = owner;
        n->access = dacl;
    }
    return true;
}

bool SetAccess(const std::string& path, const char* access) {
    std::string owner, dacl;
    if (!SplitDescriptor(access, owner, dacl) || dacl.empty()) return Fail(kInvalidSecurityDescriptor);
    Resolved r;
    Node* n = FileNode(path, r);
    if (!n) return Fail(MissingCode(r));
    if (r.parts.empty() || HasFault(St().failAccessWrite, r)) return Fail(kAccessDenied);
    if (n->keepsRules) n->access = dacl;
    return true;
}

SecurityFacts ReadSecurityFacts(const std::string& path) {
    SecurityFacts facts;
    facts.path = path;
    Resolved r;
    Node* n = FileNode(path, r);
    if (!n) {
        Fail(MissingCode(r));
        return facts;
    }
    facts.exists = true;
    facts.attributes = AttributesOf(n);
    facts.keepsAccessRules = n->keepsRules;
    facts.owner = n->owner;
    facts.dacl = n->access;
    return facts;
}

std::string ReadAccess(const std::string& path) {
    Resolved r;
    Node* n = FileNode(path, r);
    return n ? n->access : std::string();
}

bool RemoveFolder(const std::string& path) {
    Resolved r, cur;
    Node* n = FileNode(path, r);
    if (!n) return Fail(MissingCode(r));
    if (!n->folder || r.parts.empty()) return Fail(kAccessDenied);  // ERROR_DIRECTORY would be 267
    if (!n->children.empty()) return Fail(kDirNotEmpty);
    if ((n->attributes & kAttrReadOnly) || HasFault(St().failDelete, r)) return Fail(kAccessDenied);
    // The process holds its current folder open, so that one cannot go.
    if (Resolve(St().currentFolder, cur) && KeyOf(cur) == KeyOf(r)) return Fail(kSharingViolation);
    return sim::Remove(path);
}

bool ForceDirectories(const std::string& path) {
    if (path.empty()) throw ESetupError("フォルダを作成できません");
    Resolved r;
    if (!Resolve(path, r)) return Fail(kPathNotFound);
    // Walk the chain from the root, creating what is missing.
    for (size_t i = 1; i <= r.parts.size(); ++i) {
        Node* n = Find(r, i);
        if (n) {
            if (!n->folder) return Fail(kAlreadyExists);
            continue;
        }
        Resolved partial = r;
        partial.parts.resize(i);
        partial.trailingSeparator = false;
        Node* parent = CreatableParent(partial);
        if (!parent) return Fail(kAccessDenied);
        AddChild(parent, partial.parts.back(), true);
    }
    Node* n = Find(r);
    return n && n->folder;
}

bool FindHandle::First(const std::string& pattern, FindData& data) {
    Close();
    Resolved r;
    if (!Resolve(pattern, r) || r.parts.empty() || r.trailingSeparator) return false;
    Node* folder = ParentOf(r);
    if (!folder) return false;
    const std::string& pat = r.parts.back();
    std::vector<FindData> found;
    if (r.parts.size() > 1) {  // a folder below the root lists "." and ".." first
        for (const char* dots : {".", ".."}) {
            if (Matches(pat, dots)) found.push_back(FindData{dots, "", kAttrDirectory});
        }
    }
    for (auto& kv : folder->children) {
        const Node* n = kv.second.get();
        if (Matches(pat, n->name) || (!n->shortName.empty() && Matches(pat, n->shortName))) {
            uint32_t a = n->attributes | (n->folder ? kAttrDirectory : 0);
            found.push_back(FindData{n->name, n->shortName, a == 0 ? kAttrNormal : a});
        }
    }
    if (found.empty()) return false;
    data = found.front();
    handle_.Reset(new int(0));
    St().findHandles.insert(handle_.Get());
    return true;
}

void FindTraits::Close(Type handle) {
    St().findHandles.erase(handle);
    delete static_cast<int*>(handle);
}

std::string CurrentFolder() { return St().currentFolder; }

bool SetCurrentFolder(const std::string& path) {
    if (!DirectoryExists(path)) return Fail(kPathNotFound);
    sim::SetCurrentFolder(path);
    return true;
}

std::string ExecutablePath() { return St().executablePath; }

bool HoldOwnProgram() {
    if (St().programHeld) return true;
    Resolved r;
    Node* n = FileNode(St().executablePath, r);
    if (!n) return Fail(MissingCode(r));
    if (n->folder) return Fail(kAccessDenied);
    // Someone who writes it, or holds it locked, refuses a reader that denies writers.
    if (Busy(n)) return Fail(kSharingViolation);
    n->held = true;
    St().programHeld = true;
    St().heldProgram = n->data;
    return true;
}

bool CopyOwnProgramTo(const std::string& dest) {
    if (!St().programHeld) return Fail(kInvalidHandle);
    Node* n = OpenForWriting(dest, kAttrArchive);
    if (!n) return false;  // its code is kept
    n->data = St().heldProgram;
    n->unreadSize = 0;
    n->attributes |= kAttrArchive;
    return true;
}
std::string TempFolder() { return St().tempFolder; }

}  // namespace plat

namespace sim {

std::string AddWriter(const std::string& path) {
    Resolved r;
    Node* n = Resolve(path, r) ? Find(r) : nullptr;
    const bool refused = n && (n->writers > 0 || n->locked || n->held);  // held: shares reads only
    if (n && (r.trailingSeparator || n->folder || refused || (n->attributes & plat::kAttrReadOnly))) {
        return std::string();
    }
    if (!n && !plat::WriteWholeFile(path, std::string())) return std::string();
    n = Find(r);
    if (!n) return std::string();
    ++n->writers;
    return DisplayPath(r);
}

void ReleaseWriter(const std::string& fullPath) {
    if (Node* n = Lookup(fullPath)) n->writers = std::max(0, n->writers - 1);
}

}  // namespace sim
