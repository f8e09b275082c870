// The shell's link object and ShellExecuteA under Wine.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/FileSystem.h"
#include "platform/System.h"
#include "tests/support/TestSystem.h"

namespace {

std::string TestFolder(const char* name) {
    std::string folder = plat::TempFolder() + "orvane-" + name + "-" + std::to_string(plat::ProcessId());
    return folder;
}

TEST(Win32ShellLink, SaveAndReadBackWithJapanesePath) {
    plat::InitializeCom();
    const std::string folder = TestFolder("link") + "\\\x83\x5C\x83\x74\x83\x67";  // ソフト
    ASSERT_TRUE(plat::ForceDirectories(folder));
    const std::string target = folder + "\\\x95\x5C\x8E\xA6.exe";  // 表示.exe
    ASSERT_TRUE(plat::WriteWholeFile(target, "MZ"));
    const std::string link = folder + "\\\x95\x5C\x8E\xA6.lnk";
    {
        plat::ShellLink shell;
        ASSERT_TRUE(shell.Create());
        shell.SetPath(target);
        shell.SetArguments("/a \"b c\"");
        shell.SetWorkingDirectory(folder);
        shell.SetDescription("\x83\x41\x83\x76\x83\x8A");  // アプリ
        shell.SetShowCmd(plat::kShowMinNoActive);
        ASSERT_TRUE(shell.Save(link));
    }
    EXPECT_TRUE(plat::FileExists(link));
    support::ShellLinkInfo info;
    ASSERT_TRUE(support::ReadShellLink(link, info));
    EXPECT_EQ(info.path, target);
    EXPECT_EQ(info.arguments, "/a \"b c\"");
    EXPECT_EQ(info.workingDirectory, folder);
    EXPECT_EQ(info.description, "\x83\x41\x83\x76\x83\x8A");
    EXPECT_EQ(info.showCmd, plat::kShowMinNoActive);

    plat::ShellLink failing;
    ASSERT_TRUE(failing.Create());
    failing.SetPath(target);
    EXPECT_FALSE(failing.Save(folder + "\\missing\\x.lnk"));
    EXPECT_FALSE(support::ReadShellLink(folder + "\\missing.lnk", info));

    EXPECT_TRUE(plat::DeleteFileAt(link));
    EXPECT_TRUE(plat::DeleteFileAt(target));
    EXPECT_TRUE(plat::RemoveFolder(folder));
    EXPECT_TRUE(plat::RemoveFolder(TestFolder("link")));
    plat::UninitializeCom();
}

TEST(Win32StartHidden, RunsABatchFile) {
    const std::string folder = TestFolder("batch");
    ASSERT_TRUE(plat::ForceDirectories(folder));
    const std::string batch = folder + "\\make.bat";
    const std::string out = folder + "\\out.txt";
    ASSERT_TRUE(plat::WriteWholeFile(batch, "@echo off\r\necho done> \"" + out + "\"\r\n"));
    plat::StartHidden(batch);
    bool seen = false;
    for (int i = 0; i < 200 && !seen; ++i) {  // up to 20 s
        std::string data;
        seen = plat::ReadWholeFile(out, data) == plat::ReadResult::Ok && data.find("done") != std::string::npos;
        if (!seen) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_TRUE(seen);
    for (int i = 0; i < 50 && !plat::DeleteFileAt(batch); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));  // cmd may still hold it
    }
    plat::DeleteFileAt(out);
    plat::RemoveFolder(folder);
}

}  // namespace
