#pragma once
// What the installation makes and what its uninstallation leaves, worked
// out from the project's lists alone: the folders, files, shortcuts and the
// uninstaller's own copy as the installation run makes them, one after the
// other, and the removal as the uninstallation run does it (shortcuts,
// files, folders last first, then the uninstaller's self-removal). It finds
// the files and shortcuts whose folder is not there when they are made, the
// items that share a destination, shortcuts whose target is not installed,
// and every file and folder left behind, each with its cause.
//
// `check` runs it with the folders of a typical machine; a run on a
// simulated machine can hand in that machine's folders and ask it why a
// path was left.
#include <functional>
#include <string>
#include <vector>

#include "tools/setupproj/WinPath.h"

class TProjectProperty;

namespace setupproj {

enum class ItemKind { kFolder, kFile, kShortcut, kInstallFolder, kProgramCopy, kProjectCopy };

struct ItemRef {
    ItemKind kind = ItemKind::kInstallFolder;
    int index = -1;  // into Folders, Files or Shortcuts; -1 for the others
};

// Where a folder stands before the installation: there for certain (drive
// roots, system and shell folders), certainly not (below the installation
// folder or below a shell folder), or unknown (anywhere else).
enum class FolderOrigin { kExisting, kNew, kUnknown };

struct StructureSetup {
    std::vector<std::string> keywordFolders;  // the folder of each keyword, in keyword table order
    std::string programFileName;              // the installer's file name: its copy is the uninstaller
    std::function<FolderOrigin(const WinPath&)> originOf;
    bool keepAnsweredFiles = false;  // every DeleteMode 2 question is answered No
};

struct MissingFolder {
    ItemRef item;    // the file or shortcut
    WinPath folder;  // the folder it needs
    bool certain;    // false: the folder may exist on the machine
    ItemRef occupiedBy;  // a file that stands where the folder should be (index -1 and kind
                         // kInstallFolder when none)
    bool occupied = false;
};

struct Collision {
    ItemRef first, second;  // first is the earlier one
    WinPath path;
    bool fatal;  // a file where a folder is made: that copy fails
};

enum class TargetProblem { kEmpty, kRelative, kNotInstalled };

struct BadTarget {
    int shortcut;
    TargetProblem problem;
};

enum class LeftCause {
    kDeleteModeKeep,        // a file that DeleteMode 1 leaves
    kAnsweredNo,            // a file whose DeleteMode 2 question was answered No
    kMarkedKeep,            // a folder marked KeepOnUninstall
    kHolds,                 // a folder that holds `other`, itself left behind
    kListedAfterSubfolder,  // its removal came while `other`, listed before it, was still there
    kOnlyAParent,           // made only as the parent of `item`; no record removes it
    kParentOfInstallFolder, // made as a parent of the installation folder
};

struct Leftover {
    WinPath path;
    bool folder;
    ItemRef item;           // its record; for a folder made as a parent, the item that made it
    bool listedForRemoval;  // a folder record with KeepOnUninstall 0 asked for its removal
    LeftCause cause;
    ItemRef other;          // the item that the cause names (kHolds: the held item's record)
    WinPath otherPath;
    bool intended;  // what the project asks to keep, or a folder that holds such a thing
};

struct StructureReport {
    std::vector<MissingFolder> missing;
    std::vector<Collision> collisions;
    std::vector<BadTarget> badTargets;
    std::vector<Leftover> leftovers;  // sorted by path

    // The leftover at that path, or nullptr.
    const Leftover* LeftoverAt(const WinPath& path) const;
};

StructureReport AnalyzeStructure(const TProjectProperty& project, const StructureSetup& setup);

// Where a folder stands before the installation on a typical machine whose
// keyword folders are keywordFolders (the installation folder first) and
// whose Program Files folder is the typical one.
FolderOrigin TypicalOrigin(const WinPath& folder, const std::vector<std::string>& keywordFolders);

// The project file's name for a program: its extension replaced by ".ini".
std::string ProjectNameOf(const std::string& programFileName);

}  // namespace setupproj
