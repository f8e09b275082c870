#include "platform/CodePage932.h"

namespace plat {

size_t Utf8CharAt(const std::string& s, size_t i, uint32_t& codePoint) {
    if (i >= s.size()) return 0;
    const unsigned char c = static_cast<unsigned char>(s[i]);
    size_t length = 0;
    uint32_t least = 0;
    if (c < 0x80) {
        codePoint = c;
        return 1;
    } else if (c >= 0xC2 && c <= 0xDF) {
        length = 2, codePoint = c & 0x1F, least = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3, codePoint = c & 0x0F, least = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4, codePoint = c & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (i + length > s.size()) return 0;
    for (size_t k = 1; k < length; ++k) {
        const unsigned char t = static_cast<unsigned char>(s[i + k]);
        if ((t & 0xC0) != 0x80) return 0;
        codePoint = (codePoint << 6) | (t & 0x3F);
    }
    if (codePoint < least || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return 0;
    return length;
}

}  // namespace plat
