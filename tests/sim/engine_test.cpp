// The engine on its own: the runs over a host that is not the wizard window,
// as a tool would run them.
#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "engine/SetupSession_unit.h"
#include "engine/SystemPath_unit.h"
#include "platform/FileSystem.h"
#include "platform/sim/Sim.h"
#include "project/GrobalFunction_unit.h"
#include "project/ProjectProperty_unit.h"

namespace {

class RecordingHost : public TRunHost {
public:
    std::string folder = "C:\\Program Files\\Tool";
    std::vector<std::string> events;
    std::vector<std::string> items;  // what ItemDone told: "record outcome path"
    std::deque<bool> answers;        // Yes when none is left

    std::string InstallFolder() override { return folder; }
    void StartProgress(int itemCount) override { events.push_back("start " + std::to_string(itemCount)); }
    void ShowProgress(const std::string& path) override { events.push_back("item " + path); }
    bool AskYesNo(TRunBoxKind kind, const std::string& question) override {
        events.push_back("ask " + std::to_string(kind) + " " + question);
        if (answers.empty()) return true;
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
    void ShowResult(TRunBoxKind kind, const std::string& text) override {
        events.push_back("result " + std::to_string(kind) + " " + text);
    }
    void ShowEndPage() override { events.push_back("end page"); }
    void CloseWizard() override { events.push_back("close"); }
    void ItemDone(const TRunEvent& e) override {
        static const char* const kinds[] = {"-", "install folder", "folder", "file", "shortcut",
                                            "program copy", "project copy", "registration", "self-removal"};
        static const char* const outcomes[] = {"made", "existed", "not made", "copied", "saved", "created",
                                               "registered", "removed", "absent", "left by DeleteMode",
                                               "kept after No", "kept on uninstall", "keyword folder",
                                               "not empty", "not removed"};
        std::string record = kinds[e.record.kind];
        if (e.record.index >= 0) record += " " + std::to_string(e.record.index);
        items.push_back(record + ": " + outcomes[e.outcome] + " " + e.path);
    }
    void SelfRemovalPlanned(const RunPath::SelfRemovalPlan& plan) override {
        events.push_back("plan");
        selfRemoval = plan;
    }
    RunPath::SelfRemovalPlan selfRemoval;
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

    RecordingHost host;
    TSetupSession state{host};
    TSetupEngine& engine = state.Engine();
};

TEST_F(EngineTest, InstallsWithoutAWindow) {
    engine.RunInstall();
    EXPECT_TRUE(state.RunSucceeded);
    EXPECT_EQ(host.events, (std::vector<std::string>{"start 1", "item C:\\Program Files\\Tool\\a.txt",
                                                     "item C:\\Program Files\\Tool\\Setup.exe", "end page"}));
    EXPECT_EQ(sim::Content("C:\\Program Files\\Tool\\a.txt"), "a");
    EXPECT_EQ(engine.FailureRecord().text, "");
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
    EXPECT_EQ(engine.FailureRecord().text, record);
    EXPECT_EQ(engine.FailureRecord().record, (TRecordRef{rkFile, 0}));
    EXPECT_EQ(engine.FailureRecord().path, "C:\\Program Files\\Tool\\a.txt");
    EXPECT_EQ(sim::DebugOutput(), std::vector<std::string>{record});
}

TEST_F(EngineTest, ANewRunStartsFromACleanRecord) {
    sim::DenyCreateIn("C:\\Program Files\\Tool");
    engine.RunInstall();
    ASSERT_NE(engine.FailureRecord().text, "");
    sim::DenyCreateIn("C:\\Program Files\\Tool", false);
    host.events.clear();
    engine.RunInstall();
    EXPECT_TRUE(state.RunSucceeded);
    EXPECT_EQ(engine.FailureRecord().text, "");
}

// Every item of both runs reaches the host with the record behind it and
// what became of it, in the runs' order.
TEST_F(EngineTest, EveryItemIsToldWithItsRecordAndOutcome) {
    sim::AddFile(state.ExePath, "MZ");
    TProjectProperty& p = *state.Project;
    p.UnInstallKey = "Tool";
    for (const char* folder : {"[Install Folder]", "[Install Folder]\\data", "[Install Folder]\\keep",
                               "スタート\\プログラム\\Tool"}) {
        p.Folders.Add().FolderPath = folder;
    }
    p.Folders.Items(2).KeepOnUninstall = 1;
    const std::pair<const char*, int> files[] = {{"kept.txt", 1}, {"asked.txt", 2}, {"gone.txt", 0}};
    for (const auto& file : files) {
        TCopyFile& item = p.Files.Add();
        item.SourceFile = "a.txt";
        item.DestFile = std::string("[Install Folder]\\") + file.first;
        item.DeleteMode = static_cast<uint8_t>(file.second);
    }
    p.Files.Items(0).DestFile = "[Install Folder]\\data\\a.txt";
    TShortCutFile& link = p.Shortcuts.Add();
    link.LinkFile = "スタート\\プログラム\\Tool\\Tool";
    link.TargetFile = "[Install Folder]\\data\\a.txt";
    engine.RunInstall();
    ASSERT_TRUE(state.RunSucceeded);
    const std::string in = "C:\\Program Files\\Tool", programs = std::string(sim::kProgramsFolder) + "\\Tool";
    const std::string key = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool";
    EXPECT_EQ(host.items, (std::vector<std::string>{
                              "install folder: made " + in, "folder 0: existed " + in, "folder 1: made " + in + "\\data",
                              "folder 2: made " + in + "\\keep", "folder 3: made " + programs,
                              "file 0: copied " + in + "\\data\\a.txt", "file 1: copied " + in + "\\kept.txt",
                              "file 2: copied " + in + "\\asked.txt", "file 3: copied " + in + "\\gone.txt",
                              "program copy: copied " + in + "\\Setup.exe", "project copy: saved " + in + "\\Setup.ini",
                              "shortcut 0: created " + programs + "\\Tool.lnk", "registration: registered " + key}));

    // The installed copy uninstalls: one file is gone already, one stays
    // asked, and the data folder holds a file of the user's.
    sim::Remove(in + "\\gone.txt");
    sim::AddFile(in + "\\data\\user.txt", "u");
    RecordingHost removal;
    removal.answers = {true, false};
    TSetupSession installed{removal};
    installed.ExePath = in + "\\Setup.exe";
    installed.Project = std::make_unique<TProjectProperty>();
    installed.Project->Load(ProjectFileName(installed.ExePath));
    installed.Engine().RunUninstall();
    EXPECT_TRUE(installed.RunSucceeded);
    EXPECT_EQ(removal.items, (std::vector<std::string>{
                                 "shortcut 0: removed " + programs + "\\Tool.lnk",
                                 "file 0: removed " + in + "\\data\\a.txt", "file 1: left by DeleteMode " + in + "\\kept.txt",
                                 "file 2: kept after No " + in + "\\asked.txt", "file 3: absent " + in + "\\gone.txt",
                                 "folder 3: removed " + programs, "folder 2: kept on uninstall ",
                                 "folder 1: not empty " + in + "\\data", "folder 0: keyword folder " + in,
                                 "registration: removed " + key}));

    // The self-removal: its plan reaches the host before the batch is
    // written from it; carried out, it takes the uninstaller, its project
    // copy and the batch with its folder, and leaves the installation folder,
    // which is not empty.
    ASSERT_TRUE(installed.Engine().WriteDeleteBatch());
    const RunPath::SelfRemovalPlan& plan = removal.selfRemoval;
    ASSERT_EQ(removal.events.back(), "plan");
    ASSERT_EQ(sim::StartedBatches().size(), 1u);
    EXPECT_EQ(sim::Content(plan.batch), RunPath::BuildDeleteBatch(plan));
    std::vector<std::string> steps;
    for (const RunPath::RemovalStep& step : plan.steps) steps.push_back((step.folder ? "rd " : "del ") + step.path);
    EXPECT_EQ(steps, (std::vector<std::string>{"del " + in + "\\Setup.exe", "del " + in + "\\Setup.ini",
                                               "del " + in + "\\Delete.pif", "rd " + in, "del " + plan.batch,
                                               "rd " + plan.workFolder}));
    CarryOutSelfRemoval(plan);
    EXPECT_EQ(sim::ListFolder(in), (std::vector<std::string>{"asked.txt", "data", "keep", "kept.txt"}));
    EXPECT_FALSE(sim::Exists(plan.workFolder));
}

// Start-up without a window: the project beside the program, the mode and
// the proposed installation folder, or why the program cannot go on.
TEST(SetupSessionTest, StartUp) {
    struct Row {
        const char* exe;
        const char* project;  // beside it; nullptr for none
        TSessionStart start;
        const char* folderOrError;
    } rows[] = {
        {"D:\\Setup\\SETUP.EXE", "[Copy File]\r\nSubDirectory=Vendor\\Tool\r\n", ssInstall,
         "C:\\Program Files\\Vendor\\Tool"},
        {"D:\\Setup\\SETUP.EXE", "[Copy File]\r\nInitDirectory=1\r\nSubDirectory=E:\\Tool\r\n", ssInstall, "E:\\Tool"},
        {"D:\\Apps\\Tool\\setup.exe", "[Project Property]\r\nInstallMode=1\r\n", ssUninstall, "D:\\Apps\\Tool"},
        {"D:\\setup.exe", "[Project Property]\r\nInstallMode=2\r\n", ssUninstall, "D:\\"},
        {"D:\\Setup\\SETUP.EXE", nullptr, ssNoProject, ""},
        {"D:\\Setup\\SETUP.EXE", "[Message]\r\nMessageDisp=\r\n", ssLoadFailed, "'' は整数ではありません"},
        // A path too long for the system to give: never a project of the
        // current folder (".ini" there) in its place.
        {"", "[Project Property]\r\nName1=other\r\n", ssLoadFailed, "プログラムのパスを取得できません"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.exe);
        sim::ResetAll();
        sim::AddDrive('D');
        sim::SetExecutablePath(row.exe);
        if (row.project) sim::AddFile(*row.exe ? ProjectFileName(row.exe) : std::string("C:\\work\\.ini"), row.project);
        RecordingHost host;
        TSetupSession session(host);
        ASSERT_EQ(session.Start(), row.start);
        if (row.start == ssInstall || row.start == ssUninstall) {
            EXPECT_EQ(session.ProposedInstallFolder(), row.folderOrError);
            EXPECT_TRUE(session.RunSucceeded);
        } else {
            EXPECT_EQ(session.LoadError(), row.folderOrError);
            EXPECT_FALSE(session.RunSucceeded);
            EXPECT_EQ(session.Project, nullptr);
        }
        // The installed copy removes itself at the end unless a run said
        // otherwise (RunSucceeded stays true from start-up on).
        EXPECT_EQ(session.End(), row.start == ssUninstall);
        EXPECT_EQ(sim::StartedBatches().size(), row.start == ssUninstall ? 1u : 0u);
        EXPECT_EQ(session.Project, nullptr);
    }
}

}  // namespace
