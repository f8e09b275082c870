// setupproj verify PROJECT [--payload DIR] [--answer yes|no] [--from-utf8]
#include "tools/setupproj/Commands.h"
#include "tools/setupproj/Findings.h"
#include "tools/setupproj/HostFiles.h"
#include "tools/setupproj/HostSources.h"
#include "tools/setupproj/ProjectText.h"
#include "tools/setupproj/Verify.h"

namespace setupproj {

namespace {

int Usage(const std::string& problem) {
    WriteConsole(true, "setupproj verify: " + problem +
                           "\nusage: setupproj verify PROJECT [--payload DIR] [--answer yes|no] [--from-utf8]\n");
    return 2;
}

}  // namespace

int RunVerify(const std::vector<std::string>& args) {
    std::string project, payload;
    VerifyOptions options;
    bool fromUtf8 = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--payload" && i + 1 < args.size()) {
            payload = args[++i];
        } else if (args[i] == "--answer" && i + 1 < args.size() && (args[i + 1] == "yes" || args[i + 1] == "no")) {
            options.answerYes = args[++i] == "yes";
        } else if (args[i] == "--from-utf8") {
            fromUtf8 = true;
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
    if (fromUtf8 || HasUtf8Bom(bytes)) {
        // A character that the installer's code page cannot hold: nothing can run.
        Findings findings;
        bytes = Utf8ProjectToCp932(bytes, findings);
        if (!findings.All().empty()) {
            std::string out;
            for (const Finding& f : findings.Sorted()) out += FormatFinding(host::Shown(project), f) + "\n";
            WriteConsole(false, out);
            return 2;
        }
    }
    options.installerName = host::InstallerNameOf(project);
    HostSources sources(project, payload);
    const VerifyReport report = VerifyProject(bytes, options, sources);
    WriteConsole(false, FormatVerifyReport(host::Shown(project), options, report));
    return report.ExitStatus();
}

}  // namespace setupproj
