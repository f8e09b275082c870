#include "tools/setupproj/Verify.h"

#include <algorithm>
#include <exception>
#include <map>
#include <memory>
#include <set>

#include "engine/FolderKeyword_unit.h"
#include "engine/RunPath_unit.h"
#include "engine/SetupEngine_unit.h"
#include "engine/SystemPath_unit.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/sim/Sim.h"
#include "project/GrobalFunction_unit.h"
#include "project/ProjectProperty_unit.h"
#include "tools/setupproj/Keywords.h"
#include "tools/setupproj/Places.h"
#include "tools/setupproj/ProjectLines.h"
#include "tools/setupproj/ProjectSource.h"
#include "tools/setupproj/ProjectText.h"
#include "tools/setupproj/Structure.h"

namespace setupproj {

namespace {

// Where the installer and its copy sources lie: a medium of their own, as a
// user starts a setup from a disc, a stick or a download folder.
const char kMedium[] = "D:\\medium";
// Every Windows has the list of installed programs.
const char kUninstallList[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::string Quoted(const std::string& cp932) { return "'" + Shown(cp932) + "'"; }

const char* BoxName(TRunBoxKind kind) {
    switch (kind) {
        case rbWarning: return "warning box";
        case rbError: return "error box";
        case rbInformation: return "information box";
    }
    return "box";
}

// The run host of a verification: no window and no progress. The first
// question of a run (whether to uninstall at all) is answered yes, every
// later one (a DeleteMode 2 file) as asked; questions and boxes are kept in
// the order they came.
class VerifyHost : public TRunHost {
public:
    VerifyHost(const std::string& installFolder, bool answerYes)
        : installFolder_(installFolder), answerYes_(answerYes) {}

    std::string InstallFolder() override { return installFolder_; }
    void StartProgress(int) override {}
    void ShowProgress(const std::string& path) override { lastItem = path; }
    bool AskYesNo(TRunBoxKind, const std::string& question) override {
        const bool yes = questions_++ == 0 || answerYes_;
        lines.push_back({"question", Shown(question), yes ? "-> yes" : "-> no"});
        return yes;
    }
    void ShowResult(TRunBoxKind kind, const std::string& text) override {
        lines.push_back({"message", Shown(text), BoxName(kind)});
    }
    void ShowEndPage() override {}
    void CloseWizard() override {}

    std::vector<VerifyLine> lines;
    std::string lastItem;  // the path of the item the run came to last

private:
    std::string installFolder_;
    bool answerYes_;
    int questions_ = 0;
};

// A source that names a file of one machine: a full path, one from the root
// of the current drive, or one relative to a drive's own current folder.
bool MachineSpecific(const std::string& source) {
    return RunPath::IsAbsolutePath(source) || source[0] == '\\' || source[0] == '/' ||
           (source.size() >= 2 && source[1] == ':');
}

std::string PathOf(const sim::Entry& entry) {
    std::string path = entry.path;
    if (entry.folder && path.size() > 3) path.pop_back();  // "C:\" keeps its separator
    return path;
}

// The self-removal batch's work on the simulated machine: its "del" and "rd"
// commands in their order. The program has ended by then, so the first
// "del" of the uninstaller succeeds and the batch's wait loop never turns.
void RunDeleteBatch(const std::string& text) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 2;
        size_t from = 0;
        while (from < line.size()) {
            size_t next = line.find(" & ", from);
            if (next == std::string::npos) next = line.size();
            const std::string command = TrimBlanks(line.substr(from, next - from));
            from = next + 3;
            const bool del = command.compare(0, 4, "del ") == 0, rd = command.compare(0, 3, "rd ") == 0;
            const size_t open = command.find('"'), close = command.find('"', open + 1);
            if ((!del && !rd) || open == std::string::npos || close == std::string::npos) continue;
            // '"' is never the second byte of a double-byte character.
            std::string path;
            const std::string quoted = command.substr(open + 1, close - open - 1);
            for (size_t i = 0; i < quoted.size(); ++i) {
                path += quoted[i];
                if (quoted[i] == '%' && i + 1 < quoted.size() && quoted[i + 1] == '%') ++i;
            }
            if (del) {
                plat::DeleteFileAt(path);
            } else {
                plat::RemoveFolder(path);
            }
        }
    }
}

class Verification {
public:
    Verification(const std::string& cp932, const VerifyOptions& options, SourceFiles& sources)
        : text_(cp932), options_(options), sources_(sources) {}
    VerifyReport Run();

private:
    void SetUpMachine();
    void Install();
    void Uninstall();
    void CollectLeftovers();
    std::string Form(const std::string& path) const { return Shown(ProjectForm(ParseFullPath(path), folders_)); }
    std::string InstallFailure(TSetupEngine& engine, const std::string& lastItem);
    std::vector<VerifyLine> Created(const sim::Snapshot& after, const std::vector<std::string>& registry);
    bool Before(const std::string& path) const { return before_.count(ParseFullPath(path).Key()) != 0; }

    const std::string& text_;
    const VerifyOptions& options_;
    SourceFiles& sources_;
    VerifyReport report_;
    TSetupState state_;
    ProjectSource source_;
    std::vector<std::string> folders_;  // of each keyword on the simulated machine
    std::string uninstaller_;           // where the installation puts the program's copy
    std::set<std::string> before_;      // every path before the installation, folded
    std::vector<std::string> registryBefore_;
};

void Verification::SetUpMachine() {
    sim::ResetAll();
    sim::AddDrive('D');
    sim::AddKey(plat::RootKey::LocalMachine, kUninstallList);
    state_.ExePath = RunPath::JoinPath(kMedium, options_.installerName);
    state_.SourceFolder = kMedium;
    state_.SystemPath = std::make_unique<TSystemPath>();
    state_.RunSucceeded = true;
    sim::AddFile(state_.ExePath, "MZ");
    sim::SetExecutablePath(state_.ExePath);
    plat::HoldOwnProgram();  // as Setup.exe's entry does

    const TProjectProperty& project = *state_.Project;
    for (int i = 0; i < project.Files.Count(); ++i) {
        const std::string& source = project.Files.Items(i).SourceFile;
        if (source.empty()) continue;
        const std::string path = RunPath::ResolveSourcePath(kMedium, source);
        const std::string line = "line " + std::to_string(source_.fileLines[static_cast<size_t>(i)]);
        if (MachineSpecific(source)) {
            // Nothing tells whether the user's machine has it: taken as there.
            if (source.size() >= 2 && source[1] == ':') sim::AddDrive(source[0]);
            const bool placed = sim::AddFile(path, std::string());
            report_.notes.push_back({"note", line + ": the source " + Quoted(source) + " names a file of one machine",
                                     placed ? "taken as present" : "not found"});
            continue;
        }
        std::string payloadName;
        if (sources_.Find(source, payloadName)) sim::AddFile(path, std::string());
    }

    const std::string programFiles =
        project.InitDirectory != 0 ? std::string() : state_.SystemPath->GetSystemPath(spProgramFiles);
    report_.installFolder = RunPath::ProposedInstallFolder(programFiles, project.InitDirectory, project.SubDirectory);
    for (int k = 0; k < fkCount; ++k) {
        folders_.push_back(KeywordFolder(
            k, [this] { return report_.installFolder; }, *state_.SystemPath));
    }
    uninstaller_ = RunPath::JoinPath(report_.installFolder, RunPath::FileNamePart(state_.ExePath));
    for (const sim::Entry& entry : sim::TakeSnapshot()) before_.insert(ParseFullPath(PathOf(entry)).Key());
    registryBefore_ = sim::RegistrySnapshot();
}

// The engine's record of what stopped the installation, with the line of
// the record it was at and what is missing there.
std::string Verification::InstallFailure(TSetupEngine& engine, const std::string& lastItem) {
    std::string failure = engine.FailureRecord().empty() ? std::string("the run stopped") : Shown(engine.FailureRecord());
    if (lastItem.empty() || engine.FailureRecord().find(lastItem) == std::string::npos) return failure;
    const TProjectProperty& project = *state_.Project;
    auto missingFolder = [&](const std::string& path) {
        const std::string folder = ParseFullPath(path).Parent().Text();
        return plat::DirectoryExists(folder) ? std::string()
                                             : "; its folder '" + Form(folder) + "' is not there: no folder record makes it";
    };
    for (int i = 0; i < project.Files.Count(); ++i) {
        const TCopyFile& item = project.Files.Items(i);
        if (engine.ExpandPath(item.DestFile) != lastItem) continue;
        std::string why;
        if (!plat::FileExists(RunPath::ResolveSourcePath(kMedium, item.SourceFile))) {
            why = "; the source " + Quoted(item.SourceFile) + " is not found beside the project";
        } else {
            why = missingFolder(lastItem);
        }
        return "line " + std::to_string(source_.fileLines[static_cast<size_t>(i)]) + ": " + failure + why;
    }
    for (int i = 0; i < project.Shortcuts.Count(); ++i) {
        if (engine.ExpandPath(project.Shortcuts.Items(i).LinkFile) != lastItem) continue;
        return "line " + std::to_string(source_.shortcutLines[static_cast<size_t>(i)]) + ": " + failure +
               missingFolder(lastItem + ".lnk");
    }
    return failure;
}

// What the installation added to the machine, in the tree's order, then to
// the registry.
std::vector<VerifyLine> Verification::Created(const sim::Snapshot& after, const std::vector<std::string>& registry) {
    std::vector<VerifyLine> lines;
    const std::string projectCopy = ProjectFileName(uninstaller_);
    for (const sim::Entry& entry : after) {
        const std::string path = PathOf(entry);
        if (Before(path)) continue;
        const std::string key = ParseFullPath(path).Key();
        sim::LinkFields link;
        if (entry.folder) {
            lines.push_back({"folder", Form(path), ""});
        } else if (key == ParseFullPath(uninstaller_).Key()) {
            lines.push_back({"file", Form(path), "the uninstaller"});
        } else if (key == ParseFullPath(projectCopy).Key()) {
            lines.push_back({"file", Form(path), "its project file, InstallMode 1"});
        } else if (sim::DecodeLink(entry.content, link)) {
            lines.push_back({"shortcut", Form(path), "-> " + Form(link.path)});
        } else {
            lines.push_back({"file", Form(path), ""});
        }
    }
    const std::set<std::string> old(registryBefore_.begin(), registryBefore_.end());
    for (const std::string& line : registry) {
        if (!old.count(line)) lines.push_back({"registry", Shown(line), ""});
    }
    return lines;
}

void Verification::Install() {
    VerifyHost host(report_.installFolder, options_.answerYes);
    TSetupEngine engine(state_, host);
    try {
        engine.RunInstall();
    } catch (const std::exception&) {
        // Kept as the failure record; the run has ended with its box.
    }
    report_.installSucceeded = state_.RunSucceeded;
    if (!report_.installSucceeded) report_.installFailure = InstallFailure(engine, host.lastItem);
    report_.install = Created(sim::TakeSnapshot(), sim::RegistrySnapshot());
    report_.install.insert(report_.install.end(), host.lines.begin(), host.lines.end());
}

// The installed copy as the uninstaller: it reads its own project copy, and
// its "[Install Folder]" is its own folder. After a successful run the
// window's destruction starts the self-removal, which does its work once
// the program has ended.
void Verification::Uninstall() {
    TSetupState removal;
    removal.ExePath = uninstaller_;
    removal.SourceFolder = RunPath::ExecutableFolder(uninstaller_);
    removal.SystemPath = std::make_unique<TSystemPath>();
    removal.RunSucceeded = true;
    removal.Project = std::make_unique<TProjectProperty>();
    sim::SetExecutablePath(uninstaller_);
    report_.uninstallRan = true;
    try {
        removal.Project->Load(ProjectFileName(uninstaller_));
    } catch (const ESetupError& e) {
        report_.uninstallFailure = "its project copy does not load: " + Shown(e.Message());
        return;
    }
    if (removal.Project->InstallMode == 0) {
        report_.uninstallFailure = "its project copy has InstallMode 0: it starts as an installer";
        return;
    }
    VerifyHost host(removal.SourceFolder, options_.answerYes);
    TSetupEngine engine(removal, host);
    try {
        engine.RunUninstall();
    } catch (const std::exception&) {
        // The run reports its own failure.
    }
    report_.uninstallSucceeded = removal.RunSucceeded;
    if (!report_.uninstallSucceeded) report_.uninstallFailure = Shown(engine.FailureRecord());
    report_.uninstall = host.lines;
    if (!report_.uninstallSucceeded) return;

    const sim::Snapshot installed = sim::TakeSnapshot();
    if (!engine.WriteDeleteBatch() || sim::StartedBatches().empty()) {
        report_.uninstall.push_back({"self-removal", "did not start", Shown(engine.FailureRecord())});
        return;
    }
    RunDeleteBatch(sim::Content(sim::StartedBatches().back().batch));
    for (const sim::Entry& entry : installed) {
        const std::string path = PathOf(entry);
        if (!Before(path) && !sim::Exists(path)) report_.selfRemoved.push_back(Form(path) + (entry.folder ? "\\" : ""));
    }
}

void Verification::CollectLeftovers() {
    StructureSetup setup;
    setup.keywordFolders = folders_;
    setup.programFileName = RunPath::FileNamePart(state_.ExePath);
    setup.originOf = [this](const WinPath& folder) {
        return before_.count(folder.Key()) ? FolderOrigin::kExisting : FolderOrigin::kNew;
    };
    setup.keepAnsweredFiles = !options_.answerYes;
    const StructureReport analysis = AnalyzeStructure(*state_.Project, setup);
    std::map<std::string, const Leftover*> causes;
    for (const Leftover& left : analysis.leftovers) causes[left.path.Key()] = &left;
    const ProjectPlaces places(source_, folders_);

    for (const sim::Entry& entry : sim::TakeSnapshot()) {
        const std::string path = PathOf(entry);
        if (Before(path)) continue;
        VerifyLeftover left;
        left.path = Form(path) + (entry.folder ? "\\" : "");
        left.folder = entry.folder;
        auto known = causes.find(ParseFullPath(path).Key());
        if (known != causes.end()) {
            left.intended = known->second->intended;
            left.cause = places.LeftoverCause(analysis, *known->second);
        } else {
            left.cause = "no record of the project explains it";
        }
        report_.leftovers.push_back(left);
    }
    const std::set<std::string> old(registryBefore_.begin(), registryBefore_.end());
    for (const std::string& line : sim::RegistrySnapshot()) {
        if (!old.count(line)) report_.leftovers.push_back({Shown(line), false, false, "the registration stays"});
    }
}

VerifyReport Verification::Run() {
    state_.Project = std::make_unique<TProjectProperty>();
    try {
        state_.Project->Parse(text_);
    } catch (const ESetupError& e) {
        report_.loadError = Shown(e.Message());
        return report_;
    }
    // The lines of the records, read by the rules of the installer's own
    // reading, so that they stand beside the same records.
    Findings ignored;
    ReadProjectSource(ScanIniText(text_), source_, ignored);
    source_.folderLines.resize(static_cast<size_t>(state_.Project->Folders.Count()));
    source_.fileLines.resize(static_cast<size_t>(state_.Project->Files.Count()));
    source_.shortcutLines.resize(static_cast<size_t>(state_.Project->Shortcuts.Count()));
    if (state_.Project->InstallMode != 0) {
        report_.loadError = "InstallMode " + std::to_string(state_.Project->InstallMode) +
                            ": the program starts as the uninstaller of an installed copy";
        return report_;
    }
    SetUpMachine();
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
