#include "engine/FolderKeyword_unit.h"

#include "engine/SystemPath_unit.h"
#include "platform/Error.h"
#include "engine/SetupEngine_unit.h"

namespace {

const char* const kInstallFolderKeyword = "[Install Folder]";
const char* const kDriversKeyword = "[System]\\[Drivers]";
const char* const kSystemKeyword = "[System]";
const char* const kStartupKeyword = "スタート\\プログラム\\スタートアップ";
const char* const kProgramsKeyword = "スタート\\プログラム";
const char* const kStartMenuKeyword = "スタート";
const char* const kDesktopKeyword = "デスクトップ";
const char* const kSendToKeyword = "送る";

struct TKeywordEntry {
    const char* keyword;
    std::function<std::string()> replacement;
};

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
    isKeywordFolder = rest.empty() || rest == "\\";
    path = replacement + rest;
    return true;
}

std::string ExpandFolderKeywords(const std::string& path, bool& isKeywordFolder,
                                 const std::function<std::string()>& installFolder,
                                 TSystemPath& systemPath) {
    // The longer keywords come before the shorter ones they begin with.
    const TKeywordEntry entries[] = {
        {kInstallFolderKeyword, installFolder},
        {kDriversKeyword,
         [&systemPath] {
             // The drivers folder is "\Drivers" when the system folder is unknown:
             // that is no folder at all.
             std::string drivers = systemPath.GetSystemPath(spDrivers);
             return drivers == "\\Drivers" ? std::string() : drivers;
         }},
        {kSystemKeyword, [&systemPath] { return systemPath.GetSystemPath(spSystem); }},
        {kStartupKeyword, [&systemPath] { return systemPath.GetShellFolder(false, sfStartup); }},
        {kProgramsKeyword, [&systemPath] { return systemPath.GetShellFolder(false, sfPrograms); }},
        {kStartMenuKeyword, [&systemPath] { return systemPath.GetShellFolder(false, sfStartMenu); }},
        {kDesktopKeyword, [&systemPath] { return systemPath.GetShellFolder(false, sfDesktop); }},
        {kSendToKeyword, [&systemPath] { return systemPath.GetShellFolder(false, sfSendTo); }},
    };

    isKeywordFolder = false;
    for (const TKeywordEntry& entry : entries) {
        // Asked afresh for every path: the folders are never cached.
        const std::string replacement = entry.replacement ? entry.replacement() : std::string();
        std::string expanded = path;
        bool flag = false;
        if (!ReplaceKeyword(entry.keyword, replacement, expanded, flag)) continue;
        // An unknown folder would leave the rest alone ("送る\App" -> "\App"), a
        // path at the root of the current drive where files could be written or
        // deleted by mistake. Refuse it instead; the step using the path fails.
        if (replacement.empty()) {
            throw ESetupError(FormatMessage1("フォルダ '%s' が見つかりません", entry.keyword));
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
