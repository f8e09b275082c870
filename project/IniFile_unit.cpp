#include "project/IniFile_unit.h"

#include <algorithm>

#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"

namespace {

bool IsPlainName(const std::string& name) {
    if (name.empty()) return false;
    for (unsigned char c : name) {
        bool digit = c >= '0' && c <= '9';
        bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!digit && !letter) return false;
    }
    return true;
}

std::string FoldPlain(const std::string& name) {
    std::string folded = name;
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

// The name part of a line: the text before its first '='. False when the
// line has no '=' at all; such a line is never found by a key.
bool NamePart(const std::string& line, std::string& name) {
    size_t eq = line.find('=');
    if (eq == std::string::npos) return false;
    name.assign(line, 0, eq);
    return true;
}

bool NamesEqual(const std::string& a, const std::string& b) {
    return plat::CompareNames(a, b) == 0;
}

int HexDigit(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

// ---- TProjectIniSection ----

void TProjectIniSection::AddLine(const std::string& line) {
    lines_.push_back(line);
    if (indexValid_) IndexLine(static_cast<int>(lines_.size()) - 1);
}

void TProjectIniSection::SetLineAt(int index, const std::string& line) {
    std::string& slot = lines_.at(static_cast<size_t>(index));
    if (indexValid_) {
        std::string oldName, newName;
        bool oldHas = NamePart(slot, oldName);
        bool newHas = NamePart(line, newName);
        // Replacing a plain key's line by one of the same folded key keeps
        // the index as it is; anything else is rare, so rebuild later.
        bool same = oldHas && newHas && IsPlainName(oldName) && IsPlainName(newName) &&
                    FoldPlain(oldName) == FoldPlain(newName);
        if (!same) indexValid_ = false;
    }
    slot = line;
}

void TProjectIniSection::DeleteLineAt(int index) {
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
    indexValid_ = false;
}

void TProjectIniSection::SortLines() {
    // Stable, so lines that compare equal keep their document order.
    std::stable_sort(lines_.begin(), lines_.end(), [](const std::string& a, const std::string& b) {
        return plat::CompareNames(a, b) < 0;
    });
    indexValid_ = false;
}

std::string TProjectIniSection::KeyNameAt(int index) const {
    std::string name;
    NamePart(LineAt(index), name);
    return name;
}

void TProjectIniSection::IndexLine(int index) const {
    std::string name;
    if (!NamePart(lines_[static_cast<size_t>(index)], name)) return;
    if (IsPlainName(name)) {
        plainIndex_.emplace(FoldPlain(name), index);  // keeps the first line of a key
    } else {
        otherNamed_.push_back(index);
    }
}

void TProjectIniSection::BuildIndex() const {
    plainIndex_.clear();
    otherNamed_.clear();
    plainIndex_.reserve(lines_.size());
    for (size_t i = 0; i < lines_.size(); ++i) IndexLine(static_cast<int>(i));
    indexValid_ = true;
}

int TProjectIniSection::LinearIndexOfKey(const std::string& key) const {
    std::string name;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (NamePart(lines_[i], name) && NamesEqual(name, key)) return static_cast<int>(i);
    }
    return -1;
}

int TProjectIniSection::IndexOfKey(const std::string& key) const {
    if (!IsPlainName(key)) return LinearIndexOfKey(key);
    if (!indexValid_) BuildIndex();
    int found = -1;
    auto it = plainIndex_.find(FoldPlain(key));
    if (it != plainIndex_.end()) found = it->second;
    // An earlier line with a name that is not plain may still be equal.
    std::string name;
    for (int index : otherNamed_) {
        if (found != -1 && index > found) break;
        NamePart(lines_[static_cast<size_t>(index)], name);
        if (NamesEqual(name, key)) return index;
    }
    return found;
}

std::string TProjectIniSection::ValueOf(const std::string& key) const {
    int index = IndexOfKey(key);
    if (index < 0) return std::string();
    const std::string& line = lines_[static_cast<size_t>(index)];
    return line.substr(line.find('=') + 1);
}

void TProjectIniSection::SetValueOf(const std::string& key, const std::string& value) {
    int index = IndexOfKey(key);
    if (!value.empty()) {
        std::string line = key + "=" + value;
        if (index >= 0) {
            SetLineAt(index, line);
        } else {
            AddLine(line);
        }
    } else if (index >= 0) {
        DeleteLineAt(index);
    }
}

// ---- TProjectIniFile ----

TProjectIniFile::TProjectIniFile(const std::string& fileName) : FileName(fileName) {
    ParseFile();
}

TProjectIniFile::~TProjectIniFile() = default;

void TProjectIniFile::Close() {
    if (closed_) return;
    closed_ = true;
    try {
        if (!ReadOnly) WriteFile();
    } catch (...) {
        sections_.clear();
        throw;
    }
    sections_.clear();
}

void TProjectIniFile::ParseFile() {
    if (FileName.empty() || !plat::FileExists(FileName)) return;
    std::string data;
    if (plat::ReadWholeFile(FileName, data) != plat::ReadResult::Ok) {
        throw ESetupError(FormatMessage1("ファイル %s は開けません", FileName));
    }
    size_t nul = data.find('\0');
    if (nul != std::string::npos) data.resize(nul);

    TProjectIniSection* current = nullptr;
    size_t pos = 0;
    const size_t size = data.size();
    while (pos < size) {
        size_t end = pos;
        while (end < size && data[end] != '\r' && data[end] != '\n') ++end;
        size_t next = end;
        if (next < size) {
            // CR LF is one line end; a lone CR or a lone LF is one as well.
            next += (data[next] == '\r' && next + 1 < size && data[next + 1] == '\n') ? 2 : 1;
        }
        size_t first = pos, last = end;
        while (first < last && static_cast<unsigned char>(data[first]) <= 0x20) ++first;
        while (last > first && static_cast<unsigned char>(data[last - 1]) <= 0x20) --last;
        if (first < last) {
            size_t close = std::string::npos;
            if (data[first] == '[') {
                for (size_t i = first + 1; i < last; ++i) {
                    if (data[i] == ']') {
                        close = i;
                        break;
                    }
                }
            }
            if (close != std::string::npos) {
                current = &AddSection();
                current->Name.assign(data, first + 1, close - first - 1);
            } else if (current) {
                current->AddLine(data.substr(pos, end - pos));
            }
        }
        pos = next;
    }
}

TProjectIniSection& TProjectIniFile::AddSection() {
    sections_.push_back(std::make_unique<TProjectIniSection>());
    return *sections_.back();
}

int TProjectIniFile::FindSection(const std::string& name) const {
    for (size_t i = 0; i < sections_.size(); ++i) {
        if (NamesEqual(sections_[i]->Name, name)) return static_cast<int>(i);
    }
    return -1;
}

TProjectIniSection& TProjectIniFile::SectionFor(const std::string& name) {
    int index = FindSection(name);
    if (index >= 0) return *sections_[static_cast<size_t>(index)];
    TProjectIniSection& section = AddSection();
    section.Name = name;
    return section;
}

std::string TProjectIniFile::ReadString(const std::string& section, const std::string& key,
                                        const std::string& defaultValue) {
    // A read of a missing key leaves its default in the document.
    TProjectIniSection& target = SectionFor(section);
    int index = target.IndexOfKey(key);
    if (index >= 0) {
        const std::string& line = target.LineAt(index);
        return line.substr(line.find('=') + 1);
    }
    target.SetValueOf(key, defaultValue);
    return defaultValue;
}

int32_t TProjectIniFile::ReadInteger(const std::string& section, const std::string& key,
                                     int32_t defaultValue) {
    return ConvertIniInteger(ReadString(section, key, std::to_string(defaultValue)));
}

bool TProjectIniFile::ReadBool(const std::string& section, const std::string& key,
                               bool defaultValue) {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TProjectIniFile::WriteString(const std::string& section, const std::string& key,
                                  const std::string& value) {
    TProjectIniSection& target = SectionFor(section);
    target.SetValueOf(key, value);
    if (value.empty()) target.AddLine(key + "=");
}

void TProjectIniFile::WriteInteger(const std::string& section, const std::string& key,
                                   int32_t value) {
    WriteString(section, key, std::to_string(value));
}

void TProjectIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteInteger(section, key, value ? 1 : 0);
}

void TProjectIniFile::WriteFile() {
    if (FileName.empty()) return;
    size_t total = 0;
    for (const auto& section : sections_) {
        section->SortLines();
        total += section->Name.size() + 6;
        for (const std::string& line : section->Lines()) total += line.size() + 2;
    }
    std::string out;
    out.reserve(total);
    for (size_t i = 0; i < sections_.size(); ++i) {
        const TProjectIniSection& section = *sections_[i];
        out += '[';
        out += section.Name;
        out += "]\r\n";
        for (const std::string& line : section.Lines()) {
            out += line;
            out += "\r\n";
        }
        if (i + 1 < sections_.size()) out += "\r\n";
    }
    if (!plat::WriteWholeFile(FileName, out)) {
        throw ESetupError(FormatMessage1("ファイル %s を作成できません", FileName));
    }
}

int32_t ConvertIniInteger(const std::string& text) {
    const size_t size = text.size();
    size_t pos = 0;
    while (pos < size && text[pos] == ' ') ++pos;
    bool hex = false;
    bool negative = false;
    if (pos < size && (text[pos] == '$' || text[pos] == 'x' || text[pos] == 'X')) {
        hex = true;
        ++pos;
    } else if (pos + 1 < size && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
        hex = true;
        pos += 2;
    } else if (pos < size && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    // Magnitudes up to 2^31 for a negative decimal, 2^31 - 1 otherwise.
    const int64_t limit = negative ? 2147483648LL : 2147483647LL;
    int64_t value = 0;
    size_t digits = 0;
    bool fits = true;
    for (; pos < size; ++pos, ++digits) {
        int digit = hex ? HexDigit(static_cast<unsigned char>(text[pos]))
                        : (text[pos] >= '0' && text[pos] <= '9' ? text[pos] - '0' : -1);
        if (digit < 0) break;
        value = value * (hex ? 16 : 10) + digit;
        if (value > limit) {
            fits = false;
            value = limit;  // keeps the accumulator bounded; the text is refused below
        }
    }
    if (digits == 0 || pos != size || !fits) {
        throw ESetupError(FormatMessage1("'%s' は整数ではありません", text));
    }
    return static_cast<int32_t>(negative ? -value : value);
}
