// System paths and folder keywords against the sim registry and system
// folders: value types, read-only access, fresh queries, refused folders.
#include <gtest/gtest.h>

#include <string>

#include "engine/FolderKeyword_unit.h"
#include "engine/SystemPath_unit.h"
#include "platform/Error.h"
#include "platform/sim/Sim.h"
#include "ui/SetupMain_unit.h"

namespace {

using plat::RegType;
using plat::RootKey;

struct SystemPathSim : ::testing::Test {
    TSystemPath systemPath;
    void SetUp() override { sim::ResetAll(); }
    void TearDown() override { EXPECT_EQ(0, sim::OpenKeys()); }

    void SetShell(const std::string& name, RegType type, const std::string& data) {
        sim::SetValue(RootKey::CurrentUser, sim::kShellFoldersKey, name, type, data);
    }
    std::string Expand(const std::string& path, bool& flag) {
        return ExpandFolderKeywords(path, flag, [] { return std::string("C:\\App"); }, systemPath);
    }
    std::string Expand(const std::string& path) {
        bool flag = false;
        return Expand(path, flag);
    }
};

TEST_F(SystemPathSim, DefaultFolders) {
    EXPECT_EQ("C:\\Program Files", systemPath.GetSystemPath(spProgramFiles));
    EXPECT_EQ("C:\\Windows", systemPath.GetSystemPath(spWindows));
    EXPECT_EQ("C:\\Windows\\system32", systemPath.GetSystemPath(spSystem));
    EXPECT_EQ("C:\\Windows\\system32\\Drivers", systemPath.GetSystemPath(spDrivers));
    const struct {
        int kind;
        const char* user;
        const char* common;
    } table[] = {
        {sfStartMenu, sim::kStartMenuFolder, sim::kCommonStartMenuFolder},
        {sfPrograms, sim::kProgramsFolder, sim::kCommonProgramsFolder},
        {sfStartup, sim::kStartupFolder, sim::kCommonStartupFolder},
        {sfDesktop, sim::kDesktopFolder, sim::kCommonDesktopFolder},
        {sfSendTo, sim::kSendToFolder, sim::kCommonSendToFolder},
    };
    for (const auto& row : table) {
        EXPECT_EQ(row.user, systemPath.GetShellFolder(false, row.kind)) << row.kind;
        EXPECT_EQ(row.common, systemPath.GetShellFolder(true, row.kind)) << row.kind;
    }
}

TEST_F(SystemPathSim, EachKindReadsItsOwnValueName) {
    const char* const names[2][5] = {
        {"Start Menu", "Programs", "Startup", "Desktop", "SendTo"},
        {"Common Start Menu", "Common Programs", "Common Startup", "Common Desktop", "Common SendTo"},
    };
    for (int scope = 0; scope < 2; ++scope) {
        const RootKey root = scope ? RootKey::LocalMachine : RootKey::CurrentUser;
        for (int kind = 0; kind < 5; ++kind) {
            const std::string marker = "X:\\" + std::to_string(scope) + std::to_string(kind);
            sim::SetValue(root, sim::kShellFoldersKey, names[scope][kind], RegType::String, marker);
        }
        for (int kind = 0; kind < 5; ++kind) {
            EXPECT_EQ("X:\\" + std::to_string(scope) + std::to_string(kind),
                      systemPath.GetShellFolder(scope == 1, kind));
        }
    }
}

TEST_F(SystemPathSim, StringValuesAsStored) {
    SetShell("Desktop", RegType::ExpandString, "%USERPROFILE%\\Desktop");
    EXPECT_EQ("%USERPROFILE%\\Desktop", systemPath.GetShellFolder(false, sfDesktop));
    EXPECT_EQ("%USERPROFILE%\\Desktop\\a.lnk", Expand("デスクトップ\\a.lnk"));
    SetShell("SendTo", RegType::String, std::string("D:\\Send\0junk", 12));
    EXPECT_EQ("D:\\Send", systemPath.GetShellFolder(false, sfSendTo));
    SetShell("Startup", RegType::String, "D:\\Startup\\");
    EXPECT_EQ("D:\\Startup\\", systemPath.GetShellFolder(false, sfStartup));  // nothing trimmed
    EXPECT_EQ("D:\\Startup\\\\a.lnk", Expand("スタート\\プログラム\\スタートアップ\\a.lnk"));
}

TEST_F(SystemPathSim, OtherValueTypesRaise) {
    SetShell("Desktop", RegType::Other, "\x01\x00\x00\x00");
    try {
        systemPath.GetShellFolder(false, sfDesktop);
        ADD_FAILURE() << "no error";
    } catch (const ESetupError& e) {
        EXPECT_EQ("'Desktop' のデータ型が不正です", e.Message());
    }
    SetShell("SendTo", RegType::None, "");
    EXPECT_THROW(systemPath.GetShellFolder(false, sfSendTo), ESetupError);
    sim::SetValue(RootKey::LocalMachine, sim::kCurrentVersionKey, "ProgramFilesDir", RegType::Other, "x");
    EXPECT_THROW(systemPath.GetSystemPath(spProgramFiles), ESetupError);
}

TEST_F(SystemPathSim, MissingKeysAndValuesReadEmpty) {
    sim::RemoveValue(RootKey::CurrentUser, sim::kShellFoldersKey, "SendTo");
    EXPECT_EQ("", systemPath.GetShellFolder(false, sfSendTo));
    EXPECT_EQ(sim::kDesktopFolder, systemPath.GetShellFolder(false, sfDesktop));
    SetShell("Programs", RegType::String, "");
    EXPECT_EQ("", systemPath.GetShellFolder(false, sfPrograms));
    sim::RemoveKey(RootKey::CurrentUser, sim::kShellFoldersKey);
    EXPECT_EQ("", systemPath.GetShellFolder(false, sfDesktop));
    EXPECT_EQ("", systemPath.ReadCurrentVersionString(RootKey::LocalMachine, "\\No\\Such", "x"));
    EXPECT_EQ("C:\\Program Files",
              systemPath.ReadCurrentVersionString(RootKey::LocalMachine, "", "ProgramFilesDir"));
}

TEST_F(SystemPathSim, StandardUserReadsMachineKeys) {
    sim::SetStandardUser(true);
    EXPECT_EQ("C:\\Program Files", systemPath.GetSystemPath(spProgramFiles));
    EXPECT_EQ(sim::kCommonDesktopFolder, systemPath.GetShellFolder(true, sfDesktop));
}

TEST_F(SystemPathSim, FailedSystemFolderQueries) {
    sim::FailSystemFolder();
    EXPECT_EQ("", systemPath.GetSystemPath(spSystem));
    EXPECT_EQ("\\Drivers", systemPath.GetSystemPath(spDrivers));
    EXPECT_EQ("C:\\Windows", systemPath.GetSystemPath(spWindows));
    sim::FailWindowsFolder();
    EXPECT_EQ("", systemPath.GetSystemPath(spWindows));
}

TEST_F(SystemPathSim, KeywordsWithUnknownFoldersAreRefused) {
    sim::FailSystemFolder();
    try {
        Expand("[System]\\[Drivers]\\x.sys");
        ADD_FAILURE() << "no error";
    } catch (const ESetupError& e) {
        EXPECT_EQ("フォルダ '[System]\\[Drivers]' が見つかりません", e.Message());
    }
    EXPECT_THROW(Expand("[System]\\x.dll"), ESetupError);
    sim::RemoveValue(RootKey::CurrentUser, sim::kShellFoldersKey, "SendTo");
    try {
        Expand("送る\\App");
        ADD_FAILURE() << "no error";
    } catch (const ESetupError& e) {
        EXPECT_EQ("フォルダ '送る' が見つかりません", e.Message());
    }
    // Other keywords still work.
    EXPECT_EQ(std::string(sim::kDesktopFolder) + "\\a", Expand("デスクトップ\\a"));
    EXPECT_EQ("C:\\App\\a", Expand("[Install Folder]\\a"));
}

TEST_F(SystemPathSim, LaterKeywordsAreNotQueriedAfterAMatch) {
    // A value of the wrong type raises when it is read: reading it would show.
    SetShell("SendTo", RegType::Other, "x");
    EXPECT_EQ(std::string(sim::kDesktopFolder) + "\\a", Expand("デスクトップ\\a"));
    EXPECT_EQ(std::string(sim::kStartMenuFolder), Expand("スタート"));
    EXPECT_THROW(Expand("送る\\a"), ESetupError);
    EXPECT_THROW(Expand("D:\\no keyword"), ESetupError);  // every keyword is asked
    SetShell("Startup", RegType::Other, "x");
    EXPECT_EQ("C:\\Windows\\system32\\a", Expand("[System]\\a"));
    EXPECT_EQ("C:\\App", Expand("[Install Folder]"));
    // Startup is asked before Programs and Start Menu are tested.
    EXPECT_THROW(Expand("スタート\\a"), ESetupError);
}

TEST_F(SystemPathSim, EveryExpansionQueriesAfresh) {
    EXPECT_EQ(std::string(sim::kSendToFolder) + "\\a", Expand("送る\\a"));
    SetShell("SendTo", RegType::String, "E:\\SendTo");
    EXPECT_EQ("E:\\SendTo\\a", Expand("送る\\a"));
    sim::SetSystemFolder("E:\\SYS");
    EXPECT_EQ("E:\\SYS\\Drivers\\x.sys", Expand("[System]\\[Drivers]\\x.sys"));
    EXPECT_EQ("E:\\SYS\\x.dll", Expand("[System]\\x.dll"));
}

// The wizard's own forms: "[Install Folder]" is LocationEdit's current text.
TEST_F(SystemPathSim, WizardExpansionUsesLocationEdit) {
    TSetupMainForm form;
    form.Session.SystemPath = std::make_unique<TSystemPath>();
    form.LocationEdit.SetCaption("C:\\Program Files\\App");
    bool flag = false;
    EXPECT_EQ("C:\\Program Files\\App", form.Session.Engine().ExpandFolderKeywords("[Install Folder]", flag));
    EXPECT_TRUE(flag);
    EXPECT_EQ("C:\\Program Files\\App\\bin\\a.exe", form.Session.Engine().ExpandPath("[Install Folder]\\bin\\a.exe"));
    form.LocationEdit.TextFromUser("D:\\Other\\");
    EXPECT_EQ("D:\\Other\\\\a", form.Session.Engine().ExpandPath("[Install Folder]\\a"));
    EXPECT_EQ(std::string(sim::kProgramsFolder) + "\\App\\App.lnk",
              form.Session.Engine().ExpandPath("スタート\\プログラム\\App\\App.lnk"));
    form.LocationEdit.TextFromUser("");
    EXPECT_THROW(form.Session.Engine().ExpandPath("[Install Folder]\\a"), ESetupError);
    EXPECT_EQ("D:\\x", form.Session.Engine().ExpandPath("D:\\x"));
}

}  // namespace
