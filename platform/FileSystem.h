#pragma once
// File-system services. Names avoid the Win32 A/W macro names (CopyFile,
// DeleteFile, ...) so that the backend can include <windows.h> beside this.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/UniqueHandle.h"

namespace plat {

constexpr uint32_t kAttrReadOnly = 0x01;
constexpr uint32_t kAttrHidden = 0x02;
constexpr uint32_t kAttrSystem = 0x04;
constexpr uint32_t kAttrVolume = 0x08;
constexpr uint32_t kAttrDirectory = 0x10;
constexpr uint32_t kAttrArchive = 0x20;
constexpr uint32_t kAttrNormal = 0x80;
constexpr uint32_t kAttrReparsePoint = 0x400;  // a junction, symbolic link or mount point
constexpr uint32_t kInvalidAttributes = 0xFFFFFFFFu;

enum class ReadResult { Ok, NotFound, OpenFailed };

// Reads a whole file; the file is opened denying other writers while it is read.
ReadResult ReadWholeFile(const std::string& path, std::string& data);
// Creates or truncates the file and writes data. False when it cannot be created.
bool WriteWholeFile(const std::string& path, const std::string& data);
// Creates a new file and writes data: false when anything stands at that path
// already, which is never opened or replaced.
bool WriteNewFile(const std::string& path, const std::string& data);

bool FileExists(const std::string& path);       // an existing file; a folder does not count
bool DirectoryExists(const std::string& path);  // an existing folder
uint32_t ReadAttributes(const std::string& path);  // kInvalidAttributes when missing
bool WriteAttributes(const std::string& path, uint32_t attributes);
// The size of a file in bytes (GetFileAttributesExA); false when it is missing.
bool FileSizeOf(const std::string& path, uint64_t& size);
bool CopyFileTo(const std::string& source, const std::string& dest, bool failIfExists);
bool DeleteFileAt(const std::string& path);
bool MakeDirectory(const std::string& path);     // one folder, parent must exist
bool RemoveFolder(const std::string& path);      // empty folders only
// Creates the folder with every missing parent. Raises ESetupError for an
// empty path; otherwise returns whether the folder exists afterwards.
bool ForceDirectories(const std::string& path);

struct FindData {
    std::string name;       // cFileName
    std::string shortName;  // cAlternateFileName, empty when the name is already 8.3
    uint32_t attributes = 0;
};

// The close policy of a search handle; each backend closes its own kind.
struct FindTraits {
    using Type = void*;
    static Type Invalid() { return nullptr; }
    static void Close(Type handle);
};

// A first-match directory search. The search stays open until the object
// is destroyed (or Close is called), as a component lookup requires.
class FindHandle {
public:
    // Finds the first entry matching pattern, with any attributes. False when none.
    bool First(const std::string& pattern, FindData& data);
    void Close() { handle_.Reset(); }
    bool IsOpen() const { return handle_.IsValid(); }

private:
    UniqueHandle<FindTraits> handle_;
};

std::string CurrentFolder();
// Makes path the process's current folder: false when it is no folder.
bool SetCurrentFolder(const std::string& path);
// Full path of the running program, however long; "" only when the system
// cannot tell.
std::string ExecutablePath();
// Opens the running program's own file, sharing reads only, and keeps it open
// for the life of the process: nobody can rename, replace, delete or write it
// while the program runs (Windows lets a running program be renamed, and a
// file of that name put in its place). Called first thing at start-up. False
// when it cannot be opened (the error is kept); a second call changes nothing.
bool HoldOwnProgram();
// Writes a byte copy of the held program file to dest, read through the held
// handle, not by name: an existing file there is replaced, as CopyFileTo with
// failIfExists false does. False when the program is not held or the copy
// cannot be written.
bool CopyOwnProgramTo(const std::string& dest);
std::string TempFolder();         // the user's temporary folder, with a trailing backslash

}  // namespace plat
