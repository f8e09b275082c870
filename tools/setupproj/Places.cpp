#include "tools/setupproj/Places.h"

#include "engine/FolderKeyword_unit.h"
#include "tools/setupproj/Keywords.h"
#include "tools/setupproj/ProjectText.h"

namespace setupproj {

namespace {

std::string LineText(int line) { return "(line " + std::to_string(line) + ")"; }

}  // namespace

int ProjectPlaces::LineOf(const TRecordRef& item) const {
    switch (item.kind) {
        case rkFolder: return source_.folderLines[static_cast<size_t>(item.index)];
        case rkFile: return source_.fileLines[static_cast<size_t>(item.index)];
        case rkShortcut: return source_.shortcutLines[static_cast<size_t>(item.index)];
        default: return source_.LineOf("Copy File", "SubDirectory");
    }
}

std::string ProjectPlaces::ItemText(const TRecordRef& item) const {
    const TProjectProperty& p = source_.project;
    switch (item.kind) {
        case rkFolder: return p.Folders.Items(item.index).FolderPath;
        case rkFile: return p.Files.Items(item.index).DestFile;
        case rkShortcut: return p.Shortcuts.Items(item.index).LinkFile;
        default: return kFolderKeywords[fkInstallFolder];
    }
}

std::string ProjectPlaces::Form(const WinPath& path) const { return Quoted(ProjectForm(path, folders_)); }

std::string ProjectPlaces::HeldText(const std::vector<Leftover>& leftovers, const Leftover& left) const {
    std::string text = "it holds " + Form(left.otherPath);
    if (left.other.index >= 0) text += " " + LineText(LineOf(left.other));
    const Leftover* held = LeftoverAt(leftovers, left.otherPath);
    if (!held) return text;
    switch (held->cause) {
        case LeftCause::kDeleteModeKeep: return text + ", which DeleteMode 1 leaves in place";
        case LeftCause::kAnsweredNo: return text + ", which stays when the user answers No";
        case LeftCause::kMarkedKeep: return text + ", which is marked KeepOnUninstall";
        default: return text + ", which is left behind";
    }
}

std::string ProjectPlaces::LeftoverCause(const std::vector<Leftover>& leftovers, const Leftover& left) const {
    switch (left.cause) {
        case LeftCause::kDeleteModeKeep: return "DeleteMode 1 leaves it in place " + LineText(LineOf(left.item));
        case LeftCause::kAnsweredNo:
            return "its DeleteMode 2 question was answered No " + LineText(LineOf(left.item));
        case LeftCause::kMarkedKeep: return "it is marked KeepOnUninstall " + LineText(LineOf(left.item));
        case LeftCause::kHolds: return HeldText(leftovers, left);
        case LeftCause::kListedAfterSubfolder:
            return "it is listed after its subfolder " + Form(left.otherPath) + " " + LineText(LineOf(left.other)) +
                   ", and folders are removed last first, so it is not empty when its turn comes";
        case LeftCause::kOnlyAParent:
            return "it is made only as the parent of " + Quoted(ItemText(left.item)) + " " +
                   LineText(LineOf(left.item)) + ", and no folder record removes it";
        case LeftCause::kParentOfInstallFolder:
            return "it is made as a parent of the installation folder, and nothing removes it (the self-removal "
                   "removes the installation folder only)";
        case LeftCause::kUnexplained: return "no record of the project explains it";
    }
    return std::string();
}

}  // namespace setupproj
