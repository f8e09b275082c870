#include "engine/SystemPath_unit.h"

#include "platform/Error.h"
#include "platform/System.h"

namespace {

const char* const kCurrentVersionKey = "\\Software\\MicroSoft\\Windows\\CurrentVersion";
const char* const kShellFoldersKey = "\\Explorer\\Shell Folders";

// Row 0 per user, row 1 all users; the entry is at scope * 5 + kind.
const char* const kShellFolderNames[2 * 5] = {
    "Start Menu",        "Programs",        "Startup",        "Desktop",        "SendTo",
    "Common Start Menu", "Common Programs", "Common Startup", "Common Desktop", "Common SendTo",
};

}  // namespace

std::string TSystemPath::ReadCurrentVersionString(plat::RootKey root, const std::string& subKeyPath,
                                                  const std::string& valueName) {
    // Read access only: asking for all access rights would make a standard
    // user, who may read these keys but not write them, read nothing at all.
    plat::RegKey key;
    if (!key.Open(root, kCurrentVersionKey + subKeyPath, plat::RegAccess::Read)) return "";
    plat::RegType type = plat::RegType::None;
    std::string data;
    if (!key.ReadValue(valueName, type, data)) return "";
    if (type != plat::RegType::String && type != plat::RegType::ExpandString) {
        throw ESetupError(FormatMessage1("'%s' のデータ型が不正です", valueName));
    }
    // Environment references of REG_EXPAND_SZ stay as stored.
    const auto zero = data.find('\0');
    if (zero != std::string::npos) data.resize(zero);
    return data;
}

std::string TSystemPath::GetSystemPath(int kind) {
    std::string folder;
    switch (kind) {
    case spProgramFiles:
        return ReadCurrentVersionString(plat::RootKey::LocalMachine, "", "ProgramFilesDir");
    case spWindows:
        return plat::QueryWindowsFolder(folder) ? folder : std::string();
    case spSystem:
        return plat::QuerySystemFolder(folder) ? folder : std::string();
    case spDrivers:
        return GetSystemPath(spSystem) + "\\Drivers";
    default:
        return "";
    }
}

std::string TSystemPath::GetShellFolder(bool allUsers, int kind) {
    if (kind < sfStartMenu || kind > sfSendTo) return "";
    const int scope = allUsers ? 1 : 0;
    return ReadCurrentVersionString(allUsers ? plat::RootKey::LocalMachine : plat::RootKey::CurrentUser,
                                    kShellFoldersKey, kShellFolderNames[scope * 5 + kind]);
}
