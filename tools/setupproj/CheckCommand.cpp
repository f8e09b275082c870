// setupproj check PROJECT [--payload DIR] [--from-utf8]
#include "tools/setupproj/Check.h"
#include "tools/setupproj/Commands.h"
#include "tools/setupproj/HostFiles.h"
#include "tools/setupproj/ProjectText.h"

namespace setupproj {

namespace {

bool Outside(const std::string& relative);

// Sources are looked up beside the project, then in the payload folder; the
// payload folder's files are every file below it but the project and the
// installer themselves.
class HostSources : public SourceFiles {
public:
    HostSources(const std::string& project, const std::string& payload)
        : project_(project), projectFolder_(host::FolderOf(project)), payload_(payload) {}

    bool Find(const std::string& source, std::string& payloadName) override {
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

    std::vector<std::string> PayloadFiles() override {
        std::vector<std::string> files;
        std::vector<host::TreeEntry> entries;
        if (payload_.empty() || !host::WalkTree(payload_, entries)) return files;
        for (const host::TreeEntry& entry : entries) {
            if (entry.folder) continue;
            if (!host::IsProjectOrInstaller(project_, entry.hostPath)) files.push_back(entry.path);
        }
        return files;
    }

private:
    std::string project_;
    std::string projectFolder_;
    std::string payload_;
};

// A relative path that leads out of its base folder.
bool Outside(const std::string& relative) { return relative == ".." || relative.compare(0, 3, "..\\") == 0; }

int Usage(const std::string& problem) {
    WriteConsole(true, "setupproj check: " + problem + "\nusage: setupproj check PROJECT [--payload DIR] [--from-utf8]\n");
    return 2;
}

}  // namespace

int RunCheck(const std::vector<std::string>& args) {
    std::string project, payload;
    CheckOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--payload" && i + 1 < args.size()) {
            payload = args[++i];
        } else if (args[i] == "--from-utf8") {
            options.fromUtf8 = true;
        } else if (project.empty() && args[i].compare(0, 2, "--") != 0) {
            project = args[i];
        } else {
            return Usage("unexpected argument '" + host::Shown(args[i]) + "'");
        }
    }
    if (project.empty()) return Usage("no project file named");
    std::string bytes;
    if (!host::ReadFile(project, bytes)) return Usage("cannot read the project file '" + host::Shown(project) + "'");
    if (!payload.empty() && !host::IsFolder(payload)) {
        return Usage("the payload folder '" + host::Shown(payload) + "' is not a folder");
    }
    options.programFileName = host::InstallerNameOf(project);
    HostSources sources(project, payload);
    const Findings findings = CheckProject(bytes, options, &sources);
    std::string out;
    for (const Finding& finding : findings.Sorted()) out += FormatFinding(host::Shown(project), finding) + "\n";
    WriteConsole(false, out);
    return findings.ExitStatus();
}

}  // namespace setupproj
