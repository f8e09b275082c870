#pragma once
// What no run on a simulated machine shows by itself: where a folder stands
// on a typical machine before the installation (one outside the places the
// installer knows "may exist"), and why each path that the uninstallation
// leaves behind stays, worked out from what the installer's own runs told of
// their items (engine/SetupEngine_unit.h).
#include <string>
#include <vector>

#include "engine/SetupEngine_unit.h"
#include "tools/setupproj/WinPath.h"

namespace setupproj {

// Where a folder stands before the installation: there for certain (drive
// roots, system and shell folders), certainly not (below the installation
// folder or below a shell folder), or unknown (anywhere else).
enum class FolderOrigin { kExisting, kNew, kUnknown };

// Where a folder stands before the installation on a typical machine whose
// keyword folders are keywordFolders (the installation folder first) and
// whose Program Files folder is the typical one.
FolderOrigin TypicalOrigin(const WinPath& folder, const std::vector<std::string>& keywordFolders);

// An item of a run with the full path that the machine gave it when it was
// done (as stored there: its letter case, no trailing dots or blanks); "" when
// nothing stood at the path then.
struct RunItem {
    TRunEvent event;
    std::string stored;
};

// What the installation and the uninstallation told, in their order.
struct RunHistory {
    std::vector<RunItem> install, uninstall;
};

enum class LeftCause {
    kDeleteModeKeep,         // a file that DeleteMode 1 leaves
    kAnsweredNo,             // a file whose DeleteMode 2 question was answered No
    kMarkedKeep,             // a folder marked KeepOnUninstall
    kHolds,                  // a folder that holds `other`, itself left behind
    kListedAfterSubfolder,   // its removal came while `other`, removed later, was still there
    kOnlyAParent,            // made only as the parent of `item`; no record removes it
    kParentOfInstallFolder,  // made as a parent of the installation folder
    kUnexplained,            // no record of the project made it or keeps it
};

struct Leftover {
    WinPath path;
    bool folder = false;
    TRecordRef item;                // its record; for a folder made as a parent, the item that made it
    bool listedForRemoval = false;  // a folder record asked the uninstallation to remove it
    LeftCause cause = LeftCause::kUnexplained;
    TRecordRef other;  // the item that the cause names
    WinPath otherPath;
    bool intended = false;  // what the project asks to keep, or a folder that holds such a thing
};

// A path that is there after the uninstallation and was not before the
// installation, as the machine stores it.
struct LeftPath {
    std::string stored;
    bool folder = false;
};

// Each path left with its cause, in the order of the paths' keys.
std::vector<Leftover> ExplainLeftovers(const RunHistory& history, const std::vector<LeftPath>& left);

// The folder item of the installation that made the folder as a parent of
// its own (the first folder made below it); none when no item did.
TRecordRef MadeAsParent(const std::vector<RunItem>& install, const WinPath& folder);

// The leftover at that path, or nullptr.
const Leftover* LeftoverAt(const std::vector<Leftover>& leftovers, const WinPath& path);

}  // namespace setupproj
