#include "tools/setupproj/HostFiles.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "platform/AnsiText.h"
#include "platform/CodePage932.h"
#include "tools/setupproj/ProjectText.h"
#include "tools/setupproj/WinPath.h"

#ifdef _WIN32
#include <direct.h>
#include <errno.h>
#include <io.h>
#include <sys/stat.h>

#include "engine/RunPath_unit.h"
#include "platform/Locale.h"
#else
#include <filesystem>
#endif

namespace setupproj {
namespace host {

namespace {

// A name that a record can hold: no "*" (it separates fields) and nothing
// that a Windows file name cannot hold.
bool FitsRecord(const std::string& cp932) {
    for (size_t i = 0; i < cp932.size(); i = plat::ansi::NextChar(cp932, i)) {
        const unsigned char c = static_cast<unsigned char>(cp932[i]);
        if (plat::ansi::CharLength(cp932, i) == 1 &&
            (c < 0x20 || std::string("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string::npos)) {
            return false;
        }
    }
    return !cp932.empty();
}

struct Listed {
    std::string name;     // host name
    std::string project;  // CP932
    bool fits;
    bool folder;
};

void SortByName(std::vector<Listed>& entries) {
    std::sort(entries.begin(), entries.end(), [](const Listed& a, const Listed& b) {
        const std::string fa = AsciiLower(a.project), fb = AsciiLower(b.project);
        return fa != fb ? fa < fb : a.project < b.project;
    });
}

bool ListFolder(const std::string& folder, std::vector<Listed>& entries);

bool Walk(const std::string& hostFolder, const std::string& projectFolder, bool fits, std::vector<TreeEntry>& out,
          int depth) {
    std::vector<Listed> entries;
    if (!ListFolder(hostFolder, entries)) return false;
    SortByName(entries);
    for (const Listed& entry : entries) {
        TreeEntry item;
        item.path = projectFolder.empty() ? entry.project : projectFolder + "\\" + entry.project;
        item.hostPath = Join(hostFolder, entry.name);
        item.folder = entry.folder;
        item.nameFits = fits && entry.fits;
        out.push_back(item);
        // Deep enough for any real payload; a folder that holds itself through
        // a junction stops here.
        if (entry.folder && depth < 64 && !Walk(item.hostPath, item.path, item.nameFits, out, depth + 1)) return false;
    }
    return true;
}

}  // namespace

std::string InstallerNameOf(const std::string& project) {
    const std::string name = NameOf(project);
    const size_t dot = name.rfind('.');
    std::string installer;
    if (!NameToProject((dot == std::string::npos ? name : name.substr(0, dot)) + ".exe", installer)) {
        installer = "Setup.exe";
    }
    return installer;
}

bool IsProjectOrInstaller(const std::string& project, const std::string& file) {
    std::string relative, projectName;
    if (!RelativeTo(FolderOf(project), file, relative) || !NameToProject(NameOf(project), projectName)) return false;
    relative = AsciiLower(relative);
    return relative == AsciiLower(projectName) || relative == AsciiLower(InstallerNameOf(project));
}

bool WalkTree(const std::string& root, std::vector<TreeEntry>& entries) {
    entries.clear();
    return IsFolder(root) && Walk(root, "", true, entries, 0);
}

// Both hosts read and write through the C++ library: the sim backend that
// the tool runs on has no files of the host.
bool ReadFile(const std::string& path, std::string& bytes) {
    if (!IsFile(path)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) return false;
    bytes = content.str();
    return true;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    return out && out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) && out.flush();
}

#ifndef _WIN32

namespace fs = std::filesystem;

namespace {

bool ListFolder(const std::string& folder, std::vector<Listed>& entries) {
    std::error_code error;
    fs::directory_iterator it(folder, error), end;
    if (error) return false;
    for (; it != end; it.increment(error)) {
        if (error) return false;
        const std::string name = it->path().filename().string();
        std::error_code ignored;
        // A link to a folder is not followed: a loop would never end.
        const bool folderEntry = it->is_directory(ignored) && !it->is_symlink(ignored);
        if (!folderEntry && !it->is_regular_file(ignored)) continue;
        Listed listed{name, "", true, folderEntry};
        if (!NameToProject(name, listed.project)) {
            listed.project = Utf8ToCp932Lossy(name);
            listed.fits = false;
        }
        listed.fits = listed.fits && FitsRecord(listed.project);
        entries.push_back(listed);
    }
    return true;
}

}  // namespace

bool IsFile(const std::string& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

bool IsFolder(const std::string& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string FolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool NameToProject(const std::string& name, std::string& cp932) { return plat::Utf8ToCp932(name, cp932); }
bool NameFromProject(const std::string& cp932, std::string& name) { return plat::Cp932ToUtf8(cp932, name); }
std::string Shown(const std::string& path) { return path; }

std::string FindFile(const std::string& folder, const std::string& relative) {
    std::string current = folder;
    for (const std::string& part : SplitRelative(relative)) {
        if (part == "." || part == "..") {
            current = Join(current, part);
            continue;
        }
        std::string name;
        if (!NameFromProject(part, name)) return std::string();
        std::error_code error;
        if (fs::exists(Join(current, name), error)) {
            current = Join(current, name);
            continue;
        }
        // Windows finds the name in any letter case.
        bool found = false;
        const std::string wanted = AsciiLower(part);
        for (fs::directory_iterator it(current, error), end; !error && it != end; it.increment(error)) {
            const std::string entry = it->path().filename().string();
            std::string entryText;
            if (NameToProject(entry, entryText) && AsciiLower(entryText) == wanted) {
                current = Join(current, entry);
                found = true;
                break;
            }
        }
        if (!found) return std::string();
    }
    return IsFile(current) ? current : std::string();
}

bool RelativeTo(const std::string& base, const std::string& target, std::string& relative) {
    std::error_code error;
    fs::path from = fs::weakly_canonical(fs::absolute(base, error), error);
    fs::path to = fs::weakly_canonical(fs::absolute(target, error), error);
    if (error) return false;
    fs::path rel = to.lexically_relative(from);
    if (rel.empty()) return false;
    relative.clear();
    for (const fs::path& part : rel) {
        if (part == ".") continue;
        std::string name;
        if (!NameToProject(part.string(), name)) return false;
        relative += (relative.empty() ? "" : "\\") + name;
    }
    return true;
}

#else

namespace {

// A junction or link (FILE_ATTRIBUTE_REPARSE_POINT): not followed.
constexpr unsigned kAttrReparsePoint = 0x400;

size_t LastSeparator(const std::string& path) { return plat::ansi::LastOf(path, "\\/"); }

bool ListFolder(const std::string& folder, std::vector<Listed>& entries) {
    const std::string pattern = Join(folder, "*");
    _finddata_t found;
    const intptr_t search = _findfirst(pattern.c_str(), &found);
    // An empty drive root has no entries at all.
    if (search == -1) return errno == ENOENT && IsFolder(folder);
    do {
        const std::string name = found.name;
        if (name == "." || name == "..") continue;
        const bool folderEntry = (found.attrib & _A_SUBDIR) != 0;
        if (folderEntry && (found.attrib & kAttrReparsePoint)) continue;
        entries.push_back(Listed{name, name, FitsRecord(name), folderEntry});
    } while (_findnext(search, &found) == 0);
    _findclose(search);
    return true;
}

WinPath FullHostPath(const std::string& path) {
    if (RunPath::IsAbsolutePath(path)) return ParseFullPath(path);
    char buffer[1024];
    const std::string current = _getcwd(buffer, sizeof buffer) ? buffer : "";
    if (!path.empty() && (path[0] == '\\' || path[0] == '/')) return ParseFullPath(current.substr(0, 2) + path);
    return ParseFullPath(Join(current, path));
}

bool HasMode(const std::string& path, unsigned mode) {
    struct _stat status;
    return _stat(path.c_str(), &status) == 0 && (status.st_mode & _S_IFMT) == mode;
}

}  // namespace

bool IsFile(const std::string& path) { return HasMode(path, _S_IFREG); }
bool IsFolder(const std::string& path) { return HasMode(path, _S_IFDIR); }

std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    const bool separated = plat::ansi::EndsWith(folder, '\\') || plat::ansi::EndsWith(folder, '/') ||
                           plat::ansi::EndsWith(folder, ':');
    return separated ? folder + name : folder + "\\" + name;
}

std::string FolderOf(const std::string& path) {
    size_t separator = LastSeparator(path);
    if (separator == std::string::npos) {
        return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : std::string(".");
    }
    // "C:\name" and "\name": the root keeps its separator.
    if (separator == 0 || (separator == 2 && path[1] == ':')) return path.substr(0, separator + 1);
    return path.substr(0, separator);
}

std::string NameOf(const std::string& path) {
    size_t separator = LastSeparator(path);
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

bool NameToProject(const std::string& name, std::string& cp932) {
    cp932 = name;
    return true;
}

bool NameFromProject(const std::string& cp932, std::string& name) {
    name = cp932;
    return true;
}

std::string Shown(const std::string& path) { return setupproj::Shown(path); }

std::string FindFile(const std::string& folder, const std::string& relative) {
    const std::string path = Join(folder, relative);
    return IsFile(path) ? path : std::string();
}

bool RelativeTo(const std::string& base, const std::string& target, std::string& relative) {
    const WinPath from = FullHostPath(base), to = FullHostPath(target);
    if (!from.valid || !to.valid || plat::LocaleUpperCase(from.root) != plat::LocaleUpperCase(to.root)) return false;
    size_t common = 0;
    while (common < from.parts.size() && common < to.parts.size() &&
           plat::LocaleUpperCase(from.parts[common]) == plat::LocaleUpperCase(to.parts[common])) {
        ++common;
    }
    relative.clear();
    for (size_t i = common; i < from.parts.size(); ++i) relative += relative.empty() ? ".." : "\\..";
    for (size_t i = common; i < to.parts.size(); ++i) relative += (relative.empty() ? "" : "\\") + to.parts[i];
    return true;
}

#endif

}  // namespace host
}  // namespace setupproj
