#include "platform/Error.h"

#include <cstring>

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
