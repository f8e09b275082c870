#include "tools/setupproj/Commands.h"
#include "tools/setupproj/HostFiles.h"
#include "tools/setupproj/ProjectText.h"

namespace setupproj {

namespace {

bool ReadBytes(const std::string& path, std::string& bytes, std::string& problem) {
    if (host::ReadFile(path, bytes)) return true;
    problem = "cannot read the project file '" + host::Shown(path) + "'";
    return false;
}

}  // namespace

bool ProjectFileText(const std::string& path, bool fromUtf8, std::string& bytes, bool& wasUtf8, std::string& problem) {
    wasUtf8 = fromUtf8 || HasUtf8Bom(bytes);
    if (!wasUtf8 || ProjectToCp932(bytes, host::Shown(path), problem)) return true;
    problem.pop_back();  // the last finding's line end: the caller ends the message
    return false;
}

bool ReadProjectFile(const std::string& path, bool fromUtf8, std::string& cp932, bool& wasUtf8,
                     std::string& problem) {
    wasUtf8 = false;
    return ReadBytes(path, cp932, problem) && ProjectFileText(path, fromUtf8, cp932, wasUtf8, problem);
}

std::string ReadProjectInput(const std::vector<std::string>& args,
                             const std::function<bool(const std::vector<std::string>&, size_t&)>& option,
                             ProjectInput& input) {
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--payload" && i + 1 < args.size()) {
            input.payload = args[++i];
        } else if (args[i] == "--from-utf8") {
            input.fromUtf8 = true;
        } else if (option && option(args, i)) {
            continue;
        } else if (input.project.empty() && args[i].compare(0, 2, "--") != 0) {
            input.project = args[i];
        } else {
            return "unexpected argument '" + host::Shown(args[i]) + "'";
        }
    }
    if (input.project.empty()) return "no project file named";
    // The bytes as they are: check names each character of a UTF-8 project
    // that does not convert among its findings, and verify before it runs.
    std::string problem;
    if (!ReadBytes(input.project, input.bytes, problem)) return problem;
    if (!input.payload.empty() && !host::IsFolder(input.payload)) {
        return "the payload folder '" + host::Shown(input.payload) + "' is not a folder";
    }
    return std::string();
}

}  // namespace setupproj
