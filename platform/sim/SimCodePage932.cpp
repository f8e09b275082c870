// CP932 <-> UTF-8 on a Linux host: the C library's converter, without
// transliteration. Built on a Windows host, the sim takes the system's
// converter (platform/win32/CodePage932.cpp) in place of this file.
#include <iconv.h>

#include <vector>

#include "platform/CodePage932.h"

namespace plat {

namespace {

bool Convert(const char* to, const char* from, const std::string& text, std::string& out) {
    out.clear();
    if (text.empty()) return true;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    std::vector<char> buffer(text.size() * 4 + 16);
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char* outp = buffer.data();
    size_t outLeft = buffer.size();
    size_t result = iconv(cd, &in, &inLeft, &outp, &outLeft);
    bool ok = result != static_cast<size_t>(-1) && inLeft == 0;
    // A converter that replaced a character it lacks reports it in the count
    // of irreversible conversions: that is a failure too.
    if (ok && result != 0) ok = false;
    if (ok) {
        char* flushOut = outp;
        size_t flushLeft = outLeft;
        ok = iconv(cd, nullptr, nullptr, &flushOut, &flushLeft) != static_cast<size_t>(-1);
        outp = flushOut;
    }
    iconv_close(cd);
    if (ok) out.assign(buffer.data(), static_cast<size_t>(outp - buffer.data()));
    return ok;
}

}  // namespace

bool Cp932ToUtf8(const std::string& cp932, std::string& utf8) {
    return Convert("UTF-8", "CP932", cp932, utf8);
}

bool Utf8ToCp932(const std::string& utf8, std::string& cp932) {
    // The C library's converter writes a look-alike for some characters that
    // code page 932 lacks (U+00A5 as 5C, a "\"; U+2014 as 81 5C, which reads
    // back as U+2015) without counting them as irreversible. A character
    // holds only when it reads back as itself, as Windows' converter decides.
    std::string back;
    return Convert("CP932", "UTF-8", utf8, cp932) && Cp932ToUtf8(cp932, back) && back == utf8;
}

}  // namespace plat
