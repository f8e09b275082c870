#include "platform/win32/SystemLibrary.h"

namespace plat::win32 {

std::string SystemFilePath(const char* name) {
    char folder[MAX_PATH] = {};
    UINT n = GetSystemDirectoryA(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return std::string();
    std::string path(folder, n);
    if (path.back() != '\\') path += '\\';
    return path + name;
}

HMODULE LoadSystemLibrary(const char* name) {
    std::string path = SystemFilePath(name);
    if (path.empty()) return nullptr;
    return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace plat::win32
