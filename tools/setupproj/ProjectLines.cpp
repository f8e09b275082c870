#include "tools/setupproj/ProjectLines.h"

#include "tools/setupproj/ProjectText.h"

namespace setupproj {

std::string TrimBlanks(const std::string& text) {
    size_t first = 0, last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= 0x20) ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= 0x20) --last;
    return text.substr(first, last - first);
}

bool SplitKeyLine(const std::string& line, std::string& name, std::string& value) {
    size_t eq = line.find('=');
    if (eq == std::string::npos) return false;
    name = line.substr(0, eq);
    value = line.substr(eq + 1);
    return true;
}

IniText ScanIniText(const std::string& bytes) {
    IniText text;
    std::string used = bytes;
    size_t nul = bytes.find('\0');
    if (nul != std::string::npos) {
        used.resize(nul);
        // The line the NUL stands in: one more than the line ends before it.
        text.nulLine = static_cast<int>(SplitLines(used).size());
        if (used.empty() || used.back() == '\n' || used.back() == '\r') ++text.nulLine;
        for (size_t i = nul; i < bytes.size(); ++i) {
            if (static_cast<unsigned char>(bytes[i]) > 0x20) text.textAfterNul = true;
        }
    }
    int current = -1;
    int number = 0;
    for (const TextLine& raw : SplitLines(used)) {
        IniLine line;
        line.number = ++number;
        line.text = raw.text;
        const std::string trimmed = TrimBlanks(raw.text);
        size_t close = trimmed.find(']');
        if (trimmed.empty()) {
            line.kind = IniLine::kBlank;
            line.section = current;
        } else if (trimmed[0] == '[' && close != std::string::npos) {
            current = static_cast<int>(text.sections.size());
            text.sections.push_back({trimmed.substr(1, close - 1), line.number, {}});
            line.kind = IniLine::kHeader;
            line.section = current;
        } else if (current < 0) {
            line.kind = IniLine::kBeforeHeader;
        } else {
            line.kind = IniLine::kEntry;
            line.section = current;
            text.sections[static_cast<size_t>(current)].entries.push_back(static_cast<int>(text.lines.size()));
        }
        text.lines.push_back(line);
    }
    return text;
}

}  // namespace setupproj
