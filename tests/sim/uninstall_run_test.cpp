// The uninstallation run and its self-removal batch on the sim backend.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "platform/FileSystem.h"
#include "platform/Security.h"
#include "platform/sim/Sim.h"
#include "run_fixture.h"

using namespace runtest;
using plat::MsgAnswer;
using plat::RootKey;

namespace {

const char kDemo[] = "C:\\Program Files\\Demo";
const char kUninstaller[] = "C:\\Program Files\\Demo\\Setup.exe";
const char kQuestion[] = "アンインストールを実行しますか？";
const char kDone[] = "アンインストール完了しました";
const char kFailed[] = "アンインストール失敗しました";

// The self-removal's private folders: the sim's random source counts 1, 2, ... in hex.
std::string PrivateFolder(int n) {
    char digits[40];
    std::snprintf(digits, sizeof digits, "%032x", static_cast<unsigned>(n));
    return std::string("C:\\Windows\\Temp\\Orvane-") + digits;
}
const std::string kFirstBatch = PrivateFolder(1) + "\\Delete.bat";

std::string In(const std::string& rest) { return std::string(kDemo) + rest; }
std::string Programs(const std::string& rest) { return std::string(sim::kProgramsFolder) + rest; }

class UninstallRun : public RunTest {
protected:
    void SetUp() override {
        RunTest::SetUp();
        sim::SetValue(RootKey::LocalMachine, Key("Other"), "DisplayName", plat::RegType::String,
                      "another program");
        project.Folders.Add().FolderPath = "[Install Folder]";
        project.Folders.Add().FolderPath = "[Install Folder]\\data";
        project.Folders.Add().FolderPath = "[Install Folder]\\data\\sub";
        TMakeFolder& keep = project.Folders.Add();
        keep.FolderPath = "[Install Folder]\\keep";
        keep.KeepOnUninstall = 1;
        project.Folders.Add().FolderPath = "スタート\\プログラム\\Demo";
        AddFile("a.txt", "[Install Folder]\\data\\a.txt", 0);
        AddFile("b.txt", "[Install Folder]\\data\\sub\\b.txt", 0);
        AddFile("kept.txt", "[Install Folder]\\kept.txt", 1);
        AddFile("asked.txt", "[Install Folder]\\asked.txt", 2);
        TShortCutFile& s = project.Shortcuts.Add();
        s.LinkFile = "スタート\\プログラム\\Demo\\Tool";
        s.TargetFile = "[Install Folder]\\data\\a.txt";
    }

    void AddFile(const std::string& name, const std::string& dest, int deleteMode) {
        sim::AddFile("C:\\work\\" + name, name + " bytes");
        TCopyFile& f = project.Files.Add();
        f.SourceFile = name;
        f.DestFile = dest;
        f.DeleteMode = static_cast<uint8_t>(deleteMode);
    }

    void InstallDemo(const std::string& location = kDemo) {
        Install(location);
        ASSERT_TRUE(form->Session.RunSucceeded);
        sim::ClearMessages();
    }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const sim::ShownMessage& m : sim::Messages()) texts.push_back(m.text);
        return texts;
    }

    void ExpectFailedWithoutSelfRemoval() {
        EXPECT_FALSE(uninstaller->Session.RunSucceeded);
        EXPECT_TRUE(uninstaller->Destroyed());
        ASSERT_FALSE(sim::Messages().empty());
        EXPECT_EQ(sim::Messages().back().text, kFailed);
        EXPECT_EQ(sim::Messages().back().caption, "情報");
        EXPECT_TRUE(sim::StartedBatches().empty());
        EXPECT_TRUE(sim::ListFolder("C:\\Windows\\Temp").empty());
        EXPECT_TRUE(sim::IsFile(kUninstaller));
        EXPECT_TRUE(sim::IsFile(In("\\Setup.ini")));
    }
};

TEST_F(UninstallRun, RemovesWhatTheProjectListsAndStartsTheBatch) {
    InstallDemo();
    // An installed file that became read-only is still deleted.
    sim::SetAttributes(In("\\data\\sub\\b.txt"), plat::kAttrReadOnly);
    Uninstall(kUninstaller, true, {MsgAnswer::Yes});  // yes: delete asked.txt

    EXPECT_TRUE(uninstaller->Session.RunSucceeded);
    EXPECT_TRUE(uninstaller->Destroyed());
    ASSERT_EQ(sim::Messages().size(), 3u);
    EXPECT_EQ(sim::Messages()[0].text, kQuestion);
    EXPECT_EQ(sim::Messages()[0].caption, "警告");
    EXPECT_EQ(sim::Messages()[0].kind, plat::MsgKind::Warning);
    EXPECT_EQ(sim::Messages()[0].buttons, plat::MsgButtons::YesNo);
    EXPECT_EQ(sim::Messages()[1].text, "ファイル\"" + In("\\asked.txt") + "\"を削除しますか？");
    EXPECT_EQ(sim::Messages()[1].caption, "情報");
    EXPECT_EQ(sim::Messages()[1].buttons, plat::MsgButtons::YesNo);
    EXPECT_EQ(sim::Messages()[2].text, kDone);
    EXPECT_EQ(sim::Messages()[2].caption, "情報");
    EXPECT_EQ(sim::Messages()[2].buttons, plat::MsgButtons::Ok);

    EXPECT_FALSE(sim::Exists(Programs("\\Demo\\Tool.lnk")));
    EXPECT_FALSE(sim::Exists(Programs("\\Demo")));
    EXPECT_TRUE(sim::IsFolder(sim::kProgramsFolder));
    EXPECT_FALSE(sim::Exists(In("\\data")));  // sub first, then data
    EXPECT_TRUE(sim::IsFolder(In("\\keep")));
    EXPECT_EQ(sim::Content(In("\\kept.txt")), "kept.txt bytes");
    EXPECT_FALSE(sim::Exists(In("\\asked.txt")));
    EXPECT_FALSE(sim::KeyExists(RootKey::LocalMachine, Key("OrvaneDemo")));
    EXPECT_EQ(sim::ValueOf(RootKey::LocalMachine, Key("Other"), "DisplayName"), "another program");

    // The program, its project file and the folder are left to the batch.
    EXPECT_EQ(sim::ListFolder(kDemo),
              (std::vector<std::string>{"keep", "kept.txt", "Setup.exe", "Setup.ini"}));
    ASSERT_EQ(sim::StartedBatches().size(), 1u);
    EXPECT_EQ(sim::StartedBatches()[0].batch, kFirstBatch);
    std::string batch = sim::Content(kFirstBatch);
    EXPECT_NE(batch.find("del \"C:\\Program Files\\Demo\\Setup.exe\" >nul 2>&1\r\n"), std::string::npos);
    EXPECT_NE(batch.find("rd \"C:\\Program Files\\Demo\" >nul 2>&1\r\n"), std::string::npos);

    // One shortcut, four files, five folders; the keyword folder and the kept
    // folder take no step.
    EXPECT_EQ(uninstaller->FileCopyBar.Max(), 10);
    EXPECT_EQ(uninstaller->FileCopyBar.Position(), 8);
    EXPECT_EQ(sim::RepaintCount(*uninstaller), 8);
    EXPECT_EQ(uninstaller->CopyFileLabel.Path(), In("\\data"));
}

TEST_F(UninstallRun, DeclinedConfirmationRemovesNothing) {
    InstallDemo();
    const auto files = sim::TakeSnapshot();
    const auto keys = sim::RegistrySnapshot();
    Uninstall(kUninstaller, false);
    EXPECT_FALSE(uninstaller->Session.RunSucceeded);
    EXPECT_TRUE(uninstaller->Destroyed());
    EXPECT_EQ(Texts(), (std::vector<std::string>{kQuestion}));
    EXPECT_EQ(sim::Changes(files, sim::TakeSnapshot()), std::vector<std::string>());
    EXPECT_EQ(sim::RegistrySnapshot(), keys);
    EXPECT_TRUE(sim::StartedBatches().empty());
    EXPECT_EQ(uninstaller->FileCopyBar.Position(), 0);
}

TEST_F(UninstallRun, DeleteModes) {
    struct Case {
        int mode;
        bool exists;
        MsgAnswer answer;  // to the question, when there is one
        bool asked;
        bool remains;
    };
    const Case cases[] = {
        {0, true, MsgAnswer::No, false, false},  {0, false, MsgAnswer::No, false, false},
        {1, true, MsgAnswer::No, false, true},   {1, false, MsgAnswer::No, false, false},
        {2, true, MsgAnswer::Yes, true, false},  {2, true, MsgAnswer::No, true, true},
        {2, false, MsgAnswer::Yes, true, false}, {2, false, MsgAnswer::No, true, false},
        {7, true, MsgAnswer::No, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode) + (c.exists ? " existing" : " missing") +
                     (c.answer == MsgAnswer::Yes ? " yes" : " no"));
        StartInstaller();
        form->LocationEdit.SetCaption(kDemo);
        const std::string path = In("\\f.txt");
        if (c.exists) sim::AddFile(path, "x");
        sim::ClearMessages();
        sim::QueueAnswer(c.answer);
        EXPECT_TRUE(form->Session.Engine().RemoveOneFile("[Install Folder]\\f.txt", c.mode));
        EXPECT_EQ(form->CopyFileLabel.Path(), path);  // shown also when left in place
        if (c.asked) {
            ASSERT_EQ(Texts(), (std::vector<std::string>{"ファイル\"" + path + "\"を削除しますか？"}));
            EXPECT_EQ(sim::Messages()[0].kind, plat::MsgKind::Information);
        } else {
            EXPECT_TRUE(sim::Messages().empty());
            EXPECT_EQ(sim::PendingAnswers(), 1u);  // nothing asked
        }
        EXPECT_EQ(sim::Exists(path), c.remains);
        sim::Remove(path);
        form.reset();
        sim::ResetWindows();
    }
}

// The delete is tried before anything else is asked of the file; whatever
// stands at the path, the outcome is the one of looking at it first.
TEST_F(UninstallRun, RemoveOneFileWhateverStandsAtThePath) {
    const std::string path = In("\\f.txt");
    struct Case {
        const char* name;
        std::function<void()> arrange;
        bool result;
        bool remains;
        std::string record;
    };
    const Case cases[] = {
        {"a plain file", [&] { sim::AddFile(path, "x"); }, true, false, ""},
        {"nothing", [] {}, true, false, ""},
        {"nothing, nor its folder", [] { sim::Remove(kDemo); }, true, false, ""},
        {"a folder", [&] { sim::AddFolder(path); }, true, true, ""},
        {"a read-only file", [&] { sim::AddFile(path, "x", plat::kAttrReadOnly); }, true, false, ""},
        {"a hidden read-only file",
         [&] { sim::AddFile(path, "x", plat::kAttrReadOnly | plat::kAttrHidden); }, true, false, ""},
        {"a file in use",
         [&] {
             sim::AddFile(path, "x");
             sim::SetLocked(path);
         },
         false, true, "Failed to delete " + path + " (error 32)"},
        {"a read-only file in use",
         [&] {
             sim::AddFile(path, "x", plat::kAttrReadOnly);
             sim::SetLocked(path);
         },
         false, true, "Failed to delete " + path + " (error 32)"},
        {"a read-only file whose attribute stays",
         [&] {
             sim::AddFile(path, "x", plat::kAttrReadOnly);
             sim::FailAttributeWrite(path);
         },
         false, true, "Failed to clear the read-only attribute of " + path + " (error 5)"},
        {"a file that may not be deleted",
         [&] {
             sim::AddFile(path, "x");
             sim::FailDelete(path);
         },
         false, true, "Failed to delete " + path + " (error 5)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim::ResetAll();
        sim::AddFile(kInstaller, kProgramBytes);
        StartInstaller();
        form->LocationEdit.SetCaption(kDemo);
        sim::AddFolder(kDemo);
        c.arrange();
        EXPECT_EQ(form->Session.Engine().RemoveOneFile("[Install Folder]\\f.txt", 0), c.result);
        EXPECT_EQ(sim::Exists(path), c.remains);
        EXPECT_EQ(form->Session.Engine().FailureRecord().text, c.record);
        EXPECT_TRUE(sim::Messages().empty());
        form.reset();
        sim::ResetWindows();
    }
}

TEST_F(UninstallRun, FailuresStopTheRunAndSkipTheSelfRemoval) {
    struct Case {
        const char* name;
        std::function<void()> arrange;
        bool linkGone, firstFileGone, foldersGone;
        std::string record;  // what the run records of its failure
    };
    const std::string lockedFile = In("\\data\\sub\\b.txt");
    const Case cases[] = {
        {"shortcut cannot be deleted", [] { sim::FailDelete(Programs("\\Demo\\Tool.lnk")); }, false,
         false, false, "Failed to delete " + Programs("\\Demo\\Tool.lnk") + " (error 5)"},
        {"file in use", [] { sim::SetLocked(In("\\data\\sub\\b.txt")); }, true, true, false,
         "Failed to delete " + lockedFile + " (error 32)"},
        {"read-only attribute cannot be cleared",
         [] {
             sim::SetAttributes(In("\\data\\sub\\b.txt"), plat::kAttrReadOnly);
             sim::FailAttributeWrite(In("\\data\\sub\\b.txt"));
         },
         true, true, false, "Failed to clear the read-only attribute of " + lockedFile + " (error 5)"},
        {"file cannot be deleted", [] { sim::FailDelete(In("\\data\\sub\\b.txt")); }, true, true, false,
         "Failed to delete " + lockedFile + " (error 5)"},
        // An error inside a step: the shortcut's keyword folder is unknown.
        {"keyword folder unknown",
         [] { sim::RemoveValue(RootKey::CurrentUser, sim::kShellFoldersKey, "Programs"); }, false, false,
         false, "Failed to remove the shortcuts: フォルダ 'スタート\\プログラム' が見つかりません"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        InstallDemo();
        c.arrange();
        Uninstall(kUninstaller, true, {MsgAnswer::Yes});  // asked.txt, never reached
        ExpectFailedWithoutSelfRemoval();
        EXPECT_EQ(Texts(), (std::vector<std::string>{kQuestion, kFailed}));
        EXPECT_NE(sim::Exists(Programs("\\Demo\\Tool.lnk")), c.linkGone);
        EXPECT_NE(sim::Exists(In("\\data\\a.txt")), c.firstFileGone);
        // Later steps skipped; what was removed stays removed.
        EXPECT_TRUE(sim::Exists(In("\\asked.txt")));
        EXPECT_TRUE(sim::IsFolder(In("\\data\\sub")));
        EXPECT_TRUE(sim::KeyExists(RootKey::LocalMachine, Key("OrvaneDemo")));
        // The user saw the designed boxes only; the reason went to the debugger output.
        EXPECT_EQ(uninstaller->Session.Engine().FailureRecord().text, c.record);
        ASSERT_FALSE(sim::DebugOutput().empty());
        EXPECT_EQ(sim::DebugOutput().back(), c.record);
    }
}

TEST_F(UninstallRun, SecondRunAfterAFailedOneGoesOnFromThere) {
    InstallDemo();
    sim::SetLocked(In("\\data\\sub\\b.txt"));
    Uninstall(kUninstaller);
    ASSERT_FALSE(uninstaller->Session.RunSucceeded);
    ASSERT_FALSE(sim::Exists(In("\\data\\a.txt")));
    ASSERT_FALSE(sim::Exists(Programs("\\Demo\\Tool.lnk")));

    sim::SetLocked(In("\\data\\sub\\b.txt"), false);
    sim::ClearMessages();
    Uninstall(kUninstaller, true, {MsgAnswer::No});  // keep asked.txt this time
    EXPECT_TRUE(uninstaller->Session.RunSucceeded);
    EXPECT_EQ(Texts().back(), kDone);
    EXPECT_FALSE(sim::Exists(In("\\data")));
    EXPECT_TRUE(sim::Exists(In("\\asked.txt")));
    EXPECT_FALSE(sim::KeyExists(RootKey::LocalMachine, Key("OrvaneDemo")));
    EXPECT_EQ(sim::StartedBatches().size(), 1u);
}

TEST_F(UninstallRun, FoldersThatStayDoNotFailTheRun) {
    InstallDemo();
    sim::AddFile(In("\\data\\sub\\user.dat"), "made by the user");
    sim::FailDeleteOf(RootKey::LocalMachine, Key("OrvaneDemo"));
    Uninstall(kUninstaller);
    EXPECT_TRUE(uninstaller->Session.RunSucceeded);
    EXPECT_EQ(Texts().back(), kDone);
    EXPECT_EQ(sim::Content(In("\\data\\sub\\user.dat")), "made by the user");
    EXPECT_TRUE(sim::KeyExists(RootKey::LocalMachine, Key("OrvaneDemo")));
    EXPECT_EQ(sim::StartedBatches().size(), 1u);
}

TEST_F(UninstallRun, KeywordFoldersWrittenAnotherWayAreNeverRemoved) {
    // RemoveDirectoryA takes each of these for the (empty) folder itself.
    for (const char* folder : {"デスクトップ\\.", "デスクトップ\\ ", "デスクトップ\\\\", "デスクトップ\\a\\..",
                               "スタート\\プログラム\\スタートアップ\\."}) {
        project.Folders.Add().FolderPath = folder;
    }
    InstallDemo();
    Uninstall(kUninstaller);
    EXPECT_TRUE(uninstaller->Session.RunSucceeded);
    EXPECT_TRUE(sim::IsFolder(sim::kDesktopFolder));
    EXPECT_TRUE(sim::IsFolder(sim::kStartupFolder));
}

TEST_F(UninstallRun, EmptyUninstallKeyNeverTouchesTheList) {
    project.UnInstallKey = "";
    InstallDemo();
    const auto keys = sim::RegistrySnapshot();
    Uninstall(kUninstaller);
    EXPECT_TRUE(uninstaller->Session.RunSucceeded);
    EXPECT_EQ(sim::RegistrySnapshot(), keys);
    EXPECT_TRUE(sim::KeyExists(RootKey::LocalMachine, Key("Other")));
}

TEST_F(UninstallRun, SelfRemovalPaths) {
    struct Case {
        const char* exe;
        const char* batch;
        const char* companion;
        const char* folder;
    };
    const Case cases[] = {
        {"D:\\Apps\\Tool\\setup.exe", "D:\\Apps\\Tool\\Delete.bat", "D:\\Apps\\Tool\\Delete.pif",
         "D:\\Apps\\Tool"},
        {"D:\\setup.exe", "D:\\\\Delete.bat", "D:\\\\Delete.pif", "D:\\"},
        {"D:\\ソ\\setup.exe", "D:\\ソ\\Delete.bat", "D:\\ソ\\Delete.pif", "D:\\ソ"},
    };
    TSetupMainForm f;
    for (const Case& c : cases) {
        f.Session.ExePath = c.exe;
        EXPECT_EQ(f.Session.Engine().SelfRemovalPath(0), c.batch);
        EXPECT_EQ(f.Session.Engine().SelfRemovalPath(1), c.companion);
        EXPECT_EQ(f.Session.Engine().SelfRemovalPath(2), c.folder);
        EXPECT_EQ(f.Session.Engine().SelfRemovalPath(3), "");
        EXPECT_EQ(f.Session.Engine().SelfRemovalPath(-1), "");
    }
}

TEST_F(UninstallRun, BatchTextForAFolderWithPercentAndJapanese) {
    const std::string folder = "C:\\Program Files\\100%ソフト表";
    InstallDemo(folder);
    Uninstall(folder + "\\Setup.exe");
    ASSERT_TRUE(uninstaller->Session.RunSucceeded);
    ASSERT_EQ(sim::StartedBatches().size(), 1u);
    const std::string f = "C:\\Program Files\\100%%ソフト表";
    const std::string own = PrivateFolder(1);
    const std::string expected =
        "@echo off\r\n"
        "setlocal\r\n"
        "cd /d \"" + own + "\"\r\n"
        "set orvane_tries=0\r\n"
        ":wait\r\n"
        "del \"" + f + "\\Setup.exe\" >nul 2>&1\r\n"
        "if not exist \"" + f + "\\Setup.exe\" goto ended\r\n"
        "set /a orvane_tries+=1\r\n"
        "if %orvane_tries% geq 30 goto ended\r\n"
        "\"C:\\Windows\\system32\\ping.exe\" -n 2 127.0.0.1 >nul\r\n"
        "goto wait\r\n"
        ":ended\r\n"
        "del \"" + f + "\\Setup.ini\" >nul 2>&1\r\n"
        "del \"" + f + "\\Delete.pif\" >nul 2>&1\r\n"
        "rd \"" + f + "\" >nul 2>&1\r\n"
        "cd /d \"C:\\Windows\\system32\"\r\n"
        "del \"" + own + "\\Delete.bat\" >nul 2>&1 & rd \"" + own + "\" >nul 2>&1 & exit\r\n";
    EXPECT_EQ(sim::Content(kFirstBatch), expected);
    // Nothing was written into the installation folder for the batch.
    EXPECT_FALSE(sim::Exists(folder + "\\Delete.bat"));
}

// The batch is run elevated: nobody but administrators may change it, before
// or while it runs, and nothing of it is looked for by name.
TEST_F(UninstallRun, TheBatchLivesInAFolderOfItsOwnThatOnlyAdministratorsCanChange) {
    InstallDemo();
    // A terminal server answers a Windows folder of the user's own to
    // GetWindowsDirectory: never the batch's parent.
    sim::SetWindowsFolder("C:\\users\\sim\\WINDOWS");
    // Started from its own folder, as a double-click starts it.
    sim::SetCurrentFolder(kDemo);
    Uninstall(kUninstaller);
    ASSERT_TRUE(uninstaller->Session.RunSucceeded);
    ASSERT_EQ(sim::StartedBatches().size(), 1u);
    const sim::StartedBatch& started = sim::StartedBatches()[0];
    EXPECT_EQ(started.batch, kFirstBatch);
    EXPECT_EQ(started.workFolder, PrivateFolder(1));
    // Off the installation folder before the batch starts, so that it can go.
    EXPECT_EQ(started.currentFolder, "C:\\Windows\\system32");
    EXPECT_EQ(plat::ReadAccess(PrivateFolder(1)), "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)");
    EXPECT_EQ(sim::ListFolder("C:\\temp"), std::vector<std::string>()) << "nothing in the user's temp folder";
    // What the interpreter may still hold when it ends goes at the next restart.
    EXPECT_EQ(sim::DeletesAtRestart(), (std::vector<std::string>{kFirstBatch, PrivateFolder(1)}));
    // So once the batch has deleted what it deletes, the folder can go.
    for (const std::string& name : sim::ListFolder(kDemo)) sim::Remove(In("\\" + name));
    EXPECT_TRUE(plat::RemoveFolder(kDemo)) << "the program's current folder still holds it";
}

TEST_F(UninstallRun, APrivateFolderNameIsNeverReused) {
    InstallDemo();
    // A folder and a file stand at the first two names: planted there, or left.
    sim::AddFile(PrivateFolder(1) + "\\Delete.bat", "planted");
    sim::AddFile(PrivateFolder(2), "a file at the name");
    Uninstall(kUninstaller);
    ASSERT_TRUE(uninstaller->Session.RunSucceeded);
    ASSERT_EQ(sim::StartedBatches().size(), 1u);
    EXPECT_EQ(sim::StartedBatches()[0].batch, PrivateFolder(3) + "\\Delete.bat");
    EXPECT_EQ(sim::Content(PrivateFolder(1) + "\\Delete.bat"), "planted");
    EXPECT_EQ(sim::Content(PrivateFolder(2)), "a file at the name");
}

TEST_F(UninstallRun, NoSelfRemovalWithoutAPrivateFolderOrItsBatch) {
    const std::string tempFailure = "Failed to make a folder for the removal batch in C:\\Windows\\Temp";
    struct Case {
        const char* what;
        std::function<void()> fault;
        std::string record;
    };
    const Case cases[] = {
        {"no Windows\\Temp", [] { sim::Remove("C:\\Windows\\Temp"); }, tempFailure + " (error 3)"},
        {"Windows\\Temp refuses new folders", [] { sim::DenyCreateIn("C:\\Windows\\Temp"); },
         tempFailure + " (error 5)"},
        {"access rules cannot be set",
         [] {
             for (int i = 1; i <= 16; ++i) sim::FailAccessWrite(PrivateFolder(i));
         },
         tempFailure + " (error 5)"},
        {"no random source", [] { sim::FailRandom(); },
         "Failed to draw a name for the removal batch's folder (error 31)"},
        {"the batch cannot be written", [] { sim::DenyCreateIn(PrivateFolder(1)); },
         "Failed to write the removal batch " + kFirstBatch + " (error 5)"},
        {"no Windows folder", [] { sim::FailWindowsFolder(); }, ""},
        {"no system folder", [] { sim::FailSystemFolder(); }, ""},
    };
    for (const Case& c : cases) {
        sim::ResetAll();
        c.fault();
        TSetupMainForm f;
        f.Session.ExePath = kUninstaller;
        EXPECT_FALSE(f.Session.Engine().WriteDeleteBatch()) << c.what;
        EXPECT_TRUE(sim::StartedBatches().empty()) << c.what;
        EXPECT_TRUE(sim::ListFolder("C:\\Windows\\Temp").empty()) << c.what << ": left a folder";
        if (c.record.empty()) {
            EXPECT_EQ(f.Session.Engine().FailureRecord().text.rfind("Failed to find the Windows and system folders", 0), 0u)
                << c.what << ": " << f.Session.Engine().FailureRecord().text;
        } else {
            EXPECT_EQ(f.Session.Engine().FailureRecord().text, c.record) << c.what;
        }
    }
}

TEST_F(UninstallRun, ABatchThatCannotStartIsReported) {
    TSetupMainForm f;
    f.Session.ExePath = kUninstaller;
    sim::FailStartBatch();
    EXPECT_FALSE(f.Session.Engine().WriteDeleteBatch());
    // Written, and left to the restart that removes it.
    EXPECT_TRUE(sim::IsFile(kFirstBatch));
    EXPECT_EQ(sim::DeletesAtRestart(), (std::vector<std::string>{kFirstBatch, PrivateFolder(1)}));
    EXPECT_EQ(f.Session.Engine().FailureRecord().text, "Failed to start the removal batch " + kFirstBatch + " (error 2)");
}

TEST_F(UninstallRun, AFolderAtTheProjectPathIsNotEmptiedByTheBatch) {
    TSetupMainForm f;
    f.Session.ExePath = "C:\\App\\Setup.exe";
    sim::AddFile("C:\\App\\Setup.ini\\inside.txt", "x");
    ASSERT_TRUE(f.Session.Engine().WriteDeleteBatch());
    std::string batch = sim::Content(sim::StartedBatches().at(0).batch);
    EXPECT_EQ(batch.find("Setup.ini"), std::string::npos);
    EXPECT_NE(batch.find("del \"C:\\App\\Setup.exe\""), std::string::npos);
}

}  // namespace
