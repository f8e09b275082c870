// check's structural findings: the installer's own runs of the project on a
// simulated typical machine, listened to.
#include <algorithm>
#include <map>
#include <memory>

#include "engine/RunPath_unit.h"
#include "engine/SystemPath_unit.h"
#include "platform/FileSystem.h"
#include "platform/sim/Sim.h"
#include "platform/sim/WindowsDescriptors.h"
#include "project/GrobalFunction_unit.h"
#include "project/ProjectProperty_unit.h"
#include "tools/setupproj/Keywords.h"
#include "tools/setupproj/Places.h"
#include "tools/setupproj/ProjectSource.h"
#include "tools/setupproj/ProjectText.h"
#include "tools/setupproj/Verify.h"

namespace setupproj {

namespace {

const char* const kMedium = MachineRuns::kMedium;
// Where a project that proposes no usable installation folder installs: the
// user chooses one on the location page, or the installation fails (which
// its own finding says); the rest of the project is judged all the same.
const char kStandIn[] = "Chosen Folder";

// The path as the machine stores it.
WinPath Stored(const std::string& path) { return ParseFullPath(sim::FullPath(path)); }

class StructureCheck {
public:
    StructureCheck(ProjectSource& source, const CheckOptions& options, Findings& findings)
        : source_(source), options_(options), f_(findings) {}
    void Run();

private:
    const TProjectProperty& Project() const { return source_.project; }
    ProjectPlaces Places() const { return ProjectPlaces(source_, folders_); }
    bool SetUpMachine();
    bool Install();
    bool TakeOut(const TFailureRecord& failure);
    TRecordRef Original(TRecordRef record) const;
    TRecordRef FolderAt(const WinPath& folder) const;
    // "its folder ... is <why>"; a folder that may exist is a warning.
    void MissingFolder(const TRecordRef& item, const WinPath& folder, const std::string& why, bool mayExist);
    void FindCollisions();
    // The shortcuts' targets, as the installation leaves the machine.
    void CheckTargets();
    void FoldersLeft(const std::vector<Leftover>& leftovers);

    ProjectSource& source_;
    const CheckOptions& options_;
    Findings& f_;
    std::string installFolder_;
    bool standIn_ = false;
    std::vector<std::string> folders_;
    // The records the run is given, by their index in the project.
    std::vector<int> folders, files, shortcuts;
    std::vector<std::string> mayExist_;  // folders outside the known places, taken as there
    std::unique_ptr<MachineRuns> runs_;
};

// A typical machine (the folders of TypicalKeywordFolders) with the folders
// that may exist, and on a medium the installer and the project, which starts
// it as the installer; then the run is given the records left in, each
// copying a file of the medium (what a source holds or where it lies makes
// no structure).
bool StructureCheck::SetUpMachine() {
    // Its InstallMode has a finding of its own: the installer it ships with.
    TProjectProperty model;
    model.Parse(source_.project.Serialize());
    model.InstallMode = 0;
    if (standIn_) {
        model.InitDirectory = 0;
        model.SubDirectory = kStandIn;
    }
    runs_ = std::make_unique<MachineRuns>(true);
    if (runs_->Start(options_.programFileName, model.Serialize()) != ssInstall) return false;
    sim::SetValue(plat::RootKey::LocalMachine, sim::kCurrentVersionKey, "ProgramFilesDir", plat::RegType::String,
                  kTypicalProgramFiles);
    // With the rules Windows gives it: the installer refuses a location below
    // a folder that others could change.
    sim::AddFolder(kTypicalProgramFiles);
    sim::SetOwner(kTypicalProgramFiles, sim::descriptors::kProgramFiles.owner);
    sim::SetDacl(kTypicalProgramFiles, sim::descriptors::kProgramFiles.dacl);
    const std::pair<int, const char*> shellFolders[] = {
        {fkStartup, "Startup"}, {fkPrograms, "Programs"}, {fkStartMenu, "Start Menu"}, {fkDesktop, "Desktop"},
        {fkSendTo, "SendTo"}};
    for (const auto& shell : shellFolders) {
        const std::string& folder = folders_[static_cast<size_t>(shell.first)];
        sim::SetValue(plat::RootKey::CurrentUser, sim::kShellFoldersKey, shell.second, plat::RegType::String, folder);
        sim::AddFolder(folder);
    }
    sim::SetSystemFolder(folders_[fkSystem]);
    sim::AddFolder(folders_[fkDrivers]);
    for (const std::string& folder : mayExist_) {
        if (folder[1] == ':') sim::AddDrive(folder[0]);
        sim::AddFolder(folder);
    }
    TProjectProperty& run = *runs_->installer.Project;
    run.Folders.Clear();
    for (int i : folders) run.Folders.Add() = Project().Folders.Items(i);
    run.Files.Clear();
    for (int i : files) {
        TCopyFile& item = run.Files.Add();
        item = Project().Files.Items(i);
        item.SourceFile = RunPath::JoinPath(kMedium, "source" + std::to_string(i));
        sim::AddFile(item.SourceFile, std::string());
    }
    run.Shortcuts.Clear();
    for (int i : shortcuts) run.Shortcuts.Add() = Project().Shortcuts.Items(i);
    runs_->Remember();
    return true;
}

TRecordRef StructureCheck::Original(TRecordRef record) const {
    const std::vector<int>* list = record.kind == rkFolder ? &folders
                                   : record.kind == rkFile ? &files
                                   : record.kind == rkShortcut ? &shortcuts
                                                               : nullptr;
    if (list && record.index >= 0) record.index = (*list)[static_cast<size_t>(record.index)];
    return record;
}

// The folder record that names the folder, or else the folder item that
// made it as a parent.
TRecordRef StructureCheck::FolderAt(const WinPath& folder) const {
    for (const RunItem& item : runs_->installHost.items) {
        if (item.event.record.kind == rkFolder && !item.stored.empty() && plat::path::KeyOf(item.stored) == folder.Key()) {
            return Original(item.event.record);
        }
    }
    return Original(MadeAsParent(runs_->installHost.items, folder));
}

void StructureCheck::MissingFolder(const TRecordRef& item, const WinPath& folder, const std::string& why,
                                   bool mayExist) {
    const std::string text = "its folder " + Places().Form(folder) + " is " + why + ": " +
                             (item.kind == rkShortcut ? "the shortcut cannot be saved there" : "the copy fails there");
    const int line = Places().LineOf(item);
    if (mayExist) {
        f_.Warn(line, text + " unless it exists on the machine");
    } else {
        f_.Error(line, text + " and the installation stops");
    }
}

// A file or shortcut that stopped the run, reported and taken out (or, when
// its folder may exist on a real machine, that folder taken as there), so
// that the next run goes past it. False for a failure that tells nothing of
// the structure.
bool StructureCheck::TakeOut(const TFailureRecord& failure) {
    const TRecordRef item = Original(failure.record);
    if (item.kind != rkFile && item.kind != rkShortcut) return false;
    std::vector<int>& list = item.kind == rkFile ? files : shortcuts;
    list.erase(std::find(list.begin(), list.end(), item.index));
    if (failure.path.empty()) return true;
    const WinPath path = ParseFullPath(failure.path);
    if (plat::DirectoryExists(failure.path)) {
        f_.Error(Places().LineOf(item), "the destination " + Places().Form(path) + " is a folder made by line " +
                                            std::to_string(Places().LineOf(FolderAt(Stored(failure.path)))) + ": " +
                                            (item.kind == rkShortcut ? "the shortcut cannot be saved" : "the copy fails") +
                                            " and the installation stops");
        return true;
    }
    const WinPath folder = path.Parent();
    if (plat::FileExists(folder.Text())) {
        const std::string key = Stored(folder.Text()).Key();
        TRecordRef maker;
        for (const RunItem& made : runs_->installHost.items) {
            const bool file = made.event.outcome == ioCopied || made.event.outcome == ioCreated;
            if (file && plat::path::KeyOf(made.stored) == key) {
                maker = Original(made.event.record);
                break;
            }
        }
        MissingFolder(item, folder, "a file made by line " + std::to_string(Places().LineOf(maker)), false);
        return true;
    }
    // A folder that a record names but the machine did not make (a path too
    // long, say) has findings of its own.
    for (const RunItem& made : runs_->installHost.items) {
        if (made.event.outcome == ioNotMade && plat::path::KeyOf(made.event.path) == folder.Key()) return true;
    }
    if (plat::DirectoryExists(folder.Text())) return true;
    const bool mayExist = TypicalOrigin(folder, folders_) == FolderOrigin::kUnknown;
    MissingFolder(item, folder, "made by no folder record", mayExist);
    if (mayExist) {
        // Taken as there: the record goes back into the run.
        if (std::find(mayExist_.begin(), mayExist_.end(), folder.Text()) != mayExist_.end()) return false;
        mayExist_.push_back(folder.Text());
        list.insert(std::upper_bound(list.begin(), list.end(), item.index), item.index);
    }
    return true;
}

bool StructureCheck::Install() {
    // Each round takes one record out, or lets one folder be: it ends.
    const size_t rounds = folders.size() + files.size() + shortcuts.size() + 2;
    for (size_t round = 0; round < rounds; ++round) {
        if (!SetUpMachine()) return false;
        if (runs_->Install()) return true;
        if (!TakeOut(runs_->installer.Engine().FailureRecord())) return false;
    }
    return false;
}

// Items of the installation that come to one path.
void StructureCheck::FindCollisions() {
    const ProjectPlaces places = Places();
    std::map<std::string, TRecordRef> listedFolders, madeFiles;
    for (const RunItem& item : runs_->installHost.items) {
        if (item.stored.empty()) continue;
        const TRecordRef record = Original(item.event.record);
        const std::string key = plat::path::KeyOf(item.stored);
        const std::string path = places.Form(ParseFullPath(item.event.path));
        if (record.kind == rkFolder) {
            auto listed = listedFolders.find(key);
            if (listed != listedFolders.end()) {
                f_.Warn(places.LineOf(record), "the folder " + path + " is listed before, at line " +
                                                   std::to_string(places.LineOf(listed->second)));
            }
            listedFolders[key] = record;
        } else if (record.kind != rkInstallFolder) {
            auto made = madeFiles.find(key);
            if (made != madeFiles.end() && (record.kind == rkProgramCopy || record.kind == rkProjectCopy)) {
                f_.Error(places.LineOf(made->second),
                         "the destination " + path + " is where the installer puts its own copy (" +
                             RunPath::FileNamePart(item.event.path) + "): that copy replaces this file");
            } else if (made != madeFiles.end()) {
                f_.Warn(places.LineOf(record), "the same destination as line " +
                                                   std::to_string(places.LineOf(made->second)) + " (" + path +
                                                   "): this one replaces it");
            }
            // A later shortcut replaces the file; the same file copied
            // again is still the first one's.
            if (made == madeFiles.end() || record.kind == rkShortcut) madeFiles[key] = record;
        }
    }
}

void StructureCheck::CheckTargets() {
    const WinPath install = ParseFullPath(installFolder_);
    for (int i = 0; i < Project().Shortcuts.Count(); ++i) {
        const std::string& target = Project().Shortcuts.Items(i).TargetFile;
        const int line = source_.shortcutLines[static_cast<size_t>(i)];
        const ExpandedPath path = ExpandKeyword(target, folders_);
        if (target.empty()) {
            f_.Warn(line, "the shortcut has no target");
        } else if (!path.full.valid) {
            const std::string mistake = KeywordMistake(target);
            f_.Warn(line, "the target '" + Shown(target) + "' is relative" + (mistake.empty() ? std::string() : ": " + mistake));
        } else if (install.Contains(path.full) && !sim::Exists(path.full.Text())) {
            // Outside the installation folder a target belongs to the system,
            // which the project need not install.
            f_.Warn(line, "the target '" + Shown(target) + "' is not among the installed files");
        }
    }
}

// The folders that a record asks the uninstallation to remove, or that only
// the installation made, and that stay.
void StructureCheck::FoldersLeft(const std::vector<Leftover>& leftovers) {
    const ProjectPlaces places = Places();
    for (const Leftover& left : leftovers) {
        if (!left.folder || TypicalOrigin(left.path, folders_) != FolderOrigin::kNew) continue;
        const bool onlyParent = left.cause == LeftCause::kOnlyAParent;
        if (left.cause == LeftCause::kMarkedKeep || left.cause == LeftCause::kParentOfInstallFolder ||
            left.cause == LeftCause::kUnexplained || (!left.listedForRemoval && !onlyParent)) {
            continue;
        }
        f_.Warn(places.LineOf(left.item), "the folder " + places.Form(left.path) + " is left behind on uninstall: " +
                                              places.LeftoverCause(leftovers, left));
    }
}

void StructureCheck::Run() {
    const TProjectProperty& p = Project();
    installFolder_ = RunPath::ProposedInstallFolder(kTypicalProgramFiles, p.InitDirectory, p.SubDirectory);
    standIn_ = !ParseFullPath(installFolder_).valid;
    if (standIn_) installFolder_ = RunPath::JoinPath(kTypicalProgramFiles, kStandIn);
    folders_ = TypicalKeywordFolders(installFolder_);
    // Records whose paths are relative or empty are found on their own lines;
    // the run is given the others.
    for (int i = 0; i < p.Folders.Count(); ++i) {
        if (ExpandKeyword(p.Folders.Items(i).FolderPath, folders_).full.valid) folders.push_back(i);
    }
    auto placed = [this](const std::string& path) {
        const ExpandedPath expanded = ExpandKeyword(path, folders_);
        return expanded.full.valid && !expanded.full.IsRoot();
    };
    for (int i = 0; i < p.Files.Count(); ++i) {
        if (placed(p.Files.Items(i).DestFile)) files.push_back(i);
    }
    for (int i = 0; i < p.Shortcuts.Count(); ++i) {
        if (placed(p.Shortcuts.Items(i).LinkFile + ".lnk")) shortcuts.push_back(i);
    }
    const bool installed = Install();
    if (!runs_) return;
    FindCollisions();
    CheckTargets();
    if (!installed || !runs_->Uninstall() || !runs_->RemoveItself()) return;
    RunHistory history = runs_->History();
    for (std::vector<RunItem>* run : {&history.install, &history.uninstall}) {
        for (RunItem& item : *run) item.event.record = Original(item.event.record);
    }
    FoldersLeft(ExplainLeftovers(history, runs_->Left()));
}

}  // namespace

void CheckStructure(ProjectSource& source, const CheckOptions& options, Findings& findings) {
    StructureCheck(source, options, findings).Run();
}

}  // namespace setupproj
