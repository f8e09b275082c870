#include "tools/setupproj/ProjectBytes.h"

#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "project/ProjectProperty_unit.h"

#if ORVANE_BACKEND_SIM
#include "platform/sim/SimFileSystem.h"
#else
#include "platform/System.h"
#endif

namespace setupproj {

namespace {

#if ORVANE_BACKEND_SIM
// Natively the model reads and writes the simulated machine's files, which
// live in memory.
std::string ScratchPath(const char* role) { return std::string("C:\\work\\setupproj-") + role + ".ini"; }
#else
// A file of this process's own in the temporary folder, removed again at once.
std::string ScratchPath(const char* role) {
    return plat::TempFolder() + "setupproj-" + std::to_string(plat::ProcessId()) + "-" + role + ".ini";
}
#endif

class Scratch {
public:
    explicit Scratch(const char* role) : path_(ScratchPath(role)) {}
    ~Scratch() { plat::DeleteFileAt(path_); }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

}  // namespace

void LoadProjectBytes(TProjectProperty& project, const std::string& cp932) {
    Scratch file("in");
    if (!plat::WriteWholeFile(file.Path(), cp932)) {
        throw ESetupError(FormatMessage1("ファイル %s を作成できません", file.Path()));
    }
    project.Load(file.Path());
}

std::string SaveProjectBytes(TProjectProperty& project) {
    Scratch file("out");
    project.Save(file.Path());
    std::string bytes;
    if (plat::ReadWholeFile(file.Path(), bytes) != plat::ReadResult::Ok) {
        throw ESetupError(FormatMessage1("ファイル %s は開けません", file.Path()));
    }
    return bytes;
}

}  // namespace setupproj
