// The sim file system's Windows rules and its faults on demand.
#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "platform/sim/Sim.h"
#include "tests/support/TestSystem.h"

namespace {

class SimFileSystemTest : public ::testing::Test {
protected:
    void SetUp() override { sim::ResetAll(); }
    void TearDown() override { sim::ResetAll(); }
};

TEST_F(SimFileSystemTest, DefaultTree) {
    for (const char* folder : {"C:\\", "C:\\Windows", "C:\\Windows\\system32", "C:\\Program Files", "C:\\temp",
                               "C:\\work", sim::kStartupFolder, sim::kDesktopFolder, sim::kSendToFolder,
                               sim::kCommonProgramsFolder}) {
        EXPECT_TRUE(plat::DirectoryExists(folder)) << folder;
    }
    EXPECT_EQ(plat::CurrentFolder(), "C:\\work");
    EXPECT_EQ(plat::ExecutablePath(), "C:\\work\\Setup.exe");
    EXPECT_TRUE(plat::FileExists(plat::ExecutablePath()));
    EXPECT_EQ(plat::TempFolder(), "C:\\temp\\");
    EXPECT_FALSE(plat::DirectoryExists("D:\\"));
}

struct PathCase {
    const char* written;
    const char* names;  // the file it must reach, or "" for none
};

TEST_F(SimFileSystemTest, PathsResolveAsOnWindows) {
    ASSERT_TRUE(sim::AddFile("C:\\work\\sub\\File.txt", "x"));
    const PathCase cases[] = {
        {"C:\\work\\sub\\File.txt", "C:\\work\\sub\\File.txt"},
        {"c:\\WORK\\SUB\\file.TXT", "C:\\work\\sub\\File.txt"},   // case of ASCII letters ignored
        {"C:/work/sub/File.txt", "C:\\work\\sub\\File.txt"},      // slashes separate too
        {"sub\\File.txt", "C:\\work\\sub\\File.txt"},             // relative to the current folder
        {".\\sub\\.\\File.txt", "C:\\work\\sub\\File.txt"},
        {"C:sub\\File.txt", "C:\\work\\sub\\File.txt"},           // drive-relative
        {"\\work\\sub\\File.txt", "C:\\work\\sub\\File.txt"},     // from the current drive's root
        {"C:\\temp\\..\\work\\sub\\File.txt", "C:\\work\\sub\\File.txt"},
        {"C:\\..\\work\\sub\\File.txt", "C:\\work\\sub\\File.txt"},  // ".." stops at the root
        {"C:\\work\\\\sub\\File.txt", "C:\\work\\sub\\File.txt"},
        {"C:\\work\\sub\\File.txt.", "C:\\work\\sub\\File.txt"},   // trailing dots dropped
        {"C:\\work\\sub.\\File.txt . ", "C:\\work\\sub\\File.txt"},  // and one dot before a separator
        {"\\\\?\\C:\\work\\sub\\File.txt", "C:\\work\\sub\\File.txt"},  // a device path of drive C
        {"\\\\?\\C:\\work\\sub\\File.txt.", ""},                // taken as written
        {"C:\\work\\sub\\File.txt\\", ""},                        // a file is no folder
        {"C:\\work\\sub\\File", ""},
        {"D:\\work\\sub\\File.txt", ""},
        {"", ""},
    };
    for (const PathCase& c : cases) {
        EXPECT_EQ(plat::FileExists(c.written), *c.names != '\0') << c.written;
        if (*c.names) EXPECT_EQ(sim::FullPath(c.written), c.names) << c.written;
    }
    EXPECT_TRUE(plat::DirectoryExists("C:\\work\\sub\\"));
    EXPECT_TRUE(plat::DirectoryExists("c:"));  // the current folder of drive C
    // Full-width letters have a case too.
    ASSERT_TRUE(sim::AddFile("C:\\work\\ａｂ.txt", "x"));
    EXPECT_EQ(sim::FullPath("C:\\work\\ＡＢ.TXT"), "C:\\work\\ａｂ.txt");
}

TEST_F(SimFileSystemTest, CaseOfDoubleByteTrailBytesMatters) {
    // ア = 83 41 and ヂ = 83 61 differ only in a trail byte that looks like A / a.
    ASSERT_TRUE(plat::WriteWholeFile("C:\\work\\\x83\x41.txt", "a"));
    EXPECT_FALSE(plat::FileExists("C:\\work\\\x83\x61.txt"));
    ASSERT_TRUE(plat::WriteWholeFile("C:\\work\\\x83\x61.txt", "b"));
    EXPECT_EQ(sim::Content("C:\\work\\\x83\x41.TXT"), "a");
    EXPECT_EQ(sim::Content("C:\\work\\\x83\x61.TXT"), "b");
    // 表 = 95 5C inside a name is no separator.
    ASSERT_TRUE(plat::MakeDirectory("C:\\work\\\x95\x5C"));
    EXPECT_EQ(sim::ListFolder("C:\\work\\\x95\x5C").size(), 0u);
    EXPECT_FALSE(plat::DirectoryExists("C:\\work\\\x95"));
    // A name that ends in such a byte is no trailing separator.
    ASSERT_TRUE(plat::WriteWholeFile("C:\\work\\\x83\x5C", "so"));
    EXPECT_TRUE(plat::FileExists("C:\\work\\\x83\x5C"));
    EXPECT_FALSE(plat::FileExists("C:\\work\\\x83\x5C\\"));
    EXPECT_EQ(sim::Content("C:\\work\\\x83\x5C"), "so");
}

TEST_F(SimFileSystemTest, NamesKeepTheirSpellingAndShortNames) {
    ASSERT_TRUE(plat::WriteWholeFile("C:\\work\\ReadMe Please.text", "x"));
    ASSERT_TRUE(plat::WriteWholeFile("C:\\work\\readme pleasure.text", "x"));
    ASSERT_TRUE(plat::WriteWholeFile("c:\\work\\readme please.TEXT", "y"));  // the same file
    EXPECT_EQ(sim::StoredName("C:\\WORK\\README PLEASE.TEXT"), "ReadMe Please.text");
    EXPECT_EQ(sim::ShortNameOf("C:\\work\\ReadMe Please.text"), "README~1.TEX");
    EXPECT_EQ(sim::ShortNameOf("C:\\work\\readme pleasure.text"), "README~2.TEX");
    EXPECT_EQ(sim::Content("C:\\work\\README~1.TEX"), "y");  // short names resolve too
    ASSERT_TRUE(plat::WriteWholeFile("C:\\work\\short.txt", "x"));
    EXPECT_EQ(sim::ShortNameOf("C:\\work\\short.txt"), "");
    sim::SetShortName("C:\\work\\short.txt", "OWN~9.TXT");
    plat::FindData data;
    plat::FindHandle find;
    ASSERT_TRUE(find.First("C:\\work\\own~9.txt", data));
    EXPECT_EQ(data.name, "short.txt");
    EXPECT_EQ(data.shortName, "OWN~9.TXT");
}

TEST_F(SimFileSystemTest, FindHandlesWildcardsAndOpenCount) {
    sim::AddFile("C:\\data\\b.dat", "1", plat::kAttrHidden);
    sim::AddFile("C:\\data\\a.txt", "2");
    sim::AddFolder("C:\\data\\folder");
    plat::FindData data;
    {
        plat::FindHandle first, second;
        ASSERT_TRUE(first.First("C:\\data\\*.dat", data));
        EXPECT_EQ(data.name, "b.dat");
        EXPECT_EQ(data.attributes, plat::kAttrHidden);  // any attributes
        ASSERT_TRUE(second.First("C:\\data\\fold?r", data));
        EXPECT_EQ(data.attributes, plat::kAttrDirectory);
        EXPECT_EQ(sim::OpenFindHandles(), 2);
        plat::FindHandle moved(std::move(first));
        EXPECT_FALSE(first.IsOpen());
        EXPECT_EQ(sim::OpenFindHandles(), 2);
        ASSERT_TRUE(second.First("C:\\data\\*.*", data));
        EXPECT_EQ(data.name, ".");  // below a root the dot entries come first
    }
    EXPECT_EQ(sim::OpenFindHandles(), 0);
    plat::FindHandle root;
    ASSERT_TRUE(root.First("C:\\*", data));
    EXPECT_NE(data.name, ".");
}

TEST_F(SimFileSystemTest, LockedFiles) {
    sim::AddFile("C:\\work\\in use.dll", "code");
    sim::SetLocked("C:\\work\\in use.dll");
    std::string read;
    EXPECT_EQ(plat::ReadWholeFile("C:\\work\\in use.dll", read), plat::ReadResult::OpenFailed);
    EXPECT_FALSE(plat::WriteWholeFile("C:\\work\\in use.dll", "new"));
    EXPECT_FALSE(plat::CopyFileTo(plat::ExecutablePath(), "C:\\work\\in use.dll", false));
    EXPECT_FALSE(plat::CopyFileTo("C:\\work\\in use.dll", "C:\\work\\copy.dll", false));
    EXPECT_FALSE(plat::DeleteFileAt("C:\\work\\in use.dll"));
    EXPECT_TRUE(plat::FileExists("C:\\work\\in use.dll"));
    EXPECT_TRUE(plat::WriteAttributes("C:\\work\\in use.dll", plat::kAttrArchive));
    EXPECT_EQ(sim::Content("C:\\work\\in use.dll"), "code");
    sim::SetLocked("C:\\work\\in use.dll", false);
    EXPECT_TRUE(plat::DeleteFileAt("C:\\work\\in use.dll"));
}

TEST_F(SimFileSystemTest, OpenForWritingBySomeoneElse) {
    sim::AddFile("C:\\work\\Setup.ini", "[S]\r\n");
    sim::SetOpenForWriting("C:\\work\\Setup.ini");
    std::string read;
    EXPECT_EQ(plat::ReadWholeFile("C:\\work\\Setup.ini", read), plat::ReadResult::OpenFailed);
    EXPECT_FALSE(plat::DeleteFileAt("C:\\work\\Setup.ini"));
    sim::SetOpenForWriting("C:\\work\\Setup.ini", false);
    EXPECT_EQ(plat::ReadWholeFile("C:\\work\\Setup.ini", read), plat::ReadResult::Ok);
    // The hold of the platform layer does the same and ends with its object.
    {
        support::FileWriteHold hold("Setup.ini");
        ASSERT_TRUE(hold.IsOpen());
        plat::SetCurrentFolder("C:\\");  // the hold keeps its full path
        EXPECT_EQ(plat::ReadWholeFile("C:\\work\\Setup.ini", read), plat::ReadResult::OpenFailed);
    }
    EXPECT_EQ(plat::ReadWholeFile("C:\\work\\Setup.ini", read), plat::ReadResult::Ok);
    support::FileWriteHold created("C:\\work\\new.log");
    EXPECT_TRUE(created.IsOpen());
    EXPECT_TRUE(sim::IsFile("C:\\work\\new.log"));
}

TEST_F(SimFileSystemTest, ReadOnlyFilesRefuseWrites) {
    sim::AddFile("C:\\work\\ro.txt", "keep", plat::kAttrReadOnly);
    EXPECT_EQ(plat::ReadAttributes("C:\\work\\ro.txt"), plat::kAttrReadOnly);
    EXPECT_FALSE(plat::WriteWholeFile("C:\\work\\ro.txt", "lost"));
    EXPECT_FALSE(plat::CopyFileTo(plat::ExecutablePath(), "C:\\work\\ro.txt", false));
    EXPECT_FALSE(plat::DeleteFileAt("C:\\work\\ro.txt"));
    EXPECT_FALSE(support::FileWriteHold("C:\\work\\ro.txt").IsOpen());
    EXPECT_EQ(sim::Content("C:\\work\\ro.txt"), "keep");
    ASSERT_TRUE(plat::WriteAttributes("C:\\work\\ro.txt", 0));
    EXPECT_EQ(plat::ReadAttributes("C:\\work\\ro.txt"), plat::kAttrNormal);  // no bits: "normal"
    EXPECT_TRUE(plat::WriteWholeFile("C:\\work\\ro.txt", "new"));
}

TEST_F(SimFileSystemTest, HiddenAndSystemFilesRefuseRecreation) {
    sim::AddFile("C:\\work\\h.ini", "old", plat::kAttrHidden);
    sim::AddFile("C:\\work\\s.ini", "old", plat::kAttrSystem);
    EXPECT_FALSE(plat::WriteWholeFile("C:\\work\\h.ini", "new"));
    EXPECT_FALSE(plat::WriteWholeFile("C:\\work\\s.ini", "new"));
    EXPECT_EQ(sim::Content("C:\\work\\h.ini"), "old");
}

TEST_F(SimFileSystemTest, DenyCreateIn) {
    sim::AddFile("C:\\Program Files\\App\\old.txt", "old");
    sim::DenyCreateIn("c:\\program files\\app");
    EXPECT_FALSE(plat::WriteWholeFile("C:\\Program Files\\App\\new.txt", "x"));
    EXPECT_FALSE(plat::WriteWholeFile("C:\\Program Files\\App\\old.txt", "x"));
    EXPECT_FALSE(plat::CopyFileTo(plat::ExecutablePath(), "C:\\Program Files\\App\\Setup.exe", false));
    EXPECT_FALSE(plat::MakeDirectory("C:\\Program Files\\App\\Sub"));
    EXPECT_FALSE(plat::ForceDirectories("C:\\Program Files\\App\\Sub\\Deeper"));
    EXPECT_FALSE(sim::Exists("C:\\Program Files\\App\\Sub"));
    EXPECT_EQ(sim::Content("C:\\Program Files\\App\\old.txt"), "old");
    EXPECT_TRUE(plat::DeleteFileAt("C:\\Program Files\\App\\old.txt"));  // deleting is allowed
    EXPECT_TRUE(plat::MakeDirectory("C:\\Program Files\\Other"));
    // Denial set before the folder exists applies once it does.
    sim::DenyCreateIn("C:\\later");
    ASSERT_TRUE(plat::MakeDirectory("C:\\later"));
    EXPECT_FALSE(plat::WriteWholeFile("C:\\later\\x", "x"));
}

TEST_F(SimFileSystemTest, AttributeAndDeleteFaults) {
    sim::AddFile("C:\\work\\a.txt", "x", plat::kAttrReadOnly);
    sim::FailAttributeWrite("C:\\work\\a.txt");
    EXPECT_FALSE(plat::WriteAttributes("C:\\work\\a.txt", plat::kAttrNormal));
    EXPECT_EQ(plat::ReadAttributes("C:\\work\\a.txt"), plat::kAttrReadOnly);
    sim::FailAttributeWrite("C:\\work\\a.txt", false);
    EXPECT_TRUE(plat::WriteAttributes("C:\\work\\a.txt", plat::kAttrNormal));
    sim::FailDelete("C:\\work\\a.txt");
    EXPECT_FALSE(plat::DeleteFileAt("C:\\work\\a.txt"));
    sim::AddFolder("C:\\work\\empty");
    sim::FailDelete("C:\\work\\empty");
    EXPECT_FALSE(plat::RemoveFolder("C:\\work\\empty"));
    EXPECT_TRUE(sim::IsFolder("C:\\work\\empty"));
}

TEST_F(SimFileSystemTest, FolderRemovalRules) {
    sim::AddFolder("C:\\work\\ro");
    sim::SetAttributes("C:\\work\\ro", plat::kAttrReadOnly);
    EXPECT_FALSE(plat::RemoveFolder("C:\\work\\ro"));
    sim::AddFolder("C:\\work\\here");
    ASSERT_TRUE(plat::SetCurrentFolder("C:\\work\\here"));
    EXPECT_FALSE(plat::RemoveFolder("C:\\work\\here"));  // the process holds it open
    ASSERT_TRUE(plat::SetCurrentFolder(".."));
    EXPECT_EQ(plat::CurrentFolder(), "C:\\work");
    EXPECT_TRUE(plat::RemoveFolder("C:\\work\\here"));
    EXPECT_FALSE(plat::RemoveFolder("C:\\"));
    // ソ ends in 5C: no separator to drop from the current folder's name.
    sim::AddFolder("C:\\work\\ソ");
    ASSERT_TRUE(plat::SetCurrentFolder("C:\\work\\ソ\\"));
    EXPECT_EQ(plat::CurrentFolder(), "C:\\work\\ソ");
}

TEST_F(SimFileSystemTest, CopyCornerCases) {
    sim::AddFile("C:\\work\\a.txt", "a", plat::kAttrReadOnly | plat::kAttrHidden);
    EXPECT_FALSE(plat::CopyFileTo("C:\\work\\a.txt", "c:\\WORK\\A.TXT", false));  // onto itself
    ASSERT_TRUE(plat::CopyFileTo("C:\\work\\a.txt", "C:\\work\\b.txt", false));
    EXPECT_EQ(sim::Attributes("C:\\work\\b.txt"), plat::kAttrReadOnly | plat::kAttrHidden);
    EXPECT_FALSE(plat::CopyFileTo("C:\\work\\a.txt", "C:\\work", false));  // a folder
    EXPECT_FALSE(plat::CopyFileTo("C:\\work", "C:\\work\\c.txt", false));
    EXPECT_FALSE(plat::CopyFileTo("C:\\work\\a.txt", "C:\\work\\bad|name.txt", false));
}

TEST_F(SimFileSystemTest, LongPathsAreRefused) {
    std::string folder = "C:\\" + std::string(240, 'd');
    ASSERT_TRUE(plat::MakeDirectory(folder));
    EXPECT_TRUE(plat::WriteWholeFile(folder + "\\" + std::string(10, 'f'), "x"));
    EXPECT_FALSE(plat::WriteWholeFile(folder + "\\" + std::string(20, 'f'), "x"));
}

TEST_F(SimFileSystemTest, SnapshotsShowChanges) {
    sim::Snapshot before = sim::TakeSnapshot();
    EXPECT_TRUE(sim::Changes(before, sim::TakeSnapshot()).empty());
    ASSERT_TRUE(plat::ForceDirectories("C:\\Program Files\\App"));
    ASSERT_TRUE(plat::WriteWholeFile("C:\\Program Files\\App\\a.txt", "x"));
    ASSERT_TRUE(plat::WriteAttributes(plat::ExecutablePath(), plat::kAttrReadOnly));
    std::vector<std::string> expected = {"~ C:\\work\\Setup.exe", "+ C:\\Program Files\\App\\",
                                         "+ C:\\Program Files\\App\\a.txt"};
    EXPECT_EQ(sim::Changes(before, sim::TakeSnapshot()), expected);
    sim::ResetAll();
    EXPECT_TRUE(sim::Changes(before, sim::TakeSnapshot()).empty());
}

TEST_F(SimFileSystemTest, CurrentAndExecutableSettable) {
    sim::AddDrive('D');
    sim::AddFile("D:\\media\\Setup.exe", "MZ");
    sim::SetExecutablePath("D:\\media\\Setup.exe");
    sim::SetCurrentFolder("D:\\media");
    EXPECT_EQ(plat::ExecutablePath(), "D:\\media\\Setup.exe");
    EXPECT_TRUE(plat::FileExists("Setup.exe"));
    EXPECT_TRUE(plat::FileExists("C:work\\Setup.exe"));  // drive C is not current: its root
    sim::SetTempFolder("D:\\tmp");
    EXPECT_EQ(plat::TempFolder(), "D:\\tmp\\");
}

}  // namespace
