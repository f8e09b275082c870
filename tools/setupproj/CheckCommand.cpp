// setupproj check PROJECT [--payload DIR] [--from-utf8]
#include "tools/setupproj/Check.h"
#include "tools/setupproj/Commands.h"
#include "tools/setupproj/HostFiles.h"
#include "tools/setupproj/HostSources.h"
#include "tools/setupproj/ProjectText.h"

namespace setupproj {

namespace {

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
