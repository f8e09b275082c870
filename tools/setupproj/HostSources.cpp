#include "tools/setupproj/HostSources.h"

#include "tools/setupproj/HostFiles.h"

namespace setupproj {

namespace {

// A relative path that leads out of its base folder.
bool Outside(const std::string& relative) { return relative == ".." || relative.compare(0, 3, "..\\") == 0; }

}  // namespace

HostSources::HostSources(const std::string& project, const std::string& payload)
    : project_(project), projectFolder_(host::FolderOf(project)), payload_(payload) {}

bool HostSources::Find(const std::string& source, std::string& payloadName) {
    payloadName.clear();
    std::string found = host::FindFile(projectFolder_, source);
    if (found.empty() && !payload_.empty()) found = host::FindFile(payload_, source);
    if (found.empty()) return false;
    std::string relative;
    if (!payload_.empty() && host::RelativeTo(payload_, found, relative) && !Outside(relative)) {
        payloadName = relative;
    }
    return true;
}

uint64_t HostSources::SizeOf(const std::string& source) {
    std::string found = host::FindFile(projectFolder_, source);
    if (found.empty() && !payload_.empty()) found = host::FindFile(payload_, source);
    return found.empty() ? 0 : host::FileSize(found);
}

std::vector<std::string> HostSources::PayloadFiles() {
    std::vector<std::string> files;
    std::vector<host::TreeEntry> entries;
    if (payload_.empty() || !host::WalkTree(payload_, entries)) return files;
    for (const host::TreeEntry& entry : entries) {
        if (entry.folder) continue;
        if (!host::IsProjectOrInstaller(project_, entry.hostPath)) files.push_back(entry.path);
    }
    return files;
}

}  // namespace setupproj
