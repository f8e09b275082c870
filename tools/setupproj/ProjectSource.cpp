#include "tools/setupproj/ProjectSource.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "platform/Error.h"
#include "platform/Locale.h"
#include "project/IniFile_unit.h"
#include "tools/setupproj/ProjectText.h"

namespace setupproj {

namespace {

const char kListEnd[] = "***error***";

enum class ValueKind { kText, kByte, kBool };
enum class ListKind { kNone, kLines, kRecords };

struct Setting {
    const char* key;
    ValueKind kind;
};

struct RecordForm {
    int fields;
    const char* layout;
    const char* names[7];
    bool numeric[7];
};

const RecordForm kFolderForm = {2, "folder*keep", {"FolderPath", "KeepOnUninstall"}, {false, true}};
const RecordForm kFileForm = {3, "source*destination*deletemode", {"SourceFile", "DestFile", "DeleteMode"},
                              {false, false, true}};
const RecordForm kShortcutForm = {
    7,
    "link*target*workfolder*showmode*description*extrafile*extranumber",
    {"LinkFile", "TargetFile", "WorkDirectory", "ShowMode", "Description", "ExtraFile", "ExtraNumber"},
    {false, false, false, true, false, false, true}};

struct KnownSection {
    const char* name;
    std::vector<Setting> settings;
    ListKind list;
    const RecordForm* form;
    int textBlock;  // the model's TextBlock kind of a text section
};

const std::vector<KnownSection>& Known() {
    static const std::vector<KnownSection> sections = {
        {"Project Property",
         {{"Name1", ValueKind::kText},
          {"Name2", ValueKind::kText},
          {"Version", ValueKind::kText},
          {"Copyright", ValueKind::kText},
          {"InstallMode", ValueKind::kByte},
          {"ProjectMakeMode", ValueKind::kByte},
          {"ProjectLocation", ValueKind::kText}},
         ListKind::kNone,
         nullptr,
         -1},
        {"Information", {}, ListKind::kLines, nullptr, tbInformation},
        {"Message", {{"MessageDisp", ValueKind::kByte}}, ListKind::kNone, nullptr, -1},
        {"DisplayMessage", {}, ListKind::kLines, nullptr, tbDisplayMessage},
        {"Lisence", {{"LisenceUse", ValueKind::kBool}}, ListKind::kNone, nullptr, -1},
        {"LisenceMessage", {}, ListKind::kLines, nullptr, tbLisenceMessage},
        {"Copy File",
         {{"DirectorySwitch", ValueKind::kByte}, {"InitDirectory", ValueKind::kByte}, {"SubDirectory", ValueKind::kText}},
         ListKind::kRecords,
         &kFileForm,
         -1},
        {"Make Folder", {}, ListKind::kRecords, &kFolderForm, -1},
        {"ShortCut File", {}, ListKind::kRecords, &kShortcutForm, -1},
        {"UnInstall Property",
         {{"UnInstallName", ValueKind::kText},
          {"UnInstallKey", ValueKind::kText},
          {"UnInstallDialog", ValueKind::kByte},
          {"DisplayVersion", ValueKind::kText},
          {"Publisher", ValueKind::kText},
          {"DisplayIcon", ValueKind::kText},
          {"URLInfoAbout", ValueKind::kText},
          {"HelpLink", ValueKind::kText},
          {"UsePreviousLocation", ValueKind::kByte}},
         ListKind::kNone,
         nullptr,
         -1},
    };
    return sections;
}

bool SameName(const std::string& a, const std::string& b) { return plat::CompareNames(a, b) == 0; }

int KnownSectionIndex(const std::string& name) {
    for (size_t k = 0; k < Known().size(); ++k) {
        if (SameName(name, Known()[k].name)) return static_cast<int>(k);
    }
    return -1;
}

std::string Quoted(const std::string& cp932) { return "'" + Shown(cp932) + "'"; }
std::string Bracketed(const std::string& cp932) { return "[" + Shown(cp932) + "]"; }

bool BeginsWithBlank(const std::string& text) {
    return !text.empty() && static_cast<unsigned char>(text[0]) <= 0x20;
}

std::string ListKey(ListKind list, int number) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, list == ListKind::kLines ? "line%04d" : "file%05d", number);
    return buffer;
}

// "line" or "file" and digits only: the digits, else empty.
std::string ListDigits(const std::string& name, const char* word) {
    if (name.size() <= 4 || AsciiLower(name.substr(0, 4)) != word) return std::string();
    std::string digits = name.substr(4);
    for (char c : digits) {
        if (c < '0' || c > '9') return std::string();
    }
    return digits;
}

uint8_t LowByte(int32_t value) { return static_cast<uint8_t>(static_cast<uint32_t>(value) & 0xFFu); }

struct Entry {
    int line;
    std::string name;
    std::string value;
};

class Reader {
public:
    Reader(const IniText& text, ProjectSource& source, Findings& findings)
        : text_(text), source_(source), findings_(findings) {}

    void Run();

private:
    void ReadSection(int known, const IniSection& section);
    void ReportUnknownKey(int known, const std::string& name, int line);
    void SetSettings();
    void ReadLists(int known, std::map<int, Entry>& entries);
    void ReadRecord(const RecordForm& form, const Entry& entry);
    bool Convert(const std::string& what, const std::string& text, int line, int32_t& value);
    uint8_t ByteOf(const std::string& what, int32_t value, int line);
    void CheckMeaning(const char* what, uint8_t value, int line, const char* otherwise);

    const IniText& text_;
    ProjectSource& source_;
    Findings& findings_;
    std::map<std::string, Entry> settings_;  // by the key's own spelling
};

void Reader::Run() {
    for (const IniLine& line : text_.lines) {
        if (line.kind == IniLine::kBeforeHeader) {
            findings_.Warn(line.number, "text before the first section header is ignored");
            break;
        }
    }
    if (text_.nulLine > 0 && text_.textAfterNul) {
        findings_.Warn(text_.nulLine, "a NUL byte ends the text here: the installer ignores the rest of the file");
    }

    std::vector<int> firstOf(Known().size(), -1);
    for (size_t s = 0; s < text_.sections.size(); ++s) {
        const IniSection& section = text_.sections[s];
        int known = KnownSectionIndex(section.name);
        if (known < 0) {
            const std::string trimmed = TrimBlanks(section.name);
            int meant = KnownSectionIndex(trimmed);
            if (meant >= 0 && trimmed != section.name) {
                findings_.Warn(section.line, "blanks inside the brackets: this section is named " +
                                                 Quoted(section.name) + ", not [" + Known()[meant].name +
                                                 "], and is never read");
                continue;
            }
            std::vector<std::string> names;
            for (const KnownSection& k : Known()) names.push_back(k.name);
            std::string message = "unknown section " + Bracketed(section.name) + " is ignored";
            std::string nearest = NearestName(trimmed, names);
            if (!nearest.empty()) message += " (did you mean [" + nearest + "]?)";
            findings_.Warn(section.line, message);
            continue;
        }
        if (firstOf[known] >= 0) {
            findings_.Warn(section.line, "section " + Bracketed(section.name) + " repeats the one at line " +
                                             std::to_string(text_.sections[firstOf[known]].line) +
                                             ": only the first is read, so the lines of this one are ignored");
            continue;
        }
        firstOf[known] = static_cast<int>(s);
        source_.sectionLines[Known()[known].name] = section.line;
    }
    for (size_t k = 0; k < Known().size(); ++k) {
        if (firstOf[k] >= 0) ReadSection(static_cast<int>(k), text_.sections[firstOf[k]]);
    }
    SetSettings();
}

void Reader::ReadSection(int known, const IniSection& section) {
    const KnownSection& form = Known()[known];
    std::map<int, Entry> entries;
    for (int index : section.entries) {
        const IniLine& line = text_.lines[static_cast<size_t>(index)];
        std::string name, value;
        if (!SplitKeyLine(line.text, name, value)) {
            const std::string trimmed = TrimBlanks(line.text);
            if (trimmed[0] == '[') {
                findings_.Warn(line.number, Quoted(trimmed) + " has no ']', so it is no section header: it is a line of [" +
                                                form.name + "] without '=' and is ignored");
            } else {
                findings_.Warn(line.number, "this line has no '=': it is neither a key nor a value and is ignored");
            }
            continue;
        }
        const std::string trimmedName = TrimBlanks(name);
        if (trimmedName.empty()) {
            findings_.Warn(line.number, "'=' without a key name: the line is ignored");
            continue;
        }
        if (trimmedName != name) {
            findings_.Warn(line.number, std::string(BeginsWithBlank(name) ? "the key line is indented"
                                                                         : "blank before '='") +
                                            ": its key is " + Quoted(name) + ", not " + Quoted(trimmedName) +
                                            ", so the line is never read");
            continue;
        }
        const Setting* setting = nullptr;
        for (const Setting& s : form.settings) {
            if (SameName(name, s.key)) setting = &s;
        }
        if (setting) {
            auto seen = settings_.find(setting->key);
            if (seen != settings_.end()) {
                findings_.Warn(line.number, Quoted(name) + " repeats line " + std::to_string(seen->second.line) +
                                                ": only the first is read");
                continue;
            }
            settings_[setting->key] = Entry{line.number, name, value};
            source_.keyLines[setting->key] = line.number;
            if (setting->kind == ValueKind::kText && BeginsWithBlank(value)) {
                findings_.Warn(line.number, "the value begins with a blank, which is kept as part of it");
            }
            continue;
        }
        if (form.list != ListKind::kNone) {
            const bool lines = form.list == ListKind::kLines;
            const std::string digits = ListDigits(name, lines ? "line" : "file");
            const size_t width = lines ? 4 : 5;
            const long limit = lines ? TProjectProperty::kMaxTextLines : TProjectProperty::kMaxItems;
            if (digits.size() == width && std::stol(digits) < limit) {
                int number = std::stoi(digits);
                auto seen = entries.find(number);
                if (seen != entries.end()) {
                    findings_.Warn(line.number, Quoted(name) + " repeats line " +
                                                    std::to_string(seen->second.line) + ": only the first is read");
                    continue;
                }
                entries[number] = Entry{line.number, name, value};
                if (!lines && BeginsWithBlank(value)) {
                    findings_.Warn(line.number, "the value begins with a blank, which is kept as part of it");
                }
                continue;
            }
        }
        ReportUnknownKey(known, name, line.number);
    }
    if (form.list != ListKind::kNone) ReadLists(known, entries);
}

void Reader::ReportUnknownKey(int known, const std::string& name, int line) {
    const KnownSection& form = Known()[known];
    const std::string key = Quoted(name);
    if (form.list != ListKind::kNone) {
        const bool lines = form.list == ListKind::kLines;
        const std::string digits = ListDigits(name, lines ? "line" : "file");
        const size_t width = lines ? 4 : 5;
        const int limit = lines ? TProjectProperty::kMaxTextLines : TProjectProperty::kMaxItems;
        if (!digits.empty()) {
            // Compare lengths first: the digits may be too many for a number.
            const std::string significant = digits.substr(std::min(digits.find_first_not_of('0'), digits.size()));
            const bool beyond = significant.size() > 6 || (!significant.empty() && std::stol(significant) >= limit);
            if (beyond) {
                findings_.Warn(line, key + " is never read: " +
                                         (lines ? std::string("a text has at most 10000 lines (line0000 to line9999)")
                                                : std::string("a list has at most 65536 records (file00000 to file65535)")));
            } else {
                findings_.Warn(line, key + " is no " + (lines ? "line" : "record") + " key and is ignored: they are numbered with " +
                                         std::to_string(width) + " digits (" +
                                         ListKey(form.list, significant.empty() ? 0 : std::stoi(significant)) + ")");
            }
            return;
        }
    }
    for (const KnownSection& other : Known()) {
        for (const Setting& s : other.settings) {
            if (SameName(name, s.key)) {
                findings_.Warn(line, key + " belongs in [" + other.name + "]; in [" + form.name + "] it is ignored");
                return;
            }
        }
    }
    std::vector<std::string> names;
    for (const Setting& s : form.settings) names.push_back(s.key);
    std::string message = "unknown key " + key + " in [" + form.name + "] is ignored";
    std::string nearest = NearestName(name, names);
    if (!nearest.empty()) message += " (did you mean '" + nearest + "'?)";
    findings_.Warn(line, message);
}

bool Reader::Convert(const std::string& what, const std::string& text, int line, int32_t& value) {
    try {
        value = ConvertIniInteger(text);
        return true;
    } catch (const ESetupError& error) {
        findings_.Error(line, what + " " + Quoted(text) + " is not an integer: the installer stops loading the project here (\"" +
                                  Shown(error.Message()) + "\")");
        value = 0;
        return false;
    }
}

uint8_t Reader::ByteOf(const std::string& what, int32_t value, int line) {
    uint8_t low = LowByte(value);
    if (value < 0 || value > 255) {
        findings_.Warn(line, what + " " + std::to_string(value) + " is outside 0-255: it is read as " +
                                 std::to_string(static_cast<unsigned>(low)));
    }
    return low;
}

// DeleteMode and ShowMode mean something for 0, 1 and 2 only.
void Reader::CheckMeaning(const char* what, uint8_t value, int line, const char* otherwise) {
    if (value > 2) {
        findings_.Warn(line, std::string(what) + " " + std::to_string(value) + " is not 0, 1 or 2: " + otherwise);
    }
}

void Reader::SetSettings() {
    TProjectProperty& p = source_.project;
    auto text = [&](const char* key, std::string& field) {
        auto found = settings_.find(key);
        if (found != settings_.end()) field = found->second.value;
    };
    auto number = [&](const char* key, int32_t& value) {
        auto found = settings_.find(key);
        return found != settings_.end() && Convert(key, found->second.value, found->second.line, value);
    };
    auto byte = [&](const char* key, uint8_t& field) {
        int32_t value = 0;
        if (number(key, value)) field = ByteOf(key, value, settings_[key].line);
    };
    text("Name1", p.Name1);
    text("Name2", p.Name2);
    text("Version", p.Version);
    text("Copyright", p.Copyright);
    byte("InstallMode", p.InstallMode);
    byte("ProjectMakeMode", p.ProjectMakeMode);
    text("ProjectLocation", p.ProjectLocation);
    byte("MessageDisp", p.MessageDisp);
    int32_t lisence = 0;
    if (number("LisenceUse", lisence)) p.LisenceUse = lisence != 0;
    byte("DirectorySwitch", p.DirectorySwitch);
    byte("InitDirectory", p.InitDirectory);
    std::string subDirectory;
    text("SubDirectory", subDirectory);
    p.SetSubDirectory(subDirectory);
    text("UnInstallName", p.UnInstallName);
    text("UnInstallKey", p.UnInstallKey);
    byte("UnInstallDialog", p.UnInstallDialog);
    text("DisplayVersion", p.DisplayVersion);
    text("Publisher", p.Publisher);
    text("DisplayIcon", p.DisplayIcon);
    text("URLInfoAbout", p.URLInfoAbout);
    text("HelpLink", p.HelpLink);
    byte("UsePreviousLocation", p.UsePreviousLocation);

    if (p.InstallMode != 0) {
        findings_.Error(source_.LineOf("Project Property", "InstallMode"),
                        "InstallMode " + std::to_string(p.InstallMode) +
                            ": the program would start as the uninstaller of an installed copy; a project to ship has 0");
    }
    if (p.UnInstallKey.find_first_not_of('\\') == std::string::npos) {
        findings_.Warn(source_.LineOf("UnInstall Property", "UnInstallKey"),
                       "UnInstallKey is empty: the product is installed without an uninstall registration and never "
                       "shows in the list of installed programs");
    } else if (p.UnInstallName.empty()) {
        findings_.Warn(source_.LineOf("UnInstall Property", "UnInstallName"),
                       "UnInstallName is empty: the list of installed programs has no name to show for the product");
    }
}

void Reader::ReadLists(int known, std::map<int, Entry>& entries) {
    const KnownSection& form = Known()[known];
    int end = 0;
    while (entries.count(end) && entries[end].value != kListEnd) ++end;
    auto after = entries.upper_bound(end);
    const size_t ignored = static_cast<size_t>(std::distance(after, entries.end()));
    auto marker = entries.find(end);
    if (marker != entries.end()) {
        std::string message = "the value '***error***' ends the list here";
        if (ignored == 1) message += ": the entry after it is ignored";
        if (ignored > 1) message += ": the " + std::to_string(ignored) + " entries after it are ignored";
        findings_.Warn(marker->second.line, message);
    } else if (ignored > 0) {
        std::string message = Quoted(after->second.name) + " is never read: the list ends at the missing '" +
                              ListKey(form.list, end) + "'";
        if (ignored > 1) message += " (" + std::to_string(ignored) + " entries are ignored)";
        findings_.Warn(after->second.line, message);
    }
    TProjectProperty& p = source_.project;
    for (int n = 0; n < end; ++n) {
        const Entry& entry = entries[n];
        if (form.list == ListKind::kLines) {
            p.TextBlock(form.textBlock)->push_back(entry.value);
        } else {
            ReadRecord(*form.form, entry);
        }
    }
}

void Reader::ReadRecord(const RecordForm& form, const Entry& entry) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        size_t star = entry.value.find('*', start);
        fields.push_back(entry.value.substr(start, star == std::string::npos ? std::string::npos : star - start));
        if (star == std::string::npos) break;
        start = star + 1;
    }
    const int count = static_cast<int>(fields.size());
    const std::string section = &form == &kFolderForm ? "Make Folder" : &form == &kFileForm ? "Copy File" : "ShortCut File";
    const std::string shape = "a [" + section + "] record has " + std::to_string(form.fields) + " fields (" +
                              form.layout + ")";
    if (count < form.fields) {
        findings_.Error(entry.line, shape + "; this one has " + std::to_string(count) + ", so " + form.names[count] +
                                        (form.fields - count > 1 ? " and the fields after it are" : " is") +
                                        " missing and the installer stops loading the project here");
    } else if (count > form.fields) {
        const int surplus = count - form.fields;
        findings_.Warn(entry.line, shape + ": " +
                                       (surplus == 1 ? std::string("the field after them is")
                                                     : "the " + std::to_string(surplus) + " fields after them are") +
                                       " ignored (a '*' inside a field splits it)");
    }
    fields.resize(static_cast<size_t>(std::max(count, form.fields)));
    int32_t numbers[7] = {};
    for (int i = 0; i < form.fields && i < count; ++i) {
        if (form.numeric[i]) Convert(form.names[i], fields[static_cast<size_t>(i)], entry.line, numbers[i]);
    }
    TProjectProperty& p = source_.project;
    if (&form == &kFolderForm) {
        TMakeFolder& item = p.Folders.Add();
        item.FolderPath = fields[0];
        item.KeepOnUninstall = ByteOf("KeepOnUninstall", numbers[1], entry.line);
        source_.folderLines.push_back(entry.line);
    } else if (&form == &kFileForm) {
        TCopyFile& item = p.Files.Add();
        item.SourceFile = fields[0];
        item.DestFile = fields[1];
        item.DeleteMode = ByteOf("DeleteMode", numbers[2], entry.line);
        CheckMeaning("DeleteMode", item.DeleteMode, entry.line, "the uninstaller deletes the file without asking");
        source_.fileLines.push_back(entry.line);
    } else {
        TShortCutFile& item = p.Shortcuts.Add();
        item.LinkFile = fields[0];
        item.TargetFile = fields[1];
        item.WorkDirectory = fields[2];
        item.ShowMode = ByteOf("ShowMode", numbers[3], entry.line);
        CheckMeaning("ShowMode", item.ShowMode, entry.line, "the program starts in a normal window");
        item.Description = fields[4];
        item.ExtraFile = fields[5];
        item.ExtraNumber = numbers[6];
        source_.shortcutLines.push_back(entry.line);
    }
}

}  // namespace

int ProjectSource::SectionLine(const std::string& section) const {
    auto found = sectionLines.find(section);
    return found != sectionLines.end() ? found->second : 1;
}

int ProjectSource::LineOf(const std::string& section, const std::string& key) const {
    auto found = keyLines.find(key);
    return found != keyLines.end() ? found->second : SectionLine(section);
}

void ReadProjectSource(const IniText& text, ProjectSource& source, Findings& findings) {
    source.project.Reset();
    Reader(text, source, findings).Run();
}

}  // namespace setupproj
