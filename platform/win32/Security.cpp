// Access rules of files and folders through the security functions of
// advapi32, and who the running program is.
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <vector>

#include "platform/Error.h"
#include "platform/Security.h"
#include "platform/win32/Handles.h"

namespace plat {

namespace {

// A security descriptor made from SDDL text, freed on every path out.
class Descriptor {
public:
    explicit Descriptor(const char* sddl) {
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &sd_, nullptr)) {
            sd_ = nullptr;
        }
    }
    ~Descriptor() {
        if (sd_) LocalFree(sd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    PSECURITY_DESCRIPTOR Get() const { return sd_; }
    PACL Dacl() const {
        BOOL present = FALSE, defaulted = FALSE;
        PACL dacl = nullptr;
        if (!sd_ || !GetSecurityDescriptorDacl(sd_, &present, &dacl, &defaulted) || !present) return nullptr;
        return dacl;
    }

private:
    PSECURITY_DESCRIPTOR sd_ = nullptr;
};

}  // namespace

bool MakeFolderWithAccess(const std::string& path, const char* access) {
    Descriptor sd(access);
    if (!sd.Get()) {
        KeepError(GetLastError());
        return false;
    }
    SECURITY_ATTRIBUTES sa = {sizeof sa, sd.Get(), FALSE};
    // CreateDirectory fails on anything that exists: the folder is always new.
    if (CreateDirectoryA(path.c_str(), &sa)) return true;
    KeepError(GetLastError());
    return false;
}

bool SetAccess(const std::string& path, const char* access) {
    Descriptor sd(access);
    PACL dacl = sd.Dacl();
    if (!dacl) {
        KeepError(ERROR_INVALID_SECURITY_DESCR);
        return false;
    }
    std::string name = path;  // the function takes a writable string
    DWORD rc = SetNamedSecurityInfoA(&name[0], SE_FILE_OBJECT,
                                     DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                                     nullptr, nullptr, dacl, nullptr);
    // A volume without access rules (FAT) has nothing to protect.
    if (rc == ERROR_SUCCESS || rc == ERROR_NOT_SUPPORTED || rc == ERROR_INVALID_FUNCTION) return true;
    KeepError(rc);
    return false;
}

std::string ReadAccess(const std::string& path) {
    std::string name = path;
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (GetNamedSecurityInfoA(&name[0], SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                              nullptr, nullptr, &sd) != ERROR_SUCCESS) {
        return std::string();
    }
    std::string text;
    LPSTR sddl = nullptr;
    if (ConvertSecurityDescriptorToStringSecurityDescriptorA(sd, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                             &sddl, nullptr)) {
        text = sddl;
        LocalFree(sddl);
    }
    LocalFree(sd);
    return text;
}

namespace {

std::string SidText(PSID sid) {
    LPSTR text = nullptr;
    if (!sid || !ConvertSidToStringSidA(sid, &text)) return std::string();
    std::string out = text;
    LocalFree(text);
    return out;
}

// One kind of token information, in a buffer of the size it needs.
std::vector<BYTE> TokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind) {
    DWORD size = 0;
    GetTokenInformation(token, kind, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !GetTokenInformation(token, kind, buffer.data(), size, &size)) buffer.clear();
    return buffer;
}

// Wine's ntdll answers wine_get_version; Windows' never does.
bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// Whether the volume that holds path keeps access rules (NTFS does, FAT does not).
bool KeepsAccessRules(const std::string& path, bool& known) {
    char volume[MAX_PATH + 1];
    DWORD flags = 0;
    known = GetVolumePathNameA(path.c_str(), volume, sizeof volume) &&
            GetVolumeInformationA(volume, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0);
    if (!known) KeepError(GetLastError());
    return (flags & FILE_PERSISTENT_ACLS) != 0;
}

}  // namespace

// Under Wine the token's default owner is S-1-5-21-0-0-0-513 (a group), yet
// every file Wine makes is owned by the user's own SID, and every process of
// the user has the same full token: there the user is the administrator and
// the creator of what we make. On Windows the default owner of an elevated
// administrator is the Administrators group (UAC on: the user's SID is then
// also that of the same user's non-elevated processes, not trusted); with
// UAC off it is the user, every process of whom is an administrator.
TrustIdentity CurrentIdentity() {
    TrustIdentity identity;
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) {
        KeepError(GetLastError());
        return identity;
    }
    win32::UniqueKernelObject token(raw);
    std::vector<BYTE> user = TokenInformation(token.Get(), TokenUser);
    std::vector<BYTE> owner = TokenInformation(token.Get(), TokenOwner);
    if (!user.empty()) identity.user = SidText(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid);
    const std::string defaultOwner =
        owner.empty() ? std::string() : SidText(reinterpret_cast<TOKEN_OWNER*>(owner.data())->Owner);
    BYTE admins[SECURITY_MAX_SID_SIZE];
    DWORD adminsSize = sizeof admins;
    BOOL member = FALSE;
    const bool administrator = CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, admins, &adminsSize) &&
                               CheckTokenMembership(nullptr, admins, &member) && member;
    const bool wine = RunningUnderWine();
    identity.userCountsAsAdministrator =
        administrator && !identity.user.empty() && (wine || defaultOwner == identity.user);
    identity.creatorOwner = wine ? identity.user : defaultOwner;
    return identity;
}

SecurityFacts ReadSecurityFacts(const std::string& path) {
    SecurityFacts facts;
    facts.path = path;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        KeepError(error);
        facts.exists = error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
        facts.readable = !facts.exists;
        return facts;
    }
    facts.exists = true;
    facts.attributes = attributes;
    bool known = false;
    facts.keepsAccessRules = KeepsAccessRules(path, known);
    if (!known) {
        facts.readable = false;
        return facts;
    }
    if (!facts.keepsAccessRules) return facts;
    std::string name = path;  // the function takes a writable string
    PSECURITY_DESCRIPTOR sd = nullptr;
    const SECURITY_INFORMATION what = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    DWORD rc = GetNamedSecurityInfoA(&name[0], SE_FILE_OBJECT, what, nullptr, nullptr, nullptr, nullptr, &sd);
    if (rc != ERROR_SUCCESS) {
        KeepError(rc);
        facts.readable = false;
        return facts;
    }
    LPSTR sddl = nullptr;
    if (ConvertSecurityDescriptorToStringSecurityDescriptorA(sd, SDDL_REVISION_1, what, &sddl, nullptr)) {
        facts.readable = SplitDescriptor(sddl, facts.owner, facts.dacl);
        LocalFree(sddl);
    } else {
        KeepError(GetLastError());
        facts.readable = false;
    }
    LocalFree(sd);
    return facts;
}

}  // namespace plat
