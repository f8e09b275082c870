// The uninstallation run and the self-removal that follows a successful one:
// operations of the wizard window.
#include "engine/RunPath_unit.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/System.h"
#include "project/ProjectProperty_unit.h"
#include "ui/MessageDlg_unit.h"
#include "ui/SetupMain_unit.h"

namespace {

const char kUninstallQuestion[] = "アンインストールを実行しますか？";
const char kDeleteFileQuestion[] = "ファイル\"%s\"を削除しますか？";
const char kUninstallDone[] = "アンインストール完了しました";
const char kUninstallFailed[] = "アンインストール失敗しました";

const char kBatchFileName[] = "Delete.bat";
const char kCompanionExtension[] = ".pif";

// A name in the temporary folder that no other uninstallation uses now: the
// process id, and a number that skips files left by an earlier process.
std::string UniqueBatchPath(const std::string& tempFolder) {
    const std::string stem = RunPath::JoinPath(tempFolder, "Delete-" + std::to_string(plat::ProcessId()));
    for (int n = 1;; ++n) {
        std::string path = stem + "-" + std::to_string(n) + ".bat";
        if (!plat::FileExists(path) && !plat::DirectoryExists(path)) return path;
    }
}

}  // namespace

bool TSetupMainForm::RunUninstall() {
    if (MessageDlg(kUninstallQuestion, mtWarning, true) != plat::MsgAnswer::Yes) {
        RunSucceeded = false;
        return false;
    }
    SetProgressMax();
    bool result = false;
    try {
        result = RemoveShortcuts() && RemoveFiles() && RemoveFolders() && UnregisterUninstall();
    } catch (...) {
        // Reported as a failed uninstallation; nothing may keep the handler
        // from closing the window afterwards (its Cancel button is disabled).
        result = false;
    }
    RunSucceeded = result;
    MessageDlg(result ? kUninstallDone : kUninstallFailed, mtInformation);
    return result;
}

bool TSetupMainForm::RemoveShortcuts() {
    try {
        for (int i = 0; i < Project->Shortcuts.Count(); ++i) {
            // ".lnk" before the expansion, as the installation made the path.
            if (!RemoveOneFile(Project->Shortcuts.Items(i).LinkFile + ".lnk", 0)) return false;
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TSetupMainForm::RemoveFiles() {
    try {
        for (int i = 0; i < Project->Files.Count(); ++i) {
            const TCopyFile& item = Project->Files.Items(i);
            if (!RemoveOneFile(item.DestFile, item.DeleteMode)) return false;
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TSetupMainForm::RemoveOneFile(const std::string& path, int deleteMode) {
    std::string file = ExpandPath(path);
    ShowProgress(file);
    if (deleteMode == 1) return true;
    if (deleteMode == 2 &&
        MessageDlg(FormatMessage1(kDeleteFileQuestion, file), mtInformation, true) !=
            plat::MsgAnswer::Yes) {
        return true;
    }
    if (!plat::FileExists(file)) return true;  // already gone counts as removed
    if (!ClearReadOnly(file)) return false;
    return plat::DeleteFileAt(file);
}

bool TSetupMainForm::RemoveFolders() {
    try {
        // Subfolders are listed after their parents: last first.
        for (int i = Project->Folders.Count() - 1; i >= 0; --i) {
            const TMakeFolder& item = Project->Folders.Items(i);
            if (item.KeepOnUninstall != 0) continue;
            bool isKeywordFolder = false;
            std::string folder = ExpandFolderKeywords(item.FolderPath, isKeywordFolder);
            // The installation folder, the Start menu and the like stay.
            if (isKeywordFolder) continue;
            ShowProgress(folder);
            plat::RemoveFolder(folder);  // a folder that is not empty stays
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TSetupMainForm::UnregisterUninstall() {
    // Without a key of its own nothing was registered; the list key itself is
    // never deleted.
    std::string keyPath = RunPath::UninstallKeyPath(Project->UnInstallKey);
    if (!keyPath.empty()) plat::DeleteKeyTree(plat::RootKey::LocalMachine, keyPath);
    return true;
}

std::string TSetupMainForm::SelfRemovalPath(int kind) {
    std::string folder = ExecutableFolder(ExePath);
    switch (kind) {
        case 0: return folder + "\\" + kBatchFileName;
        case 1: return folder + "\\" + "Delete" + kCompanionExtension;
        case 2: return folder;
        default: return std::string();
    }
}

bool TSetupMainForm::WriteDeleteBatch() {
    // The batch lives outside the installation folder, so that the folder can
    // be removed while the batch still runs, and it waits for this program to
    // end before it deletes it.
    std::string tempFolder = plat::TempFolder();
    if (tempFolder.empty()) return false;
    RunPath::DeleteBatchPaths paths;
    paths.program = ExePath;
    paths.project = ProjectFileName(ExePath);
    paths.companion = SelfRemovalPath(1);
    paths.folder = SelfRemovalPath(2);
    paths.workFolder = tempFolder;
    paths.batch = UniqueBatchPath(tempFolder);
    // "del" on a folder would empty it: only files are deleted.
    paths.deleteProject = !plat::DirectoryExists(paths.project);
    paths.deleteCompanion = !plat::DirectoryExists(paths.companion);
    if (!plat::WriteWholeFile(paths.batch, RunPath::BuildDeleteBatch(paths))) return false;
    plat::StartHidden(paths.batch);
    return true;
}
