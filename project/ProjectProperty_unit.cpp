#include "project/ProjectProperty_unit.h"

#include "platform/AnsiText.h"
#include "platform/FileSystem.h"
#include "project/IniFile_unit.h"
#include "project/ProjectSchema_unit.h"

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

void TProjectProperty::Reset() { SchemaReset(*this); }

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

void TProjectProperty::ReadAll(TProjectIniFile& ini) { SchemaReadAll(ini, *this); }

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

void TProjectProperty::WriteAll(TProjectIniFile& ini) { SchemaWriteAll(ini, *this); }
