#pragma once
// The project's copy sources on the host: looked up beside the project, then
// in the payload folder; the payload folder's files are every file below it
// but the project and the installer themselves.
#include <string>
#include <vector>

#include "tools/setupproj/Check.h"

namespace setupproj {

class HostSources : public SourceFiles {
public:
    // Host paths; payload may be empty.
    HostSources(const std::string& project, const std::string& payload);
    bool Find(const std::string& source, std::string& payloadName) override;
    std::vector<std::string> PayloadFiles() override;
    uint64_t SizeOf(const std::string& source) override;

private:
    std::string project_;
    std::string projectFolder_;
    std::string payload_;
};

}  // namespace setupproj
