#include "project/GrobalFunction_unit.h"

#include "platform/AnsiText.h"

std::string SpacesToZeros(const std::string& text) {
    std::string result = text;
    for (char& c : result) {
        if (c == ' ') c = '0';
    }
    return result;
}

std::string AddTrailingBackslash(const std::string& text) {
    return plat::ansi::WithTrailingSeparator(text);
}

std::string ProjectFileName(const std::string& exePath) {
    size_t dot = plat::ansi::LastOf(exePath, ".\\:");
    if (dot != std::string::npos && exePath[dot] == '.') return exePath.substr(0, dot) + ".ini";
    return exePath + ".ini";
}

int SplitFields(const std::string& text, char separator, std::string* fields, int capacity) {
    int count = 0;
    size_t start = 0;
    for (;;) {
        size_t found = text.find(separator, start);
        size_t end = found == std::string::npos ? text.size() : found;
        if (count < capacity) fields[count].assign(text, start, end - start);
        ++count;
        if (found == std::string::npos) break;
        start = found + 1;
    }
    if (count < capacity) fields[count].clear();
    return count;
}
