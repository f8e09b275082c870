#pragma once
// The wizard window: start-up and mode selection, the pages and their
// navigation. The installation and uninstallation runs are operations of
// this window; their work is the engine's (engine/SetupEngine_unit.h), which
// reaches the window through the run host that the window implements.
#include <memory>
#include <string>

#include "engine/SetupEngine_unit.h"
#include "platform/Window.h"
#include "ui/PathLbl.h"

class TBackGroundForm;

// The two messages the wizard posts to itself; each one's handler runs a run.
enum TProgramMessage : unsigned { pmInstall = plat::kWmUser, pmUninstall = plat::kWmUser + 1 };

class TSetupMainForm : public plat::Form, public TSetupState, private TRunHost {
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

    // Folder keywords: "[Install Folder]" is the current text of LocationEdit.
    std::string ExpandFolderKeywords(const std::string& path, bool& isKeywordFolder) {
        return Engine.ExpandFolderKeywords(path, isKeywordFolder);
    }
    std::string ExpandPath(const std::string& path) { return Engine.ExpandPath(path); }

    // The installation run (handler of pmInstall).
    void RunInstall() { Engine.RunInstall(); }
    void SetProgressMax() { Engine.SetProgressMax(); }
    // The current item of a run: its path in CopyFileLabel, one more step of
    // FileCopyBar, and a repaint (the message loop is blocked meanwhile).
    void ShowProgress(const std::string& path) override;
    bool MakeFolders() { return Engine.MakeFolders(); }
    bool CopyFiles() { return Engine.CopyFiles(); }
    bool CopyOneFile(const std::string& source, const std::string& dest) {
        return Engine.CopyOneFile(source, dest);
    }
    bool ClearReadOnly(const std::string& path) { return Engine.ClearReadOnly(path); }
    bool CreateShortcuts() { return Engine.CreateShortcuts(); }
    bool CreateShortcut(const TShortCutFile& item) { return Engine.CreateShortcut(item); }
    bool RegisterUninstall() { return Engine.RegisterUninstall(); }

    // The uninstallation run (run by the handler of pmUninstall).
    bool RunUninstall() { return Engine.RunUninstall(); }
    bool RemoveShortcuts() { return Engine.RemoveShortcuts(); }
    bool RemoveFiles() { return Engine.RemoveFiles(); }
    bool RemoveOneFile(const std::string& path, int deleteMode) {
        return Engine.RemoveOneFile(path, deleteMode);
    }
    bool RemoveFolders() { return Engine.RemoveFolders(); }
    bool UnregisterUninstall() { return Engine.UnregisterUninstall(); }
    std::string SelfRemovalPath(int kind) { return Engine.SelfRemovalPath(kind); }
    bool WriteDeleteBatch() { return Engine.WriteDeleteBatch(); }

    void HandleUserMessage(unsigned message);

    // The runs over this window's state; FailureRecord tells what stopped the last one.
    TSetupEngine Engine{*this, *this};
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
    void ShowEndPage() override;
    void CloseWizard() override;

    bool Terminated_ = false;
};
