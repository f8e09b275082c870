// The name collation and code-page services, on both builds: the native
// collation must order the project file's lines exactly as CompareStringA
// does under the Japanese locale.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/Locale.h"
#include "tests/support/TestSystem.h"

namespace {

int Sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

TEST(LocaleCollation, SymbolsThenDigitsThenLetters) {
    // Each character sorts before the next one, in the middle of a key.
    const std::string order = " !\"#$%&()*,./:;?@[]^_`{|}~\\+<=>0123456789abcdefghijklmnopqrstuvwxyz";
    for (size_t i = 0; i + 1 < order.size(); ++i) {
        std::string a = std::string("key") + order[i] + "x";
        std::string b = std::string("key") + order[i + 1] + "x";
        EXPECT_LT(plat::CompareNames(a, b), 0) << a << " < " << b;
        EXPECT_GT(plat::CompareNames(b, a), 0) << b << " > " << a;
    }
}

TEST(LocaleCollation, CaseIsIgnored) {
    const char* pairs[][2] = {{"a", "A"}, {"MessageDisp", "MESSAGEDISP"}, {"Project Property", "project property"},
                              {"a-b", "A-B"}, {"UnInstallKey=x", "uninstallkey=x"}};
    for (auto& p : pairs) EXPECT_EQ(plat::CompareNames(p[0], p[1]), 0) << p[0] << " = " << p[1];
    EXPECT_EQ(plat::CompareNames("", ""), 0);
}

struct Pair {
    const char* a;
    const char* b;
    int sign;
};

TEST(LocaleCollation, PairsAsWindowsOrdersThem) {
    const Pair pairs[] = {
        {"file0000=x", "file00000=x", -1},
        {"line1000=a", "line10000=a", -1},
        {"Name1=a", "Name10=c", -1},
        {"Name10=c", "Name2=b", -1},
        {"Key 1=a", "Key=1", -1},
        {"Key=1", "KeyA=1", -1},
        {"Key1=", "Key=1", 1},
        {"Key", "Key=", -1},
        {"ab", "abc", -1},
        {"", "a", -1},
        {"file*1", "file1", -1},
        {"a_b", "ab", -1},
        {"a.b", "ab", -1},
        // "-" and "'" weigh nothing at first; then more of them, or one
        // earlier, sorts later, and "-" outweighs "'".
        {"co-op", "coop", 1},
        {"co-op", "coo", 1},
        {"co-op", "coq", -1},
        {"it's", "its", 1},
        {"it's", "itt", -1},
        {"-a", "b", -1},
        {"a-", "a", 1},
        {"a-b", "ab-", 1},
        {"a-b", "a'b", 1},
        {"a--b", "a-b", 1},
        {"-ab", "a-b", 1},
        {"'ab", "-ab", -1},
        {"a-b-c", "ab-c", 1},
        {"Key-x", "Key=x", 1},
        {"x-1=a", "x1=b", -1},
        {"x-1=b", "x1=a", 1},
        // Shift-JIS text after ASCII; same text equal.
        {"z", "\x83\x41", -1},             // ア
        {"~", "\x82\xA0", -1},             // あ
        {"\x95\x5C", "\x83\x5C", 1},       // 表 after ソ
        {"\x95\x5C\x8E\xA6", "\x95\x5C\x8E\xA6", 0},
    };
    for (const Pair& p : pairs) {
        EXPECT_EQ(Sign(plat::CompareNames(p.a, p.b)), p.sign) << "[" << p.a << "] vs [" << p.b << "]";
        EXPECT_EQ(Sign(plat::CompareNames(p.b, p.a)), -p.sign) << "[" << p.b << "] vs [" << p.a << "]";
    }
}

TEST(LocaleCollation, SortsProjectLinesIdentically) {
    // The order both builds must give, as a sorted section comes out.
    const std::vector<std::string> expected = {
        "Copyright=(c) 2024",
        "DirectorySwitch=1",
        "file    1=a",
        "file0000=x",
        "file00000=x",
        "file00001=y",
        "file1=b",
        "InitDirectory=0",
        "InstallMode=0",
        "line0000=first",
        "line0001=",
        "line1000=a",
        "line10000=a",
        "Lisence=1",
        "LisenceMessage=x",
        "LisenceUse=1",
        "Message=a",
        "MessageDisp=1",
        "Name1=a",
        "Name10=c",
        "Name2=b",
        "ProjectLocation=C:\\work",
        "SubDirectory=\\App",
        "UnInstall Property=1",
        "UnInstallDialog=1",
        "UnInstallKey=App",
        "UnInstallName=App",
        "Version=1.0",
    };
    std::vector<std::string> lines = expected;
    std::reverse(lines.begin(), lines.end());
    std::rotate(lines.begin(), lines.begin() + 11, lines.end());
    std::stable_sort(lines.begin(), lines.end(),
                     [](const std::string& a, const std::string& b) { return plat::CompareNames(a, b) < 0; });
    EXPECT_EQ(lines, expected);
}

TEST(LocaleCodePage, ShiftJisLeadBytes) {
    ASSERT_TRUE(plat::IsDoubleByteCodePage());
    EXPECT_EQ(support::AnsiCodePage(), 932u);
    for (int b = 0; b < 256; ++b) {
        bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        EXPECT_EQ(plat::IsLeadByte(static_cast<unsigned char>(b)), lead) << "byte " << b;
    }
}

TEST(LocaleCodePage, CaseMappingKeepsTrailBytes) {
    // ア = 83 41 and ヂ = 83 61: a trail byte in the letter range must not change.
    EXPECT_EQ(plat::LocaleUpperCase("c:\\\x83\x61\x83\x41x.txt"), "C:\\\x83\x61\x83\x41X.TXT");
    EXPECT_EQ(plat::LocaleLowerCase("C:\\\x83\x41\x83\x61X.TXT"), "c:\\\x83\x41\x83\x61x.txt");
    EXPECT_EQ(plat::LocaleUpperCase("\x95\x5C\x83\x5C"), "\x95\x5C\x83\x5C");
    EXPECT_EQ(plat::LocaleUpperCase(""), "");
}

TEST(LocaleCodePage, Conversions) {
    // 表ソA in CP932.
    const std::string ansi = "\x95\x5C\x83\x5C" "A";
    EXPECT_EQ(plat::AnsiToUtf8(ansi), "\xE8\xA1\xA8\xE3\x82\xBD" "A");
    std::wstring wide = plat::AnsiToWide(ansi);
    ASSERT_EQ(wide.size(), 3u);
    EXPECT_EQ(static_cast<unsigned>(wide[0]), 0x8868u);
    EXPECT_EQ(static_cast<unsigned>(wide[1]), 0x30BDu);
    EXPECT_EQ(static_cast<unsigned>(wide[2]), 0x41u);
    EXPECT_EQ(plat::AnsiToUtf8(""), "");
    EXPECT_TRUE(plat::AnsiToWide("").empty());
}

}  // namespace
