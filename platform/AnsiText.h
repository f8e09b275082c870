#pragma once
// Stepping through ANSI code-page text by characters. On a double-byte code
// page (932) the second byte of a character can be any byte from 0x40 on,
// 0x5C ("\") included (ソ = 83 5C, 表 = 95 5C), so a separator or an end
// byte is only ever looked for at the start of a character. A lead byte in
// the last position has no second byte and stands alone.
#include <cstddef>
#include <string>
#include <vector>

namespace plat::ansi {

constexpr size_t npos = std::string::npos;

bool IsLead(unsigned char byte);  // the code page's lead bytes (none on a single-byte page)

// Bytes of the character that starts at byte i: 2 for a lead byte with a
// byte after it, 1 otherwise.
size_t CharLength(const std::string& s, size_t i);
// The start of the next character after the one at i (at most s.size()).
size_t NextChar(const std::string& s, size_t i);
// The start of the character that ends just before byte i (i a character
// start or s.size()); npos when i is 0.
size_t PrevChar(const std::string& s, size_t i);
// The start of every character, in order.
std::vector<size_t> CharStarts(const std::string& s);

// True when the character that starts at i is the single byte c.
bool IsSingleAt(const std::string& s, size_t i, char c);
// The start of the last character that is one of the single bytes of set
// (NUL never matches), or npos.
size_t LastOf(const std::string& s, const char* set);
// The last "\" that is a character of its own, or npos.
size_t LastSeparator(const std::string& s);
// True when the last character is the single byte c.
bool EndsWith(const std::string& s, char c);
// True when the last character is a single "\".
bool EndsWithSeparator(const std::string& s);
// The text with "\" appended unless its last character is one ("" gives "\").
std::string WithTrailingSeparator(const std::string& s);
// The text without its leading and trailing "\" characters.
std::string TrimSeparators(const std::string& s);

// ASCII letters changed to upper or lower case; both bytes of a double-byte
// character stay as they are.
std::string AsciiCase(const std::string& s, bool upper);

}  // namespace plat::ansi
