// setupproj check PROJECT [--payload DIR] [--from-utf8]
#include "tools/setupproj/Check.h"
#include "tools/setupproj/Commands.h"
#include "tools/setupproj/HostFiles.h"
#include "tools/setupproj/HostSources.h"
#include "tools/setupproj/ProjectText.h"
#include "tools/setupproj/Verify.h"

namespace setupproj {

namespace {

int Usage(const std::string& problem) {
    WriteConsole(true, "setupproj check: " + problem + "\nusage: setupproj check PROJECT [--payload DIR] [--from-utf8]\n");
    return 2;
}

}  // namespace

int RunCheck(const std::vector<std::string>& args) {
    ProjectInput input;
    const std::string problem = ReadProjectInput(args, nullptr, input);
    if (!problem.empty()) return Usage(problem);
    const std::string& project = input.project;
    CheckOptions options;
    options.fromUtf8 = input.fromUtf8;
    options.programFileName = host::InstallerNameOf(project);
    options.structure = CheckStructure;
    HostSources sources(project, input.payload);
    const Findings findings = CheckProject(input.bytes, options, &sources);
    std::string out;
    for (const Finding& finding : findings.Sorted()) out += FormatFinding(host::Shown(project), finding) + "\n";
    WriteConsole(false, out);
    return findings.ExitStatus();
}

}  // namespace setupproj
