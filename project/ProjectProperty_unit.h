#pragma once
// The setup project model: what the project file names, shows, sets and
// lists. Load reads a project file through a read-only INI document; Save
// writes the canonical layout through a new one.
#include <cstdint>
#include <string>
#include <vector>

#include "project/CopyFile_unit.h"
#include "project/MakeFolder_unit.h"
#include "project/ShortCutFile_unit.h"

class TProjectIniFile;

// The text blocks of TextBlock.
enum TTextBlockKind { tbInformation = 0, tbDisplayMessage = 1, tbLisenceMessage = 2 };

class TProjectProperty {
public:
    // At most this many lines per text block and records per list are read.
    static constexpr int kMaxTextLines = 10000;
    static constexpr int kMaxItems = 65536;

    TProjectProperty();
    virtual ~TProjectProperty();
    TProjectProperty(const TProjectProperty&) = delete;
    TProjectProperty& operator=(const TProjectProperty&) = delete;

    uint8_t InstallMode;
    uint8_t ProjectMakeMode;
    std::string ProjectLocation;
    std::string Name1;
    std::string Name2;
    std::string Version;
    std::string Copyright;
    uint8_t MessageDisp;
    bool LisenceUse;
    uint8_t DirectorySwitch;
    uint8_t InitDirectory;
    std::string SubDirectory;
    TMakeFolders Folders;
    TCopyFiles Files;
    TShortCutFiles Shortcuts;
    std::string UnInstallName;
    std::string UnInstallKey;
    uint8_t UnInstallDialog;
    // Optional values of the uninstall entry that the list of installed
    // programs shows; empty where the project gives none. DisplayIcon is a
    // path with folder keywords, optionally followed by ",N".
    std::string DisplayVersion;
    std::string Publisher;
    std::string DisplayIcon;
    std::string URLInfoAbout;
    std::string HelpLink;
    // 1 (the default): a new version proposes the folder of the installed one.
    uint8_t UsePreviousLocation;

    std::vector<std::string> Information;
    std::vector<std::string> DisplayMessage;
    std::vector<std::string> LisenceMessage;

    // A TTextBlockKind's block; nullptr for any other kind.
    std::vector<std::string>* TextBlock(int kind);

    void Reset();
    // Reads the project file (a missing file gives the defaults). Raises
    // ESetupError on an unreadable file or a number that does not convert;
    // the model then holds what was read before the error.
    bool Load(const std::string& fileName);
    // Writes the model as a project file. Raises ESetupError when the file
    // cannot be created.
    bool Save(const std::string& fileName);
    // Load and Save over a project file's bytes in memory: the same reading
    // (and errors) and the same canonical layout, with no file involved.
    void Parse(const std::string& text);
    std::string Serialize();
    // Stores the text without its leading and trailing '\' characters.
    void SetSubDirectory(const std::string& text);
    // The first field that Save writes for a file record.
    virtual std::string GetCopySource(const TCopyFile& item);

private:
    void ReadAll(TProjectIniFile& ini);
    void WriteAll(TProjectIniFile& ini);
};
