// setupproj check PROJECT [--payload DIR] [--from-utf8]
#include <algorithm>

#include "engine/PreviousInstall_unit.h"
#include "engine/RunPath_unit.h"
#include "tools/setupproj/Check.h"
#include "tools/setupproj/Commands.h"
#include "tools/setupproj/HostFiles.h"
#include "tools/setupproj/HostSources.h"
#include "tools/setupproj/Keywords.h"
#include "tools/setupproj/Places.h"
#include "tools/setupproj/ProjectText.h"
#include "tools/setupproj/Verify.h"

namespace setupproj {

namespace {

int Usage(const std::string& problem) {
    WriteConsole(true, "setupproj check: " + problem + "\nusage: setupproj check PROJECT [--payload DIR] [--from-utf8]\n");
    return 2;
}

// check NEW --over OLD: a warning, at OLD's line, for each folder, file and
// shortcut of OLD that NEW does not list (by expanded destination, as the
// installer compares them): installed over OLD, NEW's uninstaller removes it.
Findings DroppedByNewer(const std::string& newerBytes, const std::string& olderBytes) {
    Findings ignored, findings;
    ProjectSource older, newer;
    ReadProjectSource(olderBytes, older, ignored);
    ReadProjectSource(newerBytes, newer, ignored);
    const TProjectProperty& p = newer.project;
    const std::vector<std::string> folders = TypicalKeywordFolders(
        RunPath::ProposedInstallFolder(kTypicalProgramFiles, p.InitDirectory, p.SubDirectory));
    std::vector<TRecordRef> dropped;
    CarryPreviousRecords(
        newer.project, older.project, [&folders](const std::string& path) { return ExpandKeyword(path, folders).text; },
        &dropped);
    const ProjectPlaces places(older, folders);
    for (const TRecordRef& record : dropped) {
        const char* what = record.kind == rkFolder ? "folder" : record.kind == rkShortcut ? "shortcut" : "file";
        findings.Warn(places.LineOf(record), std::string("the ") + what + " '" + Shown(places.ItemText(record)) +
                                                 "' is not in the new version: installed over this one, its "
                                                 "uninstaller removes it");
    }
    return findings;
}

}  // namespace

int RunCheck(const std::vector<std::string>& args) {
    ProjectInput input;
    std::string over, overBytes;
    const std::string problem = ReadProjectInput(
        args,
        [&over](const std::vector<std::string>& words, size_t& i) {
            return words[i] == "--over" && i + 1 < words.size() && !(over = words[++i]).empty();
        },
        input);
    if (!problem.empty()) return Usage(problem);
    const std::string& project = input.project;
    CheckOptions options;
    options.fromUtf8 = input.fromUtf8;
    options.programFileName = host::InstallerNameOf(project);
    options.structure = CheckStructure;
    HostSources sources(project, input.payload);
    const Findings findings = CheckProject(input.bytes, options, &sources);
    std::string out = FormatFindings(host::Shown(project), findings);
    int status = findings.ExitStatus();
    if (!over.empty()) {
        // OLD's destinations that NEW drops: the merge removes them at uninstall.
        if (!host::ReadFile(over, overBytes)) return Usage("cannot read the project file '" + host::Shown(over) + "'");
        const Findings dropped = DroppedByNewer(input.bytes, overBytes);
        out += FormatFindings(host::Shown(over), dropped);
        status = std::max(status, dropped.ExitStatus());
    }
    WriteConsole(false, out);
    return status;
}

}  // namespace setupproj
