#include "tools/setupproj/Places.h"

#include "engine/FolderKeyword_unit.h"
#include "tools/setupproj/Keywords.h"
#include "tools/setupproj/ProjectText.h"

namespace setupproj {

std::string RecordPath(const TProjectProperty& p, const TRecordRef& item) {
    switch (item.kind) {
        case rkFolder: return p.Folders.Items(item.index).FolderPath;
        case rkFile: return p.Files.Items(item.index).DestFile;
        case rkShortcut: return p.Shortcuts.Items(item.index).LinkFile;
        default: return kFolderKeywords[fkInstallFolder];
    }
}

int ProjectPlaces::LineOf(const TRecordRef& item) const {
    const bool older = older_ && item.index >= kOlderRecord;
    const ProjectSource& source = older ? *older_ : source_;
    const size_t index = static_cast<size_t>(item.index - (older ? kOlderRecord : 0));
    switch (item.kind) {
        case rkFolder: return source.folderLines[index];
        case rkFile: return source.fileLines[index];
        case rkShortcut: return source.shortcutLines[index];
        default: return source.LineOf("Copy File", "SubDirectory");
    }
}

std::string ProjectPlaces::ItemText(const TRecordRef& item) const {
    if (older_ && item.index >= kOlderRecord) return RecordPath(older_->project, {item.kind, item.index - kOlderRecord});
    return RecordPath(source_.project, item);
}

std::string ProjectPlaces::Where(const TRecordRef& item) const {
    return "(line " + std::to_string(LineOf(item)) + (older_ && item.index >= kOlderRecord ? " of OLD)" : ")");
}

std::string ProjectPlaces::Form(const WinPath& path) const { return Quoted(ProjectForm(path, folders_)); }

std::string ProjectPlaces::HeldText(const std::vector<Leftover>& leftovers, const Leftover& left) const {
    std::string text = "it holds " + Form(left.otherPath);
    if (left.other.index >= 0) text += " " + Where(left.other);
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
        case LeftCause::kDeleteModeKeep: return "DeleteMode 1 leaves it in place " + Where(left.item);
        case LeftCause::kAnsweredNo:
            return "its DeleteMode 2 question was answered No " + Where(left.item);
        case LeftCause::kMarkedKeep: return "it is marked KeepOnUninstall " + Where(left.item);
        case LeftCause::kHolds: return HeldText(leftovers, left);
        case LeftCause::kListedAfterSubfolder:
            return "it is listed after its subfolder " + Form(left.otherPath) + " " + Where(left.other) +
                   ", and folders are removed last first, so it is not empty when its turn comes";
        case LeftCause::kOnlyAParent:
            return "it is made only as the parent of " + Quoted(ItemText(left.item)) + " " +
                   Where(left.item) + ", and no folder record removes it";
        case LeftCause::kParentOfInstallFolder:
            return "it is made as a parent of the installation folder, and nothing removes it (the self-removal "
                   "removes the installation folder only)";
        case LeftCause::kUnexplained: return "no record of the project explains it";
    }
    return std::string();
}

}  // namespace setupproj
