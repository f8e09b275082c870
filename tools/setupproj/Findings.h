#pragma once
// What `setupproj check` reports: one finding per output line, in the form
// compilers use, "FILE:LINE: error|warning: text".
#include <string>
#include <vector>

namespace setupproj {

enum class Severity { kWarning, kError };

struct Finding {
    int line;  // 1-based line of the project file
    Severity severity;
    std::string text;  // UTF-8: it may name a character that CP932 cannot hold
};

class Findings {
public:
    void Warn(int line, const std::string& text) { items_.push_back({line, Severity::kWarning, text}); }
    void Error(int line, const std::string& text) { items_.push_back({line, Severity::kError, text}); }
    const std::vector<Finding>& All() const { return items_; }
    // By line; the findings of one line keep the order in which they were made.
    std::vector<Finding> Sorted() const;
    // 0 clean, 1 warnings only, 2 errors.
    int ExitStatus() const;

private:
    std::vector<Finding> items_;
};

// Every finding, sorted, one line each, "FILE:LINE: error|warning: text" (UTF-8).
std::string FormatFindings(const std::string& file, const Findings& findings);

}  // namespace setupproj
