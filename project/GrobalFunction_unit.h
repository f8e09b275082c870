#pragma once
// Small string utilities of the project file and the installation run.
#include <string>

// A copy of the text in which every space byte is '0' ("file%5d" keys).
std::string SpacesToZeros(const std::string& text);

// The text with '\' appended unless its last byte already is '\' ("" gives
// "\"). The test looks at the last byte alone, so a double-byte character
// whose second byte is 0x5C counts as a backslash.
std::string AddTrailingBackslash(const std::string& text);

// Splits text at every separator byte into fields[0], fields[1], ... (only
// the first capacity fields are stored). The entry after the last field is
// set to the empty text when the array has room for it. Returns the number
// of fields: the number of separators plus one.
int SplitFields(const std::string& text, char separator, std::string* fields, int capacity);
