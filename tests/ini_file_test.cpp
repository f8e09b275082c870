// The INI document: line splitting, headers, lookups and the integer
// conversion on text in memory; the file-bound create and release, and
// WriteFile's layout, on files written through the platform layer.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"
#include "project/IniFile_unit.h"
#include "tests/support/TempFiles.h"

using namespace std::string_literals;

namespace {

std::string TempPath(const std::string& name) { return plat::TempFolder() + "orvane_ini_" + name; }

std::string WriteTemp(const std::string& name, const std::string& bytes) {
    return WriteTestFile(TempPath(name), bytes);
}

// "Name|line|line;Name|line" description of a document, for compact checks.
std::string Describe(const TProjectIniFile& ini) {
    std::string out;
    for (int s = 0; s < ini.SectionCount(); ++s) {
        if (s) out += ";";
        out += ini.SectionAt(s).Name;
        for (const std::string& line : ini.SectionAt(s).Lines()) out += "|" + line;
    }
    return out;
}

std::string ParseDescribe(const std::string& bytes) {
    TProjectIniFile ini;
    ini.Parse(bytes);
    return Describe(ini);
}

std::string ConversionError(const std::string& text) {
    return FormatMessage1("'%s' は整数ではありません", text);
}

}  // namespace

TEST(IniParse, LineEndsTrimmingAndHeaders) {
    struct Case {
        const char* label;
        std::string bytes;
        std::string expected;
    };
    const Case cases[] = {
        {"crlf", "[A]\r\nk=1\r\nj=2\r\n", "A|k=1|j=2"},
        {"lone cr", "[A]\rk=1\rj=2\r", "A|k=1|j=2"},
        {"lone lf", "[A]\nk=1\nj=2\n", "A|k=1|j=2"},
        {"mixed, last line without end", "[A]\r\nk=1\nj=2\rl=3", "A|k=1|j=2|l=3"},
        {"cr cr lf is two ends", "[A]\r\r\nk=1", "A|k=1"},
        {"nul ends the text", "[A]\r\nk=1\r\nj=2\0\r\nl=3\r\n"s, "A|k=1|j=2"},
        {"blank and control-only lines dropped", "[A]\r\n\r\n  \t \r\nk=1\r\n\x01\x1f\r\n", "A|k=1"},
        {"lines kept untrimmed", "[A]\r\n  k = 1 \t\r\n", "A|  k = 1 \t"},
        {"lines before the first header dropped", "k=1\r\n[A]\r\nj=2", "A|j=2"},
        {"only lines before any header", "k=1\r\nj=2\r\n", ""},
        {"empty file", "", ""},
        {"header with blanks around it", "  \t[A]  \r\nk=1", "A|k=1"},
        {"text after the bracket ignored", "[A]comment ] more\r\nk=1", "A|k=1"},
        {"blanks inside brackets kept", "[ A B ]\r\nk=1", " A B |k=1"},
        {"no closing bracket is a line", "[A]\r\n[B\r\nk=1", "A|[B|k=1"},
        {"no closing bracket before a header", "[B\r\n[A]", "A"},
        {"empty name", "[]\r\nk=1", "|k=1"},
        {"case kept", "[Copy File]\r\nK=1", "Copy File|K=1"},
        {"repeated headers", "[A]\r\nk=1\r\n[a]\r\nk=2\r\n[A]", "A|k=1;a|k=2;A"},
        {"lines without equals kept", "[A]\r\n; comment\r\nplain", "A|; comment|plain"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseDescribe(c.bytes), c.expected) << c.label;
    }
}

TEST(IniParse, MissingFileAndEmptyNameGiveEmptyDocument) {
    std::string path = TempPath("never_written.ini");
    plat::DeleteFileAt(path);
    TProjectIniFile missing(path);
    EXPECT_EQ(missing.SectionCount(), 0);
    TProjectIniFile unnamed("");
    EXPECT_EQ(unnamed.SectionCount(), 0);
    EXPECT_NO_THROW(unnamed.Close());  // no file name: nothing is written
}

TEST(IniLookup, FirstMatchAndCaseInsensitiveNames) {
    TProjectIniFile ini;
    ini.Parse("[Copy File]\r\nKey=first\r\nkey=second\r\n"
                 "[copy file]\r\nKey=other\r\nOnly=2nd\r\n");
    EXPECT_EQ(ini.FindSection("copy file"), 0);
    EXPECT_EQ(ini.FindSection("COPY FILE"), 0);
    EXPECT_EQ(ini.FindSection("Copy"), -1);
    EXPECT_EQ(ini.ReadString("COPY FILE", "KEY", "d"), "first");
    // The second section of the name is never seen by reads.
    EXPECT_EQ(ini.ReadString("Copy File", "Only", "d"), "d");
    TProjectIniSection& section = ini.SectionAt(0);
    EXPECT_EQ(section.IndexOfKey("kEY"), 0);
    EXPECT_TRUE(section.HasKey("key"));
    EXPECT_FALSE(section.HasKey("ke"));
    EXPECT_EQ(section.KeyNameAt(1), "key");
}

TEST(IniLookup, ValuesAreTakenAsWritten) {
    TProjectIniFile ini;
    ini.Parse("[S]\r\ntrail=abc  \r\nempty=\r\ntwo=a=b\r\n"
                 "spaced = x\r\n  indented=y\r\nnoequals\r\n=nameless\r\n");
    EXPECT_EQ(ini.ReadString("S", "trail", "d"), "abc  ");
    EXPECT_EQ(ini.ReadString("S", "empty", "d"), "");  // present: not the default
    EXPECT_EQ(ini.ReadString("S", "two", "d"), "a=b");
    EXPECT_EQ(ini.ReadString("S", "spaced", "d"), "d");  // its name part is "spaced "
    EXPECT_EQ(ini.ReadString("S", "spaced ", "d"), " x");
    EXPECT_EQ(ini.ReadString("S", "indented", "d"), "d");
    EXPECT_EQ(ini.ReadString("S", "noequals", "d"), "d");
    const TProjectIniSection& section = ini.SectionAt(0);
    EXPECT_EQ(section.KeyNameAt(6), "");  // "noequals"
    EXPECT_EQ(section.ValueOf("two"), "a=b");
    EXPECT_EQ(section.ValueOf("absent"), "");
}

TEST(IniReadWrite, ReadStoresItsDefault) {
    std::string path = TempPath("defaults.ini");
    plat::DeleteFileAt(path);
    {
        TProjectIniFile ini(path);
        EXPECT_EQ(ini.ReadString("New", "key", "dflt"), "dflt");
        EXPECT_EQ(ini.ReadString("Bare", "key", ""), "");
        EXPECT_EQ(ini.ReadString("New", "other", "x"), "x");
        EXPECT_EQ(ini.ReadString("New", "key", "changed"), "dflt");  // stored by the first read
        EXPECT_EQ(ini.ReadInteger("New", "n", -5), -5);
        ini.Close();
    }
    EXPECT_EQ(ReadBack(path), "[New]\r\nkey=dflt\r\nn=-5\r\nother=x\r\n\r\n[Bare]\r\n");
}

TEST(IniReadWrite, WriteStringReplacesInPlaceAndMovesEmptyValuesToTheEnd) {
    TProjectIniFile ini;
    ini.Parse("[S]\r\nb=1\r\nA=2\r\nc=3\r\na=4\r\n");
    ini.WriteString("s", "a", "new");  // first line of the key, spelled as passed
    EXPECT_EQ(Describe(ini), "S|b=1|a=new|c=3|a=4");
    ini.WriteString("S", "b", "");
    EXPECT_EQ(Describe(ini), "S|a=new|c=3|a=4|b=");
    ini.WriteString("S", "a", "");  // removes the first a only
    EXPECT_EQ(Describe(ini), "S|c=3|a=4|b=|a=");
    ini.WriteString("T", "k", "");
    ini.WriteInteger("T", "n", -2147483647 - 1);
    ini.WriteBool("T", "t", true);
    ini.WriteBool("T", "f", false);
    EXPECT_EQ(Describe(ini), "S|c=3|a=4|b=|a=;T|k=|n=-2147483648|t=1|f=0");
}

TEST(IniReadWrite, SetValueOfOnSectionLines) {
    TProjectIniFile ini("");
    TProjectIniSection& section = ini.AddSection();
    section.Name = "S";
    section.SetValueOf("k", "1");
    section.SetValueOf("K", "2");
    section.SetValueOf("gone", "");  // no line, nothing happens
    EXPECT_EQ(Describe(ini), "S|K=2");
    section.SetValueOf("k", "");
    EXPECT_EQ(section.LineCount(), 0);
    EXPECT_EQ(ini.FindSection("s"), 0);
}

TEST(IniReadInteger, Conversion) {
    struct Case {
        const char* text;
        bool ok;
        int32_t value;
    };
    const Case cases[] = {
        {"0", true, 0},
        {"42", true, 42},
        {"+42", true, 42},
        {"-42", true, -42},
        {"007", true, 7},
        {"   12", true, 12},
        {"  -3", true, -3},
        {"$1F", true, 31},
        {"$ff", true, 255},
        {"x10", true, 16},
        {"X10", true, 16},
        {"0x7fffffff", true, 2147483647},
        {"0XaB", true, 171},
        {" $10", true, 16},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"00000000000000000000001", true, 1},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"99999999999999999999", false, 0},
        {"$80000000", false, 0},
        {"0x100000000", false, 0},
        {"", false, 0},
        {" ", false, 0},
        {"+", false, 0},
        {"-", false, 0},
        {"$", false, 0},
        {"0x", false, 0},
        {"12 ", false, 0},
        {"1 2", false, 0},
        {"\t12", false, 0},
        {"12a", false, 0},
        {"-$10", false, 0},
        {"+0x10", false, 0},
        {"$-1", false, 0},
        {"1.0", false, 0},
        {"--1", false, 0},
        {"$G", false, 0},
        {"０", false, 0},
    };
    for (const Case& c : cases) {
        if (c.ok) {
            EXPECT_EQ(ConvertIniInteger(c.text), c.value) << c.text;
        } else {
            try {
                ConvertIniInteger(c.text);
                ADD_FAILURE() << "converted: '" << c.text << "'";
            } catch (const ESetupError& e) {
                EXPECT_EQ(e.Message(), ConversionError(c.text)) << c.text;
            }
        }
    }
}

TEST(IniReadInteger, ThroughTheDocument) {
    TProjectIniFile ini;
    ini.Parse("[N]\r\nempty=\r\nhex=$10\r\nblank= 7\r\nafter=7 \r\nb0=0\r\nb2=2\r\n");
    EXPECT_EQ(ini.ReadInteger("N", "missing", 9), 9);
    EXPECT_EQ(ini.ReadInteger("N", "missing", 1), 9);  // the first read stored "9"
    EXPECT_EQ(ini.ReadInteger("N", "hex", 0), 16);
    EXPECT_EQ(ini.ReadInteger("N", "blank", 0), 7);
    try {
        ini.ReadInteger("N", "empty", 3);
        ADD_FAILURE() << "empty value converted";
    } catch (const ESetupError& e) {
        EXPECT_EQ(e.Message(), ConversionError(""));
    }
    EXPECT_THROW(ini.ReadInteger("N", "after", 0), ESetupError);
    EXPECT_FALSE(ini.ReadBool("N", "b0", true));
    EXPECT_TRUE(ini.ReadBool("N", "b2", false));
    EXPECT_TRUE(ini.ReadBool("N", "nob", true));
    EXPECT_FALSE(ini.ReadBool("Other", "nob", false));
}

TEST(IniWriteFile, LayoutIsSortedAndSeparated) {
    std::string path = WriteTemp("layout.ini",
                                 "\r\n[B]\r\n\r\nline0001=b\r\n\r\nline0000=a\r\n  \r\n"
                                 "[A]\r\nz=1\r\n\r\n\r\n[B]\r\ny=2\r\nx=1\r\n");
    {
        TProjectIniFile ini(path);
        ini.WriteString("B", "new", "v");  // into the first B
        ini.Close();
    }
    EXPECT_EQ(ReadBack(path),
              "[B]\r\nline0000=a\r\nline0001=b\r\nnew=v\r\n\r\n"
              "[A]\r\nz=1\r\n\r\n"
              "[B]\r\nx=1\r\ny=2\r\n");
}

TEST(IniSerialize, SameBytesAsTheFileAndNoFileTouched) {
    const std::string text = "\r\n[B]\r\n\r\nline0001=b\r\nline0000=a\r\n[A]\r\nz=1\r\n[B]\r\ny=2\r\nx=1\r\n";
    TProjectIniFile inMemory;
    inMemory.Parse(text);
    const std::string bytes = inMemory.Serialize();
    EXPECT_EQ(bytes, "[B]\r\nline0000=a\r\nline0001=b\r\n\r\n[A]\r\nz=1\r\n\r\n[B]\r\nx=1\r\ny=2\r\n");
    EXPECT_EQ(inMemory.FileName, "");
    inMemory.Close();  // bound to no file: writes nothing

    std::string path = WriteTemp("serialize.ini", text);
    {
        TProjectIniFile onDisk(path);
        onDisk.Close();
    }
    EXPECT_EQ(ReadBack(path), bytes);
    // Parsing the result gives the same document again.
    TProjectIniFile again;
    again.Parse(bytes);
    EXPECT_EQ(again.Serialize(), bytes);
}

TEST(IniWriteFile, EmptyDocumentWritesEmptyFile) {
    std::string path = WriteTemp("empty.ini", "old contents");
    TProjectIniFile ini("");
    ini.FileName = path;
    ini.Close();
    EXPECT_EQ(ReadBack(path), "");
}

TEST(IniWriteFile, EmptyValueInNewSection) {
    std::string path = TempPath("emptyvalue.ini");
    TProjectIniFile ini("");
    ini.FileName = path;
    ini.WriteString("Sec", "key", "");
    ini.Close();
    EXPECT_EQ(ReadBack(path), "[Sec]\r\nkey=\r\n");
}

TEST(IniWriteFile, ReadOnlyDocumentIsNotWritten) {
    std::string path = WriteTemp("readonly.ini", "[S]\nk=1\n");
    TProjectIniFile ini(path);
    ini.ReadOnly = true;
    ini.WriteString("S", "k", "2");
    ini.Close();
    EXPECT_EQ(ReadBack(path), "[S]\nk=1\n");
}

TEST(IniWriteFile, CreateFailureReachesTheCaller) {
    std::string path = plat::TempFolder() + "orvane_no_such_folder\\sub\\x.ini";
    TProjectIniFile ini("");
    ini.FileName = path;
    ini.WriteString("S", "k", "1");
    try {
        ini.Close();
        ADD_FAILURE() << "no error";
    } catch (const ESetupError& e) {
        EXPECT_EQ(e.Message(), FormatMessage1("ファイル %s を作成できません", path));
    }
    EXPECT_EQ(ini.SectionCount(), 0);  // freed all the same
    EXPECT_NO_THROW(ini.Close());      // released once
}

// The order that Windows' CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE)
// gives these lines, observed under the Japanese locale: blanks and symbols
// before digits, digits before letters, case ignored; a hyphen weighs
// nothing at first and only breaks ties ("keya" < "key-a" < "keyb").
TEST(IniCollation, WriteFileOrdersLinesAsWindows) {
    const std::vector<std::string> expected = {
        "a=1",         "A=2",          "B=0",
        "DirectorySwitch=0",           "file0000=x",
        "file00000=a*b*0",             "file00000=a\\b*c*0",
        "file00000=x", "file00001=y",  "InitDirectory=0",
        "key a=1",     "key*a=1",      "key_a=1",
        "key\\a=1",    "key=a",        "key0=1",
        "key9=1",      "keya=1",       "key-a=1",
        "keyb=1",      "line0999=a",   "line1000=a",
        "line10000=a", "Name1=a",      "Name10=c",
        "Name2=b",     "SubDirectory=x",
    };
    // A fixed shuffle, so that the sort has work to do.
    std::vector<std::string> input = expected;
    std::mt19937 random(12345);
    std::shuffle(input.begin(), input.end(), random);

    std::string path = TempPath("collation.ini");
    TProjectIniFile ini("");
    ini.FileName = path;
    TProjectIniSection& section = ini.AddSection();
    section.Name = "S";
    for (const std::string& line : input) section.AddLine(line);
    ini.Close();

    std::string want = "[S]\r\n";
    for (const std::string& line : expected) want += line + "\r\n";
    EXPECT_EQ(ReadBack(path), want);
    for (size_t i = 0; i + 1 < expected.size(); ++i) {
        EXPECT_LT(plat::CompareNames(expected[i], expected[i + 1]), 0)
            << expected[i] << " / " << expected[i + 1];
    }
    EXPECT_EQ(plat::CompareNames("a", "A"), 0);
    EXPECT_EQ(plat::CompareNames("Copy File", "COPY FILE"), 0);
}

// The key index must answer exactly as a first-match search with the
// locale comparison, through replacements, deletions, appends and sorts.
TEST(IniLookup, IndexAgreesWithLinearSearch) {
    const std::vector<std::string> keys = {"k1", "K1", "k2", "file00001", "FILE00001", "k 1",
                                           "k-1", "k_1", "line0000", "x", ""};
    std::mt19937 random(7);
    auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
    TProjectIniFile ini("");
    TProjectIniSection& section = ini.AddSection();
    auto reference = [&](const std::string& key) {
        for (int i = 0; i < section.LineCount(); ++i) {
            const std::string& line = section.LineAt(i);
            size_t eq = line.find('=');
            if (eq != std::string::npos && plat::CompareNames(line.substr(0, eq), key) == 0) return i;
        }
        return -1;
    };
    for (int step = 0; step < 1200; ++step) {
        const std::string& key = keys[pick(keys.size())];
        switch (pick(6)) {
            case 0: section.SetValueOf(key, std::to_string(step)); break;
            case 1: section.SetValueOf(key, ""); break;
            case 2: section.AddLine(key + "=" + std::to_string(step)); break;
            case 3: section.AddLine("no equals " + key); break;
            case 4:
                if (section.LineCount() > 0) section.DeleteLineAt(static_cast<int>(pick(section.LineCount())));
                break;
            default:
                if (step % 50 == 0) section.SortLines();
                break;
        }
        for (const std::string& probe : keys) {
            ASSERT_EQ(section.IndexOfKey(probe), reference(probe)) << "step " << step << " key " << probe;
        }
    }
}
