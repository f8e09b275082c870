// The sim backend's locale: code page 932 and a name collation that orders the
// project file's lines as CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE)
// does on a Japanese system.
//
// What the collation covers (observed under Wine with the Japanese locale):
// - "'" and "-" carry no weight at first ("co-op" sorts beside "coop");
//   between lines that are equal without them, the one with more of them, or
//   with one earlier, sorts later, and "-" outweighs "'" at the same place.
// - The other ASCII symbols sort before the digits, in this order:
//   blank ! " # $ % & ( ) * , . / : ; ? @ [ ] ^ _ ` { | } ~ \ + < = >
//   then the digits 0 to 9, then the letters, case ignored.
// - Control bytes sort before the blank.
// Not covered: bytes of 0x80 and above (Shift-JIS) sort after all ASCII by
// byte value, a double-byte character as one unit; Windows interleaves
// full-width letters with the ASCII ones and tells kana apart by kind and width.
//
// Text conversions go through the host's converter of code page 932
// (platform/CodePage932.h), so that the sim runs on a Windows host too.
#include <vector>

#include "platform/AnsiText.h"
#include "platform/CodePage932.h"
#include "platform/Locale.h"
#include "platform/sim/SimLocale.h"

namespace {

unsigned gCodePage = 932;

const char kSymbolOrder[] = " !\"#$%&()*,./:;?@[]^_`{|}~\\+<=>";

struct Weights {
    unsigned table[256];
    Weights() {
        for (unsigned c = 0; c < 0x20; ++c) table[c] = 1 + c;
        unsigned w = 0x40;
        for (const char* p = kSymbolOrder; *p; ++p) table[static_cast<unsigned char>(*p)] = w++;
        table[0x7F] = w++;
        for (unsigned c = '0'; c <= '9'; ++c) table[c] = w++;
        for (unsigned c = 'a'; c <= 'z'; ++c) {
            table[c] = w;
            table[c - 32] = w++;
        }
        for (unsigned c = 0x80; c < 0x100; ++c) table[c] = 0x100 + c;  // after ASCII, by byte value
        table[static_cast<unsigned char>('\'')] = 0;
        table[static_cast<unsigned char>('-')] = 0;
    }
};

const Weights& W() {
    static const Weights weights;
    return weights;
}

struct Ignored {
    size_t position;  // characters before it
    unsigned weight;  // "-" outweighs "'"
};

void Collate(const std::string& s, std::vector<unsigned>& primary, std::vector<Ignored>& ignored) {
    size_t position = 0;
    for (size_t i = 0; i < s.size(); i = plat::ansi::NextChar(s, i), ++position) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (plat::ansi::CharLength(s, i) == 2) {
            primary.push_back(0x10000u + c * 256u + static_cast<unsigned char>(s[i + 1]));
        } else if (c == '\'' || c == '-') {
            ignored.push_back({position, c == '-' ? 2u : 1u});
        } else {
            primary.push_back(c >= 0x80 ? 0x10000u + c * 256u : W().table[c]);
        }
    }
}

// A character of the sim's ANSI code page as UTF-8: "?" for one that code
// page 932 does not map; a single-byte page is taken as Latin-1.
std::string CharToUtf8(const std::string& text, size_t i, size_t length) {
    if (gCodePage != 932) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        return c < 0x80 ? std::string(1, static_cast<char>(c))
                        : std::string{static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
    }
    std::string utf8;
    return plat::Cp932ToUtf8(text.substr(i, length), utf8) ? utf8 : std::string("?");
}

}  // namespace

namespace sim {
void ResetLocale() { gCodePage = 932; }
void SetAnsiCodePage(unsigned codePage) { gCodePage = codePage; }
unsigned AnsiCodePage() { return gCodePage; }
}  // namespace sim

namespace plat {

int CompareNames(const std::string& a, const std::string& b) {
    std::vector<unsigned> pa, pb;
    std::vector<Ignored> ia, ib;
    Collate(a, pa, ia);
    Collate(b, pb, ib);
    for (size_t i = 0; i < pa.size() && i < pb.size(); ++i) {
        if (pa[i] != pb[i]) return pa[i] < pb[i] ? -1 : 1;
    }
    if (pa.size() != pb.size()) return pa.size() < pb.size() ? -1 : 1;
    for (size_t i = 0; i < ia.size() && i < ib.size(); ++i) {
        if (ia[i].position != ib[i].position) return ia[i].position < ib[i].position ? 1 : -1;
        if (ia[i].weight != ib[i].weight) return ia[i].weight < ib[i].weight ? -1 : 1;
    }
    if (ia.size() != ib.size()) return ia.size() < ib.size() ? -1 : 1;
    return 0;
}

bool IsLeadByte(unsigned char byte) {
    return gCodePage == 932 && ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC));
}

bool IsDoubleByteCodePage() { return gCodePage == 932; }

std::string LocaleUpperCase(const std::string& text) { return ansi::AsciiCase(text, true); }
std::string LocaleLowerCase(const std::string& text) { return ansi::AsciiCase(text, false); }

std::string AnsiToUtf8(const std::string& text) {
    std::string out;
    if (gCodePage == 932 && Cp932ToUtf8(text, out)) return out;
    out.clear();
    for (size_t i = 0; i < text.size(); i = ansi::NextChar(text, i)) {
        out += CharToUtf8(text, i, ansi::CharLength(text, i));
    }
    return out;
}

std::wstring AnsiToWide(const std::string& text) {
    const std::string utf8 = AnsiToUtf8(text);
    std::wstring out;
    uint32_t c = 0;
    for (size_t i = 0, n = 0; i < utf8.size(); i += n) {
        n = Utf8CharAt(utf8, i, c);
        if (sizeof(wchar_t) == 2 && c >= 0x10000) {
            // UTF-16 on Windows hosts: a surrogate pair.
            out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<wchar_t>(c);
        }
    }
    return out;
}

}  // namespace plat
