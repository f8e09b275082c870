#pragma once
// A new version over an old one: the installation of the same
// "UnInstallKey" that is on the machine already, as its registration tells,
// and the records of its uninstaller's project copy that the new project no
// longer has. The new uninstaller carries those records, so that one
// uninstallation removes what either version installed.
#include <functional>
#include <string>
#include <vector>

#include "engine/SetupEngine_unit.h"

class TProjectProperty;

struct TPreviousInstallation {
    bool registered = false;  // the key is there
    // "InstallLocation", or the folder of the uninstaller for entries written
    // before that value existed.
    std::string folder;
    std::string uninstaller;  // "UninstallString" without its quotes
    // The folder still holds the registered uninstaller: only then is the
    // entry taken for an installation that is still there.
    bool present = false;
};

// Reads the registration of the key (an "UnInstallKey") below the list of
// installed programs; plain reads, nothing is written.
TPreviousInstallation FindPreviousInstallation(const std::string& uninstallKey);

// The two texts name the same file or folder by Windows' path rules.
bool SamePath(const std::string& a, const std::string& b);

// How many records of each kind were carried.
struct TCarriedRecords {
    int folders = 0, files = 0, shortcuts = 0;
    int Total() const { return folders + files + shortcuts; }
};

// Adds to copy the folder, copy and shortcut records of previous whose
// expanded destination no record of copy has; for a destination both have,
// copy's record stays as it is. Carried records keep their fields as the
// previous version wrote them (DeleteMode, KeepOnUninstall, keywords).
// A record whose path does not expand on this machine (expand raises) was
// never installed here and is not carried. carriedFrom, when given,
// receives the carried records as records of previous.
TCarriedRecords CarryPreviousRecords(TProjectProperty& copy, const TProjectProperty& previous,
                                     const std::function<std::string(const std::string&)>& expand,
                                     std::vector<TRecordRef>* carriedFrom = nullptr);
