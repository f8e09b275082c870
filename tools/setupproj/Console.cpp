#include <cstdio>

#include "platform/Locale.h"
#include "tools/setupproj/Commands.h"
#include "tools/setupproj/ProjectText.h"

namespace setupproj {

void WriteConsole(bool toErrors, const std::string& text, bool ansiLine) {
#ifdef _WIN32
    std::string out = ansiLine ? text : Utf8ToCp932Lossy(text);
#else
    std::string out = ansiLine ? plat::AnsiToUtf8(text) : text;
#endif
    if (ansiLine) out += '\n';
    FILE* stream = toErrors ? stderr : stdout;
    if (toErrors) std::fflush(stdout);
    std::fwrite(out.data(), 1, out.size(), stream);
}

}  // namespace setupproj
