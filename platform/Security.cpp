#include "platform/Security.h"

namespace plat {

// P: protected from the parent's rules. FA: full access. OICI: inherited by
// files and folders made inside. FRFX: read and run. SY: SYSTEM,
// BA: Administrators, BU: Users.
const char kPrivateFolderAccess[] = "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
const char kProgramFileAccess[] = "D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FRFX;;;BU)";

}  // namespace plat
