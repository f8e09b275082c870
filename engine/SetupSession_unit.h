#pragma once
// A set-up session: what one start of the program works with, from finding
// its project to the self-removal that follows a successful uninstallation.
// The wizard window owns one and is its run host; the authors' tool starts
// one for each program it runs on its simulated machine.
#include <memory>
#include <string>

#include "engine/SetupEngine_unit.h"

class TProjectProperty;
class TSystemPath;

// How start-up ends.
enum TSessionStart {
    ssNoProject,   // no project file beside the program: it ends at once, silently
    ssLoadFailed,  // no project could be loaded: LoadError() says why, for the error box
    ssInstall,     // "InstallMode" 0: the installer
    ssUninstall,   // any other "InstallMode": the installed copy, which uninstalls
};

class TSetupSession {
public:
    explicit TSetupSession(TRunHost& host);
    ~TSetupSession();
    TSetupSession(const TSetupSession&) = delete;
    TSetupSession& operator=(const TSetupSession&) = delete;

    // Start-up: the program's own path, the project file beside it
    // (ProjectFileName), the project loaded, the mode chosen.
    TSessionStart Start();
    // The message of a failed start-up, for the error box.
    const std::string& LoadError() const { return loadError_; }
    // The installation folder that start-up puts into the location field.
    // The installer proposes the Program Files folder joined with
    // "SubDirectory" ("SubDirectory" alone when "InitDirectory" is not 0);
    // the installed copy's is its own folder.
    std::string ProposedInstallFolder();
    // The end of the program: after a successful uninstallation the
    // self-removal starts (true when it did); then the project and the system
    // path go.
    bool End();

    TSetupEngine& Engine() { return engine_; }

    std::unique_ptr<TProjectProperty> Project;
    std::unique_ptr<TSystemPath> SystemPath;
    // True once start-up has found the project file; each run sets it to its result.
    bool RunSucceeded = false;
    // The program's own full path, and its folder, which holds the project
    // file: relative copy sources resolve against it.
    std::string ExePath;
    std::string SourceFolder;

private:
    std::string loadError_;
    TSetupEngine engine_;
};
