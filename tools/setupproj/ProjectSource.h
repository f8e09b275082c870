#pragma once
// The project as the installer loads it, with the line of every value, and
// the findings of that reading: the syntax traps (keys and sections that
// are never found, repeats, gaps in the numbering) and the values the
// installer stops at or misreads. The text goes through the installer's own
// INI document and its schema reading, made lenient.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "project/IniFile_unit.h"
#include "project/ProjectProperty_unit.h"
#include "tools/setupproj/Findings.h"

namespace setupproj {

struct ProjectSource {
    // What Load gives, except that a number that does not convert (where the
    // installer would stop) is read as its default so that the rest can be
    // checked.
    TProjectProperty project;
    // The line of each record of Folders, Files and Shortcuts.
    std::vector<int> folderLines, fileLines, shortcutLines;
    // The document the values were read from, which knows their lines.
    std::shared_ptr<const TProjectIniFile> ini;

    // The line of a setting as the installer finds it; without one, its
    // section's header; else line 1.
    int LineOf(const std::string& section, const std::string& key) const;
    // The line of the name that the installer reads; 0 when the file lacks it.
    int KeyLine(const std::string& section, const std::string& key) const;
    int SectionLine(const std::string& section) const;
};

// lines, when given, sees the text's lines before any finding is made.
void ReadProjectSource(const std::string& text, ProjectSource& source, Findings& findings,
                       const std::function<void(const TIniTextLines&)>& lines = nullptr);

}  // namespace setupproj
