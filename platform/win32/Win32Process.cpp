// Starting the self-removal batch, deletion at restart and the random source.
#include <windows.h>
#include <ntsecapi.h>

#include <vector>

#include "platform/Error.h"
#include "platform/System.h"
#include "platform/win32/SystemLibrary.h"

namespace plat {

bool StartBatch(const std::string& batch, const std::string& workFolder) {
    // The interpreter by its full path, never found through the search path
    // or the ".bat" association; /d skips the AutoRun commands of the
    // registry, /v:off the user's DelayedExpansion setting, which would read
    // a "!" of a path as the start of a variable. The outer quotes are taken
    // off by cmd, the inner ones stay.
    std::string cmd = win32::SystemFilePath("cmd.exe");
    if (cmd.empty()) {
        KeepError(GetLastError());
        return false;
    }
    std::string line = "\"" + cmd + "\" /d /v:off /c \"\"" + batch + "\"\"";
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(cmd.c_str(), buffer.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        workFolder.c_str(), &si, &pi)) {
        KeepError(GetLastError());
        return false;
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

bool DeleteAtRestart(const std::string& path) {
    return MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
}

std::string RandomHex(int bytes) {
    if (bytes <= 0) return std::string();
    std::vector<unsigned char> random(static_cast<size_t>(bytes));
    if (!RtlGenRandom(random.data(), static_cast<ULONG>(random.size()))) {
        KeepError(ERROR_GEN_FAILURE);
        return std::string();
    }
    static const char kHex[] = "0123456789abcdef";
    std::string text;
    for (unsigned char b : random) {
        text += kHex[b >> 4];
        text += kHex[b & 15];
    }
    return text;
}

}  // namespace plat
