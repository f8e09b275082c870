#include "tools/setupproj/HostFiles.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/AnsiText.h"
#include "platform/CodePage932.h"
#include "platform/PathRules.h"
#include "tools/setupproj/ProjectText.h"

namespace setupproj {
namespace host {

namespace fs = std::filesystem;

namespace {

// The host's path text is UTF-8 on Linux and the ANSI code page (932, the
// Japanese systems the tool is made for) on Windows, whose names also compare
// without letter case. The library's paths are built from UTF-8 on both:
// from narrow text it would take the C library's locale, not the code page.
#ifdef _WIN32
constexpr bool kWindowsHost = true;
#else
constexpr bool kWindowsHost = false;
#endif

fs::path ToFs(const std::string& host) {
    std::string utf8;
    if (kWindowsHost && plat::Cp932ToUtf8(host, utf8)) return fs::u8path(utf8);
    return fs::u8path(host);
}

// The host's text of a library path ("?" for a character that the ANSI code
// page lacks).
std::string HostText(const fs::path& path) {
    return kWindowsHost ? Utf8ToCp932Lossy(path.u8string()) : path.u8string();
}

// A name as the installer's file system compares it.
std::string NameKey(const std::string& cp932) { return plat::path::FoldCase(cp932); }

bool SameHostName(const fs::path& a, const fs::path& b) {
    if (!kWindowsHost) return a == b;
    std::string ta, tb;
    return plat::Utf8ToCp932(a.u8string(), ta) && plat::Utf8ToCp932(b.u8string(), tb) && NameKey(ta) == NameKey(tb);
}

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

}  // namespace

// Both hosts read and write through the C++ library: the sim backend that
// the tool runs on has no files of the host.
bool ReadFile(const std::string& path, std::string& bytes) {
    if (!IsFile(path)) return false;
    std::ifstream in(ToFs(path), std::ios::binary);
    if (!in) return false;
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) return false;
    bytes = content.str();
    return true;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(ToFs(path), std::ios::binary | std::ios::trunc);
    return out && out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) && out.flush();
}

bool IsFile(const std::string& path) {
    std::error_code error;
    return fs::is_regular_file(ToFs(path), error);
}

bool IsFolder(const std::string& path) {
    std::error_code error;
    return fs::is_directory(ToFs(path), error);
}

uint64_t FileSize(const std::string& path) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(ToFs(path), error);
    return error ? 0 : static_cast<uint64_t>(size);
}

std::string FolderOf(const std::string& path) {
    const fs::path folder = ToFs(path).parent_path();
    return folder.empty() ? std::string(".") : HostText(folder);
}

std::string NameOf(const std::string& path) { return HostText(ToFs(path).filename()); }

bool NameToProject(const std::string& name, std::string& cp932) {
    if (!kWindowsHost) return plat::Utf8ToCp932(name, cp932);
    cp932 = name;
    return true;
}

bool NameFromProject(const std::string& cp932, std::string& name) {
    if (!kWindowsHost) return plat::Cp932ToUtf8(cp932, name);
    name = cp932;
    return true;
}

std::string Shown(const std::string& path) { return kWindowsHost ? setupproj::Shown(path) : path; }

std::string FindFile(const std::string& folder, const std::string& relative) {
    fs::path current = ToFs(folder);
    for (const std::string& part : plat::path::SplitNames(relative)) {
        std::string name;
        if (!NameFromProject(part, name)) return std::string();
        std::error_code error;
        if (part == "." || part == ".." || fs::exists(current / ToFs(name), error)) {
            current /= ToFs(name);
            continue;
        }
        // Windows finds the name in any letter case.
        bool found = false;
        const std::string wanted = NameKey(part);
        for (fs::directory_iterator it(current, error), end; !error && it != end; it.increment(error)) {
            std::string entry;
            if (plat::Utf8ToCp932(it->path().filename().u8string(), entry) && NameKey(entry) == wanted) {
                current = it->path();
                found = true;
                break;
            }
        }
        if (!found) return std::string();
    }
    std::error_code error;
    return fs::is_regular_file(current, error) ? HostText(current) : std::string();
}

bool RelativeTo(const std::string& base, const std::string& target, std::string& relative) {
    std::error_code error;
    const fs::path from = fs::weakly_canonical(fs::absolute(ToFs(base), error), error);
    if (error) return false;
    const fs::path to = fs::weakly_canonical(fs::absolute(ToFs(target), error), error);
    if (error || !SameHostName(from.root_path(), to.root_path())) return false;
    const fs::path fromNames = from.relative_path(), toNames = to.relative_path();
    auto a = fromNames.begin(), b = toNames.begin();
    while (a != fromNames.end() && b != toNames.end() && SameHostName(*a, *b)) ++a, ++b;
    relative.clear();
    for (; a != fromNames.end(); ++a) {
        if (!a->empty() && *a != ".") relative += relative.empty() ? ".." : "\\..";
    }
    for (; b != toNames.end(); ++b) {
        std::string name;
        if (b->empty() || *b == ".") continue;
        if (!plat::Utf8ToCp932(b->u8string(), name)) return false;
        relative += (relative.empty() ? "" : "\\") + name;
    }
    return true;
}

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
    if (!IsFolder(root)) return false;
    std::vector<std::pair<std::vector<std::string>, TreeEntry>> found;  // the names of each path, and its entry
    const fs::path base = ToFs(root);
    std::error_code error;
    for (fs::recursive_directory_iterator it(base, error), end; it != end; it.increment(error)) {
        if (error) return false;
        // Deep enough for any real payload; a folder that holds itself through
        // a junction stops here. A link to a folder is not followed.
        if (it.depth() >= 64) it.disable_recursion_pending();
        std::error_code ignored;
        const bool folder = it->is_directory(ignored) && !it->is_symlink(ignored);
        if (!folder && !it->is_regular_file(ignored)) continue;
        std::vector<std::string> names;
        TreeEntry entry{"", HostText(it->path()), folder, true};
        for (const fs::path& part : it->path().lexically_relative(base)) {
            std::string name;
            const bool fits = plat::Utf8ToCp932(part.u8string(), name);
            if (!fits) name = Utf8ToCp932Lossy(part.u8string());
            entry.nameFits = entry.nameFits && fits && FitsRecord(name);
            entry.path += (names.empty() ? "" : "\\") + name;
            names.push_back(name);
        }
        found.emplace_back(names, entry);
    }
    if (error) return false;
    // Each folder's entries by name, letter case ignored, each folder before what it holds.
    auto before = [](const std::string& a, const std::string& b) {
        const std::string fa = AsciiLower(a), fb = AsciiLower(b);
        return fa != fb ? fa < fb : a < b;
    };
    std::sort(found.begin(), found.end(), [&before](const auto& a, const auto& b) {
        return std::lexicographical_compare(a.first.begin(), a.first.end(), b.first.begin(), b.first.end(), before);
    });
    for (const auto& f : found) entries.push_back(f.second);
    return true;
}

}  // namespace host
}  // namespace setupproj
