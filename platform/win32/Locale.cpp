// Locale and code-page services of the ANSI code page.
#include <windows.h>

#include "platform/Locale.h"

namespace plat {

int CompareNames(const std::string& a, const std::string& b) {
    // CompareStringA answers 1, 2 or 3 for less, equal, greater (0 on failure).
    int r = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                           static_cast<int>(b.size()));
    return r - 2;
}

bool IsLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != 0; }

bool IsDoubleByteCodePage() {
    CPINFO info;
    return GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 1;
}

unsigned AnsiCodePage() { return GetACP(); }

std::string LocaleUpperCase(const std::string& text) {
    std::string out = text;
    if (!out.empty()) CharUpperBuffA(&out[0], static_cast<DWORD>(out.size()));
    return out;
}

std::string LocaleLowerCase(const std::string& text) {
    std::string out = text;
    if (!out.empty()) CharLowerBuffA(&out[0], static_cast<DWORD>(out.size()));
    return out;
}

}  // namespace plat
