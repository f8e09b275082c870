// The real registry under Wine, through the platform layer.
#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/System.h"

namespace {

using plat::RegAccess;
using plat::RegType;
using plat::RootKey;

const char kTestKey[] = "\\Software\\OrvaneTests\\Registry";

TEST(Win32Registry, RoundTripUnderCurrentUser) {
    const std::string key = std::string(kTestKey) + "\\\x95\x5C\x83\x5C";  // 表ソ: 5C trail bytes
    {
        plat::RegKey k;
        ASSERT_TRUE(k.Create(RootKey::CurrentUser, key + "\\Inner"));
        ASSERT_TRUE(k.Create(RootKey::CurrentUser, key));
        EXPECT_TRUE(k.WriteString("DisplayName", "\x83\x41\x83\x76\x83\x8A"));
        EXPECT_TRUE(k.WriteString("Empty", ""));
        EXPECT_TRUE(k.WriteDword("Size", 0x01020304));
    }
    plat::RegKey k;
    ASSERT_TRUE(k.Open(RootKey::CurrentUser, key, RegAccess::Read));
    RegType type = RegType::None;
    std::string data;
    ASSERT_TRUE(k.ReadValue("displayname", type, data));
    EXPECT_EQ(type, RegType::String);
    EXPECT_EQ(data, "\x83\x41\x83\x76\x83\x8A");
    ASSERT_TRUE(k.ReadValue("Empty", type, data));
    EXPECT_EQ(data, "");
    ASSERT_TRUE(k.ReadValue("Size", type, data));
    EXPECT_EQ(type, RegType::Dword);
    EXPECT_EQ(data, std::string("\x04\x03\x02\x01", 4));
    EXPECT_FALSE(k.ReadValue("Missing", type, data));
    k.Close();
    EXPECT_FALSE(k.IsOpen());
    // The whole tree goes, subkeys included.
    EXPECT_TRUE(plat::DeleteKeyTree(RootKey::CurrentUser, kTestKey));
    EXPECT_FALSE(k.Open(RootKey::CurrentUser, key, RegAccess::Read));
    EXPECT_FALSE(plat::DeleteKeyTree(RootKey::CurrentUser, kTestKey));
}

TEST(Win32Registry, ShellFoldersAndProgramFiles) {
    plat::RegKey k;
    ASSERT_TRUE(k.Open(RootKey::LocalMachine, "\\Software\\MicroSoft\\Windows\\CurrentVersion", RegAccess::Read));
    RegType type = RegType::None;
    std::string data;
    ASSERT_TRUE(k.ReadValue("ProgramFilesDir", type, data));
    EXPECT_EQ(data, "C:\\Program Files");
    ASSERT_TRUE(k.Open(RootKey::CurrentUser, "\\Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                       RegAccess::AllAccess));
    for (const char* name : {"Start Menu", "Programs", "Startup", "Desktop", "SendTo"}) {
        ASSERT_TRUE(k.ReadValue(name, type, data)) << name;
        EXPECT_TRUE(type == RegType::String || type == RegType::ExpandString) << name;
        EXPECT_TRUE(plat::DirectoryExists(data)) << name << " = " << data;
    }
}

TEST(Win32System, FolderQueriesAndScreen) {
    std::string windows, system;
    ASSERT_TRUE(plat::QueryWindowsFolder(windows));
    ASSERT_TRUE(plat::QuerySystemFolder(system));
    EXPECT_TRUE(plat::DirectoryExists(windows));
    EXPECT_TRUE(plat::DirectoryExists(system));
    EXPECT_EQ(system.compare(0, windows.size(), windows), 0);
    EXPECT_GT(plat::ScreenWidth(), 0);
    EXPECT_GT(plat::ScreenHeight(), 0);
}

}  // namespace
