#include "tools/setupproj/ProjectText.h"

#include <algorithm>
#include <cstdio>

#include "platform/AnsiText.h"
#include "platform/CodePage932.h"

namespace setupproj {

namespace {

const char kBom[] = "\xEF\xBB\xBF";

}  // namespace

std::string Hex(unsigned value, int digits) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*X", digits, value);
    return buffer;
}

std::string Quoted(const std::string& cp932) { return "'" + Shown(cp932) + "'"; }

size_t CharCount(const std::string& text) { return plat::ansi::CharStarts(text).size(); }

size_t FirstNonCp932(const std::string& line) {
    std::string ignored;
    if (plat::Cp932ToUtf8(line, ignored)) return std::string::npos;
    for (size_t i = 0; i < line.size();) {
        const size_t length = plat::ansi::CharLength(line, i);
        if (!plat::Cp932ToUtf8(line.substr(i, length), ignored)) return i;
        i += length;
    }
    // Every character converts alone: a lead byte ends the line.
    return line.empty() ? std::string::npos : line.size() - 1;
}

std::string Shown(const std::string& cp932) {
    std::string utf8;
    if (plat::Cp932ToUtf8(cp932, utf8)) return utf8;
    std::string out, one;
    for (size_t i = 0; i < cp932.size();) {
        size_t length = plat::ansi::CharLength(cp932, i);
        if (plat::Cp932ToUtf8(cp932.substr(i, length), one)) {
            out += one;
        } else {
            // A lead byte without a valid trail byte: show the lead byte alone
            // and read on from the byte after it.
            out += "\\x" + Hex(static_cast<unsigned char>(cp932[i]), 2);
            length = 1;
        }
        i += length;
    }
    return out;
}

bool HasUtf8Bom(const std::string& bytes) { return bytes.compare(0, 3, kBom) == 0; }

bool LooksLikeUtf8(const std::string& bytes) {
    bool beyondAscii = false;
    uint32_t codePoint = 0;
    for (size_t i = 0; i < bytes.size();) {
        size_t length = plat::Utf8CharAt(bytes, i, codePoint);
        if (length == 0) return false;
        if (length > 1) beyondAscii = true;
        i += length;
    }
    return beyondAscii;
}

std::string Utf8ProjectToCp932(const std::string& utf8, Findings& findings) {
    const std::string text = HasUtf8Bom(utf8) ? utf8.substr(3) : utf8;
    std::string out;
    if (plat::Utf8ToCp932(text, out)) return out;
    // Character by character, to name each one that does not fit by its line.
    out.clear();
    int number = 1;
    bool reportedBadBytes = false;  // in this line
    for (size_t i = 0; i < text.size();) {
        uint32_t codePoint = 0;
        const size_t length = plat::Utf8CharAt(text, i, codePoint);
        if (length == 0) {
            if (!reportedBadBytes) {
                findings.Error(number, "byte 0x" + Hex(static_cast<unsigned char>(text[i]), 2) + " is not UTF-8 text");
                reportedBadBytes = true;
            }
            out += '?';
            ++i;
            continue;
        }
        std::string character = text.substr(i, length), bytes;
        if (plat::Utf8ToCp932(character, bytes)) {
            out += bytes;
        } else {
            findings.Error(number, "'" + character + "' (U+" + Hex(codePoint, 4) +
                                       ") cannot be written in CP932, the code page of the project file");
            out += '?';
        }
        i += length;
        // CR LF, a lone CR and a lone LF each end a line, as the installer reads it.
        if (text[i - 1] == '\n' || (text[i - 1] == '\r' && (i == text.size() || text[i] != '\n'))) {
            ++number;
            reportedBadBytes = false;
        }
    }
    return out;
}

namespace {

size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

}  // namespace

std::string AsciiLower(const std::string& cp932) { return plat::ansi::AsciiCase(cp932, false); }

std::string NearestName(const std::string& word, const std::vector<std::string>& candidates) {
    const std::string folded = AsciiLower(word);
    std::string best;
    size_t bestDistance = 0;
    for (const std::string& candidate : candidates) {
        size_t distance = EditDistance(folded, AsciiLower(candidate));
        // Two edits cover a doubled or dropped letter and a swap ("Licence",
        // "SubDirectry"); short names allow fewer.
        size_t allowed = candidate.size() <= 4 ? 1 : candidate.size() <= 6 ? 2 : 3;
        if (distance == 0 || distance > allowed) continue;
        if (best.empty() || distance < bestDistance) {
            best = candidate;
            bestDistance = distance;
        }
    }
    return best;
}

std::string Utf8ToCp932Lossy(const std::string& utf8) {
    Findings ignored;  // what does not fit is "?" all the same
    return Utf8ProjectToCp932(utf8, ignored);
}

bool ProjectToCp932(std::string& bytes, const std::string& file, std::string& problems) {
    Findings findings;
    bytes = Utf8ProjectToCp932(bytes, findings);
    problems = FormatFindings(file, findings);
    return problems.empty();
}

}  // namespace setupproj
