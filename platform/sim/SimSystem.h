#pragma once
// Test control of the sim system services: the Windows and system folders,
// COM, the shell link object, the screen.
//
// Saved links are files in the sim file system (so copying, deleting and
// locking them works as for any file); DecodeLink reads such a file's bytes back.
#include <string>
#include <vector>

#include "platform/FolderTrust.h"
#include "platform/System.h"

namespace sim {

void ResetSystem();

// The answers of QueryWindowsFolder / QuerySystemFolder (C:\Windows and
// C:\Windows\system32 by default); failing makes the query answer false.
// QuerySystemWindowsFolder always answers C:\Windows, as the system's own
// does where GetWindowsDirectory answers a folder of the user's (a terminal
// server); FailWindowsFolder fails it too.
void SetWindowsFolder(const std::string& folder);
void SetSystemFolder(const std::string& folder);
void FailWindowsFolder(bool fail = true);
void FailSystemFolder(bool fail = true);

// Who the program runs as (plat::CurrentIdentity): by default an elevated
// administrator on Windows with UAC, sim::descriptors::kUser, whose default
// owner is the Administrators group ("BA") and who is not trusted as himself.
void SetIdentity(const plat::TrustIdentity& identity);

// InitializeCom calls minus UninitializeCom calls.
int ComInitializations();

// When unavailable, ShellLink::Create fails (no link object on the system).
void SetLinkObjectAvailable(bool available);
// ShellLink objects alive now that hold the link object.
int LiveLinkObjects();
// What a link holds.
struct LinkFields {
    std::string path, arguments, workingDirectory, description;
    int showCmd = 0;
};
// The bytes of a saved link file, as ShellLink::Save writes them, and back:
// false for bytes that are not such a file.
std::string EncodeLink(const LinkFields& fields);
bool DecodeLink(const std::string& bytes, LinkFields& fields);

// Every line sent to the debugger output, oldest first.
const std::vector<std::string>& DebugOutput();

// The answer of plat::TodayLocal: 1 April 2026 by default.
void SetToday(const plat::LocalDate& date);

void SetScreenSize(int width, int height);  // 1024 x 768 by default

}  // namespace sim
