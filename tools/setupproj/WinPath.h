#pragma once
// Full Windows paths as the file system sees them, under the names the
// tool's analyses use: the platform's path rules (platform/PathRules.h),
// which the simulated machine resolves its paths with too.
#include <string>
#include <vector>

#include "platform/PathRules.h"

namespace setupproj {

// A root ("C:" or "\\server\share") and names, with "." and ".." resolved,
// doubled separators and final dots and blanks dropped, compared without
// regard to letter case.
using WinPath = plat::path::ResolvedPath;

// Invalid unless the path is full: one that depends on no current folder or
// drive ("X:\..." or "\\server\...").
inline WinPath ParseFullPath(const std::string& path) { return plat::path::Resolve(path); }

// The names of a relative path ("\" or "/" separated, empty ones dropped).
inline std::vector<std::string> SplitRelative(const std::string& path) { return plat::path::SplitNames(path); }

}  // namespace setupproj
