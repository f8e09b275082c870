#pragma once
// Folders that the installation creates ("Make Folder" records).
#include <cstdint>
#include <string>

#include "project/OwnedList.h"

struct TMakeFolder {
    std::string FolderPath;       // may begin with a folder keyword
    uint8_t KeepOnUninstall = 0;  // not 0: the uninstallation leaves the folder
};

using TMakeFolders = TOwnedList<TMakeFolder>;
