// The pieces under setupproj check: its lenient reading of a project must
// give what the installer's Load gives on awkward files; keyword mistakes,
// Windows paths, and UTF-8 sources.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "project/ProjectProperty_unit.h"
#include "tools/setupproj/Keywords.h"
#include "tools/setupproj/ProjectSource.h"
#include "tools/setupproj/ProjectText.h"
#include "tools/setupproj/WinPath.h"

using namespace std::string_literals;
using namespace setupproj;

namespace {

TEST(SetupprojText, TheCheckedModelIsWhatTheInstallerLoads) {
    std::ifstream in(std::string(ORVANE_SOURCE_DIR) + "/examples/Setup.ini", std::ios::binary);
    std::ostringstream example;
    example << in.rdbuf();
    const std::vector<std::string> texts = {
        example.str(),
        "junk\r\n[project property]\r\nNAME1=One\r\nName1=Two\r\nName2 = x\r\n  Version=1\r\nInstallMode=256\r\n"
        "[Message]\r\nMessageDisp=-1\r\n[Lisence]\r\nLisenceUse=$10\r\n[Information]\r\nline0000=a=b\r\n"
        "line0002=gap\r\nline0001= kept \r\nLINE0003=***error***\r\nline0004=after\r\n"
        "[Copy File]\r\nSubDirectory=\\\\App\\表\\\r\nfile00000=a*b*1*surplus\r\nfile00001=c*d*0x2\r\nfile00003=e*f*0\r\n"
        "[Copy File]\r\nfile00002=late*x*0\r\n[Make Folder]\r\nfile00000=[Install Folder]\\x*  7\r\n"
        "[ShortCut File]\r\nfile00000=l*t*w*300*d*e*-5\r\nfile00001=l2*t2*w2*1*d2*e2*$7FFFFFFF\r\n"
        "[UnInstall Property]\r\nUnInstallKey=K\r\nUnInstallName=N\r\nUnInstallDialog=1\r\n",
        "[DisplayMessage]\r\nline0000=only\r\n[LisenceMessage]\r\nline0001=not read\r\n",
    };
    for (const std::string& text : texts) {
        TProjectProperty loaded;
        loaded.Parse(text);
        ProjectSource source;
        Findings findings;
        ReadProjectSource(text, source, findings);
        EXPECT_EQ(source.project.Serialize(), loaded.Serialize()) << text;
    }
}

TEST(SetupprojText, KeywordMistakes) {
    struct Row {
        const char* path;
        const char* mistake;
    } rows[] = {
        {"[Install Folder]\\a", ""},
        {"[Install Folder]", ""},
        {"スタート\\プログラム\\スタートアップ\\a", ""},
        {"C:\\Tools\\a", ""},
        {"a\\b", ""},
        {"[INSTALL FOLDER]\\a",
         "'[INSTALL FOLDER]' is not a keyword: keywords are matched in their exact letter case ('[Install Folder]')"},
        {"[system]\\[Drivers]\\a",
         "'[system]\\[Drivers]' is not a keyword: keywords are matched in their exact letter case ('[System]\\[Drivers]')"},
        {"[System]x", "'[System]' is followed by 'x' instead of '\\', so it is not replaced"},
        {"送るもの\\a", u8"'送る' is followed by 'も' instead of '\\', so it is not replaced"},
        {"[Program Files]\\a", "'[Program Files]' is not a folder keyword"},
        {"[Sytem]\\a", "'[Sytem]' is not a folder keyword (did you mean '[System]'?)"},
        {"\t[System]\\a", "the path begins with a blank, so '[System]' is not at its front and is not replaced"},
        {"D:\\x\\[system]\\a", "'[System]' is not at the front of the path, so it is not replaced"},
        {"[Install Folder]\\[Install Folder]",
         "'[Install Folder]' stays as it is written: only a keyword at the front of a path is replaced"},
    };
    for (const Row& row : rows) EXPECT_EQ(KeywordMistake(row.path), row.mistake) << row.path;
}

TEST(SetupprojText, FullPaths) {
    struct Row {
        const char* path;
        const char* text;  // "" for a path that is not full
    } rows[] = {
        {"c:\\a\\\\b\\.\\c\\..\\d\\", "C:\\a\\b\\d"},
        {"C:/x/y", "C:\\x\\y"},
        {"C:\\", "C:\\"},
        {"\\\\server\\share\\dir", "\\\\server\\share\\dir"},
        {"C:\\ソフト\\表", "C:\\ソフト\\表"},
        {"\\\\server", ""},
        {"C:rel", ""},
        {"\\rooted", ""},
        {"rel\\x", ""},
        {"", ""},
    };
    for (const Row& row : rows) {
        const WinPath path = ParseFullPath(row.path);
        EXPECT_EQ(path.valid ? path.Text() : "", row.text) << row.path;
    }
    EXPECT_TRUE(ParseFullPath("C:\\A").Contains(ParseFullPath("c:\\a\\b")));
    EXPECT_FALSE(ParseFullPath("C:\\A").Contains(ParseFullPath("C:\\AB")));
    EXPECT_EQ(ParseFullPath("C:\\ソ").Parent().Text(), "C:\\");
    const std::vector<std::string> folders = TypicalKeywordFolders("C:\\Apps\\Tool");
    EXPECT_EQ(ProjectForm(ParseFullPath("C:\\Apps\\Tool\\bin\\a.exe"), folders), "[Install Folder]\\bin\\a.exe");
    EXPECT_EQ(ProjectForm(ParseFullPath(folders[fkStartup] + "\\x"), folders),
              "スタート\\プログラム\\スタートアップ\\x");
    EXPECT_EQ(ProjectForm(ParseFullPath("D:\\x"), folders), "D:\\x");
}

TEST(SetupprojText, Utf8SourcesKeepTheirLines) {
    Findings findings;
    EXPECT_EQ(Utf8ProjectToCp932("\xEF\xBB\xBF" u8"[A]\r\nk=表示\rx=ソ\n\r\nlast", findings), "[A]\r\nk=表示\rx=ソ\n\r\nlast");
    EXPECT_TRUE(findings.All().empty());
    Utf8ProjectToCp932(u8"a\r\nb=é and 😀\r\nc=\xC3(\n", findings);
    // (Outside the assertions: their text is turned into a message in the
    // execution character set, which has no room for these characters.)
    const std::string accent = u8"'é' (U+00E9) cannot be written in CP932, the code page of the project file";
    const std::string smile = u8"'😀' (U+1F600) cannot be written in CP932, the code page of the project file";
    const std::string withAccent = u8"x=é";
    ASSERT_EQ(findings.All().size(), 3u);
    EXPECT_EQ(findings.All()[0].line, 2);
    EXPECT_EQ(findings.All()[0].text, accent);
    EXPECT_EQ(findings.All()[1].text, smile);
    EXPECT_EQ(findings.All()[2].line, 3);
    EXPECT_EQ(findings.All()[2].text, "byte 0xC3 is not UTF-8 text");
    EXPECT_EQ(Utf8ProjectToCp932(withAccent, findings), "x=?");
}

TEST(SetupprojText, Cp932Text) {
    EXPECT_EQ(FirstNonCp932("abc 表示 ｱｲｳ"), std::string::npos);
    EXPECT_EQ(FirstNonCp932("ab\x81 c"), 2u);
    EXPECT_EQ(FirstNonCp932("ab表\x83"), 4u);
    EXPECT_EQ(Shown("a\x81 b"), "a\\x81 b");
    EXPECT_EQ(Shown("表"), u8"表");
    EXPECT_EQ(CharCount("a表ソb"), 4u);
    EXPECT_TRUE(LooksLikeUtf8(u8"あ"));
    EXPECT_FALSE(LooksLikeUtf8("plain"));
    EXPECT_FALSE(LooksLikeUtf8("表"));
    const std::string kanjiAndAccent = u8"表é";
    EXPECT_EQ(Utf8ToCp932Lossy(kanjiAndAccent), "表?");
}

TEST(SetupprojText, LikelyTypos) {
    const std::vector<std::string> sections = {"Lisence", "LisenceMessage", "Message", "Copy File"};
    EXPECT_EQ(NearestName("Licence", sections), "Lisence");
    EXPECT_EQ(NearestName("License", sections), "Lisence");
    EXPECT_EQ(NearestName("CopyFile", sections), "Copy File");
    EXPECT_EQ(NearestName("Notes", sections), "");
    EXPECT_EQ(NearestName("lisence", sections), "");  // the same name: no typo
}

}  // namespace
