#pragma once
// The wizard window: start-up and mode selection, the pages and their
// navigation. It owns the set-up session (engine/SetupSession_unit.h), which
// finds and loads the project and holds what the runs share; the runs are
// the engine's, started by the window's two messages, and reach the window
// through the run host that it implements.
#include <memory>
#include <string>

#include "engine/SetupSession_unit.h"
#include "platform/Window.h"
#include "ui/PathLbl.h"

class TBackGroundForm;

// The two messages the wizard posts to itself; each one's handler runs a run.
enum TProgramMessage : unsigned { pmInstall = plat::kWmUser, pmUninstall = plat::kWmUser + 1 };

class TSetupMainForm : public plat::Form, private TRunHost {
public:
    TSetupMainForm();
    ~TSetupMainForm() override;

    // Start-up (run by the program entry right after construction).
    void FormCreate();
    // True when FormCreate ended the program (no project file, or a load error).
    bool Terminated() const { return Terminated_; }

    void InitMode(bool uninstall);
    void InitUninstallMode();
    void FormClose();
    void FormDestroy();
    bool FormCloseQuery();

    // Pages and navigation.
    void BuildInstallPages();
    void AddPage(plat::Widget* page);
    int ActivePageIndex() const;
    void ShowPage(int index);
    void PageBookPageChanged();
    void UpdatePageControls(plat::Widget* activePage);
    void BackButtonClick();
    void NextButtonClick();
    void CancelButtonClick();
    void BrowsButtonClick();
    // The walk from the edit's text up to the nearest existing folder.
    static std::string FindExistingFolder(const std::string& text);

    // The handlers of the two messages: the installation run, and the
    // uninstallation run followed by the window's close.
    void RunInstall();
    void RunUninstall();
    // The current item of a run: its path in CopyFileLabel, one more step of
    // FileCopyBar, and a repaint (the message loop is blocked meanwhile).
    void ShowProgress(const std::string& path) override;

    void HandleUserMessage(unsigned message);

    // The project, the system paths and the runs' state, from start-up to the
    // window's destruction; its engine's FailureRecord tells what stopped the
    // last run.
    TSetupSession Session{*this};
    int PageCount = 0;
    std::unique_ptr<TBackGroundForm> BackGroundForm;

    // Controls, in the window's layout.
    plat::Widget PageBook;
    plat::Widget StartSheet, LisenceSheet, MessageSheet, LocationSheet, CopyStartSheet,
        CopyProcessSheet, EndSheet;
    plat::Widget InfLabel, Bevel1, NameLabel, VersionLabel, CopyrightLabel, InformationMemo;
    plat::Widget LisenceMemo, LisenceLabel;
    plat::Widget MessageMemo;
    plat::Widget LocationLabel, LocationEdit, BrowsButton;
    plat::Widget CopyStartLabel;
    plat::Widget CopyLabel, CopyBevel;
    TPathLabel CopyFileLabel;
    plat::Widget FileCopyBar;
    plat::Widget Label1;
    plat::Widget NextLabel, BackButton, NextButton, CancelButton;

private:
    // The run host: the window's side of the runs.
    std::string InstallFolder() override;
    void StartProgress(int itemCount) override;
    bool AskYesNo(TRunBoxKind kind, const std::string& question) override;
    void ShowResult(TRunBoxKind kind, const std::string& text) override;
    // A folder or file that others could change, refused: an error box
    // captioned with the application title.
    void ShowRefusal(const std::string& text);
    void ShowEndPage() override;
    void CloseWizard() override;

    bool Terminated_ = false;
};
