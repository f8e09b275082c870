#pragma once
// The one error type of the product. Its message is the text the user sees,
// in the ANSI code page (CP932 bytes on the target systems).
#include <cstdint>
#include <stdexcept>
#include <string>

class ESetupError : public std::runtime_error {
public:
    explicit ESetupError(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

namespace plat {

// The system's error code of the last platform call on this thread that
// failed (GetLastError right after the call, or an HRESULT for the shell's
// link object; the sim backend's own codes). Platform calls that answer
// false keep it here before anything else can change it.
uint32_t LastError();
void KeepError(uint32_t code);
// A code as the failure records show it: decimal, an HRESULT in hex.
std::string ErrorCodeText(uint32_t code);

}  // namespace plat

// printf-style formatting of a message with one text argument ("%s").
std::string FormatMessage1(const char* format, const std::string& arg);
