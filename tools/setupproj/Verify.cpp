#include "tools/setupproj/Verify.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <set>

#include "engine/FolderKeyword_unit.h"
#include "engine/PreviousInstall_unit.h"
#include "engine/RunPath_unit.h"
#include "engine/SystemPath_unit.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/sim/Sim.h"
#include "project/GrobalFunction_unit.h"
#include "project/ProjectProperty_unit.h"
#include "tools/setupproj/Keywords.h"
#include "tools/setupproj/Places.h"
#include "tools/setupproj/ProjectSource.h"
#include "tools/setupproj/ProjectText.h"

namespace setupproj {

namespace {

const char* const kMedium = MachineRuns::kMedium;

const char* BoxName(TRunBoxKind kind) {
    switch (kind) {
        case rbWarning: return "warning box";
        case rbError: return "error box";
        case rbInformation: return "information box";
        case rbRefusal: return "refusal box";
    }
    return "box";
}

std::string PathOf(const sim::Entry& entry) {
    std::string path = entry.path;
    if (entry.folder && path.size() > 3) path.pop_back();  // "C:\" keeps its separator
    return path;
}

const char kOlderMedium[] = "D:\\old";

// Whether one of the items was at the path.
bool MadeBy(const std::vector<RunItem>& items, const std::string& path) {
    return std::any_of(items.begin(), items.end(), [&path](const RunItem& item) {
        return !item.stored.empty() && plat::path::KeyOf(item.stored) == plat::path::KeyOf(path);
    });
}

class Verification {
public:
    Verification(const std::string& cp932, const VerifyOptions& options, SourceFiles& sources)
        : text_(cp932), options_(options), sources_(sources), runs_(options.answerYes) {}
    VerifyReport Run();

private:
    bool Over() const { return !options_.older.empty(); }
    void PlaceSources(const std::string& medium, const ProjectSource& project, SourceFiles& sources, bool notes);
    void InstallOlder(const std::string& program);
    bool SetUpMachine();
    void Install();
    void Uninstall();
    void CollectLeftovers();
    TRecordRef Origin(TRecordRef record) const;
    std::string Form(const std::string& path) const { return Shown(ProjectForm(ParseFullPath(path), folders_)); }
    std::string InstallFailure(const TFailureRecord& failure);
    std::vector<VerifyLine> Created(const std::vector<RunItem>& items, const std::set<std::string>& before,
                                    const std::vector<std::string>& registryBefore);

    const std::string& text_;
    const VerifyOptions& options_;
    SourceFiles& sources_;
    VerifyReport report_;
    ProjectSource source_, olderSource_;
    std::vector<std::string> folders_;  // of each keyword on the simulated machine
    MachineRuns runs_;
    ListeningHost olderHost_{true};
    TSetupSession older_{olderHost_};
    std::vector<std::string> registryBefore_, registryBeforeInstall_;
    std::set<std::string> beforeInstall_;  // the machine's paths as the installer starts
    TProjectProperty merged_;              // the project copy the uninstaller ran with
};

// The copy sources on the installer's medium, by name and size as the host
// has them (the size is what the registration counts; what a source holds
// changes nothing).
void Verification::PlaceSources(const std::string& medium, const ProjectSource& project, SourceFiles& sources,
                                bool notes) {
    for (int i = 0; i < project.project.Files.Count(); ++i) {
        const std::string& source = project.project.Files.Items(i).SourceFile;
        if (source.empty()) continue;
        const std::string path = RunPath::ResolveSourcePath(medium, source);
        // A source that names a file of one machine (any rooted form): nothing
        // tells whether the user's machine has it, so it is taken as there.
        const plat::path::Root root = plat::path::RootOf(source);
        if (root.form != plat::path::RootForm::kRelative) {
            if (root.name.size() == 2 && root.name[1] == ':') sim::AddDrive(root.name[0]);
            const bool placed = sim::AddFile(path, std::string());
            if (!notes) continue;
            report_.notes.push_back({"note",
                                     "line " + std::to_string(project.fileLines[static_cast<size_t>(i)]) +
                                         ": the source " + Quoted(source) + " names a file of one machine",
                                     placed ? "taken as present" : "not found"});
            continue;
        }
        std::string payloadName;
        if (sources.Find(source, payloadName)) {
            sim::AddFile(path, std::string());
            sim::SetFileSize(path, sources.SizeOf(source));
        }
    }
}

// verify --over: OLD, installed into the folder it proposes, as the user's
// machine has it when NEW comes.
void Verification::InstallOlder(const std::string& program) {
    const TSessionStart start = MachineRuns::StartAs(older_, program);
    if (start != ssInstall) {
        report_.olderFailed = true;
        report_.olderResult = "FAILED: " + (start == ssUninstall ? std::string("InstallMode is not 0")
                                                                 : Shown(older_.LoadError()));
        return;
    }
    report_.olderFailed = !MachineRuns::Ran(older_, olderHost_, true);
    folders_ = KeywordFolders(olderHost_.installFolder, *older_.SystemPath);
    report_.olderResult = "into " + Shown(olderHost_.installFolder) + ": " +
                          (report_.olderFailed ? "FAILED: " + Shown(older_.Engine().FailureRecord().text)
                                               : std::string("succeeded"));
    report_.older = Created(olderHost_.items, runs_.before, registryBefore_);
}

// The installer and its project on the medium (and OLD's installation
// before it); the installer starts up.
bool Verification::SetUpMachine() {
    const TSessionStart start = runs_.Start(options_.installerName, text_, [this] {
        PlaceSources(kMedium, source_, sources_, true);
        std::string older;
        if (Over()) {
            older = MachineRuns::PlaceInstaller(kOlderMedium, options_.installerName, options_.older);
            PlaceSources(kOlderMedium, olderSource_, *options_.olderSources, false);
        }
        runs_.Remember();
        registryBefore_ = sim::RegistrySnapshot();
        if (Over()) InstallOlder(older);
        beforeInstall_ = MachineRuns::Paths();
        registryBeforeInstall_ = sim::RegistrySnapshot();
    });
    switch (start) {
        case ssInstall: break;
        case ssUninstall:
            report_.loadError = "InstallMode " + std::to_string(runs_.installer.Project->InstallMode) +
                                ": the program starts as the uninstaller of an installed copy";
            return false;
        default: report_.loadError = Shown(runs_.installer.LoadError()); return false;
    }
    const TSetupSession& session = runs_.installer;
    source_.folderLines.resize(static_cast<size_t>(session.Project->Folders.Count()));
    source_.fileLines.resize(static_cast<size_t>(session.Project->Files.Count()));
    source_.shortcutLines.resize(static_cast<size_t>(session.Project->Shortcuts.Count()));
    report_.installFolder = runs_.installer.ProposedInstallFolder();
    if (Over() && !report_.olderFailed && !SamePath(olderHost_.installFolder, report_.installFolder)) {
        report_.notes.push_back({"note", "NEW does not propose OLD's folder", "nothing of OLD is carried"});
    }
    folders_ = KeywordFolders(report_.installFolder, *session.SystemPath);
    return true;
}

// The engine's record of what stopped the installation, with the line of
// the record it was at and what is missing there.
std::string Verification::InstallFailure(const TFailureRecord& failure) {
    const std::string text = failure.Empty() ? std::string("the run stopped") : Shown(failure.text);
    const TRecordRef& record = failure.record;
    if (record.kind != rkFile && record.kind != rkShortcut) return text;
    std::string why;
    if (record.kind == rkFile) {
        const std::string& source = runs_.installer.Project->Files.Items(record.index).SourceFile;
        if (!plat::FileExists(RunPath::ResolveSourcePath(kMedium, source))) {
            why = "; the source " + Quoted(source) + " is not found beside the project";
        }
    }
    if (why.empty() && !failure.path.empty()) {
        const std::string folder = ParseFullPath(failure.path).Parent().Text();
        if (!plat::DirectoryExists(folder)) {
            why = "; its folder '" + Form(folder) + "' is not there: no folder record makes it";
        }
    }
    return "line " + std::to_string(ProjectPlaces(source_, folders_).LineOf(record)) + ": " + text + why;
}

// What an installation added to the machine, in the tree's order, then to
// the registry.
std::vector<VerifyLine> Verification::Created(const std::vector<RunItem>& items, const std::set<std::string>& before,
                                              const std::vector<std::string>& registryBefore) {
    std::string uninstaller, projectCopy;
    for (const RunItem& item : items) {
        if (item.event.record.kind == rkProgramCopy) uninstaller = plat::path::KeyOf(item.stored);
        if (item.event.record.kind == rkProjectCopy) projectCopy = plat::path::KeyOf(item.stored);
    }
    std::vector<VerifyLine> lines;
    for (const sim::Entry& entry : sim::TakeSnapshot()) {
        const std::string path = PathOf(entry);
        const std::string key = plat::path::KeyOf(path);
        if (before.count(key)) continue;
        sim::LinkFields link;
        if (entry.folder) {
            lines.push_back({"folder", Form(path), ""});
        } else if (key == uninstaller) {
            lines.push_back({"file", Form(path), "the uninstaller"});
        } else if (key == projectCopy) {
            lines.push_back({"file", Form(path), "its project file, InstallMode 1"});
        } else if (sim::DecodeLink(entry.content, link)) {
            lines.push_back({"shortcut", Form(path), "-> " + Form(link.path)});
        } else {
            lines.push_back({"file", Form(path), ""});
        }
    }
    const std::set<std::string> old(registryBefore.begin(), registryBefore.end());
    for (const std::string& line : sim::RegistrySnapshot()) {
        if (old.count(line)) continue;
        const bool size = line.find(" [EstimatedSize] = ") != std::string::npos;
        lines.push_back({"registry", Shown(line), size ? "KB: the installed files, rounded up" : ""});
    }
    return lines;
}

void Verification::Install() {
    report_.installSucceeded = runs_.Install();
    if (!report_.installSucceeded) report_.installFailure = InstallFailure(runs_.installer.Engine().FailureRecord());
    report_.install = Created(runs_.installHost.items, beforeInstall_, registryBeforeInstall_);
    for (const RunItem& item : runs_.installHost.items) {
        const TRunEvent& e = item.event;
        if (e.record.kind != rkPreviousCopy) continue;
        report_.install.push_back({"previous", Form(e.path), (e.outcome == ioCarried ? "read: " : "NOT read: ") + e.note});
    }
    const std::vector<VerifyLine>& boxes = runs_.installHost.lines;
    report_.install.insert(report_.install.end(), boxes.begin(), boxes.end());
}

// The installed copy as the uninstaller. After a successful run the window's
// destruction starts the self-removal, which does its work once the program
// has ended.
void Verification::Uninstall() {
    report_.uninstallRan = true;
    report_.uninstallSucceeded = runs_.Uninstall();
    report_.uninstallFailure = runs_.uninstallFailure;
    report_.uninstall = runs_.uninstallHost.lines;
    if (runs_.uninstaller.Project) merged_.Parse(runs_.uninstaller.Project->Serialize());
    // Over OLD, what the new uninstaller removes through the records it carried.
    for (const RunItem& item : Over() ? runs_.uninstallHost.items : std::vector<RunItem>()) {
        const TRunEvent& e = item.event;
        if (e.outcome == ioRemoved && e.record.kind != rkRegistration && MadeBy(olderHost_.items, e.path) &&
            !MadeBy(runs_.installHost.items, e.path)) {
            report_.uninstall.push_back({"removed", Form(e.path), "installed by OLD only"});
        }
    }
    if (!report_.uninstallSucceeded) return;

    const sim::Snapshot installed = sim::TakeSnapshot();
    if (!runs_.RemoveItself()) {
        report_.uninstall.push_back({"self-removal", "did not start", runs_.uninstallFailure});
        return;
    }
    for (const sim::Entry& entry : installed) {
        const std::string path = PathOf(entry);
        if (!runs_.Before(path) && !sim::Exists(path)) {
            report_.selfRemoved.push_back(Form(path) + (entry.folder ? "\\" : ""));
        }
    }
}

// The uninstaller's copy holds NEW's records and those it carried of OLD:
// each is told as the record of the version that lists it.
TRecordRef Verification::Origin(TRecordRef record) const {
    if (!Over() || (record.kind != rkFolder && record.kind != rkFile && record.kind != rkShortcut)) return record;
    const std::string key = plat::path::KeyOf(RecordPath(merged_, record));
    for (const ProjectSource* version : {&source_, &olderSource_}) {
        const TProjectProperty& p = version->project;
        const int count = record.kind == rkFolder ? p.Folders.Count()
                          : record.kind == rkFile ? p.Files.Count()
                                                  : p.Shortcuts.Count();
        for (int i = 0; i < count; ++i) {
            if (plat::path::KeyOf(RecordPath(p, {record.kind, i})) != key) continue;
            return {record.kind, i + (version == &olderSource_ ? kOlderRecord : 0)};
        }
    }
    return record;
}

void Verification::CollectLeftovers() {
    const std::vector<LeftPath> left = runs_.Left();
    RunHistory history = runs_.History();
    std::vector<RunItem> older = Over() ? olderHost_.items : std::vector<RunItem>();
    for (RunItem& item : older) item.event.record.index += item.event.record.index >= 0 ? kOlderRecord : 0;
    history.install.insert(history.install.begin(), older.begin(), older.end());
    for (RunItem& item : history.uninstall) item.event.record = Origin(item.event.record);
    const std::vector<Leftover> leftovers = ExplainLeftovers(history, left);
    const ProjectPlaces places(source_, folders_, Over() ? &olderSource_ : nullptr);
    for (const LeftPath& path : left) {
        const Leftover* known = LeftoverAt(leftovers, ParseFullPath(path.stored));
        VerifyLeftover entry;
        entry.path = Form(path.stored) + (path.folder ? "\\" : "");
        entry.intended = known && known->intended;
        entry.cause = known ? places.LeftoverCause(leftovers, *known) : "no record of the project explains it";
        report_.leftovers.push_back(entry);
    }
    const std::set<std::string> old(registryBefore_.begin(), registryBefore_.end());
    for (const std::string& line : sim::RegistrySnapshot()) {
        if (!old.count(line)) report_.leftovers.push_back({Shown(line), false, "the registration stays"});
    }
}

VerifyReport Verification::Run() {
    // The lines of the records, read by the rules of the installer's own
    // reading, so that they stand beside the same records.
    Findings ignored;
    ReadProjectSource(text_, source_, ignored);
    ReadProjectSource(options_.older, olderSource_, ignored);
    if (!SetUpMachine()) return report_;
    if (report_.olderFailed) {
        report_.installFailure = "OLD's installation failed: NEW did not run";
        return report_;
    }
    Install();
    if (!report_.installSucceeded) return report_;
    Uninstall();
    CollectLeftovers();
    return report_;
}

std::string ResultText(const VerifyReport& report) {
    if (!report.loadError.empty()) return "FAILED: the installer does not load the project";
    if (!report.installSucceeded) return "FAILED: the installation fails";
    if (!report.uninstallSucceeded) return "FAILED: the uninstallation fails";
    size_t unintended = 0;
    for (const VerifyLeftover& left : report.leftovers) unintended += left.intended ? 0 : 1;
    if (unintended > 0) {
        return "FAILED: the uninstallation leaves " + std::to_string(unintended) +
               (unintended == 1 ? " path" : " paths") + " behind that the project does not keep";
    }
    if (!report.leftovers.empty()) return "installed; what is left behind is what the project keeps";
    return "installed, and the uninstallation leaves nothing behind";
}

void AddLines(std::string& out, const std::vector<VerifyLine>& lines) {
    for (const VerifyLine& line : lines) {
        std::string kind = line.kind;
        kind.resize(std::max<size_t>(kind.size(), 9), ' ');
        out += "  " + kind + " " + line.text;
        if (line.detail.empty()) {
            out += "\n";
        } else if (line.detail.compare(0, 2, "->") == 0) {
            out += " " + line.detail + "\n";
        } else {
            out += " (" + line.detail + ")\n";
        }
    }
}

}  // namespace

bool ListeningHost::AskYesNo(TRunBoxKind, const std::string& question) {
    const bool yes = questions_++ == 0 || answerYes_;
    lines.push_back({"question", Shown(question), yes ? "-> yes" : "-> no"});
    return yes;
}

void ListeningHost::ShowResult(TRunBoxKind kind, const std::string& text) {
    lines.push_back({"message", Shown(text), BoxName(kind)});
}

void ListeningHost::ItemDone(const TRunEvent& event) {
    // The machine's own spelling of the path: Windows' rules for names
    // (letter case, trailing dots and blanks) are its, not the tool's.
    items.push_back({event, event.record.kind == rkRegistration ? std::string() : sim::FullPath(event.path)});
}

std::set<std::string> MachineRuns::Paths() {
    std::set<std::string> paths;
    for (const sim::Entry& entry : sim::TakeSnapshot()) paths.insert(plat::path::KeyOf(PathOf(entry)));
    return paths;
}

std::string MachineRuns::PlaceInstaller(const std::string& folder, const std::string& name, const std::string& project) {
    const std::string program = RunPath::JoinPath(folder, name);
    sim::AddFile(program, "MZ");
    sim::AddFile(ProjectFileName(program), project);
    return program;
}

TSessionStart MachineRuns::StartAs(TSetupSession& session, const std::string& program) {
    sim::SetExecutablePath(program);
    plat::HoldOwnProgram();  // as Setup.exe's entry does
    return session.Start();
}

TSessionStart MachineRuns::Start(const std::string& installerName, const std::string& project,
                                 const std::function<void()>& prepare) {
    sim::ResetAll();
    sim::AddDrive('D');
    sim::AddKey(plat::RootKey::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    const std::string program = PlaceInstaller(kMedium, installerName, project);
    if (prepare) prepare();
    return StartAs(installer, program);
}

bool MachineRuns::Ran(TSetupSession& session, ListeningHost& host, bool install) {
    host.installFolder = session.ProposedInstallFolder();
    try {
        if (install) {
            session.Engine().RunInstall();
        } else {
            session.Engine().RunUninstall();
        }
    } catch (const std::exception&) {
        // Kept as the failure record; the run has ended with its box.
    }
    return session.RunSucceeded;
}

bool MachineRuns::Uninstall() {
    std::string program;
    for (const RunItem& item : installHost.items) {
        if (item.event.record.kind == rkProgramCopy) program = item.event.path;
    }
    sim::SetExecutablePath(program);
    switch (uninstaller.Start()) {
        case ssUninstall: break;
        case ssLoadFailed: uninstallFailure = "its project copy does not load: " + Shown(uninstaller.LoadError()); return false;
        case ssNoProject: uninstallFailure = "its project copy is not there: it ends at once"; return false;
        case ssInstall: uninstallFailure = "its project copy has InstallMode 0: it starts as an installer"; return false;
    }
    if (!Ran(uninstaller, uninstallHost, false)) uninstallFailure = Shown(uninstaller.Engine().FailureRecord().text);
    return uninstaller.RunSucceeded;
}

bool MachineRuns::RemoveItself() {
    if (!uninstaller.End()) {
        uninstallFailure = Shown(uninstaller.Engine().FailureRecord().text);
        return false;
    }
    // The program has ended by then, so the batch's wait for it is over at once.
    CarryOutSelfRemoval(uninstallHost.selfRemoval);
    return true;
}

std::vector<LeftPath> MachineRuns::Left() const {
    std::vector<LeftPath> left;
    for (const sim::Entry& entry : sim::TakeSnapshot()) {
        const std::string path = PathOf(entry);
        if (!Before(path)) left.push_back({path, entry.folder});
    }
    return left;
}

int VerifyReport::ExitStatus() const {
    if (!loadError.empty() || !installSucceeded || !uninstallSucceeded) return 2;
    int status = 0;
    for (const VerifyLeftover& left : leftovers) status = std::max(status, left.intended ? 1 : 2);
    return status;
}

VerifyReport VerifyProject(const std::string& cp932, const VerifyOptions& options, SourceFiles& sources) {
    return Verification(cp932, options, sources).Run();
}

std::string FormatVerifyReport(const std::string& projectName, const VerifyOptions& options,
                               const VerifyReport& report) {
    std::string out = "verify " + projectName + " on a simulated Windows\n";
    const int status = report.ExitStatus();
    if (!report.loadError.empty()) {
        out += "load: FAILED: " + report.loadError + "\n";
    } else {
        out += "installation folder: " + Shown(report.installFolder) + "\n";
        out += std::string("DeleteMode 2 questions answered: ") + (options.answerYes ? "yes" : "no") + "\n";
        AddLines(out, report.notes);
        if (!report.olderResult.empty()) out += "\nOLD's installation " + report.olderResult + "\n";
        AddLines(out, report.older);
        out += report.installSucceeded ? "\ninstallation: succeeded\n"
                                       : "\ninstallation: FAILED: " + report.installFailure + "\n";
        AddLines(out, report.install);
    }
    if (report.uninstallRan) {
        out += report.uninstallSucceeded ? "\nuninstallation: succeeded\n"
                                         : "\nuninstallation: FAILED: " + report.uninstallFailure + "\n";
        AddLines(out, report.uninstall);
        if (report.uninstallSucceeded) {
            out += "\nremoved by the self-removal once the uninstaller has ended:";
            out += report.selfRemoved.empty() ? " nothing\n" : "\n";
            for (const std::string& path : report.selfRemoved) out += "  " + path + "\n";
        }
        out += report.leftovers.empty() ? "\nleft behind: nothing\n" : "\nleft behind:\n";
        for (const VerifyLeftover& left : report.leftovers) {
            out += std::string("  ") + (left.intended ? "kept " : "LEFT ") + left.path + ": " + left.cause + "\n";
        }
    }
    out += "\nresult: " + ResultText(report) + " (exit status " + std::to_string(status) + ")\n";
    return out;
}

}  // namespace setupproj
