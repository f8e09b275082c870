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

// LoadLibraryExA of the system folder's copy, with LOAD_WITH_ALTERED_SEARCH_PATH
// so that the DLLs it needs in turn are looked for beside it first.
// nullptr when it cannot be loaded.
HMODULE LoadSystemLibrary(const char* name);

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
