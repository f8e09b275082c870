// setupproj verify PROJECT [--payload DIR] [--answer yes|no] [--from-utf8]
#include "tools/setupproj/Commands.h"
#include "tools/setupproj/Findings.h"
#include "tools/setupproj/HostFiles.h"
#include "tools/setupproj/HostSources.h"
#include "tools/setupproj/ProjectText.h"
#include "tools/setupproj/Upgrade.h"
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
    VerifyOptions options;
    std::string over;
    auto answer = [&options, &over](const std::vector<std::string>& words, size_t& i) {
        if (words[i] == "--over" && i + 1 < words.size()) return !(over = words[++i]).empty();
        if (words[i] != "--answer" || i + 1 >= words.size() || (words[i + 1] != "yes" && words[i + 1] != "no")) {
            return false;
        }
        options.answerYes = words[++i] == "yes";
        return true;
    };
    ProjectInput input;
    const std::string problem = ReadProjectInput(args, answer, input);
    if (!problem.empty()) return Usage(problem);
    if (!over.empty()) {
        std::string report;
        const int status = VerifyOver(input, over, options, report);
        WriteConsole(false, report);
        return status;
    }
    const std::string& project = input.project;
    std::string& bytes = input.bytes;
    if (input.fromUtf8 || HasUtf8Bom(bytes)) {
        // A character that the installer's code page cannot hold: nothing can run.
        std::string out;
        if (!ProjectToCp932(bytes, host::Shown(project), out)) {
            WriteConsole(false, out);
            return 2;
        }
    }
    options.installerName = host::InstallerNameOf(project);
    HostSources sources(project, input.payload);
    const VerifyReport report = VerifyProject(bytes, options, sources);
    WriteConsole(false, FormatVerifyReport(host::Shown(project), options, report));
    return report.ExitStatus();
}

}  // namespace setupproj
