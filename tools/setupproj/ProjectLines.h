#pragma once
// The project file's lines with their numbers, sorted into sections by the
// installer's own rules: a line is trimmed of bytes up to 0x20 only to see
// whether it is blank or a header; a header is a trimmed line that begins
// with '[' and holds a ']', named by the bytes between '[' and the first
// ']'; every other line belongs, untrimmed, to the section above it; lines
// before the first header belong to none; a NUL byte ends the text.
#include <string>
#include <vector>

namespace setupproj {

struct IniLine {
    enum Kind { kBlank, kHeader, kEntry, kBeforeHeader };
    int number = 0;     // 1-based
    std::string text;   // as in the file, without its line end
    Kind kind = kBlank;
    int section = -1;   // the header's own section, or the section the line belongs to
};

struct IniSection {
    std::string name;          // as written between the brackets
    int line = 0;              // number of the header line
    std::vector<int> entries;  // indexes into IniText::lines, in file order
};

struct IniText {
    std::vector<IniLine> lines;
    std::vector<IniSection> sections;
    int nulLine = 0;            // the line in which a NUL byte ends the text (0: none)
    bool textAfterNul = false;  // anything but blanks and NULs follows that byte
};

IniText ScanIniText(const std::string& bytes);

// The line's name part (before its first '=') and value (all after it).
// False when the line has no '='.
bool SplitKeyLine(const std::string& line, std::string& name, std::string& value);

// The text without the bytes up to 0x20 at both ends.
std::string TrimBlanks(const std::string& text);

}  // namespace setupproj
