// Folder keywords: the matching rule, the keyword order, the query discipline
// and the refusal of unknown folders. The folders come from a stand-in for
// TSystemPath that records what it was asked; the last group uses the real one.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/FolderKeyword_unit.h"
#include "engine/SystemPath_unit.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"

namespace {

const std::string kInstall = "C:\\Program Files\\App";
const std::string kSystem = "C:\\WINDOWS\\system32";
const std::string kStartMenu = "C:\\Users\\u\\Start Menu";
const std::string kPrograms = "C:\\Users\\u\\Start Menu\\Programs";
const std::string kStartup = "C:\\Users\\u\\Start Menu\\Programs\\Startup";
const std::string kDesktop = "C:\\Users\\u\\Desktop";
const std::string kSendTo = "C:\\Users\\u\\SendTo";

struct RecordingSystemPath : TSystemPath {
    std::string system = kSystem;
    std::map<int, std::string> shell = {{sfStartMenu, kStartMenu}, {sfPrograms, kPrograms},
                                        {sfStartup, kStartup},     {sfDesktop, kDesktop},
                                        {sfSendTo, kSendTo}};
    std::vector<std::string> asked;

    std::string GetSystemPath(int kind) override {
        asked.push_back("sp" + std::to_string(kind));
        if (kind == spSystem) return system;
        if (kind == spDrivers) return system + "\\Drivers";
        return "";
    }
    std::string GetShellFolder(bool allUsers, int kind) override {
        asked.push_back((allUsers ? "all" : "sf") + std::to_string(kind));
        return shell[kind];
    }
};

struct KeywordTest : ::testing::Test {
    RecordingSystemPath folders;
    std::string installFolder = kInstall;
    int installAsked = 0;

    std::string Expand(const std::string& path, bool& flag) {
        return ExpandFolderKeywords(
            path, flag, [this] { ++installAsked; return installFolder; }, folders);
    }
    std::string Expand(const std::string& path) {
        bool flag = false;
        return Expand(path, flag);
    }
};

struct Row {
    std::string path, expanded;
    bool flag;
};

TEST_F(KeywordTest, InstallFolder) {
    const Row rows[] = {
        {"[Install Folder]", kInstall, true},
        {"[Install Folder]\\", kInstall + "\\", true},
        {"[Install Folder]\\bin\\a.exe", kInstall + "\\bin\\a.exe", false},
        // Windows drops the doubled separator: still the folder itself.
        {"[Install Folder]\\\\", kInstall + "\\\\", true},
        {"[Install Folder]bin", "[Install Folder]bin", false},
        {"[install folder]\\a", "[install folder]\\a", false},
        {"D:\\Data\\[Install Folder]", "D:\\Data\\[Install Folder]", false},
        {"[Install Folder]\\[System]", kInstall + "\\[System]", false},
        {" [Install Folder]", " [Install Folder]", false},
        {"", "", false},
    };
    for (const auto& r : rows) {
        bool flag = !r.flag;
        EXPECT_EQ(r.expanded, Expand(r.path, flag)) << r.path;
        EXPECT_EQ(r.flag, flag) << r.path;
    }
}

TEST_F(KeywordTest, InstallFolderIsUsedAsItIs) {
    installFolder = "C:\\App\\";
    EXPECT_EQ("C:\\App\\\\a", Expand("[Install Folder]\\a"));
}

TEST_F(KeywordTest, SystemAndDriversOrder) {
    bool flag = true;
    EXPECT_EQ(kSystem + "\\Drivers\\x.sys", Expand("[System]\\[Drivers]\\x.sys", flag));
    EXPECT_FALSE(flag);
    EXPECT_EQ(kSystem + "\\Drivers", Expand("[System]\\[Drivers]", flag));
    EXPECT_TRUE(flag);
    EXPECT_EQ(kSystem + "\\x.dll", Expand("[System]\\x.dll", flag));
    EXPECT_FALSE(flag);
    EXPECT_EQ(kSystem + "\\", Expand("[System]\\", flag));
    EXPECT_TRUE(flag);
    // Not the drivers keyword: taken by "[System]", the rest stays literal.
    EXPECT_EQ(kSystem + "\\[Drivers]x", Expand("[System]\\[Drivers]x"));
    EXPECT_EQ("[System][Drivers]", Expand("[System][Drivers]"));
}

TEST_F(KeywordTest, ShellFoldersAndStartKeywordOrder) {
    const Row rows[] = {
        {"スタート\\プログラム\\スタートアップ\\a.lnk", kStartup + "\\a.lnk", false},
        {"スタート\\プログラム\\スタートアップ", kStartup, true},
        {"スタート\\プログラム\\App\\App.lnk", kPrograms + "\\App\\App.lnk", false},
        {"スタート\\プログラム\\", kPrograms + "\\", true},
        {"スタート\\App.lnk", kStartMenu + "\\App.lnk", false},
        {"スタート", kStartMenu, true},
        {"デスクトップ\\App.lnk", kDesktop + "\\App.lnk", false},
        {"送る\\App", kSendTo + "\\App", false},
        {"送る", kSendTo, true},
        // A keyword followed directly by letters is only the front of a name.
        {"スタートアップ\\a", "スタートアップ\\a", false},
        {"スタートメニュー", "スタートメニュー", false},
        {"スタート\\プログラムズ\\a", kStartMenu + "\\プログラムズ\\a", false},
        {"送るもの", "送るもの", false},
        // Keyword in the middle: literal text.
        {"C:\\デスクトップ\\a", "C:\\デスクトップ\\a", false},
        {"デスクトップ\\送る", kDesktop + "\\送る", false},
    };
    for (const auto& r : rows) {
        bool flag = !r.flag;
        EXPECT_EQ(r.expanded, Expand(r.path, flag)) << r.path;
        EXPECT_EQ(r.flag, flag) << r.path;
    }
}

TEST_F(KeywordTest, QueriesUpToTheMatchingKeywordOnly) {
    struct Case {
        std::string path;
        int install;
        std::vector<std::string> asked;
    } cases[] = {
        {"[Install Folder]\\a", 1, {}},
        {"[System]\\[Drivers]\\a", 1, {"sp3"}},
        {"[System]\\a", 1, {"sp3", "sp2"}},
        {"スタート\\プログラム\\スタートアップ\\a", 1, {"sp3", "sp2", "sf2"}},
        {"スタート\\プログラム\\a", 1, {"sp3", "sp2", "sf2", "sf1"}},
        {"スタート\\a", 1, {"sp3", "sp2", "sf2", "sf1", "sf0"}},
        {"デスクトップ", 1, {"sp3", "sp2", "sf2", "sf1", "sf0", "sf3"}},
        {"送る\\a", 1, {"sp3", "sp2", "sf2", "sf1", "sf0", "sf3", "sf4"}},
        {"D:\\plain", 1, {"sp3", "sp2", "sf2", "sf1", "sf0", "sf3", "sf4"}},
    };
    for (const auto& c : cases) {
        folders.asked.clear();
        installAsked = 0;
        Expand(c.path);
        EXPECT_EQ(c.install, installAsked) << c.path;
        EXPECT_EQ(c.asked, folders.asked) << c.path;
    }
}

TEST_F(KeywordTest, NothingIsCached) {
    EXPECT_EQ(kSendTo + "\\a", Expand("送る\\a"));
    folders.shell[sfSendTo] = "E:\\Other";
    installFolder = "E:\\App";
    EXPECT_EQ("E:\\Other\\a", Expand("送る\\a"));
    EXPECT_EQ("E:\\App\\a", Expand("[Install Folder]\\a"));
    folders.system = "E:\\SYS";
    EXPECT_EQ("E:\\SYS\\Drivers\\a", Expand("[System]\\[Drivers]\\a"));
}

TEST_F(KeywordTest, UnknownFolderIsRefusedNamingTheKeyword) {
    struct Case {
        std::string path, keyword;
    } cases[] = {
        {"送る\\App", "送る"},
        {"デスクトップ\\a.lnk", "デスクトップ"},
        {"スタート", "スタート"},
        {"スタート\\プログラム\\a", "スタート\\プログラム"},
        {"スタート\\プログラム\\スタートアップ\\a", "スタート\\プログラム\\スタートアップ"},
    };
    for (auto& entry : folders.shell) entry.second.clear();
    for (const auto& c : cases) {
        bool flag = true;
        try {
            Expand(c.path, flag);
            ADD_FAILURE() << "no error for " << c.path;
        } catch (const ESetupError& e) {
            EXPECT_EQ("フォルダ '" + c.keyword + "' が見つかりません", e.Message());
        }
        EXPECT_FALSE(flag) << c.path;
    }
    // Paths without a keyword, or whose keyword has a folder, are unaffected.
    EXPECT_EQ("D:\\x", Expand("D:\\x"));
    EXPECT_EQ(kSystem + "\\x", Expand("[System]\\x"));
}

TEST_F(KeywordTest, EmptyInstallAndSystemFoldersAreRefused) {
    installFolder.clear();
    EXPECT_THROW(Expand("[Install Folder]\\a"), ESetupError);
    EXPECT_THROW(Expand("[Install Folder]"), ESetupError);
    folders.system.clear();
    // The drivers folder would be "\Drivers": no folder either.
    try {
        Expand("[System]\\[Drivers]\\x.sys");
        ADD_FAILURE() << "no error";
    } catch (const ESetupError& e) {
        EXPECT_EQ("フォルダ '[System]\\[Drivers]' が見つかりません", e.Message());
    }
    EXPECT_THROW(Expand("[System]\\x.dll"), ESetupError);
    // A keyword that does not match asks but does not care.
    EXPECT_EQ(kSendTo + "\\a", Expand("送る\\a"));
}

TEST(ReplaceKeywordTest, OneStep) {
    struct Case {
        std::string keyword, replacement, path;
        bool matched;
        std::string result;
        bool flag;
    } cases[] = {
        {"[System]", "S:", "[System]", true, "S:", true},
        {"[System]", "S:", "[System]\\", true, "S:\\", true},
        {"[System]", "S:", "[System]\\a", true, "S:\\a", false},
        {"[System]", "S:", "[System]a", false, "[System]a", false},
        {"[System]", "S:", "x[System]", false, "x[System]", false},
        {"[System]", "S:", "[SYSTEM]", false, "[SYSTEM]", false},
        {"[System]", "", "[System]\\a", true, "\\a", false},
        {"送る", "T:", "送る\\a", true, "T:\\a", false},
        // 表 is 95 5C: its second byte is no separator after the keyword.
        {"送る", "T:", "送る表", false, "送る表", false},
        {"", "T:", "a", false, "a", false},
        // The folder itself as RemoveDirectoryA resolves it: final dots and
        // blanks, doubled separators and ".." are dropped.
        {"デスクトップ", "D:\\Desk", "デスクトップ\\.", true, "D:\\Desk\\.", true},
        {"デスクトップ", "D:\\Desk", "デスクトップ\\ ", true, "D:\\Desk\\ ", true},
        {"デスクトップ", "D:\\Desk", "デスクトップ\\\\", true, "D:\\Desk\\\\", true},
        {"デスクトップ", "D:\\Desk", "デスクトップ\\a\\..", true, "D:\\Desk\\a\\..", true},
        {"スタート\\プログラム\\スタートアップ", "S:\\Up", "スタート\\プログラム\\スタートアップ\\.", true, "S:\\Up\\.", true},
        {"[Install Folder]", "C:\\PF\\App", "[Install Folder]\\..\\app", true, "C:\\PF\\App\\..\\app", true},
        {"デスクトップ", "D:\\Desk", "デスクトップ\\..", true, "D:\\Desk\\..", false},
        {"デスクトップ", "D:\\Desk", "デスクトップ\\a.", true, "D:\\Desk\\a.", false},
        // A folder that ends in a lone lead byte keeps a separator before the rest.
        {"[Install Folder]", "C:\\P\x82", "[Install Folder]\\a", true, "C:\\P\x82\\\\a", false},
    };
    for (const auto& c : cases) {
        std::string path = c.path;
        bool flag = !c.flag;
        EXPECT_EQ(c.matched, ReplaceKeyword(c.keyword, c.replacement, path, flag)) << c.path;
        EXPECT_EQ(c.result, path) << c.path;
        EXPECT_EQ(c.flag, flag) << c.path;
    }
}

// The real folders of the running system (or of the sim backend natively).
TEST(KeywordRealFolders, ExpandToExistingFolders) {
    TSystemPath systemPath;
    const auto install = [] { return std::string("C:\\App"); };
    struct Case {
        std::string path, suffix;
        std::string folder;
    } cases[] = {
        {"[System]\\x.dll", "\\x.dll", systemPath.GetSystemPath(spSystem)},
        {"デスクトップ\\a.lnk", "\\a.lnk", systemPath.GetShellFolder(false, sfDesktop)},
        {"送る\\a.lnk", "\\a.lnk", systemPath.GetShellFolder(false, sfSendTo)},
        {"スタート\\プログラム\\a.lnk", "\\a.lnk", systemPath.GetShellFolder(false, sfPrograms)},
    };
    for (const auto& c : cases) {
        ASSERT_FALSE(c.folder.empty()) << c.path;
        EXPECT_TRUE(plat::DirectoryExists(c.folder)) << c.folder;
        bool flag = true;
        EXPECT_EQ(c.folder + c.suffix, ExpandFolderKeywords(c.path, flag, install, systemPath));
        EXPECT_FALSE(flag);
    }
    EXPECT_EQ(systemPath.GetSystemPath(spSystem) + "\\Drivers",
              systemPath.GetSystemPath(spDrivers));
    EXPECT_EQ("", systemPath.GetSystemPath(4));
    EXPECT_EQ("", systemPath.GetSystemPath(-1));
    EXPECT_EQ("", systemPath.GetShellFolder(false, 5));
    EXPECT_EQ("", systemPath.GetShellFolder(true, -1));
}

}  // namespace
