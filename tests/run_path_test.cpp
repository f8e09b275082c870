// Path helpers of the runs, and the self-removal batch text.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/RunPath_unit.h"
#include "project/GrobalFunction_unit.h"

using namespace RunPath;

namespace {

struct PathCase {
    const char* input;
    const char* expected;
};

TEST(RunPath, FileNamePartStepsByCharacters) {
    const PathCase cases[] = {
        {"C:\\App\\setup.exe", "setup.exe"},
        {"setup.exe", "setup.exe"},
        {"D:setup.exe", "setup.exe"},
        {"C:\\App\\", ""},
        // ソ is 83 5C: its second byte is no separator.
        {"C:\\ソフト\\表.exe", "表.exe"},
        {"C:\\Appソ.exe", "Appソ.exe"},
        {"ソ", "ソ"},
    };
    for (const PathCase& c : cases) EXPECT_EQ(FileNamePart(c.input), c.expected) << c.input;
}

TEST(RunPath, JoinPath) {
    EXPECT_EQ(JoinPath("C:\\App", "setup.exe"), "C:\\App\\setup.exe");
    EXPECT_EQ(JoinPath("C:\\App\\", "setup.exe"), "C:\\App\\setup.exe");
    EXPECT_EQ(JoinPath("C:\\ソ", "setup.exe"), "C:\\ソ\\setup.exe");
    EXPECT_EQ(JoinPath("C:\\", "setup.exe"), "C:\\setup.exe");
    EXPECT_EQ(JoinPath("", "setup.exe"), "setup.exe");
    // A lone lead byte takes the first "\" as its second byte; the second one separates.
    EXPECT_EQ(JoinPath("C:\\Prog\x82", "a.txt"), "C:\\Prog\x82\\\\a.txt");
}

TEST(RunPath, ResolveSourcePath) {
    struct Case {
        const char* start;
        const char* source;
        const char* expected;
    };
    const Case cases[] = {
        {"D:\\Media", "payload\\a.txt", "D:\\Media\\payload\\a.txt"},
        {"D:\\Media\\", "a.txt", "D:\\Media\\a.txt"},
        {"D:\\メディア表", "a.txt", "D:\\メディア表\\a.txt"},
        {"D:\\Media", "..\\a.txt", "D:\\Media\\..\\a.txt"},
        {"D:\\Media", "C:\\src\\a.txt", "C:\\src\\a.txt"},
        {"D:\\Media", "c:/src/a.txt", "c:/src/a.txt"},
        {"D:\\Media", "\\\\server\\share\\a.txt", "\\\\server\\share\\a.txt"},
        {"D:\\Media", "\\src\\a.txt", "D:\\src\\a.txt"},
        {"\\\\server\\share", "\\src\\a.txt", "\\\\server\\share\\src\\a.txt"},
        {"\\\\server\\share\\media\\cd", "\\src\\a.txt", "\\\\server\\share\\src\\a.txt"},
        {"\\\\サーバ\\表\\media", "\\a.txt", "\\\\サーバ\\表\\a.txt"},
        {"\\\\server\\share", "a.txt", "\\\\server\\share\\a.txt"},
        {"D:\\Media", "E:a.txt", "E:a.txt"},
        {"", "a.txt", "a.txt"},
        {"D:\\Media", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ResolveSourcePath(c.start, c.source), c.expected) << c.start << " + " << c.source;
    }
}

TEST(RunPath, UninstallKeyPathNeverNamesTheListKey) {
    EXPECT_EQ(UninstallKeyPath("OrvaneDemo"),
              "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\OrvaneDemo");
    EXPECT_EQ(UninstallKeyPath(""), "");
    EXPECT_EQ(UninstallKeyPath("\\"), "");
    EXPECT_EQ(UninstallKeyPath("\\\\"), "");
    EXPECT_EQ(UninstallKeyPath("表"),
              "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\表");
}

TEST(RunPath, InstalledProgramsEntryValues) {
    // KB rounded up; what does not fit a REG_DWORD stands at its largest.
    const std::pair<uint64_t, uint32_t> sizes[] = {
        {0, 0}, {1, 1}, {1024, 1}, {1025, 2}, {4398046511104ull, 0xFFFFFFFFu}};
    for (const auto& [bytes, kb] : sizes) EXPECT_EQ(EstimatedSizeKB(bytes), kb) << bytes;
    const PathCase locations[] = {
        {"C:\\App\\", "C:\\App"}, {"C:\\App\\\\", "C:\\App"}, {"C:\\App", "C:\\App"}, {"C:\\", "C:\\"},
        {"C:\\ソ", "C:\\ソ"},  // its last byte is 5C
        {"\\\\srv\\share\\", "\\\\srv\\share"}};
    for (const PathCase& c : locations) EXPECT_EQ(InstallLocation(c.input), c.expected) << c.input;
    const PathCase icons[] = {{"C:\\a\\app.exe,1", "C:\\a\\app.exe"}, {"C:\\a\\app.exe,-101", "C:\\a\\app.exe"},
                              {"\"C:\\a b\\app.exe\",0", "C:\\a b\\app.exe"}, {"C:\\a,b\\app.ico", "C:\\a,b\\app.ico"},
                              {"C:\\a\\app.exe,", "C:\\a\\app.exe,"}};
    for (const PathCase& c : icons) EXPECT_EQ(IconFilePart(c.input), c.expected) << c.input;
    EXPECT_EQ(InstallDateText(2026, 4, 1), "20260401");
}

TEST(RunPath, EscapeForBatchDoublesPercent) {
    EXPECT_EQ(EscapeForBatch("C:\\100%\\a%PATH%b"), "C:\\100%%\\a%%PATH%%b");
    EXPECT_EQ(EscapeForBatch("C:\\ソフト"), "C:\\ソフト");
    EXPECT_EQ(EscapeForBatch(""), "");
}

TEST(RunPath, DeleteBatchText) {
    SelfRemovalPlan p;
    p.workFolder = "C:\\WINDOWS\\Temp\\Orvane-表%";
    p.batch = "C:\\WINDOWS\\Temp\\Orvane-表%\\Delete.bat";
    p.systemFolder = "C:\\WINDOWS\\system32";
    p.steps = {{false, "C:\\Program Files\\100%ソフト\\setup.exe"},
               {false, "C:\\Program Files\\100%ソフト\\setup.ini"},
               {false, "C:\\Program Files\\100%ソフト\\Delete.pif"},
               {true, "C:\\Program Files\\100%ソフト"},
               {false, p.batch},
               {true, p.workFolder}};
    const std::string expected =
        "@echo off\r\n"
        "setlocal\r\n"
        "cd /d \"C:\\WINDOWS\\Temp\\Orvane-表%%\"\r\n"
        "set orvane_tries=0\r\n"
        ":wait\r\n"
        "del \"C:\\Program Files\\100%%ソフト\\setup.exe\" >nul 2>&1\r\n"
        "if not exist \"C:\\Program Files\\100%%ソフト\\setup.exe\" goto ended\r\n"
        "set /a orvane_tries+=1\r\n"
        "if %orvane_tries% geq 30 goto ended\r\n"
        "\"C:\\WINDOWS\\system32\\ping.exe\" -n 2 127.0.0.1 >nul\r\n"
        "goto wait\r\n"
        ":ended\r\n"
        "del \"C:\\Program Files\\100%%ソフト\\setup.ini\" >nul 2>&1\r\n"
        "del \"C:\\Program Files\\100%%ソフト\\Delete.pif\" >nul 2>&1\r\n"
        "rd \"C:\\Program Files\\100%%ソフト\" >nul 2>&1\r\n"
        "cd /d \"C:\\WINDOWS\\system32\"\r\n"
        "del \"C:\\WINDOWS\\Temp\\Orvane-表%%\\Delete.bat\" >nul 2>&1 & "
        "rd \"C:\\WINDOWS\\Temp\\Orvane-表%%\" >nul 2>&1 & exit\r\n";
    EXPECT_EQ(BuildDeleteBatch(p), expected);
    // The Japanese text is CP932 bytes: ソ = 83 5C.
    EXPECT_NE(BuildDeleteBatch(p).find("\x83\x5C\x83\x74\x83\x67"), std::string::npos);

    // Each step is one command, in the plan's order.
    p.steps.erase(p.steps.begin() + 1, p.steps.begin() + 3);
    std::string text = BuildDeleteBatch(p);
    EXPECT_EQ(text.find("setup.ini"), std::string::npos);
    EXPECT_EQ(text.find("Delete.pif"), std::string::npos);
    EXPECT_NE(text.find(":ended\r\nrd \"C:\\Program Files\\100%%ソフト\" >nul 2>&1\r\ncd /d"), std::string::npos);
}

TEST(ProjectFileNameTest, ChangesTheLastComponentsExtension) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"D:\\Setup\\SETUP.EXE", "D:\\Setup\\SETUP.ini"},
        {"D:\\Setup\\app.setup.exe", "D:\\Setup\\app.setup.ini"},
        {"D:\\a.b\\x", "D:\\a.b\\x.ini"},
        {"D:\\x.", "D:\\x.ini"},
        {"setup.exe", "setup.ini"},
        {"D:setup", "D:setup.ini"},
        {"C:\\ソフト\\導入.exe", "C:\\ソフト\\導入.ini"},
        // ソ ends in the byte 0x5C: it is no separator.
        {"D:\\x.ソ", "D:\\x.ini"},
    };
    for (const auto& c : cases) EXPECT_EQ(ProjectFileName(c.first), c.second) << c.first;
}

TEST(ExecutableFolderTest, FolderWithoutItsBackslashExceptAtADriveRoot) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"D:\\Apps\\Tool\\setup.exe", "D:\\Apps\\Tool"},
        {"D:\\setup.exe", "D:\\"},
        {"\\\\server\\share\\setup.exe", "\\\\server\\share"},
        {"D:\\Tool\\ソフト.exe", "D:\\Tool"},
        {"D:\\表\\setup.exe", "D:\\表"},
        {"setup.exe", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ExecutableFolder(c.first), c.second) << c.first;
}

}  // namespace
