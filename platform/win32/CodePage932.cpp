// CP932 <-> UTF-8 through UTF-16, refusing what does not convert exactly.
#include <windows.h>

#include "platform/CodePage932.h"

namespace plat {

namespace {

constexpr UINT kCodePage932 = 932;

bool ToWide(UINT codePage, const std::string& text, std::wstring& wide) {
    wide.clear();
    if (text.empty()) return true;
    const int size = static_cast<int>(text.size());
    int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (n <= 0) return false;
    wide.assign(static_cast<size_t>(n), L'\0');
    return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), size, &wide[0], n) == n;
}

bool FromWide(UINT codePage, const std::wstring& wide, std::string& text) {
    text.clear();
    if (wide.empty()) return true;
    const int size = static_cast<int>(wide.size());
    // UTF-8 takes neither flags nor a default character; code page 932 must
    // not put a look-alike ("e" for "é") in place of a character it lacks.
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* used = utf8 ? nullptr : &usedDefault;
    int n = WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, used);
    if (n <= 0 || usedDefault) return false;
    text.assign(static_cast<size_t>(n), '\0');
    n = WideCharToMultiByte(codePage, flags, wide.data(), size, &text[0], n, nullptr, used);
    return n > 0 && !usedDefault;
}

}  // namespace

bool Cp932ToUtf8(const std::string& cp932, std::string& utf8) {
    std::wstring wide;
    return ToWide(kCodePage932, cp932, wide) && FromWide(CP_UTF8, wide, utf8);
}

bool Utf8ToCp932(const std::string& utf8, std::string& cp932) {
    std::wstring wide;
    return ToWide(CP_UTF8, utf8, wide) && FromWide(kCodePage932, wide, cp932);
}

}  // namespace plat
