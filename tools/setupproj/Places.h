#pragma once
// A project's items named for its author: each record's line in the project
// file, paths as a project writes them (keyword first), and why a path is
// left behind on uninstall. `check` and `verify` word what they find alike.
#include <string>
#include <vector>

#include "tools/setupproj/ProjectSource.h"
#include "tools/setupproj/Structure.h"

namespace setupproj {

// Added to the index of a record of the version installed before (verify
// --over), so that its records and the new version's stay apart.
constexpr int kOlderRecord = 1 << 20;

// The path that the record writes (folder, destination or link); for the
// installation folder and the program's own copies, "[Install Folder]".
std::string RecordPath(const TProjectProperty& project, const TRecordRef& item);

class ProjectPlaces {
public:
    // keywordFolders: the folder of each keyword on the machine the paths
    // belong to, in the keywords' order. older: the project installed before.
    ProjectPlaces(const ProjectSource& source, const std::vector<std::string>& keywordFolders,
                  const ProjectSource* older = nullptr)
        : source_(source), folders_(keywordFolders), older_(older) {}

    // The line of the item's record; for the installation folder and the
    // program's own copies, the line of "SubDirectory".
    int LineOf(const TRecordRef& item) const;
    // The item's path as its record writes it.
    std::string ItemText(const TRecordRef& item) const;
    // The path as a project writes it, quoted for a message (UTF-8).
    std::string Form(const WinPath& path) const;
    // Why the leftover stays ("it is listed after its subfolder ..."), with
    // the lines of the records it names.
    std::string LeftoverCause(const std::vector<Leftover>& leftovers, const Leftover& left) const;

private:
    std::string HeldText(const std::vector<Leftover>& leftovers, const Leftover& left) const;
    // "(line N)", or "(line N of OLD)" for a record of the older version.
    std::string Where(const TRecordRef& item) const;

    const ProjectSource& source_;
    std::vector<std::string> folders_;
    const ProjectSource* older_;
};

}  // namespace setupproj
