// The sim system services: folders, the shell link store, started programs.
#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "platform/System.h"
#include "platform/sim/Sim.h"
#include "tests/support/TestSystem.h"

namespace {

class SimSystemTest : public ::testing::Test {
protected:
    void SetUp() override { sim::ResetAll(); }
    void TearDown() override { sim::ResetAll(); }
};

TEST_F(SimSystemTest, FolderQueries) {
    std::string folder;
    ASSERT_TRUE(plat::QueryWindowsFolder(folder));
    EXPECT_EQ(folder, "C:\\Windows");
    ASSERT_TRUE(plat::QuerySystemFolder(folder));
    EXPECT_EQ(folder, "C:\\Windows\\system32");
    sim::FailSystemFolder();
    folder = "unchanged";
    EXPECT_FALSE(plat::QuerySystemFolder(folder));
    EXPECT_EQ(folder, "unchanged");
    sim::SetWindowsFolder("D:\\WINNT");
    ASSERT_TRUE(plat::QueryWindowsFolder(folder));
    EXPECT_EQ(folder, "D:\\WINNT");
}

TEST_F(SimSystemTest, LinkSavedAsFileAndReadBack) {
    const std::string link = std::string(sim::kProgramsFolder) + "\\\x83\x5C\x83\x74\x83\x67.lnk";  // ソフト.lnk
    {
        plat::ShellLink shell;
        ASSERT_TRUE(shell.Create());
        EXPECT_EQ(sim::LiveLinkObjects(), 1);
        shell.SetPath("C:\\Program Files\\App\\App.exe");
        shell.SetArguments("/x \"y z\"");
        shell.SetWorkingDirectory("C:\\Program Files\\App");
        shell.SetDescription("\x83\x41\x83\x76\x83\x8A");
        shell.SetShowCmd(plat::kShowMaximized);
        ASSERT_TRUE(shell.Save(link));
    }
    EXPECT_EQ(sim::LiveLinkObjects(), 0);
    EXPECT_TRUE(plat::FileExists(link));
    support::ShellLinkInfo info;
    ASSERT_TRUE(support::ReadShellLink(link, info));
    EXPECT_EQ(info.path, "C:\\Program Files\\App\\App.exe");
    EXPECT_EQ(info.arguments, "/x \"y z\"");
    EXPECT_EQ(info.workingDirectory, "C:\\Program Files\\App");
    EXPECT_EQ(info.description, "\x83\x41\x83\x76\x83\x8A");
    EXPECT_EQ(info.showCmd, plat::kShowMaximized);
    // A link is a file like any other: copied, it reads the same; deleted, it is gone.
    ASSERT_TRUE(plat::CopyFileTo(link, "C:\\work\\copy.lnk", false));
    support::ShellLinkInfo copy;
    ASSERT_TRUE(support::ReadShellLink("C:\\work\\copy.lnk", copy));
    EXPECT_EQ(copy.path, info.path);
    ASSERT_TRUE(plat::DeleteFileAt(link));
    EXPECT_FALSE(support::ReadShellLink(link, info));
    EXPECT_FALSE(support::ReadShellLink(plat::ExecutablePath(), info));  // not a link
}

TEST_F(SimSystemTest, LinkSaveFailures) {
    plat::ShellLink shell;
    EXPECT_FALSE(shell.Save("C:\\work\\early.lnk"));  // not created yet
    ASSERT_TRUE(shell.Create());
    shell.SetPath("C:\\a.exe");
    EXPECT_FALSE(shell.Save("C:\\no such folder\\a.lnk"));
    sim::DenyCreateIn(sim::kDesktopFolder);
    EXPECT_FALSE(shell.Save(std::string(sim::kDesktopFolder) + "\\a.lnk"));
    EXPECT_FALSE(shell.Save(""));
    support::ShellLinkInfo info;
    ASSERT_TRUE(shell.Save("C:\\work\\a.lnk"));
    ASSERT_TRUE(support::ReadShellLink("C:\\work\\a.lnk", info));
    EXPECT_EQ(info.showCmd, plat::kShowNormal);  // the link object's default

    sim::SetLinkObjectAvailable(false);
    plat::ShellLink none;
    EXPECT_FALSE(none.Create());
    none.SetPath("C:\\b.exe");  // harmless without the object
    EXPECT_FALSE(none.Save("C:\\work\\b.lnk"));
    EXPECT_FALSE(plat::FileExists("C:\\work\\b.lnk"));
}

TEST_F(SimSystemTest, ProcessServicesComAndScreen) {
    plat::SetCurrentFolder("C:\\Windows");
    EXPECT_TRUE(plat::StartBatch("C:\\x\\Delete.bat", "C:\\x"));
    ASSERT_EQ(sim::StartedBatches().size(), 1u);
    EXPECT_EQ(sim::StartedBatches()[0].batch, "C:\\x\\Delete.bat");
    EXPECT_EQ(sim::StartedBatches()[0].workFolder, "C:\\x");
    EXPECT_EQ(sim::StartedBatches()[0].currentFolder, "C:\\Windows");
    sim::FailStartBatch();
    EXPECT_FALSE(plat::StartBatch("C:\\y.bat", "C:\\"));
    EXPECT_EQ(sim::StartedBatches().size(), 1u);
    EXPECT_TRUE(plat::DeleteAtRestart("C:\\x"));
    EXPECT_EQ(sim::DeletesAtRestart(), std::vector<std::string>{"C:\\x"});

    // Counting by default, queued values first, each to the length asked.
    sim::QueueRandomHex({"abc", "0123456789"});
    EXPECT_EQ(plat::RandomHex(2), "0abc");
    EXPECT_EQ(plat::RandomHex(2), "0123");
    EXPECT_EQ(plat::RandomHex(2), "0001");
    EXPECT_EQ(plat::RandomHex(1), "02");
    EXPECT_EQ(plat::RandomHex(0), "");
    sim::FailRandom();
    EXPECT_EQ(plat::RandomHex(4), "");

    plat::InitializeCom();
    EXPECT_EQ(sim::ComInitializations(), 1);
    plat::UninitializeCom();
    EXPECT_EQ(sim::ComInitializations(), 0);
    EXPECT_EQ(plat::ScreenWidth(), 1024);
    EXPECT_EQ(plat::ScreenHeight(), 768);
    sim::SetScreenSize(1920, 1080);
    EXPECT_EQ(plat::ScreenWidth(), 1920);
    sim::ResetAll();
    EXPECT_TRUE(sim::StartedBatches().empty());
    EXPECT_TRUE(sim::DeletesAtRestart().empty());
    EXPECT_EQ(plat::RandomHex(2), "0001");
    EXPECT_EQ(plat::ScreenHeight(), 768);
}

}  // namespace
