#pragma once
// The engine below the wizard window: the folder-keyword expansion, the
// installation run and the uninstallation run with its self-removal. The runs
// work on a set-up session's state (engine/SetupSession_unit.h) and answer
// to a TRunHost, which the window implements; the engine never sees a control.
#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "engine/RunPath_unit.h"
#include "platform/FolderTrust.h"

class TProjectProperty;
class TSetupSession;
class TSystemPath;
struct TShortCutFile;

// The kinds of box a run shows; the window gives each its caption and icon.
// rbRefusal is the error box captioned with the application title in which
// a folder or file that others could change is refused (TrustRefusalText).
enum TRunBoxKind { rbWarning = 0, rbError = 1, rbInformation = 2, rbRefusal = 3 };

// What a run's item comes from: a record of the project, or one of the
// things every installation makes.
enum TRecordKind {
    rkNone = 0,       // no one item: the run as a whole
    rkInstallFolder,  // the installation folder, made before the folder records
    rkFolder,         // Folders.Items(index)
    rkFile,           // Files.Items(index)
    rkShortcut,       // Shortcuts.Items(index)
    rkProgramCopy,    // the program's copy in the installation folder: the uninstaller
    rkProjectCopy,    // its project copy, with InstallMode 1
    rkRegistration,   // the uninstall registration
    rkSelfRemoval,    // the uninstaller's removal of itself
    rkPreviousCopy,   // the project copy of the installation this one goes over
};

struct TRecordRef {
    TRecordKind kind = rkNone;
    int index = -1;  // in its list for folders, files and shortcuts; -1 otherwise
    bool operator==(const TRecordRef& other) const { return kind == other.kind && index == other.index; }
};

// What became of an item of a run.
enum TItemOutcome {
    ioMade,              // a folder that was not there is there now
    ioExisted,           // a folder that was there already
    ioNotMade,           // a folder that could not be made: the run goes on (a copy into it fails)
    ioCopied,            // a file copied, the program copy too
    ioSaved,             // the project copy saved
    ioCreated,           // a shortcut saved
    ioRegistered,        // the registration written
    ioRemoved,           // a file, shortcut or folder removed; the registration deleted
    ioAbsent,            // nothing was there to remove: counts as removed
    ioLeftByDeleteMode,  // DeleteMode 1: the file stays
    ioKeptAfterNo,       // DeleteMode 2 answered No: the file stays
    ioKeptOnUninstall,   // a folder marked KeepOnUninstall stays (its path is not even expanded)
    ioKeywordFolder,     // exactly a keyword folder (the installation folder, the Start menu): it stays
    ioNotEmpty,          // a folder that is not empty, or that the system keeps: it stays
    ioNotRemoved,        // a registration that could not be deleted: it stays
    ioCarried,           // the previous project copy read: its records the new one lacks are carried
    ioNotTrusted,        // the previous project copy fails the trust rule: not read, nothing carried
    ioNotRead,           // the previous project copy is missing or does not load: nothing carried
};

// One item of a run, once it is done: the record behind it, its path as the
// run used it (keywords expanded; "" for ioKeptOnUninstall) and its outcome.
// A registration's path is its key, "HKEY_LOCAL_MACHINE\...". A file the
// installation copied or saved (ioCopied, ioSaved) comes with its size.
struct TRunEvent {
    TRecordRef record;
    std::string path;
    TItemOutcome outcome = ioMade;
    uint64_t size = 0;  // bytes
    // Why, where the outcome alone does not say (the previous project copy):
    // one English line, "" otherwise.
    std::string note;
};

// What stopped a run: the item it was at, and the text for the debugger
// output ("Failed to copy A to B (error 5)").
struct TFailureRecord {
    TRecordRef record;
    std::string path;  // the item's path, when the failure came after its expansion
    std::string text;
    bool Empty() const { return text.empty(); }
};

// What a run needs from the window it runs in.
class TRunHost {
public:
    virtual ~TRunHost() = default;
    // The text the user chose as the installation folder: "[Install Folder]".
    virtual std::string InstallFolder() = 0;
    // The progress of a run: its number of items, then each item's path.
    virtual void StartProgress(int itemCount) = 0;
    virtual void ShowProgress(const std::string& path) = 0;
    // A question with "はい(&Y)" and "いいえ(&N)": true for Yes only.
    virtual bool AskYesNo(TRunBoxKind kind, const std::string& question) = 0;
    // A result box with "OK".
    virtual void ShowResult(TRunBoxKind kind, const std::string& text) = 0;
    // The two ends of an installation run: the end page, or the window's close.
    virtual void ShowEndPage() = 0;
    virtual void CloseWizard() = 0;
    // Each item of a run once it is done; a failed item is told by the
    // failure record instead. The wizard shows the progress only.
    virtual void ItemDone(const TRunEvent& event) { (void)event; }
    // What the self-removal will remove, handed over before the batch that
    // does it is written.
    virtual void SelfRemovalPlanned(const RunPath::SelfRemovalPlan& plan) { (void)plan; }
};

// What the uninstaller removes of itself; kinds of SelfRemovalPath.
enum TSelfRemovalKind { srBatchFile = 0, srCompanionFile = 1, srInstallFolder = 2 };

// The runs. Each step returns its success; the first failure stops a run,
// and what failed (the item's record, the step, the path and the system's
// error code) is kept as FailureRecord, its text sent to the debugger output.
// The user only sees the run's own boxes; the host hears of every item.
class TSetupEngine {
public:
    TSetupEngine(TSetupSession& session, TRunHost& host);
    ~TSetupEngine();
    TSetupEngine(const TSetupEngine&) = delete;
    TSetupEngine& operator=(const TSetupEngine&) = delete;

    // Folder keywords: "[Install Folder]" is the host's installation folder.
    std::string ExpandFolderKeywords(const std::string& path, bool& isKeywordFolder);
    std::string ExpandPath(const std::string& path);

    // The installation run: on success the end page, otherwise the failure
    // box and the close. An error escaping a step is passed on after that.
    void RunInstall();
    void SetProgressMax();
    bool MakeFolders();
    // The installation folder's chain, judged once it is made and before
    // anything else is made or written.
    bool JudgeInstallFolder();
    bool CopyFiles();
    bool CopyOneFile(const std::string& source, const std::string& dest);
    bool ProtectProgramFile(const std::string& path);
    bool ClearReadOnly(const std::string& path);
    bool CreateShortcuts();
    bool CreateShortcut(const TShortCutFile& item);
    bool RegisterUninstall();
    // Over a previous installation of the same key in the same folder: reads
    // its uninstaller's project copy (before anything overwrites it), when it
    // passes the trust rule; then saves the new copy with the previous
    // records the new project lacks. Anywhere else the copy is the project.
    void ReadPreviousProject();
    void SaveProjectCopy(const std::string& path);

    // The uninstallation run: judges its own files, asks, reports the result.
    bool RunUninstall();
    bool JudgeOwnFiles();
    bool RemoveShortcuts();
    bool RemoveFiles();
    bool RemoveOneFile(const std::string& path, int deleteMode);
    bool RemoveFolders();
    bool UnregisterUninstall();
    std::string SelfRemovalPath(int kind);
    bool WriteDeleteBatch();

    // What stopped the last run or step; empty while nothing has failed
    // since it started.
    const TFailureRecord& FailureRecord() const { return failure_; }

private:
    // Records "Failed to <what> (error <code>)" and returns false.
    bool Fail(const std::string& what, uint32_t error);
    // Keeps text, with the current item, as the failure record unless one is
    // kept already.
    void Record(const std::string& text);
    // The item the run works on now: a failure is recorded against it.
    void At(TRecordRef record, const std::string& path = std::string());
    // Tells the host that the current item is done.
    void Done(TItemOutcome outcome, uint64_t size = 0);
    // The current item, a file now in place, is done: its size counts
    // towards the installation's size. False when it cannot be read.
    bool Placed(TItemOutcome outcome);
    // Makes one folder with its missing parents, as the current item.
    void MakeFolder(const std::string& folder);
    // Makes the installation folder with its missing parents, as the current item.
    void MakeInstallFolder(const std::string& folder);
    // Runs one step from a clean record; an error raised inside it is
    // recorded and becomes false.
    template <typename Body>
    bool Step(const char* name, Body body);
    TSystemPath& SystemPath();
    bool MakePrivateFolder(const std::string& windowsFolder, std::string& folder);
    // Keeps a refusal of the trust rule: its record, and the text of the box
    // that ends the run instead of the run's own.
    bool Refuse(const plat::TrustVerdict& verdict, TRecordRef record, const std::string& text);
    // The folders of the installation location this run made, root first;
    // a refused run removes those that are still empty.
    void RemoveMadeFolders();
    std::string ProgramCopyPath();

    TSetupSession& session_;
    TRunHost& host_;
    TFailureRecord failure_;
    std::string refusal_;
    std::vector<std::string> madeFolders_;
    TRecordRef current_;
    std::string currentPath_;
    uint64_t placedBytes_ = 0;  // of the files the installation run has placed so far
    std::unique_ptr<TSystemPath> fallbackSystemPath_;
    std::unique_ptr<TProjectProperty> previous_;  // the previous project copy, when one is carried
    std::string previousUninstaller_;
};

// What the self-removal batch does, done at once by the caller: for a machine
// on which the uninstaller has ended already (the authors' tool's simulated
// one), in the plan's order.
void CarryOutSelfRemoval(const RunPath::SelfRemovalPlan& plan);

template <typename Body>
bool TSetupEngine::Step(const char* name, Body body) {
    failure_ = TFailureRecord();
    try {
        return body();
    } catch (const std::exception& e) {
        Record(std::string("Failed to ") + name + ": " + e.what());
        return false;
    }
}
