#include "tools/setupproj/Keywords.h"

#include "platform/AnsiText.h"
#include "tools/setupproj/ProjectText.h"

namespace setupproj {

namespace {

// A Windows user name has at most 20 characters: shell folders are measured
// with the longest.
#define ORVANE_TYPICAL_PROFILE "C:\\Users\\UserNameMax20Letters"
#define ORVANE_TYPICAL_SHELL ORVANE_TYPICAL_PROFILE "\\AppData\\Roaming\\Microsoft\\Windows"

// Words that only ever stand in brackets as keywords, never as folder names.
const char* const kBracketWords[] = {"[Install Folder]", "[System]", "[Drivers]"};

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool EqualIgnoringAsciiCase(const std::string& a, const std::string& b) { return AsciiLower(a) == AsciiLower(b); }

// Byte offset of the first occurrence of word that begins at a character
// (letter case ignored when asked), from byte from on; npos when none.
size_t FindAtCharacter(const std::string& text, const std::string& word, size_t from, bool ignoreCase) {
    for (size_t i = 0; i < text.size(); i += plat::ansi::CharLength(text, i)) {
        if (i < from || i + word.size() > text.size()) continue;
        std::string candidate = text.substr(i, word.size());
        if (ignoreCase ? EqualIgnoringAsciiCase(candidate, word) : candidate == word) return i;
    }
    return std::string::npos;
}

// The folder of each keyword on a typical machine; the installation folder
// is given.
const char* const kTypicalFolders[fkCount] = {
    nullptr,
    "C:\\Windows\\system32\\Drivers",
    "C:\\Windows\\system32",
    ORVANE_TYPICAL_SHELL "\\Start Menu\\Programs\\Startup",
    ORVANE_TYPICAL_SHELL "\\Start Menu\\Programs",
    ORVANE_TYPICAL_SHELL "\\Start Menu",
    ORVANE_TYPICAL_PROFILE "\\Desktop",
    ORVANE_TYPICAL_SHELL "\\SendTo",
};

}  // namespace

const char kTypicalProgramFiles[] = "C:\\Program Files (x86)";

std::string KeywordMistake(const std::string& path) {
    bool keywordFolder = false;
    int front = LeadingKeyword(path, keywordFolder);
    if (front >= 0) {
        const size_t after = std::string(kFolderKeywords[front]).size();
        for (const char* word : kBracketWords) {
            if (FindAtCharacter(path, word, after, true) != std::string::npos) {
                return Quoted(word) + " stays as it is written: only a keyword at the front of a path is replaced";
            }
        }
        return std::string();
    }
    for (const char* keyword : kFolderKeywords) {
        const std::string text = keyword;
        if (path.size() >= text.size() && EqualIgnoringAsciiCase(path.substr(0, text.size()), text) &&
            !StartsWith(path, text)) {
            return Quoted(path.substr(0, text.size())) + " is not a keyword: keywords are matched in their exact letter case (" +
                   Quoted(text) + ")";
        }
    }
    for (const char* keyword : kFolderKeywords) {
        const std::string text = keyword;
        if (StartsWith(path, text)) {
            return Quoted(text) + " is followed by " + Quoted(path.substr(text.size(), plat::ansi::CharLength(path, text.size()))) +
                   " instead of '\\', so it is not replaced";
        }
    }
    if (!path.empty() && path[0] == '[') {
        size_t close = path.find(']');
        if (close != std::string::npos) {
            const std::string word = path.substr(0, close + 1);
            std::string message = Quoted(word) + " is not a folder keyword";
            std::string nearest = NearestName(word, {"[Install Folder]", "[System]"});
            if (!nearest.empty()) message += " (did you mean " + Quoted(nearest) + "?)";
            return message;
        }
    }
    size_t first = 0;
    while (first < path.size() && static_cast<unsigned char>(path[first]) <= 0x20) ++first;
    if (first > 0) {
        int keyword = LeadingKeyword(path.substr(first), keywordFolder);
        if (keyword >= 0) {
            return "the path begins with a blank, so " + Quoted(kFolderKeywords[keyword]) +
                   " is not at its front and is not replaced";
        }
    }
    for (const char* word : kBracketWords) {
        if (FindAtCharacter(path, word, 1, true) != std::string::npos) {
            return Quoted(word) + " is not at the front of the path, so it is not replaced";
        }
    }
    return std::string();
}

std::vector<std::string> TypicalKeywordFolders(const std::string& installFolder) {
    std::vector<std::string> folders;
    for (const char* folder : kTypicalFolders) folders.push_back(folder ? folder : installFolder);
    return folders;
}

std::vector<std::string> KeywordFolders(const std::string& installFolder, TSystemPath& systemPath) {
    std::vector<std::string> folders;
    for (int k = 0; k < fkCount; ++k) folders.push_back(KeywordFolder(k, [&installFolder] { return installFolder; }, systemPath));
    return folders;
}

ExpandedPath ExpandKeyword(const std::string& path, const std::vector<std::string>& folders) {
    ExpandedPath result;
    result.keyword = LeadingKeyword(path, result.keywordFolder);
    result.text = path;
    // The engine's own step, so that the keyword folder is told as the run tells it.
    if (result.keyword >= 0) {
        ReplaceKeyword(kFolderKeywords[result.keyword], folders[static_cast<size_t>(result.keyword)], result.text,
                       result.keywordFolder);
    }
    result.full = ParseFullPath(result.text);
    return result;
}

std::string ProjectForm(const WinPath& path, const std::vector<std::string>& folders) {
    int best = -1;
    size_t bestDepth = 0;
    for (int k = 0; k < fkCount && k < static_cast<int>(folders.size()); ++k) {
        WinPath folder = ParseFullPath(folders[static_cast<size_t>(k)]);
        if (!folder.Contains(path)) continue;
        if (best < 0 || folder.parts.size() > bestDepth) {
            best = k;
            bestDepth = folder.parts.size();
        }
    }
    if (best < 0) return path.Text();
    std::string text = kFolderKeywords[best];
    for (size_t i = bestDepth; i < path.parts.size(); ++i) text += "\\" + path.parts[i];
    return text;
}

}  // namespace setupproj
