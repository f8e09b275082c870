// Access rules, new files, the random source and the batch start on the real
// system. Wine keeps no access rules of its own: it maps a DACL onto the Unix
// permission bits and reads back a DACL made from them (the owner, SYSTEM and
// Everyone), so there the tests check what the bits keep: nobody else may
// write, and nobody else may even read the private folder. On Windows the
// rules read back as written; what they keep out shows only there.
#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Security.h"
#include "platform/System.h"
#include "platform/win32/SystemLibrary.h"
#include "tests/support/TestSystem.h"

namespace {

// The access entries of SDDL text, "(A;flags;rights;;;sid)" each.
struct Ace {
    std::string rights, sid;
};
std::vector<Ace> Aces(const std::string& sddl) {
    std::vector<Ace> aces;
    for (size_t open = sddl.find('('); open != std::string::npos; open = sddl.find('(', open + 1)) {
        size_t close = sddl.find(')', open);
        std::vector<std::string> fields(1);
        for (size_t i = open + 1; i < close; ++i) {
            if (sddl[i] == ';') fields.emplace_back(); else fields.back() += sddl[i];
        }
        if (fields.size() == 6) aces.push_back({fields[2], fields[5]});
    }
    return aces;
}

// What a DACL read back must say of those the rules keep out (Everyone,
// Users, Authenticated Users): no entry at all, or read and run only.
void ExpectOthersKeptOut(const std::string& sddl, bool mayRead) {
    for (const Ace& ace : Aces(sddl)) {
        if (ace.sid != "WD" && ace.sid != "BU" && ace.sid != "AU") continue;
        EXPECT_TRUE(mayRead) << ace.sid << " has an entry in " << sddl;
        // Read and run (FRFX, as Wine writes it 0x1200a9); never a write right.
        EXPECT_TRUE(ace.rights == "FRFX" || ace.rights == "0x1200a9") << ace.rights << " in " << sddl;
    }
}

void ExpectRules(const std::string& path, const char* written, bool othersMayRead) {
    std::string back = plat::ReadAccess(path);
    ASSERT_FALSE(back.empty()) << path;
    if (support::RunningUnderWine()) {
        ExpectOthersKeptOut(back, othersMayRead);
    } else {
        EXPECT_EQ(back, written);
    }
}

class Win32Security : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(plat::QueryWindowsFolder(windows_));
        root_ = windows_ + "\\Temp\\orvane-security-" + plat::RandomHex(8);
        ASSERT_TRUE(plat::ForceDirectories(root_));
    }
    void TearDown() override {
        for (const char* name : {"\\file.txt", "\\new.txt", "\\run.bat", "\\private\\inside.txt"}) {
            plat::DeleteFileAt(root_ + name);
        }
        plat::RemoveFolder(root_ + "\\private");
        plat::RemoveFolder(root_);
    }
    std::string windows_, root_;
};

TEST_F(Win32Security, APrivateFolderIsNewAndCarriesItsRulesFromTheStart) {
    const std::string folder = root_ + "\\private";
    ASSERT_TRUE(plat::MakeFolderWithAccess(folder, plat::kPrivateFolderAccess));
    ExpectRules(folder, plat::kPrivateFolderAccess, false);
    // Never an existing folder, nor a file at that name.
    EXPECT_FALSE(plat::MakeFolderWithAccess(folder, plat::kPrivateFolderAccess));
    ASSERT_TRUE(plat::WriteWholeFile(root_ + "\\file.txt", "x"));
    EXPECT_FALSE(plat::MakeFolderWithAccess(root_ + "\\file.txt", plat::kPrivateFolderAccess));
    EXPECT_FALSE(plat::MakeFolderWithAccess(root_ + "\\missing\\private", plat::kPrivateFolderAccess));
}

TEST_F(Win32Security, ProgramFileRulesReplaceWhatTheFileInherited) {
    const std::string file = root_ + "\\file.txt";
    ASSERT_TRUE(plat::WriteWholeFile(file, "program"));
    ASSERT_TRUE(plat::SetAccess(file, plat::kProgramFileAccess));
    ExpectRules(file, plat::kProgramFileAccess, true);
    // Still readable for the one who runs it.
    std::string back;
    EXPECT_EQ(plat::ReadWholeFile(file, back), plat::ReadResult::Ok);
    EXPECT_EQ(back, "program");
    EXPECT_FALSE(plat::SetAccess(root_ + "\\missing.txt", plat::kProgramFileAccess));
    EXPECT_EQ(plat::ReadAccess(root_ + "\\missing.txt"), "");
}

TEST_F(Win32Security, WriteNewFileNeverOpensWhatIsThere) {
    const std::string file = root_ + "\\new.txt";
    ASSERT_TRUE(plat::WriteNewFile(file, "first"));
    EXPECT_FALSE(plat::WriteNewFile(file, "second"));
    std::string back;
    ASSERT_EQ(plat::ReadWholeFile(file, back), plat::ReadResult::Ok);
    EXPECT_EQ(back, "first");
}

TEST_F(Win32Security, RandomNamesDoNotRepeat) {
    std::set<std::string> seen;
    for (int i = 0; i < 64; ++i) {
        std::string value = plat::RandomHex(16);
        ASSERT_EQ(value.size(), 32u);
        EXPECT_EQ(value.find_first_not_of("0123456789abcdef"), std::string::npos) << value;
        EXPECT_TRUE(seen.insert(value).second) << "repeated " << value;
    }
}

TEST_F(Win32Security, ABatchRunsThroughTheSystemInterpreterInItsFolder) {
    const std::string folder = root_ + "\\private";
    ASSERT_TRUE(plat::MakeFolderWithAccess(folder, plat::kPrivateFolderAccess));
    // "cd" tells where it runs; the result is moved into place so that it is
    // never read half-written.
    const std::string batch = root_ + "\\run.bat";
    const std::string result = folder + "\\inside.txt";
    ASSERT_TRUE(plat::WriteWholeFile(batch, "@echo off\r\ncd > \"" + root_ + "\\new.txt\"\r\n"
                                            "move \"" + root_ + "\\new.txt\" \"" + result + "\" >nul\r\n"));
    ASSERT_TRUE(plat::StartBatch(batch, folder));
    for (int i = 0; i < 200 && !plat::FileExists(result); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::string where;
    ASSERT_EQ(plat::ReadWholeFile(result, where), plat::ReadResult::Ok) << "the batch did not run";
    EXPECT_EQ(where, folder + "\r\n");
    // The interpreter may still hold its batch for a moment.
    for (int i = 0; i < 100 && !plat::DeleteFileAt(batch); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

// No false refusal: Program Files and the folders the installation makes
// pass, below it and at the root of drive C. Under Wine the user owns
// everything and counts as the administrator (see TrustIdentity).
TEST_F(Win32Security, TheSystemsOwnFoldersAndOursPass) {
    const plat::TrustIdentity identity = plat::CurrentIdentity();
    ASSERT_FALSE(identity.user.empty());
    if (support::RunningUnderWine()) {
        EXPECT_TRUE(identity.userCountsAsAdministrator);
        EXPECT_EQ(identity.creatorOwner, identity.user);
    }
    const plat::SecurityFacts root = plat::ReadSecurityFacts("C:\\");
    EXPECT_TRUE(root.exists && root.readable && root.keepsAccessRules) << root.owner << root.dacl;
    const std::string atRoot = "C:\\orvane-trust-" + plat::RandomHex(8);
    for (const std::string& location : {root_ + "\\App\\Sub", atRoot + "\\App", std::string("C:\\Program Files")}) {
        std::vector<plat::ChainFolder> chain;
        ASSERT_TRUE(plat::MakeInstallFolder(location, chain)) << location;
        EXPECT_EQ(chain.back().path, location);
        const plat::TrustVerdict v = plat::JudgeFolderChain(location);
        EXPECT_TRUE(v.Trusted()) << v.Reason();
        EXPECT_EQ(v.missing, 0) << location;
    }
    // Made by us, the uninstaller's file passes in its folder too.
    const std::string program = atRoot + "\\App\\Setup.exe";
    ASSERT_TRUE(plat::WriteWholeFile(program, "MZ"));
    ASSERT_TRUE(plat::SetAccess(program, plat::kProgramFileAccess));
    EXPECT_TRUE(plat::JudgeFileChain(program).Trusted()) << plat::JudgeFileChain(program).Reason();
    plat::DeleteFileAt(program);
    plat::RemoveFolder(atRoot + "\\App");
    plat::RemoveFolder(atRoot);
    plat::RemoveFolder(root_ + "\\App\\Sub");
    plat::RemoveFolder(root_ + "\\App");
}

TEST_F(Win32Security, AnInstallFolderWithRulesKeepsOthersOut) {
    const std::string folder = root_ + "\\private";
    ASSERT_TRUE(plat::MakeFolderWithAccess(folder, plat::kInstallFolderAccess));
    std::string owner, dacl;
    ASSERT_TRUE(plat::SplitDescriptor(plat::kInstallFolderAccess, owner, dacl));
    ExpectRules(folder, dacl.c_str(), true);
    const plat::SecurityFacts facts = plat::ReadSecurityFacts(folder);
    // Wine owns every file by the user, whatever owner it was given.
    EXPECT_EQ(facts.owner, support::RunningUnderWine() ? plat::CurrentIdentity().user : std::string("BA"));
}

TEST_F(Win32Security, TheProgramPathIsReadWhateverItsLength) {
    // A first buffer of a few bytes makes the call grow it, as a path longer
    // than MAX_PATH does (Wine starts no program from such a path).
    const std::string path = plat::ExecutablePath();
    ASSERT_GT(path.size(), 8u);
    const DWORD length = static_cast<DWORD>(path.size());
    for (DWORD first : {DWORD{1}, DWORD{4}, DWORD{8}, length, length + 1}) {
        EXPECT_EQ(plat::win32::ModuleFileName(nullptr, first), path) << first;
    }
    EXPECT_TRUE(plat::FileExists(path));
}

}  // namespace
