// The project model: Load and Save of project files written through the
// platform layer, and the string utilities of the project file.
#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "project/GrobalFunction_unit.h"
#include "project/IniFile_unit.h"
#include "tests/support/TempFiles.h"
#include "project/ProjectProperty_unit.h"

namespace {

std::string TempPath(const std::string& name) { return plat::TempFolder() + "orvane_project_" + name; }

std::string WriteTemp(const std::string& name, const std::string& bytes) {
    return WriteTestFile(TempPath(name), bytes);
}

// Lines joined with CR LF after each, as Save writes them.
std::string Crlf(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) out += line + "\r\n";
    return out;
}

std::string LoadError(TProjectProperty& project, const std::string& path) {
    try {
        project.Load(path);
    } catch (const ESetupError& e) {
        return e.Message();
    }
    return "(no error)";
}

std::string ConversionError(const std::string& text) {
    return FormatMessage1("'%s' は整数ではありません", text);
}

const std::vector<std::string> kExampleLines = {
    "[Project Property]",
    "Copyright=Example Works",
    "InstallMode=0",
    "Name1=Example Tool",
    "Name2=Utility for examples",
    "ProjectLocation=",
    "ProjectMakeMode=0",
    "Version=1.00",
    "",
    "[Information]",
    "line0000=Thank you for choosing Example Tool.",
    "line0001=",
    "",
    "[Message]",
    "MessageDisp=2",
    "",
    "[Lisence]",
    "LisenceUse=0",
    "",
    "[Copy File]",
    "DirectorySwitch=0",
    "file00000=tool.exe*[Install Folder]\\tool.exe*0",
    "InitDirectory=0",
    "SubDirectory=Example Tool",
    "",
    "[Make Folder]",
    "file00000=[Install Folder]\\data*0",
    "",
    "[ShortCut File]",
    "file00000=スタート\\プログラム\\Example Tool*[Install Folder]\\tool.exe*[Install Folder]*0*Example Tool**0",
    "",
    "[UnInstall Property]",
    "UnInstallDialog=0",
    "UnInstallKey=ExampleTool",
    "UnInstallName=Example Tool",
};

void FillExample(TProjectProperty& p) {
    p.Name1 = "Example Tool";
    p.Name2 = "Utility for examples";
    p.Version = "1.00";
    p.Copyright = "Example Works";
    p.Information = {"Thank you for choosing Example Tool.", ""};
    p.SubDirectory = "Example Tool";
    TCopyFile& file = p.Files.Add();
    file.SourceFile = "tool.exe";
    file.DestFile = "[Install Folder]\\tool.exe";
    p.Folders.Add().FolderPath = "[Install Folder]\\data";
    TShortCutFile& link = p.Shortcuts.Add();
    link.LinkFile = "スタート\\プログラム\\Example Tool";
    link.TargetFile = "[Install Folder]\\tool.exe";
    link.WorkDirectory = "[Install Folder]";
    link.Description = "Example Tool";
    p.UnInstallKey = "ExampleTool";
    p.UnInstallName = "Example Tool";
}

}  // namespace

TEST(ProjectSave, ExampleFileByteForByte) {
    TProjectProperty project;
    FillExample(project);
    std::string path = WriteTemp("example.ini", "[Stale]\r\nold=1\r\n");
    project.Save(path);
    EXPECT_EQ(ReadBack(path), Crlf(kExampleLines));
}

TEST(ProjectLoad, ExampleFileRoundTrip) {
    std::string path = WriteTemp("example_in.ini", Crlf(kExampleLines));
    TProjectProperty project;
    project.Load(path);
    EXPECT_EQ(project.Name1, "Example Tool");
    EXPECT_EQ(project.Information, (std::vector<std::string>{"Thank you for choosing Example Tool.", ""}));
    ASSERT_EQ(project.Shortcuts.Count(), 1);
    EXPECT_EQ(project.Shortcuts.Items(0).LinkFile, "スタート\\プログラム\\Example Tool");
    EXPECT_EQ(project.Shortcuts.Items(0).ExtraFile, "");
    EXPECT_EQ(ReadBack(path), Crlf(kExampleLines));  // Load never writes
    std::string out = TempPath("example_out.ini");
    project.Save(out);
    EXPECT_EQ(ReadBack(out), Crlf(kExampleLines));
}

TEST(ProjectLoad, MissingFileGivesDefaults) {
    std::string path = TempPath("missing.ini");
    plat::DeleteFileAt(path);
    TProjectProperty project;
    project.Name1 = "stale";
    project.Folders.Add();
    project.Load(path);
    EXPECT_EQ(project.Name1, "");
    EXPECT_EQ(project.MessageDisp, 2);
    EXPECT_EQ(project.Folders.Count(), 0);
    EXPECT_FALSE(plat::FileExists(path));
}

TEST(ProjectLoad, OnlyProjectPropertySection) {
    std::string path = WriteTemp("only.ini", "[project property]\r\nname1=Tool\r\nVersion=2\r\n");
    TProjectProperty project;
    project.Load(path);
    EXPECT_EQ(project.Name1, "Tool");
    EXPECT_EQ(project.Version, "2");
    EXPECT_EQ(project.InstallMode, 0);
    EXPECT_EQ(project.ProjectMakeMode, 0);
    EXPECT_EQ(project.MessageDisp, 2);
    EXPECT_FALSE(project.LisenceUse);
    EXPECT_EQ(project.DirectorySwitch, 0);
    EXPECT_EQ(project.InitDirectory, 0);
    EXPECT_EQ(project.UnInstallDialog, 0);
    for (int kind = 0; kind < 3; ++kind) EXPECT_TRUE(project.TextBlock(kind)->empty());
    EXPECT_EQ(project.Folders.Count() + project.Files.Count() + project.Shortcuts.Count(), 0);
}

TEST(ProjectLoad, ByteFieldsKeepTheirLowBits) {
    struct Case {
        const char* text;
        int expected;
    };
    const Case cases[] = {{"256", 0}, {"-1", 255}, {"255", 255}, {"257", 1}, {"$1FF", 255},
                          {"-256", 0}, {"  3", 3}, {"2147483647", 255}};
    for (const Case& c : cases) {
        std::string value = c.text;
        std::string path = WriteTemp("bytes.ini",
                                     Crlf({"[Project Property]", "InstallMode=" + value,
                                           "[Message]", "MessageDisp=" + value,
                                           "[Lisence]", "LisenceUse=" + value,
                                           "[Copy File]", "DirectorySwitch=" + value,
                                           "file00000=a*b*" + value,
                                           "[Make Folder]", "file00000=f*" + value,
                                           "[ShortCut File]", "file00000=l*t*w*" + value + "*d*e*" + value}));
        TProjectProperty project;
        project.Load(path);
        EXPECT_EQ(project.InstallMode, c.expected) << c.text;
        EXPECT_EQ(project.MessageDisp, c.expected) << c.text;
        EXPECT_EQ(project.DirectorySwitch, c.expected) << c.text;
        EXPECT_EQ(project.Files.Items(0).DeleteMode, c.expected) << c.text;
        EXPECT_EQ(project.Folders.Items(0).KeepOnUninstall, c.expected) << c.text;
        EXPECT_EQ(project.Shortcuts.Items(0).ShowMode, c.expected) << c.text;
        EXPECT_TRUE(project.LisenceUse) << c.text;
        EXPECT_EQ(project.Shortcuts.Items(0).ExtraNumber, ConvertIniInteger(value)) << c.text;
    }
}

TEST(ProjectSave, NumbersAreWrittenUnsignedAndBooleansAsOne) {
    TProjectProperty project;
    project.InstallMode = 255;
    project.UnInstallDialog = 200;
    project.LisenceUse = true;
    project.Folders.Add().KeepOnUninstall = 255;
    TShortCutFile& link = project.Shortcuts.Add();
    link.ShowMode = 128;
    link.ExtraNumber = -7;
    std::string path = TempPath("numbers.ini");
    project.Save(path);
    std::string text = ReadBack(path);
    EXPECT_NE(text.find("\r\nInstallMode=255\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nUnInstallDialog=200\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nLisenceUse=1\r\n"), std::string::npos);
    EXPECT_NE(text.find("[Make Folder]\r\nfile00000=*255\r\n"), std::string::npos);
    EXPECT_NE(text.find("[ShortCut File]\r\nfile00000=***128***-7\r\n"), std::string::npos);
    TProjectProperty again;
    again.Load(path);
    EXPECT_EQ(again.InstallMode, 255);
    EXPECT_EQ(again.Shortcuts.Items(0).ExtraNumber, -7);
    EXPECT_EQ(again.Folders.Items(0).KeepOnUninstall, 255);
}

TEST(ProjectLoad, SubDirectoryLosesItsOuterBackslashes) {
    struct Case {
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {"\\\\Orvane\\Sample\\\\", "Orvane\\Sample"},
        {"C:\\Apps\\Tool\\", "C:\\Apps\\Tool"},
        {"\\", ""},
        {"", ""},
        {"Plain", "Plain"},
        // Characters are tested: a name ending in ソ or 表 (second byte 0x5C)
        // keeps its last character whole.
        {"App\\ソ", "App\\ソ"},
        {"\\表\\", "表"},
        {"App\\ソ\\", "App\\ソ"},
    };
    for (const Case& c : cases) {
        std::string path = WriteTemp("subdir.ini", "[Copy File]\r\nSubDirectory=" + c.text + "\r\n");
        TProjectProperty project;
        project.Load(path);
        EXPECT_EQ(project.SubDirectory, c.expected) << c.text;
        project.SetSubDirectory(c.text);
        EXPECT_EQ(project.SubDirectory, c.expected) << c.text;
    }
}

TEST(ProjectLoad, TextBlocksEndAtGapsAndAtTheMarker) {
    std::string path = WriteTemp(
        "blocks.ini",
        Crlf({"[Information]", "line0000=first", "line0001=", "line0003=after gap",
              "[DisplayMessage]", "line0001=no line0000", "[LisenceMessage]", "LINE0000=a=b*c ",
              "line0001=***error***", "line0002=unread", "[information]", "line0002=second section"}));
    TProjectProperty project;
    project.Load(path);
    EXPECT_EQ(project.Information, (std::vector<std::string>{"first", ""}));
    EXPECT_TRUE(project.DisplayMessage.empty());
    EXPECT_EQ(project.LisenceMessage, (std::vector<std::string>{"a=b*c "}));
    EXPECT_EQ(project.TextBlock(3), nullptr);
    EXPECT_EQ(project.TextBlock(-1), nullptr);
    EXPECT_EQ(project.TextBlock(1), &project.DisplayMessage);
}

TEST(ProjectLoad, RecordsEndAtGapsAndAtTheMarker) {
    std::string path = WriteTemp("records.ini",
                                 Crlf({"[Copy File]", "file00000=a*b*1*extra*more", "file00001=***error***",
                                       "file00002=c*d*0", "[Make Folder]", "file00000=x*0",
                                       "file00002=y*1", "[ShortCut File]", "file00001=l*t*w*0*d*e*0"}));
    TProjectProperty project;
    project.Load(path);
    ASSERT_EQ(project.Files.Count(), 1);
    EXPECT_EQ(project.Files.Items(0).SourceFile, "a");
    EXPECT_EQ(project.Files.Items(0).DestFile, "b");
    EXPECT_EQ(project.Files.Items(0).DeleteMode, 1);
    ASSERT_EQ(project.Folders.Count(), 1);
    EXPECT_EQ(project.Folders.Items(0).FolderPath, "x");
    EXPECT_EQ(project.Shortcuts.Count(), 0);
}

TEST(ProjectLoad, ConversionErrorsStopTheLoad) {
    struct Case {
        const char* label;
        std::vector<std::string> lines;
        std::string badText;
    };
    const Case cases[] = {
        {"number property", {"[Project Property]", "Name1=N", "InstallMode=one"}, "one"},
        {"empty number property", {"[Message]", "MessageDisp="}, ""},
        {"boolean property", {"[Lisence]", "LisenceUse=yes"}, "yes"},
        {"folder record without star", {"[Make Folder]", "file00000=[Install Folder]"}, ""},
        {"file record with a bad mode", {"[Copy File]", "file00000=a*b*1x"}, "1x"},
        {"shortcut record cut short", {"[ShortCut File]", "file00000=l*t*w*1*d"}, ""},
    };
    for (const Case& c : cases) {
        std::string path = WriteTemp("bad.ini", Crlf(c.lines));
        TProjectProperty project;
        EXPECT_EQ(LoadError(project, path), ConversionError(c.badText)) << c.label;
    }
}

TEST(ProjectLoad, AfterAnErrorTheModelHoldsWhatWasRead) {
    std::string path = WriteTemp("partial.ini", Crlf({"[Project Property]", "Name1=N", "Copyright=C",
                                                      "InstallMode=1", "ProjectMakeMode=z",
                                                      "[Make Folder]", "file00000=kept*1",
                                                      "file00001=half"}));
    TProjectProperty project;
    EXPECT_EQ(LoadError(project, path), ConversionError("z"));
    EXPECT_EQ(project.Name1, "N");
    EXPECT_EQ(project.Copyright, "C");
    EXPECT_EQ(project.InstallMode, 1);
    EXPECT_EQ(project.Folders.Count(), 0);  // not reached

    std::string records = WriteTemp("partial2.ini", Crlf({"[Make Folder]", "file00000=kept*1",
                                                          "file00001=half", "[UnInstall Property]",
                                                          "UnInstallKey=K"}));
    EXPECT_EQ(LoadError(project, records), ConversionError(""));
    ASSERT_EQ(project.Folders.Count(), 2);  // the failing item is already appended
    EXPECT_EQ(project.Folders.Items(1).FolderPath, "half");
    EXPECT_EQ(project.Folders.Items(1).KeepOnUninstall, 0);
    EXPECT_EQ(project.UnInstallKey, "");
}

TEST(ProjectLoad, ListLimits) {
    // line10000 follows a full block of 10000 lines; it is not read.
    std::string text = "[Information]\r\n";
    char key[32];
    for (int n = 0; n <= 10000; ++n) {
        std::snprintf(key, sizeof key, "line%04d=%d\r\n", n, n);
        text += key;
    }
    text += "[Copy File]\r\n";
    for (int n = 0; n <= 65536; ++n) {
        std::snprintf(key, sizeof key, "file%05d=s*d*%d\r\n", n, n % 3);
        text += key;
    }
    std::string path = WriteTemp("limits.ini", text);
    TProjectProperty project;
    project.Load(path);
    ASSERT_EQ(project.Information.size(), 10000u);
    EXPECT_EQ(project.Information.back(), "9999");
    ASSERT_EQ(project.Files.Count(), 65536);
    EXPECT_EQ(project.Files.Items(65535).DeleteMode, 65535 % 3);
}

TEST(ProjectSave, LongTextBlockIsCutAtTheLineLimit) {
    TProjectProperty project;
    for (int n = 0; n < 10002; ++n) project.Information.push_back("l" + std::to_string(n));
    std::string path = TempPath("long.ini");
    project.Save(path);
    std::string text = ReadBack(path);
    EXPECT_NE(text.find("\r\nline9999=l9999\r\n"), std::string::npos);
    EXPECT_EQ(text.find("line10000"), std::string::npos);
    TProjectProperty again;
    again.Load(path);
    EXPECT_EQ(again.Information.size(), 10000u);
}

TEST(ProjectSave, ListKeysAreFixedWidthDecimals) {
    // Text lines are line%04d, records file%5d with its spaces as zeros.
    TProjectProperty project;
    for (int n = 0; n < 10000; ++n) project.Information.push_back("i" + std::to_string(n));
    for (int n = 0; n <= 10000; ++n) project.Folders.Add().FolderPath = "f" + std::to_string(n);
    std::string path = TempPath("keys.ini");
    project.Save(path);
    std::string text = ReadBack(path);
    for (const char* line : {"line0000=i0", "line0007=i7", "line0010=i10", "line0999=i999", "line1000=i1000",
                             "line9999=i9999", "file00000=f0*0", "file00009=f9*0", "file00010=f10*0",
                             "file00999=f999*0", "file09999=f9999*0", "file10000=f10000*0"}) {
        EXPECT_NE(text.find(std::string("\r\n") + line + "\r\n"), std::string::npos) << line;
    }
    TProjectProperty again;
    again.Load(path);
    EXPECT_EQ(again.Information.size(), 10000u);
    ASSERT_EQ(again.Folders.Count(), 10001);
    EXPECT_EQ(again.Folders.Items(10000).FolderPath, "f10000");
}

TEST(ProjectSave, RoundTripKeepsEverything) {
    TProjectProperty project;
    project.InstallMode = 1;
    project.ProjectMakeMode = 3;
    project.ProjectLocation = "D:\\Projects\\表\\x.ini";
    project.Name1 = "名前 = one";
    project.Name2 = "  spaced  ";
    project.Version = "1.0*beta";  // a '*' is fine outside records
    project.Copyright = "(C) 表示";
    project.Information = {"line with = sign", "", "  indented", "***not the marker"};
    project.MessageDisp = 1;
    project.DisplayMessage = {"message"};
    project.LisenceUse = true;
    project.LisenceMessage = {"", "agree"};
    project.DirectorySwitch = 1;
    project.InitDirectory = 1;
    project.SubDirectory = "C:\\Tools\\App";
    for (int n = 0; n < 3; ++n) {
        TMakeFolder& folder = project.Folders.Add();
        folder.FolderPath = "[Install Folder]\\dir" + std::to_string(n);
        folder.KeepOnUninstall = static_cast<uint8_t>(n);
        TCopyFile& file = project.Files.Add();
        file.SourceFile = "payload\\f" + std::to_string(n) + ".txt";
        file.DestFile = "[Install Folder]\\f" + std::to_string(n) + ".txt";
        file.DeleteMode = static_cast<uint8_t>(n);
    }
    TShortCutFile& link = project.Shortcuts.Add();
    link.LinkFile = "デスクトップ\\App";
    link.TargetFile = "[Install Folder]\\app.exe";
    link.WorkDirectory = "";
    link.ShowMode = 2;
    link.Description = "";
    link.ExtraFile = "extra.dat";
    link.ExtraNumber = -2147483647 - 1;
    project.UnInstallName = "App";
    project.UnInstallKey = "AppKey";
    project.UnInstallDialog = 9;
    project.DisplayVersion = "2.1";
    project.Publisher = "表計算工房";
    project.DisplayIcon = "[Install Folder]\\app.exe,1";
    project.URLInfoAbout = "https://example.org/";
    project.HelpLink = "https://example.org/help";
    project.UsePreviousLocation = 0;

    std::string path = TempPath("roundtrip.ini");
    project.Save(path);
    std::string first = ReadBack(path);
    EXPECT_NE(first.find("[Copy File]\r\nDirectorySwitch=1\r\nfile00000=payload\\f0.txt*[Install Folder]\\f0.txt*0\r\n"
                         "file00001=payload\\f1.txt*[Install Folder]\\f1.txt*1\r\n"
                         "file00002=payload\\f2.txt*[Install Folder]\\f2.txt*2\r\nInitDirectory=1\r\n"),
              std::string::npos);

    TProjectProperty loaded;
    loaded.Load(path);
    EXPECT_EQ(loaded.InstallMode, 1);
    EXPECT_EQ(loaded.ProjectMakeMode, 3);
    EXPECT_EQ(loaded.ProjectLocation, project.ProjectLocation);
    EXPECT_EQ(loaded.Name1, project.Name1);
    EXPECT_EQ(loaded.Name2, project.Name2);
    EXPECT_EQ(loaded.Version, project.Version);
    EXPECT_EQ(loaded.Copyright, project.Copyright);
    EXPECT_EQ(loaded.Information, project.Information);
    EXPECT_EQ(loaded.MessageDisp, 1);
    EXPECT_EQ(loaded.DisplayMessage, project.DisplayMessage);
    EXPECT_TRUE(loaded.LisenceUse);
    EXPECT_EQ(loaded.LisenceMessage, project.LisenceMessage);
    EXPECT_EQ(loaded.DirectorySwitch, 1);
    EXPECT_EQ(loaded.InitDirectory, 1);
    EXPECT_EQ(loaded.SubDirectory, project.SubDirectory);
    ASSERT_EQ(loaded.Folders.Count(), 3);
    ASSERT_EQ(loaded.Files.Count(), 3);
    for (int n = 0; n < 3; ++n) {
        EXPECT_EQ(loaded.Folders.Items(n).FolderPath, project.Folders.Items(n).FolderPath);
        EXPECT_EQ(loaded.Folders.Items(n).KeepOnUninstall, n);
        EXPECT_EQ(loaded.Files.Items(n).SourceFile, project.Files.Items(n).SourceFile);
        EXPECT_EQ(loaded.Files.Items(n).DestFile, project.Files.Items(n).DestFile);
        EXPECT_EQ(loaded.Files.Items(n).DeleteMode, n);
    }
    ASSERT_EQ(loaded.Shortcuts.Count(), 1);
    const TShortCutFile& back = loaded.Shortcuts.Items(0);
    EXPECT_EQ(back.LinkFile, link.LinkFile);
    EXPECT_EQ(back.TargetFile, link.TargetFile);
    EXPECT_EQ(back.WorkDirectory, "");
    EXPECT_EQ(back.ShowMode, 2);
    EXPECT_EQ(back.Description, "");
    EXPECT_EQ(back.ExtraFile, "extra.dat");
    EXPECT_EQ(back.ExtraNumber, link.ExtraNumber);
    EXPECT_EQ(loaded.UnInstallName, "App");
    EXPECT_EQ(loaded.UnInstallKey, "AppKey");
    EXPECT_EQ(loaded.UnInstallDialog, 9);
    EXPECT_EQ(loaded.DisplayVersion, "2.1");
    EXPECT_EQ(loaded.Publisher, project.Publisher);
    EXPECT_EQ(loaded.DisplayIcon, project.DisplayIcon);
    EXPECT_EQ(loaded.URLInfoAbout, project.URLInfoAbout);
    EXPECT_EQ(loaded.HelpLink, project.HelpLink);
    EXPECT_EQ(loaded.UsePreviousLocation, 0);

    std::string second = TempPath("roundtrip2.ini");
    loaded.Save(second);
    EXPECT_EQ(ReadBack(second), first);
}

TEST(ProjectSave, EmptyModelWritesEveryKey) {
    TProjectProperty project;
    std::string path = TempPath("empty.ini");
    project.Save(path);
    EXPECT_EQ(ReadBack(path), Crlf({"[Project Property]", "Copyright=", "InstallMode=0", "Name1=",
                                    "Name2=", "ProjectLocation=", "ProjectMakeMode=0", "Version=", "",
                                    "[Message]", "MessageDisp=2", "", "[Lisence]", "LisenceUse=0", "",
                                    "[Copy File]", "DirectorySwitch=0", "InitDirectory=0",
                                    "SubDirectory=", "", "[UnInstall Property]", "UnInstallDialog=0",
                                    "UnInstallKey=", "UnInstallName="}));
}

TEST(ProjectSave, UsesGetCopySource) {
    struct Redirecting : TProjectProperty {
        std::string GetCopySource(const TCopyFile& item) override { return "packed\\" + item.SourceFile; }
    } project;
    project.Files.Add().SourceFile = "a.txt";
    std::string path = TempPath("source.ini");
    project.Save(path);
    EXPECT_NE(ReadBack(path).find("\r\nfile00000=packed\\a.txt**0\r\n"), std::string::npos);
    EXPECT_EQ(project.Files.Items(0).SourceFile, "a.txt");
}

TEST(ProjectSave, CannotCreateFile) {
    TProjectProperty project;
    std::string path = plat::TempFolder() + "orvane_missing_folder\\Setup.ini";
    try {
        project.Save(path);
        ADD_FAILURE() << "saved";
    } catch (const ESetupError& e) {
        EXPECT_EQ(e.Message(), FormatMessage1("ファイル %s を作成できません", path));
    }
}

TEST(ProjectReset, EmptiesEverything) {
    TProjectProperty project;
    FillExample(project);
    project.MessageDisp = 0;
    project.LisenceMessage.push_back("x");
    project.Reset();
    EXPECT_EQ(project.Name1, "");
    EXPECT_EQ(project.MessageDisp, 2);
    EXPECT_TRUE(project.Information.empty());
    EXPECT_TRUE(project.LisenceMessage.empty());
    EXPECT_EQ(project.Files.Count() + project.Folders.Count() + project.Shortcuts.Count(), 0);
}

TEST(ProjectCollections, AddKeepsItemsInPlace) {
    TCopyFiles files;
    TCopyFile& first = files.Add();
    first.SourceFile = "a";
    for (int n = 0; n < 100; ++n) files.Add();
    EXPECT_EQ(&files.Items(0), &first);
    EXPECT_EQ(files.Count(), 101);
    EXPECT_EQ(files.Items(100).DeleteMode, 0);
    EXPECT_THROW(files.Items(101), std::out_of_range);
    TShortCutFiles links;
    const TShortCutFile& link = links.Add();
    EXPECT_EQ(link.ExtraNumber, 0);
    EXPECT_EQ(link.ShowMode, 0);
    EXPECT_EQ(link.LinkFile, "");
}

TEST(ProjectUtilities, SplitFields) {
    struct Case {
        std::string text;
        int count;
        std::vector<std::string> fields;  // the stored entries, then the cleared one
    };
    const Case cases[] = {
        {"", 1, {"", ""}},
        {"abc", 1, {"abc", ""}},
        {"a*b*c", 3, {"a", "b", "c", ""}},
        {"a*", 2, {"a", "", ""}},
        {"*", 2, {"", "", ""}},
        {"**a", 3, {"", "", "a", ""}},
    };
    for (const Case& c : cases) {
        std::string fields[17];
        for (std::string& f : fields) f = "stale";
        EXPECT_EQ(SplitFields(c.text, '*', fields, 17), c.count) << c.text;
        for (size_t i = 0; i < c.fields.size(); ++i) EXPECT_EQ(fields[i], c.fields[i]) << c.text << " " << i;
        EXPECT_EQ(fields[c.fields.size()], "stale") << c.text;  // nothing further touched
    }
}

TEST(ProjectUtilities, SplitFieldsBeyondCapacity) {
    std::string text;
    for (int n = 0; n < 20; ++n) text += std::to_string(n) + "*";  // 21 fields
    std::string fields[18];
    fields[17] = "guard";
    EXPECT_EQ(SplitFields(text, '*', fields, 17), 21);
    EXPECT_EQ(fields[0], "0");
    EXPECT_EQ(fields[16], "16");
    EXPECT_EQ(fields[17], "guard");
    std::string exact[4];
    exact[3] = "guard";
    EXPECT_EQ(SplitFields("a*b*c", '*', exact, 3), 3);  // no room for the cleared entry
    EXPECT_EQ(exact[2], "c");
    EXPECT_EQ(exact[3], "guard");
}

TEST(ProjectUtilities, SpacesToZerosAndTrailingBackslash) {
    EXPECT_EQ(SpacesToZeros("file    7"), "file00007");
    EXPECT_EQ(SpacesToZeros(" a b "), "0a0b0");
    EXPECT_EQ(SpacesToZeros(""), "");
    EXPECT_EQ(AddTrailingBackslash(""), "\\");
    EXPECT_EQ(AddTrailingBackslash("C:\\App"), "C:\\App\\");
    EXPECT_EQ(AddTrailingBackslash("C:\\App\\"), "C:\\App\\");
    EXPECT_EQ(AddTrailingBackslash("\\"), "\\");
    // ソ ends in the byte 0x5C, but it is a character, not a backslash.
    EXPECT_EQ(AddTrailingBackslash("C:\\ソ"), "C:\\ソ\\");
    EXPECT_EQ(AddTrailingBackslash("C:\\表"), "C:\\表\\");
    EXPECT_EQ(AddTrailingBackslash("C:\\表示"), "C:\\表示\\");
}

TEST(ProjectLoad, RepeatedKeysAndSectionsFirstWins) {
    std::string path = WriteTemp("repeated.ini",
                                 Crlf({"[Copy File]", "file00000=a*b*0", "FILE00000=c*d*1", "file00001=e*f*2",
                                       "file00000 =g*h*0", "SubDirectory=first", "[copy file]",
                                       "file00002=i*j*0", "subdirectory=second", "[Copy File]",
                                       "file00000=k*l*0"}));
    TProjectProperty project;
    project.Load(path);
    ASSERT_EQ(project.Files.Count(), 2);
    EXPECT_EQ(project.Files.Items(0).SourceFile, "a");
    EXPECT_EQ(project.Files.Items(1).SourceFile, "e");
    EXPECT_EQ(project.SubDirectory, "first");
}
