#pragma once
// A new version over an old one, for authors: `verify NEW --over OLD` runs
// the installer's own engine on the simulated machine (OLD installed, NEW
// installed into the folder it proposes, then NEW's uninstaller), and
// `check NEW --over OLD` names each destination of OLD that NEW drops, which
// the new uninstaller carries and removes.
#include <string>

#include "tools/setupproj/Commands.h"
#include "tools/setupproj/Findings.h"
#include "tools/setupproj/Verify.h"

namespace setupproj {

// Both projects' bytes (CP932). Returns the exit status: 0 nothing of either
// version is left, 1 only what a project keeps, 2 a failure or anything else.
int VerifyOver(const ProjectInput& newer, const std::string& olderPath, const VerifyOptions& options,
               std::string& report);

// Warnings, at OLD's lines, for each folder, file and shortcut of OLD that NEW
// does not list (by expanded destination, as the installer compares them).
Findings DroppedByNewer(const std::string& newerBytes, const std::string& olderBytes);

}  // namespace setupproj
