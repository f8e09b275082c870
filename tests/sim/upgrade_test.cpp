// A new version over an old one on the sim backend: the folder the wizard
// proposes, the records the new uninstaller carries, and the uninstallation
// that then leaves nothing of either version.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/PreviousInstall_unit.h"
#include "platform/FileSystem.h"
#include "platform/sim/Sim.h"
#include "run_fixture.h"

using namespace runtest;
using plat::RootKey;

namespace {

const char kTyped[] = "C:\\Program Files\\Tools\\App";  // not the default, C:\Program Files\Demo
const char kDefault[] = "C:\\Program Files\\Demo";

std::string In(const std::string& rest) { return std::string(kTyped) + rest; }

class Upgrade : public RunTest {
protected:
    void SetUp() override {
        RunTest::SetUp();
        sim::AddKey(RootKey::LocalMachine, kListKey);
    }

    void Source(const std::string& name) { sim::AddFile("C:\\work\\" + name, name + " bytes"); }
    void File(const std::string& name, const std::string& dest, int deleteMode = 0) {
        Source(name);
        TCopyFile& f = project.Files.Add();
        f.SourceFile = name;
        f.DestFile = dest;
        f.DeleteMode = static_cast<uint8_t>(deleteMode);
    }
    void Folder(const std::string& path, int keep = 0) {
        TMakeFolder& f = project.Folders.Add();
        f.FolderPath = path;
        f.KeepOnUninstall = static_cast<uint8_t>(keep);
    }
    void Shortcut(const std::string& link) {
        TShortCutFile& s = project.Shortcuts.Add();
        s.LinkFile = link;
        s.TargetFile = "[Install Folder]\\app.exe";
    }

    // Version 1: a file kept on uninstall, a file and a folder version 2
    // drops, a file whose DeleteMode version 2 changes, a shortcut it replaces.
    void Version1() {
        project.Folders.Clear();
        project.Files.Clear();
        project.Shortcuts.Clear();
        Folder("[Install Folder]");
        Folder("[Install Folder]\\old");
        Folder("[Install Folder]\\old\\deep");
        Folder("スタート\\プログラム\\Demo");
        File("app.exe", "[Install Folder]\\app.exe");
        File("settings.ini", "[Install Folder]\\settings.ini", 1);
        File("mode.txt", "[Install Folder]\\mode.txt", 0);
        File("dropped.txt", "[Install Folder]\\dropped.txt");
        File("o.txt", "[Install Folder]\\old\\deep\\o.txt");
        Shortcut("スタート\\プログラム\\Demo\\App 1");
    }
    void Version2() {
        project.Folders.Clear();
        project.Files.Clear();
        project.Shortcuts.Clear();
        Folder("[Install Folder]");
        Folder("スタート\\プログラム\\Demo");
        File("app.exe", "[Install Folder]\\APP.EXE");  // the same file, another spelling
        File("mode.txt", "[Install Folder]\\mode.txt", 1);
        File("added.txt", "[Install Folder]\\added.txt");
        Shortcut("スタート\\プログラム\\Demo\\App 2");
    }

    // Installs the project into the proposed folder (or the one given) with a
    // fresh wizard.
    void InstallAt(const std::string& location = std::string()) {
        form.reset();
        StartInstaller();
        if (HasFatalFailure()) return;
        if (!location.empty()) form->LocationEdit.SetCaption(location);
        RunInstallFromProgressPage();
        ASSERT_TRUE(form->Session.RunSucceeded);
    }

    std::unique_ptr<TProjectProperty> InstalledCopy(const std::string& folder = kTyped) {
        auto copy = std::make_unique<TProjectProperty>();
        copy->Load(folder + std::string("\\Setup.ini"));
        return copy;
    }

    static std::vector<std::string> Dests(const TProjectProperty& p) {
        std::vector<std::string> out;
        for (int i = 0; i < p.Files.Count(); ++i) {
            out.push_back(p.Files.Items(i).DestFile + "*" + std::to_string(p.Files.Items(i).DeleteMode));
        }
        for (int i = 0; i < p.Folders.Count(); ++i) out.push_back(p.Folders.Items(i).FolderPath);
        for (int i = 0; i < p.Shortcuts.Count(); ++i) out.push_back(p.Shortcuts.Items(i).LinkFile);
        return out;
    }

    // What stands below the typed folder and the Start menu folder.
    static std::vector<std::string> Remaining() {
        std::vector<std::string> out;
        for (const sim::Entry& e : sim::TakeSnapshot()) {
            if (e.path.find("\\Tools\\") != std::string::npos || e.path.find("\\Demo") != std::string::npos) {
                out.push_back(e.path);
            }
        }
        return out;
    }
};

struct ProposalCase {
    const char* name;
    const char* installLocation;  // nullptr: no such value
    const char* uninstallString;
    bool uninstallerThere;
    int usePrevious;
    int directorySwitch;
    const char* proposed;
};

TEST_F(Upgrade, TheWizardProposesThePreviousFolder) {
    const std::string uninstaller = In("\\Setup.exe");
    const std::string quoted = "\"" + uninstaller + "\"";
    const ProposalCase cases[] = {
        {"InstallLocation", kTyped, quoted.c_str(), true, 1, 0, kTyped},
        {"InstallLocation with a final separator", "C:\\Program Files\\Tools\\App\\", quoted.c_str(), true, 1, 0,
         kTyped},
        {"UninstallString alone (an entry of an older version)", nullptr, quoted.c_str(), true, 1, 0, kTyped},
        {"the folder was deleted by hand", kTyped, quoted.c_str(), false, 1, 0, kDefault},
        {"InstallLocation does not hold the uninstaller", "C:\\Program Files\\Elsewhere", quoted.c_str(), true, 1,
         0, kDefault},
        {"UsePreviousLocation=0 keeps the default", kTyped, quoted.c_str(), true, 0, 0, kDefault},
        {"the location page is hidden", kTyped, quoted.c_str(), true, 1, 1, kTyped},
    };
    for (const ProposalCase& c : cases) {
        SCOPED_TRACE(c.name);
        form.reset();
        SetUp();
        const std::string key = Key(project.UnInstallKey);
        if (c.installLocation) {
            sim::SetValue(RootKey::LocalMachine, key, "InstallLocation", plat::RegType::String, c.installLocation);
        }
        sim::SetValue(RootKey::LocalMachine, key, "UninstallString", plat::RegType::String, c.uninstallString);
        if (c.uninstallerThere) sim::AddFile(uninstaller, "MZ");
        project.UsePreviousLocation = static_cast<uint8_t>(c.usePrevious);
        project.DirectorySwitch = static_cast<uint8_t>(c.directorySwitch);
        form.reset();
        StartInstaller();
        EXPECT_EQ(form->LocationEdit.Caption(), c.proposed);
    }
}

TEST_F(Upgrade, TheNewUninstallerCarriesWhatTheNewProjectDrops) {
    Version1();
    InstallAt(kTyped);
    Version2();
    InstallAt();  // the proposal
    ASSERT_EQ(form->LocationEdit.Caption(), kTyped);

    // New records first, as the new project lists them; the dropped ones of
    // version 1 after them, with the fields version 1 gave them. The file of
    // both versions and the changed DeleteMode are version 2's.
    const std::vector<std::string> expected = {
        "[Install Folder]\\APP.EXE*0",
        "[Install Folder]\\mode.txt*1",
        "[Install Folder]\\added.txt*0",
        "[Install Folder]\\settings.ini*1",
        "[Install Folder]\\dropped.txt*0",
        "[Install Folder]\\old\\deep\\o.txt*0",
        "[Install Folder]",
        "スタート\\プログラム\\Demo",
        "[Install Folder]\\old",
        "[Install Folder]\\old\\deep",
        "スタート\\プログラム\\Demo\\App 2",
        "スタート\\プログラム\\Demo\\App 1",
    };
    EXPECT_EQ(Dests(*InstalledCopy()), expected);

    Uninstall(In("\\Setup.exe"));
    ASSERT_TRUE(uninstaller->Session.RunSucceeded);
    // What the projects keep (DeleteMode 1 of either version) stays, with
    // the folder that holds it and the uninstaller, which removes itself
    // once it has ended; nothing else of either version.
    std::vector<std::string> kept = {In("\\"), In("\\mode.txt"), In("\\settings.ini"), In("\\Setup.exe"),
                                     In("\\Setup.ini")};
    std::vector<std::string> left;
    for (const std::string& path : Remaining()) {
        if (path.find("Tools\\App") != std::string::npos) left.push_back(path);
    }
    std::sort(kept.begin(), kept.end());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, kept);
    EXPECT_FALSE(sim::Exists(std::string(sim::kProgramsFolder) + "\\Demo"));
    EXPECT_FALSE(sim::KeyExists(RootKey::LocalMachine, Key(project.UnInstallKey)));
}

TEST_F(Upgrade, ADifferentFolderOrAnUntrustedCopyCarriesNothing) {
    struct Case {
        const char* name;
        const char* second;  // where version 2 goes
        std::function<void()> between;
        bool noted;  // the run tells why nothing was carried
    } cases[] = {
        {"another folder", "C:\\Program Files\\Other", [] {}, false},
        {"the copy was loosened after the installation", kTyped,
         [] { sim::SetDacl(In("\\Setup.ini"), "D:(A;;FA;;;WD)"); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        form.reset();
        SetUp();
        Version1();
        InstallAt(kTyped);
        c.between();
        Version2();
        InstallAt(c.second);
        const auto copy = InstalledCopy(c.second);
        EXPECT_EQ(copy->Files.Count(), 3);
        EXPECT_EQ(copy->Shortcuts.Count(), 1);
        const std::vector<std::string>& debug = sim::DebugOutput();
        const bool noted = std::any_of(debug.begin(), debug.end(), [](const std::string& line) {
            return line.find("Setup.ini: not read:") != std::string::npos;
        });
        EXPECT_EQ(noted, c.noted);
    }
}

// The order of removal: folders are removed last first, so every child must
// stand after its parent whichever version listed it.
TEST(CarryPreviousRecords, ChildFoldersComeAfterTheirParents) {
    struct Case {
        std::vector<std::string> current, previous, merged;
    } cases[] = {
        {{"X\\a", "X\\a\\b\\c"}, {"X\\a", "X\\a\\b", "X\\z", "X\\z\\y"}, {"X\\a", "X\\a\\b", "X\\a\\b\\c", "X\\z", "X\\z\\y"}},
        {{"X\\data\\cache"}, {"X\\data"}, {"X\\data", "X\\data\\cache"}},
        {{"X\\a"}, {"x\\A\\", "X\\a\\b"}, {"X\\a", "X\\a\\b"}},
    };
    for (const Case& c : cases) {
        TProjectProperty current, previous;
        for (const std::string& f : c.current) current.Folders.Add().FolderPath = f;
        for (const std::string& f : c.previous) previous.Folders.Add().FolderPath = f;
        CarryPreviousRecords(current, previous, [](const std::string& p) { return "C:\\" + p; });
        std::vector<std::string> merged;
        for (int i = 0; i < current.Folders.Count(); ++i) merged.push_back(current.Folders.Items(i).FolderPath);
        EXPECT_EQ(merged, c.merged);
    }
}

}  // namespace
