// The test helpers on the sim backend, through its test controls.
#include "platform/FileSystem.h"
#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimLocale.h"
#include "platform/sim/SimSystem.h"
#include "tests/support/TestSystem.h"

namespace support {

FileWriteHold::FileWriteHold(const std::string& path) {
    std::string held = sim::AddWriter(path);
    if (held.empty()) return;
    // The writer ends with the hold, at the full path it had when it began.
    hold_ = std::shared_ptr<void>(new std::string(held), [](void* p) {
        auto* fullPath = static_cast<std::string*>(p);
        sim::ReleaseWriter(*fullPath);
        delete fullPath;
    });
}

FileWriteHold::~FileWriteHold() = default;

bool FileWriteHold::IsOpen() const { return hold_ != nullptr; }

unsigned AnsiCodePage() { return sim::AnsiCodePage(); }

bool RunningUnderWine() { return false; }

bool ReadShellLink(const std::string& linkPath, ShellLinkInfo& info) {
    std::string bytes;
    sim::LinkFields fields;
    if (plat::ReadWholeFile(linkPath, bytes) != plat::ReadResult::Ok || !sim::DecodeLink(bytes, fields)) {
        return false;
    }
    info = ShellLinkInfo{fields.path, fields.arguments, fields.workingDirectory, fields.description,
                         fields.showCmd};
    return true;
}

}  // namespace support
