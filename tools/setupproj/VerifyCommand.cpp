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
    // A character that the installer's code page cannot hold: nothing can run.
    bool utf8 = false;
    std::string out;
    if (!ProjectFileText(input.project, input.fromUtf8, input.bytes, utf8, out) ||
        (!over.empty() && !ReadProjectFile(over, input.fromUtf8, options.older, utf8, out))) {
        WriteConsole(false, out + "\n");
        return 2;
    }
    options.installerName = host::InstallerNameOf(input.project);
    HostSources sources(input.project, input.payload), olderSources(over, input.payload);
    options.olderSources = &olderSources;
    const VerifyReport report = VerifyProject(input.bytes, options, sources);
    const std::string name = host::Shown(input.project) + (over.empty() ? "" : " over " + host::Shown(over));
    WriteConsole(false, FormatVerifyReport(name, options, report));
    return report.ExitStatus();
}

}  // namespace setupproj
