// The shell's link object under Wine.
#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "platform/System.h"
#include "tests/support/TestSystem.h"

namespace {

std::string TestFolder(const char* name) {
    static const std::string run = plat::RandomHex(4);  // one name per name for the whole run
    return plat::TempFolder() + "orvane-" + name + "-" + run;
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

}  // namespace
