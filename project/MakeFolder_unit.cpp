#include "project/MakeFolder_unit.h"

// The collection is header-only; this unit keeps the module layout.
