#include "engine/FolderKeyword_unit.h"

#include <vector>

#include "engine/SystemPath_unit.h"
#include "platform/Error.h"
#include "platform/PathRules.h"
#include "engine/SetupEngine_unit.h"

const char* const kFolderKeywords[fkCount] = {
    "[Install Folder]",
    "[System]\\[Drivers]",
    "[System]",
    "スタート\\プログラム\\スタートアップ",
    "スタート\\プログラム",
    "スタート",
    "デスクトップ",
    "送る",
};

namespace {

// Whether the keyword's folder followed by rest is that folder itself as the
// file system takes it: "デスクトップ\.", "デスクトップ\ " and "デスクトップ\\" are
// the desktop to RemoveDirectoryA, and "[Install Folder]\..\App" is the
// installation folder C:\Program Files\App again.
bool NamesKeywordFolder(const std::string& folder, const std::string& rest, const std::string& expanded) {
    std::vector<std::string> names;
    if (plat::path::AppendNames(names, rest) == 0 && names.empty()) return true;
    const plat::path::ResolvedPath whole = plat::path::Resolve(expanded);
    const plat::path::ResolvedPath itself = plat::path::Resolve(folder);
    return whole.valid && itself.valid && whole.Key() == itself.Key();
}

}  // namespace

bool ReplaceKeyword(const std::string& keyword, const std::string& replacement, std::string& path,
                    bool& isKeywordFolder) {
    isKeywordFolder = false;
    // Only a match at the very front counts, and the front is always the start
    // of a character, so testing the prefix is the same as taking the first
    // character-wise occurrence and requiring it to be at position 1.
    if (keyword.empty() || path.compare(0, keyword.size(), keyword) != 0) return false;
    std::string rest = path.substr(keyword.size());
    // The keyword is only the front of a longer name ("スタート" before "スタートアップ").
    if (!rest.empty() && rest[0] != '\\') return false;
    // A folder that ends in a lone lead byte would take the "\" of rest as its
    // second byte; one more keeps the separator standing.
    const bool lone = plat::path::EndsInLoneLeadByte(replacement) && !rest.empty();
    const std::string expanded = replacement + (lone ? "\\" : "") + rest;
    isKeywordFolder = NamesKeywordFolder(replacement, rest, expanded);
    path = expanded;
    return true;
}

int LeadingKeyword(const std::string& path, bool& isKeywordFolder) {
    for (int keyword = 0; keyword < fkCount; ++keyword) {
        std::string expanded = path;
        if (ReplaceKeyword(kFolderKeywords[keyword], std::string(), expanded, isKeywordFolder)) return keyword;
    }
    return -1;
}

std::string KeywordFolder(int keyword, const std::function<std::string()>& installFolder,
                          TSystemPath& systemPath) {
    switch (keyword) {
    case fkInstallFolder:
        return installFolder ? installFolder() : std::string();
    case fkDrivers: {
        // The drivers folder is "\Drivers" when the system folder is unknown:
        // that is no folder at all.
        std::string drivers = systemPath.GetSystemPath(spDrivers);
        return drivers == "\\Drivers" ? std::string() : drivers;
    }
    case fkSystem: return systemPath.GetSystemPath(spSystem);
    case fkStartup: return systemPath.GetShellFolder(false, sfStartup);
    case fkPrograms: return systemPath.GetShellFolder(false, sfPrograms);
    case fkStartMenu: return systemPath.GetShellFolder(false, sfStartMenu);
    case fkDesktop: return systemPath.GetShellFolder(false, sfDesktop);
    case fkSendTo: return systemPath.GetShellFolder(false, sfSendTo);
    default: return std::string();
    }
}

std::string ExpandFolderKeywords(const std::string& path, bool& isKeywordFolder,
                                 const std::function<std::string()>& installFolder,
                                 TSystemPath& systemPath) {
    isKeywordFolder = false;
    for (int keyword = 0; keyword < fkCount; ++keyword) {
        // Asked afresh for every path: the folders are never cached.
        const std::string replacement = KeywordFolder(keyword, installFolder, systemPath);
        std::string expanded = path;
        bool flag = false;
        if (!ReplaceKeyword(kFolderKeywords[keyword], replacement, expanded, flag)) continue;
        // An unknown folder would leave the rest alone ("送る\App" -> "\App"), a
        // path at the root of the current drive where files could be written or
        // deleted by mistake. Refuse it instead; the step using the path fails.
        if (replacement.empty()) {
            throw ESetupError(FormatMessage1("フォルダ '%s' が見つかりません", kFolderKeywords[keyword]));
        }
        isKeywordFolder = flag;
        return expanded;
    }
    return path;
}

std::string TSetupEngine::ExpandFolderKeywords(const std::string& path, bool& isKeywordFolder) {
    return ::ExpandFolderKeywords(
        path, isKeywordFolder, [this] { return host_.InstallFolder(); }, SystemPath());
}

std::string TSetupEngine::ExpandPath(const std::string& path) {
    bool isKeywordFolder = false;
    return ExpandFolderKeywords(path, isKeywordFolder);
}
