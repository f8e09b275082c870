#pragma once
// The whole sim backend back to its default state: files, locale, registry,
// system services, process services and the window layer.
#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimLocale.h"
#include "platform/sim/SimProcess.h"
#include "platform/sim/SimRegistry.h"
#include "platform/sim/SimSystem.h"
#include "platform/sim/SimWindow.h"

namespace sim {

void ResetAll();

}  // namespace sim
