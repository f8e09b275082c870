#pragma once
// The folder keywords that a project path may begin with, how the installer
// matches them, and the folders they stand for on a typical machine, which
// `check` uses for its judgements. The engine keeps its own list beside the
// window code; this tool keeps this small table so that it needs nothing of
// the window.
#include <string>
#include <vector>

#include "tools/setupproj/WinPath.h"

class TProjectProperty;

namespace setupproj {

struct FolderKeyword {
    const char* text;           // as written at the front of a project path
    const char* typicalFolder;  // on a typical machine; nullptr: the installation folder
};

// In the order in which the installer tests them: the longer keywords
// before the shorter ones that they begin with.
constexpr int kFolderKeywordCount = 8;
extern const FolderKeyword kFolderKeywords[kFolderKeywordCount];
constexpr int kInstallFolderKeyword = 0;

// The Program Files folder of a 32-bit program on 64-bit Windows: the longer
// of the usual two, so that lengths are measured on the safe side.
extern const char kTypicalProgramFiles[];

// The keyword at the front of path as the installer matches it (byte for
// byte, followed by "\" or nothing), or -1. keywordFolder: the path is the
// keyword alone, or the keyword and one "\".
int LeadingKeyword(const std::string& path, bool* keywordFolder = nullptr);

// How a keyword-like text in the path fails to be one (wrong letter case,
// no "\" after it, not at the front, an unknown "[...]" word), as a message;
// empty when there is no such mistake.
std::string KeywordMistake(const std::string& path);

// The folder that the location page proposes: the Program Files folder and
// "SubDirectory", or "SubDirectory" alone when "InitDirectory" is not 0.
std::string DefaultInstallFolder(const TProjectProperty& project, const std::string& programFiles);

// The folder of each keyword, in table order, with the given installation folder.
std::vector<std::string> TypicalKeywordFolders(const std::string& installFolder);

struct ExpandedPath {
    std::string text;   // the path with its keyword replaced
    WinPath full;       // invalid when the result is not a full path
    int keyword = -1;
    bool keywordFolder = false;
};

// Replaces the leading keyword with its folder (folders in table order).
ExpandedPath ExpandKeyword(const std::string& path, const std::vector<std::string>& folders);

// A full path as the project would write it: below the deepest keyword
// folder that holds it, that keyword and the rest; otherwise the path itself.
std::string ProjectForm(const WinPath& path, const std::vector<std::string>& folders);

}  // namespace setupproj
