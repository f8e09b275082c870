#pragma once
// Conversions between CP932, the code page of every project file, and UTF-8,
// in which authors edit and Linux terminals print. They use code page 932
// itself, whatever the machine's ANSI code page is: the real system's
// converter on Windows, the C library's on a Linux host (the sim backend).
#include <cstddef>
#include <cstdint>
#include <string>

namespace plat {

// Strict conversions: false when the input holds bytes that are not text of
// its encoding, or a character that the other encoding cannot hold (no
// look-alike is put in its place); out is then unspecified.
bool Cp932ToUtf8(const std::string& cp932, std::string& utf8);
bool Utf8ToCp932(const std::string& utf8, std::string& cp932);

// The bytes of the well-formed UTF-8 character that starts at byte i, with
// its code point; 0 when the bytes there are none (a stray or missing
// continuation byte, an overlong form, a surrogate, beyond U+10FFFF).
size_t Utf8CharAt(const std::string& text, size_t i, uint32_t& codePoint);

}  // namespace plat
