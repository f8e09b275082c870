// The project file on the sim file system: sharing and file faults, and the
// example project's canonical layout.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/sim/SimFileSystem.h"
#include "project/IniFile_unit.h"
#include "project/ProjectProperty_unit.h"

namespace {

class ProjectFileSim : public ::testing::Test {
protected:
    void SetUp() override { sim::ResetFileSystem(); }
    void TearDown() override { sim::ResetFileSystem(); }
};

std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const ESetupError& e) {
        return e.Message();
    }
    return "(no error)";
}

const char kProject[] = "C:\\work\\Setup.ini";
const char kProjectText[] = "[Project Property]\r\nName1=Tool\r\n";

}  // namespace

TEST_F(ProjectFileSim, FileHeldOpenForWritingCannotBeRead) {
    // Reading denies other writers, so a file that someone is writing does
    // not open; the same for a locked file.
    ASSERT_TRUE(sim::AddFile(kProject, kProjectText));
    const std::string expected = FormatMessage1("ファイル %s は開けません", kProject);
    sim::SetOpenForWriting(kProject);
    TProjectProperty project;
    EXPECT_EQ(ErrorOf([&] { project.Load(kProject); }), expected);
    EXPECT_EQ(ErrorOf([&] { TProjectIniFile ini(kProject); }), expected);
    sim::SetOpenForWriting(kProject, false);
    sim::SetLocked(kProject);
    EXPECT_EQ(ErrorOf([&] { project.Load(kProject); }), expected);
    sim::SetLocked(kProject, false);
    project.Load(kProject);
    EXPECT_EQ(project.Name1, "Tool");
}

TEST_F(ProjectFileSim, SaveIntoAFolderThatRefusesFiles) {
    ASSERT_TRUE(sim::AddFolder("C:\\Program Files\\App"));
    sim::DenyCreateIn("C:\\Program Files\\App");
    TProjectProperty project;
    const std::string path = "C:\\Program Files\\App\\Setup.ini";
    EXPECT_EQ(ErrorOf([&] { project.Save(path); }),
              FormatMessage1("ファイル %s を作成できません", path));
    EXPECT_FALSE(sim::Exists(path));
}

TEST_F(ProjectFileSim, SaveIgnoresAFailedDelete) {
    ASSERT_TRUE(sim::AddFile(kProject, "[Old]\r\nkey=1\r\n"));
    sim::FailDelete(kProject);
    TProjectProperty project;
    project.Name1 = "New";
    project.Save(kProject);
    std::string text = sim::Content(kProject);
    EXPECT_EQ(text.find("[Old]"), std::string::npos);
    EXPECT_NE(text.find("\r\nName1=New\r\n"), std::string::npos);
}

TEST_F(ProjectFileSim, SaveOverALockedFileFails) {
    ASSERT_TRUE(sim::AddFile(kProject, kProjectText));
    sim::SetLocked(kProject);
    TProjectProperty project;
    EXPECT_EQ(ErrorOf([&] { project.Save(kProject); }),
              FormatMessage1("ファイル %s を作成できません", kProject));
    sim::SetLocked(kProject, false);
    EXPECT_EQ(sim::Content(kProject), kProjectText);
}

TEST_F(ProjectFileSim, LoadLeavesTheFileAlone) {
    ASSERT_TRUE(sim::AddFile(kProject, kProjectText));
    sim::Snapshot before = sim::TakeSnapshot();
    TProjectProperty project;
    project.Load(kProject);
    project.Load("C:\\work\\absent.ini");
    EXPECT_EQ(sim::Changes(before, sim::TakeSnapshot()), std::vector<std::string>());
}

// The example project is kept in the canonical layout: loading and saving
// it gives the same bytes.
TEST_F(ProjectFileSim, ExampleProjectIsCanonical) {
    std::ifstream in(std::string(ORVANE_SOURCE_DIR) + "/examples/Setup.ini", std::ios::binary);
    ASSERT_TRUE(in) << "examples/Setup.ini";
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const std::string original = bytes.str();
    ASSERT_TRUE(sim::AddFile(kProject, original));
    TProjectProperty project;
    project.Load(kProject);
    EXPECT_EQ(project.MessageDisp, 1);
    EXPECT_TRUE(project.LisenceUse);
    EXPECT_FALSE(project.Information.empty());
    EXPECT_FALSE(project.DisplayMessage.empty());
    EXPECT_FALSE(project.LisenceMessage.empty());
    EXPECT_EQ(project.Files.Count(), 4);
    EXPECT_EQ(project.Shortcuts.Count(), 2);
    EXPECT_EQ(project.UnInstallKey, "OrvaneSample");
    const std::string copy = "C:\\work\\copy.ini";
    project.Save(copy);
    EXPECT_EQ(sim::Content(copy), original);
}
