#pragma once
// Which folders and files only administrators can change: the one rule the
// installation, the location page and the uninstaller ask. Whoever can change
// the installation folder, any folder above it, the uninstaller or its project
// copy runs code with administrator rights at the next uninstallation.
//
// The rule is pure: it judges what the system says of each entry of a chain
// (owner SID, DACL as SDDL text, attributes), so that a table of real
// descriptors tests it anywhere. Reading those facts is the backends' part
// (platform/Security.h).
//
// What counts, and why:
// - Trusted are SYSTEM, Administrators and TrustedInstaller; the current user
//   only where every process of that user is an administrator (see
//   TrustIdentity). Anyone else who owns an entry of the chain, or whom an
//   allowed entry of its DACL gives a right that matters, can change it.
// - An owner may always rewrite the DACL: an untrusted owner fails the entry.
// - The folder itself (the last of the chain) must keep others from adding
//   files or subfolders, deleting its children, deleting or renaming it, and
//   writing its DACL or owner. A file (the uninstaller, the project copy) must
//   keep them from writing or appending its data, deleting or renaming it, and
//   writing its DACL or owner.
// - A folder above it only has to keep others from deleting its children,
//   deleting it, and writing its DACL or owner: whoever may delete a child can
//   rename our folder away and put their own in its place, while whoever may
//   only add files or subfolders (Authenticated Users on C:\) cannot take a
//   name that exists.
// - Inherit-only entries do not apply to the entry itself and are skipped.
//   CREATOR OWNER, CREATOR GROUP, OWNER RIGHTS and PRINCIPAL SELF name nobody
//   of their own: the owner is judged as the owner.
// - Deny entries are not subtracted: a right one entry allows counts even
//   where another denies it. That may refuse a folder Windows would protect,
//   never the other way round; the folders of a real system have none.
// - A reparse point anywhere in the chain (a junction, a symbolic link, a
//   mounted folder) fails it: the elevated writes would go wherever its owner
//   points it.
// - A NULL DACL ("D:NO_ACCESS_CONTROL", or no DACL at all) lets everyone do
//   everything. A volume that keeps no access rules (FAT) protects nothing
//   either; it fails with a reason of its own, since the user can do nothing
//   about it but choose another drive.
// - Text that cannot be read as a DACL fails: a rule that is not understood
//   protects nothing we can vouch for.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace plat {

// SIDs in SDDL text.
extern const char kSidSystem[];            // S-1-5-18
extern const char kSidAdministrators[];    // S-1-5-32-544
extern const char kSidTrustedInstaller[];  // NT SERVICE\TrustedInstaller

// What the system says of one folder or file.
struct SecurityFacts {
    std::string path;
    bool exists = false;
    bool readable = true;          // owner and DACL could be read
    bool keepsAccessRules = true;  // false on a volume without access rules (FAT)
    uint32_t attributes = 0;       // as GetFileAttributes gives them
    std::string owner;             // a SID as SDDL writes it: "BA", "S-1-5-21-...-1001"
    std::string dacl;              // "D:..." as ConvertSecurityDescriptorToStringSecurityDescriptor writes it
};

// Who the running program is, for the owner and DACL entries that name it.
// The current user counts as an administrator only where no process of that
// user runs without administrator rights: on Windows with UAC an elevated
// administrator's default owner is the Administrators group, and the same
// user's other, non-elevated processes are among those we defend against, so
// there the user's own SID is not trusted; with UAC off the default owner is
// the user, and every process of the user is an administrator. Under Wine
// every process of the user has the same full token and Wine owns every file
// by the user's SID (its default owner, S-1-5-21-0-0-0-513, is never used
// for files), so there the user counts too. Which case holds is the
// backend's to say (platform/Security.h, CurrentIdentity).
struct TrustIdentity {
    std::string user;                        // the token's user SID
    bool userCountsAsAdministrator = false;
    std::string creatorOwner;                // the owner of what this process creates
};

enum class TrustProblem {
    None,
    NotFullPath,       // not a full path in plain form (relative, "..", a name ending in "." or " ")
    Missing,           // the file is not there
    Unreadable,        // its owner or DACL could not be read
    NoAccessRules,     // the volume keeps no access rules (FAT)
    NotAFolder,        // a file stands where the chain needs a folder
    ReparsePoint,      // a junction, symbolic link or mounted folder
    UntrustedOwner,    // owned by someone else
    NullDacl,          // no DACL: everyone may do everything
    WritableByOthers,  // a DACL entry gives someone else a right that matters
    UnknownRules,      // the DACL text cannot be read
};

struct TrustVerdict {
    TrustProblem problem = TrustProblem::None;
    std::string path;     // the folder or file that fails
    std::string who;      // the SID that may change it, when one does
    uint32_t rights = 0;  // the rights that matter that the entry gives
    // The folders of the chain that are not there yet (the folder form only):
    // what the installation will make.
    int missing = 0;

    bool Trusted() const { return problem == TrustProblem::None; }
    // One short English line for the debugger output and the failure record.
    std::string Reason() const;
};

// The rights that matter, by role (see above).
constexpr uint32_t kFolderChangeRights = 0x000D0046;    // add file/subfolder, delete child, delete, DAC, owner
constexpr uint32_t kAncestorChangeRights = 0x000D0040;  // delete child, delete, DAC, owner
constexpr uint32_t kFileChangeRights = 0x000D0006;      // write, append, delete, DAC, owner

// The entries of a full path from the volume root down: "C:\", "C:\A",
// "C:\A\B" (or "\\server\share\", ...). Separators may be "\" or "/", doubled
// separators and "." count for nothing, the last name loses trailing dots
// and blanks as Windows strips them. Empty for anything else: a relative or
// drive-relative path, "..", a name in the middle that ends in "." or " "
// (Windows would read a folder other than the one named).
std::vector<std::string> ChainPaths(const std::string& path);

// Judges a chain, root first. With file false the last entry is the folder
// itself; entries at the end may be missing (what is not there yet is judged
// by whoever makes it), and then the last that exists is judged as a folder
// above. With file true the last entry is a file and must exist, and its
// folder is judged as the folder itself.
TrustVerdict JudgeChain(const std::vector<SecurityFacts>& chain, const TrustIdentity& identity, bool file);

// The owner SID and the DACL text of a security descriptor's SDDL text
// ("O:BAG:SYD:PAI(...)"); the DACL keeps its "D:". False when it is not such text.
bool SplitDescriptor(const std::string& sddl, std::string& owner, std::string& dacl);

// The DACL a new entry inherits from its parent's, as Windows builds it:
// inheritable entries for a folder (CI) or a file (OI), generic rights mapped
// and CREATOR OWNER replaced by creatorOwner in the entries that apply to it,
// each marked inherited. "" (no DACL) when the parent has none. Where the
// parent passes nothing on, Windows gives the creator's default DACL instead;
// this answers an empty DACL ("D:AI"), which the rule judges by the owner.
std::string InheritedDacl(const std::string& parentDacl, bool folder, const std::string& creatorOwner);

}  // namespace plat
