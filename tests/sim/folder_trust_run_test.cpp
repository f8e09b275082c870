// The folder-trust rule in the product: the location page's Next, the
// installation run (which makes the location and judges it again before the
// first copy) and the uninstaller, on the simulated machine.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/FolderTrust.h"
#include "platform/PathRules.h"
#include "platform/Security.h"
#include "platform/sim/Sim.h"
#include "run_fixture.h"

using namespace runtest;
using plat::RootKey;

namespace {

const char kOther[] = "S-1-5-21-3623811015-3361044348-30300820-1002";  // another standard user
const char kOwnRules[] = "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FRFX;;;BU)";
const char kNotLocation[] = "、インストール先にできません。\n\n";

class FolderTrustRun : public RunTest {
protected:
    // A folder record and a file inside the installation folder.
    void UseSmallProject(const std::string& location) {
        project.DirectorySwitch = 1;
        project.InitDirectory = 1;
        project.SubDirectory = location;
        project.Folders.Add().FolderPath = "[Install Folder]\\data";
        sim::AddFile("C:\\work\\payload\\a.txt", "a");
        TCopyFile& f = project.Files.Add();
        f.SourceFile = "payload\\a.txt";
        f.DestFile = "[Install Folder]\\data\\a.txt";
    }

    void ExpectOneRefusal(const std::string& text) {
        ASSERT_EQ(sim::Messages().size(), 1u);
        const sim::ShownMessage& m = sim::Messages()[0];
        EXPECT_EQ(m.caption, "Orvane");
        EXPECT_EQ(m.kind, plat::MsgKind::Error);
        EXPECT_EQ(m.buttons, plat::MsgButtons::Ok);
        EXPECT_EQ(m.text, text);
    }
};

TEST_F(FolderTrustRun, TheLocationPageRefusesAtNextAndStays) {
    struct Case {
        const char* location;
        std::function<void()> arrange;
        const char* refusal;  // "" when Next goes on
    };
    const Case cases[] = {
        {"C:\\Program Files\\Demo", [] {}, ""},
        {"C:\\New App", [] {}, ""},  // a new folder at the root of drive C
        {"C:\\work\\App", [] {},
         "次のフォルダは他のユーザーが所有していて変更できるため、インストール先にできません。\n\nC:\\work"},
        {"E:\\App",
         [] {
             sim::AddDrive('E');
             sim::SetKeepsAccessRules('E', false);
         },
         "次のフォルダはアクセス権のないドライブ（FAT など）にあるため、インストール先にできません。\n\nE:\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.location);
        SetUp();
        c.arrange();
        project.MessageDisp = 0;
        project.LisenceUse = false;
        StartInstaller();
        form->ShowPage(1);
        ASSERT_EQ(form->PageBook.ActivePage(), &form->LocationSheet);
        form->LocationEdit.SetCaption(c.location);
        form->NextButtonClick();
        if (*c.refusal) {
            ExpectOneRefusal(c.refusal);
            EXPECT_EQ(form->PageBook.ActivePage(), &form->LocationSheet);
        } else {
            EXPECT_TRUE(sim::Messages().empty());
            EXPECT_EQ(form->PageBook.ActivePage(), &form->CopyStartSheet);
        }
        EXPECT_FALSE(sim::Exists(c.location)) << "Next makes nothing";
        TearDown();
    }
}

TEST_F(FolderTrustRun, TheRunMakesTheLocationAndRefusesWhatOthersCouldChange) {
    struct Case {
        const char* name;
        const char* location;
        std::function<void()> arrange;
        const char* failing;  // "" when the installation goes through
        const char* reason;
    };
    const Case cases[] = {
        {"below Program Files: plain inheritance", "C:\\Program Files\\Demo", [] {}, "", ""},
        {"below C:\\: rules of its own from the start", "C:\\Tools", [] {}, "", ""},
        {"pre-created by another user", "C:\\Program Files\\Vendor\\App",
         [] {
             sim::AddFolder("C:\\Program Files\\Vendor");
             sim::SetOwner("C:\\Program Files\\Vendor", kOther);
         },
         "C:\\Program Files\\Vendor", "次のフォルダは他のユーザーが所有していて変更できるため"},
        {"a junction in the path", "C:\\Program Files\\Vendor\\App",
         [] {
             sim::AddFolder("C:\\Program Files\\Vendor");
             sim::SetReparsePoint("C:\\Program Files\\Vendor");
         },
         "C:\\Program Files\\Vendor", "次のフォルダは別の場所へのリンク（ジャンクションなど）のため"},
        {"a parent users may change", "C:\\Shared\\App", [] { sim::AddFolder("C:\\Shared"); }, "C:\\Shared",
         "次のフォルダは他のユーザーが変更できるため"},
        // Never a folder of whatever the current folder is.
        {"a relative path", "Demo", [] {}, "Demo", "次の場所は完全なパスではないため"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        c.arrange();
        UseSmallProject(c.location);
        const bool failingExisted = sim::Exists(c.failing);
        StartInstaller();
        // Without the location page the run's own check is the one that speaks.
        RunInstallFromProgressPage();
        const std::string location = c.location;
        if (!*c.failing) {
            EXPECT_TRUE(form->Session.RunSucceeded) << form->Session.Engine().FailureRecord().text;
            EXPECT_TRUE(sim::IsFile(location + "\\data\\a.txt"));
            EXPECT_EQ(sim::Owner(location), "BA");
            const std::string parent = plat::path::FolderOf(location);
            const std::string expected = parent == "C:\\" ? std::string(kOwnRules)
                                                           : plat::InheritedDacl(plat::ReadAccess(parent), true, "BA");
            EXPECT_EQ(plat::ReadAccess(location), expected);
            TearDown();
            continue;
        }
        ExpectOneRefusal(std::string(c.reason) + kNotLocation + c.failing);
        EXPECT_FALSE(form->Session.RunSucceeded);
        EXPECT_TRUE(form->Destroyed());
        const TFailureRecord& record = form->Session.Engine().FailureRecord();
        EXPECT_EQ(record.record, TRecordRef{rkInstallFolder});
        EXPECT_EQ(record.path, c.failing);
        EXPECT_EQ(record.text.rfind(std::string("Refused ") + c.failing + ": ", 0), 0u) << record.text;
        // Nothing written, nothing registered; the folders the run made are gone again.
        EXPECT_FALSE(sim::Exists(location)) << "made by the run, left empty";
        EXPECT_EQ(sim::Exists(c.failing), failingExisted) << "not the run's to remove";
        EXPECT_FALSE(sim::KeyExists(RootKey::LocalMachine, Key("OrvaneDemo")));
        TearDown();
    }
}

TEST_F(FolderTrustRun, TheUninstallerRefusesWhatWasLoosenedAfterTheInstallation) {
    struct Case {
        const char* name;
        std::function<void()> loosen;
        const char* refusal;
    };
    const Case cases[] = {
        {"its folder", [] { sim::SetDacl("C:\\Tools", plat::ReadAccess("C:\\Tools") + "(A;OICI;0x1301bf;;;BU)"); },
         "次のフォルダは他のユーザーが変更できるため、アンインストールを実行できません。\n\nC:\\Tools"},
        {"the program", [] { sim::SetDacl("C:\\Tools\\Setup.exe", "D:(A;;FA;;;WD)"); },
         "次のファイルは他のユーザーが変更できるため、アンインストールを実行できません。\n\nC:\\Tools\\Setup.exe"},
        {"its project copy", [] { sim::SetOwner("C:\\Tools\\Setup.ini", kOther); },
         "次のファイルは他のユーザーが所有していて変更できるため、アンインストールを実行できません。\n\n"
         "C:\\Tools\\Setup.ini"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        UseSmallProject("C:\\Tools");
        StartInstaller();
        RunInstallFromProgressPage();
        ASSERT_TRUE(form->Session.RunSucceeded);
        sim::ClearMessages();
        c.loosen();
        Uninstall("C:\\Tools\\Setup.exe");
        ExpectOneRefusal(c.refusal);
        EXPECT_EQ(sim::PendingAnswers(), 1u) << "asked before judging";
        EXPECT_TRUE(Closed(uninstaller));
        // Nothing removed, the registration kept, no self-removal.
        EXPECT_TRUE(sim::IsFile("C:\\Tools\\data\\a.txt"));
        EXPECT_TRUE(sim::IsFile("C:\\Tools\\Setup.exe"));
        EXPECT_TRUE(sim::KeyExists(RootKey::LocalMachine, Key("OrvaneDemo")));
        TearDown();
    }
}

}  // namespace
