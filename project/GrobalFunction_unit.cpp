#include "project/GrobalFunction_unit.h"

std::string SpacesToZeros(const std::string& text) {
    std::string result = text;
    for (char& c : result) {
        if (c == ' ') c = '0';
    }
    return result;
}

std::string AddTrailingBackslash(const std::string& text) {
    if (!text.empty() && text.back() == '\\') return text;
    return text + "\\";
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
