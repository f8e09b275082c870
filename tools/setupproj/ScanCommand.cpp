// setupproj scan DIR [--into PROJECT] [--dest TEXT] [--delete-mode N]
#include <algorithm>

#include "platform/CodePage932.h"
#include "platform/Error.h"
#include "project/ProjectProperty_unit.h"
#include "tools/setupproj/Commands.h"
#include "tools/setupproj/Findings.h"
#include "tools/setupproj/HostFiles.h"
#include "tools/setupproj/ProjectText.h"
#include "tools/setupproj/Scan.h"

namespace setupproj {

namespace {

const char kUsage[] = "usage: setupproj scan DIR [--into PROJECT] [--dest TEXT] [--delete-mode N]\n";

int Fail(const std::string& message) {
    WriteConsole(true, "setupproj scan: " + message + "\n");
    return 1;
}

}  // namespace

int RunScan(const std::vector<std::string>& args) {
    std::string dir, into, dest = "[Install Folder]";
    ScanOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--into" && i + 1 < args.size()) {
            into = args[++i];
        } else if (arg == "--dest" && i + 1 < args.size()) {
            if (!host::NameToProject(args[++i], dest)) return Fail("CP932 cannot hold the destination '" + host::Shown(args[i]) + "'");
        } else if (arg == "--delete-mode" && i + 1 < args.size()) {
            const std::string& mode = args[++i];
            if (mode != "0" && mode != "1" && mode != "2") return Fail("--delete-mode takes 0, 1 or 2");
            options.deleteMode = mode[0] - '0';
        } else if (dir.empty() && arg.compare(0, 2, "--") != 0) {
            dir = arg;
        } else {
            WriteConsole(true, kUsage);
            return 1;
        }
    }
    if (dir.empty()) {
        WriteConsole(true, kUsage);
        return 1;
    }
    options.dest = dest;
    const std::string destProblem = ScanDestinationProblem(dest);
    if (!destProblem.empty()) return Fail(destProblem);

    std::vector<host::TreeEntry> tree;
    if (!host::WalkTree(dir, tree)) return Fail("cannot read the folder '" + host::Shown(dir) + "'");
    std::vector<PayloadEntry> entries;
    std::string unfit;
    for (const host::TreeEntry& entry : tree) {
        if (!into.empty() && host::IsProjectOrInstaller(into, entry.hostPath)) continue;
        if (!entry.nameFits) {
            unfit += "\n  " + host::Shown(entry.hostPath);
            continue;
        }
        entries.push_back(PayloadEntry{entry.path, entry.folder});
    }
    if (!unfit.empty()) {
        return Fail("a record cannot name these (CP932 lacks a character, or a Windows file name cannot hold one):" + unfit);
    }
    const std::string projectFolder = into.empty() ? std::string(".") : host::FolderOf(into);
    std::string prefix;
    if (!host::RelativeTo(projectFolder, dir, prefix)) {
        return Fail("the folder '" + host::Shown(dir) + "' cannot be reached by a path relative to the project's folder");
    }
    options.sourcePrefix = prefix.empty() ? prefix : prefix + "\\";
    const ScanRecords records = BuildScanRecords(entries, options);
    if (records.files.size() > static_cast<size_t>(TProjectProperty::kMaxItems) ||
        records.folders.size() > static_cast<size_t>(TProjectProperty::kMaxItems)) {
        return Fail("more than 65536 records: the installer reads no more");
    }

    if (into.empty()) {
        std::string text = Shown(FormatScanRecords(records));
        text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());  // the console's line ends
        WriteConsole(false, text);
        return 0;
    }
    try {
        // A project that does not exist yet starts empty.
        std::string cp932, problem;
        bool utf8 = false;
        if (host::IsFile(into) && !ReadProjectFile(into, false, cp932, utf8, problem)) return Fail(problem);
        TProjectProperty project;
        project.Parse(cp932);
        MergeScan(project, records, options);
        std::string out = project.Serialize();
        if (utf8) {
            std::string converted;
            if (!plat::Cp932ToUtf8(out, converted)) return Fail("cannot write '" + host::Shown(into) + "' as UTF-8");
            out = "\xEF\xBB\xBF" + converted;
        }
        if (!host::WriteFile(into, out)) return Fail("cannot write '" + host::Shown(into) + "'");
        WriteConsole(false, host::Shown(into) + ": " + std::to_string(project.Folders.Count()) + " folder records, " +
                                std::to_string(project.Files.Count()) + " file records\n");
        return 0;
    } catch (const ESetupError& error) {
        return Fail(host::Shown(into) + ": " + Shown(error.Message()));
    }
}

}  // namespace setupproj
