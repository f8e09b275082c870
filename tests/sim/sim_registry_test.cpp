// The sim registry: paths, types, rights and faults that the runs meet.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/Registry.h"
#include "platform/sim/Sim.h"

namespace {

using plat::RegAccess;
using plat::RegType;
using plat::RootKey;

class SimRegistryTest : public ::testing::Test {
protected:
    void SetUp() override { sim::ResetAll(); }
    void TearDown() override { sim::ResetAll(); }
};

std::string Read(RootKey root, const std::string& key, const std::string& name, RegType* type = nullptr) {
    plat::RegKey k;
    if (!k.Open(root, key, RegAccess::Read)) return "(no key)";
    RegType t = RegType::None;
    std::string data;
    if (!k.ReadValue(name, t, data)) return "(no value)";
    if (type) *type = t;
    return data;
}

TEST_F(SimRegistryTest, DefaultShellFoldersAndProgramFiles) {
    // Key names in any case, with or without the leading backslash.
    EXPECT_EQ(Read(RootKey::LocalMachine, "\\Software\\MicroSoft\\Windows\\CurrentVersion", "ProgramFilesDir"),
              "C:\\Program Files");
    const std::string shell = "\\Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    EXPECT_EQ(Read(RootKey::CurrentUser, shell, "Startup"), sim::kStartupFolder);
    EXPECT_EQ(Read(RootKey::CurrentUser, shell, "Programs"), sim::kProgramsFolder);
    EXPECT_EQ(Read(RootKey::CurrentUser, shell, "Start Menu"), sim::kStartMenuFolder);
    EXPECT_EQ(Read(RootKey::CurrentUser, shell, "Desktop"), sim::kDesktopFolder);
    EXPECT_EQ(Read(RootKey::CurrentUser, shell, "sendto"), sim::kSendToFolder);
    EXPECT_EQ(Read(RootKey::LocalMachine, shell, "Common Programs"), sim::kCommonProgramsFolder);
    EXPECT_EQ(Read(RootKey::LocalMachine, shell, "Common Desktop"), sim::kCommonDesktopFolder);
    EXPECT_EQ(Read(RootKey::LocalMachine, shell, "Startup"), "(no value)");
    EXPECT_EQ(Read(RootKey::CurrentUser, "Software\\Nothing", "x"), "(no key)");
}

TEST_F(SimRegistryTest, TypesAndStringsEndAtZero) {
    const std::string key = "Software\\Test";
    sim::SetValue(RootKey::CurrentUser, key, "Plain", RegType::String, std::string("abc\0def", 7));
    sim::SetValue(RootKey::CurrentUser, key, "Expand", RegType::ExpandString, "%WINDIR%\\x");
    sim::SetValue(RootKey::CurrentUser, key, "Number", RegType::Other, std::string("\x01\0\0\0", 4));
    RegType type = RegType::None;
    EXPECT_EQ(Read(RootKey::CurrentUser, key, "Plain", &type), "abc");
    EXPECT_EQ(type, RegType::String);
    EXPECT_EQ(Read(RootKey::CurrentUser, key, "Expand", &type), "%WINDIR%\\x");  // not expanded
    EXPECT_EQ(type, RegType::ExpandString);
    EXPECT_EQ(Read(RootKey::CurrentUser, key, "Number", &type), std::string("\x01\0\0\0", 4));
    EXPECT_EQ(type, RegType::Other);
}

TEST_F(SimRegistryTest, CreateWriteDeleteTree) {
    const std::string key = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\App";
    {
        plat::RegKey k;
        ASSERT_TRUE(k.Create(RootKey::LocalMachine, key));
        EXPECT_TRUE(k.WriteString("DisplayName", "\x83\x41\x83\x76\x83\x8A"));  // アプリ
        EXPECT_TRUE(k.WriteString("UninstallString", "C:\\Program Files\\App\\Setup.exe"));
        EXPECT_EQ(sim::OpenKeys(), 1);
    }
    EXPECT_EQ(sim::OpenKeys(), 0);
    EXPECT_EQ(sim::ValueOf(RootKey::LocalMachine, key, "displayname"), "\x83\x41\x83\x76\x83\x8A");
    EXPECT_EQ(sim::TypeOf(RootKey::LocalMachine, key, "DisplayName"), RegType::String);
    sim::AddKey(RootKey::LocalMachine, key + "\\Sub\\Deeper");
    EXPECT_TRUE(plat::DeleteKeyTree(RootKey::LocalMachine, key));
    EXPECT_FALSE(sim::KeyExists(RootKey::LocalMachine, key));
    EXPECT_TRUE(sim::KeyExists(RootKey::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
    EXPECT_FALSE(plat::DeleteKeyTree(RootKey::LocalMachine, key));  // gone already
    EXPECT_FALSE(plat::DeleteKeyTree(RootKey::LocalMachine, ""));   // never the root
}

TEST_F(SimRegistryTest, KeyNamesWithTrailByte5C) {
    // 表 = 95 5C inside a key name does not split it.
    sim::SetValue(RootKey::CurrentUser, "Software\\\x95\x5C", "v", RegType::String, "1");
    EXPECT_TRUE(sim::KeyExists(RootKey::CurrentUser, "Software\\\x95\x5C"));
    EXPECT_FALSE(sim::KeyExists(RootKey::CurrentUser, "Software\\\x95"));
}

TEST_F(SimRegistryTest, StandardUserReadsButCannotWriteMachineKeys) {
    sim::SetStandardUser(true);
    const std::string cv = sim::kCurrentVersionKey;
    plat::RegKey k;
    EXPECT_FALSE(k.Open(RootKey::LocalMachine, cv, RegAccess::AllAccess));
    EXPECT_FALSE(k.IsOpen());
    EXPECT_EQ(Read(RootKey::LocalMachine, cv, "ProgramFilesDir"), "C:\\Program Files");
    EXPECT_FALSE(k.Create(RootKey::LocalMachine, cv + "\\Uninstall\\App"));
    EXPECT_FALSE(sim::KeyExists(RootKey::LocalMachine, cv + "\\Uninstall\\App"));
    ASSERT_TRUE(k.Open(RootKey::LocalMachine, cv, RegAccess::Read));
    EXPECT_FALSE(k.WriteString("x", "y"));
    EXPECT_FALSE(plat::DeleteKeyTree(RootKey::LocalMachine, sim::kShellFoldersKey));
    // The user's own keys stay writable.
    ASSERT_TRUE(k.Create(RootKey::CurrentUser, "Software\\Mine"));
    EXPECT_TRUE(k.WriteString("x", "y"));
    EXPECT_TRUE(plat::DeleteKeyTree(RootKey::CurrentUser, "Software\\Mine"));
}

TEST_F(SimRegistryTest, FaultsOnDemand) {
    const std::string uninstall = std::string(sim::kCurrentVersionKey) + "\\Uninstall";
    sim::FailWritesUnder(RootKey::LocalMachine, uninstall);
    plat::RegKey k;
    EXPECT_FALSE(k.Create(RootKey::LocalMachine, uninstall + "\\App"));
    sim::AddKey(RootKey::LocalMachine, uninstall + "\\App");
    ASSERT_TRUE(k.Create(RootKey::LocalMachine, uninstall + "\\App"));  // opening an existing key works
    EXPECT_FALSE(k.WriteString("DisplayName", "x"));
    sim::FailWritesUnder(RootKey::LocalMachine, uninstall, false);
    EXPECT_TRUE(k.WriteString("DisplayName", "x"));
    k.Close();

    sim::AddKey(RootKey::LocalMachine, uninstall + "\\App\\Inner");
    sim::FailDeleteOf(RootKey::LocalMachine, uninstall + "\\App\\Inner");
    EXPECT_FALSE(plat::DeleteKeyTree(RootKey::LocalMachine, uninstall + "\\App"));  // contains it
    EXPECT_TRUE(sim::KeyExists(RootKey::LocalMachine, uninstall + "\\App\\Inner"));
    sim::FailDeleteOf(RootKey::LocalMachine, uninstall + "\\App\\Inner", false);
    EXPECT_TRUE(plat::DeleteKeyTree(RootKey::LocalMachine, uninstall + "\\App"));
}

TEST_F(SimRegistryTest, KeyDeletedWhileOpenStopsAnswering) {
    plat::RegKey k;
    ASSERT_TRUE(k.Create(RootKey::CurrentUser, "Software\\Gone"));
    ASSERT_TRUE(plat::DeleteKeyTree(RootKey::CurrentUser, "Software\\Gone"));
    RegType type;
    std::string data;
    EXPECT_FALSE(k.WriteString("x", "y"));
    EXPECT_FALSE(k.ReadValue("x", type, data));
    EXPECT_FALSE(sim::KeyExists(RootKey::CurrentUser, "Software\\Gone"));
}

TEST_F(SimRegistryTest, SnapshotShowsWrites) {
    std::vector<std::string> before = sim::RegistrySnapshot();
    EXPECT_NE(std::find(before.begin(), before.end(),
                        "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion [ProgramFilesDir] = String:C:\\Program Files"),
              before.end());
    plat::RegKey k;
    ASSERT_TRUE(k.Create(RootKey::CurrentUser, "Software\\New"));
    ASSERT_TRUE(k.WriteString("Name", "v"));
    std::vector<std::string> after = sim::RegistrySnapshot();
    EXPECT_EQ(after.size(), before.size() + 2);
    EXPECT_NE(std::find(after.begin(), after.end(), "HKCU\\Software\\New [Name] = String:v"), after.end());
    sim::ResetRegistry();
    EXPECT_EQ(sim::RegistrySnapshot(), before);
}

}  // namespace
