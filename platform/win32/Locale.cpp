// Locale and code-page services of the ANSI code page.
#include <windows.h>

#include <vector>

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

std::wstring AnsiToWide(const std::string& text) {
    if (text.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring out(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
    return out;
}

std::string AnsiToUtf8(const std::string& text) {
    std::wstring wide = AnsiToWide(text);
    if (wide.empty()) return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                nullptr);
    if (n <= 0) return std::string();
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &out[0], n, nullptr, nullptr);
    return out;
}

}  // namespace plat
