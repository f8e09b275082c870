#pragma once
// Locale and code-page services of the ANSI code page.
#include <string>

namespace plat {

// Case-insensitive comparison of names in the user's default locale:
// negative, zero or positive. On Windows CompareStringA(LOCALE_USER_DEFAULT,
// NORM_IGNORECASE); natively a collation that orders the project file's keys
// the same way (symbols before digits, digits before letters).
int CompareNames(const std::string& a, const std::string& b);

bool IsLeadByte(unsigned char byte);  // lead byte of a double-byte character
bool IsDoubleByteCodePage();          // the ANSI code page has lead bytes (932 here)

// The system's locale-aware conversions (CharUpperBuffA / CharLowerBuffA).
std::string LocaleUpperCase(const std::string& text);
std::string LocaleLowerCase(const std::string& text);

// ANSI code page text to UTF-8 (for terminal output of the tools) and to UTF-16.
std::string AnsiToUtf8(const std::string& text);
std::wstring AnsiToWide(const std::string& text);

}  // namespace plat
