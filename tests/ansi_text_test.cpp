// The ANSI text module: character stepping on code page 932, where the
// second byte of ソ (83 5C) and 表 (95 5C) is the byte of "\".
#include <gtest/gtest.h>

#include "platform/AnsiText.h"

using namespace plat::ansi;

namespace {

const std::string kLoneLead = "C:\\App\x83";  // a lead byte with nothing after it

TEST(AnsiText, CharLengthAndStarts) {
    struct Case {
        std::string text;
        std::vector<size_t> starts;
    };
    const Case cases[] = {
        {"", {}},
        {"ab", {0, 1}},
        {"ソ", {0}},
        {"a表b", {0, 1, 3}},
        {"\\ソ\\", {0, 1, 3}},
        {kLoneLead, {0, 1, 2, 3, 4, 5, 6}},
        {"ソ\x83", {0, 2}},
    };
    for (const Case& c : cases) EXPECT_EQ(CharStarts(c.text), c.starts) << c.text;
    EXPECT_EQ(CharLength("ソ", 0), 2u);
    EXPECT_EQ(CharLength(kLoneLead, kLoneLead.size() - 1), 1u);
}

TEST(AnsiText, NextAndPrevious) {
    const std::string s = "aソ表\\";
    EXPECT_EQ(NextChar(s, 0), 1u);
    EXPECT_EQ(NextChar(s, 1), 3u);
    EXPECT_EQ(NextChar(s, 5), 6u);
    EXPECT_EQ(NextChar(s, 6), 6u);  // the end stays the end
    EXPECT_EQ(PrevChar(s, 6), 5u);
    EXPECT_EQ(PrevChar(s, 5), 3u);  // 表, not its trail byte 0x5C
    EXPECT_EQ(PrevChar(s, 3), 1u);
    EXPECT_EQ(PrevChar(s, 0), npos);
    EXPECT_EQ(PrevChar(kLoneLead, kLoneLead.size()), kLoneLead.size() - 1);
}

TEST(AnsiText, SeparatorTests) {
    struct Case {
        std::string text;
        size_t lastSeparator;
        bool endsWithSeparator;
        std::string withSeparator;
        std::string trimmed;
    };
    const Case cases[] = {
        {"", npos, false, "\\", ""},
        {"\\", 0, true, "\\", ""},
        {"C:\\", 2, true, "C:\\", "C:"},
        {"C:\\App", 2, false, "C:\\App\\", "C:\\App"},
        {"C:\\App\\", 6, true, "C:\\App\\", "C:\\App"},
        {"App\\ソ", 3, false, "App\\ソ\\", "App\\ソ"},
        {"App\\表", 3, false, "App\\表\\", "App\\表"},
        {"\\\\App\\ソ\\\\", 9, true, "\\\\App\\ソ\\\\", "App\\ソ"},
        {"ソ", npos, false, "ソ\\", "ソ"},
        {"表\\", 2, true, "表\\", "表"},
        {kLoneLead, 2, false, kLoneLead + "\\", kLoneLead},
        {"\x83\\", npos, false, "\x83\\\\", "\x83\\"},  // lead byte and its second byte
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LastSeparator(c.text), c.lastSeparator) << c.text;
        EXPECT_EQ(EndsWithSeparator(c.text), c.endsWithSeparator) << c.text;
        EXPECT_EQ(WithTrailingSeparator(c.text), c.withSeparator) << c.text;
        EXPECT_EQ(TrimSeparators(c.text), c.trimmed) << c.text;
    }
}

TEST(AnsiText, LastOfAndEndsWith) {
    EXPECT_EQ(LastOf("C:\\a.b\\x", ".\\:"), 6u);
    EXPECT_EQ(LastOf("D:ソ", "\\:"), 1u);
    EXPECT_EQ(LastOf("", "\\"), npos);
    EXPECT_EQ(LastOf(std::string("a\0b", 3), "\\"), npos);  // NUL is not in any set
    EXPECT_TRUE(EndsWith("setup.", '.'));
    EXPECT_FALSE(EndsWith("ソ", '\\'));
    EXPECT_FALSE(EndsWith("", '\\'));
    EXPECT_TRUE(IsSingleAt("a\\", 1, '\\'));
    EXPECT_FALSE(IsSingleAt("a", 3, 'a'));
}

TEST(AnsiText, AsciiCaseLeavesDoubleByteCharacters) {
    // 83 61 ("ャ"-range lead with a letter-valued trail byte) keeps its trail byte.
    const std::string mixed = "ab\x83" "aZ表";
    EXPECT_EQ(AsciiCase(mixed, true), "AB\x83" "aZ表");
    EXPECT_EQ(AsciiCase(mixed, false), "ab\x83" "az表");
    EXPECT_EQ(AsciiCase("", true), "");
    EXPECT_EQ(AsciiCase(kLoneLead, true), "C:\\APP\x83");
}

}  // namespace
