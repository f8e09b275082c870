// setupproj check: small projects, each with exactly the findings it must
// give, and the example project, which must check clean.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Locale.h"
#include "tools/setupproj/Check.h"
#ifndef _WIN32
#include "tools/setupproj/Verify.h"
#endif

using namespace std::string_literals;

namespace {

// Sources that exist, by their folded text, with their payload name ("" when
// they lie beside the project outside the payload folder).
class MemorySources : public setupproj::SourceFiles {
public:
    MemorySources(std::map<std::string, std::string> files, std::vector<std::string> payload)
        : payload_(std::move(payload)) {
        for (const auto& file : files) files_[Fold(file.first)] = file.second;
    }
    bool Find(const std::string& source, std::string& payloadName) override {
        auto found = files_.find(Fold(source));
        if (found == files_.end()) return false;
        payloadName = found->second;
        return true;
    }
    std::vector<std::string> PayloadFiles() override { return payload_; }

private:
    static std::string Fold(std::string text) {
        for (char& c : text) {
            if (c == '/') c = '\\';
        }
        return plat::LocaleUpperCase(text);
    }
    std::map<std::string, std::string> files_;
    std::vector<std::string> payload_;
};

MemorySources DefaultSources() { return MemorySources({{"a.txt", ""}, {"b.txt", ""}, {"tool.exe", ""}}, {}); }

// Lines 1 to 5 of most cases: a registration and an installation folder,
// so that a case shows only what it is about; its own lines start at 6.
const std::vector<std::string> kHead = {"[UnInstall Property]", "UnInstallKey=Tool", "UnInstallName=Tool",
                                        "[Copy File]", "SubDirectory=Tool"};

std::string Join(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

// The structural findings come from the installer's runs on a simulated
// machine, which the Windows build of the tests does not link (it has the
// real one): there, check gives the others only.
#ifdef _WIN32
const bool kStructure = false;
#else
const bool kStructure = true;
#endif

std::vector<std::string> Expected(std::vector<std::string> findings) {
    const char* const structural[] = {"is made by no folder record", "is left behind on uninstall",
                                      "is a folder made by line",    "is a file made by line",
                                      "puts its own copy",           "is listed before, at line",
                                      "the same destination as line", "the shortcut has no target",
                                      "is not among the installed files", "warning: the target"};
    if (kStructure) return findings;
    auto isStructural = [&](const std::string& finding) {
        for (const char* text : structural) {
            if (finding.find(text) != std::string::npos) return true;
        }
        return false;
    };
    findings.erase(std::remove_if(findings.begin(), findings.end(), isStructural), findings.end());
    return findings;
}

// The entry's missing version and publisher are left out unless asked for,
// so that a case shows only what it is about.
std::vector<std::string> Check(const std::string& text, setupproj::SourceFiles& sources, bool fromUtf8 = false,
                               bool entry = false) {
    setupproj::CheckOptions options;
    options.fromUtf8 = fromUtf8;
#ifndef _WIN32
    options.structure = setupproj::CheckStructure;
#endif
    std::vector<std::string> out;
    for (const setupproj::Finding& f : setupproj::CheckProject(text, options, &sources).Sorted()) {
        if (!entry && f.text.find(" is not given: the list of installed programs") != std::string::npos) continue;
        out.push_back(std::to_string(f.line) + (f.severity == setupproj::Severity::kError ? ": error: " : ": warning: ") +
                      f.text);
    }
    return out;
}

struct Case {
    const char* name;
    std::vector<std::string> lines;  // after kHead
    std::vector<std::string> expected;
};

const std::vector<Case>& Cases() {
    static const std::vector<Case> cases = {
        {"a clean project",
         {"file00000=tool.exe*[Install Folder]\\tool.exe*0", "[Make Folder]", "file00000=[Install Folder]\\data*0",
          "[ShortCut File]", "file00000=スタート\\プログラム\\Tool*[Install Folder]\\tool.exe*[Install Folder]*0*Tool**0"},
         {}},
        {"key lines that are never found",
         {"[Project Property]", "Name1 = Tool", "  Version=1.0", "Copyright=me", "Copyright=you", "Nme2=Tool",
          "SubDirectory=x", "no equals sign", "[Copy File", "=value"},
         {"7: warning: blank before '=': its key is 'Name1 ', not 'Name1', so the line is never read",
          "8: warning: the key line is indented: its key is '  Version', not 'Version', so the line is never read",
          "10: warning: 'Copyright' repeats line 9: only the first is read",
          "11: warning: unknown key 'Nme2' in [Project Property] is ignored (did you mean 'Name2'?)",
          "12: warning: 'SubDirectory' belongs in [Copy File]; in [Project Property] it is ignored",
          "13: warning: this line has no '=': it is neither a key nor a value and is ignored",
          "14: warning: '[Copy File' has no ']', so it is no section header: it is a line of [Project Property] "
          "without '=' and is ignored",
          "15: warning: '=' without a key name: the line is ignored"}},
        {"sections that are never read",
         {"[ Message ]", "MessageDisp=1", "[Licence]", "[Notes]", "[copy file]", "file00000=a.txt*[Install Folder]\\a.txt*0"},
         {"6: warning: blanks inside the brackets: this section is named ' Message ', not [Message], and is never read",
          "8: warning: unknown section [Licence] is ignored (did you mean [Lisence]?)",
          "9: warning: unknown section [Notes] is ignored",
          "10: warning: section [copy file] repeats the one at line 4: only the first is read, so the lines of this "
          "one are ignored"}},
        {"lists that end early or have keys of another shape",
         {"file00000=a.txt*[Install Folder]\\a.txt*0", "file00002=b.txt*[Install Folder]\\b.txt*0",
          "file00003=b.txt*[Install Folder]\\c.txt*0", "[Information]", "line0000=Hello", "line0001=***error***",
          "line0002=never", "line001=short", "line10000=far", "[Make Folder]", "file0001=[Install Folder]\\x*0",
          "file70000=[Install Folder]\\y*0"},
         {"7: warning: 'file00002' is never read: the list ends at the missing 'file00001' (2 entries are ignored)",
          "11: warning: the value '***error***' ends the list here: the entry after it is ignored",
          "13: warning: 'line001' is no line key and is ignored: they are numbered with 4 digits (line0001)",
          "14: warning: 'line10000' is never read: a text has at most 10000 lines (line0000 to line9999)",
          "16: warning: 'file0001' is no record key and is ignored: they are numbered with 5 digits (file00001)",
          "17: warning: 'file70000' is never read: a list has at most 65536 records (file00000 to file65535)"}},
        {"numbers, bytes and record fields",
         {"DirectorySwitch=x", "InitDirectory=$100", "file00000=a.txt*[Install Folder]\\a.txt*-1",
          "file00001=b.txt*[Install Folder]\\b.txt", "file00002=a.txt*[Install Folder]\\c.txt*0*x", "[Make Folder]",
          "file00000=[Install Folder]\\d", "[ShortCut File]", "file00000=[Install Folder]\\l*[Install Folder]\\a.txt**5*d**x",
          "[Project Property]", "InstallMode=1"},
         {u8"6: error: DirectorySwitch 'x' is not an integer: the installer stops loading the project here "
          u8"(\"'x' は整数ではありません\")",
          "7: warning: InitDirectory 256 is outside 0-255: it is read as 0",
          "8: warning: DeleteMode -1 is outside 0-255: it is read as 255",
          "8: warning: DeleteMode 255 is not 0, 1 or 2: the uninstaller deletes the file without asking",
          "9: error: a [Copy File] record has 3 fields (source*destination*deletemode); this one has 2, so DeleteMode "
          "is missing and the installer stops loading the project here",
          "10: warning: a [Copy File] record has 3 fields (source*destination*deletemode): the field after them is "
          "ignored (a '*' inside a field splits it)",
          "12: error: a [Make Folder] record has 2 fields (folder*keep); this one has 1, so KeepOnUninstall is missing "
          "and the installer stops loading the project here",
          u8"14: error: ExtraNumber 'x' is not an integer: the installer stops loading the project here "
          u8"(\"'x' は整数ではありません\")",
          "14: warning: ShowMode 5 is not 0, 1 or 2: the program starts in a normal window",
          "16: error: InstallMode 1: the program would start as the uninstaller of an installed copy; a project to "
          "ship has 0"}},
        {"keyword mistakes",
         {"file00000=a.txt*[install folder]\\a.txt*0", "file00001=a.txt*[Install Folder]bin\\a.txt*0",
          "file00002=a.txt*[Instal Folder]\\a.txt*0", "file00003=a.txt* [Install Folder]\\b.txt*0",
          "file00004=a.txt*C:\\Data\\[Install Folder]\\c.txt*0", "file00005=a.txt*スタートアップ\\e.txt*0",
          "file00006=a.txt*data\\f.txt*0", "[Make Folder]", "file00000=[System]\\[drivers]\\x*0"},
         {"6: error: the destination '[install folder]\\a.txt' is relative: '[install folder]' is not a keyword: "
          "keywords are matched in their exact letter case ('[Install Folder]')",
          "7: error: the destination '[Install Folder]bin\\a.txt' is relative: '[Install Folder]' is followed by 'b' "
          "instead of '\\', so it is not replaced",
          "8: error: the destination '[Instal Folder]\\a.txt' is relative: '[Instal Folder]' is not a folder keyword "
          "(did you mean '[Install Folder]'?)",
          "9: error: the destination ' [Install Folder]\\b.txt' is relative: the path begins with a blank, so "
          "'[Install Folder]' is not at its front and is not replaced",
          "10: warning: the destination 'C:\\Data\\[Install Folder]\\c.txt': '[Install Folder]' is not at the front of "
          "the path, so it is not replaced",
          "10: warning: the destination 'C:\\Data\\[Install Folder]\\c.txt' lies outside the installation folder and "
          "the keyword folders",
          "10: warning: its folder 'C:\\Data\\[Install Folder]' is made by no folder record: the copy fails there "
          "unless it exists on the machine",
          u8"11: error: the destination 'スタートアップ\\e.txt' is relative: 'スタート' is followed by 'ア' instead of "
          u8"'\\', so it is not replaced",
          "12: error: the destination 'data\\f.txt' is relative: it would lie below whatever folder is current when "
          "the installer runs",
          "14: warning: the folder '[System]\\[drivers]\\x': '[Drivers]' stays as it is written: only a keyword at the "
          "front of a path is replaced",
          "14: warning: the folder '[System]\\[drivers]' is left behind on uninstall: it is made only as the parent of "
          "'[System]\\[drivers]\\x' (line 14), and no folder record removes it"}},
        {"sources",
         {"file00000=[Install Folder]\\a.txt*[Install Folder]\\a.txt*0", "file00001=C:\\build\\b.txt*[Install Folder]\\b.txt*0",
          "file00002=\\build\\c.txt*[Install Folder]\\c.txt*0", "file00003=missing.txt*[Install Folder]\\d.txt*0",
          "file00004=*[Install Folder]\\e.txt*0", "file00005=A.TXT*[Install Folder]\\f.txt*0",
          "file00006=F:g.txt*[Install Folder]\\g.txt*0"},
         {"6: warning: the source begins with '[Install Folder]', but keywords are not replaced in sources",
          "6: error: the source '[Install Folder]\\a.txt' is not found beside the project (nor in the payload folder): "
          "the copy fails and the installation stops",
          "7: warning: the source 'C:\\build\\b.txt' is a full path: it names a file of this machine, not one that "
          "travels with the project",
          "8: warning: the source '\\build\\c.txt' depends on the current drive: write it relative to the project's folder",
          "9: error: the source 'missing.txt' is not found beside the project (nor in the payload folder): the copy "
          "fails and the installation stops",
          "10: error: the source is empty: the copy fails and the installation stops",
          "12: warning: the source 'F:g.txt' depends on the current drive: write it relative to the project's folder"}},
        {"empty paths, relative working folders, targets",
         {"file00000=a.txt**0", "[Make Folder]", "file00000=*0", "[ShortCut File]",
          "file00000=*[Install Folder]\\a.txt**0***0", "file00001=デスクトップ\\A*[Install Folder]\\Setup.exe*bin*0***0",
          "file00002=デスクトップ\\B*C:\\Windows\\notepad.exe**0***0", "file00003=デスクトップ\\C***0***0",
          "file00004=デスクトップ\\D*[Install Folder]\\missing.exe**0***0", "file00005=デスクトップ\\E*tool.exe**0***0",
          "file00006=デスクトップ*[Install Folder]\\a.txt**0***0"},
         {"6: error: the destination is empty: the copy fails and the installation stops",
          "8: error: the folder path is empty: making it fails and the installation stops",
          "10: error: the link path is empty: the shortcut cannot be saved and the installation stops",
          "10: warning: the target '[Install Folder]\\a.txt' is not among the installed files",
          "11: warning: the working folder 'bin' is relative: it would lie below whatever folder is current when the "
          "installer runs",
          "13: warning: the shortcut has no target",
          "14: warning: the target '[Install Folder]\\missing.exe' is not among the installed files",
          "15: warning: the target 'tool.exe' is relative",
          u8"16: error: the link 'デスクトップ' is relative: 'デスクトップ' is followed by '.' instead of '\\', so it is not "
          u8"replaced",
          "16: warning: the target '[Install Folder]\\a.txt' is not among the installed files"}},
        {"paths that leave their folder",
         {"file00000=a.txt*[Install Folder]\\..\\a.txt*0", "file00001=b.txt*[Install Folder]\\bin\\..\\b.txt*0",
          "[Make Folder]", "file00000=デスクトップ\\..\\Tool*0", "file00001=[Install Folder]\\data.*0",
          "[ShortCut File]", "file00000=送る\\..\\..\\Tool*[Install Folder]\\b.txt**0***0"},
         {"6: warning: the destination '[Install Folder]\\..\\a.txt' holds a '..' component, which leads out of the "
          "folder before it",
          "6: warning: the destination '[Install Folder]\\..\\a.txt' lies outside the installation folder and the "
          "keyword folders (it resolves to 'C:\\Program Files (x86)\\a.txt')",
          "7: warning: the destination '[Install Folder]\\bin\\..\\b.txt' holds a '..' component, which leads out of "
          "the folder before it",
          u8"9: warning: the folder 'デスクトップ\\..\\Tool' holds a '..' component, which leads out of the folder "
          u8"before it",
          u8"9: warning: the folder 'デスクトップ\\..\\Tool' lies outside the installation folder and the keyword "
          u8"folders (it resolves to 'C:\\Users\\UserNameMax20Letters\\Tool')",
          u8"12: warning: the link '送る\\..\\..\\Tool' holds a '..' component, which leads out of the folder before it",
          u8"12: warning: the link '送る\\..\\..\\Tool' lies outside the installation folder and the keyword folders "
          u8"(it resolves to 'C:\\Users\\UserNameMax20Letters\\AppData\\Roaming\\Microsoft\\Tool.lnk')"}},
        {"paths longer than Windows takes",
         {"file00000=a.txt*[Install Folder]\\" + std::string(232, 'a') + "*0", "[Make Folder]",
          "file00000=[Install Folder]\\" + std::string(220, 'b') + "*0"},
         {"6: warning: the destination is 260 characters long on a typical machine; Windows takes at most 259",
          "8: warning: the folder is 248 characters long on a typical machine; Windows takes at most 247"}},
        {"folders not made in time, and left behind",
         {"file00000=a.txt*[Install Folder]\\docs\\a.txt*0", "[Make Folder]", "file00000=[Install Folder]\\data\\cache*0",
          "file00001=[Install Folder]\\data*0", "file00002=[Install Folder]\\x\\y\\z*0",
          "file00003=スタート\\プログラム\\Vendor\\Tool*0", "file00004=D:\\Data\\Sub*0", "[ShortCut File]",
          "file00000=スタート\\プログラム\\Other\\Tool*[Install Folder]\\tool.exe**0***0"},
         {"6: error: its folder '[Install Folder]\\docs' is made by no folder record: the copy fails there and the "
          "installation stops",
          "9: warning: the folder '[Install Folder]\\data' is left behind on uninstall: it is listed after its "
          "subfolder '[Install Folder]\\data\\cache' (line 8), and folders are removed last first, so it is not empty "
          "when its turn comes",
          "10: warning: the folder '[Install Folder]\\x' is left behind on uninstall: it is made only as the parent of "
          "'[Install Folder]\\x\\y\\z' (line 10), and no folder record removes it",
          "10: warning: the folder '[Install Folder]\\x\\y' is left behind on uninstall: it is made only as the parent "
          "of '[Install Folder]\\x\\y\\z' (line 10), and no folder record removes it",
          u8"11: warning: the folder 'スタート\\プログラム\\Vendor' is left behind on uninstall: it is made only as the "
          u8"parent of 'スタート\\プログラム\\Vendor\\Tool' (line 11), and no folder record removes it",
          "12: warning: the folder 'D:\\Data\\Sub' lies outside the installation folder and the keyword folders",
          u8"14: error: its folder 'スタート\\プログラム\\Other' is made by no folder record: the shortcut cannot be "
          u8"saved there and the installation stops",
          "14: warning: the target '[Install Folder]\\tool.exe' is not among the installed files"}},
        {"folders that hold what the uninstaller keeps",
         {"file00000=a.txt*[Install Folder]\\logs\\a.txt*1", "file00001=b.txt*[Install Folder]\\cfg\\b.txt*2",
          "[Make Folder]", "file00000=[Install Folder]\\logs*0", "file00001=[Install Folder]\\cfg*0",
          "file00002=[Install Folder]\\user*0", "file00003=[Install Folder]\\user\\saves*1",
          "file00004=[Install Folder]\\kept*1"},
         {"9: warning: the folder '[Install Folder]\\logs' is left behind on uninstall: it holds "
          "'[Install Folder]\\logs\\a.txt' (line 6), which DeleteMode 1 leaves in place",
          "11: warning: the folder '[Install Folder]\\user' is left behind on uninstall: it holds "
          "'[Install Folder]\\user\\saves' (line 12), which is marked KeepOnUninstall"}},
        {"items that share a destination",
         {"file00000=a.txt*[Install Folder]\\data*0", "file00001=a.txt*[Install Folder]\\a.txt*0",
          "file00002=b.txt*[Install Folder]\\A.TXT*0", "file00003=b.txt*[Install Folder]\\Setup.ini*0",
          "[Make Folder]", "file00000=[Install Folder]\\data*0", "file00001=[Install Folder]\\DATA*0",
          "[ShortCut File]", "file00000=[Install Folder]\\a.txt\\link*[Install Folder]\\a.txt**0***0",
          "file00001=デスクトップ\\Tool*[Install Folder]\\a.txt**0***0",
          "file00002=デスクトップ\\Tool*[Install Folder]\\a.txt**0***0"},
         {"6: error: the destination '[Install Folder]\\data' is a folder made by line 11: the copy fails and the "
          "installation stops",
          "8: warning: the same destination as line 7 ('[Install Folder]\\A.TXT'): this one replaces it",
          "9: error: the destination '[Install Folder]\\Setup.ini' is where the installer puts its own copy "
          "(Setup.ini): that copy replaces this file",
          "12: warning: the folder '[Install Folder]\\DATA' is listed before, at line 11",
          "14: error: its folder '[Install Folder]\\a.txt' is a file made by line 7: the shortcut cannot be saved "
          "there and the installation stops",
          u8"16: warning: the same destination as line 15 ('デスクトップ\\Tool.lnk'): this one replaces it"}},
    };
    return cases;
}

TEST(SetupprojCheck, EachProjectGivesExactlyItsFindings) {
    for (const Case& c : Cases()) {
        std::vector<std::string> lines = kHead;
        lines.insert(lines.end(), c.lines.begin(), c.lines.end());
        MemorySources sources = DefaultSources();
        EXPECT_EQ(Check(Join(lines), sources), Expected(c.expected)) << c.name;
    }
}

struct WholeCase {
    const char* name;
    std::string text;
    std::vector<std::string> expected;
};

TEST(SetupprojCheck, SettingsOfTheWholeFile) {
    const std::vector<WholeCase> cases = {
        {"text before the first header, and after a NUL byte",
         "; my project\r\n"s + Join({"[Copy File]", "SubDirectory=Tool", "[UnInstall Property]", "UnInstallKey=Tool"}) +
             "UnInstallName=Tool\0\r\nName1=x\r\n"s,
         {"1: warning: text before the first section header is ignored",
          "6: warning: a NUL byte ends the text here: the installer ignores the rest of the file"}},
        {"no registration key",
         Join({"[Copy File]", "SubDirectory=Tool", "[UnInstall Property]", "UnInstallKey=\\\\", "UnInstallName=Tool"}),
         {"4: warning: UnInstallKey is empty: the product is installed without an uninstall registration and never "
          "shows in the list of installed programs"}},
        {"no registration section", Join({"[Copy File]", "SubDirectory=Tool"}),
         {"1: warning: UnInstallKey is empty: the product is installed without an uninstall registration and never "
          "shows in the list of installed programs"}},
        {"no registration name", Join({"[Copy File]", "SubDirectory=Tool", "[UnInstall Property]", "UnInstallKey=Tool"}),
         {"3: warning: UnInstallName is empty: the list of installed programs has no name to show for the product"}},
        {"an empty SubDirectory", Join({"[Copy File]", "SubDirectory=\\", "[UnInstall Property]", "UnInstallKey=T", "UnInstallName=T"}),
         {"2: warning: SubDirectory is empty: the proposed installation folder is the Program Files folder itself"}},
        {"a drive joined to Program Files",
         Join({"[Copy File]", "SubDirectory=C:\\Tool", "[UnInstall Property]", "UnInstallKey=T", "UnInstallName=T"}),
         {"2: error: SubDirectory 'C:\\Tool' is joined to the Program Files folder (InitDirectory 0), which gives no "
          "valid folder; write InitDirectory=1 to propose it as it is"}},
        {"a relative installation folder",
         Join({"[Copy File]", "InitDirectory=1", "SubDirectory=Tool", "file00000=a.txt*[Install Folder]\\a.txt*0",
               "[UnInstall Property]", "UnInstallKey=T", "UnInstallName=T"}),
         {"3: error: InitDirectory is not 0, so SubDirectory 'Tool' is the installation folder itself, and it is "
          "relative; write a full path, or InitDirectory=0 to put it below the Program Files folder"}},
        {"an empty installation folder without the location page",
         Join({"[Copy File]", "DirectorySwitch=1", "InitDirectory=1", "[UnInstall Property]", "UnInstallKey=T",
               "UnInstallName=T"}),
         {"1: error: InitDirectory is not 0 and SubDirectory is empty: the proposed installation folder is empty, and "
          "without the location page the installation fails"}},
        {"a full installation folder on another drive",
         Join({"[Copy File]", "InitDirectory=1", "SubDirectory=D:\\Apps\\Tool", "file00000=a.txt*[Install Folder]\\a.txt*0",
               "[UnInstall Property]", "UnInstallKey=T", "UnInstallName=T"}),
         {"3: warning: the proposed installation folder 'D:\\Apps\\Tool' lies outside the Program Files folder: the "
          "installer makes it so that only administrators can change it, and refuses it where others may change a "
          "folder that is there already"}},
        {"bytes that are not CP932",
         Join({"[Copy File]", "SubDirectory=Tool", "[Project Property]", "Name1=A\x81 B", "Name2=x\x83",
               "[UnInstall Property]", "UnInstallKey=T", "UnInstallName=T"}),
         {"4: error: bytes that are not CP932 text at column 8 (0x81 0x20)",
          "5: error: bytes that are not CP932 text at column 8 (0x83)"}},
        {"a UTF-8 file without a BOM",
         Join({"[Copy File]", "SubDirectory=Tool", "[Project Property]", u8"Name1=あ", "[UnInstall Property]",
               "UnInstallKey=T", "UnInstallName=T"}),
         {"4: error: bytes that are not CP932 text at column 9 (0x82); the file looks like UTF-8: save it with a BOM, "
          "or convert it with 'setupproj normalize --from-utf8'"}},
        {"a UTF-8 file with a BOM",
         "\xEF\xBB\xBF"s + Join({"[Copy File]", "SubDirectory=Tool", u8"file00000=a.txt*[Install Folder]\\ツール.txt*0",
                                 "[Project Property]", u8"Name1=ツール", u8"Name2=café", "[UnInstall Property]",
                                 "UnInstallKey=T", "UnInstallName=T", "Junk"}),
         {u8"6: error: 'é' (U+00E9) cannot be written in CP932, the code page of the project file",
          "10: warning: this line has no '=': it is neither a key nor a value and is ignored"}},
    };
    for (const WholeCase& c : cases) {
        MemorySources sources = DefaultSources();
        EXPECT_EQ(Check(c.text, sources), Expected(c.expected)) << c.name;
    }
}

TEST(SetupprojCheck, Utf8WithoutBomWhenAsked) {
    MemorySources sources = DefaultSources();
    const std::string text = Join({"[Copy File]", "SubDirectory=Tool", "[Project Property]", u8"Name1=ツール",
                                   "Name2=\xFF", "[UnInstall Property]", "UnInstallKey=T", "UnInstallName=T"});
    EXPECT_EQ(Check(text, sources, true), std::vector<std::string>({"5: error: byte 0xFF is not UTF-8 text"}));
}

TEST(SetupprojCheck, PayloadFilesThatNoRecordInstalls) {
    MemorySources sources({{"payload\\x.txt", "x.txt"}, {"a.txt", ""}}, {"x.txt", "y.txt", "sub\\z.txt"});
    std::vector<std::string> lines = kHead;
    lines.push_back("file00000=payload\\x.txt*[Install Folder]\\x.txt*0");
    lines.push_back("file00001=a.txt*[Install Folder]\\a.txt*0");
    EXPECT_EQ(Check(Join(lines), sources),
              std::vector<std::string>({"4: warning: the payload file 'y.txt' is installed by no record",
                                        "4: warning: the payload file 'sub\\z.txt' is installed by no record"}));
}

TEST(SetupprojCheck, TheInstalledProgramsEntry) {
    const std::string missing = ": the list of installed programs shows the product without it";
    const std::string blank = " names a file that no copy record installs: the list of installed programs shows a blank icon";
    const std::vector<WholeCase> cases = {
        {"no version, no publisher",
         Join({"[UnInstall Property]", "UnInstallKey=T", "UnInstallName=T", "[Copy File]", "SubDirectory=Tool"}),
         {"1: warning: DisplayVersion is not given" + missing, "1: warning: Publisher is not given" + missing}},
        {"no registration: no entry",
         Join({"[UnInstall Property]", "UnInstallName=T", "[Copy File]", "SubDirectory=Tool"}),
         {"1: warning: UnInstallKey is empty: the product is installed without an uninstall registration and never "
          "shows in the list of installed programs"}},
    };
    for (const WholeCase& c : cases) {
        MemorySources sources = DefaultSources();
        EXPECT_EQ(Check(c.text, sources, false, true), Expected(c.expected)) << c.name;
    }
    // The icon, ",N" aside, is an installed file by Windows' rules for names.
    const std::pair<const char*, bool> icons[] = {
        {"[Install Folder]\\tool.exe,1", true},  {"[Install Folder]\\TOOL.EXE.", true},
        {"[Install Folder]\\bin\\..\\tool.exe,-2", true}, {"[Install Folder]\\Setup.exe,0", true},
        {"[Install Folder]\\other.exe,0", false}, {"C:\\Windows\\app.ico", false}};
    for (const auto& [icon, installed] : icons) {
        const std::string text = Join({"[UnInstall Property]", "UnInstallKey=T", "UnInstallName=T", "DisplayVersion=1",
                                       "Publisher=P", std::string("DisplayIcon=") + icon, "[Copy File]",
                                       "SubDirectory=Tool", "file00000=tool.exe*[Install Folder]\\tool.exe*0"});
        MemorySources sources = DefaultSources();
        std::vector<std::string> found = Check(text, sources, false, true);
        found.erase(std::remove_if(found.begin(), found.end(),
                                   [](const std::string& f) { return f.find("DisplayIcon") == std::string::npos; }),
                    found.end());
        EXPECT_EQ(found, installed ? std::vector<std::string>()
                                   : std::vector<std::string>{"6: warning: DisplayIcon '" + std::string(icon) + "'" + blank})
            << icon;
    }
}

TEST(SetupprojCheck, TheExampleProjectChecksClean) {
    std::ifstream in(std::string(ORVANE_SOURCE_DIR) + "/examples/Setup.ini", std::ios::binary);
    ASSERT_TRUE(in);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    MemorySources sources({{"payload\\readme.txt", "readme.txt"},
                           {"payload\\manual.txt", "manual.txt"},
                           {"payload\\userdata.txt", "userdata.txt"},
                           {"payload\\config.ini", "config.ini"}},
                          {"config.ini", "manual.txt", "readme.txt", "userdata.txt"});
    EXPECT_EQ(Check(bytes.str(), sources, false, true), std::vector<std::string>());
}

}  // namespace
