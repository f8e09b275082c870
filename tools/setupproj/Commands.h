#pragma once
// The commands of setupproj beyond normalize and dump, each in a file of
// its own. Each takes the arguments after its name and returns the exit
// status.
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

// normalize --from-utf8 IN OUT, and normalize IN OUT of a file that begins
// with a UTF-8 BOM: 0 done, 1 failed.
int RunNormalizeFromUtf8(const std::string& in, const std::string& out);

// Whether the host file begins with a UTF-8 BOM (false when it cannot be read).
bool FileHasUtf8Bom(const std::string& path);

// Writes UTF-8 text to the console as it shows text: UTF-8 on Linux, the
// ANSI code page on Windows.
void WriteConsole(bool toErrors, const std::string& utf8);

}  // namespace setupproj
