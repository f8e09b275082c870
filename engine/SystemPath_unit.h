#pragma once
// The system and shell folders that the folder keywords stand for, and the
// Program Files folder that start-up builds the default installation folder on.
// Holds no state: every call asks the system afresh.
#include <string>

#include "platform/Registry.h"

enum TSystemPathKind { spProgramFiles = 0, spWindows = 1, spSystem = 2, spDrivers = 3 };
enum TShellFolderKind { sfStartMenu = 0, sfPrograms = 1, sfStartup = 2, sfDesktop = 3, sfSendTo = 4 };

class TSystemPath {
public:
    virtual ~TSystemPath() = default;

    // The folder of one of the four kinds; any other kind gives "".
    // spDrivers is the system folder followed by "\Drivers", even when the
    // system folder query failed.
    virtual std::string GetSystemPath(int kind);
    // The shell folder of the current user (allUsers false) or of all users,
    // as stored in "Shell Folders" (unexpanded, no separator added); "" when
    // the value is missing or the kind is not 0 to 4.
    virtual std::string GetShellFolder(bool allUsers, int kind);
    // One string value under Software\MicroSoft\Windows\CurrentVersion followed
    // by subKeyPath. "" when the key does not open or the value is missing;
    // raises ESetupError for a value that is not REG_SZ or REG_EXPAND_SZ.
    std::string ReadCurrentVersionString(plat::RootKey root, const std::string& subKeyPath,
                                         const std::string& valueName);
};
