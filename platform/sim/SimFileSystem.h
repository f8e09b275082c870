#pragma once
// Test control of the sim file system: an in-memory tree of drives, folders
// and files with Windows path rules (drive letters, "\" separators, "." and
// "..", names compared case-insensitively for ASCII letters), attributes,
// locked files, files held open for writing by someone else, short names,
// and faults on demand.
//
// Default state (ResetFileSystem, also before the first use):
//   C:\Windows, C:\Windows\system32, C:\Windows\Temp, C:\Program Files,
//   the profile C:\users\sim with Desktop, SendTo, Start Menu,
//   Start Menu\Programs and Start Menu\Programs\Startup,
//   the all-users profile C:\users\Public with the same folders,
//   the temporary folder C:\temp\, the current folder C:\work and the
//   executable C:\work\Setup.exe (a small file).
//
// Security: every entry has an owner SID and a DACL (SDDL text). C:\, Program
// Files, Windows, Windows\Temp, users and the profile carry what Windows shows
// for them (WindowsDescriptors.h); C:\temp and C:\work are owned by the user
// (sim::descriptors::kUser), as folders a user made below C:\; any other
// drive's root is that of a newly formatted volume. An entry made afterwards,
// by the tree's functions or the product's, is owned by the identity's
// creatorOwner (plat::CurrentIdentity, sim/SimSystem.h) and inherits its
// parent's DACL as plat::InheritedDacl builds it; MakeFolderWithAccess gives
// the rules (and owner) it is given.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Security.h"

namespace sim {

// The default profile folders (no trailing backslash).
extern const char* const kProfileFolder;         // C:\users\sim
extern const char* const kStartMenuFolder;       // ...\Start Menu
extern const char* const kProgramsFolder;        // ...\Start Menu\Programs
extern const char* const kStartupFolder;         // ...\Start Menu\Programs\Startup
extern const char* const kDesktopFolder;         // ...\Desktop
extern const char* const kSendToFolder;          // ...\SendTo
extern const char* const kCommonProfileFolder;   // C:\users\Public
extern const char* const kCommonStartMenuFolder;
extern const char* const kCommonProgramsFolder;
extern const char* const kCommonStartupFolder;
extern const char* const kCommonDesktopFolder;
extern const char* const kCommonSendToFolder;

void ResetFileSystem();

// Paths may be relative (to the sim's current folder) and use any case.
void AddDrive(char letter);
// Creates the folder and every missing parent; false when a file is in the way.
bool AddFolder(const std::string& path);
// Creates or replaces the file (missing parent folders are created).
bool AddFile(const std::string& path, const std::string& bytes,
             uint32_t attributes = plat::kAttrArchive);
// Makes the file that size, as if it held that many bytes (plat::FileSizeOf
// and copies see it) without keeping them; false when there is no such file.
bool SetFileSize(const std::string& path, uint64_t size);
bool Remove(const std::string& path);  // a file or a whole folder tree, ignoring every guard

bool Exists(const std::string& path);  // a file or a folder
bool IsFile(const std::string& path);
bool IsFolder(const std::string& path);
std::string Content(const std::string& path);     // empty when there is no such file
uint32_t Attributes(const std::string& path);     // stored bits; kInvalidAttributes when missing
void SetAttributes(const std::string& path, uint32_t attributes);
std::string StoredName(const std::string& path);  // the last component as stored (its case)
std::string ShortNameOf(const std::string& path);
// The full path as the tree spells it (stored case), empty when missing.
std::string FullPath(const std::string& path);

// Locked: cannot be opened for reading or writing, copied over or deleted.
void SetLocked(const std::string& path, bool locked = true);
// Held open for writing by another program that shares reads only: readers
// that deny writers (ReadWholeFile) cannot open it, nor can writers or deletes.
void SetOpenForWriting(const std::string& path, bool open = true);
// One more writer as a program that writes the file while sharing reads only
// (the file is created when missing). Returns its full path, or "" when the
// file cannot be opened so (a folder, read-only or in use); ReleaseWriter
// with that path ends it.
std::string AddWriter(const std::string& path);
void ReleaseWriter(const std::string& fullPath);
// A short name of one's own (empty: none). Names that are not 8.3 otherwise
// get a generated NAME~N.EXT form when they are created.
void SetShortName(const std::string& path, const std::string& shortName);

// Faults on demand, by path (the path need not exist yet).
// Nothing can be written or created directly inside the folder.
void DenyCreateIn(const std::string& folder, bool deny = true);
void FailAttributeWrite(const std::string& path, bool fail = true);
void FailDelete(const std::string& path, bool fail = true);  // files and folders
// Access rules cannot be written there (MakeFolderWithAccess, SetAccess).
void FailAccessWrite(const std::string& path, bool fail = true);

// An entry's owner SID and DACL as they stand ("" is no DACL), to stage a
// folder made by someone else or loosened later; plat::ReadAccess reads the
// DACL back.
void SetOwner(const std::string& path, const std::string& owner);
void SetDacl(const std::string& path, const std::string& dacl);
std::string Owner(const std::string& path);
// A junction, symbolic link or mount point at that entry (the attribute
// only: paths still lead to the entry's own contents).
void SetReparsePoint(const std::string& path, bool reparse = true);
// A volume that keeps no access rules (FAT): its entries lose theirs.
void SetKeepsAccessRules(char drive, bool keeps);

void SetCurrentFolder(const std::string& path);  // no checks, unlike plat::SetCurrentFolder
// The file itself is not created. Another program starts: the held file of
// the last one (plat::HoldOwnProgram) is closed.
void SetExecutablePath(const std::string& path);
void SetTempFolder(const std::string& path);      // stored with a trailing backslash

// Search handles of plat::FindHandle that are open now.
int OpenFindHandles();

// Every entry of the tree, in a stable order, for before/after comparisons.
struct Entry {
    std::string path;        // full path, stored case; folders end with "\"
    bool folder = false;
    uint32_t attributes = 0;
    std::string content;
    bool operator==(const Entry& other) const {
        return path == other.path && folder == other.folder &&
               attributes == other.attributes && content == other.content;
    }
};
using Snapshot = std::vector<Entry>;
Snapshot TakeSnapshot();
std::vector<std::string> ListAll();  // the paths of TakeSnapshot()
// The names in a folder (stored case, sorted case-insensitively); empty when missing.
std::vector<std::string> ListFolder(const std::string& folder);
// Readable differences: "+ path" added, "- path" removed, "~ path" changed.
std::vector<std::string> Changes(const Snapshot& before, const Snapshot& after);

}  // namespace sim
