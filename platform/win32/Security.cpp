// Access rules of files and folders through the security functions of advapi32.
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include "platform/Error.h"
#include "platform/Security.h"

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

}  // namespace plat
