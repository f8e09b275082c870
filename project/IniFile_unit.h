#pragma once
// The project INI document: a text file held in memory as an ordered list of
// sections, each an ordered list of raw "name=value" lines kept exactly as
// read. Lookups find the first match; names compare with plat::CompareNames.
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class TProjectIniSection {
public:
    std::string Name;  // bytes between '[' and the first ']', as written

    const std::vector<std::string>& Lines() const { return lines_; }
    int LineCount() const { return static_cast<int>(lines_.size()); }
    const std::string& LineAt(int index) const { return lines_.at(static_cast<size_t>(index)); }
    void AddLine(const std::string& line);
    void SetLineAt(int index, const std::string& line);
    void DeleteLineAt(int index);
    // Sorts the lines in place by whole lines with the name comparison.
    void SortLines();

    std::string KeyNameAt(int index) const;  // empty when the line has no '='
    int IndexOfKey(const std::string& key) const;
    bool HasKey(const std::string& key) const { return IndexOfKey(key) != -1; }
    std::string ValueOf(const std::string& key) const;
    // Non-empty value: replaces the key's first line in place, or appends.
    // Empty value: deletes the key's first line, if any.
    void SetValueOf(const std::string& key, const std::string& value);

private:
    // The index maps a case-folded plain key (ASCII letters and digits only,
    // where folded equality is exactly the locale comparison's equality) to
    // the first line of that name: an open-addressing table of line numbers,
    // so that it costs no allocation per line. Lines whose non-empty name
    // part is not plain could still compare equal to a plain key in the
    // locale (ignored characters) when they hold control or non-ASCII
    // bytes, so those are listed apart and checked by comparison.
    struct KeySlot {
        uint32_t hash;
        int32_t line;  // -1: empty
    };
    void BuildIndex() const;
    void IndexLine(int index, bool knownNew) const;
    int FindPlain(const char* key, size_t size, uint32_t hash) const;
    int LinearIndexOfKey(const std::string& key) const;

    std::vector<std::string> lines_;
    mutable bool indexValid_ = false;
    mutable std::vector<KeySlot> slots_;  // size a power of two, at most half used
    mutable size_t slotsUsed_ = 0;
    mutable std::vector<int> otherNamed_;  // ascending line indexes
    mutable std::vector<uint8_t> firstOfKey_;  // per line: the index's entry for its key
    mutable size_t hint_ = 0;  // the line after the last one found
};

class TProjectIniFile {
public:
    // Sets FileName and reads the file when it exists. Raises ESetupError
    // "ファイル %s は開けません" when it exists but cannot be opened.
    explicit TProjectIniFile(const std::string& fileName);
    // Frees the sections only; it never writes. Call Close to write.
    ~TProjectIniFile();
    TProjectIniFile(const TProjectIniFile&) = delete;
    TProjectIniFile& operator=(const TProjectIniFile&) = delete;

    std::string FileName;
    bool ReadOnly = false;

    // Releases the document: WriteFile unless ReadOnly, then frees all
    // sections. A write error reaches the caller (the sections are freed
    // all the same). Later calls do nothing.
    void Close();

    int SectionCount() const { return static_cast<int>(sections_.size()); }
    TProjectIniSection& SectionAt(int index) { return *sections_.at(static_cast<size_t>(index)); }
    const TProjectIniSection& SectionAt(int index) const {
        return *sections_.at(static_cast<size_t>(index));
    }
    TProjectIniSection& AddSection();
    int FindSection(const std::string& name) const;

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue);
    int32_t ReadInteger(const std::string& section, const std::string& key, int32_t defaultValue);
    bool ReadBool(const std::string& section, const std::string& key, bool defaultValue);
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int32_t value);
    void WriteBool(const std::string& section, const std::string& key, bool value);

    // Sorts each section and writes the whole document to FileName (nothing
    // when it is empty). Raises ESetupError "ファイル %s を作成できません".
    void WriteFile();

private:
    void ParseFile();
    TProjectIniSection& SectionFor(const std::string& name);

    std::vector<std::unique_ptr<TProjectIniSection>> sections_;
    bool closed_ = false;
    // FindSection's answers by exact name, valid while the section names
    // are those of cachedNames_.
    mutable std::vector<std::string> cachedNames_;
    mutable std::unordered_map<std::string, int> findCache_;
};

// The integer conversion of ReadInteger: leading spaces, then an optional
// sign and decimal digits, or a '$', 'x', 'X', '0x', '0X' prefix and hex
// digits; nothing after the digits; signed 32-bit range. Raises ESetupError
// "'%s' は整数ではありません".
int32_t ConvertIniInteger(const std::string& text);
