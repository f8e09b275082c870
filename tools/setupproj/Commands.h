#pragma once
// The commands of setupproj beyond normalize and dump, each in a file of
// its own, and the reading of a project file that every command shares.
// Each command takes the arguments after its name and returns the exit status.
#include <functional>
#include <string>
#include <vector>

namespace setupproj {

// check PROJECT [--payload DIR] [--from-utf8]: 0 clean, 1 warnings, 2 errors
// (also for a project that cannot be read or a wrong command line).
int RunCheck(const std::vector<std::string>& args);

// verify PROJECT [--payload DIR] [--answer yes|no] [--from-utf8]: 0 installed
// and nothing unintended left, 1 only what the project keeps is left, 2 a
// failure, anything else left, or a wrong command line.
int RunVerify(const std::vector<std::string>& args);

// scan DIR [--into PROJECT] [--dest TEXT] [--delete-mode N]: 0 done, 1 failed.
int RunScan(const std::vector<std::string>& args);

// The project file at path as CP932 text, read as UTF-8 when fromUtf8 or
// when it begins with a BOM (wasUtf8 says so). False with the problem when
// it cannot be read, or when a character does not convert: then problem
// names each at its line, as check does (one line each, the last unended).
bool ReadProjectFile(const std::string& path, bool fromUtf8, std::string& cp932, bool& wasUtf8,
                     std::string& problem);
// The same for the bytes of the file at path, already read: in place.
bool ProjectFileText(const std::string& path, bool fromUtf8, std::string& bytes, bool& wasUtf8, std::string& problem);

// The command line that check and verify share, PROJECT [--payload DIR]
// [--from-utf8], and the project file's bytes.
struct ProjectInput {
    std::string project, payload;
    bool fromUtf8 = false;
    std::string bytes;
};
// Reads the command line and the project file: "" when both are good, else
// the problem. option takes an option of the command's own at args[i]
// (moving i past a value it takes too) and says whether it did.
std::string ReadProjectInput(const std::vector<std::string>& args,
                             const std::function<bool(const std::vector<std::string>&, size_t&)>& option,
                             ProjectInput& input);

// Writes text to the console as it shows text: UTF-8 on Linux, the ANSI
// code page on Windows. The text is UTF-8; with ansiLine it is one line of
// the ANSI code page's (a project's values, the installer's messages), which
// gets its line end after the conversion, so that a lead byte at its end
// cannot take the line end as its second byte.
void WriteConsole(bool toErrors, const std::string& text, bool ansiLine = false);

}  // namespace setupproj
