// Install, then uninstall, with the real Setup.exe in its own process, worked
// as a person works it; afterwards the machine is checked: files, attributes,
// shortcuts read back through IShellLinkA, the registration, the uninstaller's
// self-removal, and a before-and-after comparison of drive C and of the
// uninstall list.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Security.h"
#include "project/ProjectProperty_unit.h"
#include "support/Driver.h"
#include "tests/support/RoundTripProjects.h"

namespace {

constexpr DWORD kWait = 15000;
const char kListKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::string ReadRegString(HKEY root, const std::string& key, const std::string& name, bool* found = nullptr) {
    if (found) *found = false;
    HKEY h;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return "";
    char buf[2048];
    DWORD size = sizeof buf - 1, type = 0;
    LONG rc = RegQueryValueExA(h, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
    RegCloseKey(h);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return "";
    if (found) *found = true;
    buf[size] = '\0';
    return buf;
}

// A value with its type; false when it is missing.
bool ReadRegValue(HKEY root, const std::string& key, const std::string& name, DWORD& type, std::string& data) {
    HKEY h;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    BYTE buf[2048];
    DWORD size = sizeof buf;
    LONG rc = RegQueryValueExA(h, name.c_str(), nullptr, &type, buf, &size);
    RegCloseKey(h);
    if (rc != ERROR_SUCCESS) return false;
    data.assign(reinterpret_cast<char*>(buf), size);
    if ((type == REG_SZ || type == REG_EXPAND_SZ) && !data.empty() && data.back() == '\0') data.pop_back();
    return true;
}

// The bytes of every file below folder, and how many files there are.
void SizeBelow(const std::string& folder, uint64_t& bytes, int& files) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = fd.cFileName;
        if (name == "." || name == "..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            SizeBelow(folder + "\\" + name, bytes, files);
        } else {
            bytes += static_cast<uint64_t>(fd.nFileSizeHigh) << 32 | fd.nFileSizeLow;
            ++files;
        }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

std::string LocalDateText() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char text[16];
    snprintf(text, sizeof text, "%04u%02u%02u", now.wYear, now.wMonth, now.wDay);
    return text;
}

// The entry of the list of installed programs, value by value with its type.
void ExpectInstalledProgramsEntry(const std::string& key, const TProjectProperty& project, const std::string& location,
                                  const std::string& dayBefore) {
    DWORD type = 0;
    std::string data;
    auto text = [&](const char* name, const std::string& expected) {
        ASSERT_TRUE(ReadRegValue(HKEY_LOCAL_MACHINE, key, name, type, data)) << name;
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << name;
        EXPECT_EQ(data, expected) << name;
    };
    auto dword = [&](const char* name) -> DWORD {
        DWORD value = 0;
        EXPECT_TRUE(ReadRegValue(HKEY_LOCAL_MACHINE, key, name, type, data)) << name;
        EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD)) << name;
        EXPECT_EQ(data.size(), 4u) << name;
        if (data.size() == 4) memcpy(&value, data.data(), 4);
        return value;
    };
    ASSERT_FALSE(project.DisplayVersion.empty());
    text("DisplayVersion", project.DisplayVersion);
    text("Publisher", project.Publisher);
    text("DisplayIcon", "\"" + location + "\\Setup.exe\",0");
    text("InstallLocation", location);
    ASSERT_TRUE(ReadRegValue(HKEY_LOCAL_MACHINE, key, "InstallDate", type, data));
    EXPECT_TRUE(data == dayBefore || data == LocalDateText()) << data;
    uint64_t bytes = 0;
    int files = 0;
    SizeBelow(location, bytes, files);
    const double kb = static_cast<double>(bytes) / 1024;
    EXPECT_NEAR(static_cast<double>(dword("EstimatedSize")), kb, files) << bytes << " bytes in " << files << " files";
    EXPECT_EQ(dword("NoModify"), 1u);
    EXPECT_EQ(dword("NoRepair"), 1u);
    EXPECT_FALSE(ReadRegValue(HKEY_LOCAL_MACHINE, key, "QuietUninstallString", type, data));
    EXPECT_FALSE(ReadRegValue(HKEY_LOCAL_MACHINE, key, "URLInfoAbout", type, data));
}

bool KeyExists(HKEY root, const std::string& key) {
    HKEY h;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    RegCloseKey(h);
    return true;
}

// Every key below the uninstall list with its values, as lines.
std::vector<std::string> UninstallList() {
    std::vector<std::string> lines;
    HKEY list;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kListKey, 0, KEY_READ, &list) != ERROR_SUCCESS) return lines;
    for (DWORD i = 0;; ++i) {
        char name[512];
        DWORD len = sizeof name;
        if (RegEnumKeyExA(list, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        lines.push_back(name);
        HKEY sub;
        if (RegOpenKeyExA(list, name, 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
        for (DWORD v = 0;; ++v) {
            char vname[512];
            BYTE data[4096];
            DWORD vlen = sizeof vname, dlen = sizeof data, type = 0;
            if (RegEnumValueA(sub, v, vname, &vlen, nullptr, &type, data, &dlen) != ERROR_SUCCESS) break;
            lines.push_back(std::string(name) + " [" + vname + "] " + std::to_string(type) + ":" +
                            std::string(reinterpret_cast<char*>(data), dlen));
        }
        RegCloseKey(sub);
    }
    RegCloseKey(list);
    std::sort(lines.begin(), lines.end());
    return lines;
}

// Every folder and file of drive C with its size, attributes and write time.
void Walk(const std::string& folder, std::map<std::string, std::string>& out) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = fd.cFileName;
        if (name == "." || name == "..") continue;
        std::string path = folder + "\\" + name;
        bool dir = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        out[path] = dir ? "dir" : std::to_string(fd.nFileSizeLow) + " " + std::to_string(fd.dwFileAttributes) +
                                     " " + std::to_string(fd.ftLastWriteTime.dwLowDateTime);
        if (dir && !(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) Walk(path, out);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

std::map<std::string, std::string> DriveC() {
    std::map<std::string, std::string> tree;
    Walk("C:", tree);
    return tree;
}

// "+ path", "- path", "~ path" between two walks.
std::vector<std::string> Differences(const std::map<std::string, std::string>& before,
                                     const std::map<std::string, std::string>& after) {
    std::vector<std::string> out;
    for (const auto& [path, what] : after) {
        auto it = before.find(path);
        if (it == before.end()) out.push_back("+ " + path);
        else if (it->second != what) out.push_back("~ " + path);
    }
    for (const auto& [path, what] : before) {
        if (!after.count(path)) out.push_back("- " + path);
    }
    std::sort(out.begin(), out.end());
    return out;
}

struct Link {
    std::string path, arguments, workingDirectory, description;
    int showCmd = 0;
};

// The shortcut as the shell reads it, through IShellLinkA and IPersistFile.
bool ReadLink(const std::string& file, Link& link) {
    IShellLinkA* sl = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&sl)))) {
        return false;
    }
    IPersistFile* pf = nullptr;
    bool ok = SUCCEEDED(sl->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&pf)));
    if (ok) {
        wchar_t wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
        ok = SUCCEEDED(pf->Load(wide, STGM_READ));
    }
    if (ok) {
        char buf[MAX_PATH * 2];
        sl->GetPath(buf, sizeof buf, nullptr, 0);
        link.path = buf;
        sl->GetArguments(buf, sizeof buf);
        link.arguments = buf;
        sl->GetWorkingDirectory(buf, sizeof buf);
        link.workingDirectory = buf;
        sl->GetDescription(buf, sizeof buf);
        link.description = buf;
        sl->GetShowCmd(&link.showCmd);
    }
    if (pf) pf->Release();
    sl->Release();
    // Wine's link object does not take the show command over from the file it
    // loads (GetShowCmd answers SW_SHOWNORMAL after Load, whatever was saved),
    // so it is read from the file's header: ShowCommand at offset 0x3C.
    std::string bytes;
    if (ok && e2e::ReadFileBytes(file, bytes) && bytes.size() >= 0x40) {
        link.showCmd = static_cast<unsigned char>(bytes[0x3C]) | static_cast<unsigned char>(bytes[0x3D]) << 8;
    }
    return ok;
}

std::string ShellFolder(const char* name) {
    return ReadRegString(HKEY_CURRENT_USER,
                         "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", name);
}

// The project's keywords as the run expands them (the ones the test projects use).
std::string Expand(const std::string& path, const std::string& installFolder) {
    struct Keyword {
        std::string keyword, folder;
    };
    const Keyword keywords[] = {
        {"[Install Folder]", installFolder},
        {"スタート\\プログラム", ShellFolder("Programs")},
        {"デスクトップ", ShellFolder("Desktop")},
    };
    for (const Keyword& k : keywords) {
        if (path.compare(0, k.keyword.size(), k.keyword) == 0 &&
            (path.size() == k.keyword.size() || path[k.keyword.size()] == '\\')) {
            return k.folder + path.substr(k.keyword.size());
        }
    }
    return path;
}

// The names in a folder that match pattern ("*" for all).
std::vector<std::string> Names(const std::string& folder, const char* pattern = "*") {
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\" + pattern).c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = fd.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

std::string UserTemp() {
    char temp[MAX_PATH];
    DWORD n = GetTempPathA(MAX_PATH, temp);
    std::string folder(temp, n);
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder;
}

std::string WindowsTemp() {
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    return std::string(windows) + "\\Temp";
}

// The self-removal batches' private folders.
std::vector<std::string> PrivateFolders() { return Names(WindowsTemp(), "Orvane-*"); }

bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// What waits for deletion at the next restart, without the "\??\" prefix.
std::vector<std::string> PendingDeletes() {
    std::vector<std::string> paths;
    HKEY h;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0, KEY_READ,
                      &h) != ERROR_SUCCESS) {
        return paths;
    }
    std::vector<char> data(1 << 16);
    DWORD size = static_cast<DWORD>(data.size()) - 2, type = 0;
    LONG rc = RegQueryValueExA(h, "PendingFileRenameOperations", nullptr, &type,
                               reinterpret_cast<BYTE*>(data.data()), &size);
    RegCloseKey(h);
    if (rc != ERROR_SUCCESS || type != REG_MULTI_SZ) return paths;
    // Pairs of source and target; an empty target means deletion.
    std::vector<std::string> strings;
    for (size_t i = 0; i < size && data[i];) {
        std::string one(&data[i]);
        strings.push_back(one);
        i += one.size() + 1;
        if (i < size && !data[i]) {
            strings.push_back("");
            ++i;
        }
    }
    for (size_t i = 0; i + 1 < strings.size(); i += 2) {
        std::string from = strings[i];
        if (from.rfind("\\??\\", 0) == 0) from.erase(0, 4);
        if (strings[i + 1].empty()) paths.push_back(from);
    }
    return paths;
}

bool SamePath(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

bool ScheduledForRestart(const std::string& path) {
    for (const std::string& p : PendingDeletes()) {
        if (SamePath(p, path)) return true;
    }
    return false;
}

// Drops the private folders from a list of differences, checking each: empty
// (its batch deleted itself) and scheduled for deletion at the next restart,
// batch included. Wine's cmd keeps its batch open until it ends, so the
// batch's last line cannot remove the folder there; Windows' cmd can.
std::vector<std::string> WithoutScheduledLeftovers(std::vector<std::string> differences) {
    const std::string prefix = "+ " + WindowsTemp() + "\\Orvane-";
    std::vector<std::string> rest;
    for (const std::string& d : differences) {
        if (d.size() <= prefix.size() || !SamePath(d.substr(0, prefix.size()), prefix)) {
            rest.push_back(d);
            continue;
        }
        const std::string folder = d.substr(2);
        EXPECT_EQ(Names(folder), std::vector<std::string>()) << folder << " is not empty";
        EXPECT_TRUE(ScheduledForRestart(folder)) << folder << " is not scheduled for the restart";
        EXPECT_TRUE(ScheduledForRestart(folder + "\\Delete.bat")) << folder << "\\Delete.bat is not scheduled";
        e2e::RemoveTree(folder);  // as the restart would
    }
    return rest;
}

// True when no private folder holds a batch any more: every self-removal has ended.
bool BatchesGone() {
    for (const std::string& name : PrivateFolders()) {
        if (e2e::FileExists(WindowsTemp() + "\\" + name + "\\Delete.bat")) return false;
    }
    return true;
}

// What a ping.bat planted where a bare "ping" would be looked for leaves
// behind if it ever runs.
std::string PingMarker() { return e2e::BuildPath("e2e-work\\planted-ping-ran.txt"); }
void PlantPing(const std::string& folder) {
    e2e::WriteFileBytes(folder + "\\ping.bat", "@echo off\r\necho ran> \"" + PingMarker() + "\"\r\n");
}

bool SameBytes(const std::string& a, const std::string& b) {
    std::string x, y;
    return e2e::ReadFileBytes(a, x) && e2e::ReadFileBytes(b, y) && x == y;
}

// A process started from a command line, as Windows starts a registered
// uninstall command.
class CommandProcess {
public:
    ~CommandProcess() {
        if (process_) {
            if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) TerminateProcess(process_, 1);
            CloseHandle(process_);
        }
    }
    // workDir: the uninstaller's current folder ("" keeps the driver's; a
    // double-click in Explorer starts a program in its own folder).
    bool Start(const std::string& commandLine, const std::string& workDir = "") {
        std::vector<char> cmd(commandLine.begin(), commandLine.end());
        cmd.push_back('\0');
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            workDir.empty() ? nullptr : workDir.c_str(), &si, &pi)) {
            return false;
        }
        CloseHandle(pi.hThread);
        process_ = pi.hProcess;
        pid_ = pi.dwProcessId;
        return true;
    }
    DWORD Id() const { return pid_; }
    bool WaitExit(DWORD ms) { return WaitForSingleObject(process_, ms) == WAIT_OBJECT_0; }

private:
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
};

// Waits for a message box of pid, checks its caption and text, presses button.
void Answer(DWORD pid, const std::string& caption, const std::string& text, const std::string& button,
            const std::string& screenshot = "") {
    HWND dlg = e2e::WaitForDialog(pid, kWait);
    ASSERT_NE(dlg, nullptr) << "no message box: expected " << text;
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::FocusedWindow(dlg) != nullptr; }, kWait));
    e2e::MessageDialog md;
    ASSERT_TRUE(e2e::ReadMessageDialog(dlg, md));
    EXPECT_EQ(md.caption, caption);
    EXPECT_EQ(md.text, text);
    if (!screenshot.empty()) e2e::SaveScreenshot(dlg, e2e::ScreenshotPath(screenshot));
    ASSERT_TRUE(e2e::PressDialogButton(dlg, button)) << "no button " << button;
    ASSERT_TRUE(e2e::WaitGone(dlg, kWait));
}

bool PageShown(HWND form, const char* page) {
    HWND h = e2e::FindControl(form, page);
    return h && e2e::IsVisible(h);
}

// Presses Next until the progress page runs, then waits for the end page.
// Returns the installation folder the location page proposed (or, with
// typed, the one typed there over the proposal).
void WalkInstaller(DWORD pid, HWND& form, std::string& location, const std::string& shotPrefix,
                   const std::string& typed = "") {
    form = e2e::WaitForForm(pid, "SetupMainForm", kWait);
    ASSERT_NE(form, nullptr) << "the wizard did not appear";
    HWND next = e2e::WaitForControl(form, "NextButton", kWait);
    ASSERT_NE(next, nullptr);
    for (int step = 0; step < 8 && !PageShown(form, "CopyProcessSheet") && !PageShown(form, "EndSheet"); ++step) {
        if (PageShown(form, "LocationSheet")) {
            location = e2e::Text(e2e::FindControl(form, "LocationEdit"));
            if (!typed.empty()) e2e::SetEditText(e2e::FindControl(form, "LocationEdit"), typed);
        }
        ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::IsEnabled(next); }, kWait));
        std::string before = e2e::Text(e2e::FindControl(form, "NextLabel")) + e2e::Text(next);
        HWND active = nullptr;
        for (const char* p : {"StartSheet", "MessageSheet", "LisenceSheet", "LocationSheet", "CopyStartSheet"}) {
            if (PageShown(form, p)) active = e2e::FindControl(form, p);
        }
        if (!shotPrefix.empty() && active) {
            e2e::SaveScreenshot(form, e2e::ScreenshotPath(shotPrefix + e2e::WidgetName(active) + ".png"));
        }
        e2e::Click(next);
        // The old page hides before the new one shows: wait for both, or the
        // next round could see no page and press Next on one it never read.
        auto anyPage = [&] {
            for (const char* p : {"StartSheet", "MessageSheet", "LisenceSheet", "LocationSheet", "CopyStartSheet",
                                  "CopyProcessSheet", "EndSheet"}) {
                if (PageShown(form, p)) return true;
            }
            return false;
        };
        ASSERT_TRUE(e2e::WaitUntil([&] { return (!active || !e2e::IsVisible(active)) && anyPage(); }, kWait))
            << "the page did not change";
    }
}

// What setupproj verify (the tool's Windows build, on its simulated machine)
// says of the project in medium: its exit status and, as "+ path" lines
// of this machine, what it finds left behind.
struct Verified {
    DWORD status = 0xFFFFFFFF;
    std::vector<std::string> leftovers;
    std::string output;
};

Verified Verify(const std::string& medium, const char* answer, const std::string& location) {
    Verified result;
    const std::string outFile = e2e::FreshFolder("roundtrip-verify") + "\\verify.txt";
    e2e::ChildProcess tool;
    std::string error;
    const std::string args = std::string("verify Setup.ini --answer ") + answer;
    if (!tool.Start(e2e::BuildPath("tools\\setupproj.exe"), medium, args, &error, outFile)) {
        ADD_FAILURE() << error;
        return result;
    }
    if (!tool.WaitExit(60000, result.status)) ADD_FAILURE() << "setupproj verify did not end";
    e2e::ReadFileBytes(outFile, result.output);
    // "  kept PATH: cause" and "  LEFT PATH: cause"; a folder's path ends in "\".
    size_t at = result.output.find("left behind:");
    while (at != std::string::npos) {
        const size_t start = result.output.find("\n", at);
        if (start == std::string::npos) break;
        const size_t end = result.output.find('\n', start + 1);
        std::string entry =
            result.output.substr(start + 1, (end == std::string::npos ? result.output.size() : end) - start - 1);
        if (!entry.empty() && entry.back() == '\r') entry.pop_back();
        if (entry.compare(0, 7, "  kept ") != 0 && entry.compare(0, 7, "  LEFT ") != 0) break;
        std::string path = entry.substr(7, entry.find(": ", 7) - 7);
        if (!path.empty() && path.back() == '\\' && path.size() > 3) path.pop_back();
        result.leftovers.push_back("+ " + Expand(path, location));
        at = end;
    }
    std::sort(result.leftovers.begin(), result.leftovers.end());
    return result;
}

class RoundTrip : public testing::Test {
protected:
    static void SetUpTestSuite() { CoInitialize(nullptr); }
    static void TearDownTestSuite() { CoUninitialize(); }

    // A medium: Setup.exe, the project file and the payload, in a fresh folder.
    std::string MakeMedium(const std::string& tag, const std::string& ini,
                           const std::map<std::string, std::string>& payload) {
        std::string folder = e2e::MakeProjectFolder(tag, ini);
        if (folder.empty()) return "";
        e2e::MakeFolders(folder + "\\payload");
        for (const auto& [name, bytes] : payload) e2e::WriteFileBytes(folder + "\\payload\\" + name, bytes);
        return folder;
    }
};

std::string ReadSource(const std::string& rel) {
    std::string bytes;
    e2e::ReadFileBytes(std::string("Z:") + ORVANE_SOURCE_DIR + "/" + rel, bytes);
    return bytes;
}

std::string WinPath(std::string p) {
    std::replace(p.begin(), p.end(), '/', '\\');
    return p;
}

TEST_F(RoundTrip, ExampleProjectInstallsAndUninstalls) {
    const std::string sourceIni = WinPath(std::string("Z:") + ORVANE_SOURCE_DIR + "/examples/Setup.ini");
    std::string ini;
    ASSERT_TRUE(e2e::ReadFileBytes(sourceIni, ini));
    std::map<std::string, std::string> payload;
    for (const char* name : {"readme.txt", "manual.txt", "userdata.txt", "config.ini"}) {
        payload[name] = ReadSource(std::string("examples/payload/") + name);
    }
    const std::string medium = MakeMedium("roundtrip-example", ini, payload);
    ASSERT_FALSE(medium.empty());
    ASSERT_TRUE(SetFileAttributesA((medium + "\\payload\\manual.txt").c_str(), FILE_ATTRIBUTE_READONLY));

    TProjectProperty project;
    project.Load(sourceIni);
    const std::string key = std::string(kListKey) + "\\" + project.UnInstallKey;
    // Whatever an interrupted earlier run left behind.
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, key.c_str());
    const std::string programFiles =
        ReadRegString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir");
    const std::string sub = project.SubDirectory;
    ASSERT_FALSE(programFiles.empty());
    e2e::RemoveTree(programFiles + "\\" + sub.substr(0, sub.find('\\')));  // ASCII first component
    for (int i = 0; i < project.Folders.Count(); ++i) {
        if (project.Folders.Items(i).FolderPath.rfind("[Install Folder]", 0) != 0) {
            e2e::RemoveTree(Expand(project.Folders.Items(i).FolderPath, ""));
        }
    }
    for (int i = 0; i < project.Shortcuts.Count(); ++i) {
        DeleteFileA((Expand(project.Shortcuts.Items(i).LinkFile, "") + ".lnk").c_str());
    }

    // The tool's verdict first, from its simulated machine: this one stays
    // as it was. "No" to the DeleteMode 2 question, as below.
    const auto treeUnverified = DriveC();
    const Verified verified = Verify(medium, "no", programFiles + "\\" + sub);
    const auto treeBefore = DriveC();
    EXPECT_EQ(Differences(treeUnverified, treeBefore), std::vector<std::string>()) << "verify changed the machine";
    const auto listBefore = UninstallList();
    const auto userTempBefore = Names(UserTemp());

    // Install, pressing Next on each page as a person would.
    const std::string dayBefore = LocalDateText();
    e2e::ChildProcess setup;
    ASSERT_TRUE(setup.Start(medium + "\\Setup.exe", medium));
    HWND form = nullptr;
    std::string location;
    WalkInstaller(setup.Id(), form, location, "roundtrip_");
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_FALSE(location.empty());
    ASSERT_TRUE(e2e::WaitUntil([&] { return PageShown(form, "EndSheet"); }, 60000)) << "no end page";
    e2e::SaveScreenshot(form, e2e::ScreenshotPath("roundtrip_EndSheet.png"));
    e2e::Click(e2e::FindControl(form, "NextButton"));
    DWORD code = 0;
    ASSERT_TRUE(setup.WaitExit(kWait, code)) << "the installer did not end";

    // What the installation left.
    for (int i = 0; i < project.Folders.Count(); ++i) {
        std::string folder = Expand(project.Folders.Items(i).FolderPath, location);
        EXPECT_TRUE(e2e::FolderExists(folder)) << folder;
    }
    for (int i = 0; i < project.Files.Count(); ++i) {
        const TCopyFile& f = project.Files.Items(i);
        std::string dest = Expand(f.DestFile, location);
        EXPECT_TRUE(SameBytes(medium + "\\" + f.SourceFile, dest)) << dest;
        DWORD attributes = GetFileAttributesA(dest.c_str());
        EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES) << dest;
        EXPECT_EQ(attributes & FILE_ATTRIBUTE_READONLY, 0u) << dest;
    }
    const std::string uninstaller = location + "\\Setup.exe";
    EXPECT_TRUE(SameBytes(e2e::SetupExePath(), uninstaller));
    {
        // The project copy: the source project in the canonical layout, in uninstall mode.
        TProjectProperty expected;
        expected.Load(sourceIni);
        expected.InstallMode = 1;
        const std::string expectedFile = e2e::FreshFolder("roundtrip-expected") + "\\Setup.ini";
        expected.Save(expectedFile);
        EXPECT_TRUE(SameBytes(expectedFile, location + "\\Setup.ini"));
    }
    for (int i = 0; i < project.Shortcuts.Count(); ++i) {
        const TShortCutFile& s = project.Shortcuts.Items(i);
        std::string file = Expand(s.LinkFile, location) + ".lnk";
        Link link;
        ASSERT_TRUE(ReadLink(file, link)) << file;
        EXPECT_EQ(link.path, Expand(s.TargetFile, location));
        EXPECT_EQ(link.arguments, "");
        EXPECT_EQ(link.workingDirectory, Expand(s.WorkDirectory, location));
        EXPECT_EQ(link.showCmd, s.ShowMode == 1 ? SW_SHOWMINNOACTIVE : s.ShowMode == 2 ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
        EXPECT_EQ(link.description, s.Description);
    }
    EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, key, "DisplayName"), project.UnInstallName);
    const std::string command = ReadRegString(HKEY_LOCAL_MACHINE, key, "UninstallString");
    EXPECT_EQ(command, "\"" + uninstaller + "\"");
    ExpectInstalledProgramsEntry(key, project, location, dayBefore);
    ASSERT_FALSE(HasFatalFailure());

    // A ".pif" companion, as an old shell might have left, goes with the uninstaller.
    ASSERT_TRUE(e2e::WriteFileBytes(location + "\\Delete.pif", "pif"));

    // Uninstall through the registered command; keep config.ini (DeleteMode 2, "No").
    CommandProcess un;
    ASSERT_TRUE(un.Start(command));
    Answer(un.Id(), "警告", "アンインストールを実行しますか？", "はい(&Y)", "roundtrip_confirm.png");
    ASSERT_FALSE(HasFatalFailure());
    std::string asked;
    for (int i = 0; i < project.Files.Count(); ++i) {
        if (project.Files.Items(i).DeleteMode == 2) asked = Expand(project.Files.Items(i).DestFile, location);
    }
    ASSERT_FALSE(asked.empty());
    Answer(un.Id(), "情報", "ファイル\"" + asked + "\"を削除しますか？", "いいえ(&N)", "roundtrip_ask.png");
    ASSERT_FALSE(HasFatalFailure());
    Answer(un.Id(), "情報", "アンインストール完了しました", "OK");
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(un.WaitExit(kWait)) << "the uninstaller did not end";
    const DWORD ended = GetTickCount();

    EXPECT_TRUE(e2e::WaitUntil([&] { return !e2e::FileExists(uninstaller) && BatchesGone(); }, 10000, 100))
        << "the self-removal did not finish";
    EXPECT_EQ(Names(UserTemp()), userTempBefore) << "the user's temp folder was written";
    printf("self-removal finished %lu ms after the uninstaller ended\n", GetTickCount() - ended);
    EXPECT_FALSE(e2e::FileExists(location + "\\Setup.ini"));
    EXPECT_FALSE(e2e::FileExists(location + "\\Delete.pif"));

    for (int i = 0; i < project.Shortcuts.Count(); ++i) {
        EXPECT_FALSE(e2e::FileExists(Expand(project.Shortcuts.Items(i).LinkFile, location) + ".lnk"));
    }
    for (int i = 0; i < project.Files.Count(); ++i) {
        const TCopyFile& f = project.Files.Items(i);
        bool stays = f.DeleteMode == 1 || f.DeleteMode == 2;  // left, or "No" to the question
        EXPECT_EQ(e2e::FileExists(Expand(f.DestFile, location)), stays) << f.DestFile;
    }
    for (int i = 0; i < project.Folders.Count(); ++i) {
        const TMakeFolder& f = project.Folders.Items(i);
        std::string folder = Expand(f.FolderPath, location);
        // The installation folder (a keyword folder) and the kept data folder hold
        // the files that stay; the programs subfolder is gone.
        bool stays = f.KeepOnUninstall != 0 || f.FolderPath == "[Install Folder]";
        EXPECT_EQ(e2e::FolderExists(folder), stays) << folder;
    }
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, key));
    EXPECT_EQ(UninstallList(), listBefore);

    // Nothing else on drive C changed: only the folders and files that stay by design.
    std::vector<std::string> expectedChanges;
    std::string parent = location.substr(0, location.rfind('\\'));  // "Orvane Sample", made by the folder chain
    expectedChanges.push_back("+ " + parent);
    expectedChanges.push_back("+ " + location);
    for (int i = 0; i < project.Files.Count(); ++i) {
        const TCopyFile& f = project.Files.Items(i);
        if (f.DeleteMode == 1 || f.DeleteMode == 2) expectedChanges.push_back("+ " + Expand(f.DestFile, location));
    }
    for (int i = 0; i < project.Folders.Count(); ++i) {
        if (project.Folders.Items(i).KeepOnUninstall != 0) {
            expectedChanges.push_back("+ " + Expand(project.Folders.Items(i).FolderPath, location));
        }
    }
    std::sort(expectedChanges.begin(), expectedChanges.end());
    EXPECT_EQ(WithoutScheduledLeftovers(Differences(treeBefore, DriveC())), expectedChanges);
    // What verify found left is what the real round trip left.
    EXPECT_EQ(verified.leftovers, expectedChanges) << verified.output;
    EXPECT_EQ(verified.status, 1u) << verified.output;

    // Leave the prefix as it was for the next run.
    e2e::RemoveTree(parent);
}

// The small project leaves nothing, its folder included, also when the
// uninstaller's file stays busy for a while after the program ended.
// How the uninstaller is started: through the registered command from
// another folder, or from its own folder, as a double-click in Explorer starts
// it (its current folder is then the installation folder, which must still go).
class SelfRemoval : public RoundTrip, public testing::WithParamInterface<bool> {};

TEST_P(SelfRemoval, WaitsForTheUninstallerAndLeavesNothing) {
    const bool fromOwnFolder = GetParam();
    // "%" and "!" mean variables to the batch's interpreter; /v:off keeps a
    // user's DelayedExpansion setting from reading "!x!" as one.
    // The second one goes to a new folder at the root of drive C, which the
    // installer makes with rules of its own: no refusal there either.
    const std::string location =
        fromOwnFolder ? std::string("C:\\Orvane 表 RT 100%!x! own") : std::string("C:\\Program Files\\Orvane 表 RT 100%!x!");
    const std::string key = "OrvaneRT";
    const std::string fullKey = std::string(kListKey) + "\\" + key;
    e2e::RemoveTree(location);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, fullKey.c_str());
    DeleteFileA(PingMarker().c_str());
    const std::string medium = MakeMedium("roundtrip-small", support::SmallProject(location, key, false),
                                          {{"one.txt", "one"}, {"two.txt", "two"}});
    ASSERT_FALSE(medium.empty());
    // verify finds that nothing stays, as the round trip below shows.
    const Verified verified = Verify(medium, "yes", location);
    EXPECT_EQ(verified.leftovers, std::vector<std::string>()) << verified.output;
    EXPECT_EQ(verified.status, 0u) << verified.output;
    // A "ping" for the batch to find, where a bare name would be looked for.
    PlantPing(UserTemp());
    const auto treeBefore = DriveC();
    const auto listBefore = UninstallList();
    const auto userTempBefore = Names(UserTemp());
    const auto privateBefore = PrivateFolders();

    e2e::ChildProcess setup;
    ASSERT_TRUE(setup.Start(medium + "\\Setup.exe", medium));
    HWND form = nullptr;
    std::string ignored;
    WalkInstaller(setup.Id(), form, ignored, "");
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(e2e::WaitUntil([&] { return PageShown(form, "EndSheet"); }, 60000));
    e2e::Click(e2e::FindControl(form, "NextButton"));
    DWORD code = 0;
    ASSERT_TRUE(setup.WaitExit(kWait, code));
    const std::string command = ReadRegString(HKEY_LOCAL_MACHINE, fullKey, "UninstallString");
    ASSERT_EQ(command, "\"" + location + "\\Setup.exe\"");

    CommandProcess un;
    ASSERT_TRUE(un.Start(command, fromOwnFolder ? location : ""));
    Answer(un.Id(), "警告", "アンインストールを実行しますか？", "はい(&Y)");
    ASSERT_FALSE(HasFatalFailure());
    // The uninstaller's file stays busy after the program has ended, as when a
    // program takes longer to end: held open here without delete sharing.
    HANDLE hold = CreateFileA((location + "\\Setup.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(hold, INVALID_HANDLE_VALUE);
    Answer(un.Id(), "情報", "ファイル\"" + location + "\\sub\\two.txt\"を削除しますか？", "はい(&Y)");
    ASSERT_FALSE(HasFatalFailure());
    Answer(un.Id(), "情報", "アンインストール完了しました", "OK");
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(un.WaitExit(kWait));

    // The batch waits in a new private folder of its own; a watcher in the
    // user's temp folder finds nothing new there to rewrite.
    std::vector<std::string> fresh;
    ASSERT_TRUE(e2e::WaitUntil([&] {
        fresh.clear();
        for (const std::string& name : PrivateFolders()) {
            if (!std::count(privateBefore.begin(), privateBefore.end(), name)) fresh.push_back(name);
        }
        return fresh.size() == 1;
    }, kWait)) << "no private folder for the batch";
    const std::string own = WindowsTemp() + "\\" + fresh[0];
    EXPECT_EQ(Names(own), std::vector<std::string>{"Delete.bat"});
    EXPECT_EQ(Names(UserTemp()), userTempBefore) << "the self-removal wrote into the user's temp folder";
    // The folder's rules as written (Windows), or as Wine's permission bits
    // keep them: nobody but SYSTEM and the owner may even read it.
    const std::string rules = plat::ReadAccess(own);
    if (RunningUnderWine()) {
        EXPECT_EQ(rules.find(";;;WD)"), std::string::npos) << rules;
        EXPECT_EQ(rules.find(";;;BU)"), std::string::npos) << rules;
    } else {
        EXPECT_EQ(rules, "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)");
    }
    std::string batch;
    ASSERT_TRUE(e2e::ReadFileBytes(own + "\\Delete.bat", batch));
    EXPECT_NE(batch.find("\\ping.exe\" -n 2 127.0.0.1"), std::string::npos) << "ping by its full path";

    // The batch tries about once a second: in four seconds it has tried and
    // must still be waiting.
    EXPECT_FALSE(e2e::WaitUntil([&] { return !e2e::FileExists(location + "\\Setup.exe"); }, 4000, 100))
        << "deleted while busy?";
    EXPECT_TRUE(e2e::FileExists(own + "\\Delete.bat")) << "the batch should still be waiting";
    CloseHandle(hold);
    const DWORD released = GetTickCount();
    EXPECT_TRUE(e2e::WaitUntil([&] { return !e2e::FolderExists(location) && BatchesGone(); }, 10000, 100))
        << "the self-removal did not finish";
    printf("self-removal finished %lu ms after the file was released\n", GetTickCount() - released);

    EXPECT_FALSE(e2e::FileExists(PingMarker())) << "a planted ping.bat ran";
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, fullKey));
    EXPECT_EQ(UninstallList(), listBefore);
    EXPECT_EQ(WithoutScheduledLeftovers(Differences(treeBefore, DriveC())), std::vector<std::string>());
    DeleteFileA((UserTemp() + "\\ping.bat").c_str());
}

INSTANTIATE_TEST_SUITE_P(StartedFrom, SelfRemoval, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? std::string("ItsOwnFolder") : std::string("AnotherFolder");
                         });

TEST_F(RoundTrip, FailedInstallationKeepsWhatWasDoneAndRegistersNothing) {
    const std::string location = "C:\\Program Files\\Orvane RT failed";
    const std::string key = "OrvaneRTFailed";
    const std::string fullKey = std::string(kListKey) + "\\" + key;
    e2e::RemoveTree(location);
    const std::string medium =
        MakeMedium("roundtrip-failed", support::SmallProject(location, key, true), {{"one.txt", "one"}});
    ASSERT_FALSE(medium.empty());
    // verify stops at the same record.
    const Verified verified = Verify(medium, "yes", location);
    EXPECT_EQ(verified.status, 2u) << verified.output;
    EXPECT_NE(verified.output.find("installation: FAILED: line 11: Failed to copy D:\\medium\\payload\\missing.txt"),
              std::string::npos)
        << verified.output;
    const auto listBefore = UninstallList();

    e2e::ChildProcess setup;
    ASSERT_TRUE(setup.Start(medium + "\\Setup.exe", medium));
    HWND form = nullptr;
    std::string ignored;
    WalkInstaller(setup.Id(), form, ignored, "");
    ASSERT_FALSE(HasFatalFailure());
    Answer(setup.Id(), "エラー", "インストールに失敗しました", "OK", "roundtrip_failed.png");
    ASSERT_FALSE(HasFatalFailure());
    DWORD code = 0;
    ASSERT_TRUE(setup.WaitExit(kWait, code)) << "the window did not close";

    EXPECT_TRUE(SameBytes(medium + "\\payload\\one.txt", location + "\\one.txt"));
    EXPECT_FALSE(e2e::FileExists(location + "\\sub\\two.txt"));
    EXPECT_FALSE(e2e::FileExists(location + "\\Setup.exe"));
    EXPECT_FALSE(e2e::FileExists(location + "\\Setup.ini"));
    EXPECT_FALSE(e2e::FileExists(ShellFolder("Programs") + "\\Orvane RT\\One.lnk"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, fullKey));
    EXPECT_EQ(UninstallList(), listBefore);

    e2e::RemoveTree(location);
    e2e::RemoveTree(ShellFolder("Programs") + "\\Orvane RT");
}

// A new version over an old one (tests/upgrade): version 1 goes into a folder
// the user types; version 2 drops a file and a folder, replaces a shortcut
// and adds a file, proposes that folder and goes over it; the registered
// uninstaller then leaves nothing of either version.
TEST_F(RoundTrip, NewVersionOverOldLeavesNothingOfEither) {
    const std::string typed = "C:\\Orvane Upgrade Typed";
    const std::string fullKey = std::string(kListKey) + "\\OrvaneUpgrade";
    const std::string menu = ShellFolder("Programs") + "\\Orvane Upgrade";
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, fullKey.c_str());
    e2e::RemoveTree(typed);
    e2e::RemoveTree(menu);
    std::map<std::string, std::string> payload;
    for (const char* name : {"app.txt", "old.txt", "plugin.txt", "new.txt"}) {
        payload[name] = ReadSource(std::string("tests/upgrade/payload/") + name);
    }
    std::string media[2];
    for (int v = 0; v < 2; ++v) {
        const std::string tag = v == 0 ? "v1" : "v2";
        media[v] = e2e::MakeProjectFolder("upgrade-" + tag, ReadSource("tests/upgrade/" + tag + "/Setup.ini"));
        ASSERT_FALSE(media[v].empty());
        for (const auto& [name, bytes] : payload) e2e::WriteFileBytes(media[v] + "\\" + name, bytes);
    }
    const auto treeBefore = DriveC();
    const auto listBefore = UninstallList();

    std::string proposed[2];
    for (int v = 0; v < 2; ++v) {
        e2e::ChildProcess setup;
        ASSERT_TRUE(setup.Start(media[v] + "\\Setup.exe", media[v]));
        HWND form = nullptr;
        WalkInstaller(setup.Id(), form, proposed[v], "", v == 0 ? typed : "");
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_TRUE(e2e::WaitUntil([&] { return PageShown(form, "EndSheet"); }, 60000)) << "no end page";
        e2e::Click(e2e::FindControl(form, "NextButton"));
        DWORD code = 0;
        ASSERT_TRUE(setup.WaitExit(kWait, code));
        if (v == 0) {
            EXPECT_TRUE(e2e::FileExists(typed + "\\old.txt"));
            EXPECT_TRUE(e2e::FileExists(typed + "\\plugins\\plugin.txt"));
            EXPECT_TRUE(e2e::FileExists(menu + "\\App 1.lnk"));
        }
    }
    EXPECT_NE(proposed[0], typed);
    EXPECT_EQ(proposed[1], typed) << "version 2 does not propose version 1's folder";
    EXPECT_TRUE(e2e::FileExists(typed + "\\new.txt"));
    EXPECT_TRUE(e2e::FileExists(menu + "\\App 2.lnk"));
    // Version 1's dropped items stay until the uninstallation.
    EXPECT_TRUE(e2e::FileExists(typed + "\\old.txt"));
    EXPECT_TRUE(e2e::FileExists(menu + "\\App 1.lnk"));

    const std::string command = ReadRegString(HKEY_LOCAL_MACHINE, fullKey, "UninstallString");
    ASSERT_EQ(command, "\"" + typed + "\\Setup.exe\"");
    CommandProcess un;
    ASSERT_TRUE(un.Start(command));
    Answer(un.Id(), "警告", "アンインストールを実行しますか？", "はい(&Y)");
    ASSERT_FALSE(HasFatalFailure());
    Answer(un.Id(), "情報", "アンインストール完了しました", "OK");
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(un.WaitExit(kWait));
    EXPECT_TRUE(e2e::WaitUntil([&] { return !e2e::FolderExists(typed) && BatchesGone(); }, 10000, 100))
        << "the self-removal did not finish";
    EXPECT_FALSE(e2e::FolderExists(menu));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, fullKey));
    EXPECT_EQ(UninstallList(), listBefore);
    EXPECT_EQ(WithoutScheduledLeftovers(Differences(treeBefore, DriveC())), std::vector<std::string>());
}

}  // namespace

int main(int argc, char** argv) { return e2e::RunAllTests(argc, argv); }
