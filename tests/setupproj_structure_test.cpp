// What check judges beyond the runs: where a folder stands on a typical
// machine before the installation.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/setupproj/Keywords.h"
#include "tools/setupproj/Structure.h"

using namespace setupproj;

namespace {

const char kInstall[] = "C:\\Program Files (x86)\\Vendor\\Tool";

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
