#include "project/IniFile_unit.h"

#include <algorithm>
#include <utility>

#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"

namespace {

bool IsPlainName(const char* name, size_t size) {
    if (size == 0) return false;
    for (size_t i = 0; i < size; ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        bool digit = c >= '0' && c <= '9';
        bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!digit && !letter) return false;
    }
    return true;
}

bool IsPrintableAscii(const char* text, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c > 0x7E) return false;
    }
    return true;
}

bool IsPlainName(const std::string& name) { return IsPlainName(name.data(), name.size()); }

char FoldByte(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Lines are compared with the locale comparison. Where two lines agree
// (ignoring case) on a prefix of ASCII letters and digits and then differ in
// a letter or digit, every such comparison decides there (digits before
// letters, each in their own order, case ignored), so the locale call is
// skipped; anything else goes to plat::CompareNames.
bool LineLess(const std::string& a, const std::string& b) {
    const size_t size = std::min(a.size(), b.size());
    for (size_t i = 0; i < size; ++i) {
        char ca = FoldByte(a[i]);
        char cb = FoldByte(b[i]);
        bool plainA = (ca >= '0' && ca <= '9') || (ca >= 'a' && ca <= 'z');
        bool plainB = (cb >= '0' && cb <= '9') || (cb >= 'a' && cb <= 'z');
        if (!plainA || !plainB) break;
        if (ca != cb) return ca < cb;  // '0'-'9' lie below 'a'-'z' in ASCII as well
    }
    return plat::CompareNames(a, b) < 0;
}

bool FoldedEqual(const char* a, const char* b, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        if (FoldByte(a[i]) != FoldByte(b[i])) return false;
    }
    return true;
}

// The name part of a line: the text before its first '='. False when the
// line has no '=' at all; such a line is never found by a key.
bool NamePart(const std::string& line, std::string& name) {
    size_t eq = line.find('=');
    if (eq == std::string::npos) return false;
    name.assign(line, 0, eq);
    return true;
}

// Two names of printable ASCII are equal in the locale exactly when they are
// equal ignoring case: every such byte has a weight ('-' and '\'' too, at a
// later level). Only other names need the locale comparison.
bool NamesEqual(const std::string& a, const std::string& b) {
    if (IsPrintableAscii(a.data(), a.size()) && IsPrintableAscii(b.data(), b.size())) {
        return a.size() == b.size() && FoldedEqual(a.data(), b.data(), a.size());
    }
    return plat::CompareNames(a, b) == 0;
}

// A stable natural merge sort: items that compare equal keep their order,
// and a section written key by key in ascending order (text lines, records)
// costs one comparison per item instead of n log n locale comparisons.
template <typename T, typename Less>
void NaturalMergeSort(std::vector<T>& items, Less less) {
    std::vector<size_t> bounds{0};
    for (size_t i = 1; i < items.size(); ++i) {
        if (less(items[i], items[i - 1])) bounds.push_back(i);
    }
    bounds.push_back(items.size());
    while (bounds.size() > 2) {
        std::vector<size_t> merged{0};
        for (size_t k = 0; k + 1 < bounds.size(); k += 2) {
            if (k + 2 < bounds.size()) {
                std::inplace_merge(items.begin() + static_cast<std::ptrdiff_t>(bounds[k]),
                                   items.begin() + static_cast<std::ptrdiff_t>(bounds[k + 1]),
                                   items.begin() + static_cast<std::ptrdiff_t>(bounds[k + 2]), less);
            }
            merged.push_back(bounds[std::min(k + 2, bounds.size() - 1)]);
        }
        bounds.swap(merged);
    }
}

int HexDigit(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

void TProjectIniSection::AddLine(const std::string& line, int number) {
    lines_.push_back(line);
    numbers_.push_back(number);
    IndexLine(static_cast<int>(lines_.size()) - 1);
}

void TProjectIniSection::SetLineAt(int index, const std::string& line) {
    std::string& slot = lines_.at(static_cast<size_t>(index));
    // Replacing a plain key's line by one of the same folded key keeps the
    // index as it is; anything else is rare and rebuilds it.
    size_t oldEq = slot.find('=');
    size_t newEq = line.find('=');
    bool same = oldEq != std::string::npos && oldEq == newEq && IsPlainName(slot.data(), oldEq) &&
                IsPlainName(line.data(), newEq) && FoldedEqual(slot.data(), line.data(), oldEq);
    slot = line;
    if (!same) RebuildIndex();
}

void TProjectIniSection::DeleteLineAt(int index) {
    lines_.at(static_cast<size_t>(index));  // refuses an index out of range
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
    numbers_.erase(numbers_.begin() + static_cast<std::ptrdiff_t>(index));
    RebuildIndex();
}

void TProjectIniSection::SortLines() {
    std::vector<std::pair<std::string, int>> numbered;
    for (size_t i = 0; i < lines_.size(); ++i) numbered.emplace_back(std::move(lines_[i]), numbers_[i]);
    NaturalMergeSort(numbered, [](const auto& a, const auto& b) { return LineLess(a.first, b.first); });
    for (size_t i = 0; i < numbered.size(); ++i) {
        lines_[i] = std::move(numbered[i].first);
        numbers_[i] = numbered[i].second;
    }
    RebuildIndex();
}

std::vector<const std::string*> TProjectIniSection::SortedLines() const {
    std::vector<const std::string*> sorted;
    sorted.reserve(lines_.size());
    for (const std::string& line : lines_) sorted.push_back(&line);
    NaturalMergeSort(sorted, [](const std::string* a, const std::string* b) { return LineLess(*a, *b); });
    return sorted;
}

uint32_t TProjectIniSection::HashOf(const char* key, size_t size) {
    // FNV-1a over the case-folded bytes, then mixed so that the low bits
    // that pick a slot differ for keys that differ only in their last digit.
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < size; ++i) {
        hash ^= static_cast<unsigned char>(FoldByte(key[i]));
        hash *= 16777619u;
    }
    hash ^= hash >> 16;
    hash *= 0x85ebca6bu;
    hash ^= hash >> 13;
    hash *= 0xc2b2ae35u;
    hash ^= hash >> 16;
    return hash;
}

size_t TProjectIniSection::SlotOf(const char* key, size_t size, uint32_t hash) const {
    const size_t mask = slots_.size() - 1;  // the size is a power of two
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const KeySlot& slot = slots_[i];
        if (slot.line < 0) return i;
        if (slot.hash != hash) continue;
        const std::string& text = lines_[static_cast<size_t>(slot.line)];
        if (text.size() > size && text[size] == '=' && FoldedEqual(text.data(), key, size)) return i;
    }
}

void TProjectIniSection::IndexLine(int index) {
    const std::string& line = lines_[static_cast<size_t>(index)];
    size_t eq = line.find('=');
    if (eq == std::string::npos) return;  // such a line is never found by a key
    if (!IsPlainName(line.data(), eq)) {
        if (!IsPrintableAscii(line.data(), eq)) otherNamed_.push_back(index);
        return;
    }
    if ((plainKeys_ + 1) * 2 > slots_.size()) {
        // At most half full: grow, and enter every key again.
        std::vector<KeySlot> old(std::max<size_t>(16, slots_.size() * 2), KeySlot{0, -1});
        old.swap(slots_);
        const size_t mask = slots_.size() - 1;
        for (const KeySlot& entry : old) {
            if (entry.line < 0) continue;
            size_t i = entry.hash & mask;
            while (slots_[i].line >= 0) i = (i + 1) & mask;
            slots_[i] = entry;
        }
    }
    const uint32_t hash = HashOf(line.data(), eq);
    KeySlot& slot = slots_[SlotOf(line.data(), eq, hash)];
    if (slot.line >= 0) return;  // the first line of a key stays
    slot = KeySlot{hash, index};
    ++plainKeys_;
}

void TProjectIniSection::RebuildIndex() {
    slots_.clear();
    plainKeys_ = 0;
    otherNamed_.clear();
    for (size_t i = 0; i < lines_.size(); ++i) IndexLine(static_cast<int>(i));
}

std::string TProjectIniSection::KeyNameAt(int index) const {
    std::string name;
    NamePart(LineAt(index), name);
    return name;
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
    int found = slots_.empty() ? -1 : slots_[SlotOf(key.data(), key.size(), HashOf(key.data(), key.size()))].line;
    // An earlier line whose name holds control or non-ASCII bytes may still
    // be equal in the locale.
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

TProjectIniFile::TProjectIniFile() = default;

TProjectIniFile::TProjectIniFile(const std::string& fileName) : FileName(fileName) {
    if (FileName.empty() || !plat::FileExists(FileName)) return;
    std::string data;
    if (plat::ReadWholeFile(FileName, data) != plat::ReadResult::Ok) {
        throw ESetupError(FormatMessage1("ファイル %s は開けません", FileName));
    }
    Parse(data);
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

void TProjectIniFile::Parse(const std::string& text, TIniTextLines* lines) {
    const size_t size = std::min(text.find('\0'), text.size());  // a NUL byte ends the text
    TProjectIniSection* current = nullptr;
    size_t pos = 0;
    int number = 0;
    while (pos < size) {
        ++number;
        size_t end = pos;
        while (end < size && text[end] != '\r' && text[end] != '\n') ++end;
        size_t next = end;
        if (next < size) {
            // CR LF is one line end; a lone CR or a lone LF is one as well.
            next += (text[next] == '\r' && next + 1 < size && text[next + 1] == '\n') ? 2 : 1;
        }
        size_t first = pos, last = end;
        while (first < last && static_cast<unsigned char>(text[first]) <= 0x20) ++first;
        while (last > first && static_cast<unsigned char>(text[last - 1]) <= 0x20) --last;
        if (first < last) {
            size_t close = std::string::npos;
            if (text[first] == '[') {
                for (size_t i = first + 1; i < last; ++i) {
                    if (text[i] == ']') {
                        close = i;
                        break;
                    }
                }
            }
            if (close != std::string::npos) {
                current = &AddSection();
                current->Name.assign(text, first + 1, close - first - 1);
                current->Line = number;
            } else if (current) {
                current->AddLine(text.substr(pos, end - pos), number);
            } else if (lines && lines->DroppedLine == 0) {
                lines->DroppedLine = number;
            }
        }
        if (lines) lines->Lines.push_back(text.substr(pos, end - pos));
        pos = next;
    }
    if (lines && size < text.size()) {
        // The NUL stands in the last line, or after a last line end in a new one.
        const bool afterEnd = size == 0 || text[size - 1] == '\r' || text[size - 1] == '\n';
        lines->NulLine = number + (afterEnd ? 1 : 0);
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

std::string TProjectIniFile::Serialize() const {
    size_t total = 0;
    for (const auto& section : sections_) {
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
        for (const std::string* line : section.SortedLines()) {
            out += *line;
            out += "\r\n";
        }
        if (i + 1 < sections_.size()) out += "\r\n";
    }
    return out;
}

void TProjectIniFile::WriteFile() {
    if (FileName.empty()) return;
    if (!plat::WriteWholeFile(FileName, Serialize())) {
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
