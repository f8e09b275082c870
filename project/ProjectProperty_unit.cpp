#include "project/ProjectProperty_unit.h"

#include "platform/AnsiText.h"
#include "platform/FileSystem.h"
#include "project/GrobalFunction_unit.h"
#include "project/IniFile_unit.h"

namespace {

const char kProjectSection[] = "Project Property";
const char kInformationSection[] = "Information";
const char kMessageSection[] = "Message";
const char kDisplayMessageSection[] = "DisplayMessage";
const char kLisenceSection[] = "Lisence";
const char kLisenceMessageSection[] = "LisenceMessage";
const char kCopyFileSection[] = "Copy File";
const char kMakeFolderSection[] = "Make Folder";
const char kShortCutSection[] = "ShortCut File";
const char kUnInstallSection[] = "UnInstall Property";

// The default of every list read: coming back, it ends the list.
const char kListEnd[] = "***error***";
// Load splits a record into this many entries; surplus fields are dropped.
constexpr int kFieldCapacity = 17;

// A list number (never negative) in decimal with leading zeros up to width
// digits. Formatted by hand: the C library's formatted output would bring
// its whole floating-point formatter into Setup.exe.
std::string ZeroPadded(int n, size_t width) {
    std::string digits = std::to_string(static_cast<unsigned>(n));
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    return digits;
}

std::string LineKey(int n) { return "line" + ZeroPadded(n, 4); }

// "file%5d" with its padding spaces as zeros.
std::string RecordKey(int n) { return "file" + ZeroPadded(n, 5); }

uint8_t LowByte(int32_t value) { return static_cast<uint8_t>(static_cast<uint32_t>(value) & 0xFFu); }

std::string Unsigned(uint8_t value) { return std::to_string(static_cast<unsigned>(value)); }

void ReadTextBlock(TProjectIniFile& ini, const char* section, std::vector<std::string>& block) {
    for (int n = 0; n < TProjectProperty::kMaxTextLines; ++n) {
        std::string value = ini.ReadString(section, LineKey(n), kListEnd);
        if (value == kListEnd) break;
        block.push_back(value);
    }
}

void WriteTextBlock(TProjectIniFile& ini, const char* section,
                    const std::vector<std::string>& block) {
    // Only what Load can read back is written: a block longer than the
    // line limit is cut there, so that Save and Load agree on every file.
    size_t count = block.size();
    if (count > static_cast<size_t>(TProjectProperty::kMaxTextLines)) {
        count = TProjectProperty::kMaxTextLines;
    }
    for (size_t n = 0; n < count; ++n) ini.WriteString(section, LineKey(static_cast<int>(n)), block[n]);
}

// Reads "file%5d" records until the list end; each one is split and handed
// to assign, which sets the new item's fields in record order.
template <typename Collection, typename Assign>
void ReadRecords(TProjectIniFile& ini, const char* section, Collection& items, Assign assign) {
    std::string fields[kFieldCapacity];  // reused: a field beyond the value reads as empty
    for (int n = 0; n < TProjectProperty::kMaxItems; ++n) {
        std::string value = ini.ReadString(section, RecordKey(n), kListEnd);
        if (value == kListEnd) break;
        int count = SplitFields(value, '*', fields, kFieldCapacity);
        for (int i = count + 1; i < kFieldCapacity; ++i) fields[i].clear();
        assign(items.Add(), fields);
    }
}

}  // namespace

TProjectProperty::TProjectProperty() { Reset(); }

TProjectProperty::~TProjectProperty() = default;

std::vector<std::string>* TProjectProperty::TextBlock(int kind) {
    switch (kind) {
        case tbInformation: return &Information;
        case tbDisplayMessage: return &DisplayMessage;
        case tbLisenceMessage: return &LisenceMessage;
        default: return nullptr;
    }
}

void TProjectProperty::Reset() {
    InstallMode = 0;
    ProjectMakeMode = 0;
    ProjectLocation.clear();
    Name1.clear();
    Name2.clear();
    Version.clear();
    Copyright.clear();
    MessageDisp = 2;
    LisenceUse = false;
    DirectorySwitch = 0;
    InitDirectory = 0;
    SubDirectory.clear();
    Folders.Clear();
    Files.Clear();
    Shortcuts.Clear();
    UnInstallName.clear();
    UnInstallKey.clear();
    UnInstallDialog = 0;
    DisplayVersion.clear();
    Publisher.clear();
    DisplayIcon.clear();
    URLInfoAbout.clear();
    HelpLink.clear();
    UsePreviousLocation = 1;
    Information.clear();
    DisplayMessage.clear();
    LisenceMessage.clear();
}

void TProjectProperty::SetSubDirectory(const std::string& text) {
    // By characters: a folder name ending in ソ or 表 (second byte 0x5C)
    // keeps its last character whole.
    SubDirectory = plat::ansi::TrimSeparators(text);
}

std::string TProjectProperty::GetCopySource(const TCopyFile& item) { return item.SourceFile; }

bool TProjectProperty::Load(const std::string& fileName) {
    Reset();
    TProjectIniFile ini(fileName);
    ini.ReadOnly = true;
    ReadAll(ini);
    ini.Close();
    return true;
}

void TProjectProperty::Parse(const std::string& text) {
    Reset();
    TProjectIniFile ini;
    ini.Parse(text);
    ReadAll(ini);
}

void TProjectProperty::ReadAll(TProjectIniFile& ini) {
    Name1 = ini.ReadString(kProjectSection, "Name1", "");
    Name2 = ini.ReadString(kProjectSection, "Name2", "");
    Version = ini.ReadString(kProjectSection, "Version", "");
    Copyright = ini.ReadString(kProjectSection, "Copyright", "");
    InstallMode = LowByte(ini.ReadInteger(kProjectSection, "InstallMode", 0));
    ProjectMakeMode = LowByte(ini.ReadInteger(kProjectSection, "ProjectMakeMode", 0));
    ProjectLocation = ini.ReadString(kProjectSection, "ProjectLocation", "");
    ReadTextBlock(ini, kInformationSection, Information);
    MessageDisp = LowByte(ini.ReadInteger(kMessageSection, "MessageDisp", 2));
    ReadTextBlock(ini, kDisplayMessageSection, DisplayMessage);
    LisenceUse = ini.ReadBool(kLisenceSection, "LisenceUse", false);
    ReadTextBlock(ini, kLisenceMessageSection, LisenceMessage);
    DirectorySwitch = LowByte(ini.ReadInteger(kCopyFileSection, "DirectorySwitch", 0));
    InitDirectory = LowByte(ini.ReadInteger(kCopyFileSection, "InitDirectory", 0));
    SetSubDirectory(ini.ReadString(kCopyFileSection, "SubDirectory", ""));

    ReadRecords(ini, kMakeFolderSection, Folders, [](TMakeFolder& item, const std::string* f) {
        item.FolderPath = f[0];
        item.KeepOnUninstall = LowByte(ConvertIniInteger(f[1]));
    });
    ReadRecords(ini, kCopyFileSection, Files, [](TCopyFile& item, const std::string* f) {
        item.SourceFile = f[0];
        item.DestFile = f[1];
        item.DeleteMode = LowByte(ConvertIniInteger(f[2]));
    });
    ReadRecords(ini, kShortCutSection, Shortcuts, [](TShortCutFile& item, const std::string* f) {
        item.LinkFile = f[0];
        item.TargetFile = f[1];
        item.WorkDirectory = f[2];
        item.ShowMode = LowByte(ConvertIniInteger(f[3]));
        item.Description = f[4];
        item.ExtraFile = f[5];
        item.ExtraNumber = ConvertIniInteger(f[6]);
    });

    UnInstallName = ini.ReadString(kUnInstallSection, "UnInstallName", "");
    UnInstallKey = ini.ReadString(kUnInstallSection, "UnInstallKey", "");
    UnInstallDialog = LowByte(ini.ReadInteger(kUnInstallSection, "UnInstallDialog", 0));
    DisplayVersion = ini.ReadString(kUnInstallSection, "DisplayVersion", "");
    Publisher = ini.ReadString(kUnInstallSection, "Publisher", "");
    DisplayIcon = ini.ReadString(kUnInstallSection, "DisplayIcon", "");
    URLInfoAbout = ini.ReadString(kUnInstallSection, "URLInfoAbout", "");
    HelpLink = ini.ReadString(kUnInstallSection, "HelpLink", "");
    UsePreviousLocation = LowByte(ini.ReadInteger(kUnInstallSection, "UsePreviousLocation", 1));
}

bool TProjectProperty::Save(const std::string& fileName) {
    plat::DeleteFileAt(fileName);  // a failure shows when the file is created
    TProjectIniFile ini;
    ini.FileName = fileName;
    WriteAll(ini);
    ini.Close();
    return true;
}

std::string TProjectProperty::Serialize() {
    TProjectIniFile ini;
    WriteAll(ini);
    return ini.Serialize();
}

void TProjectProperty::WriteAll(TProjectIniFile& ini) {
    ini.WriteString(kProjectSection, "Name1", Name1);
    ini.WriteString(kProjectSection, "Name2", Name2);
    ini.WriteString(kProjectSection, "Version", Version);
    ini.WriteString(kProjectSection, "Copyright", Copyright);
    ini.WriteString(kProjectSection, "InstallMode", Unsigned(InstallMode));
    ini.WriteString(kProjectSection, "ProjectMakeMode", Unsigned(ProjectMakeMode));
    ini.WriteString(kProjectSection, "ProjectLocation", ProjectLocation);
    WriteTextBlock(ini, kInformationSection, Information);
    ini.WriteString(kMessageSection, "MessageDisp", Unsigned(MessageDisp));
    WriteTextBlock(ini, kDisplayMessageSection, DisplayMessage);
    ini.WriteBool(kLisenceSection, "LisenceUse", LisenceUse);
    WriteTextBlock(ini, kLisenceMessageSection, LisenceMessage);
    ini.WriteString(kCopyFileSection, "DirectorySwitch", Unsigned(DirectorySwitch));
    ini.WriteString(kCopyFileSection, "InitDirectory", Unsigned(InitDirectory));
    ini.WriteString(kCopyFileSection, "SubDirectory", SubDirectory);

    for (int n = 0; n < Folders.Count(); ++n) {
        const TMakeFolder& item = Folders.Items(n);
        ini.WriteString(kMakeFolderSection, RecordKey(n),
                        item.FolderPath + "*" + Unsigned(item.KeepOnUninstall));
    }
    for (int n = 0; n < Files.Count(); ++n) {
        const TCopyFile& item = Files.Items(n);
        ini.WriteString(kCopyFileSection, RecordKey(n),
                        GetCopySource(item) + "*" + item.DestFile + "*" + Unsigned(item.DeleteMode));
    }
    for (int n = 0; n < Shortcuts.Count(); ++n) {
        const TShortCutFile& item = Shortcuts.Items(n);
        ini.WriteString(kShortCutSection, RecordKey(n),
                        item.LinkFile + "*" + item.TargetFile + "*" + item.WorkDirectory + "*" +
                            Unsigned(item.ShowMode) + "*" + item.Description + "*" +
                            item.ExtraFile + "*" + std::to_string(item.ExtraNumber));
    }

    ini.WriteString(kUnInstallSection, "UnInstallName", UnInstallName);
    ini.WriteString(kUnInstallSection, "UnInstallKey", UnInstallKey);
    ini.WriteString(kUnInstallSection, "UnInstallDialog", Unsigned(UnInstallDialog));
    // The optional values are written only where they are set, so a project
    // without them keeps its layout byte for byte.
    auto optional = [&](const char* key, const std::string& value) {
        if (!value.empty()) ini.WriteString(kUnInstallSection, key, value);
    };
    optional("DisplayVersion", DisplayVersion);
    optional("Publisher", Publisher);
    optional("DisplayIcon", DisplayIcon);
    optional("URLInfoAbout", URLInfoAbout);
    optional("HelpLink", HelpLink);
    if (UsePreviousLocation != 1) optional("UsePreviousLocation", Unsigned(UsePreviousLocation));
}
