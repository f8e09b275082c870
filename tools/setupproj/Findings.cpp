#include "tools/setupproj/Findings.h"

#include <algorithm>

namespace setupproj {

std::vector<Finding> Findings::Sorted() const {
    std::vector<Finding> sorted = items_;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Finding& a, const Finding& b) { return a.line < b.line; });
    return sorted;
}

int Findings::ExitStatus() const {
    int status = 0;
    for (const Finding& f : items_) status = std::max(status, f.severity == Severity::kError ? 2 : 1);
    return status;
}

std::string FormatFindings(const std::string& file, const Findings& findings) {
    std::string out;
    for (const Finding& f : findings.Sorted()) {
        out += file + ":" + std::to_string(f.line) + (f.severity == Severity::kError ? ": error: " : ": warning: ") +
               f.text + "\n";
    }
    return out;
}

}  // namespace setupproj
