// The elevated installer as a way in: what a same-user attacker can plant
// beside Setup.exe or in the user's temporary folder must never be loaded or
// run by it.
//
// Under Wine, uxtheme.dll and version.dll planted beside a program are loaded
// by Wine's own DLLs while the process starts, before the program's entry
// runs: nothing the program does can show their fix here, so they are not
// tested. On Windows the start-up hardening covers them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/Driver.h"

namespace {

constexpr DWORD kWait = 30000;

const char kLocationProject[] =
    "[Project Property]\r\nInstallMode=0\r\nName1=Planting\r\n"
    "[Copy File]\r\nDirectorySwitch=0\r\nInitDirectory=1\r\nSubDirectory=C:\\Orvane planting\r\n"
    "[UnInstall Property]\r\nUnInstallKey=OrvanePlanting\r\nUnInstallName=Planting\r\n";

std::string PlantedDll() { return e2e::BuildPath("tests\\e2e\\planted\\MPR.dll"); }

// The test runs with native DLLs preferred for MPR (WINEDLLOVERRIDES=mpr=n,b,
// set by CTest: Wine takes it from the environment the process starts with,
// and children inherit it). Wine then looks for MPR.dll in the program's
// folder first, as Windows does for a DLL that is not a KnownDLL.
TEST(DllPlanting, TheMarkerDllIsLoadedWhereTheSearchFindsIt) {
    // The check below means something only if a planted MPR.dll that the
    // search finds is loaded and leaves its marker: so it is here.
    std::string folder = e2e::FreshFolder("planting-control");
    ASSERT_FALSE(folder.empty());
    std::string dll = folder + "\\MPR.dll";
    ASSERT_TRUE(CopyFileA(PlantedDll().c_str(), dll.c_str(), FALSE)) << PlantedDll();
    HMODULE h = LoadLibraryA(dll.c_str());
    ASSERT_NE(h, nullptr);
    FreeLibrary(h);
    EXPECT_TRUE(e2e::FileExists(dll + ".loaded"))
        << "no marker: run with WINEDLLOVERRIDES=mpr=n,b, or the test below shows nothing";
}

TEST(DllPlanting, AnMprDllBesideSetupIsNeverLoaded) {
    std::string folder = e2e::MakeProjectFolder("planting", kLocationProject);
    ASSERT_FALSE(folder.empty());
    std::string dll = folder + "\\MPR.dll";
    ASSERT_TRUE(CopyFileA(PlantedDll().c_str(), dll.c_str(), FALSE));

    e2e::ChildProcess setup;
    ASSERT_TRUE(setup.Start(folder + "\\Setup.exe", folder));
    HWND form = e2e::WaitForForm(setup.Id(), "SetupMainForm", kWait);
    ASSERT_NE(form, nullptr) << "the wizard did not appear";
    auto shown = [&](const char* page) { return e2e::IsVisible(e2e::FindControl(form, page)); };
    for (int i = 0; i < 4 && !shown("LocationSheet"); ++i) {
        e2e::Click(e2e::FindControl(form, "NextButton"));
        e2e::WaitUntil([&] { return shown("LocationSheet"); }, 2000);
    }
    ASSERT_TRUE(shown("LocationSheet"));

    // The folder dialog is where the network functions come in.
    e2e::Click(e2e::FindControl(form, "BrowsButton"));
    HWND dialog = e2e::WaitForDialog(setup.Id(), kWait);
    ASSERT_NE(dialog, nullptr) << "the folder dialog did not open";
    e2e::Click(e2e::FindControl(dialog, "CancelButton"));
    ASSERT_TRUE(e2e::WaitGone(dialog, kWait));

    e2e::Click(e2e::FindControl(form, "CancelButton"));
    HWND question = e2e::WaitForDialog(setup.Id(), kWait);
    ASSERT_NE(question, nullptr);
    ASSERT_TRUE(e2e::PressDialogButton(question, "はい(&Y)"));
    DWORD code = 1;
    ASSERT_TRUE(setup.WaitExit(kWait, code));
    EXPECT_FALSE(e2e::FileExists(dll + ".loaded")) << "Setup.exe loaded the MPR.dll planted beside it";
}

}  // namespace

int main(int argc, char** argv) { return e2e::RunAllTests(argc, argv); }
