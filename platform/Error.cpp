#include "platform/Error.h"

#include <cstdio>

namespace plat {

namespace {
thread_local uint32_t gLastError = 0;
}  // namespace

uint32_t LastError() { return gLastError; }
void KeepError(uint32_t code) { gLastError = code; }

std::string ErrorCodeText(uint32_t code) {
    if (code < 0x80000000u) return std::to_string(code);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08X", static_cast<unsigned>(code));
    return buffer;
}

}  // namespace plat

std::string FormatMessage1(const char* format, const std::string& arg) {
    std::string result;
    const char* p = format;
    while (*p) {
        if (p[0] == '%' && p[1] == 's') {
            result += arg;
            p += 2;
        } else {
            result += *p++;
        }
    }
    return result;
}
