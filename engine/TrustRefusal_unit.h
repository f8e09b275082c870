#pragma once
// What the user is told when the folder-trust rule (platform/FolderTrust.h)
// refuses a folder or file: one text per reason, for the location page, the
// installation run and the uninstaller alike. The box that shows it is an
// error box captioned with the application title.
#include <string>

#include "platform/FolderTrust.h"

// What the refused folder or file was to be.
enum TTrustUse {
    tuInstallLocation,  // the installation folder (the location page, the run)
    tuUninstaller,      // the uninstaller's folder, itself or its project copy
};

// "次のフォルダは他のユーザーが変更できるため、インストール先にできません。"
// followed by the path that failed. isFile: the verdict's path is a file
// (the uninstaller or its project copy), not a folder. "" for a trusted verdict.
std::string TrustRefusalText(const plat::TrustVerdict& verdict, TTrustUse use, bool isFile = false);
