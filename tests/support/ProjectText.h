#pragma once
// The text of a project file as the suites write it before they start the
// wizard (the sim tests into the sim's files, the end-to-end drivers into a
// real folder): one writer, each suite with its own defaults.
#include <cstdio>
#include <string>
#include <vector>

namespace support {

struct ProjectSpec {
    int installMode = 0;
    std::string name1, name2, version, copyright;
    std::vector<std::string> information, displayMessage, lisenceMessage;
    int messageDisp = 0;
    bool lisenceUse = false;
    int directorySwitch = 1;
    int initDirectory = 0;
    std::string subDirectory;
    std::string files;  // "file%05d=..." record lines of "Copy File", each ended by CR LF
    // "UnInstall Property" is written when either is set.
    std::string unInstallName, unInstallKey;
};

inline std::string ProjectText(const ProjectSpec& p) {
    auto block = [](const char* section, const std::vector<std::string>& lines) {
        std::string t = std::string("[") + section + "]\r\n";
        char key[16];
        for (size_t n = 0; n < lines.size(); ++n) {
            std::snprintf(key, sizeof key, "line%04u=", static_cast<unsigned>(n));
            t += key + lines[n] + "\r\n";
        }
        return t;
    };
    std::string t = "[Project Property]\r\n";
    t += "InstallMode=" + std::to_string(p.installMode) + "\r\n";
    t += "Name1=" + p.name1 + "\r\n";
    if (!p.name2.empty()) t += "Name2=" + p.name2 + "\r\n";
    t += "Version=" + p.version + "\r\n";
    t += "Copyright=" + p.copyright + "\r\n";
    t += block("Information", p.information);
    t += "[Message]\r\nMessageDisp=" + std::to_string(p.messageDisp) + "\r\n";
    t += block("DisplayMessage", p.displayMessage);
    t += "[Lisence]\r\nLisenceUse=" + std::string(p.lisenceUse ? "1" : "0") + "\r\n";
    t += block("LisenceMessage", p.lisenceMessage);
    t += "[Copy File]\r\nDirectorySwitch=" + std::to_string(p.directorySwitch) + "\r\n";
    t += "InitDirectory=" + std::to_string(p.initDirectory) + "\r\n";
    t += "SubDirectory=" + p.subDirectory + "\r\n";
    t += p.files;
    if (!p.unInstallName.empty() || !p.unInstallKey.empty()) {
        t += "[UnInstall Property]\r\nUnInstallName=" + p.unInstallName + "\r\nUnInstallKey=" + p.unInstallKey +
             "\r\n";
    }
    return t;
}

}  // namespace support
