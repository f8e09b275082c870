// System and shell folders from the real registry, and long/short name
// conversion of the path label against real files (under Wine).
#include <gtest/gtest.h>

#include <string>

#include "engine/SystemPath_unit.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "ui/PathLbl.h"

namespace {

TEST(SystemPathReal, SystemFolders) {
    TSystemPath systemPath;
    const std::string programFiles = systemPath.GetSystemPath(spProgramFiles);
    const std::string windows = systemPath.GetSystemPath(spWindows);
    const std::string system = systemPath.GetSystemPath(spSystem);
    for (const std::string& folder : {programFiles, windows, system}) {
        ASSERT_FALSE(folder.empty());
        EXPECT_TRUE(plat::DirectoryExists(folder)) << folder;
        EXPECT_NE('\\', folder.back()) << folder;
    }
    EXPECT_EQ(programFiles,
              systemPath.ReadCurrentVersionString(plat::RootKey::LocalMachine, "", "ProgramFilesDir"));
    EXPECT_EQ(system + "\\Drivers", systemPath.GetSystemPath(spDrivers));
    EXPECT_TRUE(plat::DirectoryExists(system + "\\Drivers"));
    EXPECT_EQ("", systemPath.GetSystemPath(4));
}

TEST(SystemPathReal, PerUserShellFolders) {
    TSystemPath systemPath;
    for (int kind = sfStartMenu; kind <= sfSendTo; ++kind) {
        const std::string folder = systemPath.GetShellFolder(false, kind);
        ASSERT_FALSE(folder.empty()) << kind;
        EXPECT_TRUE(plat::DirectoryExists(folder)) << folder;
    }
    // Programs lies in the Start menu, Startup in Programs.
    const std::string startMenu = systemPath.GetShellFolder(false, sfStartMenu);
    const std::string programs = systemPath.GetShellFolder(false, sfPrograms);
    EXPECT_EQ(0u, programs.find(startMenu + "\\")) << programs;
    EXPECT_EQ(0u, systemPath.GetShellFolder(false, sfStartup).find(programs + "\\"));
    EXPECT_EQ("", systemPath.GetShellFolder(false, 5));
}

TEST(SystemPathReal, AllUsersShellFolders) {
    TSystemPath systemPath;
    // The all-users row reads other value names in another root key.
    for (int kind : {sfDesktop, sfPrograms, sfStartMenu}) {
        const std::string folder = systemPath.GetShellFolder(true, kind);
        ASSERT_FALSE(folder.empty()) << kind;
        EXPECT_TRUE(plat::DirectoryExists(folder)) << folder;
        EXPECT_NE(systemPath.GetShellFolder(false, kind), folder) << kind;
    }
}

TEST(SystemPathReal, MissingKeyOrValueReadsEmpty) {
    TSystemPath systemPath;
    EXPECT_EQ("", systemPath.ReadCurrentVersionString(plat::RootKey::LocalMachine, "",
                                                      "Orvane No Such Value"));
    EXPECT_EQ("", systemPath.ReadCurrentVersionString(plat::RootKey::CurrentUser,
                                                      "\\Orvane No Such Key", "x"));
}

// Files below the temporary folder, with names that have real short names.
struct ConvertReal : ::testing::Test {
    std::string base;  // the temporary folder in its long form, no trailing separator
    std::string shortBase;
    const std::string relFolder = "Orvane PathLbl Test\\Long Folder Name";
    const std::string relFile = "Orvane PathLbl Test\\Long Folder Name\\readme file.text";

    void SetUp() override {
        const std::string temp = plat::TempFolder();
        ASSERT_FALSE(temp.empty());
        base = PathLbl::ConvertPathType(temp, ptLongName);
        shortBase = PathLbl::ConvertPathType(temp, ptShortName);
        ASSERT_FALSE(base.empty()) << temp;
        ASSERT_FALSE(shortBase.empty()) << temp;
        ASSERT_TRUE(plat::ForceDirectories(base + "\\" + relFolder));
        ASSERT_TRUE(plat::WriteWholeFile(base + "\\" + relFile, "x"));
    }
    void TearDown() override {
        plat::DeleteFileAt(base + "\\" + relFile);
        plat::RemoveFolder(base + "\\" + relFolder);
        plat::RemoveFolder(base + "\\Orvane PathLbl Test");
    }
    // The short name the file system reports for one entry.
    static std::string ShortNameOf(const std::string& path) {
        plat::FindHandle find;
        plat::FindData data;
        if (!find.First(path, data)) return "?";
        return data.shortName.empty() ? data.name : data.shortName;
    }
};

TEST_F(ConvertReal, LongAndShortNames) {
    EXPECT_TRUE(plat::DirectoryExists(base));
    EXPECT_TRUE(plat::DirectoryExists(shortBase));
    const std::string top = ShortNameOf(base + "\\Orvane PathLbl Test");
    const std::string folder = ShortNameOf(base + "\\" + relFolder);
    const std::string file = ShortNameOf(base + "\\" + relFile);
    // None of the three is 8.3: each has a short name of its own.
    EXPECT_NE("Orvane PathLbl Test", top);
    EXPECT_NE("Long Folder Name", folder);
    EXPECT_NE("readme file.text", file);
    const std::string shortPath = shortBase + "\\" + top + "\\" + folder + "\\" + file;

    std::string lower = base + "\\orvane pathlbl test\\LONG FOLDER NAME\\Readme File.Text";
    EXPECT_EQ(base + "\\" + relFile, PathLbl::ConvertPathType(lower, ptLongName));
    EXPECT_EQ(shortPath, PathLbl::ConvertPathType(lower, ptShortName));
    EXPECT_TRUE(plat::FileExists(shortPath)) << shortPath;
    // Back from the short form, and a folder with a trailing separator.
    EXPECT_EQ(base + "\\" + relFile, PathLbl::ConvertPathType(shortPath, ptLongName));
    EXPECT_EQ(base + "\\" + relFolder,
              PathLbl::ConvertPathType(base + "\\" + relFolder + "\\", ptLongName));
}

TEST_F(ConvertReal, MissingComponentGivesEmpty) {
    EXPECT_EQ("", PathLbl::ConvertPathType(base + "\\Orvane PathLbl Test\\none\\readme file.text",
                                           ptLongName));
    EXPECT_EQ("", PathLbl::ConvertPathType(base + "\\" + relFolder + "\\none.txt", ptShortName));
}

TEST_F(ConvertReal, LabelShowsTheShortForm) {
    TPathLabel label(nullptr, "L");
    label.SetPathType(ptShortName);
    label.SetTextCase(tcLowerCase);
    label.SetPath(base + "\\" + relFolder + "\\");
    const std::string expected = shortBase + "\\" + ShortNameOf(base + "\\Orvane PathLbl Test") + "\\" +
                                 ShortNameOf(base + "\\" + relFolder) + "\\";
    EXPECT_EQ(PathLbl::ChangeCase(expected, tcLowerCase), label.Caption());
}

}  // namespace
