#include "platform/AnsiText.h"

#include <cstring>

#include "platform/Locale.h"

namespace plat::ansi {

bool IsLead(unsigned char byte) { return plat::IsLeadByte(byte); }

size_t CharLength(const std::string& s, size_t i) {
    return (IsLead(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
}

size_t NextChar(const std::string& s, size_t i) {
    return i >= s.size() ? s.size() : i + CharLength(s, i);
}

size_t PrevChar(const std::string& s, size_t i) {
    if (i == 0) return npos;
    // Which byte starts a character only shows when walked from the front.
    size_t prev = 0;
    for (size_t at = 0; at < i && at < s.size(); at = NextChar(s, at)) prev = at;
    return prev;
}

std::vector<size_t> CharStarts(const std::string& s) {
    std::vector<size_t> starts;
    for (size_t i = 0; i < s.size(); i = NextChar(s, i)) starts.push_back(i);
    return starts;
}

bool IsSingleAt(const std::string& s, size_t i, char c) {
    return i < s.size() && s[i] == c && CharLength(s, i) == 1;
}

size_t LastOf(const std::string& s, const char* set) {
    size_t found = npos;
    for (size_t i = 0; i < s.size(); i = NextChar(s, i)) {
        if (s[i] != '\0' && CharLength(s, i) == 1 && std::strchr(set, s[i]) != nullptr) found = i;
    }
    return found;
}

size_t LastSeparator(const std::string& s) { return LastOf(s, "\\"); }

bool EndsWith(const std::string& s, char c) {
    return !s.empty() && IsSingleAt(s, PrevChar(s, s.size()), c);
}

bool EndsWithSeparator(const std::string& s) { return EndsWith(s, '\\'); }

std::string WithTrailingSeparator(const std::string& s) {
    return EndsWithSeparator(s) ? s : s + "\\";
}

std::string TrimSeparators(const std::string& s) {
    // The front is always the start of a character.
    size_t first = 0;
    while (first < s.size() && s[first] == '\\') ++first;
    std::string rest = s.substr(first);
    while (EndsWithSeparator(rest)) rest.pop_back();
    return rest;
}

std::string AsciiCase(const std::string& s, bool upper) {
    const char from = upper ? 'a' : 'A';
    const int shift = upper ? -32 : 32;
    std::string out = s;
    for (size_t i = 0; i < out.size(); i = NextChar(out, i)) {
        const char c = out[i];
        if (CharLength(out, i) == 1 && c >= from && c <= from + 25) out[i] = static_cast<char>(c + shift);
    }
    return out;
}

}  // namespace plat::ansi
