// The wizard window on the headless window layer: start-up, page order,
// captions and states, the close rule, the posted run messages, the folder
// walk and the folder dialog. The run messages are only checked as posted:
// the runs themselves are tested on their own.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/sim/Sim.h"
#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimWindow.h"
#include "project/ProjectProperty_unit.h"
#include "ui/BackGround_unit.h"
#include "ui/MessageDlg_unit.h"
#include "ui/SetupMain_unit.h"
#include "tests/support/ProjectText.h"

using plat::MsgAnswer;
using plat::MsgButtons;
using plat::MsgKind;

namespace {

const char kProjectPath[] = "C:\\work\\Setup.ini";

// The wizard suite's project: its texts, and an installation folder proposed
// below Program Files.
struct ProjectSpec : support::ProjectSpec {
    ProjectSpec() {
        subDirectory = "Vendor\\Tool";
        name1 = "テストソフト";
        version = "1.02";
        copyright = "(C) 2024 テスト";
        information = {"案内の一行目", "二行目"};
        displayMessage = {"お知らせ"};
        lisenceMessage = {"使用許諾", "", "第一条"};
    }
};

using support::ProjectText;

struct ButtonState {
    std::string next, cancel, hint;
    bool backEnabled, nextEnabled, cancelEnabled;
};

const ButtonState kPlainFirst{"次へ(&N)", "中止(&C)", "[次へ]ボタンを押してください", false, true, true};
const ButtonState kPlain{"次へ(&N)", "中止(&C)", "[次へ]ボタンを押してください", true, true, true};
const ButtonState kAgreement{"同意する", "同意しない", "", true, true, true};
const ButtonState kCopyStart{"開始", "中止(&C)", "[開始]ボタンでインストールを開始します", true, true, true};
const ButtonState kCopyStartAfterAgreement{"開始", "同意しない",
                                           "[開始]ボタンでインストールを開始します", true, true, true};

class WizardTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim::ResetAll();
        plat::SetApplicationTitle("Orvane");
        sim::AddDrive('D');
    }
    void TearDown() override {
        form.reset();
        sim::ResetAll();
    }

    TSetupMainForm& Start(const ProjectSpec& spec) { return StartWith(ProjectText(spec)); }
    TSetupMainForm& StartWith(const std::string& text) {
        sim::AddFile(kProjectPath, text);
        form = std::make_unique<TSetupMainForm>();
        form->FormCreate();
        return *form;
    }

    std::vector<std::string> PagesInUse() const {
        std::vector<std::string> names;
        for (int i = 0; i < form->PageCount; ++i) names.push_back(form->PageBook.PageAt(i)->Name());
        return names;
    }
    std::string ActiveName() const {
        plat::Widget* page = form->PageBook.ActivePage();
        return page ? page->Name() : "";
    }
    void ExpectButtons(const ButtonState& s, const std::string& where) const {
        SCOPED_TRACE(where);
        EXPECT_EQ(form->NextButton.Caption(), s.next);
        EXPECT_EQ(form->CancelButton.Caption(), s.cancel);
        EXPECT_EQ(form->NextLabel.Caption(), s.hint);
        EXPECT_EQ(form->BackButton.Enabled(), s.backEnabled);
        EXPECT_EQ(form->NextButton.Enabled(), s.nextEnabled);
        EXPECT_EQ(form->CancelButton.Enabled(), s.cancelEnabled);
        EXPECT_TRUE(form->BackButton.Visible());
        EXPECT_TRUE(form->NextButton.Visible());
        EXPECT_EQ(form->BackButton.Caption(), "前へ(&P)");
    }
    int PostedCount(unsigned message) const {
        int n = 0;
        for (const sim::PostedMessage& m : sim::Posted()) {
            if (m.message == message && m.form == form.get()) ++n;
        }
        return n;
    }

    std::unique_ptr<TSetupMainForm> form;
};

struct PageOrderCase {
    int messageDisp;
    bool lisenceUse;
    int directorySwitch;
    std::vector<std::string> pages;
};

TEST_F(WizardTest, PageOrderFollowsMessageAgreementAndLocationSettings) {
    const std::string S = "StartSheet", L = "LisenceSheet", M = "MessageSheet", D = "LocationSheet",
                      C = "CopyStartSheet", P = "CopyProcessSheet", E = "EndSheet";
    const std::vector<PageOrderCase> cases = {
        {0, false, 0, {S, D, C, P, E}},
        {0, false, 1, {S, C, P, E}},
        {0, true, 0, {S, L, D, C, P, E}},
        {0, true, 1, {S, L, C, P, E}},
        {1, false, 0, {S, M, D, C, P, E}},
        {1, false, 1, {S, M, C, P, E}},
        {1, true, 0, {S, M, L, D, C, P, E}},
        {1, true, 1, {S, M, L, C, P, E}},
        {2, false, 0, {S, M, D, C, P, E}},
        {2, false, 1, {S, M, C, P, E}},
        {2, true, 0, {S, L, M, D, C, P, E}},
        {2, true, 1, {S, L, M, C, P, E}},
        {3, false, 0, {S, D, C, P, E}},
        {3, false, 1, {S, C, P, E}},
        {3, true, 0, {S, L, D, C, P, E}},
        {3, true, 1, {S, L, C, P, E}},
        {2, true, 255, {S, L, M, C, P, E}},
    };
    const std::vector<std::string> design = {S, L, M, D, C, P, E};
    for (const PageOrderCase& c : cases) {
        SCOPED_TRACE("MessageDisp " + std::to_string(c.messageDisp) + " LisenceUse " +
                     std::to_string(c.lisenceUse) + " DirectorySwitch " +
                     std::to_string(c.directorySwitch));
        sim::ResetAll();
        ProjectSpec spec;
        spec.messageDisp = c.messageDisp;
        spec.lisenceUse = c.lisenceUse;
        spec.directorySwitch = c.directorySwitch;
        Start(spec);
        ASSERT_FALSE(form->Terminated());
        EXPECT_EQ(PagesInUse(), c.pages);
        EXPECT_EQ(ActiveName(), S);
        EXPECT_EQ(form->ActivePageIndex(), 0);
        // The pages left out stay behind the pages in use, in their design order.
        std::vector<std::string> rest;
        for (int i = form->PageCount; i < form->PageBook.PageTotal(); ++i) {
            rest.push_back(form->PageBook.PageAt(i)->Name());
        }
        std::vector<std::string> expectedRest;
        for (const std::string& name : design) {
            if (std::find(c.pages.begin(), c.pages.end(), name) == c.pages.end()) {
                expectedRest.push_back(name);
            }
        }
        EXPECT_EQ(rest, expectedRest);
        EXPECT_EQ(form->PageBook.PageTotal(), 7);
        form.reset();
    }
}

TEST_F(WizardTest, SevenPagesForwardsAndBackwards) {
    ProjectSpec spec;
    spec.messageDisp = 2;
    spec.lisenceUse = true;
    spec.directorySwitch = 0;
    Start(spec);
    ASSERT_EQ(form->PageCount, 7);

    const std::vector<std::pair<std::string, ButtonState>> forwards = {
        {"StartSheet", kPlainFirst}, {"LisenceSheet", kAgreement}, {"MessageSheet", kPlain},
        {"LocationSheet", kPlain},   {"CopyStartSheet", kCopyStart},
    };
    for (size_t i = 0; i < forwards.size(); ++i) {
        EXPECT_EQ(ActiveName(), forwards[i].first);
        EXPECT_EQ(form->ActivePageIndex(), static_cast<int>(i));
        ExpectButtons(forwards[i].second, "forwards on " + forwards[i].first);
        if (i + 1 < forwards.size()) form->NextButton.Click();
    }
    // Backwards restores the default captions as soon as a plain page shows.
    for (size_t i = forwards.size() - 1; i > 0; --i) {
        form->BackButton.Click();
        EXPECT_EQ(ActiveName(), forwards[i - 1].first);
        ExpectButtons(forwards[i - 1].second, "backwards on " + forwards[i - 1].first);
    }
    // Back is disabled on the start page: a click does nothing.
    form->BackButton.Click();
    EXPECT_EQ(ActiveName(), "StartSheet");
    EXPECT_TRUE(sim::Posted().empty());
    EXPECT_TRUE(sim::Messages().empty());
}

TEST_F(WizardTest, AgreementCaptionsPersistOntoTheCopyStartPage) {
    ProjectSpec spec;
    spec.messageDisp = 1;
    spec.lisenceUse = true;
    spec.directorySwitch = 1;
    Start(spec);
    ASSERT_EQ(PagesInUse(), (std::vector<std::string>{"StartSheet", "MessageSheet", "LisenceSheet",
                                                       "CopyStartSheet", "CopyProcessSheet",
                                                       "EndSheet"}));
    form->NextButton.Click();
    form->NextButton.Click();
    ExpectButtons(kAgreement, "agreement");
    form->NextButton.Click();
    EXPECT_EQ(ActiveName(), "CopyStartSheet");
    ExpectButtons(kCopyStartAfterAgreement, "copy-start after the agreement");
    form->BackButton.Click();
    ExpectButtons(kAgreement, "agreement again");
    form->NextButton.Click();
    ExpectButtons(kCopyStartAfterAgreement, "copy-start again");
    form->BackButton.Click();
    form->BackButton.Click();
    EXPECT_EQ(ActiveName(), "MessageSheet");
    ExpectButtons(kPlain, "message page");
}

TEST_F(WizardTest, AgreementThenMessagePageGivesPlainCancelOnCopyStart) {
    ProjectSpec spec;
    spec.messageDisp = 2;
    spec.lisenceUse = true;
    Start(spec);
    form->NextButton.Click();
    ExpectButtons(kAgreement, "agreement");
    form->NextButton.Click();
    form->NextButton.Click();
    EXPECT_EQ(ActiveName(), "CopyStartSheet");
    ExpectButtons(kCopyStart, "copy-start after the message page");
}

TEST_F(WizardTest, FourPagesBackFromCopyStartReturnsToStart) {
    Start(ProjectSpec{});
    ASSERT_EQ(PagesInUse(), (std::vector<std::string>{"StartSheet", "CopyStartSheet",
                                                       "CopyProcessSheet", "EndSheet"}));
    ExpectButtons(kPlainFirst, "start");
    form->NextButton.Click();
    ExpectButtons(kCopyStart, "copy-start");
    form->BackButton.Click();
    EXPECT_EQ(ActiveName(), "StartSheet");
    ExpectButtons(kPlainFirst, "start again");
}

TEST_F(WizardTest, ProgressPageDisablesEverythingAndKeepsCaptions) {
    ProjectSpec spec;
    spec.lisenceUse = true;
    Start(spec);
    form->NextButton.Click();  // agreement
    form->NextButton.Click();  // copy-start
    form->NextButton.Click();  // progress
    EXPECT_EQ(ActiveName(), "CopyProcessSheet");
    ExpectButtons({"開始", "同意しない", "", false, false, false}, "progress");
    // The user has no way on from here.
    form->NextButton.Click();
    form->BackButton.Click();
    form->CancelButton.Click();
    EXPECT_EQ(ActiveName(), "CopyProcessSheet");
    EXPECT_FALSE(form->Destroyed());
}

TEST_F(WizardTest, EndPageShownByTheRunClosesWithoutAQuestion) {
    Start(ProjectSpec{});
    form->NextButton.Click();
    form->NextButton.Click();
    // A completed installation run shows the last page.
    form->ShowPage(form->PageCount - 1);
    EXPECT_EQ(ActiveName(), "EndSheet");
    ExpectButtons({"終了", "中止(&C)", "[終了]ボタンでインストーラーを終了します", false, true, false},
                  "end");
    form->NextButton.Click();
    EXPECT_TRUE(form->Destroyed());
    EXPECT_TRUE(sim::Messages().empty());
    EXPECT_TRUE(sim::ShownForms().empty());  // the background window went with it
}

TEST_F(WizardTest, OneInstallMessagePerVisitOfTheProgressPage) {
    ProjectSpec spec;
    spec.messageDisp = 2;
    spec.lisenceUse = true;
    spec.directorySwitch = 0;
    Start(spec);
    for (int i = 0; i < 4; ++i) {
        form->NextButton.Click();
        EXPECT_EQ(PostedCount(plat::kWmUser), 0) << "page " << i + 1;
    }
    // Going back and forth before the start posts nothing.
    form->BackButton.Click();
    form->NextButton.Click();
    EXPECT_TRUE(sim::Posted().empty());
    form->NextButton.Click();
    ASSERT_EQ(sim::Posted().size(), 1u);
    EXPECT_EQ(sim::Posted().front().message, plat::kWmUser);
    EXPECT_EQ(sim::Posted().front().form, form.get());
    // A second activation (as after a page change by the run) posts once more.
    form->ShowPage(form->PageCount - 2);
    EXPECT_EQ(PostedCount(plat::kWmUser), 2);
    form->ShowPage(form->PageCount - 1);
    EXPECT_EQ(PostedCount(plat::kWmUser), 2);
}

struct CloseWay {
    const char* name;
    bool cancelButton;  // false: the close box (Close())
};

TEST_F(WizardTest, CloseOnEveryUserPageAsksAndFollowsTheAnswer) {
    const std::vector<CloseWay> ways = {{"Cancel", true}, {"close box", false}};
    const std::vector<std::string> pages = {"StartSheet", "LisenceSheet", "MessageSheet",
                                            "LocationSheet", "CopyStartSheet"};
    for (const CloseWay& way : ways) {
        for (size_t page = 0; page < pages.size(); ++page) {
            for (MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Yes}) {
                SCOPED_TRACE(std::string(way.name) + " on " + pages[page] +
                             (answer == MsgAnswer::Yes ? " answered Yes" : " answered No"));
                sim::ResetAll();
                ProjectSpec spec;
                spec.messageDisp = 2;
                spec.lisenceUse = true;
                spec.directorySwitch = 0;
                Start(spec);
                for (size_t i = 0; i < page; ++i) form->NextButton.Click();
                ASSERT_EQ(ActiveName(), pages[page]);
                std::string nextBefore = form->NextButton.Caption();
                std::string cancelBefore = form->CancelButton.Caption();
                sim::QueueAnswer(answer);
                if (way.cancelButton) {
                    form->CancelButton.Click();
                } else {
                    form->Close();
                }
                ASSERT_EQ(sim::Messages().size(), 1u);
                const sim::ShownMessage& m = sim::Messages()[0];
                EXPECT_EQ(m.kind, MsgKind::Warning);
                EXPECT_EQ(m.caption, "警告");
                EXPECT_EQ(m.text, "インストールを中断しますか？");
                EXPECT_EQ(m.buttons, MsgButtons::YesNo);
                if (answer == MsgAnswer::Yes) {
                    EXPECT_TRUE(form->Destroyed());
                    EXPECT_TRUE(sim::ShownForms().empty());
                    EXPECT_EQ(form->Session.Project, nullptr);
                    EXPECT_EQ(form->BackGroundForm, nullptr);
                } else {
                    EXPECT_FALSE(form->Destroyed());
                    EXPECT_EQ(ActiveName(), pages[page]);
                    EXPECT_EQ(form->NextButton.Caption(), nextBefore);
                    EXPECT_EQ(form->CancelButton.Caption(), cancelBefore);
                    EXPECT_EQ(sim::ShownForms().size(), 2u);
                }
                form.reset();
            }
        }
    }
}

TEST_F(WizardTest, CloseIsRefusedSilentlyOnTheProgressPage) {
    Start(ProjectSpec{});
    form->NextButton.Click();
    form->NextButton.Click();
    ASSERT_EQ(ActiveName(), "CopyProcessSheet");
    sim::QueueAnswer(MsgAnswer::Yes);
    form->Close();
    EXPECT_FALSE(form->Destroyed());
    EXPECT_TRUE(sim::Messages().empty());
    EXPECT_EQ(sim::PendingAnswers(), 1u);
}

TEST_F(WizardTest, CloseIsAllowedSilentlyOnceARunHasStartedOrFailed) {
    for (const char* page : {"StartSheet", "CopyProcessSheet"}) {
        SCOPED_TRACE(page);
        sim::ResetAll();
        Start(ProjectSpec{});
        if (std::string(page) == "CopyProcessSheet") {
            form->NextButton.Click();
            form->NextButton.Click();
        }
        form->Session.RunSucceeded = false;  // as the installation run leaves it on failure
        form->Close();
        EXPECT_TRUE(form->Destroyed());
        EXPECT_TRUE(sim::Messages().empty());
        form.reset();
    }
}

TEST_F(WizardTest, DisagreeingAndAnsweringNoKeepsTheAgreementPage) {
    ProjectSpec spec;
    spec.lisenceUse = true;
    Start(spec);
    form->NextButton.Click();
    ASSERT_EQ(form->CancelButton.Caption(), "同意しない");
    sim::QueueAnswer(MsgAnswer::No);
    form->CancelButton.Click();
    EXPECT_FALSE(form->Destroyed());
    EXPECT_EQ(ActiveName(), "LisenceSheet");
    ExpectButtons(kAgreement, "after No");
}

TEST_F(WizardTest, InstallModeFillsTheStartPageAndShowsBothWindows) {
    Start(ProjectSpec{});
    ASSERT_FALSE(form->Terminated());
    EXPECT_TRUE(form->Session.RunSucceeded);
    EXPECT_NE(form->Session.SystemPath, nullptr);
    EXPECT_EQ(form->Caption(), "テストソフト");
    EXPECT_EQ(form->NameLabel.Caption(), "ソフト名 : テストソフト");
    EXPECT_EQ(form->VersionLabel.Caption(), "バージョン : 1.02");
    EXPECT_EQ(form->CopyrightLabel.Caption(), "著作権 : (C) 2024 テスト");
    EXPECT_EQ(form->InformationMemo.Lines(), (std::vector<std::string>{"案内の一行目", "二行目"}));
    EXPECT_EQ(form->MessageMemo.Lines(), (std::vector<std::string>{"お知らせ"}));
    EXPECT_EQ(form->LisenceMemo.Lines(), (std::vector<std::string>{"使用許諾", "", "第一条"}));
    EXPECT_EQ(form->Session.ExePath, "C:\\work\\Setup.exe");
    EXPECT_EQ(form->Session.SourceFolder, "C:\\work");
    EXPECT_EQ(form->Focused(), &form->NextButton);
    // The background window is shown first, the wizard above it.
    ASSERT_NE(form->BackGroundForm, nullptr);
    EXPECT_EQ(form->BackGroundForm->GradientColors[0], 0xFF0000u);
    EXPECT_EQ(form->BackGroundForm->GradientColors[1], 0u);
    EXPECT_EQ(form->BackGroundForm->Project, form->Session.Project.get());
    ASSERT_EQ(sim::ShownForms().size(), 2u);
    EXPECT_EQ(sim::ShownForms()[0], form->BackGroundForm.get());
    EXPECT_EQ(sim::ShownForms()[1], form.get());
    EXPECT_TRUE(sim::Posted().empty());
}

TEST_F(WizardTest, EmptyNameGivesEmptyCaptionAndBarePrefix) {
    ProjectSpec spec;
    spec.name1 = "";
    Start(spec);
    EXPECT_EQ(form->Caption(), "");
    EXPECT_EQ(form->NameLabel.Caption(), "ソフト名 : ");
}

struct ProposalCase {
    int initDirectory;
    std::string subDirectory;
    std::string expected;
};

TEST_F(WizardTest, ProposedInstallationFolder) {
    const std::vector<ProposalCase> cases = {
        {0, "Vendor\\Tool", "C:\\Program Files\\Vendor\\Tool"},
        {0, "", "C:\\Program Files\\"},
        {0, "\\Vendor\\", "C:\\Program Files\\Vendor"},  // the model drops the outer backslashes
        {1, "D:\\Apps\\Tool", "D:\\Apps\\Tool"},
        {1, "", ""},
        {7, "Tool", "Tool"},
        // A folder ending in ソ or 表 (second byte 0x5C) keeps its last character.
        {0, "Vendor\\ソ\\", "C:\\Program Files\\Vendor\\ソ"},
        {1, "D:\\表", "D:\\表"},
    };
    for (const ProposalCase& c : cases) {
        SCOPED_TRACE("InitDirectory " + std::to_string(c.initDirectory) + " SubDirectory " +
                     c.subDirectory);
        sim::ResetAll();
        ProjectSpec spec;
        spec.initDirectory = c.initDirectory;
        spec.subDirectory = c.subDirectory;
        Start(spec);
        EXPECT_EQ(form->LocationEdit.Caption(), c.expected);
        form.reset();
    }
}

TEST_F(WizardTest, ProgramFilesIsReadWithReadAccessOnly) {
    // A standard user may read HKEY_LOCAL_MACHINE but not open it for writing.
    sim::SetStandardUser(true);
    Start(ProjectSpec{});
    EXPECT_EQ(form->LocationEdit.Caption(), "C:\\Program Files\\Vendor\\Tool");
}

TEST_F(WizardTest, MissingProgramFilesGivesABackslashAndTheSubDirectory) {
    sim::RemoveValue(plat::RootKey::LocalMachine, sim::kCurrentVersionKey, "ProgramFilesDir");
    Start(ProjectSpec{});
    EXPECT_EQ(form->LocationEdit.Caption(), "\\Vendor\\Tool");
    EXPECT_TRUE(sim::Messages().empty());
}

TEST_F(WizardTest, NoProjectFileEndsSilently) {
    form = std::make_unique<TSetupMainForm>();
    form->FormCreate();
    EXPECT_TRUE(form->Terminated());
    EXPECT_FALSE(form->Shown());
    EXPECT_TRUE(sim::ShownForms().empty());
    EXPECT_TRUE(sim::Messages().empty());
    EXPECT_TRUE(sim::Posted().empty());
    EXPECT_EQ(form->Session.Project, nullptr);
    EXPECT_FALSE(form->Session.RunSucceeded);
}

TEST_F(WizardTest, AFolderNamedLikeTheProjectFileDoesNotCount) {
    sim::AddFolder(kProjectPath);
    form = std::make_unique<TSetupMainForm>();
    form->FormCreate();
    EXPECT_TRUE(form->Terminated());
    EXPECT_TRUE(sim::ShownForms().empty());
    EXPECT_TRUE(sim::Messages().empty());
}

TEST_F(WizardTest, TheProjectFileSitsBesideTheExecutable) {
    sim::AddFolder("D:\\Setup");
    sim::SetExecutablePath("D:\\Setup\\app.setup.exe");
    sim::AddFile("D:\\Setup\\app.setup.ini", ProjectText(ProjectSpec{}));
    form = std::make_unique<TSetupMainForm>();
    form->FormCreate();
    EXPECT_FALSE(form->Terminated());
    EXPECT_EQ(form->Caption(), "テストソフト");
}

TEST_F(WizardTest, BadIntegerIsReportedUnderTheApplicationTitleAndEndsTheProgram) {
    // InstallMode 1 is read before the error: the half-read project must not
    // make the uninstaller remove itself when the window goes.
    StartWith("[Project Property]\r\nInstallMode=1\r\nProjectMakeMode=abc\r\n");
    EXPECT_TRUE(form->Terminated());
    ASSERT_EQ(sim::Messages().size(), 1u);
    EXPECT_EQ(sim::Messages()[0].kind, MsgKind::Error);
    EXPECT_EQ(sim::Messages()[0].caption, "Orvane");
    EXPECT_EQ(sim::Messages()[0].text, "'abc' は整数ではありません");
    EXPECT_EQ(sim::Messages()[0].buttons, MsgButtons::Ok);
    EXPECT_FALSE(form->Shown());
    EXPECT_TRUE(sim::ShownForms().empty());
    EXPECT_EQ(form->Session.SystemPath, nullptr);
    EXPECT_TRUE(sim::Posted().empty());
    sim::Snapshot before = sim::TakeSnapshot();
    form.reset();
    EXPECT_TRUE(sim::Changes(before, sim::TakeSnapshot()).empty());
    EXPECT_TRUE(sim::IsFile(kProjectPath));
}

// A program whose own path the system does not give (one too long for it)
// says so and ends: a project file of the current folder is never taken.
TEST_F(WizardTest, WithoutItsOwnPathTheProgramSaysSoAndEnds) {
    sim::SetExecutablePath("");
    sim::AddFile("C:\\work\\.ini", ProjectText(ProjectSpec{}));
    form = std::make_unique<TSetupMainForm>();
    form->FormCreate();
    EXPECT_TRUE(form->Terminated());
    EXPECT_FALSE(form->Shown());
    ASSERT_EQ(sim::Messages().size(), 1u);
    EXPECT_EQ(sim::Messages()[0].caption, "Orvane");
    EXPECT_EQ(sim::Messages()[0].text, "プログラムのパスを取得できません");
    EXPECT_EQ(form->Session.Project, nullptr);
}

TEST_F(WizardTest, EmptyIntegerTextIsABadInteger) {
    StartWith("[Message]\r\nMessageDisp=\r\n");
    EXPECT_TRUE(form->Terminated());
    ASSERT_EQ(sim::Messages().size(), 1u);
    EXPECT_EQ(sim::Messages()[0].text, "'' は整数ではありません");
}

TEST_F(WizardTest, UninstallModeWindow) {
    for (int mode : {1, 2, 255}) {
        SCOPED_TRACE("InstallMode " + std::to_string(mode));
        sim::ResetAll();
        ProjectSpec spec;
        spec.installMode = mode;
        spec.lisenceUse = true;
        spec.directorySwitch = 0;
        Start(spec);
        ASSERT_FALSE(form->Terminated());
        EXPECT_EQ(form->Caption(), "");
        EXPECT_EQ(form->PageCount, 1);
        EXPECT_EQ(ActiveName(), "CopyProcessSheet");
        EXPECT_EQ(form->CopyLabel.Caption(), "ファイルを削除しています");
        EXPECT_FALSE(form->BackButton.Visible());
        EXPECT_FALSE(form->NextButton.Visible());
        EXPECT_TRUE(form->CancelButton.Visible());
        EXPECT_FALSE(form->CancelButton.Enabled());
        EXPECT_EQ(form->NextLabel.Caption(), "");
        EXPECT_EQ(form->LocationEdit.Caption(), "C:\\work");
        // The start page keeps its design texts.
        EXPECT_EQ(form->NameLabel.Caption(), "ソフト名 : ");
        EXPECT_TRUE(form->InformationMemo.Lines().empty());
        EXPECT_EQ(form->BackGroundForm, nullptr);
        ASSERT_EQ(sim::ShownForms().size(), 1u);
        EXPECT_EQ(sim::ShownForms()[0], form.get());
        ASSERT_EQ(sim::Posted().size(), 1u);
        EXPECT_EQ(sim::Posted()[0].message, plat::kWmUser + 1);
        EXPECT_EQ(sim::Posted()[0].form, form.get());
        // The close rule never stands in the way in this mode.
        EXPECT_TRUE(form->FormCloseQuery());
        EXPECT_TRUE(sim::Messages().empty());
        form->Session.RunSucceeded = false;  // no self-removal in this test
        form.reset();
    }
}

TEST_F(WizardTest, UninstallMessageArrivesOnlyAfterTheWindowIsShown) {
    ProjectSpec spec;
    spec.installMode = 1;
    Start(spec);
    // Stand in for the run: record what the window looked like when it began.
    std::vector<bool> shownAtDelivery;
    form->OnUserMessage = [&](unsigned message) {
        EXPECT_EQ(message, plat::kWmUser + 1);
        shownAtDelivery.push_back(form->Shown());
    };
    EXPECT_EQ(sim::DispatchPosted(), 1);
    EXPECT_EQ(shownAtDelivery, std::vector<bool>{true});
    form->Session.RunSucceeded = false;
}

TEST_F(WizardTest, UninstallerAtADriveRootUsesTheRootWithItsBackslash) {
    sim::SetExecutablePath("D:\\setup.exe");
    ProjectSpec spec;
    spec.installMode = 1;
    sim::AddFile("D:\\setup.ini", ProjectText(spec));
    form = std::make_unique<TSetupMainForm>();
    form->FormCreate();
    EXPECT_EQ(form->LocationEdit.Caption(), "D:\\");
    form->Session.RunSucceeded = false;
}

TEST_F(WizardTest, SelfRemovalOnlyAfterASuccessfulUninstallation) {
    struct Case {
        int installMode;
        bool succeeded;
        bool batch;
    };
    for (const Case& c : {Case{1, true, true}, Case{1, false, false}, Case{0, true, false}}) {
        SCOPED_TRACE("InstallMode " + std::to_string(c.installMode) + " succeeded " +
                     std::to_string(c.succeeded));
        sim::ResetAll();
        sim::AddFolder("D:\\Apps\\Tool");
        sim::SetExecutablePath("D:\\Apps\\Tool\\Setup.exe");
        sim::AddFile("D:\\Apps\\Tool\\Setup.exe", "MZ");
        ProjectSpec spec;
        spec.installMode = c.installMode;
        sim::AddFile("D:\\Apps\\Tool\\Setup.ini", ProjectText(spec));
        form = std::make_unique<TSetupMainForm>();
        form->FormCreate();
        form->Session.RunSucceeded = c.succeeded;
        // Only the self-removal writes anything while the window goes: its
        // private folder and the batch file in it.
        sim::Snapshot before = sim::TakeSnapshot();
        form->Destroy();
        std::vector<std::string> changes = sim::Changes(before, sim::TakeSnapshot());
        EXPECT_EQ(!changes.empty(), c.batch);
        // The batch written is the one started.
        ASSERT_EQ(sim::StartedBatches().size(), c.batch ? 1u : 0u);
        if (c.batch) {
            const std::string batch = sim::StartedBatches()[0].batch;
            const std::string folder = sim::StartedBatches()[0].workFolder;
            EXPECT_EQ(changes, (std::vector<std::string>{"+ " + folder + "\\", "+ " + batch}));
            EXPECT_TRUE(sim::IsFile(batch));
        }
        EXPECT_EQ(form->Session.Project, nullptr);
        EXPECT_EQ(form->Session.SystemPath, nullptr);
        form.reset();
    }
}

TEST_F(WizardTest, FindExistingFolderWalksUpToAnExistingFolder) {
    sim::AddFolder("D:\\Tools");
    sim::AddFolder("D:\\ソ");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"D:\\Tools\\New\\Sub", "D:\\Tools"},
        {"D:\\Tools\\New\\Sub\\", "D:\\Tools"},
        {"D:\\Tools", "D:\\Tools"},
        {"D:\\Tools\\", "D:\\Tools\\"},  // existing at once: taken as typed
        {"", ""},
        {"Q:\\x", "Q:"},
        {"Q:\\x\\y\\", "Q:"},
        {"D:\\Missing", "D:\\"},
        {"D:\\ソ\\New", "D:\\ソ"},
        {"nothing here", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TSetupMainForm::FindExistingFolder(c.first), c.second) << "'" << c.first << "'";
    }
}

class BrowseTest : public WizardTest {
protected:
    void SetUp() override {
        WizardTest::SetUp();
        sim::AddFolder("D:\\Tools");
        ProjectSpec spec;
        spec.directorySwitch = 0;
        Start(spec);
        form->NextButton.Click();
        ASSERT_EQ(ActiveName(), "LocationSheet");
    }
    void Browse(const std::string& text) {
        form->LocationEdit.TextFromUser(text);
        form->BrowsButton.Click();
    }
};

TEST_F(BrowseTest, OpensAtTheNearestExistingFolder) {
    Browse("D:\\Tools\\New\\Sub");
    ASSERT_EQ(sim::FolderDialogCalls().size(), 1u);
    EXPECT_EQ(sim::FolderDialogCalls()[0].title, "ディレクトリの選択");
    EXPECT_EQ(sim::FolderDialogCalls()[0].start, "D:\\Tools");
    // Cancelled: nothing changes.
    EXPECT_EQ(form->LocationEdit.Caption(), "D:\\Tools\\New\\Sub");
    EXPECT_TRUE(sim::Messages().empty());
}

TEST_F(BrowseTest, EmptyTextOpensAtTheCurrentFolderAndCancelKeepsItEmpty) {
    Browse("");
    ASSERT_EQ(sim::FolderDialogCalls().size(), 1u);
    EXPECT_EQ(sim::FolderDialogCalls()[0].start, "");
    EXPECT_EQ(form->LocationEdit.Caption(), "");
}

TEST_F(BrowseTest, MissingDriveWalksToTheBareDrive) {
    Browse("Q:\\Soft\\Tool");
    ASSERT_EQ(sim::FolderDialogCalls().size(), 1u);
    EXPECT_EQ(sim::FolderDialogCalls()[0].start, "Q:");
}

TEST_F(BrowseTest, ExistingFolderIsTakenWithoutAQuestion) {
    sim::QueueFolderDialog({{"D:\\Tools"}});
    Browse("C:\\Program Files\\Vendor\\Tool");
    EXPECT_EQ(sim::FolderDialogCalls()[0].start, "C:\\Program Files");
    EXPECT_EQ(form->LocationEdit.Caption(), "D:\\Tools");
    EXPECT_TRUE(sim::Messages().empty());
}

TEST_F(BrowseTest, MissingFolderIsCreatedAfterYes) {
    sim::QueueFolderDialog({{"D:\\Tools\\New\\Sub"}});
    sim::QueueAnswer(MsgAnswer::Yes);
    Browse("D:\\Tools");
    ASSERT_EQ(sim::Messages().size(), 1u);
    EXPECT_EQ(sim::Messages()[0].kind, MsgKind::Confirmation);
    EXPECT_EQ(sim::Messages()[0].caption, "確認");
    EXPECT_EQ(sim::Messages()[0].text, "指定されたディレクトリが存在しません。作成しますか？");
    EXPECT_EQ(sim::Messages()[0].buttons, MsgButtons::YesNo);
    EXPECT_TRUE(sim::IsFolder("D:\\Tools\\New\\Sub"));
    EXPECT_EQ(form->LocationEdit.Caption(), "D:\\Tools\\New\\Sub");
}

TEST_F(BrowseTest, NoKeepsTheDialogOpen) {
    // No to the first folder; the second, existing one is then confirmed.
    sim::QueueFolderDialog({{"D:\\Tools\\Other", "D:\\Tools"}});
    sim::QueueAnswer(MsgAnswer::No);
    Browse("D:\\Tools");
    EXPECT_EQ(sim::Messages().size(), 1u);
    EXPECT_FALSE(sim::Exists("D:\\Tools\\Other"));
    EXPECT_EQ(form->LocationEdit.Caption(), "D:\\Tools");
}

TEST_F(BrowseTest, NoToEveryTryLeavesTheEditAlone) {
    sim::QueueFolderDialog({{"D:\\Tools\\Other"}});
    sim::QueueAnswer(MsgAnswer::No);
    Browse("D:\\Tools\\Mine");
    EXPECT_EQ(form->LocationEdit.Caption(), "D:\\Tools\\Mine");
    EXPECT_FALSE(sim::Exists("D:\\Tools\\Other"));
}

TEST_F(BrowseTest, EmptyConfirmedTextIsReportedAndTheEditKeepsItsText) {
    sim::QueueFolderDialog({{""}});
    Browse("D:\\Tools\\Mine");
    ASSERT_EQ(sim::Messages().size(), 1u);
    EXPECT_EQ(sim::Messages()[0].kind, MsgKind::Error);
    EXPECT_EQ(sim::Messages()[0].caption, "エラー");
    EXPECT_EQ(sim::Messages()[0].text, "ディレクトリを作成することができません");
    EXPECT_EQ(sim::Messages()[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(form->LocationEdit.Caption(), "D:\\Tools\\Mine");
}

TEST_F(BrowseTest, FolderThatCannotBeCreatedIsNotReported) {
    sim::DenyCreateIn("D:\\Tools");
    sim::QueueFolderDialog({{"D:\\Tools\\Locked"}});
    sim::QueueAnswer(MsgAnswer::Yes);
    Browse("D:\\Tools");
    EXPECT_EQ(sim::Messages().size(), 1u);  // the question only
    EXPECT_FALSE(sim::Exists("D:\\Tools\\Locked"));
    EXPECT_EQ(form->LocationEdit.Caption(), "D:\\Tools\\Locked");
}

TEST_F(BrowseTest, SourceFolderStaysTheProgramsFolder) {
    sim::SetCurrentFolder("D:\\Tools");  // as the dialog may leave it
    sim::QueueFolderDialog({{"D:\\Tools"}});
    Browse("");
    EXPECT_EQ(form->Session.SourceFolder, "C:\\work");
}

struct ControlRow {
    const char* name;
    plat::WidgetKind kind;
    const char* parent;
    plat::Rect bounds;
    int tabOrder;
};

TEST_F(WizardTest, LayoutOfTheWindowAndItsControls) {
    Start(ProjectSpec{});
    using K = plat::WidgetKind;
    const std::vector<ControlRow> rows = {
        {"PageBook", K::PageControl, "SetupMainForm", {10, 5, 430, 300}, 3},
        {"NextLabel", K::Label, "SetupMainForm", {15, 310, 0, 0}, -1},
        {"BackButton", K::Button, "SetupMainForm", {130, 325, 100, 25}, 2},
        {"NextButton", K::Button, "SetupMainForm", {230, 325, 100, 25}, 0},
        {"CancelButton", K::Button, "SetupMainForm", {340, 325, 100, 25}, 1},
        {"InfLabel", K::Label, "StartSheet", {10, 12, 400, 59}, -1},
        {"Bevel1", K::Bevel, "StartSheet", {10, 75, 400, 70}, -1},
        {"NameLabel", K::Label, "StartSheet", {15, 82, 0, 0}, -1},
        {"VersionLabel", K::Label, "StartSheet", {15, 102, 0, 0}, -1},
        {"CopyrightLabel", K::Label, "StartSheet", {15, 122, 0, 0}, -1},
        {"InformationMemo", K::Memo, "StartSheet", {10, 155, 400, 125}, 0},
        {"LisenceMemo", K::Memo, "LisenceSheet", {10, 10, 400, 250}, 0},
        {"LisenceLabel", K::Label, "LisenceSheet", {10, 267, 0, 0}, -1},
        {"MessageMemo", K::Memo, "MessageSheet", {10, 10, 400, 270}, 0},
        {"LocationLabel", K::Label, "LocationSheet", {10, 12, 0, 0}, -1},
        {"LocationEdit", K::Edit, "LocationSheet", {10, 75, 400, 21}, 0},
        {"BrowsButton", K::Button, "LocationSheet", {310, 100, 100, 25}, 1},
        {"CopyStartLabel", K::Label, "CopyStartSheet", {10, 12, 400, 44}, -1},
        {"CopyLabel", K::Label, "CopyProcessSheet", {10, 12, 0, 0}, -1},
        {"CopyBevel", K::Bevel, "CopyProcessSheet", {10, 110, 400, 70}, -1},
        {"CopyFileLabel", K::Label, "CopyProcessSheet", {25, 125, 330, 13}, -1},
        {"FileCopyBar", K::ProgressBar, "CopyProcessSheet", {25, 140, 370, 20}, -1},
        {"Label1", K::Label, "EndSheet", {10, 17, 400, 0}, -1},
    };
    std::vector<const plat::Widget*> all;
    std::function<void(const plat::Widget*)> collect = [&](const plat::Widget* w) {
        all.push_back(w);
        for (const plat::Widget* c : w->Children()) collect(c);
    };
    collect(form.get());
    for (const ControlRow& row : rows) {
        SCOPED_TRACE(row.name);
        const plat::Widget* found = nullptr;
        for (const plat::Widget* w : all) {
            if (w->Name() == row.name) found = w;
        }
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(found->Kind(), row.kind);
        ASSERT_NE(found->Parent(), nullptr);
        EXPECT_EQ(found->Parent()->Name(), row.parent);
        EXPECT_EQ(found->Bounds().left, row.bounds.left);
        EXPECT_EQ(found->Bounds().top, row.bounds.top);
        if (!found->AutoSize() || found->WordWrap()) EXPECT_EQ(found->Bounds().width, row.bounds.width);
        if (!found->AutoSize()) EXPECT_EQ(found->Bounds().height, row.bounds.height);
        EXPECT_EQ(found->TabOrder(), row.tabOrder);
    }
    EXPECT_EQ(form->Name(), "SetupMainForm");
    EXPECT_EQ(form->Bounds().width, 450);
    EXPECT_EQ(form->Bounds().height, 355);
    EXPECT_EQ(form->frame, plat::FormFrame::Dialog);
    EXPECT_TRUE(form->centred);
    EXPECT_TRUE(form->endsProgram);
    EXPECT_EQ(form->font.face, "ＭＳ Ｐゴシック");
    EXPECT_EQ(form->font.charset, plat::kShiftJisCharset);
    EXPECT_EQ(form->font.height, 13);
    // Design texts that the set-up does not replace.
    EXPECT_EQ(form->InfLabel.Caption(),
              "インストール設定を開始します。\n\n対象ソフトを起動している場合は（再インストール・"
              "バージョンアップ時）、ソフトの実行を終了してください。");
    EXPECT_TRUE(form->InfLabel.WordWrap());
    EXPECT_FALSE(form->InfLabel.AutoSize());
    EXPECT_EQ(form->CopyStartLabel.Caption(),
              "以上でインストール設定は完了しました。\n\n[開始]ボタンを押してファイルコピーを開始して"
              "ください。");
    EXPECT_EQ(form->LisenceLabel.Caption(), "以上の使用許諾契約書に同意しますか？");
    EXPECT_EQ(form->LocationLabel.Caption(), "インストール場所を指定してください。");
    EXPECT_EQ(form->BrowsButton.Caption(), "参照(&B)");
    EXPECT_EQ(form->CopyLabel.Caption(), "インストール実行中です。しばらくお待ち下さい。");
    EXPECT_EQ(form->Label1.Caption(), "インストールが完了しました。");
    EXPECT_EQ(form->FileCopyBar.Min(), 0);
    EXPECT_EQ(form->FileCopyBar.Max(), 100);
    EXPECT_EQ(form->FileCopyBar.Position(), 0);
    EXPECT_FALSE(form->CopyFileLabel.AutoUpdateHint());
    EXPECT_EQ(form->CopyFileLabel.MaxLength(), 0);
    EXPECT_EQ(form->CopyFileLabel.Style(), ssRight);
    EXPECT_EQ(form->CopyFileLabel.TextCase(), tcNone);
    EXPECT_EQ(form->CopyFileLabel.PathSeparator(), psNone);
    EXPECT_EQ(form->CopyFileLabel.PathType(), ptNone);
    EXPECT_FALSE(form->CopyFileLabel.AutoSize());
    EXPECT_EQ(form->CopyFileLabel.Caption(), "");
}

}  // namespace

namespace {

TEST(MessageDlgTest, KindsCarryTheirCaptionsAndAnswers) {
    sim::ResetAll();
    struct Row {
        TMsgDlgType type;
        MsgKind kind;
        const char* caption;
    };
    const std::vector<Row> rows = {{mtWarning, MsgKind::Warning, "警告"},
                                   {mtError, MsgKind::Error, "エラー"},
                                   {mtInformation, MsgKind::Information, "情報"},
                                   {mtConfirmation, MsgKind::Confirmation, "確認"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.caption);
        sim::ClearMessages();
        EXPECT_EQ(MessageDlgCaption(row.type), row.caption);
        EXPECT_EQ(MessageDlg("本文", row.type), MsgAnswer::Ok);
        sim::QueueAnswer(MsgAnswer::Yes);
        EXPECT_EQ(MessageDlg("質問", row.type, true), MsgAnswer::Yes);
        EXPECT_EQ(MessageDlg("質問", row.type, true), MsgAnswer::No);  // nothing queued: No
        ASSERT_EQ(sim::Messages().size(), 3u);
        for (const sim::ShownMessage& m : sim::Messages()) {
            EXPECT_EQ(m.kind, row.kind);
            EXPECT_EQ(m.caption, row.caption);
        }
        EXPECT_EQ(sim::Messages()[0].text, "本文");
        EXPECT_EQ(sim::Messages()[0].buttons, MsgButtons::Ok);
        EXPECT_EQ(sim::Messages()[1].buttons, MsgButtons::YesNo);
    }
}

}  // namespace
