#pragma once
// The projects of the install-and-uninstall round trips: the end-to-end
// drivers run them with the real Setup.exe under Wine, and setupproj verify
// must come to the same outcome on the simulated machine.
#include <string>

namespace support {

// A project whose uninstallation leaves nothing: one file in the
// installation folder, one (DeleteMode 2) in a listed subfolder, a Start
// menu folder with a shortcut, a registration under key. Its payload is
// payload\one.txt and payload\two.txt; with secondSourceMissing the second
// record names payload\missing.txt instead, and the installation fails there.
inline std::string SmallProject(const std::string& location, const std::string& key, bool secondSourceMissing) {
    return "[Project Property]\r\nInstallMode=0\r\nName1=Orvane RT\r\n[Message]\r\nMessageDisp=0\r\n"
           "[Copy File]\r\nDirectorySwitch=1\r\nInitDirectory=1\r\nSubDirectory=" + location + "\r\n"
           "file00000=payload\\one.txt*[Install Folder]\\one.txt*0\r\n"
           "file00001=payload\\" + std::string(secondSourceMissing ? "missing.txt" : "two.txt") +
           "*[Install Folder]\\sub\\two.txt*2\r\n"
           "[Make Folder]\r\nfile00000=[Install Folder]\\sub*0\r\nfile00001=スタート\\プログラム\\Orvane RT*0\r\n"
           "[ShortCut File]\r\nfile00000=スタート\\プログラム\\Orvane RT\\One*[Install Folder]\\one.txt*[Install Folder]*1*one**0\r\n"
           "[UnInstall Property]\r\nUnInstallKey=" + key + "\r\nUnInstallName=Orvane RT\r\n";
}

}  // namespace support
