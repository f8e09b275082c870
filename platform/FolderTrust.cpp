// The folder-trust rule over owner SIDs and SDDL text (see FolderTrust.h).
#include "platform/FolderTrust.h"

#include <cstdio>

#include "platform/AnsiText.h"

namespace plat {

const char kSidSystem[] = "S-1-5-18";
const char kSidAdministrators[] = "S-1-5-32-544";
const char kSidTrustedInstaller[] = "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";

namespace {

constexpr uint32_t kDelete = 0x00010000;
constexpr uint32_t kFileAllAccess = 0x001F01FF;
constexpr uint32_t kGenericRead = 0x80000000, kGenericWrite = 0x40000000;
constexpr uint32_t kGenericExecute = 0x20000000, kGenericAll = 0x10000000;
constexpr uint32_t kGenericBits = kGenericRead | kGenericWrite | kGenericExecute | kGenericAll;

const char kCreatorOwner[] = "S-1-3-0";
const char kCreatorGroup[] = "S-1-3-1";
const char kOwnerRights[] = "S-1-3-4";
const char kPrincipalSelf[] = "S-1-5-10";

struct Alias {
    const char* alias;
    const char* sid;
    const char* name;  // for the reasons
};
// The SDDL aliases of well-known SIDs; machine- and domain-relative ones
// ("LA", "DU", ...) stay as they are written, which no trusted SID matches.
const Alias kAliases[] = {
    {"SY", "S-1-5-18", "SYSTEM"},
    {"BA", "S-1-5-32-544", "Administrators"},
    {"BU", "S-1-5-32-545", "Users"},
    {"BG", "S-1-5-32-546", "Guests"},
    {"PU", "S-1-5-32-547", "Power Users"},
    {"AO", "S-1-5-32-548", "Account Operators"},
    {"SO", "S-1-5-32-549", "Server Operators"},
    {"PO", "S-1-5-32-550", "Print Operators"},
    {"BO", "S-1-5-32-551", "Backup Operators"},
    {"RE", "S-1-5-32-552", "Replicator"},
    {"RU", "S-1-5-32-554", "Pre-Windows 2000 Compatible Access"},
    {"RD", "S-1-5-32-555", "Remote Desktop Users"},
    {"NO", "S-1-5-32-556", "Network Configuration Operators"},
    {"WD", "S-1-1-0", "Everyone"},
    {"CO", "S-1-3-0", "CREATOR OWNER"},
    {"CG", "S-1-3-1", "CREATOR GROUP"},
    {"OW", "S-1-3-4", "OWNER RIGHTS"},
    {"NU", "S-1-5-2", "NETWORK"},
    {"IU", "S-1-5-4", "INTERACTIVE"},
    {"SU", "S-1-5-6", "SERVICE"},
    {"AN", "S-1-5-7", "ANONYMOUS LOGON"},
    {"ED", "S-1-5-9", "ENTERPRISE DOMAIN CONTROLLERS"},
    {"PS", "S-1-5-10", "PRINCIPAL SELF"},
    {"AU", "S-1-5-11", "Authenticated Users"},
    {"RC", "S-1-5-12", "RESTRICTED"},
    {"WR", "S-1-5-33", "WRITE RESTRICTED"},
    {"LS", "S-1-5-19", "LOCAL SERVICE"},
    {"NS", "S-1-5-20", "NETWORK SERVICE"},
    {"AC", "S-1-15-2-1", "ALL APPLICATION PACKAGES"},
    {nullptr, "S-1-15-2-2", "ALL RESTRICTED APPLICATION PACKAGES"},
    {nullptr, "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464", "TrustedInstaller"},
};

// A SID in one spelling: the "S-1-..." form where the alias is known.
std::string CanonicalSid(const std::string& sid) {
    for (const Alias& a : kAliases) {
        if (a.alias && sid == a.alias) return a.sid;
    }
    return sid;
}

std::string SidName(const std::string& sid) {
    const std::string canonical = CanonicalSid(sid);
    for (const Alias& a : kAliases) {
        if (canonical == a.sid) return std::string(a.name) + " (" + canonical + ")";
    }
    return canonical;
}

bool Trusted(const std::string& sid, const TrustIdentity& identity) {
    const std::string s = CanonicalSid(sid);
    return s == kSidSystem || s == kSidAdministrators || s == kSidTrustedInstaller ||
           (identity.userCountsAsAdministrator && !identity.user.empty() && s == CanonicalSid(identity.user));
}

// Entries that name nobody of their own (see FolderTrust.h).
bool NamesNobody(const std::string& sid) {
    const std::string s = CanonicalSid(sid);
    return s == kCreatorOwner || s == kCreatorGroup || s == kOwnerRights || s == kPrincipalSelf;
}

struct Right {
    const char* code;
    uint32_t mask;
};
// The rights codes of SDDL, generic rights mapped as for files.
const Right kRights[] = {
    {"GA", kGenericAll}, {"GR", kGenericRead}, {"GW", kGenericWrite}, {"GX", kGenericExecute},
    {"RC", 0x00020000}, {"SD", kDelete}, {"WD", 0x00040000}, {"WO", 0x00080000},
    {"RP", 0x00000010}, {"WP", 0x00000020}, {"CC", 0x00000001}, {"DC", 0x00000002},
    {"LC", 0x00000004}, {"SW", 0x00000008}, {"LO", 0x00000080}, {"DT", 0x00000040},
    {"CR", 0x00000100}, {"FA", kFileAllAccess}, {"FR", 0x00120089}, {"FW", 0x00120116},
    {"FX", 0x001200A0}, {"KA", 0x000F003F}, {"KR", 0x00020019}, {"KW", 0x00020006},
    {"KX", 0x00020019}, {"NR", 0x00000001}, {"NW", 0x00000002}, {"NX", 0x00000004},
};

// FILE_GENERIC_READ, _WRITE, _EXECUTE and FILE_ALL_ACCESS for the generic bits.
uint32_t MapGeneric(uint32_t mask) {
    uint32_t out = mask & ~kGenericBits;
    if (mask & kGenericRead) out |= 0x00120089;
    if (mask & kGenericWrite) out |= 0x00120116;
    if (mask & kGenericExecute) out |= 0x001200A0;
    if (mask & kGenericAll) out |= kFileAllAccess;
    return out;
}

bool ParseRights(const std::string& text, uint32_t& mask) {
    mask = 0;
    if (text.empty()) return false;
    if (text[0] >= '0' && text[0] <= '9') {
        unsigned long long value = 0;
        const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
        for (size_t i = hex ? 2 : 0; i < text.size(); ++i) {
            char c = text[i];
            int digit = c >= '0' && c <= '9' ? c - '0'
                      : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
            if (digit < 0) return false;
            value = value * (hex ? 16 : 10) + static_cast<unsigned>(digit);
            if (value > 0xFFFFFFFFull) return false;
        }
        mask = static_cast<uint32_t>(value);
        return true;
    }
    if (text.size() % 2 != 0) return false;
    for (size_t i = 0; i < text.size(); i += 2) {
        bool known = false;
        for (const Right& r : kRights) {
            if (text.compare(i, 2, r.code) == 0) {
                mask |= r.mask;
                known = true;
                break;
            }
        }
        if (!known) return false;
    }
    return true;
}

// One entry of a DACL, its fields as written.
struct Ace {
    std::string type, flags, rights, objectGuid, inheritGuid, sid, rest;
    uint32_t mask = 0;  // generic rights mapped
    bool Has(const char* flag) const {
        for (size_t i = 0; i + 1 < flags.size(); i += 2) {
            if (flags.compare(i, 2, flag) == 0) return true;
        }
        return false;
    }
};

struct Dacl {
    bool null = false;  // no DACL: everyone may do everything
    std::vector<Ace> aces;
};

const char* const kAceFlags[] = {"CI", "OI", "NP", "IO", "ID", "SA", "FA", "TP", "CR"};
const char* const kAllowTypes[] = {"A", "OA", "XA", "ZA"};
const char* const kOtherTypes[] = {"D", "OD", "XD", "AU", "AL", "OU", "OL", "ML", "XU", "SP", "RA"};

bool OneOf(const std::string& s, const char* const* list, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        if (s == list[i]) return true;
    }
    return false;
}

bool IsAllow(const Ace& ace) { return OneOf(ace.type, kAllowTypes, sizeof kAllowTypes / sizeof *kAllowTypes); }

// The fields of one "(...)": split at ";" outside nested parentheses and
// quoted text (a conditional entry carries its condition as a last field).
bool ParseAce(const std::string& body, Ace& ace) {
    std::vector<std::string> fields(1);
    int depth = 0;
    bool quoted = false;
    for (char c : body) {
        if (c == '"') quoted = !quoted;
        if (!quoted && c == '(') ++depth;
        if (!quoted && c == ')') --depth;
        if (!quoted && depth == 0 && c == ';') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    if (fields.size() < 6) return false;
    ace.type = fields[0];
    ace.flags = fields[1];
    ace.rights = fields[2];
    ace.objectGuid = fields[3];
    ace.inheritGuid = fields[4];
    ace.sid = fields[5];
    for (size_t i = 6; i < fields.size(); ++i) ace.rest += ";" + fields[i];
    if (!IsAllow(ace) && !OneOf(ace.type, kOtherTypes, sizeof kOtherTypes / sizeof *kOtherTypes)) return false;
    if (ace.flags.size() % 2 != 0 || ace.sid.empty()) return false;
    for (size_t i = 0; i < ace.flags.size(); i += 2) {
        if (!OneOf(ace.flags.substr(i, 2), kAceFlags, sizeof kAceFlags / sizeof *kAceFlags)) return false;
    }
    uint32_t raw = 0;
    if (!ParseRights(ace.rights, raw)) return false;
    ace.mask = MapGeneric(raw);
    return true;
}

// "D:" with its flags and entries; "" or "D:NO_ACCESS_CONTROL" is no DACL.
bool ParseDacl(const std::string& text, Dacl& dacl) {
    dacl = Dacl();
    if (text.empty()) {
        dacl.null = true;
        return true;
    }
    if (text.compare(0, 2, "D:") != 0) return false;
    size_t i = 2;
    while (i < text.size() && text[i] != '(') {
        if (text.compare(i, 17, "NO_ACCESS_CONTROL") == 0) {
            dacl.null = true;
            i += 17;
        } else if (text.compare(i, 2, "AI") == 0 || text.compare(i, 2, "AR") == 0) {
            i += 2;
        } else if (text[i] == 'P') {
            i += 1;
        } else {
            return false;
        }
    }
    while (i < text.size()) {
        if (text[i] != '(') return false;
        int depth = 0;
        bool quoted = false;
        size_t end = i;
        for (; end < text.size(); ++end) {
            if (text[end] == '"') quoted = !quoted;
            if (quoted) continue;
            if (text[end] == '(') ++depth;
            if (text[end] == ')' && --depth == 0) break;
        }
        if (end >= text.size()) return false;
        Ace ace;
        if (!ParseAce(text.substr(i + 1, end - i - 1), ace)) return false;
        dacl.aces.push_back(ace);
        i = end + 1;
    }
    return !(dacl.null && !dacl.aces.empty());
}

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(value));
    return text;
}

// Rights as Windows writes them for a file's DACL: "FA" for all, else hex.
std::string RightsText(uint32_t mask) { return mask == kFileAllAccess ? "FA" : Hex(mask); }

bool IsRoot(const std::string& path) { return ansi::EndsWithSeparator(path); }

// One entry of a chain: the first reason it fails, or none.
TrustVerdict JudgeEntry(const SecurityFacts& f, const TrustIdentity& identity, uint32_t matter, bool wantFolder) {
    TrustVerdict v;
    v.path = f.path;
    const bool folder = (f.attributes & kAttrDirectory) != 0;
    if (!f.readable) {
        v.problem = TrustProblem::Unreadable;
    } else if (!f.keepsAccessRules) {
        v.problem = TrustProblem::NoAccessRules;
    } else if (f.attributes & kAttrReparsePoint) {
        v.problem = TrustProblem::ReparsePoint;
    } else if (folder != wantFolder) {
        v.problem = wantFolder ? TrustProblem::NotAFolder : TrustProblem::Missing;
    } else if (!Trusted(f.owner, identity)) {
        v.problem = TrustProblem::UntrustedOwner;
        v.who = CanonicalSid(f.owner);
    }
    if (!v.Trusted()) return v;
    Dacl dacl;
    if (!ParseDacl(f.dacl, dacl)) {
        v.problem = TrustProblem::UnknownRules;
        return v;
    }
    if (dacl.null) {
        v.problem = TrustProblem::NullDacl;
        v.who = CanonicalSid("WD");
        return v;
    }
    // A volume's root can be neither deleted nor renamed.
    if (IsRoot(f.path)) matter &= ~kDelete;
    for (const Ace& ace : dacl.aces) {
        if (!IsAllow(ace) || ace.Has("IO") || NamesNobody(ace.sid) || Trusted(ace.sid, identity)) continue;
        if (ace.mask & matter) {
            v.problem = TrustProblem::WritableByOthers;
            v.who = CanonicalSid(ace.sid);
            v.rights = ace.mask & matter;
            return v;
        }
    }
    return v;
}

bool IsSep(const std::string& s, size_t i) { return ansi::IsSingleAt(s, i, '\\') || ansi::IsSingleAt(s, i, '/'); }

// The names of text between separators, by characters.
std::vector<std::string> Names(const std::string& s, size_t from) {
    std::vector<std::string> names(1);
    for (size_t i = from; i < s.size(); i = ansi::NextChar(s, i)) {
        if (IsSep(s, i)) {
            names.emplace_back();
        } else {
            names.back().append(s, i, ansi::CharLength(s, i));
        }
    }
    return names;
}

bool EndsInDotOrBlank(const std::string& name) {
    return !name.empty() && (ansi::EndsWith(name, '.') || ansi::EndsWith(name, ' '));
}

}  // namespace

std::string TrustVerdict::Reason() const {
    switch (problem) {
        case TrustProblem::None: return "only administrators can change " + path;
        case TrustProblem::NotFullPath: return path + " is not a full path in plain form";
        case TrustProblem::Missing: return path + " is not there";
        case TrustProblem::Unreadable: return "the owner and access rules of " + path + " cannot be read";
        case TrustProblem::NoAccessRules: return path + " is on a volume that keeps no access rules";
        case TrustProblem::NotAFolder: return path + " is not a folder";
        case TrustProblem::ReparsePoint: return path + " is a junction or link";
        case TrustProblem::UntrustedOwner: return path + " is owned by " + SidName(who);
        case TrustProblem::NullDacl: return path + " has no access rules: everyone may change it";
        case TrustProblem::WritableByOthers: return SidName(who) + " may change " + path + " (" + Hex(rights) + ")";
        case TrustProblem::UnknownRules: return "the access rules of " + path + " cannot be read as rules";
    }
    return path;
}

std::vector<std::string> ChainPaths(const std::string& path) {
    std::string root;
    std::vector<std::string> names;
    if (path.size() >= 3 && path[1] == ':' && IsSep(path, 2) &&
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))) {
        root = path.substr(0, 2) + "\\";
        names = Names(path, 3);
    } else if (path.size() > 2 && IsSep(path, 0) && IsSep(path, 1)) {
        names = Names(path, 2);
        // \\?\ and \\.\ name devices and raw paths: not a plain form.
        if (names.size() < 2 || names[0].empty() || names[1].empty() || names[0] == "?" || names[0] == ".") return {};
        root = "\\\\" + names[0] + "\\" + names[1] + "\\";
        names.erase(names.begin(), names.begin() + 2);
    } else {
        return {};
    }
    std::vector<std::string> chain{root};
    std::string current = root;
    for (size_t i = 0; i < names.size(); ++i) {
        std::string name = names[i];
        if (name.empty() || name == ".") continue;
        if (name == "..") return {};
        if (EndsInDotOrBlank(name)) {
            if (i + 1 != names.size()) return {};
            while (EndsInDotOrBlank(name)) name.pop_back();
            if (name.empty()) continue;
        }
        current += (ansi::EndsWithSeparator(current) ? "" : "\\") + name;
        chain.push_back(current);
    }
    return chain;
}

TrustVerdict JudgeChain(const std::vector<SecurityFacts>& chain, const TrustIdentity& identity, bool file) {
    TrustVerdict v;
    if (chain.empty()) {
        v.problem = TrustProblem::NotFullPath;
        return v;
    }
    for (size_t i = 0; i < chain.size(); ++i) {
        const SecurityFacts& f = chain[i];
        const bool last = i + 1 == chain.size();
        if (!f.exists) {
            if (file) {
                v.problem = TrustProblem::Missing;
                v.path = chain.back().path;
                return v;
            }
            v.missing = static_cast<int>(chain.size() - i);
            break;
        }
        // A file's own folder is judged as the folder itself: whoever may add
        // files beside the uninstaller may plant what it loads.
        const bool itself = last || (file && i + 2 == chain.size());
        const uint32_t matter = !itself ? kAncestorChangeRights
                                : last && file ? kFileChangeRights
                                               : kFolderChangeRights;
        v = JudgeEntry(f, identity, matter, !(last && file));
        if (!v.Trusted()) return v;
    }
    v.path = chain.back().path;
    return v;
}

bool SplitDescriptor(const std::string& sddl, std::string& owner, std::string& dacl) {
    owner.clear();
    dacl.clear();
    // A section starts wherever a letter and ":" stand outside parentheses:
    // no SID and no flag holds a ":".
    std::vector<size_t> starts;
    int depth = 0;
    for (size_t i = 0; i < sddl.size(); ++i) {
        if (sddl[i] == '(') ++depth;
        if (sddl[i] == ')') --depth;
        if (depth == 0 && i + 1 < sddl.size() && sddl[i + 1] == ':') starts.push_back(i);
    }
    if (starts.empty() || starts[0] != 0 || depth != 0) return false;
    starts.push_back(sddl.size());
    for (size_t k = 0; k + 1 < starts.size(); ++k) {
        const char section = sddl[starts[k]];
        const std::string body = sddl.substr(starts[k] + 2, starts[k + 1] - starts[k] - 2);
        if (section == 'O') owner = body;
        else if (section == 'D') dacl = "D:" + body;
        else if (section != 'G' && section != 'S') return false;
    }
    return true;
}

std::string InheritedDacl(const std::string& parentDacl, bool folder, const std::string& creatorOwner) {
    Dacl parent;
    if (!ParseDacl(parentDacl, parent) || parent.null) return std::string();
    std::string out = "D:AI";
    auto add = [&](const Ace& a, const std::string& flags, const std::string& rights, const std::string& sid) {
        out += "(" + a.type + ";" + flags + ";" + rights + ";" + a.objectGuid + ";" + a.inheritGuid + ";" + sid;
        out += a.rest + ")";
    };
    for (const Ace& a : parent.aces) {
        const bool oi = a.Has("OI"), ci = a.Has("CI"), np = a.Has("NP");
        const bool applies = folder ? ci : oi;
        // What it becomes on the new entry itself: generic rights mapped,
        // CREATOR OWNER and CREATOR GROUP named.
        const std::string sid = CanonicalSid(a.sid);
        const bool creator = sid == kCreatorOwner || sid == kCreatorGroup;
        const std::string effectiveSid = creator ? creatorOwner : a.sid;
        uint32_t raw = 0;
        ParseRights(a.rights, raw);
        const bool mapped = creator || (raw & kGenericBits) != 0;
        // Passed on further down: only folders pass anything on, and only
        // what does not stop at them.
        const bool passesOn = folder && !np && (oi || ci);
        std::string passFlags = std::string(oi ? "OI" : "") + (ci ? "CI" : "");
        if (applies && (!passesOn || !mapped)) {
            // One entry serves both the entry itself and what comes below.
            add(a, (passesOn ? passFlags : std::string()) + "ID", mapped ? RightsText(a.mask) : a.rights,
                mapped ? effectiveSid : a.sid);
        } else {
            if (applies) add(a, "ID", RightsText(a.mask), effectiveSid);
            if (passesOn) add(a, passFlags + "IOID", a.rights, a.sid);
        }
    }
    return out;
}

}  // namespace plat
