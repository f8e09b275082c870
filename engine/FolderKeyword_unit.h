#pragma once
// Folder keywords: a project path may begin with one of eight keywords, which
// is replaced by the real folder on the running machine before the path is used.
#include <functional>
#include <string>

class TSystemPath;

// The keywords, in the order they are tested: the longer ones before the
// shorter ones they begin with. The authors' tool reads the same list.
enum TFolderKeyword {
    fkInstallFolder = 0,  // "[Install Folder]": the folder the user chose
    fkDrivers,            // "[System]\[Drivers]"
    fkSystem,             // "[System]"
    fkStartup,            // "スタート\プログラム\スタートアップ"
    fkPrograms,           // "スタート\プログラム"
    fkStartMenu,          // "スタート"
    fkDesktop,            // "デスクトップ"
    fkSendTo,             // "送る"
    fkCount
};
extern const char* const kFolderKeywords[fkCount];

// One test-and-replace step. Matches only when the path begins with the
// keyword (byte for byte, case-sensitive) and the keyword is followed by "\"
// or nothing; then the path becomes replacement + rest and true is returned.
// isKeywordFolder is true when the path names the keyword's folder itself as
// the file system resolves it: a rest of "\" alone, but also "\.", "\ ",
// "\\" or "\a\.." (dots, blanks and doubled separators are dropped).
bool ReplaceKeyword(const std::string& keyword, const std::string& replacement, std::string& path,
                    bool& isKeywordFolder);

// The keyword (a TFolderKeyword) that path begins with as the expansion
// matches it, or -1.
int LeadingKeyword(const std::string& path, bool& isKeywordFolder);

// The folder that a keyword stands for on this machine, asked afresh; ""
// when it is unknown. "[Install Folder]" is what installFolder answers.
std::string KeywordFolder(int keyword, const std::function<std::string()>& installFolder,
                          TSystemPath& systemPath);

// Replaces the leading keyword of path, trying the keywords in their fixed
// order; each replacement is asked for just before its keyword is tested, and
// nothing after the first match. A path without a keyword comes back unchanged.
// Raises ESetupError naming the keyword when the matching keyword's folder is
// unknown (empty), so that the path never falls back to the drive root.
std::string ExpandFolderKeywords(const std::string& path, bool& isKeywordFolder,
                                 const std::function<std::string()>& installFolder,
                                 TSystemPath& systemPath);
