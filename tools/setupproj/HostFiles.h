#pragma once
// The files of the machine the tool runs on. Paths are the host's own:
// UTF-8 with "/" on Linux, the ANSI code page with "\" on Windows. Names in
// project text are CP932 with "\" separators.
#include <cstdint>
#include <string>
#include <vector>

namespace setupproj {
namespace host {

bool ReadFile(const std::string& path, std::string& bytes);
bool WriteFile(const std::string& path, const std::string& bytes);
bool IsFile(const std::string& path);
bool IsFolder(const std::string& path);
uint64_t FileSize(const std::string& path);  // 0 when it cannot be told

std::string FolderOf(const std::string& path);  // "." for a bare name
std::string NameOf(const std::string& path);

// A host name as project text and back; false when the other side cannot
// hold it.
bool NameToProject(const std::string& name, std::string& cp932);
bool NameFromProject(const std::string& cp932, std::string& name);
// A host path for a message (UTF-8).
std::string Shown(const std::string& path);

// The file that a relative project path names below folder, found as
// Windows finds files (letter case ignored); empty when there is none.
std::string FindFile(const std::string& folder, const std::string& relative);

// target seen from base as project text ("\" separated, ".." where needed,
// empty for base itself). False when there is no such path (another drive)
// or a name that CP932 cannot hold.
bool RelativeTo(const std::string& base, const std::string& target, std::string& relative);

// The installer that reads a project: the project's name with ".exe"
// (project text; "Setup.exe" when the name does not fit).
std::string InstallerNameOf(const std::string& project);
// Whether file is the project itself or the installer beside it: they
// travel with a payload, but no record installs them.
bool IsProjectOrInstaller(const std::string& project, const std::string& file);

struct TreeEntry {
    std::string path;      // below the root, project text
    std::string hostPath;  // the host's path of it
    bool folder;
    bool nameFits;  // CP932 holds every name of the path; otherwise path has "?" in their place
};

// Every folder and file below root, parents before children, each folder's
// entries sorted by name (letter case ignored). Links to folders are not
// followed. False when root cannot be read.
bool WalkTree(const std::string& root, std::vector<TreeEntry>& entries);

}  // namespace host
}  // namespace setupproj
