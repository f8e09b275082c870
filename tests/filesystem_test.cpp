// File-system behaviour that the product relies on, on both builds: in the
// temporary folder of the sim or of the real system under Wine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/System.h"
#include "tests/support/TestSystem.h"

namespace {

class PortableFileSystem : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = plat::TempFolder() + "orvane-fs-" + plat::RandomHex(4) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name();
        ASSERT_TRUE(plat::ForceDirectories(root_));
        Track(root_, true);
    }
    void TearDown() override {
        // Newest first, so that folders are empty when their turn comes.
        for (auto it = made_.rbegin(); it != made_.rend(); ++it) {
            plat::WriteAttributes(it->first, plat::kAttrNormal);
            if (it->second) {
                plat::RemoveFolder(it->first);
            } else {
                plat::DeleteFileAt(it->first);
            }
        }
    }
    std::string P(const std::string& name) { return root_ + "\\" + name; }
    void Track(const std::string& path, bool folder) { made_.push_back({path, folder}); }
    std::string File(const std::string& name, const std::string& content) {
        std::string path = P(name);
        EXPECT_TRUE(plat::WriteWholeFile(path, content)) << path;
        Track(path, false);
        return path;
    }

    std::string root_;
    std::vector<std::pair<std::string, bool>> made_;
};

TEST_F(PortableFileSystem, WholeFileRoundTripAndExistence) {
    const std::string data("line1\r\n\x95\x5C\0tail", 13);
    std::string path = File("a.ini", data);
    std::string read;
    ASSERT_EQ(plat::ReadWholeFile(path, read), plat::ReadResult::Ok);
    EXPECT_EQ(read, data);
    EXPECT_TRUE(plat::FileExists(path));
    EXPECT_FALSE(plat::DirectoryExists(path));
    EXPECT_TRUE(plat::DirectoryExists(root_));
    EXPECT_FALSE(plat::FileExists(root_));
    EXPECT_NE(plat::ReadAttributes(path) & plat::kAttrArchive, 0u);

    // Rewriting truncates.
    ASSERT_TRUE(plat::WriteWholeFile(path, "x"));
    ASSERT_EQ(plat::ReadWholeFile(path, read), plat::ReadResult::Ok);
    EXPECT_EQ(read, "x");
    ASSERT_TRUE(plat::WriteWholeFile(path, ""));
    ASSERT_EQ(plat::ReadWholeFile(path, read), plat::ReadResult::Ok);
    EXPECT_EQ(read, "");
}

TEST_F(PortableFileSystem, ReadFailures) {
    std::string read = "untouched";
    EXPECT_EQ(plat::ReadWholeFile(P("missing.ini"), read), plat::ReadResult::NotFound);
    EXPECT_EQ(plat::ReadWholeFile(P("no folder\\missing.ini"), read), plat::ReadResult::NotFound);
    EXPECT_EQ(plat::ReadWholeFile(root_, read), plat::ReadResult::OpenFailed);  // a folder
    EXPECT_EQ(read, "untouched");
    EXPECT_FALSE(plat::FileExists(P("missing.ini")));
    EXPECT_EQ(plat::ReadAttributes(P("missing.ini")), plat::kInvalidAttributes);
    EXPECT_FALSE(plat::WriteWholeFile(P("no folder\\new.ini"), "x"));
}

TEST_F(PortableFileSystem, ReadingDeniesOtherWriters) {
    std::string path = File("held.ini", "[S]\r\nA=1\r\n");
    std::string read;
    {
        support::FileWriteHold hold(path);
        ASSERT_TRUE(hold.IsOpen());
        EXPECT_EQ(plat::ReadWholeFile(path, read), plat::ReadResult::OpenFailed);
        EXPECT_TRUE(plat::FileExists(path));  // still there, only not readable now
    }
    ASSERT_EQ(plat::ReadWholeFile(path, read), plat::ReadResult::Ok);
    EXPECT_EQ(read, "[S]\r\nA=1\r\n");
}

TEST_F(PortableFileSystem, ForceDirectoriesWithTrailByte5C) {
    // 表 = 95 5C and ソ = 83 5C: the 5C trail bytes are not separators.
    const std::string chain = P("\x95\x5C\\\x83\x5C\x83\x74\x83\x67\\sub");
    ASSERT_TRUE(plat::ForceDirectories(chain));
    Track(P("\x95\x5C"), true);
    Track(P("\x95\x5C\\\x83\x5C\x83\x74\x83\x67"), true);
    Track(chain, true);
    EXPECT_TRUE(plat::DirectoryExists(P("\x95\x5C")));
    EXPECT_TRUE(plat::DirectoryExists(P("\x95\x5C\\\x83\x5C\x83\x74\x83\x67")));
    EXPECT_TRUE(plat::DirectoryExists(chain));
    // The first folder is named 表 itself, not cut at its trail byte.
    plat::FindHandle find;
    plat::FindData data;
    ASSERT_TRUE(find.First(P("\x95\x5C"), data));
    EXPECT_EQ(data.name, "\x95\x5C");

    // Existing chain, trailing backslash: still true, nothing new.
    EXPECT_TRUE(plat::ForceDirectories(chain + "\\"));
    // A file in the way: false.
    std::string file = File("plain.txt", "x");
    EXPECT_FALSE(plat::ForceDirectories(file + "\\below"));
    EXPECT_THROW(plat::ForceDirectories(""), ESetupError);
}

TEST_F(PortableFileSystem, FolderCreateAndRemove) {
    std::string folder = P("one");
    ASSERT_TRUE(plat::MakeDirectory(folder));
    Track(folder, true);
    EXPECT_FALSE(plat::MakeDirectory(folder));               // exists
    EXPECT_FALSE(plat::MakeDirectory(P("two\\three")));      // parent missing
    std::string inner = folder + "\\f.txt";
    ASSERT_TRUE(plat::WriteWholeFile(inner, "x"));
    Track(inner, false);
    EXPECT_FALSE(plat::RemoveFolder(folder));  // not empty
    ASSERT_TRUE(plat::DeleteFileAt(inner));
    EXPECT_TRUE(plat::RemoveFolder(folder));
    EXPECT_FALSE(plat::DirectoryExists(folder));
    EXPECT_FALSE(plat::RemoveFolder(folder));
}

TEST_F(PortableFileSystem, CopyOverwritesAndCarriesAttributes) {
    std::string source = File("src.txt", "new content");
    std::string dest = File("dst.txt", "old");
    EXPECT_FALSE(plat::CopyFileTo(source, dest, true));  // fail if exists
    std::string read;
    ASSERT_EQ(plat::ReadWholeFile(dest, read), plat::ReadResult::Ok);
    EXPECT_EQ(read, "old");
    ASSERT_TRUE(plat::CopyFileTo(source, dest, false));
    ASSERT_EQ(plat::ReadWholeFile(dest, read), plat::ReadResult::Ok);
    EXPECT_EQ(read, "new content");

    // A read-only source gives a read-only copy; clearing the bit keeps the others.
    ASSERT_TRUE(plat::WriteAttributes(source, plat::kAttrReadOnly | plat::kAttrArchive));
    std::string copy = P("copy.txt");
    ASSERT_TRUE(plat::CopyFileTo(source, copy, false));
    Track(copy, false);
    uint32_t attributes = plat::ReadAttributes(copy);
    EXPECT_NE(attributes & plat::kAttrReadOnly, 0u);
    ASSERT_TRUE(plat::WriteAttributes(copy, attributes & ~plat::kAttrReadOnly));
    EXPECT_EQ(plat::ReadAttributes(copy) & plat::kAttrReadOnly, 0u);
    EXPECT_NE(plat::ReadAttributes(copy) & plat::kAttrArchive, 0u);
    EXPECT_TRUE(plat::CopyFileTo(dest, copy, false));

    EXPECT_FALSE(plat::CopyFileTo(P("missing.txt"), P("other.txt"), false));
    EXPECT_FALSE(plat::FileExists(P("other.txt")));
    EXPECT_FALSE(plat::CopyFileTo(source, P("no folder\\x.txt"), false));
}

// Windows also refuses to overwrite a read-only file; Wine run as root does
// not (it relies on the Unix permission bits), so only the sim tests show that.
TEST_F(PortableFileSystem, ReadOnlyFilesRefuseDeletes) {
    std::string path = File("ro.txt", "keep");
    ASSERT_TRUE(plat::WriteAttributes(path, plat::kAttrReadOnly));
    EXPECT_NE(plat::ReadAttributes(path) & plat::kAttrReadOnly, 0u);
    EXPECT_FALSE(plat::DeleteFileAt(path));
    EXPECT_TRUE(plat::FileExists(path));
    ASSERT_TRUE(plat::WriteAttributes(path, plat::kAttrNormal));
    EXPECT_EQ(plat::ReadAttributes(path) & plat::kAttrReadOnly, 0u);
    EXPECT_TRUE(plat::DeleteFileAt(path));
    EXPECT_FALSE(plat::FileExists(path));
    EXPECT_FALSE(plat::DeleteFileAt(path));
    EXPECT_FALSE(plat::DeleteFileAt(root_));  // a folder is no file
    EXPECT_FALSE(plat::WriteAttributes(P("missing.txt"), plat::kAttrNormal));
}

TEST_F(PortableFileSystem, FindFirstEntryLongAndShort) {
    std::string path = File("Long File Name.text", "x");
    plat::FindData data;
    {
        plat::FindHandle find;
        // Any case, as the path label looks names up upper-cased.
        ASSERT_TRUE(find.First(P("LONG FILE NAME.TEXT"), data));
        EXPECT_TRUE(find.IsOpen());
        EXPECT_EQ(data.name, "Long File Name.text");
        EXPECT_FALSE(data.shortName.empty());
        EXPECT_LE(data.shortName.size(), 12u);
        EXPECT_EQ(data.attributes & plat::kAttrDirectory, 0u);
        // The short name finds the same entry.
        plat::FindHandle again;
        plat::FindData viaShort;
        ASSERT_TRUE(again.First(P(data.shortName), viaShort));
        EXPECT_EQ(viaShort.name, "Long File Name.text");
        find.Close();
        EXPECT_FALSE(find.IsOpen());
    }
    File("SHORT.TXT", "x");
    plat::FindHandle find;
    ASSERT_TRUE(find.First(P("short.txt"), data));
    EXPECT_EQ(data.name, "SHORT.TXT");
    EXPECT_EQ(data.shortName, "");
    ASSERT_TRUE(find.First(root_, data));  // a folder, found in its parent
    EXPECT_NE(data.attributes & plat::kAttrDirectory, 0u);
    EXPECT_FALSE(find.First(P("nothing-here.txt"), data));
    EXPECT_FALSE(find.IsOpen());
}

TEST_F(PortableFileSystem, CurrentFolderResolvesRelativePaths) {
    const std::string before = plat::CurrentFolder();
    ASSERT_FALSE(before.empty());
    File("rel.txt", "relative");
    ASSERT_TRUE(plat::SetCurrentFolder(root_));
    std::string read;
    EXPECT_EQ(plat::ReadWholeFile("rel.txt", read), plat::ReadResult::Ok);
    EXPECT_EQ(read, "relative");
    EXPECT_TRUE(plat::FileExists(".\\rel.txt"));
    EXPECT_FALSE(plat::SetCurrentFolder(P("missing")));
    ASSERT_TRUE(plat::SetCurrentFolder(before));
    EXPECT_EQ(plat::CurrentFolder(), before);
}

TEST(PortableSystemPaths, ExecutableAndTemp) {
    std::string exe = plat::ExecutablePath();
    ASSERT_GT(exe.size(), 3u);
    EXPECT_EQ(exe[1], ':');
    EXPECT_TRUE(plat::FileExists(exe));
    std::string temp = plat::TempFolder();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), '\\');
    EXPECT_TRUE(plat::DirectoryExists(temp));
}

}  // namespace
