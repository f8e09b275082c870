#pragma once
// `setupproj verify`: the installation run and then the uninstallation run
// of a project, the installer's own engine (TSetupEngine) on the simulated
// Windows of the sim backend, with a run host of the tool's that shows no
// window. It reports what the installation made, how each run ended, what
// the uninstaller's self-removal takes after the program ends, and every
// path left behind with its cause (the structural analysis of Structure.h).
//
// The simulated machine is the sim backend's default one (C:\Program Files,
// C:\Windows, the profile C:\users\sim), with the installer and the copy
// sources on a medium in D:\medium. Sources are taken by name: what a copy
// source holds changes nothing in either run, so none is read.
#include <string>
#include <vector>

#include "tools/setupproj/Check.h"

namespace setupproj {

struct VerifyOptions {
    std::string installerName = "Setup.exe";  // the program that reads the project
    bool answerYes = true;                    // to every DeleteMode 2 question
};

// One line of the report: a kind ("folder", "file", "question", ...), a path
// or a text (UTF-8), and what follows it.
struct VerifyLine {
    std::string kind;
    std::string text;
    std::string detail;  // "" for none
};

struct VerifyLeftover {
    std::string path;  // as a project writes it (UTF-8); a folder ends in "\"
    bool folder = false;
    bool intended = false;  // what the project keeps, or a folder that holds it
    std::string cause;      // UTF-8
};

struct VerifyReport {
    std::string installFolder;  // the proposed installation folder (CP932)
    std::vector<VerifyLine> notes;          // sources taken as present
    std::string loadError;                  // the load stopped: nothing ran (UTF-8)
    bool installSucceeded = false;
    std::string installFailure;             // what stopped it, with its line (UTF-8)
    std::vector<VerifyLine> install;        // what the installation made, and its boxes
    bool uninstallRan = false;
    bool uninstallSucceeded = false;
    std::string uninstallFailure;
    std::vector<VerifyLine> uninstall;      // its questions and boxes
    std::vector<std::string> selfRemoved;   // paths as a project writes them; folders end in "\"
    std::vector<VerifyLeftover> leftovers;  // in the tree's order

    // 0: installed and nothing unintended is left; 1: only what the project
    // keeps is left; 2: a load or run failed, or something else is left.
    int ExitStatus() const;
};

// cp932: the project file's text. sources finds the relative copy sources
// on the host (those it finds are put on the simulated medium). Leaves the
// sim backend in the state the runs left.
VerifyReport VerifyProject(const std::string& cp932, const VerifyOptions& options, SourceFiles& sources);

// The report as the tool prints it (UTF-8 lines, each ended by "\n").
std::string FormatVerifyReport(const std::string& projectName, const VerifyOptions& options,
                               const VerifyReport& report);

}  // namespace setupproj
