#include "engine/SetupSession_unit.h"

#include "engine/PreviousInstall_unit.h"
#include "engine/RunPath_unit.h"
#include "engine/SystemPath_unit.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "project/GrobalFunction_unit.h"
#include "project/ProjectProperty_unit.h"

namespace {

const char kNoProgramPath[] = "プログラムのパスを取得できません";

}  // namespace

TSetupSession::TSetupSession(TRunHost& host) : engine_(*this, host) {}
TSetupSession::~TSetupSession() = default;

TSessionStart TSetupSession::Start() {
    ExePath = plat::ExecutablePath();
    if (ExePath.empty()) {
        // Without its own path the program cannot tell where its project is;
        // a project file of the current folder is never taken instead.
        loadError_ = kNoProgramPath;
        return ssLoadFailed;
    }
    // Relative copy sources lie beside the project file. Not the current
    // folder: the program may be started from anywhere (a command prompt in
    // the user's folder), and the folder dialog moves it.
    SourceFolder = RunPath::ExecutableFolder(ExePath);
    const std::string projectFile = ProjectFileName(ExePath);
    if (!plat::FileExists(projectFile)) return ssNoProject;
    RunSucceeded = true;
    Project = std::make_unique<TProjectProperty>();
    try {
        Project->Load(projectFile);
    } catch (const ESetupError& e) {
        // The half-read model goes, so that nothing (the self-removal at the
        // end in particular) acts on it.
        Project.reset();
        RunSucceeded = false;
        loadError_ = e.Message();
        return ssLoadFailed;
    }
    SystemPath = std::make_unique<TSystemPath>();
    return Project->InstallMode != 0 ? ssUninstall : ssInstall;
}

std::string TSetupSession::ProposedInstallFolder() {
    // "[Install Folder]" of the uninstallation is the uninstaller's own folder.
    if (Project->InstallMode != 0) return RunPath::ExecutableFolder(ExePath);
    // A new version goes where the installed one is, as long as its
    // uninstaller is still there; the project may keep its own default.
    if (Project->UsePreviousLocation != 0) {
        const TPreviousInstallation previous = FindPreviousInstallation(Project->UnInstallKey);
        if (previous.present) return previous.folder;
    }
    // The Program Files folder is asked for only when the proposal lies below it.
    const std::string programFiles =
        Project->InitDirectory != 0 ? std::string() : SystemPath->GetSystemPath(spProgramFiles);
    return RunPath::ProposedInstallFolder(programFiles, Project->InitDirectory, Project->SubDirectory);
}

bool TSetupSession::End() {
    // WriteDeleteBatch writes the batch and starts it hidden; it does its
    // work once this process has ended.
    const bool removing = Project && RunSucceeded && Project->InstallMode != 0 && engine_.WriteDeleteBatch();
    SystemPath.reset();
    Project.reset();
    return removing;
}
