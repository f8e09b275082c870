#pragma once
// Small string utilities of the project file and the installation run.
#include <string>

// A copy of the text in which every space byte is '0' ("file%5d" keys).
std::string SpacesToZeros(const std::string& text);

// The text with '\' appended unless its last character already is '\' ("" gives
// "\"). A double-byte character whose second byte is 0x5C (ソ, 表) is no
// backslash: "C:\ソ" gives "C:\ソ\".
std::string AddTrailingBackslash(const std::string& text);

// The project file of a program: its path with the extension of the last
// component changed to ".ini" (a last component without "." gets ".ini"
// appended). D:\Setup\SETUP.EXE gives D:\Setup\SETUP.ini.
std::string ProjectFileName(const std::string& exePath);

// Splits text at every separator byte into fields[0], fields[1], ... (only
// the first capacity fields are stored). The entry after the last field is
// set to the empty text when the array has room for it. Returns the number
// of fields: the number of separators plus one.
int SplitFields(const std::string& text, char separator, std::string* fields, int capacity);
