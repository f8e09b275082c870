// setupproj normalize --from-utf8 IN OUT: a UTF-8 project (as authors'
// editors write it) converted to CP932 and saved in the canonical layout.
#include "platform/Error.h"
#include "project/ProjectProperty_unit.h"
#include "tools/setupproj/Commands.h"
#include "tools/setupproj/HostFiles.h"
#include "tools/setupproj/ProjectText.h"

namespace setupproj {

bool FileHasUtf8Bom(const std::string& path) {
    std::string bytes;
    return host::ReadFile(path, bytes) && HasUtf8Bom(bytes);
}

int RunNormalizeFromUtf8(const std::string& in, const std::string& out) {
    std::string bytes;
    if (!host::ReadFile(in, bytes)) {
        WriteConsole(true, "setupproj normalize: cannot read '" + host::Shown(in) + "'\n");
        return 1;
    }
    // Every character that does not fit is named, and nothing is written.
    std::string report;
    if (!ProjectToCp932(bytes, host::Shown(in), report)) {
        WriteConsole(true, report);
        return 1;
    }
    try {
        TProjectProperty project;
        project.Parse(bytes);
        if (!host::WriteFile(out, project.Serialize())) {
            WriteConsole(true, "setupproj normalize: cannot write '" + host::Shown(out) + "'\n");
            return 1;
        }
        return 0;
    } catch (const ESetupError& error) {
        WriteConsole(true, Shown(error.Message()) + "\n");
        return 1;
    }
}

}  // namespace setupproj
