// The engine on its own: the runs over a host that is not the wizard window,
// as a tool would run them.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/SetupEngine_unit.h"
#include "engine/SystemPath_unit.h"
#include "platform/FileSystem.h"
#include "platform/sim/Sim.h"
#include "project/ProjectProperty_unit.h"

namespace {

class RecordingHost : public TRunHost {
public:
    std::string folder = "C:\\Program Files\\Tool";
    std::vector<std::string> events;

    std::string InstallFolder() override { return folder; }
    void StartProgress(int itemCount) override { events.push_back("start " + std::to_string(itemCount)); }
    void ShowProgress(const std::string& path) override { events.push_back("item " + path); }
    bool AskYesNo(TRunBoxKind kind, const std::string& question) override {
        events.push_back("ask " + std::to_string(kind) + " " + question);
        return true;
    }
    void ShowResult(TRunBoxKind kind, const std::string& text) override {
        events.push_back("result " + std::to_string(kind) + " " + text);
    }
    void ShowEndPage() override { events.push_back("end page"); }
    void CloseWizard() override { events.push_back("close"); }
};

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim::ResetAll();
        sim::AddFile("C:\\work\\a.txt", "a");
        state.Project = std::make_unique<TProjectProperty>();
        state.ExePath = "C:\\work\\Setup.exe";
        plat::HoldOwnProgram();
        state.SourceFolder = "C:\\work";
        TCopyFile& file = state.Project->Files.Add();
        file.SourceFile = "a.txt";
        file.DestFile = "[Install Folder]\\a.txt";
    }

    TSetupState state;
    RecordingHost host;
    TSetupEngine engine{state, host};
};

TEST_F(EngineTest, InstallsWithoutAWindow) {
    engine.RunInstall();
    EXPECT_TRUE(state.RunSucceeded);
    EXPECT_EQ(host.events, (std::vector<std::string>{"start 1", "item C:\\Program Files\\Tool\\a.txt",
                                                     "item C:\\Program Files\\Tool\\Setup.exe", "end page"}));
    EXPECT_EQ(sim::Content("C:\\Program Files\\Tool\\a.txt"), "a");
    EXPECT_EQ(engine.FailureRecord(), "");
    EXPECT_TRUE(sim::DebugOutput().empty());
}

TEST_F(EngineTest, AFailureEndsWithTheBoxTheCloseAndTheRecord) {
    sim::DenyCreateIn("C:\\Program Files\\Tool");
    engine.RunInstall();
    EXPECT_FALSE(state.RunSucceeded);
    ASSERT_GE(host.events.size(), 2u);
    EXPECT_EQ(host.events[host.events.size() - 2], "result 1 インストールに失敗しました");
    EXPECT_EQ(host.events.back(), "close");
    const std::string record = "Failed to copy C:\\work\\a.txt to C:\\Program Files\\Tool\\a.txt (error 5)";
    EXPECT_EQ(engine.FailureRecord(), record);
    EXPECT_EQ(sim::DebugOutput(), std::vector<std::string>{record});
}

TEST_F(EngineTest, ANewRunStartsFromACleanRecord) {
    sim::DenyCreateIn("C:\\Program Files\\Tool");
    engine.RunInstall();
    ASSERT_NE(engine.FailureRecord(), "");
    sim::DenyCreateIn("C:\\Program Files\\Tool", false);
    host.events.clear();
    engine.RunInstall();
    EXPECT_TRUE(state.RunSucceeded);
    EXPECT_EQ(engine.FailureRecord(), "");
}

}  // namespace
