#include <cstdio>

#include "tools/setupproj/Commands.h"
#include "tools/setupproj/ProjectText.h"

namespace setupproj {

void WriteConsole(bool toErrors, const std::string& utf8) {
#ifdef _WIN32
    const std::string text = Utf8ToCp932Lossy(utf8);
#else
    const std::string& text = utf8;
#endif
    FILE* stream = toErrors ? stderr : stdout;
    if (toErrors) std::fflush(stdout);
    std::fwrite(text.data(), 1, text.size(), stream);
}

}  // namespace setupproj
