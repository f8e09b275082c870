#pragma once
// The folder keywords that a project path may begin with (the engine's own
// list, engine/FolderKeyword_unit.h, in the order it tests them) and the
// folders they stand for on a typical machine, which `check` uses for its
// judgements.
#include <string>
#include <vector>

#include "engine/FolderKeyword_unit.h"
#include "tools/setupproj/WinPath.h"

namespace setupproj {

// The Program Files folder of a 32-bit program on 64-bit Windows: the longer
// of the usual two, so that lengths are measured on the safe side.
extern const char kTypicalProgramFiles[];

// How a keyword-like text in the path fails to be one (wrong letter case,
// no "\" after it, not at the front, an unknown "[...]" word), as a message;
// empty when there is no such mistake.
std::string KeywordMistake(const std::string& path);

// The folder of each keyword on a typical machine, in the keywords' order,
// with the given installation folder.
std::vector<std::string> TypicalKeywordFolders(const std::string& installFolder);
// The same on the machine the session's system paths ask.
std::vector<std::string> KeywordFolders(const std::string& installFolder, TSystemPath& systemPath);

struct ExpandedPath {
    std::string text;   // the path with its keyword replaced
    WinPath full;       // invalid when the result is not a full path
    int keyword = -1;
    bool keywordFolder = false;
};

// Replaces the leading keyword with its folder (folders in the keywords' order).
ExpandedPath ExpandKeyword(const std::string& path, const std::vector<std::string>& folders);

// A full path as the project would write it: below the deepest keyword
// folder that holds it, that keyword and the rest; otherwise the path itself.
std::string ProjectForm(const WinPath& path, const std::vector<std::string>& folders);

}  // namespace setupproj
