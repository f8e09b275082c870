// The installation run: operations of the wizard window, run by the handler
// of the install message while the progress page is shown.
#include <exception>

#include "engine/RunPath_unit.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/System.h"
#include "project/GrobalFunction_unit.h"
#include "project/ProjectProperty_unit.h"
#include "ui/MessageDlg_unit.h"
#include "ui/SetupMain_unit.h"

namespace {

const char kInstallFailed[] = "インストールに失敗しました";
const char kValueNotSet[] = "'%s' の設定に失敗しました";
const char kLinkObjectUnavailable[] = "ショートカットを作成できません";
const char kLinkNotSaved[] = "ショートカット '%s' を作成できません";

// Where the program copy goes: the installation folder and the program's own
// file name. The one path both the copy and the registered command use.
std::string ProgramCopyPath(TSetupMainForm& form) {
    return RunPath::JoinPath(form.LocationEdit.Caption(), RunPath::FileNamePart(form.ExePath));
}

int ShowCommandOf(int showMode) {
    switch (showMode) {
        case 1: return plat::kShowMinNoActive;
        case 2: return plat::kShowMaximized;
        default: return plat::kShowNormal;
    }
}

}  // namespace

void TSetupMainForm::RunInstall() {
    RunSucceeded = false;
    SetProgressMax();
    // An error that escapes a step (a registration write) still ends the run
    // with its message and the window closing; it is then passed on so that
    // the program's error report shows what failed.
    std::exception_ptr escaped;
    try {
        if (MakeFolders() && CopyFiles() && CreateShortcuts() && RegisterUninstall()) {
            RunSucceeded = true;
        }
    } catch (...) {
        escaped = std::current_exception();
    }
    if (RunSucceeded) {
        ShowPage(PageCount - 1);
    } else {
        MessageDlg(kInstallFailed, mtError);
        Close();
    }
    if (escaped) std::rethrow_exception(escaped);
}

void TSetupMainForm::SetProgressMax() {
    FileCopyBar.SetRange(0, Project->Folders.Count() + Project->Files.Count() +
                                Project->Shortcuts.Count());
}

void TSetupMainForm::ShowProgress(const std::string& path) {
    CopyFileLabel.SetPath(path);
    FileCopyBar.SetPosition(FileCopyBar.Position() + 1);
    Repaint();
}

bool TSetupMainForm::MakeFolders() {
    try {
        // Whether a folder could be made is not tested: a copy into a
        // missing folder fails later and stops the run there.
        plat::ForceDirectories(ExpandPath("[Install Folder]"));
        for (int i = 0; i < Project->Folders.Count(); ++i) {
            std::string folder = ExpandPath(Project->Folders.Items(i).FolderPath);
            ShowProgress(folder);
            plat::ForceDirectories(folder);
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TSetupMainForm::CopyFiles() {
    try {
        for (int i = 0; i < Project->Files.Count(); ++i) {
            const TCopyFile& item = Project->Files.Items(i);
            // The folder dialog moves the process's current folder; a relative
            // source means the folder the program was started in.
            std::string source = RunPath::ResolveSourcePath(StartupFolder, item.SourceFile);
            if (!CopyOneFile(source, ExpandPath(item.DestFile))) return false;
        }
        std::string programCopy = ProgramCopyPath(*this);
        if (!CopyOneFile(ExePath, programCopy)) return false;

        // The copy starts as the uninstaller; the model in memory stays the
        // installer's (unless the save fails, which ends the run anyway).
        Project->InstallMode = 1;
        if (!Project->Save(ProjectFileName(programCopy))) return false;
        Project->InstallMode = 0;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TSetupMainForm::CopyOneFile(const std::string& source, const std::string& dest) {
    ShowProgress(dest);
    if (!plat::CopyFileTo(source, dest, false)) return false;
    return ClearReadOnly(dest);
}

bool TSetupMainForm::ClearReadOnly(const std::string& path) {
    uint32_t attributes = plat::ReadAttributes(path);
    if (attributes == plat::kInvalidAttributes) return false;
    // Most files are not read-only: writing their attributes back unchanged
    // would cost each copy and each removal an open of the file for nothing.
    if (!(attributes & plat::kAttrReadOnly)) return true;
    return plat::WriteAttributes(path, attributes & ~plat::kAttrReadOnly);
}

bool TSetupMainForm::CreateShortcuts() {
    try {
        for (int i = 0; i < Project->Shortcuts.Count(); ++i) {
            if (!CreateShortcut(Project->Shortcuts.Items(i))) return false;
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TSetupMainForm::CreateShortcut(const TShortCutFile& item) {
    ShowProgress(ExpandPath(item.LinkFile));
    plat::ShellLink link;  // released on every path out
    if (!link.Create()) throw ESetupError(kLinkObjectUnavailable);
    link.SetPath(ExpandPath(item.TargetFile));
    link.SetArguments("");
    link.SetWorkingDirectory(ExpandPath(item.WorkDirectory));
    link.SetShowCmd(ShowCommandOf(item.ShowMode));
    link.SetDescription(item.Description);
    // ".lnk" goes on before the expansion, as the uninstallation builds it.
    std::string linkPath = ExpandPath(item.LinkFile + ".lnk");
    if (!link.Save(linkPath)) throw ESetupError(FormatMessage1(kLinkNotSaved, linkPath));
    return true;
}

bool TSetupMainForm::RegisterUninstall() {
    // A project without a key of its own is installed without a registration:
    // the list key of all installed programs is never written in its place.
    std::string keyPath = RunPath::UninstallKeyPath(Project->UnInstallKey);
    if (keyPath.empty()) return true;
    plat::RegKey key;  // closed on every path out
    key.Create(plat::RootKey::LocalMachine, keyPath);
    if (!key.WriteString("DisplayName", Project->UnInstallName)) {
        throw ESetupError(FormatMessage1(kValueNotSet, "DisplayName"));
    }
    // Quoted, and exactly where the program copy went: an unquoted path with
    // spaces could start another program ("C:\Program.exe") in its place.
    if (!key.WriteString("UninstallString", "\"" + ProgramCopyPath(*this) + "\"")) {
        throw ESetupError(FormatMessage1(kValueNotSet, "UninstallString"));
    }
    return true;
}
