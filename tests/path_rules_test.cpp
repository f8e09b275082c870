// Windows' path rules (platform/PathRules.h): roots, the names that Windows
// drops or shortens, letter case, and the text helpers of the runs.
#include <gtest/gtest.h>

#include <string>

#include "platform/PathRules.h"

using namespace plat::path;

namespace {

const std::string kLone = "\x82";  // a lead byte without its second byte

TEST(PathRules, Resolve) {
    struct Row {
        const char* path;
        const char* current;
        const char* text;  // "" when the path names nothing
        bool trailing;
    } rows[] = {
        {"c:\\a\\\\b\\.\\c\\..\\d\\", "", "C:\\a\\b\\d", true},
        {"C:\\..\\..\\x", "", "C:\\x", false},
        {"//server/share/", "", "\\\\server\\share\\", false},
        {"C:\\ソフト\\表\\", "", "C:\\ソフト\\表", true},  // ソ = 83 5C, 表 = 95 5C
        // Final dots and blanks go; a name before a separator loses one dot.
        {"C:\\a\\data.", "", "C:\\a\\data", false},
        {"C:\\a\\data. . ", "", "C:\\a\\data", false},
        {"C:\\a\\data.\\", "", "C:\\a\\data", true},
        {"C:\\a\\data..\\b", "", "C:\\a\\data.\\b", false},
        {"C:\\a\\...\\b", "", "C:\\a\\...\\b", false},
        {"C:\\a\\data \\b", "", "C:\\a\\data \\b", false},
        {"C:\\a\\ ", "", "C:\\a", false},
        // Device paths: "\\?\" is taken as written.
        {"\\\\?\\C:\\a\\..\\b.", "", "C:\\a\\..\\b.", false},
        {"\\\\?\\UNC\\srv\\sh\\x", "", "\\\\srv\\sh\\x", false},
        {"\\\\.\\C:\\a\\..\\b", "", "C:\\b", false},
        {"\\\\.\\pipe\\x", "", "\\\\.\\pipe\\x", false},
        // Relative forms, against the current folder.
        {"rel\\x", "C:\\work", "C:\\work\\rel\\x", false},
        {"..\\..\\..\\x", "C:\\work", "C:\\x", false},
        {"\\rooted", "D:\\w", "D:\\rooted", false},
        {"\\rooted", "\\\\s\\sh\\w", "\\\\s\\sh\\rooted", false},
        {"C:x", "C:\\work", "C:\\work\\x", false},
        {"C:x", "D:\\w", "C:\\x", false},
        // Nothing (more in the tool's tests of full paths).
        {"rel\\x", "", "", false},
        {"C:rel", "", "", false},
        {"\\\\server\\\\share", "", "", false},
        {"\\\\?\\", "", "", false},
        {"", "C:\\work", "", false},
    };
    for (const Row& row : rows) {
        const ResolvedPath r = Resolve(row.path, row.current);
        EXPECT_EQ(r.valid ? r.Text() : "", row.text) << row.path;
        EXPECT_EQ(r.trailingSeparator, row.trailing) << row.path;
    }
}

TEST(PathRules, NamesCompareAsTheFileSystemCompares) {
    struct Row {
        const char* a;
        const char* b;
        bool same;
    } rows[] = {
        {"C:\\Program Files\\App", "c:\\PROGRAM FILES\\app\\.", true},
        {"C:\\ａｚ", "C:\\ＡＺ", true},  // full-width Latin
        {"C:\\αω", "C:\\ΑΩ", true},      // Greek
        {"C:\\аноя", "C:\\АНОЯ", true},  // Cyrillic on both sides of 84 7F
        {"\\\\SRV\\Share\\x", "\\\\srv\\share\\X", true},
        {"\\\\?\\c:\\a", "C:\\A", true},
        {"C:\\ソ", "C:\\ゾ", false},  // 83 5C and 83 5D: no letters
        {"C:\\a", "C:\\ab", false},
        {"C:\\a", "D:\\a", false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Resolve(row.a).Key() == Resolve(row.b).Key(), row.same) << row.a << " ~ " << row.b;
        EXPECT_EQ(KeyOf(row.a) == KeyOf(row.b), row.same) << row.a << " ~ " << row.b;
    }
    struct Fold {
        const char* text;
        const char* folded;
    } folds[] = {
        {"abzAZ", "ABZAZ"}, {"ａｚ", "ＡＺ"}, {"αω", "ΑΩ"}, {"аноя", "АНОЯ"},
        // ぁ (82 9F) follows ｚ (82 9A); ソ and 表 end in 5C.
        {"ぁ", "ぁ"}, {"ソ表ｱ", "ソ表ｱ"}, {"ρσ", "ΡΣ"},
    };
    for (const Fold& f : folds) EXPECT_EQ(FoldCase(f.text), f.folded) << f.text;
    EXPECT_EQ(KeyOf("[Install Folder]\\a\\.\\b."), KeyOf("[install folder]\\A\\\\B"));
    EXPECT_EQ(KeyOf("..\\x\\"), "..\\X");
    EXPECT_NE(KeyOf("\\a"), KeyOf("a"));
    EXPECT_NE(KeyOf("C:a"), KeyOf("a"));
}

TEST(PathRules, TextHelpers) {
    struct Row {
        std::string path;
        const char* folder;
        const char* name;
        bool full;
    } rows[] = {
        {"D:\\Apps\\Tool\\setup.exe", "D:\\Apps\\Tool", "setup.exe", true},
        {"D:\\setup.exe", "D:\\", "setup.exe", true},
        {"D:\\a\\", "D:\\a", "", true},
        {"D:setup.exe", "D:", "setup.exe", false},
        {"D:", "D:", "", false},
        {"\\\\srv\\sh\\setup.exe", "\\\\srv\\sh", "setup.exe", true},
        {"\\\\srv\\sh", "\\\\srv\\sh", "", true},
        {"\\\\?\\C:\\x", "\\\\?\\C:\\", "x", true},
        {"\\a", "\\", "a", false},
        {"a\\b", "a", "b", false},
        {"setup.exe", "", "setup.exe", false},
        {"C:\\ソフト\\表.exe", "C:\\ソフト", "表.exe", true},
        {"1:\\x", "1:", "x", false},  // no drive letter: a relative path
    };
    for (const Row& row : rows) {
        EXPECT_EQ(FolderOf(row.path), row.folder) << row.path;
        EXPECT_EQ(FileName(row.path), row.name) << row.path;
        EXPECT_EQ(IsFull(row.path), row.full) << row.path;
    }
}

TEST(PathRules, JoinKeepsItsSeparator) {
    struct Row {
        std::string folder, name, joined;
    } rows[] = {
        {"C:\\App", "a.txt", "C:\\App\\a.txt"},
        {"C:\\App\\", "a.txt", "C:\\App\\a.txt"},
        {"C:/App/", "a.txt", "C:/App/a.txt"},
        {"C:\\ソ", "a.txt", "C:\\ソ\\a.txt"},
        {"", "a.txt", "a.txt"},
        // The lone lead byte takes a "\" as its second byte, and one more stands.
        {"C:\\Prog" + kLone, "a.txt", "C:\\Prog" + kLone + "\\\\a.txt"},
    };
    for (const Row& row : rows) {
        const std::string joined = Join(row.folder, row.name);
        EXPECT_EQ(joined, row.joined) << row.folder;
        EXPECT_EQ(Resolve(joined, "C:\\").parts.back(), row.name) << row.folder;
    }
    EXPECT_TRUE(EndsInLoneLeadByte("C:\\Prog" + kLone));
    EXPECT_FALSE(EndsInLoneLeadByte("C:\\ソ"));
    EXPECT_FALSE(EndsInLoneLeadByte(""));
}

}  // namespace
