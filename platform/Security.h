#pragma once
// Who may change what the elevated program leaves behind for later: the
// installation folder and the folders above it, the uninstaller and its
// project copy, and the self-removal's batch. Whoever can change them runs
// code with administrator rights at the next uninstallation.
//
// Access rules are DACLs written as security descriptor text (SDDL). The rule
// that judges them is platform/FolderTrust.h; this is where the system is
// asked. Wine keeps no access rules of its own: it maps a DACL onto the Unix
// permission bits and reads back a DACL made from them (SYSTEM and the user
// full, Everyone as the "other" bits allow), and it owns every file by the
// user's SID whatever owner it was given.
#include <string>
#include <vector>

#include "platform/FolderTrust.h"

namespace plat {

// The self-removal's private folder: SYSTEM and Administrators only, and what
// is made in it inherits that.
extern const char kPrivateFolderAccess[];
// The uninstaller and its project copy: SYSTEM and Administrators full access,
// Users read and run. Protected, so the folder's own rules do not reach them.
extern const char kProgramFileAccess[];
// An installation folder that would otherwise inherit rules letting others
// change it (below C:\, on another volume): owned by Administrators, SYSTEM and
// Administrators full, Users read and run, passed on to everything made
// inside; protected from what the parent passes on.
extern const char kInstallFolderAccess[];

// Creates a new folder that has the access rules (and the owner, when they
// name one) from its first moment. False when anything stands at that path
// already (it is never reused) or the folder cannot be made.
bool MakeFolderWithAccess(const std::string& path, const char* access);

// Replaces the DACL of an existing file or folder with the rules, protected
// from inheritance. Also true on a volume that keeps no access rules (FAT):
// there is nothing to protect there.
bool SetAccess(const std::string& path, const char* access);

// The DACL as SDDL text ("D:P(A;;FA;;;SY)..."), "" when it cannot be read.
std::string ReadAccess(const std::string& path);

// Who the running program counts as for the rule (see TrustIdentity).
TrustIdentity CurrentIdentity();

// Owner, DACL and attributes of one file or folder. exists is false when
// nothing is at the path (nor at a folder above it); readable is false when
// something is there but its owner and DACL cannot be read.
SecurityFacts ReadSecurityFacts(const std::string& path);

// Can anyone but SYSTEM, Administrators and TrustedInstaller change or
// replace this folder? Judged over every folder from the volume root down;
// folders at the end that are not there yet are counted in the verdict's
// missing (what the installation makes is judged once it is there).
TrustVerdict JudgeFolderChain(const std::string& folder);
// The same for a file (the uninstaller, its project copy): its own owner and
// DACL, and the chain of its folder judged as JudgeFolderChain judges it. A
// missing file fails.
TrustVerdict JudgeFileChain(const std::string& file);

// How a folder of the installation location came to be.
enum class FolderOrigin {
    Existed,    // it was there: never trusted for that, the run judges it
    Inherited,  // made with plain inheritance below a parent that passes on nothing others may use
    WithRules,  // made with kInstallFolderAccess
};
struct ChainFolder {
    std::string path;
    FolderOrigin origin = FolderOrigin::Existed;
};

// Creates the missing folders of the installation location, root first. A
// folder whose parent would pass on rules that fail it is made with
// kInstallFolderAccess, given at creation; one below a parent that passes on
// nothing others may use (Program Files) inherits, as every folder made there
// always has. Folders that exist are taken as they are and reported so: the
// run judges the chain after this. chain receives every folder of the
// location with its origin. Raises ESetupError for an empty path, as the
// folder-chain creation does; otherwise returns whether the folder exists
// afterwards (false with the system's error kept when a folder cannot be made
// or a file stands in the way).
bool MakeInstallFolder(const std::string& path, std::vector<ChainFolder>& chain);

}  // namespace plat
