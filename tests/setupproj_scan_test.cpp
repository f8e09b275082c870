// setupproj scan: the records that install a payload folder, and their
// merge into a project that keeps everything else.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/CodePage932.h"
#include "platform/System.h"
#include "project/ProjectProperty_unit.h"
#include "tools/setupproj/HostFiles.h"
#include "tools/setupproj/Scan.h"

using namespace setupproj;

namespace {

std::vector<std::string> FolderTexts(const std::vector<TMakeFolder>& folders) {
    std::vector<std::string> out;
    for (const TMakeFolder& f : folders) out.push_back(f.FolderPath + "*" + std::to_string(f.KeepOnUninstall));
    return out;
}

TEST(SetupprojScan, RecordsOfAPayloadTree) {
    ScanOptions options;
    options.sourcePrefix = "payload\\";
    const ScanRecords records = BuildScanRecords(
        {{"data", true}, {"data\\config.ini", false}, {"empty", true}, {"表示.txt", false}}, options);
    EXPECT_EQ(FormatScanRecords(records),
              "[Make Folder]\r\n"
              "file00000=[Install Folder]\\data*0\r\n"
              "file00001=[Install Folder]\\empty*0\r\n"
              "\r\n"
              "[Copy File]\r\n"
              "file00000=payload\\data\\config.ini*[Install Folder]\\data\\config.ini*0\r\n"
              "file00001=payload\\表示.txt*[Install Folder]\\表示.txt*0\r\n");
    EXPECT_EQ(FormatScanRecords(ScanRecords{}), "[Make Folder]\r\n\r\n[Copy File]\r\n");  // both headers, always
}

TEST(SetupprojScan, TheFoldersOnTheWayToTheDestination) {
    struct Row {
        const char* dest;
        std::vector<std::string> folders;
        const char* file;
    } rows[] = {
        {"[Install Folder]", {}, "[Install Folder]\\a.txt"},
        {"[Install Folder]\\", {}, "[Install Folder]\\a.txt"},
        {"[Install Folder]\\sub\\dir\\", {"[Install Folder]\\sub*0", "[Install Folder]\\sub\\dir*0"},
         "[Install Folder]\\sub\\dir\\a.txt"},
        {"スタート\\プログラム\\Tool", {"スタート\\プログラム\\Tool*0"}, "スタート\\プログラム\\Tool\\a.txt"},
        {"デスクトップ", {}, "デスクトップ\\a.txt"},
        {"D:\\Out\\Tool", {"D:\\Out\\Tool*0"}, "D:\\Out\\Tool\\a.txt"},
        {"D:\\", {}, "D:\\a.txt"},
    };
    for (const Row& row : rows) {
        ScanOptions options;
        options.dest = row.dest;
        options.deleteMode = 1;
        const ScanRecords records = BuildScanRecords({{"a.txt", false}}, options);
        EXPECT_EQ(FolderTexts(records.folders), row.folders) << row.dest;
        ASSERT_EQ(records.files.size(), 1u);
        EXPECT_EQ(records.files[0].DestFile, row.file) << row.dest;
        EXPECT_EQ(records.files[0].SourceFile, "a.txt");
        EXPECT_EQ(records.files[0].DeleteMode, 1);
    }
}

TEST(SetupprojScan, DestinationsThatCannotTakeThePayload) {
    EXPECT_EQ(ScanDestinationProblem(""), "the destination is empty");
    EXPECT_EQ(ScanDestinationProblem("data"), "the destination 'data' must begin with a folder keyword or be a full path");
    EXPECT_EQ(ScanDestinationProblem("[install folder]\\x"),
              "the destination '[install folder]\\x' must begin with a folder keyword or be a full path: "
              "'[install folder]' is not a keyword: keywords are matched in their exact letter case ('[Install Folder]')");
    EXPECT_EQ(ScanDestinationProblem("[Install Folder]\\x"), "");
    EXPECT_EQ(ScanDestinationProblem("C:\\x"), "");
}

TEST(SetupprojScan, MergeReplacesOnlyThePayloadsRecords) {
    TProjectProperty p;
    p.Name1 = "Tool";
    for (const TMakeFolder& f : std::vector<TMakeFolder>{{"スタート\\プログラム\\Tool", 0},
                                                         {"[Install Folder]\\old", 0},  // gone from the payload
                                                         {"[Install Folder]\\data", 1},
                                                         {"[Install Folder]\\lib", 0},  // holds a file from elsewhere
                                                         {"[Install Folder]\\cache", 1},
                                                         {"[Install Folder]\\docs\\old", 1}}) {
        p.Folders.Add() = f;
    }
    for (const TCopyFile& f : std::vector<TCopyFile>{{"..\\common\\lib.dll", "[Install Folder]\\lib\\lib.dll", 0},
                                                     {"payload\\readme.txt", "[Install Folder]\\readme.txt", 1},
                                                     {"payload/gone.txt", "[Install Folder]\\gone.txt", 0},
                                                     {"C:\\sys\\x.dll", "[System]\\x.dll", 0}}) {
        p.Files.Add() = f;
    }
    p.Shortcuts.Add().LinkFile = "スタート\\プログラム\\Tool\\Readme";

    ScanOptions options;
    options.sourcePrefix = "payload\\";
    options.deleteMode = 2;
    const ScanRecords scanned = BuildScanRecords({{"data", true},
                                                  {"data\\sub", true},
                                                  {"data\\sub\\new.txt", false},
                                                  {"docs", true},
                                                  {"readme.txt", false}},
                                                 options);
    MergeScan(p, scanned, options);

    std::vector<std::string> folders, files;
    for (int i = 0; i < p.Folders.Count(); ++i) {
        folders.push_back(p.Folders.Items(i).FolderPath + "*" + std::to_string(p.Folders.Items(i).KeepOnUninstall));
    }
    for (int i = 0; i < p.Files.Count(); ++i) {
        const TCopyFile& f = p.Files.Items(i);
        files.push_back(f.SourceFile + "*" + f.DestFile + "*" + std::to_string(f.DeleteMode));
    }
    EXPECT_EQ(folders, std::vector<std::string>({"スタート\\プログラム\\Tool*0", "[Install Folder]\\data*1",
                                                 "[Install Folder]\\lib*0", "[Install Folder]\\cache*1",
                                                 "[Install Folder]\\docs*0", "[Install Folder]\\docs\\old*1",
                                                 "[Install Folder]\\data\\sub*0"}));
    EXPECT_EQ(files, std::vector<std::string>({"..\\common\\lib.dll*[Install Folder]\\lib\\lib.dll*0",
                                               "payload\\data\\sub\\new.txt*[Install Folder]\\data\\sub\\new.txt*2",
                                               "payload\\readme.txt*[Install Folder]\\readme.txt*1",
                                               "C:\\sys\\x.dll*[System]\\x.dll*0"}));
    EXPECT_EQ(p.Shortcuts.Count(), 1);
    EXPECT_EQ(p.Name1, "Tool");
}

// The payload's files as each build of the tool reads them: UTF-8 host names
// on Linux, ANSI ones on Windows, names with a 0x5C second byte (表, ソ).
TEST(SetupprojScan, HostFilesWithJapaneseNames) {
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / ("orvane-host-" + plat::RandomHex(4));
    fs::create_directories(root / fs::u8path(u8"データ表"));
    { std::ofstream(root / fs::u8path(u8"データ表") / fs::u8path(u8"ソ.txt")) << "x"; }
    std::string cp932, hostRoot, found, relative;
    ASSERT_TRUE(plat::Utf8ToCp932(root.u8string(), cp932) && host::NameFromProject(cp932, hostRoot));

    std::vector<host::TreeEntry> tree;
    ASSERT_TRUE(host::WalkTree(hostRoot, tree));
    ASSERT_EQ(tree.size(), 2u);
    EXPECT_EQ(tree[0].path + "|" + tree[1].path, "データ表|データ表\\ソ.txt");
    EXPECT_TRUE(tree[0].folder && tree[0].nameFits && tree[1].nameFits);
    found = host::FindFile(hostRoot, "データ表\\ソ.txt");
    EXPECT_EQ(found, tree[1].hostPath);
    EXPECT_FALSE(host::FindFile(hostRoot, "データ表\\ソ.TXT").empty());  // any letter case, as Windows finds it
    EXPECT_TRUE(host::FindFile(hostRoot, "データ表\\ゾ.txt").empty());
    EXPECT_EQ(host::FolderOf(found), tree[0].hostPath);
    EXPECT_TRUE(host::NameToProject(host::NameOf(found), cp932) && cp932 == "ソ.txt");
    EXPECT_TRUE(host::RelativeTo(hostRoot, found, relative));
    EXPECT_EQ(relative, "データ表\\ソ.txt");
    EXPECT_TRUE(host::RelativeTo(found, hostRoot, relative));
    EXPECT_EQ(relative, "..\\..");
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

}  // namespace
