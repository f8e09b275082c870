// Program entry: one executable is both the installer and the uninstaller;
// the project file beside it decides which. It takes no arguments.
#include <windows.h>

#include "platform/System.h"
#include "platform/Window.h"
#include "ui/SetupMain_unit.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
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
