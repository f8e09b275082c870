#pragma once
// Files that the installation copies ("Copy File" records).
#include <cstdint>
#include <string>

#include "project/OwnedList.h"

// What the uninstallation does with a copied file.
enum TDeleteMode { dmDelete = 0, dmLeave = 1, dmAsk = 2 };

struct TCopyFile {
    std::string SourceFile;  // used as written, relative to the installer's folder
    std::string DestFile;    // may begin with a folder keyword
    uint8_t DeleteMode = dmDelete;  // a TDeleteMode; other values delete too
};

using TCopyFiles = TOwnedList<TCopyFile>;
