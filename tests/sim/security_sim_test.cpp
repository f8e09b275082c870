// Folder trust on the simulated machine: the installation location made with
// rules given at creation, the attacks a standard user can stage before or
// after it, and the program's own file held open.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Security.h"
#include "platform/System.h"
#include "platform/sim/Sim.h"
#include "platform/sim/WindowsDescriptors.h"

namespace {

using plat::FolderOrigin;
using plat::TrustProblem;

const char kOther[] = "S-1-5-21-3623811015-3361044348-30300820-1002";  // another standard user

class SimSecurity : public ::testing::Test {
protected:
    void SetUp() override { sim::ResetAll(); }
    void TearDown() override { sim::ResetAll(); }
};

struct LocationCase {
    const char* name;
    std::function<void()> arrange;
    const char* location;
    std::vector<FolderOrigin> origins;  // root first
    TrustProblem problem;               // of the chain once made
    const char* failing;
};

TEST_F(SimSecurity, TheLocationIsMadeWithRulesAndJudged) {
    const FolderOrigin E = FolderOrigin::Existed, I = FolderOrigin::Inherited, R = FolderOrigin::WithRules;
    const LocationCase cases[] = {
        {"below Program Files: plain inheritance, as always", [] {}, "C:\\Program Files\\Vendor\\App",
         {E, E, I, I}, TrustProblem::None, "C:\\Program Files\\Vendor\\App"},
        {"a new folder below C:\\: our rules, and what is inside inherits them", [] {}, "C:\\Tools\\App",
         {E, R, I}, TrustProblem::None, "C:\\Tools\\App"},
        {"below C:\\ProgramData",
         [] {
             sim::AddFolder("C:\\ProgramData");
             sim::SetDacl("C:\\ProgramData", sim::descriptors::kProgramData.dacl);
         },
         "C:\\ProgramData\\Vendor", {E, E, R}, TrustProblem::None, "C:\\ProgramData\\Vendor"},
        {"pre-created by another user",
         [] {
             sim::AddFolder("C:\\Tools");
             sim::SetOwner("C:\\Tools", kOther);
         },
         "C:\\Tools\\App", {E, E, R}, TrustProblem::UntrustedOwner, "C:\\Tools"},
        {"pre-created with the rules below C:\\ (Authenticated Users modify)",
         [] { sim::AddFolder("C:\\Tools"); }, "C:\\Tools", {E, E}, TrustProblem::WritableByOthers, "C:\\Tools"},
        {"a junction in the path",
         [] {
             sim::AddFolder("C:\\Program Files\\Vendor");
             sim::SetReparsePoint("C:\\Program Files\\Vendor");
         },
         "C:\\Program Files\\Vendor\\App", {E, E, E, R}, TrustProblem::ReparsePoint, "C:\\Program Files\\Vendor"},
        {"a parent its user may change: C:\\work",
         [] {}, "C:\\work\\App", {E, E, R}, TrustProblem::UntrustedOwner, "C:\\work"},
        {"a parent that lets others delete its children",
         [] {
             sim::AddFolder("C:\\Shared");
             sim::SetDacl("C:\\Shared", "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;;DT;;;BU)");
         },
         "C:\\Shared\\App", {E, E, R}, TrustProblem::WritableByOthers, "C:\\Shared"},
        {"a FAT volume",
         [] {
             sim::AddDrive('E');
             sim::SetKeepsAccessRules('E', false);
         },
         "E:\\App", {E, R}, TrustProblem::NoAccessRules, "E:\\"},
    };
    for (const LocationCase& c : cases) {
        SCOPED_TRACE(c.name);
        sim::ResetAll();
        c.arrange();
        std::vector<plat::ChainFolder> chain;
        ASSERT_TRUE(plat::MakeInstallFolder(c.location, chain));
        std::vector<FolderOrigin> origins;
        for (const plat::ChainFolder& f : chain) origins.push_back(f.origin);
        EXPECT_EQ(origins, c.origins);
        const plat::TrustVerdict v = plat::JudgeFolderChain(c.location);
        EXPECT_EQ(v.problem, c.problem) << v.Reason();
        EXPECT_EQ(v.path, c.failing);
        EXPECT_EQ(v.missing, 0);
        // Every folder made with rules carries them from its first moment.
        for (const plat::ChainFolder& f : chain) {
            if (f.origin != FolderOrigin::WithRules || c.problem == TrustProblem::NoAccessRules) continue;
            EXPECT_EQ(sim::Owner(f.path), "BA") << f.path;
            EXPECT_EQ(plat::ReadAccess(f.path), "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FRFX;;;BU)") << f.path;
        }
    }
}

TEST_F(SimSecurity, TheLocationIsNeverMadeThroughAFileOrFromNothing) {
    sim::AddFile("C:\\Tools", "x");
    std::vector<plat::ChainFolder> chain;
    EXPECT_FALSE(plat::MakeInstallFolder("C:\\Tools\\App", chain));
    EXPECT_EQ(plat::LastError(), 183u);
    EXPECT_FALSE(plat::MakeInstallFolder("Q:\\App", chain));
    EXPECT_FALSE(plat::MakeInstallFolder("App", chain));
    EXPECT_THROW(plat::MakeInstallFolder("", chain), ESetupError);
    // Not there yet: the folder form counts what is missing, the file form fails.
    const plat::TrustVerdict later = plat::JudgeFolderChain("C:\\Program Files\\New\\App");
    EXPECT_TRUE(later.Trusted()) << later.Reason();
    EXPECT_EQ(later.missing, 2);
    EXPECT_EQ(plat::JudgeFileChain("C:\\Program Files\\New\\Setup.exe").problem, TrustProblem::Missing);
}

TEST_F(SimSecurity, AFolderLoosenedAfterTheInstallationFails) {
    std::vector<plat::ChainFolder> chain;
    ASSERT_TRUE(plat::MakeInstallFolder("C:\\Tools", chain));
    ASSERT_TRUE(plat::CopyFileTo("C:\\work\\Setup.exe", "C:\\Tools\\Setup.exe", false));
    ASSERT_TRUE(plat::SetAccess("C:\\Tools\\Setup.exe", plat::kProgramFileAccess));
    EXPECT_TRUE(plat::JudgeFileChain("C:\\Tools\\Setup.exe").Trusted());
    sim::SetDacl("C:\\Tools", plat::ReadAccess("C:\\Tools") + "(A;OICI;0x1301bf;;;BU)");
    const plat::TrustVerdict v = plat::JudgeFileChain("C:\\Tools\\Setup.exe");
    EXPECT_EQ(v.problem, TrustProblem::WritableByOthers);
    EXPECT_EQ(v.path, "C:\\Tools");
    EXPECT_EQ(v.who, "S-1-5-32-545");
}

TEST_F(SimSecurity, TheHeldProgramIsCopiedFromItsHandle) {
    const std::string program = "C:\\work\\Setup.exe";
    const std::string original = sim::Content(program);
    EXPECT_FALSE(plat::CopyOwnProgramTo("C:\\work\\copy.exe"));  // not held yet
    EXPECT_EQ(plat::LastError(), 6u);
    ASSERT_TRUE(plat::HoldOwnProgram());
    EXPECT_TRUE(plat::HoldOwnProgram());
    // Nobody can delete, replace or write it while it is held; reading is shared.
    EXPECT_FALSE(plat::DeleteFileAt(program));
    EXPECT_FALSE(plat::WriteWholeFile(program, "evil"));
    sim::AddFile("C:\\work\\other.exe", "other");
    EXPECT_FALSE(plat::CopyFileTo("C:\\work\\other.exe", program, false));
    EXPECT_EQ(sim::AddWriter(program), "");
    std::string read;
    EXPECT_EQ(plat::ReadWholeFile(program, read), plat::ReadResult::Ok);
    EXPECT_EQ(plat::CopyOwnProgramTo(program), false);  // onto itself
    // Even a file put in its place by other means is not what is copied.
    sim::Remove(program);
    sim::AddFile(program, "evil");
    ASSERT_TRUE(plat::CopyOwnProgramTo("C:\\Program Files\\App.exe"));
    EXPECT_EQ(sim::Content("C:\\Program Files\\App.exe"), original);
    // A file someone writes cannot be held; another program starting lets go.
    sim::SetExecutablePath("C:\\work\\busy.exe");
    ASSERT_NE(sim::AddWriter("C:\\work\\busy.exe"), "");
    EXPECT_FALSE(plat::HoldOwnProgram());
    EXPECT_FALSE(plat::CopyOwnProgramTo("C:\\Program Files\\App.exe"));
}

}  // namespace
