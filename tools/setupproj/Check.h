#pragma once
// `setupproj check`: a lint of a project file. It reads the file as the
// installer does and reports, with the line of each, the syntax traps, the
// values the installer stops at or misreads, the paths that go wrong, the
// sources that are missing, and what the installation and uninstallation
// would do wrong (a folder not made in time, folders left behind).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/setupproj/Findings.h"

namespace setupproj {

struct ProjectSource;

// The files that the project's relative sources name.
class SourceFiles {
public:
    virtual ~SourceFiles() = default;
    // Whether the relative source exists as the installer's copy would find
    // it (beside the project, or in the payload folder). payloadName: its
    // path inside the payload folder ("\" separated), empty when it lies
    // elsewhere.
    virtual bool Find(const std::string& source, std::string& payloadName) = 0;
    // Every file of the payload folder ("\" separated), none without one.
    virtual std::vector<std::string> PayloadFiles() = 0;
    // The size in bytes of a relative source that Find finds; 0 otherwise.
    virtual uint64_t SizeOf(const std::string& source) {
        (void)source;
        return 0;
    }
};

struct CheckOptions {
    std::string programFileName = "Setup.exe";  // the installer that reads this project
    bool fromUtf8 = false;  // UTF-8 text (a file that begins with a BOM is taken as UTF-8 anyway)
    // The structural findings, from the installer's own runs on a simulated
    // machine (CheckStructure, where the sim backend is linked); none without.
    std::function<void(ProjectSource&, const CheckOptions&, Findings&)> structure;
};

// sources may be null: then sources are not looked up.
Findings CheckProject(const std::string& bytes, const CheckOptions& options, SourceFiles* sources);

}  // namespace setupproj
