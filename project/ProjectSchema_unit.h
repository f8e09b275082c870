#pragma once
// The project file's layout as data: for each section, its settings (key,
// member, kind, default), its text block or its record list with the fields
// of a record. Load, Save and Reset walk this table, and so do the authors'
// tool's reading, check, normalize and dump; no other place spells a key.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TProjectProperty;
class TProjectIniFile;

enum TSchemaKind {
    skText,    // the value as written
    skByte,    // an integer, its low byte kept
    skBool,    // an integer, not 0 is true
    skNumber,  // a signed 32-bit integer
};

struct TSchemaSetting {
    const char* Key;
    TSchemaKind Kind;
    int32_t Default;  // of a number kind; a text's default is empty
    // Written (and dumped) only when it differs from its default, so that a
    // project without it keeps its layout byte for byte.
    bool Optional;
    std::string TProjectProperty::*Text;
    uint8_t TProjectProperty::*Byte;
    bool TProjectProperty::*Flag;
};

struct TSchemaField {
    const char* Name;  // the member of the item
    TSchemaKind Kind;
};

struct TSchemaRecords {
    const char* Member;  // the model's collection, as dump names it
    const char* Layout;  // the fields, as an author reads a record
    std::vector<TSchemaField> Fields;
    int (*Count)(const TProjectProperty& p);
    void (*Clear)(TProjectProperty& p);
    // The record's fields as Save writes them.
    std::vector<std::string> (*Texts)(TProjectProperty& p, int index);
    // Appends an item: texts holds every field, numbers the converted value
    // of each number field (at the field's index).
    void (*Add)(TProjectProperty& p, const std::string* texts, const int32_t* numbers);
};

// One part of a section: settings, a text block of "lineNNNN" keys, or a
// list of "fileNNNNN" records. A section may have two parts ([Copy File]
// has settings and records); the parts stand in the order in which Load
// reads and Save writes them, which gives the file its section order.
struct TSchemaPart {
    const char* Section;
    std::vector<TSchemaSetting> Settings;
    int TextBlock;                   // a TTextBlockKind, or -1
    const TSchemaRecords* Records;   // or nullptr
};

const std::vector<TSchemaPart>& ProjectSchema();

// "line%04d" for a text block, "file%05d" for a record list.
std::string SchemaListKey(bool records, int number);

// The value of a setting as Save writes it.
std::string SchemaSettingText(const TProjectProperty& p, const TSchemaSetting& setting);
// Whether Save writes the setting (an optional one only when it is set).
bool SchemaWrites(const TProjectProperty& p, const TSchemaSetting& setting);

// A number that Load converts, told to a lenient reading.
struct TSchemaNumber {
    const TSchemaPart& Part;
    const char* What;         // the setting's key or the field's name
    TSchemaKind Kind;
    std::string Key;          // the key of the line that holds it
    const std::string& Text;  // the setting's value or the field's text
    int32_t Value;            // what was read; 0 (a field) or the default (a setting) when it fails
    std::string Error;        // the conversion's message; empty when it converts
    int Field;                // the field's index, -1 for a setting
    int FieldCount;           // the fields the record has (SplitFields' count)
};

// The reading of Load. Strict (no handler): a number that does not convert
// raises ESetupError. Lenient: every number is told to the handler and one
// that does not convert is read as its default, so that the rest is read.
void SchemaReadAll(TProjectIniFile& ini, TProjectProperty& p,
                   const std::function<void(const TSchemaNumber&)>& lenient = nullptr);
void SchemaWriteAll(TProjectIniFile& ini, TProjectProperty& p);
// The part's records (none for a part without), as SchemaWriteAll writes them.
void SchemaWriteRecords(TProjectIniFile& ini, TProjectProperty& p, const TSchemaPart& part);
void SchemaReset(TProjectProperty& p);
