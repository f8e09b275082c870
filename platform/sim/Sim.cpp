#include "platform/sim/Sim.h"

namespace sim {

void ResetAll() {
    ResetLocale();  // first: paths and key names are parsed with its lead bytes
    ResetFileSystem();
    ResetRegistry();
    ResetSystem();
    ResetProcess();
    ResetWindows();
}

}  // namespace sim
