#pragma once
// The one error type of the product. Its message is the text the user sees,
// in the ANSI code page (CP932 bytes on the target systems).
#include <stdexcept>
#include <string>

class ESetupError : public std::runtime_error {
public:
    explicit ESetupError(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// printf-style formatting of a message with one text argument ("%s").
std::string FormatMessage1(const char* format, const std::string& arg);
