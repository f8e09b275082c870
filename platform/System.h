#pragma once
// Folder queries, the shell link object, starting programs, the screen.
#include <memory>
#include <string>

namespace plat {

// GetWindowsDirectoryA / GetSystemDirectoryA: false when the query fails.
bool QueryWindowsFolder(std::string& folder);
bool QuerySystemFolder(std::string& folder);
// GetSystemWindowsDirectoryA: the system's Windows folder. GetWindowsDirectoryA
// answers a folder of the user's own on a terminal server for a program not
// marked terminal-server aware; this one never does.
bool QuerySystemWindowsFolder(std::string& folder);

// COM for the user-interface thread, once at program start.
void InitializeCom();
void UninitializeCom();

// The shell's link object (IShellLinkA with IPersistFile), released on every path out.
class ShellLink {
public:
    ShellLink();
    ~ShellLink();
    ShellLink(const ShellLink&) = delete;
    ShellLink& operator=(const ShellLink&) = delete;

    // CoCreateInstance of the link object and the two interfaces; false on failure.
    bool Create();
    void SetPath(const std::string& path);
    void SetArguments(const std::string& arguments);
    void SetWorkingDirectory(const std::string& folder);
    void SetShowCmd(int showCmd);
    void SetDescription(const std::string& description);
    // IPersistFile::Save with the path converted from the ANSI code page to UTF-16.
    bool Save(const std::string& linkPath);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

constexpr int kShowNormal = 1;        // SW_SHOWNORMAL
constexpr int kShowMaximized = 3;     // SW_SHOWMAXIMIZED
constexpr int kShowMinNoActive = 7;   // SW_SHOWMINNOACTIVE

// Runs a batch file hidden through the system folder's cmd.exe, named by its
// full path ("cmd.exe /d /v:off /c "<batch>"": no AutoRun, no delayed
// expansion of "!" whatever the user's settings, no file association), in
// workFolder. False when it could not be started.
bool StartBatch(const std::string& batch, const std::string& workFolder);

// Schedules a file, or an empty folder, for deletion at the next restart
// (MoveFileExA with MOVEFILE_DELAY_UNTIL_REBOOT; it needs administrator rights).
bool DeleteAtRestart(const std::string& path);

// Hexadecimal digits from the system's random source (bytes * 2 of them), for
// names nobody can guess in advance; "" when the source fails.
std::string RandomHex(int bytes);

// A line for the debugger (OutputDebugStringA): what went wrong, for
// whoever looks into a failed run. Users never see it.
void DebugOutput(const std::string& text);

// Today's date in the machine's local time (GetLocalTime).
struct LocalDate {
    int year = 0, month = 0, day = 0;
};
LocalDate TodayLocal();

int ScreenWidth();   // GetSystemMetrics(SM_CXSCREEN)
int ScreenHeight();  // GetSystemMetrics(SM_CYSCREEN)

}  // namespace plat
