#include "project/ShortCutFile_unit.h"

// The collection is header-only; this unit keeps the module layout.
