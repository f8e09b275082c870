// The folder-trust rule over the owners and DACLs that Windows and Wine show.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/FolderTrust.h"
#include "platform/Security.h"
#include "platform/sim/WindowsDescriptors.h"

using namespace plat;
namespace d = sim::descriptors;

namespace {

const TrustIdentity kElevated = {d::kUser, false, "BA"};  // UAC on: the user is one of the adversaries
const TrustIdentity kUacOff = {d::kUser, true, d::kUser};
const char kWineUser[] = "S-1-5-21-0-0-0-1000";
const TrustIdentity kWine = {kWineUser, true, kWineUser};

// What Wine 8 reports for a folder of its prefix, by the Unix mode: the
// owner and SYSTEM full, Everyone as the "other" bits allow.
const std::string kWineMode755 = "D:(A;OICI;FA;;;SY)(A;OICI;FA;;;S-1-5-21-0-0-0-1000)(A;OICI;0x1200a9;;;WD)";
const std::string kWineMode777 = "D:(A;OICI;FA;;;SY)(A;OICI;FA;;;S-1-5-21-0-0-0-1000)(A;OICI;0x1301ff;;;WD)";

// The folder we make, as we give it: owner and DACL of our own rules.
d::Descriptor Ours() {
    static std::string owner, dacl;
    SplitDescriptor(kInstallFolderAccess, owner, dacl);
    return {owner.c_str(), dacl.c_str()};
}

SecurityFacts Folder(const char* path, const d::Descriptor& sd, uint32_t extra = 0) {
    SecurityFacts f;
    f.path = path;
    f.exists = true;
    f.attributes = 0x10 | extra;
    f.owner = sd.owner;
    f.dacl = sd.dacl;
    return f;
}
SecurityFacts File(const char* path, const d::Descriptor& sd) {
    SecurityFacts f = Folder(path, sd);
    f.attributes = 0x20;
    return f;
}
SecurityFacts Missing(const char* path) {
    SecurityFacts f;
    f.path = path;
    return f;
}
SecurityFacts Fat(const char* path) {
    SecurityFacts f = Folder(path, {"", ""});
    f.keepsAccessRules = false;
    return f;
}

// A folder made below a parent with plain inheritance, owned as given.
d::Descriptor Inherited(const d::Descriptor& parent, const char* owner, bool folder = true) {
    static std::vector<std::string> keep;
    keep.push_back(InheritedDacl(parent.dacl, folder, owner));
    return {owner, keep.back().c_str()};
}

struct ChainCase {
    const char* name;
    std::vector<SecurityFacts> chain;
    TrustIdentity identity;
    bool file;
    TrustProblem problem;
    const char* failing;  // the entry named by the verdict
    const char* who;
};

TEST(FolderTrust, EachChainOfRealDescriptorsGetsItsVerdict) {
    const d::Descriptor pfApp = Inherited(d::kProgramFiles, "BA");
    const std::string wine755 = kWineMode755, wine777 = kWineMode777;
    const d::Descriptor wineFolder = {kWineUser, wine755.c_str()}, wineOpen = {kWineUser, wine777.c_str()};
    const d::Descriptor programFile = {"BA", "D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FRFX;;;BU)"};
    const ChainCase cases[] = {
        {"default location below Program Files",
         {Folder("C:\\", d::kSystemDriveRoot), Folder("C:\\Program Files", d::kProgramFiles),
          Folder("C:\\Program Files\\App", pfApp)},
         kElevated, false, TrustProblem::None, "C:\\Program Files\\App", ""},
        {"Program Files (x86)",
         {Folder("C:\\", d::kSystemDriveRoot), Folder("C:\\Program Files (x86)", d::kProgramFiles),
          Folder("C:\\Program Files (x86)\\App", pfApp)},
         kElevated, false, TrustProblem::None, "C:\\Program Files (x86)\\App", ""},
        {"not there yet below Program Files",
         {Folder("C:\\", d::kSystemDriveRoot), Folder("C:\\Program Files", d::kProgramFiles),
          Missing("C:\\Program Files\\New"), Missing("C:\\Program Files\\New\\Sub")},
         kElevated, false, TrustProblem::None, "C:\\Program Files\\New\\Sub", ""},
        {"the drive root itself: Authenticated Users add subfolders",
         {Folder("C:\\", d::kSystemDriveRoot)}, kElevated, false, TrustProblem::WritableByOthers, "C:\\",
         "S-1-5-11"},
        {"a folder a user made below C:\\",
         {Folder("C:\\", d::kSystemDriveRoot), Folder("C:\\Tools", d::kUserFolderBelowSystemRoot)}, kElevated,
         false, TrustProblem::UntrustedOwner, "C:\\Tools", d::kUser},
        {"a folder an administrator made below C:\\ with plain inheritance",
         {Folder("C:\\", d::kSystemDriveRoot), Folder("C:\\Tools", Inherited(d::kSystemDriveRoot, "BA"))},
         kElevated, false, TrustProblem::WritableByOthers, "C:\\Tools", "S-1-5-11"},
        {"our folder below C:\\",
         {Folder("C:\\", d::kSystemDriveRoot), Folder("C:\\Tools", Ours()),
          Folder("C:\\Tools\\App", Inherited(Ours(), "BA"))},
         kElevated, false, TrustProblem::None, "C:\\Tools\\App", ""},
        {"our folder below a user's folder: its user can rename it away",
         {Folder("C:\\", d::kSystemDriveRoot), Folder("C:\\Tools", d::kUserFolderBelowSystemRoot),
          Folder("C:\\Tools\\App", Ours())},
         kElevated, false, TrustProblem::UntrustedOwner, "C:\\Tools", d::kUser},
        {"below the profile, UAC on: the user's own processes may replace it",
         {Folder("C:\\", d::kSystemDriveRoot), Folder("C:\\Users", d::kUsers),
          Folder("C:\\Users\\alice", d::kProfile), Folder("C:\\Users\\alice\\App", Ours())},
         kElevated, false, TrustProblem::WritableByOthers, "C:\\Users\\alice", d::kUser},
        {"below the profile, UAC off: every process of the user is an administrator",
         {Folder("C:\\", d::kSystemDriveRoot), Folder("C:\\Users", d::kUsers),
          Folder("C:\\Users\\alice", d::kProfile), Folder("C:\\Users\\alice\\App", Ours())},
         kUacOff, false, TrustProblem::None, "C:\\Users\\alice\\App", ""},
        {"C:\\ProgramData itself: Users add files",
         {Folder("C:\\", d::kSystemDriveRoot), Folder("C:\\ProgramData", d::kProgramData)}, kElevated, false,
         TrustProblem::WritableByOthers, "C:\\ProgramData", "S-1-5-32-545"},
        {"a folder made below C:\\ProgramData with plain inheritance",
         {Folder("C:\\", d::kSystemDriveRoot), Folder("C:\\ProgramData", d::kProgramData),
          Folder("C:\\ProgramData\\Vendor", Inherited(d::kProgramData, "BA"))},
         kElevated, false, TrustProblem::WritableByOthers, "C:\\ProgramData\\Vendor", "S-1-5-32-545"},
        {"our folder below C:\\ProgramData",
         {Folder("C:\\", d::kSystemDriveRoot), Folder("C:\\ProgramData", d::kProgramData),
          Folder("C:\\ProgramData\\Vendor", Ours())},
         kElevated, false, TrustProblem::None, "C:\\ProgramData\\Vendor", ""},
        {"a new NTFS volume's root itself",
         {Folder("D:\\", d::kNewVolumeRoot)}, kElevated, false, TrustProblem::WritableByOthers, "D:\\", "S-1-5-11"},
        {"our folder on a new NTFS volume: nobody can delete or rename a root",
         {Folder("D:\\", d::kNewVolumeRoot), Folder("D:\\App", Ours())}, kElevated, false, TrustProblem::None,
         "D:\\App", ""},
        {"a folder made on a new NTFS volume with plain inheritance",
         {Folder("D:\\", d::kNewVolumeRoot), Folder("D:\\App", Inherited(d::kNewVolumeRoot, "BA"))}, kElevated,
         false, TrustProblem::WritableByOthers, "D:\\App", "S-1-5-11"},
        {"a FAT volume keeps no rules",
         {Fat("E:\\"), Fat("E:\\App")}, kElevated, false, TrustProblem::NoAccessRules, "E:\\", ""},
        {"a junction in the chain",
         {Folder("C:\\", d::kSystemDriveRoot), Folder("C:\\Program Files", d::kProgramFiles),
          Folder("C:\\Program Files\\Vendor", pfApp, kAttrReparsePoint), Folder("C:\\Program Files\\Vendor\\App", pfApp)},
         kElevated, false, TrustProblem::ReparsePoint, "C:\\Program Files\\Vendor", ""},
        {"a NULL DACL",
         {Folder("C:\\", d::kSystemDriveRoot), Folder("C:\\Program Files", d::kProgramFiles),
          Folder("C:\\Program Files\\App", {"BA", "D:NO_ACCESS_CONTROL"})},
         kElevated, false, TrustProblem::NullDacl, "C:\\Program Files\\App", "S-1-1-0"},
        {"rules that cannot be read",
         {Folder("C:\\", d::kSystemDriveRoot), Folder("C:\\App", {"BA", "D:P(A;;ZZ;;;WD)"})}, kElevated, false,
         TrustProblem::UnknownRules, "C:\\App", ""},
        {"a file where a folder belongs",
         {Folder("C:\\", d::kSystemDriveRoot), File("C:\\App", Ours())}, kElevated, false,
         TrustProblem::NotAFolder, "C:\\App", ""},
        {"the uninstaller in our folder",
         {Folder("C:\\", d::kSystemDriveRoot), Folder("C:\\Tools", Ours()),
          File("C:\\Tools\\Setup.exe", programFile)},
         kElevated, true, TrustProblem::None, "C:\\Tools\\Setup.exe", ""},
        {"an uninstaller that inherited a user's write",
         {Folder("C:\\", d::kSystemDriveRoot), Folder("C:\\Program Files", d::kProgramFiles),
          Folder("C:\\Program Files\\App", pfApp),
          File("C:\\Program Files\\App\\Setup.exe", {"BA", "D:AI(A;ID;FA;;;BA)(A;ID;0x1301bf;;;BU)"})},
         kElevated, true, TrustProblem::WritableByOthers, "C:\\Program Files\\App\\Setup.exe", "S-1-5-32-545"},
        {"an uninstaller that is gone",
         {Folder("C:\\", d::kSystemDriveRoot), Missing("C:\\App"), Missing("C:\\App\\Setup.exe")}, kElevated, true,
         TrustProblem::Missing, "C:\\App\\Setup.exe", ""},
        {"Wine: the prefix's Program Files and a folder made there",
         {Folder("C:\\", wineFolder), Folder("C:\\Program Files", wineFolder),
          Folder("C:\\Program Files\\App", wineFolder)},
         kWine, false, TrustProblem::None, "C:\\Program Files\\App", ""},
        {"Wine: a folder whose Unix mode is 0777",
         {Folder("C:\\", wineFolder), Folder("C:\\Open", wineOpen)}, kWine, false, TrustProblem::WritableByOthers,
         "C:\\Open", "S-1-1-0"},
        {"Wine's descriptors where the user is no administrator",
         {Folder("C:\\", wineFolder)}, kElevated, false, TrustProblem::UntrustedOwner, "C:\\", kWineUser},
    };
    for (const ChainCase& c : cases) {
        TrustVerdict v = JudgeChain(c.chain, c.identity, c.file);
        EXPECT_EQ(v.problem, c.problem) << c.name << ": " << v.Reason();
        EXPECT_EQ(v.path, c.failing) << c.name;
        EXPECT_EQ(v.who, c.who) << c.name;
        EXPECT_FALSE(v.Reason().empty()) << c.name;
    }
}

TEST(FolderTrust, OnlyTheRightsThatMatterForTheRoleFail) {
    // Rights a DACL entry may give Users, on the folder itself and on a
    // folder above it.
    struct Case {
        const char* rights;
        bool failsItself, failsAbove;
    };
    const Case cases[] = {
        {"FA", true, true},         {"GA", true, true},        {"0x1301bf", true, true},
        {"GW", true, false},        {"FW", true, false},       {"DC", true, false},
        {"LC", true, false},        {"DT", true, true},        {"SD", true, true},
        {"WD", true, true},         {"WO", true, true},        {"0x40000", true, true},
        {"FRFX", false, false},     {"0x1200a9", false, false}, {"GRGX", false, false},
        {"CRRP", false, false},     {"RC", false, false},
    };
    for (const Case& c : cases) {
        const std::string dacl = std::string("D:(A;;FA;;;BA)(A;;") + c.rights + ";;;BU)";
        const d::Descriptor given = {"BA", dacl.c_str()};
        std::vector<SecurityFacts> itself = {Folder("C:\\", d::kSystemDriveRoot), Folder("C:\\A", given)};
        std::vector<SecurityFacts> above = {Folder("C:\\", d::kSystemDriveRoot), Folder("C:\\A", given),
                                            Folder("C:\\A\\B", Ours())};
        EXPECT_EQ(!JudgeChain(itself, kElevated, false).Trusted(), c.failsItself) << c.rights;
        EXPECT_EQ(!JudgeChain(above, kElevated, false).Trusted(), c.failsAbove) << c.rights;
    }
    // Inherit-only entries and the creator's entries name nobody on the folder.
    for (const char* dacl : {"D:(A;OICIIO;FA;;;BU)", "D:(A;;FA;;;CO)", "D:(A;;FA;;;OW)", "D:(D;;FA;;;BU)"}) {
        EXPECT_TRUE(JudgeChain({Folder("D:\\", {"BA", dacl})}, kElevated, false).Trusted()) << dacl;
    }
}

TEST(FolderTrust, ChainPathsOfPlainFullPaths) {
    struct Case {
        const char* path;
        std::vector<std::string> chain;
    };
    const Case cases[] = {
        {"C:\\Program Files\\App", {"C:\\", "C:\\Program Files", "C:\\Program Files\\App"}},
        {"c:/Tools//App\\", {"c:\\", "c:\\Tools", "c:\\Tools\\App"}},
        {"C:\\.\\Tools\\App. .", {"C:\\", "C:\\Tools", "C:\\Tools\\App"}},
        // ソ is 83 5C: its second byte is no separator.
        {"D:\\ソフト\\表", {"D:\\", "D:\\ソフト", "D:\\ソフト\\表"}},
        {"\\\\server\\share\\App", {"\\\\server\\share\\", "\\\\server\\share\\App"}},
        {"C:\\", {"C:\\"}},
        {"C:\\Tools\\..\\Windows", {}},
        {"C:\\Tools.\\App", {}},
        {"C:App", {}},
        {"Tools\\App", {}},
        {"\\Tools", {}},
        {"\\\\?\\C:\\Tools", {}},
        {"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(ChainPaths(c.path), c.chain) << c.path;
}

TEST(FolderTrust, InheritanceAsWindowsShowsIt) {
    // mkdir C:\Tools: what Windows shows for it (see the descriptors).
    EXPECT_EQ(InheritedDacl(d::kSystemDriveRoot.dacl, true, d::kUser), d::kUserFolderBelowSystemRoot.dacl);
    // A file gets what passes to files, CREATOR OWNER named.
    EXPECT_EQ(InheritedDacl(d::kProgramData.dacl, false, "BA"),
              "D:AI(A;ID;FA;;;SY)(A;ID;FA;;;BA)(A;ID;FA;;;BA)(A;ID;0x1200a9;;;BU)");
    // Our rules pass on to what is made inside, unchanged.
    std::string owner, dacl;
    ASSERT_TRUE(SplitDescriptor(kInstallFolderAccess, owner, dacl));
    EXPECT_EQ(owner, "BA");
    EXPECT_EQ(InheritedDacl(dacl, true, "BA"), "D:AI(A;OICIID;FA;;;SY)(A;OICIID;FA;;;BA)(A;OICIID;FRFX;;;BU)");
    EXPECT_EQ(InheritedDacl("D:NO_ACCESS_CONTROL", true, "BA"), "");
}

TEST(FolderTrust, DescriptorTextSplitsIntoOwnerAndDacl) {
    struct Case {
        const char* sddl;
        bool ok;
        const char* owner;
        const char* dacl;
    };
    const Case cases[] = {
        {"O:SYG:SYD:PAI(A;OICI;FA;;;SY)", true, "SY", "D:PAI(A;OICI;FA;;;SY)"},
        {"O:S-1-5-21-0-0-0-1000G:S-1-5-21-0-0-0-513D:(A;;FA;;;WD)S:(ML;;NW;;;HI)", true, "S-1-5-21-0-0-0-1000",
         "D:(A;;FA;;;WD)"},
        {"O:BAD:NO_ACCESS_CONTROL", true, "BA", "D:NO_ACCESS_CONTROL"},
        {"O:BA", true, "BA", ""},
        {"D:(XA;;FA;;;WD;(@User.x == \"a:b\"))", true, "", "D:(XA;;FA;;;WD;(@User.x == \"a:b\"))"},
        {"garbage", false, "", ""},
    };
    for (const Case& c : cases) {
        std::string owner, dacl;
        EXPECT_EQ(SplitDescriptor(c.sddl, owner, dacl), c.ok) << c.sddl;
        if (!c.ok) continue;
        EXPECT_EQ(owner, c.owner) << c.sddl;
        EXPECT_EQ(dacl, c.dacl) << c.sddl;
    }
}

}  // namespace
