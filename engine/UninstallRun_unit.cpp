// The uninstallation run and the self-removal that follows a successful one.
#include <utility>

#include "engine/RunPath_unit.h"
#include "engine/SetupEngine_unit.h"
#include "engine/SetupSession_unit.h"
#include "engine/TrustRefusal_unit.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/Security.h"
#include "platform/System.h"
#include "project/GrobalFunction_unit.h"
#include "project/ProjectProperty_unit.h"

namespace {

const char kUninstallQuestion[] = "アンインストールを実行しますか？";
const char kDeleteFileQuestion[] = "ファイル\"%s\"を削除しますか？";
const char kUninstallDone[] = "アンインストール完了しました";
const char kUninstallFailed[] = "アンインストール失敗しました";

const char kBatchFileName[] = "Delete.bat";
const char kCompanionExtension[] = ".pif";
const char kPrivateFolderPrefix[] = "Orvane-";
constexpr int kPrivateFolderNameBytes = 16;
// Names already taken are skipped; this many misses in a row mean that
// something else is wrong (no rights, no random source).
constexpr int kPrivateFolderTries = 16;

}  // namespace

bool TSetupEngine::RunUninstall() {
    failure_ = TFailureRecord();
    refusal_.clear();
    At({});
    if (!JudgeOwnFiles()) {
        // Nothing is asked and nothing removed: the refusal is the one box.
        session_.RunSucceeded = false;
        host_.ShowResult(rbRefusal, refusal_);
        return false;
    }
    if (!host_.AskYesNo(rbWarning, kUninstallQuestion)) {
        session_.RunSucceeded = false;
        return false;
    }
    SetProgressMax();
    bool result = false;
    try {
        result = RemoveShortcuts() && RemoveFiles() && RemoveFolders() && UnregisterUninstall();
    } catch (const std::exception& e) {
        // Reported as a failed uninstallation; nothing may keep the handler
        // from closing the window afterwards (its Cancel button is disabled).
        Record(std::string("Failed to uninstall: ") + e.what());
        result = false;
    } catch (...) {
        result = false;
    }
    session_.RunSucceeded = result;
    host_.ShowResult(rbInformation, result ? kUninstallDone : kUninstallFailed);
    return result;
}

bool TSetupEngine::JudgeOwnFiles() {
    // This program and its project copy decide what an administrator's
    // uninstallation deletes, and the registration starts this program
    // again: whoever could change them, or the folders above them, since the
    // installation must not be served.
    const std::string program = session_.ExePath;
    const std::string projectCopy = ProjectFileName(program);
    for (const auto& [file, record] : {std::pair{program, TRecordRef{rkProgramCopy}},
                                       std::pair{projectCopy, TRecordRef{rkProjectCopy}}}) {
        const plat::TrustVerdict verdict = plat::JudgeFileChain(file);
        if (verdict.Trusted()) continue;
        const bool isFile = verdict.path == file;
        return Refuse(verdict, record, TrustRefusalText(verdict, tuUninstaller, isFile));
    }
    return true;
}

bool TSetupEngine::RemoveShortcuts() {
    return Step("remove the shortcuts", [this] {
        for (int i = 0; i < session_.Project->Shortcuts.Count(); ++i) {
            At({rkShortcut, i});
            // ".lnk" before the expansion, as the installation made the path.
            if (!RemoveOneFile(session_.Project->Shortcuts.Items(i).LinkFile + ".lnk", dmDelete)) return false;
        }
        return true;
    });
}

bool TSetupEngine::RemoveFiles() {
    return Step("remove the files", [this] {
        for (int i = 0; i < session_.Project->Files.Count(); ++i) {
            const TCopyFile& item = session_.Project->Files.Items(i);
            At({rkFile, i});
            if (!RemoveOneFile(item.DestFile, item.DeleteMode)) return false;
        }
        return true;
    });
}

// The item (a shortcut or a file record) is the caller's.
bool TSetupEngine::RemoveOneFile(const std::string& path, int deleteMode) {
    std::string file = ExpandPath(path);
    currentPath_ = file;
    host_.ShowProgress(file);
    if (deleteMode == dmLeave) {
        Done(ioLeftByDeleteMode);
        return true;
    }
    if (deleteMode == dmAsk && !host_.AskYesNo(rbInformation, FormatMessage1(kDeleteFileQuestion, file))) {
        Done(ioKeptAfterNo);
        return true;
    }
    // Nearly every file is there and deletable: the delete goes first, and
    // only a refused one pays for the look at the file that tells why. The
    // outcome is that of looking first: a missing file counts as removed, a
    // read-only one loses the attribute and is deleted, any other refusal
    // fails with its own error.
    if (plat::DeleteFileAt(file)) {
        Done(ioRemoved);
        return true;
    }
    const uint32_t refused = plat::LastError();
    const uint32_t attributes = plat::ReadAttributes(file);
    // Nothing there, or a folder: already gone counts as removed.
    if (attributes == plat::kInvalidAttributes || (attributes & plat::kAttrDirectory)) {
        Done(ioAbsent);
        return true;
    }
    if (!(attributes & plat::kAttrReadOnly)) return Fail("delete " + file, refused);
    if (!ClearReadOnly(file)) return false;
    if (!plat::DeleteFileAt(file)) return Fail("delete " + file, plat::LastError());
    Done(ioRemoved);
    return true;
}

bool TSetupEngine::RemoveFolders() {
    return Step("remove the folders", [this] {
        // Subfolders are listed after their parents: last first.
        for (int i = session_.Project->Folders.Count() - 1; i >= 0; --i) {
            const TMakeFolder& item = session_.Project->Folders.Items(i);
            At({rkFolder, i});
            if (item.KeepOnUninstall != 0) {
                Done(ioKeptOnUninstall);
                continue;
            }
            bool isKeywordFolder = false;
            std::string folder = ExpandFolderKeywords(item.FolderPath, isKeywordFolder);
            currentPath_ = folder;
            // The installation folder, the Start menu and the like stay.
            if (isKeywordFolder) {
                Done(ioKeywordFolder);
                continue;
            }
            host_.ShowProgress(folder);
            // A folder that is not empty stays; only then is it looked at again.
            if (plat::RemoveFolder(folder)) {
                Done(ioRemoved);
            } else {
                Done(plat::DirectoryExists(folder) ? ioNotEmpty : ioAbsent);
            }
        }
        return true;
    });
}

bool TSetupEngine::UnregisterUninstall() {
    // Without a key of its own nothing was registered; the list key itself is
    // never deleted.
    std::string keyPath = RunPath::UninstallKeyPath(session_.Project->UnInstallKey);
    if (keyPath.empty()) return true;
    At({rkRegistration}, "HKEY_LOCAL_MACHINE\\" + keyPath);
    Done(plat::DeleteKeyTree(plat::RootKey::LocalMachine, keyPath) ? ioRemoved : ioNotRemoved);
    return true;
}

std::string TSetupEngine::SelfRemovalPath(int kind) {
    std::string folder = RunPath::ExecutableFolder(session_.ExePath);
    switch (kind) {
        case srBatchFile: return folder + "\\" + kBatchFileName;
        case srCompanionFile: return folder + "\\" + "Delete" + kCompanionExtension;
        case srInstallFolder: return folder;
        default: return std::string();
    }
}

// A new folder only SYSTEM and Administrators can change, below the Windows
// temporary folder: not the user's own temporary folder, where any program of
// the user could rewrite the batch before or while the elevated interpreter
// runs it. Its name is random and never one that exists already.
bool TSetupEngine::MakePrivateFolder(const std::string& windowsFolder, std::string& folder) {
    const std::string parent = RunPath::JoinPath(windowsFolder, "Temp");
    for (int i = 0; i < kPrivateFolderTries; ++i) {
        std::string random = plat::RandomHex(kPrivateFolderNameBytes);
        if (random.empty()) return Fail("draw a name for the removal batch's folder", plat::LastError());
        folder = RunPath::JoinPath(parent, kPrivateFolderPrefix + random);
        if (plat::MakeFolderWithAccess(folder, plat::kPrivateFolderAccess)) return true;
    }
    return Fail("make a folder for the removal batch in " + parent, plat::LastError());
}

bool TSetupEngine::WriteDeleteBatch() {
    failure_ = TFailureRecord();
    At({rkSelfRemoval});
    // The batch lives outside the installation folder, so that the folder can
    // be removed while the batch still runs, and it waits for this program to
    // end before it deletes it.
    std::string windowsFolder, systemFolder, privateFolder;
    // The system's Windows folder: on a terminal server GetWindowsDirectory
    // answers one of the user's own.
    if (!plat::QuerySystemWindowsFolder(windowsFolder) || !plat::QuerySystemFolder(systemFolder)) {
        return Fail("find the Windows and system folders for the removal batch", plat::LastError());
    }
    if (!MakePrivateFolder(windowsFolder, privateFolder)) return false;
    RunPath::SelfRemovalPlan plan;
    plan.workFolder = privateFolder;
    plan.batch = RunPath::JoinPath(privateFolder, kBatchFileName);
    plan.systemFolder = systemFolder;
    plan.steps.push_back({false, session_.ExePath});
    // "del" on a folder would empty it: only files are deleted.
    for (const std::string& file : {ProjectFileName(session_.ExePath), SelfRemovalPath(srCompanionFile)}) {
        if (!plat::DirectoryExists(file)) plan.steps.push_back({false, file});
    }
    plan.steps.push_back({true, SelfRemovalPath(srInstallFolder)});
    plan.steps.push_back({false, plan.batch});
    plan.steps.push_back({true, privateFolder});
    host_.SelfRemovalPlanned(plan);
    At({rkSelfRemoval}, plan.batch);
    if (!plat::WriteNewFile(plan.batch, RunPath::BuildDeleteBatch(plan))) {
        bool failed = Fail("write the removal batch " + plan.batch, plat::LastError());
        plat::RemoveFolder(privateFolder);
        return failed;
    }
    // What the interpreter still holds when it ends (the batch, and so its
    // folder) goes at the next restart.
    plat::DeleteAtRestart(plan.batch);
    plat::DeleteAtRestart(privateFolder);
    // A process whose current folder is the installation folder keeps that
    // folder from being removed: this program's own, which the batch would
    // also inherit, moves off it first (started from its own folder, as a
    // double-click starts it, it is there).
    plat::SetCurrentFolder(systemFolder);
    if (!plat::StartBatch(plan.batch, privateFolder)) {
        return Fail("start the removal batch " + plan.batch, plat::LastError());
    }
    return true;
}

void CarryOutSelfRemoval(const RunPath::SelfRemovalPlan& plan) {
    for (const RunPath::RemovalStep& step : plan.steps) {
        if (step.folder) {
            plat::RemoveFolder(step.path);
        } else {
            plat::DeleteFileAt(step.path);
        }
    }
}
