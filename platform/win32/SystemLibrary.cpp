#include "platform/win32/SystemLibrary.h"

#include <vector>

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
    // AddDllDirectory comes with the LOAD_LIBRARY_SEARCH_* flags: where it
    // exists, the loader knows them.
    constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
    static const bool searchFlags = GetProcAddress(GetModuleHandleA("kernel32.dll"), "AddDllDirectory") != nullptr;
    return LoadLibraryExA(path.c_str(), nullptr, searchFlags ? kSearchSystem32 : LOAD_WITH_ALTERED_SEARCH_PATH);
}

std::string ModuleFileName(HMODULE module, DWORD firstSize) {
    // Paths of the A functions are at most 32767 characters, two bytes each.
    constexpr DWORD kLongest = 65536;
    for (DWORD size = firstSize < 2 ? 2 : firstSize;; size *= 2) {
        if (size > kLongest) size = kLongest;
        std::vector<char> buffer(size);
        // A path that does not fit comes back cut to the buffer's size (and
        // unterminated on XP): only a shorter answer is the whole path.
        DWORD n = GetModuleFileNameA(module, buffer.data(), size);
        if (n == 0) return std::string();
        if (n < size) return std::string(buffer.data(), n);
        if (size == kLongest) return std::string();
    }
}

}  // namespace plat::win32
