// The installation run on the sim backend: what it leaves behind, its
// progress, and every way it can fail.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>

#include "engine/RunPath_unit.h"
#include "engine/SetupEngine_unit.h"
#include "platform/FileSystem.h"
#include "platform/Security.h"
#include "platform/System.h"
#include "platform/sim/Sim.h"
#include "run_fixture.h"
#include "tests/support/TestSystem.h"

using namespace runtest;
using plat::RootKey;

namespace {

const char kDemo[] = "C:\\Program Files\\Demo";
const char kFailedText[] = "インストールに失敗しました";

class InstallRun : public RunTest {
protected:
    // Two folders, two files and a shortcut.
    void UseDemoProject() {
        project.Folders.Add().FolderPath = "[Install Folder]\\data";
        project.Folders.Add().FolderPath = "スタート\\プログラム\\Demo";
        sim::AddFile("C:\\work\\payload\\readme.txt", "readme bytes");
        sim::AddFile("C:\\media\\tool.exe", "tool bytes", plat::kAttrReadOnly | plat::kAttrArchive);
        TCopyFile& a = project.Files.Add();
        a.SourceFile = "payload\\readme.txt";
        a.DestFile = "[Install Folder]\\data\\readme.txt";
        TCopyFile& b = project.Files.Add();
        b.SourceFile = "C:\\media\\tool.exe";
        b.DestFile = "[Install Folder]\\tool.exe";
        TShortCutFile& s = project.Shortcuts.Add();
        s.LinkFile = "スタート\\プログラム\\Demo\\Tool";
        s.TargetFile = "[Install Folder]\\tool.exe";
        s.WorkDirectory = "[Install Folder]";
        s.ShowMode = 2;
        s.Description = "[Install Folder] のツール";
    }

    std::string Programs(const std::string& rest) { return std::string(sim::kProgramsFolder) + rest; }

    void ExpectFailureEnd() {
        EXPECT_FALSE(form->Session.RunSucceeded);
        EXPECT_TRUE(form->Destroyed());
        ASSERT_GE(sim::Messages().size(), 1u);
        const sim::ShownMessage& m = sim::Messages()[0];
        EXPECT_EQ(m.text, kFailedText);
        EXPECT_EQ(m.caption, "エラー");
        EXPECT_EQ(m.kind, plat::MsgKind::Error);
        EXPECT_EQ(m.buttons, plat::MsgButtons::Ok);
    }
};

TEST_F(InstallRun, LeavesFoldersFilesCopiesShortcutsAndRegistration) {
    UseDemoProject();
    sim::AddFile("C:\\Program Files\\Demo\\tool.exe", "old", plat::kAttrArchive);
    Install();

    EXPECT_TRUE(form->Session.RunSucceeded);
    EXPECT_FALSE(form->Destroyed());
    EXPECT_EQ(form->PageBook.ActivePage(), &form->EndSheet);
    EXPECT_TRUE(sim::Messages().empty());

    EXPECT_TRUE(sim::IsFolder("C:\\Program Files\\Demo\\data"));
    EXPECT_TRUE(sim::IsFolder(Programs("\\Demo")));
    EXPECT_EQ(sim::Content("C:\\Program Files\\Demo\\data\\readme.txt"), "readme bytes");
    // Overwritten, and the source's read-only attribute is not kept.
    EXPECT_EQ(sim::Content("C:\\Program Files\\Demo\\tool.exe"), "tool bytes");
    EXPECT_EQ(sim::Attributes("C:\\Program Files\\Demo\\tool.exe") & plat::kAttrReadOnly, 0u);
    EXPECT_EQ(sim::Content("C:\\Program Files\\Demo\\Setup.exe"), kProgramBytes);

    // The project copy starts the uninstaller; the model in memory stays the installer's.
    TProjectProperty copy;
    copy.Load("C:\\Program Files\\Demo\\Setup.ini");
    EXPECT_EQ(copy.InstallMode, 1);
    EXPECT_EQ(copy.Files.Count(), 2);
    EXPECT_EQ(copy.Files.Items(0).SourceFile, "payload\\readme.txt");
    EXPECT_EQ(copy.UnInstallKey, "OrvaneDemo");
    EXPECT_EQ(form->Session.Project->InstallMode, 0);

    support::ShellLinkInfo link;
    ASSERT_TRUE(support::ReadShellLink(Programs("\\Demo\\Tool.lnk"), link));
    EXPECT_EQ(link.path, "C:\\Program Files\\Demo\\tool.exe");
    EXPECT_EQ(link.arguments, "");
    EXPECT_EQ(link.workingDirectory, kDemo);
    EXPECT_EQ(link.showCmd, plat::kShowMaximized);
    EXPECT_EQ(link.description, "[Install Folder] のツール");  // not expanded
    EXPECT_EQ(sim::LiveLinkObjects(), 0);

    EXPECT_EQ(sim::ValueOf(RootKey::LocalMachine, Key("OrvaneDemo"), "DisplayName"), "Orvane デモ");
    EXPECT_EQ(sim::ValueOf(RootKey::LocalMachine, Key("OrvaneDemo"), "UninstallString"),
              "\"C:\\Program Files\\Demo\\Setup.exe\"");
    EXPECT_EQ(sim::TypeOf(RootKey::LocalMachine, Key("OrvaneDemo"), "UninstallString"),
              plat::RegType::String);
    EXPECT_EQ(sim::OpenKeys(), 0);

    // Two folders, two files, the program copy, one shortcut: one step more
    // than the maximum, the bar standing full.
    EXPECT_EQ(form->FileCopyBar.Max(), 5);
    EXPECT_EQ(form->FileCopyBar.Position(), 5);
    EXPECT_EQ(sim::RepaintCount(*form), 6);
    EXPECT_EQ(form->CopyFileLabel.Path(), Programs("\\Demo\\Tool"));
}

TEST_F(InstallRun, EmptyProjectStillMakesTheCopiesAndTheRegistration) {
    Install();
    EXPECT_TRUE(form->Session.RunSucceeded);
    EXPECT_EQ(form->PageBook.ActivePage(), &form->EndSheet);
    EXPECT_EQ(form->FileCopyBar.Max(), 0);
    EXPECT_EQ(form->FileCopyBar.Position(), 0);
    EXPECT_EQ(sim::RepaintCount(*form), 1);  // the program copy
    EXPECT_EQ(sim::ListFolder(kDemo), (std::vector<std::string>{"Setup.exe", "Setup.ini"}));
    EXPECT_TRUE(sim::KeyExists(RootKey::LocalMachine, Key("OrvaneDemo")));
}

TEST_F(InstallRun, UninstallStringIsTheQuotedProgramCopy) {
    struct Case {
        const char* location;
        const char* copy;
    };
    const Case cases[] = {
        {"C:\\App\\", "C:\\App\\Setup.exe"},
        {"C:\\App", "C:\\App\\Setup.exe"},
        {"C:\\Program Files\\My App", "C:\\Program Files\\My App\\Setup.exe"},
        // ソ ends in byte 5C: still a folder of its own.
        {"C:\\ソ", "C:\\ソ\\Setup.exe"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.location);
        TearDown();
        SetUp();
        Install(c.location);
        EXPECT_TRUE(form->Session.RunSucceeded);
        EXPECT_EQ(sim::Content(c.copy), kProgramBytes);
        EXPECT_EQ(sim::ValueOf(RootKey::LocalMachine, Key("OrvaneDemo"), "UninstallString"),
                  std::string("\"") + c.copy + "\"");
    }
}

TEST_F(InstallRun, EmptyUninstallKeyInstallsWithoutRegistration) {
    sim::SetValue(RootKey::LocalMachine, Key("Other"), "DisplayName", plat::RegType::String, "other");
    const auto before = sim::RegistrySnapshot();
    for (const char* key : {"", "\\", "\\\\"}) {
        SCOPED_TRACE(key);
        project.UnInstallKey = key;
        StartInstaller();
        form->LocationEdit.SetCaption(kDemo);
        RunInstallFromProgressPage();
        EXPECT_TRUE(form->Session.RunSucceeded);
        EXPECT_EQ(form->PageBook.ActivePage(), &form->EndSheet);
        EXPECT_EQ(sim::RegistrySnapshot(), before);
    }
}

TEST_F(InstallRun, RelativeSourcesLieBesideTheProjectWhereverTheProgramIsStarted) {
    sim::AddFile("C:\\work\\payload\\a.txt", "from the medium");
    TCopyFile& f = project.Files.Add();
    f.SourceFile = "payload\\a.txt";
    f.DestFile = "[Install Folder]\\a.txt";
    // Started from a command prompt in the user's folder, where a file of the
    // same name waits; the folder dialog then leaves the process elsewhere.
    sim::AddFile("C:\\users\\sim\\payload\\a.txt", "planted in the current folder");
    sim::AddFile("C:\\Windows\\payload\\a.txt", "where the dialog left it");
    sim::SetCurrentFolder("C:\\users\\sim");
    StartInstaller();
    EXPECT_EQ(form->Session.SourceFolder, "C:\\work");
    sim::QueueFolderDialog({{"C:\\Windows"}});
    form->BrowsButtonClick();
    ASSERT_TRUE(plat::SetCurrentFolder("C:\\Windows"));
    form->LocationEdit.SetCaption(kDemo);
    RunInstallFromProgressPage();
    EXPECT_TRUE(form->Session.RunSucceeded);
    EXPECT_EQ(sim::Content("C:\\Program Files\\Demo\\a.txt"), "from the medium");
}

TEST_F(InstallRun, TheUninstallerAndItsProjectCopyAreChangeableByAdministratorsOnly) {
    Install();
    ASSERT_TRUE(form->Session.RunSucceeded);
    const std::string rule = "D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FRFX;;;BU)";
    EXPECT_EQ(plat::ReadAccess("C:\\Program Files\\Demo\\Setup.exe"), rule);
    EXPECT_EQ(plat::ReadAccess("C:\\Program Files\\Demo\\Setup.ini"), rule);
    // The folder keeps what Program Files passes on, and only administrators
    // can change it, the uninstaller or its project copy.
    EXPECT_EQ(plat::ReadAccess("C:\\Program Files\\Demo"),
              plat::InheritedDacl(plat::ReadAccess("C:\\Program Files"), true, "BA"));
    for (const char* file : {"C:\\Program Files\\Demo\\Setup.exe", "C:\\Program Files\\Demo\\Setup.ini"}) {
        EXPECT_TRUE(plat::JudgeFileChain(file).Trusted()) << plat::JudgeFileChain(file).Reason();
    }
}

TEST_F(InstallRun, ShortcutShowModesAndPaths) {
    struct Case {
        int showMode;
        int showCmd;
    };
    const Case cases[] = {{0, 1}, {1, 7}, {2, 3}, {3, 1}, {255, 1}};
    for (const Case& c : cases) {
        TShortCutFile& s = project.Shortcuts.Add();
        s.LinkFile = "デスクトップ\\Mode" + std::to_string(c.showMode);
        s.TargetFile = "C:\\target.exe";
        s.ShowMode = static_cast<uint8_t>(c.showMode);
    }
    Install();
    ASSERT_TRUE(form->Session.RunSucceeded);
    for (const Case& c : cases) {
        support::ShellLinkInfo link;
        std::string path = std::string(sim::kDesktopFolder) + "\\Mode" + std::to_string(c.showMode) + ".lnk";
        ASSERT_TRUE(support::ReadShellLink(path, link)) << path;
        EXPECT_EQ(link.showCmd, c.showCmd) << c.showMode;
        EXPECT_EQ(link.path, "C:\\target.exe");
        EXPECT_EQ(link.workingDirectory, "");
    }
}

TEST_F(InstallRun, AFolderThatCannotBeMadeDoesNotStopTheRun) {
    sim::AddFile("C:\\Program Files\\Demo\\blocked", "a file in the way");
    project.Folders.Add().FolderPath = "[Install Folder]\\blocked";
    Install();
    EXPECT_TRUE(form->Session.RunSucceeded);
    EXPECT_TRUE(sim::IsFile("C:\\Program Files\\Demo\\blocked"));
}

// Each row stops the run at one step. The label shows the item that failed,
// the bar has advanced once per item reached, and nothing before it is undone.
struct FailureCase {
    const char* name;
    std::function<void()> arrange;  // after the demo project is set up
    std::string location;
    int position;                   // FileCopyBar at the end
    std::string label;              // CopyFileLabel.Path at the end
    bool firstFile, secondFile, programCopy, projectCopy, shortcut;
    std::string record;             // what the run records of its failure
    TRecordRef item;                // the item it records it against
};

TEST_F(InstallRun, EachFailureStopsTheRunWithOneMessage) {
    const std::string dataFile = "C:\\Program Files\\Demo\\data\\readme.txt";
    const std::string toolFile = "C:\\Program Files\\Demo\\tool.exe";
    const std::string copyFile = "C:\\Program Files\\Demo\\Setup.exe";
    const std::string linkShown = Programs("\\Demo\\Tool");
    const std::string projectFile = "C:\\Program Files\\Demo\\Setup.ini";
    const FailureCase cases[] = {
        {"empty installation folder", [] {}, "", 0, "", false, false, false, false, false,
         "Failed to make the folders: フォルダ '[Install Folder]' が見つかりません", {rkInstallFolder}},
        {"missing second source", [] { sim::Remove("C:\\media\\tool.exe"); }, kDemo, 4, toolFile,
         true, false, false, false, false, "Failed to copy C:\\media\\tool.exe to " + toolFile + " (error 2)",
         {rkFile, 1}},
        {"missing first source", [] { sim::Remove("C:\\work\\payload\\readme.txt"); }, kDemo, 3,
         dataFile, false, false, false, false, false,
         "Failed to copy C:\\work\\payload\\readme.txt to " + dataFile + " (error 2)", {rkFile, 0}},
        {"read-only destination",
         [&] { sim::AddFile(toolFile, "old", plat::kAttrReadOnly); }, kDemo, 4, toolFile, true,
         false, false, false, false, "Failed to copy C:\\media\\tool.exe to " + toolFile + " (error 5)", {rkFile, 1}},
        {"locked destination",
         [&] {
             sim::AddFile(toolFile, "old");
             sim::SetLocked(toolFile);
         },
         kDemo, 4, toolFile, true, false, false, false, false,
         "Failed to copy C:\\media\\tool.exe to " + toolFile + " (error 32)", {rkFile, 1}},
        {"read-only attribute cannot be cleared", [&] { sim::FailAttributeWrite(toolFile); }, kDemo,
         4, toolFile, true, true, false, false, false,
         "Failed to clear the read-only attribute of " + toolFile + " (error 5)", {rkFile, 1}},
        {"program copy fails",
         [&] {
             sim::AddFile(copyFile, "old");
             sim::SetLocked(copyFile);
         },
         kDemo, 5, copyFile, true, true, false, false, false,
         "Failed to copy C:\\work\\Setup.exe to " + copyFile + " (error 32)", {rkProgramCopy}},
        {"project copy cannot be saved",
         [] {
             sim::AddFile("C:\\Program Files\\Demo\\Setup.ini", "old");
             sim::SetLocked("C:\\Program Files\\Demo\\Setup.ini");
         },
         kDemo, 5, copyFile, true, true, true, false, false,
         "Failed to save the project copy " + projectFile + ": ファイル " + projectFile +
             " を作成できません (error 32)",
         {rkProjectCopy}},
        {"program copy's access rules cannot be set", [&] { sim::FailAccessWrite(copyFile); }, kDemo, 5,
         copyFile, true, true, true, false, false, "Failed to set the access rules of " + copyFile + " (error 5)", {rkProgramCopy}},
        {"project copy's access rules cannot be set", [&] { sim::FailAccessWrite(projectFile); }, kDemo, 5,
         copyFile, true, true, true, true, false, "Failed to set the access rules of " + projectFile + " (error 5)", {rkProjectCopy}},
        {"link object unavailable", [] { sim::SetLinkObjectAvailable(false); }, kDemo, 5, linkShown,
         true, true, true, true, false, "Failed to create the shell's link object (error 0x80040154)", {rkShortcut, 0}},
        {"link folder missing",
         [this] { project.Folders.Items(1).FolderPath = "スタート\\プログラム\\Other"; }, kDemo, 5,
         linkShown, true, true, true, true, false,
         "Failed to save the shortcut " + linkShown + ".lnk (error 3)", {rkShortcut, 0}},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        UseDemoProject();
        c.arrange();
        Install(c.location);
        ExpectFailureEnd();
        EXPECT_EQ(sim::Messages().size(), 1u);
        EXPECT_EQ(form->FileCopyBar.Max(), 5);
        EXPECT_EQ(form->FileCopyBar.Position(), c.position);
        EXPECT_EQ(form->CopyFileLabel.Path(), c.label);
        EXPECT_EQ(sim::Content(dataFile) == "readme bytes", c.firstFile);
        EXPECT_EQ(sim::Content(toolFile) == "tool bytes", c.secondFile);
        EXPECT_EQ(sim::Content(copyFile) == kProgramBytes, c.programCopy);
        EXPECT_EQ(sim::Content("C:\\Program Files\\Demo\\Setup.ini").find("InstallMode=1") !=
                      std::string::npos,
                  c.projectCopy);
        EXPECT_EQ(sim::Exists(Programs("\\Demo\\Tool.lnk")), c.shortcut);
        EXPECT_FALSE(sim::KeyExists(RootKey::LocalMachine, Key("OrvaneDemo")));
        EXPECT_EQ(sim::LiveLinkObjects(), 0);
        EXPECT_TRUE(sim::StartedBatches().empty());
        // The user saw one box; the reason went to the debugger output.
        EXPECT_EQ(form->Session.Engine().FailureRecord().text, c.record);
        EXPECT_EQ(form->Session.Engine().FailureRecord().record, c.item);
        ASSERT_FALSE(sim::DebugOutput().empty());
        EXPECT_EQ(sim::DebugOutput().back(), c.record);
    }
}

TEST_F(InstallRun, RefusedRegistrationShowsBothMessages) {
    UseDemoProject();
    sim::SetStandardUser(true);
    Install();
    ExpectFailureEnd();
    // The run's own message, then the program's error report with the reason.
    ASSERT_EQ(sim::Messages().size(), 2u);
    EXPECT_EQ(sim::Messages()[1].text, "'DisplayName' の設定に失敗しました");
    EXPECT_EQ(sim::Messages()[1].caption, "Orvane");
    EXPECT_EQ(form->Session.Engine().FailureRecord().text,
              "Failed to create the key HKEY_LOCAL_MACHINE\\" + Key("OrvaneDemo") + " (error 5)");
    EXPECT_EQ(sim::Messages()[1].kind, plat::MsgKind::Error);
    // Nothing rolled back.
    EXPECT_EQ(sim::Content("C:\\Program Files\\Demo\\Setup.exe"), kProgramBytes);
    EXPECT_TRUE(sim::Exists(Programs("\\Demo\\Tool.lnk")));
    EXPECT_FALSE(sim::KeyExists(RootKey::LocalMachine, Key("OrvaneDemo")));
    EXPECT_EQ(sim::OpenKeys(), 0);
}

TEST_F(InstallRun, WritesRefusedBelowTheKeyEndTheSameWay) {
    sim::FailWritesUnder(RootKey::LocalMachine, Key("OrvaneDemo"));
    Install();
    ExpectFailureEnd();
    ASSERT_EQ(sim::Messages().size(), 2u);
    EXPECT_EQ(sim::Messages()[1].text, "'DisplayName' の設定に失敗しました");
    EXPECT_EQ(form->Session.Engine().FailureRecord().text,
              "Failed to create the key HKEY_LOCAL_MACHINE\\" + Key("OrvaneDemo") + " (error 5)");
}

TEST_F(InstallRun, SavedProjectModeStaysOneAfterAFailedSave) {
    sim::AddFile("C:\\Program Files\\Demo\\Setup.ini", "old");
    sim::SetLocked("C:\\Program Files\\Demo\\Setup.ini");
    StartInstaller();
    form->LocationEdit.SetCaption(kDemo);
    form->Session.Engine().SetProgressMax();
    EXPECT_TRUE(form->Session.Engine().MakeFolders());
    EXPECT_FALSE(form->Session.Engine().CopyFiles());
    EXPECT_EQ(form->Session.Project->InstallMode, 1);
    EXPECT_NE(form->Session.Engine().FailureRecord().text.find("Failed to save the project copy"), std::string::npos);
}

}  // namespace

// The attributes are written back only to take the read-only bit away: a file
// that is not read-only is left as it is, so a refused write cannot fail it.
TEST_F(InstallRun, ClearReadOnlyWritesOnlyWhatItChanges) {
    const uint32_t ro = plat::kAttrReadOnly, arch = plat::kAttrArchive, hid = plat::kAttrHidden;
    struct Case {
        const char* name;
        bool exists;
        uint32_t before;
        bool writeRefused, result;
        uint32_t after;
    };
    const Case cases[] = {
        {"read-only: cleared, other bits kept", true, ro | arch | hid, false, true, arch | hid},
        {"read-only, write refused", true, ro | arch, true, false, ro | arch},
        {"not read-only: nothing to write", true, arch | hid, true, true, arch | hid},
        {"plain file", true, 0, true, true, 0},
        {"missing file", false, 0, false, false, 0},
    };
    StartInstaller();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = std::string("C:\\work\\") + c.name + ".txt";
        if (c.exists) sim::AddFile(path, "x", c.before);
        sim::FailAttributeWrite(path, c.writeRefused);
        EXPECT_EQ(form->Session.Engine().ClearReadOnly(path), c.result);
        if (c.exists) {
            EXPECT_EQ(sim::Attributes(path) & (ro | arch | hid), c.after);
            EXPECT_EQ(sim::Content(path), "x");
        }
    }
}

// The entry of the list of installed programs, value by value with its type,
// with and without the project's optional values; each value's write failing.
TEST_F(InstallRun, TheInstalledProgramsEntry) {
    const std::string prefix = "HKLM\\" + Key("OrvaneDemo") + " ";
    auto entry = [&] {
        std::vector<std::string> lines;
        for (const std::string& line : sim::RegistrySnapshot()) {
            if (line.compare(0, prefix.size(), prefix) == 0) lines.push_back(line.substr(prefix.size()));
        }
        return lines;
    };
    // The size of what the installation folder holds, in KB rounded up: the
    // program copy and its project copy are there too.
    auto folderKB = [](const std::string& folder) {
        uint64_t bytes = 0;
        for (const std::string& name : sim::ListFolder(folder)) {
            if (sim::IsFolder(folder + "\\" + name)) continue;
            uint64_t size = 0;
            EXPECT_TRUE(plat::FileSizeOf(folder + "\\" + name, size));
            bytes += size;
        }
        return std::to_string(bytes / 1024 + (bytes % 1024 != 0));
    };
    struct Case {
        bool optional;     // every optional value given
        const char* location;
        std::vector<std::string> expected;  // sorted; the size's line added by the test
    };
    const Case cases[] = {
        {false, kDemo,
         {"[DisplayIcon] = String:\"C:\\Program Files\\Demo\\Setup.exe\",0", "[DisplayName] = String:Orvane デモ",
          "[InstallDate] = String:20260401", "[InstallLocation] = String:C:\\Program Files\\Demo",
          "[NoModify] = Dword:1", "[NoRepair] = Dword:1",
          "[UninstallString] = String:\"C:\\Program Files\\Demo\\Setup.exe\""}},
        {true, "C:\\ソ",
         {"[DisplayIcon] = String:C:\\ソ\\bin\\app.exe,1", "[DisplayName] = String:Orvane デモ",
          "[DisplayVersion] = String:2.1", "[HelpLink] = String:https://example.org/help",
          "[InstallDate] = String:20271231", "[InstallLocation] = String:C:\\ソ", "[NoModify] = Dword:1",
          "[NoRepair] = Dword:1", "[Publisher] = String:表計算工房", "[URLInfoAbout] = String:https://example.org/",
          "[UninstallString] = String:\"C:\\ソ\\Setup.exe\""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.location);
        TearDown();
        SetUp();
        if (c.optional) {
            project.DisplayVersion = "2.1";
            project.Publisher = "表計算工房";
            project.DisplayIcon = "[Install Folder]\\bin\\app.exe,1";
            project.URLInfoAbout = "https://example.org/";
            project.HelpLink = "https://example.org/help";
            sim::SetToday({2027, 12, 31});
            project.Folders.Add().FolderPath = "[Install Folder]\\bin";
            // Sizes on both sides of a KB: each counts with its bytes.
            const uint64_t sizes[] = {0, 1, 1024, 1025, 5000000000ull};
            for (size_t i = 0; i < std::size(sizes); ++i) {
                const std::string name = "f" + std::to_string(i) + ".bin";
                sim::AddFile("C:\\work\\" + name, "");
                sim::SetFileSize("C:\\work\\" + name, sizes[i]);
                TCopyFile& file = project.Files.Add();
                file.SourceFile = name;
                file.DestFile = "[Install Folder]\\" + name;
            }
        }
        // Every Windows has the list key.
        sim::AddKey(RootKey::LocalMachine, kListKey);
        const auto before = sim::RegistrySnapshot();
        Install(c.location);
        ASSERT_TRUE(form->Session.RunSucceeded);
        std::vector<std::string> expected = c.expected;
        expected.push_back("[EstimatedSize] = Dword:" + folderKB(RunPath::InstallLocation(c.location)));
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(entry(), expected);

        // The uninstallation takes the whole entry.
        Uninstall(RunPath::JoinPath(c.location, "Setup.exe"));
        EXPECT_TRUE(uninstaller->Session.RunSucceeded);
        EXPECT_EQ(sim::RegistrySnapshot(), before);
    }

    for (const char* name : {"DisplayVersion", "Publisher", "URLInfoAbout", "HelpLink", "DisplayIcon",
                             "InstallLocation", "InstallDate", "EstimatedSize", "NoModify", "NoRepair"}) {
        SCOPED_TRACE(name);
        TearDown();
        SetUp();
        project.DisplayVersion = "1.0";
        project.Publisher = "Orvane";
        project.URLInfoAbout = "https://example.org/";
        project.HelpLink = "https://example.org/help";
        sim::FailWriteOfValue(RootKey::LocalMachine, Key("OrvaneDemo"), name);
        Install();
        ExpectFailureEnd();
        ASSERT_EQ(sim::Messages().size(), 2u);
        EXPECT_EQ(sim::Messages()[1].text, std::string("'") + name + "' の設定に失敗しました");
        const TFailureRecord& failure = form->Session.Engine().FailureRecord();
        EXPECT_EQ(failure.text,
                  std::string("Failed to write ") + name + " under HKEY_LOCAL_MACHINE\\" + Key("OrvaneDemo") + " (error 5)");
        EXPECT_EQ(failure.record.kind, rkRegistration);
        EXPECT_EQ(sim::OpenKeys(), 0);
    }
}
