// The elevated installer as a way in: what a same-user attacker can plant
// beside Setup.exe or in the user's temporary folder must never be loaded or
// run by it, the running Setup.exe cannot be swapped for another program, and
// a folder others may change is refused.
//
// Under Wine, uxtheme.dll and version.dll planted beside a program are loaded
// by Wine's own DLLs while the process starts, before the program's entry
// runs: nothing the program does can show their fix here, so they are not
// tested. On Windows the start-up hardening covers them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/Security.h"
#include "support/Driver.h"

namespace {

constexpr DWORD kWait = 30000;

const char kLocationProject[] =
    "[Project Property]\r\nInstallMode=0\r\nName1=Planting\r\n"
    "[Copy File]\r\nDirectorySwitch=0\r\nInitDirectory=1\r\nSubDirectory=C:\\Orvane planting\r\n"
    "[UnInstall Property]\r\nUnInstallKey=OrvanePlanting\r\nUnInstallName=Planting\r\n";

std::string PlantedDll() { return e2e::BuildPath("tests\\e2e\\planted\\MPR.dll"); }

// Starts the package's Setup.exe and presses Next until the location page shows.
void StartAtLocationPage(e2e::ChildProcess& setup, const std::string& folder, HWND& form) {
    ASSERT_TRUE(setup.Start(folder + "\\Setup.exe", folder));
    form = e2e::WaitForForm(setup.Id(), "SetupMainForm", kWait);
    ASSERT_NE(form, nullptr) << "the wizard did not appear";
    auto shown = [&] { return e2e::IsVisible(e2e::FindControl(form, "LocationSheet")); };
    for (int i = 0; i < 4 && !shown(); ++i) {
        e2e::Click(e2e::FindControl(form, "NextButton"));
        e2e::WaitUntil(shown, 2000);
    }
    ASSERT_TRUE(shown());
}

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
    HWND form = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartAtLocationPage(setup, folder, form));

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

// Windows lets a running program be renamed; Setup.exe holds its own file
// open sharing reads only, so that nobody can rename or replace it while the
// wizard waits, and the uninstaller copied at the end is this very program.
TEST(OwnProgram, TheRunningSetupCannotBeRenamedOrReplaced) {
    std::string folder = e2e::MakeProjectFolder("own-program", kLocationProject);
    ASSERT_FALSE(folder.empty());
    const std::string exe = folder + "\\Setup.exe";
    const std::string moved = folder + "\\Setup.moved.exe";

    e2e::ChildProcess setup;
    ASSERT_TRUE(setup.Start(exe, folder));
    HWND form = e2e::WaitForForm(setup.Id(), "SetupMainForm", kWait);
    ASSERT_NE(form, nullptr) << "the wizard did not appear";
    EXPECT_FALSE(MoveFileA(exe.c_str(), moved.c_str())) << "renamed while running";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    HANDLE write = CreateFileA(exe.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(write, INVALID_HANDLE_VALUE) << "opened for writing while running";
    if (write != INVALID_HANDLE_VALUE) CloseHandle(write);
    EXPECT_FALSE(DeleteFileA(exe.c_str()));

    e2e::Click(e2e::FindControl(form, "CancelButton"));
    HWND question = e2e::WaitForDialog(setup.Id(), kWait);
    ASSERT_NE(question, nullptr);
    ASSERT_TRUE(e2e::PressDialogButton(question, "はい(&Y)"));
    DWORD code = 1;
    ASSERT_TRUE(setup.WaitExit(kWait, code));
    // Once it has ended the same rename goes through: the program's own hold
    // was what refused it.
    EXPECT_TRUE(MoveFileA(exe.c_str(), moved.c_str())) << GetLastError();
}

bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// The Unix path of a Windows path, through Wine's kernel32.
std::string UnixPath(const std::string& path) {
    using Fn = char*(CDECL*)(const wchar_t*);
    auto toUnix = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    wchar_t wide[MAX_PATH];
    if (!toUnix || !MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH)) return "";
    char* unix = toUnix(wide);
    if (!unix) return "";
    std::string out = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return out;
}

// Starts a Unix program from Wine (no spaces in its arguments). Wine gives no
// handle to wait on: the caller waits for its effect.
bool RunUnix(const std::string& commandLine) {
    std::string line = commandLine;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

std::string Descriptor(const std::string& path) {
    const plat::SecurityFacts f = plat::ReadSecurityFacts(path);
    char attributes[16];
    std::snprintf(attributes, sizeof attributes, "0x%lx", static_cast<unsigned long>(f.attributes));
    return "O:" + f.owner + f.dacl + " attributes " + attributes;
}

// Wine keeps no access rules: it reads a DACL off the Unix mode. A folder
// whose "other" bits allow writing (0777) reads as Everyone modify
// (0x1301ff), a symbolic link as a reparse point; the rule refuses both.
// Wine's own folders (0755) and the default location pass.
TEST(FolderTrust, WineReportsWhatOthersMayChangeAndTheRuleRefusesIt) {
    if (!RunningUnderWine()) GTEST_SKIP() << "the Unix side is Wine's";
    const std::string base = "C:\\orvane-trust-e2e";
    e2e::RemoveTree(base);
    ASSERT_TRUE(e2e::MakeFolders(base + "\\open\\App"));
    ASSERT_TRUE(e2e::MakeFolders(base + "\\target\\App"));
    const std::string unixBase = UnixPath(base);
    ASSERT_FALSE(unixBase.empty());
    for (const char* path : {"C:\\", "C:\\Program Files", "C:\\orvane-trust-e2e\\open"}) {
        const plat::TrustVerdict v = plat::JudgeFolderChain(path);
        EXPECT_TRUE(v.Trusted()) << v.Reason();
        std::printf("%s: %s\n", path, Descriptor(path).c_str());
    }

    ASSERT_TRUE(RunUnix("/bin/chmod 0777 " + unixBase + "/open"));
    ASSERT_TRUE(RunUnix("/bin/ln -s " + unixBase + "/target " + unixBase + "/link"));
    ASSERT_TRUE(e2e::WaitUntil([&] {
        return plat::ReadSecurityFacts(base + "\\open").dacl.find(";;;WD)") != std::string::npos &&
               plat::ReadSecurityFacts(base + "\\open").dacl.find("0x1200a9;;;WD") == std::string::npos &&
               e2e::FolderExists(base + "\\link\\App");
    }, kWait)) << Descriptor(base + "\\open");
    std::printf("mode 0777: %s\n", Descriptor(base + "\\open").c_str());
    std::printf("symbolic link: %s\n", Descriptor(base + "\\link").c_str());

    struct Case {
        std::string path;
        plat::TrustProblem problem;
        std::string failing, who;
    };
    const Case cases[] = {
        {base + "\\open\\App", plat::TrustProblem::WritableByOthers, base + "\\open", "S-1-1-0"},
        {base + "\\link\\App", plat::TrustProblem::ReparsePoint, base + "\\link", ""},
        {base + "\\target\\App", plat::TrustProblem::None, base + "\\target\\App", ""},
    };
    for (const Case& c : cases) {
        const plat::TrustVerdict v = plat::JudgeFolderChain(c.path);
        EXPECT_EQ(static_cast<int>(v.problem), static_cast<int>(c.problem)) << c.path << ": " << v.Reason();
        EXPECT_EQ(v.path, c.failing) << c.path;
        EXPECT_EQ(v.who, c.who) << c.path;
    }
    // The link itself goes first, not what it points to.
    ASSERT_TRUE(RunUnix("/bin/rm " + unixBase + "/link"));
    ASSERT_TRUE(e2e::WaitUntil([&] { return !e2e::FolderExists(base + "\\link"); }, kWait));
    e2e::RemoveTree(base);
}

// The real Setup.exe refuses such a folder at Next on the location page: the
// error box captioned with the application title names it, and the page stays.
TEST(FolderTrust, TheLocationPageRefusesAFolderOthersMayChange) {
    if (!RunningUnderWine()) GTEST_SKIP() << "the folder is opened through Wine's Unix side";
    const std::string base = "C:\\orvane-trust-page";
    e2e::RemoveTree(base);
    ASSERT_TRUE(e2e::MakeFolders(base + "\\open"));
    ASSERT_TRUE(RunUnix("/bin/chmod 0777 " + UnixPath(base + "\\open")));
    ASSERT_TRUE(e2e::WaitUntil([&] {
        return plat::JudgeFolderChain(base + "\\open").problem == plat::TrustProblem::WritableByOthers;
    }, kWait)) << Descriptor(base + "\\open");
    const std::string project =
        "[Project Property]\r\nInstallMode=0\r\nName1=Trust\r\n"
        "[Copy File]\r\nDirectorySwitch=0\r\nInitDirectory=1\r\nSubDirectory=" + base + "\\open\\App\r\n"
        "[UnInstall Property]\r\nUnInstallKey=OrvaneTrustPage\r\nUnInstallName=Trust\r\n";
    std::string folder = e2e::MakeProjectFolder("trust-page", project);
    ASSERT_FALSE(folder.empty());

    e2e::ChildProcess setup;
    HWND form = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartAtLocationPage(setup, folder, form));
    EXPECT_EQ(e2e::Text(e2e::FindControl(form, "LocationEdit")), base + "\\open\\App");

    e2e::Click(e2e::FindControl(form, "NextButton"));
    HWND box = e2e::WaitForDialog(setup.Id(), kWait);
    ASSERT_NE(box, nullptr) << "no refusal";
    e2e::MessageDialog md;
    ASSERT_TRUE(e2e::ReadMessageDialog(box, md));
    EXPECT_EQ(md.caption, "Orvane");
    EXPECT_EQ(md.text, "次のフォルダは他のユーザーが変更できるため、インストール先にできません。\n\n" + base + "\\open");
    EXPECT_EQ(md.buttons, std::vector<std::string>{"OK"});
    e2e::SaveScreenshot(box, e2e::ScreenshotPath("trust_refusal.png"));
    ASSERT_TRUE(e2e::PressDialogButton(box, "OK"));
    ASSERT_TRUE(e2e::WaitGone(box, kWait));
    EXPECT_TRUE(e2e::IsVisible(e2e::FindControl(form, "LocationSheet"))) << "the page did not stay";
    EXPECT_FALSE(e2e::FolderExists(base + "\\open\\App"));

    e2e::Click(e2e::FindControl(form, "CancelButton"));
    HWND question = e2e::WaitForDialog(setup.Id(), kWait);
    ASSERT_NE(question, nullptr);
    ASSERT_TRUE(e2e::PressDialogButton(question, "はい(&Y)"));
    DWORD code = 1;
    ASSERT_TRUE(setup.WaitExit(kWait, code));
    ASSERT_TRUE(RunUnix("/bin/chmod 0755 " + UnixPath(base + "\\open")));
    e2e::RemoveTree(base);
}

}  // namespace

int main(int argc, char** argv) { return e2e::RunAllTests(argc, argv); }
