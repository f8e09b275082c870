#pragma once
// Windows' path rules, in one place: the simulated file system resolves its
// paths with them, the runs join and split theirs with them, and the
// authors' tool compares what a project names with them. Pure text work:
// nothing here asks the system.
//
// The rules, as GetFullPathName applies them:
// - "\" and "/" separate; a separator is a character of its own, never the
//   second byte of a double-byte character (ソ = 83 5C).
// - Roots: "X:\" (a drive), "\\server\share" (a network share), "\\.\" and
//   "\\?\" (device paths: "\\?\C:\", "\\.\C:\" and "\\?\UNC\server\share"
//   are the drive and the share again). Without a root a path is relative:
//   "\a" to the current drive, "X:a" to drive X's current folder, "a" to the
//   current folder.
// - Doubled separators and "." name nothing; ".." goes up one name, never
//   above the root.
// - A name followed by a separator loses one final dot ("a.\b" is "a\b",
//   a name of dots only stays); the last name of a path that does not end
//   in a separator loses all its final dots and blanks ("a. ." is "a").
// - "\\?\" paths are taken as written: split at "\" only, nothing dropped.
// - Names compare without letter case. Folded are the letters that have a
//   case in code page 932: ASCII, the full-width Latin letters (82 60-82 9A),
//   Greek (83 9F-83 D6) and Cyrillic (84 40-84 91), as NTFS compares them.
//   Not unified: the IBM extension's duplicates of NEC characters (FA 40 and
//   EE EF are both U+2170), whose bytes differ.
#include <cstddef>
#include <string>
#include <vector>

namespace plat::path {

enum class RootForm {
    kRelative,       // "a\b"
    kCurrentDrive,   // "\a"
    kDriveRelative,  // "X:a"
    kDrive,          // "X:\a"
    kShare,          // "\\server\share\a"
    kDevice,         // "\\?\Volume{...}\a", "\\.\PIPE\a"
};

struct Root {
    RootForm form = RootForm::kRelative;
    // Bytes of the root as written: with the separator after "X:" or the
    // leading "\", without the one after a share ("\\s\sh\a" gives 7).
    size_t length = 0;
    // The root as the file system knows it: "C:" (also for "\\?\C:\" and
    // "\\.\C:\"), "\\server\share", "\\?\Volume{...}"; "" for the relative
    // forms but "X:" for "X:a".
    std::string name;
    bool verbatim = false;  // "\\?\": the rest is taken as written
    bool valid = true;      // false: "\\server" without a share, "\\?\" alone
};

Root RootOf(const std::string& path);

// A path resolved to its root and names.
struct ResolvedPath {
    bool valid = false;
    std::string root;                // Root::name of a full path
    std::vector<std::string> parts;  // the names below the root, as written
    bool trailingSeparator = false;  // the text ended in a separator after a name

    std::string Text() const;  // root, then "\" and each name; a root alone ends in "\"
    std::string Key() const;   // Text with letter case folded: equal keys name the same file
    ResolvedPath Parent() const;  // the root's parent is the root
    bool IsRoot() const { return parts.empty(); }
    bool Contains(const ResolvedPath& other) const;  // other is this path or lies below it
    ResolvedPath Child(const std::string& name) const;
};

// The full path that path names, as GetFullPathName makes it. The relative
// forms are taken against currentFolder, itself a full path; with none (or
// another drive for "X:a", whose own current folder is unknown: its root) a
// relative path is invalid.
ResolvedPath Resolve(const std::string& path, const std::string& currentFolder = std::string());

// The text between separators, character-wise, empty names dropped.
std::vector<std::string> SplitNames(const std::string& text);

// names, then the names of text with the rules applied (".", "..", final
// dots and blanks). Returns how many ".." went above the first name.
size_t AppendNames(std::vector<std::string>& names, const std::string& text);

// A comparison key for any path text, also a relative one or one that
// begins with a folder keyword: root and names after the rules, letter case
// folded, separators made one "\".
std::string KeyOf(const std::string& path);

// Letters folded to upper case, as names compare.
std::string FoldCase(const std::string& text);

// True when the text does not depend on a current folder or drive: "X:\",
// or two separators at its front (a share or a device path).
bool IsFull(const std::string& path);

// The last name of a path: after its last separator past the root ("" for a
// path that ends in one, or a root alone).
std::string FileName(const std::string& path);

// The folder of a path as text: up to its last separator past the root,
// without it; the root as written when there is none ("D:\a" gives "D:\",
// "D:a" gives "D:", "a" gives ""). A root stays as it is.
std::string FolderOf(const std::string& path);

// folder + "\" + name, with no second "\" when folder ends in one; an empty
// folder gives name. A folder whose last byte is a lead byte without its
// second byte would take that "\" as the second byte: it gets one more, so
// that a separator still stands before name.
std::string Join(const std::string& folder, const std::string& name);

// True when the last byte is a lead byte that has no second byte.
bool EndsInLoneLeadByte(const std::string& text);

}  // namespace plat::path
