#include "tools/setupproj/Places.h"

#include "engine/FolderKeyword_unit.h"
#include "tools/setupproj/Keywords.h"
#include "tools/setupproj/ProjectText.h"

namespace setupproj {

namespace {

std::string Quoted(const std::string& cp932) { return "'" + Shown(cp932) + "'"; }
std::string LineText(int line) { return "(line " + std::to_string(line) + ")"; }

}  // namespace

int ProjectPlaces::LineOf(const ItemRef& item) const {
    switch (item.kind) {
        case ItemKind::kFolder: return source_.folderLines[static_cast<size_t>(item.index)];
        case ItemKind::kFile: return source_.fileLines[static_cast<size_t>(item.index)];
        case ItemKind::kShortcut: return source_.shortcutLines[static_cast<size_t>(item.index)];
        default: return source_.LineOf("Copy File", "SubDirectory");
    }
}

std::string ProjectPlaces::ItemText(const ItemRef& item) const {
    const TProjectProperty& p = source_.project;
    switch (item.kind) {
        case ItemKind::kFolder: return p.Folders.Items(item.index).FolderPath;
        case ItemKind::kFile: return p.Files.Items(item.index).DestFile;
        case ItemKind::kShortcut: return p.Shortcuts.Items(item.index).LinkFile;
        default: return kFolderKeywords[fkInstallFolder];
    }
}

std::string ProjectPlaces::Form(const WinPath& path) const { return Quoted(ProjectForm(path, folders_)); }

std::string ProjectPlaces::HeldText(const StructureReport& report, const Leftover& left) const {
    std::string text = "it holds " + Form(left.otherPath);
    if (left.other.index >= 0) text += " " + LineText(LineOf(left.other));
    const Leftover* held = report.LeftoverAt(left.otherPath);
    if (!held) return text;
    switch (held->cause) {
        case LeftCause::kDeleteModeKeep: return text + ", which DeleteMode 1 leaves in place";
        case LeftCause::kAnsweredNo: return text + ", which stays when the user answers No";
        case LeftCause::kMarkedKeep: return text + ", which is marked KeepOnUninstall";
        default: return text + ", which is left behind";
    }
}

std::string ProjectPlaces::LeftoverCause(const StructureReport& report, const Leftover& left) const {
    switch (left.cause) {
        case LeftCause::kDeleteModeKeep: return "DeleteMode 1 leaves it in place " + LineText(LineOf(left.item));
        case LeftCause::kAnsweredNo:
            return "its DeleteMode 2 question was answered No " + LineText(LineOf(left.item));
        case LeftCause::kMarkedKeep: return "it is marked KeepOnUninstall " + LineText(LineOf(left.item));
        case LeftCause::kHolds: return HeldText(report, left);
        case LeftCause::kListedAfterSubfolder:
            return "it is listed after its subfolder " + Form(left.otherPath) + " " + LineText(LineOf(left.other)) +
                   ", and folders are removed last first, so it is not empty when its turn comes";
        case LeftCause::kOnlyAParent:
            return "it is made only as the parent of " + Quoted(ItemText(left.item)) + " " +
                   LineText(LineOf(left.item)) + ", and no folder record removes it";
        case LeftCause::kParentOfInstallFolder:
            return "it is made as a parent of the installation folder, and nothing removes it (the self-removal "
                   "removes the installation folder only)";
    }
    return std::string();
}

}  // namespace setupproj
