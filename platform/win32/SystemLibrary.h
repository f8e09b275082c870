#pragma once
// DLLs that are not KnownDLLs come from the system folder by full path. The
// program runs elevated from folders that users download into: a bare name
// would let such a folder supply the DLL.
#include <windows.h>

#include <string>

#include "platform/UniqueHandle.h"

namespace plat::win32 {

// "<system folder>\name", or "" when the system folder cannot be read.
std::string SystemFilePath(const char* name);

// LoadLibraryExA of the system folder's copy. Where the system has
// LOAD_LIBRARY_SEARCH_SYSTEM32 (Windows 8 on, 7 and Vista with their loader
// update) the DLLs it needs in turn come from the system folder only; before
// that, LOAD_WITH_ALTERED_SEARCH_PATH looks for them beside it first (a
// dependency missing there would fall through to the search path, which is
// why the newer flag is taken wherever it exists). nullptr when it cannot be
// loaded.
HMODULE LoadSystemLibrary(const char* name);

// GetModuleFileNameA with a buffer that grows until the whole path fits, from
// firstSize bytes on: a program may lie deeper than MAX_PATH. "" only when
// the call fails.
std::string ModuleFileName(HMODULE module, DWORD firstSize = MAX_PATH + 1);

struct ModuleTraits {
    using Type = HMODULE;
    static Type Invalid() { return nullptr; }
    static void Close(Type module) { FreeLibrary(module); }
};

// A system DLL loaded for as long as the object lives.
class SystemLibrary {
public:
    explicit SystemLibrary(const char* name) : module_(LoadSystemLibrary(name)) {}
    // The function of that name as type Fn, or nullptr.
    template <typename Fn>
    Fn Proc(const char* name) const {
        return module_ ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_.Get(), name)))
                       : nullptr;
    }

private:
    UniqueHandle<ModuleTraits> module_;
};

}  // namespace plat::win32
