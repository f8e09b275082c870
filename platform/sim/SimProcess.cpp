#include "platform/sim/SimProcess.h"

#include "platform/System.h"

namespace {
unsigned g_processId = sim::kDefaultProcessId;
}

namespace sim {
void SetProcessId(unsigned id) { g_processId = id; }
}  // namespace sim

namespace plat {
unsigned ProcessId() { return g_processId; }
}  // namespace plat
