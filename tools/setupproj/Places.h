#pragma once
// A project's items named for its author: each record's line in the project
// file, paths as a project writes them (keyword first), and why a path is
// left behind on uninstall. `check` and `verify` word what they find alike.
#include <string>
#include <vector>

#include "tools/setupproj/ProjectSource.h"
#include "tools/setupproj/Structure.h"

namespace setupproj {

class ProjectPlaces {
public:
    // keywordFolders: the folder of each keyword on the machine the paths
    // belong to, in the keywords' order.
    ProjectPlaces(const ProjectSource& source, const std::vector<std::string>& keywordFolders)
        : source_(source), folders_(keywordFolders) {}

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

    const ProjectSource& source_;
    std::vector<std::string> folders_;
};

}  // namespace setupproj
