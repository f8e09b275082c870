#pragma once
// Listing a whole folder, for the project authors' tool, which walks payload
// folders. The installer itself only ever looks up single names.
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace plat {

// Every entry of the folder ("." and ".." left out), in no particular order.
// False when the folder does not exist or cannot be read.
bool ListFolder(const std::string& folder, std::vector<FindData>& entries);

}  // namespace plat
