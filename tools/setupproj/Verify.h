#pragma once
// `setupproj verify`: the installation run and then the uninstallation run
// of a project, the installer's own engine (TSetupEngine) on the simulated
// Windows of the sim backend, with a run host of the tool's that shows no
// window and listens to the runs' items. It reports what the installation
// made, how each run ended, what the uninstaller's self-removal takes after
// the program ends, and every path left behind with its cause (Structure.h).
//
// The simulated machine is the sim backend's default one (C:\Program Files,
// C:\Windows, the profile C:\users\sim), with the installer and the copy
// sources on a medium in D:\medium. Sources are taken by name and size: what
// a copy source holds changes nothing in either run, so none is read.
//
// verify NEW --over OLD installs OLD first (from D:\old), so that NEW finds
// it as a user's machine has it, and tells each path left of either.
//
// `check` runs the same on a typical machine for its structural findings
// (CheckStructure).
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "engine/SetupSession_unit.h"
#include "platform/PathRules.h"
#include "tools/setupproj/Check.h"
#include "tools/setupproj/Structure.h"

namespace setupproj {

struct ProjectSource;

struct VerifyOptions {
    std::string installerName = "Setup.exe";  // the program that reads the project
    bool answerYes = true;                    // to every DeleteMode 2 question
    // verify NEW --over OLD: OLD's project text (CP932), installed first from
    // a medium of its own with its sources; empty for a first installation.
    std::string older;
    SourceFiles* olderSources = nullptr;
};

// One line of the report: a kind ("folder", "file", "question", ...), a path
// or a text (UTF-8), and what follows it.
struct VerifyLine {
    std::string kind;
    std::string text;
    std::string detail;  // "" for none
};

struct VerifyLeftover {
    std::string path;  // as a project writes it (UTF-8); a folder ends in "\"
    bool intended = false;  // what the project keeps, or a folder that holds it
    std::string cause;      // UTF-8
};

struct VerifyReport {
    std::string installFolder;  // the proposed installation folder (CP932)
    std::vector<VerifyLine> notes;          // sources taken as present
    std::string loadError;                  // the load stopped: nothing ran (UTF-8)
    std::string olderResult;                // verify --over: how OLD's installation went, "" for none
    bool olderFailed = false;
    std::vector<VerifyLine> older;          // what it made
    bool installSucceeded = false;
    std::string installFailure;             // what stopped it, with its line (UTF-8)
    std::vector<VerifyLine> install;        // what the installation made, and its boxes
    bool uninstallRan = false;
    bool uninstallSucceeded = false;
    std::string uninstallFailure;
    std::vector<VerifyLine> uninstall;      // its questions and boxes
    std::vector<std::string> selfRemoved;   // paths as a project writes them; folders end in "\"
    std::vector<VerifyLeftover> leftovers;  // in the tree's order

    // 0: installed and nothing unintended is left; 1: only what the project
    // keeps is left; 2: a load or run failed, or something else is left.
    int ExitStatus() const;
};

// cp932: the project file's text. sources finds the relative copy sources
// on the host (those it finds are put on the simulated medium). Leaves the
// sim backend in the state the runs left.
VerifyReport VerifyProject(const std::string& cp932, const VerifyOptions& options, SourceFiles& sources);

// The report as the tool prints it (UTF-8 lines, each ended by "\n").
std::string FormatVerifyReport(const std::string& projectName, const VerifyOptions& options,
                               const VerifyReport& report);

// check's structural findings: the project's runs on a simulated typical
// machine (its folders: TypicalKeywordFolders, kTypicalProgramFiles), each
// record that stops the installation reported and taken out so that the
// rest can go on, then what the items' events show: files and shortcuts
// whose folder is not there in time (where a folder may exist on a real
// machine, a warning), items that share a destination, shortcut targets that
// are not installed, folders left behind. Leaves the sim backend in the state
// the runs left.
void CheckStructure(ProjectSource& source, const CheckOptions& options, Findings& findings);

// The run host of the tool's runs: no window, no progress. The first
// question of a run (whether to uninstall at all) is answered Yes, every later
// one (a DeleteMode 2 file) as answerYes says. It keeps the questions and
// boxes in their order, every item with the path the machine stores it at,
// and the self-removal's plan.
class ListeningHost : public TRunHost {
public:
    explicit ListeningHost(bool answerYes) : answerYes_(answerYes) {}

    std::string InstallFolder() override { return installFolder; }
    void StartProgress(int) override {}
    void ShowProgress(const std::string&) override {}
    bool AskYesNo(TRunBoxKind kind, const std::string& question) override;
    void ShowResult(TRunBoxKind kind, const std::string& text) override;
    void ShowEndPage() override {}
    void CloseWizard() override {}
    void ItemDone(const TRunEvent& event) override;
    void SelfRemovalPlanned(const RunPath::SelfRemovalPlan& plan) override { selfRemoval = plan; }

    std::string installFolder;  // "[Install Folder]" of the run
    std::vector<VerifyLine> lines;
    std::vector<RunItem> items;
    RunPath::SelfRemovalPlan selfRemoval;

private:
    bool answerYes_;
    int questions_ = 0;
};

// The two runs on the simulated machine as it stands, each program in a
// set-up session of its own as it starts: the installation by the installer,
// the uninstallation by the copy it installed, and that copy's self-removal,
// carried out as it goes once the program has ended. What was on the machine
// before is remembered, so what the runs leave can be told.
class MachineRuns {
public:
    explicit MachineRuns(bool answerYes) : installHost(answerYes), uninstallHost(answerYes) {}

    // Where the installer and its copy sources lie: a medium of their own, as
    // a user starts a setup from a disc, a stick or a download folder.
    static constexpr const char* kMedium = "D:\\medium";

    // The session's installation or uninstallation into the folder that it
    // proposes, told to host; whether it succeeded.
    static bool Ran(TSetupSession& session, ListeningHost& host, bool install);
    // The installer of that name and its project (CP932 text) in folder;
    // the installer's full path.
    static std::string PlaceInstaller(const std::string& folder, const std::string& name, const std::string& project);
    // The session as the program at that path starts it.
    static TSessionStart StartAs(TSetupSession& session, const std::string& program);
    // A fresh simulated machine (the medium's drive, the list of installed
    // programs that every Windows has) with the installer of that name and its
    // project (CP932 text) on the medium; prepare, when given, runs before the
    // installer starts up.
    TSessionStart Start(const std::string& installerName, const std::string& project,
                        const std::function<void()>& prepare = nullptr);
    // Every path of the machine as it is now, folded.
    static std::set<std::string> Paths();
    // The machine's paths before the installations (letter case ignored).
    void Remember() { before = Paths(); }
    bool Before(const std::string& path) const { return before.count(plat::path::KeyOf(path)) != 0; }
    bool Install() { return Ran(installer, installHost, true); }
    // The installed copy starts, as the registration starts it, and
    // uninstalls; when it does not start as the uninstaller, or its run
    // fails, uninstallFailure says why (UTF-8).
    bool Uninstall();
    // After a successful uninstallation: the self-removal, false when it does
    // not start.
    bool RemoveItself();
    // What stays that was not there before, in the tree's order.
    std::vector<LeftPath> Left() const;
    RunHistory History() const { return RunHistory{installHost.items, uninstallHost.items}; }

    ListeningHost installHost, uninstallHost;
    TSetupSession installer{installHost}, uninstaller{uninstallHost};
    std::string uninstallFailure;
    std::set<std::string> before;
};

}  // namespace setupproj
