// The CP932/UTF-8 conversions of the platform layer, on both backends, and
// the UTF-8 reader that both use.
#include <gtest/gtest.h>

#include <string>

#include "platform/CodePage932.h"

namespace {

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

TEST(CodePage932, RefusesLookAlikes) {
    // Characters that code page 932 lacks, and the one it holds in their
    // place: only the second converts (a "\" for U+00A5 would be a new
    // path separator).
    struct Row {
        std::string lacking, held, bytes;
    } rows[] = {
        {u8"\u00A5", u8"\\", "\\"},            {u8"\u203E", u8"~", "~"},
        {u8"\u301C", u8"\uFF5E", "\x81\x60"}, {u8"\u2014", u8"\u2015", "\x81\x5C"},
        {u8"\u2016", u8"\u2225", "\x81\x61"}, {u8"\u2212", u8"\uFF0D", "\x81\x7C"},
        {u8"\u00A2", u8"\uFFE0", "\x81\x91"}, {u8"\u00A3", u8"\uFFE1", "\x81\x92"},
        {u8"\u00AC", u8"\uFFE2", "\x81\xCA"},
    };
    for (const Row& row : rows) {
        std::string out;
        EXPECT_FALSE(plat::Utf8ToCp932(row.lacking, out)) << row.bytes;
        EXPECT_FALSE(plat::Utf8ToCp932("A" + row.lacking + "B", out)) << row.bytes;
        ASSERT_TRUE(plat::Utf8ToCp932("A" + row.held + "B", out)) << row.bytes;
        EXPECT_EQ(out, "A" + row.bytes + "B");
    }
}

TEST(CodePage932, ReadsOneUtf8CharacterAtATime) {
    struct Row {
        std::string text;
        size_t length;
        uint32_t codePoint;
    } rows[] = {
        {"A", 1, 0x41},
        {"\xC3\xA9", 2, 0xE9},
        {"\xE8\xA1\xA8", 3, 0x8868},
        {"\xF0\x9F\x98\x80", 4, 0x1F600},
        {"\xC0\x80", 0, 0},          // overlong
        {"\xED\xA0\x80", 0, 0},      // a surrogate
        {"\xF4\x90\x80\x80", 0, 0},  // beyond U+10FFFF
        {"\xE8\xA1", 0, 0},          // cut short
        {"\x80", 0, 0},              // a continuation byte alone
        {"\xE8(\xA8", 0, 0},
    };
    for (const Row& row : rows) {
        uint32_t codePoint = 0;
        EXPECT_EQ(plat::Utf8CharAt(row.text, 0, codePoint), row.length) << row.text;
        if (row.length) {
            EXPECT_EQ(codePoint, row.codePoint) << row.text;
        }
    }
    uint32_t codePoint = 0;
    EXPECT_EQ(plat::Utf8CharAt("ab", 2, codePoint), 0u);
}

}  // namespace
