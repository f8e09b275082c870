// setupproj: a tool for project authors (kHelp below says what each
// command does). normalize and dump live here; check, scan, verify and the
// UTF-8 input of normalize have files of their own (Commands.h).
// Errors print their message and end with exit status 1 (check, verify: 2).
// Unlike the installer's Load, a missing input file is an error here.
//
// Both builds run on the sim backend (verify runs the installer's engine on
// the simulated machine) and read and write the host's files through the
// C++ library; the model parses and serializes their bytes as the
// installer's Load and Save do.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/Error.h"
#include "platform/Locale.h"
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

const char kHelp[] =
    "setupproj: a tool for authors of setup projects. Project files are CP932\n"
    "text; on Linux the tool prints UTF-8, on Windows the ANSI code page.\n"
    "\n"
    "setupproj normalize [--from-utf8] IN OUT\n"
    "    Loads IN and saves it to OUT in the canonical layout, exactly as the\n"
    "    installer saves its uninstall copy. With --from-utf8, or when IN begins\n"
    "    with a UTF-8 BOM, IN is UTF-8 and is converted to CP932; a character\n"
    "    that CP932 cannot hold is an error that names its line and the\n"
    "    character, and OUT is not written:\n"
    "        $ setupproj normalize --from-utf8 Setup.utf8.ini Setup.ini\n"
    "        Setup.utf8.ini:2: error: '\xC3\xA9' (U+00E9) cannot be written in CP932, the code page of the project file\n"
    "\n"
    "setupproj dump IN\n"
    "    Prints every property, text line and item as the installer reads them,\n"
    "    one per line:\n"
    "        $ setupproj dump Setup.ini\n"
    "        Name1=Example Tool\n"
    "        ...\n"
    "        Files.Count=1\n"
    "        Files[0]\tSourceFile=tool.exe\tDestFile=[Install Folder]\\tool.exe\tDeleteMode=0\n"
    "\n"
    "setupproj check PROJECT [--payload DIR] [--from-utf8]\n"
    "    Reads the project as the installer does and reports what would go wrong,\n"
    "    one finding per line, FILE:LINE: error|warning: text. Errors stop the\n"
    "    load or the installation (or make it start as the uninstaller);\n"
    "    warnings are values and lines that are ignored or misread, keyword\n"
    "    mistakes, folders left behind on uninstall and the like. Exit status:\n"
    "    0 clean, 1 warnings only, 2 errors (also when PROJECT cannot be read).\n"
    "    Relative sources are looked up beside PROJECT, then in DIR; with\n"
    "    --payload every file in DIR that no record installs is reported too.\n"
    "    Paths are measured with the folders of a typical machine (Program Files\n"
    "    (x86), a user name of 20 letters). A file that begins with a UTF-8 BOM\n"
    "    is read as UTF-8; --from-utf8 says so for a file without one.\n"
    "        $ setupproj check examples/broken/Setup.ini --payload examples/payload\n"
    "        examples/broken/Setup.ini:2: warning: blank before '=': its key is 'Name1 ', not 'Name1', so the line is never read\n"
    "        examples/broken/Setup.ini:6: warning: the payload file 'userdata.txt' is installed by no record\n"
    "        examples/broken/Setup.ini:9: error: its folder '[Install Folder]\\doc' is made by no folder record: the copy fails there and the installation stops\n"
    "        examples/broken/Setup.ini:11: warning: 'file00004' is never read: the list ends at the missing 'file00003'\n"
    "        examples/broken/Setup.ini:15: warning: the folder '[Install Folder]\\data' is left behind on uninstall: it is listed after its subfolder '[Install Folder]\\data\\cache' (line 14), and folders are removed last first, so it is not empty when its turn comes\n"
    "        ...\n"
    "\n"
    "setupproj verify PROJECT [--payload DIR] [--answer yes|no] [--from-utf8]\n"
    "    Installs the project and uninstalls it again on a simulated Windows,\n"
    "    with the installer's own installation and uninstallation runs, and\n"
    "    reports what they did: the installation's result (with the record it\n"
    "    stopped at and why), what it made (folders, files, shortcuts with their\n"
    "    targets, the registration), the uninstallation's questions and boxes,\n"
    "    what the uninstaller's self-removal takes once it has ended, and every\n"
    "    path left behind with its cause; \"kept\" marks what the project keeps\n"
    "    (DeleteMode 1, KeepOnUninstall, a question answered No, or a folder that\n"
    "    holds such a thing), \"LEFT\" the rest. The installation folder is the\n"
    "    one the location page proposes (on C:\\Program Files); the installer and\n"
    "    its sources lie in D:\\medium. Relative sources are looked up beside\n"
    "    PROJECT, then in DIR; only their names count, nothing is read from\n"
    "    them. Every DeleteMode 2 question is answered as --answer says (yes by\n"
    "    default). The output is stable, for a build script to compare. Exit\n"
    "    status: 0 nothing is left behind, 1 only what the project keeps, 2 a\n"
    "    failure or anything else left (also for a wrong command line).\n"
    "        $ setupproj verify examples/Setup.ini --answer no\n"
    "        verify examples/Setup.ini on a simulated Windows\n"
    "        installation folder: C:\\Program Files\\Orvane Sample\\\xE3\x82\xB5\xE3\x83\xB3\xE3\x83\x97\xE3\x83\xAB\n"
    "        DeleteMode 2 questions answered: no\n"
    "\n"
    "        installation: succeeded\n"
    "          folder    C:\\Program Files\\Orvane Sample\n"
    "          folder    [Install Folder]\n"
    "          ...\n"
    "          file      [Install Folder]\\Setup.exe (the uninstaller)\n"
    "          ...\n"
    "        left behind:\n"
    "          kept C:\\Program Files\\Orvane Sample\\: it holds '[Install Folder]' (line 48), which is left behind\n"
    "          ...\n"
    "          kept [Install Folder]\\data\\config.ini: its DeleteMode 2 question was answered No (line 43)\n"
    "          kept [Install Folder]\\data\\userdata.txt: DeleteMode 1 leaves it in place (line 42)\n"
    "\n"
    "        result: installed; what is left behind is what the project keeps (exit status 1)\n"
    "    A project that lists a folder after its subfolder fails so:\n"
    "          LEFT [Install Folder]\\data\\: it is listed after its subfolder '[Install Folder]\\data\\cache' (line 5), and folders are removed last first, so it is not empty when its turn comes\n"
    "\n"
    "setupproj verify NEW --over OLD [--payload DIR] [--answer yes|no]\n"
    "    Installs OLD, then NEW into the folder it proposes (OLD's), then runs\n"
    "    NEW's uninstaller, all on the simulated Windows; prints what each step\n"
    "    did (\"installed by OLD only\" marks what NEW's uninstaller removes for\n"
    "    OLD) and every path left behind with its cause. Exit status as verify.\n"
    "setupproj check NEW --over OLD [--payload DIR]\n"
    "    Also warns, at OLD's lines, of each destination of OLD that NEW drops:\n"
    "    installed over OLD, NEW's uninstaller removes it.\n"
    "\n"
    "setupproj scan DIR [--into PROJECT] [--dest TEXT] [--delete-mode N]\n"
    "    Walks the payload folder DIR and writes the records that install it:\n"
    "    folder records, parents before children, and one copy record per file,\n"
    "    its source relative to the project's folder (the current folder without\n"
    "    --into), its destination below TEXT (default [Install Folder]), delete\n"
    "    mode N (0, 1 or 2; default 0). With --into, the records replace those\n"
    "    of PROJECT that install DIR (copy records whose source lies in DIR,\n"
    "    folder records below TEXT that no other record needs and that are not\n"
    "    kept on uninstall), and the project is saved in the canonical layout,\n"
    "    as UTF-8 again if it was; a record that stays keeps its DeleteMode or\n"
    "    KeepOnUninstall, every other record stays as it was, and a PROJECT that\n"
    "    does not exist yet is made.\n"
    "        $ cd examples && setupproj scan payload --dest \"[Install Folder]\\doc\"\n"
    "        [Make Folder]\n"
    "        file00000=[Install Folder]\\doc*0\n"
    "\n"
    "        [Copy File]\n"
    "        file00000=payload\\config.ini*[Install Folder]\\doc\\config.ini*0\n"
    "        file00001=payload\\manual.txt*[Install Folder]\\doc\\manual.txt*0\n"
    "        ...\n";

// Messages are ANSI code page text; a Linux terminal wants UTF-8.
std::string ForTerminal(const std::string& text) {
#ifdef _WIN32
    return text;
#else
    return plat::AnsiToUtf8(text);
#endif
}

void PrintLine(const std::string& text) {
    std::string out = ForTerminal(text);
    out += '\n';
    std::fwrite(out.data(), 1, out.size(), stdout);
}

// One "Key=value" line per setting (an optional one only where it is set),
// "Block[n]=text" per text line and one line per item with its fields as
// Field=value, separated by tabs: the schema's walk, in Load's order.
void Dump(TProjectProperty& p) {
    for (const TSchemaPart& part : ProjectSchema()) {
        for (const TSchemaSetting& s : part.Settings) {
            if (SchemaWrites(p, s)) PrintLine(std::string(s.Key) + "=" + SchemaSettingText(p, s));
        }
        if (part.TextBlock >= 0) {
            const std::vector<std::string>& lines = *p.TextBlock(part.TextBlock);
            PrintLine(std::string(part.Section) + ".Count=" + std::to_string(lines.size()));
            for (size_t n = 0; n < lines.size(); ++n) {
                PrintLine(std::string(part.Section) + "[" + std::to_string(n) + "]=" + lines[n]);
            }
        }
        if (!part.Records) continue;
        const std::string member = part.Records->Member;
        PrintLine(member + ".Count=" + std::to_string(part.Records->Count(p)));
        for (int n = 0; n < part.Records->Count(p); ++n) {
            std::string line = member + "[" + std::to_string(n) + "]";
            const std::vector<std::string> fields = part.Records->Texts(p, n);
            for (size_t i = 0; i < fields.size(); ++i) line += std::string("\t") + part.Records->Fields[i].Name + "=" + fields[i];
            PrintLine(line);
        }
    }
}

void LoadProject(TProjectProperty& project, const std::string& path) {
    if (!setupproj::host::IsFile(path)) throw ESetupError(FormatMessage1("ファイル %s が見つかりません", path));
    std::string bytes;
    if (!setupproj::host::ReadFile(path, bytes)) throw ESetupError(FormatMessage1("ファイル %s は開けません", path));
    project.Parse(bytes);
}

int Run(int argc, char** argv) {
    std::string command = argc > 1 ? argv[1] : "";
    const std::vector<std::string> rest(argv + (argc > 1 ? 2 : argc), argv + argc);
    if (command == "--help" || command == "-h" || command == "help") {
        setupproj::WriteConsole(false, kHelp);
        return 0;
    }
    if (command == "check") return setupproj::RunCheck(rest);
    if (command == "scan") return setupproj::RunScan(rest);
    if (command == "verify") return setupproj::RunVerify(rest);
    if (command == "normalize" && argc == 5 && std::string(argv[2]) == "--from-utf8") {
        return setupproj::RunNormalizeFromUtf8(argv[3], argv[4]);
    }
    if (command == "normalize" && argc == 4 && setupproj::FileHasUtf8Bom(argv[2])) {
        return setupproj::RunNormalizeFromUtf8(argv[2], argv[3]);
    }
    if ((command == "normalize" && argc == 4) || (command == "dump" && argc == 3)) {
        TProjectProperty project;
        LoadProject(project, argv[2]);
        if (command == "dump") {
            Dump(project);
        } else if (!setupproj::host::WriteFile(argv[3], project.Serialize())) {
            throw ESetupError(FormatMessage1("ファイル %s を作成できません", argv[3]));
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
        std::fflush(stdout);
        std::string message = ForTerminal(e.Message()) + "\n";
        std::fwrite(message.data(), 1, message.size(), stderr);
        return 1;
    }
}
