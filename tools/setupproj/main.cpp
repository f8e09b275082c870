// setupproj: a tool for project authors (kHelp below says what each
// command does). normalize and dump live here; check, scan and verify have
// files of their own (Commands.h). Errors print their message and end with
// exit status 1 (check, verify: 2); a number that does not convert stops
// the reading with the installer's message. Unlike the installer's Load, a
// missing input file is an error here.
//
// Both builds run on the sim backend (verify runs the installer's engine on
// the simulated machine) and read and write the host's files through the
// C++ library; the model parses and serializes their bytes as the
// installer's Load and Save do.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/Error.h"
#include "project/ProjectProperty_unit.h"
#include "project/ProjectSchema_unit.h"
#include "tools/setupproj/Commands.h"
#include "tools/setupproj/HostFiles.h"

namespace {

const char kUsage[] =
    "usage: setupproj normalize [--from-utf8] IN OUT\n"
    "       setupproj dump IN\n"
    "       setupproj check PROJECT [--payload DIR] [--from-utf8]\n"
    "       setupproj scan DIR [--into PROJECT] [--dest TEXT] [--delete-mode N]\n"
    "       setupproj verify PROJECT [--payload DIR] [--answer yes|no] [--from-utf8]\n"
    "       setupproj check|verify NEW --over OLD [--payload DIR]\n"
    "       setupproj --help\n";

// After the usage lines: what each command does, its options and its exit
// status. The worked examples are README.md's.
const char kHelp[] =
    "\n"
    "Project files are CP932 text; one that begins with a UTF-8 BOM, or any with\n"
    "--from-utf8, is UTF-8, and a character that CP932 cannot hold is an error of\n"
    "its line. The tool prints UTF-8 on Linux, the ANSI code page on Windows. A\n"
    "wrong command line or an input that cannot be read ends with exit status 1\n"
    "(check and verify: 2).\n"
    "\n"
    "normalize  loads IN and saves OUT in the canonical layout, as the installer\n"
    "    saves its uninstall copy. Exit status 0 or 1.\n"
    "dump  prints every setting, text line and record as the installer reads\n"
    "    them, one per line. Exit status 0 or 1.\n"
    "check  reports what would go wrong, FILE:LINE: error|warning: text. Sources\n"
    "    are looked up beside PROJECT, then in DIR, whose files that no record\n"
    "    installs are reported; --over also warns, at OLD's lines, of what NEW\n"
    "    drops. Exit status 0 clean, 1 warnings only, 2 errors.\n"
    "scan  prints the folder and copy records that install DIR below TEXT\n"
    "    (default [Install Folder]) with delete mode N (0, 1 or 2; default 0);\n"
    "    --into replaces PROJECT's records of DIR and saves it. Exit status 0 or 1.\n"
    "verify  installs and uninstalls the project on a simulated Windows with the\n"
    "    installer's engine and reports what each run did and what is left behind;\n"
    "    --answer answers each DeleteMode 2 question; --over installs OLD, NEW over\n"
    "    it, and runs NEW's uninstaller. Exit status 0 nothing is left behind,\n"
    "    1 only what the project keeps, 2 a failure or anything else.\n"
    "\n"
    "Examples and the details of each command: README.md, section \"setupproj\".\n";

void PrintLine(const std::string& cp932) { setupproj::WriteConsole(false, cp932, true); }

// One "Key=value" line per setting (an optional one only where it is set),
// "Block[n]=text" per text line and one line per item with its fields as
// Field=value, separated by tabs: the schema's walk, in Load's order.
void Dump(TProjectProperty& p) {
    for (const TSchemaPart& part : ProjectSchema()) {
        for (const TSchemaSetting& s : part.Settings) {
            if (SchemaWrites(p, s)) PrintLine(std::string(s.Key) + "=" + SchemaSettingText(p, s));
        }
        const std::vector<std::string>* block = part.TextBlock >= 0 ? p.TextBlock(part.TextBlock) : nullptr;
        if (!block && !part.Records) continue;
        const std::string name = block ? part.Section : part.Records->Member;
        const int count = block ? static_cast<int>(block->size()) : part.Records->Count(p);
        PrintLine(name + ".Count=" + std::to_string(count));
        for (int n = 0; n < count; ++n) {
            std::string line = name + "[" + std::to_string(n) + "]";
            if (block) line += "=" + (*block)[static_cast<size_t>(n)];
            const std::vector<std::string> fields = block ? std::vector<std::string>() : part.Records->Texts(p, n);
            for (size_t i = 0; i < fields.size(); ++i) line += std::string("\t") + part.Records->Fields[i].Name + "=" + fields[i];
            PrintLine(line);
        }
    }
}

int Run(int argc, char** argv) {
    std::string command = argc > 1 ? argv[1] : "";
    const std::vector<std::string> rest(argv + (argc > 1 ? 2 : argc), argv + argc);
    if (command == "--help" || command == "-h" || command == "help") {
        setupproj::WriteConsole(false, std::string(kUsage) + kHelp);
        return 0;
    }
    if (command == "check") return setupproj::RunCheck(rest);
    if (command == "scan") return setupproj::RunScan(rest);
    if (command == "verify") return setupproj::RunVerify(rest);
    const bool fromUtf8 = command == "normalize" && !rest.empty() && rest[0] == "--from-utf8";
    const size_t files = rest.size() - (fromUtf8 ? 1 : 0);
    if ((command == "normalize" && files == 2) || (command == "dump" && files == 1)) {
        const std::string& in = rest[fromUtf8 ? 1 : 0];
        std::string text, problem;
        bool utf8 = false;
        if (!setupproj::ReadProjectFile(in, fromUtf8, text, utf8, problem)) {
            // Characters that do not convert are told at their lines, as check tells them.
            setupproj::WriteConsole(true, (utf8 ? problem : "setupproj " + command + ": " + problem) + "\n");
            return 1;
        }
        TProjectProperty project;
        project.Parse(text);
        if (command == "dump") {
            Dump(project);
        } else if (!setupproj::host::WriteFile(rest.back(), project.Serialize())) {
            setupproj::WriteConsole(true, "setupproj normalize: cannot write '" + setupproj::host::Shown(rest.back()) + "'\n");
            return 1;
        }
        return 0;
    }
    std::fputs(kUsage, stderr);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const ESetupError& e) {
        setupproj::WriteConsole(true, e.Message(), true);
        return 1;
    }
}
