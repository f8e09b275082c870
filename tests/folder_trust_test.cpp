// The folder-trust rule over the owners and DACLs that Windows and Wine show.
#include <gtest/gtest.h>

#include <string>
#include <utility>
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

// An owner and a DACL.
struct Sd {
    std::string owner, dacl;
    Sd(const d::Descriptor& sd) : owner(sd.owner), dacl(sd.dacl) {}  // NOLINT: the tables' shorthand
    Sd(std::string o, std::string a) : owner(std::move(o)), dacl(std::move(a)) {}
};

// The folder we make, as we give it.
Sd Ours() {
    std::string owner, dacl;
    SplitDescriptor(kInstallFolderAccess, owner, dacl);
    return {owner, dacl};
}
// A folder made below a parent with plain inheritance, owned as given.
Sd Inherited(const Sd& parent, const std::string& owner) { return {owner, InheritedDacl(parent.dacl, true, owner)}; }

// One entry of a chain: a folder, or with extra kAttrArchive a file; one
// that is not there; a volume that keeps no rules.
enum Kind { kThere, kMissing, kFat };
struct E {
    const char* path;
    Sd sd;
    uint32_t extra = 0;
    Kind kind = kThere;
};
std::vector<SecurityFacts> Chain(const std::vector<E>& entries) {
    std::vector<SecurityFacts> chain;
    for (const E& e : entries) {
        SecurityFacts f;
        f.path = e.path;
        f.exists = e.kind != kMissing;
        f.keepsAccessRules = e.kind != kFat;
        f.attributes = e.extra == kAttrArchive ? e.extra : kAttrDirectory | e.extra;
        f.owner = e.sd.owner;
        f.dacl = e.sd.dacl;
        chain.push_back(f);
    }
    return chain;
}

struct ChainCase {
    const char* name;
    std::vector<E> chain;
    TrustIdentity identity;
    bool file;
    TrustProblem problem;
    const char* failing;  // the entry named by the verdict
    const char* who;
};

TEST(FolderTrust, EachChainOfRealDescriptorsGetsItsVerdict) {
    const Sd none("", ""), pfApp = Inherited(d::kProgramFiles, "BA");
    const Sd wine(kWineUser, kWineMode755), wineOpen(kWineUser, kWineMode777);
    const E c{"C:\\", d::kSystemDriveRoot}, pf{"C:\\Program Files", d::kProgramFiles};
    const E pd{"C:\\ProgramData", d::kProgramData}, userTools{"C:\\Tools", d::kUserFolderBelowSystemRoot};
    const E profile[] = {c, {"C:\\Users", d::kUsers}, {"C:\\Users\\alice", d::kProfile},
                         {"C:\\Users\\alice\\App", Ours()}};
    const ChainCase cases[] = {
        {"default location below Program Files", {c, pf, {"C:\\Program Files\\App", pfApp}}, kElevated, false,
         TrustProblem::None, "C:\\Program Files\\App", ""},
        {"Program Files (x86)",
         {c, {"C:\\Program Files (x86)", d::kProgramFiles}, {"C:\\Program Files (x86)\\A", pfApp}},
         kElevated, false, TrustProblem::None, "C:\\Program Files (x86)\\A", ""},
        {"not there yet", {c, pf, {"C:\\Program Files\\New", none, 0, kMissing}}, kElevated, false,
         TrustProblem::None, "C:\\Program Files\\New", ""},
        {"the drive root itself: Authenticated Users add subfolders", {c}, kElevated, false,
         TrustProblem::WritableByOthers, "C:\\", "S-1-5-11"},
        {"a folder a user made below C:\\", {c, userTools}, kElevated, false, TrustProblem::UntrustedOwner,
         "C:\\Tools", d::kUser},
        {"an administrator's below C:\\, inherited", {c, {"C:\\Tools", Inherited(d::kSystemDriveRoot, "BA")}},
         kElevated, false, TrustProblem::WritableByOthers, "C:\\Tools", "S-1-5-11"},
        {"ours below C:\\", {c, {"C:\\Tools", Ours()}, {"C:\\Tools\\App", Inherited(Ours(), "BA")}}, kElevated,
         false, TrustProblem::None, "C:\\Tools\\App", ""},
        {"ours below a user's folder: its user can rename it away", {c, userTools, {"C:\\Tools\\App", Ours()}},
         kElevated, false, TrustProblem::UntrustedOwner, "C:\\Tools", d::kUser},
        {"below the profile, UAC on: the user's other processes may replace it",
         {profile[0], profile[1], profile[2], profile[3]}, kElevated, false, TrustProblem::WritableByOthers,
         "C:\\Users\\alice", d::kUser},
        {"below the profile, UAC off: each process of the user is an administrator",
         {profile[0], profile[1], profile[2], profile[3]}, kUacOff, false, TrustProblem::None,
         "C:\\Users\\alice\\App", ""},
        {"C:\\ProgramData itself: Users add files", {c, pd}, kElevated, false, TrustProblem::WritableByOthers,
         "C:\\ProgramData", "S-1-5-32-545"},
        {"below C:\\ProgramData, inherited", {c, pd, {"C:\\ProgramData\\V", Inherited(d::kProgramData, "BA")}},
         kElevated, false, TrustProblem::WritableByOthers, "C:\\ProgramData\\V", "S-1-5-32-545"},
        {"ours below C:\\ProgramData", {c, pd, {"C:\\ProgramData\\V", Ours()}}, kElevated, false,
         TrustProblem::None, "C:\\ProgramData\\V", ""},
        {"a new NTFS volume's root itself", {{"D:\\", d::kNewVolumeRoot}}, kElevated, false,
         TrustProblem::WritableByOthers, "D:\\", "S-1-5-11"},
        {"ours on a new NTFS volume: nobody deletes or renames a root",
         {{"D:\\", d::kNewVolumeRoot}, {"D:\\A", Ours()}},
         kElevated, false, TrustProblem::None, "D:\\A", ""},
        {"on a new NTFS volume, inherited",
         {{"D:\\", d::kNewVolumeRoot}, {"D:\\A", Inherited(d::kNewVolumeRoot, "BA")}},
         kElevated, false, TrustProblem::WritableByOthers, "D:\\A", "S-1-5-11"},
        {"a FAT volume keeps no rules", {{"E:\\", none, 0, kFat}, {"E:\\A", none, 0, kFat}}, kElevated, false,
         TrustProblem::NoAccessRules, "E:\\", ""},
        {"a junction in the chain",
         {c, pf, {"C:\\Program Files\\V", pfApp, kAttrReparsePoint}, {"C:\\Program Files\\V\\A", pfApp}},
         kElevated, false, TrustProblem::ReparsePoint, "C:\\Program Files\\V", ""},
        {"a NULL DACL", {c, pf, {"C:\\Program Files\\A", Sd("BA", "D:NO_ACCESS_CONTROL")}}, kElevated, false,
         TrustProblem::NullDacl, "C:\\Program Files\\A", "S-1-1-0"},
        {"rules that cannot be read", {c, {"C:\\A", Sd("BA", "D:P(A;;ZZ;;;WD)")}}, kElevated, false,
         TrustProblem::UnknownRules, "C:\\A", ""},
        {"a file where a folder belongs", {c, {"C:\\A", Ours(), kAttrArchive}}, kElevated, false,
         TrustProblem::NotAFolder, "C:\\A", ""},
        {"the uninstaller in our folder",
         {c, {"C:\\A", Ours()}, {"C:\\A\\Setup.exe", Sd("BA", kProgramFileAccess), kAttrArchive}}, kElevated, true,
         TrustProblem::None, "C:\\A\\Setup.exe", ""},
        {"an uninstaller that inherited a user's write",
         {c, pf, {"C:\\Program Files\\A", pfApp},
          {"C:\\Program Files\\A\\Setup.exe", Sd("BA", "D:AI(A;ID;FA;;;BA)(A;ID;0x1301bf;;;BU)"), kAttrArchive}},
         kElevated, true, TrustProblem::WritableByOthers, "C:\\Program Files\\A\\Setup.exe", "S-1-5-32-545"},
        {"an uninstaller that is gone", {c, {"C:\\A", none, 0, kMissing}, {"C:\\A\\Setup.exe", none, 0, kMissing}},
         kElevated, true, TrustProblem::Missing, "C:\\A\\Setup.exe", ""},
        {"Wine: the prefix's Program Files and a folder made there",
         {{"C:\\", wine}, {"C:\\Program Files", wine}, {"C:\\Program Files\\A", wine}}, kWine, false,
         TrustProblem::None, "C:\\Program Files\\A", ""},
        {"Wine: a folder whose Unix mode is 0777", {{"C:\\", wine}, {"C:\\Open", wineOpen}}, kWine, false,
         TrustProblem::WritableByOthers, "C:\\Open", "S-1-1-0"},
        {"Wine's descriptors where the user is no administrator", {{"C:\\", wine}}, kElevated, false,
         TrustProblem::UntrustedOwner, "C:\\", kWineUser},
    };
    for (const ChainCase& k : cases) {
        const TrustVerdict v = JudgeChain(Chain(k.chain), k.identity, k.file);
        EXPECT_EQ(v.problem, k.problem) << k.name << ": " << v.Reason();
        EXPECT_EQ(v.path, k.failing) << k.name;
        EXPECT_EQ(v.who, k.who) << k.name;
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
        {"FA", true, true},     {"GA", true, true},     {"0x1301bf", true, true},   {"GW", true, false},
        {"FW", true, false},    {"DC", true, false},    {"LC", true, false},        {"DT", true, true},
        {"SD", true, true},     {"WD", true, true},     {"WO", true, true},         {"0x40000", true, true},
        {"FRFX", false, false}, {"GRGX", false, false}, {"0x1200a9", false, false}, {"CRRP", false, false},
    };
    const E c{"C:\\", d::kSystemDriveRoot};
    for (const Case& k : cases) {
        const E given{"C:\\A", Sd("BA", std::string("D:(A;;FA;;;BA)(A;;") + k.rights + ";;;BU)")};
        EXPECT_EQ(!JudgeChain(Chain({c, given}), kElevated, false).Trusted(), k.failsItself) << k.rights;
        EXPECT_EQ(!JudgeChain(Chain({c, given, {"C:\\A\\B", Ours()}}), kElevated, false).Trusted(), k.failsAbove)
            << k.rights;
    }
    // Inherit-only entries, the creator's entries and denials give nobody a right on the folder.
    for (const char* dacl : {"D:(A;OICIIO;FA;;;BU)", "D:(A;;FA;;;CO)", "D:(A;;FA;;;OW)", "D:(D;;FA;;;BU)"}) {
        EXPECT_TRUE(JudgeChain(Chain({{"D:\\", Sd("BA", dacl)}}), kElevated, false).Trusted()) << dacl;
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
    // Sections as Windows writes them, a conditional entry's ":" inside.
    const char* written = "O:S-1-5-21-0-0-0-1000G:SYD:(XA;;FA;;;WD;(@User.x == \"a:b\"))S:(ML;;NW;;;HI)";
    ASSERT_TRUE(SplitDescriptor(written, owner, dacl));
    EXPECT_EQ(owner, "S-1-5-21-0-0-0-1000");
    EXPECT_EQ(dacl, "D:(XA;;FA;;;WD;(@User.x == \"a:b\"))");
    EXPECT_FALSE(SplitDescriptor("garbage", owner, dacl));
}

}  // namespace
