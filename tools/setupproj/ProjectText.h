#pragma once
// The project file's text: its lines as the installer splits them, the
// CP932 characters in them, and UTF-8 sources that authors edit.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/setupproj/Findings.h"

namespace setupproj {

// Number of characters, a double-byte character as one (how Windows counts
// the length of a path).
size_t CharCount(const std::string& text);

// CP932 text for a message (UTF-8). A byte that is no CP932 text is shown as
// \xNN, so that the message still says which bytes are wrong.
std::string Shown(const std::string& cp932);

// value in upper-case hex digits, at least digits of them.
std::string Hex(unsigned value, int digits);

// Shown in quotes: 'text'.
std::string Quoted(const std::string& cp932);

// The first byte offset at which the line stops being CP932 text, or npos.
size_t FirstNonCp932(const std::string& line);

bool HasUtf8Bom(const std::string& bytes);
// Whether the bytes are UTF-8 with at least one character beyond ASCII (a
// file saved by a UTF-8 editor, most likely).
bool LooksLikeUtf8(const std::string& bytes);

// UTF-8 project text (a leading BOM is dropped) as CP932, line for line, so
// that line numbers stay. Each character that CP932 cannot hold and each
// byte that is not UTF-8 is an error of its line; it becomes "?" so that the
// rest can still be read.
std::string Utf8ProjectToCp932(const std::string& utf8, Findings& findings);
// The same in place; false, with the findings formatted for file, when a
// character did not fit.
bool ProjectToCp932(std::string& bytes, const std::string& file, std::string& problems);

// The text with its ASCII letters in lower case; the second bytes of
// double-byte characters stay as they are (plat::ansi::AsciiCase).
std::string AsciiLower(const std::string& cp932);

// The candidate closest to word when it is close enough to be a likely typo
// (letter case ignored), or empty.
std::string NearestName(const std::string& word, const std::vector<std::string>& candidates);

// UTF-8 as CP932 for a console that shows the ANSI code page: a character
// that CP932 lacks becomes "?".
std::string Utf8ToCp932Lossy(const std::string& utf8);

}  // namespace setupproj
