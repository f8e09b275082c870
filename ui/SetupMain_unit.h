#pragma once
// The wizard window: start-up and mode selection, the pages and their
// navigation, and (in engine/) the installation and uninstallation runs,
// which are operations of this window.
#include <memory>
#include <string>

#include "platform/Window.h"
#include "ui/PathLbl.h"

class TProjectProperty;
class TSystemPath;
class TBackGroundForm;
struct TShortCutFile;

// The executable's path with the extension of its last component changed to
// ".ini" (a last component without "." gets ".ini" appended).
std::string ProjectFileName(const std::string& exePath);
// The folder part of a full path: up to the last backslash, without it unless
// the folder is a drive root such as D:\ (which keeps it).
std::string ExecutableFolder(const std::string& exePath);

class TSetupMainForm : public plat::Form {
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
    std::string ExpandFolderKeywords(const std::string& path, bool& isKeywordFolder);
    std::string ExpandPath(const std::string& path);

    // The installation run (handler of kWmUser).
    void RunInstall();
    void SetProgressMax();
    void ShowProgress(const std::string& path);
    bool MakeFolders();
    bool CopyFiles();
    bool CopyOneFile(const std::string& source, const std::string& dest);
    bool ClearReadOnly(const std::string& path);
    bool CreateShortcuts();
    bool CreateShortcut(const TShortCutFile& item);
    bool RegisterUninstall();

    // The uninstallation run (run by the handler of kWmUser + 1).
    bool RunUninstall();
    bool RemoveShortcuts();
    bool RemoveFiles();
    bool RemoveOneFile(const std::string& path, int deleteMode);
    bool RemoveFolders();
    bool UnregisterUninstall();
    std::string SelfRemovalPath(int kind);
    bool WriteDeleteBatch();

    void HandleUserMessage(unsigned message);

    // State shared with the runs.
    std::unique_ptr<TProjectProperty> Project;
    std::unique_ptr<TSystemPath> SystemPath;
    bool RunSucceeded = false;
    int PageCount = 0;
    std::unique_ptr<TBackGroundForm> BackGroundForm;
    // The program's own full path, and the current folder it was started with
    // (relative copy sources resolve against it, whatever the folder dialog did).
    std::string ExePath;
    std::string StartupFolder;

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
    bool Terminated_ = false;
};
