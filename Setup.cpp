// Program entry: one executable is both the installer and the uninstaller;
// the project file beside it decides which. It takes no arguments.
#include <windows.h>

#include "platform/FileSystem.h"
#include "platform/System.h"
#include "platform/Window.h"
#include "platform/win32/SystemLibrary.h"
#include "ui/SetupMain_unit.h"

namespace {

// The program runs elevated and is started from folders that its user can
// write to (a download folder), and the current folder may be anywhere: no
// DLL may come from either. Only KnownDLLs are imported; this closes the
// searches that come later. It runs before any window exists.
void HardenLibraryLoading() {
    // The current folder leaves the DLL search path.
    SetDllDirectoryW(L"");
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    // Where it exists (Windows 8 on, 7 and Vista with their loader update),
    // a DLL loaded without a path is looked for in the system folder only.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
    auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault) setDefault(kSearchSystem32);
    // SearchPath, which system code uses to find files by name, looks in the
    // current folder last, for the rest of the process.
    using SetSearchPathModeFn = BOOL(WINAPI*)(DWORD);
    constexpr DWORD kSafeSearchPermanent = 0x00000001 | 0x00008000;
    auto setSearchMode = reinterpret_cast<SetSearchPathModeFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetSearchPathMode")));
    if (setSearchMode) setSearchMode(kSafeSearchPermanent);
    // System DLLs load these by name later (the visual style, the shell's
    // dialogs, COM, security): on a system without the restriction above they
    // would be looked for beside the program first. Loaded now from the system
    // folder, they are found in memory then. Each stays loaded until the end.
    for (const char* name : {"uxtheme.dll", "version.dll", "dwmapi.dll", "cryptbase.dll",
                             "userenv.dll", "setupapi.dll", "apphelp.dll", "propsys.dll",
                             "oleacc.dll", "clbcatq.dll", "ntmarta.dll"}) {
        plat::win32::LoadSystemLibrary(name);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Before anything else: from here on nobody can rename or replace the
    // program's file, which the installation copies as the uninstaller.
    plat::HoldOwnProgram();
    HardenLibraryLoading();
    plat::InitializeCom();
    plat::SetApplicationTitle("Orvane");
    int exitCode = 0;
    {
        // The form's close runs FormClose and then its destruction
        // (FormDestroy), which ends the message loop; the object itself goes
        // at the end of this block, after the loop.
        TSetupMainForm form;
        plat::RunHandler([&] { form.FormCreate(); });
        if (!form.Terminated() && form.Shown()) plat::RunMessageLoop();
    }
    plat::UninitializeCom();
    return exitCode;
}
