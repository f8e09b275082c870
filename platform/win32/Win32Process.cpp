#include <windows.h>

#include "platform/System.h"

namespace plat {

unsigned ProcessId() { return static_cast<unsigned>(GetCurrentProcessId()); }

}  // namespace plat
