// Folder listing through FindFirstFileA / FindNextFileA.
#include <windows.h>

#include "platform/FolderList.h"

namespace plat {

bool ListFolder(const std::string& folder, std::vector<FindData>& entries) {
    entries.clear();
    std::string pattern = folder;
    if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/' && pattern.back() != ':') {
        pattern += '\\';
    }
    pattern += "*";
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
