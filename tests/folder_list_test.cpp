// Folder listing and the CP932/UTF-8 conversions of the platform layer, on
// both backends.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/CodePage932.h"
#include "platform/FileSystem.h"
#include "platform/FolderList.h"
#include "tests/support/TempFiles.h"

namespace {

TEST(FolderList, ListsEveryEntryOnce) {
    const std::string folder = plat::TempFolder() + "orvane_list_表";
    const std::string sub = folder + "\\sub";
    ASSERT_TRUE(plat::ForceDirectories(sub));
    WriteTestFile(folder + "\\a.txt", "a");
    WriteTestFile(folder + "\\ソフト.TXT", "b");
    WriteTestFile(sub + "\\inner.txt", "c");

    std::vector<plat::FindData> entries;
    ASSERT_TRUE(plat::ListFolder(folder, entries));
    std::vector<std::string> names;
    for (const plat::FindData& entry : entries) {
        names.push_back(entry.name + ((entry.attributes & plat::kAttrDirectory) ? "/" : ""));
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, std::vector<std::string>({"a.txt", "sub/", "ソフト.TXT"}));

    ASSERT_TRUE(plat::ListFolder(sub + "\\", entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "inner.txt");
    EXPECT_FALSE(plat::ListFolder(folder + "\\missing", entries));
    EXPECT_FALSE(plat::ListFolder(folder + "\\a.txt", entries));

    plat::DeleteFileAt(sub + "\\inner.txt");
    plat::RemoveFolder(sub);
    plat::DeleteFileAt(folder + "\\a.txt");
    plat::DeleteFileAt(folder + "\\ソフト.TXT");
    EXPECT_TRUE(plat::RemoveFolder(folder));
}

TEST(CodePage932, ConvertsExactlyOrNotAtAll) {
    // Outside the assertions: their text goes through the execution
    // character set, which has no room for some of these.
    const std::string kanji = u8"表示ソ～ｱ①", accent = u8"café", smile = u8"😀";
    std::string out;
    ASSERT_TRUE(plat::Cp932ToUtf8("表示ソ～ｱ①", out));
    EXPECT_EQ(out, kanji);
    ASSERT_TRUE(plat::Utf8ToCp932(kanji, out));
    EXPECT_EQ(out, "表示ソ～ｱ①");
    ASSERT_TRUE(plat::Utf8ToCp932("", out));
    EXPECT_EQ(out, "");
    EXPECT_FALSE(plat::Utf8ToCp932(accent, out));  // no "e" in its place
    EXPECT_FALSE(plat::Utf8ToCp932(smile, out));
    EXPECT_FALSE(plat::Utf8ToCp932("\xC3(", out));  // not UTF-8
    EXPECT_FALSE(plat::Cp932ToUtf8("a\x81 b", out));  // a lead byte without its trail byte
    EXPECT_FALSE(plat::Cp932ToUtf8("a\x83", out));
}

}  // namespace
