// setupproj verify: the installer's engine on the simulated machine. The
// round-trip projects of the end-to-end suite come to the outcome that the
// real Setup.exe comes to under Wine; projects with typical mistakes fail at
// the record that has them.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <algorithm>

#include "engine/RunPath_unit.h"
#include "engine/SetupSession_unit.h"
#include "platform/AnsiText.h"
#include "platform/CodePage932.h"
#include "platform/FileSystem.h"
#include "platform/sim/Sim.h"
#include "project/ProjectProperty_unit.h"
#include "tests/support/RoundTripProjects.h"
#include "tools/setupproj/Verify.h"

using namespace setupproj;

namespace {

// The relative sources that exist beside the project.
class Present : public SourceFiles {
public:
    explicit Present(std::set<std::string> names) : names_(std::move(names)) {}
    bool Find(const std::string& source, std::string& payloadName) override {
        payloadName.clear();
        return names_.count(source) != 0;
    }
    std::vector<std::string> PayloadFiles() override { return {}; }

private:
    std::set<std::string> names_;
};

// "kept path" or "LEFT path" for each leftover.
std::vector<std::string> Left(const VerifyReport& report) {
    std::vector<std::string> out;
    for (const VerifyLeftover& left : report.leftovers) out.push_back((left.intended ? "kept " : "LEFT ") + left.path);
    return out;
}

// Each verification leaves the simulated machine as its runs left it: the
// next test starts from the default one.
class SetupprojVerify : public ::testing::Test {
protected:
    void TearDown() override { sim::ResetAll(); }
};

VerifyReport Verify(const std::string& text, const std::set<std::string>& sources, bool answerYes = true) {
    VerifyOptions options;
    options.answerYes = answerYes;
    Present present(sources);
    return VerifyProject(text, options, present);
}

std::string Example() {
    std::ifstream in(std::string(ORVANE_SOURCE_DIR) + "/examples/Setup.ini", std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

const std::set<std::string> kExamplePayload = {"payload\\readme.txt", "payload\\manual.txt", "payload\\userdata.txt",
                                               "payload\\config.ini"};

// As the round trip under Wine: "No" to the DeleteMode 2 file; the kept
// data folder with its two files stays, and with it the installation folder
// and its parent, which the folder chain made.
TEST_F(SetupprojVerify, TheExampleLeavesWhatItKeeps) {
    const VerifyReport report = Verify(Example(), kExamplePayload, false);
    EXPECT_EQ(report.installFolder, "C:\\Program Files\\Orvane Sample\\サンプル");
    ASSERT_TRUE(report.installSucceeded) << report.installFailure;
    ASSERT_TRUE(report.uninstallSucceeded) << report.uninstallFailure;
    EXPECT_EQ(Left(report), (std::vector<std::string>{
                                "kept C:\\Program Files\\Orvane Sample\\",
                                "kept [Install Folder]\\",
                                "kept [Install Folder]\\data\\",
                                "kept [Install Folder]\\data\\config.ini",
                                "kept [Install Folder]\\data\\userdata.txt",
                            }));
    EXPECT_EQ(report.leftovers[3].cause, "its DeleteMode 2 question was answered No (line 43)");
    EXPECT_EQ(report.selfRemoved, (std::vector<std::string>{"[Install Folder]\\Setup.exe", "[Install Folder]\\Setup.ini"}));
    EXPECT_EQ(report.ExitStatus(), 1);
    // Nothing of the shortcuts and the registration stays.
    EXPECT_FALSE(sim::Exists(std::string(sim::kProgramsFolder) + "\\Orvane サンプル"));
    EXPECT_FALSE(sim::KeyExists(plat::RootKey::LocalMachine,
                                "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\OrvaneSample"));

    const VerifyReport yes = Verify(Example(), kExamplePayload, true);
    EXPECT_EQ(yes.leftovers.size(), 4u);
    EXPECT_EQ(yes.ExitStatus(), 1);
}

TEST_F(SetupprojVerify, TheInstallationMakesTheTreeAndTheRegistration) {
    const std::string kEntry = "registry HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\OrvaneSample ";
    const VerifyReport report = Verify(Example(), kExamplePayload);
    std::vector<std::string> lines;
    for (const VerifyLine& line : report.install) lines.push_back(line.kind + " " + line.text + " " + line.detail);
    const std::vector<std::string> expected = {
        "folder C:\\Program Files\\Orvane Sample ",
        "folder [Install Folder] ",
        "folder [Install Folder]\\data ",
        "file [Install Folder]\\data\\config.ini ",
        "file [Install Folder]\\data\\userdata.txt ",
        "file [Install Folder]\\manual.txt ",
        "file [Install Folder]\\readme.txt ",
        "file [Install Folder]\\Setup.exe the uninstaller",
        "file [Install Folder]\\Setup.ini its project file, InstallMode 1",
        u8"shortcut デスクトップ\\Orvane サンプル マニュアル.lnk -> [Install Folder]\\manual.txt",
        u8"folder スタート\\プログラム\\Orvane サンプル ",
        u8"shortcut スタート\\プログラム\\Orvane サンプル\\はじめにお読みください.lnk -> [Install Folder]\\readme.txt",
        "registry HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\OrvaneSample ",
        // The entry read back, each value with its type; the size is that
        // of the example's files, the uninstaller and its project copy.
        kEntry + u8"[DisplayIcon] = String:\"C:\\Program Files\\Orvane Sample\\サンプル\\Setup.exe\",0 ",
        kEntry + u8"[DisplayName] = String:Orvane サンプル ",
        kEntry + "[DisplayVersion] = String:1.0 ",
        kEntry + "[EstimatedSize] = Dword:3 KB: the installed files, rounded up",
        kEntry + "[InstallDate] = String:20260401 ",
        kEntry + u8"[InstallLocation] = String:C:\\Program Files\\Orvane Sample\\サンプル ",
        kEntry + "[NoModify] = Dword:1 ",
        kEntry + "[NoRepair] = Dword:1 ",
        kEntry + "[Publisher] = String:Orvane Project ",
        kEntry + u8"[UninstallString] = String:\"C:\\Program Files\\Orvane Sample\\サンプル\\Setup.exe\" ",
    };
    EXPECT_EQ(lines, expected);
}

// As under Wine: nothing stays, the installation folder included, whose
// name holds a 0x5C trail byte and a "%" that the batch doubles.
TEST_F(SetupprojVerify, TheSmallProjectLeavesNothing) {
    const std::string location = "C:\\Program Files\\Orvane 表 RT 100%";
    const VerifyReport report =
        Verify(support::SmallProject(location, "OrvaneRT", false), {"payload\\one.txt", "payload\\two.txt"});
    ASSERT_TRUE(report.installSucceeded) << report.installFailure;
    ASSERT_TRUE(report.uninstallSucceeded) << report.uninstallFailure;
    EXPECT_EQ(Left(report), std::vector<std::string>());
    EXPECT_EQ(report.selfRemoved, (std::vector<std::string>{"[Install Folder]\\", "[Install Folder]\\Setup.exe",
                                                            "[Install Folder]\\Setup.ini"}));
    EXPECT_FALSE(sim::Exists(location));
    ASSERT_EQ(report.uninstall.size(), 3u);
    EXPECT_EQ(report.uninstall[1].text, u8"ファイル\"C:\\Program Files\\Orvane 表 RT 100%\\sub\\two.txt\"を削除しますか？");
    EXPECT_EQ(report.uninstall[2].text, u8"アンインストール完了しました");
    EXPECT_EQ(report.ExitStatus(), 0);
}

// As under Wine: the first file is copied, then the run stops at the
// missing source; no uninstaller, no registration.
TEST_F(SetupprojVerify, AMissingSourceStopsTheInstallationAtItsRecord) {
    const std::string location = "C:\\Program Files\\Orvane RT failed";
    const VerifyReport report =
        Verify(support::SmallProject(location, "OrvaneRTFailed", true), {"payload\\one.txt"});
    EXPECT_FALSE(report.installSucceeded);
    EXPECT_EQ(report.installFailure,
              "line 11: Failed to copy D:\\medium\\payload\\missing.txt to " + location +
                  "\\sub\\two.txt (error 2); the source 'payload\\missing.txt' is not found beside the project");
    EXPECT_TRUE(sim::IsFile(location + "\\one.txt"));
    EXPECT_FALSE(sim::Exists(location + "\\Setup.exe"));
    EXPECT_FALSE(report.uninstallRan);
    ASSERT_FALSE(report.install.empty());
    EXPECT_EQ(report.install.back().text, u8"インストールに失敗しました");
    EXPECT_EQ(report.ExitStatus(), 2);
}

TEST_F(SetupprojVerify, AForgottenSubfolderFailsAtItsFile) {
    const std::string text =
        "[Project Property]\r\nName1=Tool\r\n"
        "[Copy File]\r\nSubDirectory=Tool\r\n"
        "file00000=a.txt*[Install Folder]\\a.txt*0\r\n"
        "file00001=b.txt*[Install Folder]\\doc\\b.txt*0\r\n"
        "file00002=c.txt*[Install Folder]\\doc\\c.txt*0\r\n"
        "[Make Folder]\r\nfile00000=[Install Folder]\\data*0\r\n";
    const VerifyReport forgot = Verify(text, {"a.txt", "b.txt", "c.txt"});
    EXPECT_FALSE(forgot.installSucceeded);
    EXPECT_EQ(forgot.installFailure,
              "line 6: Failed to copy D:\\medium\\b.txt to C:\\Program Files\\Tool\\doc\\b.txt (error 3); its folder "
              "'[Install Folder]\\doc' is not there: no folder record makes it");
    EXPECT_EQ(forgot.ExitStatus(), 2);

    // A shortcut into a Start menu folder that no record makes.
    const VerifyReport link = Verify(
        "[Copy File]\r\nSubDirectory=Tool\r\nfile00000=a.txt*[Install Folder]\\a.txt*0\r\n"
        "[ShortCut File]\r\nfile00000=スタート\\プログラム\\Tool\\Tool*[Install Folder]\\a.txt**0*Tool**0\r\n",
        {"a.txt"});
    EXPECT_FALSE(link.installSucceeded);
    EXPECT_EQ(link.installFailure.substr(0, 8), "line 5: ");
    EXPECT_NE(link.installFailure.find(u8"its folder 'スタート\\プログラム\\Tool' is not there"), std::string::npos)
        << link.installFailure;
}

TEST_F(SetupprojVerify, AParentListedAfterItsChildIsLeftBehind) {
    const std::string text =
        "[Copy File]\r\nSubDirectory=Tool\r\n"
        "file00000=a.txt*[Install Folder]\\data\\cache\\a.txt*0\r\n"
        "[Make Folder]\r\nfile00000=[Install Folder]\\data\\cache*0\r\nfile00001=[Install Folder]\\data*0\r\n";
    const VerifyReport report = Verify(text, {"a.txt"});
    ASSERT_TRUE(report.installSucceeded);
    ASSERT_TRUE(report.uninstallSucceeded);
    EXPECT_EQ(Left(report), (std::vector<std::string>{"LEFT [Install Folder]\\", "LEFT [Install Folder]\\data\\"}));
    EXPECT_EQ(report.leftovers[1].cause,
              "it is listed after its subfolder '[Install Folder]\\data\\cache' (line 5), and folders are removed "
              "last first, so it is not empty when its turn comes");
    EXPECT_EQ(report.leftovers[0].cause, "it holds '[Install Folder]\\data' (line 6), which is left behind");
    EXPECT_EQ(report.ExitStatus(), 2);
}

// Over an older version, what only the older one installed is removed by
// the new uninstaller through the records it carried, and what stays of it
// is told at the older project's lines.
TEST_F(SetupprojVerify, OverAnOlderVersionEachLeftoverNamesItsVersion) {
    const std::string head = "[Copy File]\r\nSubDirectory=Tool\r\n";
    VerifyOptions options;
    options.older = head + "file00000=a.txt*[Install Folder]\\a.txt*0\r\nfile00001=b.txt*[Install Folder]\\b.txt*1\r\n"
                           "file00002=c.txt*[Install Folder]\\c.txt*0\r\n[UnInstall Property]\r\nUnInstallKey=Tool\r\n";
    Present present({"a.txt", "b.txt", "c.txt"});
    options.olderSources = &present;
    const VerifyReport report = VerifyProject(
        head + "file00000=a.txt*[Install Folder]\\a.txt*0\r\n[UnInstall Property]\r\nUnInstallKey=Tool\r\n", options,
        present);
    ASSERT_TRUE(report.uninstallSucceeded) << report.olderResult << report.installFailure << report.uninstallFailure;
    std::vector<std::string> removed;
    for (const VerifyLine& line : report.uninstall) {
        if (line.kind == "removed") removed.push_back(line.text + " " + line.detail);
    }
    EXPECT_EQ(removed, (std::vector<std::string>{"[Install Folder]\\c.txt installed by OLD only"}));
    EXPECT_EQ(Left(report), (std::vector<std::string>{"kept [Install Folder]\\", "kept [Install Folder]\\b.txt"}));
    EXPECT_EQ(report.leftovers[1].cause, "DeleteMode 1 leaves it in place (line 4 of OLD)");
    EXPECT_EQ(report.ExitStatus(), 1);
}

TEST_F(SetupprojVerify, ProjectsThatDoNotStartAsInstallers) {
    const VerifyReport number = Verify("[Message]\r\nMessageDisp=two\r\n", {});
    EXPECT_EQ(number.loadError, u8"'two' は整数ではありません");
    EXPECT_EQ(number.ExitStatus(), 2);
    const VerifyReport uninstaller = Verify("[Project Property]\r\nInstallMode=1\r\n", {});
    EXPECT_EQ(uninstaller.loadError, "InstallMode 1: the program starts as the uninstaller of an installed copy");
    EXPECT_EQ(uninstaller.ExitStatus(), 2);
}

// A source that names a file of the author's machine is taken as present,
// and said so: whether the user's machine has it, nothing can tell.
TEST_F(SetupprojVerify, MachineSpecificSourcesAreTakenAsPresent) {
    const VerifyReport report = Verify(
        "[Copy File]\r\nSubDirectory=Tool\r\nfile00000=E:\\build\\tool.exe*[Install Folder]\\tool.exe*1\r\n", {});
    ASSERT_EQ(report.notes.size(), 1u);
    EXPECT_EQ(report.notes[0].text, "line 3: the source 'E:\\build\\tool.exe' names a file of one machine");
    EXPECT_EQ(report.notes[0].detail, "taken as present");
    ASSERT_TRUE(report.installSucceeded) << report.installFailure;
    EXPECT_EQ(Left(report), (std::vector<std::string>{"kept [Install Folder]\\", "kept [Install Folder]\\tool.exe"}));
    EXPECT_EQ(report.leftovers[1].cause, "DeleteMode 1 leaves it in place (line 3)");
    EXPECT_EQ(report.ExitStatus(), 1);
}

TEST_F(SetupprojVerify, TheReportAsPrinted) {
    const VerifyReport report = Verify(
        "[Copy File]\r\nSubDirectory=Tool\r\nfile00000=a.txt*[Install Folder]\\a.txt*2\r\n", {"a.txt"}, false);
    VerifyOptions options;
    options.answerYes = false;
    EXPECT_EQ(FormatVerifyReport("Setup.ini", options, report),
              "verify Setup.ini on a simulated Windows\n"
              "installation folder: C:\\Program Files\\Tool\n"
              "DeleteMode 2 questions answered: no\n"
              "\n"
              "installation: succeeded\n"
              "  folder    [Install Folder]\n"
              "  file      [Install Folder]\\a.txt\n"
              "  file      [Install Folder]\\Setup.exe (the uninstaller)\n"
              "  file      [Install Folder]\\Setup.ini (its project file, InstallMode 1)\n"
              "\n"
              "uninstallation: succeeded\n"
              u8"  question  アンインストールを実行しますか？ -> yes\n"
              u8"  question  ファイル\"C:\\Program Files\\Tool\\a.txt\"を削除しますか？ -> no\n"
              u8"  message   アンインストール完了しました (information box)\n"
              "\n"
              "removed by the self-removal once the uninstaller has ended:\n"
              "  [Install Folder]\\Setup.exe\n"
              "  [Install Folder]\\Setup.ini\n"
              "\n"
              "left behind:\n"
              "  kept [Install Folder]\\: it holds '[Install Folder]\\a.txt' (line 3), which stays when the user "
              "answers No\n"
              "  kept [Install Folder]\\a.txt: its DeleteMode 2 question was answered No (line 3)\n"
              "\n"
              "result: installed; what is left behind is what the project keeps (exit status 1)\n");
}


// What the installer's own runs leave on the simulated machine, worked out
// without the tool: the engine installs the project as the installer on the
// medium, the installed copy uninstalls it, and its self-removal does its
// work. Every path that stays is kept when a record that the machine resolves
// to that very path keeps it (DeleteMode 1, a question answered No,
// KeepOnUninstall), or when it is a folder holding a kept path; LEFT
// otherwise. verify must say the same, path for path.
class AnsweringHost : public TRunHost {
public:
    explicit AnsweringHost(bool answerYes) : answerYes_(answerYes) {}
    std::string InstallFolder() override { return folder; }
    void StartProgress(int) override {}
    void ShowProgress(const std::string&) override {}
    bool AskYesNo(TRunBoxKind, const std::string&) override { return asked_++ == 0 || answerYes_; }
    void ShowResult(TRunBoxKind, const std::string&) override {}
    void ShowEndPage() override {}
    void CloseWizard() override {}
    void SelfRemovalPlanned(const RunPath::SelfRemovalPlan& plan) override { selfRemoval = plan; }
    std::string folder;
    RunPath::SelfRemovalPlan selfRemoval;

private:
    bool answerYes_;
    int asked_ = 0;
};

struct RunOutcome {
    bool installed = false, uninstalled = false;
    std::vector<std::string> left;  // "kept path" / "LEFT path", as verify words them, sorted
};

std::string Folded(const std::string& path) { return plat::ansi::AsciiCase(path, true); }

std::string Utf8(const std::string& cp932) {
    std::string utf8;
    EXPECT_TRUE(plat::Cp932ToUtf8(cp932, utf8)) << cp932;
    return utf8;
}

// A full path of the machine as a project writes it: below the deepest
// keyword folder that holds it, the keyword and the rest (UTF-8).
std::string AsProjectWrites(const std::string& path, const std::string& installFolder) {
    const std::pair<std::string, const char*> places[] = {
        {installFolder, "[Install Folder]"},          {"C:\\Windows\\system32", "[System]"},
        {"C:\\Windows\\system32\\Drivers", "[System]\\[Drivers]"}, {sim::kStartupFolder, "スタート\\プログラム\\スタートアップ"},
        {sim::kProgramsFolder, "スタート\\プログラム"}, {sim::kStartMenuFolder, "スタート"},
        {sim::kDesktopFolder, "デスクトップ"},        {sim::kSendToFolder, "送る"}};
    std::string best = path;
    size_t bestLength = 0;
    for (const auto& place : places) {
        const std::string folder = Folded(place.first) + "\\";
        if (folder.size() > bestLength && Folded(path + "\\").compare(0, folder.size(), folder) == 0) {
            best = place.second + path.substr(std::min(path.size(), folder.size() - 1));
            bestLength = folder.size();
        }
    }
    return Utf8(best);
}

RunOutcome RunOnTheMachine(const std::string& text, const std::set<std::string>& sources, bool answerYes) {
    const std::string medium = "D:\\medium";
    sim::ResetAll();
    sim::AddDrive('D');
    sim::AddKey(plat::RootKey::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    RunOutcome outcome;
    sim::AddFile(medium + "\\Setup.exe", "MZ");
    sim::AddFile(medium + "\\Setup.ini", text);
    sim::SetExecutablePath(medium + "\\Setup.exe");
    plat::HoldOwnProgram();  // as the program entry does
    AnsweringHost installHost(answerYes);
    TSetupSession installer(installHost);
    EXPECT_EQ(installer.Start(), ssInstall);
    for (int i = 0; i < installer.Project->Files.Count(); ++i) {
        const std::string& source = installer.Project->Files.Items(i).SourceFile;
        const bool full = source.size() >= 2 && source[1] == ':';
        if (full) sim::AddDrive(source[0]);
        if (full || sources.count(source)) sim::AddFile(RunPath::ResolveSourcePath(medium, source), "x");
    }
    const TProjectProperty& project = *installer.Project;
    const std::string location = installHost.folder = installer.ProposedInstallFolder();
    std::set<std::string> before;
    for (const sim::Entry& entry : sim::TakeSnapshot()) before.insert(Folded(entry.path));
    const std::vector<std::string> registryBefore = sim::RegistrySnapshot();

    installer.Engine().RunInstall();
    outcome.installed = installer.RunSucceeded;
    if (!outcome.installed) return outcome;

    sim::SetExecutablePath(RunPath::JoinPath(location, "Setup.exe"));
    AnsweringHost uninstallHost(answerYes);
    TSetupSession uninstaller(uninstallHost);
    EXPECT_EQ(uninstaller.Start(), ssUninstall);
    uninstallHost.folder = uninstaller.ProposedInstallFolder();
    TSetupEngine& uninstall = uninstaller.Engine();
    outcome.uninstalled = uninstall.RunUninstall();
    if (!outcome.uninstalled) return outcome;
    EXPECT_TRUE(uninstaller.End());
    CarryOutSelfRemoval(uninstallHost.selfRemoval);

    // The path that a record resolves to on the machine, folded; "" when none.
    auto resolved = [&](const std::string& path) { return Folded(sim::FullPath(uninstall.ExpandPath(path))); };
    std::set<std::string> kept;
    for (int i = 0; i < project.Files.Count(); ++i) {
        const TCopyFile& item = project.Files.Items(i);
        if (item.DeleteMode == 1 || (item.DeleteMode == 2 && !answerYes)) kept.insert(resolved(item.DestFile));
    }
    for (int i = 0; i < project.Folders.Count(); ++i) {
        if (project.Folders.Items(i).KeepOnUninstall != 0) kept.insert(resolved(project.Folders.Items(i).FolderPath) + "\\");
    }
    kept.erase("");
    kept.erase("\\");
    const sim::Snapshot after = sim::TakeSnapshot();
    for (const sim::Entry& entry : after) {
        if (before.count(Folded(entry.path))) continue;
        const std::string folded = Folded(entry.path);
        bool keeps = kept.count(folded) != 0;
        for (const std::string& k : kept) keeps = keeps || (entry.folder && k.compare(0, folded.size(), folded) == 0);
        std::string path = entry.path;
        if (entry.folder) path.pop_back();
        outcome.left.push_back((keeps ? "kept " : "LEFT ") + AsProjectWrites(path, location) + (entry.folder ? "\\" : ""));
    }
    const std::set<std::string> registry(registryBefore.begin(), registryBefore.end());
    for (const std::string& line : sim::RegistrySnapshot()) {
        if (!registry.count(line)) outcome.left.push_back("LEFT " + Utf8(line));
    }
    std::sort(outcome.left.begin(), outcome.left.end());
    return outcome;
}

TEST_F(SetupprojVerify, LeavesWhatTheInstallersOwnRunsLeave) {
    const std::string small = support::SmallProject("C:\\Program Files\\Orvane 表 RT 100%", "OrvaneRT", false);
    const std::string head = "[Copy File]\r\nSubDirectory=Tool\r\n";
    struct Row {
        const char* name;
        std::string text;
        std::set<std::string> sources;
        bool answerYes;
    } rows[] = {
        {"the example, No", Example(), kExamplePayload, false},
        {"the example, Yes", Example(), kExamplePayload, true},
        {"the small project", small, {"payload\\one.txt", "payload\\two.txt"}, true},
        {"the small project, No", small, {"payload\\one.txt", "payload\\two.txt"}, false},
        {"the small project without its second source",
         support::SmallProject("C:\\Program Files\\Orvane RT failed", "OrvaneRTFailed", true), {"payload\\one.txt"}, true},
        {"a forgotten subfolder", head + "file00000=a.txt*[Install Folder]\\doc\\a.txt*0\r\n", {"a.txt"}, true},
        {"a parent listed after its child",
         head + "file00000=a.txt*[Install Folder]\\data\\cache\\a.txt*0\r\n[Make Folder]\r\n"
                "file00000=[Install Folder]\\data\\cache*0\r\nfile00001=[Install Folder]\\data*0\r\n",
         {"a.txt"}, true},
        {"a machine-specific source", head + "file00000=E:\\build\\tool.exe*[Install Folder]\\tool.exe*1\r\n", {}, true},
        // Windows takes the trailing dots and blanks off a name: the records
        // below name "data" and "readme.txt".
        {"names with a trailing dot",
         head + "file00000=a.txt*[Install Folder]\\data\\a.txt*0\r\nfile00001=a.txt*[Install Folder]\\readme.txt.*1\r\n"
                "[Make Folder]\r\nfile00000=[Install Folder]\\data.*1\r\nfile00001=[Install Folder]\\logs. *0\r\n",
         {"a.txt"}, true},
    };
    for (const Row& row : rows) {
        const VerifyReport report = Verify(row.text, row.sources, row.answerYes);
        const RunOutcome run = RunOnTheMachine(row.text, row.sources, row.answerYes);
        EXPECT_EQ(report.installSucceeded, run.installed) << row.name;
        EXPECT_EQ(report.uninstallSucceeded, run.uninstalled) << row.name;
        std::vector<std::string> left = Left(report);
        std::sort(left.begin(), left.end());
        EXPECT_EQ(left, run.left) << row.name;
    }
}

}  // namespace
