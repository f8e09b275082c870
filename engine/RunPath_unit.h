#pragma once
// Path and text helpers of the installation and uninstallation runs, over
// Windows' path rules (platform/PathRules.h). They step through ANSI
// code-page text by characters, so that the second byte of a double-byte
// character (0x5C in ソ, 表, ...) is never taken for "\".
#include <cstdint>
#include <string>
#include <vector>

namespace RunPath {

// The file name of a path: what follows its last separator or its drive
// ("D:setup.exe" gives setup.exe; the whole text when it has neither).
std::string FileNamePart(const std::string& path);

// The folder part of a program's full path: up to its last "\", without it
// unless the folder is a drive root such as D:\ (which keeps it).
std::string ExecutableFolder(const std::string& exePath);

// folder + "\" + name, with no second "\" when folder already ends in one.
// An empty folder gives name alone. A folder that ends in a lone lead byte
// gets one "\" more, so that a separator stands before name.
std::string JoinPath(const std::string& folder, const std::string& name);

// A path that does not depend on a current folder or drive: "X:\..." or
// "\\server\...".
bool IsAbsolutePath(const std::string& path);

// A copy source as the run uses it: an absolute path stays as it is; a
// path from the root of the current drive ("\dir\file") takes the drive of
// startFolder (or its "\\server\share"); any other relative path is joined
// to startFolder. An empty startFolder, an empty path or a drive-relative
// "X:name" stays unchanged.
std::string ResolveSourcePath(const std::string& startFolder, const std::string& path);

// The installation folder that start-up proposes: programFiles joined with
// subDirectory, or subDirectory alone when initDirectory is not 0. Joined as
// they are: the user corrects the proposal on the location page.
std::string ProposedInstallFolder(const std::string& programFiles, int initDirectory,
                                  const std::string& subDirectory);

// The registration key below HKEY_LOCAL_MACHINE for an "UnInstallKey", or the
// empty text when the key names nothing (empty, or backslashes only): the
// list key that holds every installed program must never be written or
// deleted in its place.
std::string UninstallKeyPath(const std::string& uninstallKey);

// The entry of the list of installed programs. DisplayIcon when the project
// gives none: the uninstaller's first icon ("\"C:\App\Setup.exe\",0").
std::string DefaultDisplayIcon(const std::string& programCopy);
// InstallLocation: the installation folder without a trailing "\" (a
// drive's root keeps its own: "C:" alone would be a current folder).
std::string InstallLocation(const std::string& installFolder);
// InstallDate: "YYYYMMDD".
std::string InstallDateText(int year, int month, int day);
// EstimatedSize: kilobytes, rounded up (the list shows the value in KB).
uint32_t EstimatedSizeKB(uint64_t bytes);
// The file that a DisplayIcon value names: without a trailing ",N" icon
// index and without the double quotes around the path.
std::string IconFilePart(const std::string& displayIcon);

// Text for a batch file line in which cmd must not expand anything: every
// "%" doubled.
std::string EscapeForBatch(const std::string& text);

// One thing the self-removal batch removes: a file ("del") or an empty
// folder ("rd").
struct RemovalStep {
    bool folder = false;
    std::string path;
};

// What the self-removal batch does once the uninstaller has ended, as data:
// the batch text is rendered from it, and a machine on which the program has
// ended already can carry it out as it stands.
struct SelfRemovalPlan {
    std::string workFolder;    // the batch's own private folder, where it runs
    std::string batch;         // the batch file itself, in workFolder
    std::string systemFolder;  // where the one program it runs (ping.exe) is taken from
    // In order. The first deletes the uninstaller, which the batch waits for
    // (it is still ending when the batch starts); the steps from the batch
    // file on run from the system folder, on the batch's last line.
    std::vector<RemovalStep> steps;
};

// How often (once a second) the batch tries to delete the uninstaller
// before it goes on without it.
constexpr int kDeleteBatchTries = 30;

// The batch text: CP932 lines, each ended by CR LF.
std::string BuildDeleteBatch(const SelfRemovalPlan& plan);

}  // namespace RunPath
