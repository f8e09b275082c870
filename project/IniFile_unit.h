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
    // The index: the first line of each plain key (ASCII letters and digits,
    // whose locale equality is equality ignoring case) by its lower-cased
    // name, so that reading or writing a section key by key stays linear.
    // A name with control or non-ASCII bytes could still equal a plain key
    // in the locale (it may hold ignored characters): those lines are listed
    // apart and compared. Built at the first lookup, kept current by
    // AddLine, dropped by any other change of the lines.
    void IndexLine(int index) const;
    void BuildIndex() const;
    void DropIndex();
    // The first line before found (or anywhere, for -1) whose name is not
    // plain but equals key in the locale; else found.
    int EarlierOtherNamed(const std::string& key, int found) const;
    int LinearIndexOfKey(const std::string& key) const;

    std::vector<std::string> lines_;
    mutable bool indexed_ = false;
    mutable std::unordered_map<std::string, int> firstLineOf_;
    mutable std::vector<int> otherNamed_;  // ascending line indexes
};

class TProjectIniFile {
public:
    // An empty document bound to no file.
    TProjectIniFile();
    // Sets FileName and reads the file when it exists (Parse of its bytes).
    // Raises ESetupError "ファイル %s は開けません" when it exists but cannot
    // be opened.
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

    // Adds the sections and lines of a project file's text (lines end with
    // CR LF, CR or LF; a NUL byte ends the text; lines before the first
    // section header are dropped).
    void Parse(const std::string& text);
    // Sorts each section and gives the whole document as the file's bytes.
    std::string Serialize();
    // Serialize written to FileName (nothing when it is empty). Raises
    // ESetupError "ファイル %s を作成できません".
    void WriteFile();

private:
    TProjectIniSection& SectionFor(const std::string& name);

    std::vector<std::unique_ptr<TProjectIniSection>> sections_;
    bool closed_ = false;
};

// The integer conversion of ReadInteger: leading spaces, then an optional
// sign and decimal digits, or a '$', 'x', 'X', '0x', '0X' prefix and hex
// digits; nothing after the digits; signed 32-bit range. Raises ESetupError
// "'%s' は整数ではありません".
int32_t ConvertIniInteger(const std::string& text);
