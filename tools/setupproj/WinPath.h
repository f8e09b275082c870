#pragma once
// Full Windows paths as the file system sees them: a root ("C:" or
// "\\server\share") and components, with "." and ".." resolved and doubled
// separators dropped, compared without regard to letter case. Separators are
// found character by character (a 0x5C trail byte is no separator).
#include <string>
#include <vector>

namespace setupproj {

struct WinPath {
    bool valid = false;
    std::string root;
    std::vector<std::string> parts;

    std::string Text() const;  // root, then "\" and each component
    std::string Key() const;   // Text with letter case folded, for comparisons
    WinPath Parent() const;    // the root's parent is the root
    bool IsRoot() const { return parts.empty(); }
    // other is this path or lies below it.
    bool Contains(const WinPath& other) const;
    WinPath Child(const std::string& name) const;
};

// Invalid unless the path is full: one that depends on no current folder or
// drive ("X:\..." or "\\server\...", RunPath::IsAbsolutePath).
WinPath ParseFullPath(const std::string& path);

// The components of a relative path ("\" or "/" separated, empty ones
// dropped).
std::vector<std::string> SplitRelative(const std::string& path);

}  // namespace setupproj
