// setupproj check PROJECT [--payload DIR] [--from-utf8]
#include "tools/setupproj/Check.h"
#include "tools/setupproj/Commands.h"
#include "tools/setupproj/HostFiles.h"
#include "tools/setupproj/HostSources.h"
#include "tools/setupproj/ProjectText.h"
#include "tools/setupproj/Upgrade.h"
#include "tools/setupproj/Verify.h"

#include <algorithm>

namespace setupproj {

namespace {

int Usage(const std::string& problem) {
    WriteConsole(true, "setupproj check: " + problem + "\nusage: setupproj check PROJECT [--payload DIR] [--from-utf8]\n");
    return 2;
}

}  // namespace

int RunCheck(const std::vector<std::string>& args) {
    ProjectInput input;
    std::string over, overBytes;
    const std::string problem = ReadProjectInput(
        args,
        [&over](const std::vector<std::string>& words, size_t& i) {
            return words[i] == "--over" && i + 1 < words.size() && !(over = words[++i]).empty();
        },
        input);
    if (!problem.empty()) return Usage(problem);
    const std::string& project = input.project;
    CheckOptions options;
    options.fromUtf8 = input.fromUtf8;
    options.programFileName = host::InstallerNameOf(project);
    options.structure = CheckStructure;
    HostSources sources(project, input.payload);
    const Findings findings = CheckProject(input.bytes, options, &sources);
    std::string out = FormatFindings(host::Shown(project), findings);
    int status = findings.ExitStatus();
    if (!over.empty()) {
        // OLD's destinations that NEW drops: the merge removes them at uninstall.
        if (!host::ReadFile(over, overBytes)) return Usage("cannot read the project file '" + host::Shown(over) + "'");
        const Findings dropped = DroppedByNewer(input.bytes, overBytes);
        out += FormatFindings(host::Shown(over), dropped);
        status = std::max(status, dropped.ExitStatus());
    }
    WriteConsole(false, out);
    return status;
}

}  // namespace setupproj
