// setupproj verify NEW --over OLD, and check NEW --over OLD (Upgrade.h).
#include "tools/setupproj/Upgrade.h"

#include <algorithm>
#include <exception>
#include <map>
#include <memory>
#include <set>

#include "engine/FolderKeyword_unit.h"
#include "engine/PreviousInstall_unit.h"
#include "engine/RunPath_unit.h"
#include "engine/SystemPath_unit.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/sim/Sim.h"
#include "project/GrobalFunction_unit.h"
#include "project/ProjectProperty_unit.h"
#include "tools/setupproj/HostFiles.h"
#include "tools/setupproj/HostSources.h"
#include "tools/setupproj/Keywords.h"
#include "tools/setupproj/Places.h"
#include "tools/setupproj/ProjectSource.h"
#include "tools/setupproj/ProjectText.h"

namespace setupproj {

namespace {

std::string Folded(const std::string& path) { return plat::path::KeyOf(path); }

const char* KindWord(TRecordKind kind) {
    switch (kind) {
        case rkInstallFolder:
        case rkFolder: return "folder";
        case rkShortcut: return "shortcut";
        case rkRegistration: return "registry";
        case rkPreviousCopy: return "previous";
        default: return "file";
    }
}

const char* OutcomeWord(TItemOutcome outcome) {
    switch (outcome) {
        case ioMade: return "made";
        case ioExisted: return "there already";
        case ioNotMade: return "NOT made";
        case ioCopied: return "copied";
        case ioSaved: return "saved";
        case ioCreated: return "created";
        case ioRegistered: return "registered";
        case ioRemoved: return "removed";
        case ioAbsent: return "not there";
        case ioLeftByDeleteMode: return "kept: DeleteMode 1";
        case ioKeptAfterNo: return "kept: answered No";
        case ioKeptOnUninstall: return "kept: KeepOnUninstall";
        case ioKeywordFolder: return "a keyword folder: it stays";
        case ioNotEmpty: return "not empty: it stays";
        case ioNotRemoved: return "NOT removed";
        case ioCarried: return "read";
        case ioNotTrusted: return "NOT read";
        case ioNotRead: return "NOT read";
    }
    return "";
}

// One version: its project, where it lies on the medium, what its
// installation told.
struct Version {
    std::string name;  // as the command line gave it
    std::string bytes;
    ProjectSource source;
    std::string program;  // on the medium
    ListeningHost host{true};
    std::unique_ptr<TSetupSession> session;
};

class UpgradeVerification {
public:
    UpgradeVerification(const VerifyOptions& options) : options_(options), uninstallHost_(options.answerYes) {}
    int Run(Version& older, Version& newer, SourceFiles& olderSources, SourceFiles& newerSources,
            std::string& out);

private:
    void Place(Version& v, const std::string& folder, SourceFiles& sources);
    bool Install(Version& v, const char* step, std::string& out);
    std::string Form(const std::string& path) const { return Shown(ProjectForm(ParseFullPath(path), folders_)); }
    std::string Origin(const std::string& stored) const;
    void Lines(const std::vector<RunItem>& items, bool origins, std::string& out) const;

    const VerifyOptions& options_;
    Version* older_ = nullptr;
    Version* newer_ = nullptr;
    std::vector<std::string> folders_;
    std::set<std::string> before_;
    ListeningHost uninstallHost_;
};

void UpgradeVerification::Place(Version& v, const std::string& folder, SourceFiles& sources) {
    v.program = RunPath::JoinPath(folder, options_.installerName);
    sim::AddFile(v.program, "MZ");
    sim::AddFile(ProjectFileName(v.program), v.bytes);
    TProjectProperty& p = v.source.project;
    for (int i = 0; i < p.Files.Count(); ++i) {
        const std::string& source = p.Files.Items(i).SourceFile;
        if (source.empty()) continue;
        std::string payloadName;
        // A source of one machine is taken as present, as verify takes it.
        const bool full = RunPath::IsAbsolutePath(source) || (source.size() >= 2 && source[1] == ':');
        if (full && source.size() >= 2 && source[1] == ':') sim::AddDrive(source[0]);
        if (full || sources.Find(source, payloadName)) {
            sim::AddFile(RunPath::ResolveSourcePath(folder, source), std::string());
        }
    }
}

// Who installed the path: "OLD", "NEW" or "both".
std::string UpgradeVerification::Origin(const std::string& stored) const {
    const std::string key = Folded(stored);
    auto made = [&key](const Version& v) {
        return std::any_of(v.host.items.begin(), v.host.items.end(),
                           [&key](const RunItem& item) { return !item.stored.empty() && Folded(item.stored) == key; });
    };
    const bool byOld = made(*older_), byNew = made(*newer_);
    return byOld && byNew ? "both" : byOld ? "OLD only" : byNew ? "NEW only" : "";
}

void UpgradeVerification::Lines(const std::vector<RunItem>& items, bool origins, std::string& out) const {
    for (const RunItem& item : items) {
        const TRunEvent& e = item.event;
        std::string kind = KindWord(e.record.kind);
        kind.resize(std::max<size_t>(kind.size(), 9), ' ');
        const std::string path = e.record.kind == rkRegistration ? Shown(e.path) : e.path.empty() ? "" : Form(e.path);
        std::string detail = OutcomeWord(e.outcome);
        if (!e.note.empty()) detail += ": " + e.note;
        if (origins && !e.path.empty() && e.record.kind != rkRegistration) {
            const std::string origin = Origin(e.path);
            if (!origin.empty()) detail += ", installed by " + origin;
        }
        out += "  " + kind + " " + path + " (" + detail + ")\n";
    }
}

bool UpgradeVerification::Install(Version& v, const char* step, std::string& out) {
    sim::SetExecutablePath(v.program);
    plat::HoldOwnProgram();
    v.session = std::make_unique<TSetupSession>(v.host);
    const TSessionStart start = v.session->Start();
    if (start != ssInstall) {
        out += std::string(step) + ": FAILED: " +
               (start == ssUninstall ? std::string("InstallMode is not 0: it starts as an uninstaller")
                                     : Shown(v.session->LoadError())) +
               "\n";
        return false;
    }
    v.host.installFolder = v.session->ProposedInstallFolder();
    folders_ = KeywordFolders(v.host.installFolder, *v.session->SystemPath);
    const bool ok = MachineRuns::Ran(*v.session, true);
    out += std::string(step) + " into " + Shown(v.host.installFolder) + ": " +
           (ok ? "succeeded" : "FAILED: " + Shown(v.session->Engine().FailureRecord().text)) + "\n";
    Lines(v.host.items, false, out);
    return ok;
}

int UpgradeVerification::Run(Version& older, Version& newer, SourceFiles& olderSources, SourceFiles& newerSources,
                             std::string& out) {
    older_ = &older;
    newer_ = &newer;
    MachineRuns::FreshMachine();
    Place(older, "D:\\old", olderSources);
    Place(newer, "D:\\new", newerSources);
    for (const sim::Entry& entry : sim::TakeSnapshot()) before_.insert(Folded(entry.path));
    const std::vector<std::string> registryBefore = sim::RegistrySnapshot();

    out += std::string("DeleteMode 2 questions answered: ") + (options_.answerYes ? "yes" : "no") + "\n\n";
    if (!Install(older, "1. OLD: installation", out)) return 2;
    const std::string oldFolder = older.host.installFolder;
    out += "\n";
    if (!Install(newer, "2. NEW: installation", out)) return 2;
    const bool sameFolder = SamePath(oldFolder, newer.host.installFolder);
    if (!sameFolder) out += "  NOTE: NEW does not propose OLD's folder: nothing of OLD is carried\n";

    // NEW's uninstaller, as the registration starts it.
    TSetupSession uninstaller(uninstallHost_);
    std::string failure;
    out += "\n3. uninstallation by NEW's uninstaller: ";
    if (!MachineRuns::UninstallBy(newer.host.items, uninstaller, uninstallHost_, failure)) {
        out += "FAILED: " + failure + "\n";
        Lines(uninstallHost_.items, true, out);
        return 2;
    }
    // The copy it ran from: the records of both versions.
    const TProjectProperty& copy = *uninstaller.Project;
    out += "succeeded\n";
    Lines(uninstallHost_.items, true, out);
    for (const VerifyLine& line : uninstallHost_.lines) out += "  " + line.kind + " " + line.text + "\n";
    if (uninstaller.End()) CarryOutSelfRemoval(uninstallHost_.selfRemoval);

    // What stays, and why, from what the uninstallation told of each path.
    std::map<std::string, TItemOutcome> told;
    for (const RunItem& item : uninstallHost_.items) {
        std::string path = item.event.path;
        if (item.event.outcome == ioKeptOnUninstall && item.event.record.kind == rkFolder) {
            bool keywordFolder = false;
            path = ExpandFolderKeywords(
                copy.Folders.Items(item.event.record.index).FolderPath, keywordFolder,
                [this] { return newer_->host.installFolder; }, *newer.session->SystemPath);
        }
        if (!path.empty() && item.event.record.kind != rkRegistration) told[Folded(sim::FullPath(path))] = item.event.outcome;
    }
    std::vector<VerifyLeftover> left;  // as the machine stores each path
    const sim::Snapshot after = sim::TakeSnapshot();
    // Deepest first, so that a folder knows whether what it holds is kept.
    for (auto it = after.rbegin(); it != after.rend(); ++it) {
        std::string stored = it->path;
        if (it->folder && stored.size() > 3) stored.pop_back();  // "C:\" keeps its separator
        if (before_.count(Folded(stored))) continue;
        const std::string key = Folded(stored);
        VerifyLeftover l{stored, it->folder, false, ""};
        auto found = told.find(key);
        const TItemOutcome outcome = found == told.end() ? ioMade : found->second;
        if (outcome == ioLeftByDeleteMode || outcome == ioKeptAfterNo || outcome == ioKeptOnUninstall) {
            l.intended = true;
            l.cause = OutcomeWord(outcome);
        } else if (it->folder) {
            bool holdsKept = false, holdsAny = false;
            for (const VerifyLeftover& inner : left) {
                if (plat::path::Resolve(stored).Contains(plat::path::Resolve(inner.path))) {
                    holdsAny = true;
                    holdsKept = holdsKept || inner.intended;
                }
            }
            l.intended = holdsKept && holdsAny;
            l.cause = holdsAny ? (holdsKept ? "it holds what is kept" : "it holds what is left behind")
                               : "no record of either version removes it";
        } else {
            l.cause = "no record of either version removes it";
        }
        const std::string origin = Origin(stored);
        if (!origin.empty()) l.cause += " (installed by " + origin + ")";
        left.push_back(l);
    }
    std::reverse(left.begin(), left.end());
    const std::set<std::string> oldKeys(registryBefore.begin(), registryBefore.end());
    for (const std::string& line : sim::RegistrySnapshot()) {
        if (!oldKeys.count(line)) left.push_back({line, false, false, "the registration stays"});
    }
    int status = 0;
    out += left.empty() ? "\nleft behind: nothing\n" : "\nleft behind:\n";
    for (const VerifyLeftover& l : left) {
        std::string path = l.path.find("HKEY_") == 0 ? Shown(l.path) : Form(l.path) + (l.folder ? "\\" : "");
        out += std::string("  ") + (l.intended ? "kept " : "LEFT ") + path + ": " + l.cause + "\n";
        status = std::max(status, l.intended ? 1 : 2);
    }
    return status;
}

bool ReadVersion(const std::string& path, bool fromUtf8, Version& v, std::string& problem) {
    v.name = path;
    if (v.bytes.empty() && !host::ReadFile(path, v.bytes)) {
        problem = "cannot read the project file '" + host::Shown(path) + "'";
        return false;
    }
    if ((fromUtf8 || HasUtf8Bom(v.bytes)) && !ProjectToCp932(v.bytes, host::Shown(path), problem)) {
        problem.resize(problem.find('\n'));  // the first is enough to say why nothing ran
        return false;
    }
    Findings ignored;
    ReadProjectSource(v.bytes, v.source, ignored);
    return true;
}

}  // namespace

int VerifyOver(const ProjectInput& newer, const std::string& olderPath, const VerifyOptions& options,
               std::string& report) {
    Version older, newerVersion;
    newerVersion.bytes = newer.bytes;
    std::string problem;
    report = "verify " + host::Shown(newer.project) + " over " + host::Shown(olderPath) + " on a simulated Windows\n";
    if (!ReadVersion(olderPath, newer.fromUtf8, older, problem) ||
        !ReadVersion(newer.project, newer.fromUtf8, newerVersion, problem)) {
        report += "load: FAILED: " + problem + "\n";
        return 2;
    }
    HostSources olderSources(olderPath, newer.payload), newerSources(newer.project, newer.payload);
    VerifyOptions each = options;
    each.installerName = host::InstallerNameOf(newer.project);
    const int status = UpgradeVerification(each).Run(older, newerVersion, olderSources, newerSources, report);
    report += std::string("\nresult: ") +
              (status == 0   ? "NEW over OLD installed, and the uninstallation leaves nothing of either behind"
               : status == 1 ? "what is left behind is what the projects keep"
                             : "FAILED") +
              " (exit status " + std::to_string(status) + ")\n";
    return status;
}

Findings DroppedByNewer(const std::string& newerBytes, const std::string& olderBytes) {
    Findings ignored, findings;
    ProjectSource older, newer;
    ReadProjectSource(olderBytes, older, ignored);
    ReadProjectSource(newerBytes, newer, ignored);
    const TProjectProperty& p = newer.project;
    const std::vector<std::string> folders = TypicalKeywordFolders(
        RunPath::ProposedInstallFolder(kTypicalProgramFiles, p.InitDirectory, p.SubDirectory));
    std::vector<TRecordRef> dropped;
    CarryPreviousRecords(
        newer.project, older.project, [&folders](const std::string& path) { return ExpandKeyword(path, folders).text; },
        &dropped);
    const ProjectPlaces places(older, folders);
    for (const TRecordRef& record : dropped) {
        const char* what = record.kind == rkFolder ? "folder" : record.kind == rkShortcut ? "shortcut" : "file";
        findings.Warn(places.LineOf(record), std::string("the ") + what + " '" + Shown(places.ItemText(record)) +
                                                 "' is not in the new version: installed over this one, its "
                                                 "uninstaller removes it");
    }
    return findings;
}

}  // namespace setupproj
