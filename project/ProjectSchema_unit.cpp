#include "project/ProjectSchema_unit.h"

#include <algorithm>

#include "platform/Error.h"
#include "project/GrobalFunction_unit.h"
#include "project/IniFile_unit.h"
#include "project/ProjectProperty_unit.h"

namespace {

using P = TProjectProperty;

// The default of every list read: coming back, it ends the list.
const char kListEnd[] = "***error***";
// Load splits a record into this many entries; surplus fields are dropped.
constexpr int kFieldCapacity = 17;

TSchemaSetting Text(const char* key, std::string P::*member, bool optional = false) {
    return {key, skText, 0, optional, member, nullptr, nullptr};
}
TSchemaSetting Byte(const char* key, uint8_t P::*member, int32_t byDefault = 0, bool optional = false) {
    return {key, skByte, byDefault, optional, nullptr, member, nullptr};
}
TSchemaSetting Flag(const char* key, bool P::*member) { return {key, skBool, 0, false, nullptr, nullptr, member}; }

uint8_t LowByte(int32_t value) { return static_cast<uint8_t>(static_cast<uint32_t>(value) & 0xFFu); }

std::string Unsigned(uint8_t value) { return std::to_string(static_cast<unsigned>(value)); }

const TSchemaRecords kFolders = {
    "Folders",
    "folder*keep",
    {{"FolderPath", skText}, {"KeepOnUninstall", skByte}},
    [](const P& p) { return p.Folders.Count(); },
    [](P& p) { p.Folders.Clear(); },
    [](P& p, int n) {
        const TMakeFolder& item = p.Folders.Items(n);
        return std::vector<std::string>{item.FolderPath, Unsigned(item.KeepOnUninstall)};
    },
    [](P& p, const std::string* f, const int32_t* v) {
        TMakeFolder& item = p.Folders.Add();
        item.FolderPath = f[0];
        item.KeepOnUninstall = LowByte(v[1]);
    }};

const TSchemaRecords kFiles = {
    "Files",
    "source*destination*deletemode",
    {{"SourceFile", skText}, {"DestFile", skText}, {"DeleteMode", skByte}},
    [](const P& p) { return p.Files.Count(); },
    [](P& p) { p.Files.Clear(); },
    [](P& p, int n) {
        const TCopyFile& item = p.Files.Items(n);
        return std::vector<std::string>{p.GetCopySource(item), item.DestFile, Unsigned(item.DeleteMode)};
    },
    [](P& p, const std::string* f, const int32_t* v) {
        TCopyFile& item = p.Files.Add();
        item.SourceFile = f[0];
        item.DestFile = f[1];
        item.DeleteMode = LowByte(v[2]);
    }};

const TSchemaRecords kShortcuts = {
    "Shortcuts",
    "link*target*workfolder*showmode*description*extrafile*extranumber",
    {{"LinkFile", skText},
     {"TargetFile", skText},
     {"WorkDirectory", skText},
     {"ShowMode", skByte},
     {"Description", skText},
     {"ExtraFile", skText},
     {"ExtraNumber", skNumber}},
    [](const P& p) { return p.Shortcuts.Count(); },
    [](P& p) { p.Shortcuts.Clear(); },
    [](P& p, int n) {
        const TShortCutFile& s = p.Shortcuts.Items(n);
        return std::vector<std::string>{s.LinkFile,    s.TargetFile, s.WorkDirectory,           Unsigned(s.ShowMode),
                                        s.Description, s.ExtraFile,  std::to_string(s.ExtraNumber)};
    },
    [](P& p, const std::string* f, const int32_t* v) {
        TShortCutFile& item = p.Shortcuts.Add();
        item.LinkFile = f[0];
        item.TargetFile = f[1];
        item.WorkDirectory = f[2];
        item.ShowMode = LowByte(v[3]);
        item.Description = f[4];
        item.ExtraFile = f[5];
        item.ExtraNumber = v[6];
    }};

// Converts a number as Load does; lenient, a failure is told and gives
// the fallback.
int32_t Number(const std::function<void(const TSchemaNumber&)>& lenient, TSchemaNumber number) {
    try {
        number.Value = ConvertIniInteger(number.Text);
    } catch (const ESetupError& error) {
        if (!lenient) throw;
        number.Error = error.Message();
    }
    if (lenient) lenient(number);
    return number.Value;
}

}  // namespace

const std::vector<TSchemaPart>& ProjectSchema() {
    static const std::vector<TSchemaPart> parts = {
        {"Project Property",
         {Text("Name1", &P::Name1), Text("Name2", &P::Name2), Text("Version", &P::Version),
          Text("Copyright", &P::Copyright), Byte("InstallMode", &P::InstallMode),
          Byte("ProjectMakeMode", &P::ProjectMakeMode), Text("ProjectLocation", &P::ProjectLocation)},
         -1,
         nullptr},
        {"Information", {}, tbInformation, nullptr},
        {"Message", {Byte("MessageDisp", &P::MessageDisp, 2)}, -1, nullptr},
        {"DisplayMessage", {}, tbDisplayMessage, nullptr},
        {"Lisence", {Flag("LisenceUse", &P::LisenceUse)}, -1, nullptr},
        {"LisenceMessage", {}, tbLisenceMessage, nullptr},
        {"Copy File",
         {Byte("DirectorySwitch", &P::DirectorySwitch), Byte("InitDirectory", &P::InitDirectory),
          Text("SubDirectory", &P::SubDirectory)},
         -1,
         nullptr},
        {"Make Folder", {}, -1, &kFolders},
        {"Copy File", {}, -1, &kFiles},
        {"ShortCut File", {}, -1, &kShortcuts},
        {"UnInstall Property",
         {Text("UnInstallName", &P::UnInstallName), Text("UnInstallKey", &P::UnInstallKey),
          Byte("UnInstallDialog", &P::UnInstallDialog), Text("DisplayVersion", &P::DisplayVersion, true),
          Text("Publisher", &P::Publisher, true), Text("DisplayIcon", &P::DisplayIcon, true),
          Text("URLInfoAbout", &P::URLInfoAbout, true), Text("HelpLink", &P::HelpLink, true),
          Byte("UsePreviousLocation", &P::UsePreviousLocation, 1, true)},
         -1,
         nullptr},
    };
    return parts;
}

std::string SchemaListKey(bool records, int number) {
    // Padded by hand: the C library's formatted output would bring its whole
    // floating-point formatter into Setup.exe.
    std::string digits = std::to_string(static_cast<unsigned>(number));
    const size_t width = records ? 5 : 4;
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    return (records ? "file" : "line") + digits;
}

std::string SchemaSettingText(const TProjectProperty& p, const TSchemaSetting& setting) {
    switch (setting.Kind) {
        case skText: return p.*setting.Text;
        case skBool: return p.*setting.Flag ? "1" : "0";
        default: return Unsigned(p.*setting.Byte);
    }
}

bool SchemaWrites(const TProjectProperty& p, const TSchemaSetting& setting) {
    if (!setting.Optional) return true;
    return setting.Kind == skText ? !(p.*setting.Text).empty() : p.*setting.Byte != setting.Default;
}

void SchemaReset(TProjectProperty& p) {
    for (const TSchemaPart& part : ProjectSchema()) {
        for (const TSchemaSetting& s : part.Settings) {
            if (s.Kind == skText) (p.*s.Text).clear();
            if (s.Kind == skByte) p.*s.Byte = LowByte(s.Default);
            if (s.Kind == skBool) p.*s.Flag = s.Default != 0;
        }
        if (part.TextBlock >= 0) p.TextBlock(part.TextBlock)->clear();
        if (part.Records) part.Records->Clear(p);
    }
}

void SchemaReadAll(TProjectIniFile& ini, TProjectProperty& p,
                   const std::function<void(const TSchemaNumber&)>& lenient) {
    for (const TSchemaPart& part : ProjectSchema()) {
        for (const TSchemaSetting& s : part.Settings) {
            if (s.Kind == skText) {
                p.*s.Text = ini.ReadString(part.Section, s.Key, "");
                // By characters: a folder name ending in ソ or 表 (second
                // byte 0x5C) keeps its last character whole.
                if (s.Text == &P::SubDirectory) p.SetSubDirectory(p.SubDirectory);
                continue;
            }
            const std::string text = ini.ReadString(part.Section, s.Key, std::to_string(s.Default));
            const int32_t value = Number(lenient, {part, s.Key, s.Kind, s.Key, text, s.Default, {}, -1, 0});
            if (s.Kind == skByte) p.*s.Byte = LowByte(value);
            if (s.Kind == skBool) p.*s.Flag = value != 0;
        }
        const bool records = part.Records != nullptr;
        if (part.TextBlock < 0 && !records) continue;
        std::string fields[kFieldCapacity];  // reused: a field beyond the value reads as empty
        int32_t numbers[kFieldCapacity] = {};
        const int limit = records ? TProjectProperty::kMaxItems : TProjectProperty::kMaxTextLines;
        for (int n = 0; n < limit; ++n) {
            const std::string key = SchemaListKey(records, n);
            const std::string value = ini.ReadString(part.Section, key, kListEnd);
            if (value == kListEnd) break;
            if (!records) {
                p.TextBlock(part.TextBlock)->push_back(value);
                continue;
            }
            const int count = SplitFields(value, '*', fields, kFieldCapacity);
            for (int i = count + 1; i < kFieldCapacity; ++i) fields[i].clear();
            const std::vector<TSchemaField>& form = part.Records->Fields;
            for (size_t i = 0; i < form.size(); ++i) {
                if (form[i].Kind == skText) continue;
                try {
                    numbers[i] = Number(lenient, {part, form[i].Name, form[i].Kind, key, fields[i], 0, {},
                                                  static_cast<int>(i), count});
                } catch (const ESetupError&) {
                    // The item is there already, with the fields before the failing one.
                    for (size_t j = i; j < form.size(); ++j) fields[j].clear(), numbers[j] = 0;
                    part.Records->Add(p, fields, numbers);
                    throw;
                }
            }
            part.Records->Add(p, fields, numbers);
        }
    }
}

void SchemaWriteAll(TProjectIniFile& ini, TProjectProperty& p) {
    for (const TSchemaPart& part : ProjectSchema()) {
        for (const TSchemaSetting& s : part.Settings) {
            if (SchemaWrites(p, s)) ini.WriteString(part.Section, s.Key, SchemaSettingText(p, s));
        }
        if (part.TextBlock >= 0) {
            // Only what Load can read back is written: a block longer than the
            // line limit is cut there, so that Save and Load agree on every file.
            const std::vector<std::string>& block = *p.TextBlock(part.TextBlock);
            const size_t count = std::min(block.size(), static_cast<size_t>(TProjectProperty::kMaxTextLines));
            for (size_t n = 0; n < count; ++n) {
                ini.WriteString(part.Section, SchemaListKey(false, static_cast<int>(n)), block[n]);
            }
        }
        SchemaWriteRecords(ini, p, part);
    }
}

void SchemaWriteRecords(TProjectIniFile& ini, TProjectProperty& p, const TSchemaPart& part) {
    for (int n = 0; part.Records && n < part.Records->Count(p); ++n) {
        std::string value;
        for (const std::string& field : part.Records->Texts(p, n)) value += field + "*";
        value.pop_back();  // fields are joined by '*'; the last has none after it
        ini.WriteString(part.Section, SchemaListKey(true, n), value);
    }
}
