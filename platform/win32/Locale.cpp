// Locale and code-page services of the ANSI code page.
#include <windows.h>

#include <vector>

#include "platform/Locale.h"
#include "platform/win32/Win32Backend.h"

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

namespace win32 {

std::vector<wchar_t> AnsiToWideZ(const std::string& text) {
    int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (n <= 1) return std::vector<wchar_t>(1, L'\0');
    std::vector<wchar_t> wide(static_cast<size_t>(n), L'\0');
    if (MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), n) != n) return std::vector<wchar_t>(1, L'\0');
    return wide;
}

}  // namespace win32

}  // namespace plat
