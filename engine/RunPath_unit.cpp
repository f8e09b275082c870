#include "engine/RunPath_unit.h"

#include "platform/AnsiText.h"

namespace RunPath {

namespace {

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsSlash(char c) { return c == '\\' || c == '/'; }

const char kUninstallListKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

}  // namespace

std::string FileNamePart(const std::string& path) {
    size_t i = plat::ansi::LastOf(path, "\\:");
    return i == std::string::npos ? path : path.substr(i + 1);
}

std::string ExecutableFolder(const std::string& exePath) {
    size_t slash = plat::ansi::LastSeparator(exePath);
    if (slash == std::string::npos) return std::string();
    // A drive root keeps its backslash: D:\setup.exe lives in D:\ .
    if (plat::ansi::IsSingleAt(exePath, plat::ansi::PrevChar(exePath, slash), ':')) {
        return exePath.substr(0, slash + 1);
    }
    return exePath.substr(0, slash);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return plat::ansi::WithTrailingSeparator(folder) + name;
}

bool IsAbsolutePath(const std::string& path) {
    if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == ':' && IsSlash(path[2])) return true;
    return path.size() >= 2 && IsSlash(path[0]) && IsSlash(path[1]);
}

std::string ResolveSourcePath(const std::string& startFolder, const std::string& path) {
    if (path.empty() || startFolder.empty() || IsAbsolutePath(path)) return path;
    // "X:name" is relative to drive X's own current folder, which the start
    // folder says nothing about.
    if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':') return path;
    if (IsSlash(path[0])) {
        if (startFolder.size() >= 2 && IsDriveLetter(startFolder[0]) && startFolder[1] == ':') {
            return startFolder.substr(0, 2) + path;
        }
        // "\\server\share\..." : the root is the share, up to its fourth separator.
        if (startFolder.size() >= 2 && IsSlash(startFolder[0]) && IsSlash(startFolder[1])) {
            int separators = 0;
            for (size_t i = 0; i < startFolder.size(); i = plat::ansi::NextChar(startFolder, i)) {
                if ((plat::ansi::IsSingleAt(startFolder, i, '\\') || plat::ansi::IsSingleAt(startFolder, i, '/')) &&
                    ++separators == 4) {
                    return startFolder.substr(0, i) + path;
                }
            }
            return startFolder + path;
        }
        return path;
    }
    return JoinPath(startFolder, path);
}

std::string ProposedInstallFolder(const std::string& programFiles, int initDirectory,
                                  const std::string& subDirectory) {
    return initDirectory != 0 ? subDirectory : programFiles + "\\" + subDirectory;
}

std::string UninstallKeyPath(const std::string& uninstallKey) {
    if (uninstallKey.find_first_not_of('\\') == std::string::npos) return std::string();
    return kUninstallListKey + uninstallKey;
}

std::string EscapeForBatch(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        // "%" is never the second byte of a double-byte character (those
        // start at 0x40), so doubling single bytes is safe.
        if (c == '%') out += '%';
        out += c;
    }
    return out;
}

std::string BuildDeleteBatch(const SelfRemovalPlan& plan) {
    auto quoted = [](const std::string& path) { return "\"" + EscapeForBatch(path) + "\""; };
    auto command = [&](const RemovalStep& step) {
        return (step.folder ? "rd " : "del ") + quoted(step.path) + " >nul 2>&1";
    };
    std::vector<std::string> lines = {
        "@echo off",
        "setlocal",
        // Out of the installation folder, so that it can be removed.
        "cd /d " + quoted(plan.workFolder),
    };
    size_t next = 0;
    if (!plan.steps.empty()) {
        const std::string program = quoted(plan.steps[0].path);
        lines.insert(lines.end(), {
            "set orvane_tries=0",
            ":wait",
            // The uninstaller cannot be deleted while it is still ending;
            // "del" does not say so through ERRORLEVEL, so the file itself is
            // tested.
            command(plan.steps[0]),
            "if not exist " + program + " goto ended",
            "set /a orvane_tries+=1",
            "if %orvane_tries% geq " + std::to_string(kDeleteBatchTries) + " goto ended",
            // About one second; "timeout" is missing on some systems. By its
            // full path: a bare name would be looked for in the current folder
            // first.
            quoted(JoinPath(plan.systemFolder, "ping.exe")) + " -n 2 127.0.0.1 >nul",
            "goto wait",
            ":ended",
        });
        next = 1;
    }
    for (; next < plan.steps.size() && plan.steps[next].path != plan.batch; ++next) {
        lines.push_back(command(plan.steps[next]));
    }
    // Out of its own folder, so that the folder can go too.
    lines.push_back("cd /d " + quoted(plan.systemFolder));
    // The last line is read whole before it runs, so the rest still runs
    // after the file is gone. A command interpreter that keeps the file open
    // deletes it when the file is closed, and the folder cannot go before:
    // the uninstaller has scheduled both for the next restart.
    std::string last;
    for (; next < plan.steps.size(); ++next) last += command(plan.steps[next]) + " & ";
    lines.push_back(last + "exit");
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

}  // namespace RunPath
