// The path label: character model, separators, shortening, case and the
// recomputation rules of its properties. Japanese literals are CP932 bytes.
#include <gtest/gtest.h>

#include <string>

#include "platform/Locale.h"
#include "ui/PathLbl.h"

using namespace PathLbl;

namespace {

const std::string kSample = "D:\\Program Files\\Sample\\Data\\readme.txt";
const std::string kNetwork = "\\\\server\\share\\dir\\sub\\file.txt";

// 83 5C: a second byte that is "\".
const std::string kSo = "ソ";

TEST(PathLblCharModel, CodePageHasShiftJisLeadBytes) {
    // Every double-byte case below relies on the ANSI code page being 932.
    ASSERT_TRUE(plat::IsDoubleByteCodePage());
    ASSERT_EQ(std::string("\x83\x5C"), kSo);
    EXPECT_TRUE(plat::IsLeadByte(0x81));
    EXPECT_TRUE(plat::IsLeadByte(0x9F));
    EXPECT_TRUE(plat::IsLeadByte(0xE0));
    EXPECT_TRUE(plat::IsLeadByte(0xFC));
    EXPECT_FALSE(plat::IsLeadByte(0x5C));
    EXPECT_FALSE(plat::IsLeadByte(0xA0));
}

TEST(PathLblCharModel, CharKindAt) {
    const std::string s = "a" + kSo + "b";  // 61 83 5C 62
    EXPECT_EQ(ckOther, CharKindAt(s, 1));
    EXPECT_EQ(ckPairStart, CharKindAt(s, 2));
    EXPECT_EQ(ckSecondByte, CharKindAt(s, 3));
    EXPECT_EQ(ckOther, CharKindAt(s, 4));
    EXPECT_EQ(ckOther, CharKindAt(s, 0));
    EXPECT_EQ(ckOther, CharKindAt(s, 5));
    EXPECT_EQ(ckOther, CharKindAt("", 1));
    // A second byte inside the lead range is read from the start: 88 88 88 88.
    const std::string repeated = "\x88\x88\x88\x88";
    EXPECT_EQ(ckPairStart, CharKindAt(repeated, 1));
    EXPECT_EQ(ckSecondByte, CharKindAt(repeated, 2));
    EXPECT_EQ(ckPairStart, CharKindAt(repeated, 3));
    EXPECT_EQ(ckSecondByte, CharKindAt(repeated, 4));
    // A lead byte in the last position counts as a pair start.
    EXPECT_EQ(ckPairStart, CharKindAt("ab\x83", 3));
}

TEST(PathLblCharModel, CountsAndParts) {
    const std::string s = "D:\\日本語";  // 3 + 6 bytes, 6 characters
    EXPECT_EQ(9, CharCount(s, cmBytes));
    EXPECT_EQ(6, CharCount(s, cmChars));
    EXPECT_EQ(0, CharCount("", cmChars));
    EXPECT_EQ(2, CharCount("a\x83", cmChars));

    EXPECT_EQ("日本", MidPart(s, 4, 2, cmChars));
    EXPECT_EQ("\x93\xfa\x96", MidPart(s, 4, 3, cmBytes));  // bytes may cut
    EXPECT_EQ("", MidPart(s, 7, 1, cmChars));               // fewer than 7 characters
    EXPECT_EQ("", MidPart(s, 0, 2, cmChars));
    EXPECT_EQ("", MidPart(s, 1, 0, cmChars));
    EXPECT_EQ("", MidPart("", 1, 1, cmBytes));
    EXPECT_EQ("語", MidPart(s, 6, 10, cmChars));
    EXPECT_EQ("\x83", MidPart("a\x83", 2, 1, cmChars));     // the lone lead byte

    EXPECT_EQ("D:\\日", LeftPart(s, 4, cmChars));
    EXPECT_EQ("", LeftPart(s, 0, cmChars));
    EXPECT_EQ("本語", RightPart(s, 2, cmChars));
    EXPECT_EQ("\x8c\xea", RightPart(s, 2, cmBytes));
    EXPECT_EQ("", RightPart(s, 7, cmChars));  // more than there is: empty, not all
    EXPECT_EQ(s, RightPart(s, 6, cmChars));
}

TEST(PathLblCharModel, SeparatorsSkipSecondBytes) {
    const std::string s = "C:\\" + kSo + "フト\\表\\x";  // ソ 83 5C, 表 95 5C
    EXPECT_EQ(3, FindSeparator(s, 1));
    EXPECT_EQ(10, FindSeparator(s, 4));
    EXPECT_EQ(13, FindSeparator(s, 11));
    EXPECT_EQ(0, FindSeparator(s, 14));
    EXPECT_EQ(0, FindSeparator(s, 0));
    EXPECT_EQ(0, FindSeparator("", 1));
    EXPECT_EQ(3, CountSeparators(s));
    EXPECT_EQ(0, CountSeparators(kSo + kSo));
}

TEST(PathLblSeparators, RootKind) {
    struct Case { std::string s; int kind; } cases[] = {
        {"D:\\", 1}, {"x:\\", 1}, {"1:\\", 0}, {"D:", 0}, {"D:\\a", 0}, {"\\\\server\\", 2},
        {"\\\\server\\share\\", 2}, {"\\\\server", 0}, {"\\\\server\\share", 0},
        {"\\\\server\\share\\dir\\", 0}, {"\\\\", 0}, {"\\", 0}, {"", 0},
        // The last byte is the second byte of ソ, not a separator.
        {"\\\\server\\" + kSo, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(c.kind, RootKind(c.s)) << c.s;
}

TEST(PathLblSeparators, AddAndRemove) {
    struct Case { std::string in, added, removed; } cases[] = {
        {"", "\\", ""},
        {"D:\\dir", "D:\\dir\\", "D:\\dir"},
        {"D:\\dir\\", "D:\\dir\\", "D:\\dir"},
        {"D:\\dir\\\\", "D:\\dir\\\\", "D:\\dir\\"},  // one separator only
        {"D:\\", "D:\\", "D:\\"},
        {"\\\\server\\", "\\\\server\\", "\\\\server\\"},
        {"\\\\server\\share\\", "\\\\server\\share\\", "\\\\server\\share\\"},
        {"\\\\server\\share\\dir\\", "\\\\server\\share\\dir\\", "\\\\server\\share\\dir"},
        // ソ ends in 5C but is no separator.
        {"D:\\" + kSo, "D:\\" + kSo + "\\", "D:\\" + kSo},
        {"D:\\" + kSo + "\\", "D:\\" + kSo + "\\", "D:\\" + kSo},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.added, AddTrailingSeparator(c.in)) << c.in;
        EXPECT_EQ(c.removed, RemoveTrailingSeparator(c.in)) << c.in;
    }
}

struct ShortenRow {
    int max;
    std::string right, left, file, drive;
};

TEST(PathLblShorten, SamplePathInFourStyles) {
    const ShortenRow rows[] = {
        {3, "D:\\", "D:\\", "D:\\", "D:\\"},
        {10, "D:\\Prog...", "...dme.txt", "D:\\Prog...", "D:\\Prog..."},
        {20, "D:\\Program Files\\...", "...e\\Data\\readme.txt", "D:\\...\\readme.txt",
         "D:\\...\\readme.txt"},
        {30, "D:\\Program Files\\Sample\\Dat...", "...iles\\Sample\\Data\\readme.txt",
         "D:\\...\\readme.txt", "D:\\...\\Sample\\Data\\readme.txt"},
        {38, "D:\\Program Files\\Sample\\Data\\readme...",
         "...rogram Files\\Sample\\Data\\readme.txt", "D:\\Program Files\\Sample\\...\\readme.txt",
         "D:\\...\\Sample\\Data\\readme.txt"},
        {39, kSample, kSample, kSample, kSample},
        {40, kSample, kSample, kSample, kSample},
    };
    ASSERT_EQ(39u, kSample.size());
    for (const auto& r : rows) {
        EXPECT_EQ(r.right, ShortenPath(kSample, r.max, ssRight)) << r.max;
        EXPECT_EQ(r.left, ShortenPath(kSample, r.max, ssLeft)) << r.max;
        EXPECT_EQ(r.file, ShortenPath(kSample, r.max, ssFile)) << r.max;
        EXPECT_EQ(r.drive, ShortenPath(kSample, r.max, ssDrive)) << r.max;
        if (r.max < 39) {
            EXPECT_EQ(static_cast<size_t>(r.max), r.right.size()) << r.max;
            EXPECT_EQ(static_cast<size_t>(r.max), r.left.size()) << r.max;
        }
    }
}

TEST(PathLblShorten, NetworkPath) {
    ASSERT_EQ(31u, kNetwork.size());
    EXPECT_EQ("\\\\server\\...\\file.txt", ShortenPath(kNetwork, 25, ssFile));
    EXPECT_EQ("\\\\server\\...\\sub\\file.txt", ShortenPath(kNetwork, 25, ssDrive));
    EXPECT_EQ("\\\\server\\share\\...\\file.txt", ShortenPath(kNetwork, 28, ssFile));
}

TEST(PathLblShorten, SmallMaximaAndNoSeparator) {
    EXPECT_EQ("", ShortenPath(kSample, 0, ssRight));
    EXPECT_EQ("", ShortenPath(kSample, -1, ssLeft));
    EXPECT_EQ("D", ShortenPath(kSample, 1, ssLeft));
    EXPECT_EQ("D:", ShortenPath(kSample, 2, ssFile));
    // 1 to 3: the first bytes, even half a character.
    EXPECT_EQ("\x93", ShortenPath("日本語", 1, ssRight));
    EXPECT_EQ("abc...", ShortenPath("abcdefghij", 6, ssFile));
    EXPECT_EQ("...hij", ShortenPath("abcdefghij", 6, ssDrive));
    EXPECT_EQ("abcdefghij", ShortenPath("abcdefghij", 10, ssRight));
    EXPECT_EQ("abc", ShortenPath("abc", 4, ssLeft));
    // Exactly max long: unchanged; one byte more: shortened.
    EXPECT_EQ("abcdefghi", ShortenPath("abcdefghi", 9, ssRight));
    EXPECT_EQ("abcde...", ShortenPath("abcdefghi", 8, ssRight));
}

TEST(PathLblShorten, ComponentStylesWithFewComponents) {
    // Two components that do not fit: cut right.
    EXPECT_EQ("D:\\abcd...", ShortenPath("D:\\abcdefghij", 10, ssFile));
    EXPECT_EQ("D:\\abcd...", ShortenPath("D:\\abcdefghij", 10, ssDrive));
    // A trailing separator belongs to the last component.
    EXPECT_EQ("D:\\...\\dd\\", ShortenPath("D:\\aaaa\\bbbb\\dd\\", 10, ssFile));
    EXPECT_EQ("D:\\...\\dd\\", ShortenPath("D:\\aaaa\\bbbb\\dd\\", 10, ssDrive));
    // A last component that looks like a drive gains no separator.
    EXPECT_EQ("C:\\...\\b:", ShortenPath("C:\\aaaaa\\b:", 10, ssFile));
    EXPECT_EQ("C:\\...\\b:", ShortenPath("C:\\aaaaa\\b:", 10, ssDrive));
}

TEST(PathLblShorten, DoubleByteCutRight) {
    const std::string s = "D:\\日本語\\a.txt";
    ASSERT_EQ(15u, s.size());
    EXPECT_EQ("D:\\日...", ShortenPath(s, 9, ssRight));
    EXPECT_EQ("D:\\日本...", ShortenPath(s, 10, ssRight));
    EXPECT_EQ("D:\\日本...", ShortenPath(s, 11, ssRight));
    // The component styles fall back to cutting right (fixed 3 + 5 + 4 = 12).
    EXPECT_EQ("D:\\日...", ShortenPath(s, 9, ssFile));
    EXPECT_EQ("D:\\日本...", ShortenPath(s, 10, ssDrive));
}

TEST(PathLblShorten, DoubleByteCutLeft) {
    const std::string s = "D:\\日本語\\a.txt";
    // Last 10 bytes: 本 語 \ a . t x t; byte 3 of them starts 語.
    EXPECT_EQ("...\\a.txt", ShortenPath(s, 10, ssLeft));
    EXPECT_EQ("...語\\a.txt", ShortenPath(s, 11, ssLeft));
    EXPECT_EQ("...語\\a.txt", ShortenPath(s, 12, ssLeft));
    // The last bytes start on a second byte whose value is also a lead byte
    // (88 88 pairs): classifying from there would keep half a character.
    const std::string pairs = "a\x88\x88\x88\x88\x88\x88";  // a + three characters
    EXPECT_EQ("...\x88\x88", ShortenPath(pairs, 5, ssLeft));
    EXPECT_EQ("...\x88\x88", ShortenPath(pairs, 6, ssLeft));
    EXPECT_EQ("...\x88\x88\x88\x88", ShortenPath("ab\x88\x88\x88\x88\x88\x88", 7, ssLeft));
}

TEST(PathLblShorten, DoubleByteComponentsStayWhole) {
    // Components with ソ (83 5C) split only at real separators.
    const std::string s = "D:\\" + kSo + kSo + "\\長い名前\\もっと\\x.txt";
    const std::string file = ShortenPath(s, 18, ssFile);
    EXPECT_EQ("D:\\" + kSo + kSo + "\\...\\x.txt", file);
    EXPECT_EQ("D:\\...\\もっと\\x.txt", ShortenPath(s, 20, ssDrive));
}

TEST(PathLblCase, AsciiLettersOnlyOnDoubleByteSystems) {
    EXPECT_EQ("D:\\DIR\\ファイル.TXT", ChangeCase("d:\\dir\\ファイル.txt", tcUpperCase));
    EXPECT_EQ("d:\\dir\\ファイル.txt", ChangeCase("D:\\DIR\\ファイル.TXT", tcLowerCase));
    EXPECT_EQ("aBc", ChangeCase("aBc", tcNone));
    // Second bytes in the letter range: ア 83 41 ("A"), テ 83 65 ("e").
    ASSERT_EQ(std::string("\x83\x41\x83\x65"), std::string("アテ"));
    EXPECT_EQ("アテx", ChangeCase("アテX", tcLowerCase));
    EXPECT_EQ("アテX", ChangeCase("アテx", tcUpperCase));
    // Full-width letters are double-byte characters: unchanged.
    EXPECT_EQ("ａＢ", ChangeCase("ａＢ", tcUpperCase));
    EXPECT_EQ("ａＢ", ChangeCase("ａＢ", tcLowerCase));
    const std::string lone = "a\x83";
    EXPECT_EQ("A\x83", ChangeCase(lone, tcUpperCase));
}

TEST(PathLblConvert, RootsAndUnrootedPaths) {
    EXPECT_EQ("D:\\", ConvertPathType("d:\\", ptLongName));
    EXPECT_EQ("D:\\", ConvertPathType("d:\\", ptShortName));
    EXPECT_EQ("\\\\server\\share\\", ConvertPathType("\\\\server\\share\\", ptShortName));
    EXPECT_EQ("\\\\server\\", ConvertPathType("\\\\server\\", ptLongName));
    // Relative paths are shown as given.
    EXPECT_EQ("dir\\file.txt", ConvertPathType("dir\\file.txt", ptLongName));
    EXPECT_EQ("", ConvertPathType("", ptLongName));
    EXPECT_EQ("d:\\x", ConvertPathType("d:\\x", ptNone));
}

// A label with no parent: its caption and hint are all that is looked at.
struct PathLabelTest : ::testing::Test {
    TPathLabel label{nullptr, "CopyFileLabel"};
};

TEST_F(PathLabelTest, InitialState) {
    EXPECT_EQ(plat::WidgetKind::Label, label.Kind());
    EXPECT_FALSE(label.AutoSize());
    EXPECT_FALSE(label.AutoUpdateHint());
    EXPECT_EQ("", label.Path());
    EXPECT_EQ(0, label.MaxLength());
    EXPECT_EQ(ssRight, label.Style());
    EXPECT_EQ(tcNone, label.TextCase());
    EXPECT_EQ(psNone, label.PathSeparator());
    EXPECT_EQ(ptNone, label.PathType());
    EXPECT_EQ("", label.Caption());
}

TEST_F(PathLabelTest, WizardSettingsShowThePathUnchanged) {
    const std::string paths[] = {kSample, "D:\\dir\\", "D:\\dir", "a&b\\c&&d", "D:\\" + kSo,
                                 std::string(300, 'x')};
    for (const auto& p : paths) {
        label.SetPath(p);
        EXPECT_EQ(p, label.Caption());
        EXPECT_EQ(p, label.Path());
    }
}

TEST_F(PathLabelTest, ShorteningNeedsMaxLengthAndStyle) {
    label.SetPath(kSample);
    label.SetStyle(ssLeft);
    EXPECT_EQ(kSample, label.Caption());  // MaxLength 0
    label.SetMaxLength(10);
    EXPECT_EQ("...dme.txt", label.Caption());
    label.SetStyle(ssNone);
    EXPECT_EQ(kSample, label.Caption());
    label.SetStyle(ssRight);
    EXPECT_EQ("D:\\Prog...", label.Caption());
    label.SetMaxLength(39);
    EXPECT_EQ(kSample, label.Caption());
    label.SetMaxLength(38);
    EXPECT_EQ("D:\\Program Files\\Sample\\Data\\readme...", label.Caption());
}

TEST_F(PathLabelTest, SeparatorRules) {
    struct Case { TPathSeparator rule; std::string path, caption; } cases[] = {
        {psNone, "D:\\dir\\", "D:\\dir\\"},
        {psNone, "D:\\dir", "D:\\dir"},
        {psNone, "", ""},
        {psAddSeparator, "", ""},
        {psAddSeparator, "D:\\dir", "D:\\dir\\"},
        {psAddSeparator, "D:\\", "D:\\"},
        {psSubSeparator, "D:\\dir\\", "D:\\dir"},
        {psSubSeparator, "D:\\dir\\\\", "D:\\dir\\"},
        {psSubSeparator, "D:\\", "D:\\"},
        {psSubSeparator, "\\\\server\\", "\\\\server\\"},
        {psSubSeparator, "\\\\server\\share\\", "\\\\server\\share\\"},
        {psSubSeparator, "D:\\" + kSo, "D:\\" + kSo},
    };
    for (const auto& c : cases) {
        label.SetPathSeparator(c.rule);
        label.SetPath(c.path);
        EXPECT_EQ(c.caption, label.Caption()) << c.rule << " " << c.path;
    }
}

TEST_F(PathLabelTest, StepsRunInOrder) {
    // Separator before shortening, case after it.
    label.SetPathSeparator(psAddSeparator);
    label.SetTextCase(tcUpperCase);
    label.SetMaxLength(20);
    label.SetStyle(ssFile);
    label.SetPath("d:\\program files\\sample\\data");
    EXPECT_EQ("D:\\...\\DATA\\", label.Caption());
}

TEST_F(PathLabelTest, EverySetRecomputes) {
    label.SetPath("d:\\dir");
    label.SetCaption("stale");
    label.SetPath("d:\\dir");  // same value
    EXPECT_EQ("d:\\dir", label.Caption());
    label.SetCaption("stale");
    label.SetTextCase(tcNone);  // same value
    EXPECT_EQ("d:\\dir", label.Caption());
    label.SetCaption("stale");
    label.SetMaxLength(0);
    EXPECT_EQ("d:\\dir", label.Caption());
    label.SetCaption("stale");
    label.SetStyle(ssRight);
    EXPECT_EQ("d:\\dir", label.Caption());
    label.SetCaption("stale");
    label.SetPathSeparator(psNone);
    EXPECT_EQ("d:\\dir", label.Caption());
    label.SetCaption("stale");
    label.SetPathType(ptNone);
    EXPECT_EQ("d:\\dir", label.Caption());
}

TEST_F(PathLabelTest, HintFollowsWhenSwitchedOn) {
    label.SetMaxLength(10);
    label.SetTextCase(tcUpperCase);
    label.SetPath(kSample);
    EXPECT_EQ("", label.Hint());  // AutoUpdateHint off
    label.SetAutoUpdateHint(true);
    // At once, unshortened, with the case step.
    EXPECT_EQ("D:\\PROGRAM FILES\\SAMPLE\\DATA\\README.TXT", label.Hint());
    EXPECT_EQ("D:\\PROG...", label.Caption());
    label.SetPath("d:\\x\\");
    EXPECT_EQ("D:\\X\\", label.Hint());
    label.SetHint("stale");
    label.SetPath("d:\\x\\");  // the same path still recomputes the hint
    EXPECT_EQ("D:\\X\\", label.Hint());
    label.SetAutoUpdateHint(false);
    label.SetPath("d:\\other");
    EXPECT_EQ("D:\\X\\", label.Hint());  // kept
    EXPECT_EQ("D:\\OTHER", label.Caption());
}

}  // namespace
