// Long and short name conversion of the path label against the sim file system.
#include <gtest/gtest.h>

#include <string>

#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimLocale.h"
#include "ui/PathLbl.h"

using namespace PathLbl;

namespace {

struct PathLblSimTest : ::testing::Test {
    void SetUp() override {
        sim::ResetFileSystem();
        ASSERT_TRUE(sim::AddFile("C:\\Program Files\\Sample Dir\\Long File Name.txt", "x"));
        ASSERT_TRUE(sim::AddFile("C:\\Program Files\\Sample Dir\\Data\\a.txt", "x"));
        // ソ (83 5C) and 表 (95 5C) carry a 5C second byte.
        ASSERT_TRUE(sim::AddFile("C:\\ソフト\\表計算\\メモ帳テキスト.txt", "x"));
    }
    void TearDown() override { EXPECT_EQ(0, sim::OpenFindHandles()); }
};

TEST_F(PathLblSimTest, LongNamesAsStored) {
    EXPECT_EQ("C:\\Program Files\\Sample Dir\\Long File Name.txt",
              ConvertPathType("c:\\program files\\SAMPLE DIR\\long file name.TXT", ptLongName));
    EXPECT_EQ("C:\\Program Files\\Sample Dir",
              ConvertPathType("c:\\program files\\sample dir\\", ptLongName));
    EXPECT_EQ("C:\\ソフト\\表計算\\メモ帳テキスト.txt",
              ConvertPathType("c:\\ソフト\\表計算\\メモ帳テキスト.TXT", ptLongName));
}

TEST_F(PathLblSimTest, ShortNamesFromTheFileSystem) {
    const std::string programFiles = sim::ShortNameOf("C:\\Program Files");
    const std::string sampleDir = sim::ShortNameOf("C:\\Program Files\\Sample Dir");
    const std::string longFile = sim::ShortNameOf("C:\\Program Files\\Sample Dir\\Long File Name.txt");
    ASSERT_FALSE(programFiles.empty());
    ASSERT_FALSE(sampleDir.empty());
    ASSERT_FALSE(longFile.empty());
    EXPECT_EQ("C:\\" + programFiles + "\\" + sampleDir + "\\" + longFile,
              ConvertPathType("c:\\program files\\sample dir\\long file name.txt", ptShortName));
    // An 8.3 name has no short name of its own: the stored name is used.
    ASSERT_EQ("", sim::ShortNameOf("C:\\Program Files\\Sample Dir\\Data"));
    EXPECT_EQ("C:\\" + programFiles + "\\" + sampleDir + "\\Data\\a.txt",
              ConvertPathType("C:\\Program Files\\Sample Dir\\DATA\\A.TXT", ptShortName));
    // A short name given in the path is looked up as well.
    sim::SetShortName("C:\\Program Files\\Sample Dir", "SAMPLE~9");
    EXPECT_EQ("C:\\Program Files\\Sample Dir\\Data",
              ConvertPathType("C:\\" + programFiles + "\\sample~9\\data", ptLongName));
    EXPECT_EQ("C:\\" + programFiles + "\\SAMPLE~9\\Data",
              ConvertPathType("C:\\Program Files\\Sample Dir\\Data", ptShortName));
}

TEST_F(PathLblSimTest, MissingComponentGivesEmpty) {
    EXPECT_EQ("", ConvertPathType("C:\\Program Files\\Nothing\\a.txt", ptLongName));
    EXPECT_EQ("", ConvertPathType("C:\\Program Files\\Sample Dir\\missing.txt", ptShortName));
    EXPECT_EQ("", ConvertPathType("Q:\\a", ptLongName));
    // A pattern names no single entry.
    EXPECT_EQ("", ConvertPathType("C:\\Program Files\\*", ptLongName));
    EXPECT_EQ("", ConvertPathType("C:\\Program Files\\Sample Di?", ptLongName));
    // Unrooted text is shown as given.
    EXPECT_EQ("Program Files\\x", ConvertPathType("Program Files\\x", ptLongName));
}

TEST_F(PathLblSimTest, LabelCaptions) {
    TPathLabel label(nullptr, "L");
    label.SetPathType(ptLongName);
    label.SetPath("c:\\program files\\sample dir\\");
    EXPECT_EQ("C:\\Program Files\\Sample Dir\\", label.Caption());  // separator given back
    label.SetPath("c:\\program files\\sample dir");
    EXPECT_EQ("C:\\Program Files\\Sample Dir", label.Caption());
    label.SetPathSeparator(psAddSeparator);
    EXPECT_EQ("C:\\Program Files\\Sample Dir\\", label.Caption());
    // A failed lookup shows nothing, not a lone "\".
    label.SetPathSeparator(psNone);
    label.SetPath("c:\\program files\\gone\\");
    EXPECT_EQ("", label.Caption());
    label.SetPathSeparator(psAddSeparator);
    EXPECT_EQ("", label.Caption());
    // The conversion runs afresh on every set: the folder appears, the caption follows.
    ASSERT_TRUE(sim::AddFolder("C:\\Program Files\\Gone"));
    label.SetPath("c:\\program files\\gone\\");
    EXPECT_EQ("C:\\Program Files\\Gone\\", label.Caption());
    label.SetPathType(ptShortName);
    label.SetMaxLength(12);
    label.SetStyle(ssLeft);
    const std::string expected = "C:\\" + sim::ShortNameOf("C:\\Program Files") + "\\Gone\\";
    EXPECT_EQ("..." + expected.substr(expected.size() - 9), label.Caption());
}

}  // namespace

namespace {

struct SingleByteLocale : ::testing::Test {
    void SetUp() override { sim::SetAnsiCodePage(1252); }
    void TearDown() override { sim::ResetLocale(); }
};

TEST_F(SingleByteLocale, CaseGoesThroughTheLocaleConversion) {
    // Without lead bytes, 83 41 is two characters and the "A" changes.
    EXPECT_EQ("\x83" "a" "x", ChangeCase("\x83" "AX", tcLowerCase));
    EXPECT_EQ("D:\\DIR", ChangeCase("d:\\dir", tcUpperCase));
    // Nor is 83 5C a character any more: the 5C is a separator.
    EXPECT_EQ(2, FindSeparator("\x83\\", 1));
}

}  // namespace
