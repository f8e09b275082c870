#include "engine/RunPath_unit.h"

#include <cstdio>

#include "platform/AnsiText.h"
#include "platform/PathRules.h"

namespace RunPath {

namespace {

const char kUninstallListKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

}  // namespace

std::string FileNamePart(const std::string& path) { return plat::path::FileName(path); }

std::string ExecutableFolder(const std::string& exePath) {
    // The folder keeps its "\" only where the root has one: D:\setup.exe lives in D:\ .
    return plat::path::FolderOf(exePath);
}

std::string JoinPath(const std::string& folder, const std::string& name) { return plat::path::Join(folder, name); }

bool IsAbsolutePath(const std::string& path) { return plat::path::IsFull(path); }

std::string ResolveSourcePath(const std::string& startFolder, const std::string& path) {
    using plat::path::RootForm;
    if (path.empty() || startFolder.empty()) return path;
    // A full path stays; "X:name" is relative to drive X's own current
    // folder, which the start folder says nothing about.
    const RootForm form = plat::path::RootOf(path).form;
    if (form == RootForm::kRelative) return JoinPath(startFolder, path);
    if (form != RootForm::kCurrentDrive) return path;
    // "\dir\file" is below the start folder's root: its drive, or its share.
    const plat::path::Root start = plat::path::RootOf(startFolder);
    if (start.form == RootForm::kRelative || start.form == RootForm::kCurrentDrive) return path;
    std::string root = startFolder.substr(0, start.length);
    if (plat::ansi::EndsWithSeparator(root) || plat::ansi::EndsWith(root, '/')) root.pop_back();
    return root + path;
}

std::string ProposedInstallFolder(const std::string& programFiles, int initDirectory,
                                  const std::string& subDirectory) {
    return initDirectory != 0 ? subDirectory : programFiles + "\\" + subDirectory;
}

std::string UninstallKeyPath(const std::string& uninstallKey) {
    if (uninstallKey.find_first_not_of('\\') == std::string::npos) return std::string();
    return kUninstallListKey + uninstallKey;
}

std::string DefaultDisplayIcon(const std::string& programCopy) { return "\"" + programCopy + "\",0"; }

std::string InstallLocation(const std::string& installFolder) {
    std::string folder = installFolder;
    const size_t root = plat::path::RootOf(folder).length;
    while (folder.size() > root && plat::ansi::EndsWithSeparator(folder)) folder.pop_back();
    return folder;
}

std::string InstallDateText(int year, int month, int day) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d%02d", year, month, day);
    return text;
}

uint32_t EstimatedSizeKB(uint64_t bytes) {
    const uint64_t kb = bytes / 1024 + (bytes % 1024 != 0);
    return kb > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(kb);
}

std::string IconFilePart(const std::string& displayIcon) {
    std::string path = displayIcon;
    // ",N" or ",-N": digits are never the second byte of a double-byte character.
    const size_t comma = path.rfind(',');
    if (comma != std::string::npos) {
        size_t digits = comma + 1;
        if (digits < path.size() && path[digits] == '-') ++digits;
        if (digits < path.size() && path.find_first_not_of("0123456789", digits) == std::string::npos) {
            path.erase(comma);
        }
    }
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);
    return path;
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
