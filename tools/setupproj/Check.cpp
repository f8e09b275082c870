#include "tools/setupproj/Check.h"

#include <algorithm>
#include <set>

#include "engine/RunPath_unit.h"
#include "platform/AnsiText.h"
#include "platform/Locale.h"
#include "platform/PathRules.h"
#include "tools/setupproj/Keywords.h"
#include "tools/setupproj/ProjectSource.h"
#include "tools/setupproj/ProjectText.h"

namespace setupproj {

namespace {

// The A functions of Windows take paths of at most 259 characters; folders
// at most 247, to leave room for a file name.
constexpr size_t kMaxFilePath = 259;
constexpr size_t kMaxFolderPath = 247;

enum class PathRole { kFolder, kDestination, kLink, kWorkFolder };

class Checker {
public:
    Checker(const CheckOptions& options, SourceFiles* sources, Findings& findings)
        : options_(options), sources_(sources), f_(findings) {}
    void Run(const std::string& bytes);

private:
    void CheckEncoding(const TIniTextLines& text, const std::string& bytes);
    void CheckInstallFolder();
    void CheckPath(int line, PathRole role, const std::string& path);
    void CheckPlace(int line, const char* what, const std::string& path, const ExpandedPath& expanded);
    void CheckSources();
    void CheckUninstallEntry();

    const CheckOptions& options_;
    SourceFiles* sources_;
    Findings& f_;
    ProjectSource source_;
    std::string installFolder_;
    WinPath install_;
    std::vector<std::string> folders_;
};

void Checker::Run(const std::string& bytes) {
    const bool utf8 = options_.fromUtf8 || HasUtf8Bom(bytes);
    const std::string text = utf8 ? Utf8ProjectToCp932(bytes, f_) : bytes;
    ReadProjectSource(text, source_, f_, [&](const TIniTextLines& lines) {
        if (!utf8) CheckEncoding(lines, bytes);
    });
    CheckInstallFolder();
    const TProjectProperty& p = source_.project;
    for (int i = 0; i < p.Folders.Count(); ++i) {
        CheckPath(source_.folderLines[i], PathRole::kFolder, p.Folders.Items(i).FolderPath);
    }
    for (int i = 0; i < p.Files.Count(); ++i) {
        CheckPath(source_.fileLines[i], PathRole::kDestination, p.Files.Items(i).DestFile);
    }
    for (int i = 0; i < p.Shortcuts.Count(); ++i) {
        CheckPath(source_.shortcutLines[i], PathRole::kLink, p.Shortcuts.Items(i).LinkFile);
        CheckPath(source_.shortcutLines[i], PathRole::kWorkFolder, p.Shortcuts.Items(i).WorkDirectory);
    }
    CheckSources();
    CheckUninstallEntry();
    if (options_.structure) options_.structure(source_, options_, f_);
}

void Checker::CheckEncoding(const TIniTextLines& text, const std::string& bytes) {
    bool hinted = false;
    for (size_t number = 0; number < text.Lines.size(); ++number) {
        const std::string& line = text.Lines[number];
        size_t bad = FirstNonCp932(line);
        if (bad == std::string::npos) continue;
        std::string shown = "0x" + Hex(static_cast<unsigned char>(line[bad]), 2);
        if (bad + 1 < line.size() && plat::ansi::CharLength(line, bad) == 2) {
            shown += " 0x" + Hex(static_cast<unsigned char>(line[bad + 1]), 2);
        }
        std::string message = "bytes that are not CP932 text at column " + std::to_string(bad + 1) + " (" + shown + ")";
        if (!hinted && LooksLikeUtf8(bytes)) {
            message += "; the file looks like UTF-8: save it with a BOM, or convert it with 'setupproj normalize --from-utf8'";
            hinted = true;
        }
        f_.Error(static_cast<int>(number) + 1, message);
    }
}

void Checker::CheckInstallFolder() {
    const TProjectProperty& p = source_.project;
    const int line = source_.LineOf("Copy File", "SubDirectory");
    installFolder_ = RunPath::ProposedInstallFolder(kTypicalProgramFiles, p.InitDirectory, p.SubDirectory);
    if (p.InitDirectory == 0) {
        if (p.SubDirectory.empty()) {
            f_.Warn(line, "SubDirectory is empty: the proposed installation folder is the Program Files folder itself");
        } else if (p.SubDirectory.find(':') != std::string::npos) {
            f_.Error(line, "SubDirectory " + Quoted(p.SubDirectory) +
                               " is joined to the Program Files folder (InitDirectory 0), which gives no valid "
                               "folder; write InitDirectory=1 to propose it as it is");
        }
    } else if (p.SubDirectory.empty()) {
        const std::string text = "InitDirectory is not 0 and SubDirectory is empty: the proposed installation folder is empty";
        if (p.DirectorySwitch != 0) {
            f_.Error(line, text + ", and without the location page the installation fails");
        } else {
            f_.Warn(line, text + " until the user chooses one");
        }
    } else if (!RunPath::IsAbsolutePath(p.SubDirectory)) {
        f_.Error(line, "InitDirectory is not 0, so SubDirectory " + Quoted(p.SubDirectory) +
                           " is the installation folder itself, and it is relative; write a full path, or "
                           "InitDirectory=0 to put it below the Program Files folder");
    }
    install_ = ParseFullPath(installFolder_);
    folders_ = TypicalKeywordFolders(installFolder_);
    // Outside Program Files the installer makes the folders it lacks so that
    // only administrators can change them, and refuses the location where
    // others may change a folder that is there already.
    if (p.InitDirectory != 0 && install_.valid &&
        !ParseFullPath("C:\\Program Files").Contains(install_) &&
        !ParseFullPath("C:\\Program Files (x86)").Contains(install_)) {
        f_.Warn(line, "the proposed installation folder " + Quoted(installFolder_) +
                          " lies outside the Program Files folder: the installer makes it so that only administrators "
                          "can change it, and refuses it where others may change a folder that is there already");
    }
    if (install_.valid && CharCount(installFolder_) > kMaxFolderPath) {
        f_.Warn(line, "the proposed installation folder is " + std::to_string(CharCount(installFolder_)) +
                          " characters long; Windows makes folders of at most " + std::to_string(kMaxFolderPath));
    }
}

void Checker::CheckPath(int line, PathRole role, const std::string& path) {
    // What the path is called, and why an empty one stops the installation.
    static const char* const kTexts[][2] = {
        {"the folder", "the folder path is empty: making it fails"},
        {"the destination", "the destination is empty: the copy fails"},
        {"the link", "the link path is empty: the shortcut cannot be saved"},
        {"the working folder", nullptr}};
    const char* what = kTexts[static_cast<int>(role)][0];
    if (path.empty()) {
        if (const char* empty = kTexts[static_cast<int>(role)][1]) f_.Error(line, std::string(empty) + " and the installation stops");
        return;
    }
    // A link is made at its path with ".lnk" appended before the expansion.
    const std::string used = role == PathRole::kLink ? path + ".lnk" : path;
    const std::string mistake = KeywordMistake(used);
    const ExpandedPath expanded = ExpandKeyword(used, folders_);
    if (expanded.keyword < 0 && !RunPath::IsAbsolutePath(used)) {
        std::string message = std::string(what) + " " + Quoted(path) + " is relative";
        message += mistake.empty() ? ": it would lie below whatever folder is current when the installer runs"
                                   : ": " + mistake;
        if (role == PathRole::kWorkFolder) {
            f_.Warn(line, message);
        } else {
            f_.Error(line, message);
        }
        return;
    }
    if (!mistake.empty()) f_.Warn(line, std::string(what) + " " + Quoted(path) + ": " + mistake);
    if (role != PathRole::kWorkFolder) CheckPlace(line, what, path, expanded);
    if (expanded.keyword == fkInstallFolder && !install_.valid) return;
    const size_t length = CharCount(expanded.text);
    const size_t limit = role == PathRole::kFolder ? kMaxFolderPath : kMaxFilePath;
    if (length > limit) {
        f_.Warn(line, std::string(what) + " is " + std::to_string(length) +
                          " characters long on a typical machine; Windows takes at most " + std::to_string(limit));
    }
}

// Where a folder, copy or link lands: "..", which Windows resolves, and a
// place outside every folder the project owns or names by keyword.
void Checker::CheckPlace(int line, const char* what, const std::string& path, const ExpandedPath& expanded) {
    const std::vector<std::string> names = plat::path::SplitNames(path);
    if (std::find(names.begin(), names.end(), "..") != names.end()) {
        f_.Warn(line, std::string(what) + " " + Quoted(path) + " holds a '..' component, which leads out of the folder before it");
    }
    if (!expanded.full.valid) return;
    for (const std::string& folder : folders_) {
        if (ParseFullPath(folder).Contains(expanded.full)) return;
    }
    const std::string full = expanded.full.Text();
    f_.Warn(line, std::string(what) + " " + Quoted(path) + " lies outside the installation folder and the keyword folders" +
                      (full == path ? std::string() : " (it resolves to " + Quoted(full) + ")"));
}

void Checker::CheckSources() {
    const TProjectProperty& p = source_.project;
    std::set<std::string> installed;
    for (int i = 0; i < p.Files.Count(); ++i) {
        const std::string& source = p.Files.Items(i).SourceFile;
        const int line = source_.fileLines[i];
        if (source.empty()) {
            f_.Error(line, "the source is empty: the copy fails and the installation stops");
            continue;
        }
        bool keywordFolder = false;
        int keyword = LeadingKeyword(source, keywordFolder);
        if (keyword >= 0) {
            f_.Warn(line, "the source begins with " + Quoted(kFolderKeywords[keyword]) +
                              ", but keywords are not replaced in sources");
        }
        if (RunPath::IsAbsolutePath(source)) {
            f_.Warn(line, "the source " + Quoted(source) +
                              " is a full path: it names a file of this machine, not one that travels with the project");
            continue;
        }
        if (plat::path::RootOf(source).form != plat::path::RootForm::kRelative) {
            f_.Warn(line, "the source " + Quoted(source) +
                              " depends on the current drive: write it relative to the project's folder");
            continue;
        }
        if (!sources_) continue;
        std::string payloadName;
        if (!sources_->Find(source, payloadName)) {
            f_.Error(line, "the source " + Quoted(source) +
                               " is not found beside the project (nor in the payload folder): the copy fails and "
                               "the installation stops");
        } else if (!payloadName.empty()) {
            installed.insert(plat::LocaleUpperCase(payloadName));
        }
    }
    if (!sources_) return;
    for (const std::string& file : sources_->PayloadFiles()) {
        if (!installed.count(plat::LocaleUpperCase(file))) {
            f_.Warn(source_.SectionLine("Copy File"), "the payload file " + Quoted(file) + " is installed by no record");
        }
    }
}

// What the list of installed programs shows: a product without a version or
// publisher looks unknown there (and to package managers), and an icon
// that names no installed file shows the blank one.
void Checker::CheckUninstallEntry() {
    const TProjectProperty& p = source_.project;
    if (RunPath::UninstallKeyPath(p.UnInstallKey).empty()) return;  // no entry is written
    const char* section = "UnInstall Property";
    for (const auto& [key, value] : {std::pair<const char*, const std::string&>{"DisplayVersion", p.DisplayVersion},
                                     {"Publisher", p.Publisher}}) {
        if (value.empty()) {
            f_.Warn(source_.SectionLine(section), std::string(key) +
                                                      " is not given: the list of installed programs shows the "
                                                      "product without it");
        }
    }
    if (p.DisplayIcon.empty()) return;  // the uninstaller's own icon
    const WinPath icon = ExpandKeyword(RunPath::IconFilePart(p.DisplayIcon), folders_).full;
    if (icon.valid) {
        // The program copy is installed as well as every copy record.
        if (install_.valid && icon.Key() == install_.Child(options_.programFileName).Key()) return;
        for (int i = 0; i < p.Files.Count(); ++i) {
            const WinPath dest = ExpandKeyword(p.Files.Items(i).DestFile, folders_).full;
            if (dest.valid && dest.Key() == icon.Key()) return;
        }
    }
    f_.Warn(source_.LineOf(section, "DisplayIcon"),
            "DisplayIcon " + Quoted(p.DisplayIcon) +
                " names a file that no copy record installs: the list of installed programs shows a blank icon");
}

}  // namespace

Findings CheckProject(const std::string& bytes, const CheckOptions& options, SourceFiles* sources) {
    Findings findings;
    Checker(options, sources, findings).Run(bytes);
    return findings;
}

}  // namespace setupproj
