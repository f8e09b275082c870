// setupproj: a tool for project authors.
//   setupproj normalize IN OUT   load IN and save it to OUT in the canonical
//                                layout, exactly as the installer saves its copy
//   setupproj dump IN            print every property, text line and item
// Errors print their message and end with exit status 1. Unlike the
// installer's Load, a missing input file is an error here.
//
// The native build reads and writes the host's files directly (the sim
// backend gives it only its locale); the Windows build goes through the
// installer's own Load and Save.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"
#include "project/ProjectProperty_unit.h"

#if ORVANE_BACKEND_SIM
#include <filesystem>
#include <fstream>
#include <sstream>
#endif

namespace {

const char kUsage[] =
    "usage: setupproj normalize IN OUT\n"
    "       setupproj dump IN\n";

// Messages are ANSI code page text; a Linux terminal wants UTF-8.
std::string ForTerminal(const std::string& text) {
#if ORVANE_BACKEND_SIM
    return plat::AnsiToUtf8(text);
#else
    return text;
#endif
}

void PrintLine(const std::string& text) {
    std::string out = ForTerminal(text);
    out += '\n';
    std::fwrite(out.data(), 1, out.size(), stdout);
}

std::string Number(unsigned value) { return std::to_string(value); }

// One "Key=value" line per property, "Block[n]=text" per text line and one
// line per item with its fields as Field=value, separated by tabs.
void Dump(TProjectProperty& p) {
    auto block = [](const char* name, const std::vector<std::string>& lines) {
        PrintLine(std::string(name) + ".Count=" + Number(static_cast<unsigned>(lines.size())));
        for (size_t n = 0; n < lines.size(); ++n) {
            PrintLine(std::string(name) + "[" + Number(static_cast<unsigned>(n)) + "]=" + lines[n]);
        }
    };
    PrintLine("Name1=" + p.Name1);
    PrintLine("Name2=" + p.Name2);
    PrintLine("Version=" + p.Version);
    PrintLine("Copyright=" + p.Copyright);
    PrintLine("InstallMode=" + Number(p.InstallMode));
    PrintLine("ProjectMakeMode=" + Number(p.ProjectMakeMode));
    PrintLine("ProjectLocation=" + p.ProjectLocation);
    block("Information", p.Information);
    PrintLine("MessageDisp=" + Number(p.MessageDisp));
    block("DisplayMessage", p.DisplayMessage);
    PrintLine(std::string("LisenceUse=") + (p.LisenceUse ? "1" : "0"));
    block("LisenceMessage", p.LisenceMessage);
    PrintLine("DirectorySwitch=" + Number(p.DirectorySwitch));
    PrintLine("InitDirectory=" + Number(p.InitDirectory));
    PrintLine("SubDirectory=" + p.SubDirectory);

    PrintLine("Folders.Count=" + Number(static_cast<unsigned>(p.Folders.Count())));
    for (int n = 0; n < p.Folders.Count(); ++n) {
        const TMakeFolder& f = p.Folders.Items(n);
        PrintLine("Folders[" + Number(n) + "]\tFolderPath=" + f.FolderPath +
                  "\tKeepOnUninstall=" + Number(f.KeepOnUninstall));
    }
    PrintLine("Files.Count=" + Number(static_cast<unsigned>(p.Files.Count())));
    for (int n = 0; n < p.Files.Count(); ++n) {
        const TCopyFile& f = p.Files.Items(n);
        PrintLine("Files[" + Number(n) + "]\tSourceFile=" + f.SourceFile + "\tDestFile=" + f.DestFile +
                  "\tDeleteMode=" + Number(f.DeleteMode));
    }
    PrintLine("Shortcuts.Count=" + Number(static_cast<unsigned>(p.Shortcuts.Count())));
    for (int n = 0; n < p.Shortcuts.Count(); ++n) {
        const TShortCutFile& s = p.Shortcuts.Items(n);
        PrintLine("Shortcuts[" + Number(n) + "]\tLinkFile=" + s.LinkFile + "\tTargetFile=" + s.TargetFile +
                  "\tWorkDirectory=" + s.WorkDirectory + "\tShowMode=" + Number(s.ShowMode) +
                  "\tDescription=" + s.Description + "\tExtraFile=" + s.ExtraFile +
                  "\tExtraNumber=" + std::to_string(s.ExtraNumber));
    }
    PrintLine("UnInstallName=" + p.UnInstallName);
    PrintLine("UnInstallKey=" + p.UnInstallKey);
    PrintLine("UnInstallDialog=" + Number(p.UnInstallDialog));
}

#if ORVANE_BACKEND_SIM
void LoadProject(TProjectProperty& project, const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        throw ESetupError(FormatMessage1("ファイル %s が見つかりません", path));
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    if (!in || !(bytes << in.rdbuf())) throw ESetupError(FormatMessage1("ファイル %s は開けません", path));
    project.Parse(bytes.str());
}

void SaveProject(TProjectProperty& project, const std::string& path) {
    const std::string bytes = project.Serialize();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out || !out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) || !out.flush()) {
        throw ESetupError(FormatMessage1("ファイル %s を作成できません", path));
    }
}
#else
void LoadProject(TProjectProperty& project, const std::string& path) {
    if (!plat::FileExists(path)) {
        throw ESetupError(FormatMessage1("ファイル %s が見つかりません", path));
    }
    project.Load(path);
}

void SaveProject(TProjectProperty& project, const std::string& path) { project.Save(path); }
#endif

int Run(int argc, char** argv) {
    std::string command = argc > 1 ? argv[1] : "";
    if (command == "normalize" && argc == 4) {
        TProjectProperty project;
        LoadProject(project, argv[2]);
        SaveProject(project, argv[3]);
        return 0;
    }
    if (command == "dump" && argc == 3) {
        TProjectProperty project;
        LoadProject(project, argv[2]);
        Dump(project);
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
