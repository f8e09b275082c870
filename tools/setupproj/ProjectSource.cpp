#include "tools/setupproj/ProjectSource.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <map>

#include "platform/Locale.h"
#include "project/ProjectSchema_unit.h"
#include "tools/setupproj/ProjectText.h"

namespace setupproj {

namespace {

// A section of the file with all the schema's parts that name it.
struct KnownSection {
    std::string name;
    std::vector<const TSchemaSetting*> settings;
    const TSchemaPart* list = nullptr;  // its text block or record list
};

const std::vector<KnownSection>& Known() {
    static const std::vector<KnownSection> sections = [] {
        std::vector<KnownSection> known;
        for (const TSchemaPart& part : ProjectSchema()) {
            auto it = std::find_if(known.begin(), known.end(), [&](const KnownSection& k) { return k.name == part.Section; });
            if (it == known.end()) it = known.insert(known.end(), KnownSection{part.Section, {}, nullptr});
            for (const TSchemaSetting& s : part.Settings) it->settings.push_back(&s);
            if (part.TextBlock >= 0 || part.Records) it->list = &part;
        }
        return known;
    }();
    return sections;
}

bool SameName(const std::string& a, const std::string& b) { return plat::CompareNames(a, b) == 0; }

int KnownSectionIndex(const std::string& name) {
    for (size_t k = 0; k < Known().size(); ++k) {
        if (SameName(name, Known()[k].name)) return static_cast<int>(k);
    }
    return -1;
}

std::string Bracketed(const std::string& cp932) { return "[" + Shown(cp932) + "]"; }

bool BeginsWithBlank(const std::string& text) {
    return !text.empty() && static_cast<unsigned char>(text[0]) <= 0x20;
}

std::string TrimBlanks(const std::string& text) {
    size_t first = 0, last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= 0x20) ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= 0x20) --last;
    return text.substr(first, last - first);
}

// "line" or "file" and digits only: the digits, else empty.
std::string ListDigits(const std::string& name, bool records) {
    if (name.size() <= 4 || AsciiLower(name.substr(0, 4)) != (records ? "file" : "line")) return std::string();
    std::string digits = name.substr(4);
    for (char c : digits) {
        if (c < '0' || c > '9') return std::string();
    }
    return digits;
}

struct Entry {
    int line;
    std::string name;
};

class Reader {
public:
    Reader(TProjectIniFile& ini, ProjectSource& source, Findings& findings)
        : ini_(ini), source_(source), findings_(findings) {}

    void Run(const TIniTextLines& lines, bool textAfterNul);

private:
    void ReadSection(int known, const TProjectIniSection& section);
    void ReportUnknownKey(int known, const std::string& name, int line);
    void ReadList(const TSchemaPart& part, const std::map<int, Entry>& entries);
    void RecordShape(const TSchemaRecords& form, const char* section, int line, int count);
    void Number(const TSchemaNumber& number);
    void CheckSettings();
    void Flush();

    TProjectIniFile& ini_;
    ProjectSource& source_;
    Findings& findings_;
    // A record's warnings of its numbers follow the errors of all of them.
    std::string pendingKey_;
    std::vector<std::pair<int, std::string>> pending_;
    // The entries of each list, by number, for what the reading of the list left out.
    std::map<const TSchemaPart*, std::map<int, Entry>> lists_;
};

void Reader::Run(const TIniTextLines& lines, bool textAfterNul) {
    if (lines.DroppedLine > 0) findings_.Warn(lines.DroppedLine, "text before the first section header is ignored");
    if (lines.NulLine > 0 && textAfterNul) {
        findings_.Warn(lines.NulLine, "a NUL byte ends the text here: the installer ignores the rest of the file");
    }
    for (int s = 0; s < ini_.SectionCount(); ++s) {
        const TProjectIniSection& section = ini_.SectionAt(s);
        int known = KnownSectionIndex(section.Name);
        if (known < 0) {
            const std::string trimmed = TrimBlanks(section.Name);
            int meant = KnownSectionIndex(trimmed);
            if (meant >= 0 && trimmed != section.Name) {
                findings_.Warn(section.Line, "blanks inside the brackets: this section is named " + Quoted(section.Name) +
                                                 ", not [" + Known()[meant].name + "], and is never read");
                continue;
            }
            std::vector<std::string> names;
            for (const KnownSection& k : Known()) names.push_back(k.name);
            std::string message = "unknown section " + Bracketed(section.Name) + " is ignored";
            std::string nearest = NearestName(trimmed, names);
            if (!nearest.empty()) message += " (did you mean [" + nearest + "]?)";
            findings_.Warn(section.Line, message);
            continue;
        }
        // The one the installer reads.
        const int read = ini_.FindSection(section.Name);
        if (read != s) {
            findings_.Warn(section.Line, "section " + Bracketed(section.Name) + " repeats the one at line " +
                                             std::to_string(ini_.SectionAt(read).Line) +
                                             ": only the first is read, so the lines of this one are ignored");
            continue;
        }
        ReadSection(known, section);
    }
    // The installer's reading, told every number: after the lines' findings,
    // as it reads the document they were made from.
    SchemaReadAll(ini_, source_.project, [this](const TSchemaNumber& number) { Number(number); });
    Flush();
    for (const auto& list : lists_) {
        if (list.first) ReadList(*list.first, list.second);
    }
    CheckSettings();
}

void Reader::ReadSection(int known, const TProjectIniSection& section) {
    const KnownSection& form = Known()[known];
    const bool records = form.list && form.list->Records;
    std::map<int, Entry>& entries = lists_[form.list];
    for (int index = 0; index < section.LineCount(); ++index) {
        const std::string& text = section.LineAt(index);
        const int line = section.LineNumberAt(index);
        const size_t eq = text.find('=');
        if (eq == std::string::npos) {
            const std::string trimmed = TrimBlanks(text);
            if (trimmed[0] == '[') {
                findings_.Warn(line, Quoted(trimmed) + " has no ']', so it is no section header: it is a line of [" +
                                         form.name + "] without '=' and is ignored");
            } else {
                findings_.Warn(line, "this line has no '=': it is neither a key nor a value and is ignored");
            }
            continue;
        }
        const std::string name = text.substr(0, eq), value = text.substr(eq + 1);
        const std::string trimmedName = TrimBlanks(name);
        if (trimmedName.empty()) {
            findings_.Warn(line, "'=' without a key name: the line is ignored");
            continue;
        }
        if (trimmedName != name) {
            findings_.Warn(line, std::string(BeginsWithBlank(name) ? "the key line is indented" : "blank before '='") +
                                     ": its key is " + Quoted(name) + ", not " + Quoted(trimmedName) +
                                     ", so the line is never read");
            continue;
        }
        const TSchemaSetting* setting = nullptr;
        for (const TSchemaSetting* s : form.settings) {
            if (SameName(name, s->Key)) setting = s;
        }
        // A later line of a name that the installer reads repeats the first.
        auto repeats = [&] {
            const int read = section.IndexOfKey(name);
            if (read == index) return false;
            findings_.Warn(line, Quoted(name) + " repeats line " + std::to_string(section.LineNumberAt(read)) +
                                     ": only the first is read");
            return true;
        };
        if (setting) {
            if (repeats()) continue;
            if (setting->Kind == skText && BeginsWithBlank(value)) {
                findings_.Warn(line, "the value begins with a blank, which is kept as part of it");
            }
            continue;
        }
        if (form.list) {
            const std::string digits = ListDigits(name, records);
            const long limit = records ? TProjectProperty::kMaxItems : TProjectProperty::kMaxTextLines;
            if (digits.size() == (records ? 5u : 4u) && std::stol(digits) < limit) {
                if (repeats()) continue;
                entries[std::stoi(digits)] = Entry{line, name};
                if (records && BeginsWithBlank(value)) {
                    findings_.Warn(line, "the value begins with a blank, which is kept as part of it");
                }
                continue;
            }
        }
        ReportUnknownKey(known, name, line);
    }
}

void Reader::ReportUnknownKey(int known, const std::string& name, int line) {
    const KnownSection& form = Known()[known];
    const std::string key = Quoted(name);
    const bool records = form.list && form.list->Records;
    const std::string digits = form.list ? ListDigits(name, records) : std::string();
    if (!digits.empty()) {
        // Compare lengths first: the digits may be too many for a number.
        const int limit = records ? TProjectProperty::kMaxItems : TProjectProperty::kMaxTextLines;
        const std::string significant = digits.substr(std::min(digits.find_first_not_of('0'), digits.size()));
        const bool beyond = significant.size() > 6 || (!significant.empty() && std::stol(significant) >= limit);
        if (beyond) {
            findings_.Warn(line, key + " is never read: " +
                                     (records ? std::string("a list has at most 65536 records (file00000 to file65535)")
                                              : std::string("a text has at most 10000 lines (line0000 to line9999)")));
        } else {
            findings_.Warn(line, key + " is no " + (records ? "record" : "line") +
                                     " key and is ignored: they are numbered with " + (records ? "5" : "4") +
                                     " digits (" + SchemaListKey(records, significant.empty() ? 0 : std::stoi(significant)) + ")");
        }
        return;
    }
    for (const KnownSection& other : Known()) {
        for (const TSchemaSetting* s : other.settings) {
            if (SameName(name, s->Key)) {
                findings_.Warn(line, key + " belongs in [" + other.name + "]; in [" + form.name + "] it is ignored");
                return;
            }
        }
    }
    std::vector<std::string> names;
    for (const TSchemaSetting* s : form.settings) names.push_back(s->Key);
    std::string message = "unknown key " + key + " in [" + form.name + "] is ignored";
    std::string nearest = NearestName(name, names);
    if (!nearest.empty()) message += " (did you mean '" + nearest + "'?)";
    findings_.Warn(line, message);
}

void Reader::ReadList(const TSchemaPart& part, const std::map<int, Entry>& entries) {
    // The installer's reading stopped at a missing key or at '***error***'.
    const int end = part.Records ? part.Records->Count(source_.project)
                                 : static_cast<int>(source_.project.TextBlock(part.TextBlock)->size());
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
                              SchemaListKey(part.Records != nullptr, end) + "'";
        if (ignored > 1) message += " (" + std::to_string(ignored) + " entries are ignored)";
        findings_.Warn(after->second.line, message);
    }
}

void Reader::RecordShape(const TSchemaRecords& form, const char* section, int line, int count) {
    const int fields = static_cast<int>(form.Fields.size());
    const std::string shape = std::string("a [") + section + "] record has " + std::to_string(fields) + " fields (" +
                              form.Layout + ")";
    if (count < fields) {
        findings_.Error(line, shape + "; this one has " + std::to_string(count) + ", so " +
                                        form.Fields[static_cast<size_t>(count)].Name +
                                        (fields - count > 1 ? " and the fields after it are" : " is") +
                                        " missing and the installer stops loading the project here");
    } else if (count > fields) {
        const int surplus = count - fields;
        findings_.Warn(line, shape + ": " +
                                       (surplus == 1 ? std::string("the field after them is")
                                                     : "the " + std::to_string(surplus) + " fields after them are") +
                                       " ignored (a '*' inside a field splits it)");
    }
}

void Reader::Flush() {
    for (const auto& warning : pending_) findings_.Warn(warning.first, warning.second);
    pending_.clear();
}

void Reader::Number(const TSchemaNumber& number) {
    const int line = source_.KeyLine(number.Part.Section, number.Key);
    if (number.Part.Section + number.Key != pendingKey_) {
        Flush();
        const TSchemaRecords* records = number.Part.Records;
        if (records) {  // a record's first number: its line, and its shape before what its numbers say
            const std::string member = records->Member;
            (member == "Folders" ? source_.folderLines : member == "Files" ? source_.fileLines : source_.shortcutLines)
                .push_back(line);
            RecordShape(*records, number.Part.Section, line, number.FieldCount);
        }
    }
    pendingKey_ = number.Part.Section + number.Key;
    if (number.Field >= number.FieldCount) return;  // a missing field: told with the record's shape
    if (line == 0) return;  // not in the file: the default, which converts
    if (!number.Error.empty()) {
        findings_.Error(line, std::string(number.What) + " " + Quoted(number.Text) +
                                  " is not an integer: the installer stops loading the project here (\"" +
                                  Shown(number.Error) + "\")");
        return;
    }
    const int low = number.Value & 0xFF;
    if (number.Kind == skByte && low != number.Value) {
        pending_.emplace_back(line, std::string(number.What) + " " + std::to_string(number.Value) +
                                        " is outside 0-255: it is read as " + std::to_string(low));
    }
    // DeleteMode and ShowMode mean something for 0, 1 and 2 only.
    const std::string what = number.What;
    if ((what == "DeleteMode" || what == "ShowMode") && low > 2) {
        pending_.emplace_back(line, what + " " + std::to_string(low) + " is not 0, 1 or 2: " +
                                        (what == "ShowMode" ? "the program starts in a normal window"
                                                            : "the uninstaller deletes the file without asking"));
    }
}

void Reader::CheckSettings() {
    const TProjectProperty& p = source_.project;
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

}  // namespace

int ProjectSource::SectionLine(const std::string& section) const {
    // The installer's reading adds an empty section, of line 0, for one the file lacks.
    const int found = ini ? ini->FindSection(section) : -1;
    return found >= 0 && ini->SectionAt(found).Line > 0 ? ini->SectionAt(found).Line : 1;
}

int ProjectSource::KeyLine(const std::string& section, const std::string& key) const {
    const int found = ini ? ini->FindSection(section) : -1;
    const int index = found >= 0 ? ini->SectionAt(found).IndexOfKey(key) : -1;
    return index >= 0 ? ini->SectionAt(found).LineNumberAt(index) : 0;
}

int ProjectSource::LineOf(const std::string& section, const std::string& key) const {
    const int line = KeyLine(section, key);
    return line > 0 ? line : SectionLine(section);
}

void ReadProjectSource(const std::string& text, ProjectSource& source, Findings& findings,
                       const std::function<void(const TIniTextLines&)>& seen) {
    auto ini = std::make_shared<TProjectIniFile>();
    TIniTextLines lines;
    ini->Parse(text, &lines);
    source.ini = ini;
    if (seen) seen(lines);
    const size_t nul = text.find('\0');
    const bool textAfterNul = nul != std::string::npos &&
                              std::any_of(text.begin() + static_cast<std::ptrdiff_t>(nul), text.end(),
                                          [](char c) { return static_cast<unsigned char>(c) > 0x20; });
    source.project.Reset();
    source.folderLines.clear(), source.fileLines.clear(), source.shortcutLines.clear();
    Reader(*ini, source, findings).Run(lines, textAfterNul);
}

}  // namespace setupproj
