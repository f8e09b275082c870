// What Setup.exe does with an exception that nothing catches. The library's
// default handler writes the exception's type to standard error, which a
// windowed program does not have, and for that links a C++ name demangler
// and the C library's formatted output (some 60 KB of the program). This one
// ends the program the way the default handler does after its message.
#include <cstdlib>
#include <exception>

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
