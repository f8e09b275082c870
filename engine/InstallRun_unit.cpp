// The installation run, started by the install message while the progress
// page is shown.
#include <exception>

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

const char kInstallFailed[] = "インストールに失敗しました";
const char kValueNotSet[] = "'%s' の設定に失敗しました";
const char kLinkObjectUnavailable[] = "ショートカットを作成できません";
const char kLinkNotSaved[] = "ショートカット '%s' を作成できません";

int ShowCommandOf(int showMode) {
    switch (showMode) {
        case 1: return plat::kShowMinNoActive;
        case 2: return plat::kShowMaximized;
        default: return plat::kShowNormal;
    }
}

}  // namespace

void TSetupEngine::RunInstall() {
    failure_ = TFailureRecord();
    refusal_.clear();
    madeFolders_.clear();
    At({});
    placedBytes_ = 0;
    session_.RunSucceeded = false;
    SetProgressMax();
    // An error that escapes a step (a registration write) still ends the run
    // with its message and the window closing; it is then passed on so that
    // the program's error report shows what failed.
    std::exception_ptr escaped;
    try {
        if (MakeFolders() && CopyFiles() && CreateShortcuts() && RegisterUninstall()) {
            session_.RunSucceeded = true;
        }
    } catch (const std::exception& e) {
        Record(std::string("Failed to install: ") + e.what());
        escaped = std::current_exception();
    } catch (...) {
        escaped = std::current_exception();
    }
    if (session_.RunSucceeded) {
        host_.ShowEndPage();
    } else if (!refusal_.empty()) {
        // The refusal is the run's one box: it says what failed and why.
        RemoveMadeFolders();
        host_.ShowResult(rbRefusal, refusal_);
        host_.CloseWizard();
    } else {
        host_.ShowResult(rbError, kInstallFailed);
        host_.CloseWizard();
    }
    if (escaped) std::rethrow_exception(escaped);
}

bool TSetupEngine::MakeFolders() {
    return Step("make the folders", [this] {
        // Whether a folder could be made does not stop the run: a copy into
        // a missing folder fails later and stops it there.
        At({rkInstallFolder});
        MakeInstallFolder(ExpandPath("[Install Folder]"));
        // Before anything else is made or written: the folder records and
        // files go below it, and a relative one would go wherever the
        // current folder is.
        if (!JudgeInstallFolder()) return false;
        for (int i = 0; i < session_.Project->Folders.Count(); ++i) {
            At({rkFolder, i});
            std::string folder = ExpandPath(session_.Project->Folders.Items(i).FolderPath);
            host_.ShowProgress(folder);
            MakeFolder(folder);
        }
        return true;
    });
}

void TSetupEngine::MakeFolder(const std::string& folder) {
    currentPath_ = folder;
    const bool existed = plat::DirectoryExists(folder);
    const bool there = plat::ForceDirectories(folder);
    Done(existed ? ioExisted : there ? ioMade : ioNotMade);
}

// The installation folder and the folders above it that are missing: where
// plain inheritance would let others change them, they get rules of their
// own from their first moment (plat::MakeInstallFolder).
void TSetupEngine::MakeInstallFolder(const std::string& folder) {
    currentPath_ = folder;
    std::vector<plat::ChainFolder> chain;
    const bool there = plat::MakeInstallFolder(folder, chain);
    for (const plat::ChainFolder& made : chain) {
        if (made.origin != plat::FolderOrigin::Existed) madeFolders_.push_back(made.path);
    }
    const bool existed = there && !chain.empty() && chain.back().origin == plat::FolderOrigin::Existed;
    Done(existed ? ioExisted : there ? ioMade : ioNotMade);
}

bool TSetupEngine::JudgeInstallFolder() {
    // Judged again now that its folders are there: one that someone made
    // first, or a junction put in the path since the location page, is
    // caught before the first file goes into it. A folder that could not be
    // made is no refusal: the first copy into it fails and says so.
    const std::string folder = ExpandPath("[Install Folder]");
    const plat::TrustVerdict verdict = plat::JudgeFolderChain(folder);
    if (verdict.Trusted()) return true;
    return Refuse(verdict, {rkInstallFolder}, TrustRefusalText(verdict, tuInstallLocation));
}

bool TSetupEngine::Refuse(const plat::TrustVerdict& verdict, TRecordRef record, const std::string& text) {
    At(record, verdict.path);
    Record("Refused " + verdict.path + ": " + verdict.Reason());
    refusal_ = text;
    return false;
}

void TSetupEngine::RemoveMadeFolders() {
    // Deepest first; a folder that is not empty (someone put something in
    // it) stays, and so does every folder above it.
    for (auto it = madeFolders_.rbegin(); it != madeFolders_.rend(); ++it) plat::RemoveFolder(*it);
    madeFolders_.clear();
}

bool TSetupEngine::CopyFiles() {
    return Step("copy the files", [this] {
        TProjectProperty& project = *session_.Project;
        // Before the first copy: the program copy and its project copy go
        // where the previous ones are.
        ReadPreviousProject();
        for (int i = 0; i < project.Files.Count(); ++i) {
            const TCopyFile& item = project.Files.Items(i);
            At({rkFile, i});
            // A relative source lies beside the project, wherever the program
            // was started from: never a file of that name in the current folder.
            std::string source = RunPath::ResolveSourcePath(session_.SourceFolder, item.SourceFile);
            if (!CopyOneFile(source, ExpandPath(item.DestFile))) return false;
        }
        // The uninstaller and its project copy run elevated later: only
        // administrators may change them, whatever the folder allows.
        At({rkProgramCopy});
        std::string programCopy = ProgramCopyPath();
        // From the program's own file, held open since start-up: by name it
        // could have been renamed and replaced while the wizard waited.
        currentPath_ = programCopy;
        host_.ShowProgress(programCopy);
        if (!plat::CopyOwnProgramTo(programCopy)) {
            return Fail("copy " + session_.ExePath + " to " + programCopy, plat::LastError());
        }
        if (!Placed(ioCopied)) return false;
        if (!ProtectProgramFile(programCopy)) return false;

        // The copy starts as the uninstaller; the model in memory stays the
        // installer's (unless the save fails, which ends the run anyway).
        project.InstallMode = 1;
        std::string projectCopy = ProjectFileName(programCopy);
        At({rkProjectCopy}, projectCopy);
        try {
            SaveProjectCopy(projectCopy);
        } catch (const ESetupError& e) {
            return Fail("save the project copy " + projectCopy + ": " + e.Message(), plat::LastError());
        }
        project.InstallMode = 0;
        if (!Placed(ioSaved)) return false;
        return ProtectProgramFile(projectCopy);
    });
}

bool TSetupEngine::ProtectProgramFile(const std::string& path) {
    if (!plat::SetAccess(path, plat::kProgramFileAccess)) {
        return Fail("set the access rules of " + path, plat::LastError());
    }
    return true;
}

// The item (a file record, or the program copy) is the caller's.
bool TSetupEngine::CopyOneFile(const std::string& source, const std::string& dest) {
    currentPath_ = dest;
    host_.ShowProgress(dest);
    if (!plat::CopyFileTo(source, dest, false)) {
        return Fail("copy " + source + " to " + dest, plat::LastError());
    }
    if (!ClearReadOnly(dest)) return false;
    return Placed(ioCopied);
}

bool TSetupEngine::ClearReadOnly(const std::string& path) {
    uint32_t attributes = plat::ReadAttributes(path);
    if (attributes == plat::kInvalidAttributes) {
        return Fail("read the attributes of " + path, plat::LastError());
    }
    // Most files are not read-only: writing their attributes back unchanged
    // would cost each copy and each removal an open of the file for nothing.
    if (!(attributes & plat::kAttrReadOnly)) return true;
    if (!plat::WriteAttributes(path, attributes & ~plat::kAttrReadOnly)) {
        return Fail("clear the read-only attribute of " + path, plat::LastError());
    }
    return true;
}

bool TSetupEngine::CreateShortcuts() {
    return Step("create the shortcuts", [this] {
        for (int i = 0; i < session_.Project->Shortcuts.Count(); ++i) {
            At({rkShortcut, i});
            if (!CreateShortcut(session_.Project->Shortcuts.Items(i))) return false;
        }
        return true;
    });
}

bool TSetupEngine::CreateShortcut(const TShortCutFile& item) {
    host_.ShowProgress(ExpandPath(item.LinkFile));
    plat::ShellLink link;  // released on every path out
    if (!link.Create()) {
        Fail("create the shell's link object", plat::LastError());
        throw ESetupError(kLinkObjectUnavailable);
    }
    link.SetPath(ExpandPath(item.TargetFile));
    link.SetArguments("");
    link.SetWorkingDirectory(ExpandPath(item.WorkDirectory));
    link.SetShowCmd(ShowCommandOf(item.ShowMode));
    link.SetDescription(item.Description);
    // ".lnk" goes on before the expansion, as the uninstallation builds it.
    std::string linkPath = ExpandPath(item.LinkFile + ".lnk");
    currentPath_ = linkPath;
    if (!link.Save(linkPath)) {
        Fail("save the shortcut " + linkPath, plat::LastError());
        throw ESetupError(FormatMessage1(kLinkNotSaved, linkPath));
    }
    Done(ioCreated);
    return true;
}

bool TSetupEngine::RegisterUninstall() {
    // A project without a key of its own is installed without a registration:
    // the list key of all installed programs is never written in its place.
    std::string keyPath = RunPath::UninstallKeyPath(session_.Project->UnInstallKey);
    if (keyPath.empty()) return true;
    plat::RegKey key;  // closed on every path out
    // A key that cannot be created makes the first write fail; its own
    // error is the one that tells why.
    const std::string keyName = "HKEY_LOCAL_MACHINE\\" + keyPath;
    At({rkRegistration}, keyName);
    if (!key.Create(plat::RootKey::LocalMachine, keyPath)) Fail("create the key " + keyName, plat::LastError());
    auto written = [&](const char* name, bool ok) {
        if (ok) return;
        Fail(std::string("write ") + name + " under " + keyName, plat::LastError());
        throw ESetupError(FormatMessage1(kValueNotSet, name));
    };
    auto write = [&](const char* name, const std::string& value) { written(name, key.WriteString(name, value)); };
    auto writeDword = [&](const char* name, uint32_t value) { written(name, key.WriteDword(name, value)); };
    const TProjectProperty& project = *session_.Project;
    write("DisplayName", project.UnInstallName);
    // Quoted, and exactly where the program copy went: an unquoted path with
    // spaces could start another program ("C:\Program.exe") in its place.
    const std::string programCopy = ProgramCopyPath();
    write("UninstallString", "\"" + programCopy + "\"");
    // What the list of installed programs shows beside the name.
    for (const auto& [name, value] : {std::pair<const char*, const std::string&>{"DisplayVersion", project.DisplayVersion},
                                      {"Publisher", project.Publisher},
                                      {"URLInfoAbout", project.URLInfoAbout},
                                      {"HelpLink", project.HelpLink}}) {
        if (!value.empty()) write(name, value);
    }
    // A ",N" after the path is the icon's index: it survives the expansion.
    write("DisplayIcon", project.DisplayIcon.empty() ? RunPath::DefaultDisplayIcon(programCopy)
                                                     : ExpandPath(project.DisplayIcon));
    write("InstallLocation", RunPath::InstallLocation(host_.InstallFolder()));
    const plat::LocalDate today = plat::TodayLocal();
    write("InstallDate", RunPath::InstallDateText(today.year, today.month, today.day));
    writeDword("EstimatedSize", RunPath::EstimatedSizeKB(placedBytes_));
    // There is no maintenance mode: the buttons would do nothing useful.
    writeDword("NoModify", 1);
    writeDword("NoRepair", 1);
    Done(ioRegistered);
    return true;
}
