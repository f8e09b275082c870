#pragma once
// The project INI document: a text file held in memory as an ordered list of
// sections, each an ordered list of raw "name=value" lines kept exactly as
// read. Lookups find the first match; names compare with plat::CompareNames.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TProjectIniSection {
public:
    std::string Name;  // bytes between '[' and the first ']', as written
    int Line = 0;      // the header's line in the parsed text; 0 for a new section

    const std::vector<std::string>& Lines() const { return lines_; }
    int LineCount() const { return static_cast<int>(lines_.size()); }
    const std::string& LineAt(int index) const { return lines_.at(static_cast<size_t>(index)); }
    // number: the line's number in the parsed text (0 for a written line).
    void AddLine(const std::string& line, int number = 0);
    int LineNumberAt(int index) const { return numbers_.at(static_cast<size_t>(index)); }
    void SetLineAt(int index, const std::string& line);
    void DeleteLineAt(int index);
    // Sorts the lines in place by whole lines with the name comparison.
    void SortLines();
    // The lines in SortLines' order, the section left as it is.
    std::vector<const std::string*> SortedLines() const;

    std::string KeyNameAt(int index) const;  // empty when the line has no '='
    int IndexOfKey(const std::string& key) const;
    bool HasKey(const std::string& key) const { return IndexOfKey(key) != -1; }
    std::string ValueOf(const std::string& key) const;
    // Non-empty value: replaces the key's first line in place, or appends.
    // Empty value: deletes the key's first line, if any.
    void SetValueOf(const std::string& key, const std::string& value);

private:
    // The index of the first line of each plain key (ASCII letters and
    // digits, whose locale equality is equality ignoring case), so that
    // reading or writing a section key by key stays linear: an open-addressed
    // table of line numbers, hashed by the lower-cased name, at most half
    // full. A name with control or non-ASCII bytes could still equal a plain
    // key in the locale (it may hold ignored characters): those lines are
    // listed apart and compared. Every change of the lines keeps it current.
    struct KeySlot {
        uint32_t hash;
        int32_t line;  // -1: empty
    };
    static uint32_t HashOf(const char* key, size_t size);
    // The key's slot, or the empty one where it would go.
    size_t SlotOf(const char* key, size_t size, uint32_t hash) const;
    void IndexLine(int index);
    void RebuildIndex();
    int LinearIndexOfKey(const std::string& key) const;

    std::vector<std::string> lines_;
    std::vector<int> numbers_;  // beside lines_
    std::vector<KeySlot> slots_;
    size_t plainKeys_ = 0;         // slots in use
    std::vector<int> otherNamed_;  // ascending line indexes
};

// What Parse saw besides the document, for a reader that reports by line.
struct TIniTextLines {
    std::vector<std::string> Lines;  // every line before a NUL byte, as written
    int DroppedLine = 0;             // the first non-blank line before the first header
    int NulLine = 0;                 // the line in which a NUL byte ends the text
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
    // section header are dropped). Sections and lines keep their numbers;
    // lines, when given, receives the rest.
    void Parse(const std::string& text, TIniTextLines* lines = nullptr);
    // The whole document as the file's bytes, each section's lines sorted
    // (SortLines' order); the document itself is left as it is.
    std::string Serialize() const;
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
