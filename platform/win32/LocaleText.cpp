// Text conversions of the ANSI code page for the tools and the tests. Kept
// apart from the locale services the installer calls, so that Setup.exe does
// not link the wide string library code these need.
#include <windows.h>

#include <vector>

#include "platform/Locale.h"
#include "platform/win32/Win32Backend.h"

namespace plat {

std::wstring AnsiToWide(const std::string& text) {
    std::vector<wchar_t> wide = win32::AnsiToWideZ(text);
    return wide.size() <= 1 ? std::wstring() : std::wstring(wide.data(), wide.size() - 1);
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
