// The structural analysis behind setupproj check: what an installation makes
// and what its uninstallation leaves, each leftover with its cause, worked
// out on a typical machine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "project/ProjectProperty_unit.h"
#include "tools/setupproj/Keywords.h"
#include "tools/setupproj/Structure.h"

using namespace setupproj;

namespace {

const char kInstall[] = "C:\\Program Files (x86)\\Vendor\\Tool";

StructureSetup TypicalSetup(bool keepAnswered = false) {
    StructureSetup setup;
    setup.keywordFolders = TypicalKeywordFolders(kInstall);
    setup.programFileName = "Setup.exe";
    const std::vector<std::string> folders = setup.keywordFolders;
    setup.originOf = [folders](const WinPath& folder) { return TypicalOrigin(folder, folders); };
    setup.keepAnsweredFiles = keepAnswered;
    return setup;
}

std::string CauseName(LeftCause cause) {
    switch (cause) {
        case LeftCause::kDeleteModeKeep: return "kept by DeleteMode 1";
        case LeftCause::kAnsweredNo: return "answered No";
        case LeftCause::kMarkedKeep: return "marked";
        case LeftCause::kHolds: return "holds";
        case LeftCause::kListedAfterSubfolder: return "listed after";
        case LeftCause::kOnlyAParent: return "only a parent";
        case LeftCause::kParentOfInstallFolder: return "parent of the installation folder";
    }
    return "?";
}

std::string ItemName(const ItemRef& item) {
    switch (item.kind) {
        case ItemKind::kFolder: return "folder " + std::to_string(item.index);
        case ItemKind::kFile: return "file " + std::to_string(item.index);
        case ItemKind::kShortcut: return "shortcut " + std::to_string(item.index);
        case ItemKind::kInstallFolder: return "the installation folder";
        case ItemKind::kProgramCopy: return "the program copy";
        case ItemKind::kProjectCopy: return "the project copy";
    }
    return "?";
}

// "path: cause [other], item, intended|unintended[, listed]" with the
// installation folder written as "I".
std::vector<std::string> Leftovers(const StructureReport& report) {
    auto shorten = [](std::string path) {
        const std::string install = kInstall;
        if (path.compare(0, install.size(), install) == 0) path = "I" + path.substr(install.size());
        return path;
    };
    std::vector<std::string> out;
    for (const Leftover& left : report.leftovers) {
        std::string line = shorten(left.path.Text()) + ": " + CauseName(left.cause);
        if (left.cause == LeftCause::kHolds || left.cause == LeftCause::kListedAfterSubfolder) {
            line += " " + shorten(left.otherPath.Text()) + " (" + ItemName(left.other) + ")";
        }
        line += ", " + ItemName(left.item) + (left.intended ? ", intended" : ", unintended");
        if (left.listedForRemoval) line += ", listed";
        out.push_back(line);
    }
    return out;
}

void AddFolder(TProjectProperty& p, const std::string& path, int keep = 0) {
    TMakeFolder& item = p.Folders.Add();
    item.FolderPath = path;
    item.KeepOnUninstall = static_cast<uint8_t>(keep);
}

void AddFile(TProjectProperty& p, const std::string& dest, int mode = 0) {
    TCopyFile& item = p.Files.Add();
    item.SourceFile = "x";
    item.DestFile = dest;
    item.DeleteMode = static_cast<uint8_t>(mode);
}

TEST(SetupprojStructure, AnswersToTheDeleteQuestionDecideWhatStays) {
    TProjectProperty p;
    AddFolder(p, "[Install Folder]\\cfg");
    AddFile(p, "[Install Folder]\\cfg\\b.txt", 2);

    EXPECT_EQ(Leftovers(AnalyzeStructure(p, TypicalSetup(false))),
              std::vector<std::string>(
                  {"C:\\Program Files (x86)\\Vendor: parent of the installation folder, the installation folder, unintended"}));
    EXPECT_EQ(Leftovers(AnalyzeStructure(p, TypicalSetup(true))),
              std::vector<std::string>({
                  "C:\\Program Files (x86)\\Vendor: holds I (the installation folder), the installation folder, intended",
                  "I: holds I\\cfg (folder 0), the installation folder, intended",
                  "I\\cfg: holds I\\cfg\\b.txt (file 0), folder 0, intended, listed",
                  "I\\cfg\\b.txt: answered No, file 0, intended",
              }));
}

TEST(SetupprojStructure, AFolderLeftBehindKeepsItsParentsToo) {
    TProjectProperty p;
    AddFolder(p, "[Install Folder]\\p");
    AddFolder(p, "[Install Folder]\\p\\q");
    AddFolder(p, "[Install Folder]\\p\\q\\r\\s");
    AddFolder(p, "[Install Folder]\\m\\n");
    AddFolder(p, "[Install Folder]\\m");
    EXPECT_EQ(Leftovers(AnalyzeStructure(p, TypicalSetup())),
              std::vector<std::string>({
                  "C:\\Program Files (x86)\\Vendor: parent of the installation folder, the installation folder, unintended",
                  "I: holds I\\m (folder 4), the installation folder, unintended",
                  "I\\m: listed after I\\m\\n (folder 3), folder 4, unintended, listed",
                  "I\\p: holds I\\p\\q (folder 1), folder 0, unintended, listed",
                  "I\\p\\q: holds I\\p\\q\\r (folder 2), folder 1, unintended, listed",
                  "I\\p\\q\\r: only a parent, folder 2, unintended",
              }));
}

TEST(SetupprojStructure, KeptFilesAndFoldersAreIntended) {
    TProjectProperty p;
    AddFolder(p, "[Install Folder]\\data", 1);
    AddFolder(p, "[Install Folder]\\logs");
    AddFile(p, "[Install Folder]\\logs\\today.log", 1);
    AddFile(p, "[System]\\tool.dll", 1);
    const StructureReport report = AnalyzeStructure(p, TypicalSetup());
    EXPECT_EQ(Leftovers(report),
              std::vector<std::string>({
                  "C:\\Program Files (x86)\\Vendor: holds I (the installation folder), the installation folder, intended",
                  "I: holds I\\data (folder 0), the installation folder, intended",
                  "I\\data: marked, folder 0, intended",
                  "I\\logs: holds I\\logs\\today.log (file 0), folder 1, intended, listed",
                  "I\\logs\\today.log: kept by DeleteMode 1, file 0, intended",
                  "C:\\Windows\\system32\\tool.dll: kept by DeleteMode 1, file 1, intended",
              }));
    const Leftover* logs = report.LeftoverAt(ParseFullPath(std::string(kInstall) + "\\LOGS"));
    ASSERT_NE(logs, nullptr);
    EXPECT_EQ(logs->cause, LeftCause::kHolds);
    EXPECT_EQ(report.LeftoverAt(ParseFullPath(std::string(kInstall) + "\\other")), nullptr);
}

TEST(SetupprojStructure, FoldersThatAreNotThereInTime) {
    TProjectProperty p;
    AddFolder(p, "スタート\\プログラム\\Tool");
    AddFile(p, "[Install Folder]\\docs\\a.txt");  // below the installation folder: certainly missing
    AddFile(p, "D:\\Shared\\b.txt");              // may exist
    AddFile(p, "[System]\\c.dll");                // the system folder is there
    AddFile(p, "[Install Folder]\\d.txt");
    TShortCutFile& inFolder = p.Shortcuts.Add();
    inFolder.LinkFile = "スタート\\プログラム\\Tool\\Tool";
    inFolder.TargetFile = "[Install Folder]\\d.txt";
    TShortCutFile& inFile = p.Shortcuts.Add();
    inFile.LinkFile = "[Install Folder]\\d.txt\\Tool";
    inFile.TargetFile = "[Install Folder]\\Setup.exe";
    const StructureReport report = AnalyzeStructure(p, TypicalSetup());
    ASSERT_EQ(report.missing.size(), 3u);
    EXPECT_EQ(ItemName(report.missing[0].item), "file 0");
    EXPECT_EQ(report.missing[0].folder.Text(), std::string(kInstall) + "\\docs");
    EXPECT_TRUE(report.missing[0].certain);
    EXPECT_EQ(ItemName(report.missing[1].item), "file 1");
    EXPECT_FALSE(report.missing[1].certain);
    EXPECT_EQ(ItemName(report.missing[2].item), "shortcut 1");
    EXPECT_TRUE(report.missing[2].occupied);
    EXPECT_EQ(ItemName(report.missing[2].occupiedBy), "file 3");
    EXPECT_TRUE(report.badTargets.empty());
}

TEST(SetupprojStructure, WhereFoldersStandBeforeTheInstallation) {
    const std::vector<std::string> folders = TypicalKeywordFolders(kInstall);
    struct Row {
        const char* path;
        FolderOrigin origin;
    } rows[] = {
        {"C:\\", FolderOrigin::kExisting},
        {"C:\\Program Files (x86)", FolderOrigin::kExisting},
        {"C:\\Users\\UserNameMax20Letters\\AppData", FolderOrigin::kExisting},
        {"C:\\Windows\\system32", FolderOrigin::kExisting},
        {"C:\\Windows\\system32\\sub", FolderOrigin::kNew},
        {"C:\\Program Files (x86)\\Vendor", FolderOrigin::kNew},
        {"C:\\Program Files (x86)\\vendor\\tool\\bin", FolderOrigin::kNew},
        {"C:\\Program Files (x86)\\Other", FolderOrigin::kUnknown},
        {"D:\\Data", FolderOrigin::kUnknown},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(static_cast<int>(TypicalOrigin(ParseFullPath(row.path), folders)), static_cast<int>(row.origin))
            << row.path;
    }
}

}  // namespace
