#pragma once
// Who may change what the elevated program leaves behind for later: the
// uninstaller and its project copy, and the self-removal's batch. Whoever can
// rewrite them runs code with administrator rights at the next uninstallation.
//
// Access rules are DACLs written as security descriptor text (SDDL). Wine
// stores them but does not enforce them.
#include <string>

namespace plat {

// The self-removal's private folder: SYSTEM and Administrators only, and what
// is made in it inherits that.
extern const char kPrivateFolderAccess[];
// The uninstaller and its project copy: SYSTEM and Administrators full access,
// Users read and run. Protected, so the folder's own rules do not reach them.
extern const char kProgramFileAccess[];

// Creates a new folder that has the access rules from its first moment.
// False when anything stands at that path already (it is never reused) or
// the folder cannot be made.
bool MakeFolderWithAccess(const std::string& path, const char* access);

// Replaces the DACL of an existing file or folder with the rules, protected
// from inheritance. Also true on a volume that keeps no access rules (FAT):
// there is nothing to protect there.
bool SetAccess(const std::string& path, const char* access);

// The DACL as SDDL text ("D:P(A;;FA;;;SY)..."), "" when it cannot be read.
std::string ReadAccess(const std::string& path);

}  // namespace plat
