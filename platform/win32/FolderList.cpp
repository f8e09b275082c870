// Folder listing through FindFirstFileA / FindNextFileA.
#include <windows.h>

#include "platform/FolderList.h"

namespace plat {

bool ListFolder(const std::string& folder, std::vector<FindData>& entries) {
    entries.clear();
    // Whether the folder ends in a separator is told by its last character:
    // its last byte may be the 0x5C trail byte of a double-byte one (表).
    bool separated = folder.empty();
    for (size_t i = 0; i < folder.size();) {
        const size_t length = (IsDBCSLeadByte(static_cast<BYTE>(folder[i])) && i + 1 < folder.size()) ? 2 : 1;
        separated = length == 1 && (folder[i] == '\\' || folder[i] == '/' || folder[i] == ':');
        i += length;
    }
    const std::string pattern = folder + (separated ? "*" : "\\*");
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(pattern.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) {
        // An empty drive root has no entries at all.
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    bool ok = true;
    do {
        std::string name = fd.cFileName;
        if (name == "." || name == "..") continue;
        entries.push_back(FindData{name, fd.cAlternateFileName, fd.dwFileAttributes});
    } while (FindNextFileA(h, &fd));
    if (GetLastError() != ERROR_NO_MORE_FILES) ok = false;
    FindClose(h);
    return ok;
}

}  // namespace plat
